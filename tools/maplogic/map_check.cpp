// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// `kwtool map check MAP [--data GAMEDIR]`: what an author wants to know before playing a
// map. The start stands on ground, the exit can be reached (map_reach.cpp), locked
// doors have a key that can be reached before them, no enemy or pickup sits in a solid
// cell, and every tag and every cell the script names lies inside the grid. Prints
// MAP:COL,ROW: message; exit 1 on findings, 2 when the map cannot be read.
#include "map_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "kwtool.h"
#include "map_reach.h"
#include "media/textutil.h"
#include "script/script.h"

namespace kwtool {

namespace {

constexpr int CellSize = 30;
constexpr int FigureScreenX = 300;  // the figure's screen x when a map starts
constexpr int FigureTop = 230;      // world y of the figure's top is posY + 230
constexpr int FirstEnemyPickup = 19;
constexpr int LockedDoorTile = 19;
constexpr int KeyTile = 20;
constexpr int KeyPickup = 4;
constexpr int MaxTagLines = 20;     // outside tags reported one by one, then counted

// A number as text.
std::string Num(int64_t v) { return std::to_string(v); }

// One statement of the script, with the tag of the innermost "if playerontag(n)".
struct ScriptCall {
  bool start;
  std::string name;
  std::vector<std::string> args;
  int onTag;
};

// Drops blanks and tabs at both ends.
std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
  return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

// A plain number argument (variables and expressions are left to play).
bool LiteralNumber(const std::string& text, int64_t& value) {
  std::string t = Trim(text);
  size_t i = (!t.empty() && (t[0] == '-' || t[0] == '+')) ? 1 : 0;
  if (i >= t.size() || t.size() > 10) return false;
  for (size_t k = i; k < t.size(); ++k)
    if (t[k] < '0' || t[k] > '9') return false;
  value = std::stoll(t);
  return true;
}

// Runs the game's parser and flattens both lists into calls.
std::vector<ScriptCall> ParseCalls(const std::string& script) {
  std::vector<ScriptCall> calls;
  kw::StartScript.Clear();
  kw::MainScript.Clear();
  kw::ScriptScan scan;
  for (const std::string& raw : kwtool::SplitLines(script)) kw::ParseScriptLine(scan, raw);
  for (bool start : {true, false}) {
    std::vector<int> tags;  // one per open "if"
    for (const kw::Statement& s : start ? kw::StartScript : kw::MainScript) {
      std::string name = Trim(s.command);
      std::vector<std::string> args;
      for (int i = 1; i < int(s.arg.size()); ++i) args.push_back(s.arg[size_t(i)]);
      if (s.kind == 1) {
        int64_t tag = 0;
        bool onTag = name == "playerontag" && !args.empty() && LiteralNumber(args[0], tag);
        tags.push_back(onTag ? int(tag) : (tags.empty() ? 0 : tags.back()));
      } else if (s.kind == 3) {
        if (!tags.empty()) tags.pop_back();
      } else if (s.kind == 0 && !name.empty()) {
        calls.push_back({start, name, args, tags.empty() ? 0 : tags.back()});
      }
    }
  }
  kw::StartScript.Clear();
  kw::MainScript.Clear();
  return calls;
}

struct CellArgs {
  const char* command;
  int colArg, rowArg;  // argument positions from 0
};
// Commands that name cells: (x, y) pairs; the portal names row before column.
const CellArgs CellCommands[] = {
    {"delettag", 0, 1},   {"createtag", 0, 1},    {"deletfield", 0, 1}, {"createfield", 0, 1},
    {"teleportto", 0, 1}, {"createportal", 2, 1}, {"createportal", 5, 4},
};

struct Checker {
  const MapCheckInput& in;
  std::vector<MapFinding> found;
  std::vector<ScriptCall> calls;
  int cols, rows;

  explicit Checker(const MapCheckInput& input)
      : in(input), cols(input.map.width), rows(input.map.height) {}

  // Records a finding at a cell.
  void Add(int64_t col, int64_t row, const std::string& message) {
    found.push_back({int(std::clamp<int64_t>(col, INT32_MIN, INT32_MAX)),
                     int(std::clamp<int64_t>(row, INT32_MIN, INT32_MAX)), message});
  }
  // Whether a cell lies in the grid.
  bool Inside(int64_t col, int64_t row) const { return col >= 0 && row >= 0 && col < cols && row < rows; }
  // Header line `line` (from 1) as a number.
  int Header(int line) const { return kw::ParseInt(in.map.header[size_t(line - 1)]); }
  // One layer value of a cell.
  int At(kwmap::Layer layer, int col, int row) const { return in.map.At(layer, col, row); }
  // A resting cell the figure cannot enter.
  bool SolidCell(int col, int row) const {
    int tile = At(kwmap::Tile, col, row);
    return (At(kwmap::Front, col, row) & 0xff) == 1 && tile > 1 && !IsLadderTile(tile) &&
           At(kwmap::VRange, col, row) == 0 && At(kwmap::HRange, col, row) == 0;
  }

