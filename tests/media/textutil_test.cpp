// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Numbers in text and the Latin-1 / UTF-8 conversions.
#include <gtest/gtest.h>

#include <climits>

#include "media/textutil.h"

namespace {

TEST(TextUtilTest, ParseIntReadsTheLeadingNumber) {
  EXPECT_EQ(kw::ParseInt(" 42abc"), 42);
  EXPECT_EQ(kw::ParseInt("\t \t-17 3"), -17);
  EXPECT_EQ(kw::ParseInt("+8"), 8);
  EXPECT_EQ(kw::ParseInt("007"), 7);
  EXPECT_EQ(kw::ParseInt("abc"), 0);
  EXPECT_EQ(kw::ParseInt(""), 0);
  EXPECT_EQ(kw::ParseInt("-"), 0);
  EXPECT_EQ(kw::ParseInt("+-5"), 0);
  EXPECT_EQ(kw::ParseInt("\n5"), 0);  // only blanks and tabs are skipped
  EXPECT_EQ(kw::ParseInt("- 5"), 0);
}

TEST(TextUtilTest, ParseIntSaturatesAtThirtyTwoBits) {
  EXPECT_EQ(kw::ParseInt("2147483647"), INT_MAX);
  EXPECT_EQ(kw::ParseInt("2147483648"), INT_MAX);
  EXPECT_EQ(kw::ParseInt("-2147483648"), INT_MIN);
  EXPECT_EQ(kw::ParseInt("-2147483649"), INT_MIN);
  EXPECT_EQ(kw::ParseInt("99999999999999999999999999999999"), INT_MAX);
  EXPECT_EQ(kw::ParseInt("-99999999999999999999999999999999x"), INT_MIN);
  EXPECT_EQ(kw::ParseInt("99999999"), 99999999);
}

TEST(TextUtilTest, IntToText) {
  EXPECT_EQ(kw::IntToText(0), "0");
  EXPECT_EQ(kw::IntToText(-5), "-5");
  EXPECT_EQ(kw::IntToText(99999999), "99999999");
  EXPECT_EQ(kw::IntToText(LLONG_MIN), "-9223372036854775808");
  EXPECT_EQ(kw::ParseInt(kw::IntToText(INT_MIN)), INT_MIN);
}

TEST(TextUtilTest, Latin1AndUtf8) {
  const std::string latin1 = "Bestetigen \xC4\xD6\xDC\xE4\xF6\xFC\xDF \xFF";
  const std::string utf8 = "Bestetigen \xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F \xC3\xBF";
  EXPECT_EQ(kw::Latin1ToUtf8(latin1), utf8);
  EXPECT_EQ(kw::Utf8ToLatin1(utf8), latin1);
  // Outside Latin-1: one '?' per character.
  EXPECT_EQ(kw::Utf8ToLatin1("a\xE2\x82\xAC" "b\xF0\x9F\x98\x80"), "a?b?");
  // Broken input: stray continuation bytes, cut sequences, overlong forms, surrogates.
  EXPECT_EQ(kw::Utf8ToLatin1("\x80x"), "?x");
  EXPECT_EQ(kw::Utf8ToLatin1("\xC3"), "?");
  EXPECT_EQ(kw::Utf8ToLatin1("\xE2\x82"), "??");
  EXPECT_EQ(kw::Utf8ToLatin1("\xC0\xAF"), "??");
  EXPECT_EQ(kw::Utf8ToLatin1("\xE0\x80\xAF"), "?");
  EXPECT_EQ(kw::Utf8ToLatin1("\xED\xA0\x80"), "?");
  EXPECT_EQ(kw::Utf8ToLatin1(std::string("a\0b", 3)), std::string("a\0b", 3));
}

}  // namespace
