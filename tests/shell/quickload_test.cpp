// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// A quick load across maps, through the shell's map end and map start: a slot saved on
// free map 1 and loaded on free map 2 ends map 2, starts map 1 through the normal map
// load and its start block, and then reads the slot's cells and record into it; nothing
// of the slot ever lands in map 2.
#include <fstream>
#include <iterator>

#include "../content/test_data.h"
#include "media/input_internal.h"
#include "save/save.h"
#include "script/script.h"
#include "shell/shell.h"

using namespace kwtest;

namespace {

std::string ShippedFile(const fs::path& p) {
  std::ifstream in(fs::path(KW_GAME_DIR) / p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class QuickLoadTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    folder.WriteAllPacks();
    for (int map : {1, 2})
      for (const char* part : {".map", "_Script.ssc", "_Script_Map.dat"}) {
        std::string name = "map" + std::to_string(map) + part;
        folder.WriteText(folder.game / "maps" / name, ShippedFile(fs::path("maps") / name));
      }
    folder.WriteText(folder.game / "Gegner.ini", ShippedFile("Gegner.ini"));
    kw::ReadEnemyTypes();
    kw::SetNewGamePlayer(kw::P());
    kw::StoryMode = 0;
    kw::TimeMatch = 0;
    kw::ResetInput();
  }
  void TearDown() override {
    kw::ResetInput();
    kw::ReadKeyboard();
  }
  // A map start whose title picture ends at once (a key is held).
  static void StartMap() {
    kw::InjectKey(kw::Key::Space, true);
    kw::MapStart();
    kw::InjectKey(kw::Key::Space, false);
    kw::ReadKeyboard();
  }
  // What tells the two maps apart: the cells (but the one the test changes), the
  // enemies and the script.
  static uint64_t Cells() {
    uint64_t h = 1469598103934665603u;
    for (int c = 0; c <= kw::Map.W; ++c)
      for (int r = 0; r <= kw::Map.H; ++r) {
        if (c == 2 && r == 2) continue;
        const kw::MapCell& m = kw::Map.At(c, r);
        for (int64_t v : {int64_t(m.tile), int64_t(m.pickup), int64_t(m.back)}) h = (h ^ uint64_t(v)) * 1099511628211u;
      }
    return h;
  }
  struct MapFacts {
    int w = kw::Map.W, h = kw::Map.H;
    uint64_t cells = Cells();
    int enemies = kw::Enemies.Count();
    int statements = kw::MainScript.Count() + kw::StartScript.Count();
  };
};

TEST_F(QuickLoadTest, ASlotOfAnotherMapLoadsThatMapFirst) {
  kw::CurrentMap = 1;
  StartMap();
  const MapFacts map1;
  kw::Map.At(2, 2).tile = 77;
  kw::P().score = 321;
  kw::SaveGame("");

  kw::MapEnd();  // on to map 2
  StartMap();
  ASSERT_EQ(kw::CurrentMap, 2);
  const MapFacts map2;
  ASSERT_NE(map2.cells, map1.cells) << "the two maps must differ for the test to tell them apart";
  kw::P().score = 5;
  kw::InjectKey(kw::Key::Space, true);
  kw::LoadGame("");
  kw::InjectKey(kw::Key::Space, false);
  // Map 2 ends with nothing of the slot in it.
  EXPECT_EQ(kw::P().mapDone, 1);
  EXPECT_EQ(Cells(), map2.cells);
  EXPECT_EQ(kw::P().score, 5);

  kw::MapEnd();
  StartMap();
  EXPECT_EQ(kw::CurrentMap, 1);
  EXPECT_EQ(kw::P().mapDone, 0);
  const MapFacts loaded;
  EXPECT_EQ(loaded.w, map1.w);
  EXPECT_EQ(loaded.h, map1.h);
  EXPECT_EQ(loaded.cells, map1.cells);
  EXPECT_EQ(loaded.enemies, map1.enemies);
  EXPECT_EQ(loaded.statements, map1.statements);
  EXPECT_EQ(kw::P().mapWidth, map1.w);
  EXPECT_EQ(kw::Map.At(2, 2).tile, 77);
  EXPECT_EQ(kw::P().score, 321);
  EXPECT_TRUE(kw::PendingLoad.folder.empty());
}

}  // namespace
