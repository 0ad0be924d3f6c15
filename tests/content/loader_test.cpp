// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The resource loader: the start-up catalogue (numbers, clips, key colours, progress),
// the tile-set entry selection and TileKind, the lights, and the fatal load path.
#include <stdexcept>

#include <chrono>
#include <thread>

#include "media/sound_internal.h"
#include "test_data.h"

using namespace kwtest;

namespace {

struct FatalExit : std::runtime_error {
  int code;
  explicit FatalExit(int c) : std::runtime_error("fatal"), code(c) {}
};

class LoaderTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    kw::SetFatalExitHook([](int code) { throw FatalExit(code); });
  }
  void TearDown() override {
    kw::SetFatalExitHook(nullptr);
    kw::StopTranslations();
  }
};

TEST_F(LoaderTest, CatalogueFillsNumbersClipsKeyColoursAndProgress) {
  folder.WriteAllPacks();
  folder.WriteText(folder.user / "Saves" / "Savescore.save", "900\r\nAlrik\r\n800\r\nBerta\r\n");
  kw::LoaderThread(0);
  EXPECT_EQ(kw::LoadProgress, 10);
  for (int n : {322, 372, 324, 323, 325, 437, 439, 440, 438, 320, 341, 441, 339, 338, 344,
                358, 369, 373, 375, 9999, 345, 314, 407, 445, 442, 424, 414, 455, 351, 352, 434})
    EXPECT_TRUE(kw::SpriteExists(n)) << n;
  // Entry 3 and 5 are skipped: 325 holds entry 4 (blue 5), 437 entry 6 (blue 7).
  EXPECT_EQ(DrawnPixel(325), Argb(40, 40, 5));
  EXPECT_EQ(DrawnPixel(437), Argb(40, 40, 7));
  EXPECT_EQ(DrawnPixel(9999), Argb(40, 40, 48));
  // Shots are clipped to their right half (44, 0, 44, 48).
  EXPECT_EQ(DrawnPixel(327), Argb(2, 9, 9));
  EXPECT_EQ(DrawnPixel(327, 44, 0), Argb(1, 2, 3));
  EXPECT_EQ(DrawnPixel(329, 38, 0), Argb(1, 2, 3));  // 38 wide
  EXPECT_EQ(DrawnPixel(329, 37, 56), Argb(13, 13, 13));
  // The exit door's key colour (0, 250, 0): nothing of it is drawn keyed.
  kw::ClearBackBuffer(0);
  kw::DrawSpriteKeyed(340, 0, 0);
  EXPECT_EQ(Pixel(0, 0), kw::ColourToPixel(0));
  // Buttons: 349 the upper half, 351 the lower half.
  EXPECT_EQ(DrawnPixel(349), Argb(7, 1, 7));
  EXPECT_EQ(DrawnPixel(351), Argb(7, 2, 7));
  EXPECT_EQ(DrawnPixel(349, 98, 0), Argb(1, 2, 3));
  // Digits: 414 + i starts at nearest(i * 6.3), 446 + i at nearest(i * 11.4).
  // Nearest, not truncation: 31.5 -> 32 and 18.9 -> 19 (no digit offset is a tie that
  // tells half to even from half up; the tie rule itself is checked below).
  EXPECT_EQ(DrawnPixel(419), Argb(32 + 1, 70, 70));  // 31.5 -> 32
  EXPECT_EQ(DrawnPixel(417), Argb(19 + 1, 70, 70));  // 18.9 -> 19
  for (auto [v, nearest] : {std::pair{0.5, 0}, std::pair{1.5, 2}, std::pair{2.5, 2},
                            std::pair{94.5, 94}, std::pair{-0.5, 0}, std::pair{-3.5, -4}})
    EXPECT_EQ(kw::Nearest(v), nearest) << v << " rounds half to even";
  EXPECT_EQ(DrawnPixel(414, 6, 0), Argb(1, 2, 3));   // 6 wide
  EXPECT_EQ(DrawnPixel(448), Argb(23 + 1, 71, 71));  // 22.8 -> 23
  // Sounds, 395 and 396 from the same entry, music tracks, ambient loops silent.
  for (int s : {319, 321, 387, 395, 396, 397, 447, 377, 382}) EXPECT_TRUE(kw::SoundLoaded(s)) << s;
  EXPECT_EQ(kw::SoundVolume(393), 0);
  // Highscores and the best score.
  EXPECT_EQ(kw::Highscores[1].points, 900);
  EXPECT_EQ(kw::Highscores[2].name, "Berta");
  EXPECT_EQ(kw::BestScore, "900");
  EXPECT_EQ(kw::NameInput, "Alrik");
  EXPECT_EQ(kw::P().tileWidth, 30);
  EXPECT_EQ(kw::P().headerB, 180);
}

