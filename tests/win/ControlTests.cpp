// The registered video control hosted through TVvPPWeb: members, events, the call log, real clips
// (their pictures, times and sound), the clock under fast forward, bad input, and mouse and keys
// reaching the host.
#include <doctest.h>
#include <windows.h>
#include <ole2.h>
#include <mmsystem.h>
#include <psapi.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <fstream>
#include <functional>

#include "tests/win/ControlTestHost.h"
#include "tests/win/TestFiles.h"
#include "toolkit/Errors.h"
#include "vvppweb/MakeVivo.h"
#include "vvppweb/VivoFile.h"

namespace {

// Waits for the next top-level window of this thread with Title, reads its text and closes it;
// it runs from a thread timer, so inside the modal loop of whatever dialog is up.
struct TDialogCloser {
  static inline std::string Title, Text, FileName;
  static inline bool Seen = false;
  explicit TDialogCloser(const std::string& WantedTitle, const std::string& SaveName = {}) {
    Title = WantedTitle;
    FileName = SaveName;
    Text.clear();
    Seen = false;
    Timer = SetTimer(nullptr, 0, 100, Tick);
  }
  ~TDialogCloser() { KillTimer(nullptr, Timer); }
  static BOOL CALLBACK Find(HWND Window, LPARAM Found) {
    char Caption[256];
    GetWindowTextA(Window, Caption, sizeof Caption);
    if (IsWindowVisible(Window) && Title == Caption) *reinterpret_cast<HWND*>(Found) = Window;
    return TRUE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND Dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), Find, reinterpret_cast<LPARAM>(&Dialog));
    if (!Dialog || Seen) return;
    Seen = true;
    char Buffer[1024] = "";
    GetDlgItemTextA(Dialog, 0xFFFF, Buffer, sizeof Buffer);
    Text = Buffer;
    if (!FileName.empty()) {
      // The explorer-style dialog names its file field cmb13 on Windows and edt1 in Wine.
      HWND Field = GetDlgItem(Dialog, cmb13) ? GetDlgItem(Dialog, cmb13) : GetDlgItem(Dialog, edt1);
      SetWindowTextA(Field, FileName.c_str());
    }
    PostMessageA(Dialog, WM_COMMAND, IDOK, 0);
  }
  UINT_PTR Timer;
  static constexpr int cmb13 = 0x47C, edt1 = 0x480;
};

// The host's fast-forward loop: every buffer-done dispatched six times, anything else once.
void FastForwardFor(DWORD Ms) {
  ULONGLONG End = GetTickCount64() + Ms;
  while (GetTickCount64() < End) {
    MSG Message;
    if (!PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE)) continue;
    TranslateMessage(&Message);
    if (Message.message == MM_WOM_DONE) {
      for (int I = 0; I < 6; ++I) {
        Message.time = 0;
        DispatchMessageA(&Message);
      }
    } else {
      DispatchMessageA(&Message);
    }
  }
}

}  // namespace

TEST_CASE_FIXTURE(TControlFixture, "members that need no window work before in-place activation") {
  TScratchDir Dir;
  WriteClip(Dir / "a.viv", 160, 120, 2000);
  TVvPPWeb Vivo;
  TEventLog Events(Vivo);
  CHECK(Vivo.Handle() == nullptr);
  CHECK(Vivo.Autostart() == "TRUE");
  Vivo.SetAutostart("FALSE");
  CHECK(Vivo.Autostart() == "FALSE");
  Vivo.SetAutostart("true");
  CHECK(Vivo.Autostart() == "true");  // kept as given: the host compares it case-sensitively
  Vivo.SetVideocontrols("FALSE");
  CHECK(Vivo.Videocontrols() == "FALSE");
  CHECK(Vivo.URL().empty());
  CHECK(Vivo.VideoWidth() < 0);

  CHECK(Vivo.Load(Dir / "a.viv"));
  CHECK(Vivo.URL() == Dir / "a.viv");
  REQUIRE(PumpUntil([&] { return Events.Count("AtStart") == 1; }));
  CHECK(Events.Lines == std::vector<std::string>{"VideoSize(160,120)", "AtStart(" + Dir / "a.viv" + ")"});
  CHECK(Vivo.VideoWidth() == 160);
  CHECK(Vivo.VideoHeight() == 120);

  Vivo.Load("");
  CHECK(Vivo.URL().empty());
  CHECK(Vivo.VideoWidth() == -1);
  CHECK(Vivo.VideoHeight() == -1);
}

TEST_CASE_FIXTURE(TControlFixture, "in place: a child window of the parent at the bounds, moved, hidden and shown") {
  TTestWindow Parent;
  TVvPPWeb Vivo;
  Vivo.CreateInParent(Parent.Handle(), 16, 20, 206, 154);
  HWND Window = Vivo.Handle();
  REQUIRE(Window != nullptr);
  CHECK(GetParent(Window) == Parent.Handle());
  CHECK((GetWindowLongA(Window, GWL_STYLE) & WS_CHILD) != 0);
  CHECK(IsWindowVisible(Window));

  IOleWindow* OleWindow = nullptr;
  REQUIRE(SUCCEEDED(Vivo.ControlObject()->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&OleWindow))));
  HWND Reported = nullptr;
  OleWindow->GetWindow(&Reported);
  OleWindow->Release();
  CHECK(Reported == Window);

  auto Placement = [&] {
    RECT Rect;
    GetWindowRect(Window, &Rect);
    MapWindowPoints(nullptr, Parent.Handle(), reinterpret_cast<POINT*>(&Rect), 2);
    return Rect;
  };
  RECT At = Placement();
  CHECK(At.left == 16);
  CHECK(At.top == 20);
  CHECK(At.right - At.left == 206);
  CHECK(At.bottom - At.top == 154);

  Vivo.SetBounds(0, 0, 352, 288);
  At = Placement();
  CHECK(At.left == 0);
  CHECK(At.right == 352);
  CHECK(At.bottom == 288);
  CHECK(Vivo.Width() == 352);

  Vivo.SetVisible(false);
  CHECK_FALSE(IsWindowVisible(Window));
  CHECK_FALSE(Vivo.Visible());
  Vivo.SetVisible(true);
  CHECK(IsWindowVisible(Window));
}

