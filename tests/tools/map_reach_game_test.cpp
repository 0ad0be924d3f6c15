// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The map check's search held against the game. On small maps made here the search finds
// the longest and the highest jump, a crawl through a one-cell gap and a ladder climb; the
// game itself (the built game folder's pictures, the real pass of play: world step, world
// pass, controls) then plays the keys the search's way implies and must land where each
// move of the feat lands and leave the map through its exit. One cell more and the search
// must find no way: its limits are the game's movement, so a change of the game's gravity
// or jump shows here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/temp_folders.h"
#include "content/content.h"
#include "map_reach.h"
#include "maptext.h"
#include "media/input_internal.h"
#include "media/media.h"
#include "play/play.h"
#include "shell/shell.h"

namespace {

namespace fs = std::filesystem;
using kwtool::ReachMove;

// A map 80 cells wide, ground from row 8 down and walls at both ends. The figure starts
// and the feats lie far from the ends, where the camera scrolls the world under a figure
// that runs at full speed.
constexpr int GroundRow = 8, ExitCol = 60;
std::string Field(const std::string& cells, int exitRow = GroundRow - 1) {
  return "klingenwald map\nwidth: 79\nheight: 15\nstart_cell: 20 6\nexit_col: " + std::to_string(ExitCol) +
         "\nexit_row: " + std::to_string(exitRow) +
         "\nfill tile 0 0 79 15 1\nfill tile 0 8 79 15 8\nfill tile 0 0 0 15 8\nfill tile 79 0 79 15 8\n" + cells;
}

kwmap::MapFile Compiled(const std::string& text) {
  kwmap::MapSource source;
  std::string error;
  EXPECT_TRUE(kwmap::TextToMap(text, source, error)) << error;
  return source.map;
}

// The search from the map's start, keeping its way.
kwtool::ReachResult Search(const kwmap::MapFile& map) {
  kwtool::ReachInput in;
  in.map = &map;
  in.startX = kw::FigureStartScreenX + kw::ParseInt(map.header[11]);
  in.startTop = kw::ParseInt(map.header[10]) + kw::FigureTop;
  in.exitCol = kw::ParseInt(map.header[12]);
  in.exitRow = kw::ParseInt(map.header[13]);
  in.recordWay = true;
  return kwtool::SearchReach(in);
}

std::string Describe(const std::vector<ReachMove>& way) {
  static const char* const kinds[] = {"start", "walk", "jump", "climb", "shrink", "grow", "teleport"};
  std::string out;
  for (const ReachMove& m : way) {
    char line[200];
    std::snprintf(line, sizeof line, "%s%s x %.1f row %d dir %d cap %.2f%s delay %d -> col %d row %d x %.1f\n",
                  kinds[m.kind], m.small ? " small" : "", m.x, m.feetRow, m.dir, m.cap, m.running ? " running" : "",
                  m.delay, m.toCol, m.toFeetRow, m.toX);
    out += line;
  }
  return out;
}

class CheckAgainstGame : public ::testing::Test {
 protected:
  // The game folder: links to the built one, with a maps folder of its own.
  static void SetUpTestSuite() {
    folders = new kwtest::TempFolders("kw_reachgame");
    for (const char* name : {"paks", "Gegner.ini", "Setup.ini", "cutscenes.ini"})
      fs::create_symlink(fs::path(KW_GAME_DIR) / name, folders->game / name);
    fs::create_directories(folders->game / "maps");
    kw::MediaOptions o;
    o.headless = true;
    o.seedGiven = true;
    o.seed = 5;
    ASSERT_TRUE(kw::InitMedia(o));
    kw::SetFolders(folders->game.string(), folders->user.string());
    kw::SetStartValues();
    kw::LoadConfiguration();
    kw::CreateScriptLists();
    kw::LoadLights();
    kw::LoaderThread(0);
  }
  // The media layer stays up to the end of the binary: its shutdown would end the text
  // library under the picture tests' fonts, which close theirs at exit.
  static void TearDownTestSuite() {
    kw::ResetInput();
    delete folders;
    folders = nullptr;
  }

  // The map as free map 1, started as a new game starts it (a key skips the title).
  void StartMap(const std::string& text) {
    kwmap::MapFile map = Compiled(text);
    ASSERT_TRUE(kwmap::WriteFileBytes((folders->game / "maps" / "map1.map").string(), kwmap::WriteMapBytes(map)));
    kw::ResetInput();
    kw::SetNewGamePlayer(kw::P());
    kw::StoryMode = kw::TimeMatch = 0;
    kw::CurrentMap = 1;
    kw::InjectKey(kw::Key::Return, true);
    bool started = kw::MapStart();
    kw::ResetInput();
    ASSERT_TRUE(started);
    held.clear();
  }

