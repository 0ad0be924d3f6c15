// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwbench part "packs": the pack decoder's speed against zlib's inflate and the pack
// encoder's size against zlib level 9, on the game folder's packed entries or, when
// there are none, on a synthesised corpus of game-like sounds and pictures. The size
// is also reported apart for uncompressed sounds (the WAV entries of the sound pack)
// and raw pixels (the decoded pictures), the two kinds of data that differ most.
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "bench.h"
#include "media/pack.h"
#include "media/sprites.h"
#include "packencoder.h"

namespace kwbench {

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& out, int v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

void Put32(Bytes& out, uint32_t v) {
  Put16(out, int(v & 0xffff));
  Put16(out, int(v >> 16));
}

// A RIFF/WAVE file around PCM samples, as the game's sound packs hold them.
Bytes WaveFile(const Bytes& pcm, int bits, int rate) {
  Bytes out = {'R', 'I', 'F', 'F'};
  Put32(out, uint32_t(36 + pcm.size()));
  for (char c : std::string("WAVEfmt ")) out.push_back(uint8_t(c));
  Put32(out, 16);
  Put16(out, 1);
  Put16(out, 1);
  Put32(out, uint32_t(rate));
  Put32(out, uint32_t(rate * bits / 8));
  Put16(out, bits / 8);
  Put16(out, bits);
  for (char c : std::string("data")) out.push_back(uint8_t(c));
  Put32(out, uint32_t(pcm.size()));
  out.insert(out.end(), pcm.begin(), pcm.end());
  return out;
}

// Synthesised sound effects: a decaying tone, a square-wave jingle, a noise burst with
// an envelope and silence between them; 16-bit or 8-bit samples.
Bytes SynthSound(int bits, unsigned seed) {
  std::mt19937 random(seed);
  const int rate = 22050;
  Bytes pcm;
  auto sample = [&](double v) {
    v = std::max(-1.0, std::min(1.0, v));
    if (bits == 16) Put16(pcm, int(std::lround(v * 32767)));
    else pcm.push_back(uint8_t(std::lround(128 + v * 127)));
  };
  for (int i = 0; i < rate / 2; ++i)
    sample(0.6 * std::sin(2 * M_PI * 440 * i / rate) * std::exp(-3.0 * i / rate));
  for (int i = 0; i < rate / 8; ++i) sample(0);
  const int notes[] = {523, 659, 784, 1046};
  for (int note : notes)
    for (int i = 0; i < rate / 10; ++i) sample((i * note * 2 / rate) % 2 ? 0.3 : -0.3);
  for (int i = 0; i < rate / 8; ++i) sample(0);
  std::uniform_real_distribution<double> noise(-1, 1);
  for (int i = 0; i < rate / 3; ++i) sample(noise(random) * 0.5 * std::exp(-6.0 * i / rate));
  for (int i = 0; i < rate / 4; ++i) sample(0);
  return WaveFile(pcm, bits, rate);
}

// A drawn picture as raw pixels: sky gradient, flat ground, a repeated brick tile with
// a little shading noise, and a flat-coloured figure. bytesPerPixel 4 (ARGB) or 3 (RGB).
Bytes DrawnPicture(int width, int height, int bytesPerPixel, unsigned seed) {
  std::mt19937 random(seed);
  Bytes tile(30 * 30);
  for (size_t i = 0; i < tile.size(); ++i) tile[i] = uint8_t(random() % 12);
  Bytes out;
  out.reserve(size_t(width) * height * bytesPerPixel);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint32_t r, g, b;
      if (y < height / 2) {
        r = 40 + 80 * y / height, g = 80 + 100 * y / height, b = 200 - 40 * y / height;
      } else if (y < height * 5 / 8) {
        r = 90, g = 140, b = 60;
      } else {
        bool mortar = (y % 30) < 2 || ((x + (y / 30 % 2) * 15) % 30) < 2;
        uint32_t shade = tile[size_t(y % 30) * 30 + size_t(x % 30)];
        r = mortar ? 180 : 140 + shade, g = mortar ? 170 : 70 + shade, b = mortar ? 160 : 50;
      }
      if (std::abs(x - width / 3) < 20 && std::abs(y - height / 2) < 40) r = 230, g = 30, b = 30;
      if (bytesPerPixel == 4) out.push_back(255);
      out.push_back(uint8_t(r));
      out.push_back(uint8_t(g));
      out.push_back(uint8_t(b));
    }
  }
  return out;
}

