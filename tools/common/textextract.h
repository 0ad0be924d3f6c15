// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The texts of the shipped game data for the translation template: what the map scripts
// show (messages, the three answers of a question, portal messages), the cutscenes' lines
// and the enemies' names. kwtool's "text extract" writes them; the build merges them with
// the texts of the code into po/klingenwald.pot.
#pragma once

#include <string>
#include <vector>

namespace kwgen {

// One text as the game reads it (Latin-1), with every place it comes from ("FILE:LINE")
// and what it is, for the translator.
struct GameDataText {
  std::string text;
  std::vector<std::string> places;
  std::string note;
};

// Every text of DIR's scripts (any *_Script.ssc below DIR, in name order), DIR/cutscenes.ini
// and DIR/Gegner.ini, each text once, in the order first met. DIR holds the sources
// (gamedata/) or a game folder; places name the files as DIR/... . False with a message
// when a file cannot be read.
bool ExtractGameTexts(const std::string& dir, std::vector<GameDataText>& texts, std::string& error);

// The texts as a PO template (UTF-8).
std::string GameTextsTemplate(const std::vector<GameDataText>& texts);

}  // namespace kwgen
