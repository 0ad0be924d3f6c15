// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The generated game folder against the catalogue its users rely on: entry counts of every
// pack, picture sizes and layouts, key colours, tile collision pictures that match their
// meaning, and sounds of the right kind and length. Reads KW_GAME_DIR (the build generates
// it before the tests run) through the game's own pack reader and sprite loader, and finds
// each picture's entry through the catalogue's pack rows, as the loader does.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "content/catalogue.h"
#include "media/pack.h"
#include "media/sound.h"
#include "media/sprites.h"

namespace {

namespace fs = std::filesystem;
namespace Spr = kw::Spr;

using Entries = std::vector<std::vector<uint8_t>>;

std::string PakPath(const std::string& name) {
  return (fs::absolute(fs::path(KW_GAME_DIR)) / "paks" / name).string();
}

// All decoded entries of one pack; a missing game folder fails with a clear message.
Entries ReadPack(const std::string& name) {
  Entries out;
  std::string path = PakPath(name);
  EXPECT_TRUE(fs::exists(path)) << "the generated game folder lacks " << path
                                << " (build the 'gamedata' target: kwgen writes it)";
  if (!kw::OpenPack(path)) return out;
  while (const uint8_t* data = kw::NextPackEntry())
    out.emplace_back(data, data + kw::LastPackEntrySize());
  kw::ClosePack();
  return out;
}

const Entries& Pack(const std::string& name) {
  static std::map<std::string, Entries> cache;
  auto it = cache.find(name);
  if (it == cache.end()) it = cache.emplace(name, ReadPack(name)).first;
  return it->second;
}

constexpr int Scratch = 60000;  // sprite number the tests load into
// The far background follows the vertical scroll, which goes down to 400 - 30 x height
// (the deepest shipped map is 23 rows) and is drawn 10 pixels up: the picture must
// reach the screen's bottom from there.
constexpr int BackgroundHeight = 840;

// Loads entry i of a pack as a picture; false when it is not one.
bool LoadPicture(const std::string& pack, size_t i, int sprite = Scratch) {
  const Entries& e = Pack(pack);
  if (i >= e.size()) return false;
  return kw::LoadSpriteFromMemory(sprite, e[i].data(), e[i].size(), kw::TextureFlag) != 0;
}

uint32_t Pixel(int sprite, int x, int y) { return kw::SpritePixels(sprite)[size_t(y) * kw::SpriteWidth(sprite) + x]; }
bool Opaque(int sprite, int x, int y) {
  uint32_t p = Pixel(sprite, x, y);
  return (p >> 24) != 0 && (p & 0xFFFFFF) != 0;  // the game treats alpha 0 and black as empty
}
int OpaqueCount(int sprite, int x, int y, int w, int h) {
  int n = 0;
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) n += Opaque(sprite, i, j);
  return n;
}
bool HasColour(int sprite, uint32_t rgb) {
  int n = kw::SpriteWidth(sprite) * kw::SpriteHeight(sprite);
  for (int i = 0; i < n; ++i)
    if ((kw::SpritePixels(sprite)[i] & 0xFFFFFF) == rgb) return true;
  return false;
}

void ExpectSize(const std::string& pack, size_t entry, int w, int h) {
  SCOPED_TRACE(pack + " entry " + std::to_string(entry));
  ASSERT_TRUE(LoadPicture(pack, entry)) << "not a picture";
  EXPECT_EQ(kw::SpriteWidth(Scratch), w);
  EXPECT_EQ(kw::SpriteHeight(Scratch), h);
}

// The entry of a catalogue number in its pack, by the catalogue's rows.
size_t At(const kw::PackTable& t, int number) {
  int e = kw::EntryOf(t, number);
  EXPECT_GE(e, 0) << t.file << " has no row for " << number;
  return e < 0 ? size_t(1) << 30 : size_t(e);
}

// Loads the picture of a catalogue number from its pack.
bool LoadNumber(const kw::PackTable& t, int number, int sprite = Scratch) {
  return LoadPicture(t.file, At(t, number), sprite);
}

void ExpectSize(const kw::PackTable& t, int number, int w, int h) {
  SCOPED_TRACE("sprite " + std::to_string(number));
  ExpectSize(t.file, At(t, number), w, h);
}

// The pack a kwgen run wrote holds exactly the entries the rows name, and each entry is of
// the kind its rows load: pictures decode, effects are WAV, music is Ogg.
TEST(Catalogue, EveryPackMatchesItsRows) {
  for (const kw::PackTable* t : {&kw::ObjectsPak, &kw::MenuPak, &kw::InterfacePak, &kw::InventarPak,
                                 &kw::SoundsPak, &kw::LightsPak}) {
    SCOPED_TRACE(t->file);
    ASSERT_EQ(Pack(t->file).size(), size_t(kw::EntryCount(*t)));
    for (int i = 0; i < t->rowCount; ++i) {
      const kw::PackRow& row = t->rows[i];
      const auto& data = Pack(t->file)[size_t(row.entry)];
      ASSERT_GE(data.size(), 4u) << row.name;
      if (row.how == kw::Load::Sound) EXPECT_EQ(std::memcmp(data.data(), "RIFF", 4), 0) << row.name;
      else if (row.how == kw::Load::Music) EXPECT_EQ(std::memcmp(data.data(), "OggS", 4), 0) << row.name;
      else EXPECT_TRUE(LoadPicture(t->file, size_t(row.entry))) << row.name;
    }
  }
  EXPECT_EQ(Pack(kw::TilesPak::File).size(), size_t(kw::TilesPak::Entries));
}

