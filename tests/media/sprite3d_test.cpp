// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// 3D sprites on the back buffer: blending with the global and the picture's own alpha,
// key colours, scaling and turning with and without filtering, and how a 3D sprite
// follows its sprite's pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "common/pictures.h"
#include "media/core.h"
#include "media/core_internal.h"
#include "media/sprite_internal.h"
#include "media/sprites.h"

namespace {

using namespace kwtest;

int Channel(uint32_t p, int shift) { return int((p >> shift) & 255); }

// The blend a reader expects: source over destination with opacity a / 255.
uint32_t Expected(uint32_t dst, uint32_t src, double a) {
  uint32_t out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8)
    out |= uint32_t(std::lround(Channel(src, shift) * a / 255 + Channel(dst, shift) * (1 - a / 255)))
           << shift;
  return out;
}

void ExpectNear(uint32_t got, uint32_t want, int tolerance = 1) {
  for (int shift = 0; shift < 24; shift += 8)
    EXPECT_NEAR(Channel(got, shift), Channel(want, shift), tolerance)
        << std::hex << "got " << got << " want " << want;
}

class Sprite3DTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDrawing();
    ClearScreen();
  }
  void TearDown() override { kw::SetBlitTarget(-1); }
  static void ClearScreen() {
    std::fill(kw::BackBuffer(), kw::BackBuffer() + kw::ScreenWidth * kw::ScreenHeight, Grey);
  }
  // A w x h texture sprite whose pixel (x, y) is colour(x, y), made 3D under the same number.
  template <typename F>
  void Make3D(int n, int w, int h, F colour) {
    FillSprite(n, w, h, colour);
    ASSERT_EQ(kw::MakeSprite3D(n, n), 1);
  }
  static uint32_t Pattern(int x, int y) {
    return 0xFF000000u | uint32_t((x * 40 + 10) << 16 | (y * 40 + 10) << 8 | 0x33);
  }
};

TEST_F(Sprite3DTest, UnscaledOpaqueCutoutAndBlendedDraws) {
  EXPECT_EQ(kw::Begin3D(), 1);
  Make3D(1, 5, 3, Pattern);
  kw::DrawSprite3D(1, 10, 10, 255);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(Screen(10 + x, 10 + y), Pattern(x, y));
  EXPECT_EQ(Screen(15, 10), Grey);

  // Black (the key) is skipped at full opacity and when blended.
  Make3D(2, 6, 1, [](int x, int) { return x % 2 ? 0xFF000000u : Red; });
  kw::DrawSprite3D(2, 20, 20, 255);
  kw::DrawSprite3D(2, 20, 21, 100);
  for (int x = 0; x < 6; ++x) {
    EXPECT_EQ(Screen(20 + x, 20), x % 2 ? Grey : Red);
    if (x % 2) EXPECT_EQ(Screen(20 + x, 21), Grey);
    else ExpectNear(Screen(20 + x, 21), Expected(Grey, Red, 100));
  }
  kw::End3D();
}

TEST_F(Sprite3DTest, OpacityTimesThePicturesOwnAlphaOnEveryPixel) {
  // 7 wide so both the four-pixel loop and the single-pixel tail are exercised.
  const uint32_t own[3] = {0xFF2040F0u, 0x80FF8000u, 0x00FFFFFFu};
  Make3D(1, 7, 3, [&](int, int y) { return own[y]; });
  for (int alpha : {255, 200, 128, 1}) {
    ClearScreen();
    kw::DrawSprite3D(1, 3, 4, alpha);
    for (int x = 0; x < 7; ++x) {
      ExpectNear(Screen(3 + x, 4), Expected(Grey, own[0], alpha));
      ExpectNear(Screen(3 + x, 5), Expected(Grey, own[1], alpha * 128 / 255.0));
      EXPECT_EQ(Screen(3 + x, 6), Grey);  // alpha 0 in the picture
      EXPECT_EQ(Screen(3 + x, 4) >> 24, 255u);
    }
  }
  ClearScreen();
  kw::DrawSprite3D(1, 3, 4, 0);
  kw::DrawSprite3D(1, 3, 4, -20);
  EXPECT_EQ(Screen(3, 4), Grey);
  kw::DrawSprite3D(1, 3, 4, 900);  // more than opaque is opaque
  EXPECT_EQ(Screen(3, 4), own[0]);
}

