// The single-instance guard in-process: a later start lets the running player's process take
// the foreground before it posts, and hand-overs that come before start-up has made the playlist
// editor wait for it, in order.
#include <doctest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/OneInstance.h"
#include "app/Startup.h"
#include "control/VVPPWEBLib_TLB.h"
#include "player/Main.h"
#include "playlist/Playlist.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/TestFiles.h"
#include "tests/win/ToolkitTestSupport.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ScriptedDialogs.h"
#include "toolkit/SysUtils.h"

namespace {

std::vector<std::string> Recorded;

BOOL WINAPI RecordAllowForeground(DWORD ProcessId) {
  Recorded.push_back("AllowSetForegroundWindow(" + std::to_string(ProcessId) + ")");
  return TRUE;
}

BOOL WINAPI RecordPost(HWND Window, UINT Message, WPARAM W, LPARAM L) {
  Recorded.push_back("PostMessage(" + std::to_string(reinterpret_cast<LONG_PTR>(Window)) + ", " +
                     std::to_string(Message) + ")");
  return PostMessageA(Window, Message, W, L);
}

// The hand-over block as another process sees it.
struct TBlockView {
  TBlockView() {
    Mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, InstanceBlockName);
    if (Mapping) Block = static_cast<InstanceBlock*>(MapViewOfFile(Mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  }
  ~TBlockView() {
    if (Block) UnmapViewOfFile(Block);
    if (Mapping) CloseHandle(Mapping);
  }
  HWND Window() const {
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<int32_t>(Block->Window)));
  }
  // Hands Line over as a later instance does, then handles messages, as a message box's loop
  // would, until the owner has taken it.
  void HandOver(const std::string& Line) {
    REQUIRE(Block->CommandLine[0] == '\0');
    Line.copy(Block->CommandLine, Line.size());
    Block->CommandLine[Line.size()] = '\0';
    REQUIRE(PostMessageA(Window(), HandOverMessage, 0, 0));
    REQUIRE(PumpUntil([&] { return Block->CommandLine[0] == '\0'; }));
  }
  HANDLE Mapping = nullptr;
  InstanceBlock* Block = nullptr;
};

std::vector<std::string> Entries() {
  return {PlayListForm->VivoList.begin(), PlayListForm->VivoList.end()};
}

}  // namespace

TEST_CASE("a later start lets the running player's process take the foreground, then posts") {
  // The running player: another process holding the block, its window published there.
  std::string Owner = ProgramFileName();
  Owner = Owner.substr(0, Owner.find_last_of('\\') + 1) + "handover_owner.exe";
  STARTUPINFOA Startup{};
  Startup.cb = sizeof Startup;
  PROCESS_INFORMATION Process{};
  REQUIRE_MESSAGE(CreateProcessA(Owner.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &Startup, &Process),
                  "cannot start " << Owner << ": error " << GetLastError());
  HWND OwnerWindow = nullptr;
  REQUIRE(PumpUntil([&] {
    TBlockView View;
    OwnerWindow = View.Block ? View.Window() : nullptr;
    return OwnerWindow != nullptr;
  }, 10000));

  Recorded.clear();
  HandOverCalls = {RecordAllowForeground, RecordPost};
  bool First = AcquireInstance();
  HandOverCalls = {};
  ReleaseInstance();
  CHECK_FALSE(First);
  CHECK(Recorded == std::vector<std::string>{
                        "AllowSetForegroundWindow(" + std::to_string(Process.dwProcessId) + ")",
                        "PostMessage(" + std::to_string(reinterpret_cast<LONG_PTR>(OwnerWindow)) +
                            ", " + std::to_string(HandOverMessage) + ")"});
  // The message reached the owner's window.
  CHECK(WaitForSingleObject(Process.hProcess, 30000) == WAIT_OBJECT_0);
  DWORD ExitCode = 99;
  GetExitCodeProcess(Process.hProcess, &ExitCode);
  CHECK(ExitCode == 0);
  CloseHandle(Process.hThread);
  CloseHandle(Process.hProcess);
}

TEST_CASE("hand-overs while a start-up box is up wait for the playlist editor, and none is lost") {
  TControlFixture Control;
  TScratchDir Dir;
  TScriptedDialogs Dialogs;
  TFreshApplication App;
  const std::string A = Dir / "a.viv", B = Dir / "b c.viv", C = Dir / "c.viv";
  for (const std::string& Clip : {A, B, C}) WriteClip(Clip, 160, 120, 20000);
  REQUIRE(AcquireInstance());
  TBlockView Later;
  REQUIRE(Later.Block);

  // A start-up box, before the player's windows exist: a start with two clips hands over while
  // it is up, then one without arguments.
  TDialogAnswer Ok;
  Ok.OnShow = [&] {
    Later.HandOver("\"C:\\Q\\Quillo.exe\" \"" + A + "\" \"" + B + "\"");
    Later.HandOver("\"C:\\Q\\Quillo.exe\"");
  };
  Dialogs.Answers.push_back(Ok);
  MessageDlg("a start-up box", mtError, mbOK);
  CHECK(Dialogs.Shown.size() == 1);
  CHECK(MainForm == nullptr);
  CHECK(PlayListForm == nullptr);

  // Start-up goes on; once it accepts them, both are played in order from the loop.
  CreateMainForm();
  CreateSecondaryForms();
  PlayListForm->TempDir = Dir.Path();
  TDiagnostics Diagnostics(*MainForm->vivo);
  const std::string Loaded = "Load(" + PlayListForm->TempPlaylist() + ")";
  CHECK(Diagnostics.Calls().empty());
  AcceptHandOvers();
  auto Commands = [&] {
    std::vector<std::string> Given;
    for (const std::string& Call : Diagnostics.Calls())
      if (Call == "Play" || Call.rfind("Load(", 0) == 0) Given.push_back(Call);
    return Given;
  };
  CHECK(PumpUntil([&] { return Commands().size() == 3; }));
  CHECK(Entries() == std::vector<std::string>{A, B});
  CHECK(Commands() == std::vector<std::string>{"Load()", Loaded, "Play"});
  CHECK(Dialogs.Shown.size() == 1);

  // Accepted, a hand-over is played at once.
  Diagnostics->ClearCalls();
  Later.HandOver("\"C:\\Q\\Quillo.exe\" \"" + C + "\"");
  CHECK(Entries() == std::vector<std::string>{C});
  CHECK(Commands() == std::vector<std::string>{"Load()", Loaded, "Play"});
  ReleaseInstance();
}