// A language's own packs (paks/LANG, English at least) are the German ones but for some of
// the pictures with words, which keep their sizes; German is the packs themselves, so its
// pictures cannot change with a translation.
TEST(Catalogue, ALanguagesPacksDifferOnlyInThePicturesWithWords) {
  const std::map<const kw::PackTable*, std::set<int>> withWords = {
      {&kw::ObjectsPak, {Spr::TitlePicture, Spr::PausePicture}},
      {&kw::MenuPak, {Spr::PauseMenuPanel, Spr::HighscoreBackground, Spr::OptionsBackground}}};
  std::set<std::string> languages;
  for (const auto& dir : fs::directory_iterator(fs::path(KW_GAME_DIR) / "paks"))
    if (dir.is_directory() && dir.path().filename() != "npf") languages.insert(dir.path().filename().string());
  EXPECT_TRUE(languages.count("en"));
  EXPECT_FALSE(languages.count("de"));
  for (const std::string& language : languages)
    for (const auto& [table, sprites] : withWords) {
      const std::string own = language + "/" + table->file;
      SCOPED_TRACE(own);
      if (!fs::exists(PakPath(own))) continue;  // none of its words differ
      ASSERT_EQ(Pack(own).size(), Pack(table->file).size());
      std::set<size_t> entries;
      for (int s : sprites) entries.insert(At(*table, s));
      bool translated = false;
      for (size_t e = 0; e < Pack(own).size(); ++e) {
        bool differs = Pack(own)[e] != Pack(table->file)[e];
        translated = translated || differs;
        if (!entries.count(e)) {
          EXPECT_FALSE(differs) << "entry " << e << " has no words";
          continue;
        }
        ASSERT_TRUE(LoadPicture(table->file, e));
        const int w = kw::SpriteWidth(Scratch), h = kw::SpriteHeight(Scratch);
        ExpectSize(own, e, w, h);
      }
      EXPECT_TRUE(translated) << "the same as the German pack";
    }
}

TEST(Catalogue, EveryPackHasItsEntryCount) {
  EXPECT_GE(Pack("Backgrounds.pak").size(), 5u);
  EXPECT_EQ(Pack("cutscenes.pak").size(), 6u);
}

TEST(Catalogue, EveryPictureEntryDecodes) {
  for (const char* pack : {"objects.pak", "Menu.pak", "Interface.pak", "Inventar.pak", "Tiles.pak",
                           "Lights.pak", "Backgrounds.pak"})
    for (size_t i = 0; i < Pack(pack).size(); ++i)
      EXPECT_TRUE(LoadPicture(pack, i)) << pack << " entry " << i;
  for (size_t i = 0; i < Pack("cutscenes.pak").size(); i += 2) EXPECT_TRUE(LoadPicture("cutscenes.pak", i)) << i;
}

TEST(Catalogue, ObjectPicturesHaveTheSizesTheGameUses) {
  const kw::PackTable& o = kw::ObjectsPak;
  ExpectSize(o, Spr::TitlePicture, 640, 480);
  ExpectSize(o, Spr::PausePicture, 640, 480);
  ExpectSize(o, Spr::FigureSheet, 255, 290);
  ExpectSize(o, Spr::SmallFormSheet, 93, 30);
  ExpectSize(o, Spr::AltFigureSheet, 255, 290);
  ExpectSize(o, Spr::TouchMask, 255, 290);
  for (int s : {Spr::ShotDefault, Spr::ShotGoldAxe, Spr::ShotFireAxe}) ExpectSize(o, s, 160, 48);
  // Enemy sheets (by spriteOffset): 4 columns x 3 rows of the frame sizes of Gegner.ini.
  const std::pair<int, std::pair<int, int>> enemies[] = {
      {0, {38, 57}}, {1, {40, 30}}, {2, {40, 30}}, {3, {44, 58}}, {6, {30, 30}}, {7, {60, 80}}, {8, {36, 36}}};
  for (auto& e : enemies) ExpectSize(o, Spr::EnemySheets + e.first, 4 * e.second.first, 3 * e.second.second);
  ExpectSize(o, Spr::SwordOverlay, 255, 290);
  ExpectSize(o, Spr::Background, 640, BackgroundHeight);
  ExpectSize(o, Spr::OpenDoorCollision, 30, 30);
  ExpectSize(o, Spr::SliderSheet, 120, 120);
  ExpectSize(o, Spr::SpikesSideways, 30, 30);
  ExpectSize(o, Spr::SpikesUpward, 30, 30);
  ExpectSize(o, Spr::ClimbSheet, 32, 111);
  ExpectSize(o, Spr::BombSheet, 69, 132);
}

