// The player window: its components, the command menu and its creation.
#include "player/Main.h"

#include "components/Trayicon.h"
#include "control/VVPPWEBLib_TLB.h"
#include "player/DDraw.h"
#include "res/Resources.h"
#include "toolkit/FileNames.h"
#include "toolkit/SysUtils.h"

TMainForm* MainForm = nullptr;

bool Resizing = false;
bool Dragging = false;
int32_t DragX = 0, DragY = 0;
bool FastForwarding = false;
std::string LastURL;
bool Closing = false;
bool DirectDrawUsed = false;
bool DirectDrawActive = false;
IDirectDraw* DirectDrawObject = nullptr;

namespace {


constexpr TShiftState Ctrl = ssCtrl;
constexpr TShiftState CtrlShift = ssCtrl | ssShift;

}  // namespace

void FinalizeMain() {
  if (DirectDrawObject) {
    DirectDrawObject->Release();
    DirectDrawObject = nullptr;
  }
  LastURL.clear();
}

TMainForm::TMainForm(TComponent* Owner) : TForm(Owner, "TMainForm") {
  SetCaption("Quillo");
  SetBorderIcons(0);
  SetColor(clBlack);
  SetClientSize(240, 205);
  SetCursor(crNone);
  SetKeyPreview(true);
  SetPosition(poScreenCenter);

  TVImage = new TImage(this);
  TVImage->Name = "TVImage";
  TVImage->SetParent(this);
  TVImage->SetAlign(alClient);
  TVImage->SetStretch(true);
  TVImage->SetCursor(crArrow);
  TVImage->Picture.LoadFromResource(nullptr, IDB_TVSET);
  TVImage->OnMouseDown = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
    FormMouseDown(S, B, Sh, X, Y);
  };
  TVImage->OnMouseMove = [this](TObject* S, TShiftState Sh, int X, int Y) {
    FormMouseMove(S, Sh, X, Y);
  };
  TVImage->OnMouseUp = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
    FormMouseUp(S, B, Sh, X, Y);
  };

  Button1 = new TImage(this);
  Button1->Name = "Button1";
  Button1->SetParent(this);
  Button1->SetBounds(200, 182, 20, 20);
  Button1->SetStretch(true);
  Button1->SetCursor(crHandPoint);
  Button1->Picture.LoadFromResource(nullptr, IDB_MENUKEY);
  Button1->OnClick = [this](TObject* S) { Button1Click(S); };
  Button1->OnMouseDown = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
    Button1MouseDown(S, B, Sh, X, Y);
  };
  Button1->OnMouseUp = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
    Button1MouseUp(S, B, Sh, X, Y);
  };

  TVvPPWeb::OnHandlerError = [](const std::exception& E) { Application->ShowException(E); };
  vivo = new TVvPPWeb();
  vivo->CreateInParent(Handle(), 16, 20, 206, 154);
  vivo->OnAtStart = [this](TObject* S, const std::string& URL) { vivoAtStart(S, URL); };
  vivo->OnAtEnd = [this](TObject* S, const std::string& URL) { vivoAtEnd(S, URL); };
  vivo->OnTime = [this](TObject* S, int32_t T, const std::string& URL) { vivoTime(S, T, URL); };
  vivo->OnFetchError = [this](TObject* S, int32_t Result) { vivoFetchError(S, Result); };
  vivo->OnMouseDown = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
    FormMouseDown(S, B, Sh, X, Y);
  };
  AttachVideoDrag(true);
  vivo->OnMouseUp = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
    FormMouseUp(S, B, Sh, X, Y);
  };
  // The application's key preview shows the control's keys to FormKeyDown. The fast-forward
  // loop dispatches without it, so only then does the control's own key event pass them on;
  // at any other time that would run every key twice.
  vivo->OnKeyDown = [this](TObject* S, uint16_t& Key, TShiftState Sh) {
    if (FastForwarding) FormKeyDown(S, Key, Sh);
  };
  vivo->OnDblClick = [this](TObject* S) { FormDblClick(S); };

  OpenDialog1 = new TOpenDialog(this);
  OpenDialog1->Name = "OpenDialog1";
  OpenDialog1->DefaultExt = "viv";
  OpenDialog1->Filter = "Vivo files (*.viv)|*.viv";
  OpenDialog1->Options = ofAllowMultiSelect | ofPathMustExist | ofFileMustExist | ofHideReadOnly;

  PopupMenu1 = new TPopupMenu(this);
  PopupMenu1->Name = "PopupMenu1";
  CreateMenu();
  SetPopupMenu(PopupMenu1);
  Button1->SetPopupMenu(PopupMenu1);
  vivo->OnContextPopup = [this](int X, int Y) { PopupMenu1->Popup(X, Y); };

  TrayIcon1 = new TTrayIcon(this);
  TrayIcon1->Name = "TrayIcon1";
  TrayIcon1->SetActive(false);
  TrayIcon1->Icon()->LoadFromResource(nullptr, IDI_TRAY);
  TrayIcon1->SetShowApp(false);
  TrayIcon1->SetPopupMenu(PopupMenu1);
  TrayIcon1->OnClick = [this](TObject* S) { TrayIcon1Click(S); };
  TrayIcon1->OnRightClick = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
    TrayIcon1RightClick(S, B, Sh, X, Y);
  };
  TrayIcon1->Loaded();

  OnCreate = [this](TObject* S) { FormCreate(S); };
  OnClose = [this](TObject* S, TCloseAction& A) { FormClose(S, A); };
  OnKeyDown = [this](TObject* S, uint16_t& Key, TShiftState Sh) { FormKeyDown(S, Key, Sh); };
  OnDblClick = [this](TObject* S) { FormDblClick(S); };
  OnResize = [this](TObject* S) { FormResize(S); };
  // The tray icon hid the taskbar button when it was made; the window's first showing puts
  // the button (or the icon) back as System Tray says, or a start without a clip has neither.
  OnShow = [this](TObject*) {
    if (!ShownOnce) UpdateTrayIcon();
    ShownOnce = true;
  };
  DoCreate();
}

