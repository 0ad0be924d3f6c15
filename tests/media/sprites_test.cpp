// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Sprites on the back buffer: making and loading pictures, opaque and keyed draws, clips,
// the blit target, key colours, and box and pixel-exact collision. No display needed:
// the tests read the back buffer directly.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "common/pictures.h"
#include "media/core.h"
#include "media/core_internal.h"
#include "media/sprites.h"

namespace {

using namespace kwtest;

class SpritesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kw::FreeAllSprites();
    kw::FreeAllSprites3D();
    kw::SetBlitTarget(-1);
    kw::SetSpriteKeyColor(-1, 0);
    std::fill(kw::BackBuffer(), kw::BackBuffer() + kw::ScreenWidth * kw::ScreenHeight, Grey);
  }
  void TearDown() override { kw::SetBlitTarget(-1); }

  // A w x h sprite whose pixel (x, y) is colour(x, y).
  template <typename F>
  void Make(int n, int w, int h, F colour) {
    FillSprite(n, w, h, colour);
  }
  // A distinct opaque colour per pixel, never black.
  static uint32_t Pattern(int x, int y) { return 0xFF000000u | uint32_t((x + 1) << 8 | (y + 1)); }
};

// Encodes an ARGB picture as PNG through SDL_image, like a pack entry holds it.
std::vector<uint8_t> EncodePng(int w, int h, const std::vector<uint32_t>& argb) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(argb.data()), w, h,
                                                      32, w * 4, SDL_PIXELFORMAT_ARGB8888);
  std::vector<uint8_t> buffer(1 << 16);
  SDL_RWops* rw = SDL_RWFromMem(buffer.data(), int(buffer.size()));
  EXPECT_EQ(IMG_SavePNG_RW(s, rw, 0), 0);
  buffer.resize(size_t(SDL_RWtell(rw)));
  SDL_RWclose(rw);
  SDL_FreeSurface(s);
  return buffer;
}

TEST_F(SpritesTest, CreateDuplicateFreeAndEmptyNumbers) {
  EXPECT_EQ(kw::CreateSprite(5, 3, 2), 1);
  EXPECT_EQ(kw::SpriteWidth(5), 3);
  EXPECT_EQ(kw::SpriteHeight(5), 2);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(kw::SpritePixels(5)[i] & 0xFFFFFF, 0u);
  EXPECT_EQ(kw::CreateSprite(6, 0, 5), 0);
  EXPECT_EQ(kw::CreateSprite(-2, 5, 5), 0);
  EXPECT_EQ(kw::CreateSprite(kw::MaxSprites, 5, 5), 0);

  // A duplicate gets the whole picture as clip and the default key colour.
  Make(7, 4, 4, Pattern);
  kw::SetSpriteClip(7, 1, 1, 2, 2);
  kw::SetSpriteKeyColor(7, kw::Rgb(1, 2, 3));
  kw::SetSpriteKeyColor(-1, kw::Rgb(255, 0, 0));
  ASSERT_EQ(kw::DuplicateSprite(7, 8), 1);
  kw::SpritePixels(8)[0] = Red;
  kw::DrawSpriteKeyed(8, 10, 10);
  EXPECT_EQ(Screen(10, 10), Grey);               // red is its key colour now
  EXPECT_EQ(Screen(13, 13), Pattern(3, 3));      // whole picture drawn
  EXPECT_EQ(kw::SpritePixels(7)[0], Pattern(0, 0));  // a copy, not shared
  EXPECT_EQ(kw::DuplicateSprite(99, 9), 0);

  kw::FreeSprite(8);
  EXPECT_EQ(kw::SpriteExists(8), 0);
  EXPECT_EQ(kw::SpritePixels(8), nullptr);
  // Numbers that hold nothing: nothing drawn, no touch, no crash.
  kw::DrawSprite(8, 0, 0);
  kw::DrawSpriteKeyed(12345, 0, 0);
  kw::SetSpriteClip(8, 0, 0, 1, 1);
  EXPECT_EQ(Screen(0, 0), Grey);
  EXPECT_EQ(kw::SpritesTouch(8, 0, 0, 7, 0, 0), 0);
  EXPECT_EQ(kw::SpriteBoxesTouch(7, 0, 0, -1, 0, 0), 0);
}