TEST(Catalogue, FigureSheetFramesAreFilledAndTheTouchMaskCoversThem) {
  for (int e : {Spr::FigureSheet, Spr::AltFigureSheet}) {
    ASSERT_TRUE(LoadNumber(kw::ObjectsPak, e, Scratch));
    for (int frameX : {0, 85, 170})
      for (int side : {0, 43}) {
        for (int y : {0, 57, 114, 172})
          EXPECT_GT(OpaqueCount(Scratch, frameX + side, y, 42, 58), 200) << e << " " << frameX + side << "," << y;
        // The left frame is the mirror of the right one.
        if (side != 0) continue;
        for (int y = 0; y < 58; ++y)
          for (int x = 0; x < 42; ++x)
            ASSERT_EQ(Opaque(Scratch, frameX + x, y), Opaque(Scratch, frameX + 43 + 41 - x, y)) << x << "," << y;
      }
    EXPECT_GT(OpaqueCount(Scratch, 0, 232, 42, 58), 200);
    EXPECT_GT(OpaqueCount(Scratch, 43, 232, 42, 58), 200);
  }
  ASSERT_TRUE(LoadNumber(kw::ObjectsPak, Spr::FigureSheet, Scratch));
  ASSERT_TRUE(LoadNumber(kw::ObjectsPak, Spr::TouchMask, Scratch + 1));
  for (int y = 0; y < 290; ++y)
    for (int x = 0; x < 255; ++x)
      if (Opaque(Scratch, x, y)) {
        ASSERT_TRUE(Opaque(Scratch + 1, x, y)) << x << "," << y;
      }
  // Hurt silhouette also at (0, 0) and (43, 0) of the mask.
  for (int y = 0; y < 58; ++y)
    for (int x = 0; x < 85; ++x)
      if (Opaque(Scratch, x, 232 + y)) {
        ASSERT_TRUE(Opaque(Scratch + 1, x, y)) << x << "," << y;
      }
}

TEST(Catalogue, SheetsOfSmallFormBombsSliderAndShotsHaveTheirFrames) {
  ASSERT_TRUE(LoadNumber(kw::ObjectsPak, Spr::SmallFormSheet));
  EXPECT_GT(OpaqueCount(Scratch, 22, 0, 30, 30), 50);
  EXPECT_GT(OpaqueCount(Scratch, 63, 0, 30, 30), 50);
  ASSERT_TRUE(LoadNumber(kw::ObjectsPak, Spr::BombSheet));
  for (int row = 0; row < 4; ++row)
    for (int tick = 0; tick < 3; ++tick) EXPECT_GT(OpaqueCount(Scratch, tick * 23, row * 33, 23, 33), 100);
  ASSERT_TRUE(LoadNumber(kw::ObjectsPak, Spr::ShotDefault));
  for (int f = 0; f < 4; ++f) EXPECT_GT(OpaqueCount(Scratch, f * 20, 0, 20, 20), 20) << f;
  ASSERT_TRUE(LoadNumber(kw::ObjectsPak, Spr::ShotFireAxe));
  for (int f = 0; f < 4; ++f) EXPECT_GT(OpaqueCount(Scratch, f * 40, 0, 40, 40), 50) << f;
  ASSERT_TRUE(LoadNumber(kw::ObjectsPak, Spr::ClimbSheet));
  EXPECT_GT(OpaqueCount(Scratch, 0, 0, 32, 55), 200);
  EXPECT_GT(OpaqueCount(Scratch, 0, 56, 32, 55), 200);
}

TEST(Catalogue, KeyColoursArePresentWhereTheGameSetsThem) {
  ASSERT_TRUE(LoadNumber(kw::ObjectsPak, Spr::ExitDoor));
  EXPECT_TRUE(HasColour(Scratch, 0x00FA00));
  ASSERT_TRUE(LoadNumber(kw::ObjectsPak, Spr::SliderSheet));
  EXPECT_TRUE(HasColour(Scratch, 0xB02000));
  ASSERT_TRUE(LoadNumber(kw::MenuPak, Spr::Pointer));
  EXPECT_TRUE(HasColour(Scratch, 0x00FF00));
  for (int n = Spr::AuraLight; n <= Spr::SpellLight + 3; ++n) {  // lights have a fully lit part
    ASSERT_TRUE(LoadNumber(kw::LightsPak, n));
    EXPECT_TRUE(HasColour(Scratch, 0x00FF00)) << n;
  }
  ASSERT_TRUE(LoadNumber(kw::LightsPak, Spr::Darkness));  // darkness everywhere
  EXPECT_FALSE(HasColour(Scratch, 0x00FF00));
  EXPECT_EQ(OpaqueCount(Scratch, 0, 0, 30, 30), 900);
}

