// The generated game folder against the catalogue its users rely on: entry counts of every
// pack, picture sizes and layouts, key colours, tile collision pictures that match their
// meaning, and sounds of the right kind and length. Reads KW_GAME_DIR (the build generates
// it before the tests run) through the game's own pack reader and sprite loader.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "media/pack.h"
#include "media/sound.h"
#include "media/sprites.h"

namespace {

namespace fs = std::filesystem;

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

TEST(Catalogue, EveryPackHasItsEntryCount) {
  EXPECT_EQ(Pack("objects.pak").size(), 48u);
  EXPECT_EQ(Pack("Menu.pak").size(), 16u);
  EXPECT_EQ(Pack("Interface.pak").size(), 3u);
  EXPECT_EQ(Pack("Inventar.pak").size(), 8u);
  EXPECT_EQ(Pack("sounds.pak").size(), 22u);
  EXPECT_EQ(Pack("Tiles.pak").size(), 17u);
  EXPECT_EQ(Pack("Lights.pak").size(), 23u);
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
  ExpectSize("objects.pak", 0, 640, 480);   // 322 title
  ExpectSize("objects.pak", 1, 640, 480);   // 372 pause
  ExpectSize("objects.pak", 2, 255, 290);   // 324 figure
  ExpectSize("objects.pak", 4, 93, 30);     // 325 small form
  ExpectSize("objects.pak", 6, 255, 290);   // 437 alternative figure
  ExpectSize("objects.pak", 9, 255, 290);   // 438 touch mask
  for (size_t e = 10; e <= 12; ++e) ExpectSize("objects.pak", e, 160, 48);  // shots
  // Enemy sheets: 4 columns x 3 rows of the frame sizes of Gegner.ini.
  const std::pair<size_t, std::pair<int, int>> enemies[] = {
      {13, {38, 57}}, {14, {40, 30}}, {15, {40, 30}}, {16, {44, 58}}, {19, {30, 30}}, {20, {60, 80}}, {21, {36, 36}}};
  for (auto& e : enemies) ExpectSize("objects.pak", e.first, 4 * e.second.first, 3 * e.second.second);
  ExpectSize("objects.pak", 17, 255, 290);  // 333 sword overlay
  ExpectSize("objects.pak", 18, 640, 480);  // 334 background
  ExpectSize("objects.pak", 22, 30, 30);    // 320 open door collision
  ExpectSize("objects.pak", 30, 120, 120);  // 344 slider sheet
  ExpectSize("objects.pak", 44, 30, 30);    // 373 spikes
  ExpectSize("objects.pak", 45, 30, 30);    // 374 spikes
  ExpectSize("objects.pak", 46, 32, 111);   // 375 climbing
  ExpectSize("objects.pak", 47, 69, 132);   // 9999 bombs
}

TEST(Catalogue, FigureSheetFramesAreFilledAndTheTouchMaskCoversThem) {
  for (size_t e : {size_t(2), size_t(6)}) {
    ASSERT_TRUE(LoadPicture("objects.pak", e, Scratch));
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
  ASSERT_TRUE(LoadPicture("objects.pak", 2, Scratch));
  ASSERT_TRUE(LoadPicture("objects.pak", 9, Scratch + 1));
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
  ASSERT_TRUE(LoadPicture("objects.pak", 4));
  EXPECT_GT(OpaqueCount(Scratch, 22, 0, 30, 30), 50);
  EXPECT_GT(OpaqueCount(Scratch, 63, 0, 30, 30), 50);
  ASSERT_TRUE(LoadPicture("objects.pak", 47));
  for (int row = 0; row < 4; ++row)
    for (int tick = 0; tick < 3; ++tick) EXPECT_GT(OpaqueCount(Scratch, tick * 23, row * 33, 23, 33), 100);
  ASSERT_TRUE(LoadPicture("objects.pak", 10));
  for (int f = 0; f < 4; ++f) EXPECT_GT(OpaqueCount(Scratch, f * 20, 0, 20, 20), 20) << f;
  ASSERT_TRUE(LoadPicture("objects.pak", 12));
  for (int f = 0; f < 4; ++f) EXPECT_GT(OpaqueCount(Scratch, f * 40, 0, 40, 40), 50) << f;
  ASSERT_TRUE(LoadPicture("objects.pak", 46));
  EXPECT_GT(OpaqueCount(Scratch, 0, 0, 32, 55), 200);
  EXPECT_GT(OpaqueCount(Scratch, 0, 56, 32, 55), 200);
}

TEST(Catalogue, KeyColoursArePresentWhereTheGameSetsThem) {
  ASSERT_TRUE(LoadPicture("objects.pak", 23));  // 340 exit door
  EXPECT_TRUE(HasColour(Scratch, 0x00FA00));
  ASSERT_TRUE(LoadPicture("objects.pak", 30));  // 344 slider
  EXPECT_TRUE(HasColour(Scratch, 0xB02000));
  ASSERT_TRUE(LoadPicture("Menu.pak", 12));     // 353 pointer
  EXPECT_TRUE(HasColour(Scratch, 0x00FF00));
  for (size_t i = 1; i <= 5; ++i) {             // 501..505 lights have a fully lit part
    ASSERT_TRUE(LoadPicture("Lights.pak", i));
    EXPECT_TRUE(HasColour(Scratch, 0x00FF00)) << i;
  }
  ASSERT_TRUE(LoadPicture("Lights.pak", 0));    // 500 is darkness everywhere
  EXPECT_FALSE(HasColour(Scratch, 0x00FF00));
  EXPECT_EQ(OpaqueCount(Scratch, 0, 0, 30, 30), 900);
}

TEST(Catalogue, MenuInterfaceAndInventarSizes) {
  ExpectSize("Menu.pak", 0, 640, 480);
  ExpectSize("Menu.pak", 6, 640, 480);
  ExpectSize("Menu.pak", 7, 98, 98);
  ExpectSize("Menu.pak", 8, 70, 98);
  ExpectSize("Menu.pak", 9, 640, 480);
  ExpectSize("Menu.pak", 10, 20, 39);
  ExpectSize("Menu.pak", 11, 20, 39);
  ExpectSize("Interface.pak", 0, 640, 59);
  ExpectSize("Inventar.pak", 4, 97, 7);
  ExpectSize("Inventar.pak", 5, 63, 10);
  ExpectSize("Inventar.pak", 6, 114, 18);
  // The hit areas and the volume band are solid where the game tests them.
  ASSERT_TRUE(LoadPicture("Menu.pak", 10));
  EXPECT_EQ(OpaqueCount(Scratch, 0, 0, 20, 39), 20 * 39);
  ASSERT_TRUE(LoadPicture("Menu.pak", 4));  // 317 at (72, 337): covers x 72..560
  EXPECT_GE(kw::SpriteWidth(Scratch), 488);
  EXPECT_GE(kw::SpriteHeight(Scratch), 40);
  // Buttons: both halves carry a picture.
  ASSERT_TRUE(LoadPicture("Menu.pak", 7));
  EXPECT_GT(OpaqueCount(Scratch, 0, 0, 98, 49), 1500);
  EXPECT_GT(OpaqueCount(Scratch, 0, 49, 98, 49), 1500);
  // Every digit clip holds a glyph.
  ASSERT_TRUE(LoadPicture("Inventar.pak", 5));
  for (int i = 0; i < 10; ++i) EXPECT_GT(OpaqueCount(Scratch, int(std::nearbyint(i * 6.3)), 0, 6, 10), 5) << i;
  ASSERT_TRUE(LoadPicture("Inventar.pak", 6));
  for (int i = 0; i < 10; ++i) EXPECT_GT(OpaqueCount(Scratch, int(std::nearbyint(i * 11.4)), 0, 11, 18), 10) << i;
}

TEST(Catalogue, DoorsPortalSpellsAndIconsFitWhereTheGameDrawsThem) {
  ExpectSize("objects.pak", 8, 30, 50);   // 440 opened door, drawn like a tile 10 px above its cell
  ASSERT_TRUE(LoadPicture("objects.pak", 8));
  EXPECT_EQ(OpaqueCount(Scratch, 0, 10, 30, 30), 900) << "the opened door covers the locked door's cell";
  ExpectSize("objects.pak", 23, 30, 50);  // 340 exit door
  ExpectSize("objects.pak", 24, 30, 50);  // 341 portal
  ASSERT_TRUE(LoadPicture("objects.pak", 24));
  EXPECT_GT(OpaqueCount(Scratch, 0, 0, 30, 50), 800) << "the portal is touched pixel by pixel";
  for (size_t e = 31; e <= 33; ++e) ExpectSize("objects.pak", e, 30, 30);  // spells
  ExpectSize("Inventar.pak", 0, 40, 40);
  ExpectSize("Inventar.pak", 1, 40, 40);
  EXPECT_NE(Pack("Inventar.pak")[0], Pack("Inventar.pak")[1]) << "plain and golden axe look alike";
  // The slider's four frames each hold a wheel besides the key colour.
  ASSERT_TRUE(LoadPicture("objects.pak", 30));
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
  for (size_t e = 34; e <= 43; ++e) {
    SCOPED_TRACE("objects.pak entry " + std::to_string(e));
    ExpectSize("objects.pak", e, 42, 58);
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
    if (e % 2 == 0) mainColour.push_back(key);
  }
  std::set<uint32_t> distinct(mainColour.begin(), mainColour.end());
  EXPECT_EQ(distinct.size(), 5u);
}

TEST(Catalogue, MenuPanelsButtonsAndPointerFitTheirScreens) {
  // The dialog panel at (200, 100) also carries the new-game and difficulty buttons, the
  // rightmost at x 406..476.
  ASSERT_TRUE(LoadPicture("Menu.pak", 13));
  EXPECT_GE(kw::SpriteWidth(Scratch), 276);
  EXPECT_GE(kw::SpriteHeight(Scratch), 140);
  ASSERT_TRUE(LoadPicture("Menu.pak", 8));  // 350: both halves carry a button
  EXPECT_GT(OpaqueCount(Scratch, 0, 0, 70, 49), 1500);
  EXPECT_GT(OpaqueCount(Scratch, 0, 49, 70, 49), 1500);
  // The pointer's hot spot is its top-left pixel: the tip is drawn there, not key colour.
  ASSERT_TRUE(LoadPicture("Menu.pak", 12));
  EXPECT_NE(Pixel(Scratch, 1, 1) & 0xFFFFFF, 0x00FF00u);
  EXPECT_TRUE(HasColour(Scratch, 0x00FF00));
}

TEST(Catalogue, LightsAreTileSized) {
  for (size_t i = 0; i <= 10; ++i) ExpectSize("Lights.pak", i, 30, 30);
  for (size_t i = 11; i < 23; ++i) EXPECT_TRUE(LoadPicture("Lights.pak", i)) << i;
}

TEST(Catalogue, BackgroundsAndCutsceneStrips) {
  for (size_t i = 0; i < 5; ++i) ExpectSize("Backgrounds.pak", i, 640, 480);
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
  ExpectSize("objects.pak", 29, 120, 160);  // 338 has the size of its change pictures
}

// ---------------------------------------------------------------------------------------
// Tiles

class TileSets : public ::testing::TestWithParam<int> {};

TEST_P(TileSets, StripsAndSheetHaveTheirSizes) {
  int set = GetParam();
  ExpectSize("Tiles.pak", size_t(2 * (set - 1)), 120, 4000);
  ExpectSize("Tiles.pak", size_t(2 * (set - 1) + 1), 120, 2400);
  ExpectSize("Tiles.pak", size_t(11 + set), 3000, 90);
}

TEST_P(TileSets, CollisionPicturesMatchTheTilesMeaning) {
  int set = GetParam();
  ASSERT_TRUE(LoadPicture("Tiles.pak", size_t(11 + set)));
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
  ASSERT_TRUE(LoadPicture("Tiles.pak", size_t(11 + set), Scratch + 1));
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
  for (size_t i = 0; i < 16; ++i) {
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
  for (size_t i = 16; i < 22; ++i) {
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
