// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
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
    kw::CloseGamepads();  // no pad state carries over from another test
    kw::ResetInput();
    for (int i = 0; i < kw::PadInputCount; ++i) saved_[i] = kw::GamepadKey(i);
  }
  void TearDown() override {
    for (int i = 0; i < kw::PadInputCount; ++i) kw::SetGamepadKey(i, saved_[i]);
    kw::CloseGamepads();
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

TEST_F(GamepadTest, RightStickDirectionsAreInputsOfTheirOwnInPlay) {
  kw::SetGamepadKey(kw::PadRightUp, 201);
  kw::SetGamepadKey(kw::PadRightRight, 13);
  kw::InjectMousePosition(100, 100);
  bool down = false;
  kw::StepGamepadPointer();  // a play frame: no pointer menu asked
  EXPECT_EQ(kw::HandleGamepadEvent(AxisEvent(SDL_CONTROLLER_AXIS_RIGHTY, -30000), down), 201);
  EXPECT_EQ(kw::HandleGamepadEvent(AxisEvent(SDL_CONTROLLER_AXIS_RIGHTX, 30000), down), 13);
  kw::StepGamepadPointer();
  kw::ReadKeyboard();
  EXPECT_EQ(kw::KeyDown(201), 1);
  EXPECT_EQ(kw::KeyDown(13), 1);
  EXPECT_EQ(kw::WindowPointerX(), 100);  // the pointer stays where it is in play
  kw::HandleGamepadEvent(AxisEvent(SDL_CONTROLLER_AXIS_RIGHTY, 0), down);
  kw::HandleGamepadEvent(AxisEvent(SDL_CONTROLLER_AXIS_RIGHTX, 0), down);
  kw::ReadKeyboard();
  EXPECT_EQ(kw::KeyDown(-1), 0);
}

TEST_F(GamepadTest, InAPointerMenuTheStickAndDpadMoveThePointerAndSouthClicks) {
  kw::SetGamepadKey(kw::PadA, 57);
  kw::SetGamepadKey(kw::PadRight, 205);
  kw::InjectMousePosition(100, 100);
  bool down = false;
  kw::UseGamepadAsPointer();
  kw::StepGamepadPointer();
  kw::HandleGamepadEvent(AxisEvent(SDL_CONTROLLER_AXIS_LEFTX, 32767), down);
  for (int i = 0; i < 3; ++i) {
    kw::UseGamepadAsPointer();
    kw::StepGamepadPointer();
  }
  EXPECT_EQ(kw::WindowPointerX(), 100 + 3 * 11);
  EXPECT_EQ(kw::WindowPointerY(), 100);
  kw::HandleGamepadEvent(AxisEvent(SDL_CONTROLLER_AXIS_LEFTX, 0), down);
  kw::HandleGamepadEvent(ButtonEvent(SDL_CONTROLLER_BUTTON_DPAD_UP, true), down);
  kw::UseGamepadAsPointer();
  kw::StepGamepadPointer();
  EXPECT_EQ(kw::WindowPointerX(), 133);
  EXPECT_EQ(kw::WindowPointerY(), 94);
  kw::HandleGamepadEvent(ButtonEvent(SDL_CONTROLLER_BUTTON_DPAD_UP, false), down);
  kw::HandleGamepadEvent(ButtonEvent(SDL_CONTROLLER_BUTTON_A, true), down);
  kw::ReadKeyboard();
  kw::ReadMouseDevice();
  EXPECT_EQ(kw::KeyDown(-1), 0);  // neither the stick, the D-pad nor A pressed a key
  EXPECT_EQ(kw::MouseDeviceButton(1), 1);
  EXPECT_EQ(kw::WindowMouseButtonWentDown(), 1);
  // Leaving the menu with A held: its release still lets go of the mouse button.
  kw::StepGamepadPointer();
  kw::HandleGamepadEvent(ButtonEvent(SDL_CONTROLLER_BUTTON_A, false), down);
  EXPECT_EQ(kw::WindowMouseButtonHeld(), 0);
  // Back in play, A is the jump key again and the stick walks.
  kw::HandleGamepadEvent(ButtonEvent(SDL_CONTROLLER_BUTTON_A, true), down);
  kw::HandleGamepadEvent(AxisEvent(SDL_CONTROLLER_AXIS_LEFTX, 30000), down);
  kw::ReadKeyboard();
  EXPECT_EQ(kw::KeyDown(57), 1);
  EXPECT_EQ(kw::KeyDown(205), 1);
  kw::HandleGamepadEvent(ButtonEvent(SDL_CONTROLLER_BUTTON_A, false), down);
  kw::HandleGamepadEvent(AxisEvent(SDL_CONTROLLER_AXIS_LEFTX, 0), down);
}

SDL_Event PadEvent(Uint32 type, int which, int button = 0) {
  SDL_Event ev{};
  ev.type = type;
  if (type == SDL_CONTROLLERDEVICEREMOVED || type == SDL_CONTROLLERDEVICEADDED) {
    ev.cdevice.which = which;
  } else {
    ev.cbutton.which = which;
    ev.cbutton.button = Uint8(button);
  }
  return ev;
}

TEST_F(GamepadTest, ADisconnectedPadReleasesEveryKeyItHeldButNotAnotherPads) {
  kw::SetGamepadKey(kw::PadA, 57);
  kw::SetGamepadKey(kw::PadX, 46);
  kw::SetGamepadKey(kw::PadRight, 205);
  bool down = false;
  kw::HandleGamepadEvent(PadEvent(SDL_CONTROLLERBUTTONDOWN, 7, SDL_CONTROLLER_BUTTON_A), down);
  kw::HandleGamepadEvent(PadEvent(SDL_CONTROLLERBUTTONDOWN, 7, SDL_CONTROLLER_BUTTON_DPAD_RIGHT), down);
  kw::HandleGamepadEvent(PadEvent(SDL_CONTROLLERBUTTONDOWN, 8, SDL_CONTROLLER_BUTTON_X), down);
  kw::HandleGamepadEvent(PadEvent(SDL_CONTROLLERBUTTONDOWN, 8, SDL_CONTROLLER_BUTTON_A), down);
  kw::ReadKeyboard();
  EXPECT_EQ(kw::KeyDown(57), 1);
  // Pad 8 lets go of A: pad 7 still holds the jump key.
  kw::HandleGamepadEvent(PadEvent(SDL_CONTROLLERBUTTONUP, 8, SDL_CONTROLLER_BUTTON_A), down);
  kw::ReadKeyboard();
  EXPECT_EQ(kw::KeyDown(57), 1);
  kw::HandleGamepadEvent(PadEvent(SDL_CONTROLLERDEVICEREMOVED, 7), down);
  kw::ReadKeyboard();
  EXPECT_EQ(kw::KeyDown(57), 0);
  EXPECT_EQ(kw::KeyDown(205), 0);
  EXPECT_EQ(kw::KeyReleased(57), 1);
  EXPECT_EQ(kw::KeyDown(46), 1);  // the other pad's key stays down
  kw::HandleGamepadEvent(PadEvent(SDL_CONTROLLERDEVICEREMOVED, 8), down);
  kw::HandleGamepadEvent(PadEvent(SDL_CONTROLLERDEVICEREMOVED, 99), down);  // unknown: nothing
  kw::ReadKeyboard();
  EXPECT_EQ(kw::KeyDown(-1), 0);
}

// A virtual pad stands in for a real one: it is opened when it appears, its buttons and
// stick reach the bound keys through SDL's own events, and unplugging it lets go.
TEST_F(GamepadTest, VirtualPadHotplugThroughSdl) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER | SDL_INIT_EVENTS), 0) << SDL_GetError();
  kw::SetGamepadKey(kw::PadA, 57);
  kw::SetGamepadKey(kw::PadLeft, 203);
  int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                        SDL_CONTROLLER_BUTTON_MAX, 0);
  ASSERT_GE(index, 0) << SDL_GetError();
  bool down = false;
  auto pump = [&] {
    SDL_GameControllerUpdate();
    SDL_PumpEvents();
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) kw::HandleGamepadEvent(ev, down);
  };
  pump();  // the device-added event opens it
  SDL_Joystick* stick = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index));
  ASSERT_NE(stick, nullptr);
  SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_A, 1);
  SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTX, -30000);
  pump();
  kw::ReadKeyboard();
  EXPECT_EQ(kw::KeyDown(57), 1);
  EXPECT_EQ(kw::KeyDown(203), 1);
  SDL_JoystickDetachVirtual(index);
  pump();
  kw::ReadKeyboard();
  EXPECT_EQ(kw::KeyDown(57), 0);
  EXPECT_EQ(kw::KeyDown(203), 0);
  kw::CloseGamepads();
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

