// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Collectable cells: every code of the pickup table touched by the figure and reached by
// the fetch spell, the tile-number rules after a touch, codes and tiles no table holds,
// and the loose sword picture of the fetch spell.
#include <filesystem>
#include <fstream>
#include <functional>

#include "play/world_fixture.h"

using namespace kwtest;

namespace {

// One code of the table and what it must change.
struct PickupCase {
  int code;
  bool clears;
  std::function<void(kw::PlayerRecord&)> check;
};

class PickupTest : public WorldTest {
 protected:
  static constexpr int FetchCol = 16;  // right of the figure, where the spell reaches

  // The player's values before a pickup, so the checks can compare.
  kw::PlayerRecord before;

  void Place(int col, int code, int tile = 5) {
    cell(col, HeadRow).tile = tile;
    cell(col, HeadRow).pickup = code;
    before = p();
  }
  // Casts the fetch spell so that it reaches the fetch cell and nothing else.
  void CastFetch() {
    kw::Spell = 358;
    kw::SpellDX = 150;
    p().spellDir = 0;
  }
};

const std::vector<PickupCase>& Cases(bool touched) {
  static const std::vector<PickupCase> touch = {
      {1, false, [](kw::PlayerRecord& p) { EXPECT_FLOAT_EQ(p.health, 485.0f); }},
      {2, true, [](kw::PlayerRecord&) { EXPECT_EQ(kw::Items.Current()->throws, 25); }},
      {3, true, [](kw::PlayerRecord& p) { EXPECT_FLOAT_EQ(p.health, 510.0f); }},
      {4, false, [](kw::PlayerRecord& p) { EXPECT_EQ(p.hasKey, 1); }},
      {5, true, [](kw::PlayerRecord& p) { EXPECT_EQ(p.hasSword, 1); }},
      {6, true, [](kw::PlayerRecord& p) { EXPECT_EQ(p.score, 50); }},
      {7, true, [](kw::PlayerRecord& p) { EXPECT_EQ(p.score, 100); }},
      {13, true, [](kw::PlayerRecord& p) { EXPECT_EQ(p.spell3Known, 1); }},
      {14, true, [](kw::PlayerRecord& p) { EXPECT_EQ(p.spell2Known, 1); }},
      {15, true, [](kw::PlayerRecord& p) { EXPECT_EQ(p.spell4Known, 1); }},
      {16, true, [](kw::PlayerRecord& p) { EXPECT_EQ(p.spell1Known, 1); }},
  };
  static std::vector<PickupCase> fetch = [] {
    std::vector<PickupCase> f = touch;
    f[0].check = [](kw::PlayerRecord& p) { EXPECT_FLOAT_EQ(p.health, 490.0f); };
    return f;
  }();
  return touched ? touch : fetch;
}

TEST_F(PickupTest, EveryCodeByTouch) {
  for (const PickupCase& c : Cases(true)) {
    SetUp();
    Place(HeadCol, c.code);
    kw::DrawWorld();
    SCOPED_TRACE("code " + std::to_string(c.code));
    c.check(p());
    EXPECT_EQ(cell(HeadCol, HeadRow).pickup, c.clears ? 0 : c.code);
    EXPECT_EQ(cell(HeadCol, HeadRow).tile, c.clears ? 1 : 5);
  }
}

TEST_F(PickupTest, EveryCodeByTheFetchSpell) {
  for (const PickupCase& c : Cases(false)) {
    SetUp();
    Place(FetchCol, c.code);
    CastFetch();
    kw::DrawWorld();
    SCOPED_TRACE("code " + std::to_string(c.code));
    c.check(p());
    EXPECT_EQ(cell(FetchCol, HeadRow).pickup, c.clears ? 0 : c.code);
    // The spell ends on the first cell it reaches.
    EXPECT_EQ(kw::Spell, 0);
    EXPECT_EQ(kw::SpellDX, 0);
  }
}

// Cast up or down, the spell collects the cell it flies over (the spell picture is at
// x 330..350, y 244 + SpellDY; the cells' main pictures are 30 x 50).
TEST_F(PickupTest, TheFetchSpellReachesWhatItFliesOverUpAndDown) {
  const struct { int dir, dy, row; } cases[] = {{8, -170, 2}, {2, 150, 13}};
  for (const auto& c : cases) {
    SetUp();
    cell(HeadCol + 1, c.row).tile = 5;
    cell(HeadCol + 1, c.row).pickup = 6;
    kw::Spell = 358;
    p().spellDir = int16_t(c.dir);
    kw::SpellDX = 0;
    kw::SpellDY = int16_t(c.dy);
    kw::DrawWorld();
    EXPECT_EQ(p().score, 50) << c.dir;
    EXPECT_EQ(cell(HeadCol + 1, c.row).pickup, 0) << c.dir;
    EXPECT_EQ(kw::Spell, 0) << c.dir;
  }
}

TEST_F(PickupTest, HurtingCellHurtsOnEveryFrameAndKeyOnlyOnce) {
  Place(HeadCol, 1);
  for (int i = 0; i < 3; ++i) kw::DrawWorld();
  EXPECT_FLOAT_EQ(p().health, 500.0f - 45.0f);
  SetUp();
  Place(HeadCol, 4);
  kw::DrawWorld();
  // The key picture now stands in for the door.
  EXPECT_EQ(kw::SpritePixels(19)[0], 0xFFEEEE00u);
  kw::SpritePixels(19)[0] = 0xFF000001u;
  kw::DrawWorld();  // the key is held: the door picture is not copied again
  EXPECT_EQ(kw::SpritePixels(19)[0], 0xFF000001u);
}

TEST_F(PickupTest, SpellPassesCellsItDoesNotReachAndTouchWinsOverFetch) {
  Place(FetchCol, 6);
  kw::Spell = 358;
  kw::SpellDX = 0;  // the spell is still beside the figure
  kw::DrawWorld();
  EXPECT_EQ(p().score, 0);
  EXPECT_EQ(kw::Spell, 358);
  // A cell both touched and reached is collected once, by the touch.
  SetUp();
  Place(HeadCol + 1, 6);
  kw::Spell = 358;
  kw::SpellDX = 0;
  kw::DrawWorld();
  EXPECT_EQ(p().score, 50);
  EXPECT_EQ(kw::Spell, 358);
}

TEST_F(PickupTest, TileNumberRulesAfterATouchOnly) {
  Place(HeadCol, 0, 61);
  kw::DrawWorld();
  EXPECT_EQ(kw::Items.Index(), 1);
  EXPECT_EQ(kw::Items.Current()->throws, 10);
  EXPECT_EQ(cell(HeadCol, HeadRow).tile, 1);
  SetUp();
  Place(HeadCol, 0, 79);
  kw::DrawWorld();
  EXPECT_EQ(kw::Items.Index(), 2);
  EXPECT_EQ(kw::Items.Current()->throws, 10);
  SetUp();
  Place(HeadCol, 0, 48);
  kw::DrawWorld();
  EXPECT_EQ(kw::AltSheet, 1);
  EXPECT_EQ(cell(HeadCol, HeadRow).tile, 1);
  SetUp();
  Place(HeadCol, 0, 20);
  kw::DrawWorld();
  EXPECT_EQ(p().hasKey, 1);
  EXPECT_EQ(cell(HeadCol, HeadRow).tile, 20);  // the key tile stays
  // The fetch spell does not apply them.
  SetUp();
  Place(FetchCol, 0, 61);
  CastFetch();
  kw::DrawWorld();
  EXPECT_EQ(kw::Items.Index(), 0);
  EXPECT_EQ(cell(FetchCol, HeadRow).tile, 61);
  EXPECT_EQ(kw::Spell, 0);
}

TEST_F(PickupTest, ClearedCellNoLongerMatchesATileRule) {
  // Code 2 clears the cell first, so its weapon tile gives nothing more.
  Place(HeadCol, 2, 61);
  kw::DrawWorld();
  EXPECT_EQ(kw::Items.Index(), 0);
  EXPECT_EQ(kw::Items.Current()->throws, 25);
}

TEST_F(PickupTest, UnknownCodesAndTilesMeanNothing) {
  for (int code : {0, 8, 12, 19, 25, -1, 2147483647}) {
    SetUp();
    Place(HeadCol, code);
    kw::DrawWorld();
    EXPECT_FLOAT_EQ(p().health, 500.0f) << code;
    EXPECT_EQ(cell(HeadCol, HeadRow).tile, 5) << code;
  }
  // A tile beyond the kind table (82 entries) is no pickup cell, draws nothing and
  // is no ground.
  for (int tile : {82, 300, -5, 2147483647}) {
    SetUp();
    Place(HeadCol, 3, tile);
    kw::GroundKind = 7;
    kw::DrawWorld();
    EXPECT_FLOAT_EQ(p().health, 500.0f) << tile;
    EXPECT_EQ(cell(HeadCol, HeadRow).pickup, 3) << tile;
    EXPECT_EQ(kw::GroundKind, 7) << tile;
  }
}

TEST_F(PickupTest, FetchedSwordLoadsItsPictureAndAMissingOrBrokenFileChangesNothing) {
  namespace fs = std::filesystem;
  fs::path game = fs::temp_directory_path() / ("kw_world_npf_" + std::to_string(::getpid()));
  fs::create_directories(game / "paks" / "npf");
  kw::SetFolders(game.string(), game.string());
  SolidSprite(40, 5, 5, 0xFF123456u);
  Place(FetchCol, 5);
  CastFetch();
  kw::DrawWorld();  // no file
  EXPECT_EQ(p().hasSword, 1);
  EXPECT_EQ(kw::SpriteWidth(40), 5);
  {
    std::ofstream broken(game / "paks" / "npf" / "player+k.png", std::ios::binary);
    broken << "\x89PNG\r\n\x1a\n garbage";
  }
  Place(FetchCol, 5);
  CastFetch();
  kw::DrawWorld();
  EXPECT_EQ(kw::SpriteWidth(40), 5);
  EXPECT_EQ(kw::SpritePixels(40)[0], 0xFF123456u);
  {
    Bytes png = Png(7, 3, [](int, int) { return 0xFFABCDEFu; });
    std::ofstream good(game / "paks" / "npf" / "player+k.png", std::ios::binary);
    good.write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
  }
  Place(FetchCol, 5);
  CastFetch();
  kw::DrawWorld();
  EXPECT_EQ(kw::SpriteWidth(40), 7);
  fs::remove_all(game);
}

}  // namespace
