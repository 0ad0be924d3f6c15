// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The fast 3D draws against the renderer's rule, pixel for pixel: every kernel level
// (plain, SSE2, AVX2 where the processor has it) and the run tables built per picture
// must give exactly the pixels of the plain per-pixel blend, for pictures that mix
// opaque, transparent, key-colour and partly transparent pixels, clipped pictures,
// draws partly off the screen, and pictures changed after they were drawn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "common/pictures.h"
#include "media/core.h"
#include "media/sprite_internal.h"
#include "media/sprites.h"

namespace {

using namespace kwtest;

// The renderer's rule for one pixel: opacity = own alpha (0 for key or alpha 0) times the
// global alpha, each channel ((s * a + d * (255 - a) + 128) * 257) >> 16, result opaque.
uint32_t RulePixel(uint32_t dst, uint32_t src, uint32_t alpha, uint32_t keyRgb) {
  bool clear = (src >> 24) == 0 || (src & 0xFFFFFFu) == keyRgb;
  uint32_t a = clear ? 0 : (((src >> 24) * alpha + 128) * 257) >> 16;
  uint32_t s = src | 0xFF000000u, out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t sc = (s >> shift) & 255, dc = (dst >> shift) & 255;
    out |= (((sc * a + dc * (255 - a) + 128) * 257) >> 16) << shift;
  }
  return out;
}

// A picture pixel of a given mix: runs of opaque, clear, key and partial pixels, with
// dithered stretches where the kind changes every pixel or two.
uint32_t MixedPixel(std::mt19937& random, int x, uint32_t keyRgb) {
  uint32_t rgb = random() & 0xFFFFFFu;
  int stretch = (x / 9) % 5;
  if (stretch == 4) stretch = int(random() % 4);  // the dithered stretch
  switch (stretch) {
    case 0: return 0xFF000000u | rgb;
    case 1: return random() % 2 ? rgb : keyRgb | 0xFF000000u;  // alpha 0 or the key
    case 2: return uint32_t(1 + random() % 254) << 24 | rgb;
    default: return (random() % 3 ? 0xFF000000u : 0u) | rgb;
  }
}

class BlendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDrawing();
  }
  void TearDown() override { kw::UseBlendKernels(-1); }
};

TEST_F(BlendTest, EveryKernelLevelGivesTheRulesPixels) {
  std::mt19937 random(7);
  const int best = kw::UseBlendKernels(-1);
  const uint32_t key = 0x00FF00u;
  for (int level = 0; level <= best; ++level) {
    ASSERT_EQ(kw::UseBlendKernels(level), level);
    for (int n = 0; n < 45; ++n)
      for (uint32_t alpha : {1u, 2u, 77u, 128u, 190u, 254u, 255u}) {
        std::vector<uint32_t> src(static_cast<size_t>(n)), dst(src), even;
        for (int i = 0; i < n; ++i) {
          src[size_t(i)] = MixedPixel(random, i * 3, key);
          dst[size_t(i)] = random();
        }
        even = dst;
        std::vector<uint32_t> want = dst;
        for (int i = 0; i < n; ++i) want[size_t(i)] = RulePixel(dst[size_t(i)], src[size_t(i)], alpha, key);
        kw::BlendRow(dst.data(), src.data(), n, alpha, key);
        ASSERT_EQ(dst, want) << "level " << level << " n " << n << " alpha " << alpha;
        // The even kernel is for opaque runs: the same rule with the pixels made opaque.
        std::vector<uint32_t> opaque = src;
        for (uint32_t& p : opaque) p |= 0xFF000000u;
        for (int i = 0; i < n; ++i)
          want[size_t(i)] = RulePixel(even[size_t(i)], opaque[size_t(i)], alpha, 0x1000000u);
        kw::BlendRowEven(even.data(), src.data(), n, alpha);
        ASSERT_EQ(even, want) << "even, level " << level << " n " << n << " alpha " << alpha;
        // The solid kernel is the even one over copies of a single pixel.
        std::vector<uint32_t> solid = dst, copies(size_t(n), opaque.empty() ? 0u : opaque[0]);
        want = solid;
        kw::BlendRowEven(want.data(), copies.data(), n, alpha);
        kw::BlendRowSolid(solid.data(), n, copies.empty() ? 0u : copies[0], alpha);
        ASSERT_EQ(solid, want) << "solid, level " << level << " n " << n << " alpha " << alpha;
      }
  }
}

