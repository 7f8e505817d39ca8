// The control's Save As as a user meets it: the dialog's types and the name's extension, a copy
// that cannot be written, and a long copy's progress window, with the host's window kept alive.
#include <doctest.h>
#include <windows.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <utility>

#include "tests/win/ControlTestHost.h"
#include "tests/win/TestFiles.h"
#include "vvppweb/MakeVivo.h"

namespace {

// What a user does in one window of this thread, found by its title: type a name and pick a
// type in the save dialog and press OK, or, with Wait, do whatever Wait says once it returns
// true. From a thread timer, so inside whatever modal loop is running.
struct TStep {
  std::string Title;
  std::string FileName;
  int Type = 0;  // the save dialog's type, from 1; 0 leaves it
  std::function<bool(HWND)> Wait;
};

struct TUser {
  static inline std::deque<TStep> Steps;
  static inline std::vector<std::string> Seen;  // each window met: "title: text"
  UINT_PTR Timer;
  explicit TUser(std::deque<TStep> Script) {
    Steps = std::move(Script);
    Seen.clear();
    Timer = SetTimer(nullptr, 0, 50, Tick);
  }
  ~TUser() { KillTimer(nullptr, Timer); }

  static HWND Find(const std::string& Title) {
    std::pair<const std::string*, HWND> Search{&Title, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), Match, reinterpret_cast<LPARAM>(&Search));
    return Search.second;
  }
  static BOOL CALLBACK Match(HWND Window, LPARAM Data) {
    auto& Search = *reinterpret_cast<std::pair<const std::string*, HWND>*>(Data);
    char Caption[256] = "";
    GetWindowTextA(Window, Caption, sizeof Caption);
    if (IsWindowVisible(Window) && *Search.first == Caption) Search.second = Window;
    return TRUE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (Steps.empty()) return;
    TStep& Step = Steps.front();
    HWND Window = Find(Step.Title);
    if (!Window) return;
    if (Step.Wait) {
      if (Step.Wait(Window)) Steps.pop_front();
      return;
    }
    char Text[1024] = "";
    GetDlgItemTextA(Window, 0xFFFF, Text, sizeof Text);
    // The explorer-style dialog names its file field cmb13 on Windows and edt1 in Wine.
    HWND Field = GetDlgItem(Window, cmb13) ? GetDlgItem(Window, cmb13) : GetDlgItem(Window, edt1);
    if (Field) GetWindowTextA(Field, Text, sizeof Text);
    Seen.push_back(Step.Title + ": " + Text);
    if (Step.Type) {
      HWND Types = GetDlgItem(Window, cmb1);
      SendMessageA(Types, CB_SETCURSEL, Step.Type - 1, 0);
      // As the box tells its dialog of a choice made with the mouse.
      for (WORD Notice : {CBN_SELCHANGE, CBN_SELENDOK})
        SendMessageA(Window, WM_COMMAND, MAKEWPARAM(cmb1, Notice), reinterpret_cast<LPARAM>(Types));
    }
    if (Field && !Step.FileName.empty()) SetWindowTextA(Field, Step.FileName.c_str());
    Steps.pop_front();
    PostMessageA(Window, WM_COMMAND, IDOK, 0);
  }
  static constexpr int cmb1 = 0x470, cmb13 = 0x47C, edt1 = 0x480;
};

std::string SystemText(DWORD Error) {
  char Text[512] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, Error, 0, Text, sizeof Text, nullptr);
  std::string Result = Text;
  while (!Result.empty() && std::string("\r\n .").find(Result.back()) != std::string::npos) Result.pop_back();
  return Result;
}

// The kind of file Bytes are, by how each kind begins (a WebM file is a Matroska file that says
// so in its header).
std::string Kind(const std::string& Bytes) {
  if (Bytes.compare(0, 4, "\x1A\x45\xDF\xA3") == 0)
    return Bytes.substr(0, 64).find("webm") != std::string::npos ? "WebM" : "Matroska";
  if (Bytes.size() > 8 && Bytes.compare(4, 4, "ftyp") == 0) return "MP4";
  if (Bytes.compare(0, 1, std::string(1, '\0')) == 0) return "Vivo";
  return "unknown";
}

