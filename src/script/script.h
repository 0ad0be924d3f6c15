// Script and cutscenes: the per-map script parser, values and conditions, the
// interpreter and the picture cutscenes. Called by the map loader (ParseScript), the
// map start (RunScript(1)), the frame loop (RunScript(0), CutsceneStep). Builds on play.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "play/play.h"

namespace kw {

// ---------------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------------

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

// One slot of the script's inventory.
struct InventorySlot {
  int16_t sprite = 0;
  std::string itemName;
  int32_t price = 0;
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

// ---------------------------------------------------------------------------------
// Whole run
// ---------------------------------------------------------------------------------
extern List<NumVar> NumVars;               // script numeric variables
extern List<TextVar> TextVars;             // script text variables
extern List<int32_t> CondStack;            // open "if" results, shared by every list and map
extern List<int32_t> LoopStack;            // loop positions of the script
extern List<Cutscene> Cutscenes;           // loaded cutscenes, only grows
extern std::array<InventorySlot, 14> Inventory;  // script inventory
extern std::string LastOutcry;    // last "outcry" text
extern uint8_t CutscenePlaying;   // a cutscene replaces play
extern int32_t CutsceneFrame;     // picture row of the cutscene
extern Cutscene* CurrentCutscene; // the cutscene being shown

// ---------------------------------------------------------------------------------
// One map
// ---------------------------------------------------------------------------------
extern List<Statement> StartScript;  // statements inside "{ ... }"
extern List<Statement> MainScript;   // all other statements

// Start values of the whole run (program start; tests call it in SetUp).
void ResetScriptRun();
// Creates the empty lists of the script subsystem and the cutscene list.
void CreateScriptLists();
// Empties the two statement lists of the map script (at map end).
void ClearScriptLists();

// ---------------------------------------------------------------------------------
// Procedures
// ---------------------------------------------------------------------------------

// Reads the tag grid into the cells' tagNo and appends the statements to StartScript
// and MainScript.
int ParseScript(const std::string& scriptPath, const std::string& tagGridPath);
// which = 1 runs StartScript, 0 runs MainScript.
int RunScript(int which);
// One frame of the playing cutscene.
int CutsceneStep();
// Loads the cutscene of that name from cutscenes.ini and cutscenes.pak.
int LoadCutscene(const std::string& name);
// Starts the loaded cutscene of that name.
int PlayCutscene(const std::string& name);

}  // namespace kw
