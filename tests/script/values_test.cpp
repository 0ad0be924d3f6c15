// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Script values: the 16-bit variables, the operand rules, calculations and comparisons,
// and the three built-in conditions.
#include <climits>
#include <limits>

#include "script_fixture.h"

namespace {

using kwtest::ScriptTest;

class ValuesTest : public ScriptTest {};

TEST_F(ValuesTest, SetValKeepsTheLow16Bits) {
  kw::SetVal("punkte", 40000);
  EXPECT_EQ(kw::GetVal("punkte"), -25536);
  kw::SetVal("punkte", 70000);
  EXPECT_EQ(kw::GetVal("punkte"), 4464);
  kw::SetVal("punkte", -40000);
  EXPECT_EQ(kw::GetVal("punkte"), 25536);
  EXPECT_EQ(kw::NumVars.Count(), 1);  // names are unique
  EXPECT_EQ(kw::GetVal("none"), 0);
  EXPECT_EQ(kw::VarExists("none"), 0);
  EXPECT_EQ(kw::VarExists("punkte"), 1);
  EXPECT_EQ(kw::VarExists("Punkte"), 0);  // exact, letter for letter
}

TEST_F(ValuesTest, NumberArgumentsWrapAs32Bits) {
  EXPECT_EQ(kw::ScriptNumber(" \t-12ab"), -12);
  EXPECT_EQ(kw::ScriptNumber("+7"), 7);
  EXPECT_EQ(kw::ScriptNumber("abc"), 0);
  EXPECT_EQ(kw::ScriptNumber(""), 0);
  EXPECT_EQ(kw::ScriptNumber("4294967297"), 1);
  EXPECT_EQ(kw::ScriptNumber("2147483648"), INT_MIN);
  // Twenty digits: wraps, never undefined.
  EXPECT_EQ(kw::ScriptNumber("99999999999999999999"), 1661992959);
}

TEST_F(ValuesTest, OperandIsANumberOnlyWhenItStartsWithADigit) {
  kw::SetVal("bonus", 3);
  kw::SetVal("-2", 9);
  EXPECT_EQ(kw::OperandValue("12ab"), 12);
  EXPECT_EQ(kw::OperandValue("bonus"), 3);
  EXPECT_EQ(kw::OperandValue("-2"), 9);  // a variable name, not minus two
  EXPECT_EQ(kw::OperandValue("x"), 0);
  EXPECT_EQ(kw::OperandValue(""), 0);
  EXPECT_EQ(kw::OperandValue("70000"), 70000);  // full width
}

TEST_F(ValuesTest, CalcRules) {
  kw::Calc("punkte", "=", "5");
  EXPECT_EQ(kw::VarExists("punkte"), 0);  // a calculation never creates a variable
  kw::SetVal("punkte", 10);
  kw::Calc("punkte", "+", "2x");
  EXPECT_EQ(kw::GetVal("punkte"), 12);
  kw::Calc("punkte", "+", "bonus");
  EXPECT_EQ(kw::GetVal("punkte"), 12);
  kw::Calc("punkte", "*", "-2");
  EXPECT_EQ(kw::GetVal("punkte"), 0);
  kw::SetVal("punkte", -7);
  kw::Calc("punkte", "/", "3");
  EXPECT_EQ(kw::GetVal("punkte"), -2);
  kw::Calc("punkte", "%", "3");
  EXPECT_EQ(kw::GetVal("punkte"), -2);
  kw::Calc("punkte", "-", "5");
  EXPECT_EQ(kw::GetVal("punkte"), -7);
  kw::Calc("punkte", "=", "70000");
  EXPECT_EQ(kw::GetVal("punkte"), 4464);
}

TEST_F(ValuesTest, DivisionByZeroAndHugeProductsAreSafe) {
  kw::SetVal("v", 1234);
  kw::Calc("v", "/", "0");
  EXPECT_EQ(kw::GetVal("v"), 1234);
  kw::Calc("v", "/", "nothing");
  EXPECT_EQ(kw::GetVal("v"), 1234);
  kw::SetVal("v", 32767);
  kw::Calc("v", "*", "99999999999999999999");  // a product past 32 bits wraps
  uint32_t w = 1661992959u;  // the twenty nines modulo 2^32
  EXPECT_EQ(kw::GetVal("v"), int16_t(uint16_t(32767u * w)));
  kw::SetVal("v", -32768);
  kw::Calc("v", "-", "2147483647");
  EXPECT_EQ(kw::GetVal("v"), int16_t(uint16_t(uint32_t(-32768) - 2147483647u)));
}

TEST_F(ValuesTest, CompareUsesTheStoredValueAgainstTheFullOperand) {
  kw::SetVal("punkte", 70000);
  EXPECT_EQ(kw::Compare("punkte", "=", "70000"), 0);
  EXPECT_EQ(kw::Compare("punkte", "=", "4464"), 1);
  EXPECT_EQ(kw::Compare("punkte", "<", "5000"), 1);
  EXPECT_EQ(kw::Compare("punkte", ">", "5000"), 0);
  EXPECT_EQ(kw::Compare("punkte", "<>", "2"), 1);
  EXPECT_EQ(kw::Compare("punkte", "==", "4464"), 0);
  EXPECT_EQ(kw::Compare("none", "=", "0"), 1);  // a missing variable compares 0
}

TEST_F(ValuesTest, TextVariablesAreSeparateAndCut) {
  kw::SetVal("held", 1);
  kw::SetStr("held", "alrik");
  kw::SetStr("held", "alrik2");
  ASSERT_NE(kw::FindTextVar("held"), nullptr);
  EXPECT_EQ(kw::FindTextVar("held")->text, "alrik2");
  EXPECT_EQ(kw::TextVars.Count(), 1);
  EXPECT_EQ(kw::GetVal("held"), 1);
  kw::SetStr("lang", std::string(40000, 'x'));
  EXPECT_EQ(kw::FindTextVar("lang")->text.size(), size_t(kw::MaxScriptText));
}

TEST_F(ValuesTest, PlayerOnTagLooksAtTheCellUnderTheReferencePoint) {
  kw::Map.At(3, 2).tagNo = 5;
  StandOn(3, 2);
  EXPECT_EQ(kw::PlayerOnTag(5), 1);
  EXPECT_EQ(kw::PlayerOnTag(4), 0);
  // posX = 316 - 30*3 is the cell's left edge; one pixel further left is column 4.
  kw::P().posX = 316 - 90;
  EXPECT_EQ(kw::PlayerOnTag(5), 1);
  kw::P().posX = 316 - 120 + 0.5f;
  EXPECT_EQ(kw::PlayerOnTag(5), 1);
  kw::P().posX = 316 - 120;
  EXPECT_EQ(kw::PlayerOnTag(5), 0);
}

TEST_F(ValuesTest, PlayerOnTagOutsideTheGridIsFalse) {
  kw::Map.At(0, 0).tagNo = 0;
  // Column 0 is x 301, row 0 is y -215: each case leaves the grid on one side only.
  for (auto [x, y] : {std::pair<float, float>{1e9f, -215}, {-1e9f, -215}, {301, 1e9f},
                      {301, -1e9f}, {316 + 31, -215}, {316 - 300, -215}, {301, 200}}) {
    kw::P().posX = x;
    kw::P().posY = y;
    EXPECT_EQ(kw::PlayerOnTag(0), 0) << x << " " << y;
  }
  kw::P().posX = 301;
  kw::P().posY = -215;
  EXPECT_EQ(kw::PlayerOnTag(0), 1);  // the same cell inside the grid
  kw::P().posX = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(kw::PlayerOnTag(0), 0);
}

TEST_F(ValuesTest, HaveItemSearchesSlots0To12WithLetterCase) {
  kw::Inventory[13].itemName = "ring";
  EXPECT_EQ(kw::HaveItem("ring"), 0);
  kw::Inventory[0].itemName = "ring";
  EXPECT_EQ(kw::HaveItem("ring"), 1);
  kw::Inventory[5].itemName = "Goldaxt";
  EXPECT_EQ(kw::HaveItem("goldaxt"), 0);
  EXPECT_EQ(kw::HaveItem("Leer"), 1);  // the empty slots' name
}

}  // namespace