TEST_F(SpritesTest, OpaqueAndKeyedDrawsPixelByPixel) {
  // Left column black (default key), the rest the pattern.
  Make(1, 4, 3, [](int x, int y) { return x == 0 ? Black : Pattern(x, y); });
  kw::DrawSprite(1, 100, 50);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(Screen(100 + x, 50 + y), x == 0 ? Black : Pattern(x, y));
  EXPECT_EQ(Screen(99, 50), Grey);
  EXPECT_EQ(Screen(104, 50), Grey);
  EXPECT_EQ(Screen(100, 53), Grey);

  kw::DrawSpriteKeyed(1, 200, 50);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(Screen(200 + x, 50 + y), x == 0 ? Grey : Pattern(x, y));

  // Per-sprite key colour; compared on RGB only (alpha ignored).
  kw::SetSpriteKeyColor(1, kw::Rgb(0, 2, 1));  // Pattern(1, 0) = 0x000201
  kw::DrawSpriteKeyed(1, 300, 50);
  EXPECT_EQ(Screen(301, 50), Grey);
  EXPECT_EQ(Screen(300, 50), Black);
  EXPECT_EQ(Screen(302, 50), Pattern(2, 0));
}

TEST_F(SpritesTest, DefaultKeyColourAppliesToLaterSprites) {
  Make(1, 2, 1, [](int x, int) { return x ? Green : Red; });
  kw::SetSpriteKeyColor(-1, kw::Rgb(0, 255, 0));
  Make(2, 2, 1, [](int x, int) { return x ? Green : Red; });
  kw::DrawSpriteKeyed(1, 0, 0);
  kw::DrawSpriteKeyed(2, 0, 1);
  EXPECT_EQ(Screen(1, 0), Green);  // made before: key black
  EXPECT_EQ(Screen(1, 1), Grey);   // made after: key green
  EXPECT_EQ(Screen(0, 1), Red);
}

TEST_F(SpritesTest, ClipsCutAtThePictureAndMinusOneRestores) {
  Make(1, 10, 8, Pattern);
  kw::SetSpriteClip(1, 2, 3, 4, 2);
  kw::DrawSprite(1, 20, 20);
  EXPECT_EQ(Screen(20, 20), Pattern(2, 3));
  EXPECT_EQ(Screen(23, 21), Pattern(5, 4));
  EXPECT_EQ(Screen(24, 20), Grey);
  EXPECT_EQ(Screen(20, 22), Grey);

  // A clip reaching past the picture is cut at its edges.
  kw::SetSpriteClip(1, 8, -2, 5, 4);
  kw::DrawSprite(1, 40, 20);
  EXPECT_EQ(Screen(40, 20), Pattern(8, 0));
  EXPECT_EQ(Screen(41, 21), Pattern(9, 1));
  EXPECT_EQ(Screen(42, 20), Grey);
  EXPECT_EQ(Screen(40, 22), Grey);
  EXPECT_EQ(kw::SpriteBoxesTouch(1, 0, 0, 1, 1, 1), 1);
  EXPECT_EQ(kw::SpriteBoxesTouch(1, 0, 0, 1, 2, 0), 0);  // clip is 2 x 2 now

  // A clip entirely outside the picture shows nothing.
  kw::SetSpriteClip(1, 20, 20, 5, 5);
  kw::DrawSprite(1, 60, 20);
  EXPECT_EQ(Screen(60, 20), Grey);

  kw::SetSpriteClip(1, -1, -1, -1, -1);
  kw::DrawSprite(1, 80, 20);
  EXPECT_EQ(Screen(80, 20), Pattern(0, 0));
  EXPECT_EQ(Screen(89, 27), Pattern(9, 7));
}

