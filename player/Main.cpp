// The player window: its components and its creation.
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

void FinalizeMain() {
  if (DirectDrawObject) {
    DirectDrawObject->Release();
    DirectDrawObject = nullptr;
  }
  LastURL.clear();
}

TMainForm::TMainForm(TComponent* Owner)
    : TForm(Owner, "TMainForm"), TWindowDrag(*this, Dragging, DragX, DragY) {
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
  DragBy({TVImage});

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
  vivo->OnCaptureLost = [this](TObject* S) { FormCaptureLost(S); };
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

void TMainForm::FormCreate(TObject*) {
  Application->SetHelpFile(ExtractFileDir(ProgramFileName()) + "\\Quillo.hlp");

  // Without the caption bar (WS_BORDER and WS_DLGFRAME); the sizing frame stays.
  LONG Style = GetWindowLongA(Handle(), GWL_STYLE);
  SetWindowLongA(Handle(), GWL_STYLE, Style & ~static_cast<LONG>(WS_CAPTION));
  SetHeight(ClientHeight());
  SetClientHeight(205);
  SetClientWidth(240);

  DragAcceptFiles(Handle(), TRUE);

  PlayState = psStopped;
  Closing = false;
  DirectDrawUsed = false;
  DirectXWidth = 640;
  DirectXHeight = 480;

  GiveCreationShortCuts();
}

LRESULT TMainForm::WndProc(UINT Msg, WPARAM W, LPARAM L) {
  if (Msg == WM_DROPFILES) {
    WMDropFiles(reinterpret_cast<HDROP>(W));
    return 0;
  }
  return TForm::WndProc(Msg, W, L);
}