std::string Joined(const std::vector<std::string>& Names) {
  std::string Text;
  for (const std::string& Name : Names) Text += (Text.empty() ? "" : ", ") + Name;
  return Text;
}

}  // namespace

TEST_CASE_FIXTURE(TControlFixture, "Save As: the type chosen or typed; a copy that cannot be written leaves nothing and says why") {
  TScratchDir Dir;
  const std::string Clip = CorpusClip("clock.viv");
  WriteBytes(Dir / "clock.viv", Clip);
  TTestWindow Parent;
  TVvPPWeb Vivo;
  Vivo.CreateInParent(Parent.Handle(), 0, 0, 176, 144);
  TEventLog Events(Vivo);
  Vivo.Load(Dir / "clock.viv");
  REQUIRE(PumpUntil([&] { return Events.Count("AtStart") == 1; }));
  Vivo.Pause();

  struct TCase {
    const char* Typed;
    int Type;
    const char* Written;  // nothing when empty
    const char* Kind;
  };
  const TCase Cases[] = {
      {"copy", 1, "copy.viv", "Vivo"},
      {"copy", 2, "copy.mkv", "Matroska"},
      {"copy", 3, "copy.mp4", "MP4"},
      {"copy", 4, "copy.webm", "WebM"},
      {"typed.MP4", 2, "typed.MP4", "MP4"},
      {"typed.WEBM", 1, "typed.WEBM", "WebM"},
      {"gone\\copy.mkv", 1, "", ""},
  };
  for (const TCase& Case : Cases) {
    CAPTURE(Case.Typed);
    std::deque<TStep> Script{{"Save a Copy of the Clip", Dir / Case.Typed, Case.Type, nullptr}};
    if (!*Case.Written) Script.push_back({"Save As", "", 0, nullptr});
    {
      TUser User(Script);
      Vivo.SaveAs();
      CHECK(TUser::Steps.empty());
    }
    // The dialog offers the clip's name; the chosen type gives it its extension.
    REQUIRE(!TUser::Seen.empty());
    CHECK(TUser::Seen[0] == "Save a Copy of the Clip: clock");
    if (*Case.Written) {
      REQUIRE(FileExists(Dir / Case.Written));
      std::string Copy = ReadBytes(Dir / Case.Written);
      CHECK(Kind(Copy) == Case.Kind);
      if (Case.Kind == std::string("Vivo")) CHECK(Copy == Clip);
      CHECK_FALSE(FileExists(Dir / Case.Written + ".part"));
      CHECK(TUser::Seen.size() == 1);
    } else {
      REQUIRE(TUser::Seen.size() == 2);
      CHECK(TUser::Seen[1] == "Save As: The clip could not be saved as " + Dir / Case.Typed + ":\r\n" +
                                  SystemText(ERROR_PATH_NOT_FOUND) + ".");
      CHECK_FALSE(FileExists(Dir / Case.Typed));
      CHECK_FALSE(FileExists(Dir / Case.Typed + std::string(".part")));
    }
    CHECK(IsWindowEnabled(Parent.Handle()));
  }

  // Of a playlist, the entry shown: here the second, a Vivo 2 clip.
  WriteBytes(Dir / "siren.viv", CorpusClip("siren.viv"));
  WriteBytes(Dir / "list.viv", "Version: Vivo/2.00\r\nBegin: commands\r\nnext clock.viv\r\nnext siren.viv\r\n");
  Vivo.Load(Dir / "list.viv");
  Vivo.Play();
  REQUIRE(FastForwardUntil([&] { return Events.Count("AtStart") == 3; }, 10000));
  Vivo.Pause();
  {
    TUser User({{"Save a Copy of the Clip", Dir / "entry", 2, nullptr}});
    Vivo.SaveAs();
  }
  CHECK(TUser::Seen == std::vector<std::string>{"Save a Copy of the Clip: siren"});
  REQUIRE(FileExists(Dir / "entry.mkv"));
  CHECK(Kind(ReadBytes(Dir / "entry.mkv")) == "Matroska");
  Vivo.Load("");
}

