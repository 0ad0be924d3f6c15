// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Inside the text layer: what tests look through. Not for game code.
#pragma once

#include <string>

namespace kw {

// The family name of the face a font number ended up with ("" when none).
std::string FontFamilyOf(int font);

}  // namespace kw