TMainForm::~TMainForm() {
  // The control's window is a child of ours: it goes first.
  delete vivo;
  if (MainForm == this) MainForm = nullptr;
}

void TMainForm::CreateMenu() {
  auto Handler = [this](void (TMainForm::*Method)(TObject*)) -> TNotifyEvent {
    return [this, Method](TObject* Sender) { (this->*Method)(Sender); };
  };
  TMenuItem& Items = PopupMenu1->Items;

  VideoControl1 = Items.Add("VideoControl1", "Video &Control");
  OpenFile1 = VideoControl1->Add("OpenFile1", "&Open File", ShortCut('O', Ctrl),
                                 Handler(&TMainForm::OpenFile1Click));
  OpenURL1 = VideoControl1->Add("OpenURL1", "Open &URL", ShortCut('U', Ctrl),
                                Handler(&TMainForm::OpenURL1Click));
  N3 = VideoControl1->Add("N3", "-");
  Playlist1 = VideoControl1->Add("Playlist1", "Play&list", ShortCut('L', Ctrl),
                                 Handler(&TMainForm::Playlist1Click));
  N2 = VideoControl1->Add("N2", "-");
  PlayPause1 = VideoControl1->Add("PlayPause1", "&Play / Pause", ShortCut('P', Ctrl),
                                  Handler(&TMainForm::PlayPause1Click));
  Fastforward1 = VideoControl1->Add("Fastforward1", "&Fast Forward", ShortCut('F', Ctrl),
                                    Handler(&TMainForm::Fastforward1Click));
  Stop1 = VideoControl1->Add("Stop1", "&Stop", ShortCut('S', Ctrl), Handler(&TMainForm::Stop1Click));
  Restart1 = VideoControl1->Add("Restart1", "&Restart", ShortCut('R', Ctrl),
                                Handler(&TMainForm::Restart1Click));
  Close1 = VideoControl1->Add("Close1", "&Close", ShortCut('C', Ctrl),
                              Handler(&TMainForm::Close1Click));
  N5 = VideoControl1->Add("N5", "-");
  SaveAs1 = VideoControl1->Add("SaveAs1", "Sa&ve As...", 0, Handler(&TMainForm::SaveAs1Click));

  View1 = Items.Add("View1", "&View");
  HalfSize1 = View1->Add("HalfSize1", "&Half Size", 0, Handler(&TMainForm::HalfSize1Click));
  OriginalSize1 = View1->Add("OriginalSize1", "&Original Size", 0,
                              Handler(&TMainForm::OriginalSize1Click));
  OriginalSize1->Checked = true;
  DoubleSize1 = View1->Add("DoubleSize1", "&Double Size", 0, Handler(&TMainForm::DoubleSize1Click));
  TripleSize1 = View1->Add("TripleSize1", "&Triple Size", 0, Handler(&TMainForm::TripleSize1Click));
  FullScreen1 = View1->Add("FullScreen1", "&Full Screen", 0, Handler(&TMainForm::FullScreen1Click));
  ScaledFullScreen1 = View1->Add("ScaledFullScreen1", "&Scaled Full Screen", 0,
                                  Handler(&TMainForm::ScaledFullScreen1Click));
  N6 = View1->Add("N6", "-");
  DirectXMode1 = View1->Add("DirectXMode1", "Direct&X Mode", 0,
                             Handler(&TMainForm::DirectXMode1Click));
  PresentationMode1 = View1->Add("PresentationMode1", "&Presentation Mode", 0,
                                  Handler(&TMainForm::PresentationMode1Click));
  CompactMode1 = View1->Add("CompactMode1", "&Compact Mode", 0,
                             Handler(&TMainForm::CompactMode1Click));
  N4 = View1->Add("N4", "-");
  N4->Visible = false;

  Options1 = Items.Add("Options1", "&Options", 0, Handler(&TMainForm::Options1Click));
  AlwaysOnTop1 = Options1->Add("AlwaysOnTop1", "&Always On Top", 0,
                               Handler(&TMainForm::AlwaysOnTop1Click));
  Minimize1 = Options1->Add("Minimize1", "&Minimize", ShortCut('M', Ctrl),
                            Handler(&TMainForm::Minimize1Click));
  N7 = Options1->Add("N7", "-");
  DisableScreenSaver1 = Options1->Add("DisableScreenSaver1", "&Disable Screen Saver",
                                      ShortCut('D', Ctrl),
                                      Handler(&TMainForm::DisableScreenSaver1Click));
  SystemTray1 = Options1->Add("SystemTray1", "System &Tray", ShortCut('T', Ctrl),
                              Handler(&TMainForm::SystemTray1Click));
  ChangeDirectXresolution1 =
      Options1->Add("ChangeDirectXresolution1", "Change DirectX resolution", VK_F10,
                    Handler(&TMainForm::ChangeDirectXresolution1Click));
  Help1 = Options1->Add("Help1", "&Help", VK_F1, Handler(&TMainForm::Help1Click));

  N1 = Items.Add("N1", "-");
  About1 = Items.Add("About1", "&About");
  AboutthisMovie1 = About1->Add("AboutthisMovie1", "&About this Movie...", ShortCut('A', Ctrl),
                                Handler(&TMainForm::AboutthisMovie1Click));
  AboutQuillo1 = About1->Add("AboutQuillo1", "About Quillo", ShortCut(VK_F1, ssShift),
                             Handler(&TMainForm::AboutQuillo1Click));
  AboutOstra1 = About1->Add("AboutOstra1", "About [Ostra]", ShortCut(VK_F1, Ctrl),
                            Handler(&TMainForm::AboutOstra1Click));
  Exit1 = Items.Add("Exit1", "E&xit", ShortCut('X', Ctrl), Handler(&TMainForm::Exit1Click));
}

