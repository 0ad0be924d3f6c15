// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The guide of kwplay's search: how far each cell of the current map is from the exit,
// walking, climbing, breaking blocks and through the script's portals, and on the map
// whose guardian wants a key or where a locked door bars the way, how far by way of a key.
#pragma once

#include <vector>

namespace kwplay {

using DistanceGrid = std::vector<std::vector<double>>;  // [col][row], 1e9 = no way

struct Guide {
  DistanceGrid exit;   // to the exit
  DistanceGrid byKey;  // to the exit through a key cell; empty when no key is wanted
  DistanceGrid shut;   // to the exit with the locked doors shut (doors only)
  bool guardian = false;  // the key is for the map-3 guardian
};

// Computes the guide from Map, Portals, ExitCol/ExitRow and CurrentMap.
Guide ComputeGuide();

// 1 while the figure at (col, row) still has to fetch a key (the guide then uses byKey):
// the guardian's until it was met, a door's while only a door leads on.
int GuidePhase(const Guide& guide, bool hasKey, bool guardianDone, int col, int row);

// The distance of cell (col, row) in the given phase; 1e9 outside the map.
double GuideDistance(const Guide& guide, int phase, int col, int row);

}  // namespace kwplay
