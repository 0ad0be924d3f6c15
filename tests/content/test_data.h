// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Small game folders for the shell and content tests: packs of tiny PNG pictures and
// WAV sounds whose pixels tell which pack entry and which region they came from, map
// files written byte by byte, and a headless media layer started once per binary.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "audio.h"
#include "content/content.h"
#include "image.h"
#include "media/core_internal.h"
#include "media/media.h"
#include "packencoder.h"
#include "shell/shell.h"

namespace kwtest {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

using kwgen::Argb;

// A PNG of w x h whose pixel (x, y) is colour(x, y) (0xAARRGGBB), by the tools' encoder.
inline Bytes Png(int w, int h, const std::function<uint32_t(int, int)>& colour) {
  kwgen::Image img(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.Set(x, y, colour(x, y));
  return kwgen::EncodePng(img);
}

inline Bytes Flat(int w, int h, uint32_t c) {
  return Png(w, h, [c](int, int) { return c; });
}

// A short 16-bit mono WAV, by the tools' encoder.
inline Bytes Wav() {
  std::vector<int16_t> samples;
  for (int i = 0; i < 64; ++i) samples.push_back(int16_t((i % 8) * 1000));
  return kwgen::EncodeWav16(samples, 22050);
}

inline void WritePack(const fs::path& path, const std::vector<Bytes>& entries) {
  fs::create_directories(path.parent_path());
  ASSERT_TRUE(kw::WritePackFile(path.string(), entries)) << path;
}

// objects.pak: entry e is a small picture of blue e, except the ones whose clips and
// key colours the tests look at.
inline std::vector<Bytes> ObjectsEntries(int count = 48) {
  std::vector<Bytes> e;
  for (int i = 0; i < count; ++i) {
    if (i >= 10 && i <= 12)  // shots: left half red 1, right half red 2
      e.push_back(Png(88, 48, [](int x, int) { return Argb(x < 44 ? 1 : 2, 9, 9); }));
    else if (i == 13)
      e.push_back(Flat(60, 60, Argb(13, 13, 13)));
    else if (i == 23)  // the exit door: all key colour (0, 250, 0)
      e.push_back(Flat(8, 8, Argb(0, 250, 0)));
    else
      e.push_back(Flat(8, 8, Argb(40, 40, i + 1)));
  }
  return e;
}

// Tiles.pak: entries 0..9 strips (frame column f, tile k: pixel (f, k, entry)),
// 10, 11 filler, 12..16 sheets (tile column c, sheet row r: pixel (c, r*50+1, entry)).
// Made once per test binary: encoding the large strips is most of a small folder's cost.
inline const std::vector<Bytes>& TilesEntries() {
  static const std::vector<Bytes> entries = [] {
    std::vector<Bytes> e;
    for (int i = 0; i < 10; ++i) {
      int fh = i % 2 == 0 ? 50 : 30;
      e.push_back(Png(120, 80 * fh, [i, fh](int x, int y) { return Argb(x / 30, y / fh + 1, i * 10 + 5); }));
    }
    for (int i = 10; i < 17; ++i)
      e.push_back(Png(3000, 90, [i](int x, int y) { return Argb(x / 30 % 256, (y / 30) * 50 + 1, i * 10 + 5); }));
    return e;
  }();
  return entries;
}

// A complete small game folder (packs, Gegner.ini) and an empty user folder.
struct GameFolder {
  fs::path root, game, user;

  GameFolder() {
    root = fs::temp_directory_path() / ("kwtest_" + std::to_string(getpid()) + "_" +
                                        std::to_string(counter()++));
    game = root / "game";
    user = root / "user";
    fs::create_directories(game / "paks");
    fs::create_directories(game / "maps");
    fs::create_directories(user / "Saves");
    fs::create_directories(user / "Temp");
  }
  ~GameFolder() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  static int& counter() { static int n = 0; return n; }

  void Use() const { kw::SetFolders(game.string(), user.string()); }

  void WriteText(const fs::path& p, const std::string& text) const {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
  }

  void WriteAllPacks(int objectsCount = 48) const {
    WritePack(game / "paks" / "objects.pak", ObjectsEntries(objectsCount));
    std::vector<Bytes> menu;
    for (int i = 0; i < 16; ++i)
      menu.push_back(i == 7 || i == 8 ? Png(98, 98, [](int, int y) { return Argb(7, y < 49 ? 1 : 2, 7); })
                                      : Flat(8, 8, Argb(50, 50, i + 1)));
    WritePack(game / "paks" / "Menu.pak", menu);
    WritePack(game / "paks" / "Interface.pak", {Flat(8, 8, Argb(60, 1, 1)), Flat(8, 8, Argb(60, 2, 2)), Flat(8, 8, Argb(60, 3, 3))});
    std::vector<Bytes> inv;
    for (int i = 0; i < 5; ++i) inv.push_back(Flat(8, 8, Argb(70, 70, i + 1)));
    inv.push_back(Png(63, 10, [](int x, int) { return Argb(x + 1, 70, 70); }));
    inv.push_back(Png(114, 18, [](int x, int) { return Argb(x + 1, 71, 71); }));
    inv.push_back(Flat(8, 8, Argb(70, 70, 99)));
    WritePack(game / "paks" / "Inventar.pak", inv);
    std::vector<Bytes> sounds(22, Wav());
    WritePack(game / "paks" / "sounds.pak", sounds);
    WritePack(game / "paks" / "Tiles.pak", TilesEntries());
    std::vector<Bytes> lights;
    for (int i = 0; i < 23; ++i) lights.push_back(Flat(30, 30, Argb(80, 80, i + 1)));
    WritePack(game / "paks" / "Lights.pak", lights);
    WritePack(game / "paks" / "Backgrounds.pak", {Flat(8, 8, Argb(90, 90, 1)), Flat(8, 8, Argb(90, 90, 2))});
  }
};

// Map file bytes: 15 header lines, then pass 1 (7 values), pass 2 and pass 3.
struct MapSpec {
  int w = 3, h = 2;  // highest column and row
  std::string weather = "1/300";
  std::string tileSet = "1";
  int background = 1;
  int startY = 40, startX = -200;
  int exitCol = 5, exitRow = 1;
  std::function<std::array<int32_t, 7>(int, int)> layers = [](int, int) {
    return std::array<int32_t, 7>{2, 0, 0, 0, 0, 1, 255};
  };
  std::function<int32_t(int, int)> pickup = [](int, int) { return 0; };
  std::function<int32_t(int, int)> shade = [](int, int) { return 0; };
  long truncateTo = -1;  // cut the body after this many bytes

  std::string Bytes() const {
    std::string s;
    auto line = [&s](const std::string& t) { s += t + "\r\n"; };
    line(std::to_string(w)); line(std::to_string(h)); line("120");
    line("a"); line("b"); line("c"); line("77"); line(weather); line(tileSet);
    line(std::to_string(background)); line(std::to_string(startY)); line(std::to_string(startX));
    line(std::to_string(exitCol)); line(std::to_string(exitRow)); line("0");
    std::string body;
    auto put = [&body](int32_t v) { for (int i = 0; i < 4; ++i) body += char(uint32_t(v) >> (8 * i)); };
    // A huge header with a short body is written without making the whole body first.
    auto full = [&] { return truncateTo >= 0 && body.size() >= size_t(truncateTo); };
    for (int r = 0; r <= h && !full(); ++r)
      for (int c = 0; c <= w; ++c)
        for (int32_t v : layers(c, r)) put(v);
    for (int r = 0; r <= h && !full(); ++r)
      for (int c = 0; c <= w; ++c) put(pickup(c, r));
    for (int r = 0; r <= h && !full(); ++r)
      for (int c = 0; c <= w; ++c) put(shade(c, r));
    if (truncateTo >= 0 && size_t(truncateTo) < body.size()) body.resize(size_t(truncateTo));
    return s + body;
  }
};

// The media layer, headless (virtual time: SleepMs moves the clock), once per test binary.
inline bool HeadlessMediaStarted = false;
inline void StartHeadlessMedia() {
  if (HeadlessMediaStarted) return;
  kw::MediaOptions o;
  o.headless = true;
  o.seedGiven = true;
  o.seed = 7;
  HeadlessMediaStarted = kw::InitMedia(o);
  ASSERT_TRUE(HeadlessMediaStarted);
}

// Reads the back-buffer pixel at (x, y).
inline uint32_t Pixel(int x, int y) { return kw::BackBuffer()[y * kw::ScreenWidth + x]; }

// Draws a sprite (2D) on a cleared back buffer and returns the pixel at (x, y).
inline uint32_t DrawnPixel(int sprite, int x = 0, int y = 0) {
  kw::SetBlitTarget(-1);
  kw::ClearBackBuffer(kw::Rgb(1, 2, 3));
  kw::DrawSprite(sprite, 0, 0);
  return Pixel(x, y);
}

// Empty map and light grids of w x h cells, with the player's record saying so, as a
// map load leaves them for the save and the rules.
inline void UseEmptyGrids(int w, int h) {
  kw::Map.Create(w, h);
  kw::LightGrid.Create(w, h);
  kw::P().mapWidth = int16_t(w);
  kw::P().mapHeight = int16_t(h);
}

// A headless game with fresh lists and a small game folder of its own: the base of the
// shell and content fixtures.
class GameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartHeadlessMedia();
    kw::SetStartValues();
    kw::CreateGameLists();
    folder.Use();
  }
  GameFolder folder;
};

}  // namespace kwtest
