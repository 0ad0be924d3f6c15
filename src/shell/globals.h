// The game-wide state: every global, list and table of the game, grouped by lifetime
// (whole run / one game / one map), and the records the lists hold. Every subsystem
// includes this header; the shell creates the lists' start contents (config.cpp) and
// the map loader refills the per-map part (src/content/maploader.cpp).
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "media/list.h"

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

// One cell of the map grid.
struct MapCell {
  int32_t back = 0;       // back-layer picture
  int32_t tile = 0;       // 0 none, 1 empty, > 1 solid; index into TileKind
  int32_t over = 0;       // overlay picture
  int32_t shade = 0;      // darkness tile index
  int32_t pickup = 0;     // contact code
  int32_t tagNo = 0;      // script tag, 0 = none
  uint8_t onPlatform = 0; // 1 while the player stands on this moving cell
  int32_t offY = 0, vRange = 0, vStep = 0;  // vertical motion
  int32_t offX = 0, hRange = 0, hStep = 0;  // horizontal motion
  uint8_t front = 0;      // front-layer switch (2 = no front picture)
  uint8_t alpha = 0;      // opacity of the cell's pictures
};

// A column-major grid: cell (col, row) is element col * (H + 1) + row. Out-of-range
// accesses go to a scratch cell so a bad index never touches other memory.
template <typename T>
struct Grid {
  int W = -1;  // highest column index (-1 = no cells)
  int H = -1;  // highest row index
  std::vector<T> cells;
  T outside{};

  // Re-creates the grid with all fields zero; negative sizes give an empty grid.
  void Create(int w, int h) {
    cells.clear();
    if (w < 0 || h < 0) { W = H = -1; return; }
    W = w;
    H = h;
    cells.assign(size_t(w + 1) * size_t(h + 1), T{});
  }
  bool Inside(int col, int row) const { return col >= 0 && row >= 0 && col <= W && row <= H; }
  T& At(int col, int row) {
    if (!Inside(col, row)) { outside = T{}; return outside; }
    return cells[size_t(col) * size_t(H + 1) + size_t(row)];
  }
  int CellCount() const { return int(cells.size()); }
};

