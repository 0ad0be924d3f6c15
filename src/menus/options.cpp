// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The options screen: the volume track and the twenty key rows. A key is bound by
// holding the mouse button on its row and pressing the key; the binding takes effect at
// once, for the keyboard and the game controllers. "Bestetigen" writes Setup.ini and
// makes the volume current, "Abbruch" drops the volume change. Opened from the main menu
// and the pause menu.
#include <cmath>

#include "media/media.h"
#include "menus/menus.h"

namespace kw {

namespace {

constexpr int ConfirmX = 215, CancelX = 315, ButtonsY = 390;
constexpr int ChoiceConfirm = 1, ChoiceCancel = 2;
constexpr int LeftBoxX = 112, RightBoxX = 344, LeftNameX = 206, RightNameX = 439;
constexpr int TrackLeft = 95, TrackWidth = 450;
constexpr int PointerTip = 3;  // the pointer's tip: its top-left pixels

// One key row in binding order: row box y, name y, and which column.
struct KeyRow {
  bool right;
  int boxY;
  int nameY;
};
constexpr KeyRow KeyRows[KeyBindingCount] = {
    {false, 82, 87},  {false, 105, 109}, {false, 129, 134}, {false, 153, 158},  // abbruch..Laden
    {false, 177, 185}, {false, 201, 206}, {false, 225, 230}, {false, 249, 254}, // Neustart..Text_minus
    {false, 273, 279}, {true, 201, 206},  {true, 225, 230},  {true, 249, 254},  // Text_plus..links
    {true, 273, 279},  {true, 297, 302},  {false, 297, 302}, {true, 82, 87},    // rechts..Kugel
    {true, 105, 109},  {true, 129, 134},  {true, 153, 158},  {true, 177, 185},  // Zauber1..4
};

// Rows in the order they are hit-tested: left column top to bottom, then the right.
constexpr int RowHitOrder[KeyBindingCount] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 14,
                                              15, 16, 17, 18, 19, 9, 10, 11, 12, 13};

// The one binding record (made current, and added if the list is empty).
KeyBindingRecord& Bindings() {
  if (KeyBindings.Empty()) KeyBindings.Add();
  if (!KeyBindings.HasCurrent()) KeyBindings.Select(0);
  return *KeyBindings.Current();
}

int RowBoxX(const KeyRow& r) { return r.right ? RightBoxX : LeftBoxX; }

// The pointer's tip on the large button at (x, 390), pixel-exact. The tip alone: with
// the whole sword picture a click on the volume track just above "Bestetigen" (200,
// 370) reached the button with the pommel and left the screen.
bool PointerOnButton(int x) {
  SetSpriteClip(Spr::Pointer, 0, 0, PointerTip, PointerTip);
  bool hit = SpritesTouch(Spr::Pointer, MouseState.x, MouseState.y, Spr::LargeButton, x, ButtonsY) != 0;
  SetSpriteClip(Spr::Pointer, -1, -1, -1, -1);
  return hit;
}

// The volume from the pointer's x on the track: x 95 gives 0, x 545 gives 100.
void SetVolumeFromPointer() {
  if (!SpriteBoxesTouch(Spr::Pointer, MouseState.x, MouseState.y, Spr::VolumeArea, 72, 337)) return;
  int along = MouseState.x - TrackLeft;
  if (along < 0 || along > TrackWidth) return;
  OptionsVolume = int(std::nearbyint(along / 4.5));
  PlaySoundFx(Snd::Click, 0);
}

// A key held while the pointer is on a row binds it to that row's action.
void BindKeyUnderPointer() {
  ReadKeyboard();
  if (!KeyDown(-1)) return;
  int16_t key = PressedKey();
  for (int row : RowHitOrder) {
    const KeyRow& r = KeyRows[row];
    if (!SpriteBoxesTouch(Spr::Pointer, MouseState.x, MouseState.y, Spr::KeyRowBox, RowBoxX(r), r.boxY))
      continue;
    if (key == 0) return;
    KeyBindingRecord& keys = Bindings();
    keys.code[size_t(row)] = key;
    RefreshKeyNames();
    BindGamepadToKeys(keys);
    PlaySoundFx(Snd::Click, 0);
    return;
  }
}

// While the mouse button is down: the two buttons act on the press, then the volume
// track and the key rows.
void HandleOptionsInput() {
  if (MouseState.button == 0) return;
  if (PointerOnButton(ConfirmX)) {
    OptionsChoice = ChoiceConfirm;
    PlaySoundFx(Snd::Click, 0);
  } else if (PointerOnButton(CancelX)) {
    OptionsChoice = ChoiceCancel;
    PlaySoundFx(Snd::Click, 0);
  }
  SetVolumeFromPointer();
  BindKeyUnderPointer();
}

}  // namespace