TEST_F(Sprite3DTest, PartlyOutsideAndIntoABlitTarget) {
  Make3D(1, 4, 4, Pattern);
  kw::DrawSprite3D(1, -2, 477, 255);
  EXPECT_EQ(Screen(0, 477), Pattern(2, 0));
  EXPECT_EQ(Screen(1, 479), Pattern(3, 2));
  kw::DrawSprite3D(1, 700, 0, 255);
  kw::DrawSprite3D(1, 0, -4, 255);
  EXPECT_EQ(Screen(0, 0), Grey);

  ASSERT_EQ(kw::CreateSprite(9, 3, 3), 1);
  kw::SetBlitTarget(9);
  kw::DrawSprite3D(1, 1, 1, 255);
  EXPECT_EQ(kw::SpritePixels(9)[2 * 3 + 2], Pattern(1, 1));
  EXPECT_EQ(kw::SpritePixels(9)[0], 0xFF000000u);
  kw::TurnSprite3D(1, 90, 0);
  kw::DrawSprite3D(1, -1, -1, 255);  // turned draws are cut at the target too
  kw::SetBlitTarget(-1);
  // A quarter turn clockwise: local (x, y) shows picture (y, 3 - x).
  EXPECT_EQ(kw::SpritePixels(9)[0], Pattern(1, 2));
  EXPECT_EQ(kw::SpritePixels(9)[2 * 3 + 2], Pattern(3, 0));
  EXPECT_EQ(Screen(1, 1), Grey);
}

TEST_F(Sprite3DTest, TurnedAQuarterAboutTheCentre) {
  // 4 x 2 at (100, 100), centre (102, 101); a quarter turn clockwise makes it 2 x 4
  // covering x 101..102, y 99..102, the bottom-left pixel now at the top left.
  Make3D(1, 4, 2, Pattern);
  for (int filter : {0, 1}) {
    ClearScreen();
    kw::SetSprite3DFiltering(filter);
    kw::TurnSprite3D(1, 90, 0);
    kw::DrawSprite3D(1, 100, 100, 255);
    for (int y = 0; y < 4; ++y) {
      ExpectNear(Screen(101, 99 + y), Pattern(y, 1));
      ExpectNear(Screen(102, 99 + y), Pattern(y, 0));
      EXPECT_EQ(Screen(100, 99 + y), Grey);
      EXPECT_EQ(Screen(103, 99 + y), Grey);
    }
    EXPECT_EQ(Screen(101, 98), Grey);
    EXPECT_EQ(Screen(101, 103), Grey);
  }
}

TEST_F(Sprite3DTest, RelativeTurnsAddUpAndAbsoluteTurnsSet) {
  Make3D(1, 20, 12, Pattern);
  kw::SetSprite3DFiltering(0);
  kw::TurnSprite3D(1, 30, 1);
  kw::TurnSprite3D(1, 40, 1);
  kw::DrawSprite3D(1, 200, 200, 180);
  std::vector<uint32_t> relative(kw::BackBuffer(), kw::BackBuffer() + 640 * 480);
  ClearScreen();
  kw::TurnSprite3D(1, 70 + 720, 0);  // whole turns change nothing
  kw::DrawSprite3D(1, 200, 200, 180);
  EXPECT_TRUE(std::equal(relative.begin(), relative.end(), kw::BackBuffer()));
  EXPECT_NE(Screen(210, 206), Grey);  // the centre is covered
  // A fresh MakeSprite3D starts unturned and at the sprite's size again.
  ASSERT_EQ(kw::MakeSprite3D(1, 1), 1);
  ClearScreen();
  kw::DrawSprite3D(1, 0, 0, 255);
  EXPECT_EQ(Screen(19, 11), Pattern(19, 11));
  EXPECT_EQ(Screen(20, 11), Grey);
}

TEST_F(Sprite3DTest, ScaledTwoByTwoWithFilteringOffAndOn) {
  Make3D(1, 2, 2, [](int x, int y) { return y ? (x ? White : Green) : (x ? Blue : Red); });
  kw::ScaleSprite3D(1, 4, 4);
  kw::SetSprite3DFiltering(0);
  kw::DrawSprite3D(1, 0, 0, 255);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(Screen(x, y), y / 2 ? (x / 2 ? White : Green) : (x / 2 ? Blue : Red));
  EXPECT_EQ(Screen(4, 0), Grey);
  EXPECT_EQ(Screen(0, 4), Grey);

  ClearScreen();
  kw::SetSprite3DFiltering(1);
  kw::DrawSprite3D(1, 0, 0, 255);
  ExpectNear(Screen(0, 0), Red);                   // corners stay pure
  ExpectNear(Screen(3, 3), White);
  ExpectNear(Screen(1, 0), 0xFFBF0040u);           // 3/4 red, 1/4 blue
  ExpectNear(Screen(1, 1), 0xFF9F4040u);           // all four mixed
  EXPECT_EQ(Screen(4, 0), Grey);
}

