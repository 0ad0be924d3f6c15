// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The map loader: grid shape and column-major order, range signs, the collision window,
// enemies, the boss and sliders from the pickup codes, weather, damaged headers and
// short files, paths by mode with the story alignment, and the missing map.
#include <chrono>

#include "test_data.h"

using namespace kwtest;

namespace {

class MapLoaderTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    WritePack(folder.game / "paks" / "Tiles.pak", TilesEntries());
    folder.WriteText(folder.game / "Gegner.ini", EnemyIni());
    kw::ReadEnemyTypes();
    kw::CurrentMap = 1;
  }
  // Four types; type 2 is a boss.
  static std::string EnemyIni() {
    std::string s;
    for (int t = 0; t < 4; ++t) {
      s += "[" + std::to_string(t) + "]\r\n-1\r\n10\r\n" + (t == 2 ? "1" : "0") + "\r\nTyp" +
           std::to_string(t) + "\r\n0\r\n0\r\n57\r\n38\r\n0\r\n0\r\n" + std::to_string(3 + t) +
           "\r\n" + std::to_string(2 + t) + "\r\n----\r\n";
    }
    return s;
  }
  void WriteMap(const MapSpec& m, const std::string& sub = "") {
    folder.WriteText(folder.game / "maps" / sub / ("map" + std::to_string(kw::CurrentMap) + ".map"), m.Bytes());
  }
};

TEST_F(MapLoaderTest, GridIsColumnMajorWithHeaderValues) {
  MapSpec m;  // 4 columns x 3 rows
  m.layers = [](int c, int r) { return std::array<int32_t, 7>{100 + c * 10 + r, 7, 8, 0, 0, 0x1FF, 0x280}; };
  m.shade = [](int c, int r) { return c + r; };
  m.tileSet = "2";
  WriteMap(m);
  kw::LoaderThread(1);
  ASSERT_EQ(kw::Map.W, 3);
  ASSERT_EQ(kw::Map.H, 2);
  ASSERT_EQ(kw::Map.CellCount(), 12);
  EXPECT_EQ(kw::LightGrid.CellCount(), 12);
  // Element column * (H + 1) + row.
  EXPECT_EQ(kw::Map.cells[2 * 3 + 1].tile, 121);
  EXPECT_EQ(kw::Map.At(3, 2).tile, 132);
  EXPECT_EQ(kw::Map.At(3, 2).over, 7);
  EXPECT_EQ(kw::Map.At(3, 2).back, 8);
  EXPECT_EQ(kw::Map.At(3, 2).front, 0xFF);  // low byte kept
  EXPECT_EQ(kw::Map.At(3, 2).alpha, 0x80);
  EXPECT_EQ(kw::Map.At(1, 2).shade, 3);
  EXPECT_EQ(kw::Map.At(4, 0).tile, 0);  // outside: a scratch cell, never the grid
  EXPECT_EQ(kw::P().mapWidth, 3);
  EXPECT_EQ(kw::P().mapHeight, 2);
  EXPECT_EQ(kw::P().darkness, 120);
  EXPECT_EQ(kw::P().timeValue, 77);
  EXPECT_EQ(kw::TileSet, "2");
  EXPECT_EQ(kw::RespawnY, 40);
  EXPECT_EQ(kw::RespawnX, -200);
  EXPECT_EQ(kw::ExitCol, 5);
  EXPECT_EQ(kw::ExitRow, 1);
  EXPECT_EQ(kw::TileKind[31], 1);
  EXPECT_EQ(kw::GameOver, 0);
}

