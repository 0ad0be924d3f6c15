// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Inside the media layer: the game-controller events the event pump (events.cpp) hands
// to gamepad.cpp.
#pragma once

#include <SDL.h>

namespace kw {

// Handles a controller event; returns the key code it pressed or released (0 = none)
// and sets down accordingly, so the caller can record it.
int HandleGamepadEvent(const SDL_Event& ev, bool& down);
// Moves the pointer by the right stick; called once per flip.
void StepGamepadPointer();

}  // namespace kw
