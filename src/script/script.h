// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Script and cutscenes: the per-map script parser, values and conditions, the
// interpreter and its commands, and the picture cutscenes. Called by the map loader
// (ParseScript), the map start (RunScript(1)), the frame loop (RunScript(0),
// CutsceneStep). Builds on play: commands set the player record, portals, cells and
// the switches that the play code reads.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "play/play.h"

namespace kw {

// ---------------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------------

// Highest argument index a statement keeps (arguments are numbered from 1).
constexpr int MaxScriptArgs = 254;
// Most characters a text variable holds (its buffer ends with a NUL).
constexpr int MaxScriptText = 31999;
// Most statements one script file adds; the rest of a larger file is dropped.
constexpr int MaxScriptStatements = 20000;

// One parsed script statement. arg holds indexes 0..m only, m the highest argument
// the statement was given; every index beyond reads as the empty text (ScriptArg).
struct Statement {
  int32_t kind = 0;  // 0 plain, 1 if, 2 else, 3 endif, 4 for, 5 next
  std::string command;
  std::vector<std::string> arg;
};

// A numeric script variable: 16 bits of value.
struct NumVar {
  std::string name;
  int16_t value = 0;
};

// A text script variable, at most MaxScriptText characters.
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

// A loaded cutscene. picture 0 and sound -1 mean none. What a cutscene loaded is freed
// when it ends (released = 1); playing it again loads its pack entries anew.
struct Cutscene {
  std::string name;
  int32_t picture = 0;
  std::string text;
  int32_t sound = -1;
  int32_t frames = 0;
  int32_t color = 0;
  int32_t pictureEntry = 0;  // the "Picture" value: entry pair in cutscenes.pak
  int32_t soundWanted = -1;  // the "Sound" value: -1 = the cutscene has no sound
  int32_t released = 0;      // 1 once its picture and sound were freed
  int32_t inLastPlay = 0;    // 1 when the name's last play started it
};

// The parser's states that carry from line to line (and across ":") while one script
// file is read. list is where the line's statements go, current the one that receives
// characters (null once MaxScriptStatements is reached).
struct ScriptScan {
  int inBlock = 0;
  int inParens = 0;
  int argIndex = 0;
  int collecting = 0;
  int added = 0;  // statements added so far
  List<Statement>* list = nullptr;
  Statement* current = nullptr;
};

// ---------------------------------------------------------------------------------
// Whole run
// ---------------------------------------------------------------------------------
extern List<NumVar> NumVars;               // script numeric variables, never emptied in play
extern List<TextVar> TextVars;             // script text variables, never emptied in play
extern List<int32_t> CondStack;            // open "if" results, shared by every list and map
extern List<Cutscene> Cutscenes;           // loaded cutscenes, only grows
extern std::array<InventorySlot, 14> Inventory;  // script inventory
extern std::string LastOutcry;    // last "outcry" text
extern uint8_t CutscenePlaying;   // a cutscene replaces play
extern int32_t CutsceneFrame;     // picture row of the cutscene, never reset
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
// Start values of one map: empties the two statement lists of the map script (where a
// map begins, before its script is read).
void ClearScriptLists();

// ---------------------------------------------------------------------------------
// Procedures
// ---------------------------------------------------------------------------------

// Parser (parser.cpp).
// Reads the tag grid into the cells' tagNo and appends the statements to StartScript
// and MainScript. 1 when the script file was read, 0 when it could not be opened.
int ParseScript(const std::string& scriptPath, const std::string& tagGridPath);
// Reads the tag grid into the cells' tagNo (all 0 when the file is missing).
void ReadTagGrid(const std::string& tagGridPath);
// One line of a script file as read (before lower-casing), with the scan states of the
// file; used by ParseScript and by the authors' tool.
void ParseScriptLine(ScriptScan& scan, const std::string& rawLine);
// Lower-cases A-Z and the Latin-1 capitals 0xC0..0xDE.
std::string ScriptLowerCase(std::string text);
// Strips blanks (0x20 only) at both ends.
std::string StripBlanks(const std::string& text);
// The text of argument i of a statement ("" when it has none).
const std::string& ScriptArg(const Statement& s, int i);

// Values and conditions (values.cpp).
// A number argument: leading blanks and tabs, a sign, digits; wraps as 32 bits.
int32_t ScriptNumber(const std::string& text);
int VarExists(const std::string& name);
int32_t GetVal(const std::string& name);
void SetVal(const std::string& name, int32_t value);
void SetStr(const std::string& name, const std::string& text);
// The text variable of that name, null when there is none.
const TextVar* FindTextVar(const std::string& name);
int32_t OperandValue(const std::string& operand);
void Calc(const std::string& name, const std::string& op, const std::string& operand);
int Compare(const std::string& name, const std::string& op, const std::string& operand);
int PlayerOnTag(int32_t tag);
int HaveItem(const std::string& name);

// Interpreter (interpreter.cpp, commands.cpp, choice.cpp).
// which = 1 runs StartScript, 0 runs MainScript.
int RunScript(int which);
// The first three blank-separated words of a statement text, each stripped of blanks.
std::array<std::string, 3> ScriptWords(const std::string& cmd);
// Runs the command of that name; false when no command has that name.
bool RunScriptCommand(const std::string& name, const Statement& s);
// Whether a command of that name exists, and how many arguments it takes.
bool IsScriptCommand(const std::string& name, int* argCount = nullptr);
// The "choice" command: shows the three lines and waits for a key; the typed digit.
int WaitForChoice(const std::string& text1, const std::string& text2, const std::string& text3);
// The box of a waiting question: the player's three message lines and the keys to press.
void DrawChoiceBox();

// Cutscenes (cutscenes.cpp).
// Loads the cutscene of that name from cutscenes.ini and cutscenes.pak.
int LoadCutscene(const std::string& name);
// Starts the loaded cutscene of that name.
int PlayCutscene(const std::string& name);
// One frame of the playing cutscene.
int CutsceneStep();
// Draws frame CutsceneFrame of the cutscene's picture strip and its text lines.
void DrawCutsceneFrame(const Cutscene& c);
// Frees the picture and sound of every loaded cutscene of that name.
void ReleaseCutscene(const std::string& name);

}  // namespace kw
