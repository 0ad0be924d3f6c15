// Game controllers press the keys bound to their inputs; sticks count with hysteresis.
#include <gtest/gtest.h>

#include "media/gamepad_internal.h"
#include "media/input_internal.h"
#include "media/media.h"

namespace {

SDL_Event AxisEvent(int axis, int value) {
  SDL_Event ev{};
  ev.type = SDL_CONTROLLERAXISMOTION;
  ev.caxis.axis = Uint8(axis);
  ev.caxis.value = Sint16(value);
  return ev;
}

SDL_Event ButtonEvent(int button, bool down) {
  SDL_Event ev{};
  ev.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
  ev.cbutton.button = Uint8(button);
  return ev;
}

class GamepadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kw::ResetInput();
    for (int i = 0; i < kw::PadInputCount; ++i) saved_[i] = kw::GamepadKey(i);
  }
  void TearDown() override {
    for (int i = 0; i < kw::PadInputCount; ++i) kw::SetGamepadKey(i, saved_[i]);
    kw::ResetInput();
  }
  int saved_[kw::PadInputCount];
};

TEST_F(GamepadTest, AButtonPressesTheBoundKeyAndReportsIt) {
  kw::SetGamepadKey(kw::PadA, 57);
  bool down = false;
  EXPECT_EQ(kw::HandleGamepadEvent(ButtonEvent(SDL_CONTROLLER_BUTTON_A, true), down), 57);
  EXPECT_TRUE(down);
  kw::ReadKeyboard();
  EXPECT_EQ(kw::KeyDown(57), 1);
  EXPECT_EQ(kw::HandleGamepadEvent(ButtonEvent(SDL_CONTROLLER_BUTTON_A, false), down), 57);
  EXPECT_FALSE(down);
  kw::ReadKeyboard();
  EXPECT_EQ(kw::KeyDown(57), 0);
  EXPECT_EQ(kw::KeyReleased(57), 1);
}

TEST_F(GamepadTest, RebindingAndUnboundInputs) {
  kw::SetGamepadKey(kw::PadB, 45);
  EXPECT_EQ(kw::GamepadKey(kw::PadB), 45);
  kw::SetGamepadKey(kw::PadB, 0);
  bool down = false;
  EXPECT_EQ(kw::HandleGamepadEvent(ButtonEvent(SDL_CONTROLLER_BUTTON_B, true), down), 0);
  kw::ReadKeyboard();
  EXPECT_EQ(kw::KeyDown(-1), 0);
  EXPECT_EQ(kw::GamepadKey(-1), 0);
  EXPECT_EQ(kw::GamepadKey(kw::PadInputCount), 0);
  kw::SetGamepadKey(99, 5);  // out of range: ignored
}

TEST_F(GamepadTest, LeftStickActsAsTheDpadWithHysteresis) {
  kw::SetGamepadKey(kw::PadLeft, 203);
  kw::SetGamepadKey(kw::PadRight, 205);
  bool down = false;
  kw::HandleGamepadEvent(AxisEvent(SDL_CONTROLLER_AXIS_LEFTX, 20000), down);
  kw::ReadKeyboard();
  EXPECT_EQ(kw::KeyDown(205), 1);
  EXPECT_EQ(kw::KeyDown(203), 0);
  // Between the release and press thresholds the direction stays held.
  kw::HandleGamepadEvent(AxisEvent(SDL_CONTROLLER_AXIS_LEFTX, 14000), down);
  kw::ReadKeyboard();
  EXPECT_EQ(kw::KeyDown(205), 1);
  kw::HandleGamepadEvent(AxisEvent(SDL_CONTROLLER_AXIS_LEFTX, 2000), down);
  kw::ReadKeyboard();
  EXPECT_EQ(kw::KeyDown(205), 0);
  kw::HandleGamepadEvent(AxisEvent(SDL_CONTROLLER_AXIS_LEFTX, -30000), down);
  kw::ReadKeyboard();
  EXPECT_EQ(kw::KeyDown(203), 1);
}

TEST_F(GamepadTest, RightStickMovesThePointerAndClicks) {
  kw::InjectMousePosition(100, 100);
  bool down = false;
  kw::HandleGamepadEvent(AxisEvent(SDL_CONTROLLER_AXIS_RIGHTX, 32767), down);
  kw::StepGamepadPointer();
  EXPECT_GT(kw::WindowPointerX(), 100);
  EXPECT_EQ(kw::WindowPointerY(), 100);
  kw::HandleGamepadEvent(AxisEvent(SDL_CONTROLLER_AXIS_RIGHTX, 0), down);
  int x = kw::WindowPointerX();
  kw::StepGamepadPointer();
  EXPECT_EQ(kw::WindowPointerX(), x);  // dead zone: no drift
  kw::HandleGamepadEvent(ButtonEvent(SDL_CONTROLLER_BUTTON_RIGHTSTICK, true), down);
  kw::ReadMouseDevice();
  EXPECT_EQ(kw::MouseDeviceButton(1), 1);
  EXPECT_EQ(kw::WindowMouseButtonWentDown(), 1);
}

}  // namespace