TEST(Catalogue, MenuInterfaceAndInventarSizes) {
  ExpectSize(kw::MenuPak, Spr::MenuBackground, 640, 480);
  ExpectSize(kw::MenuPak, Spr::HighscoreBackground, 640, 480);
  ExpectSize(kw::MenuPak, Spr::LargeButton, 98, 98);
  ExpectSize(kw::MenuPak, Spr::SmallButton, 70, 98);
  ExpectSize(kw::MenuPak, Spr::OptionsBackground, 640, 480);
  ExpectSize(kw::MenuPak, Spr::YesArea, 20, 39);
  ExpectSize(kw::MenuPak, Spr::NoArea, 20, 39);
  ExpectSize(kw::InterfacePak, Spr::HudPanel, 640, 59);
  ExpectSize(kw::InventarPak, Spr::AmmoStrip, 97, 7);
  ExpectSize(kw::InventarPak, Spr::SmallDigits, 63, 10);
  ExpectSize(kw::InventarPak, Spr::LargeDigits, 114, 18);
  // The hit areas and the volume band are solid where the game tests them.
  ASSERT_TRUE(LoadNumber(kw::MenuPak, Spr::YesArea));
  EXPECT_EQ(OpaqueCount(Scratch, 0, 0, 20, 39), 20 * 39);
  ASSERT_TRUE(LoadNumber(kw::MenuPak, Spr::VolumeArea));  // at (72, 337): covers x 72..560
  EXPECT_GE(kw::SpriteWidth(Scratch), 488);
  EXPECT_GE(kw::SpriteHeight(Scratch), 40);
  // Buttons: both halves carry a picture.
  ASSERT_TRUE(LoadNumber(kw::MenuPak, Spr::LargeButton));
  EXPECT_GT(OpaqueCount(Scratch, 0, 0, 98, 49), 1500);
  EXPECT_GT(OpaqueCount(Scratch, 0, 49, 98, 49), 1500);
  // Every digit clip holds a glyph and fits the picture.
  for (const kw::DigitStrip& d : {kw::SmallDigitStrip, kw::LargeDigitStrip}) {
    ASSERT_TRUE(LoadNumber(kw::InventarPak, d.first));
    for (int i = 0; i < 10; ++i) {
      int x = int(std::nearbyint(i * d.step));
      ASSERT_LE(x + d.width, kw::SpriteWidth(Scratch)) << i;
      EXPECT_GT(OpaqueCount(Scratch, x, 0, d.width, d.height), d.width == 6 ? 5 : 10) << i;
    }
  }
}

TEST(Catalogue, DoorsPortalSpellsAndIconsFitWhereTheGameDrawsThem) {
  const kw::PackTable& o = kw::ObjectsPak;
  ExpectSize(o, Spr::OpenedDoor, 30, 50);  // drawn like a tile 10 px above its cell
  ASSERT_TRUE(LoadNumber(o, Spr::OpenedDoor));
  EXPECT_EQ(OpaqueCount(Scratch, 0, 10, 30, 30), 900) << "the opened door covers the locked door's cell";
  ExpectSize(o, Spr::ExitDoor, 30, 50);
  ExpectSize(o, Spr::Portal, 30, 50);
  ASSERT_TRUE(LoadNumber(o, Spr::Portal));
  EXPECT_GT(OpaqueCount(Scratch, 0, 0, 30, 50), 800) << "the portal is touched pixel by pixel";
  for (int s : {Spr::BombSpell, Spr::FetchSpell, Spr::TurnSpell}) ExpectSize(o, s, 30, 30);
  ExpectSize(kw::InventarPak, Spr::AxeIcon, 40, 40);
  ExpectSize(kw::InventarPak, Spr::GoldAxeIcon, 40, 40);
  EXPECT_NE(Pack("Inventar.pak")[At(kw::InventarPak, Spr::AxeIcon)],
            Pack("Inventar.pak")[At(kw::InventarPak, Spr::GoldAxeIcon)])
      << "plain and golden axe look alike";
  // The slider's four frames each hold a wheel besides the key colour.
  ASSERT_TRUE(LoadNumber(o, Spr::SliderSheet));
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 2; ++col) {
      int wheel = 0;
      for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) wheel += (Pixel(Scratch, col * 60 + x, row * 60 + y) & 0xFFFFFF) != 0xB02000;
      EXPECT_GT(wheel, 900) << col << "," << row;
    }
}