  static int Key(int slot) { return kw::KeyBindings.begin()->code[size_t(slot)]; }
  // Holds exactly these keys from the next pass on.
  void Hold(std::vector<int> keys) {
    keys.push_back(kw::Key::Return);  // Return all along: the exit takes the figure at its first touch
    // The small form holds its key, except on a ladder: there the same key climbs down,
    // and the form stays as it is while the figure climbs.
    if (small && !climbing) keys.push_back(Key(kw::Bind::Down));
    for (int k : held)
      if (std::find(keys.begin(), keys.end(), k) == keys.end()) kw::InjectKey(k, false);
    for (int k : keys)
      if (std::find(held.begin(), held.end(), k) == held.end()) kw::InjectKey(k, true);
    held = keys;
  }
  // One pass of play; false once the map is left.
  static bool Pass() {
    kw::PlayPass();
    return kw::P().mapDone == 0;
  }
  static double X() { return kw::PlayerScreenX - double(kw::P().posX); }
  // The figure's feet: the row of the cell top it stands on (the touch picture's lowest
  // opaque pixels sink into the ground by up to a pixel or two).
  int FeetRow() {
    const int h = small ? kw::SmallFormFrame : kw::FigureFrameH;
    return int(std::lround((double(kw::P().posY) + kw::FigureTop + h) / kw::CellSize));
  }
  static bool Standing() { return kw::P().moveFlag == 1 && kw::P().speedY == 0; }

  // The figure's world velocity (speedX is positive leftward) and the form's push.
  static double Velocity() { return -double(kw::P().speedX); }
  static double Push() { return kw::P().accel > 0 ? kw::P().accel : kw::NormalFormLimits.accel; }
  // Whether the figure runs toward dir at cap already.
  static bool RunningAt(int dir, double cap) { return dir * Velocity() >= cap - Push() / 2; }
  int PushKey(int dir) { return dir > 0 ? Key(kw::Bind::Right) : Key(kw::Bind::Left); }
  // The full walking speed of the form the figure is in.
  double FullSpeed() { return kwtool::FigureMovement(small).runSpeed; }

  // Passes with these keys until done() holds; false when the map was left on the way.
  template <typename Done>
  bool PassUntil(const std::vector<int>& keys, Done done, int limit = 400) {
    Hold(keys);
    for (int i = 0; i < limit && !done(); ++i)
      if (!Pass()) return false;
    return true;
  }

  // How far the figure moves from speed u on when the key is let go: this pass moves at
  // u, each later one a push slower.
  static double Slide(double u, double a) {
    double d = 0;
    for (; u > 1e-6; u -= a) d += u;
    return d;
  }

  // Walks to x and stops there, within a push; false when the map was left on the way.
  bool MoveTo(double x) {
    for (int i = 0; i < 1000; ++i) {
      double d = x - X(), v = Velocity(), a = Push();
      if (std::fabs(d) <= a && v == 0 && Standing()) return true;
      // Push toward x while one more push still lets the figure stop short of it.
      bool toward = d * v > 0 || v == 0;
      if (toward && Slide(std::fabs(v) + a, a) > std::fabs(d))
        Hold({});
      else
        Hold({PushKey(d > 0 ? 1 : -1)});
      if (!Pass()) return false;
    }
    ADD_FAILURE() << "the figure did not get to x " << x;
    return true;
  }

  // Whether the player holds the walking key toward dir this pass to keep to cap: the
  // control itself stops at the form's full speed, a lower cap the player keeps by letting
  // go above it (the search steers so too).
  bool Pushing(int dir, double cap) { return cap >= FullSpeed() - 1e-3 || dir * Velocity() < cap; }

  // Running toward dir at cap with the next pass moving the figure to x: a run-up from a
  // place behind x chosen so that the speeds the pushes build land on x, unless the figure
  // runs that way already.
  bool RunUpTo(double x, int dir, double cap) {
    if (!RunningAt(dir, cap)) {
      // The passes of a run-up from standing: the first push moves nothing yet.
      const kw::FormLimits& limits = small ? kw::SmallFormLimits : kw::NormalFormLimits;
      const bool full = cap >= FullSpeed() - 1e-3;
      float speed = 0;
      double run = 0;
      for (int i = 0; i < 1000 && (run < 100 || speed < (full ? limits.topSpeed : cap)); ++i) {
        run += speed;
        if (full ? speed < limits.topSpeed : speed < cap)
          speed += limits.accel;
        else
          speed -= limits.accel;
      }
      if (!MoveTo(x - dir * run)) return false;
    }
    // A key acts after the move of the pass it is held in: run on until the next pass
    // moves the figure to x.
    for (int i = 0; i < 400 && dir * (X() + Velocity() - x) < -std::fabs(Velocity()) / 2; ++i) {
      Hold(Pushing(dir, cap) ? std::vector<int>{PushKey(dir)} : std::vector<int>{});
      if (!Pass()) return false;
    }
    return true;
  }

