// Help (F1): the help file's contents through its viewer when both are there, the manual in the
// browser otherwise, a message when the manual is gone too; and the manual the build writes
// naming every command of the menu with its keys.
#include <doctest.h>

#include <string>
#include <vector>

#include "components/FmxUtils.h"
#include "tests/win/MainFormFixture.h"
#include "toolkit/FileNames.h"
#include "toolkit/SysUtils.h"

namespace {

// Stands in for the old help viewer: WinHelpA hands its request to the window of this class,
// and the viewer's answer is what WinHelpA returns.
struct THelpViewer {
  struct TRequest {  // the viewer's request record, the file name behind it
    WORD Size, Command;
    LONG Data, Reserved;
    WORD FileNameOffset, DataOffset;
  };
  explicit THelpViewer(BOOL Answer) {
    Reply = Answer;
    Requests.clear();
    WNDCLASSA Class{};
    Class.lpfnWndProc = Proc;
    Class.hInstance = GetModuleHandleA(nullptr);
    Class.lpszClassName = "MS_WINHELP";
    RegisterClassA(&Class);
    Window = CreateWindowExA(0, "MS_WINHELP", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             Class.hInstance, nullptr);
  }
  ~THelpViewer() { DestroyWindow(Window); }
  THelpViewer(const THelpViewer&) = delete;
  THelpViewer& operator=(const THelpViewer&) = delete;
  static LRESULT CALLBACK Proc(HWND W, UINT Msg, WPARAM WP, LPARAM LP) {
    if (Msg != WM_COPYDATA) return DefWindowProcA(W, Msg, WP, LP);
    const auto* Copy = reinterpret_cast<const COPYDATASTRUCT*>(LP);
    const auto* Request = static_cast<const TRequest*>(Copy->lpData);
    const char* Bytes = static_cast<const char*>(Copy->lpData);
    Requests.push_back({Request->Command, Request->FileNameOffset ? Bytes + Request->FileNameOffset : ""});
    return Reply;
  }
  struct TSeen {
    UINT Command;
    std::string File;
  };
  static inline std::vector<TSeen> Requests;
  static inline BOOL Reply = TRUE;
  HWND Window;
};

// The shell calls made while it lives, recorded instead of starting a browser.
struct TShellRecorder {
  struct TCall {
    HWND Owner;
    std::string Verb, File, Params, Dir;
    int Show;
  };
  TShellRecorder() {
    Calls.clear();
    Previous = SetShellExecute(Record);
  }
  ~TShellRecorder() { SetShellExecute(Previous); }
  TShellRecorder(const TShellRecorder&) = delete;
  TShellRecorder& operator=(const TShellRecorder&) = delete;
  static HINSTANCE WINAPI Record(HWND Owner, LPCSTR Verb, LPCSTR File, LPCSTR Params, LPCSTR Dir,
                                 INT Show) {
    Calls.push_back({Owner, Verb ? Verb : "(default)", File ? File : "(none)",
                     Params ? Params : "(none)", Dir ? Dir : "(none)", Show});
    return reinterpret_cast<HINSTANCE>(33);  // above 32: done
  }
  static inline std::vector<TCall> Calls;
  TShellExecuteA Previous;
};

// A file beside the test program, where the player looks for its help; gone again afterwards.
struct TFileBesideProgram {
  TFileBesideProgram(const std::string& Name, bool Present)
      : Path(ExtractFileDir(ProgramFileName()) + "\\" + Name) {
    DeleteFileA(Path.c_str());
    if (Present) WriteBytes(Path, "<!DOCTYPE html>\r\n");
  }
  ~TFileBesideProgram() { DeleteFileA(Path.c_str()); }
  TFileBesideProgram(const TFileBesideProgram&) = delete;
  TFileBesideProgram& operator=(const TFileBesideProgram&) = delete;
  std::string Path;
};

std::string WithoutAmpersands(const std::string& Caption) {
  std::string Plain;
  for (char C : Caption)
    if (C != '&') Plain += C;
  return Plain;
}

// Every command of the menu tree that the manual lacks: a submenu as a heading, a command as
// a table row beginning with its caption and its keys.
void MissingFromManual(const std::vector<TMenuLine>& Lines, const std::string& Manual,
                       std::vector<std::string>& Missing, int& Commands) {
  for (const TMenuLine& Line : Lines) {
    if (Line.Separator) continue;
    size_t Tab = Line.Text.find('\t');
    std::string Caption = WithoutAmpersands(Line.Text.substr(0, Tab));
    std::string Keys = Tab == std::string::npos ? "" : Line.Text.substr(Tab + 1);
    if (!Line.Lines.empty()) {
      if (Manual.find(">" + Caption + "</h3>") == std::string::npos) Missing.push_back("heading " + Caption);
      if (!Keys.empty() && Manual.find(Keys) == std::string::npos) Missing.push_back(Caption + "'s " + Keys);
      MissingFromManual(Line.Lines, Manual, Missing, Commands);
      continue;
    }
    ++Commands;
    std::string Row = "<tr><td>" + Caption + "</td><td>" + Keys + "</td>";
    if (Manual.find(Row) == std::string::npos) Missing.push_back(Row);
  }
}

}  // namespace

