// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The script reader: the line parser's rules and examples, the tag grid, and files
// that are damaged or far too large.
#include "script_fixture.h"

namespace {

using kwtest::ScriptTest;

class ParserTest : public ScriptTest {};

TEST_F(ParserTest, ExamplesOfTheLineParser) {
  ASSERT_EQ(Parse("IF HaveItem(Goldaxt)\r\nsetval(punkte,5): outcry(fertig,0,1) ; Ende\r\n"), 1);
  auto main = Statements(kw::MainScript);
  ASSERT_EQ(main.size(), 3u);
  EXPECT_EQ(main[0]->kind, 1);
  EXPECT_EQ(main[0]->command, " haveitem");
  EXPECT_EQ(Arg(*main[0], 1), "goldaxt");
  EXPECT_EQ(Arg(*main[0], 0), "");
  EXPECT_EQ(main[1]->command, "setval");
  EXPECT_EQ(Arg(*main[1], 1), "punkte");
  EXPECT_EQ(Arg(*main[1], 2), "5");
  EXPECT_EQ(main[2]->kind, 0);
  EXPECT_EQ(main[2]->command, " outcry ");
  EXPECT_EQ(Arg(*main[2], 1), "fertig");
  EXPECT_EQ(Arg(*main[2], 2), "0");
  EXPECT_EQ(Arg(*main[2], 3), "1");
  EXPECT_EQ(Arg(*main[2], 4), "");
  EXPECT_TRUE(kw::StartScript.Empty());
}

TEST_F(ParserTest, BracesCountOnlyAsWordsOfTheirOwn) {
  Parse("{\n"
        "outcry(a,0,1)\n"
        "}\n"
        "{ outcry(hallo,0,1)\n"
        "} next\n"
        "{ if haveitem(goldaxt)\n"
        "}\n"
        "{outcry(x,0,1)\n");
  auto start = Statements(kw::StartScript);
  auto main = Statements(kw::MainScript);
  ASSERT_EQ(start.size(), 4u);
  EXPECT_EQ(start[0]->command, "");  // the "{" line itself
  EXPECT_EQ(start[1]->command, "outcry");
  EXPECT_EQ(start[2]->command, " outcry");
  // A keyword after a brace is not seen, so this is a plain statement.
  EXPECT_EQ(start[3]->kind, 0);
  EXPECT_EQ(start[3]->command, " if haveitem");
  ASSERT_EQ(main.size(), 4u);
  EXPECT_EQ(main[0]->command, "");
  EXPECT_EQ(main[1]->kind, 0);
  EXPECT_EQ(main[1]->command, " next");
  EXPECT_EQ(main[3]->command, "{outcry");  // no blank after the brace: no block
}

TEST_F(ParserTest, AnOpenBraceSendsTheRestOfTheFileToTheStartBlock) {
  Parse("a\n{\nb\nc\n");
  EXPECT_EQ(kw::MainScript.Count(), 1);
  EXPECT_EQ(kw::StartScript.Count(), 3);
}

TEST_F(ParserTest, KeywordsGiveKindsAndAreTakenOutEvenInsideWords) {
  Parse("if gift = 1\nelse\nendif\nfor i = 1 to 9\nnext\nnext nextval\nendifx\n");
  auto main = Statements(kw::MainScript);
  ASSERT_EQ(main.size(), 7u);
  EXPECT_EQ(main[0]->kind, 1);
  EXPECT_EQ(main[0]->command, " gt = 1");
  EXPECT_EQ(main[1]->kind, 2);
  EXPECT_EQ(main[1]->command, "");
  EXPECT_EQ(main[2]->kind, 3);
  EXPECT_EQ(main[2]->command, "");
  EXPECT_EQ(main[3]->kind, 4);
  EXPECT_EQ(main[3]->command, " i = 1 to 9");
  EXPECT_EQ(main[4]->kind, 5);
  EXPECT_EQ(main[5]->command, " val");
  EXPECT_EQ(main[6]->kind, 0);  // the first word must be the keyword itself
  EXPECT_EQ(main[6]->command, "endifx");
}

TEST_F(ParserTest, ScanStatesCarryAcrossColonsAndLines) {
  Parse("outcry(a:b,0,1)\nsetval(x,\ny)\nz\n");
  auto main = Statements(kw::MainScript);
  ASSERT_EQ(main.size(), 5u);
  EXPECT_EQ(main[0]->command, "outcry");
  EXPECT_EQ(Arg(*main[0], 1), "a");
  EXPECT_EQ(main[1]->command, "");
  EXPECT_EQ(Arg(*main[1], 1), "b");
  EXPECT_EQ(Arg(*main[1], 2), "0");
  EXPECT_EQ(Arg(*main[1], 3), "1");
  // The open parenthesis carries the next line into the third argument.
  EXPECT_EQ(main[2]->command, "setval");
  EXPECT_EQ(Arg(*main[2], 1), "x");
  EXPECT_EQ(main[3]->command, "");
  EXPECT_EQ(Arg(*main[3], 2), "y");
  EXPECT_EQ(main[4]->command, "z");
}

TEST_F(ParserTest, CommaOutsideParenthesesAndCommentsAreDropped) {
  Parse("a,b(c,d);e(f)\n; whole line\n");
  auto main = Statements(kw::MainScript);
  ASSERT_EQ(main.size(), 2u);
  EXPECT_EQ(main[0]->command, "ab");
  EXPECT_EQ(Arg(*main[0], 2), "d");
  EXPECT_EQ(main[0]->arg.size(), 3u);
  EXPECT_EQ(main[1]->command, "");
}

TEST_F(ParserTest, LinesAreLowerCasedAndStrippedOfBlanksOnly) {
  Parse("  OUTCRY(\xC4RGER\xDE\xDF\xC0,0,1)  \n\tTab here\t\n");
  auto main = Statements(kw::MainScript);
  ASSERT_EQ(main.size(), 2u);
  EXPECT_EQ(main[0]->command, "outcry");
  EXPECT_EQ(Arg(*main[0], 1), "\xE4rger\xFE\xDF\xE0");
  EXPECT_EQ(main[1]->command, "\ttab here\t");
}

TEST_F(ParserTest, EndMarkerAndEmptyLinesAreSkippedButReadingGoesOn) {
  Parse("a\r\n\r\n   \r\n###EOF###\r\n###Eof###\rb\rc\n");
  auto main = Statements(kw::MainScript);
  ASSERT_EQ(main.size(), 3u);
  EXPECT_EQ(main[1]->command, "b");
  EXPECT_EQ(main[2]->command, "c");
}

TEST_F(ParserTest, MoreThan254ArgumentsKeepTheFirst254) {
  std::string line = "f(";
  for (int i = 1; i <= 400; ++i) line += (i > 1 ? "," : "") + std::to_string(i);
  Parse(line + ")\n");
  const kw::Statement& s = *kw::MainScript.begin();
  EXPECT_EQ(Arg(s, 1), "1");
  EXPECT_EQ(Arg(s, 254), "254");
  EXPECT_EQ(Arg(s, 255), "");
  EXPECT_LE(s.arg.size(), 255u);
  EXPECT_EQ(s.command, "f");
}

TEST_F(ParserTest, HugeFilesAreBoundedInStatements) {
  // Every ":" would be a statement; the reader stops adding at its limit.
  Parse(std::string(3 * kw::MaxScriptStatements, ':') + "\n" + std::string(100000, ',') + "\n");
  EXPECT_EQ(kw::MainScript.Count(), kw::MaxScriptStatements);
}

TEST_F(ParserTest, ListsOnlyGrowAndAMissingScriptLeavesThemAsTheyAre) {
  Parse("a\n");
  Parse("b\n");
  EXPECT_EQ(kw::MainScript.Count(), 2);
  EXPECT_EQ(kw::ParseScript("maps\\none_Script.ssc", "maps\\none.dat"), 0);
  EXPECT_EQ(kw::MainScript.Count(), 2);
  kw::ClearScriptLists();
  EXPECT_TRUE(kw::MainScript.Empty());
}

TEST_F(ParserTest, TagGridIsReadRowByRowAndSignExtended) {
  kw::Map.Create(2, 1);  // 3 columns, 2 rows
  std::string tags = {1, 2, 3, 4, 5, char(0xFF)};
  Parse("", &tags);
  EXPECT_EQ(kw::Map.At(0, 0).tagNo, 1);
  EXPECT_EQ(kw::Map.At(2, 0).tagNo, 3);
  EXPECT_EQ(kw::Map.At(0, 1).tagNo, 4);
  EXPECT_EQ(kw::Map.At(2, 1).tagNo, -1);
  // Without a tag grid every tag is 0 again.
  std::error_code ec;
  std::filesystem::remove(folder.game / "maps" / "t_Script_Map.dat", ec);
  Parse("");
  EXPECT_EQ(kw::Map.At(0, 0).tagNo, 0);
  EXPECT_EQ(kw::Map.At(2, 1).tagNo, 0);
}

TEST_F(ParserTest, AShortTagGridReadsZeroForTheMissingCells) {
  kw::Map.Create(3, 3);
  std::string tags = {7, 7};
  Parse("", &tags);
  EXPECT_EQ(kw::Map.At(1, 0).tagNo, 7);
  EXPECT_EQ(kw::Map.At(2, 0).tagNo, 0);
  EXPECT_EQ(kw::Map.At(3, 3).tagNo, 0);
}

}  // namespace