TEST_CASE_FIXTURE(TControlFixture, "Save As: a long copy shows its progress, the host's window goes on, Cancel leaves nothing") {
  TScratchDir Dir;
  // Ten minutes of pictures to code afresh: far longer than the few ticks this takes.
  WriteBytes(Dir / "long.viv", RepeatMedia(CorpusClip("clock.viv"), 200));
  TTestWindow Parent;
  TVvPPWeb Vivo;
  Vivo.CreateInParent(Parent.Handle(), 0, 0, 176, 144);
  TEventLog Events(Vivo);
  Vivo.Load(Dir / "long.viv");
  REQUIRE(PumpUntil([&] { return Events.Count("AtStart") == 1; }));
  Vivo.Pause();

  std::vector<std::string> Percents;
  bool OwnerDisabled = false;
  size_t PaintsAsked = 0;
  auto Watch = [&](HWND Progress) {
    HWND Percent = nullptr, Cancel = nullptr;
    for (HWND Child = GetWindow(Progress, GW_CHILD); Child; Child = GetWindow(Child, GW_HWNDNEXT)) {
      char Text[128] = "";
      GetWindowTextA(Child, Text, sizeof Text);
      std::string Seen = Text;
      if (Seen.find("% written") != std::string::npos) Percent = Child;
      if (Seen == "Cancel") Cancel = Child;
    }
    if (!Percent || !Cancel) return false;
    char Text[128] = "";
    GetWindowTextA(Percent, Text, sizeof Text);
    if (Percents.empty() || Percents.back() != Text) Percents.push_back(Text);
    OwnerDisabled = !IsWindowEnabled(Parent.Handle());
    // The host's window is painted while the copy is written.
    if (!PaintsAsked) {
      PaintsAsked = Parent.Received.size() + 1;
      InvalidateRect(Parent.Handle(), nullptr, TRUE);
    }
    bool Painted = std::find(Parent.Received.begin() + static_cast<std::ptrdiff_t>(PaintsAsked - 1),
                             Parent.Received.end(), UINT(WM_PAINT)) != Parent.Received.end();
    if (Percents.size() < 3 || !Painted) return false;
    SendMessageA(Cancel, BM_CLICK, 0, 0);
    return true;
  };
  {
    TUser User({{"Save a Copy of the Clip", Dir / "long.mp4", 0, nullptr}, {"Saving a Copy", "", 0, Watch}});
    Vivo.SaveAs();
    CHECK(TUser::Steps.empty());
    CHECK(TUser::Seen == std::vector<std::string>{"Save a Copy of the Clip: long"});
  }
  INFO("progress seen: " << Percents.size());
  REQUIRE(Percents.size() >= 3);
  CHECK(Percents[0] != Percents.back());
  CHECK(OwnerDisabled);
  CHECK(IsWindowEnabled(Parent.Handle()));
  CHECK(TUser::Find("Saving a Copy") == nullptr);
  CHECK_FALSE(FileExists(Dir / "long.mp4"));
  CHECK_FALSE(FileExists(Dir / "long.mp4.part"));
  Vivo.Load("");
}