TEST_CASE_FIXTURE(TControlFixture, "every event reaches its handler with its arguments") {
  TVvPPWeb Vivo;
  TDiagnostics Diagnostics(Vivo);
  std::vector<std::string> Seen;
  Vivo.OnAtStart = [&](TObject* Sender, const std::string& Url) { Seen.push_back("1 " + Url + (Sender == &Vivo ? " self" : "")); };
  Vivo.OnAtEnd = [&](TObject*, const std::string& Url) { Seen.push_back("2 " + Url); };
  Vivo.OnTime = [&](TObject*, int32_t Time, const std::string& Url) { Seen.push_back("3 " + std::to_string(Time) + " " + Url); };
  Vivo.OnVideoSize = [&](TObject*, int16_t W, int16_t H) { Seen.push_back("4 " + std::to_string(W) + " " + std::to_string(H)); };
  Vivo.OnStateChange = [&](TObject*, int32_t State, const std::string& Url) { Seen.push_back("5 " + std::to_string(State) + " " + Url); };
  Vivo.OnFetchError = [&](TObject*, int32_t Result) { Seen.push_back("6 " + std::to_string(Result)); };
  Vivo.OnAudioDevOpen = [&](TObject*, int32_t Id) { Seen.push_back("7 " + std::to_string(Id)); };
  Vivo.OnAudioDevClose = [&](TObject*) { Seen.push_back("8"); };

  auto Text = [](const wchar_t* Value) {
    VARIANT V;
    V.vt = VT_BSTR;
    V.bstrVal = SysAllocString(Value);
    return V;
  };
  auto Long = [](LONG Value) {
    VARIANT V;
    V.vt = VT_I4;
    V.lVal = Value;
    return V;
  };
  auto Short = [](SHORT Value) {
    VARIANT V;
    V.vt = VT_I2;
    V.iVal = Value;
    return V;
  };
  VARIANT One[] = {Text(L"C:\\a b\\\u00e9.viv")};
  VARIANT Three[] = {Long(123456789), Text(L"http://h/x.viv")};
  VARIANT Four[] = {Short(-1), Short(32767)};
  VARIANT Five[] = {Long(3), Text(L"u")};
  VARIANT Six[] = {Long(static_cast<LONG>(0x80070002))};
  VARIANT Seven[] = {Long(-7)};
  CHECK(Diagnostics->FireEvent(1, One, 1) == S_OK);
  CHECK(Diagnostics->FireEvent(2, One, 1) == S_OK);
  CHECK(Diagnostics->FireEvent(3, Three, 2) == S_OK);
  CHECK(Diagnostics->FireEvent(4, Four, 2) == S_OK);
  CHECK(Diagnostics->FireEvent(5, Five, 2) == S_OK);
  CHECK(Diagnostics->FireEvent(6, Six, 1) == S_OK);
  CHECK(Diagnostics->FireEvent(7, Seven, 1) == S_OK);
  CHECK(Diagnostics->FireEvent(8, nullptr, 0) == S_OK);
  CHECK(Diagnostics->FireEvent(9, nullptr, 0) == E_INVALIDARG);
  CHECK(Seen == std::vector<std::string>{"1 C:\\a b\\\xe9.viv self", "2 C:\\a b\\\xe9.viv", "3 123456789 http://h/x.viv",
                                         "4 -1 32767", "5 3 u", "6 -2147024894", "7 -7", "8"});
  for (VARIANT* V : {&One[0], &Three[1], &Five[1]}) VariantClear(V);

  SUBCASE("a handler that throws is reported, and the control goes on") {
    std::string Reported;
    TVvPPWeb::OnHandlerError = [&](const std::exception& Error) { Reported = Error.what(); };
    Vivo.OnAudioDevClose = [](TObject*) { throw EInOutError("disk full", 112); };
    CHECK(Diagnostics->FireEvent(8, nullptr, 0) == S_OK);
    CHECK(Reported == "disk full");
    TVvPPWeb::OnHandlerError = nullptr;
    CHECK(Vivo.VideoWidth() == -1);
  }
}

