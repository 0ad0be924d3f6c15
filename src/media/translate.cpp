// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The text lookup through the C library's gettext. The language is chosen here rather
// than left to gettext alone: gettext ignores LANGUAGE while the messages locale is "C",
// which is what a program gets that never asked for the user's locale, and a player's
// locale may name a language whose system locale is not installed. So the wanted
// languages go into LANGUAGE and the messages locale is set to one that exists; the
// rest of the program's locale stays "C" (numbers in files must not change).
#include "media/translate.h"

#include <libintl.h>
#include <clocale>
#include <cstdlib>
#include <mutex>

#include "media/textutil.h"

// The C library's count of catalogue changes: a lookup remembers its answer until the
// count moves, so a new LANGUAGE needs it moved (the gettext manual's own advice).
extern "C" int _nl_msg_cat_cntr;

namespace kw {

namespace {

bool Active = false;              // a catalogue of some language is in use
std::string ActiveLanguage;       // its "Language" header
std::mutex MissingLock;           // lookups run on the main thread, tests may ask elsewhere
long MissingCount = 0;
std::string MissingText;

// The first locale variable that is set, as POSIX and GNU order them.
std::string LocaleLanguages() {
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
    if (const char* value = std::getenv(name); value && *value) return value;
  return "";
}

// "C", "POSIX" and "C.UTF-8" are no language: the game's own texts.
bool IsPlainLocale(const std::string& name) {
  return name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0;
}

// A messages locale other than "C", so gettext reads LANGUAGE: the user's own when it is
// installed, else the C library's UTF-8 one.
bool SetMessagesLocale() {
  for (const char* name : {"", "C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
    const char* set = std::setlocale(LC_MESSAGES, name);
    if (set && std::string(set) != "C" && std::string(set) != "POSIX") return true;
  }
  return false;
}

// The value of the "Language:" line of a catalogue header ("" when it has none).
std::string HeaderLanguage(const std::string& header) {
  const std::string key = "Language:";
  size_t at = header.find(key);
  if (at == std::string::npos) return "";
  at += key.size();
  while (at < header.size() && header[at] == ' ') ++at;
  size_t end = header.find('\n', at);
  return header.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

void NoteMissing(const std::string& text) {
  if (ActiveLanguage == SourceLanguage) return;
  std::lock_guard<std::mutex> lock(MissingLock);
  MissingCount += 1;
  MissingText = text;
}

}  // namespace

void StartTranslations(const std::string& localeFolder, const std::string& language) {
  StopTranslations();
  std::string wanted = language.empty() ? LocaleLanguages() : language;
  if (wanted.empty() || IsPlainLocale(wanted)) return;
  if (!localeFolder.empty()) bindtextdomain(TextDomain, localeFolder.c_str());
  bind_textdomain_codeset(TextDomain, "ISO-8859-1");
  setenv("LANGUAGE", wanted.c_str(), 1);
  if (!SetMessagesLocale()) return;
  ++_nl_msg_cat_cntr;
  static const char empty[] = "";
  const char* header = dgettext(TextDomain, empty);
  if (header == empty) return;  // no catalogue for any of the wanted languages
  ActiveLanguage = HeaderLanguage(header);
  Active = !ActiveLanguage.empty();
}

void StopTranslations() {
  Active = false;
  ActiveLanguage.clear();
  std::lock_guard<std::mutex> lock(MissingLock);
  MissingCount = 0;
  MissingText.clear();
}

const std::string& TranslationLanguage() { return ActiveLanguage; }

// The catalogue's ids are UTF-8 while the game's texts are Latin-1; the translation
// comes back in Latin-1 (bind_textdomain_codeset). The empty text would fetch the header.
std::string Translate(const std::string& text) {
  if (!Active || text.empty()) return text;
  const std::string id = Latin1ToUtf8(text);
  const char* found = dgettext(TextDomain, id.c_str());
  if (found == id.c_str()) {
    NoteMissing(text);
    return text;
  }
  return found;
}

long MissingTranslations() {
  std::lock_guard<std::mutex> lock(MissingLock);
  return MissingCount;
}

std::string LastMissingTranslation() {
  std::lock_guard<std::mutex> lock(MissingLock);
  return MissingText;
}

}  // namespace kw