TEST_F(MapLoaderTest, RangesMovingTilesAndCollisionWindow) {
  MapSpec m;
  m.layers = [](int c, int r) {
    int32_t v = r == 0 && c == 1 ? -60 : r == 1 && c == 2 ? 60 : r == 2 && c == 0 ? 150 : 0;
    int32_t hv = r == 2 && c == 3 ? -45 : 0;
    return std::array<int32_t, 7>{2, 0, 0, v, hv, 1, 255};
  };
  WriteMap(m);
  kw::LoaderThread(1);
  const kw::MapCell& up = kw::Map.At(1, 0);
  EXPECT_EQ(up.vRange, 60);
  EXPECT_EQ(up.vStep, 1);
  EXPECT_EQ(kw::Map.At(2, 1).vRange, -60);
  EXPECT_EQ(kw::Map.At(2, 1).vStep, -1);
  EXPECT_EQ(kw::Map.At(0, 0).vRange, 0);
  EXPECT_EQ(kw::Map.At(0, 0).vStep, -1);
  EXPECT_EQ(kw::Map.At(3, 2).hRange, 45);
  EXPECT_EQ(kw::Map.At(0, 2).offY, 0);
  // Scratch order (row by row) is (1,0), (2,1), (0,2), (3,2); MovingTiles reversed.
  std::vector<std::pair<int, int>> got;
  for (const kw::CellPos& p : kw::MovingTiles) got.push_back({p.col, p.row});
  std::vector<std::pair<int, int>> want = {{3, 2}, {0, 2}, {2, 1}, {1, 0}};
  EXPECT_EQ(got, want);
  EXPECT_EQ(kw::MovingScratch.Count(), 0);
  EXPECT_EQ(kw::ActiveCols, 9);  // 150 / 30 + 4
  EXPECT_EQ(kw::ActiveRows, 5);  // 45 / 30 + 4 = 5
  // A map without moving cells: both 5.
  WriteMap(MapSpec{});
  kw::LoaderThread(1);
  EXPECT_EQ(kw::ActiveCols, 5);
  EXPECT_EQ(kw::ActiveRows, 5);
  EXPECT_EQ(kw::MovingTiles.Count(), 0);
}

TEST_F(MapLoaderTest, EnemiesBossAndSlidersFromPickupCodes) {
  MapSpec m;
  m.pickup = [](int c, int r) {
    if (r == 0 && c == 0) return 12;
    if (r == 0 && c == 2) return 19;
    if (r == 1 && c == 1) return 21;   // type 2, the boss
    if (r == 2 && c == 3) return 20;   // type 1
    if (r == 2 && c == 0) return 40;   // beyond the list: the last type
    return 0;
  };
  WriteMap(m);
  kw::LoaderThread(1);
  ASSERT_EQ(kw::Sliders.Count(), 1);
  EXPECT_EQ(kw::Sliders.begin()->col, 0);
  EXPECT_EQ(kw::Sliders.begin()->offX, 0);
  ASSERT_EQ(kw::Enemies.Count(), 4);
  auto it = kw::Enemies.begin();
  const kw::Enemy& random = *it++;
  EXPECT_TRUE(random.type == &*kw::EnemyTypes.begin() || random.type == &*std::next(kw::EnemyTypes.begin()));
  EXPECT_EQ(random.x, 60.0f);
  EXPECT_EQ(random.y, 0.0f);
  const kw::Enemy& boss = *it++;
  EXPECT_EQ(boss.type->typeName, "Typ2");
  EXPECT_EQ(boss.health, 5);
  EXPECT_EQ(boss.speedX, 4.0f);
  EXPECT_EQ(boss.speedY, 4.0f);
  EXPECT_EQ(boss.x, 30.0f);
  EXPECT_EQ(boss.y, 30.0f);
  EXPECT_EQ(kw::Boss, &boss);
  EXPECT_EQ(kw::BossShown, 1);
  EXPECT_EQ((it++)->type->typeName, "Typ3");  // row 2 comes column by column: (0,2) first
  EXPECT_EQ(it->type->typeName, "Typ1");
  // The next map without a boss must not keep a reference into the old list.
  WriteMap(MapSpec{});
  kw::LoaderThread(1);
  EXPECT_EQ(kw::Boss, nullptr);
  EXPECT_EQ(kw::BossShown, 0);
  EXPECT_EQ(kw::Enemies.Count(), 0);
}

