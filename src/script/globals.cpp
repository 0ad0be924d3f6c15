// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Definitions and start values of the script state declared in script.h.
#include "script/script.h"

namespace kw {

// Whole run.
List<NumVar> NumVars;
List<TextVar> TextVars;
List<int32_t> CondStack;
List<Cutscene> Cutscenes;
std::array<InventorySlot, 14> Inventory;
std::string LastOutcry;
uint8_t CutscenePlaying;
int32_t CutsceneFrame;
Cutscene* CurrentCutscene;

// One map.
List<Statement> StartScript;
List<Statement> MainScript;

void ResetScriptRun() {
  NumVars.Clear();
  TextVars.Clear();
  CondStack.Clear();
  Cutscenes.Clear();
  Inventory.fill(InventorySlot{});
  LastOutcry.clear();
  CutscenePlaying = 0;
  CutsceneFrame = 0;
  CurrentCutscene = nullptr;
}

void CreateScriptLists() {
  StartScript.Clear();
  MainScript.Clear();
  NumVars.Clear();
  TextVars.Clear();
  Cutscenes.Clear();
  CutscenePlaying = 0;
  CurrentCutscene = nullptr;
}

void ClearScriptLists() {
  StartScript.Clear();
  MainScript.Clear();
}

}  // namespace kw
