// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// `kwtool map check`: whether a player can finish a map, for authors.
#pragma once

#include <string>
#include <vector>

#include "maptext.h"

namespace kwtool {

struct MapFinding {
  int col, row;
  std::string message;
};

// A map with what lies beside it: the tag grid's bytes and the script's text (either
// may be empty when the file is missing).
struct MapCheckInput {
  kwmap::MapFile map;
  std::string tagBytes;
  std::string script;
};

// Every problem found, in a stable order (start, exit, doors, cells, tags, script).
std::vector<MapFinding> CheckMap(const MapCheckInput& input);

}  // namespace kwtool
