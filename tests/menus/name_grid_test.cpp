// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The highscore name entered with a pad alone: the letter choice appears with a pad or
// a moved pointer, the pad's D-pad moves the pointer over it and the south button
// picks letters, deletes and confirms; typing on a keyboard stays as it was.
#include <algorithm>
#include <string>

#include "menu_fixture.h"

namespace {

class NameGridTest : public kwtest::MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    kw::CloseGamepads();
    kw::ResetMenusRun();
    kw::NameGridShown = 0;
  }
  void TearDown() override {
    kw::CloseGamepads();
    MenuTest::TearDown();
  }
  // Frames with a D-pad direction held (6 pixels a frame in a pointer menu).
  static void Dpad(int input, int frames) {
    kw::InjectPadInput(input, true);
    for (int i = 0; i < frames; ++i) kw::NameEntryFrame(100);
    kw::InjectPadInput(input, false);
  }
  // A press and release of the south button; true when a frame confirmed the name.
  static bool Click() {
    kw::InjectPadInput(kw::PadA, true);
    bool ok = kw::NameEntryFrame(100);
    kw::InjectPadInput(kw::PadA, false);
    return kw::NameEntryFrame(100) || ok;
  }
  // Non-black pixels in a rectangle of the picture.
  static long Lit(int x, int y, int w, int h) {
    auto r = kwtest::Region(x, y, w, h);
    return std::count_if(r.begin(), r.end(), [](uint32_t p) { return (p & 0xFFFFFF) != 0; });
  }
};

TEST_F(NameGridTest, APadAloneSpellsANameAndConfirmsIt) {
  kw::NameInput.clear();
  kw::InjectPadLeftStick(0, 0);  // a pad is there, nothing pressed
  EXPECT_FALSE(kw::NameEntryFrame(100));
  EXPECT_EQ(kw::NameGridShown, 1);
  EXPECT_GT(Lit(96, 200, 448, 160), 0);  // the letters are drawn
  // The pad drives the pointer from the flip after the first frame of the screen.
  EXPECT_FALSE(kw::NameEntryFrame(100));
  // The pointer starts in the middle (320, 240); twelve frames left is x 248: "K".
  Dpad(kw::PadLeft, 12);
  EXPECT_EQ(kw::MouseState.x, 248);
  EXPECT_EQ(kw::MouseState.y, 240);
  EXPECT_EQ(kw::NameGridCellAt(248, 240), 10);
  EXPECT_FALSE(Click());
  EXPECT_EQ(kw::NameInput, "K");
  // Holding the button picks once, not every frame.
  kw::InjectPadInput(kw::PadA, true);
  for (int i = 0; i < 5; ++i) kw::NameEntryFrame(100);
  kw::InjectPadInput(kw::PadA, false);
  kw::NameEntryFrame(100);
  EXPECT_EQ(kw::NameInput, "KK");
  // Down a row to "S", then delete ("Entf", two rows further and six cells right).
  Dpad(kw::PadDown, 7);  // y 282
  EXPECT_FALSE(Click());
  EXPECT_EQ(kw::NameInput, "KKS");
  Dpad(kw::PadDown, 7);   // y 324: the last row
  Dpad(kw::PadRight, 46);  // x 524: "OK"; one cell back is "Entf"
  Dpad(kw::PadLeft, 10);   // x 464: "Entf"
  EXPECT_EQ(kw::NameGridCellAt(kw::MouseState.x, kw::MouseState.y), 30);
  EXPECT_FALSE(Click());
  EXPECT_EQ(kw::NameInput, "KK");
  Dpad(kw::PadRight, 10);
  EXPECT_TRUE(Click());  // OK
  EXPECT_EQ(kw::NameInput, "KK");
}

