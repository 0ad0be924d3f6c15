// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Configuration: the start contents of every list and table, Setup.ini (volume and
// key bindings, by position), Gegner.ini (enemy types, 14 lines per entry) and the
// opening of the display. Called once by GameMain before anything is loaded.
#include <algorithm>
#include <cstdint>

#include "media/media.h"
#include "shell/shell.h"

namespace kw {

namespace {

// Items in list order: name, throws, recoil, icon, shot sprite.
struct ItemRow {
  const char* name;
  int32_t throws;
  float recoil;
  int32_t icon;
  int32_t sprite;
};
constexpr ItemRow ItemTable[] = {
    //  weaponName   throws recoil iconSprite        weaponSprite
    {"Default",   20,    0.0f,  Spr::AxeIcon,     Spr::ShotDefault},
    {"Goldaxt",   0,     1.5f,  Spr::GoldAxeIcon, Spr::ShotGoldAxe},
    {"Feueraxt",  0,     4.0f,  Spr::GoldAxeIcon, Spr::ShotFireAxe},
};
static_assert(sizeof(ItemTable) / sizeof(ItemTable[0]) == 3);

// Removes every "[" and "]" so "[7]" and "7" read the same.
std::string WithoutBrackets(const std::string& line) {
  std::string out;
  for (char c : line)
    if (c != '[' && c != ']') out += c;
  return out;
}

// Reads one 14-line Gegner.ini entry from file 0 into t (file order differs from
// the record order).
void ReadEnemyTypeEntry(EnemyType& t) {
  t.typeId = ParseInt(WithoutBrackets(ReadTextLine(0)));
  t.nextType = ParseInt(ReadTextLine(0));
  t.points = ParseInt(ReadTextLine(0));
  t.isBoss = uint8_t(ParseInt(ReadTextLine(0)));
  t.typeName = ReadTextLine(0);
  t.keptValue = ParseInt(ReadTextLine(0));
  t.moveKind = ParseInt(ReadTextLine(0));
  t.frameHeight = ParseInt(ReadTextLine(0));
  t.frameWidth = ParseInt(ReadTextLine(0));
  t.baseColumn = ParseInt(ReadTextLine(0));
  t.spriteOffset = ParseInt(ReadTextLine(0));
  t.hitPoints = ParseInt(ReadTextLine(0));
  t.speed = ParseInt(ReadTextLine(0));
  ReadTextLine(0);  // separator
}

// A damaged Gegner.ini cannot make the enemy rules overflow (see EnemySizeLimit).
void BoundEnemyType(EnemyType& t) {
  auto bound = [](int32_t& v, int32_t low, int32_t high) { v = std::clamp(v, low, high); };
  for (int32_t* v : {&t.frameHeight, &t.frameWidth, &t.baseColumn, &t.speed})
    bound(*v, -EnemySizeLimit, EnemySizeLimit);
  bound(t.spriteOffset, -EnemySheetLimit, EnemySheetLimit);
  bound(t.points, INT16_MIN, INT16_MAX);
  bound(t.hitPoints, INT16_MIN, INT16_MAX);
}

}  // namespace

// Every list and table with its start contents.
void CreateGameLists() {
  Bombs.Clear();
  Shots.Clear();
  Enemies.Clear();
  WeatherParticles.Clear();
  Portals.Clear();
  MovingTiles.Clear();
  MovingScratch.Clear();
  Items.Clear();
  for (const ItemRow& r : ItemTable) {
    Item& it = Items.Add();
    it.weaponName = r.name;
    it.throws = r.throws;
    it.recoil = r.recoil;
    it.iconSprite = r.icon;
    it.weaponSprite = r.sprite;
  }
  Items.Select(0);  // "Default" in hand
  Sliders.Clear();
  Sliders.Add();  // one element of zeros
  Player.Clear();
  Player.Add();
  KeyBindings.Clear();
  KeyBindings.Add();
  for (int i = 0; i < 14; ++i) {
    bool empty = i >= 1 && i <= 12;
    Inventory[i] = empty ? InventorySlot{Spr::EmptyItemSlot, "Leer", 99999999} : InventorySlot{};
  }
  Highscores.fill(HighscoreEntry{});
  Map.Create(0, 0);
  LightGrid.Create(0, 0);
  TileKind.fill(0);
}

// Gamepad.ini, then Setup.ini by position: "volumen" then the twenty key codes. A group
// header above the keys shifts every value by one place; the game has no protection
// against it.
void ReadSetupIni() {
  if (KeyBindings.Empty()) KeyBindings.Add();
  KeyBindings.Select(0);
  KeyBindingRecord& keys = *KeyBindings.Current();
  ReadGamepadIni();
  if (!OpenSettings("Setup.ini")) return;
  FirstSettingsKey();
  Volume = ParseInt(SettingsKeyValue());
  for (int i = 0; i < KeyBindingCount; ++i) {
    NextSettingsKey();  // at the last key it stays there, so its value is read again
    keys.code[i] = int16_t(ParseInt(SettingsKeyValue()));
  }
  CloseSettings();
  BindGamepadToKeys(keys);
}

// Gegner.ini, 14 lines per entry. The end test follows each entry, so an empty file
// still gives one all-zero type. A missing file is not created: the game folder is
// read-only, and an empty file would read the same.
void ReadEnemyTypes() {
  EnemyTypes.Clear();
  if (!OpenFileForReading(0, "Gegner.ini")) {
    EnemyTypes.Add();
    return;
  }
  do {
    EnemyType& t = EnemyTypes.Add();
    ReadEnemyTypeEntry(t);
    BoundEnemyType(t);
  } while (!AtEndOfFile(0));
  CloseFileNumber(0);
}

// Media services and the display in the mode the command line chose. The window is
// named after the game in both modes (the titles once written here were placeholders).
void OpenGameDisplay() {
  InitKeyboard();
  InitSound();
  InitSprite3D();
  SetSprite3DFiltering(1);
  InitMouse();
  if (WindowedMode == 1) {
    OpenWindowedDisplay(ScreenWidth, ScreenHeight, GameTitle);
    ClearEachFrame = 1;
  } else {
    OpenFullScreenDisplay(ScreenWidth, ScreenHeight, 32, GameTitle);
  }
  LimitFrameRate(60);
}

void LoadConfiguration() {
  CreateGameLists();
  ReadSetupIni();
  ReadEnemyTypes();
  OpenGameDisplay();
}

}  // namespace kw