// Aura pairs are drawn over the figure with pulsing alpha: each picture the figure's size,
// soft (partly transparent) and clear in the middle where the figure stands; the five pairs
// are different magics, so no two pairs share their main colour.
TEST(Catalogue, AuraPairsAreSoftFigureSizedAndDistinct) {
  std::vector<uint32_t> mainColour;
  for (int n = Spr::ShieldAura; n <= Spr::FetchAura + 1; ++n) {
    SCOPED_TRACE("aura " + std::to_string(n));
    ExpectSize(kw::ObjectsPak, n, 42, 58);
    int soft = 0, solid = 0, centre = 0;
    long sum[3] = {0, 0, 0};
    for (int y = 0; y < 58; ++y)
      for (int x = 0; x < 42; ++x) {
        uint32_t p = Pixel(Scratch, x, y);
        int a = int(p >> 24);
        soft += a > 0 && a < 255;
        solid += a == 255;
        if (x >= 13 && x < 29 && y >= 17 && y < 41) centre += a;
        for (int k = 0; k < 3; ++k) sum[k] += long((p >> (16 - 8 * k)) & 255) * a;
      }
    EXPECT_GT(soft, 300);
    EXPECT_LT(solid, 100);
    EXPECT_LT(centre / (16 * 24), 60) << "the figure must show through the aura's middle";
    int best = sum[0] >= sum[1] && sum[0] >= sum[2] ? 0 : sum[1] >= sum[2] ? 1 : 2;
    uint32_t key = uint32_t(best);  // dominant channel and whether a second one is strong
    for (int k = 0; k < 3; ++k)
      if (k != best && sum[k] * 10 > sum[best] * 7) key |= 4u << k;
    if ((n - Spr::ShieldAura) % 2 == 0) mainColour.push_back(key);
  }
  std::set<uint32_t> distinct(mainColour.begin(), mainColour.end());
  EXPECT_EQ(distinct.size(), 5u);
}

TEST(Catalogue, MenuPanelsButtonsAndPointerFitTheirScreens) {
  // The dialog panel at (200, 100) also carries the new-game and difficulty buttons, the
  // rightmost at x 406..476.
  ASSERT_TRUE(LoadNumber(kw::MenuPak, Spr::DialogPanel));
  EXPECT_GE(kw::SpriteWidth(Scratch), 276);
  EXPECT_GE(kw::SpriteHeight(Scratch), 140);
  ASSERT_TRUE(LoadNumber(kw::MenuPak, Spr::SmallButton));  // both halves carry a button
  EXPECT_GT(OpaqueCount(Scratch, 0, 0, 70, 49), 1500);
  EXPECT_GT(OpaqueCount(Scratch, 0, 49, 70, 49), 1500);
  // The pointer's hot spot is its top-left pixel: the tip is drawn there, not key colour.
  ASSERT_TRUE(LoadNumber(kw::MenuPak, Spr::Pointer));
  EXPECT_NE(Pixel(Scratch, 1, 1) & 0xFFFFFF, 0x00FF00u);
  EXPECT_TRUE(HasColour(Scratch, 0x00FF00));
}

TEST(Catalogue, LightsAreTileSized) {
  for (int n = Spr::Darkness; n <= Spr::FirstShade + 4; ++n) ExpectSize(kw::LightsPak, n, 30, 30);
}

TEST(Catalogue, BackgroundsAndCutsceneStrips) {
  for (size_t i = 0; i < 5; ++i) ExpectSize("Backgrounds.pak", i, 640, BackgroundHeight);
  ExpectSize("cutscenes.pak", 0, 640, 480 * 4);
  ExpectSize("cutscenes.pak", 2, 640, 480 * 3);
  ExpectSize("cutscenes.pak", 4, 640, 480 * 4);
  for (size_t i = 1; i < 6; i += 2) {
    const auto& e = Pack("cutscenes.pak")[i];
    ASSERT_GE(e.size(), 4u);
    EXPECT_EQ(std::memcmp(e.data(), "OggS", 4), 0) << i;
  }
}

TEST(Catalogue, LooseGuardianAndSwordPictures) {
  fs::path npf = fs::absolute(fs::path(KW_GAME_DIR)) / "paks" / "npf";
  struct Loose { const char* name; int w, h; };
  for (Loose l : {Loose{"player+k.png", 255, 290}, Loose{"gegner_g0.png", 120, 160},
                  Loose{"gegner_g1.png", 120, 160}, Loose{"gegner_g2.png", 120, 160}}) {
    ASSERT_TRUE(kw::LoadSpriteFromFile(Scratch, (npf / l.name).string(), kw::TextureFlag)) << l.name;
    EXPECT_EQ(kw::SpriteWidth(Scratch), l.w) << l.name;
    EXPECT_EQ(kw::SpriteHeight(Scratch), l.h) << l.name;
  }
  ExpectSize(kw::ObjectsPak, Spr::Guardian, 120, 160);  // the size of its change pictures
}

