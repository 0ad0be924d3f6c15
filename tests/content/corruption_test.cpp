// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Damaged map files, tag grids, map scripts and Gegner.ini, made from the shipped ones by
// truncation, bit flips, byte runs, random tails and extreme numbers, loaded the way a
// map start loads them; with a damaged Gegner.ini a map is then played among its
// enemies. Nothing may crash (the sanitizer build catches what a plain build lets
// pass) or stall. The suite runs a fixed seed and a small count;
//   KW_CORRUPTION_COUNT=2000 build/tests/content_tests --gtest_filter='Corruption*'
// runs the full count per file type.
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "common/damage.h"
#include "common/pictures.h"
#include "play/play.h"
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

// Every number of every type within the bounds the enemy rules rely on.
void ExpectBoundedTypes(const std::string& what) {
  for (const kw::EnemyType& t : kw::EnemyTypes) {
    for (int32_t v : {t.frameHeight, t.frameWidth, t.baseColumn, t.speed}) {
      EXPECT_LE(std::abs(int64_t(v)), kw::EnemySizeLimit) << what;
    }
    EXPECT_LE(std::abs(int64_t(t.spriteOffset)), kw::EnemySheetLimit) << what;
    for (int32_t v : {t.points, t.hitPoints}) {
      EXPECT_GE(v, INT16_MIN) << what;
      EXPECT_LE(v, INT16_MAX) << what;
    }
  }
}

class CorruptionPlayTest : public CorruptionTest {
 protected:
  void SetUp() override {
    CorruptionTest::SetUp();
    for (const char* part : {".map", "_Script_Map.dat", "_Script.ssc"})
      folder.WriteText(folder.game / "maps" / (std::string("map1") + part),
                       ReadShipped(shipped / (std::string("maps/map1") + part)));
    // Solid sheets, figure, sword and bomb, so the enemies touch what they meet.
    for (int k = 0; k <= 8; ++k) FillSprite(kw::Spr::EnemySheets + k, 400, 300, [](int, int) { return Red; });
    FillSprite(kw::Spr::Figure, 42, 58, [](int, int) { return Green; });
    FillSprite(kw::Spr::SwordOverlay, 42, 58, [](int, int) { return Blue; });
    FillSprite(kw::Spr::BombSheet, 69, 132, [](int, int) { return Red; });
  }
  // Loads free map 1 with the enemy types read last, gathers its enemies on the figure
  // (half of them facing right) beside a bomb about to go off, and plays world steps with
  // the drawing and the HUD: walls, body contact, deaths with their points and
  // transformations, the bomb and the sword all meet the types.
  void PlayAmongTheEnemies(const std::string& what) {
    LoadAndTime(what, 0);
    ASSERT_GT(kw::Enemies.Count(), 0) << "free map 1 has no enemies: the suite would test nothing";
    kw::PlayerRecord& p = kw::P();
    kw::PlayerScreenX = 300;
    p.posX = -float(kw::RespawnX);
    p.posY = float(kw::RespawnY);
    p.hasSword = 1;
    kw::ComputeVisibleWindow(0);
    int dir = 0;
    for (kw::Enemy& e : kw::Enemies) {
      e.x = float(kw::PlayerScreenX) - p.posX;
      e.y = p.posY + 230;
      e.dir = dir;
      dir = 1 - dir;
    }
    kw::Bomb b;
    b.x = kw::Nearest(kw::PlayerScreenX - double(p.posX));
    b.y = kw::Nearest(double(p.posY) + 230);
    b.fuse = 24;
    kw::Bombs.Add(b);
    for (int i = 0; i < 40; ++i) {
      if (i == 10)
        for (kw::Enemy& e : kw::Enemies) e.health = -1;  // deaths: points, transformations
      p.swordSwing = i >= 30 ? 1 : 0;
      p.score = int16_t(i % 2 == 0 ? 1000 : -1000);  // points of either sign meet a score
      kw::SleepMs(16);
      kw::WorldStep(kw::TimeMs());
      kw::DrawWorld();
      kw::DrawHud();
    }
    kw::Bombs.Clear();
  }
};

TEST_F(CorruptionPlayTest, DamagedEnemyTypesReadAndPlayWithoutHarm) {
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
    ExpectBoundedTypes("variant " + std::to_string(v));
    if (v % 3 == 0) PlayAmongTheEnemies("Gegner.ini variant " + std::to_string(v));
  }
}

// The shipped types with every number but the kind of move at one extreme (the sheet
// offset kept, or pushed out too): read within bounds, and played.
TEST_F(CorruptionPlayTest, ExtremeEnemyNumbersAreBoundedAndPlay) {
  std::vector<std::string> lines;
  {
    std::istringstream in(ReadShipped(shipped / "Gegner.ini"));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
  }
  ASSERT_GE(lines.size(), 14u);
  constexpr int KindLine = 6, NameLine = 4, SheetLine = 10;
  for (const char* extreme : {"2147483647", "-2147483648"})
    for (bool sheetToo : {false, true}) {
      std::string file;
      for (size_t i = 0; i < lines.size(); ++i) {
        int k = int(i % 14);
        bool keep = k == 0 || k == 13 || k == NameLine || k == KindLine || (k == SheetLine && !sheetToo);
        file += (keep ? lines[i] : std::string(extreme) + "\r") + "\n";
      }
      std::string what = std::string(extreme) + (sheetToo ? " with the sheet" : "");
      folder.WriteText(folder.game / "Gegner.ini", file);
      kw::ReadEnemyTypes();
      ExpectBoundedTypes(what);
      PlayAmongTheEnemies(what);
    }
}

}  // namespace
