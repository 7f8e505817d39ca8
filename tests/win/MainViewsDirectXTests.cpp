// DirectX mode on the real window: the display really switched through DirectDraw and given
// back before the window is laid out again, the clip paused around the switch, the resolution
// key, and what the user sees when DirectDraw is missing or refuses.
#include <doctest.h>

#include <vector>

#include "components/Trayicon.h"
#include "control/VVPPWEBLib_TLB.h"
#include "tests/win/MainViewsFixture.h"

namespace {

// A DirectDraw object that answers the two calls the player makes as told and counts Release.
class TFakeDirectDraw : public IDirectDraw {
public:
  HRESULT CooperativeResult = DD_OK, DisplayModeResult = DD_OK;
  std::vector<std::string> Calls;
  int Releases = 0;

  STDMETHOD(QueryInterface)(REFIID, void** Object) override { *Object = nullptr; return E_NOINTERFACE; }
  STDMETHOD_(ULONG, AddRef)() override { return 2; }
  STDMETHOD_(ULONG, Release)() override {
    ++Releases;
    return 1;
  }
  STDMETHOD(Compact)() override { return E_NOTIMPL; }
  STDMETHOD(CreateClipper)(DWORD, LPDIRECTDRAWCLIPPER*, IUnknown*) override { return E_NOTIMPL; }
  STDMETHOD(CreatePalette)(DWORD, LPPALETTEENTRY, LPDIRECTDRAWPALETTE*, IUnknown*) override { return E_NOTIMPL; }
  STDMETHOD(CreateSurface)(LPDDSURFACEDESC, LPDIRECTDRAWSURFACE*, IUnknown*) override { return E_NOTIMPL; }
  STDMETHOD(DuplicateSurface)(LPDIRECTDRAWSURFACE, LPDIRECTDRAWSURFACE*) override { return E_NOTIMPL; }
  STDMETHOD(EnumDisplayModes)(DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMMODESCALLBACK) override { return E_NOTIMPL; }
  STDMETHOD(EnumSurfaces)(DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMSURFACESCALLBACK) override { return E_NOTIMPL; }
  STDMETHOD(FlipToGDISurface)() override { return E_NOTIMPL; }
  STDMETHOD(GetCaps)(LPDDCAPS, LPDDCAPS) override { return E_NOTIMPL; }
  STDMETHOD(GetDisplayMode)(LPDDSURFACEDESC) override { return E_NOTIMPL; }
  STDMETHOD(GetFourCCCodes)(LPDWORD, LPDWORD) override { return E_NOTIMPL; }
  STDMETHOD(GetGDISurface)(LPDIRECTDRAWSURFACE*) override { return E_NOTIMPL; }
  STDMETHOD(GetMonitorFrequency)(LPDWORD) override { return E_NOTIMPL; }
  STDMETHOD(GetScanLine)(LPDWORD) override { return E_NOTIMPL; }
  STDMETHOD(GetVerticalBlankStatus)(WINBOOL*) override { return E_NOTIMPL; }
  STDMETHOD(Initialize)(GUID*) override { return E_NOTIMPL; }
  STDMETHOD(RestoreDisplayMode)() override { return E_NOTIMPL; }
  STDMETHOD(SetCooperativeLevel)(HWND Window, DWORD Flags) override {
    Calls.push_back("SetCooperativeLevel(" + std::string(Window == MainForm->Handle() ? "player" : "other") +
                    ", " + std::to_string(Flags) + ")");
    return CooperativeResult;
  }
  STDMETHOD(SetDisplayMode)(DWORD Width, DWORD Height, DWORD Bits) override {
    Calls.push_back("SetDisplayMode(" + std::to_string(Width) + ", " + std::to_string(Height) + ", " +
                    std::to_string(Bits) + ")");
    return DisplayModeResult;
  }
  STDMETHOD(WaitForVerticalBlank)(DWORD, HANDLE) override { return E_NOTIMPL; }
};

// What DirectDrawCreate hands out in a test: the fake object, or a failure.
TFakeDirectDraw* Fake = nullptr;
HRESULT CreateResult = DD_OK;
HRESULT WINAPI FakeCreate(GUID* Driver, IDirectDraw** Object, IUnknown* Outer) {
  CHECK(Driver == nullptr);
  CHECK(Outer == nullptr);
  if (CreateResult != DD_OK) {
    *Object = reinterpret_cast<IDirectDraw*>(0x1);  // what a failing driver may leave behind
    return CreateResult;
  }
  *Object = Fake;
  return DD_OK;
}

std::vector<std::string> Texts(const std::vector<TShownDialog>& Shown) {
  std::vector<std::string> Lines;
  for (const TShownDialog& Box : Shown) Lines.push_back(Box.Text);
  return Lines;
}

// The resolution DirectX mode switches to on this desktop: one that differs from it.
TSize SwitchTo(TViewsFixture& F) {
  if (F.Desktop == TSize{640, 480}) F.Form->ChangeDirectXresolution1Click(nullptr);
  F.Dialogs.Shown.clear();
  return {F.Form->DirectXWidth, F.Form->DirectXHeight};
}

}  // namespace

