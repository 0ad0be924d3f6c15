// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Save games: the quick save and quick load of the running map. Called by the shell
// when the player control asks for them (the bound keys released). A slot is the
// folder Saves\<slot>\ of the user folder with four files: savegame.save (map number
// and player record), map.dat and back.dat (the cells), Format.dat (map sizes and
// header values as text). Builds on script.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "script/script.h"

namespace kw {

// ---------------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------------

// Words 1..84 of savegame.save: the player record from the float after its two map
// header values to its last field, one 16-bit word per field, in record order.
constexpr int SavedRecordWords = 84;
using RecordWords = std::array<int16_t, SavedRecordWords>;

// The six lines of Format.dat.
struct SaveFormat {
  int32_t w = 0;         // highest column index
  int32_t h = 0;         // highest row index
  int32_t darkness = 0;
  int32_t headerC = 0;   // also word 66 of savegame.save
  int32_t headerA = 0;   // the two header values savegame.save leaves out
  int32_t headerB = 0;
};

// ---------------------------------------------------------------------------------
// Procedures
// ---------------------------------------------------------------------------------

// Writes the running map's state to Saves\<slot>\ ("" = "quick"), through the working
// copies in Temp\. The slot is replaced whole or left as it was. Returns 1 when the
// slot now holds this state, 0 when it was left as it was.
int SaveGame(const std::string& slot);
// Reads Saves\<slot>\ ("" = "quick") back into CurrentMap, the player record and the
// cells, then shows the loading picture until a key is down. A missing slot changes
// nothing. Returns 0.
int LoadGame(const std::string& slot);

// The slot's folder as a game path ("Saves\quick\"), "" for a name that is not one
// plain folder name (a slash, a backslash, "." or "..").
std::string SlotFolder(const std::string& slot);
// True when w and h can be the highest column and row of a map grid.
bool SaveSizeUsable(int w, int h);
// The record's saved fields as words: floats rounded half to even, the message as the
// number its text starts with, every value cut to its low 16 bits.
RecordWords WordsOfRecord(const PlayerRecord& p);
// The reverse: floats get the whole number, the message its decimal text. Fields that
// are not saved keep their values.
void SetRecordFromWords(PlayerRecord& p, const RecordWords& words);

}  // namespace kw
