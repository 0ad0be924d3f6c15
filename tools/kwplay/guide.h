// The guide of kwplay's search: how far each cell of the current map is from the exit,
// walking, climbing, breaking blocks and through the script's portals, and on the map
// whose guardian wants a key, how far by way of that key.
#pragma once

#include <vector>

namespace kwplay {

using DistanceGrid = std::vector<std::vector<double>>;  // [col][row], 1e9 = no way

struct Guide {
  DistanceGrid exit;   // to the exit
  DistanceGrid byKey;  // to the exit through a key cell; empty when no key is wanted
};

// Computes the guide from Map, Portals, ExitCol/ExitRow and CurrentMap.
Guide ComputeGuide();

// 1 while the figure still has to fetch the guardian's key (the guide then uses byKey).
int GuidePhase(const Guide& guide, bool hasKey, bool guardianDone);

// The distance of cell (col, row) in the given phase; 1e9 outside the map.
double GuideDistance(const Guide& guide, int phase, int col, int row);

}  // namespace kwplay
