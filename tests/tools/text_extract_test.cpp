// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The game data's texts for the translation template: what the scripts show, taken as the
// game's parser reads them, the cutscenes' Text keys and the enemies' names, each once with
// every place it comes from, and written as a PO template.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/temp_folders.h"
#include "textextract.h"

namespace {

namespace fs = std::filesystem;

std::string EnemyEntry(int id, const std::string& name) {
  return "[" + std::to_string(id) + "]\n-1\n10\n0\n" + name + "\n0\n0\n57\n38\n0\n0\n3\n2\n-----\n";
}

TEST(TextExtract, ScriptsCutscenesAndEnemyNamesGiveTheirShownTextsWithTheirPlaces) {
  kwtest::TempFolders folders{"kw_text_extract"};
  const fs::path dir = folders.root / "data";
  kwtest::TempFolders::Put(dir / "maps" / "b" / "map1_Script.ssc",
                           "; outcry(ein kommentar,0,1)\n"
                           "{\n"
                           "outcry(Hallo Welt,0,1)\n"
                           "}\n"
                           "if playerontag(1)\n"
                           "choice(Eins,Zwei,Drei,wahl) : outcry( Größer ,255,1)\n"
                           "createportal(1,2,3,tor,4,5,Drücke \"Return\")\n"
                           "setstr(name,nicht gezeigt)\n"
                           "endif\n");
  kwtest::TempFolders::Put(dir / "maps" / "a" / "map2_Script.ssc", "outcry(hallo welt,0,1)\r\n");
  kwtest::TempFolders::Put(dir / "cutscenes.ini",
                           "[eins]\nPicture=0\nText = Zeile eins\\Zeile zwei \nText=nicht diese\n"
                           "[zwei]\n; Text=kommentar\ntext=Drei\n");
  kwtest::TempFolders::Put(dir / "Gegner.ini", EnemyEntry(0, "Krähe") + EnemyEntry(1, "Golem"));

  std::vector<kwgen::GameDataText> texts;
  std::string error;
  ASSERT_TRUE(kwgen::ExtractGameTexts(dir.string(), texts, error)) << error;
  const std::string d = dir.string();
  struct Want {
    std::string text;
    std::vector<std::string> places;
  };
  // Scripts in name order: a/ before b/; the parser lower-cases and keeps blanks.
  const Want want[] = {
      {"hallo welt", {d + "/maps/a/map2_Script.ssc:1", d + "/maps/b/map1_Script.ssc:3"}},
      {"eins", {d + "/maps/b/map1_Script.ssc:6"}},
      {"zwei", {d + "/maps/b/map1_Script.ssc:6"}},
      {"drei", {d + "/maps/b/map1_Script.ssc:6"}},
      {" gr\xF6\xDF" "er ", {d + "/maps/b/map1_Script.ssc:6"}},
      {"dr\xFC" "cke \"return\"", {d + "/maps/b/map1_Script.ssc:7"}},
      {"Zeile eins\\Zeile zwei", {d + "/cutscenes.ini:3"}},
      {"Drei", {d + "/cutscenes.ini:7"}},
      {"Kr\xE4he", {d + "/Gegner.ini:5"}},
      {"Golem", {d + "/Gegner.ini:19"}},
  };
  ASSERT_EQ(texts.size(), std::size(want));
  for (size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(texts[i].text, want[i].text) << i;
    EXPECT_EQ(texts[i].places, want[i].places) << i;
    EXPECT_FALSE(texts[i].note.empty()) << i;
  }

  const std::string pot = kwgen::GameTextsTemplate(texts);
  EXPECT_NE(pot.find("charset=UTF-8"), std::string::npos);
  EXPECT_NE(pot.find("#: " + d + "/maps/a/map2_Script.ssc:1\n#: " + d + "/maps/b/map1_Script.ssc:3\n"
                     "msgid \"hallo welt\"\nmsgstr \"\"\n"),
            std::string::npos)
      << pot;
  EXPECT_NE(pot.find("msgid \"dr\xC3\xBC" "cke \\\"return\\\"\"\n"), std::string::npos) << pot;
  EXPECT_NE(pot.find("msgid \"Zeile eins\\\\Zeile zwei\"\n"), std::string::npos) << pot;
  EXPECT_NE(pot.find("msgid \"Kr\xC3\xA4he\"\n"), std::string::npos) << pot;

  fs::remove(dir / "Gegner.ini");
  EXPECT_FALSE(kwgen::ExtractGameTexts(dir.string(), texts, error));
  EXPECT_NE(error.find("Gegner.ini"), std::string::npos) << error;
}

}  // namespace