  // The start: inside the map and free, with ground less than a cell below the feet.
  void CheckStart(int x, int top) {
    const Movement& m = FigureMovement();
    int col = x / CellSize, row = top / CellSize;
    bool blocked = false;
    for (int c = x / CellSize; c <= (x + m.figureW - 1) / CellSize; ++c)
      for (int r = top / CellSize; r <= (top + m.figureH - 1) / CellSize; ++r)
        blocked = blocked || !Inside(c, r) || (SolidCell(c, r) && At(kwmap::Tile, c, r) != LockedDoorTile);
    if (x < 0 || top < 0 || blocked) {
      Add(col, row, "the figure's start is inside a wall or outside the map");
      return;
    }
    int feet = top + m.figureH;
    for (int r = (feet + CellSize - 1) / CellSize; r <= rows; ++r) {
      bool ground = r == rows;
      for (int c = x / CellSize; c <= (x + m.figureW - 1) / CellSize; ++c)
        ground = ground || SolidCell(c, r) || IsLadderTile(At(kwmap::Tile, c, r));
      if (!ground) continue;
      if (r * CellSize - feet >= CellSize)
        Add(col, row, "the figure's start is in the air: it falls " + Num(r * CellSize - feet) + " pixels");
      return;
    }
  }

  // The tag of every cell, as the parser sign-extends the grid's bytes.
  std::vector<int32_t> Tags() const {
    size_t cells = size_t(cols) * size_t(rows);
    std::vector<int32_t> tags(cells, 0);
    for (size_t i = 0; i < cells && i < in.tagBytes.size(); ++i) tags[i] = int8_t(in.tagBytes[i]);
    return tags;
  }

  // The exit and the doors, from a search over the figure's positions.
  void CheckReach(int x, int top) {
    ReachInput reach;
    reach.map = &in.map;
    reach.tags = Tags();
    reach.startX = x;
    reach.startTop = top;
    reach.exitCol = Header(13);
    reach.exitRow = Header(14);
    for (const ScriptCall& call : calls) {
      int64_t a = 0, b = 0;
      if (call.name == "createportal" && call.args.size() >= 6 && LiteralNumber(call.args[1], a) &&
          LiteralNumber(call.args[2], b)) {
        int64_t tr = 0, tc = 0;
        if (LiteralNumber(call.args[4], tr) && LiteralNumber(call.args[5], tc))
          reach.jumps.push_back({int(b), int(a), 0, int(CellSize * tc - 60), int(CellSize * tr)});
      } else if (call.name == "teleportto" && !call.start && call.args.size() >= 2 &&
                 LiteralNumber(call.args[0], a) && LiteralNumber(call.args[1], b)) {
        reach.jumps.push_back({-1, -1, call.onTag, int(CellSize * a - 60), int(CellSize * b)});
      }
    }
    if (!Inside(reach.exitCol, reach.exitRow)) {
      Add(reach.exitCol, reach.exitRow, "the exit lies outside the grid");
      return;
    }
    ReachResult r = SearchReach(reach);
    if (r.stoppedEarly) Add(reach.exitCol, reach.exitRow, "the search for a way stopped at its work limit");
    if (!r.exitReached && !r.stoppedEarly)
      Add(reach.exitCol, reach.exitRow, "the exit cannot be reached from the start");
    CheckDoors(r);
  }

  // Locked doors met before any key was in reach, and doors without any key.
  void CheckDoors(const ReachResult& r) {
    bool anyKey = false, anyDoor = false;
    int firstCol = 0, firstRow = 0;
    for (int row = 0; row < rows; ++row)
      for (int col = 0; col < cols; ++col) {
        anyKey = anyKey || At(kwmap::Tile, col, row) == KeyTile || At(kwmap::Pickup, col, row) == KeyPickup;
        if (At(kwmap::Tile, col, row) == LockedDoorTile && (At(kwmap::Front, col, row) & 0xff) == 1 && !anyDoor) {
          anyDoor = true;
          firstCol = col, firstRow = row;
        }
      }
    if (anyDoor && !anyKey) {
      Add(firstCol, firstRow, "locked door, but the map has no key");
      return;
    }
    if (r.keyReached) return;
    for (int row = 0; row < rows; ++row)
      for (int col = 0; col < cols; ++col) {
        size_t i = size_t(row) * size_t(cols) + size_t(col);
        bool above = row > 0 && r.doorTouchedNoKey[i - size_t(cols)];
        if (r.doorTouchedNoKey[i] && !above) Add(col, row, "locked door, but no key can be reached before it");
      }
  }

