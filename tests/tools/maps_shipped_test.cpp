// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Checks over the shipped map sources, scripts and ini files under gamedata/: they
// compile, are playable at their ends, and together use every feature of the game.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "common/contrast.h"
#include "mapbuild.h"
#include "maptext.h"
#include "media/textutil.h"

namespace {

namespace fs = std::filesystem;
using kwmap::MapSource;

const fs::path GameData = fs::path(KW_SOURCE_DIR) / "gamedata";

struct ShippedMap {
  std::string name;  // "story/map3"
  MapSource source;
  std::string script;  // the script source, lower-cased
};

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

std::vector<ShippedMap> LoadMaps() {
  std::vector<ShippedMap> maps;
  for (const char* mode : {"free", "story", "timematch"}) {
    for (const auto& entry : fs::directory_iterator(GameData / "maps" / mode)) {
      if (entry.path().extension() != ".kwm") continue;
      ShippedMap m;
      m.name = std::string(mode) + "/" + entry.path().stem().string();
      std::string text, error;
      EXPECT_TRUE(kwmap::ReadFileBytes(entry.path().string(), text));
      EXPECT_TRUE(kwmap::TextToMap(text, m.source, error)) << m.name << ": " << error;
      const fs::path script = entry.path().parent_path() / (entry.path().stem().string() + "_Script.ssc");
      EXPECT_TRUE(kwmap::ReadFileBytes(script.string(), m.script)) << script;
      m.script = Lower(m.script);
      maps.push_back(std::move(m));
    }
  }
  std::sort(maps.begin(), maps.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  return maps;
}

const std::vector<ShippedMap>& Maps() {
  static const std::vector<ShippedMap> maps = LoadMaps();
  return maps;
}

const ShippedMap& Find(const std::string& name) {
  for (const ShippedMap& m : Maps())
    if (m.name == name) return m;
  static const ShippedMap none;
  ADD_FAILURE() << "no map " << name;
  return none;
}

int Header(const ShippedMap& m, int line) { return kw::ParseInt(m.source.map.header[line - 1]); }

bool IsLadder(int tile) { return tile == 26 || tile == 29 || tile == 55 || tile == 80; }

// A cell the figure stands on or bumps into.
bool Solid(const kwmap::MapFile& map, int col, int row) {
  const int tile = map.At(kwmap::Tile, col, row);
  return tile > 1 && map.At(kwmap::Front, col, row) == 1 && !IsLadder(tile);
}

TEST(ShippedMaps, EnoughMapsOfEveryMode) {
  int counts[3] = {};
  for (const ShippedMap& m : Maps()) counts[m.name[0] == 'f' ? 0 : m.name[0] == 's' ? 1 : 2]++;
  EXPECT_GE(counts[0], 4);
  EXPECT_GE(counts[1], 5);
  EXPECT_GE(counts[2], 2);
  for (int n = 1; n <= 5; ++n) EXPECT_EQ(Find("story/map" + std::to_string(n)).name.empty(), false);
}

// Size, header values, closed edges, a free start with ground below, a reachable exit.
TEST(ShippedMaps, HeadersStartAndExitArePlayable) {
  for (const ShippedMap& m : Maps()) {
    SCOPED_TRACE(m.name);
    const kwmap::MapFile& map = m.source.map;
    EXPECT_GE(map.width, 80);
    EXPECT_LE(map.width, 160);
    EXPECT_GE(map.height, 14);
    EXPECT_LE(map.height, 30);
    EXPECT_GE(Header(m, 9), 1);
    EXPECT_LE(Header(m, 9), 5);
    EXPECT_GE(Header(m, 10), 0);
    EXPECT_LE(Header(m, 10), 4);
    for (int row = 0; row < map.height; ++row) {
      EXPECT_TRUE(Solid(map, 0, row)) << "left edge row " << row;
      EXPECT_TRUE(Solid(map, map.width - 1, row)) << "right edge row " << row;
    }
    // The figure (42 x 58) at world x 300 + RespawnX, top RespawnY + 230.
    const int x = 300 + Header(m, 12), top = Header(m, 11) + 230;
    const int col = x / 30, firstRow = top / 30, lastRow = (top + 57) / 30;
    ASSERT_GT(col, 0);
    ASSERT_LT(col + 1, map.width - 1);
    ASSERT_GE(firstRow, 1);
    ASSERT_LT(lastRow + 1, map.height);
    for (int row = firstRow; row <= lastRow; ++row)
      for (int c = col; c <= (x + 41) / 30; ++c) EXPECT_FALSE(Solid(map, c, row)) << "start in a wall";
    int ground = lastRow + 1;
    while (ground < map.height && !Solid(map, col, ground)) ++ground;
    EXPECT_LE(ground, lastRow + 1) << "no ground right under the start";
    const int exitCol = Header(m, 13), exitRow = Header(m, 14);
    ASSERT_GT(exitCol, 0);
    ASSERT_LT(exitCol, map.width - 1);
    ASSERT_GT(exitRow, 0);
    ASSERT_LT(exitRow + 1, map.height);
    EXPECT_FALSE(Solid(map, exitCol, exitRow));
    EXPECT_TRUE(Solid(map, exitCol, exitRow + 1)) << "the exit is not on the ground";
  }
}

TEST(ShippedMaps, StoryMapsFollowTheStory) {
  const int tileSets[] = {1, 3, 4, 2, 5};
  for (int n = 1; n <= 5; ++n) EXPECT_EQ(Header(Find("story/map" + std::to_string(n)), 9), tileSets[n - 1]);
  EXPECT_EQ(Find("story/map1").source.map.header[7].substr(0, 2), "2/");
  EXPECT_EQ(Find("story/map4").source.map.header[7].substr(0, 2), "1/");
  EXPECT_GT(Header(Find("story/map5"), 3), 0);
  for (const char* name : {"timematch/map1", "timematch/map2"}) EXPECT_GE(Header(Find(name), 7), 60) << name;
  // The boss lives on story map 5.
  const auto& pickups5 = Find("story/map5").source.map.cells[kwmap::Pickup];
  EXPECT_NE(std::find(pickups5.begin(), pickups5.end(), 24), pickups5.end());
}

// The guardian of story map 3 is drawn at world x 2404 and floats at y 90 .. 240 + its
// height: the figure meets it walking on a floor near y 300. The arena beyond is open.
TEST(ShippedMaps, CastleHasFloorAtTheGuardianAndAnOpenArena) {
  const kwmap::MapFile& map = Find("story/map3").source.map;
  ASSERT_GT(map.width, 126);
  for (int col = 76; col <= 84; ++col) {
    int floor = 1;
    while (floor < map.height && !Solid(map, col, floor)) ++floor;
    EXPECT_GE(floor * 30, 270) << "column " << col;
    EXPECT_LE(floor * 30, 330) << "column " << col;
  }
  for (int col = 92; col <= 125; ++col)
    for (int row = 1; row < 9; ++row)
      EXPECT_FALSE(map.At(kwmap::Tile, col, row) > 1 && map.At(kwmap::Tile, col, row) != 11 &&
                   Solid(map, col, row)) << "arena blocked at " << col << "," << row;
}

TEST(ShippedMaps, TogetherUseEveryCellFeature) {
  std::set<int> pickups, tiles;
  bool vertical = false, horizontal = false;
  for (const ShippedMap& m : Maps()) {
    const kwmap::MapFile& map = m.source.map;
    for (int row = 0; row < map.height; ++row) {
      for (int col = 0; col < map.width; ++col) {
        const int pickup = map.At(kwmap::Pickup, col, row), tile = map.At(kwmap::Tile, col, row);
        pickups.insert(pickup);
        tiles.insert(tile);
        const bool moves = map.At(kwmap::VRange, col, row) || map.At(kwmap::HRange, col, row);
        if (moves) {
          SCOPED_TRACE(m.name + " moving cell " + std::to_string(col) + "," + std::to_string(row));
          EXPECT_GT(tile, 1);
          EXPECT_EQ(map.At(kwmap::Front, col, row), 1) << "the player could not stand on it";
          vertical = vertical || map.At(kwmap::VRange, col, row);
          horizontal = horizontal || map.At(kwmap::HRange, col, row);
        }
        if (pickup == 12) {  // a slider needs a marker on either side in its rows
          bool left = false, right = false;
          for (int r = row; r <= row + 1; ++r)
            for (int c = 0; c < map.width; ++c)
              if (map.At(kwmap::Tile, c, r) == 49) (c < col ? left : right) = true;
          EXPECT_TRUE(left && right) << m.name << " slider at " << col << "," << row;
        }
        if (pickup >= 19 || pickup == 17 || pickup == 18) {
          EXPECT_FALSE(Solid(map, col, row)) << m.name;
        }
      }
    }
  }
  EXPECT_TRUE(vertical);
  EXPECT_TRUE(horizontal);
  for (int code : {1, 2, 3, 4, 5, 6, 7, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25})
    EXPECT_TRUE(pickups.count(code)) << "pickup " << code;
  for (int tile : {19, 20, 26, 48, 49, 61, 79}) EXPECT_TRUE(tiles.count(tile)) << "tile " << tile;
  auto any = [&](std::initializer_list<int> set) {
    return std::any_of(set.begin(), set.end(), [&](int t) { return tiles.count(t) > 0; });
  };
  EXPECT_TRUE(any({31, 33, 39, 74})) << "slope rising right";
  EXPECT_TRUE(any({32, 34, 40, 75})) << "slope rising left";
  EXPECT_TRUE(any({2, 5, 6, 7, 9, 10})) << "breakable block";
}

// Statements of a script as the game's parser cuts them: command and argument texts.
struct Statement {
  std::string keyword, command;
  std::vector<std::string> args;
  int line;
};

std::vector<Statement> Statements(const std::string& script) {
  std::vector<Statement> out;
  std::istringstream in(script);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line = line.substr(0, line.find(';'));
    std::istringstream words(line);
    std::string first;
    words >> first;
    Statement s{"", "", {}, number};
    if (first == "if" || first == "else" || first == "endif") {
      s.keyword = first;
      line = line.substr(line.find(first) + first.size());
    }
    bool inParens = false;
    for (char c : line) {
      if (c == '(') inParens = true, s.args.emplace_back();
      else if (c == ')') inParens = false;
      else if (c == ',' && inParens) s.args.emplace_back();
      else if (c == ':') out.push_back(s), s = Statement{"", "", {}, number};
      else if (inParens) s.args.back() += c;
      else s.command += c;
    }
    const size_t a = s.command.find_first_not_of(' ');
    s.command = a == std::string::npos ? "" : s.command.substr(a, s.command.find_last_not_of(' ') - a + 1);
    out.push_back(s);
  }
  return out;
}

TEST(ShippedScripts, UseEveryCommandAndCondition) {
  const std::set<std::string> commands = {
      "choice", "spawnobject", "giveitem", "loadcutscene", "playcutscene", "unloadcutscene",
      "nextlevel", "deletitem", "teleportto", "outcry", "delettag", "createtag", "deletfield",
      "createfield", "settileset", "changewather", "createportal", "deleteportal",
      "disablegegnerspawn", "aktivategegnerspawn", "disableportal", "aktivateportal", "give",
      "setval", "setstr"};
  std::set<std::string> seen;
  std::set<std::string> ops;
  for (const ShippedMap& m : Maps()) {
    SCOPED_TRACE(m.name);
    EXPECT_NE(m.script.find("\n{"), std::string::npos);
    EXPECT_NE(m.script.find("\n}"), std::string::npos);
    EXPECT_NE(m.script.find("###eof###"), std::string::npos);
    int depth = 0;
    std::set<std::string> vars;
    for (const Statement& s : Statements(m.script)) {
      if (commands.count(s.command)) seen.insert(s.command);
      if (s.keyword == "if") {
        ++depth;
        const auto words = [&] { std::vector<std::string> w; std::istringstream i(s.command); std::string x; while (i >> x) w.push_back(x); return w; }();
        if (words.size() == 3) ops.insert(words[1]), seen.insert("if compare");
        else seen.insert("if " + s.command);
        if (s.command == "playerontag") {
          // The tag tested is in the tag grid or created by the script.
          const int tag = kw::ParseInt(s.args.at(0));
          const bool inGrid = std::count(m.source.tags.begin(), m.source.tags.end(), tag) > 0;
          const bool created = m.script.find("," + std::to_string(tag) + ")") != std::string::npos;
          EXPECT_TRUE(inGrid || created) << "tag " << tag << " line " << s.line;
        }
      }
      if (s.keyword == "else") seen.insert("else");
      if (s.keyword == "endif") --depth, seen.insert("endif");
      EXPECT_GE(depth, 0) << "line " << s.line;
      if (s.command == "setval") vars.insert(s.args.at(0));
      const size_t blank = s.command.find(' ');
      if (s.keyword.empty() && blank != std::string::npos && s.args.empty()) {
        EXPECT_TRUE(vars.count(s.command.substr(0, blank))) << "arithmetic on an unset variable, line " << s.line;
        seen.insert("arithmetic");
      }
      if (s.command == "outcry") {
        EXPECT_EQ(s.args.size(), 3u) << "line " << s.line;
        EXPECT_EQ(s.args.back(), "1") << "outcry without its once flag, line " << s.line;
      }
    }
    EXPECT_EQ(depth, 0) << "if without endif";
  }
  for (const std::string& c : commands) EXPECT_TRUE(seen.count(c)) << c;
  for (const char* c : {"if compare", "if playerontag", "if haveitem", "if varexist", "else", "endif", "arithmetic"})
    EXPECT_TRUE(seen.count(c)) << c;
  for (const char* op : {"=", "<", ">", "<>"}) EXPECT_TRUE(ops.count(op)) << "comparison " << op;
}

// Every message a script shows reads on the black box of the message line: its colour
// (kept in 16 bits, as the player record holds it) reaches 7:1 against black. So do the
// cutscenes' text colours, over their pictures' dark text band.
TEST(ShippedScripts, MessagesReadOnTheBlackBox) {
  int messages = 0;
  for (const ShippedMap& m : Maps())
    for (const Statement& s : Statements(m.script)) {
      if (s.command != "outcry" || s.args.size() < 2) continue;
      const int16_t colour = int16_t(kw::ParseInt(s.args[1]));
      EXPECT_GT(colour, 0) << m.name << ":" << s.line << ": no colour of its own";
      EXPECT_GE(kwtest::ColourContrastToBlack(colour), 7.0) << m.name << ":" << s.line << ": colour " << colour;
      ++messages;
    }
  EXPECT_GT(messages, 40);
  std::string ini;
  ASSERT_TRUE(kwmap::ReadFileBytes((GameData / "cutscenes.ini").string(), ini));
  int scenes = 0;
  for (size_t at = ini.find("Color="); at != std::string::npos; at = ini.find("Color=", at + 1), ++scenes)
    EXPECT_GE(kwtest::ColourContrastToBlack(kw::ParseInt(ini.substr(at + 6))), 7.0) << ini.substr(at, 20);
  EXPECT_EQ(scenes, 3);
}

// The parser deletes a keyword wherever it stands in the line: an "if" line must hold no
// other copy of a keyword, and texts may hold no , : ; ( ) of their own.
TEST(ShippedScripts, LinesSurviveTheParser) {
  for (const ShippedMap& m : Maps()) {
    std::istringstream in(m.script);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::string code = line.substr(0, line.find(';'));
      std::istringstream words(code);
      std::string first;
      words >> first;
      if (first == "if") {
        std::string rest = code.substr(code.find("if") + 2);
        for (const char* k : {"if", "else", "endif", "for", "next"})
          EXPECT_EQ(rest.find(k), std::string::npos) << m.name << ":" << number << ": " << line;
      }
      EXPECT_EQ(std::count(code.begin(), code.end(), '('), std::count(code.begin(), code.end(), ')'))
          << m.name << ":" << number;
      EXPECT_EQ(code.find(':'), std::string::npos) << m.name << ":" << number;
    }
  }
}

