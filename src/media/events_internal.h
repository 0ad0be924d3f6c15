// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Inside the media layer: what the flip (flip.cpp) and a new run (run.cpp) ask of the
// event pump (events.cpp). Not for game code.
#pragma once

namespace kw {

// Forgets the window events not yet handed to the game (a new run).
void ClearWindowEvents();
// A quit signal's close request that no screen took is still queued a few flips later:
// the program ends here, at the flip. Called after every flip.
void EndUnservedQuit();

}  // namespace kw
