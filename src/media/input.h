// Keyboard and mouse. Key codes are the DirectInput codes (PC set-1 scan codes,
// extended keys + 128). The live state is fed by platform events and by replays;
// ReadKeyboard / ReadMouseDevice take snapshots the game then queries.
#pragma once

#include <string>

namespace kw {

constexpr int KeyCount = 256;

void InitKeyboard();
int ReadKeyboard();                 // 1 on success
int KeyDown(int code);              // -1: any key
int KeyReleased(int code);          // 1 exactly once per release; -1: any key
std::string TypedText();            // Latin-1, since the last call

void InitMouse();
int ReadMouseDevice();
int MouseDeviceX();
int MouseDeviceY();
int MouseDeviceButton(int n);       // 1 = left
void SetMouseCaptured(bool captured);
int WindowPointerX();               // -1 outside the window
int WindowPointerY();
int WindowMouseButtonWentDown();    // left button went down since the last query
int WindowMouseButtonHeld();        // left button down now (in the window)

}  // namespace kw

namespace kw {

// Game controllers act as a keyboard: each pad input presses the key code bound to it
// (0 = none); the left stick counts as the D-pad. The right stick moves the mouse
// pointer and clicking it is the left mouse button, so the menus work from the pad.
enum PadInput {
  PadA, PadB, PadX, PadY, PadBack, PadStart, PadLeftShoulder, PadRightShoulder,
  PadLeftTrigger, PadRightTrigger, PadUp, PadDown, PadLeft, PadRight, PadInputCount
};
void SetGamepadKey(int padInput, int keyCode);
int GamepadKey(int padInput);

}  // namespace kw
