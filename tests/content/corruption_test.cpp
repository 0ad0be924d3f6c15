// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Damaged map files, tag grids, map scripts and Gegner.ini, made from the shipped ones by
// truncation, bit flips, byte runs, random tails and extreme numbers, loaded the way a
// map start loads them. Nothing may crash (the sanitizer build catches what a plain
// build lets pass) or stall. The suite runs a fixed seed and a small count;
//   KW_CORRUPTION_COUNT=2000 build/tests/content_tests --gtest_filter='Corruption*'
// runs the full count per file type.
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

#include "common/damage.h"
#include "test_data.h"

using namespace kwtest;

namespace {

int VariantCount() { return CorruptionCount(6); }

std::string ReadShipped(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class CorruptionTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    WritePack(folder.game / "paks" / "Tiles.pak", TilesEntries());
    shipped = fs::path(KW_GAME_DIR);
    folder.WriteText(folder.game / "Gegner.ini", ReadShipped(shipped / "Gegner.ini"));
    kw::ReadEnemyTypes();
  }
  // Loads free map 1 from the test folder; fails the test when it took too long.
  void LoadAndTime(const std::string& what, int variant) {
    kw::SetNewGamePlayer(kw::P());
    kw::StoryMode = 0;
    kw::TimeMatch = 0;
    kw::CurrentMap = 1;
    auto start = std::chrono::steady_clock::now();
    kw::LoaderThread(1);
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(s, 5.0) << what << " variant " << variant << " stalled the load";
  }
  fs::path shipped;
};

TEST_F(CorruptionTest, DamagedMapsTagGridsAndScriptsLoadWithoutHarm) {
  std::mt19937 random(20261208);
  const char* maps[] = {"maps/map1", "maps/Story/map5", "maps/TimeMatch/map1"};
  const char* parts[] = {".map", "_Script_Map.dat", "_Script.ssc"};
  int loads = 0;
  for (const char* map : maps) {
    std::string originals[3];
    for (int k = 0; k < 3; ++k) originals[k] = ReadShipped(shipped / (std::string(map) + parts[k]));
    ASSERT_FALSE(originals[0].empty()) << map;
    for (int k = 0; k < 3; ++k) folder.WriteText(folder.game / "maps" / (std::string("map1") + parts[k]), originals[k]);
    LoadAndTime(map, -1);
    ASSERT_GT(kw::Map.CellCount(), 0) << map << " undamaged does not load: the suite would test nothing";
    for (int k = 0; k < 3; ++k) {
      for (int v = 0; v < VariantCount(); ++v, ++loads) {
        folder.WriteText(folder.game / "maps" / (std::string("map1") + parts[k]), Damage(originals[k], v, random));
        LoadAndTime(std::string(map) + parts[k], v);
      }
      folder.WriteText(folder.game / "maps" / (std::string("map1") + parts[k]), originals[k]);
    }
  }
  std::printf("corruption: %d damaged map loads\n", loads);
}

TEST_F(CorruptionTest, DamagedEnemyTypesReadWithoutHarm) {
  std::mt19937 random(99);
  const std::string original = ReadShipped(shipped / "Gegner.ini");
  ASSERT_FALSE(original.empty());
  ASSERT_GT(kw::EnemyTypes.Count(), 0);
  for (int v = 0; v < VariantCount() * 3; ++v) {
    folder.WriteText(folder.game / "Gegner.ini", Damage(original, v, random));
    auto start = std::chrono::steady_clock::now();
    kw::ReadEnemyTypes();
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(s, 2.0) << "variant " << v;
    EXPECT_LE(kw::EnemyTypes.Count(), int(original.size() + 2048));
  }
}

}  // namespace
