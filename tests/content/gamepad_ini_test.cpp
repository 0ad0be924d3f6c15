// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Gamepad.ini: the pad input of each action in the user folder, written with the
// defaults when missing, read back line by line, and what the pad then presses.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/temp_folders.h"
#include "content/content.h"
#include "media/media.h"

namespace fs = std::filesystem;

namespace {

class GamepadIniTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < kw::PadInputCount; ++i) saved_[i] = kw::GamepadKey(i);
    kw::ResetContentRun();
  }
  void TearDown() override {
    for (int i = 0; i < kw::PadInputCount; ++i) kw::SetGamepadKey(i, saved_[i]);
    kw::SetDefaultPadBindings();
  }
  fs::path File() const { return folders.user / "Gamepad.ini"; }
  int Binding(int action) const { return kw::PadBindings[size_t(action)]; }

  kwtest::TempFolders folders{"kw_padini"};
  int saved_[kw::PadInputCount];
};

TEST_F(GamepadIniTest, MissingFileIsWrittenWithTheDefaultsAndReadsBackTheSame) {
  ASSERT_FALSE(fs::exists(File()));
  kw::ReadGamepadIni();
  ASSERT_TRUE(fs::exists(File()));
  std::string text = kwtest::TempFolders::Get(File());
  EXPECT_NE(text.find("sprung=a\r\n"), std::string::npos);
  EXPECT_NE(text.find("Eingang=y\r\n"), std::string::npos);
  EXPECT_NE(text.find("Bild_hoch=-righty\r\n"), std::string::npos);
  // Nothing goes into the game folder, which the game never writes.
  EXPECT_FALSE(fs::exists(folders.game / "Gamepad.ini"));
  // Every action has its own input, and reading the written file changes nothing.
  std::array<int32_t, kw::PadActionCount> first = kw::PadBindings;
  std::array<bool, kw::PadInputCount> used{};
  for (int a = 0; a < kw::PadActionCount; ++a) {
    ASSERT_GE(first[size_t(a)], 0) << a;
    EXPECT_FALSE(used[size_t(first[size_t(a)])]) << "input used twice, action " << a;
    used[size_t(first[size_t(a)])] = true;
  }
  kw::PadBindings.fill(-1);
  kw::ReadGamepadIni();
  EXPECT_EQ(kw::PadBindings, first);
  EXPECT_EQ(kwtest::TempFolders::Get(File()), text);
}

TEST_F(GamepadIniTest, PlayerLinesWinAndDamagedLinesFallBackOneByOne) {
  kwtest::TempFolders::Put(File(),
                           "; mine\n"
                           "sprung = B\n"           // any case, blanks around '='
                           "Schwert=a\n"            // swapped with the jump
                           "Kugel=nonsense\n"       // unreadable: keeps x
                           "Zauber1=a\n"            // a taken already: keeps its default
                           "Pause=-\n"              // deliberately none
                           "Eingang=\xff\xfe\n"     // bytes: keeps y
                           "rechts\n");             // no '=': keeps dpright
  kw::ReadGamepadIni();
  EXPECT_EQ(Binding(kw::Bind::Jump), kw::PadB);
  EXPECT_EQ(Binding(kw::Bind::Sword), kw::PadA);
  EXPECT_EQ(Binding(kw::Bind::Throw), kw::PadX);
  EXPECT_EQ(Binding(kw::Bind::Spell1), kw::PadLeftShoulder);
  EXPECT_EQ(Binding(kw::Bind::Pause), -1);
  EXPECT_EQ(Binding(kw::PadActionDoor), kw::PadY);
  EXPECT_EQ(Binding(kw::Bind::Right), kw::PadRight);
  EXPECT_EQ(Binding(kw::Bind::Cancel), kw::PadStart);  // a missing line keeps its default
  // A damaged file is the player's to mend: it is not overwritten.
  EXPECT_NE(kwtest::TempFolders::Get(File()).find("nonsense"), std::string::npos);
}

TEST_F(GamepadIniTest, AMissingLineLosesADefaultAnotherLineClaimed) {
  // sword on y: the doors, whose line is missing, cannot have y as well.
  kwtest::TempFolders::Put(File(), "Schwert=y\n");
  kw::ReadGamepadIni();
  EXPECT_EQ(Binding(kw::Bind::Sword), kw::PadY);
  EXPECT_EQ(Binding(kw::PadActionDoor), -1);
  EXPECT_EQ(Binding(kw::Bind::Jump), kw::PadA);
}

TEST_F(GamepadIniTest, OversizedOrUnreadableFilesKeepTheDefaults) {
  kwtest::TempFolders::Put(File(), "sprung=b\n" + std::string(200000, 'x'));
  kw::ReadGamepadIni();
  EXPECT_EQ(Binding(kw::Bind::Jump), kw::PadA);
  fs::remove(File());
  fs::create_directories(File());  // a folder in the file's place
  kw::ReadGamepadIni();
  EXPECT_EQ(Binding(kw::Bind::Jump), kw::PadA);
  EXPECT_TRUE(fs::is_directory(File()));
}

TEST_F(GamepadIniTest, ThePadPressesTheKeysOfTheActionsItsInputsAreBoundTo) {
  kwtest::TempFolders::Put(File(), "sprung=rightshoulder\nZauber2=-\nEingang=a\n");
  kw::ReadGamepadIni();
  kw::KeyBindingRecord keys{};
  for (int a = 0; a < kw::Bind::Count; ++a) keys.code[a] = int16_t(100 + a);
  kw::BindGamepadToKeys(keys);
  EXPECT_EQ(kw::GamepadKey(kw::PadRightShoulder), 100 + kw::Bind::Jump);
  EXPECT_EQ(kw::GamepadKey(kw::PadA), kw::Key::Return);
  EXPECT_EQ(kw::GamepadKey(kw::PadY), 0);  // the doors moved away and nothing took y
  EXPECT_EQ(kw::GamepadKey(kw::PadB), 100 + kw::Bind::Sword);
  EXPECT_EQ(kw::GamepadKey(kw::PadRightDown), 100 + kw::Bind::PageDown);
  EXPECT_EQ(kw::GamepadKey(kw::PadLeftTrigger), 100 + kw::Bind::Spell3);
}

TEST_F(GamepadIniTest, PadInputNamesRoundTrip) {
  for (int i = 0; i < kw::PadInputCount; ++i) {
    std::string name = kw::PadInputName(i);
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(kw::PadInputOfName(name), i) << name;
  }
  EXPECT_EQ(kw::PadInputOfName("DPUP"), kw::PadUp);
  EXPECT_EQ(kw::PadInputOfName(""), -1);
  EXPECT_EQ(kw::PadInputOfName("righty"), -1);
  EXPECT_STREQ(kw::PadInputName(-1), "");
  EXPECT_STREQ(kw::PadInputName(kw::PadInputCount), "");
}

}  // namespace
