// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Inside the media layer: what the event pump (events.cpp), the flip (flip.cpp) and the
// start and end of a run (run.cpp) ask of the display (display.cpp). Not for game code.
#pragma once

namespace kw {

// Turns the renderer's vsync on or off as the rule says for the display the window is on
// now; run when the display opens, when the flip limit is set and when the window moves.
void ApplyVsyncRule();
// Headless with --vblank: the flip waits as it would on a display of that rate.
void ModelDisplayFlip();
// A window position as a picture position; the black bars lie outside 0..639 x 0..479.
void WindowToPicture(int wx, int wy, int& px, int& py);
// The plain window's place and size, kept while it is neither full screen nor maximised.
void RememberWindowPlace();
// Writes the window's state for the next run and closes the window (shutdown, a new
// display, CloseDisplay).
void DestroyDisplay();
// Shows the back buffer in the window: scaled, with black bars around it.
void PresentBackBuffer();
// The flip limit of LimitFrameRate, in flips a second (0 = none).
int FlipLimit();
// A new run: it has the focus, and counts as full screen until a display opens.
void ResetDisplayState();

// Puts the system pointer over a picture position, when there is a window (the pad's
// pointer in a window).
void WarpSystemPointer(int x, int y);

}  // namespace kw
