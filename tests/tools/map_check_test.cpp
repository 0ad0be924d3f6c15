// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwtool map check on small maps made here, each unfinishable in one way on purpose, and
// the same maps mended: the check must tell the two apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "common/temp_folders.h"
#include "map_check.h"
#include "map_reach.h"
#include "maptext.h"

namespace {

namespace fs = std::filesystem;

// 40 x 16 cells: walls at both ends, ground from row 8 down, the start at 3,6 on the
// ground, the exit at 35,7.
std::string Base(const std::string& extra, const std::string& start = "3 6") {
  return "klingenwald map\n"
         "width: 39\n"
         "height: 15\n"
         "start_cell: " + start + "\n"
         "exit_col: 35\n"
         "exit_row: 7\n"
         "fill tile 0 0 39 15 1\n"
         "fill tile 0 8 39 15 8\n"
         "fill tile 0 0 0 15 8\n"
         "fill tile 39 0 39 15 8\n" + extra;
}

kwtool::MapCheckInput Input(const std::string& text, const std::string& script = "") {
  kwtool::MapCheckInput in;
  kwmap::MapSource source;
  std::string error;
  EXPECT_TRUE(kwmap::TextToMap(text, source, error)) << error;
  in.map = source.map;
  in.script = script;
  return in;
}

std::vector<kwtool::MapFinding> Check(const std::string& text, const std::string& script = "") {
  return kwtool::CheckMap(Input(text, script));
}

bool Has(const std::vector<kwtool::MapFinding>& found, int col, int row, const std::string& words) {
  for (const auto& f : found)
    if (f.col == col && f.row == row && f.message.find(words) != std::string::npos) return true;
  return false;
}

std::string Listed(const std::vector<kwtool::MapFinding>& found) {
  std::string out;
  for (const auto& f : found) out += std::to_string(f.col) + "," + std::to_string(f.row) + ": " + f.message + "\n";
  return out;
}

TEST(MapCheck, CleanMapHasNoFindings) {
  const auto found = Check(Base("set pickup 20 7 21\n"));
  EXPECT_TRUE(found.empty()) << Listed(found);
}

TEST(MapCheck, StartInTheAirOrInAWall) {
  EXPECT_TRUE(Has(Check(Base("", "3 2")), 3, 2, "in the air"));
  EXPECT_TRUE(Has(Check(Base("", "3 8")), 3, 8, "inside a wall"));
}

TEST(MapCheck, WallsTooHighToJump) {
  // Two cells (60 pixels) can be jumped, five cells (150) cannot, not even crouched.
  EXPECT_TRUE(Check(Base("fill tile 20 6 21 7 8\n")).empty());
  const auto found = Check(Base("fill tile 20 3 21 7 8\n"));
  EXPECT_TRUE(Has(found, 35, 7, "cannot be reached")) << Listed(found);
}

TEST(MapCheck, GapOneCellTooWide) {
  // A pit 7 cells deep: too deep to climb out of; narrow ones are jumped.
  auto pit = [](int width) { return Check(Base("fill tile 15 8 " + std::to_string(14 + width) + " 14 1\n")); };
  EXPECT_TRUE(pit(3).empty());
  int widest = 0;
  for (int w = 1; w <= 18; ++w)
    if (pit(w).empty()) widest = w;
  ASSERT_GE(widest, 3);
  ASSERT_LT(widest, 18);
  EXPECT_TRUE(Has(pit(widest + 1), 35, 7, "cannot be reached"));
  for (int w = widest + 1; w <= 18; ++w) EXPECT_FALSE(pit(w).empty()) << "gap " << w;
}

TEST(MapCheck, ExitReachableOnlyByALadder) {
  // The exit on a ledge 5 cells (150 pixels) up; a ladder of tile 26 beside it.
  std::string text = Base("fill tile 30 3 38 3 8\nfill tile 29 3 29 7 26\n");
  text.replace(text.find("exit_row: 7"), 11, "exit_row: 2");
  EXPECT_TRUE(Check(text).empty()) << Listed(Check(text));
  // The same ladder with front 2 is only a picture: the physics ignores it.
  const auto found = Check(text + "fill front 29 3 29 7 2\n");
  EXPECT_TRUE(Has(found, 35, 2, "cannot be reached")) << Listed(found);
}

TEST(MapCheck, DoorBeforeItsKey) {
  // A locked door closes the way at column 25; the key lies behind it.
  const std::string door = "fill tile 25 0 25 5 8\nfill tile 25 6 25 7 19\n";
  const auto behind = Check(Base(door + "set tile 30 7 20\n"));
  EXPECT_TRUE(Has(behind, 25, 6, "no key can be reached")) << Listed(behind);
  EXPECT_TRUE(Has(behind, 35, 7, "cannot be reached"));
  const auto none = Check(Base(door));
  EXPECT_TRUE(Has(none, 25, 6, "no key")) << Listed(none);
  // The key as a pickup before the door.
  const auto before = Check(Base(door + "set pickup 10 7 4\n"));
  EXPECT_TRUE(before.empty()) << Listed(before);
}

TEST(MapCheck, BuriedEnemiesAndPickups) {
  const auto found = Check(Base("set pickup 12 9 21\nset pickup 14 10 3\nset pickup 16 7 6\n"));
  EXPECT_TRUE(Has(found, 12, 9, "enemy 21 buried")) << Listed(found);
  EXPECT_TRUE(Has(found, 14, 10, "pickup 3 buried"));
  EXPECT_FALSE(Has(found, 16, 7, "buried"));
}

TEST(MapCheck, TagsAndScriptCellsInsideTheGrid) {
  kwtool::MapCheckInput in = Input(Base(""), "{\r\ncreatetag(100,3,7)\r\n}\r\nif playerontag(2)\r\n"
                                             "deletfield(5,-1)\r\ncreatefield(4,4,0,0,3,0)\r\nendif\r\n");
  in.tagBytes.assign(40 * 16, '\0');
  in.tagBytes += std::string(40, '\0') + "\x05";
  const auto found = kwtool::CheckMap(in);
  EXPECT_TRUE(Has(found, 0, 17, "tag 5 lies outside")) << Listed(found);
  EXPECT_TRUE(Has(found, 100, 3, "createtag names a cell outside"));
  EXPECT_TRUE(Has(found, 5, -1, "deletfield names a cell outside"));
  EXPECT_EQ(found.size(), 3u);
}

TEST(MapCheck, PortalOfTheScriptLeadsThroughAWall) {
  // A wall from top to ground; the script's portal at 10,7 leads to 33,7.
  const std::string wall = Base("fill tile 25 0 25 7 8\n");
  EXPECT_TRUE(Has(Check(wall), 35, 7, "cannot be reached"));
  const auto found = Check(wall, "createportal(1,7,10,tor,7,33,return)\r\n");
  EXPECT_TRUE(found.empty()) << Listed(found);
}

// A moving cell goes toward its stored range's sign and back (the game keeps the value
// negated, but its first step from offset 0 turns the cell round): a lift stored with -150
// rises, one with 150 sinks into the ground; a bridge stored with 210 crosses most of a pit
// to its right, one with -210 slides into the ground on its left. Read the other way round, the
// check passed maps whose lifts went nowhere.
TEST(MapCheck, MovingCellsGoTowardTheirStoredSign) {
  // The exit on a ledge 6 cells up (no jump reaches it, not even from the lift's cell,
  // a step 1 cell high); a lift on the ground beside it.
  std::string ledge = Base("fill tile 30 2 38 2 8\nset tile 28 7 8\n");
  ledge.replace(ledge.find("exit_row: 7"), 11, "exit_row: 1");
  // A pit 16 cells wide and 7 deep (no jump crosses it nor climbs out); the ground's last cell
  // before it is the bridge.
  const std::string pit = Base("fill tile 15 8 30 14 1\n");
  struct Case {
    const char* what;
    std::string map;
    bool finishable;
  } cases[] = {
      {"no lift", ledge, false},
      {"a rising lift", ledge + "set vrange 28 7 -150\n", true},
      {"a sinking lift", ledge + "set vrange 28 7 150\n", false},
      {"no bridge", pit, false},
      {"a bridge moving right", pit + "set hrange 14 8 210\n", true},
      {"a bridge moving left", pit + "set hrange 14 8 -210\n", false},
  };
  for (const Case& c : cases) {
    const auto found = Check(c.map);
    EXPECT_EQ(found.empty(), c.finishable) << c.what << "\n" << Listed(found);
  }
}

// The command itself: exit codes and the one line for a damaged map.
TEST(MapCheck, CommandExitCodes) {
  kwtest::TempFolders dirs{"kw_mapcheck"};
  const fs::path kwtool = fs::path(KW_BINARY_DIR) / "kwtool";
  ASSERT_TRUE(fs::exists(kwtool)) << "build kwtool first";
  kwmap::MapSource source;
  std::string error;
  ASSERT_TRUE(kwmap::TextToMap(Base("", "3 2"), source, error)) << error;
  const fs::path map = dirs.root / "air.map", damaged = dirs.root / "damaged.map";
  ASSERT_TRUE(kwmap::WriteFileBytes(map.string(), kwmap::WriteMapBytes(source.map)));
  ASSERT_TRUE(kwmap::WriteFileBytes(damaged.string(), kwmap::WriteMapBytes(source.map).substr(0, 200)));
  const fs::path out = dirs.root / "out.txt", err = dirs.root / "err.txt";
  auto run = [&](const std::string& args) {
    std::string cmd = "timeout 60 " + kwtool.string() + " map check " + args + " >" + out.string() + " 2>" +
                      err.string();
    int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(run(map.string()), 1);
  std::string text;
  ASSERT_TRUE(kwmap::ReadFileBytes(out.string(), text));
  EXPECT_EQ(text.rfind(map.string() + ":3,2: the figure's start is in the air", 0), 0u) << text;
  EXPECT_EQ(run(damaged.string()), 2);
  ASSERT_TRUE(kwmap::ReadFileBytes(err.string(), text));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
  EXPECT_EQ(run((dirs.root / "missing.map").string()), 2);
  // A name relative to the game folder given with --data.
  EXPECT_EQ(run("air.map --data " + dirs.root.string()), 1);
}

}  // namespace
