// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The game-data generator: draws every picture and synthesises every sound of the game
// from code, and writes the packs of the game folder in catalogue order.
// main.cpp calls one Make...Pack procedure per pack; each returns the pack's entries
// (encoded PNG/WAV/Ogg files, not yet pack-encoded).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "content/catalogue.h"
#include "image.h"

namespace kwgen {

using FileBytes = std::vector<uint8_t>;
using PackFiles = std::vector<FileBytes>;

// Pictures written as loose files beside the packs ("paks/npf/...").
struct LooseFile {
  std::string name;
  FileBytes bytes;
};

// A pack being filled by catalogue rows (rowpack.cpp).
struct RowPack {
  const kw::PackTable* table = nullptr;
  PackFiles files;          // by entry
  std::vector<bool> filled;
};
RowPack StartPack(const kw::PackTable& table);
// Puts the file of the sprite or sound `number` into the entry of its row.
void Put(RowPack& p, int number, FileBytes bytes);
// Puts a file nobody loads into the next spare (skipped, unnumbered) entry.
void PutSpare(RowPack& p, FileBytes bytes);
// The finished pack; stops kwgen when an entry was left empty.
PackFiles FinishPack(RowPack& p);

// The pictures with words in them, by the number the game loads each into, drawn in the
// language whose translations are started (German when none are): the generator draws
// them again for each language the game has a catalogue for.
using TextPictures = std::vector<std::pair<int, FileBytes>>;
TextPictures ObjectsTextPictures();
TextPictures MenuTextPictures();
// A text drawn into a picture (UTF-8), translated into that language; a context tells two
// meanings of the same German word apart for the translator.
std::string PictureText(const std::string& utf8, const char* context = nullptr);

PackFiles MakeObjectsPack(std::vector<LooseFile>& loose);
PackFiles MakeMenuPack();
PackFiles MakeInterfacePack();
PackFiles MakeInventarPack();
PackFiles MakeSoundsPack();
PackFiles MakeTilesPack();
PackFiles MakeLightsPack();
PackFiles MakeBackgroundsPack();
PackFiles MakeCutscenesPack();

// Pictures shared between packs.
Image DrawFigureSheet(bool gauntlets, bool withSword);  // 255 x 290, sheets 324/437
Image DrawTouchMask(const Image& sheet);                // 438
Image DrawSwordOverlay();                               // 333
Image DrawSmallForm();                                  // 325
Image DrawClimbSheet();                                 // 375
Image DrawEnemySheet(int type);                         // 329 + spriteOffset
Image DrawGuardian(float spirit);                       // 338 (0) .. 339 (1)
// The far backgrounds are taller than the screen: the deepest shipped map scrolls the view
// about 300 pixels down, and the picture follows it.
constexpr int BackgroundHeight = 840;
Image DrawBackground(int set);                          // 640 x BackgroundHeight, sets 1..5
// The pixel firs of the backgrounds; the forest's tree crowns share their needles.
struct FirColours {
  uint32_t light, mid, dark;
  uint32_t snow = 0;
  bool snowy = false;
};
uint32_t FirNeedles(const FirColours& c, float u, float side, int x, int y);
void PixelFir(Image& img, float cx, float groundY, float h, const FirColours& c, uint32_t seed,
              float trunkTo = 0);
Image DrawForestScene(int width, int height, uint32_t seed, float dawn);
Image DrawHeroLarge(int height, bool facingLeft);       // cutscenes and title

// The game's colours for the menus (ink of labels, parchment).
constexpr uint32_t Parchment = Argb(222, 204, 160);
constexpr uint32_t Ink = Argb(60, 44, 28);

// Contact sheets of a generated game folder: every entry scaled with its label.
int WriteContactSheets(const std::string& gameDir, const std::string& sheetPath);

}  // namespace kwgen
