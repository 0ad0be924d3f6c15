// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Every drawing primitive at positions around every edge of its target and far beyond,
// to both ends of int: whatever it draws lands inside the target. The target is a window
// into a larger block whose guard border must stay as it was; the same positions are
// then drawn into the back buffer itself, where the sanitizer build reports any write
// that misses it (and any overflow in the draw log a test may keep).
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "common/pictures.h"
#include "media/core.h"
#include "media/core_internal.h"
#include "media/sprite_internal.h"
#include "media/sprites.h"
#include "media/text.h"

namespace {

using namespace kwtest;

constexpr int TargetW = 37, TargetH = 23, Guard = 24;
constexpr int BlockW = TargetW + 2 * Guard, BlockH = TargetH + 2 * Guard;
constexpr uint32_t GuardPixel = 0xFF123456u;
constexpr int Src = 10, SrcW = 30, SrcH = 20;  // the picture the sprite draws show
constexpr int Grab = 11;

// Positions on one axis: beyond both ends of int's range down to the pixels on each side
// of a target edge (0 and the far edge given as `edge`), with the picture's own size in
// between.
std::vector<int> Around(int edge, int size) {
  return {INT_MIN, INT_MIN + 1, -(1 << 30), -100000, -size - 1, -size, -size + 1, -1, 0, 1,
          edge - 1, edge, edge + 1, 100000, 1 << 30, INT_MAX - size, INT_MAX - 1, INT_MAX};
}

// One primitive: draws at (x, y); `whole` when an opaque rectangle of the picture's size
// is drawn there (so a draw overlapping the target must change it).
struct Primitive {
  const char* name;
  std::function<void(int x, int y)> draw;
  bool whole = false;
};

class DrawBoundsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDrawing();
    // Opaque, key-coloured (black) and half-transparent pixels, so every kind of run of
    // the 3D draws occurs.
    FillSprite(Src, SrcW, SrcH, [](int x, int y) -> uint32_t {
      if (x >= 10 && x < 20 && y >= 5) return x % 2 ? Black : 0x80FF8000u;
      return 0xFF000000u | uint32_t(x * 8 << 16 | y * 12 << 8 | 0x40);
    });
    ASSERT_EQ(kw::MakeSprite3D(Src, Src), 1);
    ASSERT_EQ(kw::BeginText(), 1);
  }
  void TearDown() override {
    kw::SetWindowDrawTarget(nullptr, 0, 0, 0);
    kw::SetBlitTarget(-1);
    kw::SetSprite3DFiltering(1);
    kw::EndText();
    kw::FreeAllFonts();
  }

  // A 3D draw of the picture at a size and angle (filtering on or off).
  static Primitive ThreeD(const char* name, int w, int h, float angle, int alpha, bool filter,
                          bool whole = false) {
    return {name, [=](int x, int y) {
              kw::SetSprite3DFiltering(filter);
              kw::ScaleSprite3D(Src, w, h);
              kw::TurnSprite3D(Src, angle, 0);
              kw::DrawSprite3D(Src, x, y, alpha);
            }, whole};
  }

  // The runs draw the picture at its own size, unturned (the draws above leave it scaled).
  static void Unscaled() {
    kw::ScaleSprite3D(Src, SrcW, SrcH);
    kw::TurnSprite3D(Src, 0, 0);
  }

  static std::vector<Primitive> Primitives() {
    return {
        {"opaque", [](int x, int y) { kw::DrawSprite(Src, x, y); }, true},
        {"keyed", [](int x, int y) { kw::DrawSpriteKeyed(Src, x, y); }},
        ThreeD("3d", SrcW, SrcH, 0, 255, true),
        ThreeD("3d blended (darkness)", SrcW, SrcH, 0, 100, true),
        ThreeD("3d scaled nearest", 61, 7, 0, 255, false),
        ThreeD("3d scaled bilinear", 61, 7, 0, 200, true),
        ThreeD("3d turned", SrcW, SrcH, 33, 255, true),
        ThreeD("3d turned nearest", 45, 12, -120, 180, false),
        ThreeD("3d as large as int", INT_MAX, INT_MAX, 45, 255, false),
        ThreeD("3d a line as long as int", 1, INT_MAX, 0, 255, true),
        ThreeD("3d a line as wide as int", INT_MAX, 1, 90, 255, false),
        {"3d run of three", [](int x, int y) { Unscaled(); kw::DrawSprite3DRun(Src, x, y, SrcW, 3, 100); }, true},
        {"3d run to the end of int", [](int x, int y) { Unscaled(); kw::DrawSprite3DRun(Src, x, y, SrcW, INT_MAX, 255); }},
        {"3d run leftwards", [](int x, int y) { Unscaled(); kw::DrawSprite3DRun(Src, x, y, -SrcW, 1000, 200); }},
        {"text on its box",
         [](int x, int y) {
           kw::SetTextBackground(0);
           kw::SetTextBackgroundColour(kw::Rgb(200, 10, 10));
           kw::DrawTextAt(x, y, "Nachricht");
         }},
        {"text",
         [](int x, int y) {
           kw::SetTextBackground(1);
           kw::DrawTextAt(x, y, "Nachricht", kw::Rgb(255, 255, 0));
         }},
        {"pixel", [](int x, int y) { kw::PlotPixel(x, y, kw::Rgb(9, 8, 7)); }},
        {"clip from here to the end of int",
         [](int x, int y) {
           kw::SetSpriteClip(Src, x, y, INT_MAX, INT_MAX);
           kw::DrawSprite(Src, 3, 2);
           kw::SetSpriteClip(Src, -1, -1, -1, -1);
         }},
        {"grab from here",
         [](int x, int y) {
           kw::GrabScreenSprite(Grab, x, y, 50, 40);
           kw::DrawSprite(Grab, 0, 0);
         }},
        {"clear", [](int, int) { kw::ClearBackBuffer(kw::Rgb(1, 1, 1)); }, false},
    };
  }
};

