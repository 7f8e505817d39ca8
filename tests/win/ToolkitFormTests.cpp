// Forms: outer and client geometry, centring, exact pixel sizes, modal showing and closing.
#include <doctest.h>

#include "tests/win/ToolkitTestSupport.h"
#include "toolkit/Errors.h"
#include "toolkit/Forms.h"

TEST_CASE("a form without its caption bar, sized to a 240 x 205 client, is exactly that") {
  TFreshApplication A;
  TForm* Form = nullptr;
  A.App.CreateForm(Form);
  CHECK(A.App.MainForm() == Form);
  CHECK(GetWindow(Form->Handle(), GW_OWNER) == A.App.Handle());
  Form->SetBorderIcons(0);
  SetWindowLongA(Form->Handle(), GWL_STYLE, GetWindowLongA(Form->Handle(), GWL_STYLE) & 0xFF3FFFFF);
  Form->SetHeight(Form->ClientHeight());
  Form->SetClientHeight(205);
  Form->SetClientWidth(240);

  RECT Client, Outer;
  GetClientRect(Form->Handle(), &Client);
  GetWindowRect(Form->Handle(), &Outer);
  CHECK(Client.right == 240);
  CHECK(Client.bottom == 205);
  CHECK(Form->ClientWidth() == 240);
  CHECK(Form->ClientHeight() == 205);
  CHECK(Form->Width() == Outer.right - Outer.left);
  CHECK(Form->Height() == Outer.bottom - Outer.top);
  // The sizing frame stays and is the same all around: no caption bar is left.
  CHECK(Form->Width() > 240);
  CHECK(Form->Width() - 240 == Form->Height() - 205);
  CHECK((GetWindowLongA(Form->Handle(), GWL_STYLE) & WS_THICKFRAME) != 0);
}

TEST_CASE("outer sizes are applied exactly, below the system's minimum and beyond the screen") {
  TFreshApplication A;
  TForm* Form = nullptr;
  A.App.CreateForm(Form);
  Form->Show();
  Form->SetBounds(10, 20, 248, 213);
  CHECK(Form->Left() == 10);
  CHECK(Form->Top() == 20);
  Form->SetHeight(6);
  Form->SetWidth(0);
  CHECK(Form->Height() == 6);
  CHECK(Form->Width() == 0);
  Form->SetLeft(-4);
  Form->SetWidth(1032);
  CHECK(Form->Left() == -4);
  CHECK(Form->Width() == 1032);
}

TEST_CASE("a form placed at the screen's centre is centred when first shown only") {
  TFreshApplication A;
  TForm* Form = nullptr;
  A.App.CreateForm(Form);
  Form->SetPosition(poScreenCenter);
  Form->SetBounds(0, 0, 301, 200);
  CHECK_FALSE(Form->Visible());
  Form->Show();
  CHECK(Form->Visible());
  CHECK(IsWindowVisible(Form->Handle()));
  CHECK(Form->Left() == (Screen->Width() - 301) / 2);
  CHECK(Form->Top() == (Screen->Height() - 200) / 2);
  Form->Hide();
  Form->SetLeft(5);
  Form->Show();
  CHECK(Form->Left() == 5);
}

