// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Pictures with damaged or hostile headers: a flipped chunk length in a real pack entry,
// chunks running past the data, and headers claiming a picture larger than the game
// takes. Each is a failed load, at once, before any decoder sees it.
#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "image.h"
#include "media/pack.h"
#include "media/sprite_internal.h"
#include "media/sprites.h"

namespace {

using Bytes = std::vector<uint8_t>;

void PutBe32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (24 - 8 * i));
}

uint32_t Be32(const Bytes& b, size_t at) {
  return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

// A small RGBA PNG from the tools' encoder (with an sRGB chunk, as the generated packs
// have).
Bytes SmallPng(int w, int h) { return kwgen::EncodePng(kwgen::Image(w, h, 0x7F7F7F7Fu)); }

// Offset of the first chunk of the given type, or 0.
size_t FindChunk(const Bytes& png, const char* type) {
  for (size_t at = 8; at + 12 <= png.size(); at += 12 + Be32(png, at))
    if (std::memcmp(&png[at + 4], type, 4) == 0) return at;
  return 0;
}

// Sets a chunk's stored CRC to match its type and data, as an encoder would.
void FixCrc(Bytes& png, size_t at) {
  uint32_t length = Be32(png, at);
  uint32_t crc = uint32_t(crc32(0, &png[at + 4], uInt(4 + length)));
  PutBe32(png, at + 8 + length, crc);
}

// Entry n of a generated game pack.
Bytes PackEntry(const std::string& pack, int n) {
  Bytes out;
  if (!kw::OpenPack(std::string(KW_GAME_DIR) + "/paks/" + pack)) return out;
  const uint8_t* data = nullptr;
  for (int i = 0; i <= n; ++i) data = kw::NextPackEntry();
  if (data) out.assign(data, data + kw::LastPackEntrySize());
  kw::ClosePack();
  return out;
}

double SecondsToLoad(const Bytes& picture, int* result) {
  auto start = std::chrono::steady_clock::now();
  *result = kw::LoadSpriteFromMemory(900, picture.data(), picture.size(), 0);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// One flipped bit in a stored chunk length (0x00100001 instead of 1) once made the
// decoder spin for ever; it is a failed load now, in well under a second.
TEST(PictureHeader, FlippedChunkLengthInRealPackEntriesFailsAtOnce) {
  struct Case {
    const char* pack;
    int entry;
  };
  for (Case c : {Case{"Lights.pak", 1}, Case{"objects.pak", 1}, Case{"Tiles.pak", 0},
                 Case{"Menu.pak", 0}}) {
    Bytes png = PackEntry(c.pack, c.entry);
    ASSERT_GT(png.size(), 60u) << c.pack;
    int result = 0;
    ASSERT_LT(SecondsToLoad(png, &result), 5.0);
    ASSERT_EQ(result, 1) << c.pack << " entry " << c.entry << " loads undamaged";
    size_t at = FindChunk(png, "sRGB");
    ASSERT_NE(at, 0u) << c.pack;
    ASSERT_EQ(Be32(png, at), 1u);
    png[at + 1] ^= 0x10;  // 0x00100001
    EXPECT_LT(SecondsToLoad(png, &result), 1.0) << c.pack;
    EXPECT_EQ(result, 0) << c.pack;
  }
}

TEST(PictureHeader, ChunksMustLieInsideTheDataUpToIend) {
  Bytes png = SmallPng(5, 4);
  EXPECT_EQ(kw::CheckPictureHeader(png.data(), png.size()), kw::PictureKind::Png);
  // Cut before IEND, or inside a chunk.
  EXPECT_EQ(kw::CheckPictureHeader(png.data(), png.size() - 12), kw::PictureKind::None);
  EXPECT_EQ(kw::CheckPictureHeader(png.data(), png.size() - 20), kw::PictureKind::None);
  // A length past the data, also one with a fitting CRC.
  Bytes longer = png;
  size_t idat = FindChunk(longer, "IDAT");
  ASSERT_NE(idat, 0u);
  PutBe32(longer, idat, 0x7FFFFFF0u);
  EXPECT_EQ(kw::CheckPictureHeader(longer.data(), longer.size()), kw::PictureKind::None);
  // IHDR not first.
  Bytes noHeader = png;
  std::memcpy(&noHeader[12], "IHDX", 4);
  EXPECT_EQ(kw::CheckPictureHeader(noHeader.data(), noHeader.size()), kw::PictureKind::None);
  int result = 1;
  EXPECT_LT(SecondsToLoad(longer, &result), 1.0);
  EXPECT_EQ(result, 0);
}

// The size is read from the header and refused before anything is decoded.
TEST(PictureHeader, HugePicturesAreRefusedFromTheirHeader) {
  Bytes png = SmallPng(3, 3);
  for (uint32_t side : {16385u, 100000u, 0x7FFFFFFFu, 0u}) {
    Bytes huge = png;
    PutBe32(huge, 16, side);  // IHDR width
    FixCrc(huge, 8);
    EXPECT_EQ(kw::CheckPictureHeader(huge.data(), huge.size()), kw::PictureKind::None) << side;
    EXPECT_EQ(kw::LoadSpriteFromMemory(901, huge.data(), huge.size(), 0), 0) << side;
  }
  Bytes largest = png;
  PutBe32(largest, 20, 16384u);  // IHDR height at the limit: the header is fine
  FixCrc(largest, 8);
  EXPECT_EQ(kw::CheckPictureHeader(largest.data(), largest.size()), kw::PictureKind::Png);
  // A JPEG start: SOI, an APP0 segment, then a baseline frame header of h x w.
  auto jpeg = [](int h, int w) {
    Bytes j = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 'J', 'F', 0xFF, 0xC0, 0x00, 0x0B, 0x08,
               uint8_t(h >> 8), uint8_t(h), uint8_t(w >> 8), uint8_t(w), 0x01, 0x01, 0x11, 0x00,
               0xFF, 0xD9};
    return j;
  };
  Bytes small = jpeg(16, 16);
  EXPECT_EQ(kw::CheckPictureHeader(small.data(), small.size()), kw::PictureKind::Jpeg);
  for (auto [h, w] : {std::pair{65535, 16}, std::pair{16, 20000}, std::pair{0, 16}}) {
    Bytes big = jpeg(h, w);
    EXPECT_EQ(kw::CheckPictureHeader(big.data(), big.size()), kw::PictureKind::None) << h << "x" << w;
    EXPECT_EQ(kw::LoadSpriteFromMemory(902, big.data(), big.size(), 0), 0);
  }
  Bytes cut(small.begin(), small.begin() + 12);  // ends inside the frame header
  EXPECT_EQ(kw::CheckPictureHeader(cut.data(), cut.size()), kw::PictureKind::None);
  const char text[] = "GIF89a not a picture we take";
  EXPECT_EQ(kw::CheckPictureHeader(reinterpret_cast<const uint8_t*>(text), sizeof text),
            kw::PictureKind::None);
}

}  // namespace
