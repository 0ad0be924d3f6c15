// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The resource loader: LoadCatalogue fills the fixed sprite, sound and font numbers
// from the packs by the rows of the catalogue (content/catalogue.h); the shell's
// LoaderThread(0) runs it. CheckLoad turns any failed load into the fatal end of the
// program. Runs on the loader thread; the main thread only reads LoadProgress meanwhile.
#include <atomic>
#include <cmath>
#include <utility>

#include "content/catalogue.h"
#include "content/content.h"
#include "media/media.h"

namespace kw {

namespace {

std::function<void(int)> FatalExitHook;

// A failed load seen on the loader thread, waiting for the main thread to end the program.
std::atomic<bool> FailedLoadPending{false};
std::string FailedLoadLabel;

// The fatal end itself: the display goes, the two messages, shut down, exit.
[[noreturn]] void EndWithFailedLoad(const std::string& label) {
  CloseDisplay();
  ShowMessage(Translate("Fehler im Bereich"), label);
  ShowMessage(Translate("Spriteladefehler"), Translate("Sprite konnte nicht geladen werden."));
  ShutdownMedia();
  if (FatalExitHook) FatalExitHook(1);
  EndProgram(1);
}

// The pack's path as the game names it. A language whose words differ from the German
// ones in the pictures (titles, captions) has its own copy of those packs in paks\LANG.
std::string PackPath(const PackTable& t) {
  const std::string& language = TranslationLanguage();
  if (!language.empty()) {
    std::string own = "paks\\" + language + "\\" + t.file;
    if (!ResolveForReading(own).empty()) return own;
  }
  return std::string("paks\\") + t.file;
}

// Loads one picture row from the entry's data (0 = failed).
int LoadPictureRow(const PackRow& row, const uint8_t* data, size_t size) {
  if (!data) return 0;
  int flags = row.how == Load::Plain ? 0 : TextureFlag;
  int ok = LoadSpriteFromMemory(row.number, data, size, flags);
  if (ok && row.how == Load::ThreeD) MakeSprite3D(row.number, row.number);
  return ok;
}

int LoadSoundData(int sound, const uint8_t* data, size_t size) {
  if (!data) return 0;
  return LoadSoundFromMemory(sound, data, size, 0);
}

// The rows of one entry: [first, first + count) of the table (rows are in entry order).
struct EntryRows {
  int first = 0, count = 0;
};
EntryRows RowsOfEntry(const PackTable& t, int entry) {
  EntryRows r;
  while (r.first < t.rowCount && t.rows[r.first].entry < entry) ++r.first;
  while (r.first + r.count < t.rowCount && t.rows[r.first + r.count].entry == entry) ++r.count;
  return r;
}

// Reads entries first..last of the open picture pack into the numbers of their rows;
// a failed load ends the program naming prefix + the entry.
void LoadPictureEntries(const PackTable& t, int first, int last, const std::string& prefix) {
  for (int e = first; e <= last; ++e) {
    const uint8_t* data = NextPackEntry();
    size_t size = LastPackEntrySize();
    EntryRows r = RowsOfEntry(t, e);
    for (int i = r.first; i < r.first + r.count; ++i) {
      const PackRow& row = t.rows[i];
      if (row.how != Load::Skip) CheckLoad(LoadPictureRow(row, data, size), prefix + IntToText(e));
    }
  }
}

// Step 2: the title picture, shown as early as possible; nothing here is tested.
void ShowEarlyTitle() {
  if (!OpenPack(PackPath(ObjectsPak))) return;
  const uint8_t* data = NextPackEntry();
  if (data && LoadSpriteFromMemory(Spr::TitlePicture, data, LastPackEntrySize(), TextureFlag)) {
    MakeSprite3D(Spr::TitlePicture, Spr::TitlePicture);
    Begin3D();
    DrawSprite3D(Spr::TitlePicture, 0, 0, 255);
    End3D();
  }
  ClosePack();
}

// Step 3: every entry of objects.pak into its number (the early title's entry is skipped).
void LoadObjectsPak() {
  CheckLoad(OpenPack(PackPath(ObjectsPak)), "Objecte");
  // The loading bar moves after entries 5 and 35 and at the end.
  LoadPictureEntries(ObjectsPak, 0, 5, "Objecte pic:");
  LoadProgress = 1;
  LoadPictureEntries(ObjectsPak, 6, 35, "Objecte pic:");
  LoadProgress = 2;
  LoadPictureEntries(ObjectsPak, 36, EntryCount(ObjectsPak) - 1, "Objecte pic:");
  MakeSprite3D(Spr::Guardian, Spr::Guardian);
  LoadProgress = 3;
  ClosePack();
}

// Step 4: key colours, shot and enemy clips, the collision copy of the figure.
void PrepareObjects() {
  SetSpriteKeyColor(Spr::ExitDoor, Rgb(0, 250, 0));
  SetSpriteKeyColor(Spr::SliderSheet, Rgb(176, 32, 0));
  for (int s : {Spr::ShotDefault, Spr::ShotGoldAxe, Spr::ShotFireAxe}) SetSpriteClip(s, 44, 0, 44, 48);
  SetSpriteClip(Spr::EnemySheets, 0, 0, 38, 57);
  DuplicateSprite(Spr::FigureSheet, Spr::Figure);
}

// Loads every entry of a plain picture pack into the numbers of its rows.
void LoadPlainPack(const PackTable& t, const std::string& label) {
  CheckLoad(OpenPack(PackPath(t)), label);
  LoadPictureEntries(t, 0, EntryCount(t) - 1, label + "_pic:");
  ClosePack();
}

// The failure label of an Inventar.pak entry as the game has always numbered them: the
// entries before the digits by index, the digit copies 6..15 and 16..25, the last one 26.
int InventarLabel(int entry, int copy) {
  const int firstDigits = EntryOf(InventarPak, Spr::SmallDigits);
  if (entry < firstDigits) return entry;
  if (entry <= firstDigits + 1) return 6 + 10 * (entry - firstDigits) + copy;
  return 26;
}

// One digit picture loaded ten times, each copy clipped to one digit.
void LoadDigits(const DigitStrip& d, int entry, const uint8_t* data, size_t size) {
  for (int i = 0; i < 10; ++i) {
    int n = d.first + i;
    CheckLoad(data ? LoadSpriteFromMemory(n, data, size, 0) : 0,
              "Inventar_pic:" + IntToText(InventarLabel(entry, i)));
    SetSpriteClip(n, int(std::nearbyint(i * d.step)), 0, d.width, d.height);
  }
}

void LoadInventarPak() {
  CheckLoad(OpenPack(PackPath(InventarPak)), "Inventar");
  for (int e = 0; e < EntryCount(InventarPak); ++e) {
    const uint8_t* data = NextPackEntry();
    size_t size = LastPackEntrySize();
    EntryRows r = RowsOfEntry(InventarPak, e);
    for (int i = r.first; i < r.first + r.count; ++i) {
      const PackRow& row = InventarPak.rows[i];
      if (row.how == Load::Digits)
        LoadDigits(row.number == Spr::SmallDigits ? SmallDigitStrip : LargeDigitStrip, e, data, size);
      else
        CheckLoad(LoadPictureRow(row, data, size), "Inventar_pic:" + IntToText(InventarLabel(e, 0)));
    }
  }
  ClosePack();
  SetSpriteKeyColor(Spr::Pointer, Rgb(0, 255, 0));
}

// The effects, then the music; the fall and death sounds share one entry.
void LoadSoundsPak() {
  EnableOggDecoding();
  CheckLoad(OpenPack(PackPath(SoundsPak)), "sounds");
  int track = 0;
  for (int e = 0; e < EntryCount(SoundsPak); ++e) {
    const uint8_t* data = NextPackEntry();
    size_t size = LastPackEntrySize();
    EntryRows r = RowsOfEntry(SoundsPak, e);
    for (int i = r.first; i < r.first + r.count; ++i) {
      const PackRow& row = SoundsPak.rows[i];
      // The music entries are named as the thirteenth item's parts 1..6.
      std::string label = row.how == Load::Music ? "sounds_pic:13_" + IntToText(++track)
                                                 : "sounds_pic:" + IntToText(e);
      CheckLoad(LoadSoundData(row.number, data, size), label);
    }
    if (e == EntryOf(SoundsPak, Snd::Death)) LoadProgress = 7;
  }
  ClosePack();
  LoadProgress = 8;
  SetSoundVolume(Snd::Click, Volume);
  SetSoundVolume(Snd::BombFuse, Volume);
}

// Two-state buttons: upper half normal, lower half pressed.
void PrepareButtons() {
  DuplicateSprite(Spr::LargeButton, Spr::LargeButtonPressed);
  DuplicateSprite(Spr::SmallButton, Spr::SmallButtonPressed);
  SetSpriteClip(Spr::LargeButton, 0, 0, 98, 49);
  SetSpriteClip(Spr::LargeButtonPressed, 0, 49, 98, 49);
  SetSpriteClip(Spr::SmallButton, 0, 0, 70, 49);
  SetSpriteClip(Spr::SmallButtonPressed, 0, 49, 70, 49);
  LoadProgress = 9;
}

}  // namespace

void SetFatalExitHook(std::function<void(int)> hook) { FatalExitHook = std::move(hook); }

void CheckLoad(int result, const std::string& label) {
  if (result != 0) return;
  if (OnMainThread()) EndWithFailedLoad(label);
  // The window, the message boxes and the media shutdown belong to the main thread,
  // which may be drawing right now: hand the failure over and wait for the end.
  FailedLoadLabel = label;
  FailedLoadPending = true;
  ParkThread();
}

void FinishFailedLoad() {
  if (FailedLoadPending.exchange(false)) EndWithFailedLoad(FailedLoadLabel);
}

// A quit signal stops the load between packs: the loading bar then ends the program at
// once instead of after the whole catalogue.
void LoadCatalogue() {
  if (QuitRequested()) return;
  LoadFontFace(Font::Small, Font::Face, Font::SmallPoints, FontItalic | FontHighQuality);
  LoadFontFace(Font::Large, Font::Face, Font::LargePoints, FontItalic | FontHighQuality);
  ShowEarlyTitle();
  if (QuitRequested()) return;
  LoadObjectsPak();
  PrepareObjects();
  if (QuitRequested()) return;
  LoadPlainPack(MenuPak, "Menue");
  LoadProgress = 4;
  if (QuitRequested()) return;
  LoadPlainPack(InterfacePak, "Interface");
  LoadProgress = 5;
  LoadInventarPak();
  LoadProgress = 6;
  if (QuitRequested()) return;
  LoadSoundsPak();
  PrepareButtons();
}

}  // namespace kw