TEST_CASE_FIXTURE(TViewsFixture, "DirectX mode switches the display with the clip paused around it, and gives it back first") {
  Open(176, 144);
  const TSize Mode = SwitchTo(*this);
  ClearCalls();
  Run(&TMainForm::DirectXMode1Click);
  CHECK(Commands() == std::vector<std::string>{"Pause", "Play"});
  CHECK(Form->PlayState == psPlaying);
  CHECK(Display() == Mode);
  CHECK(Client() == Mode);
  CHECK(Video() == TRect{(Mode.Width - 176) / 2, (Mode.Height - 144) / 2, 176, 144});
  CHECK(SkinHidden());
  CHECK(DirectDrawActive);
  CHECK(DirectDrawUsed);
  CHECK(Dialogs.Shown.empty());

  // Another view while DirectDraw holds the display: no DirectDraw call, even after the
  // resolution key, and the layout uses the display as it is.
  IDirectDraw* Held = DirectDrawObject;
  ClearCalls();
  Run(&TMainForm::ChangeDirectXresolution1Click);
  Run(&TMainForm::HalfSize1Click);
  Run(&TMainForm::FullScreen1Click);
  CHECK(DirectDrawObject == Held);
  CHECK(Commands().empty());
  CHECK(Display() == Mode);
  CHECK(Client() == Mode);
  CHECK(Video() == TRect{0, 0, Mode.Width, Mode.Height});

  // Turning the mode off releases DirectDraw before Full Screen lays the window out again, so
  // the layout is the desktop's.
  Run(&TMainForm::DirectXMode1Click);
  CHECK_FALSE(DirectDrawActive);
  CHECK(DirectDrawObject == nullptr);
  CHECK(Display() == Desktop);
  CHECK(Client() == Desktop);
  CHECK(Video() == TRect{0, 0, Desktop.Width, Desktop.Height});

  // A paused clip stays paused through the switch.
  Form->PlayPause1Click(nullptr);
  REQUIRE(Form->PlayState == psPaused);
  ClearCalls();
  Run(&TMainForm::DirectXMode1Click);
  CHECK(Commands() == std::vector<std::string>{"Pause"});
  CHECK(Form->PlayState == psPaused);
}

TEST_CASE_FIXTURE(TViewsFixture, "DirectX mode's fit tests: the DirectX resolution, also while leaving it") {
  SUBCASE("at 320 x 240 a 176 x 144 clip has no Double Size: Original, centred") {
    Open(176, 144);
    Run(&TMainForm::DoubleSize1Click);
    Run(&TMainForm::ChangeDirectXresolution1Click);
    Run(&TMainForm::DirectXMode1Click);
    CHECK_FALSE(Form->DoubleSize1->Enabled);
    CHECK(Form->OriginalSize1->Checked);
    CHECK(Display() == TSize{320, 240});
    CHECK(Video() == TRect{72, 48, 176, 144});
  }
  SUBCASE("176 x 144: Double fits, the skin returns at Double at the screen's corner") {
    Open(176, 144);
    Run(&TMainForm::DoubleSize1Click);
    Run(&TMainForm::DirectXMode1Click);
    CHECK(Video() == TRect{144, 96, 352, 288});
    Run(&TMainForm::DirectXMode1Click);
    CHECK(Form->DoubleSize1->Checked);
    CHECK(Client() == TSize{410, 383});
    CHECK(Video() == TRect{27, 37, 352, 288});
    CHECK(SkinShown());
    CHECK(Display() == Desktop);
    CHECK(Form->Left() <= 0);
    CHECK(Form->Top() <= 0);
    CHECK(ClientOrigin().X >= 0);
    CHECK(ClientOrigin().Y >= 0);
  }
  SUBCASE("320 x 240: Double fills 640 x 480 exactly; the skin would need 746 x 639, so Original") {
    Open(320, 240);
    Run(&TMainForm::DirectXMode1Click);
    CHECK(Form->DoubleSize1->Enabled);
    CHECK_FALSE(Form->TripleSize1->Enabled);
    Run(&TMainForm::DoubleSize1Click);
    CHECK(Video() == TRect{0, 0, 640, 480});
    Run(&TMainForm::DirectXMode1Click);
    CHECK_FALSE(Form->DoubleSize1->Enabled);
    CHECK(Form->OriginalSize1->Checked);
    CHECK(Client() == TSize{373, 319});
    CHECK(Video() == TRect{25, 31, 320, 240});
  }
}