void TMainForm::FormCreate(TObject*) {
  Application->SetHelpFile(ExtractFileDir(ProgramFileName()) + "\\Quillo.hlp");

  // Without the caption bar (WS_BORDER and WS_DLGFRAME); the sizing frame stays.
  LONG Style = GetWindowLongA(Handle(), GWL_STYLE);
  SetWindowLongA(Handle(), GWL_STYLE, Style & static_cast<LONG>(0xFF3FFFFF));
  SetHeight(ClientHeight());
  SetClientHeight(205);
  SetClientWidth(240);

  DragAcceptFiles(Handle(), TRUE);

  PlayState = psStopped;
  Closing = false;
  DirectDrawUsed = false;
  DirectXWidth = 640;
  DirectXHeight = 480;

  SaveAs1->ShortCut = ShortCut('S', CtrlShift);
  HalfSize1->ShortCut = ShortCut('0', Ctrl);
  OriginalSize1->ShortCut = ShortCut('1', Ctrl);
  DoubleSize1->ShortCut = ShortCut('2', Ctrl);
  TripleSize1->ShortCut = ShortCut('3', Ctrl);
  FullScreen1->ShortCut = ShortCut('4', Ctrl);
  ScaledFullScreen1->ShortCut = ShortCut('5', Ctrl);
  DirectXMode1->ShortCut = ShortCut('X', CtrlShift);
  PresentationMode1->ShortCut = ShortCut('P', CtrlShift);
  CompactMode1->ShortCut = ShortCut('C', CtrlShift);
  Options1->ShortCut = ShortCut('O', CtrlShift);
  AlwaysOnTop1->ShortCut = ShortCut('A', CtrlShift);
}

LRESULT TMainForm::WndProc(UINT Msg, WPARAM W, LPARAM L) {
  if (Msg == WM_DROPFILES) {
    WMDropFiles(reinterpret_cast<HDROP>(W));
    return 0;
  }
  return TForm::WndProc(Msg, W, L);
}
