// The message loop: filter, menu shortcuts, key preview and dispatch in that order; a nested
// loop of one's own skipping them; ProcessMessages, Terminate and errors inside handlers.
#include <doctest.h>

#include "tests/win/ToolkitTestSupport.h"
#include "toolkit/Errors.h"
#include "toolkit/Menus.h"
#include "toolkit/ScriptedDialogs.h"
#include "toolkit/StdCtrls.h"

namespace {

bool IsLetter(WPARAM Key) { return Key >= 'A' && Key <= 'Z'; }

TApplication* TimerTarget = nullptr;
void CALLBACK TerminateLater(HWND, UINT, UINT_PTR Id, DWORD) {
  KillTimer(nullptr, Id);
  TimerTarget->Terminate();
}

// A main form with a command menu, key preview and a list box holding the focus; every
// stage a letter key reaches is written down.
struct TKeyFixture {
  TFreshApplication A;
  TScriptedForm* Form = nullptr;
  TPopupMenu* Menu = nullptr;
  TListBox* List = nullptr;
  std::vector<std::string> Log;
  TKeyFixture() {
    A.App.CreateForm(Form);
    Menu = new TPopupMenu(Form);
    Menu->Items.Add("OpenFile1", "&Open File", scCtrl | 'O', [this](TObject*) { Log.push_back("menu"); });
    Form->SetPopupMenu(Menu);
    Form->SetKeyPreview(true);
    Form->OnKeyDown = [this](TObject*, uint16_t& Key, TShiftState) {
      if (!IsLetter(Key)) return;
      Log.push_back(std::string("preview:") + char(Key));
      if (Key == 'Z') Key = 0;
    };
    List = new TListBox(Form, Form);
    List->OnKeyDown = [this](TObject*, uint16_t& Key, TShiftState) {
      if (IsLetter(Key)) Log.push_back(std::string("child:") + char(Key));
    };
    A.App.OnMessage = [this](MSG& Msg, bool& Handled) {
      if (Msg.message != WM_KEYDOWN || !IsLetter(Msg.wParam)) return;
      Log.push_back(std::string("filter:") + char(Msg.wParam));
      if (Msg.wParam == 'Q') Handled = true;
    };
    Form->Show();
    SetForegroundWindow(Form->Handle());
    List->SetFocus();
    PumpFor(100);
  }
  std::vector<std::string> Press(WORD Key, std::vector<WORD> Modifiers = {}) {
    Log.clear();
    PressKey(Key, Modifiers);
    PumpFor(150);
    return Log;
  }
};
using TLog = std::vector<std::string>;
}  // namespace

TEST_CASE("keys pass the filter, then the menu's shortcuts, then key preview, then the window") {
  TKeyFixture F;
  REQUIRE(GetFocus() == F.List->Handle());
  CHECK(F.Press('O', {VK_CONTROL}) == TLog{"filter:O", "menu"});
  CHECK(F.Press('P') == TLog{"filter:P", "preview:P", "child:P"});
  CHECK(F.Press('Q') == TLog{"filter:Q"});
  CHECK(F.Press('Z') == TLog{"filter:Z", "preview:Z"});
  F.A.App.OnMessage = nullptr;
  CHECK(F.Press('Q') == TLog{"preview:Q", "child:Q"});
  F.Menu->Items.Find("OpenFile1")->Enabled = false;
  CHECK(F.Press('O', {VK_CONTROL}) == TLog{"preview:O", "child:O"});
}

TEST_CASE("a loop of one's own skips the filter, shortcuts and preview; the form's own keys still arrive") {
  TKeyFixture F;
  auto OwnLoop = [&](WORD Key, std::vector<WORD> Modifiers) {
    F.Log.clear();
    PressKey(Key, Modifiers);
    DWORD Start = GetTickCount();
    MSG Msg;
    while (GetTickCount() - Start < 150) {
      if (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&Msg);
        DispatchMessageA(&Msg);
      }
    }
    return F.Log;
  };
  CHECK(OwnLoop('O', {VK_CONTROL}) == TLog{"child:O"});
  F.Form->SetFocus();
  PumpFor(50);
  CHECK(OwnLoop('S', {VK_CONTROL}) == TLog{"preview:S"});
}

