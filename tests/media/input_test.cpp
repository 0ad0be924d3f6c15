// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Keyboard snapshots, releases, typed text, the scancode table and the mouse.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "media/core.h"
#include "media/input.h"
#include "media/input_internal.h"

namespace kw {
namespace {

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetInput(); }
  void TearDown() override { ResetInput(); }
};

TEST_F(InputTest, ReleaseIsReportedOnceInTheFirstSnapshotWithTheKeyUp) {
  InjectKey(25, true);
  ReadKeyboard();
  EXPECT_EQ(KeyDown(25), 1);
  EXPECT_EQ(KeyReleased(25), 0);
  ReadKeyboard();  // still held
  EXPECT_EQ(KeyReleased(25), 0);
  InjectKey(25, false);
  ReadKeyboard();
  EXPECT_EQ(KeyDown(25), 0);
  EXPECT_EQ(KeyReleased(25), 1);
  EXPECT_EQ(KeyReleased(25), 0);  // same snapshot: already reported
  ReadKeyboard();
  EXPECT_EQ(KeyReleased(25), 0);  // a later snapshot does not repeat it
  EXPECT_EQ(KeyReleased(28), 0);
}

TEST_F(InputTest, TapBetweenSnapshotsIsSeenDownThenReleasedOnce) {
  ReadKeyboard();
  InjectKey(28, true);
  InjectKey(28, false);
  ReadKeyboard();
  EXPECT_EQ(KeyDown(28), 1);
  EXPECT_EQ(KeyReleased(28), 0);
  ReadKeyboard();
  EXPECT_EQ(KeyDown(28), 0);
  EXPECT_EQ(KeyReleased(28), 1);
  EXPECT_EQ(KeyReleased(28), 0);
  ReadKeyboard();
  EXPECT_EQ(KeyReleased(28), 0);
}

TEST_F(InputTest, ReleaseAndPressAgainBetweenSnapshotsCountsAsRelease) {
  InjectKey(57, true);
  ReadKeyboard();
  InjectKey(57, false);
  InjectKey(57, true);
  ReadKeyboard();
  EXPECT_EQ(KeyDown(57), 1);
  EXPECT_EQ(KeyReleased(57), 1);
}

// Tap and press again between two snapshots, then let go: two releases, one a snapshot.
TEST_F(InputTest, QuickDoubleTapGivesTwoReleases) {
  ReadKeyboard();
  InjectKey(28, true);
  InjectKey(28, false);
  InjectKey(28, true);
  ReadKeyboard();
  EXPECT_EQ(KeyDown(28), 1);
  EXPECT_EQ(KeyReleased(28), 0);  // the game has not seen it down before
  ReadKeyboard();                 // still held: the tap's release shows now
  EXPECT_EQ(KeyDown(28), 1);
  EXPECT_EQ(KeyReleased(28), 1);
  InjectKey(28, false);
  ReadKeyboard();
  EXPECT_EQ(KeyDown(28), 0);
  EXPECT_EQ(KeyReleased(28), 1);
  ReadKeyboard();
  EXPECT_EQ(KeyReleased(28), 0);
  // Two taps while held between snapshots: both releases arrive, one per snapshot.
  InjectKey(57, true);
  ReadKeyboard();
  InjectKey(57, false);
  InjectKey(57, true);
  InjectKey(57, false);
  ReadKeyboard();
  EXPECT_EQ(KeyReleased(57), 1);
  ReadKeyboard();
  EXPECT_EQ(KeyReleased(57), 1);
  ReadKeyboard();
  EXPECT_EQ(KeyReleased(57), 0);
}

TEST_F(InputTest, AnyKeyQueries) {
  ReadKeyboard();
  EXPECT_EQ(KeyDown(-1), 0);
  EXPECT_EQ(KeyReleased(-1), 0);
  InjectKey(200, true);
  ReadKeyboard();
  EXPECT_EQ(KeyDown(-1), 1);
  EXPECT_EQ(KeyReleased(-1), 0);
  InjectKey(200, false);
  ReadKeyboard();
  EXPECT_EQ(KeyDown(-1), 0);
  EXPECT_EQ(KeyReleased(-1), 1);
  EXPECT_EQ(KeyReleased(-1), 0);
  EXPECT_EQ(KeyReleased(200), 0);  // used up by the any-key question
}

