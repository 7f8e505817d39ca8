// The playback engine: entry order, the events and their arguments, the clock, calls in any
// order; and the generated picture.
#include <doctest.h>

#include "vvppweb/MakeVivo.h"
#include "vvppweb/Picture.h"
#include "vvppweb/Playback.h"
#include "tests/unit/VivoRig.h"

namespace {

std::string Clip(int Width, int Height, uint32_t DurationMs) {
  TMakeVivoOptions Options;
  Options.Width = Width;
  Options.Height = Height;
  Options.DurationMs = DurationMs;
  return MakeVivoFile(Options);
}

TEngineEvent AtStart(const std::string& Url) { return {dispOnAtStart, 0, 0, Url}; }
TEngineEvent AtEnd(const std::string& Url) { return {dispOnAtEnd, 0, 0, Url}; }
TEngineEvent Size(int W, int H, const std::string& Url) { return {dispOnVideoSize, W, H, Url}; }
TEngineEvent Error(int32_t Code, const std::string& Url) { return {dispOnFetchError, Code, 0, Url}; }

const std::string List = "C:\\lists\\three.viv";
const std::string ListBytes =
    "Version:   Vivo/2.00\r\nBegin:     commands\r\nnext one.viv\r\nnext D:\\two%20b.viv\r\nnext C:\\lists\\three.viv.c\r\n";

}  // namespace

TEST_CASE("a command file of three clips starts each with its own size, then ends once") {
  TRig Rig;
  Rig.Files = {{List, ListBytes},
               {"C:\\lists\\one.viv", Clip(160, 120, 200)},
               {"D:\\two b.viv", Clip(320, 240, 100)},
               {"C:\\lists\\three.viv.c", Clip(128, 96, 150)}};
  Rig.Engine.Load(List, true);
  CHECK(Rig.Engine.VideoWidth() == -1);
  Rig.Serve();
  CHECK(Rig.Take() == std::vector<TEngineEvent>{Size(160, 120, "C:\\lists\\one.viv"), AtStart("C:\\lists\\one.viv")});
  CHECK(Rig.Engine.VideoWidth() == 160);
  CHECK(Rig.Engine.Playing());
  // Of a command file, URL names the entry that plays: a host's messages name the user's file.
  CHECK(Rig.Engine.Url() == "C:\\lists\\one.viv");

  Rig.Run(200);
  CHECK(Rig.Take() == std::vector<TEngineEvent>{Size(320, 240, "D:\\two b.viv"), AtStart("D:\\two b.viv")});
  CHECK(Rig.Engine.VideoHeight() == 240);
  Rig.Run(100);
  Rig.Run(150);
  CHECK(Rig.Take() == std::vector<TEngineEvent>{Size(128, 96, "C:\\lists\\three.viv.c"),
                                                AtStart("C:\\lists\\three.viv.c"), AtEnd(List)});
  CHECK_FALSE(Rig.Engine.Playing());
  CHECK(Rig.Engine.State() == csEnded);
  Rig.Run(1000);
  CHECK(Rig.Take(true).empty());
}

TEST_CASE("the clock moves one buffer per buffer-done, only while playing, and reports it") {
  TRig Rig;
  Rig.Files = {{"a.viv", Clip(176, 144, 1000)}};
  Rig.Engine.Load("a.viv", false);
  Rig.Serve();
  CHECK(Rig.Take(true) == std::vector<TEngineEvent>{{dispOnStateChange, csOpening, 0, "a.viv"}, Size(176, 144, "a.viv"),
                                                    AtStart("a.viv"), {dispOnStateChange, csPaused, 0, "a.viv"}});
  Rig.Engine.BufferDone(400);
  CHECK(Rig.Engine.Position() == 0u);
  REQUIRE(Rig.Engine.Play());
  for (int I = 0; I < 6; ++I) Rig.Engine.BufferDone(400);
  CHECK(Rig.Engine.Position() == 300u);
  std::vector<TEngineEvent> Events = Rig.Take(true);
  REQUIRE(Events.size() == 7);
  CHECK(Events[0] == TEngineEvent{dispOnStateChange, csPlaying, 0, "a.viv"});
  CHECK(Events[6] == TEngineEvent{dispOnTime, 300, 0, "a.viv"});
  REQUIRE(Rig.Engine.Pause());
  Rig.Engine.BufferDone(400);
  CHECK(Rig.Engine.Position() == 300u);
  Rig.Engine.Play();
  Rig.Engine.BufferDone(40000);
  CHECK(Rig.Engine.Position() == 1000u);
  CHECK(Rig.Take().back() == AtEnd("a.viv"));
}

