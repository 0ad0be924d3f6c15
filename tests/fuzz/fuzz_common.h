// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// What every fuzz harness shares: a headless media layer started once, a temporary game
// folder whose packs are the shipped ones (linked, never written) and a user folder, and
// a way to put the input where a loader expects a file. Used by the libFuzzer harnesses
// and by their replay driver in the plain test suite.
#pragma once

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "content/content.h"
#include "media/core_internal.h"
#include "media/media.h"
#include "shell/shell.h"

namespace kwfuzz {

namespace fs = std::filesystem;

// The shipped game folder: $KW_FUZZ_GAME, else the one this build made.
inline std::string ShippedGame() {
  const char* g = std::getenv("KW_FUZZ_GAME");
  return g && *g ? g : KW_GAME_DIR;
}

// The temporary folders, made once; removed when the process ends normally.
struct Folders {
  fs::path root, game, user;
  Folders() {
    std::string pattern = (fs::temp_directory_path() / "kw_fuzz_XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    root = pattern;
    game = root / "game";
    user = root / "user";
    fs::create_directories(game / "maps");
    fs::create_directories(user / "Saves");
    std::error_code ec;
    fs::create_directory_symlink(fs::path(ShippedGame()) / "paks", game / "paks", ec);
  }
  ~Folders() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
};

inline Folders& TheFolders() {
  static Folders f;
  return f;
}

// Starts the headless media layer and the game's lists once per process.
inline void StartOnce() {
  static bool started = false;
  if (started) return;
  started = true;
  kw::MediaOptions o;
  o.headless = true;
  o.seedGiven = true;
  o.seed = 7;
  // The media layer takes SIGALRM, SIGINT and SIGTERM for its quit handling; libFuzzer
  // needs them for its timeouts and its own ending, so they go back afterwards.
  struct sigaction alarm{}, interrupt{}, term{};
  sigaction(SIGALRM, nullptr, &alarm);
  sigaction(SIGINT, nullptr, &interrupt);
  sigaction(SIGTERM, nullptr, &term);
  if (!kw::InitMedia(o)) std::abort();
  sigaction(SIGALRM, &alarm, nullptr);
  sigaction(SIGINT, &interrupt, nullptr);
  sigaction(SIGTERM, &term, nullptr);
  kw::SetStartValues();
  kw::CreateGameLists();
  Folders& f = TheFolders();
  kw::SetFolders(f.game.string(), f.user.string());
}

// Writes bytes to a real path (folders made as needed).
inline void Put(const fs::path& p, const uint8_t* data, size_t size) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                             std::streamsize(size));
}
inline void Put(const fs::path& p, const std::string& s) {
  Put(p, reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

// Splits an input at a marker line into up to count parts (missing parts are empty and
// their files are removed by the caller), so one input can stand for several files.
constexpr const char* PartMarker = "\n--kw-part--\n";
inline void SplitParts(const uint8_t* data, size_t size, std::string* parts, int count) {
  std::string all(reinterpret_cast<const char*>(data), size);
  size_t from = 0;
  for (int i = 0; i < count; ++i) {
    size_t at = i + 1 < count ? all.find(PartMarker, from) : std::string::npos;
    parts[i] = all.substr(from, at == std::string::npos ? std::string::npos : at - from);
    if (at == std::string::npos) {
      for (int j = i + 1; j < count; ++j) parts[j] = std::string(1, '\x01');  // marks "missing"
      return;
    }
    from = at + std::char_traits<char>::length(PartMarker);
  }
}

}  // namespace kwfuzz
