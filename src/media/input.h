// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
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
// One key's release up to this moment, without taking a snapshot: a release of the
// current snapshot not reported yet, else the one the next snapshot would show, which is
// then taken out of it. Reported once, as KeyReleased; every other key's presses and
// releases stay for the next ReadKeyboard.
int KeyReleasedUpToNow(int code);
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
// (0 = none); the left stick counts as the D-pad, the right stick's four directions are
// inputs of their own. In the pointer menus (a frame that called UseGamepadAsPointer) the
// left stick, the D-pad and the right stick move the pointer and the south button (A)
// clicks instead. Pads may come and go at any time; one that goes releases all it held.
enum PadInput {
  PadA, PadB, PadX, PadY, PadBack, PadStart, PadLeftShoulder, PadRightShoulder,
  PadLeftTrigger, PadRightTrigger, PadUp, PadDown, PadLeft, PadRight,
  PadLeftStick, PadRightStick, PadGuide, PadRightUp, PadRightDown, PadRightLeft, PadRightRight,
  PadInputCount
};
// The user folder's file of pad mappings for pads SDL does not know
// ($SDL_GAMECONTROLLERCONFIG wins over it).
constexpr const char* GamepadMappingFile = "gamecontrollerdb.txt";
// Every connected pad that has motors shakes at strength 0..100 for ms milliseconds.
void RumbleGamepads(int strength, int ms);
// 1 while a game controller is connected.
int GamepadConnected();
// This frame is a pointer menu: the pad drives the pointer until the next flip.
void UseGamepadAsPointer();
void SetGamepadKey(int padInput, int keyCode);
int GamepadKey(int padInput);
// SDL's game-controller name of a pad input ("a", "dpup", "lefttrigger", "-righty", ...),
// "" for none; and the input of a name (any case), -1 for a name that is none of them.
const char* PadInputName(int padInput);
int PadInputOfName(const std::string& name);

}  // namespace kw