TEST_CASE("Rewind goes back to the first entry and plays on only with Autostart") {
  TRig Rig;
  Rig.Files = {{List, ListBytes},
               {"C:\\lists\\one.viv", Clip(160, 120, 100)},
               {"D:\\two b.viv", Clip(320, 240, 100)},
               {"C:\\lists\\three.viv.c", Clip(128, 96, 100)}};
  Rig.Engine.Load(List, true);
  Rig.Serve();
  Rig.Run(100);
  Rig.Run(50);
  Rig.Take();
  REQUIRE(Rig.Engine.VideoWidth() == 320);
  size_t FetchesBefore = Rig.Fetched.size();

  Rig.Engine.Rewind(false);
  Rig.Serve();
  CHECK(Rig.Take() == std::vector<TEngineEvent>{Size(160, 120, "C:\\lists\\one.viv"), AtStart("C:\\lists\\one.viv")});
  CHECK(Rig.Fetched.size() == FetchesBefore);  // fetched entries are kept
  CHECK(Rig.Engine.Position() == 0u);
  CHECK_FALSE(Rig.Engine.Playing());

  Rig.Engine.Rewind(true);
  Rig.Take();
  CHECK(Rig.Engine.Playing());
}

TEST_CASE("failures: reported with their code and the name, the rest of a list still plays") {
  SUBCASE("a missing clip") {
    TRig Rig;
    Rig.Engine.Load("gone.viv", true);
    Rig.Serve();
    CHECK(Rig.Take() == std::vector<TEngineEvent>{Error(int32_t(0x80070002), "gone.viv")});
    CHECK(Rig.Engine.State() == csFailed);
    CHECK(Rig.Engine.Url() == "gone.viv");
    CHECK(Rig.Engine.VideoWidth() == -1);
    CHECK_FALSE(Rig.Engine.Play());
  }
  SUBCASE("neither clip nor command file") {
    TRig Rig;
    Rig.Files = {{"a.txt", "just text"}};
    Rig.Engine.Load("a.txt", true);
    Rig.Serve();
    CHECK(Rig.Take() == std::vector<TEngineEvent>{Error(VivoNotAClip, "a.txt")});
  }
  SUBCASE("missing, broken and nested entries are skipped") {
    TRig Rig;
    Rig.Files = {{"C:\\l.viv", "Version: Vivo/2.00\r\nBegin: commands\r\nnext a.viv\r\nnext b.viv\r\nnext l.viv\r\nnext c.viv\r\n"},
                 {"C:\\b.viv", std::string("\0\x50", 2)},
                 {"C:\\c.viv", Clip(64, 48, 50)}};
    Rig.Engine.Load("C:\\l.viv", true);
    Rig.Serve();
    CHECK(Rig.Take() == std::vector<TEngineEvent>{Error(int32_t(0x80070002), "C:\\a.viv"), Error(VivoTruncated, "C:\\b.viv"),
                                                  Error(VivoNestedList, "C:\\l.viv"), Size(64, 48, "C:\\c.viv"),
                                                  AtStart("C:\\c.viv")});
    Rig.Run(50);
    CHECK(Rig.Take() == std::vector<TEngineEvent>{AtEnd("C:\\l.viv")});
  }
  SUBCASE("an empty command file simply ends") {
    TRig Rig;
    Rig.Files = {{"e.viv", "Version: Vivo/2.00\r\nBegin: commands\r\n"}};
    Rig.Engine.Load("e.viv", true);
    Rig.Serve();
    CHECK(Rig.Take() == std::vector<TEngineEvent>{AtEnd("e.viv")});
  }
}