TEST_CASE_FIXTURE(TMainFormFixture, "F1 opens the help file through its viewer, else the manual in the browser") {
  const std::string Folder = ExtractFileDir(ProgramFileName());
  struct TCase {
    const char* What;
    bool HelpFile;
    BOOL ViewerAnswer;
    bool Manual;
    bool ViewerAsked, Browser, Message;
  };
  const TCase Cases[] = {
      {"the help file, and a viewer that takes it", true, TRUE, true, true, false, false},
      {"the help file, and a viewer that fails", true, FALSE, true, true, true, false},
      {"no help file: the viewer is not asked", false, TRUE, true, false, true, false},
      {"neither help file nor manual: said so", false, TRUE, false, false, false, true},
  };
  for (const TCase& Case : Cases) {
    INFO(std::string(Case.What));
    TFileBesideProgram HelpFile("Quillo.hlp", Case.HelpFile), Manual("Quillo.html", Case.Manual);
    CHECK(Application->HelpFile() == HelpFile.Path);
    THelpViewer Viewer(Case.ViewerAnswer);
    TShellRecorder Shell;
    Dialogs.Shown.clear();
    ShowInFront();
    // F1 as the user presses it, through the menu's shortcut.
    PressKey(VK_F1);
    CHECK(RunUntil([&] {
      return !THelpViewer::Requests.empty() + !TShellRecorder::Calls.empty() + !Dialogs.Shown.empty() ==
             Case.ViewerAsked + Case.Browser + Case.Message;
    }));
    RunUntil([] { return false; }, 100);

    REQUIRE(THelpViewer::Requests.size() == (Case.ViewerAsked ? 1u : 0u));
    if (Case.ViewerAsked) {
      CHECK(THelpViewer::Requests[0].Command == HELP_CONTENTS);
      CHECK(THelpViewer::Requests[0].File == HelpFile.Path);
    }
    REQUIRE(TShellRecorder::Calls.size() == (Case.Browser ? 1u : 0u));
    if (Case.Browser) {
      const TShellRecorder::TCall& Call = TShellRecorder::Calls[0];
      CHECK(Call.Owner == Form->Handle());
      CHECK(Call.Verb == "(default)");
      CHECK(Call.File == Folder + "\\Quillo.html");
      CHECK(Call.Params == "");
      CHECK(Call.Dir == Folder);
      CHECK(Call.Show == SW_SHOWNORMAL);
    }
    REQUIRE(Dialogs.Shown.size() == (Case.Message ? 1u : 0u));
    if (Case.Message) {
      CHECK(Dialogs.Shown[0].Text ==
            "The manual " + Manual.Path + " is missing.\rPut Quillo.html beside Quillo.exe again.");
      CHECK(Dialogs.Shown[0].Icon == MB_ICONERROR);
      CHECK(Dialogs.Shown[0].Buttons == MB_OK);
    }
  }
}

TEST_CASE_FIXTURE(TMainFormFixture, "the manual beside the program names every command with its keys") {
  const std::string Manual = ReadBytes(QUILLO_MANUAL);
  REQUIRE(Manual.find("<title>Quillo " QUILLO_VERSION_TEXT "</title>") != std::string::npos);
  std::vector<std::string> Missing;
  int Commands = 0;
  MissingFromManual(Form->PopupMenu1->Lines(), Manual, Missing, Commands);
  CHECK(Commands == 28);
  for (const std::string& Entry : Missing) MESSAGE("the manual lacks ", Entry);
  CHECK(Missing.empty());
}
