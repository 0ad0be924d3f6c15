// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Translations: every text the game shows passes through Translate. German is the game's
// own language and the message id, so a text the chosen catalogue lacks simply stays
// German. Catalogues are gettext's (UTF-8 .mo files under a locale folder); the game's
// texts are Latin-1 and are converted here, on the way in and out. The program entry
// starts the translations once, before anything is drawn; tests and the data generator
// may start them again with another language.
#pragma once

#include <string>

namespace kw {

constexpr const char* TextDomain = "klingenwald";  // the catalogues' file name
constexpr const char* SourceLanguage = "de";      // the texts as the code and data hold them

// Marks a text of a table for the catalogue (the extractor looks for this name); the
// table's user looks it up with Translate where it draws it.
constexpr const char* Translatable(const char* text) { return text; }

// The text in the chosen language, Latin-1 in and out; the text itself when no language
// is chosen or the catalogue has no translation for it.
std::string Translate(const std::string& text);

// Chooses the language: the code given (--lang; "de" forces German), else the user's
// locale, the first set of LANGUAGE, LC_ALL, LC_MESSAGES and LANG (a colon list in
// LANGUAGE is tried in order). "C" and "POSIX" mean German. Catalogues are looked for in
// localeFolder/LANG/LC_MESSAGES/klingenwald.mo ("" = the system's folder).
void StartTranslations(const std::string& localeFolder, const std::string& language);
// Back to German: Translate hands every text back as it is.
void StopTranslations();
// The language of the catalogue in use (its header's "Language"), "" when none is.
const std::string& TranslationLanguage();
// Lookups that found no translation while a catalogue of another language than German
// is in use, and the last such text: a text the catalogues still lack.
long MissingTranslations();
std::string LastMissingTranslation();

// The catalogues beside the program: ../share/locale (an install under a prefix, and the
// Debian package's /usr/games next to /usr/share/locale), else locale/ (the build tree);
// "" when neither holds the game's catalogues.
std::string FindLocaleFolder();
// The same with the program's folder given (tests).
std::string FindLocaleFolderFrom(const std::string& programFolder);

}  // namespace kw