TEST(ShippedScripts, StoryMapsPlayTheirCutscenes) {
  std::string ini;
  ASSERT_TRUE(kwmap::ReadFileBytes((GameData / "cutscenes.ini").string(), ini));
  const std::pair<const char*, const char*> scenes[] = {
      {"story/map1", "aufbruch"}, {"story/map3", "waechter"}, {"story/map5", "finale"}};
  for (const auto& [map, scene] : scenes) {
    const std::string& script = Find(map).script;
    EXPECT_NE(script.find(std::string("loadcutscene(") + scene + ")"), std::string::npos) << map;
    EXPECT_NE(script.find(std::string("\nplaycutscene(") + scene + ")"), std::string::npos) << map;
    EXPECT_NE(ini.find(std::string("[") + scene + "]"), std::string::npos) << scene;
  }
  EXPECT_NE(ini.find("[aufbruch]\nPicture=0\nFrames=3\nSound=1\n"), std::string::npos);
  EXPECT_NE(ini.find("[waechter]\nPicture=1\nFrames=2\nSound=1\n"), std::string::npos);
  EXPECT_NE(ini.find("[finale]\nPicture=2\nFrames=3\nSound=1\n"), std::string::npos);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

TEST(ShippedIni, EnemyTypesMatchTheWorld) {
  std::string text;
  ASSERT_TRUE(kwmap::ReadFileBytes((GameData / "Gegner.ini").string(), text));
  const auto lines = Lines(text);
  ASSERT_EQ(lines.size(), 7u * 14);
  // name, moveKind, spriteOffset, frame w, h, hitPoints, speed, points, nextType, boss
  struct Type { const char* name; int move, offset, w, h, hp, speed, points, next, boss; };
  const Type types[] = {
      {"Waldwicht", 0, 0, 38, 57, 3, 2, 10, -1, 0},  {"Fledermaus", 1, 1, 40, 30, 1, 2, 15, -1, 0},
      {"Krähe", 3, 2, 40, 30, 1, 3, 15, -1, 0},      {"Steingolem", 0, 3, 44, 58, 6, 1, 20, 4, 0},
      {"Steinwicht", 0, 6, 30, 30, 2, 3, 10, -1, 0}, {"Schattenfürst", 0, 7, 60, 80, 20, 1, 500, -1, 1},
      {"Eisgeist", 3, 8, 36, 36, 2, 2, 25, -1, 0}};
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(types[i].name);
    const std::string* e = &lines[size_t(i) * 14];
    auto num = [&](int line) { return kw::ParseInt(e[line - 1]); };
    EXPECT_EQ(e[0], "[" + std::to_string(i) + "]");
    EXPECT_EQ(num(2), types[i].next);
    EXPECT_EQ(num(3), types[i].points);
    EXPECT_EQ(num(4), types[i].boss);
    EXPECT_EQ(e[4], types[i].name);
    EXPECT_EQ(num(7), types[i].move);
    EXPECT_EQ(num(8), types[i].h);
    EXPECT_EQ(num(9), types[i].w);
    EXPECT_EQ(num(10), 0);
    EXPECT_EQ(num(11), types[i].offset);
    EXPECT_EQ(num(12), types[i].hp);
    EXPECT_EQ(num(13), types[i].speed);
  }
}

