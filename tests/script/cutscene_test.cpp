// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Cutscenes: loading by name from cutscenes.ini and the entry pairs of cutscenes.pak,
// playing, the frame count, the text lines, Return, and freeing what a cutscene loaded.
#include "media/input_internal.h"
#include "script_fixture.h"

namespace {

using kwtest::Argb;
using kwtest::Bytes;
using kwtest::ScriptTest;

constexpr uint32_t FrameColour(int pair, int frame) { return Argb(pair * 40 + 10, frame * 50 + 5, 77); }

// A strip of frames + 1 frames of 640 x 480, each one flat colour.
Bytes Strip(int pair, int frames) {
  return kwtest::Png(640, 480 * (frames + 1), [pair](int, int y) { return FrameColour(pair, y / 480); });
}

class CutsceneTest : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    kw::SetBlitTarget(-1);
    WriteIni("[erste]\nPicture=0\nFrames=0\n\n"
             "[szene]\nPicture=1\nFrames=3\nSound=1\nText= Hallo\\Welt \nColor=16777215\n\n"
             "[Gross]\nPicture=0\n\n"
             "[letzte]\nPicture=2\nFrames=1\nText=Ende\n");
    kwtest::WritePack(folder.game / "paks" / "cutscenes.pak",
                      {Strip(0, 0), kwtest::Wav(), Strip(1, 3), kwtest::Wav(), Strip(2, 1)});
  }
  void WriteIni(const std::string& text) { folder.WriteText(folder.game / "cutscenes.ini", text); }

  // The colour of the strip frame the cutscene's picture is clipped to now.
  static uint32_t ShownFrame(const kw::Cutscene& c) {
    kw::ClearBackBuffer(0);
    kw::DrawSprite(c.picture, 0, 0);
    return kwtest::Pixel(320, 240);
  }
  // Whether a row band of the back buffer holds white text pixels.
  static bool WhiteIn(int fromY, int toY) {
    for (int y = fromY; y < toY; ++y)
      for (int x = 0; x < 200; ++x)
        if ((kwtest::Pixel(x, y) & 0xFFFFFF) == 0xFFFFFF) return true;
    return false;
  }
  static void PressReturn(bool down) { kw::InjectKey(28, down); }
  // Entries holding a sound: every one of them was started by the play that loaded it.
  static int LoadedSounds() {
    int n = 0;
    for (const kw::Cutscene& c : kw::Cutscenes) n += c.sound > 0 && kw::SoundLoaded(c.sound) == 1 ? 1 : 0;
    return n;
  }
};

TEST_F(CutsceneTest, LoadReadsTheGroupAndTheEntryPair) {
  kw::LoadCutscene("szene");
  ASSERT_EQ(kw::Cutscenes.Count(), 1);
  const kw::Cutscene& c = *kw::Cutscenes.begin();
  EXPECT_EQ(c.name, "szene");
  EXPECT_EQ(c.frames, 3);
  EXPECT_EQ(c.text, "Hallo\\Welt");
  EXPECT_EQ(c.color, 16777215);
  ASSERT_GT(c.picture, 0);
  EXPECT_EQ(kw::SpriteHeight(c.picture), 4 * 480);
  EXPECT_GT(c.sound, 0);
  EXPECT_EQ(kw::SoundLoaded(c.sound), 1);
  EXPECT_EQ(kw::CutscenePlaying, 0);
}

TEST_F(CutsceneTest, AGroupIsFoundOnlyByItsExactNameElseTheLastGroupIsRead) {
  kw::LoadCutscene("gross");  // script names are lower case: "Gross" is never found
  kw::LoadCutscene("erste");
  auto it = kw::Cutscenes.begin();
  EXPECT_EQ(it->name, "gross");
  EXPECT_EQ(it->text, "Ende");
  EXPECT_EQ(it->frames, 1);
  EXPECT_EQ(kw::SpriteHeight(it->picture), 2 * 480);
  EXPECT_EQ(it->sound, -1);  // "letzte" has no sound
  ++it;
  EXPECT_EQ(it->frames, 0);
  EXPECT_EQ(it->text, "");
  EXPECT_EQ(it->color, 0);
}

TEST_F(CutsceneTest, FramesCountOnAcrossCutscenesAndTextIsDrawnLineByLine) {
  kw::LoadCutscene("szene");
  kw::PlayCutscene("szene");
  ASSERT_EQ(kw::CutscenePlaying, 1);
  const kw::Cutscene& c = *kw::CurrentCutscene;
  std::vector<int> frames;
  for (int i = 0; i < 6; ++i) {
    kw::CutsceneStep();
    frames.push_back(kw::CutsceneFrame);
    EXPECT_EQ(ShownFrame(c), FrameColour(1, kw::CutsceneFrame));
  }
  EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 0, 1, 2}));
  kw::ClearBackBuffer(0);
  kw::DrawCutsceneFrame(c);
  EXPECT_TRUE(WhiteIn(10, 30));
  EXPECT_TRUE(WhiteIn(30, 50));
  EXPECT_FALSE(WhiteIn(50, 90));
  // A second cutscene continues the count; with Frames = 1 it wraps at 1.
  kw::LoadCutscene("letzte");
  kw::PlayCutscene("letzte");
  kw::CutsceneStep();
  EXPECT_EQ(kw::CutsceneFrame, 0);
  kw::CutsceneStep();
  EXPECT_EQ(kw::CutsceneFrame, 1);
}