TEST_F(LoaderTest, MissingEntryIsFatalWithTwoMessagesAndNonZeroExit) {
  folder.WriteAllPacks(30);  // objects.pak ends after entry 29
  testing::internal::CaptureStderr();
  int code = 0;
  try {
    kw::LoaderThread(0);
  } catch (const FatalExit& e) {
    code = e.code;
  }
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(code, 0);
  EXPECT_NE(err.find("Fehler im Bereich"), std::string::npos) << err;
  EXPECT_NE(err.find("Objecte pic:30"), std::string::npos) << err;
  EXPECT_NE(err.find("Sprite konnte nicht geladen werden."), std::string::npos) << err;
  EXPECT_EQ(kw::LoadProgress, 1);  // raised after entry 5, entry 35 never reached
}

TEST_F(LoaderTest, AFailedLoadOnTheLoaderThreadIsEndedByTheMainThread) {
  // The loader records the failure and waits; the window belongs to the main thread.
  std::thread loader([] { kw::CheckLoad(0, "Tiles_pic:5"); });
  loader.detach();
  testing::internal::CaptureStderr();
  bool ended = false;
  for (int i = 0; i < 2000 && !ended; ++i) {
    try {
      kw::FinishFailedLoad();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } catch (const FatalExit& e) {
      ended = true;
      EXPECT_EQ(e.code, 1);
    }
  }
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(ended);
  EXPECT_NE(err.find("Tiles_pic:5"), std::string::npos) << err;
  EXPECT_NE(err.find("Sprite konnte nicht geladen werden."), std::string::npos) << err;
}

TEST_F(LoaderTest, MissingPackIsFatalWithItsLabel) {
  testing::internal::CaptureStderr();
  EXPECT_THROW(kw::LoaderThread(0), FatalExit);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Objecte"), std::string::npos) << err;
}

// A language with words of its own in the pictures has its copies of those packs in
// paks/LANG; every other pack, and every language without copies, loads the German ones.
// The fatal messages speak the language too.
TEST_F(LoaderTest, ALanguageLoadsItsOwnCopiesOfThePacksWithWords) {
  folder.WriteAllPacks();
  std::vector<Bytes> menu;
  for (int i = 0; i < 16; ++i)
    menu.push_back(i == 7 || i == 8 ? Png(98, 98, [](int, int y) { return Argb(7, y < 49 ? 1 : 2, 7); })
                                    : Flat(8, 8, Argb(51, 51, i + 1)));
  WritePack(folder.game / "paks" / "en" / "Menu.pak", menu);
  const std::string locale = std::string(KW_BINARY_DIR) + "/locale";
  struct Case {
    const char* language;
    uint32_t menuBackground;
  };
  for (const Case& c : {Case{"", Argb(50, 50, 1)}, Case{"de", Argb(50, 50, 1)}, Case{"en", Argb(51, 51, 1)}}) {
    SCOPED_TRACE(c.language);
    if (*c.language) kw::StartTranslations(locale, c.language);
    kw::LoaderThread(0);
    EXPECT_EQ(DrawnPixel(345), c.menuBackground);
    EXPECT_EQ(DrawnPixel(325), Argb(40, 40, 5));  // objects.pak has no English copy
  }
  fs::remove_all(folder.game / "paks");
  testing::internal::CaptureStderr();
  EXPECT_THROW(kw::LoaderThread(0), FatalExit);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Error in section"), std::string::npos) << err;
  EXPECT_NE(err.find("A sprite could not be loaded."), std::string::npos) << err;
}

