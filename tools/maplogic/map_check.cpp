// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// What an author wants to know before playing a map (`kwtool map check`). The start
// stands on ground, the exit can be reached (map_reach.cpp), locked doors have a key that
// can be reached before them, no enemy or pickup sits in a solid cell, and every tag and
// every cell the script names lies inside the grid.
#include "map_check.h"

#include <algorithm>
#include <cmath>

#include "cell_rules.h"
#include "map_reach.h"
#include "media/textutil.h"
#include "play/play.h"
#include "script/script.h"

namespace kwtool {

namespace {

using maplogic::IsLadderTile;

using kw::CellSize;
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
  for (const std::string& raw : kwmap::SplitLines(script)) kw::ParseScriptLine(scan, raw);
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
    return maplogic::Collides(tile, At(kwmap::Front, col, row)) && !IsLadderTile(tile) &&
           At(kwmap::VRange, col, row) == 0 && At(kwmap::HRange, col, row) == 0;
  }
  // Where the figure is after a portal or teleport to cell (col, row), as the game puts it.
  static void PlacedAt(int64_t col, int64_t row, int& x, int& top) {
    kw::PlayerRecord p;
    kw::PlaceFigureAtCell(p, double(col), double(row));
    x = kw::Nearest(kw::FigureStartScreenX - double(p.posX));
    top = kw::FigureWorldY(p);
  }

  // The start: inside the map and free, with ground less than a cell below the feet.
  void CheckStart(int x, int top) {
    const Movement& m = FigureMovement();
    int col = x / CellSize, row = top / CellSize;
    bool blocked = false;
    for (int c = x / CellSize; c <= (x + m.figureW - 1) / CellSize; ++c)
      for (int r = top / CellSize; r <= (top + m.figureH - 1) / CellSize; ++r)
        blocked = blocked || !Inside(c, r) || (SolidCell(c, r) && At(kwmap::Tile, c, r) != kw::Tile::LockedDoor);
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
        ReachJump jump{int(b), int(a), 0, 0, 0};
        if (LiteralNumber(call.args[4], tr) && LiteralNumber(call.args[5], tc)) {
          PlacedAt(tc, tr, jump.toX, jump.toTop);
          reach.jumps.push_back(jump);
        }
      } else if (call.name == "teleportto" && !call.start && call.args.size() >= 2 &&
                 LiteralNumber(call.args[0], a) && LiteralNumber(call.args[1], b)) {
        ReachJump jump{-1, -1, call.onTag, 0, 0};
        PlacedAt(a, b, jump.toX, jump.toTop);
        reach.jumps.push_back(jump);
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
        anyKey = anyKey || maplogic::GivesKey(At(kwmap::Tile, col, row), At(kwmap::Pickup, col, row));
        if (At(kwmap::Tile, col, row) == kw::Tile::LockedDoor && (At(kwmap::Front, col, row) & 0xff) == kw::Layer::Solid &&
            !anyDoor) {
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
        bool item = (pickup >= kw::Pickup::Ammo && pickup <= kw::Pickup::Points100) ||
                    (pickup >= kw::Pickup::Spell3 && pickup <= kw::Pickup::Spell1);
        bool enemy = pickup >= kw::Pickup::RandomEnemy;
        if ((!enemy && !item) || !SolidCell(col, row) || maplogic::IsTouchItemTile(tile)) continue;
        Add(col, row, enemy ? "enemy " + Num(pickup) + " buried in a solid cell"
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
    // The map start puts the figure at posX = -startX, posY = startY.
    int x = kw::FigureStartScreenX + Header(12), top = Header(11) + kw::FigureTop;
    // A teleport in the start block moves the start.
    for (const ScriptCall& call : calls) {
      int64_t a = 0, b = 0;
      if (call.start && call.name == "teleportto" && call.args.size() >= 2 && LiteralNumber(call.args[0], a) &&
          LiteralNumber(call.args[1], b))
        PlacedAt(a, b, x, top);
    }
    CheckStart(x, top);
    CheckReach(x, top);
    CheckCells();
    CheckTags();
    CheckScriptCells();
  }
};

}  // namespace

// Runs every check on a map and what lies beside it.
std::vector<MapFinding> CheckMap(const MapCheckInput& input) {
  Checker checker(input);
  checker.Run();
  return checker.found;
}

}  // namespace kwtool
