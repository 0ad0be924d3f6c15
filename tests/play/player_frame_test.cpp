// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The figure's frame in its sheets: sides, looking down, the hurt pose, the small form
// and the throwing pose.
#include <gtest/gtest.h>

#include "media/core_internal.h"
#include "media/media.h"
#include "play/play.h"

namespace {

// A sheet whose pixel (x, y) encodes its own position, so a draw shows the clip.
void MakeSheet(int sprite, int w, int h) {
  kw::CreateSprite(sprite, w, h);
  uint32_t* px = kw::SpritePixels(sprite);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) px[y * w + x] = 0xFF000000u | uint32_t(x << 12) | uint32_t(y + 1);
}

// The sheet position that sprite shows at its top-left corner.
std::pair<int, int> ClipOrigin(int sprite) {
  kw::ClearBackBuffer(0);
  kw::DrawSprite(sprite, 0, 0);
  uint32_t p = kw::BackBuffer()[0];
  return {int((p >> 12) & 0xFFF), int(p & 0xFFF) - 1};
}

class PlayerFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kw::SetBlitTarget(-1);
    MakeSheet(324, 255, 290);
    MakeSheet(437, 255, 290);
    MakeSheet(325, 93, 30);
    MakeSheet(438, 85, 290);
    MakeSheet(333, 255, 290);
    kw::Player.Clear();
    kw::Player.Add();
    kw::Player.Select(0);
    kw::HurtTime = 0;
    kw::AltSheet = 0;
    kw::LastSide = 6;
  }
  kw::PlayerRecord& p() { return *kw::Player.Current(); }
};

TEST_F(PlayerFrameTest, WalkingFramesBySideAndLook) {
  p().facing = 6;
  p().frameX = 85;
  p().animFrame = 2;
  kw::SelectPlayerFrame();
  EXPECT_EQ(ClipOrigin(323), std::make_pair(85, 114));
  EXPECT_EQ(kw::SpriteWidth(323), 255);
  p().facing = 4;
  p().swordRow = 1;
  kw::SelectPlayerFrame();
  EXPECT_EQ(ClipOrigin(323), std::make_pair(128, 114));
  EXPECT_EQ(ClipOrigin(333), std::make_pair(128, 58));
  // Looking down keeps the last side.
  p().facing = 2;
  kw::LastSide = 4;
  p().frameX = 170;
  p().animFrame = 0;
  kw::SelectPlayerFrame();
  EXPECT_EQ(ClipOrigin(323), std::make_pair(213, 0));
}

TEST_F(PlayerFrameTest, HurtPoseAndThrowingPose) {
  kw::HurtTime = 5;
  p().facing = 4;
  kw::SelectPlayerFrame();
  EXPECT_EQ(ClipOrigin(323), std::make_pair(43, 232));
  EXPECT_EQ(ClipOrigin(438), std::make_pair(43, 0));
  kw::HurtTime = 0;
  p().facing = 6;
  p().throwPose = 1;
  kw::SelectPlayerFrame();
  EXPECT_EQ(ClipOrigin(323), std::make_pair(0, 172));
  EXPECT_EQ(ClipOrigin(438), std::make_pair(0, 172));
}

TEST_F(PlayerFrameTest, SmallFormAndAlternativeSheet) {
  p().smallForm = 1;
  kw::LastSide = 4;
  kw::SelectPlayerFrame();
  EXPECT_EQ(ClipOrigin(323), std::make_pair(22, 0));
  EXPECT_EQ(kw::SpriteWidth(323), 93);
  p().smallForm = 0;
  kw::AltSheet = 1;
  kw::SpritePixels(437)[0] = 0xFF123456u;  // mark the alternative sheet
  p().facing = 6;
  kw::SelectPlayerFrame();
  kw::ClearBackBuffer(0);
  kw::DrawSprite(323, 0, 0);
  EXPECT_EQ(kw::BackBuffer()[0], 0xFF123456u);
}

}  // namespace
