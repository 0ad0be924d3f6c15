// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Collision of sprites: the box test on clip rectangles and the pixel-exact test on
// bit masks. Every picture keeps a mask of its whole picture (one bit per pixel, 64 to a
// word, a spare word at the end of each row), so moving a clip along an animation strip
// costs nothing; the test ANDs shifted mask words row by row. Called by the world
// drawing, enemies, shots and map rules many times per frame.
#include <algorithm>

#include "media/sprite_internal.h"
#include "media/sprites.h"

namespace kw {

namespace {

// Builds the picture's mask when it is missing or out of date.
void BuildMask(Picture& picture) {
  if (picture.maskValid) return;
  int words = (picture.width + 63) / 64 + 1;
  picture.maskWords = words;
  picture.mask.assign(size_t(words) * size_t(picture.height), 0);
  for (int y = 0; y < picture.height; ++y) {
    const uint32_t* row = &picture.pixels[size_t(y) * picture.width];
    uint64_t* bits = &picture.mask[size_t(y) * words];
    for (int x = 0; x < picture.width; ++x)
      bits[x >> 6] |= uint64_t(!IsTransparent(row[x], picture.keyRgb)) << (x & 63);
  }
  picture.maskValid = true;
}

// 64 mask bits starting at bit `bit` of a row (the spare word makes row[w + 1] safe).
inline uint64_t MaskBits(const uint64_t* row, int bit) {
  int word = bit >> 6, shift = bit & 63;
  uint64_t bits = row[word] >> shift;
  if (shift) bits |= row[word + 1] << (64 - shift);
  return bits;
}

// The overlap of two placed clip rectangles in target coordinates; false when none.
struct Overlap {
  long long x0, y0, x1, y1;
};
bool BoxOverlap(const Picture& a, int ax, int ay, const Picture& b, int bx, int by,
                Overlap& out) {
  out.x0 = std::max<long long>(ax, bx);
  out.y0 = std::max<long long>(ay, by);
  out.x1 = std::min<long long>((long long)ax + a.clip.w, (long long)bx + b.clip.w);
  out.y1 = std::min<long long>((long long)ay + a.clip.h, (long long)by + b.clip.h);
  return out.x0 < out.x1 && out.y0 < out.y1;
}

}  // namespace

int SpriteBoxesTouch(int s1, int x1, int y1, int s2, int x2, int y2) {
  Picture* a = SpritePictureRaw(s1);
  Picture* b = SpritePictureRaw(s2);
  Overlap o;
  return a && b && BoxOverlap(*a, x1, y1, *b, x2, y2, o) ? 1 : 0;
}

int SpritesTouch(int s1, int x1, int y1, int s2, int x2, int y2) {
  Picture* a = SpritePictureRaw(s1);
  Picture* b = SpritePictureRaw(s2);
  Overlap o;
  if (!a || !b || !BoxOverlap(*a, x1, y1, *b, x2, y2, o)) return 0;
  BuildMask(*a);
  BuildMask(*b);
  int width = int(o.x1 - o.x0);
  // Bit offsets of the overlap's left edge inside each picture's mask row.
  int aBit = int(o.x0 - x1) + a->clip.x, bBit = int(o.x0 - x2) + b->clip.x;
  int aRow = int(o.y0 - y1) + a->clip.y, bRow = int(o.y0 - y2) + b->clip.y;
  uint64_t lastMask = (width & 63) ? (uint64_t(1) << (width & 63)) - 1 : ~uint64_t(0);
  for (long long y = o.y0; y < o.y1; ++y, ++aRow, ++bRow) {
    const uint64_t* ra = &a->mask[size_t(aRow) * a->maskWords];
    const uint64_t* rb = &b->mask[size_t(bRow) * b->maskWords];
    for (int done = 0; done < width; done += 64) {
      uint64_t both = MaskBits(ra, aBit + done) & MaskBits(rb, bBit + done);
      if (done + 64 >= width) both &= lastMask;
      if (both) return 1;
    }
  }
  return 0;
}

}  // namespace kw