TEST_F(CutsceneTest, ReturnEndsAfterDrawingAndFreesWhatWasLoaded) {
  kw::LoadCutscene("szene");
  kw::PlayCutscene("szene");
  kw::Cutscene& c = *kw::CurrentCutscene;
  int picture = c.picture, sound = c.sound;
  PressReturn(true);
  kw::CutsceneStep();
  PressReturn(false);
  EXPECT_EQ(kw::CutscenePlaying, 0);
  EXPECT_EQ(kw::CutsceneFrame, 1);  // the pass still ran
  EXPECT_EQ(kw::SpriteExists(picture), 0);
  EXPECT_EQ(kw::SoundLoaded(sound), 0);
  EXPECT_EQ(c.picture, 0);
  EXPECT_EQ(c.sound, -1);
  // Played again, it loads its entries anew.
  kw::PlayCutscene("szene");
  EXPECT_EQ(kw::CutscenePlaying, 1);
  ASSERT_GT(c.picture, 0);
  EXPECT_EQ(kw::SpriteHeight(c.picture), 4 * 480);
  EXPECT_GT(c.sound, 0);
}

TEST_F(CutsceneTest, LoadingAndPlayingAgainAndAgainDoesNotGrowTheTables) {
  std::vector<int> pictures;
  for (int i = 0; i < 12; ++i) {
    kw::LoadCutscene("szene");
    kw::PlayCutscene("szene");
    EXPECT_EQ(LoadedSounds(), 1);  // the entry just loaded; the freed ones stay freed
    pictures.push_back(kw::CurrentCutscene->picture);
    PressReturn(true);
    kw::CutsceneStep();
    PressReturn(false);
  }
  EXPECT_EQ(kw::Cutscenes.Count(), 12);  // the list only grows, but holds no pictures
  for (int p : pictures) EXPECT_EQ(p, pictures[0]);  // the same free number every time
  for (const kw::Cutscene& c : kw::Cutscenes) EXPECT_EQ(c.picture, 0);
}

// Both entries of a name loaded twice start their sound (every entry with a sound is
// started), and a later play of it starts both again, as the first play did.
TEST_F(CutsceneTest, TheSameNameTwiceStartsBothAndShowsTheLast) {
  kw::LoadCutscene("szene");
  kw::LoadCutscene("szene");
  for (int play = 1; play <= 3; ++play) {
    kw::PlayCutscene("szene");
    EXPECT_EQ(kw::CurrentCutscene, &*std::next(kw::Cutscenes.begin()));
    EXPECT_NE(kw::Cutscenes.begin()->sound, kw::CurrentCutscene->sound);
    EXPECT_EQ(LoadedSounds(), 2) << "play " << play;
    PressReturn(true);
    kw::CutsceneStep();
    PressReturn(false);
    EXPECT_EQ(LoadedSounds(), 0) << "play " << play;
  }
  kw::PlayCutscene("nie");  // a name not loaded changes nothing
  EXPECT_EQ(kw::CurrentCutscene, &*std::next(kw::Cutscenes.begin()));
}

TEST_F(CutsceneTest, MissingFilesLeaveNothingOrAnEmptyPicture) {
  kw::PlayCutscene("szene");
  EXPECT_EQ(kw::CutscenePlaying, 0);
  std::error_code ec;
  std::filesystem::remove(folder.game / "paks" / "cutscenes.pak", ec);
  kw::LoadCutscene("szene");
  ASSERT_EQ(kw::Cutscenes.Count(), 1);
  EXPECT_EQ(kw::Cutscenes.begin()->picture, 0);
  EXPECT_EQ(kw::Cutscenes.begin()->sound, -1);
  kw::PlayCutscene("szene");
  kw::CutsceneStep();  // text over black
  std::filesystem::remove(folder.game / "cutscenes.ini", ec);
  kw::LoadCutscene("letzte");
  EXPECT_EQ(kw::Cutscenes.Count(), 1);
}

TEST_F(CutsceneTest, HostileNumbersNeitherHangNorCrash) {
  WriteIni("[a]\nPicture=2147483647\nFrames=2147483647\nSound=5\n"
           "[b]\nPicture=-3\nFrames=-9\nText=" + std::string(5000, '\\') + "\n");
  kw::LoadCutscene("a");
  EXPECT_EQ(kw::Cutscenes.begin()->picture, 0);
  EXPECT_EQ(kw::Cutscenes.begin()->sound, -1);
  kw::PlayCutscene("a");
  kw::CutsceneFrame = 2147483646;
  kw::CutsceneStep();
  kw::CutsceneStep();
  EXPECT_EQ(kw::CutsceneFrame, 0);
  kw::LoadCutscene("b");
  EXPECT_GT(kw::CurrentCutscene->frames, 0);
  kw::PlayCutscene("b");
  EXPECT_GT(kw::CurrentCutscene->picture, 0);  // a negative number reads the first pair
  kw::CutsceneStep();
  EXPECT_EQ(kw::CutsceneFrame, 0);
}

TEST_F(CutsceneTest, ScriptCommandsLoadAndPlay) {
  RunMain("loadcutscene(szene)\nunloadcutscene(szene)\n");
  EXPECT_EQ(kw::CutscenePlaying, 1);
  ASSERT_NE(kw::CurrentCutscene, nullptr);
  EXPECT_EQ(kw::CurrentCutscene->name, "szene");
}

}  // namespace
