// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The plain build's driver for a fuzz harness: feeds every file named on the command
// line (folders: every file inside, in name order) to the harness once. A crash, a
// sanitizer report or an abort in the harness fails the run; nothing is mutated.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

// The files of a path: itself, or a folder's regular files sorted by name.
std::vector<fs::path> FilesOf(const fs::path& p) {
  std::vector<fs::path> files;
  std::error_code ec;
  if (fs::is_directory(p, ec)) {
    for (const auto& item : fs::recursive_directory_iterator(p, ec))
      if (item.is_regular_file()) files.push_back(item.path());
    std::sort(files.begin(), files.end());
  } else if (fs::is_regular_file(p, ec)) {
    files.push_back(p);
  }
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  int inputs = 0;
  for (int i = 1; i < argc; ++i)
    for (const fs::path& file : FilesOf(argv[i])) {
      std::ifstream in(file, std::ios::binary);
      std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      ++inputs;
    }
  std::printf("replayed %d inputs\n", inputs);
  return inputs > 0 ? 0 : 1;
}
