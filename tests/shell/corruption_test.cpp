// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Damaged files the game writes and reads back: quick-save slots, Savescore.save and
// Story.save (each first written by the game itself), Setup.ini and cutscenes.ini (the
// shipped ones). Each variant is read the way the game reads it and then used: the slot
// is played on for a few world steps and drawn, the highscore list drawn, the story
// progress turned into a map start, the key codes asked for, the cutscene played. Nothing
// may crash (the sanitizer build catches what a plain build lets pass), stall or make
// the process grow, and what cannot be read stays zero or at its default. The suite runs
// a fixed seed and a small count;
//   KW_CORRUPTION_COUNT=2000 build/tests/shell_tests --gtest_filter='Corruption*'
// runs the full count per file type.
#include <sys/resource.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <random>

#include "../content/test_data.h"
#include "common/damage.h"
#include "common/temp_folders.h"
#include "media/input_internal.h"
#include "menus/menus.h"
#include "play/play.h"
#include "save/save.h"
#include "script/script.h"

using namespace kwtest;

namespace {

std::string ReadShipped(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Peak resident memory of the process in KB.
long PeakKb() {
  rusage r{};
  getrusage(RUSAGE_SELF, &r);
  return r.ru_maxrss;
}

// Seconds since start.
double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class CorruptionTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    folder.WriteAllPacks();
    shipped = fs::path(KW_GAME_DIR);
    for (const char* f : {"map1.map", "map1_Script.ssc", "map1_Script_Map.dat"})
      folder.WriteText(folder.game / "maps" / f, ReadShipped(shipped / "maps" / f));
    folder.WriteText(folder.game / "Gegner.ini", ReadShipped(shipped / "Gegner.ini"));
    kw::ReadEnemyTypes();
    kw::ResetInput();
    peakBefore = PeakKb();
  }
  void TearDown() override {
    kw::ResetInput();
    kw::ReadKeyboard();
    // A damaged file may justify a few megabytes, never hundreds.
    EXPECT_LT(PeakKb() - peakBefore, 256 * 1024) << "the process grew by " << (PeakKb() - peakBefore) << " KB";
  }
  // Free map 1 as a map start loads it.
  void LoadFreeMap1() {
    kw::SetNewGamePlayer(kw::P());
    kw::StoryMode = 0;
    kw::TimeMatch = 0;
    kw::CurrentMap = 1;
    kw::LoaderThread(1);
  }
  // The quick load with its key already held, so the key wait ends after one picture.
  void QuickLoad() {
    kw::InjectKey(kw::Key::Space, true);
    kw::LoadGame("");
    kw::InjectKey(kw::Key::Space, false);
    kw::ReadKeyboard();
  }
  fs::path Slot() const { return folder.user / "Saves" / "quick"; }
  fs::path shipped;
  long peakBefore = 0;
};

// The slot's files in the order the damage goes round them.
const char* const SlotFiles[] = {"savegame.save", "Format.dat", "map.dat", "back.dat"};

TEST_F(CorruptionTest, DamagedQuickSaveSlotsLoadOrAreLeftAlone) {
  LoadFreeMap1();
  ASSERT_GT(kw::Map.CellCount(), 1) << "free map 1 did not load: the suite would test nothing";
  kw::P().score = 321;
  kw::SaveGame("");
  std::string originals[4];
  for (int k = 0; k < 4; ++k) originals[k] = TempFolders::Get(Slot() / SlotFiles[k]);
  for (const std::string& o : originals) ASSERT_FALSE(o.empty()) << "the game wrote no slot";
  const int mapW = kw::Map.W, mapH = kw::Map.H;
  // Undamaged, the slot loads back: the harness really reaches the reader.
  kw::P().score = 0;
  QuickLoad();
  ASSERT_EQ(kw::P().score, 321);

  std::mt19937 random(20261208);
  int variants = 0;
  for (int k = 0; k < 4; ++k) {
    for (int v = 0; v < CorruptionCount(8); ++v, ++variants) {
      TempFolders::Put(Slot() / SlotFiles[k], Damage(originals[k], v, random));
      UseEmptyGrids(mapW, mapH);
      auto start = std::chrono::steady_clock::now();
      QuickLoad();
      // Loaded or refused, the grids agree with the record the rules read them by.
      ASSERT_TRUE(kw::MapSizeUsable(kw::Map.W, kw::Map.H)) << SlotFiles[k] << " variant " << v;
      EXPECT_EQ(kw::LightGrid.W, kw::Map.W);
      EXPECT_EQ(kw::LightGrid.H, kw::Map.H);
      EXPECT_EQ(kw::P().mapWidth, kw::Map.W) << SlotFiles[k] << " variant " << v;
      EXPECT_EQ(kw::P().mapHeight, kw::Map.H) << SlotFiles[k] << " variant " << v;
      // Play goes on from the loaded cells and record.
      for (int step = 0; step < 3; ++step) {
        kw::WorldStep(kw::TimeMs() + 20u * unsigned(step + 1));
        kw::DrawWorld();
        kw::DrawHud();
      }
      EXPECT_LT(Since(start), 5.0) << SlotFiles[k] << " variant " << v << " stalled";
    }
    TempFolders::Put(Slot() / SlotFiles[k], originals[k]);
  }
  std::printf("corruption: %d damaged quick-save slots loaded\n", variants);
}