// Far backgrounds are drawn as two copies side by side: a picture's right edge must join its
// left edge, no more different from it than two neighbouring columns at the same dither
// phase are from each other.
TEST(Catalogue, BackgroundsJoinTheirOwnLeftEdge) {
  for (size_t i = 0; i < 5; ++i) {
    ASSERT_TRUE(LoadPicture("Backgrounds.pak", i)) << i;
    int w = kw::SpriteWidth(Scratch), h = kw::SpriteHeight(Scratch);
    auto diff = [&](int x0, int x1, int y) {
      uint32_t a = Pixel(Scratch, x0, y), b = Pixel(Scratch, x1, y);
      int d = 0;
      for (int shift : {0, 8, 16}) d += std::abs(int((a >> shift) & 255) - int((b >> shift) & 255));
      return d;
    };
    double seam = 0, inside = 0;
    int pairs = 0;
    for (int y = 0; y < h; ++y) {
      seam += diff(w - 1, 0, y);
      for (int x = 4; x < w; x += 4, ++pairs) inside += diff(x - 1, x, y);
    }
    seam /= h;
    inside /= pairs;
    EXPECT_LE(seam, 1.5 * inside + 4) << "background " << i << ": a seam where two copies meet";
  }
}

// A picture that play tests pixel by pixel decides where the figure stands, what hurts and
// what a strike reaches, so redrawing it must keep its shape (the solid pixels: alpha not 0,
// colour not the key) or the recorded playthroughs no longer hold. The shapes are held here
// as hashes; one changed on purpose is stored anew in the same commit, saying why.
uint64_t ShapeHash(int sprite, int x0, int y0, int w, int h, uint32_t key) {
  uint64_t hash = 1469598103934665603ull;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) {
      uint32_t p = Pixel(sprite, x, y);
      bool solid = (p >> 24) != 0 && (p & 0xFFFFFF) != key;
      hash = (hash ^ (solid ? 1u : 0u)) * 1099511628211ull;
    }
  return hash;
}

TEST(Catalogue, CollisionPicturesKeepTheShapesPlayWasRecordedWith) {
  struct Shape {
    const char* what;
    const char* pack;  // or a loose file under paks/npf
    int entry;         // -1 for a loose file
    int y, h;          // the rows play tests (h 0: the whole picture)
    uint32_t key;
    uint64_t hash;
  };
  const kw::PackTable& o = kw::ObjectsPak;
  auto obj = [&](int number) { return int(At(o, number)); };
  const Shape shapes[] = {
      {"figure", "objects.pak", obj(Spr::FigureSheet), 0, 0, 0, 0x7ac56d9a9cf6560bull},
      {"figure with gauntlets", "objects.pak", obj(Spr::AltFigureSheet), 0, 0, 0, 0x74a2da1c80465fd3ull},
      {"small form", "objects.pak", obj(Spr::SmallFormSheet), 0, 0, 0, 0x81c1a9a92185577bull},
      {"touch mask", "objects.pak", obj(Spr::TouchMask), 0, 0, 0, 0xa2608de1d0ba08bbull},
      {"sword and its swing", "objects.pak", obj(Spr::SwordOverlay), 0, 0, 0, 0xaaae9ceefdd19bebull},
      {"shot", "objects.pak", obj(Spr::ShotDefault), 0, 0, 0, 0xc6a2b2e87fc3eae3ull},
      {"Waldwicht", "objects.pak", obj(Spr::EnemySheets + 0), 2 * 57, 57, 0, 0xc8861241311bb133ull},
      {"bats", "objects.pak", obj(Spr::EnemySheets + 1), 2 * 30, 30, 0, 0xdad4e136748069afull},
      {"crows", "objects.pak", obj(Spr::EnemySheets + 2), 2 * 30, 30, 0, 0xf47d3332917b4e25ull},
      {"Steingolem", "objects.pak", obj(Spr::EnemySheets + 3), 2 * 58, 58, 0, 0x188e736a54b8d535ull},
      {"Steinwicht", "objects.pak", obj(Spr::EnemySheets + 6), 2 * 30, 30, 0, 0x64ac2960716d63ffull},
      {"Schattenfuerst", "objects.pak", obj(Spr::EnemySheets + 7), 2 * 80, 80, 0, 0x49621569c0a6c81bull},
      {"Eisgeist", "objects.pak", obj(Spr::EnemySheets + 8), 2 * 36, 36, 0, 0xebe121a9d5a0eb37ull},
      {"opened door", "objects.pak", obj(Spr::OpenDoorCollision), 0, 0, 0, 0x908649b2aaed0477ull},
      {"exit", "objects.pak", obj(Spr::ExitDoor), 0, 0, 0x00FA00, 0xf0714c9b69c1ece5ull},
      {"portal", "objects.pak", obj(Spr::Portal), 0, 0, 0, 0x43ce82599e5865ffull},
      {"portal flash", "objects.pak", obj(Spr::PortalFlash), 0, 0, 0, 0xff3040ac7de301ddull},
      {"guardian", "objects.pak", obj(Spr::Guardian), 0, 0, 0, 0x365de67b05bdfc19ull},
      {"guardian spirit", "objects.pak", obj(Spr::GuardianSpirit), 0, 0, 0, 0xf8dcdc7123061b08ull},
      {"slider", "objects.pak", obj(Spr::SliderSheet), 0, 0, 0xB02000, 0x4f06a575db4dae5cull},
      {"fetch spell", "objects.pak", obj(Spr::FetchSpell), 0, 0, 0, 0xdd37e15181d862deull},
      {"spikes sideways", "objects.pak", obj(Spr::SpikesSideways), 0, 0, 0, 0xfe8d4e802271dfe5ull},
      {"spikes upward", "objects.pak", obj(Spr::SpikesUpward), 0, 0, 0, 0xb2f21214d5de84ebull},
      {"bombs", "objects.pak", obj(Spr::BombSheet), 0, 0, 0, 0xeca6ad77e965e339ull},
      {"guardian change 0", "gegner_g0.png", -1, 0, 0, 0, 0x365de67b05bdfc19ull},
      {"guardian change 1", "gegner_g1.png", -1, 0, 0, 0, 0xb35d3a6cccca3a72ull},
      {"guardian change 2", "gegner_g2.png", -1, 0, 0, 0, 0x86655f2e2feaaecull},
      {"forest tiles", "Tiles.pak", kw::TilesPak::FirstSheet + 0, 0, 30, 0, 0x5e281316c5ca8867ull},
      {"ice tiles", "Tiles.pak", kw::TilesPak::FirstSheet + 1, 0, 30, 0, 0x5e281316c5ca8867ull},
      {"cave tiles", "Tiles.pak", kw::TilesPak::FirstSheet + 2, 0, 30, 0, 0x5e281316c5ca8867ull},
      {"castle tiles", "Tiles.pak", kw::TilesPak::FirstSheet + 3, 0, 30, 0, 0x5e281316c5ca8867ull},
      {"tower tiles", "Tiles.pak", kw::TilesPak::FirstSheet + 4, 0, 30, 0, 0x5e281316c5ca8867ull},
      {"forest tile frames", "Tiles.pak", 0, 0, 0, 0, 0x82f55d9503a43580ull},
      {"ice tile frames", "Tiles.pak", 2, 0, 0, 0, 0x7b82504843d713a0ull},
      {"cave tile frames", "Tiles.pak", 4, 0, 0, 0, 0x324cc07871b25388ull},
      {"castle tile frames", "Tiles.pak", 6, 0, 0, 0, 0xf4fd35b94baec68ull},
      {"tower tile frames", "Tiles.pak", 8, 0, 0, 0, 0xf4fd35b94baec68ull},
  };
  fs::path npf = fs::absolute(fs::path(KW_GAME_DIR)) / "paks" / "npf";
  for (const Shape& s : shapes) {
    bool loaded = s.entry < 0 ? kw::LoadSpriteFromFile(Scratch, (npf / s.pack).string(), kw::TextureFlag) != 0
                              : LoadPicture(s.pack, size_t(s.entry));
    ASSERT_TRUE(loaded) << s.what;
    int h = s.h ? s.h : kw::SpriteHeight(Scratch);
    uint64_t hash = ShapeHash(Scratch, 0, s.y, kw::SpriteWidth(Scratch), h, s.key);
    EXPECT_EQ(hash, s.hash) << s.what << ": its solid pixels changed (now 0x" << std::hex << hash
                            << "), so play would change with it";
  }
}

