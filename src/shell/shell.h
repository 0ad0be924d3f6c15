// The game shell: program start, main loop, configuration.
#pragma once

namespace kw {

// The game from start-up to quit; returns only when the program is to end.
void GameMain();

}  // namespace kw
