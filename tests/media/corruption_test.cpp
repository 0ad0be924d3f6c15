// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Damaged packs: variants of every shipped pack made by truncation, bit flips, byte runs,
// random lengths and extreme entry sizes, read entry by entry and every entry offered to
// the picture decoder. Nothing may crash (the sanitizer build catches what a plain build
// lets pass), stall or run past the file. The suite runs a fixed seed and a small count;
//   KW_CORRUPTION_COUNT=2000 build/tests/media_tests --gtest_filter='Corruption*'
// runs the full count per pack.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "common/temp_folders.h"
#include "media/pack.h"
#include "media/sound.h"
#include "media/sound_internal.h"
#include "media/sprites.h"

namespace {

using Bytes = std::string;

// Variants per pack: KW_CORRUPTION_COUNT, else a count that keeps the suite quick.
int VariantCount() {
  const char* v = std::getenv("KW_CORRUPTION_COUNT");
  return v && std::atoi(v) > 0 ? std::atoi(v) : 24;
}

// The start of the pack, where its first entries are: enough to damage every kind of
// field without rewriting megabytes for each variant.
constexpr size_t KeptBytes = 192 * 1024;

void Put32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4 && at + size_t(i) < b.size(); ++i) b[at + size_t(i)] = char(v >> (8 * i));
}

// One damaged variant of a pack; kind picks the damage.
Bytes Damage(Bytes b, int kind, std::mt19937& random) {
  if (b.empty()) return b;
  auto at = [&] { return size_t(random() % b.size()); };
  switch (kind % 6) {
    case 0: b.resize(at()); break;                                    // truncated
    case 1: for (int i = 0; i < 1 + int(random() % 16); ++i) b[at()] ^= char(1 << (random() % 8)); break;
    case 2: {                                                         // a run of one byte
      size_t from = at(), n = std::min(b.size() - from, size_t(1 + random() % 512));
      b.replace(from, n, n, char(random() % 2 ? 0xFF : 0x00));
      break;
    }
    case 3: b.resize(b.size() + random() % 4096, char(random())); break;  // random tail
    case 4: {                                                         // extreme sizes in the first entry
      const uint32_t extremes[] = {0, 1, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, uint32_t(b.size())};
      Put32(b, 0, extremes[random() % 6]);
      Put32(b, 4, extremes[random() % 6]);
      break;
    }
    default:                                                          // sizes that disagree
      Put32(b, 0, uint32_t(random() % (1u << 24)));
      Put32(b, 4, uint32_t(random() % (1u << 20)));
      break;
  }
  return b;
}

// Reads the damaged pack to its end; the number of entries read.
int ReadWholePack(const std::string& gamePath) {
  int entries = 0;
  if (!kw::OpenPack(gamePath)) return 0;
  // No kept part holds more entries than bytes: the loop stays bounded.
  for (int guard = 0; guard < 1 << 22 && !kw::PackEnded(); ++guard) {
    const uint8_t* data = kw::NextPackEntry();
    if (!data) break;
    ++entries;
    constexpr int Scratch = 65000;  // far above the game's own sprite numbers
    if (kw::LoadSpriteFromMemory(Scratch, data, kw::LastPackEntrySize(), kw::TextureFlag)) {
      EXPECT_GT(kw::SpriteWidth(Scratch), 0);
    }
    kw::FreeSprite(Scratch);
  }
  kw::ClosePack();
  return entries;
}