// ---------------------------------------------------------------------------------------
// Tiles

class TileSets : public ::testing::TestWithParam<int> {};

TEST_P(TileSets, StripsAndSheetHaveTheirSizes) {
  int set = GetParam();
  ExpectSize("Tiles.pak", size_t(2 * (set - 1)), 120, 4000);
  ExpectSize("Tiles.pak", size_t(2 * (set - 1) + 1), 120, 2400);
  ExpectSize("Tiles.pak", size_t(kw::TilesPak::FirstSheet + set - 1), 3000, 90);
}

TEST_P(TileSets, CollisionPicturesMatchTheTilesMeaning) {
  int set = GetParam();
  ASSERT_TRUE(LoadPicture("Tiles.pak", size_t(kw::TilesPak::FirstSheet + set - 1)));
  auto cellCount = [](int k) { return OpaqueCount(Scratch, (k - 1) * 30, 0, 30, 30); };
  EXPECT_EQ(cellCount(1), 0) << "air must be fully transparent";
  for (int k : {3, 8, 2, 4, 19}) EXPECT_EQ(cellCount(k), 900) << "tile " << k << " is a full block";
  // Slopes: 31 rises to the right (solid at the right top), 32 to the left.
  EXPECT_TRUE(Opaque(Scratch, 30 * 30 + 28, 4));
  EXPECT_FALSE(Opaque(Scratch, 30 * 30 + 1, 4));
  EXPECT_TRUE(Opaque(Scratch, 31 * 30 + 1, 4));
  EXPECT_FALSE(Opaque(Scratch, 31 * 30 + 28, 4));
  for (int k : {31, 32}) EXPECT_NEAR(cellCount(k), 450, 40) << k;
  for (int k : {33, 34, 39, 40, 74, 75}) {
    EXPECT_GT(cellCount(k), 150) << k;
    EXPECT_LT(cellCount(k), 800) << k;
  }
  // Ladders: rails and rungs with gaps between them.
  for (int k : {26, 29, 55, 80}) {
    EXPECT_GT(cellCount(k), 100) << k;
    EXPECT_LT(cellCount(k), 700) << k;
  }
  // Pickups and special tiles carry a picture that can be touched.
  for (int k : {12, 13, 14, 15, 16, 20, 22, 23, 24, 25, 27, 44, 48, 49, 61, 79}) EXPECT_GT(cellCount(k), 40) << k;
  // Nothing solid in the sheet is pure black (black means transparent to the game).
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 3000; ++x) {
      uint32_t p = Pixel(Scratch, x, y);
      if ((p >> 24) != 0) {
        ASSERT_NE(p & 0xFFFFFF, 0u) << x << "," << y;
      }
    }
}