TEST_F(SpritesTest, DrawsPartlyAndEntirelyOutsideTheScreen) {
  Make(1, 10, 10, Pattern);
  kw::DrawSprite(1, -4, -6);
  EXPECT_EQ(Screen(0, 0), Pattern(4, 6));
  EXPECT_EQ(Screen(5, 3), Pattern(9, 9));
  EXPECT_EQ(Screen(6, 0), Grey);
  kw::DrawSpriteKeyed(1, 635, 475);
  EXPECT_EQ(Screen(639, 479), Pattern(4, 4));
  EXPECT_EQ(Screen(634, 479), Grey);

  std::vector<uint32_t> before(kw::BackBuffer(), kw::BackBuffer() + 640 * 480);
  for (auto [x, y] : {std::pair{-10, 0}, {640, 0}, {0, -10}, {0, 480}, {-2000000000, 5},
                      {2147483647, 2147483647}}) {
    kw::DrawSprite(1, x, y);
    kw::DrawSpriteKeyed(1, x, y);
  }
  EXPECT_TRUE(std::equal(before.begin(), before.end(), kw::BackBuffer()));
}

TEST_F(SpritesTest, BlitTargetDrawsIntoASpriteClippedToIt) {
  ASSERT_EQ(kw::CreateSprite(10, 6, 4), 1);
  Make(1, 3, 3, [](int x, int y) { return x == 1 && y == 1 ? Black : Red; });
  kw::SetBlitTarget(10);
  kw::DrawSpriteKeyed(1, 4, 2);  // cut at the target sprite's right and bottom edges
  kw::DrawSprite(1, -2, -2);
  kw::SetBlitTarget(-1);
  EXPECT_EQ(Screen(4, 2), Grey);  // the back buffer was not touched

  const uint32_t* p = kw::SpritePixels(10);
  EXPECT_EQ(p[2 * 6 + 4], Red);
  EXPECT_EQ(p[2 * 6 + 5], Red);
  EXPECT_EQ(p[3 * 6 + 5] & 0xFFFFFF, 0u);  // keyed black skipped, the fill stays
  EXPECT_EQ(p[0], Red);                    // from the opaque draw at (-2, -2)
  EXPECT_EQ(p[1 * 6 + 0] & 0xFFFFFF, 0u);

  // The drawn-into sprite shows its new pixels, and its collision mask follows them.
  kw::DrawSpriteKeyed(10, 0, 0);
  EXPECT_EQ(Screen(4, 2), Red);
  Make(2, 1, 1, [](int, int) { return Blue; });
  EXPECT_EQ(kw::SpritesTouch(10, 0, 0, 2, 1, 1), 0);  // still the black fill there
  kw::SetBlitTarget(10);
  kw::DrawSprite(2, 1, 1);
  kw::SetBlitTarget(-1);
  EXPECT_EQ(kw::SpritesTouch(10, 0, 0, 2, 1, 1), 1);

  // A target number that holds nothing swallows draws.
  kw::SetBlitTarget(77);
  kw::DrawSprite(1, 0, 0);
  kw::SetBlitTarget(-1);
  EXPECT_EQ(Screen(0, 0), Red);
}

TEST_F(SpritesTest, DrawingASpriteIntoItselfReadsTheOldPixels) {
  Make(1, 4, 1, Pattern);
  kw::SetSpriteClip(1, 0, 0, 3, 1);
  kw::SetBlitTarget(1);
  kw::DrawSprite(1, 1, 0);
  kw::SetBlitTarget(-1);
  const uint32_t* p = kw::SpritePixels(1);
  EXPECT_EQ(p[1], Pattern(0, 0));
  EXPECT_EQ(p[2], Pattern(1, 0));
  EXPECT_EQ(p[3], Pattern(2, 0));
}

