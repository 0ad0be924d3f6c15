// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Builds the maps and text files of the game folder from their sources under gamedata/.
// The game-data generator (kwgen) calls it.
#pragma once

#include <string>

namespace kwgen {

// Compiles gamedata/maps/{free,story,timematch}/mapN.kwm into GAME/maps/mapN.map,
// GAME/maps/Story/mapN.map and GAME/maps/TimeMatch/mapN.map, each with its tag grid
// mapN_Script_Map.dat and its script mapN_Script.ssc, and copies Gegner.ini, Setup.ini
// and cutscenes.ini. Sources are UTF-8 with any line ends; the game gets Latin-1 with
// CR LF. False with a message on the first failure.
bool BuildMapsAndTexts(const std::string& gamedataDir, const std::string& gameDir,
                       std::string& error);

// UTF-8 text to Latin-1 with every line ended by CR LF (characters outside Latin-1
// become '?'). Used for scripts and ini files.
std::string GameText(const std::string& utf8);

}  // namespace kwgen
