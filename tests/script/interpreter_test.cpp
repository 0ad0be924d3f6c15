// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The interpreter: the start block's message, the condition stack with its gate, the
// arithmetic step, and every command of the table on the state it sets.
#include "common/contrast.h"
#include "common/pictures.h"
#include "script_fixture.h"

namespace {

using kwtest::ScriptTest;

class InterpreterTest : public ScriptTest {};

TEST_F(InterpreterTest, StartBlockLeavesItsLastStatementTextAsMessage) {
  Parse("{\nsetval(a,1)\n  Nonsense Here  \n\n}\nsetval(b,2)\n");
  kw::RunScript(1);
  EXPECT_EQ(kw::P().message, "nonsense here");
  EXPECT_EQ(kw::GetVal("a"), 1);
  EXPECT_EQ(kw::VarExists("b"), 0);
  // The main script does not touch the message.
  kw::RunScript(0);
  EXPECT_EQ(kw::P().message, "nonsense here");
  EXPECT_EQ(kw::GetVal("b"), 2);
}

TEST_F(InterpreterTest, OutcryInTheStartBlockReplacesTheCommandText) {
  Parse("{\noutcry(.,0,1)\noutcry(willkommen,255,1)\n}\n");
  kw::RunScript(1);
  EXPECT_EQ(kw::P().message, "willkommen");
  EXPECT_EQ(kw::P().textColor, 255);
}

TEST_F(InterpreterTest, NestedIfsWithElse) {
  RunMain("setval(a,1)\nsetval(b,0)\n"
          "if a = 1\n"
          "  if b = 1\n    setval(r1,1)\n  else\n    setval(r2,1)\n  endif\n"
          "  setval(r3,1)\n"
          "else\n  setval(r4,1)\n"
          "endif\n"
          "setval(r5,1)\n");
  EXPECT_EQ(kw::VarExists("r1"), 0);
  EXPECT_EQ(kw::GetVal("r2"), 1);
  EXPECT_EQ(kw::GetVal("r3"), 1);
  EXPECT_EQ(kw::VarExists("r4"), 0);
  EXPECT_EQ(kw::GetVal("r5"), 1);
  EXPECT_TRUE(kw::CondStack.Empty());
}

TEST_F(InterpreterTest, AnIfInAHiddenPartIsStillPushedAndPopped) {
  RunMain("if x = 1\nif 1 = 1\nsetval(r1,1)\nelse\nsetval(r2,1)\nendif\nendif\nsetval(r3,1)\n");
  EXPECT_EQ(kw::VarExists("r1"), 0);
  EXPECT_EQ(kw::VarExists("r2"), 0);  // the inner else flips only the inner entry
  EXPECT_EQ(kw::GetVal("r3"), 1);
}

TEST_F(InterpreterTest, AnOpenFalseIfHidesEverythingInLaterFramesAndMaps) {
  Parse("{\nsetval(s,0)\n}\nsetval(n,1)\nif s = 1\nsetval(m,1)\n");
  kw::RunScript(1);
  kw::RunScript(0);
  EXPECT_EQ(kw::CondStack.Count(), 1);
  kw::SetVal("n", 0);
  kw::RunScript(0);  // the next frame: even the first statement is hidden now
  EXPECT_EQ(kw::GetVal("n"), 0);
  EXPECT_EQ(kw::CondStack.Count(), 2);
  kw::ClearScriptLists();
  Parse("{\nsetval(t,1)\n}\n");
  kw::RunScript(1);  // a new map's start block
  EXPECT_EQ(kw::VarExists("t"), 0);
  // Else and endif still work on the stack when hidden.
  RunMain("endif\nendif\nsetval(u,1)\n");
  EXPECT_EQ(kw::GetVal("u"), 1);
}

TEST_F(InterpreterTest, ElseAndEndifOnAnEmptyStackDoNothing) {
  RunMain("else\nendif\nsetval(a,1)\n");
  EXPECT_EQ(kw::GetVal("a"), 1);
  EXPECT_TRUE(kw::CondStack.Empty());
}

TEST_F(InterpreterTest, BuiltInConditions) {
  kw::Inventory[4].itemName = "goldaxt";
  kw::SetVal("da", 0);
  Parse("if playerontag(3)\nsetval(r1,1)\nendif\n"
          "if playerontag(4)\nsetval(r2,1)\nendif\n"
          "if haveitem(goldaxt)\nsetval(r3,1)\nendif\n"
          "if varexist(da)\nsetval(r4,1)\nendif\n"
          "if varexist(weg)\nsetval(r5,1)\nendif\n"
          "if unsinn(1)\nsetval(r6,1)\nendif\n");
  kw::Map.At(2, 3).tagNo = 3;  // after the parse, which reads the (missing) tag grid
  StandOn(2, 3);
  kw::RunScript(0);
  EXPECT_EQ(kw::GetVal("r1"), 1);
  EXPECT_EQ(kw::VarExists("r2"), 0);
  EXPECT_EQ(kw::GetVal("r3"), 1);
  EXPECT_EQ(kw::GetVal("r4"), 1);
  EXPECT_EQ(kw::VarExists("r5"), 0);
  EXPECT_EQ(kw::VarExists("r6"), 0);
}

TEST_F(InterpreterTest, ConditionOnTagRunsInEveryFrame) {
  Parse("if playerontag(3)\ngive(0,0,0,10)\nendif\n");
  kw::Map.At(2, 3).tagNo = 3;
  StandOn(2, 3);
  kw::RunScript(0);
  kw::RunScript(0);
  EXPECT_EQ(kw::P().score, 20);
  StandOn(3, 3);
  kw::RunScript(0);
  EXPECT_EQ(kw::P().score, 20);
}

TEST_F(InterpreterTest, EveryStatementThatRunsIsAlsoACalculation) {
  Parse("setval(punkte,5)\npunkte + 1\n");
  kw::RunScript(0);
  EXPECT_EQ(kw::GetVal("punkte"), 6);
  Parse("");  // nothing new; run the same list again
  kw::ClearScriptLists();
  Parse("punkte + 1\n");
  kw::RunScript(0);
  kw::RunScript(0);
  EXPECT_EQ(kw::GetVal("punkte"), 8);
  // An if of the form "x = 5" that is true assigns 5 again; comparisons leave it.
  RunMain("if punkte > 3\nendif\n");
  EXPECT_EQ(kw::GetVal("punkte"), 9);  // the earlier "punkte + 1" still runs first
  // "for i = 1 to 9" only assigns 1 to an existing i.
  kw::ClearScriptLists();
  kw::SetVal("i", 7);
  RunMain("for i = 1 to 9\nnext\nfor j = 1 to 9\n");
  EXPECT_EQ(kw::GetVal("i"), 1);
  EXPECT_EQ(kw::VarExists("j"), 0);
}

TEST_F(InterpreterTest, OutcryShowsATextOnce) {
  Parse("outcry(hallo,300,1)\n");
  kw::RunScript(0);
  EXPECT_EQ(kw::P().message, "hallo");
  EXPECT_EQ(kw::P().textColor, 300);
  EXPECT_EQ(kw::LastOutcry, "hallo");
  kw::P().message = "gone";
  kw::MessageTimer = 9;
  kw::RunScript(0);
  EXPECT_EQ(kw::P().message, "gone");
  EXPECT_EQ(kw::MessageTimer, 9);
  RunMain("outcry(andere,0,1)\n");  // both statements run: hallo, then andere
  EXPECT_EQ(kw::P().message, "andere");
  EXPECT_EQ(kw::MessageTimer, 0);
  kw::ClearScriptLists();
  RunMain("outcry(neu,0,0)\noutcry(,0,1)\noutcry(x,70000,2)\n");
  EXPECT_EQ(kw::P().message, "andere");
  RunMain("");
  kw::ClearScriptLists();
  RunMain("outcry(y,70000,1)\n");
  EXPECT_EQ(kw::P().textColor, 4464);  // 16-bit colour
}

TEST_F(InterpreterTest, ItemsGoToSlot12AndDeletItemSkipsSlot0) {
  RunMain("giveitem(5, schwert)\n");
  EXPECT_EQ(kw::Inventory[12].sprite, 5);
  EXPECT_EQ(kw::Inventory[12].itemName, " schwert");  // text arguments keep blanks
  EXPECT_EQ(kw::HaveItem("schwert"), 0);
  kw::ClearScriptLists();
  RunMain("giveitem(70001,amulett)\n");
  EXPECT_EQ(kw::Inventory[12].sprite, 4465);
  EXPECT_EQ(kw::Inventory[12].itemName, "amulett");
  kw::Inventory[0].itemName = "amulett";
  kw::Inventory[3].itemName = "amulett";
  kw::ClearScriptLists();
  RunMain("deletitem(amulett)\n");
  EXPECT_EQ(kw::Inventory[0].itemName, "amulett");
  EXPECT_EQ(kw::Inventory[3].itemName, "leer");
  EXPECT_EQ(kw::Inventory[3].sprite, 312);
  EXPECT_EQ(kw::Inventory[3].price, 99999999);
  EXPECT_EQ(kw::Inventory[12].itemName, "amulett");  // only the first is emptied
  // The slot giveitem fills is the last one deletitem looks at: a given item can be taken.
  kw::ClearScriptLists();
  RunMain("deletitem(amulett)\n");
  EXPECT_EQ(kw::Inventory[12].itemName, "leer");
  EXPECT_EQ(kw::Inventory[12].sprite, 312);
}

TEST_F(InterpreterTest, PlayerCommands) {
  kw::P().speedX = 3;
  kw::P().speedY = 4;
  kw::P().health = 50;
  kw::P().mana = 10;
  kw::P().score = 32767;
  RunMain("teleportto(39,17)\ngive(10,-3,-20,1)\nnextlevel\n");
  EXPECT_FLOAT_EQ(kw::P().posX, 360 - 30 * 39);
  EXPECT_FLOAT_EQ(kw::P().posY, 30 * 17 - 230);
  EXPECT_EQ(kw::P().speedX, 0);
  EXPECT_EQ(kw::P().speedY, 0);
  EXPECT_FLOAT_EQ(kw::P().health, 60);
  EXPECT_EQ(kw::P().giveCounter, -3);
  EXPECT_FLOAT_EQ(kw::P().mana, -10);
  EXPECT_EQ(kw::P().score, -32768);  // 16-bit
  EXPECT_EQ(kw::P().mapDone, 1);
  kw::ClearScriptLists();
  RunMain("teleportto(99999999999,-2147483648)\n");  // far away, but no overflow
  EXPECT_TRUE(std::isfinite(kw::P().posX));
  EXPECT_TRUE(std::isfinite(kw::P().posY));
}

TEST_F(InterpreterTest, CellCommandsInsideTheGrid) {
  RunMain("createtag(2,3,70001)\ncreatefield(4,5,7,8,9,10)\ndeletfield(1,1)\n");
  EXPECT_EQ(kw::Map.At(2, 3).tagNo, 4465);  // signed 16-bit
  const kw::MapCell& c = kw::Map.At(4, 5);
  EXPECT_EQ(c.pickup, 7);
  EXPECT_EQ(c.back, 8);
  EXPECT_EQ(c.tile, 9);
  EXPECT_EQ(c.over, 10);
  const kw::MapCell& d = kw::Map.At(1, 1);
  EXPECT_EQ(d.back + d.tile + d.over + d.pickup, 4);
  kw::ClearScriptLists();
  RunMain("createtag(0,0,-1)\ndelettag(2,3)\n");
  EXPECT_EQ(kw::Map.At(0, 0).tagNo, -1);
  EXPECT_EQ(kw::Map.At(2, 3).tagNo, 0);
}

TEST_F(InterpreterTest, CellCommandsOutsideTheGridDoNothing) {
  std::vector<kw::MapCell> before = kw::Map.cells;
  RunMain("createtag(10,0,5)\ncreatetag(0,6,5)\ncreatetag(-1,0,5)\ncreatetag(0,40000,5)\n"
          "delettag(-5,-5)\ndeletfield(100,100)\ncreatefield(10,5,1,1,1,1)\n"
          "createfield(9,-1,1,1,1,1)\n");
  for (size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(kw::Map.cells[i].tagNo, before[i].tagNo) << i;
    EXPECT_EQ(kw::Map.cells[i].tile, before[i].tile) << i;
  }
  // Column 65536 is column 0 as a 16-bit number, so this one lands inside.
  kw::ClearScriptLists();
  RunMain("createtag(65536,0,5)\n");
  EXPECT_EQ(kw::Map.At(0, 0).tagNo, 5);
}

TEST_F(InterpreterTest, PortalsByTheirId) {
  RunMain("createportal(1,17,86,felstor,17,92,dr\xfc""cke return)\n"
          "createportal(2,1,2,b,3,4,zwei)\ncreateportal(1,5,6,c,7,8,noch eins)\n");
  ASSERT_EQ(kw::Portals.Count(), 3);
  const kw::Portal& p = *kw::Portals.begin();
  EXPECT_EQ(p.id, 1);
  EXPECT_EQ(p.row, 17);
  EXPECT_EQ(p.col, 86);
  EXPECT_EQ(p.text, "felstor");
  EXPECT_EQ(p.targetRow, 17);
  EXPECT_EQ(p.targetCol, 92);
  EXPECT_EQ(p.portalMessage, "dr\xfc""cke return");
  EXPECT_EQ(p.active, 1);
  kw::ClearScriptLists();
  RunMain("disableportal(1)\n");
  std::vector<int> active;
  for (const kw::Portal& q : kw::Portals) active.push_back(q.active);
  EXPECT_EQ(active, (std::vector<int>{0, 1, 0}));
  kw::ClearScriptLists();
  RunMain("aktivateportal(1)\ndeleteportal(1)\ndeleteportal(9)\n");
  std::vector<int> left;
  for (const kw::Portal& q : kw::Portals) left.push_back(q.row * (q.active ? 1 : -1));
  EXPECT_EQ(left, (std::vector<int>{1, 5}));  // only the first portal of id 1 went
}

TEST_F(InterpreterTest, SwitchesWeatherAndTileset) {
  kw::WeatherSprite = 431;
  RunMain("changewather(3,5)\ndisablegegnerspawn\nsettileset(5)\n");
  EXPECT_EQ(kw::WeatherSprite, 431);
  EXPECT_EQ(kw::WeatherAmount, 5);
  EXPECT_EQ(kw::EnemySpawnOff, 1);
  EXPECT_EQ(kw::TileSet, "5");
  EXPECT_EQ(kw::ReloadTiles, 1);
  kw::ClearScriptLists();
  RunMain("changewather(2,99999999)\naktivategegnerspawn\nspawnobject(1,2,3)\n");
  EXPECT_EQ(kw::WeatherSprite, 432);
  EXPECT_EQ(kw::WeatherAmount, kw::MaxWeatherParticles);
  EXPECT_EQ(kw::EnemySpawnOff, 0);
  kw::ClearScriptLists();
  RunMain("changewather(1,0)\n");
  EXPECT_EQ(kw::WeatherSprite, 431);
}

TEST_F(InterpreterTest, ValuesUnknownCommandsAndMissingArguments) {
  RunMain("setval(a,12x)\nsetstr(t,hallo welt)\nsetval(b)\nunbekannt(1,2)\nsetval(,3)\n");
  EXPECT_EQ(kw::GetVal("a"), 12);
  EXPECT_EQ(kw::FindTextVar("t")->text, "hallo welt");
  EXPECT_EQ(kw::GetVal("b"), 0);
  EXPECT_EQ(kw::GetVal(""), 3);
}

// A question's three answers and its keys are drawn in a box of their own: over any
// picture the message and boss lines above stay as they were, and the answers read on
// the box's black at 7:1 at least.
TEST_F(InterpreterTest, AChoiceBoxLeavesTheMessageLineAloneAndReadsOnAnyPicture) {
  kw::LoadFontFace(1, "Argor Flahm Scaqh", 10, kw::FontItalic | kw::FontHighQuality);
  kw::PlayerRecord& p = kw::P();
  p.message = "1. die t\xFCr mit dem schl\xFCssel \xF6" "ffnen";
  p.message2 = "2. erst rasten";
  p.message3 = "3. weiter suchen";
  for (int background : {kw::Rgb(255, 255, 255), kw::Rgb(20, 60, 20), kw::Rgb(1, 11, 141), 0}) {
    kw::ClearBackBuffer(background);
    kw::BeginText();
    kw::SelectFont(1);
    kw::SetTextBackgroundColour(0);
    kw::DrawTextAt(25, 12, "eine alte Meldung", kw::Rgb(255, 127, 0));  // what the last frame left
    kw::EndText();
    std::vector<uint32_t> top(kw::BackBuffer(), kw::BackBuffer() + 70 * kw::ScreenWidth);
    kw::DrawChoiceBox();
    EXPECT_TRUE(std::equal(top.begin(), top.end(), kw::BackBuffer())) << "the top lines were drawn over";
    // Each answer's row and the prompt's: ink that reads, and between the first and the
    // last ink of a row the box's black, never the picture.
    int rows = 0;
    uint32_t picture = kw::ColourToPixel(background);
    for (int y = 70; y < 480; y += 2) {
      int first = -1, last = -1;
      for (int x = 0; x < 640; ++x)
        if (kwtest::Screen(x, y) != picture && kwtest::PixelContrastToBlack(kwtest::Screen(x, y)) >= 7)
          (first < 0 ? first : last) = x;
      if (first < 0 || last < 0) continue;
      ++rows;
      for (int x = first; x <= last && background != 0; ++x)
        ASSERT_NE(kwtest::Screen(x, y), picture) << "the picture shows through at " << x << ", " << y;
    }
    EXPECT_GE(rows, 4 * 4) << "four lines of readable ink";
  }
}

}  // namespace
