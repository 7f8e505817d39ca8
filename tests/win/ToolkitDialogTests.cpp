// The dialog service: boxes and file dialogs recorded and answered by a script, and the real
// input box driven like a user would.
#include <doctest.h>

#include "tests/win/TestFiles.h"
#include "tests/win/ToolkitTestSupport.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ScriptedDialogs.h"

TEST_CASE("message boxes go through the service with the title, the type's icon and buttons") {
  TFreshApplication A;
  A.App.SetTitle("Quillo");
  TScriptedDialogs Dialogs;
  Dialogs.Answer(IDYES).Answer(IDNO);
  CHECK(MessageDlg("Are you sure you want to quit Quillo?", mtConfirmation, mbYes | mbNo) == mrYes);
  CHECK(MessageDlg("Are you sure you want to close the vivo?", mtConfirmation, mbYes | mbNo) == mrNo);
  ShowMessage("Error loading file/URL \"x\"");
  CHECK(MessageDlg("Gone", mtError, mbOK) == mrOk);  // no answer left: OK for an OK-only box
  CHECK(MessageDlg("Sure?", mtWarning, mbYes | mbNo | mbCancel) == mrCancel);
  REQUIRE(Dialogs.Shown.size() == 5);
  CHECK(Dialogs.Shown[0].Text == "Are you sure you want to quit Quillo?");
  CHECK(Dialogs.Shown[0].Caption == "Quillo");
  CHECK(Dialogs.Shown[0].Buttons == MB_YESNO);
  CHECK(Dialogs.Shown[0].Icon == MB_ICONQUESTION);
  CHECK(Dialogs.Shown[2].Buttons == MB_OK);
  CHECK(Dialogs.Shown[2].Icon == MB_ICONINFORMATION);
  CHECK(Dialogs.Shown[3].Icon == MB_ICONERROR);
  CHECK(Dialogs.Shown[4].Buttons == MB_YESNOCANCEL);
  CHECK(Dialogs.Unanswered == 3);
}

TEST_CASE("the open dialog asks with its settings and returns full names in the dialog's order") {
  TFreshApplication A;
  TScratchDir Dir;
  TScriptedDialogs Dialogs;
  TOpenDialog Open(nullptr);
  Open.DefaultExt = "viv";
  Open.Filter = "Vivo files (*.viv)|*.viv";
  Open.Options = ofAllowMultiSelect | ofPathMustExist | ofFileMustExist | ofHideReadOnly;
  Open.Files.Add("earlier.viv");

  Dialogs.AnswerFiles(false, {});
  CHECK_FALSE(Open.Execute());
  CHECK(Open.Files.Count() == 1);  // a cancel changes nothing

  Dialogs.AnswerFiles(true, {Dir / "b c.viv", Dir / "a.viv"});
  CHECK(Open.Execute());
  REQUIRE(Open.Files.Count() == 2);
  CHECK(Open.Files[0] == Dir / "b c.viv");
  CHECK(Open.Files[1] == Dir / "a.viv");
  CHECK(Open.FileName == Dir / "b c.viv");
  REQUIRE(Dialogs.Shown.size() == 2);
  const TFileDialogRequest& Asked = Dialogs.Shown[1].Request;
  CHECK(Dialogs.Shown[1].Kind == TShownDialog::dkOpenDialog);
  CHECK(Asked.Filter == "Vivo files (*.viv)|*.viv");
  CHECK(Asked.DefaultExt == "viv");
  CHECK(Asked.Options == Open.Options);
  CHECK(Asked.FileName == "");
  // The folder chosen is the current one now: the settings keep it.
  char Current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, Current);
  CHECK(std::string(Current) + "\\" == Dir.Path());

  TSaveDialog Save(nullptr);
  Dialogs.AnswerFiles(true, {Dir / "list.viv"});
  CHECK(Save.Execute());
  CHECK(Dialogs.Shown.back().Kind == TShownDialog::dkSaveDialog);
  CHECK(Save.FileName == Dir / "list.viv");
  SetCurrentDirectoryA("C:\\");
}

namespace {
// Plays the user at the real input box: reads it, then types and confirms or cancels.
struct TUser {
  std::string Title, Prompt, StartText, Type;
  WPARAM Finish = VK_RETURN;
  bool Seen = false;
} User;

BOOL CALLBACK ReadStatic(HWND Child, LPARAM) {
  char Class[32], Text[256];
  GetClassNameA(Child, Class, sizeof(Class));
  GetWindowTextA(Child, Text, sizeof(Text));
  if (std::string(Class) == "Static") User.Prompt = Text;
  if (std::string(Class) == "Edit") User.StartText = Text;
  return TRUE;
}

void CALLBACK PlayUser(HWND, UINT, UINT_PTR Id, DWORD) {
  HWND Box = FindWindowA("TInputBox", nullptr);
  if (!Box || !IsWindowVisible(Box)) return;
  KillTimer(nullptr, Id);
  User.Seen = true;
  char Title[256];
  GetWindowTextA(Box, Title, sizeof(Title));
  User.Title = Title;
  EnumChildWindows(Box, ReadStatic, 0);
  HWND Edit = FindWindowExA(Box, nullptr, "Edit", nullptr);
  if (!User.Type.empty()) SetWindowTextA(Edit, User.Type.c_str());
  PostMessageA(Edit, WM_KEYDOWN, User.Finish, 0);
}

bool AskLikeAUser(std::string& Value, const std::string& Type, WPARAM Finish) {
  User = TUser{};
  User.Type = Type;
  User.Finish = Finish;
  UINT_PTR Timer = SetTimer(nullptr, 0, 50, PlayUser);
  bool Ok = InputQuery("Open URL", "Enter the URL:", Value);
  KillTimer(nullptr, Timer);
  return Ok;
}
}  // namespace

TEST_CASE("the real input box shows title, prompt and start text; Enter keeps, Escape drops") {
  TFreshApplication A;
  std::string Value = "http://host/old.viv";
  std::string Long(3000, 'x');
  CHECK(AskLikeAUser(Value, "http://host/" + Long, VK_RETURN));
  CHECK(User.Seen);
  CHECK(User.Title == "Open URL");
  CHECK(User.Prompt == "Enter the URL:");
  CHECK(User.StartText == "http://host/old.viv");
  CHECK(Value == "http://host/" + Long);  // nothing cut off

  Value = "kept";
  CHECK_FALSE(AskLikeAUser(Value, "typed, then cancelled", VK_ESCAPE));
  CHECK(User.Seen);
  CHECK(Value == "kept");

  Value = "kept";
  CHECK(AskLikeAUser(Value, "", VK_RETURN));
  CHECK(Value == "kept");
}
