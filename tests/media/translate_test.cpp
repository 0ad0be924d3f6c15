// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The text lookup: which language the command line and the locale variables choose, the
// German text when there is no translation, Latin-1 on both sides of a UTF-8 catalogue,
// the count of texts a catalogue lacks, and where the catalogues are found.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "common/env_guard.h"
#include "common/temp_folders.h"
#include "media/translate.h"

namespace fs = std::filesystem;

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;  // UTF-8 id, translation

// A gettext catalogue (.mo) of these entries and a header naming the language: the
// format's fixed header, the two tables of (length, offset) and the strings, ids sorted.
std::string MoFile(const std::string& language, Entries entries) {
  entries.push_back({"", "Content-Type: text/plain; charset=UTF-8\nLanguage: " + language + "\n"});
  std::sort(entries.begin(), entries.end());
  const uint32_t n = uint32_t(entries.size()), tables = 28, strings = tables + 16 * n;
  std::string head, pool;
  auto word = [](std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out += char((v >> (8 * i)) & 255);
  };
  for (uint32_t v : {0x950412deu, 0u, n, tables, tables + 8 * n, 0u, strings}) word(head, v);
  std::string originals, translations;
  for (int side = 0; side < 2; ++side)
    for (const auto& e : entries) {
      const std::string& s = side == 0 ? e.first : e.second;
      word(side == 0 ? originals : translations, uint32_t(s.size()));
      word(side == 0 ? originals : translations, strings + uint32_t(pool.size()));
      pool += s + '\0';
    }
  return head + originals + translations + pool;
}

class TranslateTest : public ::testing::Test {
 protected:
  kwtest::EnvGuard language{"LANGUAGE"}, all{"LC_ALL"}, messages{"LC_MESSAGES"}, lang{"LANG"};
  kwtest::TempFolders folders{"kw_translate"};
  fs::path locale = folders.root / "locale";

  void SetUp() override {
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) unsetenv(name);
    Put("en", {{"Zur\xC3\xBC" "ck", "Back"}, {"Optionen", "Options"}});
    Put("fr", {{"Zur\xC3\xBC" "ck", "Arri\xC3\xA8re"}});
    Put("de", {});
  }
  void TearDown() override { kw::StopTranslations(); }
  void Put(const std::string& language, const Entries& entries) {
    kwtest::TempFolders::Put(locale / language / "LC_MESSAGES" / "klingenwald.mo", MoFile(language, entries));
  }
};

TEST_F(TranslateTest, TheOptionThenTheLocaleVariablesChooseTheLanguage) {
  struct Case {
    const char* option;
    const char* language;  // LANGUAGE, LC_ALL, LC_MESSAGES, LANG; null = unset
    const char* all;
    const char* messages;
    const char* lang;
    const char* chosen;    // the catalogue in use, "" = none (German)
  };
  const Case cases[] = {
      {"", nullptr, nullptr, nullptr, nullptr, ""},
      {"", "en", nullptr, nullptr, nullptr, "en"},
      {"", "it:fr:en", nullptr, nullptr, nullptr, "fr"},  // a list, tried in order
      {"", "en", "fr_FR.UTF-8", nullptr, nullptr, "en"},  // LANGUAGE comes first
      {"", "", "en_GB.UTF-8", "fr_FR", nullptr, "en"},    // an empty one counts as unset
      {"", nullptr, nullptr, "fr_CA.UTF-8", "en_US", "fr"},
      {"", nullptr, nullptr, nullptr, "en_US.UTF-8", "en"},
      {"", nullptr, nullptr, nullptr, "it_IT.UTF-8", ""},  // no catalogue: German
      {"", nullptr, "C", nullptr, "en_US.UTF-8", ""},      // C is the program's own texts
      {"", nullptr, "C.UTF-8", nullptr, "en_US.UTF-8", ""},
      {"", nullptr, "POSIX", nullptr, nullptr, ""},
      {"de", "en", nullptr, nullptr, "en_US.UTF-8", "de"},  // the option wins
      {"en", nullptr, "C", nullptr, nullptr, "en"},
      {"it", "en", nullptr, nullptr, nullptr, ""},
  };
  for (const Case& c : cases) {
    const std::pair<const char*, const char*> vars[] = {
        {"LANGUAGE", c.language}, {"LC_ALL", c.all}, {"LC_MESSAGES", c.messages}, {"LANG", c.lang}};
    for (const auto& [name, value] : vars) {
      if (value) setenv(name, value, 1);
      else unsetenv(name);
    }
    kw::StartTranslations(locale.string(), c.option);
    SCOPED_TRACE(std::string("--lang '") + c.option + "' LANGUAGE=" + (c.language ? c.language : "-") +
                 " LC_ALL=" + (c.all ? c.all : "-") + " LANG=" + (c.lang ? c.lang : "-"));
    EXPECT_EQ(kw::TranslationLanguage(), c.chosen);
    const std::string expected = std::string(c.chosen) == "en"   ? "Back"
                                 : std::string(c.chosen) == "fr" ? "Arri\xE8re"
                                                                 : "Zur\xFC" "ck";
    EXPECT_EQ(kw::Translate("Zur\xFC" "ck"), expected);
  }
}

TEST_F(TranslateTest, MissingTextsStayGermanAndAreCountedOnlyForAnotherLanguage) {
  EXPECT_EQ(kw::Translate("Optionen"), "Optionen");  // nothing started: German
  kw::StartTranslations(locale.string(), "en");
  EXPECT_EQ(kw::Translate("Optionen"), "Options");
  EXPECT_EQ(kw::Translate(""), "");  // not the catalogue's header
  EXPECT_EQ(kw::MissingTranslations(), 0);
  EXPECT_EQ(kw::Translate("L\xF6schen"), "L\xF6schen");
  EXPECT_EQ(kw::Translate("Beenden"), "Beenden");
  EXPECT_EQ(kw::MissingTranslations(), 2);
  EXPECT_EQ(kw::LastMissingTranslation(), "Beenden");

  kw::StartTranslations(locale.string(), "de");  // German's catalogue translates nothing
  EXPECT_EQ(kw::TranslationLanguage(), "de");
  EXPECT_EQ(kw::Translate("Optionen"), "Optionen");
  EXPECT_EQ(kw::MissingTranslations(), 0);

  kw::StopTranslations();
  EXPECT_EQ(kw::TranslationLanguage(), "");
  EXPECT_EQ(kw::Translate("Optionen"), "Optionen");
}

TEST_F(TranslateTest, CataloguesAreFoundBesideTheProgram) {
  const fs::path prefix = folders.root / "prefix", build = folders.root / "build";
  Put("en", {});
  fs::create_directories(prefix / "bin");
  fs::create_directories(prefix / "games");
  fs::create_directories(build);
  EXPECT_EQ(kw::FindLocaleFolderFrom((prefix / "bin").string()), "");
  fs::create_directories(prefix / "share" / "locale" / "en" / "LC_MESSAGES");  // not ours
  EXPECT_EQ(kw::FindLocaleFolderFrom((prefix / "bin").string()), "");
  fs::copy(locale, prefix / "share" / "locale", fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  fs::copy(locale, build / "locale", fs::copy_options::recursive);
  const std::string installed = (prefix / "share" / "locale").string();
  EXPECT_EQ(kw::FindLocaleFolderFrom((prefix / "bin").string()), installed);
  EXPECT_EQ(kw::FindLocaleFolderFrom((prefix / "games").string()), installed);  // /usr/games
  EXPECT_EQ(kw::FindLocaleFolderFrom(build.string()), (build / "locale").string());
}

}  // namespace
