// Save games: the quick save and quick load of the running map. Called by the shell
// when the player control asks for them (the bound keys released). Builds on script.
#pragma once

#include <string>

#include "script/script.h"

namespace kw {

// Writes the running map's state to saves\<slot> ("" = "quick").
int SaveGame(const std::string& slot);
// Reads it back; waits for a key.
int LoadGame(const std::string& slot);

}  // namespace kw
