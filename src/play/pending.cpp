// Play procedures the frame loop calls whose parts are not built yet. Each moves to
// its own file (hud.cpp, controls.cpp, physics.cpp, enemies.cpp, ...) when it lands.
#include "play/play.h"

namespace kw {

int PlayerControls() { return 0; }          // the player control part is not built yet
int PlayerPhysics() { return 0; }           // the physics part is not built yet
int PlayerPhysicsWithBombs() { return 0; }  // the physics part is not built yet
int BombPhysics() { return 0; }             // the bombs part is not built yet

}  // namespace kw
