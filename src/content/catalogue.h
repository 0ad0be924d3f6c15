// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The game's catalogue: the fixed numbers every drawing, sound and input procedure uses,
// each under a name. Sprite and sound numbers are what the loader fills from the packs;
// the pack tables below say, one row per pack entry, which number each entry becomes,
// and the loader, kwgen's pack writers, kwtool and the catalogue tests all read them, so
// a renumbering happens here and nowhere else. A number the game computes from these
// (`AnimFrameBase + k`, `500 + shade`, `EnemySheets + spriteOffset`) stays a sum.
// Pure data: no procedures with side effects, no includes of the game.
#pragma once

#include <cstddef>

namespace kw {

// ---------------------------------------------------------------------------------
// Sprites. Separate number space from sounds.
namespace Spr {
// The tile sheet of the current set: tiles 1..80, 101..200, 201..281 are clipped from it.
constexpr int TileSheet = 0;
// Tiles 1..80: collision pictures of row 0 of the sheet (also drawn for a sprite-less cell).
constexpr int FirstTile = 1;
constexpr int LastTile = 80;
// Back-layer pictures, row 1 of the sheet.
constexpr int FirstBackTile = 101;
constexpr int LastBackTile = 200;
// Overlay pictures (3D), row 2 of the sheet.
constexpr int FirstOverlayTile = 201;
constexpr int LastOverlayTile = 281;
// The locked door tile, whose picture the key pickup replaces with OpenDoorCollision.
constexpr int LockedDoor = 19;
// Loaded from "paks\npf\player+k.png" when the fetch spell brings the sword.
constexpr int FetchedSwordFigure = 40;

// Menu.pak
constexpr int SpareButton = 313;          // 60 x 30 two-state button, not drawn by the game
constexpr int SpareKnob = 314;            // not drawn by the game
constexpr int DialogPanel = 315;          // new-game menu and quit confirmation
constexpr int VolumeKnob = 316;           // options screen
constexpr int VolumeArea = 317;           // options screen: the volume track's hit area
constexpr int KeyRowBox = 318;            // options screen: one key row's hit box
// objects.pak
constexpr int OpenDoorCollision = 320;    // copied onto tile 19 once the key is taken
constexpr int TitlePicture = 322;         // 3D; spins while a map loads
constexpr int Figure = 323;               // working copy of a figure sheet, clipped and drawn
constexpr int FigureSheet = 324;          // normal figure sheet
constexpr int SmallFormSheet = 325;
constexpr int ShotDefault = 326;          // "Default" shots; the collision image of every shot
constexpr int ShotGoldAxe = 327;          // "Goldaxt"
constexpr int ShotFireAxe = 328;          // "Feueraxt"
constexpr int EnemySheets = 329;          // enemy sheet = EnemySheets + spriteOffset
constexpr int SwordOverlay = 333;
constexpr int Background = 334;           // far background; Backgrounds.pak replaces it per map
constexpr int Guardian = 338;             // 3D; the map-3 decoration, swapped while it changes
constexpr int GuardianSpirit = 339;       // texture; the guardian's last picture
constexpr int ExitDoor = 340;             // map exit marker, also an inactive portal
constexpr int Portal = 341;               // active portal
constexpr int Chest = 342;                // not drawn by the game
constexpr int Banner = 343;               // not drawn by the game
constexpr int SliderSheet = 344;          // frames 60 x 60: column side, row hit
// Menu.pak
constexpr int MenuBackground = 345;
constexpr int MenuPanel = 346;
constexpr int PauseMenuPanel = 347;
constexpr int HighscoreBackground = 348;
constexpr int LargeButton = 349;          // upper half of a 98 x 98 picture
constexpr int SmallButton = 350;          // upper half of a 70 x 98 picture
constexpr int LargeButtonPressed = 351;   // copy of 349, lower half
constexpr int SmallButtonPressed = 352;   // copy of 350, lower half
constexpr int Pointer = 353;              // mouse pointer
constexpr int OptionsBackground = 354;
constexpr int YesArea = 355;              // quit confirmation: hit area of "Ja"
constexpr int NoArea = 356;               // quit confirmation: hit area of "Nein"
// objects.pak: spells (3D). Their numbers are also the spell and aura codes, with the
// two auras that have no picture of their own (ShieldSpell, ExchangeSpell).
constexpr int BombSpell = 357;
constexpr int FetchSpell = 358;
constexpr int TurnSpell = 359;
// Aura pairs (3D), drawn over the figure with alphas pulsing against each other.
constexpr int ShieldAura = 360;           // and 361
constexpr int TurnAura = 362;             // and 363
constexpr int FrostAura = 364;            // and 365
constexpr int FireAura = 366;             // and 367
constexpr int FetchAura = 368;            // and 369
constexpr int ShieldSpell = 370;          // protective aura: a code, not a picture
constexpr int ExchangeSpell = 371;        // health-to-mana aura: a code, not a picture
constexpr int PauseScene = 376;           // the scene grabbed when the pause menu opens
constexpr int PausePicture = 372;         // drawn opaque while paused in full screen
constexpr int SpikesSideways = 373;       // pickup code 17
constexpr int SpikesUpward = 374;         // pickup code 18
constexpr int ClimbSheet = 375;           // frames 32 x 55, 56 apart
// The animated decoration's frames 401..404.
constexpr int DecorationFirst = 401;
constexpr int DecorationLast = 404;
// Interface.pak and Inventar.pak: the heads-up display.
constexpr int HudPanel = 407;
constexpr int SpareIcon = 411;
constexpr int ScrollIcon = 412;
constexpr int AmmoStrip = 413;            // clipped to the current item's throws
constexpr int SmallDigits = 414;          // 414..423: digits 0..9
constexpr int ScoreSeparator = 424;
constexpr int Weather1 = 431;             // particle of weather kind "1" (no pack holds it)
constexpr int Weather2 = 432;             // particle of weather kind "2" (no pack holds it)
constexpr int ClosedDoorCopy = 433;       // tile 19 as loaded, for when a held key runs out
constexpr int BackgroundBuffer = 434;     // screen-sized; the far background is composed in it
constexpr int TallAnimStrip = 435;        // Tiles.pak: 30 x 50 frames of every tile
constexpr int AnimStrip = 436;            // Tiles.pak: 30 x 30 front-layer frames
constexpr int AltFigureSheet = 437;       // used after the tile-48 pickup
constexpr int TouchMask = 438;            // same frames as the figure sheet
constexpr int Sparkle = 439;              // 3D
constexpr int OpenedDoor = 440;           // shown instead of tile 19 once the key is held
constexpr int PortalFlash = 441;          // 3D
constexpr int AxeIcon = 442;              // item "Default"
constexpr int GoldAxeIcon = 443;          // items "Goldaxt" and "Feueraxt"
constexpr int HealthPip = 444;
constexpr int ManaPip = 445;
constexpr int LargeDigits = 446;          // 446..455: digits 0..9
constexpr int EmptyItemSlot = 312;        // the picture of an emptied inventory slot
// Lights.pak (3D, pure green keyed).
constexpr int Darkness = 500;             // full darkness; shade code n draws Darkness + n
constexpr int AuraLight = 501;            // the light around an aura, turned by quarters
constexpr int SpellLight = 502;           // 502..505: the four quarters of a spell's light
constexpr int FirstShade = 506;           // 506..510: darkness of shade codes 6..10
constexpr int SpareLights = 601;          // 601..612
// Animated tiles: frame f of tile k is AnimFrames + 1000 f + k (30 x 50, 3D), its
// front picture AnimFrames + 1000 f + FrontFrames + k (30 x 30, 3D).
constexpr int AnimFrames = 6000;
constexpr int FrontFrames = 500;
constexpr int AnimFrameStep = 1000;
constexpr int AnimFrameCount = 4;
constexpr int LastAnimFrames = AnimFrames + (AnimFrameCount - 1) * AnimFrameStep;
constexpr int BombSheet = 9999;           // frames 23 x 33: column tick, row fuse / 8
}  // namespace Spr

// The digit strips: one picture loaded ten times, copy i clipped to (nearest(i step), 0,
// width, height); the HUD steps its numbers by the same distance.
struct DigitStrip {
  int first;
  double step;
  int width, height;
};
inline constexpr DigitStrip SmallDigitStrip = {Spr::SmallDigits, 6.3, 6, 10};
inline constexpr DigitStrip LargeDigitStrip = {Spr::LargeDigits, 11.4, 11, 18};

// ---------------------------------------------------------------------------------
// Sounds (sounds.pak). Separate number space from sprites.
namespace Snd {
constexpr int ScoreBonus = 319;           // the best score is beaten
constexpr int Pickup = 321;               // also a block broken from below
constexpr int MusicForest = 377;          // game music
constexpr int MusicCaves = 378;           // game music
constexpr int MusicMenu = 379;
constexpr int MusicTower = 380;
constexpr int MusicPass = 381;
constexpr int MusicTimeMatch = 382;
constexpr int SwordSwing = 386;
constexpr int Click = 387;                // menu buttons; the sword striking a wall
constexpr int Door = 388;
constexpr int Thud = 389;
constexpr int KeyFound = 390;             // key taken or run out
constexpr int Magic = 391;
constexpr int Respawn = 392;              // back to the start point
// Looping aura hums, started silent by every load and raised while their aura shows.
constexpr int TurnHum = 393;
constexpr int ShieldHum = 394;
constexpr int Fall = 395;                 // the same data as Death
constexpr int Death = 396;
constexpr int Hurt = 397;
constexpr int FrostHum = 398;
constexpr int FetchHum = 399;             // also the bomb spell's aura
constexpr int BombFuse = 447;
// The ambient loops every load starts at volume 0.
constexpr int FirstLoop = 393;
constexpr int LastLoop = 399;
}  // namespace Snd

// The six music tracks, in the order the loader stops them.
constexpr int MusicTracks[] = {Snd::MusicMenu,  Snd::MusicForest, Snd::MusicCaves,
                               Snd::MusicTower, Snd::MusicPass,   Snd::MusicTimeMatch};

// ---------------------------------------------------------------------------------
// Fonts: one decorative face in two sizes, italic and high quality.
namespace Font {
constexpr const char* Face = "Argor Flahm Scaqh";
constexpr int Small = 1;                  // 10 points: HUD, dialogs, key names
constexpr int Large = 2;                  // 15 points: menu labels
constexpr int SmallPoints = 10;
constexpr int LargePoints = 15;
}  // namespace Font

// ---------------------------------------------------------------------------------
// Key codes the game reads directly (set-1 scan codes; names in KeyNameTable).
namespace Key {
constexpr int Any = -1;                   // KeyDown / KeyReleased: any key
constexpr int Escape = 1;
constexpr int Digit2 = 3;                 // with F2 held: toggles the HUD
constexpr int Digit5 = 6;
constexpr int Backspace = 14;             // highscore name entry; leaves the list screen                 // held: the health-to-mana exchange
constexpr int Q = 16;                     // held: shots stand still
constexpr int P = 25;                     // ends the pause
constexpr int Return = 28;                // doors, portals, cutscenes
constexpr int K = 37;                     // held: the HUD's information page
constexpr int Space = 57;
constexpr int F2 = 60;
constexpr int Up = 200;
constexpr int Left = 203;
constexpr int Right = 205;
constexpr int Down = 208;                 // held: look down, climb down
constexpr int LowestBindable = 2;         // the options screen never binds Escape
constexpr int HighestBindable = 211;
}  // namespace Key

// Every key that has a name, for the options screen; any other code has the empty name.
struct KeyNameRow {
  int code;
  const char* name;
};
inline constexpr KeyNameRow KeyNameTable[] = {
    {1, "Escape"},        {2, "1"},           {3, "2"},          {4, "3"},
    {5, "4"},             {6, "5"},           {7, "6"},          {8, "7"},
    {9, "8"},             {10, "9"},          {11, "0"},         {12, "Minus"},
    {13, "Equals"},       {14, "Back"},       {15, "Tab"},       {16, "Q"},
    {17, "W"},            {18, "E"},          {19, "R"},         {20, "T"},
    {21, "Y"},            {22, "U"},          {23, "I"},         {24, "O"},
    {25, "P"},            {26, "LeftBracket"}, {27, "RightBracket"}, {28, "Return"},
    {29, "LeftControl"},  {30, "A"},          {31, "S"},         {32, "D"},
    {33, "F"},            {34, "G"},          {35, "H"},         {36, "J"},
    {37, "K"},            {38, "L"},          {39, "SemiColon"}, {40, "Apostrophe"},
    {41, "Grave"},        {42, "LeftShift"},  {43, "BackSlash"}, {44, "Z"},
    {45, "X"},            {46, "C"},          {47, "V"},         {48, "B"},
    {49, "N"},            {50, "M"},          {51, "Comma"},     {52, "Period"},
    {53, "Slash"},        {54, "RightShift"}, {55, "Multiply"},  {56, "LeftAlt"},
    {57, "Space"},        {58, "Capital"},    {59, "F1"},        {60, "F2"},
    {61, "F3"},           {62, "F4"},         {63, "F5"},        {64, "F6"},
    {65, "F7"},           {66, "F8"},         {67, "F9"},        {68, "F10"},
    {69, "NumLock"},      {70, "Scroll"},     {71, "Pad7"},      {72, "Pad8"},
    {73, "Pad9"},         {74, "Subtract"},   {75, "Pad4"},      {76, "Pad5"},
    {77, "Pad6"},         {78, "Add"},        {79, "Pad1"},      {80, "Pad2"},
    {81, "Pad3"},         {82, "Pad0"},       {83, "Decimal"},   {87, "F11"},
    {88, "F12"},          {156, "PadEnter"},  {157, "RightControl"}, {179, "PadComma"},
    {181, "Divide"},      {184, "RightAlt"},  {197, "Pause"},    {199, "Home"},
    {200, "Up"},          {201, "PageUp"},    {203, "Left"},     {205, "Right"},
    {207, "End"},         {208, "Down"},      {209, "PageDown"}, {210, "Insert"},
    {211, "Delete"},
};
static_assert(sizeof(KeyNameTable) / sizeof(KeyNameTable[0]) == 101);

// ---------------------------------------------------------------------------------
// The twenty key-binding slots, in Setup.ini order (the index into the binding record).
namespace Bind {
constexpr int Cancel = 0;       // "abbruch": the pause menu
constexpr int Pause = 1;
constexpr int Save = 2;         // "Speichern": quick save
constexpr int Load = 3;         // "Laden": quick load
constexpr int Restart = 4;      // "Neustart"
constexpr int PageUp = 5;       // "Bild_hoch": kept, no effect in play
constexpr int PageDown = 6;     // "Bild_runter": kept, no effect in play
constexpr int TextMinus = 7;
constexpr int TextPlus = 8;
constexpr int Down = 9;         // "runter": small form
constexpr int Up = 10;          // "hoch": look up, climb
constexpr int Left = 11;
constexpr int Right = 12;
constexpr int Jump = 13;        // "sprung"
constexpr int Sword = 14;       // "Schwert"
constexpr int Throw = 15;       // "Kugel"
constexpr int Spell1 = 16;      // "Zauber1": bomb
constexpr int Spell2 = 17;      // "Zauber2": fetch
constexpr int Spell3 = 18;      // "Zauber3": turn
constexpr int Spell4 = 19;      // "Zauber4": shield
constexpr int Count = 20;
}  // namespace Bind

// The Setup.ini key of each slot; the file holds "volumen" first, then these in order.
inline constexpr const char* BindNames[Bind::Count] = {
    "abbruch", "Pause",  "Speichern", "Laden",  "Neustart", "Bild_hoch", "Bild_runter",
    "Text_minus", "Text_plus", "runter", "hoch", "links", "rechts", "sprung", "Schwert",
    "Kugel", "Zauber1", "Zauber2", "Zauber3", "Zauber4"};

// ---------------------------------------------------------------------------------
// The map cell: pixels per cell, both ways. The tile pictures are cut to it, the map's
// grid is laid out in it, and every pixel-to-cell step of play and the tools divides by it.
constexpr int CellSize = 30;

// Contact codes of a map cell (`pickup`).
namespace Pickup {
constexpr int None = 0;
constexpr int Hurt = 1;          // health -15 on every frame of contact
constexpr int Ammo = 2;          // current item +5 throws
constexpr int Health = 3;        // +10 health
constexpr int Key = 4;
constexpr int Sword = 5;
constexpr int Points50 = 6;
constexpr int Points100 = 7;
constexpr int Slider = 12;       // the map loader makes a slider here
constexpr int Spell3 = 13;
constexpr int Spell2 = 14;
constexpr int Spell4 = 15;
constexpr int Spell1 = 16;
constexpr int SpikesSideways = 17;
constexpr int SpikesUpward = 18;
constexpr int RandomEnemy = 19;  // enemy type 0 or 1; 19 + n is enemy type n
}  // namespace Pickup

// Tile numbers with a meaning of their own (`tile` of a map cell).
namespace Tile {
constexpr int None = 0;          // nothing drawn
constexpr int Air = 1;           // empty; a cleared pickup cell becomes it
constexpr int LockedDoor = 19;   // passable while the key is held
constexpr int KeyTile = 20;      // touching it gives the key
constexpr int AltSheet = 48;     // touching it switches to the alternative figure sheet
constexpr int SliderMarker = 49;
constexpr int GoldAxe = 61;      // touching it: item 1, +10 throws
constexpr int FireAxe = 79;      // touching it: item 2, +10 throws
// Classes of tiles the physics tells apart.
inline constexpr int Ladders[] = {26, 29, 55, 80};
inline constexpr int SlopesA[] = {31, 33, 39, 74};     // rising to the right
inline constexpr int SlopesB[] = {32, 34, 40, 75};     // rising to the left
inline constexpr int Breakables[] = {2, 5, 6, 7, 9, 10};  // broken by the sword or a bomb
}  // namespace Tile

// Values of `TileKind`, by tile number, for the ground under the figure.
namespace TileKindOf {
constexpr int Plain = 0;
constexpr int Slope = 1;         // tiles 31..34, 39, 40, 74, 75
constexpr int Rough = 2;         // tiles 35..38, 41, 42, 76, 77
}  // namespace TileKindOf

// Layer codes of a map cell.
namespace Layer {
constexpr int NoBackUpTo = 101;  // a `back` up to this draws nothing
constexpr int OverlayBase = 200; // `over` up to this draws sprite over + OverlayBase
constexpr int NoFront = 2;       // `front` 2: no front picture
constexpr int Solid = 1;         // `front` 1: the cell takes part in collisions
}  // namespace Layer

// Result codes of the menus.
namespace MenuCode {
constexpr int Yes = Spr::YesArea;   // quit confirmation "Ja"
constexpr int No = Spr::NoArea;     // quit confirmation "Nein"
constexpr int TimeMatch = 425;
constexpr int Story = 426;
constexpr int FreeGame = 427;
constexpr int Easy = 428;
constexpr int Medium = 429;
constexpr int Hard = 430;
}  // namespace MenuCode

// ---------------------------------------------------------------------------------
// Pack tables: one row per pack entry in pack order ({entry, number, how, name}). An
// entry loaded into two numbers has two rows with the same entry.
enum class Load {
  Skip,     // read and discarded
  Plain,    // picture
  Texture,  // picture with the texture flag
  ThreeD,   // picture with the texture flag, made the 3D sprite of the same number
  Digits,   // one picture loaded ten times as number .. number + 9, each clipped to a digit
  Sound,    // sound effect
  Music,    // music track
};

struct PackRow {
  int entry;
  int number;
  Load how;
  const char* name;
};

inline constexpr PackRow ObjectsRows[] = {
    {0, Spr::TitlePicture, Load::Skip, "title picture (loaded early)"},
    {1, Spr::PausePicture, Load::Plain, "pause picture"},
    {2, Spr::FigureSheet, Load::Plain, "figure sheet"},
    {3, 0, Load::Skip, "spare sparkle"},
    {4, Spr::SmallFormSheet, Load::Plain, "small form"},
    {5, 0, Load::Skip, "spare chest"},
    {6, Spr::AltFigureSheet, Load::Plain, "alternative figure sheet"},
    {7, Spr::Sparkle, Load::ThreeD, "sparkle"},
    {8, Spr::OpenedDoor, Load::ThreeD, "opened door"},
    {9, Spr::TouchMask, Load::Plain, "touch mask"},
    {10, Spr::ShotDefault, Load::Plain, "shots Default"},
    {11, Spr::ShotGoldAxe, Load::Plain, "shots Goldaxt"},
    {12, Spr::ShotFireAxe, Load::Plain, "shots Feueraxt"},
    {13, Spr::EnemySheets + 0, Load::Plain, "enemy sheet 0"},
    {14, Spr::EnemySheets + 1, Load::Plain, "enemy sheet 1"},
    {15, Spr::EnemySheets + 2, Load::Plain, "enemy sheet 2"},
    {16, Spr::EnemySheets + 3, Load::Plain, "enemy sheet 3"},
    {17, Spr::SwordOverlay, Load::Plain, "sword overlay"},
    {18, Spr::Background, Load::Plain, "background"},
    {19, Spr::EnemySheets + 6, Load::Plain, "enemy sheet 6"},
    {20, Spr::EnemySheets + 7, Load::Plain, "enemy sheet 7"},
    {21, Spr::EnemySheets + 8, Load::Plain, "enemy sheet 8"},
    {22, Spr::OpenDoorCollision, Load::Plain, "open door collision"},
    {23, Spr::ExitDoor, Load::Plain, "exit door"},
    {24, Spr::Portal, Load::Plain, "portal"},
    {25, Spr::PortalFlash, Load::ThreeD, "portal flash"},
    {26, Spr::Chest, Load::Plain, "chest"},
    {27, Spr::Banner, Load::Plain, "banner"},
    {28, Spr::GuardianSpirit, Load::Texture, "guardian spirit"},
    {29, Spr::Guardian, Load::Texture, "guardian"},
    {30, Spr::SliderSheet, Load::Plain, "slider sheet"},
    {31, Spr::FetchSpell, Load::ThreeD, "fetch spell"},
    {32, Spr::BombSpell, Load::ThreeD, "bomb spell"},
    {33, Spr::TurnSpell, Load::ThreeD, "turn spell"},
    {34, Spr::ShieldAura, Load::ThreeD, "shield aura"},
    {35, Spr::ShieldAura + 1, Load::ThreeD, "shield aura 2"},
    {36, Spr::TurnAura, Load::ThreeD, "turn aura"},
    {37, Spr::TurnAura + 1, Load::ThreeD, "turn aura 2"},
    {38, Spr::FrostAura, Load::ThreeD, "frost aura"},
    {39, Spr::FrostAura + 1, Load::ThreeD, "frost aura 2"},
    {40, Spr::FireAura, Load::ThreeD, "fire aura"},
    {41, Spr::FireAura + 1, Load::ThreeD, "fire aura 2"},
    {42, Spr::FetchAura, Load::ThreeD, "fetch aura"},
    {43, Spr::FetchAura + 1, Load::ThreeD, "fetch aura 2"},
    {44, Spr::SpikesSideways, Load::Plain, "spikes sideways"},
    {45, Spr::SpikesUpward, Load::Plain, "spikes upward"},
    {46, Spr::ClimbSheet, Load::Plain, "climbing figure"},
    {47, Spr::BombSheet, Load::Plain, "bomb sheet"},
};

inline constexpr PackRow MenuRows[] = {
    {0, Spr::MenuBackground, Load::Plain, "menu background"},
    {1, Spr::MenuPanel, Load::Plain, "menu panel"},
    {2, Spr::PauseMenuPanel, Load::Plain, "pause menu panel"},
    {3, Spr::KeyRowBox, Load::Plain, "key row box"},
    {4, Spr::VolumeArea, Load::Plain, "volume area"},
    {5, Spr::VolumeKnob, Load::Plain, "volume knob"},
    {6, Spr::HighscoreBackground, Load::Plain, "highscore background"},
    {7, Spr::LargeButton, Load::Plain, "large button"},
    {8, Spr::SmallButton, Load::Plain, "small button"},
    {9, Spr::OptionsBackground, Load::Plain, "options background"},
    {10, Spr::YesArea, Load::Plain, "Ja area"},
    {11, Spr::NoArea, Load::Plain, "Nein area"},
    {12, Spr::Pointer, Load::Plain, "pointer"},
    {13, Spr::DialogPanel, Load::Plain, "dialog panel"},
    {14, Spr::SpareButton, Load::Plain, "spare button"},
    {15, Spr::SpareKnob, Load::Plain, "spare knob"},
};

inline constexpr PackRow InterfaceRows[] = {
    {0, Spr::HudPanel, Load::Plain, "HUD panel"},
    {1, Spr::HealthPip, Load::Plain, "health pip"},
    {2, Spr::ManaPip, Load::Plain, "mana pip"},
};

inline constexpr PackRow InventarRows[] = {
    {0, Spr::AxeIcon, Load::Plain, "axe icon"},
    {1, Spr::GoldAxeIcon, Load::Plain, "golden axe icon"},
    {2, Spr::SpareIcon, Load::Plain, "spare icon"},
    {3, Spr::ScrollIcon, Load::Plain, "scroll icon"},
    {4, Spr::AmmoStrip, Load::Plain, "ammunition strip"},
    {5, Spr::SmallDigits, Load::Digits, "small digits"},
    {6, Spr::LargeDigits, Load::Digits, "large digits"},
    {7, Spr::ScoreSeparator, Load::Plain, "score separator"},
};

inline constexpr PackRow SoundsRows[] = {
    {0, Snd::ScoreBonus, Load::Sound, "fanfare"},
    {1, Snd::Pickup, Load::Sound, "pickup"},
    {2, Snd::SwordSwing, Load::Sound, "sword swing"},
    {3, Snd::Click, Load::Sound, "clang"},
    {4, Snd::Door, Load::Sound, "door"},
    {5, Snd::Thud, Load::Sound, "thud"},
    {6, Snd::KeyFound, Load::Sound, "key jingle"},
    {7, Snd::Magic, Load::Sound, "magic"},
    {8, Snd::Respawn, Load::Sound, "whoosh"},
    {9, Snd::TurnHum, Load::Sound, "turn aura hum"},
    {10, Snd::ShieldHum, Load::Sound, "shield aura hum"},
    {11, Snd::Fall, Load::Sound, "fall"},
    {11, Snd::Death, Load::Sound, "death"},
    {12, Snd::Hurt, Load::Sound, "hurt"},
    {13, Snd::FrostHum, Load::Sound, "frost aura hum"},
    {14, Snd::FetchHum, Load::Sound, "fetch aura hum"},
    {15, Snd::BombFuse, Load::Sound, "bomb fuse"},
    {16, Snd::MusicForest, Load::Music, "music: forest"},
    {17, Snd::MusicCaves, Load::Music, "music: caves and castle"},
    {18, Snd::MusicMenu, Load::Music, "music: menu"},
    {19, Snd::MusicTower, Load::Music, "music: dark tower"},
    {20, Snd::MusicPass, Load::Music, "music: frozen pass"},
    {21, Snd::MusicTimeMatch, Load::Music, "music: time match"},
};

inline constexpr PackRow LightsRows[] = {
    {0, Spr::Darkness, Load::ThreeD, "darkness"},
    {1, Spr::AuraLight, Load::ThreeD, "aura light"},
    {2, Spr::SpellLight + 0, Load::ThreeD, "spell light, top left"},
    {3, Spr::SpellLight + 1, Load::ThreeD, "spell light, top right"},
    {4, Spr::SpellLight + 2, Load::ThreeD, "spell light, bottom left"},
    {5, Spr::SpellLight + 3, Load::ThreeD, "spell light, bottom right"},
    {6, Spr::FirstShade + 0, Load::ThreeD, "shade 6"},
    {7, Spr::FirstShade + 1, Load::ThreeD, "shade 7"},
    {8, Spr::FirstShade + 2, Load::ThreeD, "shade 8"},
    {9, Spr::FirstShade + 3, Load::ThreeD, "shade 9"},
    {10, Spr::FirstShade + 4, Load::ThreeD, "shade 10"},
    {11, Spr::SpareLights + 0, Load::ThreeD, "spare light 1"},
    {12, Spr::SpareLights + 1, Load::ThreeD, "spare light 2"},
    {13, Spr::SpareLights + 2, Load::ThreeD, "spare light 3"},
    {14, Spr::SpareLights + 3, Load::ThreeD, "spare light 4"},
    {15, Spr::SpareLights + 4, Load::ThreeD, "spare light 5"},
    {16, Spr::SpareLights + 5, Load::ThreeD, "spare light 6"},
    {17, Spr::SpareLights + 6, Load::ThreeD, "spare light 7"},
    {18, Spr::SpareLights + 7, Load::ThreeD, "spare light 8"},
    {19, Spr::SpareLights + 8, Load::ThreeD, "spare light 9"},
    {20, Spr::SpareLights + 9, Load::ThreeD, "spare light 10"},
    {21, Spr::SpareLights + 10, Load::ThreeD, "spare beam 1"},
    {22, Spr::SpareLights + 11, Load::ThreeD, "spare beam 2"},
};

// One pack: its file under "paks" and its rows.
struct PackTable {
  const char* file;
  const PackRow* rows;
  int rowCount;
};

template <size_t N>
constexpr PackTable MakePackTable(const char* file, const PackRow (&rows)[N]) {
  return PackTable{file, rows, int(N)};
}

inline constexpr PackTable ObjectsPak = MakePackTable("objects.pak", ObjectsRows);
inline constexpr PackTable MenuPak = MakePackTable("Menu.pak", MenuRows);
inline constexpr PackTable InterfacePak = MakePackTable("Interface.pak", InterfaceRows);
inline constexpr PackTable InventarPak = MakePackTable("Inventar.pak", InventarRows);
inline constexpr PackTable SoundsPak = MakePackTable("sounds.pak", SoundsRows);
inline constexpr PackTable LightsPak = MakePackTable("Lights.pak", LightsRows);

// The number of entries of a pack: one more than its last row's entry.
constexpr int EntryCount(const PackTable& t) { return t.rowCount == 0 ? 0 : t.rows[t.rowCount - 1].entry + 1; }

// The entry that holds a number, or -1 when the pack has none.
constexpr int EntryOf(const PackTable& t, int number) {
  for (int i = 0; i < t.rowCount; ++i)
    if (t.rows[i].number == number && number != 0) return t.rows[i].entry;
  return -1;
}

// Rows in entry order, every entry from 0 up present: what the loader's walk relies on.
constexpr bool RowsInOrder(const PackTable& t) {
  for (int i = 0; i < t.rowCount; ++i) {
    int expected = i == 0 ? 0 : t.rows[i - 1].entry;
    if (t.rows[i].entry != expected && t.rows[i].entry != expected + 1) return false;
    if (i == 0 && t.rows[i].entry != 0) return false;
  }
  return true;
}

static_assert(RowsInOrder(ObjectsPak) && EntryCount(ObjectsPak) == 48);
static_assert(RowsInOrder(MenuPak) && EntryCount(MenuPak) == 16);
static_assert(RowsInOrder(InterfacePak) && EntryCount(InterfacePak) == 3);
static_assert(RowsInOrder(InventarPak) && EntryCount(InventarPak) == 8);
static_assert(RowsInOrder(SoundsPak) && EntryCount(SoundsPak) == 22);
static_assert(RowsInOrder(LightsPak) && EntryCount(LightsPak) == 23);
static_assert(LightsPak.rowCount == EntryCount(LightsPak));  // LoadLights: a row per entry
// The early title is the first entry the loader reads.
static_assert(ObjectsRows[0].number == Spr::TitlePicture);

// Tiles.pak: per set 1..5 a pair of strips (entries 2 (set - 1) and 2 (set - 1) + 1),
// two spare entries, then the sheets of sets 1..5.
namespace TilesPak {
constexpr const char* File = "Tiles.pak";
constexpr int SetCount = 5;
constexpr int SpareEntries = 2;
constexpr int FirstSheet = 2 * SetCount + SpareEntries;
constexpr int Entries = FirstSheet + SetCount;
}  // namespace TilesPak

}  // namespace kw