TEST_CASE("calls in any order are safe and late answers are ignored") {
  TRig Rig;
  Rig.Files = {{"a.viv", Clip(100, 80, 100)}, {"b.viv", Clip(200, 160, 100)}};
  CHECK_FALSE(Rig.Engine.Play());
  CHECK_FALSE(Rig.Engine.Pause());
  Rig.Engine.Rewind(true);
  Rig.Engine.BufferDone(400);
  Rig.Engine.Load("", true);
  Rig.Engine.Load("", true);
  CHECK(Rig.Take(true).empty());
  CHECK(Rig.Engine.Url().empty());

  SUBCASE("Play before the clip arrives plays it once it does, even without Autostart") {
    Rig.Engine.Load("a.viv", false);
    CHECK(Rig.Engine.Play());
    Rig.Serve();
    CHECK(Rig.Engine.Playing());
  }
  SUBCASE("Pause before the clip arrives holds it at the start") {
    Rig.Engine.Load("a.viv", true);
    CHECK(Rig.Engine.Pause());
    Rig.Serve();
    CHECK_FALSE(Rig.Engine.Playing());
    CHECK(Rig.Engine.VideoWidth() == 100);
  }
  SUBCASE("an answer for a clip loaded over is dropped, and so are its queued events") {
    Rig.Engine.Load("a.viv", true);
    auto First = Rig.Engine.TakeFetch();
    Rig.Engine.Load("b.viv", true);
    Rig.Engine.Fetched(First->Id, 0, Rig.Files["a.viv"]);
    CHECK(Rig.Engine.VideoWidth() == -1);
    Rig.Serve();
    CHECK(Rig.Take() == std::vector<TEngineEvent>{Size(200, 160, "b.viv"), AtStart("b.viv")});
    Rig.Engine.BufferDone(800);
    Rig.Engine.Load("", true);
    CHECK(Rig.Take(true) == std::vector<TEngineEvent>{{dispOnStateChange, csClosed, 0, ""}});
    CHECK(Rig.Engine.VideoWidth() == -1);
  }
  SUBCASE("Play after the end starts the clip again from its start") {
    Rig.Engine.Load("a.viv", true);
    Rig.Serve();
    Rig.Run(100);
    Rig.Take();
    CHECK(Rig.Engine.Play());
    CHECK(Rig.Take() == std::vector<TEngineEvent>{Size(100, 80, "a.viv"), AtStart("a.viv")});
    CHECK(Rig.Engine.Playing());
  }
}

TEST_CASE("the generated picture moves with the frame number and keeps its layout at any size") {
  CHECK(FrameAt(0, 15) == 0u);
  CHECK(FrameAt(1000, 15) == 15u);
  CHECK(FrameAt(999, 15) == 14u);

  std::vector<uint32_t> A = RenderFrame(176, 144, 3);
  REQUIRE(A.size() == 176u * 144u);
  CHECK(A == RenderFrame(176, 144, 3));
  CHECK(A != RenderFrame(176, 144, 4));
  // The white block sits in the middle band, three sixty-fourths across at frame 3.
  CHECK(A[72 * 176 + 176 * 3 / 64] == 0xFFFFFFu);
  CHECK(A[10 * 176 + 176 * 3 / 64] != 0xFFFFFFu);
  // Twice the size shows the same picture: each pixel of the small one is a 2 x 2 block.
  std::vector<uint32_t> B = RenderFrame(352, 288, 3);
  int Differ = 0;
  for (int Y = 0; Y < 144; ++Y)
    for (int X = 0; X < 176; ++X) Differ += B[(2 * Y) * 352 + 2 * X] != A[Y * 176 + X];
  CHECK(Differ < 176 * 144 / 50);
  CHECK(RenderFrame(0, 10, 1).empty());
}
