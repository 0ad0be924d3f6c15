// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The quick save: the map number, the player record, the cells and the map sizes go to
// four working copies in Temp\, which are then put into the slot folder. A save either
// replaces the whole slot or leaves it as it was: the copies land beside the slot's
// files under temporary names first and are renamed over them only when all four are
// there, so a full disk or a missing folder never leaves a slot of mixed saves.
// Called by the shell when the player control asks for a quick save.
#include <cstdint>

#include "media/media.h"
#include "save/save.h"

namespace kw {

namespace {

// The slot's four files, in the order they are put into the slot; savegame.save comes
// last because a load starts from it.
constexpr std::array<const char*, 4> SlotFiles = {"map.dat", "back.dat", "Format.dat",
                                                  "savegame.save"};
constexpr const char* PendingSuffix = ".new";  // a file copied into the slot, not yet in place

// Temp\savegame.save: word 0 the map number, then the record's words.
bool WriteRecordFile(const PlayerRecord& p) {
  if (!CreateFileForWriting(1, "Temp\\savegame.save")) return false;
  WriteInt16(1, CurrentMap);
  for (int16_t w : WordsOfRecord(p)) WriteInt16(1, w);
  return CloseFileNumber(1) == 1;
}

// Temp\map.dat: tile and overlay of each cell, then the contact codes, then the
// shades, one byte each; every pass goes row by row.
bool WriteCellFile(int w, int h) {
  if (!CreateFileForWriting(2, "Temp\\map.dat")) return false;
  for (int row = 0; row <= h; ++row)
    for (int col = 0; col <= w; ++col) {
      WriteInt8(2, Map.At(col, row).tile);
      WriteInt8(2, Map.At(col, row).over);
    }
  for (int row = 0; row <= h; ++row)
    for (int col = 0; col <= w; ++col) WriteInt8(2, Map.At(col, row).pickup);
  for (int row = 0; row <= h; ++row)
    for (int col = 0; col <= w; ++col) WriteInt8(2, Map.At(col, row).shade);
  return CloseFileNumber(2) == 1;
}

// Temp\back.dat: the back layer of each cell as a word.
bool WriteBackFile(int w, int h) {
  if (!CreateFileForWriting(2, "Temp\\back.dat")) return false;
  for (int row = 0; row <= h; ++row)
    for (int col = 0; col <= w; ++col) WriteInt16(2, Map.At(col, row).back);
  return CloseFileNumber(2) == 1;
}

// Temp\Format.dat: sizes, darkness and the three header values, one number a line, and
// the game mode, so a load never reads the slot into a map of another mode.
bool WriteFormatFile(const PlayerRecord& p) {
  if (!CreateFileForWriting(1, "Temp\\Format.dat")) return false;
  for (int v : {int(p.mapWidth), int(p.mapHeight), int(p.darkness), int(p.headerC),
                int(p.headerA), int(p.headerB), CurrentSlotMode()})
    WriteTextLine(1, IntToText(v));
  return CloseFileNumber(1) == 1;
}

// The figure's place goes to two words; a place further out than a word reaches (on a
// map more than about 1090 cells wide or high) would come back somewhere else.
bool PositionFitsTheSlot(const PlayerRecord& p) {
  for (float v : {p.posX, p.posY}) {
    int32_t n = Nearest(v);
    if (n < INT16_MIN || n > INT16_MAX) return false;
  }
  return true;
}

// Removes what a failed copy into the slot left behind.
void RemovePendingFiles(const std::string& folder) {
  for (const char* name : SlotFiles) RemoveFile(folder + name + PendingSuffix);
}

// Puts back what the slot held before a rename into it failed: the files already
// renamed get their old bytes again (a file the slot did not have is removed).
void RestoreSlot(const std::string& folder, const std::array<std::string, 4>& old,
                 const std::array<bool, 4>& had, size_t renamed) {
  for (size_t i = 0; i < renamed; ++i) {
    std::string path = folder + SlotFiles[i];
    if (had[i]) WriteWholeFile(path, old[i]);
    else RemoveFile(path);
  }
}

// Copies the working files into the slot under temporary names, then renames them
// into place. Nothing of the slot changes unless all four copies succeed, and a rename
// that fails midway puts back the files renamed before it.
bool PutIntoSlot(const std::string& folder) {
  for (const char* name : SlotFiles) {
    if (!CopyFileTo(std::string("Temp\\") + name, folder + name + PendingSuffix)) {
      RemovePendingFiles(folder);
      return false;
    }
  }
  std::array<std::string, 4> old;
  std::array<bool, 4> had{};
  for (size_t i = 0; i < SlotFiles.size(); ++i) had[i] = ReadWholeFile(folder + SlotFiles[i], old[i]);
  for (size_t i = 0; i < SlotFiles.size(); ++i) {
    if (!MoveFileTo(folder + SlotFiles[i] + PendingSuffix, folder + SlotFiles[i])) {
      RestoreSlot(folder, old, had, i);
      RemovePendingFiles(folder);
      return false;
    }
  }
  return true;
}

}  // namespace

const char* const SaveRefusedText = "Hier kann nicht gespeichert werden.";

int SaveGame(const std::string& slot) {
  std::string folder = SlotFolder(slot);
  PlayerRecord& p = P();
  // A record whose sizes no map can have would write a slot no load accepts.
  if (folder.empty() || !MapSizeUsable(p.mapWidth, p.mapHeight)) return 0;
  // Rather no save than one that puts the figure elsewhere; the message line says so.
  if (!PositionFitsTheSlot(p)) {
    p.message = SaveRefusedText;
    return 0;
  }
  bool written = WriteRecordFile(p);
  written = WriteCellFile(p.mapWidth, p.mapHeight) && written;
  written = WriteBackFile(p.mapWidth, p.mapHeight) && written;
  written = WriteFormatFile(p) && written;
  return written && PutIntoSlot(folder) ? 1 : 0;
}

}  // namespace kw