TEST_F(SpritesTest, GrabScreenSprite) {
  Screen(10, 20) = Red;
  Screen(12, 21) = Blue;
  ASSERT_EQ(kw::GrabScreenSprite(3, 10, 20, 3, 2), 1);
  EXPECT_EQ(kw::SpritePixels(3)[0], Red);
  EXPECT_EQ(kw::SpritePixels(3)[5], Blue);
  int picked = kw::GrabScreenSprite(-1, 638, 478, 4, 4);  // partly off screen
  ASSERT_GT(picked, 0);
  EXPECT_NE(picked, 3);
  EXPECT_EQ(kw::SpriteWidth(picked), 4);
  EXPECT_EQ(kw::SpritePixels(picked)[0], Grey);
  EXPECT_EQ(kw::SpritePixels(picked)[3] & 0xFFFFFF, 0u);
  int another = kw::GrabScreenSprite(-1, 0, 0, 1, 1);
  EXPECT_GT(another, 0);
  EXPECT_NE(another, picked);
}

TEST_F(SpritesTest, LoadPngFromMemoryWithAlphaZeroAsTransparent) {
  std::vector<uint32_t> argb = {0xFFFF0000u, 0x00FFFFFFu, 0xFF00FF00u,
                                0x80112233u, 0xFF000000u, 0xFF0000FFu};
  std::vector<uint8_t> png = EncodePng(3, 2, argb);
  ASSERT_GT(png.size(), 8u);
  ASSERT_EQ(kw::LoadSpriteFromMemory(4, png.data(), png.size(), 0), 1);
  ASSERT_EQ(kw::SpriteWidth(4), 3);
  ASSERT_EQ(kw::SpriteHeight(4), 2);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(kw::SpritePixels(4)[i], argb[i]) << i;

  kw::DrawSpriteKeyed(4, 0, 0);
  EXPECT_EQ(Screen(0, 0), Red);
  EXPECT_EQ(Screen(1, 0), Grey);  // alpha 0: transparent although not the key colour
  EXPECT_EQ(Screen(1, 1), Grey);  // black key
  EXPECT_EQ(Screen(2, 1), Blue);

  // Collision sees the alpha-0 pixel as empty too.
  Make(1, 1, 1, [](int, int) { return Red; });
  EXPECT_EQ(kw::SpritesTouch(4, 0, 0, 1, 1, 0), 0);
  EXPECT_EQ(kw::SpritesTouch(4, 0, 0, 1, 0, 0), 1);

  // A texture load can become a 3D sprite; a plain load cannot.
  EXPECT_EQ(kw::MakeSprite3D(4, 4), 0);
  ASSERT_EQ(kw::LoadSpriteFromMemory(4, png.data(), png.size(), kw::TextureFlag), 1);
  EXPECT_EQ(kw::MakeSprite3D(4, 4), 1);
}

TEST_F(SpritesTest, FailedLoadsLeaveTheNumberAsItWas) {
  Make(1, 2, 2, Pattern);
  std::vector<uint8_t> garbage = {0x89, 'P', 'N', 'G', 1, 2, 3, 4, 5, 6, 7, 8, 9};
  EXPECT_EQ(kw::LoadSpriteFromMemory(1, garbage.data(), garbage.size(), 0), 0);
  EXPECT_EQ(kw::LoadSpriteFromMemory(1, nullptr, 100, 0), 0);
  EXPECT_EQ(kw::LoadSpriteFromMemory(1, garbage.data(), 0, 0), 0);
  EXPECT_EQ(kw::LoadSpriteFromFile(1, "Gibt\\es\\nicht.png", 0), 0);
  ASSERT_EQ(kw::SpriteWidth(1), 2);
  EXPECT_EQ(kw::SpritePixels(1)[3], Pattern(1, 1));

  std::vector<uint8_t> png = EncodePng(1, 1, {Red});
  EXPECT_EQ(kw::LoadSpriteFromMemory(-1, png.data(), png.size(), 0), 0);
  EXPECT_EQ(kw::LoadSpriteFromMemory(kw::MaxSprites, png.data(), png.size(), 0), 0);
}

