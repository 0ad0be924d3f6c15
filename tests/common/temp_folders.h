// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// A fresh game folder and user folder under /tmp for one test, made the media layer's
// folders; removed again at the end.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "media/files.h"

namespace kwtest {

struct TempFolders {
  std::filesystem::path root, game, user;

  explicit TempFolders(const std::string& prefix = "kw_test") {
    std::string pattern = "/tmp/" + prefix + "_XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
    root = pattern;
    game = root / "game";
    user = root / "user";
    std::filesystem::create_directories(game);
    std::filesystem::create_directories(user);
    kw::SetFolders(game.string(), user.string());
  }
  ~TempFolders() {
    kw::SetFolders("", "");
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
  TempFolders(const TempFolders&) = delete;
  TempFolders& operator=(const TempFolders&) = delete;

  // Writes a file (making its folders) with exactly these bytes.
  static void Put(const std::filesystem::path& p, const std::string& data) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << data;
  }
  // The bytes of a file ("" when it cannot be read).
  static std::string Get(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
};

}  // namespace kwtest
