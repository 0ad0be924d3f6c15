// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The script interpreter: runs the start block once when a map begins and the main
// script once in every pass of play. Scripts have no jumps: an "if" pushes its result
// onto CondStack and a statement runs only while every open result is true. The stack
// is shared by both lists and survives frames and maps, so an "if" without its "endif"
// hides everything after it from then on; that is how existing scripts behave.
#include "script/script.h"

namespace kw {

namespace {

constexpr int32_t KindIf = 1, KindElse = 2, KindEndif = 3;

// The innermost open "if" flips (else) or closes (endif); an empty stack is left alone.
void FlipTop() {
  if (!CondStack.Last()) return;
  int32_t& top = *CondStack.Current();
  top = top == 1 ? 0 : 1;
}

void PopTop() {
  if (!CondStack.Last()) return;
  CondStack.Delete();
}

// The condition of an "if": a comparison when the first word names a numeric
// variable, else one of the three built-in conditions; anything else is false.
int32_t Condition(const std::string& cmd, const std::array<std::string, 3>& w,
                  const Statement& s) {
  if (VarExists(w[0])) return Compare(w[0], w[1], w[2]);
  if (cmd == "playerontag") return PlayerOnTag(ScriptNumber(ScriptArg(s, 1)));
  if (cmd == "haveitem") return HaveItem(ScriptArg(s, 1));
  if (cmd == "varexist") return VarExists(ScriptArg(s, 1));
  return 0;
}

// The gate: every open condition must be true.
bool GateOpen() {
  for (int32_t c : CondStack)
    if (c != 1) return false;
  return true;
}

// One statement, steps 1..9.
void RunStatement(const Statement& s, bool startBlock) {
  std::string cmd = StripBlanks(ScriptLowerCase(s.command));
  if (cmd.empty() && s.kind != KindElse && s.kind != KindEndif) return;
  // The start block leaves its last statement text on the message line.
  if (startBlock && !cmd.empty()) P().message = cmd;
  if (s.kind == KindElse) FlipTop();
  if (s.kind == KindEndif) PopTop();
  std::array<std::string, 3> w = ScriptWords(cmd);
  // Pushed even where the "if" itself does not run, so its "endif" pops its own entry.
  if (s.kind == KindIf) {
    CondStack.Last();
    CondStack.Add(Condition(cmd, w, s));
  }
  if (!GateOpen()) return;
  RunScriptCommand(cmd, s);
  // Every statement that runs is also an arithmetic statement ("punkte + 1").
  if (VarExists(w[0])) Calc(w[0], w[1], w[2]);
}

}  // namespace

// Cut at single blanks: two blanks in a row make an empty word.
std::array<std::string, 3> ScriptWords(const std::string& cmd) {
  std::array<std::string, 3> w;
  size_t from = 0;
  for (std::string& word : w) {
    if (from > cmd.size()) break;
    size_t blank = cmd.find(' ', from);
    size_t end = blank == std::string::npos ? cmd.size() : blank;
    word = StripBlanks(cmd.substr(from, end - from));
    from = blank == std::string::npos ? cmd.size() + 1 : blank + 1;
  }
  return w;
}

int RunScript(int which) {
  List<Statement>& list = which == 1 ? StartScript : MainScript;
  for (const Statement& s : list) RunStatement(s, which == 1);
  return 0;
}

}  // namespace kw