TEST_CASE("ProcessMessages handles what is queued and returns without waiting") {
  TFreshApplication A;
  TScriptedForm* Form = nullptr;
  A.App.CreateForm(Form);
  Form->OnApp = [&](UINT Msg) {
    if (Msg == WM_APP + 1) PostMessageA(Form->Handle(), WM_APP + 2, 0, 0);
  };
  PostMessageA(Form->Handle(), WM_APP + 1, 0, 0);
  PostMessageA(Form->Handle(), WM_APP + 3, 0, 0);
  A.App.ProcessMessages();
  CHECK(Form->Seen == std::vector<UINT>{WM_APP + 1, WM_APP + 3, WM_APP + 2});
  DWORD Start = GetTickCount();
  for (int I = 0; I < 20; ++I) A.App.ProcessMessages();
  CHECK(GetTickCount() - Start < 200);
}

TEST_CASE("Run shows the main form and ends once Terminate is called, also while it waits") {
  TFreshApplication A;
  TScriptedForm* Form = nullptr;
  A.App.CreateForm(Form);
  bool VisibleInside = false;
  Form->OnApp = [&](UINT) { VisibleInside = IsWindowVisible(Form->Handle()); };
  PostMessageA(Form->Handle(), WM_APP + 1, 0, 0);
  // The timer fires while the loop sleeps in WaitMessage.
  TimerTarget = &A.App;
  UINT_PTR Timer = SetTimer(nullptr, 0, 150, TerminateLater);
  DWORD Start = GetTickCount();
  A.App.Run();
  KillTimer(nullptr, Timer);
  CHECK(A.App.Terminated());
  CHECK(VisibleInside);
  CHECK(GetTickCount() - Start < 3000);
}

TEST_CASE("an error inside a handler is shown in an error box and the loop goes on") {
  TFreshApplication A;
  TScriptedDialogs Dialogs;
  A.App.SetTitle("Quillo");
  TScriptedForm* Form = nullptr;
  A.App.CreateForm(Form);
  Form->OnApp = [](UINT Msg) {
    if (Msg == WM_APP + 1) throw EInOutError("Cannot create \"x.viv.tmp\": Access is denied", 5);
    if (Msg == WM_APP + 2) throw std::runtime_error("plain failure");
  };
  PostMessageA(Form->Handle(), WM_APP + 1, 0, 0);
  PostMessageA(Form->Handle(), WM_APP + 2, 0, 0);
  PostMessageA(Form->Handle(), WM_APP + 3, 0, 0);
  A.App.ProcessMessages();
  CHECK(Form->Seen == std::vector<UINT>{WM_APP + 1, WM_APP + 2, WM_APP + 3});
  REQUIRE(Dialogs.Shown.size() == 2);
  CHECK(Dialogs.Shown[0].Text == "Cannot create \"x.viv.tmp\": Access is denied");
  CHECK(Dialogs.Shown[0].Caption == "Quillo");
  CHECK(Dialogs.Shown[0].Icon == MB_ICONERROR);
  CHECK(Dialogs.Shown[0].Buttons == MB_OK);
  CHECK(Dialogs.Shown[1].Text == "plain failure");

  // A failing filter is reported by the loop itself, and the next message still arrives.
  A.App.OnMessage = [](MSG& Msg, bool&) {
    if (Msg.message == WM_APP + 4) throw Exception("filter failed");
  };
  PostMessageA(Form->Handle(), WM_APP + 4, 0, 0);
  PostMessageA(Form->Handle(), WM_APP + 5, 0, 0);
  A.App.ProcessMessages();
  CHECK(Form->Seen.back() == WM_APP + 5);
  REQUIRE(Dialogs.Shown.size() == 3);
  CHECK(Dialogs.Shown[2].Text == "filter failed");
}
