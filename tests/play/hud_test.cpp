// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The heads-up display read back from the back buffer: pips, ammunition, digits and the
// separator, the boss line and its visible marks, the top texts and the small map.
#include <string>

#include "common/contrast.h"
#include "play/play_fixture.h"

namespace kwtest {
namespace {

constexpr uint32_t PanelColour = 0xFF303030u;
constexpr uint32_t Background = 0xFF123456u;
constexpr uint32_t SmallDigit(int d) { return 0xFF00A000u + uint32_t(d); }
constexpr uint32_t LargeDigit(int d) { return 0xFFA00000u + uint32_t(d); }

class HudTest : public CombatTest {
 protected:
  void SetUp() override {
    CombatTest::SetUp();
    FillSprite(407, 640, 59, [](int, int) { return PanelColour; });
    FillSprite(444, 10, 10, [](int, int) { return Red; });
    FillSprite(445, 10, 10, [](int, int) { return Blue; });
    FillSprite(413, 100, 7, [](int, int) { return Green; });
    FillSprite(424, 3, 7, [](int, int) { return White; });
    FillSprite(600, 10, 10, [](int, int) { return White; });
    for (int d = 0; d < 10; ++d) {
      FillSprite(414 + d, 5, 7, [d](int, int) { return SmallDigit(d); });
      FillSprite(446 + d, 8, 10, [d](int, int) { return LargeDigit(d); });
    }
    kw::LoadFontFace(1, "Argor Flahm Scaqh", 10, kw::FontItalic | kw::FontHighQuality);
    kw::Item& item = HoldWeapon("Default", 10);
    item.iconSprite = 600;
    kw::MapRequest = 0;
    kw::HudVisible = 1;
    kw::BestScore = "";
    p().keyTime = 0;
    p().posY = 0;
  }
  // Draws the HUD over a plain background.
  void Draw() {
    kw::ClearBackBuffer(kw::Rgb(0x12, 0x34, 0x56));
    kw::DrawHud();
  }
  // Pips of a row: how many of the first n places show colour.
  int Pips(int n, int y, uint32_t colour, double x0, double step) {
    int count = 0;
    for (int i = 0; i < n; ++i) count += Screen(kw::Nearest(x0 + step * i), y) == colour;
    return count;
  }
  // Pixels of a rectangle with ink on them: neither the background nor the text box.
  int Ink(int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += Screen(x, y) != Background && Screen(x, y) != Black;
    return n;
  }
  // Pixels of a rectangle equal to a colour.
  int Count(int x0, int y0, int x1, int y1, uint32_t colour) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += Screen(x, y) == colour;
    return n;
  }
};

TEST_F(HudTest, HealthAndManaPipsRoundToTheNearestEven) {
  struct Case { float health, mana; int healthPips, manaPips; };
  const Case cases[] = {
      {500, 100, 10, 7}, {250, 50, 5, 3}, {25, 0, 1, 0}, {0, 14.3f, 0, 1}, {-30, -5, 0, 0}};
  for (const Case& c : cases) {
    p().health = c.health;
    p().mana = c.mana;
    Draw();
    EXPECT_EQ(Pips(12, 425, Red, 427, 20), c.healthPips) << c.health;
    EXPECT_EQ(Pips(9, 451, Blue, 457, 20.5), c.manaPips) << c.mana;
  }
  // Before a game sets the cap (start-up health 5000, cap 0) the bar is simply full.
  kw::MaxHealth = 0;
  p().health = 5000;
  Draw();
  EXPECT_EQ(Pips(12, 425, Red, 427, 20), 10);
}

TEST_F(HudTest, ScoreSeparatorBestScoreMapAndKeyTime) {
  p().score = 0;
  Draw();
  EXPECT_EQ(Screen(244, 455), SmallDigit(0));
  EXPECT_EQ(Screen(257, 455), White);  // nearest(244 + 12.6)
  p().score = 123;
  kw::BestScore = "45";
  kw::CurrentMap = 7;
  p().keyTime = 30;
  Draw();
  EXPECT_EQ(Screen(244, 455), SmallDigit(1));
  EXPECT_EQ(Screen(251, 455), SmallDigit(2));  // 250.6
  EXPECT_EQ(Screen(257, 455), SmallDigit(3));  // 256.9
  EXPECT_EQ(Screen(269, 455), White);          // 244 + 6.3 * 4 = 269.2
  EXPECT_EQ(Screen(274, 455), SmallDigit(4));  // 243 + 5.7 + 25.2 = 273.9
  EXPECT_EQ(Screen(280, 455), SmallDigit(5));  // 279.6
  EXPECT_EQ(Screen(276, 435), SmallDigit(7));  // 270 + 5.7
  EXPECT_EQ(Screen(366, 441), LargeDigit(3));  // 355 + 11.4
  EXPECT_EQ(Screen(378, 441), LargeDigit(0));  // 377.8
  // A time match shows its time instead of the key's.
  kw::TimeMatch = 1;
  p().timeValue = 95;
  Draw();
  EXPECT_EQ(Screen(366, 441), LargeDigit(9));
  EXPECT_EQ(Screen(378, 441), LargeDigit(5));
  // A negative score's minus shows as a 0.
  p().score = -5;
  Draw();
  EXPECT_EQ(Screen(244, 455), SmallDigit(0));
  EXPECT_EQ(Screen(251, 455), SmallDigit(5));
}

TEST_F(HudTest, AmmunitionStripIconAndTheThrowsCap) {
  Draw();
  EXPECT_EQ(Screen(33, 425), White);
  EXPECT_EQ(Count(5, 468, 120, 469, Green), 10);
  kw::Items.Current()->throws = 150;
  Draw();
  EXPECT_EQ(kw::Items.Current()->throws, 97);
  EXPECT_EQ(Count(5, 468, 120, 469, Green), 100);  // drawn before the cap, as wide as the strip
  Draw();
  EXPECT_EQ(Count(5, 468, 120, 469, Green), 97);
}

TEST_F(HudTest, AHiddenPanelStillShowsTheMessageAndTheSmallMap) {
  kw::HudVisible = 0;
  p().message = "Hallo";
  kw::MapRequest = 1;
  Draw();
  EXPECT_EQ(Screen(0, 430), Background);
  EXPECT_EQ(Screen(244, 455), Background);
  EXPECT_GT(Ink(25, 12, 120, 32), 10);
  EXPECT_EQ(Screen(121, 433), Black);  // cell (1, 1) is air
  EXPECT_EQ(kw::MapRequest, 0);
}

TEST_F(HudTest, SmallMapColoursByTile) {
  kw::Map.At(2, 1).tile = 4;
  kw::Map.At(3, 1).tile = 19;
  kw::Map.At(4, 1).tile = 17;
  kw::Map.At(5, 1).tile = 2;
  kw::Map.At(1, 2).tile = 53;
  kw::MapRequest = 1;
  Draw();
  EXPECT_EQ(Screen(121, 433), Black);
  EXPECT_EQ(Screen(122, 434), Black);
  EXPECT_EQ(Screen(123, 433), 0xFF960000u);
  EXPECT_EQ(Screen(125, 433), 0xFFC8C800u);  // a door: upper left
  EXPECT_EQ(Screen(126, 433), Black);        // upper right
  EXPECT_EQ(Screen(125, 434), 0xFF969696u);  // lower pair
  EXPECT_EQ(Screen(126, 434), 0xFF969696u);
  EXPECT_EQ(Screen(127, 433), 0xFFFFFF00u);
  EXPECT_EQ(Screen(129, 433), 0xFF00001Eu);
  EXPECT_EQ(Screen(121, 435), 0xFFFFFF00u);
  // The first row and column and the last ones are left out.
  EXPECT_EQ(Screen(119, 431), PanelColour);
  EXPECT_EQ(Screen(119 + 2 * 19, 433), PanelColour);
  EXPECT_EQ(Screen(121, 431 + 2 * 9), PanelColour);
  EXPECT_EQ(kw::MapRequest, 0);
  Draw();  // only on request
  EXPECT_EQ(Screen(121, 433), PanelColour);
}

TEST_F(HudTest, SmallMapFollowsTheScroll) {
  p().posX = -95;  // column 3 at the left edge
  p().posY = 65;   // row 2 at the top
  kw::Map.At(4, 3).tile = 4;
  kw::MapRequest = 1;
  Draw();
  EXPECT_EQ(Screen(121, 433), 0xFF960000u);
}

TEST_F(HudTest, BossLineMarksHealthAndEndsWithTheBoss) {
  AddType(9, 3, 0, 10, -1, 1, "Golem");
  kw::Boss = &AddEnemy(0, 100, 100);
  kw::BossShown = 1;
  kw::Boss->health = 1;
  EXPECT_EQ(kw::BossLine(), "Golem: \x8F\x8F / /");
  kw::Boss->health = 3;
  EXPECT_EQ(kw::BossLine(), "Golem: \x8F\x8F\x8F\x8F");
  kw::Boss->health = -1;
  EXPECT_EQ(kw::BossLine(), "Golem ---DEAD---");
  EXPECT_EQ(kw::BossShown, 0);
  EXPECT_EQ(kw::BossLine(), "");
}

TEST_F(HudTest, ABossLineOfAbsurdHitPointsStopsAtTheScreen) {
  AddType(9, 2000000000, 0, 10, -1, 1, "Riese");
  kw::Boss = &AddEnemy(0, 100, 100);
  kw::BossShown = 1;
  kw::Boss->health = 20;
  std::string line = kw::BossLine();
  EXPECT_LE(line.size(), 200u);
  EXPECT_EQ(line.substr(0, 7), "Riese: ");
  EXPECT_EQ(line[7 + 20], '\x8F');
  EXPECT_EQ(line.substr(7 + 21, 2), " /");
}

TEST_F(HudTest, BossLineIsDrawnWithVisibleMarks) {
  AddType(9, 3, 0, 10, -1, 1, "Golem");
  kw::Boss = &AddEnemy(0, 100, 100);
  kw::BossShown = 1;
  kw::Boss->health = 3;
  Draw();
  EXPECT_GT(Ink(25, 42, 400, 64), 20);
  EXPECT_EQ(Ink(25, 12, 400, 34), 0);  // no message
  // Each mark adds ink of its own: the marks are not invisible control characters.
  kw::BeginText();
  kw::SelectFont(1);
  int markEnd = kw::DrawTextAt(0, 100, "\x8F\x8F\x8F", kw::Rgb(255, 255, 255));
  kw::EndText();
  EXPECT_GT(markEnd, 6);
  EXPECT_GT(Ink(0, 100, markEnd, 125), 6);
  // ... and it is a glyph of its own, not the face's missing-character box.
  kw::ClearBackBuffer(0);
  kw::BeginText();
  kw::SelectFont(1);
  kw::SetTextBackground(1);
  int markWidth = kw::DrawTextAt(0, 100, "\x8F", kw::Rgb(255, 255, 255));
  int missingWidth = kw::DrawTextAt(0, 200, "\x81", kw::Rgb(255, 255, 255));
  kw::EndText();
  bool same = markWidth == missingWidth;
  for (int y = 0; y < 25 && same; ++y)
    for (int x = 0; x < markWidth && same; ++x) same = Screen(x, 100 + y) == Screen(x, 200 + y);
  EXPECT_FALSE(same);
  // A coloured message line uses its own colour.
  p().message = "Achtung";
  p().textColor = int16_t(kw::Rgb(200, 0, 0));
  Draw();
  int red = 0;
  for (int y = 12; y < 34; ++y)
    for (int x = 25; x < 200; ++x) red += (Screen(x, y) >> 16 & 255) > 100;
  EXPECT_GT(red, 10);
}

// A message without a colour of its own and a notice both read on their black box
// (7:1 at least); the notice lasts a second and a half.
TEST_F(HudTest, UncolouredMessagesAndNoticesReadOnTheirBox) {
  auto brightest = [](int x0, int y0, int x1, int y1) {
    double best = 1;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) best = std::max(best, PixelContrastToBlack(Screen(x, y)));
    return best;
  };
  p().message = "Hallo";
  p().textColor = 0;
  Draw();
  EXPECT_GE(brightest(25, 12, 120, 34), 7.0);
  p().message.clear();
  kw::ShowNotice("Gespeichert");
  int shown = 0;
  for (int i = 0; i < 120; ++i) {
    Draw();
    shown += brightest(250, 392, 390, 416) >= 7.0;
  }
  EXPECT_EQ(shown, 90);
  EXPECT_EQ(Count(200, 392, 440, 393, Black), 0);  // gone: the background shows again
}

}  // namespace
}  // namespace kwtest