TEST_F(InputTest, OutOfRangeCodesAreIgnored) {
  InjectKey(-3, true);
  InjectKey(KeyCount, true);
  InjectKey(100000, true);
  ReadKeyboard();
  EXPECT_EQ(KeyDown(-1), 0);
  EXPECT_EQ(KeyDown(KeyCount), 0);
  EXPECT_EQ(KeyReleased(-7), 0);
}

TEST_F(InputTest, TypedTextIsReturnedOnceWithoutControlCharacters) {
  InjectText("a\xE4");
  InjectText("\b\r1");
  EXPECT_EQ(TypedText(), "a\xE4"
                         "1");
  EXPECT_EQ(TypedText(), "");
}

// Every code of the options screen's key names must be reachable by a real key.
TEST(KeyTable, EveryNamedKeyCodeHasAScancodeThatMapsBack) {
  std::vector<int> named;
  for (int code = 1; code <= 83; ++code) named.push_back(code);
  for (int code : {87, 88, 156, 157, 179, 181, 184, 197, 199, 200, 201, 203, 205, 207, 208, 209,
                   210, 211})
    named.push_back(code);
  ASSERT_EQ(named.size(), 101u);
  std::set<int> scancodes;
  for (int code : named) {
    int scancode = ScancodeOfDirectInputCode(code);
    EXPECT_NE(scancode, 0) << "code " << code;
    EXPECT_EQ(DirectInputCodeOfScancode(scancode), code) << "code " << code;
    scancodes.insert(scancode);
  }
  EXPECT_EQ(scancodes.size(), named.size());  // no two codes share a key
  EXPECT_EQ(ScancodeOfDirectInputCode(84), 0);
  EXPECT_EQ(DirectInputCodeOfScancode(0), 0);
}

TEST_F(InputTest, DeviceMovementStaysOnTheScreen) {
  InitMouse();
  SetMouseCaptured(true);
  InjectMouseMove(-5000, 5000);
  ReadMouseDevice();
  EXPECT_EQ(MouseDeviceX(), 0);
  EXPECT_EQ(MouseDeviceY(), ScreenHeight - 1);
  InjectMouseMove(10000, -10000);
  InjectMouseMove(-9, 4);
  ReadMouseDevice();
  EXPECT_EQ(MouseDeviceX(), ScreenWidth - 1 - 9);
  EXPECT_EQ(MouseDeviceY(), 4);
}

TEST_F(InputTest, ReleasedPointerFreezesTheDeviceUntilCapturedAgain) {
  InitMouse();
  InjectMousePosition(100, 200);
  ReadMouseDevice();
  SetMouseCaptured(false);
  InjectMouseMove(50, 50);
  InjectMousePosition(300, 300);
  InjectMouseButton(true);
  ReadMouseDevice();
  EXPECT_EQ(MouseDeviceX(), 100);
  EXPECT_EQ(MouseDeviceY(), 200);
  EXPECT_EQ(MouseDeviceButton(1), 0);
  SetMouseCaptured(true);
  ReadMouseDevice();
  EXPECT_EQ(MouseDeviceX(), 300);
  EXPECT_EQ(MouseDeviceButton(1), 1);
}

TEST_F(InputTest, ShortClickIsSeenByTheDeviceAndTheWindow) {
  InitMouse();
  ReadMouseDevice();
  EXPECT_EQ(MouseDeviceButton(1), 0);
  InjectMouseButton(true);
  InjectMouseButton(false);
  ReadMouseDevice();
  EXPECT_EQ(MouseDeviceButton(1), 1);
  EXPECT_EQ(MouseDeviceButton(2), 0);
  ReadMouseDevice();
  EXPECT_EQ(MouseDeviceButton(1), 0);
  EXPECT_EQ(WindowMouseButtonWentDown(), 1);
  EXPECT_EQ(WindowMouseButtonWentDown(), 0);
}

TEST_F(InputTest, WindowPointerIsMinusOneOutsideTheWindow) {
  EXPECT_EQ(WindowPointerX(), -1);
  InjectMousePosition(12, 34);
  EXPECT_EQ(WindowPointerX(), 12);
  EXPECT_EQ(WindowPointerY(), 34);
  InjectMouseInside(false);
  EXPECT_EQ(WindowPointerX(), -1);
  EXPECT_EQ(WindowPointerY(), -1);
  InjectMouseInside(true);
  EXPECT_EQ(WindowPointerX(), 12);
  InjectMousePosition(700, 34);  // in the letterbox beside the picture
  EXPECT_EQ(WindowPointerX(), -1);
  ReadMouseDevice();
  EXPECT_EQ(MouseDeviceX(), ScreenWidth - 1);
}

}  // namespace
}  // namespace kw
