// Definitions and start values of the game-wide state declared in globals.h.
#include "shell/globals.h"

namespace kw {

const std::array<const char*, KeyBindingCount> KeyBindingNames = {
    "abbruch", "Pause", "Speichern", "Laden", "Neustart", "Bild_hoch", "Bild_runter",
    "Text_minus", "Text_plus", "runter", "hoch", "links", "rechts", "sprung", "Schwert",
    "Kugel", "Zauber1", "Zauber2", "Zauber3", "Zauber4"};

const char* ScreenName(Screen s) {
  static const char* const names[] = {"loading", "mainmenu", "pausemenu", "newgame",
                                      "options", "highscore", "quit",     "title",
                                      "play",    "paused",    "cutscene", "choice",
                                      "loadwait"};
  static_assert(sizeof(names) / sizeof(names[0]) == size_t(Screen::LoadWait) + 1);
  return names[int(s)];
}

// Whole run.
int16_t WindowedMode = 0;
int32_t DebugMode = 0;
int32_t StartMap = 1;
int32_t Volume = 0;
int32_t LoadProgress = 0;
int StartupLoader = 0;
int MapLoader = 0;
int32_t ClearEachFrame = 0;
Screen CurrentScreen = Screen::Loading;
int32_t StoryProgress = 0;
int32_t ContinueStory = 0;
int32_t TimeBonus = 0;
int32_t MaxHealth = 0;
int32_t ScoreBonusGiven = 0;
int32_t CheatFastRun = 0;
int16_t CheatInvincible = 0;
int32_t CheatAutoFire = 0;
std::string BestScore;
std::string NameInput;
int32_t ActiveCols = 13;
int32_t ActiveRows = 13;
int32_t DecorationFrame = 401;
int16_t HudVisible = 1;
int16_t MapRequest = 1;
int16_t DisplayToggleA = 1;
int16_t DisplayToggleB = 1;
int32_t AuraStep = 1;
int32_t FloatStep = 1;
int32_t BombAnimStep = 1;
int32_t PlayerScreenX = 316;
int32_t AnimFrameBase = 6000;
std::string TileSet;
std::array<uint8_t, 82> TileKind{};
int16_t LastSide = 0;
int32_t WeatherSprite = 0;
int32_t WeatherAmount = 500;
int32_t EnemySpawnOff = 0;
int32_t TextShift = 0;
int16_t MessageTimer = 0;
std::string LastOutcry;
int32_t ReloadTiles = 0;
uint8_t CutscenePlaying = 0;
int32_t CutsceneFrame = 0;
Cutscene* CurrentCutscene = nullptr;
std::array<HighscoreEntry, 9> Highscores;
std::array<InventorySlot, 14> Inventory;
int32_t IntroZoom = 100;
float IntroSpin = 1.0f;

List<PlayerRecord> Player;
List<Item> Items;
List<EnemyType> EnemyTypes;
List<KeyBindingRecord> KeyBindings;
List<Cutscene> Cutscenes;
List<NumVar> NumVars;
List<TextVar> TextVars;
List<int32_t> CondStack;
List<int32_t> LoopStack;
List<WeatherParticle> WeatherParticles;

// One game.
int32_t CurrentMap = 0;
int16_t GameOver = 0;
int16_t TimeMatch = 0;
int32_t StoryMode = 0;
int16_t Paused = 0;
uint8_t AltSheet = 0;

// One map.
Grid<MapCell> Map;
Grid<int16_t> LightGrid;
int32_t RespawnX = -316, RespawnY = 20;
int32_t ExitCol = 0, ExitRow = 0;
uint8_t BossShown = 0;
Enemy* Boss = nullptr;
int32_t WorldStepTime = 0;
int32_t MovingTileTime = 0;
int32_t MovingTileInterval = 0;
int32_t HurtTime = 0;
int32_t MapStartTime = 0;
int32_t MapJustStarted = 0;
int32_t VisFromX = 0, VisToX = 0, VisFromY = 0, VisToY = 0;
int16_t Spell = 0;
int16_t SpellDX = 0, SpellDY = 0, SpellTime = 0;
int32_t Aura = 0;
int16_t HitGuard = 0;
int32_t MessageTickerCount = 0;
int32_t BackgroundX = 0;
int32_t BackgroundSide = 0;
int32_t StaticBackground = 0;
int32_t HideBackground = 0;
List<Enemy> Enemies;
List<Shot> Shots;
List<Bomb> Bombs;
List<Slider> Sliders;
List<Portal> Portals;
List<CellPos> MovingTiles;
List<CellPos> MovingScratch;
List<Statement> StartScript;
List<Statement> MainScript;

PlayerRecord& P() {
  if (Player.Empty()) Player.Add();
  if (!Player.HasCurrent()) Player.Select(0);
  return *Player.Current();
}

// Program start: every global back to its start value (tests call this in SetUp).
void SetStartValues() {
  WindowedMode = 0; DebugMode = 0; StartMap = 1; Volume = 0; LoadProgress = 0;
  StartupLoader = MapLoader = 0; ClearEachFrame = 0; CurrentScreen = Screen::Loading;
  StoryProgress = 0; ContinueStory = 0; TimeBonus = 0; MaxHealth = 0; ScoreBonusGiven = 0;
  CheatFastRun = 0; CheatInvincible = 0; CheatAutoFire = 0;
  BestScore.clear(); NameInput.clear();
  ActiveCols = ActiveRows = 13; DecorationFrame = 401;
  HudVisible = MapRequest = DisplayToggleA = DisplayToggleB = 1;
  AuraStep = FloatStep = BombAnimStep = 1;
  PlayerScreenX = 316; AnimFrameBase = 6000; TileSet.clear(); TileKind.fill(0);
  LastSide = 0; WeatherSprite = 0; WeatherAmount = 500; EnemySpawnOff = 0; TextShift = 0;
  MessageTimer = 0; LastOutcry.clear(); ReloadTiles = 0; CutscenePlaying = 0;
  CutsceneFrame = 0; CurrentCutscene = nullptr;
  Highscores.fill(HighscoreEntry{}); Inventory.fill(InventorySlot{});
  IntroZoom = 100; IntroSpin = 1.0f;
  CurrentMap = 0; GameOver = 0; TimeMatch = 0; StoryMode = 0; Paused = 0; AltSheet = 0;
  RespawnX = -316; RespawnY = 20; ExitCol = ExitRow = 0;
  WorldStepTime = MovingTileTime = MovingTileInterval = 0; HurtTime = 0;
  MapStartTime = 0; MapJustStarted = 0; VisFromX = VisToX = VisFromY = VisToY = 0;
  Spell = SpellDX = SpellDY = SpellTime = 0; Aura = 0; HitGuard = 0; MessageTickerCount = 0;
  BackgroundX = BackgroundSide = StaticBackground = HideBackground = 0;
  Map.Create(-1, -1); LightGrid.Create(-1, -1);
  BossShown = 0; Boss = nullptr;
  // Lists are re-created with their start contents by LoadConfiguration; here they are
  // only emptied so nothing of an earlier run survives.
  Player.Clear(); Items.Clear(); EnemyTypes.Clear(); KeyBindings.Clear(); Cutscenes.Clear();
  NumVars.Clear(); TextVars.Clear(); CondStack.Clear(); LoopStack.Clear();
  WeatherParticles.Clear(); Enemies.Clear(); Shots.Clear(); Bombs.Clear(); Sliders.Clear();
  Portals.Clear(); MovingTiles.Clear(); MovingScratch.Clear(); StartScript.Clear();
  MainScript.Clear();
}

// The record a new game starts with.
void SetNewGamePlayer(PlayerRecord& p) {
  p = PlayerRecord{};
  p.facing = 6;
  p.mana = 100.0f;
  p.health = 500.0f;
  p.spare68 = {0, 340, 340, 340, 30000, 30000, 30000, 370, 550};
  p.spare92 = {-14, 0};
  p.spare98 = {1, 0, 3};
  p.spare142 = {1, 1, 1};
  p.spareLast = 4;
}

// What a map change resets; mana, score, health and the spare before the message stay.
void ResetPlayerForNextMap(PlayerRecord& p) {
  p.spare68 = {0, 340, 340, 340, 3000, 30000, 30000, 370, 550};
  p.spare92 = {-14, 0};
  p.spare98 = {0, 0, 3};
  p.contactFlag = 0;
  p.spare142 = {1, 1, 1};
  p.animFrame = 0;
  p.hasKey = 0;
  p.keyTime = 0;
  p.facing = 6;
  p.spareLast = 4;
  p.mapDone = 0;
  // The guardian flag means "met in this map", so it starts over with each map.
  p.guardianDone = 0;
}

// Per-map state, cleared where a map begins (before the map loader runs; the loader
// itself rebuilds Map, LightGrid and the lists made from the map file).
void ResetMapState() {
  HurtTime = 0;
  Spell = SpellDX = SpellDY = SpellTime = 0;
  Aura = 0;
  HitGuard = 0;
  MessageTickerCount = 0;
  MapJustStarted = 0;
}

}  // namespace kw
