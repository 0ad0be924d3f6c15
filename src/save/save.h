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

// The lines of Format.dat: six values, and a seventh line with the game mode the slot
// was saved in (slots written before it have six lines).
struct SaveFormat {
  int32_t w = 0;         // highest column index
  int32_t h = 0;         // highest row index
  int32_t darkness = 0;
  int32_t headerC = 0;   // also word 66 of savegame.save
  int32_t headerA = 0;   // the two header values savegame.save leaves out
  int32_t headerB = 0;
  int32_t mode = -1;     // SlotMode of the game that saved it, -1 when not written
};

// The game mode as Format.dat's seventh line holds it.
enum SlotMode { SlotFreeGame = 0, SlotStory = 1, SlotTimeMatch = 2 };

// ---------------------------------------------------------------------------------
// One game
// ---------------------------------------------------------------------------------

// A quick load of a slot saved on another map of this mode: the running map has ended,
// and once the slot's map has started (map load, title picture, start block) the
// slot's cells and record are read in. Empty folder = none waiting.
struct PendingSlotLoad {
  std::string folder;
  int32_t map = 0;
};
extern PendingSlotLoad PendingLoad;

// ---------------------------------------------------------------------------------
// Procedures
// ---------------------------------------------------------------------------------

// Writes the running map's state to Saves\<slot>\ ("" = "quick"), through the working
// copies in Temp\. The slot is replaced whole or left as it was. Returns 1 when the
// slot now holds this state, 0 when it was left as it was.
int SaveGame(const std::string& slot);
// Reads Saves\<slot>\ ("" = "quick") back into CurrentMap, the player record and the
// cells, then shows the loading picture until a key is down. A missing slot, or one
// missing a file, changes nothing. A slot of another map of this mode ends the running
// map and waits in PendingLoad for the shell to start the slot's map; a slot of another
// mode, or of a map this mode does not have, is refused with a line on the key-wait
// picture. Returns 0.
int LoadGame(const std::string& slot);
// Called by the shell at the end of every map start: a load waiting for this map reads
// the slot's cells and record in now (the title picture was its key wait).
void FinishPendingLoad();
// The running game's mode as a slot stores it.
int CurrentSlotMode();
// The text the message line shows when a save is refused because the figure's position
// does not fit the slot's 16-bit words (a map wider or higher than about 1090 cells).
extern const char* const SaveRefusedText;

// The slot's folder as a game path ("Saves\quick\"), "" for a name that is not one
// plain folder name (a slash, a backslash, "." or "..").
std::string SlotFolder(const std::string& slot);
// The record's saved fields as words: floats rounded half to even, the message as the
// number its text starts with, every value cut to its low 16 bits.
RecordWords WordsOfRecord(const PlayerRecord& p);
// The reverse: floats get the whole number, the message its decimal text. Fields that
// are not saved keep their values.
void SetRecordFromWords(PlayerRecord& p, const RecordWords& words);

}  // namespace kw