TEST(ShippedIni, SetupHoldsVolumeAndTwentyKeysInOrder) {
  std::string text;
  ASSERT_TRUE(kwmap::ReadFileBytes((GameData / "Setup.ini").string(), text));
  const std::vector<std::string> expected = {
      "volumen=80", "abbruch=1", "Pause=25", "Speichern=63", "Laden=67", "Neustart=88",
      "Bild_hoch=201", "Bild_runter=209", "Text_minus=51", "Text_plus=52", "runter=208",
      "hoch=200", "links=203", "rechts=205", "sprung=57", "Schwert=45", "Kugel=46",
      "Zauber1=30", "Zauber2=31", "Zauber3=32", "Zauber4=33"};
  EXPECT_EQ(Lines(text), expected);
}

// The build writes Latin-1 with CR LF, the tag grid beside each map, and the same bytes
// as the text form compiles to.
TEST(MapBuild, WritesTheGameFolder) {
  const fs::path game = fs::path(KW_BINARY_DIR) / "mapbuild_test_game";
  fs::remove_all(game);
  std::string error;
  ASSERT_TRUE(kwgen::BuildMapsAndTexts(GameData.string(), game.string(), error)) << error;
  for (const ShippedMap& m : Maps()) {
    const std::string mode = m.name.substr(0, m.name.find('/'));
    const fs::path folder = game / (mode == "free" ? "maps" : mode == "story" ? "maps/Story" : "maps/TimeMatch");
    const std::string stem = m.name.substr(m.name.find('/') + 1);
    std::string map, tags, script;
    ASSERT_TRUE(kwmap::ReadFileBytes((folder / (stem + ".map")).string(), map)) << m.name;
    ASSERT_TRUE(kwmap::ReadFileBytes((folder / (stem + "_Script_Map.dat")).string(), tags));
    ASSERT_TRUE(kwmap::ReadFileBytes((folder / (stem + "_Script.ssc")).string(), script));
    EXPECT_EQ(map, kwmap::WriteMapBytes(m.source.map));
    EXPECT_EQ(tags.size(), size_t(m.source.map.width) * m.source.map.height);
    for (size_t i = 0; i < script.size(); ++i)
      if (script[i] == '\n') {
        ASSERT_TRUE(i > 0 && script[i - 1] == '\r') << m.name << " bare LF";
      }
  }
  std::string gegner;
  ASSERT_TRUE(kwmap::ReadFileBytes((game / "Gegner.ini").string(), gegner));
  EXPECT_NE(gegner.find("\r\nKr\xE4he\r\n"), std::string::npos);
  EXPECT_NE(gegner.find("Schattenf\xFCrst"), std::string::npos);
  EXPECT_EQ(kwgen::GameText("a\xC3\xA4\r\nb\rc\nd\xE2\x82\xAC"), "a\xE4\r\nb\r\nc\r\nd?\r\n");
  fs::remove_all(game);
}

}  // namespace