TEST_F(MapLoaderTest, WeatherGrowsAndIsCapped) {
  MapSpec m;
  m.weather = "2/300";
  WriteMap(m);
  kw::LoaderThread(1);
  EXPECT_EQ(kw::WeatherSprite, 432);
  EXPECT_EQ(kw::WeatherParticles.Count(), 301);
  for (const kw::WeatherParticle& w : kw::WeatherParticles) {
    EXPECT_LE(w.x, 640);
    EXPECT_LE(w.y, 480);
  }
  m.weather = "1";  // no "/": amount 0, still one more particle
  WriteMap(m);
  kw::LoaderThread(1);
  EXPECT_EQ(kw::WeatherSprite, 431);
  EXPECT_EQ(kw::WeatherAmount, 0);
  EXPECT_EQ(kw::WeatherParticles.Count(), 302);
  m.weather = "7/999999";
  WriteMap(m);
  kw::LoaderThread(1);
  EXPECT_EQ(kw::WeatherSprite, 431);  // unchanged by other kinds
  EXPECT_EQ(kw::WeatherAmount, 5000);
  EXPECT_EQ(kw::WeatherParticles.Count(), 5001);
}

// Header line 10 picks the far background: entry b of Backgrounds.pak becomes sprite
// 334; a number past the pack's end leaves the picture as it was.
TEST_F(MapLoaderTest, TheHeaderPicksTheBackgroundPicture) {
  std::vector<Bytes> pictures;
  for (int b = 0; b < 3; ++b) pictures.push_back(Flat(8 + b, 6, Argb(90, 90, b + 1)));
  WritePack(folder.game / "paks" / "Backgrounds.pak", pictures);
  for (int b : {2, 0, 1, 3}) {
    MapSpec m;
    m.background = b;
    WriteMap(m);
    kw::LoaderThread(1);
    int shown = b < 3 ? b : 1;  // past the end: the last map's picture stays
    EXPECT_EQ(kw::SpriteWidth(kw::Spr::Background), 8 + shown) << "background " << b;
    EXPECT_EQ(DrawnPixel(kw::Spr::Background), Argb(90, 90, shown + 1)) << "background " << b;
  }
}

// One limit for the map loader and the save slots, at its edges: a side of 4095 and
// 2^21 cells are the largest grids.
TEST(MapSize, UsableUpToBothLimitsInclusive) {
  const struct { int64_t w, h; bool usable; } cases[] = {
      {0, 0, true},       {-1, 0, false},       {0, -1, false},
      {4095, 0, true},    {4096, 0, false},     {0, 4095, true},    {0, 4096, false},
      {2047, 1023, true}, {2048, 1023, false},  {1023, 2047, true}, {1023, 2048, false},
      {4095, 4095, false}, {INT32_MAX, INT32_MAX, false},
  };
  for (const auto& c : cases) EXPECT_EQ(kw::MapSizeUsable(c.w, c.h), c.usable) << c.w << " x " << c.h;
  static_assert(kw::MaxMapCells == 2048 * 1024);
}

TEST_F(MapLoaderTest, DamagedHeadersAndShortFilesAreSafe) {
  for (auto [w, h] : {std::pair{-5, 2}, std::pair{3, 5000}, std::pair{4095, 4095}}) {
    MapSpec m;
    m.w = w;
    m.h = h;
    m.truncateTo = 0;
    WriteMap(m);
    kw::LoaderThread(1);
    EXPECT_EQ(kw::Map.CellCount(), 0) << w << "x" << h;
    EXPECT_EQ(kw::LightGrid.CellCount(), 0);
    EXPECT_EQ(kw::Map.At(0, 0).tile, 0);
  }
  MapSpec shortMap;
  shortMap.layers = [](int, int) { return std::array<int32_t, 7>{9, 9, 9, 0, 0, 1, 1}; };
  shortMap.truncateTo = 7 * 4 * 5;  // five cells of pass 1 only
  WriteMap(shortMap);
  kw::LoaderThread(1);
  ASSERT_EQ(kw::Map.CellCount(), 12);
  EXPECT_EQ(kw::Map.At(0, 1).tile, 9);  // fifth cell in row order: column 0 of row 1
  EXPECT_EQ(kw::Map.At(1, 1).tile, 0);
  EXPECT_EQ(kw::Map.At(3, 2).pickup, 0);
}

