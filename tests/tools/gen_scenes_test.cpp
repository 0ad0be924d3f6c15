// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The cutscene strips as the game shows them: it steps to the next frame on every pass of its
// main loop (about 60 a second) and writes the lines of text at the top left. So every strip
// must be one scene whose frames differ only in small living details (a storyboard of
// different pictures would flicker), and the text band must stay dark enough to read light text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "media/pack.h"
#include "media/sprites.h"

namespace {

namespace fs = std::filesystem;

constexpr int Sprite = 60100;
constexpr int W = 640, H = 480;

// Loads the picture of cutscene entry pair k into Sprite; its frame count, or 0 on failure.
int LoadStrip(int k) {
  std::string path = (fs::absolute(fs::path(KW_GAME_DIR)) / "paks" / "cutscenes.pak").string();
  if (!kw::OpenPack(path)) return 0;
  const uint8_t* data = nullptr;
  for (int i = 0; i <= 2 * k; ++i) data = kw::NextPackEntry();
  bool ok = data && kw::LoadSpriteFromMemory(Sprite, data, kw::LastPackEntrySize(), kw::TextureFlag);
  kw::ClosePack();
  if (!ok || kw::SpriteWidth(Sprite) != W || kw::SpriteHeight(Sprite) % H != 0) return 0;
  return kw::SpriteHeight(Sprite) / H;
}

uint32_t At(int frame, int x, int y) { return kw::SpritePixels(Sprite)[size_t(frame * H + y) * W + x]; }
int Channel(uint32_t c, int shift) { return int((c >> shift) & 255); }
int Luma(uint32_t c) { return (Channel(c, 16) * 299 + Channel(c, 8) * 587 + Channel(c, 0) * 114) / 1000; }

struct FrameDiff {
  double changed = 0;  // share of pixels that differ at all
  double jumped = 0;   // share of pixels that change by more than a flicker
  double mean = 0;     // mean absolute change per channel
};

FrameDiff Compare(int a, int b) {
  FrameDiff d;
  long changed = 0, jumped = 0;
  double sum = 0;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      uint32_t p = At(a, x, y), q = At(b, x, y);
      int most = 0;
      for (int s : {0, 8, 16}) {
        int c = std::abs(Channel(p, s) - Channel(q, s));
        sum += c;
        most = std::max(most, c);
      }
      changed += most > 0;
      jumped += most > 90;
    }
  d.changed = double(changed) / (W * H);
  d.jumped = double(jumped) / (W * H);
  d.mean = sum / (3.0 * W * H);
  return d;
}

TEST(CutsceneStrips, EachStripIsOneLivingSceneAndCyclesWithoutJumps) {
  const int expected[] = {4, 3, 4};
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE("cutscene " + std::to_string(k));
    int frames = LoadStrip(k);
    ASSERT_EQ(frames, expected[k]);
    // Frame to frame, and from the last back to the first, as the game cycles them.
    for (int f = 0; f < frames; ++f) {
      int g = (f + 1) % frames;
      SCOPED_TRACE("frames " + std::to_string(f) + " -> " + std::to_string(g));
      FrameDiff d = Compare(f, g);
      EXPECT_GT(d.changed, 0.003) << "the scene should live, not stand still";
      EXPECT_LT(d.mean, 3.0) << "neighbouring frames should differ only slightly";
      EXPECT_LT(d.jumped, 0.004) << "too many pixels jump from one frame to the next";
    }
    // Not a flat or empty picture: the scene has light and dark.
    int lo = 255, hi = 0;
    for (int y = 0; y < H; y += 4)
      for (int x = 0; x < W; x += 4) lo = std::min(lo, Luma(At(0, x, y))), hi = std::max(hi, Luma(At(0, x, y)));
    EXPECT_GT(hi - lo, 150);
  }
}

TEST(CutsceneStrips, TextBandStaysDarkAndCalm) {
  // The game writes up to four lines at (10, 10 + 20 i) in white or pale yellow; they need a
  // dark, quiet ground from the top left to well past the longest line.
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE("cutscene " + std::to_string(k));
    int frames = LoadStrip(k);
    ASSERT_GT(frames, 0);
    for (int f = 0; f < frames; ++f) {
      std::vector<int> lumas;
      for (int y = 0; y < 95; ++y)
        for (int x = 0; x < 340; ++x) lumas.push_back(Luma(At(f, x, y)));
      std::sort(lumas.begin(), lumas.end());
      EXPECT_LT(lumas[lumas.size() / 2], 60) << "frame " << f << ": the band is too bright";
      EXPECT_LT(lumas[lumas.size() * 999 / 1000], 110) << "frame " << f << ": bright spots under the text";
    }
    // Nothing flickers under the text either.
    for (int f = 1; f < frames; ++f) {
      int moved = 0;
      for (int y = 0; y < 95; ++y)
        for (int x = 0; x < 340; ++x) moved += std::abs(Luma(At(f, x, y)) - Luma(At(0, x, y))) > 24;
      EXPECT_LT(moved, 20) << "frame " << f;
    }
  }
}

}  // namespace