TEST_F(Sprite3DTest, BilinearDoesNotBleedTheKeyColour) {
  kw::SetSpriteKeyColor(-1, kw::Rgb(0, 255, 0));
  Make3D(1, 2, 1, [](int x, int) { return x ? Green : Red; });
  kw::ScaleSprite3D(1, 4, 1);
  kw::DrawSprite3D(1, 0, 0, 255);
  // Pixel 1 samples 3/4 red and 1/4 key: 3/4 red over 1/4 grey, no green added.
  ExpectNear(Screen(1, 0), Expected(Grey, Red, 255 * 0.75));
  EXPECT_EQ(Screen(3, 0), Grey);
}

TEST_F(Sprite3DTest, ZeroOrNegativeSizeAndEmptyNumbersDrawNothing) {
  Make3D(1, 4, 4, Pattern);
  kw::ScaleSprite3D(1, 0, 4);
  kw::DrawSprite3D(1, 0, 0, 255);
  kw::ScaleSprite3D(1, 4, -4);
  kw::DrawSprite3D(1, 0, 0, 255);
  kw::DrawSprite3D(2, 0, 0, 255);
  kw::DrawSprite3D(-1, 0, 0, 255);
  kw::DrawSprite3D(kw::MaxSprites3D, 0, 0, 255);
  kw::TurnSprite3D(77, 10, 1);
  kw::ScaleSprite3D(77, 10, 10);
  EXPECT_EQ(Screen(0, 0), Grey);
  EXPECT_EQ(kw::MakeSprite3D(3, 99), 0);
  EXPECT_EQ(kw::MakeSprite3D(-1, 1), 0);
  // Huge sizes and far positions are cut to the screen without trouble.
  kw::ScaleSprite3D(1, 100000, 3);
  kw::TurnSprite3D(1, 33, 0);
  kw::DrawSprite3D(1, -50000, 200, 255);
  EXPECT_NE(Screen(0, 201), Grey);
  EXPECT_GT(std::count_if(kw::BackBuffer(), kw::BackBuffer() + 640 * 480,
                          [](uint32_t p) { return p != Grey; }),
            1000);
}

TEST_F(Sprite3DTest, FollowsItsSpritesPixelsAndKeyUntilAReload) {
  // The tile loader's way: a created sprite made 3D first, then drawn into.
  ASSERT_EQ(kw::CreateSprite(5, 2, 1), 1);
  ASSERT_EQ(kw::MakeSprite3D(5, 5), 1);
  ASSERT_EQ(kw::CreateSprite(6, 1, 1), 1);
  kw::SpritePixels(6)[0] = Blue;
  kw::SetBlitTarget(5);
  kw::DrawSprite(6, 1, 0);
  kw::SetBlitTarget(-1);
  kw::DrawSprite3D(5, 0, 0, 255);
  EXPECT_EQ(Screen(0, 0), Grey);  // black fill: the default key
  EXPECT_EQ(Screen(1, 0), Blue);

  // A key colour set after MakeSprite3D counts (the lights do it that way).
  kw::SetSpriteKeyColor(5, kw::Rgb(0, 0, 255));
  kw::DrawSprite3D(5, 0, 1, 255);
  EXPECT_EQ(Screen(0, 1), 0xFF000000u);
  EXPECT_EQ(Screen(1, 1), Grey);

  // Reloading the sprite replaces what the 3D sprite shows only after MakeSprite3D.
  ASSERT_EQ(kw::CreateSprite(5, 2, 1), 1);
  kw::SpritePixels(5)[0] = Red;
  kw::SpritePixels(5)[1] = Red;
  kw::DrawSprite3D(5, 0, 2, 255);
  EXPECT_EQ(Screen(1, 2), Grey);
  ASSERT_EQ(kw::MakeSprite3D(5, 5), 1);
  kw::DrawSprite3D(5, 0, 3, 255);
  EXPECT_EQ(Screen(0, 3), Red);
  // Freeing the sprite does not pull the picture from under the 3D sprite.
  kw::FreeSprite(5);
  kw::DrawSprite3D(5, 0, 4, 255);
  EXPECT_EQ(Screen(1, 4), Red);
}