  // Enemies and pickups inside solid cells.
  void CheckCells() {
    for (int row = 0; row < rows; ++row)
      for (int col = 0; col < cols; ++col) {
        int pickup = At(kwmap::Pickup, col, row), tile = At(kwmap::Tile, col, row);
        bool item = (pickup >= 2 && pickup <= 7) || (pickup >= 13 && pickup <= 16);
        if ((pickup < FirstEnemyPickup && !item) || !SolidCell(col, row) || IsTouchItemTile(tile)) continue;
        Add(col, row, pickup >= FirstEnemyPickup ? "enemy " + Num(pickup) + " buried in a solid cell"
                                                  : "pickup " + Num(pickup) + " buried in a solid cell");
      }
  }

  // Non-zero bytes of the tag grid past the last cell.
  void CheckTags() {
    size_t cells = size_t(cols) * size_t(rows);
    int reported = 0, more = 0;
    for (size_t i = cells; i < in.tagBytes.size(); ++i) {
      if (in.tagBytes[i] == 0) continue;
      if (reported++ < MaxTagLines)
        Add(int64_t(cols ? i % size_t(cols) : i), int64_t(cols ? i / size_t(cols) : 0),
            "tag " + Num(int8_t(in.tagBytes[i])) + " lies outside the grid");
      else
        ++more;
    }
    if (more) Add(0, rows, Num(more) + " more tags lie outside the grid");
  }

  // Cells named by number in the script's cell commands.
  void CheckScriptCells() {
    for (const ScriptCall& call : calls)
      for (const CellArgs& cmd : CellCommands) {
        if (call.name != cmd.command || int(call.args.size()) <= std::max(cmd.colArg, cmd.rowArg)) continue;
        int64_t col = 0, row = 0;
        if (!LiteralNumber(call.args[size_t(cmd.colArg)], col) || !LiteralNumber(call.args[size_t(cmd.rowArg)], row))
          continue;
        if (!Inside(col, row)) Add(col, row, "script command " + call.name + " names a cell outside the grid");
      }
  }

  // All checks in their order.
  void Run() {
    calls = ParseCalls(in.script);
    int x = FigureScreenX + Header(12), top = Header(11) + FigureTop;
    // A teleport in the start block moves the start.
    for (const ScriptCall& call : calls) {
      int64_t a = 0, b = 0;
      if (call.start && call.name == "teleportto" && call.args.size() >= 2 && LiteralNumber(call.args[0], a) &&
          LiteralNumber(call.args[1], b))
        x = int(CellSize * a - 60), top = int(CellSize * b);
    }
    CheckStart(x, top);
    CheckReach(x, top);
    CheckCells();
    CheckTags();
    CheckScriptCells();
  }
};

// "maps/map3.map" -> "maps/map3" + suffix
std::string Beside(const std::string& mapPath, const std::string& suffix) {
  const size_t dot = mapPath.rfind('.');
  const size_t slash = mapPath.find_last_of('/');
  const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExt ? mapPath.substr(0, dot) : mapPath) + suffix;
}

}  // namespace

// Runs every check on a map and what lies beside it.
std::vector<MapFinding> CheckMap(const MapCheckInput& input) {
  Checker checker(input);
  checker.Run();
  return checker.found;
}

// The command: reads the map and its two companion files, prints the findings.
int MapCheck(const Args& args) {
  std::string path, data;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--data" && i + 1 < args.size())
      data = args[++i];
    else if (path.empty())
      path = args[i];
    else
      path.clear(), i = args.size();
  }
  if (path.empty()) {
    std::fputs("usage: kwtool map check MAP [--data GAMEDIR]\n", stderr);
    return 2;
  }
  MapCheckInput input;
  std::string bytes, error, used = path;
  bool read = kwmap::ReadFileBytes(used, bytes);
  if (!read && !data.empty() && !path.empty() && path[0] != '/') {
    used = data + "/" + path;
    read = kwmap::ReadFileBytes(used, bytes);
  }
  if (!read) {
    std::fprintf(stderr, "kwtool map check: cannot read %s\n", path.c_str());
    return 2;
  }
  if (!kwmap::ReadMapBytes(bytes, input.map, error)) {
    std::fprintf(stderr, "kwtool map check: %s: %s\n", path.c_str(), error.c_str());
    return 2;
  }
  kwmap::ReadFileBytes(Beside(used, "_Script_Map.dat"), input.tagBytes);
  kwmap::ReadFileBytes(Beside(used, "_Script.ssc"), input.script);
  const std::vector<MapFinding> found = CheckMap(input);
  for (const MapFinding& f : found) std::printf("%s:%d,%d: %s\n", path.c_str(), f.col, f.row, f.message.c_str());
  return found.empty() ? 0 : 1;
}

}  // namespace kwtool