TEST_CASE_FIXTURE(TControlFixture, "Save As touches no file but its copy: written, failed or cancelled, the user's files beside it stay as they were and nothing is left") {
  TScratchDir Dir;
  WriteBytes(Dir / "clock.viv", CorpusClip("clock.viv"));
  WriteBytes(Dir / "header.viv", CorpusClip("header-only.viv"));
  // Pictures to code afresh for minutes: the copy is still being written when Cancel is pressed.
  WriteBytes(Dir / "long.viv", RepeatMedia(CorpusClip("clock.viv"), 200));
  TTestWindow Parent;
  TVvPPWeb Vivo;
  Vivo.CreateInParent(Parent.Handle(), 0, 0, 176, 144);
  TEventLog Events(Vivo);

  enum TOutcome { Written, Failed, Cancelled };
  struct TCase {
    const char* Clip;
    const char* Copy;
    TOutcome Outcome;
  };
  const TCase Cases[] = {
      {"clock.viv", "written.mkv", Written},
      {"header.viv", "failed.mkv", Failed},
      {"long.viv", "cancelled.mp4", Cancelled},
  };
  size_t Loaded = 0;
  for (const TCase& Case : Cases) {
    const std::string Copy = Case.Copy;
    CAPTURE(Copy);
    Vivo.Load(Dir / Case.Clip);
    ++Loaded;
    REQUIRE(PumpUntil([&] { return Events.Count("AtStart") == Loaded; }));
    Vivo.Pause();
    // The user's own files under the name the copy was once written under and the names it
    // takes first now.
    std::map<std::string, std::string> Theirs;
    for (const char* Suffix : {".part", ".1.part", ".2.part"}) {
      std::string Name = Copy + Suffix;
      Theirs[Name] = "the user's own " + Name;
      WriteBytes(Dir / Name, Theirs[Name]);
    }
    const std::vector<std::string> Before = Dir.Files();
    // Cancelled once the copy's file is there: a new file, or one of the user's taken for it.
    std::vector<std::string> WhileWritten;
    auto CancelWhileWritten = [&](HWND Progress) {
      WhileWritten = Dir.Files();
      bool Taken = false;
      for (const auto& [Name, Bytes] : Theirs) {
        WIN32_FILE_ATTRIBUTE_DATA File{};
        Taken |= !GetFileAttributesExA((Dir / Name).c_str(), GetFileExInfoStandard, &File) ||
                 File.nFileSizeLow != Bytes.size();
      }
      if (WhileWritten == Before && !Taken) return false;
      SendDlgItemMessageA(Progress, IDCANCEL, BM_CLICK, 0, 0);
      return true;
    };
    std::deque<TStep> Script{{"Save a Copy of the Clip", Dir / Copy, 0, nullptr}};
    if (Case.Outcome == Failed) Script.push_back({"Save As", "", 0, nullptr});
    if (Case.Outcome == Cancelled) Script.push_back({"Saving a Copy", "", 0, CancelWhileWritten});
    {
      TUser User(Script);
      Vivo.SaveAs();
      CHECK(TUser::Steps.empty());
    }
    for (const auto& [Name, Bytes] : Theirs) CHECK((FileExists(Dir / Name) ? ReadBytes(Dir / Name) : "gone") == Bytes);
    std::vector<std::string> After = Before;
    if (Case.Outcome == Written) {
      After.push_back(Copy);
      std::sort(After.begin(), After.end());
      CHECK(Kind(ReadBytes(Dir / Copy)) == "Matroska");
    }
    CHECK(Joined(Dir.Files()) == Joined(After));
    if (Case.Outcome == Failed) {
      REQUIRE(TUser::Seen.size() == 2);
      CHECK(TUser::Seen[1] == "Save As: The clip could not be saved as " + Dir / Copy +
                                  ":\r\nThe clip is a header only, without pictures or sound of its own; it can be "
                                  "saved as a Vivo clip.");
    }
    if (Case.Outcome == Cancelled) {
      // It was written beside the user's files, under a name of its own.
      INFO("while written: " << Joined(WhileWritten));
      CHECK(WhileWritten.size() == Before.size() + 1);
      CHECK(std::includes(WhileWritten.begin(), WhileWritten.end(), Before.begin(), Before.end()));
    }
  }
  Vivo.Load("");
}
