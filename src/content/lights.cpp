// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The darkness and light pictures: the 23 entries of Lights.pak, one catalogue row each,
// as 3D sprites 500..510 and 601..612 with pure green as key colour. Loaded once at
// start-up, before the loader thread; nothing here is fatal (a missing picture simply
// draws nothing).
#include <string>

#include "content/catalogue.h"
#include "content/content.h"
#include "media/media.h"

namespace kw {

void LoadLights() {
  if (OpenPack(std::string("paks\\") + LightsPak.file)) {
    for (int i = 0; i < LightsPak.rowCount; ++i) {
      int n = LightsPak.rows[i].number;
      const uint8_t* data = NextPackEntry();
      if (data) LoadSpriteFromMemory(n, data, LastPackEntrySize(), TextureFlag);
      MakeSprite3D(n, n);
      SetSpriteKeyColor(n, Rgb(0, 255, 0));
    }
    ClosePack();
  }
  SetSprite3DFiltering(1);
}

}  // namespace kw
