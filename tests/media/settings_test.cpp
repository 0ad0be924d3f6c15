// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Settings files: the line forms, the key and group cursors as the start-up reads
// Setup.ini by position and the cutscenes walk groups, and writing keys back.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "common/temp_folders.h"
#include "media/files.h"
#include "media/textutil.h"

namespace fs = std::filesystem;

namespace {

const char* const SetupKeys[21] = {
    "volumen", "abbruch", "Pause", "Speichern", "Laden", "Neustart", "Bild_hoch",
    "Bild_runter", "Text_minus", "Text_plus", "runter", "hoch", "links", "rechts",
    "sprung", "Schwert", "Kugel", "Zauber1", "Zauber2", "Zauber3", "Zauber4"};

class SettingsTest : public ::testing::Test {
 protected:
  void TearDown() override { kw::CloseSettings(); }
  static void Put(const fs::path& p, const std::string& data) { kwtest::TempFolders::Put(p, data); }
  static std::string Get(const fs::path& p) { return kwtest::TempFolders::Get(p); }

  // The start-up's reading of Setup.ini: the first key, then twenty steps.
  static std::vector<int> ReadByPosition() {
    std::vector<int> values;
    kw::FirstSettingsKey();
    values.push_back(kw::ParseInt(kw::SettingsKeyValue()));
    for (int i = 0; i < 20; ++i) {
      kw::NextSettingsKey();
      values.push_back(kw::ParseInt(kw::SettingsKeyValue()));
    }
    return values;
  }
  static std::string SetupText(int first) {
    std::string text;
    for (int i = 0; i < 21; ++i) text += std::string(SetupKeys[i]) + "=" + std::to_string(first + i) + "\r\n";
    return text;
  }
  kwtest::TempFolders folders{"kw_settings"};
  const fs::path& root = folders.root;
  const fs::path& game = folders.game;
  const fs::path& user = folders.user;
};

TEST_F(SettingsTest, SetupIniIsReadByPosition) {
  Put(game / "Setup.ini", "\xEF\xBB\xBF" + SetupText(100) + "extra=5\r\n");
  ASSERT_EQ(kw::OpenSettings("Setup.ini"), 1);
  std::vector<int> values = ReadByPosition();
  for (int i = 0; i < 21; ++i) EXPECT_EQ(values[size_t(i)], 100 + i) << SetupKeys[i];
  kw::CloseSettings();
  // Nothing changed: nothing written anywhere.
  EXPECT_FALSE(fs::exists(user / "Setup.ini"));
}

TEST_F(SettingsTest, OnlyVolumenRepeatsItsValue) {
  Put(game / "Setup.ini", "volumen=50");
  ASSERT_EQ(kw::OpenSettings("setup.ini"), 1);
  kw::FirstSettingsKey();
  EXPECT_EQ(kw::SettingsKeyValue(), "50");
  EXPECT_EQ(kw::NextSettingsKey(), 0);
  EXPECT_EQ(kw::SettingsKeyValue(), "50");
  kw::CloseSettings();
  ASSERT_EQ(kw::OpenSettings("setup.ini"), 1);
  for (int v : ReadByPosition()) EXPECT_EQ(v, 50);
}

TEST_F(SettingsTest, AHeaderAboveTheKeysShiftsEveryValueByOnePlace) {
  Put(game / "Setup.ini", "[Setup]\r\n" + SetupText(1));
  ASSERT_EQ(kw::OpenSettings("Setup.ini"), 1);
  std::vector<int> values = ReadByPosition();
  EXPECT_EQ(values[0], 0);
  for (int i = 1; i < 21; ++i) EXPECT_EQ(values[size_t(i)], i);
}

TEST_F(SettingsTest, CommentsBlanksAndKeySpelling) {
  Put(game / "a.ini",
      "; a comment\n\n  \t; indented comment\nnot a key line\n  Key One  =   value with blanks \t\n"
      "empty=\nx==y\n");
  ASSERT_EQ(kw::OpenSettings("A.INI"), 1);
  EXPECT_EQ(kw::SettingsKeyValue(), "");  // nothing selected yet
  kw::FirstSettingsKey();
  EXPECT_EQ(kw::SettingsKeyValue(), "value with blanks");
  EXPECT_EQ(kw::ReadSettingsText("key one", "d"), "value with blanks");
  EXPECT_EQ(kw::ReadSettingsText("Key One  ", "d"), "d");
  EXPECT_EQ(kw::NextSettingsKey(), 1);
  EXPECT_EQ(kw::SettingsKeyValue(), "");
  EXPECT_EQ(kw::NextSettingsKey(), 1);
  EXPECT_EQ(kw::SettingsKeyValue(), "=y");  // the key ends at the first "="
  EXPECT_EQ(kw::ReadSettingsText("x", ""), "=y");
  EXPECT_EQ(kw::NextSettingsKey(), 0);
  EXPECT_EQ(kw::SettingsKeyValue(), "=y");
  EXPECT_EQ(kw::ReadSettingsNumber("missing", -1), -1);
  EXPECT_EQ(kw::ReadSettingsNumber("empty", -1), 0);
  EXPECT_EQ(kw::OpenSettings("missing.ini"), 0);
  EXPECT_EQ(kw::SettingsKeyValue(), "");
  EXPECT_EQ(kw::ReadSettingsNumber("x", 7), 7);
}

TEST_F(SettingsTest, GroupsAreWalkedInOrderAndStayAtTheLast) {
  Put(game / "cutscenes.ini",
      "top=1\r\n[intro]\r\nPicture=2\r\nFrames = 3\r\nText= Hallo\\Welt \r\n"
      "; between\r\n  [ende]\r\nsound=4\r\nPICTURE=5\r\n");
  ASSERT_EQ(kw::OpenSettings("cutscenes.ini"), 1);
  EXPECT_EQ(kw::SettingsGroupName(), "");
  EXPECT_EQ(kw::ReadSettingsNumber("top", 0), 1);  // before the first group
  EXPECT_EQ(kw::ReadSettingsNumber("Picture", 0), 0);
  ASSERT_EQ(kw::NextSettingsGroup(), 1);
  EXPECT_EQ(kw::SettingsGroupName(), "intro");
  EXPECT_EQ(kw::ReadSettingsNumber("picture", 0), 2);
  EXPECT_EQ(kw::ReadSettingsNumber("Frames", 0), 3);
  EXPECT_EQ(kw::ReadSettingsNumber("Sound", -1), -1);  // belongs to the next group
  EXPECT_EQ(kw::ReadSettingsText("Text", ""), "Hallo\\Welt");
  kw::FirstSettingsKey();
  EXPECT_EQ(kw::SettingsKeyValue(), "2");
  EXPECT_EQ(kw::NextSettingsKey(), 1);
  EXPECT_EQ(kw::NextSettingsKey(), 1);
  EXPECT_EQ(kw::NextSettingsKey(), 0);  // stops at [ende]
  EXPECT_EQ(kw::SettingsKeyValue(), "Hallo\\Welt");
  ASSERT_EQ(kw::NextSettingsGroup(), 1);
  EXPECT_EQ(kw::SettingsGroupName(), "ende");
  EXPECT_EQ(kw::NextSettingsGroup(), 0);
  EXPECT_EQ(kw::SettingsGroupName(), "ende");
  EXPECT_EQ(kw::ReadSettingsNumber("Picture", 0), 5);
  EXPECT_EQ(kw::ReadSettingsNumber("Sound", -1), 4);
}

TEST_F(SettingsTest, WritingKeepsOtherLinesAndGoesToTheUserFolder) {
  std::string original = "; Klingenwald\nvolumen = 50\r\nabbruch=1\r\n\r\n[other]\r\nvolumen=9";
  Put(game / "Setup.ini", original);
  ASSERT_EQ(kw::OpenSettings("Setup.ini"), 1);
  kw::WriteSettingsKey("VOLUMEN", "70");
  kw::WriteSettingsKey("abbruch", "1");  // same value: no change by itself
  kw::WriteSettingsKey("Pause", "25");
  kw::CloseSettings();
  EXPECT_EQ(Get(game / "Setup.ini"), original);
  EXPECT_EQ(Get(user / "Setup.ini"),
            "; Klingenwald\nvolumen = 70\r\nabbruch=1\r\nPause=25\r\n\r\n[other]\r\nvolumen=9");
  // Now read from the user folder; a key added to the last group, which lacked a line end.
  ASSERT_EQ(kw::OpenSettings("Setup.ini"), 1);
  ASSERT_EQ(kw::NextSettingsGroup(), 1);
  kw::WriteSettingsKey("neu", "1");
  EXPECT_EQ(kw::ReadSettingsNumber("neu", 0), 1);
  kw::CloseSettings();
  EXPECT_EQ(Get(user / "Setup.ini"),
            "; Klingenwald\nvolumen = 70\r\nabbruch=1\r\nPause=25\r\n\r\n[other]\r\nvolumen=9\r\nneu=1\r\n");
  for (const auto& e : fs::directory_iterator(user))
    EXPECT_EQ(e.path().filename(), "Setup.ini");
}

TEST_F(SettingsTest, UnchangedFilesAreNotWrittenAndTheBomIsKept) {
  Put(user / "Setup.ini", "\xEF\xBB\xBFvolumen=10\r\n");
  auto before = fs::last_write_time(user / "Setup.ini");
  ASSERT_EQ(kw::OpenSettings("Setup.ini"), 1);
  kw::WriteSettingsKey("volumen", "10");
  kw::CloseSettings();
  EXPECT_EQ(fs::last_write_time(user / "Setup.ini"), before);
  ASSERT_EQ(kw::OpenSettings("Setup.ini"), 1);
  kw::FirstSettingsKey();
  kw::WriteSettingsKey("volumen", "11");
  EXPECT_EQ(kw::SettingsKeyValue(), "11");
  kw::CloseSettings();
  EXPECT_EQ(Get(user / "Setup.ini"), "\xEF\xBB\xBFvolumen=11\r\n");
}

TEST_F(SettingsTest, TheOptionsScreenRewriteKeepsThePositions) {
  Put(game / "Setup.ini", SetupText(0));
  ASSERT_EQ(kw::OpenSettings("Setup.ini"), 1);
  for (int i = 0; i < 21; ++i) kw::WriteSettingsKey(SetupKeys[i], std::to_string(200 + i));
  kw::CloseSettings();
  ASSERT_EQ(kw::OpenSettings("Setup.ini"), 1);
  std::vector<int> values = ReadByPosition();
  for (int i = 0; i < 21; ++i) EXPECT_EQ(values[size_t(i)], 200 + i);
}

TEST_F(SettingsTest, GameFolderFilesAreNeverWritten) {
  Put(game / "cutscenes.ini", "[a]\r\nx=1\r\n");
  ASSERT_EQ(kw::OpenSettings("cutscenes.ini"), 1);
  kw::NextSettingsGroup();
  kw::WriteSettingsKey("x", "2");
  kw::CloseSettings();
  EXPECT_EQ(Get(game / "cutscenes.ini"), "[a]\r\nx=1\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(user), fs::directory_iterator()), 0);
}

}  // namespace
