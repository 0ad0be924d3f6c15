// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// A small raster library for the game-data generator: ARGB pictures in memory, shapes,
// gradients, value noise, text through SDL2_ttf, PNG encoding and decoding through libpng.
// Used by kwgen (which draws every picture of the game) and by the tests that read them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kwgen {

// 0xAARRGGBB, like the game's back buffer. A transparent pixel is 0 (alpha 0, RGB black).
constexpr uint32_t Argb(int r, int g, int b, int a = 255) {
  return (uint32_t(a & 255) << 24) | (uint32_t(r & 255) << 16) | (uint32_t(g & 255) << 8) |
         uint32_t(b & 255);
}
constexpr int RedOf(uint32_t c) { return int((c >> 16) & 255); }
constexpr int GreenOf(uint32_t c) { return int((c >> 8) & 255); }
constexpr int BlueOf(uint32_t c) { return int(c & 255); }
constexpr int AlphaOf(uint32_t c) { return int(c >> 24); }
constexpr uint32_t Clear = 0;

struct Image {
  int w = 0;
  int h = 0;
  std::vector<uint32_t> px;
  Image() = default;
  Image(int width, int height, uint32_t fill = Clear)
      : w(width), h(height), px(size_t(width) * size_t(height), fill) {}
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
  uint32_t Get(int x, int y) const { return Inside(x, y) ? px[size_t(y) * w + x] : 0; }
  void Set(int x, int y, uint32_t c) {
    if (Inside(x, y)) px[size_t(y) * w + x] = c;
  }
};

// Deterministic random numbers (xorshift); every picture uses a fixed seed.
struct Rng {
  uint32_t state;
  explicit Rng(uint32_t seed) : state(seed * 2654435761u + 0x9E3779B9u) { Next(); }
  uint32_t Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
  float Unit() { return float(Next() >> 8) / 16777216.0f; }  // 0 <= u < 1
  int Range(int lo, int hi) { return lo + int(Next() % uint32_t(hi - lo + 1)); }
};

// Colour arithmetic.
uint32_t Mix(uint32_t a, uint32_t b, float t);        // t = 0 gives a; alpha mixed too
uint32_t Shade(uint32_t c, float factor);             // brightness times factor, alpha kept
uint32_t WithAlpha(uint32_t c, int alpha);
uint32_t Over(uint32_t dst, uint32_t src);            // src blended over dst

// Value noise in 0..1 (smooth) and a few octaves of it.
float Hash01(int x, int y, uint32_t seed);
float ValueNoise(float x, float y, uint32_t seed);
float Fbm(float x, float y, uint32_t seed, int octaves);
// Ordered-dither threshold -0.5..0.5 of a 4 x 4 Bayer matrix.
float Bayer(int x, int y);

// Shapes; colours with alpha below 255 blend over what is there.
void Plot(Image& img, int x, int y, uint32_t c);
void FillRect(Image& img, int x, int y, int w, int h, uint32_t c);
void FrameRect(Image& img, int x, int y, int w, int h, uint32_t c);
void FillEllipse(Image& img, float cx, float cy, float rx, float ry, uint32_t c);
void Ring(Image& img, float cx, float cy, float r, float thickness, uint32_t c);
void Line(Image& img, float x0, float y0, float x1, float y1, float width, uint32_t c);
void FillPolygon(Image& img, const std::vector<std::pair<float, float>>& points, uint32_t c);
void VerticalGradient(Image& img, int x, int y, int w, int h, uint32_t top, uint32_t bottom);
// A soft round glow: alpha falls from the centre to radius.
void Glow(Image& img, float cx, float cy, float radius, uint32_t c);

// Opaque pixels get a lit top-left and a shaded bottom-right edge; transparent pixels
// next to opaque ones become the outline colour (4-neighbourhood).
void BevelEdges(Image& img, float light, float dark);
void Outline(Image& img, uint32_t colour);
// Texture: multiplies every opaque pixel by 1 + amount * (noise - 0.5).
void NoiseTexture(Image& img, float scale, float amount, uint32_t seed);

// Copies and scaling.
void Blit(Image& dst, const Image& src, int x, int y);  // alpha blended
void BlitRegion(Image& dst, const Image& src, int sx, int sy, int w, int h, int dx, int dy);
void CopyRegion(Image& dst, const Image& src, int sx, int sy, int w, int h, int dx, int dy);
Image Crop(const Image& src, int x, int y, int w, int h);
Image FlipHorizontal(const Image& src);
Image Scaled(const Image& src, int w, int h);  // box filter down, nearest up
// Every transparent pixel becomes key (opaque), for pictures drawn with a key colour.
void KeyBackground(Image& img, uint32_t key);
// Opaque pixels of pure black become (1, 1, 1): black means transparent to the game.
void AvoidPureBlack(Image& img);
// Alpha forced to 0 or 255 (pictures drawn by the 2D keyed blitter).
void HardenAlpha(Image& img, int threshold);

// Text (UTF-8) in the game's decorative face (Junicode, italic), DejaVu when missing.
// size in points at 72 dpi (= pixels); returns the width drawn.
int DrawText(Image& img, const std::string& utf8, int x, int y, int size, uint32_t colour,
             bool bold = false);
int TextWidth(const std::string& utf8, int size, bool bold = false);
std::string FontFile(bool bold);  // the face file that DrawText uses
// Text with a dark shadow one pixel down-right.
void DrawTextShadowed(Image& img, const std::string& utf8, int x, int y, int size,
                      uint32_t colour, uint32_t shadow, bool bold = false);
void DrawTextCentred(Image& img, const std::string& utf8, int cx, int y, int size,
                     uint32_t colour, uint32_t shadow, bool bold = false);

// PNG in memory and on disk.
std::vector<uint8_t> EncodePng(const Image& img);
bool DecodePng(const uint8_t* data, size_t size, Image& out);
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace kwgen
