// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Inside the media layer: how input reaches the live state. The platform events
// (events.cpp), replays, game controllers and tests feed keys, the mouse and typed text
// here; the game only reads snapshots through input.h. Not for game code.
#pragma once

#include <string>

namespace kw {

void InjectKey(int code, bool down);
void InjectMouseMove(int dx, int dy);          // relative device movement
void InjectMousePosition(int x, int y);        // absolute logical position
void InjectMouseButton(bool down);
void InjectMouseInside(bool inside);           // pointer entered / left the window
void InjectText(const std::string& latin1);
// Clears every live and snapshot state (start, and tests).
void ResetInput();

// DirectInput code of an SDL scancode, 0 when the key has none.
int DirectInputCodeOfScancode(int sdlScancode);
// SDL scancode of a DirectInput code, 0 when none.
int ScancodeOfDirectInputCode(int code);

// Opens the pads present (windowed runs only); reads the user folder's GamepadMappingFile
// and $SDL_GAMECONTROLLERCONFIG for pads SDL does not know.
void InitGamepads();
// A pad input of pad 0 went down or up, handled as a real pad's (in a pointer menu the
// south button clicks). Returns the key code pressed or released (0 = none).
int InjectPadInput(int padInput, bool down);
// Closes every pad, letting go of all it held (shutdown, and tests).
void CloseGamepads();
// Pad 0's left stick at (x, y), each -32768..32767.
void InjectPadLeftStick(int x, int y);

// Moves the game's pointer by picture pixels (the pad's pointer) and says where it now is,
// so that the caller can put the system pointer there too.
void MovePointerBy(int dx, int dy, int& x, int& y);
// The pointer kept inside a full-screen window while captured; the display runs it again
// when the window changes mode.
void ApplyMouseMode();

}  // namespace kw
