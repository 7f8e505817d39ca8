// Clips over HTTP from the test server on 127.0.0.1: a clip and a playlist (of a clip of a
// header only and a real one) are fetched and played; a missing file, a closed port and a server that never answers end in OnFetchError,
// while the GUI thread goes on.
#include <doctest.h>
#include <windows.h>

#include <fstream>

#include "tests/win/ControlTestHost.h"
#include "tests/win/TestFiles.h"

namespace {

// The server's folder and the address it serves it at.
struct TServer {
  std::string Root = std::string(HTTP_STATE_DIR) + "root\\";
  std::string Base;
  TServer() {
    std::string Port = ReadBytes(std::string(HTTP_STATE_DIR) + "port");
    Base = "http://127.0.0.1:" + Port + "/";
  }
};

}  // namespace

TEST_CASE_FIXTURE(TControlFixture, "a clip and a playlist served over HTTP play") {
  TServer Server;
  WriteClip(Server.Root + "web clip.viv", 240, 180, 200);
  WriteBytes(Server.Root + "second.viv", CorpusClip("siren.viv"));
  WriteBytes(Server.Root + "list.viv", "Version:   Vivo/2.00\r\nBegin:     commands\r\nnext web%20clip.viv\r\nnext /second.viv\r\n");
  TVvPPWeb Vivo;
  TEventLog Events(Vivo);

  SUBCASE("one clip") {
    Vivo.Load(Server.Base + "web%20clip.viv");
    REQUIRE(PumpUntil([&] { return !Events.Lines.empty() && Events.Lines.back().rfind("AtStart", 0) == 0; }));
    CHECK(Events.Lines == std::vector<std::string>{"VideoSize(240,180)", "AtStart(" + Server.Base + "web%20clip.viv)"});
    CHECK(Vivo.VideoWidth() == 240);
    CHECK(Vivo.URL() == Server.Base + "web%20clip.viv");
  }
  SUBCASE("a playlist with entries relative to it") {
    Vivo.Load(Server.Base + "list.viv");
    REQUIRE(PumpUntil([&] { return Events.Count("AtEnd") == 1; }));
    CHECK(Events.Lines == std::vector<std::string>{"VideoSize(240,180)", "AtStart(" + Server.Base + "web clip.viv)",
                                                   "VideoSize(128,96)", "AtStart(" + Server.Base + "second.viv)",
                                                   "AtEnd(" + Server.Base + "list.viv)"});
  }
}

TEST_CASE_FIXTURE(TControlFixture, "web failures end in OnFetchError without holding up the GUI thread") {
  TServer Server;
  TVvPPWeb Vivo;
  TDiagnostics Diagnostics(Vivo);
  TEventLog Events(Vivo);

  SUBCASE("a file the server does not have") {
    Vivo.Load(Server.Base + "missing.viv");
    REQUIRE(PumpUntil([&] { return !Events.Lines.empty(); }));
    CHECK(Events.Lines == std::vector<std::string>{"FetchError(80190194)"});
  }
  SUBCASE("a port nobody listens on") {
    Vivo.Load("http://127.0.0.1:1/a.viv");
    REQUIRE(PumpUntil([&] { return !Events.Lines.empty(); }, 20000));
    REQUIRE(Events.Lines.size() == 1);
    CHECK(Events.Lines[0].rfind("FetchError(8007", 0) == 0);
  }
  SUBCASE("a server that never answers: given up after the timeout, the loop running all along") {
    Diagnostics->SetFetchTimeout(1500);
    ULONGLONG Started = GetTickCount64(), LastTurn = Started, LongestGap = 0;
    Vivo.Load(Server.Base + "stall/a.viv");
    REQUIRE(PumpUntil([&] {
      ULONGLONG Now = GetTickCount64();
      LongestGap = std::max(LongestGap, Now - LastTurn);
      LastTurn = Now;
      return !Events.Lines.empty();
    }, 10000));
    ULONGLONG Took = GetTickCount64() - Started;
    CHECK(Events.Lines == std::vector<std::string>{"FetchError(80072EE2)"});
    CHECK(Took >= 1400);
    CHECK(Took < 5000);
    CHECK(LongestGap < 500);
    // A clip loaded after the stalled one is not disturbed by its late end.
    WriteClip(Server.Root + "after.viv", 64, 48, 5000);
    Events.Lines.clear();
    Vivo.Load(Server.Base + "after.viv");
    REQUIRE(PumpUntil([&] { return Events.Count("AtStart") == 1; }));
    CHECK(Vivo.VideoWidth() == 64);
  }
}