TEST_F(SpritesTest, LoadJpegFromMemory) {
  std::vector<uint32_t> argb(16 * 16, 0xFF3060C0u);
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(argb.data(), 16, 16, 32, 64,
                                                      SDL_PIXELFORMAT_ARGB8888);
  std::vector<uint8_t> buffer(1 << 16);
  SDL_RWops* rw = SDL_RWFromMem(buffer.data(), int(buffer.size()));
  ASSERT_EQ(IMG_SaveJPG_RW(s, rw, 0, 95), 0);
  buffer.resize(size_t(SDL_RWtell(rw)));
  SDL_RWclose(rw);
  SDL_FreeSurface(s);
  ASSERT_EQ(buffer[0], 0xFF);
  ASSERT_EQ(kw::LoadSpriteFromMemory(2, buffer.data(), buffer.size(), 0), 1);
  EXPECT_EQ(kw::SpriteWidth(2), 16);
  uint32_t p = kw::SpritePixels(2)[8 * 16 + 8];
  EXPECT_EQ(p >> 24, 255u);
  EXPECT_NEAR(int((p >> 16) & 255), 0x30, 6);
  EXPECT_NEAR(int((p >> 8) & 255), 0x60, 6);
  EXPECT_NEAR(int(p & 255), 0xC0, 6);
}

TEST_F(SpritesTest, BoxCollisionUsesClipSizesAndTouchesAtOnePixel) {
  Make(1, 10, 10, Pattern);
  Make(2, 4, 4, Pattern);
  EXPECT_EQ(kw::SpriteBoxesTouch(1, 0, 0, 2, 9, 9), 1);    // one pixel corner
  EXPECT_EQ(kw::SpriteBoxesTouch(1, 0, 0, 2, 10, 9), 0);   // edge to edge
  EXPECT_EQ(kw::SpriteBoxesTouch(1, 0, 0, 2, -4, 0), 0);
  EXPECT_EQ(kw::SpriteBoxesTouch(1, 0, 0, 2, -3, -3), 1);
  kw::SetSpriteClip(1, 5, 5, 3, 3);  // clip size, not the picture's
  EXPECT_EQ(kw::SpriteBoxesTouch(1, 0, 0, 2, 3, 0), 0);
  EXPECT_EQ(kw::SpriteBoxesTouch(1, 0, 0, 2, 2, 2), 1);
  EXPECT_EQ(kw::SpriteBoxesTouch(1, 2147483647, 0, 2, -2147483647 - 1, 0), 0);
}