TEST_F(Sprite3DTest, DrawnIntoItsOwnSpriteReadsTheOldPixels) {
  // A 1 x 4 column a, b, c, d drawn into itself one row lower gives a, a, b, c; reading
  // rows already written over would smear the first row down the whole column.
  Make3D(7, 1, 4, [](int, int y) { return 0xFF000000u | uint32_t(0x101010 * (y + 1)); });
  kw::SetBlitTarget(7);
  kw::DrawSprite3D(7, 0, 1, 255);
  kw::SetBlitTarget(-1);
  const uint32_t* p = kw::SpritePixels(7);
  EXPECT_EQ(p[0], 0xFF101010u);
  EXPECT_EQ(p[1], 0xFF101010u);
  EXPECT_EQ(p[2], 0xFF202020u);
  EXPECT_EQ(p[3], 0xFF303030u);
}

// A run of copies side by side leaves exactly the pixels of the same copies drawn one by
// one, with every kernel, for one-colour pictures, repeated row patterns, pictures with
// several kinds of runs in a row, and turned or overlapping copies, on the screen and
// partly or wholly off it, to int's ends.
TEST_F(Sprite3DTest, ARunLeavesThePixelsOfItsCopiesDrawnOneByOne) {
  struct Case {
    const char* name;
    uint32_t (*colour)(int x, int y);
  };
  const Case pictures[] = {
      {"one colour", [](int, int) { return 0xFF102030u; }},
      {"opaque row pattern", [](int x, int y) { return 0xFF000000u | uint32_t(x * 8 << 16 | y * 8 << 8 | 7); }},
      {"half-transparent row pattern",
       [](int x, int y) { return uint32_t((40 + x * 6) << 24 | (y * 8) << 8 | 0x90); }},
      {"several kinds of runs",
       [](int x, int y) { return x < 10 ? 0xFF0000F0u | uint32_t(y << 16) : x < 20 ? Black : 0x80FF8000u; }},
  };
  struct Place {
    int x, y, count, step;
    float angle;
  };
  const Place places[] = {
      {5, 7, 3, 30, 0},        {-47, 7, 4, 30, 0},        {600, 460, 3, 30, 0},
      {-10, -12, 25, 30, 0},   {-100000, 0, 5000, 30, 0}, {INT_MAX - 40, 9, 3, 30, 0},
      {INT_MIN, 9, 3, 30, 0},  {620, 30, 4, -30, 0},      {5, 7, 4, 20, 0},
      {-20, 100, 5, 30, 90},
  };
  auto background = [] {
    uint32_t* b = kw::BackBuffer();
    for (int i = 0; i < kw::ScreenWidth * kw::ScreenHeight; ++i) b[i] = 0xFF000000u | uint32_t(i * 2654435761u >> 8);
  };
  const int best = kw::UseBlendKernels(-1);
  const size_t size = size_t(kw::ScreenWidth) * kw::ScreenHeight;
  for (int level = 0; level <= best; ++level) {
    kw::UseBlendKernels(level);
    for (const Case& picture : pictures) {
      Make3D(3, 30, 30, picture.colour);
      for (const Place& at : places)
        for (int alpha : {255, 100}) {
          kw::TurnSprite3D(3, at.angle, 0);
          background();
          for (long long i = 0; i < at.count; ++i) {
            long long x = (long long)at.x + i * at.step;
            if (x >= INT_MIN && x <= INT_MAX) kw::DrawSprite3D(3, int(x), at.y, alpha);
          }
          std::vector<uint32_t> one(kw::BackBuffer(), kw::BackBuffer() + size);
          background();
          kw::DrawSprite3DRun(3, at.x, at.y, at.step, at.count, alpha);
          std::vector<uint32_t> run(kw::BackBuffer(), kw::BackBuffer() + size);
          ASSERT_TRUE(one == run) << picture.name << " at " << at.x << ", " << at.y << " x" << at.count
                                  << " alpha " << alpha << " kernels " << level;
        }
    }
  }
  kw::UseBlendKernels(-1);
}

}  // namespace
