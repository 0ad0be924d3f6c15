// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The quick load: reads a slot written by SaveGame back into the map number, the player
// record and the cells, then shows the loading picture until a key is down. A slot of
// the running map is read into it (its enemies, shots, bombs and portals stay as they
// are). A slot of another map of this mode is never read into the running one: the map
// ends as a restart does, the shell starts the slot's map through the normal map load,
// and FinishPendingLoad then reads the slot's cells and record into it. Everything is
// read and checked before anything changes, so a missing, incomplete or damaged slot
// leaves the game as it was. Called by the shell when the player control asks for a
// quick load, and at each map start.
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

// Lines of the key-wait picture when a slot is refused (Latin-1).
const char* const OtherModeText = "Dieser Spielstand geh\xF6rt zu einer anderen Spielart.";
const char* const MissingMapText = "Die Karte dieses Spielstands fehlt.";

// What the small files of a slot hold.
struct SlotHeader {
  int16_t mapNumber = 0;
  RecordWords words{};
  SaveFormat format;
};

bool Present(const std::string& path) { return FileSizeOf(path) >= 0; }
bool SizeAtMost(const std::string& path, long limit) { return FileSizeOf(path) <= limit; }

// savegame.save and Format.dat; false unless all four files are there (a slot missing
// one would wipe the map or its sizes), no file is larger than any save writes and the
// sizes and mode are ones a game can have. Short files read zeros for what is missing.
bool ReadSlotHeader(const std::string& folder, SlotHeader& header) {
  std::string record = folder + "savegame.save", format = folder + "Format.dat";
  for (const char* name : {"savegame.save", "Format.dat", "map.dat", "back.dat"})
    if (!Present(folder + name)) return false;
  if (!SizeAtMost(record, MaxSmallFile) || !SizeAtMost(format, MaxSmallFile)) return false;
  if (!SizeAtMost(folder + "map.dat", MaxCellFile) || !SizeAtMost(folder + "back.dat", MaxBackFile))
    return false;
  if (!OpenFileForReading(1, record)) return false;
  header.mapNumber = ReadInt16(1);
  for (int16_t& w : header.words) w = ReadInt16(1);
  CloseFileNumber(1);
  if (!OpenFileForReading(1, format)) return false;
  SaveFormat& f = header.format;
  for (int32_t* v : {&f.w, &f.h, &f.darkness, &f.headerC, &f.headerA, &f.headerB})
    *v = ParseInt(ReadTextLine(1));
  std::string mode = ReadTextLine(1);
  f.mode = mode.empty() ? -1 : ParseInt(mode);
  CloseFileNumber(1);
  return MapSizeUsable(f.w, f.h) && f.mode >= -1 && f.mode <= SlotTimeMatch;
}

// The record as saved; Format.dat gives the sizes and the header values that
// savegame.save leaves out, and its darkness wins over the record's.
void RestoreRecord(const SlotHeader& header) {
  PlayerRecord& p = P();
  SetRecordFromWords(p, header.words);
  const SaveFormat& f = header.format;
  p.darkness = int16_t(f.darkness);
  p.headerA = int16_t(f.headerA);
  p.headerB = int16_t(f.headerB);
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

// The loading picture, with a line saying why when a slot was refused, until any key is
// down; a line at its foot says so. The window stays served meanwhile: a close request
// ends the program as it does during play.
void WaitForKey(const std::string& note) {
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
    if (!note.empty() && BeginText()) {
      DrawTextAt(40, 420, note);  // the text defaults: black on a white box
      EndText();
    }
    DrawKeyPrompt(Translate(PromptAnyKey));
    ReadKeyboard();
    if (KeyDown(Key::Any)) break;
  }
  CurrentScreen = before;
}

// The slot's map number, record and cells into the running map.
void ApplySlot(const std::string& folder, const SlotHeader& header) {
  const SaveFormat& f = header.format;
  CurrentMap = header.mapNumber;
  RestoreRecord(header);
  FitGridsTo(f.w, f.h);
  ReadCells(folder, f.w, f.h);
}

// A slot of another map of this mode: the running map ends as a restart does (the map
// end goes on to CurrentMap + 1), and that map's start finishes the load. A map this
// mode does not have would end the game instead, so such a slot is refused.
void LoadOtherMap(const std::string& folder, int map) {
  if (GameOver == 1) return;  // the game is ending anyway
  if (!Present(MapPathsOf(map).map)) {
    WaitForKey(MissingMapText);
    return;
  }
  PendingLoad = {folder, map};
  CurrentMap = map - 1;
  // A story map before the progress would be raised to it by the map load.
  if (StoryMode == 1) StoryProgress = map;
  P().mapDone = 1;
}

}  // namespace

PendingSlotLoad PendingLoad;

int CurrentSlotMode() {
  if (StoryMode == 1) return SlotStory;
  return TimeMatch == 1 ? SlotTimeMatch : SlotFreeGame;
}

int LoadGame(const std::string& slot) {
  PendingLoad = {};
  std::string folder = SlotFolder(slot);
  SlotHeader header;
  if (folder.empty() || !ReadSlotHeader(folder, header)) return 0;
  // A slot written before the mode was stored counts as one of this mode.
  if (header.format.mode != -1 && header.format.mode != CurrentSlotMode()) {
    WaitForKey(OtherModeText);
    return 0;
  }
  if (header.mapNumber != CurrentMap) {
    LoadOtherMap(folder, header.mapNumber);
    return 0;
  }
  ApplySlot(folder, header);
  WaitForKey("");
  return 0;
}

void FinishPendingLoad() {
  PendingSlotLoad pending = PendingLoad;
  PendingLoad = {};
  if (pending.folder.empty() || GameOver == 1 || CurrentMap != pending.map) return;
  SlotHeader header;
  if (!ReadSlotHeader(pending.folder, header) || header.mapNumber != pending.map) return;
  ApplySlot(pending.folder, header);
}

}  // namespace kw