TEST(Corruption, DamagedPacksNeitherCrashNorStall) {
  namespace fs = std::filesystem;
  const fs::path paks = fs::path(KW_GAME_DIR) / "paks";
  ASSERT_TRUE(fs::is_directory(paks)) << paks;
  kwtest::TempFolders folders("kw_corrupt");
  std::mt19937 random(20261208);
  int packs = 0, variants = 0;
  for (const auto& item : fs::directory_iterator(paks)) {
    if (item.path().extension() != ".pak") continue;
    std::ifstream in(item.path(), std::ios::binary);
    Bytes original((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // At least the whole first entry (cutscene pictures are larger than the kept part).
    size_t first = original.size() >= 8 ? 8 + (uint32_t(uint8_t(original[4])) | uint32_t(uint8_t(original[5])) << 8 |
                                                uint32_t(uint8_t(original[6])) << 16 | uint32_t(uint8_t(original[7])) << 24)
                                         : 0;
    original.resize(std::min(original.size(), std::max(KeptBytes, first)));
    ++packs;
    // Undamaged, the kept part reads: the harness really reaches the entries.
    kwtest::TempFolders::Put(folders.game / "paks" / "damaged.pak", original);
    EXPECT_GT(ReadWholePack("paks\\damaged.pak"), 0) << item.path().filename();
    for (int v = 0; v < VariantCount(); ++v, ++variants) {
      kwtest::TempFolders::Put(folders.game / "paks" / "damaged.pak", Damage(original, v, random));
      auto start = std::chrono::steady_clock::now();
      ReadWholePack("paks\\damaged.pak");
      double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      EXPECT_LT(seconds, 5.0) << item.path().filename() << " variant " << v << " stalled";
    }
  }
  EXPECT_GE(packs, 5);
  std::printf("corruption: %d variants of %d packs read\n", variants, packs);
}

// The first Ogg stream (a music track) of the shipped sounds.pak, read past the pack's
// plain entry headers (unpacked size, stored size; the sounds are stored as they are).
Bytes FirstMusicTrack() {
  std::ifstream in(std::filesystem::path(KW_GAME_DIR) / "paks" / "sounds.pak", std::ios::binary);
  Bytes pack((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (size_t at = 0; at + 8 <= pack.size();) {
    uint32_t stored = uint32_t(uint8_t(pack[at + 4])) | uint32_t(uint8_t(pack[at + 5])) << 8 |
                      uint32_t(uint8_t(pack[at + 6])) << 16 | uint32_t(uint8_t(pack[at + 7])) << 24;
    if (stored > pack.size() - at - 8) break;
    if (pack.compare(at + 8, 4, "OggS") == 0) return pack.substr(at + 8, stored);
    at += 8 + stored;
  }
  return {};
}

// A damaged music track is kept compressed like a whole one and decoded while it plays:
// whatever it loads as, streaming it looped ends or falls silent, never crashes or
// spins, and one pass of it stays within the decode limit.
TEST(Corruption, DamagedStreamedMusicNeitherCrashesNorStalls) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  kw::FreeAllSounds();
  kw::InitSound();
  const Bytes track = FirstMusicTrack();
  ASSERT_GT(track.size(), 1000u);
  constexpr int Scratch = 1000;
  auto load = [](const Bytes& b) {
    return kw::LoadSoundFromMemory(Scratch, reinterpret_cast<const uint8_t*>(b.data()), b.size(), 0);
  };
  ASSERT_EQ(load(track), 1);
  ASSERT_EQ(kw::SoundStreamed(Scratch), 1);  // the harness reaches the streaming path
  std::mt19937 random(20261210);
  int loaded = 0;
  for (int v = 0; v < VariantCount(); ++v) {
    Bytes damaged = Damage(track, v, random);
    auto start = std::chrono::steady_clock::now();
    if (load(damaged)) {
      ++loaded;
      kw::PlaySoundFx(Scratch, 1);
      std::vector<int16_t> pass = kw::SoundMixerSamples(Scratch);
      EXPECT_LE(pass.size() * 2, kw::MaxDecodedSoundBytes * 8);
      kw::StreamedSoundSamples(Scratch, 4 << 20, 4096);  // past the loop point of a cut track
      kw::StopSoundFx(Scratch);
    }
    kw::FreeSound(Scratch);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 5.0) << "variant " << v << " stalled";
  }
  kw::FreeAllSounds();
  std::printf("corruption: %d damaged music tracks, %d loaded\n", VariantCount(), loaded);
}

}  // namespace
