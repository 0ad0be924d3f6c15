// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Numbers in text and the two character sets. The game's texts are Latin-1 bytes as
// its files hold them; UTF-8 appears only at the edges (fonts, typed characters, JSON).
// Called by every subsystem that reads numbers from files or shows numbers.
#include "media/textutil.h"

#include <cstdint>
#include <cstdio>
#include <limits>

namespace kw {

int ParseInt(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Accumulated as a magnitude in 64 bits and stopped at the 32-bit limit, so a long
  // run of digits saturates instead of overflowing.
  const int64_t limit = negative ? -int64_t(std::numeric_limits<int32_t>::min())
                                 : int64_t(std::numeric_limits<int32_t>::max());
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > limit) value = limit;
  }
  return int(negative ? -value : value);
}

std::string IntToText(long long n) { return std::to_string(n); }

std::string Latin1ToUtf8(const std::string& latin1) {
  std::string out;
  out.reserve(latin1.size());
  for (char ch : latin1) {
    unsigned c = uint8_t(ch);
    if (c < 0x80) {
      out += ch;
    } else {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

namespace {

// Decodes one UTF-8 sequence at text[i]; returns its code point, or -1 for a
// malformed sequence (then one byte is consumed). i moves past what was read.
long DecodeUtf8(const std::string& text, size_t& i) {
  unsigned c = uint8_t(text[i++]);
  if (c < 0x80) return long(c);
  int extra;
  unsigned long cp;
  if (c >= 0xC2 && c <= 0xDF) { extra = 1; cp = c & 0x1F; }
  else if (c >= 0xE0 && c <= 0xEF) { extra = 2; cp = c & 0x0F; }
  else if (c >= 0xF0 && c <= 0xF4) { extra = 3; cp = c & 0x07; }
  else return -1;
  size_t start = i;
  for (int k = 0; k < extra; ++k) {
    if (i >= text.size() || (uint8_t(text[i]) & 0xC0) != 0x80) { i = start; return -1; }
    cp = (cp << 6) | (uint8_t(text[i++]) & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not characters.
  static const unsigned long minimum[4] = {0, 0x80, 0x800, 0x10000};
  if (cp < minimum[extra] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return -1;
  return long(cp);
}

}  // namespace

std::string Utf8ToLatin1(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    long cp = DecodeUtf8(utf8, i);
    out += (cp < 0 || cp > 0xFF) ? '?' : char(cp);
  }
  return out;
}

std::string JsonString(const std::string& latin1) {
  std::string out = "\"";
  for (char ch : Latin1ToUtf8(latin1)) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

}  // namespace kw