TEST_F(CorruptionTest, DamagedHighscoreFilesReadAsZerosAndDraw) {
  kw::CreateGameLists();
  for (int i = 1; i <= 6; ++i) {
    kw::Highscores[size_t(i)].points = int16_t(1000 - 100 * i);
    kw::Highscores[size_t(i)].name = "Spieler " + std::to_string(i);
  }
  kw::WriteHighscoreFile();
  const std::string original = TempFolders::Get(folder.user / "Saves" / "Savescore.save");
  ASSERT_FALSE(original.empty());
  std::mt19937 random(77);
  for (int v = 0; v < CorruptionCount(40); ++v) {
    std::string damaged = Damage(original, v, random);
    TempFolders::Put(folder.user / "Saves" / "Savescore.save", damaged);
    for (auto& e : kw::Highscores) e = kw::HighscoreEntry{};
    auto start = std::chrono::steady_clock::now();
    kw::ReadHighscoreTable();
    kw::ReadBestScore();
    kw::DrawHighscoreList();
    EXPECT_LT(Since(start), 2.0) << "variant " << v;
    for (int i = 1; i <= 6; ++i) {
      const std::string& name = kw::Highscores[size_t(i)].name;
      EXPECT_EQ(name.find_first_of(std::string("\r\n\0", 3)), std::string::npos) << "variant " << v;
      EXPECT_LE(name.size(), damaged.size());
    }
    // A file cut before an entry leaves that entry at zero.
    if (damaged.empty()) {
      EXPECT_EQ(kw::Highscores[1].points, 0);
    }
  }
}

TEST_F(CorruptionTest, DamagedStoryProgressStartsAMapOrEndsTheStory) {
  for (const char* f : {"map1.map", "map1_Script.ssc", "map1_Script_Map.dat"})
    folder.WriteText(folder.game / "maps" / "Story" / f, ReadShipped(shipped / "maps" / "Story" / f));
  kw::CurrentMap = 0;  // the progress written is the map after the one finished
  kw::GameOver = 0;
  kw::WriteStoryProgress();
  const std::string original = TempFolders::Get(folder.user / "Saves" / "Story.save");
  ASSERT_EQ(original, "1");
  // A story map start as the game makes it from the progress it read.
  auto storyStart = [] {
    kw::ReadStoryProgress();
    kw::SetNewGamePlayer(kw::P());
    kw::StoryMode = 1;
    kw::TimeMatch = 0;
    kw::GameOver = 0;
    kw::CurrentMap = 1;
    kw::LoaderThread(1);
  };
  // A damaged file may not make the start slower than the undamaged one by much (the
  // sanitizer build is many times slower than a plain one, so the limit follows it).
  auto start = std::chrono::steady_clock::now();
  storyStart();
  ASSERT_GT(kw::Map.CellCount(), 1) << "story map 1 did not load: the suite would test nothing";
  const double limit = std::max(5.0, 4 * Since(start));
  std::mt19937 random(5);
  // A map start takes seconds in the sanitizer build: a small count keeps CI quick.
  for (int v = 0; v < CorruptionCount(8); ++v) {
    TempFolders::Put(folder.user / "Saves" / "Story.save", Damage(original, v, random));
    start = std::chrono::steady_clock::now();
    storyStart();
    // Either the saved map exists and loaded, or the story counts as ended.
    EXPECT_TRUE(kw::Map.CellCount() > 0 || kw::GameOver == 1) << "variant " << v;
    EXPECT_LT(Since(start), limit) << "variant " << v;
  }
  kw::StoryMode = 0;
}

TEST_F(CorruptionTest, DamagedSetupIniGivesKeysTheControlsCanAskFor) {
  const std::string original = ReadShipped(shipped / "Setup.ini");
  ASSERT_FALSE(original.empty());
  std::mt19937 random(11);
  for (int v = 0; v < CorruptionCount(40); ++v) {
    TempFolders::Put(folder.user / "Setup.ini", Damage(original, v, random));
    auto start = std::chrono::steady_clock::now();
    kw::ReadSetupIni();
    ASSERT_EQ(kw::KeyBindings.Count(), 1);
    for (int16_t code : kw::KeyBindings.begin()->code) {
      kw::InjectKey(code, true);
      EXPECT_LE(kw::KeyDown(code), 1);
      kw::InjectKey(code, false);
    }
    kw::SetSoundVolume(kw::Snd::Click, kw::Volume);
    kw::PlayerControls();
    EXPECT_LT(Since(start), 2.0) << "variant " << v;
  }
}

TEST_F(CorruptionTest, DamagedCutsceneListsPlayWithinTheirPicture) {
  std::string pack = ReadShipped(shipped / "paks" / "cutscenes.pak");
  ASSERT_FALSE(pack.empty());
  TempFolders::Put(folder.game / "paks" / "cutscenes.pak", pack);
  const std::string original = ReadShipped(shipped / "cutscenes.ini");
  ASSERT_NE(original.find("[aufbruch]"), std::string::npos);
  std::mt19937 random(13);
  // Each variant reads the cutscene pack three times: a smaller count keeps CI quick.
  for (int v = 0; v < CorruptionCount(12); ++v) {
    TempFolders::Put(folder.game / "cutscenes.ini", Damage(original, v, random));
    auto start = std::chrono::steady_clock::now();
    kw::CreateScriptLists();
    for (const char* name : {"aufbruch", "waechter", "finale"}) {
      kw::LoadCutscene(name);
      kw::PlayCutscene(name);
      for (int frame = 0; frame < 3 && kw::CutscenePlaying; ++frame) kw::CutsceneStep();
      kw::ReleaseCutscene(name);
    }
    kw::CutscenePlaying = 0;
    kw::CurrentCutscene = nullptr;
    EXPECT_LT(Since(start), 5.0) << "variant " << v;
  }
}

}  // namespace