  // Lets go until the figure stands still.
  bool Stop() { return PassUntil({}, [&] { return Velocity() == 0 && Standing(); }); }

  // Plays one move of the way; false when the map was left on the way.
  bool Play(const ReachMove& m) {
    switch (m.kind) {
      case ReachMove::Start:
        return true;
      case ReachMove::Shrink:
      case ReachMove::Grow: {
        small = m.kind == ReachMove::Shrink;
        std::vector<int> keys = held;
        keys.erase(std::remove(keys.begin(), keys.end(), Key(kw::Bind::Down)), keys.end());
        // The form changes in the next pass and drops the figure a little; wait until it
        // stands again.
        if (!PassUntil(keys, [] { return false; }, 2)) return false;
        return PassUntil(keys, [&] { return Standing(); }, 20);
      }
      case ReachMove::Walk:
        if (m.dir == 0) return m.cap == 0 && Velocity() != 0 ? Stop() : true;
        if (m.running) {
          if (!RunUpTo(m.x, m.dir, m.cap)) return false;
          return RunUpTo(m.toX, m.dir, m.cap) && (RunningAt(m.dir, FullSpeed()) || Stop());
        }
        return MoveTo(m.toX);
      case ReachMove::Jump:
        return PlayJump(m);
      case ReachMove::Climb: {
        climbing = true;
        bool on = PassUntil({m.dir < 0 ? Key(kw::Bind::Up) : kw::Key::Down},
                            [&] { return m.dir < 0 ? FeetRow() <= m.toFeetRow : FeetRow() >= m.toFeetRow; });
        climbing = false;
        return on;
      }
      case ReachMove::Teleport:
        ADD_FAILURE() << "no teleports on these maps";
        return true;
    }
    return true;
  }

  // A jump: a run-up to the take-off place (or a stop on it), the jump, the push the way
  // says from its first tick or after its delay; a landing below full speed slides to a
  // stop.
  bool PlayJump(const ReachMove& m) {
    const int carried = Velocity() > 0 ? 1 : Velocity() < 0 ? -1 : 0;
    if (m.running) {
      if (!RunUpTo(m.x, m.dir, m.cap)) return false;
    } else if (m.dir == 0 && carried != 0) {
      // Running on, letting go at the jump.
      if (!PassUntil({PushKey(carried)}, [&] { return carried * (X() + Velocity() - m.x) >= -std::fabs(Velocity()) / 2; }))
        return false;
    } else if (!MoveTo(m.x)) {
      return false;
    }
    bool airborne = false;
    for (int tick = 0; tick < 400; ++tick) {
      std::vector<int> keys;
      if (tick < 3) keys.push_back(Key(kw::Bind::Jump));
      if (m.dir != 0 && (m.running || tick >= m.delay) && Pushing(m.dir, m.cap)) keys.push_back(PushKey(m.dir));
      Hold(keys);
      if (!Pass()) return false;
      airborne = airborne || kw::P().speedY != 0;
      if (airborne && tick > 0 && kw::P().climbing == 1) return true;
      if (airborne && tick > 0 && Standing()) return m.dir != 0 && RunningAt(m.dir, m.cap) ? true : Stop();
    }
    return true;
  }

  // Plays the moves first..last of a way from the start of the first, which lies on the
  // open ground the figure walks or runs to by itself; each must end in the row the way
  // says, within a cell of its column. Then walks on to the exit: true when the game left
  // the map there.
  bool PlaySegment(const std::vector<ReachMove>& way, size_t first, size_t last) {
    small = way[first].small;
    if (small && !PassUntil({}, [] { return false; }, 2)) return false;
    for (size_t k = first; k <= last; ++k) {
      const ReachMove& m = way[k];
      if (!Play(m)) return k == last;
      int col = int(std::floor(X() / kw::CellSize));
      EXPECT_EQ(FeetRow(), m.toFeetRow) << Describe({m}) << "the game's figure at x " << X();
      EXPECT_LE(std::abs(col - m.toCol), 1) << Describe({m}) << "the game's figure at x " << X();
    }
    // Off a ladder at its top: up and toward the exit until the figure stands.
    const double exitX = ExitCol * kw::CellSize;
    if (kw::P().climbing == 1) {
      climbing = true;
      bool on = PassUntil({Key(kw::Bind::Up), PushKey(exitX > X() ? 1 : -1)},
                          [&] { return kw::P().climbing == 0 && Standing(); });
      climbing = false;
      if (!on) return true;
    }
    return !MoveTo(exitX) || !PassUntil({}, [] { return false; }, 30);
  }

