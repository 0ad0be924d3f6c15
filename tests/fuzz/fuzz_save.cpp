// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Fuzz harness: the save loader. The first byte picks the file: a quick-save slot (the
// rest split by part markers into savegame.save, Format.dat, map.dat and back.dat),
// Savescore.save, or Story.save. Each is read the way the game reads it.
#include "fuzz_common.h"
#include "media/input_internal.h"
#include "menus/menus.h"
#include "save/save.h"

namespace {

// Writes the four slot files; a part that is missing from the input removes its file.
void PutSlot(const uint8_t* data, size_t size) {
  static const char* names[] = {"savegame.save", "Format.dat", "map.dat", "back.dat"};
  std::string parts[4];
  kwfuzz::SplitParts(data, size, parts, 4);
  const kwfuzz::fs::path slot = kwfuzz::TheFolders().user / "Saves" / "quick";
  for (int i = 0; i < 4; ++i) {
    std::error_code ec;
    if (parts[i] == "\x01") kwfuzz::fs::remove(slot / names[i], ec);
    else kwfuzz::Put(slot / names[i], parts[i]);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kwfuzz::StartOnce();
  if (size < 1) return 0;
  const kwfuzz::fs::path saves = kwfuzz::TheFolders().user / "Saves";
  switch (data[0] % 3) {
    case 0:
      PutSlot(data + 1, size - 1);
      kw::Map.Create(20, 10);
      kw::LightGrid.Create(20, 10);
      kw::InjectKey(kw::Key::Space, true);  // the key wait ends at once
      kw::LoadGame("");
      kw::InjectKey(kw::Key::Space, false);
      kw::ReadKeyboard();
      break;
    case 1:
      kwfuzz::Put(saves / "Savescore.save", data + 1, size - 1);
      kw::ReadHighscoreTable();
      kw::ReadBestScore();
      break;
    default:
      kwfuzz::Put(saves / "Story.save", data + 1, size - 1);
      kw::ReadStoryProgress();
      break;
  }
  return 0;
}
