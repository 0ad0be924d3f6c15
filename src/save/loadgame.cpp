// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The quick load: reads a slot written by SaveGame back into the map number, the player
// record and the cells of the running map, then shows the loading picture until a key
// is down. The map and its script are not reloaded; enemies, shots, bombs and portals
// stay as they are. Everything is read and checked before anything changes, so a
// missing or damaged slot leaves the game as it was. Called by the shell when the
// player control asks for a quick load.
#include "media/media.h"
#include "save/save.h"

namespace kw {

namespace {

// Largest files a slot may hold: a slot beyond them is damaged and is not read, so a
// huge file cannot fill the memory. The cell files hold at most one grid of the largest
// map the game makes.
constexpr long MaxSmallFile = 1L << 16;
constexpr long MaxCellFile = 4 * MaxMapCells;
constexpr long MaxBackFile = 2 * MaxMapCells;

// What the small files of a slot hold.
struct SlotHeader {
  int16_t mapNumber = 0;
  RecordWords words{};
  bool formatRead = false;  // Format.dat was there
  SaveFormat format;        // sizes 0 when it was not
};

// True for a missing file too: a missing cell file reads as zeros, as a short one does.
bool SizeAtMost(const std::string& path, long limit) { return FileSizeOf(path) <= limit; }

// savegame.save and Format.dat; false when the slot has no savegame.save or a file is
// larger than any save writes. Short files read zeros for what is missing.
bool ReadSlotHeader(const std::string& folder, SlotHeader& header) {
  std::string record = folder + "savegame.save", format = folder + "Format.dat";
  if (!SizeAtMost(record, MaxSmallFile) || !SizeAtMost(format, MaxSmallFile)) return false;
  if (!OpenFileForReading(1, record)) return false;
  header.mapNumber = ReadInt16(1);
  for (int16_t& w : header.words) w = ReadInt16(1);
  CloseFileNumber(1);
  if (OpenFileForReading(1, format)) {
    header.formatRead = true;
    SaveFormat& f = header.format;
    for (int32_t* v : {&f.w, &f.h, &f.darkness, &f.headerC, &f.headerA, &f.headerB})
      *v = ParseInt(ReadTextLine(1));
    CloseFileNumber(1);
  }
  return true;
}

// The record as saved; Format.dat gives the sizes and the header values that
// savegame.save leaves out.
void RestoreRecord(const SlotHeader& header) {
  PlayerRecord& p = P();
  SetRecordFromWords(p, header.words);
  const SaveFormat& f = header.format;
  if (header.formatRead) {
    p.darkness = int16_t(f.darkness);
    p.headerA = int16_t(f.headerA);
    p.headerB = int16_t(f.headerB);
  }
  p.mapWidth = int16_t(f.w);
  p.mapHeight = int16_t(f.h);
}

// A slot of another size than the running map gets a grid of its own size, so every
// cell read lands inside the grid and the rules never look past it.
void FitGridsTo(int w, int h) {
  if (Map.W != w || Map.H != h) Map.Create(w, h);
  if (LightGrid.W != w || LightGrid.H != h) LightGrid.Create(w, h);
}

// map.dat and back.dat in the order SaveGame wrote them. The bytes are read unsigned:
// tiles and overlays 128..255 are pictures like any other.
void ReadCells(const std::string& folder, int w, int h) {
  OpenFileForReading(1, folder + "map.dat");
  for (int row = 0; row <= h; ++row)
    for (int col = 0; col <= w; ++col) {
      Map.At(col, row).tile = uint8_t(ReadInt8(1));
      Map.At(col, row).over = uint8_t(ReadInt8(1));
    }
  for (int row = 0; row <= h; ++row)
    for (int col = 0; col <= w; ++col) Map.At(col, row).pickup = uint8_t(ReadInt8(1));
  for (int row = 0; row <= h; ++row)
    for (int col = 0; col <= w; ++col) Map.At(col, row).shade = uint8_t(ReadInt8(1));
  CloseFileNumber(1);
  OpenFileForReading(1, folder + "back.dat");
  for (int row = 0; row <= h; ++row)
    for (int col = 0; col <= w; ++col) Map.At(col, row).back = ReadInt16(1);
  CloseFileNumber(1);
}

// The loading picture until any key is down; a line at its foot says so. The window stays served meanwhile: a
// close request ends the program as it does during play.
void WaitForKey() {
  Screen before = CurrentScreen;
  CurrentScreen = Screen::LoadWait;
  for (;;) {
    if (PollWindowEvent() == WindowEventClose) {
      CurrentScreen = Screen::Quit;
      EndProgram(0);
    }
    FlipScreen();
    ClearBackBuffer(0);
    DrawSprite(Spr::TitlePicture, 0, 0);  // whole, without a key colour
    DrawKeyPrompt(PromptAnyKey);
    ReadKeyboard();
    if (KeyDown(Key::Any)) break;
  }
  CurrentScreen = before;
}

}  // namespace

int LoadGame(const std::string& slot) {
  std::string folder = SlotFolder(slot);
  SlotHeader header;
  if (folder.empty() || !ReadSlotHeader(folder, header)) return 0;
  const SaveFormat& f = header.format;
  if (!SaveSizeUsable(f.w, f.h)) return 0;
  if (!SizeAtMost(folder + "map.dat", MaxCellFile) || !SizeAtMost(folder + "back.dat", MaxBackFile))
    return 0;
  CurrentMap = header.mapNumber;
  RestoreRecord(header);
  FitGridsTo(f.w, f.h);
  ReadCells(folder, f.w, f.h);
  WaitForKey();
  return 0;
}

}  // namespace kw
