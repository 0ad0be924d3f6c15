// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Inside the media layer: the flip count (flip.cpp) set back by a new run (run.cpp).
// Not for game code.
#pragma once

namespace kw {

// A run starts from flip 0.
void ResetFlipCount();

}  // namespace kw
