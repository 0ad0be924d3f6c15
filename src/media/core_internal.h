// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Inside the media layer: the back buffer every draw writes into (backbuffer.cpp), the
// event pump the input reads call (events.cpp), what the pads record (replay.cpp), and
// the hooks tests use to look at a frame or ask for a close. Not for game code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kw {

// The 640 x 480 back buffer, 0xAARRGGBB, row after row; the renderer draws into it and
// tests read it.
uint32_t* BackBuffer();
// Writes the back buffer as a PNG file; false on failure.
bool SaveBackBufferPng(const std::string& path);
// Events from the platform are pumped here (input, window, replay). Called by flips,
// keyboard and mouse reads and window-event queries.
void PumpEvents();
// Leaves a window close request in the platform's event queue, as the window manager
// would; the next pump hands it to the game.
void InjectCloseRequest();
// Headless: whether the game's window has the input focus (tests of a game in the back).
void InjectFocus(bool focused);
// What the game controllers did, written to a --record file as the key and mouse lines
// a replay holds: replays have no pad events, and the keys and clicks a pad produced
// come back through the same path when replayed.
void RecordKeyChange(int code, bool down);
void RecordPointerAt(int x, int y);
void RecordPointerButton(bool down);

// What a test can record of the draws into the back buffer, to see where each text of a
// screen lies against the pictures under it: a sprite (its number, place and clip size)
// or a text (the Latin-1 text, the place asked for, and the box its visible pixels cover,
// empty when it covers none). Boxes are [left, right) x [top, bottom).
struct DrawnItem {
  int sprite = -1;  // -1: a text
  std::string text;
  int x = 0, y = 0;
  int left = 0, top = 0, right = 0, bottom = 0;
};
// Starts recording into log; null stops. Draws into a sprite (SetBlitTarget) are left out.
void RecordDraws(std::vector<DrawnItem>* log);
// The log being recorded into, null when none.
std::vector<DrawnItem>* DrawLog();

}  // namespace kw
