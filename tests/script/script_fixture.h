// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The base of the script tests: a headless game with fresh lists, a small map grid and
// a game folder of its own, and helpers that parse script text and run it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/test_data.h"
#include "media/input_internal.h"
#include "script/script.h"

namespace kwtest {

class ScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartHeadlessMedia();
    kw::SetStartValues();
    kw::CreateGameLists();
    kw::ResetInput();
    folder.Use();
    kw::Map.Create(9, 5);  // columns 0..9, rows 0..5
  }

  // Writes the script (and the tag grid when given) and parses them.
  int Parse(const std::string& script, const std::string* tags = nullptr) {
    folder.WriteText(folder.game / "maps" / "t_Script.ssc", script);
    if (tags) folder.WriteText(folder.game / "maps" / "t_Script_Map.dat", *tags);
    return kw::ParseScript("maps\\t_Script.ssc", "maps\\t_Script_Map.dat");
  }

  // Parses a main script and runs it once.
  void RunMain(const std::string& script) {
    Parse(script);
    kw::RunScript(0);
  }

  // The statements of a list, in order.
  static std::vector<const kw::Statement*> Statements(kw::List<kw::Statement>& list) {
    std::vector<const kw::Statement*> out;
    for (const kw::Statement& s : list) out.push_back(&s);
    return out;
  }

  // Places the player's reference point on cell (col, row).
  static void StandOn(int col, int row) {
    kw::P().posX = float(316 - 30 * col - 15);
    kw::P().posY = float(30 * row + 15 - 230);
  }

  static std::string Arg(const kw::Statement& s, int i) { return kw::ScriptArg(s, i); }

  GameFolder folder;
};

}  // namespace kwtest