TEST_CASE("ShowModal disables the other windows and returns the modal result") {
  TFreshApplication A;
  TScriptedForm* Main = nullptr;
  TScriptedForm* Dialog = nullptr;
  A.App.CreateForm(Main);
  A.App.CreateForm(Dialog);
  Main->Show();
  bool MainEnabledInside = true;
  Dialog->OnApp = [&](UINT Msg) {
    MainEnabledInside = IsWindowEnabled(Main->Handle());
    if (Msg == WM_APP + 1) Dialog->SetModalResult(mrOk);
    if (Msg == WM_APP + 2) Dialog->Close();
  };
  PostMessageA(Dialog->Handle(), WM_APP + 1, 0, 0);
  CHECK(Dialog->ShowModal() == mrOk);
  CHECK_FALSE(MainEnabledInside);
  CHECK(IsWindowEnabled(Main->Handle()));
  CHECK_FALSE(IsWindowVisible(Dialog->Handle()));
  CHECK_FALSE(Dialog->Modal());

  // Closing a modal form cancels it; OnClose may refuse, and then the loop goes on.
  int Refusals = 0;
  Dialog->OnClose = [&](TObject*, TCloseAction& Action) {
    if (Refusals++ == 0) Action = caNone;
  };
  PostMessageA(Dialog->Handle(), WM_APP + 2, 0, 0);
  PostMessageA(Dialog->Handle(), WM_APP + 2, 0, 0);
  CHECK(Dialog->ShowModal() == mrCancel);
  CHECK(Refusals == 2);
  CHECK(Dialog->Seen.size() == 3);

  Dialog->Show();
  CHECK_THROWS_AS(Dialog->ShowModal(), Exception);
  Dialog->Hide();

  // An OnClose that fails ends the modal loop all the same: its error goes on to the caller,
  // the form is hidden and the others enabled, and it can be shown modally again.
  Dialog->OnClose = [](TObject*, TCloseAction&) { throw EInOutError("disk full", 112); };
  PostMessageA(Dialog->Handle(), WM_APP + 2, 0, 0);
  CHECK_THROWS_AS(Dialog->ShowModal(), EInOutError);
  CHECK_FALSE(IsWindowVisible(Dialog->Handle()));
  CHECK_FALSE(Dialog->Modal());
  CHECK(IsWindowEnabled(Main->Handle()));
  Dialog->OnClose = nullptr;
  PostMessageA(Dialog->Handle(), WM_APP + 1, 0, 0);
  CHECK(Dialog->ShowModal() == mrOk);
}

TEST_CASE("closing hides a form, ends the application for the main form, or is refused") {
  TFreshApplication A;
  TForm* Main = nullptr;
  TForm* Other = nullptr;
  A.App.CreateForm(Main);
  A.App.CreateForm(Other);
  Other->Show();
  SendMessageA(Other->Handle(), WM_CLOSE, 0, 0);
  CHECK_FALSE(IsWindowVisible(Other->Handle()));
  CHECK_FALSE(A.App.Terminated());

  Main->Show();
  Main->OnClose = [](TObject*, TCloseAction& Action) { Action = caNone; };
  Main->Close();
  CHECK_FALSE(A.App.Terminated());
  std::vector<std::string> Order;
  Main->OnClose = [&](TObject*, TCloseAction&) { Order.push_back("close"); };
  SendMessageA(Main->Handle(), WM_CLOSE, 0, 0);
  CHECK(Order.size() == 1);
  CHECK(A.App.Terminated());
}

TEST_CASE("minimising hides the forms and restoring brings them back") {
  TFreshApplication A;
  TForm* Main = nullptr;
  A.App.CreateForm(Main);
  Main->Show();
  A.App.Minimize();
  CHECK(A.App.Minimized());
  CHECK_FALSE(IsWindowVisible(Main->Handle()));
  CHECK(IsIconic(A.App.Handle()));
  A.App.Restore();
  CHECK_FALSE(A.App.Minimized());
  CHECK(IsWindowVisible(Main->Handle()));
  CHECK_FALSE(IsIconic(A.App.Handle()));

  // With the taskbar button hidden (a tray icon instead), it stays hidden throughout.
  ShowWindow(A.App.Handle(), SW_HIDE);
  A.App.Minimize();
  CHECK_FALSE(IsWindowVisible(Main->Handle()));
  CHECK_FALSE(IsWindowVisible(A.App.Handle()));
  A.App.Restore();
  CHECK(IsWindowVisible(Main->Handle()));
  CHECK_FALSE(IsWindowVisible(A.App.Handle()));
}