// A picture held by the test as well, so the rule can be applied to it.
struct TestPicture {
  int w = 0, h = 0;
  std::vector<uint32_t> pixels;
  int cx = 0, cy = 0, cw = 0, ch = 0;  // clip
  uint32_t keyRgb = 0;
};

// Banded: each row of one mix from edge to edge, a few rows alike, as most tiles are
// (drawn a band of rows at a time).
TestPicture MakeMixedPicture(std::mt19937& random, int w, int h, uint32_t keyRgb, bool banded = false) {
  TestPicture t;
  t.w = w, t.h = h, t.cw = w, t.ch = h, t.keyRgb = keyRgb;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) t.pixels.push_back(MixedPixel(random, banded ? y / 3 * 9 : x + y * 5, keyRgb));
  return t;
}

// Puts the picture into sprite n (3D under the same number) with its clip and key.
void Install(int n, const TestPicture& t) {
  FillSprite(n, t.w, t.h, [&](int x, int y) { return t.pixels[size_t(y * t.w + x)]; });
  kw::SetSpriteKeyColor(n, int(((t.keyRgb >> 16) & 255) | (t.keyRgb & 0xFF00) | ((t.keyRgb & 255) << 16)));
  kw::SetSpriteClip(n, t.cx, t.cy, t.cw, t.ch);
  ASSERT_EQ(kw::MakeSprite3D(n, n), 1);
}

// Draws sprite n at (x, y) and checks the whole screen against the rule.
void DrawAndCompare(int n, const TestPicture& t, int x, int y, int alpha) {
  // Kept between calls: a fresh screen-sized block each draw costs more than the draws.
  static std::vector<uint32_t> want, got;
  want.assign(kw::BackBuffer(), kw::BackBuffer() + kw::ScreenWidth * kw::ScreenHeight);
  for (int row = 0; row < t.ch; ++row)
    for (int col = 0; col < t.cw; ++col) {
      int sx = x + col, sy = y + row;
      if (sx < 0 || sy < 0 || sx >= kw::ScreenWidth || sy >= kw::ScreenHeight) continue;
      uint32_t& d = want[size_t(sy * kw::ScreenWidth + sx)];
      d = RulePixel(d, t.pixels[size_t((t.cy + row) * t.w + t.cx + col)], uint32_t(alpha), t.keyRgb);
    }
  kw::DrawSprite3D(n, x, y, alpha);
  got.assign(kw::BackBuffer(), kw::BackBuffer() + kw::ScreenWidth * kw::ScreenHeight);
  size_t firstBad = 0;
  while (firstBad < got.size() && got[firstBad] == want[firstBad]) ++firstBad;
  ASSERT_EQ(firstBad, got.size()) << "first wrong pixel at " << firstBad % kw::ScreenWidth << ","
                                  << firstBad / kw::ScreenWidth << " drawing at " << x << "," << y
                                  << " alpha " << alpha << std::hex << ": got " << got[firstBad]
                                  << " want " << want[firstBad];
}

void NoiseScreen(std::mt19937& random) {
  for (int i = 0; i < kw::ScreenWidth * kw::ScreenHeight; ++i) kw::BackBuffer()[i] = random();
}

TEST_F(BlendTest, UnscaledDrawsMatchTheRuleOnAndOffTheScreen) {
  std::mt19937 random(11);
  NoiseScreen(random);
  const int best = kw::UseBlendKernels(-1);
  for (int level = 0; level <= best; ++level) {
    kw::UseBlendKernels(level);
    for (int round = 0; round < 12; ++round) {
      int w = 1 + int(random() % 70), h = 1 + int(random() % 40);
      TestPicture t = MakeMixedPicture(random, w, h, round % 2 ? 0x00FF00u : 0u, round % 4 == 3);
      if (round % 3 == 1) {  // a clipped part, as the tile loader cuts sheets
        t.cx = int(random() % uint32_t(w));
        t.cy = int(random() % uint32_t(h));
        t.cw = 1 + int(random() % uint32_t(w - t.cx));
        t.ch = 1 + int(random() % uint32_t(h - t.cy));
      }
      Install(1, t);
      const int places[][2] = {{100, 100}, {-t.cw / 2, 30}, {kw::ScreenWidth - t.cw / 3, 200},
                               {5, -t.ch / 2}, {300, kw::ScreenHeight - 1}};
      // Each opacity at every place in turn: a picture blended again at one opacity is
      // drawn through its blend shares from the second draw on.
      for (int alpha : {255, 254, 190, 60, 1})
        for (const auto& at : places) DrawAndCompare(1, t, at[0], at[1], alpha);
    }
  }
}