TEST_CASE_FIXTURE(TControlFixture, "the call log holds the host's calls in order, in memory and in VVPPWEB_LOG") {
  TScratchDir Dir;
  WriteClip(Dir / "a b.viv", 176, 144, 2000);
  std::string LogFile = Dir / "calls.log";
  SetEnvironmentVariableA("VVPPWEB_LOG", LogFile.c_str());
  {
    TVvPPWeb Vivo;
    TDiagnostics Diagnostics(Vivo);
    Vivo.SetVideocontrols("FALSE");
    Vivo.Load(Dir / "a b.viv");
    Vivo.Play();
    Vivo.Autostart();
    Vivo.SetAutostart("FALSE");
    Vivo.Rewind();
    Vivo.SetAutostart("TRUE");
    Vivo.VideoWidth();
    Vivo.VideoHeight();
    Vivo.Pause();
    Vivo.URL();
    Vivo.Load("");
    std::vector<std::string> Expected = {"Videocontrols=FALSE", "Load(" + Dir / "a b.viv" + ")", "Play", "Autostart",
                                         "Autostart=FALSE", "Rewind", "Autostart=TRUE", "VideoWidth", "VideoHeight",
                                         "Pause", "URL", "Load()"};
    CHECK(Diagnostics.Calls() == Expected);
    std::string File;
    for (const std::string& Line : Expected) File += Line + "\r\n";
    CHECK(ReadBytes(LogFile) == File);
    Diagnostics->ClearCalls();
    CHECK(Diagnostics.Calls().empty());
  }
  SetEnvironmentVariableA("VVPPWEB_LOG", nullptr);
}