TEST_P(TileSets, StripFramesShowTheCellTenPixelsBelowTheirTop) {
  int set = GetParam();
  ASSERT_TRUE(LoadPicture("Tiles.pak", size_t(kw::TilesPak::FirstSheet + set - 1), Scratch + 1));
  ASSERT_TRUE(LoadPicture("Tiles.pak", size_t(2 * (set - 1)), Scratch));
  for (int f = 0; f < 4; ++f) {
    EXPECT_EQ(OpaqueCount(Scratch, 30 * f, 0, 30, 50), 0) << "air, frame " << f;
    EXPECT_EQ(OpaqueCount(Scratch, 30 * f, 2 * 50 + 10, 30, 30), 900) << "tile 3, frame " << f;
  }
  // The cell of every tile's first frame has the shape of its collision picture.
  for (int k = 1; k <= 80; ++k) {
    int mismatches = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 30; ++x)
        mismatches += Opaque(Scratch, x, (k - 1) * 50 + 10 + y) != Opaque(Scratch + 1, (k - 1) * 30 + x, y);
    EXPECT_LT(mismatches, 30) << "tile " << k;
  }
  // Lava or water (tile 4) animates: its frames differ.
  int differ = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) differ += Pixel(Scratch, x, 3 * 50 + 10 + y) != Pixel(Scratch, 30 + x, 3 * 50 + 10 + y);
  EXPECT_GT(differ, 100);
}

INSTANTIATE_TEST_SUITE_P(AllSets, TileSets, ::testing::Values(1, 2, 3, 4, 5));

// ---------------------------------------------------------------------------------------
// Sounds

uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }

// Length in seconds of an Ogg Vorbis stream: last page's granule over the sample rate.
double OggSeconds(const std::vector<uint8_t>& d) {
  if (d.size() < 64) return 0;
  uint32_t rate = 0;
  for (size_t i = 0; i + 16 < d.size() && i < 200; ++i)
    if (d[i] == 1 && std::memcmp(&d[i + 1], "vorbis", 6) == 0) {
      rate = Le32(&d[i + 12]);
      break;
    }
  for (size_t i = d.size() - 27; i > 0; --i)
    if (std::memcmp(&d[i], "OggS", 4) == 0) {
      uint64_t granule = Le32(&d[i + 6]) | (uint64_t(Le32(&d[i + 10])) << 32);
      return rate ? double(granule) / rate : 0;
    }
  return 0;
}

TEST(Catalogue, EffectsAreShortMonoWavesAndMusicIsLongOgg) {
  kw::InitSound();
  const Entries& s = Pack("sounds.pak");
  ASSERT_EQ(s.size(), 22u);
  // The effects come first, then the six tracks.
  const size_t firstMusic = At(kw::SoundsPak, kw::Snd::MusicForest);
  ASSERT_EQ(firstMusic, 16u);
  for (size_t i = 0; i < firstMusic; ++i) {
    const auto& e = s[i];
    ASSERT_GE(e.size(), 44u) << i;
    ASSERT_EQ(std::memcmp(e.data(), "RIFF", 4), 0) << i;
    EXPECT_EQ(e[22] | (e[23] << 8), 1) << "mono " << i;
    EXPECT_EQ(Le32(&e[24]), 22050u) << i;
    EXPECT_EQ(e[34] | (e[35] << 8), 16) << i;
    double seconds = (e.size() - 44) / 2.0 / 22050;
    EXPECT_GT(seconds, 0.05) << i;
    EXPECT_LT(seconds, 3.0) << i;
    EXPECT_TRUE(kw::LoadSoundFromMemory(100 + int(i), e.data(), e.size(), 0)) << i;
  }
  std::set<std::vector<uint8_t>> distinct;
  for (size_t i = firstMusic; i < s.size(); ++i) {
    const auto& e = s[i];
    ASSERT_EQ(std::memcmp(e.data(), "OggS", 4), 0) << i;
    double seconds = OggSeconds(e);
    EXPECT_GE(seconds, 30.0) << i;
    EXPECT_LE(seconds, 60.0) << i;
    EXPECT_TRUE(kw::LoadSoundFromMemory(100 + int(i), e.data(), e.size(), e.size())) << i;
    distinct.insert(e);
  }
  EXPECT_EQ(distinct.size(), 6u);
}

}  // namespace