TEST_F(NameGridTest, AWholeEntryByPadReachesTheList) {
  for (int i = 1; i <= 6; ++i) kw::Highscores[size_t(i)] = kw::HighscoreEntry{int16_t(70 - 10 * i), "x"};
  kw::P().score = 100;
  kw::NameInput = "Bo";  // the offered name stays and the pad adds to it
  // The pointer goes to "A" (x 122, y 216) and clicks it, then to OK (x 518, y 336).
  // The screen runs until OK, so the input comes from a hook at given flips.
  int flip = 0;
  kw::SetFlipHook([&flip] {
    ++flip;
    // The pad drives the pointer from the second flip (the first frame asks for it).
    if (flip == 2) kw::InjectPadInput(kw::PadLeft, true);  // 33 frames left: x 122
    if (flip == 35) {
      kw::InjectPadInput(kw::PadLeft, false);
      kw::InjectPadInput(kw::PadUp, true);  // 4 frames up: y 216
    }
    if (flip == 39) kw::InjectPadInput(kw::PadUp, false);
    if (flip == 41) kw::InjectPadInput(kw::PadA, true);
    if (flip == 43) kw::InjectPadInput(kw::PadA, false);
    if (flip == 45) kw::InjectPadInput(kw::PadRight, true);  // 66 frames right: x 518
    if (flip == 111) {
      kw::InjectPadInput(kw::PadRight, false);
      kw::InjectPadInput(kw::PadDown, true);  // 20 frames down: y 336
    }
    if (flip == 131) kw::InjectPadInput(kw::PadDown, false);
    if (flip == 133) kw::InjectPadInput(kw::PadA, true);
    if (flip > 400) kw::InjectKey(28, true);  // a safety net: the test must end
  });
  kw::InjectPadLeftStick(0, 0);
  EXPECT_EQ(kw::HighscoreScreen(), 0);
  kw::SetFlipHook(nullptr);
  kw::InjectKey(28, false);
  EXPECT_LT(flip, 400);
  EXPECT_EQ(kw::Highscores[1].name, "BoA");
  EXPECT_EQ(kw::Highscores[1].points, 100);
  EXPECT_NE(UserFile("Saves/Savescore.save").find("100\r\nBoA\r\n"), std::string::npos);
}

TEST_F(NameGridTest, KeyboardTypingAloneShowsNoChoiceUntilThePointerMoves) {
  kw::NameInput = "Al";
  kw::InjectText("ex");
  EXPECT_FALSE(kw::NameEntryFrame(100));
  EXPECT_FALSE(kw::NameEntryFrame(100));
  EXPECT_EQ(kw::NameInput, "Alex");
  EXPECT_EQ(kw::NameGridShown, 0);
  EXPECT_EQ(Lit(96, 200, 448, 160), 0);
  // A click where a letter would be, while no choice is shown, types nothing.
  Mouse(124, 220, true);
  kw::NameEntryFrame(100);
  Mouse(124, 220, false);
  kw::NameEntryFrame(100);
  EXPECT_EQ(kw::NameInput, "Alex");
  EXPECT_EQ(kw::NameGridShown, 1);  // but now it shows, and the next click counts
  Mouse(124, 220, true);
  kw::NameEntryFrame(100);
  EXPECT_EQ(kw::NameInput, "AlexA");
  Mouse(124, 220, false);
  kw::InjectKey(28, true);
  EXPECT_TRUE(kw::NameEntryFrame(100));
  kw::InjectKey(28, false);
}

TEST_F(NameGridTest, CellsUmlautsSpaceDeleteAndTheLengthLimit) {
  EXPECT_EQ(kw::NameGridCellAt(96, 200), 0);
  EXPECT_EQ(kw::NameGridCellAt(95, 200), -1);
  EXPECT_EQ(kw::NameGridCellAt(543, 359), 31);
  EXPECT_EQ(kw::NameGridCellAt(544, 359), -1);
  EXPECT_EQ(kw::NameGridCellAt(543, 360), -1);
  std::string name;
  EXPECT_FALSE(kw::ApplyNameGridCell(25, name));  // Z
  EXPECT_FALSE(kw::ApplyNameGridCell(26, name));  // Ä
  EXPECT_FALSE(kw::ApplyNameGridCell(27, name));  // Ö
  EXPECT_FALSE(kw::ApplyNameGridCell(28, name));  // Ü
  EXPECT_FALSE(kw::ApplyNameGridCell(29, name));  // space
  EXPECT_EQ(name, "Z\xC4\xD6\xDC ");
  EXPECT_FALSE(kw::ApplyNameGridCell(30, name));
  EXPECT_EQ(name, "Z\xC4\xD6\xDC");
  std::string empty;
  EXPECT_FALSE(kw::ApplyNameGridCell(30, empty));  // delete on nothing is no fault
  EXPECT_EQ(empty, "");
  EXPECT_TRUE(kw::ApplyNameGridCell(31, name));
  EXPECT_FALSE(kw::ApplyNameGridCell(32, name));
  EXPECT_FALSE(kw::ApplyNameGridCell(-1, name));
  std::string full(kw::MaxNameLength, 'x');
  kw::ApplyNameGridCell(0, full);
  EXPECT_EQ(full.size(), kw::MaxNameLength);
}

}  // namespace
