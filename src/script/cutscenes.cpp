// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Picture cutscenes: a full-screen picture strip with text lines over it and a looping
// sound, shown between stretches of play until Return. Scripts load them by name from
// cutscenes.ini (one group per cutscene) and cutscenes.pak (a picture and a sound per
// entry pair) and start them; the frame loop calls CutsceneStep instead of a game
// frame while one plays.
//
// Each loaded cutscene holds a picture and a sound under free numbers. They are freed
// when the cutscene ends, so scripts that load and play again and again do not grow
// memory; a cutscene played again after that loads its pack entries anew.
#include <cstdint>

#include "media/media.h"
#include "script/script.h"

namespace kw {

namespace {

constexpr size_t StatedSoundSize = 60000;
const std::array<int, 5> MusicSounds = {377, 378, 380, 381, 382};  // 379 keeps playing
constexpr int CutsceneShadow = 0x100808;  // Rgb(8, 8, 16)

// Walks the groups of the open settings file to the one named name; without one the
// walk stays on the file's last group.
void FindGroup(const std::string& name) {
  while (NextSettingsGroup())
    if (SettingsGroupName() == name) return;
}

// The picture of entry pair k and, when wanted, its sound, into free numbers. A pack
// that is missing or too short leaves them empty.
void LoadCutsceneMedia(Cutscene& c) {
  c.picture = 0;
  c.sound = -1;
  c.released = 0;
  if (!OpenPack("paks\\cutscenes.pak")) return;
  bool more = true;
  // Stops at the pack's end, so a huge entry number cannot keep the loop going.
  for (int64_t skip = 2 * int64_t(c.pictureEntry); skip > 0 && more; --skip)
    more = NextPackEntry() != nullptr;
  const uint8_t* data = more ? NextPackEntry() : nullptr;
  if (data) c.picture = LoadNewSpriteFromMemory(data, LastPackEntrySize(), 0);
  if (c.soundWanted != -1) {
    data = data ? NextPackEntry() : nullptr;
    int sound = data ? LoadNewSoundFromMemory(data, LastPackEntrySize(), StatedSoundSize) : 0;
    c.sound = sound > 0 ? sound : -1;
  }
  ClosePack();
}

// The last loaded cutscene of that name, null when none.
Cutscene* LastNamed(const std::string& name) {
  Cutscene* found = nullptr;
  for (Cutscene& c : Cutscenes)
    if (c.name == name) found = &c;
  return found;
}

// Draws the text lines split at "\" from y = 10 on, 20 pixels apart, in the menus'
// face. A dark shadow a pixel below and right keeps them readable wherever the
// picture behind them is light.
void DrawCutsceneText(const Cutscene& c) {
  if (!BeginText()) return;
  SelectFont(Font::Small);
  SetTextBackground(1);
  const std::string text = Translate(c.text);
  size_t from = 0;
  for (int y = 10; y < ScreenHeight; y += 20) {
    size_t bar = text.find('\\', from);
    std::string line = text.substr(from, bar == std::string::npos ? bar : bar - from);
    DrawTextAt(11, y + 1, line, CutsceneShadow);
    DrawTextAt(10, y, line, c.color);
    if (bar == std::string::npos) break;
    from = bar + 1;
  }
  EndText();
}

}  // namespace

int LoadCutscene(const std::string& name) {
  if (!OpenSettings("cutscenes.ini")) return 0;
  FindGroup(name);
  Cutscenes.Last();
  Cutscene& c = Cutscenes.Add();
  c.name = name;
  c.pictureEntry = ReadSettingsNumber("Picture", 0);
  c.frames = ReadSettingsNumber("Frames", 0);
  c.soundWanted = ReadSettingsNumber("Sound", -1);
  c.text = ReadSettingsText("Text", "");
  c.color = ReadSettingsNumber("Color", 0);
  LoadCutsceneMedia(c);
  CloseSettings();
  return 0;
}

// Every loaded entry of the name starts (so a name loaded twice starts its sound
// twice); the last one is shown. When the name was not loaded again since its last play
// freed it, the entries of that play load their media again and start, so a cutscene
// plays again exactly as it played the first time; entries freed before that stay freed,
// so a script that loads and plays a name again and again starts one sound, not more
// each time.
int PlayCutscene(const std::string& name) {
  Cutscene* last = LastNamed(name);
  if (!last) return 0;
  bool replay = last->released != 0, marked = false;
  for (const Cutscene& c : Cutscenes) marked = marked || (c.name == name && c.inLastPlay != 0);
  Cutscene* shown = last;
  for (Cutscene& c : Cutscenes) {
    if (c.name != name) continue;
    bool starts = !replay ? c.released == 0 : marked ? c.inLastPlay != 0 : &c == last;
    c.inLastPlay = starts ? 1 : 0;
    if (!starts) continue;
    if (c.released) LoadCutsceneMedia(c);
    CutscenePlaying = 1;
    for (int music : MusicSounds) StopSoundFx(music);
    if (c.sound != -1) PlaySoundFx(c.sound, 1);
    shown = &c;
  }
  CurrentCutscene = shown;
  return 0;
}

// Without a picture (no pack) only the text lines are drawn, over black.
void DrawCutsceneFrame(const Cutscene& c) {
  if (c.picture > 0) {
    int64_t top = int64_t(ScreenHeight) * CutsceneFrame;
    SetSpriteClip(c.picture, 0, top > INT32_MAX ? INT32_MAX : int(top), ScreenWidth, ScreenHeight);
    DrawSprite(c.picture, 0, 0);
  }
  DrawCutsceneText(c);
  DrawKeyPrompt(Translate(PromptReturn));
}

void ReleaseCutscene(const std::string& name) {
  for (Cutscene& c : Cutscenes) {
    if (c.name != name || c.released) continue;
    if (c.picture > 0) FreeSprite(c.picture);
    if (c.sound > 0) FreeSound(c.sound);
    c.picture = 0;
    c.sound = -1;
    c.released = 1;
  }
}

// One pass while a cutscene plays. Return ends it, but the pass still draws its frame.
int CutsceneStep() {
  Cutscene* c = CurrentCutscene;
  if (!c) {
    CutscenePlaying = 0;
    return 0;
  }
  ReadKeyboard();
  bool ended = KeyDown(Key::Return) != 0;
  if (ended) {
    CutscenePlaying = 0;
    StopSoundFx(c->sound);  // -1 stops every sound
  }
  int64_t next = int64_t(CutsceneFrame) + 1;
  CutsceneFrame = next > c->frames ? 0 : int32_t(next);
  DrawCutsceneFrame(*c);
  FlipScreen();
  ClearBackBuffer(0);
  if (ended) ReleaseCutscene(c->name);
  return 0;
}

}  // namespace kw