// A pack that ends early names its first missing entry the way the game always has:
// Menu.pak and Interface.pak by index, the digit copies of Inventar.pak 6..15 and 16..25
// and its last entry 26, the music of sounds.pak as the parts 13_1..13_6.
TEST_F(LoaderTest, AShortPackNamesItsFirstMissingEntry) {
  struct Case {
    const char* pack;
    int keep;
    const char* label;
    int progress;
  };
  const Case cases[] = {{"Menu.pak", 12, "Menue_pic:12", 3},       {"Interface.pak", 2, "Interface_pic:2", 4},
                        {"Inventar.pak", 3, "Inventar_pic:3", 5},  {"Inventar.pak", 5, "Inventar_pic:6", 5},
                        {"Inventar.pak", 6, "Inventar_pic:16", 5}, {"Inventar.pak", 7, "Inventar_pic:26", 5},
                        {"sounds.pak", 11, "sounds_pic:11", 6},    {"sounds.pak", 12, "sounds_pic:12", 7},
                        {"sounds.pak", 17, "sounds_pic:13_2", 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pack) + " " + std::to_string(c.keep));
    folder.WriteAllPacks();
    std::vector<Bytes> entries;
    for (int i = 0; i < c.keep; ++i) {
      if (std::string(c.pack) == "sounds.pak") entries.push_back(Wav());
      else if (std::string(c.pack) == "Inventar.pak" && i == 5) entries.push_back(Flat(63, 10, Argb(1, 1, 1)));
      else if (std::string(c.pack) == "Inventar.pak" && i == 6) entries.push_back(Flat(114, 18, Argb(1, 1, 1)));
      else entries.push_back(Flat(98, 98, Argb(50, 50, i + 1)));
    }
    WritePack(folder.game / "paks" / c.pack, entries);
    testing::internal::CaptureStderr();
    EXPECT_THROW(kw::LoaderThread(0), FatalExit);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(std::string(c.label) + "\n"), std::string::npos) << err;
    EXPECT_EQ(kw::LoadProgress, c.progress);
  }
}

// The blue channel tells the pack entry: entry i has blue i * 10 + 5.
int EntryOf(uint32_t pixel) { return int((pixel & 255) - 5) / 10; }

TEST_F(LoaderTest, TileSetSelectsStripsAndSheet) {
  folder.WriteAllPacks();
  struct Case { const char* set; int strip; int sheet; };
  for (Case c : {Case{"1", 0, 12}, Case{"2", 2, 13}, Case{"3", 4, 14}, Case{"5", 8, 16},
                 Case{"6", -1, 7}, Case{"0", -1, 2}}) {
    SCOPED_TRACE(c.set);
    kw::FreeSprite(435);
    kw::TileSet = c.set;
    kw::LoadTiles();
    EXPECT_EQ(kw::AnimFrameBase, 6000);
    EXPECT_EQ(EntryOf(DrawnPixel(0)), c.sheet);
    if (c.strip >= 0) {
      EXPECT_EQ(EntryOf(DrawnPixel(435)), c.strip);
      EXPECT_EQ(EntryOf(DrawnPixel(436)), c.strip + 1);
    } else {
      EXPECT_FALSE(kw::SpriteExists(435));
    }
  }
}

