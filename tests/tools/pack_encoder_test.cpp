// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Pack encoder: every encoding must decode to its input, with a valid checksum, and
// the encoder must actually find the redundancy game data has.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "media/pack.h"
#include "packencoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Encodes, checks the header and decodes into a buffer of exactly the input's size.
size_t EncodeRoundTrip(const Bytes& data) {
  Bytes stream = kw::EncodePackStream(data.data(), data.size());
  EXPECT_GE(stream.size(), 10u);
  EXPECT_EQ(stream[0], 'Q');
  EXPECT_EQ(stream[1], 'Z');
  uint32_t full = stream[2] | stream[3] << 8 | stream[4] << 16 | uint32_t(stream[5]) << 24;
  EXPECT_EQ(full, data.size());
  Bytes out(data.size());
  size_t n = kw::DecodePackStream(stream.data(), stream.size(), out.data(), out.size());
  EXPECT_EQ(n, data.size());  // also 0 on a checksum mismatch
  EXPECT_TRUE(out == data) << "decoded bytes differ (size " << data.size() << ")";
  return stream.size();
}

Bytes Pcm16(int seconds100, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> noise(-1, 1);
  Bytes out;
  for (int i = 0; i < 220 * seconds100; ++i) {
    double v = 0.4 * std::sin(i * 0.11) + (i % 3000 < 1000 ? 0.2 * noise(random) : 0);
    if (i % 5000 > 4000) v = 0;
    int s = int(std::lround(v * 32767));
    out.push_back(uint8_t(s));
    out.push_back(uint8_t(s >> 8));
  }
  return out;
}

Bytes Pixels(int w, int h, int bpp) {
  Bytes out;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t r = uint8_t(y < h / 2 ? y : 90 + (x % 16 == 0) * 60), g = uint8_t((x / 30 + y / 30) % 2 ? 200 : 40);
      if (bpp == 4) out.push_back(255);
      out.insert(out.end(), {r, g, uint8_t(x * 255 / w)});
    }
  return out;
}

TEST(PackEncoder, RoundTripsSmallAndEdgeInputs) {
  EncodeRoundTrip({});
  EncodeRoundTrip({0});
  EncodeRoundTrip({42});
  EncodeRoundTrip({1, 2});
  EncodeRoundTrip({7, 7, 7});
  Bytes all(256);
  for (int i = 0; i < 256; ++i) all[size_t(i)] = uint8_t(i);
  EncodeRoundTrip(all);
  std::mt19937 random(3);
  for (size_t n : {5u, 255u, 256u, 257u, 1000u, 4096u, 70000u}) {
    Bytes data(n);
    for (uint8_t& b : data) b = uint8_t(random());
    size_t size = EncodeRoundTrip(data);
    EXPECT_LT(size, n + n / 50 + 64) << "random data must not grow much (raw blocks)";
  }
}

TEST(PackEncoder, RoundTripsRunsAndPatterns) {
  EXPECT_LT(EncodeRoundTrip(Bytes(1 << 20, 0)), 100u);
  EXPECT_LT(EncodeRoundTrip(Bytes(300000, 0xAB)), 100u);
  Bytes pattern;
  for (int i = 0; i < 100000; ++i) pattern.push_back(uint8_t("Klingenwald "[i % 12]));
  EXPECT_LT(EncodeRoundTrip(pattern), 100u);
  // Small values mixed with near repeats: 7-bit windows, short matches, one-byte copies.
  std::mt19937 random(11);
  Bytes mixed;
  for (int i = 0; i < 50000; ++i) {
    if (random() % 4 == 0 && mixed.size() > 200) mixed.push_back(mixed[mixed.size() - 1 - random() % 150]);
    else if (random() % 9 == 0) mixed.push_back(0);
    else mixed.push_back(uint8_t(200 + random() % 100));  // wraps around 0
  }
  size_t size = EncodeRoundTrip(mixed);
  EXPECT_LT(size, mixed.size() * 15 / 16);
  // Data crossing the parser's chunk boundary with matches far back.
  Bytes far(1500000);
  for (size_t i = 0; i < far.size(); ++i) far[i] = uint8_t(random());
  for (size_t i = 600000; i < far.size(); ++i) if ((i / 1000) % 2) far[i] = far[i - 590000];
  size = EncodeRoundTrip(far);
  EXPECT_LT(size, far.size() * 8 / 10);
  // Longer than the match window (4 MiB), so hash-chain slots are reused: a random
  // stretch repeated from just inside the window must still be found, one repeated
  // from beyond it must be coded afresh. The rest is zeros, to keep the test quick.
  Bytes huge((5u << 20) + 4096);
  const size_t stretch = 65536, inside = (4u << 20) - 1000, beyond = (4u << 20) + 1000;
  for (size_t i = 0; i < stretch; ++i) {
    huge[600000 + i] = huge[600000 + inside + i] = uint8_t(random() >> 8);
    huge[100000 + i] = huge[100000 + beyond + i] = uint8_t(random() >> 8);
  }
  size = EncodeRoundTrip(huge);
  EXPECT_LT(size, 3 * stretch + stretch / 4);
}