// Background with the captions, buttons, knob, key names and the pointer.
void DrawOptionsScreen() {
  DrawSpriteKeyed(Spr::OptionsBackground, 0, 0);
  DrawSpriteKeyed(Spr::LargeButton, ConfirmX, ButtonsY);
  DrawSpriteKeyed(Spr::LargeButton, CancelX, ButtonsY);
  DrawSpriteKeyed(Spr::VolumeKnob, 84 + int(std::nearbyint(4.5 * OptionsVolume)), 360);
  if (BeginText()) {
    SetTextBackground(1);
    SelectFont(Font::Large);
    DrawTextAt(225, 400, Translate("Bestetigen"), Rgb(94, 90, 68));
    DrawTextAt(325, 400, Translate("Abbruch"), Rgb(94, 90, 68));
    SelectFont(Font::Small);
    for (int i = 0; i < KeyBindingCount; ++i) {
      const KeyRow& r = KeyRows[i];
      DrawTextAt(r.right ? RightNameX : LeftNameX, r.nameY, KeyNames[size_t(i)], Rgb(164, 90, 68));
    }
    EndText();
  }
  DrawMousePointer();
}

// Looked up in the key-name table.
std::string KeyName(int code) {
  for (const KeyNameRow& row : KeyNameTable)
    if (row.code == code) return row.name;
  return "";
}

// Called when the screen opens and after each new binding.
void RefreshKeyNames() {
  const KeyBindingRecord& keys = Bindings();
  for (int i = 0; i < KeyBindingCount; ++i) KeyNames[size_t(i)] = KeyName(keys.code[size_t(i)]);
}

// Reads the keyboard again; the smallest code wins when several keys are held.
int16_t PressedKey() {
  ReadKeyboard();
  if (!KeyDown(-1)) return 0;
  for (int code = 2; code <= 211; ++code)
    if (KeyDown(code)) return int16_t(code);
  return 0;
}

// Input while the button is down, then the picture; an inactive screen draws nothing.
void OptionsFrame() {
  bool focused = ScreenHasFocus() != 0;
  if (focused) {
    CurrentScreen = Screen::Options;
    ReadKeyboard();
    ReadMouse();
    HandleOptionsInput();
    DrawOptionsScreen();
    FlipScreen();
    ClearBackBuffer(0);
  }
  ServeMenuWindow(focused);
}

// The file is rewritten by key name, so it keeps the order of the file it was read
// from. Without any Setup.ini to start from, a fresh one is written in the order the
// start-up reads, instead of dropping the player's settings.
void WriteSetupIni(int volume) {
  const KeyBindingRecord& keys = Bindings();
  if (OpenSettings("Setup.ini")) {
    WriteSettingsKey("volumen", IntToText(volume));
    for (int i = 0; i < KeyBindingCount; ++i)
      WriteSettingsKey(KeyBindingNames[size_t(i)], IntToText(keys.code[size_t(i)]));
    CloseSettings();
    return;
  }
  std::string text = "volumen=" + IntToText(volume) + "\r\n";
  for (int i = 0; i < KeyBindingCount; ++i)
    text += std::string(KeyBindingNames[size_t(i)]) + "=" + IntToText(keys.code[size_t(i)]) + "\r\n";
  WriteWholeFile("Setup.ini", text);
}

// The screen starts from the current volume.
void OptionsEnter() {
  OptionsVolume = Volume;
  OptionsChoice = 0;
  RefreshKeyNames();
}

// Only "Bestetigen" keeps the volume; the bindings changed already.
void OptionsLeave() {
  if (OptionsChoice != ChoiceConfirm) return;
  WriteSetupIni(OptionsVolume);
  Volume = OptionsVolume;
}

// Frames until "Bestetigen" or "Abbruch" is pressed.
int OptionsScreen() {
  OptionsEnter();
  while (OptionsChoice == 0) OptionsFrame();
  OptionsLeave();
  return 0;
}

}  // namespace kw