TEST_F(DrawBoundsTest, NoPrimitiveWritesOutsideItsTarget) {
  std::vector<uint32_t> block(size_t(BlockW) * BlockH);
  uint32_t* window = block.data() + size_t(Guard) * BlockW + Guard;
  auto insideWindow = [](int bx, int by) {
    return bx >= Guard && bx < Guard + TargetW && by >= Guard && by < Guard + TargetH;
  };
  for (const Primitive& p : Primitives()) {
    for (int y : Around(TargetH, SrcH)) {
      for (int x : Around(TargetW, SrcW)) {
        std::fill(block.begin(), block.end(), GuardPixel);
        kw::SetWindowDrawTarget(window, TargetW, TargetH, BlockW);
        p.draw(x, y);
        kw::SetWindowDrawTarget(nullptr, 0, 0, 0);
        int changedInside = 0, changedOutside = 0;
        for (int by = 0; by < BlockH; ++by)
          for (int bx = 0; bx < BlockW; ++bx)
            if (block[size_t(by) * BlockW + bx] != GuardPixel)
              ++(insideWindow(bx, by) ? changedInside : changedOutside);
        ASSERT_EQ(changedOutside, 0) << p.name << " at " << x << ", " << y;
        bool overlaps = (long long)x + SrcW > 0 && x < TargetW && (long long)y + SrcH > 0 && y < TargetH;
        if (p.whole && overlaps) {
          EXPECT_GT(changedInside, 0) << p.name << " at " << x << ", " << y << " drew nothing";
        }
        // The same into the back buffer (and from it, for the grab), noted in a test's
        // draw log, whose boxes end at int's limits.
        std::vector<kw::DrawnItem> log;
        kw::RecordDraws(&log);
        p.draw(x, y);
        kw::RecordDraws(nullptr);
        for (const kw::DrawnItem& item : log)
          ASSERT_TRUE(item.left <= item.right && item.top <= item.bottom)
              << p.name << " at " << x << ", " << y;
      }
    }
  }
}

}  // namespace
