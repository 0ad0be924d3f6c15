// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The script commands: one procedure per command and the name-to-procedure table the
// interpreter dispatches through. Every command but "choice" finishes at once; they
// are written so that running them in every frame does no harm. Commands set the
// state that play reads (player record, cells, portals, switches); the behaviour that
// follows from it belongs to play.
//
// Number arguments wrap as 32 bits and are then narrowed where the record is
// narrower (16-bit sprite, colour, tag and cell coordinates). Cell commands outside
// the grid do nothing.
#include <algorithm>

#include "media/media.h"
#include "script/script.h"

namespace kw {

namespace {

constexpr int32_t EmptySlotPrice = 99999999;
constexpr int GivenItemSlot = 12;          // "giveitem" always fills this slot

using Command = void (*)(const Statement&);

const std::string& Text(const Statement& s, int i) { return ScriptArg(s, i); }
int32_t Number(const Statement& s, int i) { return ScriptNumber(ScriptArg(s, i)); }
int16_t Number16(const Statement& s, int i) { return int16_t(uint16_t(uint32_t(Number(s, i)))); }

// The cell named by arguments i and i + 1 (16-bit column and row), null outside the grid.
MapCell* CellAt(const Statement& s, int i) {
  int col = Number16(s, i), row = Number16(s, i + 1);
  return Map.Inside(col, row) ? &Map.At(col, row) : nullptr;
}

void Choice(const Statement& s) {
  int number = WaitForChoice(Text(s, 1), Text(s, 2), Text(s, 3));
  SetVal(Text(s, 4), number);
}

void SpawnObject(const Statement&) {}  // names an object but spawns nothing

void GiveItem(const Statement& s) {
  InventorySlot& slot = Inventory[GivenItemSlot];
  slot.sprite = Number16(s, 1);
  slot.itemName = Text(s, 2);
  slot.price = int32_t(TimeMs());
}

void LoadCutsceneCommand(const Statement& s) { LoadCutscene(Text(s, 1)); }
void PlayCutsceneCommand(const Statement& s) { PlayCutscene(Text(s, 1)); }
void NextLevel(const Statement&) { P().mapDone = 1; }

// Slot 0 is never searched.
void DeleteItem(const Statement& s) {
  for (int i = 1; i <= GivenItemSlot; ++i) {
    if (Inventory[size_t(i)].itemName != Text(s, 1)) continue;
    Inventory[size_t(i)] = InventorySlot{Spr::EmptyItemSlot, "leer", EmptySlotPrice};
    return;
  }
}

// The same placement as a portal's target: column x, row y.
void TeleportTo(const Statement& s) {
  PlayerRecord& p = P();
  PlaceFigureAtCell(p, Number(s, 1), Number(s, 2));
  p.speedX = 0;
  p.speedY = 0;
}

// Shown once: the same text again does nothing until another outcry was shown.
void Outcry(const Statement& s) {
  const std::string& text = Text(s, 1);
  if (text.empty() || Number(s, 3) != 1 || text == LastOutcry) return;
  PlayerRecord& p = P();
  p.message = Translate(text);
  LastOutcry = text;
  p.textColor = Number16(s, 2);
  MessageTimer = 0;
  MessageTickerCount = 0;  // the counter the message ticker fades with
}

void DeleteTag(const Statement& s) {
  if (MapCell* c = CellAt(s, 1)) c->tagNo = 0;
}

void CreateTag(const Statement& s) {
  if (MapCell* c = CellAt(s, 1)) c->tagNo = Number16(s, 3);
}

void DeleteField(const Statement& s) {
  if (MapCell* c = CellAt(s, 1)) c->back = c->tile = c->over = c->pickup = 1;
}

void CreateField(const Statement& s) {
  MapCell* c = CellAt(s, 1);
  if (!c) return;
  c->pickup = Number(s, 3);
  c->back = Number(s, 4);
  c->tile = Number(s, 5);
  c->over = Number(s, 6);
}

void SetTileSet(const Statement& s) {
  TileSet = Text(s, 1);
  ReloadTiles = 1;
}

// The same weather rule as a map header's line 8: kind 1 snow, 2 rain, others keep it.
void ChangeWeather(const Statement& s) { SetWeather(Text(s, 1), Number(s, 2)); }

void CreatePortal(const Statement& s) {
  Portals.Last();
  Portal& portal = Portals.Add();
  portal.id = Number(s, 1);
  portal.row = Number(s, 2);
  portal.col = Number(s, 3);
  portal.text = Text(s, 4);
  portal.targetRow = Number(s, 5);
  portal.targetCol = Number(s, 6);
  portal.portalMessage = Text(s, 7);
  portal.active = 1;
}

// Only the first portal with the id goes.
void DeletePortal(const Statement& s) {
  int32_t id = Number(s, 1);
  Portals.Reset();
  while (Portals.Next()) {
    if (Portals.Current()->id != id) continue;
    Portals.Delete();
    return;
  }
}

void SetPortalsActive(int32_t id, int32_t active) {
  for (Portal& portal : Portals)
    if (portal.id == id) portal.active = active;
}

void DisablePortal(const Statement& s) { SetPortalsActive(Number(s, 1), 0); }
void ActivatePortal(const Statement& s) { SetPortalsActive(Number(s, 1), 1); }
void DisableEnemySpawn(const Statement&) { EnemySpawnOff = 1; }
void ActivateEnemySpawn(const Statement&) { EnemySpawnOff = 0; }

// Negative numbers take away; the score and the counter wrap as 16 bits.
void Give(const Statement& s) {
  PlayerRecord& p = P();
  p.health += float(Number(s, 1));
  p.giveCounter = int16_t(uint16_t(uint32_t(p.giveCounter) + uint32_t(Number(s, 2))));
  p.mana += float(Number(s, 3));
  p.score = int16_t(uint16_t(uint32_t(p.score) + uint32_t(Number(s, 4))));
}

void SetValCommand(const Statement& s) { SetVal(Text(s, 1), Number(s, 2)); }
void SetStrCommand(const Statement& s) { SetStr(Text(s, 1), Text(s, 2)); }

struct CommandRow {
  const char* name;
  int argCount;
  Command run;
};

// The command table: the name must be the whole of the statement's command text.
constexpr CommandRow Commands[] = {
    // name                  args  procedure
    {"choice",                4,   Choice},
    {"spawnobject",           3,   SpawnObject},
    {"giveitem",              2,   GiveItem},
    {"loadcutscene",          1,   LoadCutsceneCommand},
    {"playcutscene",          1,   PlayCutsceneCommand},
    {"unloadcutscene",        1,   PlayCutsceneCommand},  // plays it, as it always did
    {"nextlevel",             0,   NextLevel},
    {"deletitem",             1,   DeleteItem},
    {"teleportto",            2,   TeleportTo},
    {"outcry",                3,   Outcry},
    {"delettag",              2,   DeleteTag},
    {"createtag",             3,   CreateTag},
    {"deletfield",            2,   DeleteField},
    {"createfield",           6,   CreateField},
    {"settileset",            1,   SetTileSet},
    {"changewather",          2,   ChangeWeather},
    {"createportal",          7,   CreatePortal},
    {"deleteportal",          1,   DeletePortal},
    {"disablegegnerspawn",    0,   DisableEnemySpawn},
    {"aktivategegnerspawn",   0,   ActivateEnemySpawn},
    {"disableportal",         1,   DisablePortal},
    {"aktivateportal",        1,   ActivatePortal},
    {"give",                  4,   Give},
    {"setval",                2,   SetValCommand},
    {"setstr",                2,   SetStrCommand},
};
static_assert(sizeof Commands / sizeof Commands[0] == 25, "the script has 25 commands");

const CommandRow* FindCommand(const std::string& name) {
  for (const CommandRow& row : Commands)
    if (name == row.name) return &row;
  return nullptr;
}

}  // namespace

bool RunScriptCommand(const std::string& name, const Statement& s) {
  const CommandRow* row = FindCommand(name);
  if (!row) return false;
  row->run(s);
  return true;
}

bool IsScriptCommand(const std::string& name, int* argCount) {
  const CommandRow* row = FindCommand(name);
  if (row && argCount) *argCount = row->argCount;
  return row != nullptr;
}

}  // namespace kw
