// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The script's values: numeric variables (16 bits, the only values a script computes
// with), text variables, the arithmetic statement, the comparison of an "if" and the
// built-in conditions. Called by the interpreter with texts from parsed statements.
// All arithmetic wraps as 32-bit two's complement, so no script text can reach
// undefined behaviour; the stored value then keeps its low 16 bits.
#include <cmath>

#include "script/script.h"

namespace kw {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The decimal value of the digits from position at, wrapping as 32 bits.
uint32_t LeadingDigits(const std::string& text, size_t at) {
  uint32_t value = 0;
  for (; at < text.size() && IsDigit(text[at]); ++at) value = value * 10u + uint32_t(text[at] - '0');
  return value;
}

NumVar* FindNumVar(const std::string& name) {
  for (NumVar& v : NumVars)
    if (v.name == name) return &v;
  return nullptr;
}

TextVar* TextVarNamed(const std::string& name) {
  for (TextVar& v : TextVars)
    if (v.name == name) return &v;
  return nullptr;
}

}  // namespace

int32_t ScriptNumber(const std::string& text) {
  size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  uint32_t value = LeadingDigits(text, at);
  return int32_t(negative ? 0u - value : value);
}

int VarExists(const std::string& name) { return FindNumVar(name) ? 1 : 0; }

int32_t GetVal(const std::string& name) {
  const NumVar* v = FindNumVar(name);
  return v ? v->value : 0;
}

// Creates the variable when needed; 40000 is stored as -25536, 70000 as 4464.
void SetVal(const std::string& name, int32_t value) {
  NumVar* v = FindNumVar(name);
  if (!v) {
    NumVars.Last();
    v = &NumVars.Add();
    v->name = name;
  }
  v->value = int16_t(uint16_t(uint32_t(value)));
}

const TextVar* FindTextVar(const std::string& name) { return TextVarNamed(name); }

// The text is cut to what the variable's buffer holds.
void SetStr(const std::string& name, const std::string& text) {
  TextVar* v = TextVarNamed(name);
  if (!v) {
    TextVars.Last();
    v = &TextVars.Add();
    v->name = name;
  }
  v->text = text.substr(0, MaxScriptText);
}

// A leading digit makes a number (its leading digits: "12ab" is 12); anything else is
// a variable name, so "-2" names a variable rather than minus two.
int32_t OperandValue(const std::string& operand) {
  if (!operand.empty() && IsDigit(operand[0])) return int32_t(LeadingDigits(operand, 0));
  return GetVal(operand);
}

// Never creates a variable. Division by zero leaves the value as it is.
void Calc(const std::string& name, const std::string& op, const std::string& operand) {
  if (!VarExists(name)) return;
  int32_t v = GetVal(name);
  int32_t w = OperandValue(operand);
  uint32_t result = uint32_t(v);
  if (op == "+") result = uint32_t(v) + uint32_t(w);
  else if (op == "-") result = uint32_t(v) - uint32_t(w);
  else if (op == "*") result = uint32_t(v) * uint32_t(w);
  else if (op == "/" && w != 0) result = uint32_t(int32_t(int64_t(v) / w));
  else if (op == "=") result = uint32_t(w);
  SetVal(name, int32_t(result));
}

// The stored 16-bit value against the operand at full width.
int Compare(const std::string& name, const std::string& op, const std::string& operand) {
  int32_t a = GetVal(name);
  int32_t b = OperandValue(operand);
  if (op == "=") return a == b;
  if (op == "<") return a < b;
  if (op == ">") return a > b;
  if (op == "<>") return a != b;
  return 0;
}

// The cell under the player's reference point (316, 230 on the screen); a point
// outside the grid stands on no tag.
int PlayerOnTag(int32_t tag) {
  const PlayerRecord& p = P();
  double col = std::trunc((316.0 - double(p.posX)) / CellSize);
  double row = std::trunc((double(p.posY) + FigureTop) / CellSize);
  if (!(col >= 0 && col <= Map.W && row >= 0 && row <= Map.H)) return 0;
  return Map.At(int(col), int(row)).tagNo == tag ? 1 : 0;
}

// Slots 0 to 12; slot 13 is not searched. Names are compared with their letter case.
int HaveItem(const std::string& name) {
  for (int i = 0; i <= 12; ++i)
    if (Inventory[size_t(i)].itemName == name) return 1;
  return 0;
}

}  // namespace kw
