// Play: player, HUD, world drawing, enemies, shots, bombs and sliders, physics, player
// control and map rules. The frame loop (src/shell/mainloop.cpp) calls these in order.
#pragma once

namespace kw {

// The world pass: layers, figure, enemies, contacts with the map, spells.
int DrawWorld();
// Chooses the figure's frame in the sheets (323, the touch mask 438, the sword 333).
int SelectPlayerFrame();
// The status panel, boss line, message line and small map.
int DrawHud();
// Keyboard control of the figure, pause, saves, spells; the health rules.
int PlayerControls();
// Gravity, movement and tile collision of the figure.
int PlayerPhysics();
// The same while bombs lie on the map (the figure may stand on them).
int PlayerPhysicsWithBombs();
// One bomb's fall (the current element of Bombs).
int BombPhysics();
// Movement and animation of every enemy.
int MoveEnemies();
// Exit, portals, respawn, timers and the other rules of the map.
int MapRules();
// Fuses and explosions of the bombs.
int UpdateBombs();
// Shots and enemies against each other, the figure and the map.
int UpdateCombat();

}  // namespace kw