// What a virtual pad's motors were asked for.
struct MotorLog {
  int calls = 0;
  Uint16 low = 0, high = 0;
};

int SDLCALL RecordRumble(void* userdata, Uint16 low, Uint16 high) {
  auto* log = static_cast<MotorLog*>(userdata);
  ++log->calls;
  log->low = low;
  log->high = high;
  return 0;
}

// A pad with motors shakes at the strength asked for; one without them, or none at all,
// is no trouble.
TEST_F(GamepadTest, RumbleReachesAVirtualPadsMotors) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER | SDL_INIT_EVENTS), 0) << SDL_GetError();
  kw::RumbleGamepads(50, 100);  // no pad: nothing happens
  MotorLog log;
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.userdata = &log;
  desc.Rumble = RecordRumble;
  int index = SDL_JoystickAttachVirtualEx(&desc);
  ASSERT_GE(index, 0) << SDL_GetError();
  int plain = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                        SDL_CONTROLLER_BUTTON_MAX, 0);
  ASSERT_GE(plain, 0) << SDL_GetError();
  bool down = false;
  SDL_GameControllerUpdate();
  SDL_PumpEvents();
  SDL_Event ev;
  while (SDL_PollEvent(&ev)) kw::HandleGamepadEvent(ev, down);
  ASSERT_EQ(kw::GamepadConnected(), 1);
  kw::RumbleGamepads(100, 200);
  EXPECT_EQ(log.calls, 1);
  EXPECT_EQ(log.low, 65535);
  EXPECT_EQ(log.high, 65535);
  kw::RumbleGamepads(250, -5);  // out of range: clamped, not wrapped
  EXPECT_EQ(log.low, 65535);
  kw::RumbleGamepads(30, 200);
  EXPECT_EQ(log.low, 30 * 65535 / 100);
  kw::CloseGamepads();
  EXPECT_EQ(kw::GamepadConnected(), 0);
  SDL_JoystickDetachVirtual(plain);
  SDL_JoystickDetachVirtual(index);
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

}  // namespace
