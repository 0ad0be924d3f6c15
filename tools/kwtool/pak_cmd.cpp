// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwtool pak: lists, extracts and creates pack files for authors and for the build.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "kwtool.h"
#include "media/pack.h"
#include "packencoder.h"

namespace kwtool {

namespace {

using Bytes = std::vector<uint8_t>;

// One entry as it lies in the file.
struct RawEntry {
  uint32_t unpacked;
  uint32_t stored;
  const uint8_t* bytes;
};

uint32_t Load32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The game refuses entries larger than this as damage; so do we.
constexpr uint32_t MaxEntrySize = 256u << 20;

// Reads a whole regular file; false for a folder, a missing or an unreadable file.
bool ReadFile(const std::string& path, Bytes& out) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  try {
    out.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  } catch (const std::exception&) {
    return false;
  }
  return !file.bad();
}

// Splits a pack into its entries; false (with a message) when the file is cut short.
bool SplitPack(const std::string& path, const Bytes& pack, std::vector<RawEntry>& entries) {
  size_t at = 0;
  while (at < pack.size()) {
    if (pack.size() - at < 8) {
      std::fprintf(stderr, "kwtool pak: %s: entry %zu: header cut short\n", path.c_str(),
                   entries.size());
      return false;
    }
    RawEntry entry{Load32(&pack[at]), Load32(&pack[at + 4]), nullptr};
    at += 8;
    if (entry.stored > pack.size() - at) {
      std::fprintf(stderr, "kwtool pak: %s: entry %zu: data cut short\n", path.c_str(),
                   entries.size());
      return false;
    }
    if (entry.unpacked > MaxEntrySize || entry.stored > MaxEntrySize) {
      std::fprintf(stderr, "kwtool pak: %s: entry %zu: size %u/%u is larger than 256 MiB\n",
                   path.c_str(), entries.size(), entry.unpacked, entry.stored);
      return false;
    }
    entry.bytes = pack.data() + at;
    at += entry.stored;
    entries.push_back(entry);
  }
  return true;
}

bool LoadPack(const std::string& path, Bytes& pack, std::vector<RawEntry>& entries) {
  if (!ReadFile(path, pack)) {
    std::fprintf(stderr, "kwtool pak: cannot read %s (missing, a folder or unreadable)\n",
                 path.c_str());
    return false;
  }
  return SplitPack(path, pack, entries);
}

// Decodes a packed entry; the checksum verdict is ok, bad or none.
Bytes Decode(const RawEntry& e, const char** verdict) {
  Bytes data(e.unpacked);
  kw::DecodePackStream(e.bytes, e.stored, data.data(), data.size());
  uint32_t checksum = e.stored >= 10 ? Load32(e.bytes + 6) : 0;
  size_t covered = e.stored >= 10 ? std::min<size_t>(Load32(e.bytes + 2), data.size()) : 0;
  if (checksum == 0) *verdict = "none";
  else *verdict = kw::PackChecksum(data.data(), covered) == checksum ? "ok" : "bad";
  return data;
}

// The file ending that fits an entry's first bytes.
const char* Ending(const Bytes& d) {
  auto starts = [&d](const char* magic, size_t at = 0) {
    size_t n = std::char_traits<char>::length(magic);
    return d.size() >= at + n && std::equal(magic, magic + n, d.begin() + long(at),
                                             [](char a, uint8_t b) { return uint8_t(a) == b; });
  };
  if (starts("\x89PNG")) return "png";
  if (d.size() >= 2 && d[0] == 0xFF && d[1] == 0xD8) return "jpg";
  if (starts("RIFF") && starts("WAVE", 8)) return "wav";
  if (starts("OggS")) return "ogg";
  return "bin";
}

int List(const std::string& path) {
  Bytes pack;
  std::vector<RawEntry> entries;
  if (!LoadPack(path, pack, entries)) return 1;
  for (size_t i = 0; i < entries.size(); ++i) {
    const RawEntry& e = entries[i];
    if (e.stored == e.unpacked) {
      std::printf("%zu %u %u stored\n", i, e.unpacked, e.stored);
    } else {
      const char* verdict = "none";
      Decode(e, &verdict);
      std::printf("%zu %u %u packed checksum %s\n", i, e.unpacked, e.stored, verdict);
    }
  }
  return 0;
}

int Extract(const std::string& path, const std::string& dir) {
  Bytes pack;
  std::vector<RawEntry> entries;
  if (!LoadPack(path, pack, entries)) return 1;
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  for (size_t i = 0; i < entries.size(); ++i) {
    const RawEntry& e = entries[i];
    const char* verdict = "none";
    Bytes data = e.stored == e.unpacked ? Bytes(e.bytes, e.bytes + e.stored) : Decode(e, &verdict);
    char name[32];
    std::snprintf(name, sizeof name, "%03zu.%s", i, Ending(data));
    std::string out = (std::filesystem::path(dir) / name).string();
    std::ofstream file(out, std::ios::binary);
    file.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    if (!file.flush()) {
      std::fprintf(stderr, "kwtool pak: cannot write %s\n", out.c_str());
      return 1;
    }
  }
  return 0;
}

int Create(const std::string& path, const Args& inputs) {
  std::vector<Bytes> entries(inputs.size());
  for (size_t i = 0; i < inputs.size(); ++i) {
    if (!ReadFile(inputs[i], entries[i])) {
      std::fprintf(stderr, "kwtool pak: cannot read %s\n", inputs[i].c_str());
      return 1;
    }
  }
  if (!kw::WritePackFile(path, entries)) {
    std::fprintf(stderr, "kwtool pak: cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}

int Usage() {
  std::fputs("usage: kwtool pak list FILE | extract FILE DIR | create FILE INPUT...\n", stderr);
  return 2;
}

}  // namespace

int PakCommand(const Args& args) {
  if (args.size() == 2 && args[0] == "list") return List(args[1]);
  if (args.size() == 3 && args[0] == "extract") return Extract(args[1], args[2]);
  if (args.size() >= 2 && args[0] == "create") return Create(args[1], Args(args.begin() + 2, args.end()));
  return Usage();
}

}  // namespace kwtool
