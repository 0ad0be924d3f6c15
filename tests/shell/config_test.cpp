// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Configuration: the lists' start contents, Setup.ini by position and Gegner.ini.
#include "../content/test_data.h"

using namespace kwtest;

namespace {

class ConfigTest : public GameTest {
 protected:
  const kw::KeyBindingRecord& Keys() { return *kw::KeyBindings.begin(); }
  std::string SetupWith(const std::string& head, int volume) {
    std::string s = head + "volumen=" + std::to_string(volume) + "\r\n";
    for (int i = 0; i < kw::KeyBindingCount; ++i)
      s += std::string(kw::KeyBindingNames[i]) + "=" + std::to_string(i + 1) + "\r\n";
    return s + "extra=99\r\n";
  }
};

TEST_F(ConfigTest, ListsStartWithTheirContents) {
  ASSERT_EQ(kw::Items.Count(), 3);
  EXPECT_EQ(kw::Items.Index(), 0);
  EXPECT_EQ(kw::Items.Current()->weaponName, "Default");
  EXPECT_EQ(kw::Items.Current()->throws, 20);
  auto feuer = std::next(kw::Items.begin(), 2);
  EXPECT_EQ(feuer->weaponName, "Feueraxt");
  EXPECT_EQ(feuer->recoil, 4.0f);
  EXPECT_EQ(feuer->iconSprite, 443);
  EXPECT_EQ(feuer->weaponSprite, 328);
  EXPECT_EQ(kw::Sliders.Count(), 1);
  EXPECT_EQ(kw::Player.Count(), 1);
  EXPECT_EQ(kw::KeyBindings.Count(), 1);
  EXPECT_EQ(kw::Inventory[0].sprite, 0);
  EXPECT_EQ(kw::Inventory[1].itemName, "Leer");
  EXPECT_EQ(kw::Inventory[12].price, 99999999);
  EXPECT_EQ(kw::Inventory[13].itemName, "");
  EXPECT_EQ(kw::ActiveCols, 13);
  EXPECT_EQ(kw::ActiveRows, 13);
}

TEST_F(ConfigTest, SetupIniIsReadByPosition) {
  folder.WriteText(folder.game / "Setup.ini", SetupWith("", 70));
  kw::ReadSetupIni();
  EXPECT_EQ(kw::Volume, 70);
  for (int i = 0; i < kw::KeyBindingCount; ++i) EXPECT_EQ(Keys().code[i], i + 1) << i;
  // The user folder's Setup.ini wins over the game folder's.
  folder.WriteText(folder.user / "Setup.ini", SetupWith("", 30));
  kw::ReadSetupIni();
  EXPECT_EQ(kw::Volume, 30);
}

TEST_F(ConfigTest, SetupIniOddShapes) {
  // Only "volumen": every key binding reads its value again.
  folder.WriteText(folder.user / "Setup.ini", "volumen=50\r\n");
  kw::ReadSetupIni();
  EXPECT_EQ(kw::Volume, 50);
  for (int i = 0; i < kw::KeyBindingCount; ++i) EXPECT_EQ(Keys().code[i], 50) << i;
  // Missing file: volume and keys stay as they were at the start (0).
  std::filesystem::remove(folder.user / "Setup.ini");
  kw::SetStartValues();
  kw::CreateGameLists();
  kw::ReadSetupIni();
  EXPECT_EQ(kw::Volume, 0);
  EXPECT_EQ(Keys().code[5], 0);
  // Not a number reads as 0.
  folder.WriteText(folder.user / "Setup.ini", "volumen=laut\r\nabbruch=1\r\n");
  kw::ReadSetupIni();
  EXPECT_EQ(kw::Volume, 0);
  EXPECT_EQ(Keys().code[0], 1);
}

TEST_F(ConfigTest, SetupIniGroupHeaderShiftsEveryValue) {
  folder.WriteText(folder.user / "Setup.ini", SetupWith("[Einstellungen]\r\n", 70));
  kw::ReadSetupIni();
  // The header takes the first place: the volume reads 0 and each key gets the value of
  // the line above it.
  EXPECT_EQ(kw::Volume, 0);
  EXPECT_EQ(Keys().code[0], 70);
  EXPECT_EQ(Keys().code[1], 1);
  EXPECT_EQ(Keys().code[19], 19);
}

TEST_F(ConfigTest, GegnerIniEntries) {
  std::string entry7 = "[7]\r\n4\r\n500\r\n1\r\nSchattenf\xfcrst\r\n11\r\n0\r\n80\r\n60\r\n2\r\n7\r\n20\r\n1\r\n--\r\n";
  std::string entry8 = "8\r\n-1\r\n10\r\n0\r\nWicht\r\n0\r\n3\r\n57\r\n38\r\n0\r\n0\r\n3\r\n2\r\n--\r\n";
  folder.WriteText(folder.game / "Gegner.ini", entry7 + entry8);
  kw::ReadEnemyTypes();
  ASSERT_EQ(kw::EnemyTypes.Count(), 2);
  const kw::EnemyType& a = *kw::EnemyTypes.begin();
  EXPECT_EQ(a.typeId, 7);
  EXPECT_EQ(a.nextType, 4);
  EXPECT_EQ(a.points, 500);
  EXPECT_EQ(a.isBoss, 1);
  EXPECT_EQ(a.typeName, "Schattenf\xfcrst");
  EXPECT_EQ(a.keptValue, 11);
  EXPECT_EQ(a.moveKind, 0);
  EXPECT_EQ(a.frameHeight, 80);
  EXPECT_EQ(a.frameWidth, 60);
  EXPECT_EQ(a.baseColumn, 2);
  EXPECT_EQ(a.spriteOffset, 7);
  EXPECT_EQ(a.hitPoints, 20);
  EXPECT_EQ(a.speed, 1);
  const kw::EnemyType& b = *std::next(kw::EnemyTypes.begin());
  EXPECT_EQ(b.typeId, 8);
  EXPECT_EQ(b.moveKind, 3);
}

TEST_F(ConfigTest, GegnerIniGarbageEmptyAndMissing) {
  folder.WriteText(folder.game / "Gegner.ini", "Unsinn\r\n[x]\r\nzehn\r\n");
  kw::ReadEnemyTypes();
  ASSERT_EQ(kw::EnemyTypes.Count(), 1);
  EXPECT_EQ(kw::EnemyTypes.begin()->typeId, 0);
  EXPECT_EQ(kw::EnemyTypes.begin()->points, 0);
  folder.WriteText(folder.game / "Gegner.ini", "");
  kw::ReadEnemyTypes();
  EXPECT_EQ(kw::EnemyTypes.Count(), 1);
  std::filesystem::remove(folder.game / "Gegner.ini");
  kw::ReadEnemyTypes();
  ASSERT_EQ(kw::EnemyTypes.Count(), 1);
  EXPECT_EQ(kw::EnemyTypes.begin()->typeName, "");
  EXPECT_EQ(kw::EnemyTypes.begin()->hitPoints, 0);
  EXPECT_FALSE(std::filesystem::exists(folder.game / "Gegner.ini"));
  EXPECT_FALSE(std::filesystem::exists(folder.user / "Gegner.ini"));
}

// The window carries the game's name, in a window and in full screen alike.
TEST_F(ConfigTest, TheDisplayIsNamedAfterTheGame) {
  for (int16_t windowed : {1, 0}) {
    kw::WindowedMode = windowed;
    kw::OpenGameDisplay();
    EXPECT_EQ(kw::WindowTitle(), "Klingenwald") << windowed;
  }
  kw::WindowedMode = 0;
}

}  // namespace