TEST_F(SpritesTest, PixelCollisionHonoursKeysClipsAndTouchesAtOnePixel) {
  // A 100-wide picture so mask rows span two words; solid only on its diagonal.
  Make(1, 100, 100, [](int x, int y) { return x == y ? Red : Black; });
  Make(2, 3, 3, [](int x, int y) { return x == 1 && y == 1 ? Blue : Black; });
  EXPECT_EQ(kw::SpritesTouch(1, 0, 0, 2, 69, 69), 1);  // centre on (70, 70)
  EXPECT_EQ(kw::SpritesTouch(1, 0, 0, 2, 70, 69), 0);  // boxes overlap, masks do not
  EXPECT_EQ(kw::SpriteBoxesTouch(1, 0, 0, 2, 70, 69), 1);
  EXPECT_EQ(kw::SpritesTouch(1, 0, 0, 2, 62, 62), 1);  // across the word boundary
  EXPECT_EQ(kw::SpritesTouch(1, 0, 0, 2, 99, 99), 0);  // its centre lies outside
  EXPECT_EQ(kw::SpritesTouch(2, 98, 99, 1, 0, 0), 0);
  EXPECT_EQ(kw::SpritesTouch(2, 98, 98, 1, 0, 0), 1);  // (99, 99), the last pixel

  // The clip moves the picture's pixels to the draw position.
  kw::SetSpriteClip(1, 60, 10, 30, 30);                 // holds no diagonal pixel
  EXPECT_EQ(kw::SpritesTouch(1, 0, 0, 2, -1, -1), 0);
  EXPECT_EQ(kw::SpritesTouch(1, 0, 0, 2, 9, 9), 0);
  kw::SetSpriteClip(1, 60, 50, 30, 30);                 // (60, 60) at clip (0, 10)
  EXPECT_EQ(kw::SpritesTouch(1, 0, 0, 2, -1, 9), 1);
  EXPECT_EQ(kw::SpritesTouch(1, 0, 0, 2, -1, 8), 0);

  // A key colour change counts at once.
  kw::SetSpriteClip(1, -1, -1, -1, -1);
  kw::SetSpriteKeyColor(1, kw::Rgb(255, 0, 0));
  EXPECT_EQ(kw::SpritesTouch(1, 0, 0, 2, 69, 69), 0);  // 2's blue centre meets key red
  kw::SetSpriteKeyColor(2, kw::Rgb(0, 0, 255));
  EXPECT_EQ(kw::SpritesTouch(1, 0, 0, 2, 69, 69), 1);  // 2's black ring meets 1's black
  Make(3, 1, 1, [](int, int) { return Red; });
  EXPECT_EQ(kw::SpritesTouch(1, 0, 0, 3, 5, 5), 0);    // red diagonal is key now
  EXPECT_EQ(kw::SpritesTouch(1, 0, 0, 3, 5, 6), 1);
}