TEST(PackEncoder, RoundTripsGameLikeData) {
  EXPECT_LT(EncodeRoundTrip(Pcm16(100, 1)), 2 * 22000u);
  Bytes pcm8;
  for (int i = 0; i < 30000; ++i) pcm8.push_back(uint8_t(128 + 60 * std::sin(i * 0.05) * std::exp(-i / 9000.0)));
  EXPECT_LT(EncodeRoundTrip(pcm8), pcm8.size() / 2);
  Bytes argb = Pixels(640, 480, 4);
  EXPECT_LT(EncodeRoundTrip(argb), argb.size() / 6);
  Bytes rgb = Pixels(123, 77, 3);
  EXPECT_LT(EncodeRoundTrip(rgb), rgb.size() / 3);
}

TEST(PackEncoder, RoundTripsWindowsWidthsAndRepeatOffsets) {
  // Quiet signed samples: literals around 0 in a window that wraps past 255, broken by
  // loud bytes outside any window.
  std::mt19937 random(17);
  Bytes quiet;
  for (int i = 0; i < 40000; ++i) {
    int v = int(random() % 90) - 45;
    if (i % 997 == 0) v = 120;
    quiet.push_back(uint8_t(v));
  }
  // Wide literals or raw blocks cost at least 8 bits a byte; only a window gets below.
  EXPECT_LT(EncodeRoundTrip(quiet), quiet.size() * 99 / 100);
  // Matches only at small offsets (a narrow index width pays) with interleaved
  // literals, and matches alternating between two offsets (repeat matches off the
  // cheapest path).
  Bytes near(60000);
  for (size_t i = 0; i < near.size(); ++i)
    near[i] = i < 40 || random() % 7 == 0 ? uint8_t(random()) : near[i - (i % 2 ? 17 : 33)];
  EncodeRoundTrip(near);
  Bytes periodic;
  for (int i = 0; i < 30000; ++i) periodic.push_back(uint8_t(128 + 90 * std::sin(i * 2 * M_PI / 50.3)));
  EXPECT_LT(EncodeRoundTrip(periodic), periodic.size() / 4);
}

TEST(PackEncoder, EntryIsStoredWhenPackingDoesNotPay) {
  std::mt19937 random(5);
  Bytes noise(3000);
  for (uint8_t& b : noise) b = uint8_t(random());
  Bytes entry = kw::EncodePackEntry(noise.data(), noise.size());
  ASSERT_EQ(entry.size(), 8 + noise.size());
  EXPECT_EQ(Bytes(entry.begin() + 8, entry.end()), noise);
  Bytes zeros(3000, 0);
  entry = kw::EncodePackEntry(zeros.data(), zeros.size());
  uint32_t u = entry[0] | entry[1] << 8 | entry[2] << 16 | uint32_t(entry[3]) << 24;
  uint32_t p = entry[4] | entry[5] << 8 | entry[6] << 16 | uint32_t(entry[7]) << 24;
  EXPECT_EQ(u, 3000u);
  EXPECT_EQ(p + 8, entry.size());
  EXPECT_LT(p, u);
  entry = kw::EncodePackEntry(nullptr, 0);
  EXPECT_EQ(entry, Bytes(8, 0));  // P = U = 0
}

}  // namespace