TEST_CASE_FIXTURE(TControlFixture, "a clip plays: its picture moves with the clock, then OnAtEnd") {
  TScratchDir Dir;
  WriteClip(Dir / "a.viv", 176, 144, 1500);
  TTestWindow Parent;
  TVvPPWeb Vivo;
  TEventLog Events(Vivo, true);
  Vivo.CreateInParent(Parent.Handle(), 0, 0, 176, 144);
  auto Pixels = [&] {
    RedrawWindow(Vivo.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC Window = GetDC(Vivo.Handle());
    std::vector<COLORREF> Row;
    for (int X = 0; X < 176; X += 4) Row.push_back(GetPixel(Window, X, 72));
    ReleaseDC(Vivo.Handle(), Window);
    return Row;
  };
  std::vector<COLORREF> Black = Pixels();
  CHECK(Black[0] == RGB(0, 0, 0));

  Vivo.SetVideocontrols("FALSE");
  Vivo.Load(Dir / "a.viv");
  Vivo.Play();
  REQUIRE(PumpUntil([&] { return Events.Count("AtStart") == 1; }));
  std::vector<COLORREF> First = Pixels();
  CHECK(First != Black);
  REQUIRE(PumpUntil([&] { return Events.Count("Time") >= 8; }));
  CHECK(Pixels() != First);
  REQUIRE(PumpUntil([&] { return Events.Count("AtEnd") == 1; }, 4000));
  CHECK(Events.Lines.back() == "AtEnd(" + Dir / "a.viv" + ")");
  CHECK(Events.Lines[Events.Lines.size() - 2] == "Time(1500," + Dir / "a.viv" + ")");
  // Times only grow, in steps of one buffer.
  int Last = 0;
  for (const std::string& Line : Events.Lines)
    if (Line.rfind("Time(", 0) == 0) {
      int Time = std::stoi(Line.substr(5));
      CHECK(Time - Last == 50);
      Last = Time;
    }
}

TEST_CASE_FIXTURE(TControlFixture, "a real clip: its size before OnAtStart, each picture drawn at its time and at the window's size, its sound queued") {
  TScratchDir Dir;
  WriteBytes(Dir / "clock.viv", CorpusClip("clock.viv"));
  TTestWindow Parent;
  TVvPPWeb Vivo;
  TDiagnostics Diagnostics(Vivo);
  TEventLog Events(Vivo);
  int16_t WidthAtStart = 0, HeightAtStart = 0;
  Vivo.OnAtStart = [&](TObject*, const std::string&) {
    WidthAtStart = Vivo.VideoWidth();
    HeightAtStart = Vivo.VideoHeight();
    Events.Lines.push_back("AtStart");
  };
  Vivo.CreateInParent(Parent.Handle(), 0, 0, 176, 144);
  Diagnostics->Record(TRUE, TRUE);
  Vivo.SetVideocontrols("FALSE");
  Vivo.Load(Dir / "clock.viv");
  CHECK(Vivo.VideoWidth() == -1);
  Vivo.Play();
  REQUIRE(PumpUntil([&] { return Events.Count("AtStart") == 1; }));
  CHECK(Events.Lines == std::vector<std::string>{"VideoSize(176,144)", "AtStart"});
  CHECK(WidthAtStart == 176);
  CHECK(HeightAtStart == 144);
  // Halfway the host makes the window twice as large: the picture follows it.
  REQUIRE(PumpUntil([&] { return Diagnostics.Position() >= 1500; }));
  Vivo.SetBounds(0, 0, 352, 288);
  REQUIRE(PumpUntil([&] { return Events.Count("AtEnd") == 1; }, 5000));

  std::vector<TShownPicture> Shown = Diagnostics.Shown();
  REQUIRE(!Shown.empty());
  std::vector<LONG> Times;
  bool Grown = false;
  for (const TShownPicture& Picture : Shown) {
    CAPTURE(Picture.PictureMs);
    CHECK(Picture.ClockMs >= Picture.PictureMs);
    CHECK(Picture.ClockMs - Picture.PictureMs <= 67 + 50);
    if (Times.empty() || Times.back() != Picture.PictureMs) Times.push_back(Picture.PictureMs);
    if (Picture.Width == 352) Grown = true;
    CHECK(Picture.Width == (Grown ? 352 : 176));
    CHECK(Picture.Height == (Grown ? 288 : 144));
  }
  CHECK(Grown);
  CHECK(Times.size() == 45u);
  CHECK(std::is_sorted(Times.begin(), Times.end()));
  // What was recorded is what the window shows: the last picture stays after the end.
  std::vector<uint32_t> Last = Diagnostics.ShownPixels(static_cast<ULONG>(Shown.size() - 1));
  REQUIRE(Last.size() == 352u * 288u);
  RedrawWindow(Vivo.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  HDC Window = GetDC(Vivo.Handle());
  for (POINT At : {POINT{10, 10}, POINT{176, 144}, POINT{300, 270}}) {
    COLORREF Pixel = GetPixel(Window, At.x, At.y);
    uint32_t Expected = Last[static_cast<size_t>(At.y) * 352 + static_cast<size_t>(At.x)];
    CHECK(Pixel == RGB((Expected >> 16) & 0xFF, (Expected >> 8) & 0xFF, Expected & 0xFF));
  }
  ReleaseDC(Vivo.Handle(), Window);
  ULONG Rate = 0;
  CHECK(Diagnostics.QueuedSound(&Rate).size() == 24000u);
  CHECK(Rate == 8000u);

  TDialogCloser Closer("About this Movie");
  Vivo.AboutMovie();
  for (const char* Line : {"Title: The clock\r\n", "Author: makeviv\r\n", "Copyright: Free to copy\r\n",
                           "Picture: 176 x 144\r\n", "Length: 0:03.0\r\n",
                           "Codecs: H.263 pictures, G.723.1 sound at 8000 Hz"})
    CHECK_MESSAGE(TDialogCloser::Text.find(Line) != std::string::npos, Line << " in " << TDialogCloser::Text);
}

TEST_CASE_FIXTURE(TControlFixture, "each buffer-done dispatched six times runs the clock and the pictures six times as fast") {
  TScratchDir Dir;
  struct TCase {
    const char* Name;
    std::string Bytes;
  };
  TMakeVivoOptions Header;
  Header.DurationMs = 600000;
  const TCase Cases[] = {{"a clip of a header only", MakeVivoFile(Header)},
                         {"a real clip", RepeatMedia(CorpusClip("clock.viv"), 60)}};
  for (const TCase& Case : Cases) {
    std::string Name = Case.Name;
    CAPTURE(Name);
    WriteBytes(Dir / "long.viv", Case.Bytes);
    TTestWindow Parent;
    TVvPPWeb Vivo;
    TDiagnostics Diagnostics(Vivo);
    TEventLog Events(Vivo);
    Vivo.CreateInParent(Parent.Handle(), 0, 0, 176, 144);
    Diagnostics->Record(TRUE, FALSE);
    Vivo.Load(Dir / "long.viv");
    Vivo.Play();
    REQUIRE(PumpUntil([&] { return Events.Count("AtStart") == 1; }));

    ULONG Start = Diagnostics.Position();
    ULONGLONG NormalFrom = GetTickCount64();
    PumpFor(1500);
    ULONG Normal = Diagnostics.Position() - Start;
    Start = Diagnostics.Position();
    ULONGLONG FastFrom = GetTickCount64();
    FastForwardFor(1500);
    ULONG Fast = Diagnostics.Position() - Start;
    INFO("normal " << Normal << " ms, fast " << Fast << " ms of clip in 1500 ms");
    CHECK(Normal >= 1000);
    CHECK(Normal <= 2000);
    CHECK(Fast >= Normal * 9 / 2);
    CHECK(Fast <= Normal * 15 / 2);
    if (Name != "a real clip") continue;
    // The pictures drawn keep up: how far their times went in each half.
    LONG NormalSpan[2] = {LONG_MAX, 0}, FastSpan[2] = {LONG_MAX, 0};
    for (const TShownPicture& Picture : Diagnostics.Shown()) {
      LONG* Span = Picture.Tick >= FastFrom ? FastSpan : Picture.Tick >= NormalFrom ? NormalSpan : nullptr;
      if (!Span) continue;
      Span[0] = std::min(Span[0], Picture.PictureMs);
      Span[1] = std::max(Span[1], Picture.PictureMs);
    }
    LONG NormalPictures = NormalSpan[1] - NormalSpan[0], FastPictures = FastSpan[1] - FastSpan[0];
    INFO("pictures of " << NormalPictures << " ms shown at normal speed, of " << FastPictures << " ms fast");
    CHECK(NormalPictures >= 900);
    CHECK(FastPictures >= NormalPictures * 9 / 2);
    CHECK(FastPictures <= NormalPictures * 15 / 2);
  }
}

TEST_CASE_FIXTURE(TControlFixture, "Stop's order: Rewind with Autostart off rests at the start, then Play plays") {
  TScratchDir Dir;
  WriteClip(Dir / "a.viv", 176, 144, 60000);
  TVvPPWeb Vivo;
  TDiagnostics Diagnostics(Vivo);
  TEventLog Events(Vivo);
  std::string AutostartAtStart;
  Vivo.OnAtStart = [&](TObject*, const std::string&) {
    AutostartAtStart = Vivo.Autostart();
    Events.Lines.push_back("AtStart");
  };
  Vivo.Load(Dir / "a.viv");
  Vivo.Play();
  REQUIRE(PumpUntil([&] { return Diagnostics.Position() >= 300; }));

  Vivo.SetAutostart("FALSE");
  Vivo.Rewind();
  for (int Pass = 0; Pass < 3; ++Pass) ProcessMessages();
  Vivo.SetAutostart("TRUE");
  CHECK(Events.Count("AtStart") == 2);
  CHECK(AutostartAtStart == "FALSE");
  CHECK(Diagnostics.Position() == 0);
  PumpFor(300);
  CHECK(Diagnostics.Position() == 0);

  Vivo.Play();
  PumpFor(400);
  CHECK(Diagnostics.Position() >= 200);

  // Restart: Rewind alone, with Autostart on, plays again from the start.
  Vivo.Rewind();
  REQUIRE(PumpUntil([&] { return Events.Count("AtStart") == 3; }));
  CHECK(Diagnostics.Position() < 200);
  PumpFor(300);
  CHECK(Diagnostics.Position() >= 150);
}

TEST_CASE_FIXTURE(TControlFixture, "a still after a still: the second clip's own picture, however the first ended") {
  TScratchDir Dir;
  WriteBytes(Dir / "amber.viv", CorpusClip("still-amber.viv"));
  WriteBytes(Dir / "teal.viv", CorpusClip("still-teal.viv"));
  TTestWindow Parent;
  TVvPPWeb Vivo;
  TEventLog Events(Vivo);
  Vivo.CreateInParent(Parent.Handle(), 0, 0, 176, 144);
  Vivo.SetVideocontrols("FALSE");
  auto Colour = [&] {
    RedrawWindow(Vivo.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC Window = GetDC(Vivo.Handle());
    COLORREF Pixel = GetPixel(Window, 88, 72);
    ReleaseDC(Vivo.Handle(), Window);
    int Red = GetRValue(Pixel), Blue = GetBValue(Pixel);
    return std::string(Red > 0xA0 && Blue < 0x60 ? "amber" : Red < 0x60 && Blue > 0x70 ? "teal" : Pixel == 0 ? "black" : "other");
  };
  struct TCase {
    std::string Name;
    bool Autostart;
    std::function<void()> End;  // how the first clip's turn ends
  };
  const TCase Cases[] = {
      {"played to its end", true, [&] { REQUIRE(PumpUntil([&] { return Events.Count("AtEnd") == 1; }, 4000)); }},
      {"handed over while it plays", true, [] {}},
      {"stopped", true,
       [&] {
         Vivo.SetAutostart("FALSE");
         Vivo.Rewind();
         for (int Pass = 0; Pass < 3; ++Pass) ProcessMessages();
         Vivo.SetAutostart("TRUE");
       }},
      {"at rest, Autostart off", false, [] {}},
  };
  for (const TCase& Case : Cases) {
    CAPTURE(Case.Name);
    Events.Lines.clear();
    Vivo.SetAutostart(Case.Autostart ? "TRUE" : "FALSE");
    Vivo.Load(Dir / "amber.viv");
    if (Case.Autostart) Vivo.Play();
    CHECK(PumpUntil([&] { return Colour() == "amber"; }, 2000));
    Case.End();
    Vivo.Load(Dir / "teal.viv");
    if (Case.Autostart) Vivo.Play();
    CHECK_MESSAGE(PumpUntil([&] { return Colour() == "teal"; }, 1000), "shows " << Colour());
    Vivo.Load("");
  }
  Vivo.SetAutostart("TRUE");
}

TEST_CASE_FIXTURE(TControlFixture, "a playlist of three clips of different sizes: three OnAtStart, then one OnAtEnd") {
  TScratchDir Dir;
  WriteClip(Dir / "one.viv", 160, 120, 300);
  WriteClip(Dir / "two b.viv", 320, 240, 300);
  WriteClip(Dir / "three.viv", 128, 96, 300);
  WriteBytes(Dir / "~~quillo.viv.tmp", "Version:   Vivo/2.00\r\nBegin:     commands\r\nnext " + Dir / "one.viv" +
                                           "\r\nnext two%20b.viv\r\nnext three.viv\r\n");
  TVvPPWeb Vivo;
  std::vector<std::string> Starts;
  int Ends = 0;
  std::string EndUrl;
  Vivo.OnAtStart = [&](TObject*, const std::string& Url) {
    Starts.push_back(Url.substr(Url.rfind('\\') + 1) + " " + std::to_string(Vivo.VideoWidth()) + "x" +
                     std::to_string(Vivo.VideoHeight()));
  };
  Vivo.OnAtEnd = [&](TObject*, const std::string& Url) {
    ++Ends;
    EndUrl = Url;
  };
  Vivo.SetVideocontrols("FALSE");
  Vivo.Load(Dir / "~~quillo.viv.tmp");
  Vivo.Play();
  REQUIRE(PumpUntil([&] { return Ends == 1; }, 6000));
  PumpFor(200);
  CHECK(Starts == std::vector<std::string>{"one.viv 160x120", "two b.viv 320x240", "three.viv 128x96"});
  CHECK(Ends == 1);
  CHECK(EndUrl == Dir / "~~quillo.viv.tmp");
  // Of a command file, URL names the entry: the last one played.
  CHECK(Vivo.URL() == Dir / "three.viv");
}

TEST_CASE_FIXTURE(TControlFixture, "bad input raises OnFetchError, without a hang or a leak of handles") {
  TScratchDir Dir;
  WriteBytes(Dir / "text.viv", "not a clip at all");
  WriteBytes(Dir / "absurd.viv", HeaderPacket("\r\nVersion:Vivo/1.00\r\nWidth:100000\r\n"));
  std::string Whole = WriteClip(Dir / "whole.viv", 176, 144, 1000);
  WriteBytes(Dir / "cut.viv", Whole.substr(0, 20));
  WriteBytes(Dir / "empty.viv", "");
  WriteBytes(Dir / "list.viv", "Version: Vivo/2.00\r\nBegin: commands\r\nnext gone.viv\r\nnext text.viv\r\nnext whole.viv\r\n");
  struct TCase {
    std::string Name;
    const char* Expected;
  };
  const TCase Cases[] = {
      {Dir / "missing.viv", "FetchError(80070002)"},
      {Dir / "no folder\\a.viv", "FetchError(80070003)"},
      {Dir.Path(), "FetchError(80070005)"},
      {Dir / "text.viv", "FetchError(80040201)"},
      {Dir / "empty.viv", "FetchError(80040201)"},
      {Dir / "absurd.viv", "FetchError(80040203)"},
      {Dir / "cut.viv", "FetchError(80040202)"},
      {"file:///" + Dir / "missing.viv", "FetchError(80070002)"},
      {"ftp://127.0.0.1/a.viv", "FetchError(800C000D)"},
  };
  TVvPPWeb Vivo;
  TEventLog Events(Vivo);
  auto LoadAll = [&] {
    for (const TCase& Case : Cases) {
      CAPTURE(Case.Name);
      Events.Lines.clear();
      Vivo.Load(Case.Name);
      REQUIRE(PumpUntil([&] { return !Events.Lines.empty(); }));
      PumpFor(20);
      CHECK(Events.Lines == std::vector<std::string>{Case.Expected});
      CHECK(Vivo.URL() == Case.Name);
      CHECK(Vivo.VideoWidth() == -1);
    }
  };
  LoadAll();
  PumpFor(200);
  DWORD Before = 0, After = 0;
  GetProcessHandleCount(GetCurrentProcess(), &Before);
  LoadAll();
  PumpFor(200);
  GetProcessHandleCount(GetCurrentProcess(), &After);
  CHECK(After <= Before + 2);

  // In a command file each failure is told with the user's own file as URL, not the list's.
  Events.Lines.clear();
  std::vector<std::string> Failed;
  Vivo.OnFetchError = [&](TObject*, int32_t) { Failed.push_back(Vivo.URL()); };
  Vivo.Load(Dir / "list.viv");
  Vivo.Play();
  REQUIRE(PumpUntil([&] { return Events.Count("AtEnd") == 1; }));
  CHECK(Failed == std::vector<std::string>{Dir / "gone.viv", Dir / "text.viv"});
  CHECK(Events.Count("AtStart(" + Dir / "whole.viv" + ")") == 1);
}

TEST_CASE_FIXTURE(TControlFixture, "broken clips play what they can; OnFetchError only when nothing plays; nothing leaks") {
  TScratchDir Dir;
  struct TCase {
    const char* Name;
    std::vector<std::string> Sizes;  // the OnVideoSize events
    const char* Error;               // the OnFetchError, or none
  };
  const TCase Cases[] = {
      {"clock.viv", {"VideoSize(176,144)"}, nullptr},
      {"resize.viv", {"VideoSize(176,144)", "VideoSize(128,96)"}, nullptr},
      {"siren.viv", {"VideoSize(128,96)"}, nullptr},
      {"truncated.viv", {"VideoSize(176,144)"}, nullptr},
      {"flipped.viv", {"VideoSize(176,144)"}, nullptr},
      {"absurd-length.viv", {"VideoSize(176,144)"}, nullptr},
      {"unknown-type.viv", {"VideoSize(176,144)"}, nullptr},
      {"garbage-pictures.viv", {}, nullptr},
      {"garbage-only.viv", {}, "FetchError(80040206)"},
  };
  for (const TCase& Case : Cases) WriteBytes(Dir / Case.Name, CorpusClip(Case.Name));
  TTestWindow Parent;
  TVvPPWeb Vivo;
  TEventLog Events(Vivo);
  Vivo.CreateInParent(Parent.Handle(), 0, 0, 176, 144);
  auto PlayAll = [&] {
    for (const TCase& Case : Cases) {
      std::string Name = Case.Name;
      CAPTURE(Name);
      Events.Lines.clear();
      Vivo.Load(Dir / Case.Name);
      Vivo.Play();
      REQUIRE(FastForwardUntil([&] { return Events.Count("AtEnd") + Events.Count("FetchError") > 0; }, 10000));
      std::vector<std::string> Expected = Case.Sizes;
      if (Case.Error) {
        Expected.push_back(Case.Error);
        CHECK(Vivo.VideoWidth() == -1);
      } else {
        // OnAtStart once the first picture is ready, or the sound when no picture decodes.
        Expected.insert(Expected.begin() + (Case.Sizes.empty() ? 0 : 1), "AtStart(" + Dir / Case.Name + ")");
        Expected.push_back("AtEnd(" + Dir / Case.Name + ")");
      }
      CHECK(Events.Lines == Expected);
    }
  };
  PlayAll();
  PumpFor(200);
  DWORD Before = 0, After = 0;
  GetProcessHandleCount(GetCurrentProcess(), &Before);
  PROCESS_MEMORY_COUNTERS Memory{};
  GetProcessMemoryInfo(GetCurrentProcess(), &Memory, sizeof Memory);
  SIZE_T MemoryBefore = Memory.PagefileUsage;
  PlayAll();
  Vivo.Load("");
  PumpFor(200);
  GetProcessHandleCount(GetCurrentProcess(), &After);
  GetProcessMemoryInfo(GetCurrentProcess(), &Memory, sizeof Memory);
  CHECK(After <= Before + 2);
  INFO("private bytes " << MemoryBefore << " then " << Memory.PagefileUsage);
  CHECK(Memory.PagefileUsage <= MemoryBefore + (4u << 20));

  SUBCASE("a playlist skips the entry that does not play") {
    WriteBytes(Dir / "list.viv", "Version: Vivo/2.00\r\nBegin: commands\r\nnext clock.viv\r\nnext garbage-only.viv\r\n"
                                 "next resize.viv\r\n");
    Events.Lines.clear();
    Vivo.Load(Dir / "list.viv");
    Vivo.Play();
    REQUIRE(FastForwardUntil([&] { return Events.Count("AtEnd") == 1; }, 10000));
    CHECK(Events.Lines == std::vector<std::string>{"VideoSize(176,144)", "AtStart(" + Dir / "clock.viv" + ")",
                                                   "FetchError(80040206)", "VideoSize(176,144)",
                                                   "AtStart(" + Dir / "resize.viv" + ")", "VideoSize(128,96)",
                                                   "AtEnd(" + Dir / "list.viv" + ")"});
  }
  SUBCASE("a clip of 64 MB plays; a byte more is refused") {
    std::string Clock = CorpusClip("clock.viv");
    const size_t Limit = 64u << 20;  // what the control fetches at most
    std::string Big = RepeatMedia(Clock, Limit / Clock.size() - 1, Limit);
    WriteBytes(Dir / "big.viv", Big);
    WriteBytes(Dir / "bigger.viv", Big + std::string(1, '\0'));
    Events.Lines.clear();
    Vivo.Load(Dir / "big.viv");
    Vivo.Play();
    REQUIRE(PumpUntil([&] { return Events.Count("AtStart") == 1; }, 20000));
    CHECK(Events.Lines == std::vector<std::string>{"VideoSize(176,144)", "AtStart(" + Dir / "big.viv" + ")"});
    Events.Lines.clear();
    Vivo.Load(Dir / "bigger.viv");
    REQUIRE(PumpUntil([&] { return !Events.Lines.empty(); }, 20000));
    CHECK(Events.Lines == std::vector<std::string>{"FetchError(80040205)"});
    Vivo.Load("");
  }
}

TEST_CASE_FIXTURE(TControlFixture, "calls in any order are safe; a call the control rejects raises its text") {
  TVvPPWeb Vivo;
  TEventLog Events(Vivo);
  CHECK_FALSE(Vivo.Play());
  CHECK_FALSE(Vivo.Pause());
  Vivo.Rewind();
  Vivo.Load("");
  Vivo.Load("");
  {
    TDialogCloser Closer("About this Movie");
    Vivo.AboutMovie();
    CHECK(TDialogCloser::Text == "No clip is loaded.");
  }
  {
    TDialogCloser Closer("Save As");
    Vivo.SaveAs();
    CHECK(TDialogCloser::Text == "There is no clip to save.");
  }
  PumpFor(100);
  CHECK(Events.Lines.empty());

  try {
    Vivo.Load(std::string(3000, 'a'));
    FAIL("a name of 3000 characters was accepted");
  } catch (const EOleException& Error) {
    CHECK(Error.Message() == "The name of the clip is too long: at most 2083 characters.");
    CHECK(Error.ErrorCode == E_INVALIDARG);
  }
}

TEST_CASE_FIXTURE(TControlFixture, "About this Movie describes the clip; Save As writes a whole copy") {
  TScratchDir Dir;
  std::string Bytes = WriteClip(Dir / "a.viv", 320, 240, 65000);
  TVvPPWeb Vivo;
  TEventLog Events(Vivo);
  Vivo.Load(Dir / "a.viv");
  REQUIRE(PumpUntil([&] { return Events.Count("AtStart") == 1; }));
  Vivo.Pause();
  {
    TDialogCloser Closer("About this Movie");
    Vivo.AboutMovie();
    CHECK(TDialogCloser::Seen);
    CHECK_MESSAGE(TDialogCloser::Text.find("Picture: 320 x 240") != std::string::npos, TDialogCloser::Text);
    CHECK_MESSAGE(TDialogCloser::Text.find("Length: 1:05.0") != std::string::npos, TDialogCloser::Text);
  }
  {
    TDialogCloser Closer("Save a Copy of the Clip", Dir / "copy.viv");
    Vivo.SaveAs();
    CHECK(TDialogCloser::Seen);
  }
  REQUIRE(FileExists(Dir / "copy.viv"));
  CHECK(ReadBytes(Dir / "copy.viv") == Bytes);
  CHECK_FALSE(FileExists(Dir / "copy.viv.part"));
}

TEST_CASE_FIXTURE(TControlFixture, "mouse, double click, keys and right click on the video reach the host") {
  TTestWindow Parent;
  TVvPPWeb Vivo;
  Vivo.CreateInParent(Parent.Handle(), 16, 20, 206, 154);
  HWND Window = Vivo.Handle();
  std::vector<std::string> Seen;
  auto Shift = [](TShiftState S) { return std::to_string(S.Value()); };
  Vivo.OnMouseDown = [&](TObject* Sender, TMouseButton Button, TShiftState S, int X, int Y) {
    Seen.push_back("down " + std::to_string(int(Button)) + " " + Shift(S) + " " + std::to_string(X) + "," +
                   std::to_string(Y) + (Sender == &Vivo ? "" : " (wrong sender)"));
  };
  Vivo.OnMouseUp = [&](TObject*, TMouseButton Button, TShiftState S, int X, int Y) {
    Seen.push_back("up " + std::to_string(int(Button)) + " " + Shift(S) + " " + std::to_string(X) + "," + std::to_string(Y));
  };
  Vivo.OnMouseMove = [&](TObject*, TShiftState S, int X, int Y) {
    Seen.push_back("move " + Shift(S) + " " + std::to_string(X) + "," + std::to_string(Y));
  };
  Vivo.OnDblClick = [&](TObject*) { Seen.push_back("dblclick"); };
  Vivo.OnKeyDown = [&](TObject*, uint16_t& Key, TShiftState S) { Seen.push_back("key " + std::to_string(Key) + " " + Shift(S)); };
  Vivo.OnContextPopup = [&](int X, int Y) { Seen.push_back("popup " + std::to_string(X) + "," + std::to_string(Y)); };

  SUBCASE("press, drag and release; the move handler detached and attached again") {
    SendMessageA(Window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
    CHECK(GetCapture() == Window);
    SendMessageA(Window, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MAKELPARAM(-5, 30));
    SendMessageA(Window, WM_LBUTTONUP, 0, MAKELPARAM(12, 22));
    CHECK(GetCapture() == nullptr);
    TMouseMoveEvent Drag = Vivo.OnMouseMove;
    Vivo.OnMouseMove = nullptr;
    SendMessageA(Window, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    Vivo.OnMouseMove = Drag;
    SendMessageA(Window, WM_MOUSEMOVE, 0, MAKELPARAM(2, 3));
    CHECK(Seen == std::vector<std::string>{"down 0 8 10,20", "move 9 -5,30", "up 0 0 12,22", "move 0 2,3"});
    CHECK(GetFocus() == Window);
  }
  SUBCASE("a double click is a double click, then a press with ssDouble") {
    SendMessageA(Window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 6));
    SendMessageA(Window, WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
    CHECK(Seen == std::vector<std::string>{"dblclick", "down 0 72 5,6", "up 0 0 5,6"});
  }
  SUBCASE("keys, with Alt from a system key") {
    SendMessageA(Window, WM_KEYDOWN, VK_NUMPAD5, 0);
    SendMessageA(Window, WM_SYSKEYDOWN, VK_MENU, 1 << 29);
    CHECK(Seen == std::vector<std::string>{"key 101 0", "key 18 2"});
  }
  SUBCASE("a right click opens the host's menu at the screen point, and only the host's") {
    SendMessageA(Window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 40));
    SendMessageA(Window, WM_RBUTTONUP, 0, MAKELPARAM(30, 40));
    POINT At{30, 40};
    ClientToScreen(Window, &At);
    CHECK(Seen == std::vector<std::string>{"down 1 16 30,40", "up 1 0 30,40",
                                           "popup " + std::to_string(At.x) + "," + std::to_string(At.y)});
    CHECK(std::count(Parent.Received.begin(), Parent.Received.end(), WM_CONTEXTMENU) == 0);
    Seen.clear();
    SendMessageA(Window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Window), -1);
    At = POINT{103, 77};
    ClientToScreen(Window, &At);
    CHECK(Seen == std::vector<std::string>{"popup " + std::to_string(At.x) + "," + std::to_string(At.y)});
  }
  SUBCASE("a real click through the input queue") {
    POINT At{50, 60};
    ClientToScreen(Window, &At);
    // The click goes where the system puts it: wait until the video is the window there, on
    // screen and on top, and carry the place in the input itself.
    REQUIRE(PumpUntil([&] { return WindowFromPoint(At) == Window; }, 5000));
    INPUT Clicks[2]{};
    for (INPUT& Click : Clicks) {
      Click.type = INPUT_MOUSE;
      Click.mi.dx = MulDiv(At.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
      Click.mi.dy = MulDiv(At.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    Clicks[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
    Clicks[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
    REQUIRE(SendInput(2, Clicks, sizeof(INPUT)) == 2);
    PumpUntil([&] { return Seen.size() >= 2 && Seen.back().rfind("up", 0) == 0; }, 2000);
    std::string Presses;
    for (const std::string& Line : Seen)
      if (Line.rfind("move", 0) != 0) Presses += Line + "|";
    CHECK(Presses == "down 0 8 50,60|up 0 0 50,60|");
  }
  SUBCASE("the cursor over the video: none, then the arrow again") {
    Vivo.SetCursorNone(true);
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_CROSS)));
    SendMessageA(Window, WM_SETCURSOR, reinterpret_cast<WPARAM>(Window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    CHECK(GetCursor() == nullptr);
    Vivo.SetCursorNone(false);
    SendMessageA(Window, WM_SETCURSOR, reinterpret_cast<WPARAM>(Window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    CHECK(GetCursor() == LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
  }
}