TEST_F(LoaderTest, TilePicturesAndAnimatedFramesComeFromTheirRegions) {
  folder.WriteAllPacks();
  kw::TileSet = "3";
  kw::LoadTiles();
  EXPECT_EQ(DrawnPixel(5), Argb(4, 1, 145));     // sheet entry 14, column 4, row 0
  EXPECT_EQ(DrawnPixel(5, 30, 0), Argb(1, 2, 3)); // 30 wide
  EXPECT_EQ(DrawnPixel(105), Argb(4, 51, 145));  // row 1
  EXPECT_EQ(DrawnPixel(433), DrawnPixel(19));     // copy of the door
  kw::ClearBackBuffer(0);
  kw::DrawSprite3D(205, 0, 0, 255);               // row 2, 3D
  EXPECT_EQ(Pixel(0, 0), Argb(4, 101, 145));
  kw::ClearBackBuffer(0);
  kw::DrawSprite3D(8007, 0, 0, 255);              // frame 2 of tile 7, 30 x 50 strip (entry 4)
  EXPECT_EQ(Pixel(0, 0), Argb(2, 7, 45));
  EXPECT_EQ(Pixel(0, 49), Argb(2, 7, 45));
  kw::ClearBackBuffer(0);
  kw::DrawSprite3D(9580, 0, 0, 255);              // frame 3 of tile 80, 30 x 30 strip (entry 5)
  EXPECT_EQ(Pixel(29, 29), Argb(3, 80, 55));
  kw::ClearBackBuffer(0);
  kw::DrawSprite3D(6000, 0, 0, 255);              // k = 0 stays empty
  EXPECT_EQ(Pixel(0, 0), kw::ColourToPixel(0));
}

TEST_F(LoaderTest, TileKindBySet) {
  for (int set : {1, 4}) {
    kw::FillTileKind(set);
    EXPECT_EQ(kw::TileKind[31], 1);
    EXPECT_EQ(kw::TileKind[75], 1);
    EXPECT_EQ(kw::TileKind[35], 2);
    EXPECT_EQ(kw::TileKind[77], 2);
    EXPECT_EQ(kw::TileKind[43], 0);
  }
  for (int set : {5, 6, 0}) {
    kw::FillTileKind(set);
    for (int t = 0; t < 82; ++t) EXPECT_EQ(kw::TileKind[t], 0) << set << " " << t;
  }
}

TEST_F(LoaderTest, LightsLoadInOrderAndShortPacksLeaveTheRestEmpty) {
  std::vector<Bytes> eleven;
  for (int i = 0; i < 11; ++i) eleven.push_back(Flat(30, 30, Argb(80, 80, i + 1)));
  eleven[3] = Flat(30, 30, Argb(0, 255, 0));  // all key colour
  WritePack(folder.game / "paks" / "Lights.pak", eleven);
  for (int n = 500; n <= 612; ++n) kw::FreeSprite(n);
  kw::LoadLights();
  kw::ClearBackBuffer(0);
  kw::DrawSprite3D(510, 0, 0, 255);
  EXPECT_EQ(Pixel(0, 0), Argb(80, 80, 11));
  kw::ClearBackBuffer(kw::Rgb(1, 2, 3));
  kw::DrawSprite3D(503, 0, 0, 255);  // pure green is the key colour
  EXPECT_EQ(Pixel(0, 0), Argb(1, 2, 3));
  EXPECT_FALSE(kw::SpriteExists(601));
  // Without the pack nothing is loaded and nothing fails: the numbers loaded above are
  // left as they were, a freed one stays empty, none of the rest appears.
  std::filesystem::remove(folder.game / "paks" / "Lights.pak");
  kw::FreeSprite(505);
  kw::LoadLights();
  EXPECT_FALSE(kw::SpriteExists(505));
  EXPECT_TRUE(kw::SpriteExists(510));
  EXPECT_FALSE(kw::SpriteExists(612));
  EXPECT_EQ(kw::GameOver, 0);
}

}  // namespace
