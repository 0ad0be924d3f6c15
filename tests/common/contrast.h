// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// How well a colour reads on black: the contrast ratio of the web's accessibility
// guidelines, (L1 + 0.05) / (L2 + 0.05) of the relative luminances, 21 for white.
#pragma once

#include <cmath>
#include <cstdint>

namespace kwtest {

// One sRGB channel (0..255) made linear.
inline double LinearChannel(int c) {
  double s = c / 255.0;
  return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

// The contrast ratio of red, green and blue against black.
inline double ContrastToBlack(int r, int g, int b) {
  double l = 0.2126 * LinearChannel(r) + 0.7152 * LinearChannel(g) + 0.0722 * LinearChannel(b);
  return (l + 0.05) / 0.05;
}

// The same for a pixel 0xAARRGGBB and for a game colour r + 256 g + 65536 b.
inline double PixelContrastToBlack(uint32_t pixel) {
  return ContrastToBlack(int(pixel >> 16 & 255), int(pixel >> 8 & 255), int(pixel & 255));
}
inline double ColourContrastToBlack(int64_t colour) {
  return ContrastToBlack(int(colour & 255), int(colour >> 8 & 255), int(colour >> 16 & 255));
}

}  // namespace kwtest