TEST_CASE_FIXTURE(TViewsFixture, "F10 twice: 320 x 240, then 640 x 480 again, each said in a box") {
  for (int Press = 0; Press < 2; ++Press) {
    // F10 reaches the window as a system key. Only the press: its release belongs to the box,
    // which a real user has in front by then.
    PostMessageA(Form->Handle(), WM_SYSKEYDOWN, VK_F10, 1);
    REQUIRE(RunUntil([&] { return Dialogs.Shown.size() == size_t(Press) + 1; }));
  }
  CHECK(Texts(Dialogs.Shown) ==
        std::vector<std::string>{"DirectX mode changed to 320x240", "DirectX mode changed to 640x480"});
  for (const TShownDialog& Box : Dialogs.Shown) {
    CHECK(Box.Icon == MB_ICONINFORMATION);
    CHECK(Box.Buttons == MB_OK);
  }
  CHECK(Form->DirectXWidth == 640);
  CHECK(Form->DirectXHeight == 480);
}

TEST_CASE_FIXTURE(TViewsFixture, "DirectDraw missing or refusing: the box, the layout goes on, nothing false is released") {
  struct TCase {
    const char* Name;
    bool Missing;
    HRESULT Create, Cooperative, DisplayMode;
    bool Small;  // at 320 x 240
    std::vector<std::string> Boxes, Calls;
  };
  const std::string Init = "Error initializing DirectDraw!";
  const TCase Cases[] = {
      {"ddraw.dll missing", true, DD_OK, DD_OK, DD_OK, false, {Init}, {}},
      {"DirectDrawCreate fails", false, DDERR_NODIRECTDRAWHW, DD_OK, DD_OK, false, {Init}, {}},
      {"exclusive mode refused", false, DD_OK, DDERR_EXCLUSIVEMODEALREADYSET, DD_OK, false, {Init},
       {"SetCooperativeLevel(player, 17)", "SetDisplayMode(640, 480, 16)"}},
      {"640 x 480 refused", false, DD_OK, DD_OK, DDERR_INVALIDMODE, false, {"640x480 mode not supported!"},
       {"SetCooperativeLevel(player, 17)", "SetDisplayMode(640, 480, 16)"}},
      {"320 x 240 refused", false, DD_OK, DD_OK, DDERR_INVALIDMODE, true, {"320x240 mode not supported!"},
       {"SetCooperativeLevel(player, 17)", "SetDisplayMode(320, 240, 16)"}},
  };
  Open(176, 144);
  for (const TCase& Case : Cases) {
    INFO(Case.Name);
    TFakeDirectDraw Object;
    Object.CooperativeResult = Case.Cooperative;
    Object.DisplayModeResult = Case.DisplayMode;
    Fake = &Object;
    CreateResult = Case.Create;
    DDraw::DirectDrawCreate = Case.Missing ? nullptr : FakeCreate;
    if (Case.Small != (Form->DirectXWidth == 320)) Run(&TMainForm::ChangeDirectXresolution1Click);
    Dialogs.Shown.clear();
    ClearCalls();

    Run(&TMainForm::DirectXMode1Click);
    CHECK(Texts(Dialogs.Shown) == Case.Boxes);
    for (const TShownDialog& Box : Dialogs.Shown) CHECK(Box.Icon == MB_ICONERROR);
    CHECK(Object.Calls == Case.Calls);
    CHECK(Commands() == std::vector<std::string>{"Pause", "Play"});
    CHECK(DirectDrawActive);
    CHECK(DirectDrawUsed);
    // The screen-style layout at whatever resolution the display has.
    CHECK(Client() == Desktop);
    CHECK(Video() == TRect{(Desktop.Width - 176) / 2, (Desktop.Height - 144) / 2, 176, 144});
    CHECK_FALSE(Resizing);

    Run(&TMainForm::DirectXMode1Click);
    CHECK(Object.Releases == (Case.Calls.empty() ? 0 : 1));
    CHECK(DirectDrawObject == nullptr);
    CHECK_FALSE(DirectDrawActive);
    CHECK(SkinShown());
  }
}

TEST_CASE_FIXTURE(TViewsFixture, "every window-style layout sets the tray and the z-order again") {
  Open(176, 144);
  // The options' check marks changed without their own commands: the next layout applies them.
  Form->SystemTray1->Checked = true;
  Form->AlwaysOnTop1->Checked = true;
  Run(&TMainForm::DoubleSize1Click);
  CHECK(Form->TrayIcon1->Active());
  CHECK_FALSE(Form->TrayIcon1->ShowApp());
  CHECK((GetWindowLongA(Form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);

  // DirectDraw's exclusive mode puts the window on top; leaving it takes it down again.
  Form->SystemTray1->Checked = false;
  Form->AlwaysOnTop1->Checked = false;
  Run(&TMainForm::DirectXMode1Click);
  Run(&TMainForm::DirectXMode1Click);
  CHECK_FALSE(Form->TrayIcon1->Active());
  CHECK(Form->TrayIcon1->ShowApp());
  CHECK((GetWindowLongA(Form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) == 0);
}