TEST_F(BlendTest, RunTablesFollowPixelsClipAndKeyChanges) {
  std::mt19937 random(3);
  NoiseScreen(random);
  // Opaque at first: drawn as plain copies.
  TestPicture t;
  t.w = t.cw = 40, t.h = t.ch = 12;
  for (int i = 0; i < 40 * 12; ++i) t.pixels.push_back(0xFF000000u | (random() & 0xFFFF00u) | 0x11);
  Install(2, t);
  DrawAndCompare(2, t, 10, 10, 255);
  DrawAndCompare(2, t, 10, 30, 128);
  // Pixels written afterwards: holes and partial pixels must show in the next draw.
  uint32_t* px = kw::SpritePixels(2);
  for (int i = 0; i < 40 * 12; i += 3) px[i] = t.pixels[size_t(i)] = (i % 2 ? 0x80u << 24 : 0u) | 0x123456u;
  DrawAndCompare(2, t, 60, 10, 255);
  DrawAndCompare(2, t, 60, 30, 200);
  // A drawn-into sprite (as the tile loader builds its tiles) changes too.
  kw::SetBlitTarget(2);
  FillSprite(3, 8, 4, [](int, int) { return Red; });
  kw::DrawSprite(3, 4, 4);
  kw::SetBlitTarget(-1);
  for (int y = 4; y < 8; ++y)
    for (int x = 4; x < 12; ++x) t.pixels[size_t(y * 40 + x)] = Red;
  DrawAndCompare(2, t, 110, 10, 255);
  // One colour everywhere (drawn without reading the picture), then one pixel changed,
  // then that colour made the key: each draw shows the change.
  for (uint32_t& p : t.pixels) p = 0xFF040308u;
  px = kw::SpritePixels(2);
  std::fill(px, px + 40 * 12, 0xFF040308u);
  DrawAndCompare(2, t, 10, 50, 255);
  DrawAndCompare(2, t, 10, 70, 190);
  kw::SpritePixels(2)[13] = t.pixels[13] = 0xFF102030u;
  DrawAndCompare(2, t, 60, 50, 190);
  kw::SpritePixels(2)[13] = t.pixels[13] = 0xFF040308u;
  DrawAndCompare(2, t, 60, 70, 190);
  t.keyRgb = 0x040308u;
  kw::SetSpriteKeyColor(2, 0x080304);
  DrawAndCompare(2, t, 110, 50, 190);
  t.keyRgb = 0;
  kw::SetSpriteKeyColor(2, 0);
  // A duplicate shares the pixels until it is written: the original keeps drawing its own.
  ASSERT_EQ(kw::DuplicateSprite(2, 4), 1);
  kw::SpritePixels(4)[0] = 0xFF999999u;
  DrawAndCompare(2, t, 160, 50, 190);
  // Back to the mixed pixels for what follows.
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 40; ++x) t.pixels[size_t(y * 40 + x)] = MixedPixel(random, x + y * 5, 0);
  std::copy(t.pixels.begin(), t.pixels.end(), kw::SpritePixels(2));
  DrawAndCompare(2, t, 160, 70, 190);
  // Blended again at that opacity (the blend shares are made and used), then a pixel
  // changed and the same opacity again: the draw shows the new pixel.
  DrawAndCompare(2, t, 200, 70, 190);
  DrawAndCompare(2, t, 240, 70, 190);
  kw::SpritePixels(2)[45] = t.pixels[45] = 0x80FFEEDDu;
  DrawAndCompare(2, t, 280, 70, 190);
  // Another clip of the same picture, then another key colour.
  t.cx = 7, t.cy = 2, t.cw = 20, t.ch = 9;
  kw::SetSpriteClip(2, t.cx, t.cy, t.cw, t.ch);
  ASSERT_EQ(kw::MakeSprite3D(2, 2), 1);
  DrawAndCompare(2, t, 160, 10, 255);
  t.keyRgb = 0xFF0000u;
  kw::SetSpriteKeyColor(2, 0x0000FF);  // colours are 0x00BBGGRR
  DrawAndCompare(2, t, 200, 10, 255);
  DrawAndCompare(2, t, 200, 30, 99);
}

}  // namespace
