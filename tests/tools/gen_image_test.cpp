// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The generator's picture and sound writers: PNG round trips keep pixels and make every
// transparent pixel 0, the helpers that protect the game's transparency rules, WAV headers,
// Ogg streams the game's loader accepts, and seamless loops.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio.h"
#include "image.h"
#include "media/sound.h"
#include "media/sprites.h"

namespace {

using namespace kwgen;

TEST(GenImage, PngRoundTripKeepsPixelsAndClearsTransparentOnes) {
  Image img(7, 5);
  img.Set(1, 1, Argb(10, 200, 30));
  img.Set(2, 3, Argb(250, 0, 0, 128));
  img.Set(4, 4, Argb(90, 90, 90, 0));  // invisible but coloured: must be stored as 0
  std::vector<uint8_t> png = EncodePng(img);
  Image back;
  ASSERT_TRUE(DecodePng(png.data(), png.size(), back));
  ASSERT_EQ(back.w, 7);
  ASSERT_EQ(back.h, 5);
  EXPECT_EQ(back.Get(1, 1), Argb(10, 200, 30));
  EXPECT_EQ(AlphaOf(back.Get(2, 3)), 128);
  EXPECT_EQ(back.Get(4, 4), 0u);
  EXPECT_EQ(back.Get(0, 0), 0u);
  // The game's own loader reads the same picture with the same size.
  ASSERT_TRUE(kw::LoadSpriteFromMemory(61000, png.data(), png.size(), kw::TextureFlag));
  EXPECT_EQ(kw::SpriteWidth(61000), 7);
  EXPECT_EQ(kw::SpriteHeight(61000), 5);
  EXPECT_FALSE(DecodePng(png.data(), png.size() / 2, back));
}

TEST(GenImage, TransparencyHelpers) {
  Image img(4, 1);
  img.Set(0, 0, Argb(0, 0, 0));       // opaque black would read as transparent in the game
  img.Set(1, 0, Argb(5, 5, 5, 60));   // faint: dropped by HardenAlpha
  img.Set(2, 0, Argb(5, 6, 7, 200));
  Image keyed = img;
  AvoidPureBlack(img);
  EXPECT_NE(img.Get(0, 0) & 0xFFFFFF, 0u);
  HardenAlpha(img, 128);
  EXPECT_EQ(img.Get(1, 0), 0u);
  EXPECT_EQ(img.Get(2, 0), Argb(5, 6, 7));
  KeyBackground(keyed, Argb(0, 255, 0));
  EXPECT_EQ(keyed.Get(3, 0), Argb(0, 255, 0));
  EXPECT_EQ(keyed.Get(1, 0), Argb(0, 255, 0));
  EXPECT_EQ(keyed.Get(2, 0), Argb(5, 6, 7));
}

TEST(GenImage, ShapesStayInsideThePicture) {
  Image img(10, 10);
  FillEllipse(img, 0, 0, 30, 30, Argb(1, 2, 3));
  Line(img, -50, -50, 60, 60, 5, Argb(1, 2, 3));
  FillPolygon(img, {{-5, -5}, {20, 0}, {5, 30}}, Argb(1, 2, 3));
  EXPECT_EQ(img.Get(0, 0), Argb(1, 2, 3));
  EXPECT_EQ(img.px.size(), 100u);
  // A triangle fills half of its square.
  Image tri(30, 30);
  FillPolygon(tri, {{0, 30}, {30, 0}, {30, 30}}, Argb(9, 9, 9));
  int n = 0;
  for (uint32_t p : tri.px) n += AlphaOf(p) != 0;
  EXPECT_NEAR(n, 450, 31);
}

TEST(GenImage, TextIsDrawnWithAnInstalledFace) {
  EXPECT_FALSE(FontFile(false).empty());
  Image img(80, 30);
  EXPECT_GT(DrawText(img, "Größe", 2, 2, 18, Argb(200, 200, 200)), 20);
  int n = 0;
  for (uint32_t p : img.px) n += AlphaOf(p) != 0;
  EXPECT_GT(n, 40);
}

TEST(GenAudio, WavHeaderAndSamples) {
  Samples s = {0.0f, 1.0f, -1.0f, 0.5f, 2.0f};
  std::vector<uint8_t> wav = EncodeWav(s, 22050);
  ASSERT_EQ(wav.size(), 44u + 10u);
  EXPECT_EQ(std::memcmp(wav.data(), "RIFF", 4), 0);
  EXPECT_EQ(std::memcmp(wav.data() + 8, "WAVEfmt ", 8), 0);
  EXPECT_EQ(wav[22], 1);  // mono
  EXPECT_EQ(wav[24] | (wav[25] << 8) | (wav[26] << 16), 22050);
  auto sample = [&](int i) { return int16_t(wav[44 + 2 * i] | (wav[45 + 2 * i] << 8)); };
  EXPECT_EQ(sample(1), 32767);
  EXPECT_EQ(sample(2), -32767);
  EXPECT_EQ(sample(4), 32767);  // clipped, not wrapped
}

TEST(GenAudio, OggStreamLoadsInTheGame) {
  kw::InitSound();
  Samples s(22050);
  for (size_t i = 0; i < s.size(); ++i) s[i] = 0.5f * std::sin(float(i) * 0.05f);
  std::vector<uint8_t> ogg = EncodeOgg(s, 22050, 0.3f);
  ASSERT_GT(ogg.size(), 100u);
  EXPECT_EQ(std::memcmp(ogg.data(), "OggS", 4), 0);
  EXPECT_EQ(ogg, EncodeOgg(s, 22050, 0.3f)) << "encoding must be reproducible";
  EXPECT_TRUE(kw::LoadSoundFromMemory(900, ogg.data(), ogg.size(), 60000));
}

TEST(GenAudio, LoopsJoinWithoutAJump) {
  // A sine whose length is not a whole number of periods jumps at the seam until MakeLoop.
  Samples s(10000);
  for (size_t i = 0; i < s.size(); ++i) s[i] = std::sin(float(i) * 0.0371f);
  MakeLoop(s, 1000);
  EXPECT_EQ(s.size(), 9000u);
  EXPECT_LT(std::fabs(s.back() - s.front()), 0.08f);
}

TEST(GenAudio, LevellingRemovesOffsetAndBoundsPeaks) {
  // A quiet sine riding on an offset, with one spike: afterwards no offset, the wanted RMS
  // (about: the bent spike lowers it a little) and no sample beyond the peak.
  Samples s(22050);
  for (size_t i = 0; i < s.size(); ++i) s[i] = 0.2f + 0.05f * std::sin(float(i) * 0.05f);
  s[5000] = 1.0f;
  RemoveDc(s);
  double sum = 0;
  for (float v : s) sum += v;
  EXPECT_NEAR(sum / double(s.size()), 0.0, 1e-5);
  NormaliseRms(s, 0.12f, 0.6f, 0.88f);
  double sq = 0;
  float peak = 0;
  for (float v : s) {
    sq += double(v) * v;
    peak = std::max(peak, std::fabs(v));
  }
  EXPECT_NEAR(std::sqrt(sq / double(s.size())), 0.12, 0.01);
  EXPECT_LE(peak, 0.88f);
  EXPECT_GT(peak, 0.6f);  // the spike is bent, not cut to the knee
}

TEST(GenAudio, LoopedLowPassHasNoStartTransient) {
  // A plain low-pass starts from 0 and ramps up; filtered round the loop, the first sample
  // follows on from the last as smoothly as any neighbours do.
  Samples s(8000);
  for (size_t i = 0; i < s.size(); ++i) s[i] = 0.5f + 0.3f * std::sin(float(i) * 6.2831853f * 4 / 8000);
  LowPassLoop(s, 200, 22050);
  EXPECT_LT(std::fabs(s.front() - s.back()), 0.01f);
}

}  // namespace
