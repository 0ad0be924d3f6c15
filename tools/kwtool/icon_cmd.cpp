// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwtool icon: the desktop icon drawn from the game's own figure sheet. The first frame
// (the opaque pixels of the sheet's top-left cell) is centred on a square and enlarged
// with nearest-neighbour pixels, so the icon keeps the game's crisp look at every size.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "image.h"
#include "kwtool.h"
#include "maptext.h"

namespace kwtool {

namespace {

constexpr int FrameCellWidth = 42;   // one figure frame on the sheet
constexpr int FrameCellHeight = 58;
constexpr int MaxIconSize = 1024;

int Fail(const std::string& message) {
  std::fprintf(stderr, "kwtool icon: %s\n", message.c_str());
  return 1;
}

// The opaque box inside the first frame cell; false when the cell is empty.
bool FrameBox(const kwgen::Image& sheet, int& x0, int& y0, int& x1, int& y1) {
  x0 = y0 = 1 << 30;
  x1 = y1 = -1;
  for (int y = 0; y < std::min(FrameCellHeight, sheet.h); ++y)
    for (int x = 0; x < std::min(FrameCellWidth, sheet.w); ++x)
      if (kwgen::AlphaOf(sheet.Get(x, y)) > 0) {
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
      }
  return x1 >= 0;
}

// The frame, scaled by nearest neighbour to fill a square of side size with a margin.
kwgen::Image IconOf(const kwgen::Image& sheet, int x0, int y0, int x1, int y1, int size) {
  kwgen::Image icon(size, size);
  int w = x1 - x0 + 1, h = y1 - y0 + 1, side = std::max(w, h);
  int inner = std::max(1, size - size / 8);
  int offX = (size - inner * w / side) / 2, offY = (size - inner * h / side) / 2;
  for (int y = 0; y < inner * h / side; ++y)
    for (int x = 0; x < inner * w / side; ++x)
      icon.Set(offX + x, offY + y, sheet.Get(x0 + x * side / inner, y0 + y * side / inner));
  return icon;
}

}  // namespace

// kwtool icon SHEET.png SIZE OUT.png
int IconCommand(const Args& args) {
  if (args.size() != 3) return Fail("usage: kwtool icon SHEET.png SIZE OUT.png");
  int size = std::atoi(args[1].c_str());
  if (size < 8 || size > MaxIconSize) return Fail("SIZE must be 8.." + std::to_string(MaxIconSize));
  std::string bytes;
  if (!kwmap::ReadFileBytes(args[0], bytes)) return Fail("cannot read " + args[0]);
  kwgen::Image sheet;
  if (!kwgen::DecodePng(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), sheet))
    return Fail(args[0] + " is not a PNG picture");
  int x0, y0, x1, y1;
  if (!FrameBox(sheet, x0, y0, x1, y1)) return Fail("the first frame of " + args[0] + " is empty");
  if (!kwgen::WriteFile(args[2], kwgen::EncodePng(IconOf(sheet, x0, y0, x1, y1, size))))
    return Fail("cannot write " + args[2]);
  return 0;
}

}  // namespace kwtool
