// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwtool map render: a whole map as one PNG, drawn by the game's own tile loader and
// renderer, with markers for what play adds (start, enemies, sliders, spikes, tags).
#pragma once

#include "kwtool.h"

namespace kwtool {

// args: IN.map OUT.png --data GAMEDIR [--tileset N] [--background [N]]
int MapRender(const Args& args);

}  // namespace kwtool