std::vector<Bytes> SynthCorpus() {
  std::vector<Bytes> corpus;
  for (unsigned seed = 1; seed <= 3; ++seed) {
    corpus.push_back(SynthSound(16, seed));
    corpus.push_back(SynthSound(8, seed + 10));
  }
  corpus.push_back(DrawnPicture(640, 480, 4, 1));
  corpus.push_back(DrawnPicture(320, 240, 3, 2));
  corpus.push_back(DrawnPicture(150, 120, 4, 3));
  return corpus;
}

// One pack file's entries, decoded; packedOnly keeps only the compressed ones.
std::vector<Bytes> PackEntries(const std::filesystem::path& path, bool packedOnly) {
  std::vector<Bytes> entries;
  std::ifstream file(path, std::ios::binary);
  Bytes pack((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  size_t at = 0;
  while (pack.size() - at >= 8) {
    uint32_t u = uint32_t(pack[at]) | uint32_t(pack[at + 1]) << 8 | uint32_t(pack[at + 2]) << 16 |
                 uint32_t(pack[at + 3]) << 24;
    uint32_t p = uint32_t(pack[at + 4]) | uint32_t(pack[at + 5]) << 8 |
                 uint32_t(pack[at + 6]) << 16 | uint32_t(pack[at + 7]) << 24;
    at += 8;
    if (p > pack.size() - at) break;
    if (p != u) {
      Bytes data(u);
      kw::DecodePackStream(pack.data() + at, p, data.data(), u);
      entries.push_back(std::move(data));
    } else if (!packedOnly) {
      entries.emplace_back(pack.begin() + long(at), pack.begin() + long(at + p));
    }
    at += p;
  }
  return entries;
}

// The pack files of the game folder (none when there is no folder).
std::vector<std::filesystem::path> GamePacks(const std::string& gameDir) {
  std::vector<std::filesystem::path> packs;
  std::error_code error;
  std::filesystem::path folder = std::filesystem::path(gameDir) / "paks";
  if (gameDir.empty() || !std::filesystem::is_directory(folder, error)) return packs;
  for (const auto& item : std::filesystem::directory_iterator(folder, error))
    if (item.path().extension() == ".pak") packs.push_back(item.path());
  std::sort(packs.begin(), packs.end());
  return packs;
}

// Plain data of every packed entry of the game folder's packs.
std::vector<Bytes> GamePackEntries(const std::string& gameDir) {
  std::vector<Bytes> corpus;
  for (const auto& path : GamePacks(gameDir))
    for (Bytes& data : PackEntries(path, true)) corpus.push_back(std::move(data));
  return corpus;
}

bool IsWave(const Bytes& data) {
  return data.size() > 44 && std::equal(data.begin(), data.begin() + 4, "RIFF") &&
         std::equal(data.begin() + 8, data.begin() + 12, "WAVE");
}

// The WAV entries of the sound pack, stored or packed.
std::vector<Bytes> GameWaves(const std::string& gameDir) {
  std::vector<Bytes> waves;
  for (const auto& path : GamePacks(gameDir)) {
    if (path.filename() != "sounds.pak") continue;
    for (Bytes& data : PackEntries(path, false))
      if (IsWave(data)) waves.push_back(std::move(data));
  }
  return waves;
}

// The decoded pixels (0xAARRGGBB, little-endian) of the pictures in the packs, up to
// about limit bytes so that the encoder's run stays short on a large game folder.
std::vector<Bytes> GamePixels(const std::string& gameDir, size_t limit) {
  constexpr int Scratch = 65000;  // far above the game's own sprite numbers
  std::vector<Bytes> pictures;
  size_t total = 0;
  for (const auto& path : GamePacks(gameDir)) {
    for (const Bytes& data : PackEntries(path, false)) {
      if (total >= limit) break;
      if (IsWave(data) || !kw::LoadSpriteFromMemory(Scratch, data.data(), data.size(), 0)) continue;
      const uint32_t* pixels = kw::SpritePixels(Scratch);
      size_t count = size_t(kw::SpriteWidth(Scratch)) * size_t(kw::SpriteHeight(Scratch));
      if (pixels && count > 0) {
        Bytes raw(count * 4);
        for (size_t i = 0; i < count; ++i)
          for (int b = 0; b < 4; ++b) raw[i * 4 + size_t(b)] = uint8_t(pixels[i] >> (8 * b));
        total += raw.size();
        pictures.push_back(std::move(raw));
      }
      kw::FreeSprite(Scratch);
    }
  }
  return pictures;
}

Bytes Deflate(const Bytes& data) {
  uLongf size = compressBound(uLong(data.size()));
  Bytes out(size);
  compress2(out.data(), &size, data.data(), uLong(data.size()), 9);
  out.resize(size);
  return out;
}

// Size of our streams over zlib level 9's for the whole corpus (0 when empty).
double SizeRatio(const std::vector<Bytes>& corpus) {
  size_t ours = 0, zlib = 0;
  for (const Bytes& d : corpus) {
    ours += kw::EncodePackStream(d.data(), d.size()).size();
    zlib += Deflate(d).size();
  }
  return zlib ? double(ours) / double(zlib) : 0;
}

// Megabytes of decoded output per second, median over runs.
template <typename Decode>
double Throughput(size_t totalBytes, Decode decode) {
  std::vector<double> rates;
  for (int run = 0; run < 7; ++run) {
    double start = NowUs();
    decode();
    double us = NowUs() - start;
    rates.push_back(us > 0 ? totalBytes / us : 0);
  }
  return Median(rates);
}

}  // namespace

void BenchPacks(const std::string& gameDir) {
  std::vector<Bytes> corpus = GamePackEntries(gameDir);
  size_t total = 0;
  for (const Bytes& d : corpus) total += d.size();
  if (total < (1u << 20)) corpus = SynthCorpus();
  total = 0;
  std::vector<Bytes> ours, zlib;
  size_t oursSize = 0, zlibSize = 0;
  double encodeUs = 0;
  for (const Bytes& d : corpus) {
    total += d.size();
    double start = NowUs();
    ours.push_back(kw::EncodePackStream(d.data(), d.size()));
    encodeUs += NowUs() - start;
    zlib.push_back(Deflate(d));
    oursSize += ours.back().size();
    zlibSize += zlib.back().size();
  }
  Bytes output(1 << 20);
  for (const Bytes& d : corpus) output.resize(std::max(output.size(), d.size()));
  size_t check = 0;
  double decode = Throughput(total, [&] {
    for (size_t i = 0; i < ours.size(); ++i)
      check += kw::DecodePackStream(ours[i].data(), ours[i].size(), output.data(), corpus[i].size());
  });
  double inflate = Throughput(total, [&] {
    for (size_t i = 0; i < zlib.size(); ++i) {
      uLongf size = uLongf(corpus[i].size());
      uncompress(output.data(), &size, zlib[i].data(), uLong(zlib[i].size()));
      check += size;
    }
  });
  if (check == 0) std::fprintf(stderr, "kwbench packs: nothing decoded\n");
  Print("decode_mbps", decode, "MB/s");
  Print("zlib_inflate_mbps", inflate, "MB/s");
  Print("encoder_vs_zlib9", zlibSize ? double(oursSize) / double(zlibSize) : 0, "ratio");
  Print("encoder_ms_per_mib", total ? encodeUs / 1000.0 / (double(total) / (1 << 20)) : 0, "ms");

  // Sounds and pixels apart: the game's own when it has them, else the synthesised ones.
  std::vector<Bytes> waves = GameWaves(gameDir), pixels = GamePixels(gameDir, 16u << 20);
  const bool synthWaves = waves.empty(), synthPixels = pixels.empty();
  for (Bytes& data : SynthCorpus()) {
    if (IsWave(data) ? synthWaves : synthPixels) (IsWave(data) ? waves : pixels).push_back(std::move(data));
  }
  Print("encoder_vs_zlib9_wav", SizeRatio(waves), "ratio");
  Print("encoder_vs_zlib9_pixels", SizeRatio(pixels), "ratio");
}

}  // namespace kwbench
