// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Inside the media layer: the game-controller events the event pump (events.cpp) hands
// to gamepad.cpp, and the pointer mode input.cpp applies again when the window changes
// mode.
#pragma once

#include <SDL.h>

namespace kw {

// Handles a controller event; returns the key code it pressed or released (0 = none)
// and sets down accordingly, so the caller can record it.
int HandleGamepadEvent(const SDL_Event& ev, bool& down);
// Moves the pointer by the right stick; called once per flip.
void StepGamepadPointer();
// Moves the game's pointer (and the system one in a window) by picture pixels (input.cpp).
void MovePointerBy(int dx, int dy);
// Puts the system pointer over a picture position, when there is a window (display.cpp).
void WarpSystemPointer(int x, int y);
// The pointer kept inside a full-screen window while captured (input.cpp).
void ApplyMouseMode();

}  // namespace kw
