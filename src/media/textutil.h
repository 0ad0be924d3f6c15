// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Text helpers shared by every subsystem: numbers in text, Latin-1 and UTF-8.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

namespace kw {

// Skips leading blanks and tabs, reads an optional sign and decimal digits up to the
// first other character; no digits gives 0. Values beyond 32 bits saturate.
int ParseInt(const std::string& text);
// Decimal text, "-" for negatives.
std::string IntToText(long long n);
std::string Latin1ToUtf8(const std::string& latin1);
// Characters outside Latin-1 become '?'.
std::string Utf8ToLatin1(const std::string& utf8);

// A JSON string literal of a Latin-1 text (converted to UTF-8, quotes, backslashes and
// control characters escaped): the --state file and kwtool's dumps.
std::string JsonString(const std::string& latin1);

// Nearest integer, a half to the even neighbour, kept inside the int32 range (a float
// far outside it would otherwise be undefined to convert).
inline int32_t Nearest(double v) {
  double r = std::nearbyint(v);
  if (!(r > -2147483648.0)) return INT32_MIN;  // also NaN
  if (r > 2147483647.0) return INT32_MAX;
  return int32_t(r);
}

}  // namespace kw