// An enemy type, one per Gegner.ini entry.
struct EnemyType {
  int32_t typeId = 0;      // number in brackets
  int32_t nextType = 0;    // index of the type it turns into on death, < 0 = dies
  int32_t points = 0;      // score for a kill
  uint8_t isBoss = 0;      // 1 = the map's boss
  std::string typeName;    // shown in the boss line
  int32_t keptValue = 0;   // read, not used in play
  int32_t frameHeight = 0;
  int32_t frameWidth = 0;
  int32_t moveKind = 0;    // 0 walker, 1 vertical flyer, 3 horizontal flyer
  int32_t baseColumn = 0;  // first frame column in the sheet
  int32_t spriteOffset = 0;  // sheet is sprite 329 + spriteOffset
  int32_t hitPoints = 0;
  int32_t speed = 0;
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
  int32_t standA = 0;  // used by the physics while the player stands on the bomb
  int32_t standB = 0;
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

// One slot of the script's inventory.
struct InventorySlot {
  int16_t sprite = 0;
  std::string itemName;
  int32_t price = 0;
};

struct HighscoreEntry {
  int16_t points = 0;
  std::string name;
};

// A loaded cutscene.
struct Cutscene {
  std::string name;
  int32_t picture = 0;
  std::string text;
  int32_t sound = -1;
  int32_t frames = 0;
  int32_t color = 0;
};

// One parsed script statement.
struct Statement {
  int32_t kind = 0;  // 0 plain, 1 if, 2 else, 3 endif, 4 for, 5 next
  std::string command;
  std::array<std::string, 255> arg;
};

struct NumVar {
  std::string name;
  int16_t value = 0;
};

struct TextVar {
  std::string name;
  std::string text;
};

// A map cell position (moving tiles and the loader's scratch list).
struct CellPos {
  int32_t col = 0;
  int32_t row = 0;
};

struct WeatherParticle {
  int32_t x = 0;
  int32_t y = 0;
};

// The twenty key codes in Setup.ini order.
constexpr int KeyBindingCount = 20;
struct KeyBindingRecord {
  std::array<int16_t, KeyBindingCount> code{};
};
extern const std::array<const char*, KeyBindingCount> KeyBindingNames;

// Which screen is showing, for --state and tests.
enum class Screen {
  Loading, MainMenu, PauseMenu, NewGame, Options, Highscore, Quit, Title, Play, Paused,
  Cutscene, Choice, LoadWait
};
const char* ScreenName(Screen s);

// ---------------------------------------------------------------------------------
// Whole run
// ---------------------------------------------------------------------------------
extern int16_t WindowedMode;      // program argument 0: 1 = window
extern int32_t DebugMode;         // program argument 1: debug settings in MapRules
extern int32_t StartMap;          // map number the main menu copies into CurrentMap
extern int32_t Volume;            // 0..100 from Setup.ini
extern int32_t LoadProgress;      // start-up loading progress 0..10
extern int StartupLoader;         // thread of LoaderThread(0)
extern int MapLoader;             // thread of LoaderThread(1)
extern int32_t ClearEachFrame;    // clear the back buffer after each flip (windowed)
extern Screen CurrentScreen;      // which screen is showing
extern int32_t StoryProgress;     // story map reached (Saves\Story.save)
extern int32_t ContinueStory;     // "Story fortsetzen" chosen
extern int32_t TimeBonus;         // time added per map in a time match
extern int32_t MaxHealth;         // health cap by difficulty
extern int32_t ScoreBonusGiven;   // once-per-run best-score bonus given
extern int32_t CheatFastRun;      // typed cheats
extern int16_t CheatInvincible;
extern int32_t CheatAutoFire;
extern std::string BestScore;     // first line of Saves\Savescore.save
extern std::string NameInput;     // name offered by the highscore entry
extern int32_t ActiveCols;        // collision window half width (cells)
extern int32_t ActiveRows;        // collision window half height (cells)
extern int32_t DecorationFrame;   // frame sprite of the animated decoration 401..404
extern int16_t HudVisible;        // HUD panel shown
extern int16_t MapRequest;        // draw the small map this frame
extern int16_t DisplayToggleA;    // two further display toggles of the player control
extern int16_t DisplayToggleB;
extern int32_t AuraStep;          // aura pulse step
extern int32_t FloatStep;         // decoration bobbing step
extern int32_t BombAnimStep;      // bomb animation step
extern int32_t PlayerScreenX;     // screen x of the figure
extern int32_t AnimFrameBase;     // 6000..9000: current animated tile frame
extern std::string TileSet;       // tile-set number as text
extern std::array<uint8_t, 82> TileKind;  // 0 plain, 1/2 special ground
extern int16_t LastSide;          // last horizontal facing 4/6
extern int32_t WeatherSprite;     // 431 or 432 (0 = none)
extern int32_t WeatherAmount;     // particle count target
extern int32_t EnemySpawnOff;     // script switch
extern int32_t TextShift;         // shift of the top text lines
extern int16_t MessageTimer;      // fading of the message line
extern std::string LastOutcry;    // last "outcry" text
extern int32_t ReloadTiles;       // the loop reloads the tile set
extern uint8_t CutscenePlaying;   // a cutscene replaces play
extern int32_t CutsceneFrame;     // picture row of the cutscene
extern Cutscene* CurrentCutscene; // the cutscene being shown
extern std::array<HighscoreEntry, 9> Highscores;  // entries 1..6 used
extern std::array<InventorySlot, 14> Inventory;   // script inventory
extern int32_t IntroZoom;         // growth of the spinning title picture
extern float IntroSpin;           // rotation step of the title picture

extern List<PlayerRecord> Player;          // exactly one record
extern List<Item> Items;                   // throwing weapons; current = in hand
extern List<EnemyType> EnemyTypes;         // from Gegner.ini
extern List<KeyBindingRecord> KeyBindings; // one record from Setup.ini
extern List<Cutscene> Cutscenes;           // loaded cutscenes, only grows
extern List<NumVar> NumVars;               // script numeric variables
extern List<TextVar> TextVars;             // script text variables
extern List<int32_t> CondStack;            // open "if" results
extern List<int32_t> LoopStack;            // loop positions of the script
extern List<WeatherParticle> WeatherParticles;  // only grows

// ---------------------------------------------------------------------------------
// One game
// ---------------------------------------------------------------------------------
extern int32_t CurrentMap;        // number of the map played
extern int16_t GameOver;          // 1 = the game ends after this map
extern int16_t TimeMatch;         // time-match mode
extern int32_t StoryMode;         // story mode
extern int16_t Paused;            // the pause screen replaces play
extern uint8_t AltSheet;          // alternative figure sheet

// ---------------------------------------------------------------------------------
// One map
// ---------------------------------------------------------------------------------
extern Grid<MapCell> Map;         // the cells, column-major
extern Grid<int16_t> LightGrid;   // light marks, same shape
extern int32_t RespawnX, RespawnY;  // start position; posX = -RespawnX
extern int32_t ExitCol, ExitRow;    // exit door cell
extern uint8_t BossShown;         // a boss line is shown
extern Enemy* Boss;               // the enemy in the boss line
extern int32_t WorldStepTime;     // time of the last world step
extern int32_t MovingTileTime;    // time of the last moving-tile step
extern int32_t MovingTileInterval;  // minimum gap between moving-tile steps
extern int32_t HurtTime;          // world steps of the hurt pose
extern int32_t MapStartTime;      // TimeMs() when play of the map began
extern int32_t MapJustStarted;    // consumed by MapRules
extern int32_t VisFromX, VisToX, VisFromY, VisToY;  // visible window of cells
extern int16_t Spell;             // spell in flight
extern int16_t SpellDX, SpellDY, SpellTime;
extern int32_t Aura;              // aura around the figure
extern int16_t HitGuard;          // health and mana frozen
extern int32_t MessageTickerCount;  // passes since the message lost a character
extern int32_t BackgroundX;       // position of the far background
extern int32_t BackgroundSide;    // -1 or 1: side of the second background copy
extern int32_t StaticBackground;  // non-zero: the background is one fixed picture
extern int32_t HideBackground;    // 1 = the world pass leaves out the far background
extern List<Enemy> Enemies;
extern List<Shot> Shots;
extern List<Bomb> Bombs;
extern List<Slider> Sliders;
extern List<Portal> Portals;
extern List<CellPos> MovingTiles;
extern List<CellPos> MovingScratch;  // the loader's scratch list of moving cells
extern List<Statement> StartScript;  // statements inside "{ ... }"
extern List<Statement> MainScript;   // all other statements

// Nearest integer, a half to the even neighbour, kept inside the int32 range (a float
// far outside it would otherwise be undefined to convert).
inline int32_t Nearest(double v) {
  double r = std::nearbyint(v);
  if (!(r > -2147483648.0)) return INT32_MIN;  // also NaN
  if (r > 2147483647.0) return INT32_MAX;
  return int32_t(r);
}

// The one player record (added when missing, so play code never sees an empty list).
PlayerRecord& P();

// Start values of every global of the run (program start).
void SetStartValues();
// Start values of a new player record for a new game.
void SetNewGamePlayer(PlayerRecord& p);
// Resets the part of the player record that changes at each map change.
void ResetPlayerForNextMap(PlayerRecord& p);
// Resets the short-lived per-map state where a map begins (the loader rebuilds the rest).
void ResetMapState();

}  // namespace kw
