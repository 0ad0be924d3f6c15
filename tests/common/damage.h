// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The damage generator of the corruption suites: one damaged variant of a file's bytes by
// truncation, bit flips, byte runs, random tails or extreme numbers (a run of digits
// replaced by a value at or past the limits of its field, and one 32-bit field of a
// binary file set to an extreme value). Kind picks the damage; the same seed gives the
// same variants. The count comes from KW_CORRUPTION_COUNT, else the small count given.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

namespace kwtest {

inline int CorruptionCount(int quick) {
  const char* v = std::getenv("KW_CORRUPTION_COUNT");
  return v && std::atoi(v) > 0 ? std::atoi(v) : quick;
}

inline std::string Damage(std::string b, int kind, std::mt19937& random) {
  if (b.empty()) return b;
  auto at = [&] { return size_t(random() % b.size()); };
  switch (kind % 5) {
    case 0: b.resize(at()); break;
    case 1: for (int i = 0; i < 1 + int(random() % 16); ++i) b[at()] ^= char(1 << (random() % 8)); break;
    case 2: {
      size_t from = at(), n = std::min(b.size() - from, size_t(1 + random() % 256));
      b.replace(from, n, n, char(random() % 2 ? 0xFF : 0x00));
      break;
    }
    case 3: b.resize(b.size() + random() % 2048, char(random())); break;
    default: {
      const char* extremes[] = {"2147483647", "-2147483648", "99999999999999999999", "-1", "0",
                                "4294967295", "1e308", "nan"};
      for (int tries = 0; tries < 8; ++tries) {
        size_t from = at();
        if (!std::isdigit(uint8_t(b[from]))) continue;
        size_t end = from;
        while (end < b.size() && std::isdigit(uint8_t(b[end]))) ++end;
        b.replace(from, end - from, extremes[random() % 8]);
      }
      uint32_t v = random() % 2 ? 0xFFFFFFFFu : 0x7FFFFFFFu;
      size_t p = at();
      for (int i = 0; i < 4 && p + size_t(i) < b.size(); ++i) b[p + size_t(i)] = char(v >> (8 * i));
      break;
    }
  }
  return b;
}

}  // namespace kwtest
