// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Play: the player record and its rules, the HUD, world drawing, enemies, shots, bombs
// and sliders, physics, player control and map rules, and the play ticker (world step,
// moving cells, visible window, message ticker, pause picture). The frame loop
// (src/shell/mainloop.cpp) calls the per-frame procedures in order; the map loader calls
// SetUpMapPlay. Builds on content. This header reads as a table of contents: the
// records, the state by lifetime (whole run, one game, one map), then the procedures in
// the order of a map's start and of one frame.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "content/content.h"
#include "media/list.h"
#include "media/translate.h"
#include "play/measures.h"

namespace kw {

// ---------------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------------

// The player record: figure, camera and a few values of the current map. The field
// order is the record order that save games write (85 words, see src/save); the
// `spare` values are carried along and read by no rule.
struct PlayerRecord {
  int32_t timeValue = 0;      // time left in a time match
  int16_t textColor = 0;      // colour of the top text line, 0 = default
  int16_t climbTick = 0;      // climbing animation tick
  int16_t climbFrame = 0;     // climbing sheet frame 0/1
  int16_t frameX = 0;         // x of the walking frame pair: 0, 85 or 170
  int16_t throwPose = 0;      // 1 while the throwing pose shows
  int16_t backScrollX = 0;    // far-background scroll
  int16_t climbing = 0;       // 1 while hanging on a ladder
  float topSpeed = 0;         // top walking speed
  float accel = 0;            // walking acceleration
  float jumpSpeed = 0;        // jump impulse (negative = up)
  float speedX = 0;           // horizontal speed
  int16_t moveFlag = 0;       // 1 while standing on something
  float speedY = 0;           // vertical speed, positive = down
  int16_t headerA = 0;        // map header value (80 after a load), save file Format.dat line 5
  int16_t headerB = 0;        // map header value (180 after a load), Format.dat line 6
  float spareF1 = 0;          // spare float, saved rounded
  float spareF2 = 0;          // spare float, saved rounded
  int16_t spare6 = 0;
  int16_t spare8 = 0;
  int16_t swordSwing = 0;     // 1 while a sword strike is active
  int16_t spare12 = 0;
  int16_t smallForm = 0;      // 1 in the small 30 x 30 form
  int16_t darkness = 0;       // alpha of the darkness overlay, 0 = lit map
  int16_t guardianDone = 0;   // 1 once the map-3 guardian was met in this map
  int16_t spellDir = 0;       // -1 left, 1 right, 2 down, 8 up
  int16_t spell1Known = 0;
  int16_t spell2Known = 0;
  int16_t spell3Known = 0;
  int16_t spell4Known = 0;
  float mana = 0;             // 0..100
  std::array<int16_t, 7> spare32{};  // seven spare int16
  int16_t giveCounter = 0;    // raised by the script's "give"; nothing reads it
  std::string message;        // top message line
  std::string message2;       // further message lines kept by the script
  std::string message3;
  std::array<int16_t, 6> spare50{};  // six spare int16
  int16_t mapDone = 0;        // 1 = leave the map
  int16_t hasSword = 0;
  int16_t pixelY = 0;         // vertical scroll of the world
  std::array<int16_t, 9> spare68{};  // nine spare int16: 0, 340, 340, 340, 30000, ...
  int16_t score = 0;
  float posX = 0;             // horizontal scroll (negative as the player moves right)
  float posY = 0;             // figure top is at world y posY + 230
  std::array<int16_t, 2> spare92{};  // -14, 0
  float health = 0;
  std::array<int16_t, 3> spare98{};  // 1, 0, 3
  int16_t contactFlag = 0;    // sword touched a wall
  int16_t frameCounter = 0;   // set to 0 by the world pass on every pass
  std::array<int16_t, 9> spare108{};
  int16_t swordRow = 0;       // row of the sword overlay sheet
  std::array<int16_t, 2> spare128{};
  int16_t headerC = 0;        // map header value (0 after a load), Format.dat line 4
  int16_t tileWidth = 0;      // 30 after a load
  int16_t tileHeight = 0;     // 30 after a load
  int16_t mapWidth = 0;       // highest column index of the map
  int16_t mapHeight = 0;      // highest row index
  std::array<int16_t, 3> spare142{};  // three flags 1, 1, 1
  int16_t animFrame = 0;      // walking animation row
  int16_t animTick = 0;
  std::array<int16_t, 2> spare152{};
  int16_t hasKey = 0;         // 1 while a key is held
  int16_t keyTime = 0;        // seconds before the held key runs out
  std::array<int16_t, 2> spare160{};
  int16_t facing = 0;         // 4 left, 6 right, 2 down, 8 up
  int16_t spare166 = 0;
  int16_t spareLast = 0;      // 4
};

// A living enemy.
struct Enemy {
  EnemyType* type = nullptr;  // current type (an element of EnemyTypes)
  float y = 0;                // world y of the frame's top
  float x = 0;                // world x of the frame's left edge
  float speedX = 0;
  float speedY = 0;
  int16_t health = 0;         // below 0 = dead
  float frame = 0;            // animation phase
  int32_t dir = 0;            // 0 left, 1 right
};

// A flying shot.
struct Shot {
  float y = 0;
  float x = 0;
  int16_t dir = 0;     // -1 left, 1 right, 2 up, 3 down
  int16_t damage = 0;
  int16_t spin = 0;    // frame of the spinning picture
  int32_t sprite = 0;  // shot picture
};

// A laid bomb.
struct Bomb {
  int32_t x = 0;
  int32_t y = 0;
  int32_t vx = 0;      // kick speed, positive moves the bomb left
  int32_t vy = 0;      // fall speed, positive is down
  float fuse = 0;      // 0..24
  int32_t tick = 0;    // 0..2, also the picture column
};

// A sliding hazard.
struct Slider {
  int16_t col = 0;
  int16_t row = 0;
  int16_t side = 0;     // 0 gliding right, 1 left
  int32_t offX = 0;
  int32_t hit = 0;      // 1 for 2000 ms after a collision
  int32_t hitTime = 0;
};

// A portal created by the map script.
struct Portal {
  int32_t row = 0;
  int32_t col = 0;
  std::string text;
  int32_t targetRow = 0;
  int32_t targetCol = 0;
  std::string portalMessage;
  int32_t id = 0;
  int32_t active = 0;
  float phase = 0;
  int32_t period = 0;
};

// A throwing weapon.
struct Item {
  int32_t throws = 0;
  float recoil = 0;
  int32_t iconSprite = 0;
  std::string weaponName;
  int32_t weaponSprite = 0;
};

struct WeatherParticle {
  int32_t x = 0;
  int32_t y = 0;
};

// What the player control asked for that the shell carries out after it, in the same
// pass: play does not reach up into the menus or the save games itself.
enum class GameAction { None, PauseMenu, QuickSave, QuickLoad };

// ---------------------------------------------------------------------------------
// Whole run
// ---------------------------------------------------------------------------------
extern List<PlayerRecord> Player;          // exactly one record
extern List<Item> Items;                   // throwing weapons; current = in hand
extern List<WeatherParticle> WeatherParticles;  // only grows
extern int32_t PlayerScreenX;     // screen x of the figure
extern int16_t LastSide;          // last horizontal facing 4/6
extern int16_t HudVisible;        // HUD panel shown
extern int16_t MapRequest;        // draw the small map this frame
extern int16_t DisplayToggleA;    // two further display toggles of the player control
extern int16_t DisplayToggleB;
extern int32_t AuraStep;          // aura pulse step
extern int32_t FloatStep;         // decoration bobbing step
extern int32_t BombAnimStep;      // bomb animation step
extern int32_t DecorationFrame;   // frame sprite of the animated decoration 401..404
extern int32_t TextShift;         // shift of the top text lines
extern int16_t MessageTimer;      // fading of the message line
extern int32_t CheatFastRun;      // typed cheats
extern int16_t CheatInvincible;
extern int32_t CheatAutoFire;
extern int32_t ScoreBonusGiven;   // once-per-run best-score bonus given
extern std::string BestScore;     // first line of Saves\Savescore.save
extern int16_t SpikeShift;        // offset of the moving spikes, -45..-9
extern int16_t SpikePhase;        // 0 = SpikeShift grows, 1 = it shrinks
extern int32_t FloatY;            // bobbing offset of the map-3 decoration
extern int32_t AuraPulse;         // -50..50, drives the aura pictures' alphas
extern int32_t AuraTurns;         // reversals of AuraPulse; the aura ends after two
extern int32_t GuardianState;     // map-3 guardian: 0 waiting, 1 changing picture, 2 done
extern float GuardianFrame;       // picture counter of the guardian's change
// These carry on from map to map (only the program start sets them): the clock of the
// moving cells, the far background's scroll and switches, the script's spawn switch,
// and what the player control remembers of the last frames.
extern int32_t MovingTileTime;    // time of the last moving-tile step
extern int32_t BackgroundX;       // position of the far background
extern int32_t BackgroundSide;    // -1 or 1: side of the second background copy
extern int32_t StaticBackground;  // non-zero: the background is one fixed picture
extern int32_t HideBackground;    // 1 = the world pass leaves out the far background
extern int32_t EnemySpawnOff;     // script switch
extern int32_t ControlMoved;      // the control started a jump or a push this tick
extern int32_t ThrowRepeat;       // frames the fire axe key has been held
extern int32_t SwingStart;        // TimeMs() of the last sword swing

// ---------------------------------------------------------------------------------
// One game
// ---------------------------------------------------------------------------------
extern int32_t TimeBonus;         // time added per map in a time match
extern int32_t MaxHealth;         // health cap by difficulty
extern int16_t Paused;            // the pause screen replaces play
extern int16_t PauseWindowDown;   // this pause has minimised the window
extern uint8_t AltSheet;          // alternative figure sheet
extern GameAction PendingAction;  // set by PlayerControls, run by the shell
extern int32_t PauseBackground;   // sprite of the screen grabbed when the pause menu opened
extern int32_t RespawnRequest;    // 1 = put the player back to the start in this step

// ---------------------------------------------------------------------------------
// One map
// ---------------------------------------------------------------------------------
// Start values in ResetPlayMap, which the map start runs first.
extern int32_t WorldStepTime;     // time of the last world step
extern int32_t MovingTileInterval;  // minimum gap between moving-tile steps
extern int32_t HurtTime;          // world steps of the hurt pose
extern int32_t MapJustStarted;    // consumed by MapRules
extern int32_t VisFromX, VisToX, VisFromY, VisToY;  // visible window of cells
extern int16_t Spell;             // spell in flight
extern int16_t SpellDX, SpellDY, SpellTime;
extern int32_t Aura;              // aura around the figure
extern int16_t HitGuard;          // health and mana frozen
extern float GuardHealth;         // health kept while HitGuard is 1
extern int32_t GuardMana;         // mana kept while HitGuard is 1
extern int32_t GroundKind;        // ground under the figure 5/8/10 (set by the world pass,
                                  // read by the physics)
extern int32_t TouchSprite;       // the figure's collision picture: 438, or 323 when small
extern float OnSlope;             // 1 after a slope cell was touched
extern uint8_t SlopeFrames;       // ticks since the last slope touch
extern int32_t MessageTickerCount;  // passes since the message lost a character
extern std::string NoticeText;    // a short notice over play ("Gespeichert")
extern int32_t NoticeFrames;      // frames it is still shown
extern List<Shot> Shots;
extern List<Bomb> Bombs;
extern List<Portal> Portals;
extern int32_t KeyTick;           // TimeMs() of the last second of a held key
extern int32_t KeyExpired;        // 1 only in the step in which a held key ran out
extern int32_t LastHealth;        // health at the end of the previous step, rounded
extern int32_t ArenaShift;        // 0..-640: shift of the map-3 guardian's arena
extern int16_t TimeOver;          // 1 once a time match ran out
// Made by the map start itself: SetUpMapPlay builds the enemies, sliders and boss line
// from the map read (a map that cannot be read ends the game and leaves the last map's),
// MapStart sets MapStartTime once the title picture has gone.
extern List<Enemy> Enemies;
extern List<Slider> Sliders;
extern uint8_t BossShown;         // a boss line is shown
extern Enemy* Boss;               // the enemy in the boss line
extern int32_t MapStartTime;      // TimeMs() when play of the map began

// ---------------------------------------------------------------------------------
// Procedures
// ---------------------------------------------------------------------------------

// --- Start values and the player record ---
// Start values of the whole run and of one game (program start; tests call it in SetUp).
void ResetPlayRun();
// Start values of one map: every one-map value but those the map start makes. The map
// loader runs it first (the shell's ResetMapState), and the program start once.
void ResetPlayMap();
// The combat, HUD and map rules' part of the two (called by ResetPlayRun and ResetPlayMap).
void ResetCombatRun();
void ResetCombatMap();
// The one player record (added when missing, so play code never sees an empty list).
PlayerRecord& P();
// Start values of a new player record for a new game.
void SetNewGamePlayer(PlayerRecord& p);
// Resets the part of the player record that changes at each map change.
void ResetPlayerForNextMap(PlayerRecord& p);

// --- Map load and map start ---
// Map loader (loader thread): the play side of a map just read — header values into the
// player record, sliders, enemies and the boss from the contact codes, which replace the
// old map's.
void SetUpMapPlay();
// Grows the weather particles up to WeatherAmount (the list never shrinks).
void GrowWeather();
// The player record's values every load sets: tile size, map size, three header values.
void SetPlayerMapSize(int mapW, int mapH);
// The visible window of map cells; mode 0 = play window, other = wide window.
void ComputeVisibleWindow(int mode);

// --- One pass of play: the message line, then the world step ---
// One pass of the message line: it loses a character every 21 passes.
void ProcessMessageTicker();
// The world step of the frame loop (hurt countdown, moving tiles, physics, enemies,
// tile animation, rules, bombs, combat, mana), run when more than 15 ms have passed.
void WorldStep(unsigned now);
// One step of every moving cell of MovingTiles.
void MovingTileStep();
// Gravity, movement and tile collision of the figure.
void PlayerPhysics();
// Whether the figure in its normal form, lift pixels higher than it is now, would touch
// no solid cell (the small form's test before it stands up).
bool StandingFigureFits(int lift);
// The same while bombs lie on the map (the figure may stand on them).
void PlayerPhysicsWithBombs();
// One bomb's fall (the current element of Bombs).
void BombPhysics();
// Movement and animation of every enemy.
void MoveEnemies();
// The enemy's collision frame: its sheet clipped to row 2 of its direction's column.
// inMove is true for the wall tests of MoveEnemies, which ignore baseColumn for the
// first sheet. Returns the sheet's sprite number.
int ClipEnemyCollisionFrame(const Enemy& e, bool inMove);
// Deletes the current element of Enemies; a deleted boss takes its boss line with it.
void DeleteCurrentEnemy();
// The current enemy dies: it turns into its next type (with that type's points) or is
// deleted (with its own points).
void KillCurrentEnemy();
// Exit, portals, respawn, timers and the other rules of the map.
void MapRules();
// Map-3 rules: the arena shift, the guardian and its change of picture.
void MapThreeRules();
// Fuses and explosions of the bombs.
void UpdateBombs();
// Shots and enemies against each other, the figure and the map.
void UpdateCombat();
// The enemy half of UpdateCombat: sword, body contact, deaths and animation.
void UpdateEnemyCombat();
// The shot half of UpdateCombat: flight, leaving the screen, hits on enemies.
void UpdateShots();
// The slider half of UpdateCombat: gliding, hurting, markers and the flip spell.
void UpdateSliders();

// --- The world pass (world*.cpp, spells.cpp, player.cpp) ---
// The world pass: layers, figure, enemies, contacts with the map, spells.
void DrawWorld();
// Chooses the figure's frame in the sheets (323, the touch mask 438, the sword 333).
void SelectPlayerFrame();
// Tile-set pictures: tile n shows 3D sprite n + frame base (6000..9000), its front
// picture n + frame base + 500; back pictures are 102..200, overlays 201..281, darkness
// tiles 500..510. A value no table covers (from a damaged map or save) draws nothing.
constexpr int TileKindCount = 82;          // tile numbers 0..81
constexpr int BackLayerDY = -10;           // back pictures stand 10 px above their cell
constexpr int MainLayerDY = -10;           // main pictures are 50 high, reaching 10 px up
constexpr int FrontLayerDY = 10;           // front and overlay pictures hang 10 px down
constexpr int OverlayDY = 10;
constexpr int ExitMarkerDY = -20;          // the exit door is 50 high on a 30 px cell
// Back-layer picture of a cell's back value, 0 = none.
int BackLayerSprite(int32_t back);
// Main-layer 3D picture of a tile at an animation frame base, 0 = none.
int MainLayerSprite(int32_t tile, int32_t frameBase);
// Front-layer 3D picture: still cells need tile > 1 and front != 2 (and not the open
// door); moving cells always show theirs. 0 = none.
int FrontLayerSprite(int32_t tile, int32_t front, bool moving, bool openDoor, int32_t frameBase);
// Overlay 3D picture of a cell's over value, 0 = none.
int OverlaySprite(int32_t over);
// Overlays are left out on the map's last row.
inline bool OverlayRowShown(int row, int mapHeight) { return row >= 0 && row < mapHeight; }
// Darkness 3D picture of a cell's shade value, 0 = none.
int ShadeSprite(int32_t shade);
// Screen x of a cell's left edge at scroll posX plus an offset, kept inside int32.
int32_t WorldCellX(int64_t col, double posX, int64_t offX = 0);
// Screen y of a cell's top at vertical scroll pixelY plus an offset, kept inside int32.
int32_t WorldCellY(int64_t row, int64_t pixelY, int64_t offY = 0);

// The steps of the world pass, in DrawWorld's order (world_layers.cpp, world_things.cpp).
void ExpireSliderHits();    // sliders hit more than 2 s ago glide again
void DrawFarBackground();   // background scroll and the far background
void DrawBackLayer();       // back pictures of the visible cells
void DrawMainLayer();       // still cells, bottom row first
void DrawMovingTiles();     // moving cells
void DrawExitMarker();      // the exit door
void DrawPortals();         // portals and their flash (which hurts)
void DrawEnemies();
void DrawBombs();
void DrawSliders();
void DrawShots();
void DrawMovingFront();     // front pictures of the moving cells
void DrawOverlayLayer();    // overlays of the visible cells
void DrawWeather();         // rain or snow while the map or script asks for it
// The front picture of one cell (still cells from the contact pass, moving ones after).
void DrawFrontPicture(int col, int row, const MapCell& c, bool moving);

// The pickup table: what touching a collectable cell does, and what the fetch spell
// does when it reaches it. A code the table does not hold means nothing.
void TouchPickup(MapCell& cell);
void FetchPickup(MapCell& cell);
// The rules of a few tile numbers after a touch (weapons, alternative sheet, key tile).
void ApplyTileNumberRules(MapCell& cell);
// Step 19 of the world pass: ground kind, spikes, sword, shots against walls, front
// pictures, pickups by touch and by the fetch spell.
void WorldContactPass();

// Spell steps of the world pass: timers and range; light marks and darkness (only while
// the map is dark); flight, aura pulse, aura sounds and pictures, the flying spell.
void SpellTimers();
void DrawLightsAndDarkness();
void SpellFlightAndAura();
// A guarded hit: health and mana stay as they are now until the aura's pulse ends.
void GuardAfterHit();

// --- The HUD and texts over the black box (hud.cpp) ---
// The status panel, boss line, message line, small map and notice.
void DrawHud();
// The text of the boss line (name, ": " and one mark or " /" per hit point); clears
// BossShown when the boss is dead. Empty when no boss line is shown.
std::string BossLine();
// The colour of texts on the black box when nothing else is asked for: a pale
// parchment, Rgb(255, 236, 180), 17 times as bright as the black around it.
constexpr int BoxTextColour = 255 + 236 * 256 + 180 * 65536;
// What the waiting screens say (Latin-1; looked up with Translate where they are drawn).
constexpr const char* PromptAnyKey = Translatable("Eine Taste dr\xFC" "cken: weiter");
constexpr const char* PromptReturn = Translatable("Return: weiter");
constexpr const char* PromptChoice = Translatable("Taste 1, 2 oder 3: w\xE4hlen");
constexpr const char* SavedNotice = Translatable("Gespeichert");
// Text in the game's small face on a black box a few pixels larger than the text, the
// box's top centred at (centreX, y); returns the box's bottom.
int DrawBoxedText(int centreX, int y, const std::string& text, int colour = BoxTextColour);
// The line at the foot of a waiting screen that says which key it waits for.
void DrawKeyPrompt(const std::string& text);
// Shows a short notice over play for a second and a half.
void ShowNotice(const std::string& text);

// --- Player control (controls.cpp, spells.cpp) ---
// Keyboard control of the figure, pause, saves, spells; the health rules.
void PlayerControls();
// Slots of the bound keys in KeyBindings, in Setup.ini order.
enum KeySlot {
  KeyCancel, KeyPause, KeySave, KeyLoad, KeyRestart, KeyViewUp, KeyViewDown, KeyTextMinus,
  KeyTextPlus, KeyDuck, KeyUp, KeyLeft, KeyRight, KeyJump, KeySword, KeyThrow, KeySpell1,
  KeySpell2, KeySpell3, KeySpell4
};
// The key bound to a slot is held in this frame's snapshot.
bool BoundHeld(int slot);
// The key bound to a slot went up in this frame (reported once per snapshot).
bool BoundReleased(int slot);
// The spell keys and the health-to-mana exchange (the normal form's actions).
void CastSpells();
// The health rules the player control applies at the end of its frame: cheat refill,
// hit guard, death, health cap.
void ApplyHealthRules();

// --- The pause ---
// One pass of the pause: the pause picture while the game shows full screen (P ends
// it), else the minimised window (restoring it ends the pause).
void PauseScreen();

}  // namespace kw