TEST_F(SpritesTest, PixelCollisionMatchesANaiveTestOnFigures) {
  // Two figure-like pictures with holes; every relative placement in a window is
  // checked against the plain per-pixel definition.
  auto solidA = [](int x, int y) { return ((x * 7 + y * 3) % 11) < 3 || x == 41; };
  auto solidB = [](int x, int y) { return ((x * 5 + y * 13) % 17) == 0; };
  Make(1, 42, 58, [&](int x, int y) { return solidA(x, y) ? Red : Black; });
  Make(2, 42, 58, [&](int x, int y) { return solidB(x, y) ? Blue : Black; });
  kw::SetSpriteClip(2, 3, 2, 37, 50);
  int mismatches = 0;
  for (int dy = -52; dy <= 60; dy += 3) {
    for (int dx = -40; dx <= 44; ++dx) {
      int expected = 0;
      for (int y = 0; y < 58 && !expected; ++y)
        for (int x = 0; x < 42 && !expected; ++x) {
          int bx = x - dx + 3, by = y - dy + 2;  // picture coordinates in sprite 2
          if (bx >= 3 && bx < 40 && by >= 2 && by < 52 && solidA(x, y) && solidB(bx, by))
            expected = 1;
        }
      mismatches += kw::SpritesTouch(1, 100, 100, 2, 100 + dx, 100 + dy) != expected;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST_F(SpritesTest, LoaderThreadFillsNumbersWhileTheMainThreadDraws) {
  // As at a map start: the loader makes sprites and draws into them through its own
  // blit target while the main thread keeps drawing to the back buffer.
  Make(1, 8, 8, [](int, int) { return Red; });
  std::vector<uint8_t> png = EncodePng(2, 2, {Blue, Blue, Blue, Blue});
  std::thread loader([&] {
    for (int round = 0; round < 20; ++round)
      for (int n = 100; n < 160; ++n) {
        kw::LoadSpriteFromMemory(n, png.data(), png.size(), kw::TextureFlag);
        kw::CreateSprite(n + 100, 30, 30);
        kw::MakeSprite3D(n + 100, n + 100);
        kw::SetBlitTarget(n + 100);
        kw::DrawSprite(n, 3, 3);
        kw::SetBlitTarget(-1);
      }
  });
  for (int i = 0; i < 2000; ++i) {
    kw::DrawSprite(1, 300, 200);
    kw::DrawSpriteKeyed(1, 310, 200);
  }
  loader.join();
  for (int n = 200; n < 260; ++n) ASSERT_EQ(kw::SpritePixels(n)[3 * 30 + 4], Blue) << n;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      bool drawn = y >= 200 && y < 208 && ((x >= 300 && x < 308) || (x >= 310 && x < 318));
      ASSERT_EQ(Screen(x, y), drawn ? Red : Grey) << x << "," << y;
    }
}

// Duplicates share their pixels until one is written to; then each keeps its own.
TEST_F(SpritesTest, DuplicatesStayIndependentWhenEitherIsWritten) {
  Make(1, 4, 4, [](int, int) { return Red; });
  ASSERT_NE(kw::DuplicateSprite(1, 2), 0);
  ASSERT_NE(kw::DuplicateSprite(1, 3), 0);
  kw::SetSpriteClip(2, 1, 1, 2, 2);
  kw::SetBlitTarget(2);
  kw::ClearBackBuffer(kw::Rgb(0, 0, 255));
  kw::SetBlitTarget(-1);
  EXPECT_EQ(kw::SpritePixels(2)[0], Blue);
  EXPECT_EQ(kw::SpritePixels(1)[0], Red);
  EXPECT_EQ(kw::SpritePixels(3)[0], Red);
  kw::SpritePixels(3)[5] = Blue;
  EXPECT_EQ(kw::SpritePixels(1)[5], Red);
  // The clip belongs to the copy, not to the shared picture.
  kw::ClearBackBuffer(0);
  kw::DrawSprite(1, 0, 0);
  EXPECT_EQ(Screen(3, 3), Red);
}

}  // namespace

// The version a composed picture (the far background) is kept by: every change of what a
// sprite draws gives it a new one, drawing it somewhere else or a duplicate's write does not.
TEST_F(SpritesTest, VersionChangesWithEveryChangeOfWhatTheSpriteDraws) {
  Make(1, 4, 4, [](int, int) { return Red; });
  Make(2, 2, 2, [](int, int) { return Blue; });
  EXPECT_EQ(kw::SpriteVersion(9), 0u);
  struct Step {
    const char* what;
    bool changes;
    void (*run)();
  };
  const Step steps[] = {
      {"drawn onto the screen", false, [] { kw::DrawSprite(1, 0, 0); }},
      {"drawn from into another sprite", false, [] { kw::SetBlitTarget(2); kw::DrawSprite(1, 0, 0); kw::SetBlitTarget(-1); }},
      {"its duplicate written", false, [] { kw::DuplicateSprite(1, 3); kw::SpritePixels(3)[0] = Blue; }},
      {"its pixels handed out", true, [] { kw::SpritePixels(1)[0] = Blue; }},
      {"its clip", true, [] { kw::SetSpriteClip(1, 1, 1, 2, 2); }},
      {"its key colour", true, [] { kw::SetSpriteKeyColor(1, kw::Rgb(0, 0, 255)); }},
      {"cleared as the blit target", true, [] { kw::SetBlitTarget(1); kw::ClearBackBuffer(0); kw::SetBlitTarget(-1); }},
      {"drawn into", true, [] { kw::SetBlitTarget(1); kw::DrawSprite(2, 0, 0); kw::SetBlitTarget(-1); }},
      {"another picture under the number", true, [] { kw::DuplicateSprite(2, 1); }},
  };
  for (const Step& step : steps) {
    uint64_t before = kw::SpriteVersion(1);
    ASSERT_NE(before, 0u);
    step.run();
    EXPECT_EQ(kw::SpriteVersion(1) != before, step.changes) << step.what;
  }
  kw::FreeSprite(1);
  EXPECT_EQ(kw::SpriteVersion(1), 0u);
}