// A huge tile-set or background number must not walk the pack two billion times: the
// skip loops stop at the pack's end, so the load ends (or fails) at once.
TEST_F(MapLoaderTest, HugeTileSetOrBackgroundNumbersEndTheLoadAtOnce) {
  struct FatalEnd {};
  kw::SetFatalExitHook([](int) { throw FatalEnd{}; });
  WritePack(folder.game / "paks" / "Backgrounds.pak", {Flat(4, 4, Argb(1, 2, 3))});
  auto seconds = [](auto start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  // The time of an ordinary load, so a slow (sanitizer) build is measured fairly.
  WriteMap(MapSpec{});
  auto start = std::chrono::steady_clock::now();
  kw::LoaderThread(1);
  double ordinary = seconds(start);
  MapSpec farBackground;
  farBackground.background = 2000000000;
  WriteMap(farBackground);
  start = std::chrono::steady_clock::now();
  kw::LoaderThread(1);
  EXPECT_LT(seconds(start), ordinary + 1.0);
  EXPECT_EQ(kw::Map.CellCount(), 12);
  MapSpec farTileSet;
  farTileSet.tileSet = "2000000000";
  WriteMap(farTileSet);
  start = std::chrono::steady_clock::now();
  bool ended = false;
  try {
    kw::LoaderThread(1);
  } catch (const FatalEnd&) {
    ended = true;  // no tile sheet that far: the fatal load message
  }
  EXPECT_TRUE(ended);
  EXPECT_LT(seconds(start), ordinary + 1.0);
  kw::SetFatalExitHook(nullptr);
}

TEST_F(MapLoaderTest, PathsByModeAndStoryAlignment) {
  kw::CurrentMap = 5;
  MapSpec m;
  m.tileSet = "4";
  WriteMap(m, "Story");
  kw::StoryMode = 1;
  kw::TimeMatch = 1;  // story is tested first
  kw::CurrentMap = 2;
  kw::StoryProgress = 5;
  kw::LoaderThread(1);
  EXPECT_EQ(kw::CurrentMap, 5);
  EXPECT_EQ(kw::TileSet, "4");
  EXPECT_EQ(kw::GameOver, 0);
  kw::CurrentMap = 7;  // ahead of the progress: the progress follows
  EXPECT_EQ(kw::CurrentMapPaths().map, "maps\\Story\\map7.map");
  kw::LoaderThread(1);
  EXPECT_EQ(kw::StoryProgress, 7);
  kw::StoryMode = 0;
  EXPECT_EQ(kw::CurrentMapPaths().script, "maps\\TimeMatch\\map7_Script.ssc");
  kw::TimeMatch = 0;
  EXPECT_EQ(kw::CurrentMapPaths().tagGrid, "maps\\map7_Script_Map.dat");
}

TEST_F(MapLoaderTest, MissingMapEndsTheGameAndKeepsThePreviousMap) {
  WriteMap(MapSpec{});
  kw::LoaderThread(1);
  kw::CurrentMap = 2;
  kw::P().mapDone = 0;
  kw::LoaderThread(1);
  EXPECT_EQ(kw::GameOver, 1);
  EXPECT_EQ(kw::P().mapDone, 1);
  EXPECT_EQ(kw::Map.CellCount(), 12);
  EXPECT_EQ(kw::RespawnX, -316);
  EXPECT_EQ(kw::RespawnY, 20);
  EXPECT_EQ(kw::P().mapWidth, 3);
}

}  // namespace
