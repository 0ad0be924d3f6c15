// Save games: the quick save and quick load of the running map. Called by the player
// control when the bound keys are released.
#pragma once

#include <string>

namespace kw {

// Writes the running map's state to saves\<slot> ("" = "quick").
int SaveGame(const std::string& slot);
// Reads it back; waits for a key.
int LoadGame(const std::string& slot);

}  // namespace kw