  // Plays the way's feat (the first move for which isFeat holds) from the last move before
  // it that starts on the ground row, and on to the exit. The way must have the feat.
  template <typename IsFeat>
  bool PlayFeat(const std::vector<ReachMove>& way, IsFeat isFeat) {
    size_t feat = 0;
    while (feat < way.size() && !isFeat(way[feat])) ++feat;
    if (feat == way.size()) {
      ADD_FAILURE() << "the way has no such move:\n" << Describe(way);
      return false;
    }
    size_t first = feat;
    auto onGround = [](const ReachMove& m) {
      return m.feetRow == GroundRow && (m.kind == ReachMove::Jump || m.kind == ReachMove::Shrink ||
                                        (m.kind == ReachMove::Walk && m.dir != 0));
    };
    while (first > 0 && !onGround(way[first])) --first;
    return PlaySegment(way, first, feat);
  }

  static kwtest::TempFolders* folders;
  std::vector<int> held;
  bool small = false;
  bool climbing = false;
};

kwtest::TempFolders* CheckAgainstGame::folders = nullptr;

// The widest pit the search jumps (the small form's running jump), played by the game;
// one cell wider and the search finds no way.
TEST_F(CheckAgainstGame, LongestJump) {
  auto pit = [](int width) { return Field("fill tile 35 8 " + std::to_string(34 + width) + " 14 1\n"); };
  kwtool::ReachResult r = Search(Compiled(pit(14)));
  ASSERT_TRUE(r.exitReached);
  EXPECT_FALSE(Search(Compiled(pit(15))).exitReached);
  StartMap(pit(14));
  EXPECT_TRUE(PlayFeat(r.way, [](const ReachMove& m) { return m.x < 35 * 30 && m.toX > 48 * 30; }))
      << Describe(r.way);
}

// The highest ledge the search jumps onto, played by the game; one cell higher and the
// search finds no way.
TEST_F(CheckAgainstGame, HighestJump) {
  auto ledge = [](int height) {
    return Field("fill tile 35 " + std::to_string(GroundRow - height) + " 78 7 8\n", GroundRow - height - 1);
  };
  kwtool::ReachResult r = Search(Compiled(ledge(4)));
  ASSERT_TRUE(r.exitReached);
  EXPECT_FALSE(Search(Compiled(ledge(5))).exitReached);
  StartMap(ledge(4));
  EXPECT_TRUE(PlayFeat(r.way, [](const ReachMove& m) { return m.toFeetRow == GroundRow - 4; })) << Describe(r.way);
}

// A tunnel one cell high: only the small form gets through, and the game with it.
TEST_F(CheckAgainstGame, CrawlThroughAOneCellGap) {
  const std::string tunnel = Field("fill tile 35 0 45 6 8\n");
  kwtool::ReachResult r = Search(Compiled(tunnel));
  ASSERT_TRUE(r.exitReached);
  StartMap(tunnel);
  EXPECT_TRUE(PlayFeat(r.way, [](const ReachMove& m) { return m.small && m.toX > 46 * 30; })) << Describe(r.way);
}

// A ledge seven cells up, too high for any jump, and a ladder up to it: the figure jumps
// as high up the ladder as it can and climbs the rest.
TEST_F(CheckAgainstGame, LadderClimb) {
  const std::string wall = Field("fill tile 40 1 78 7 8\nfill tile 39 1 39 7 26\n", 0);
  kwtool::ReachResult r = Search(Compiled(wall));
  ASSERT_TRUE(r.exitReached);
  EXPECT_FALSE(Search(Compiled(wall + "fill front 39 1 39 7 2\n")).exitReached);
  int climbed = 0;
  for (const ReachMove& m : r.way) climbed += m.kind == ReachMove::Climb ? 1 : 0;
  EXPECT_GE(climbed, 2) << Describe(r.way);
  StartMap(wall);
  EXPECT_TRUE(PlayFeat(r.way, [](const ReachMove& m) { return m.kind == ReachMove::Climb && m.toFeetRow == 1; }))
      << Describe(r.way);
}

}  // namespace
