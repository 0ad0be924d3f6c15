// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Checks a PNG or JPEG picture's structure and size before any decoder sees it: a
// damaged chunk length can make the PNG decoder spin for ever, and a header claiming a
// huge picture would allocate before anyone looked at its size. Called by sprites.cpp.
#include <cstring>

#include "media/sprite_internal.h"

namespace kw {

namespace {

constexpr uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t Load32Be(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

int Load16Be(const uint8_t* p) { return p[0] << 8 | p[1]; }

bool SideUsable(uint32_t side) { return side >= 1 && side <= uint32_t(MaxPictureSide); }

// Every chunk must lie inside the data, the first is a usable IHDR, and IEND comes
// before the data ends.
bool PngUsable(const uint8_t* data, size_t size) {
  size_t at = sizeof PngSignature;
  bool first = true;
  while (size - at >= 12) {
    uint32_t length = Load32Be(data + at);
    const uint8_t* type = data + at + 4;
    if (length > 0x7FFFFFFFu || length > size - at - 12) return false;
    if (first) {
      if (std::memcmp(type, "IHDR", 4) != 0 || length < 8) return false;
      if (!SideUsable(Load32Be(data + at + 8)) || !SideUsable(Load32Be(data + at + 12)))
        return false;
      first = false;
    }
    if (std::memcmp(type, "IEND", 4) == 0) return true;
    at += 12 + size_t(length);
  }
  return false;
}

// A start-of-frame marker (baseline, progressive, ...; not DHT, JPG or DAC).
bool IsStartOfFrame(int marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Walks the segments up to the frame header and checks its size; every segment before
// it must lie inside the data.
bool JpegUsable(const uint8_t* data, size_t size) {
  size_t at = 2;
  for (;;) {
    while (at < size && data[at] == 0xFF) ++at;  // fill bytes before a marker
    if (at >= size || data[at - 1] != 0xFF) return false;
    int marker = data[at++];
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
    if (marker == 0xD9 || marker == 0xDA || size - at < 2) return false;  // no frame yet
    size_t length = size_t(Load16Be(data + at));
    if (length < 2 || length > size - at) return false;
    if (IsStartOfFrame(marker)) {
      if (length < 7) return false;
      return SideUsable(uint32_t(Load16Be(data + at + 3))) &&
             SideUsable(uint32_t(Load16Be(data + at + 5)));
    }
    at += length;
  }
}

}  // namespace

PictureKind CheckPictureHeader(const uint8_t* data, size_t size) {
  if (!data) return PictureKind::None;
  if (size > sizeof PngSignature && std::memcmp(data, PngSignature, sizeof PngSignature) == 0)
    return PngUsable(data, size) ? PictureKind::Png : PictureKind::None;
  if (size > 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
    return JpegUsable(data, size) ? PictureKind::Jpeg : PictureKind::None;
  return PictureKind::None;
}

}  // namespace kw
