// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwplay: finds a replay that plays one map from its start to its exit. The game runs
// in this process (headless, virtual time) through the real menus; once the map is on
// screen every live game process is a snapshot: a coordinator asks a snapshot to fork a
// child that holds keys for a short segment (walk, jump, climb, crawl, strike, throw, wait,
// Return), and the child reports where the figure ended. A best-first search over these
// snapshots, guided by the walking distance to the exit, ends at the first child that
// left the map alive; that child writes its keys as a replay file. The guide knows the
// portals the script created (a portal cell is as near as its target) and a key the
// map-3 guardian or a locked door wants (until it is carried, the way leads through the
// key's cell).
// A search may go on from a stored replay (--prefix) or from a saved story (--continue).
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <queue>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "content/content.h"
#include "guide.h"
#include "media/core.h"
#include "media/files.h"
#include "media/input.h"
#include "media/input_internal.h"  // the search presses keys as a replay would
#include "menus/menus.h"
#include "play/play.h"
#include "shell/shell.h"

namespace {

using namespace kw;

// DirectInput key codes the segments hold.
constexpr int KeyLeft = 203, KeyRight = 205, KeyUp = 200, KeyDown = 208, KeySpace = 57,
              KeyStrike = 45, KeyThrow = 46, KeyReturn = 28, KeyTwo = 3;

// One input segment: keys held together for `flips` flips (or only the first `hold`
// of them when that is set), then let go.
struct Segment {
  const char* name;
  std::vector<int> keys;
  int flips;
  int hold = 0;
};

const std::vector<Segment> Segments = {
    {"right", {KeyRight}, 16},           {"left", {KeyLeft}, 16},
    {"jump-right", {KeyRight, KeySpace}, 24}, {"jump-left", {KeyLeft, KeySpace}, 24},
    {"jump", {KeySpace}, 24},            {"long-right", {KeyRight}, 40},
    {"long-jump-right", {KeyRight, KeySpace}, 40}, {"long-jump-left", {KeyLeft, KeySpace}, 40},
    {"climb", {KeyUp}, 20},              {"down", {KeyDown}, 16},
    {"strike", {KeyStrike}, 12},         {"wait", {}, 20},
    {"enter", {KeyReturn}, 4},           {"strike-right", {KeyRight, KeyStrike}, 16},
    // A portal takes the figure when Return goes up, so the tap ends inside its segment
    // (a segment that ends where it began is not searched further).
    {"tap-return", {KeyReturn}, 8, 4},
    // Without a sword (the story finds none) the axes are the only weapon against a boss.
    {"throw", {KeyThrow}, 10, 3},        {"throw-left", {KeyLeft, KeyThrow}, 10, 3},
    {"climb-right", {KeyUp, KeyRight}, 20}, {"climb-left", {KeyUp, KeyLeft}, 20},
    {"crawl-right", {KeyDown, KeyRight}, 24}, {"crawl-left", {KeyDown, KeyLeft}, 24},
};

// One replay event the search injected: a key, or typed text when `text` is not empty.
struct Event {
  long flip;
  int key;
  bool down;
  std::string text;
};

// What a child reports at the end of its segment.
struct Report {
  int id = 0;
  int status = 0;  // 0 alive on the map, 1 dead or lost, 2 left the map alive
  double dist = 0;
  int col = 0, row = 0, health = 0, depth = 0;
  long flip = 0;
  int phase = 0;  // 1 while the guide still leads to the key
};

// Settings from the command line.
struct Settings {
  std::string data, user, out, mode = "free";
  int map = 1;
  uint32_t seed = 1;
  int maxNodes = 4000;
  int maxLive = 120;
  int until = 0;  // last map to play (0: only --map)
  long tailFlips = 30;
  std::string prefix;     // replay of the maps before --map (from the title)
  bool resume = false;    // story: continue the saved story at --map
};

Settings Opt;
std::string WorkDir;             // FIFOs of the snapshots
int ReplyWrite = -1;             // shared pipe every snapshot reports on
int TargetMap = 0;               // the map being searched
bool Searching = false;          // set once the map is on screen
int NodeId = 0;                  // this process's snapshot number
int Depth = 0;                   // segments since the map start
std::vector<Event> Log;          // keys injected so far
std::vector<std::pair<int, long>> MapsLeft;  // map and flip of each map left on the way
std::vector<int> Held;           // keys currently held
long SegmentEnd = -1;            // flip at which the running segment ends
long ReleaseAt = -1;             // flip at which the running segment lets its keys go
kwplay::Guide Guide;             // distances to the exit of the map being searched
long PrefixEnd = -1;             // last flip of the --prefix replay's events
std::string PrefixText;          // that replay without its "# frames" line

// The cell that the figure's lower body is in.
void FigureCell(int& col, int& row) {
  const PlayerRecord& p = P();
  col = int(std::floor((double(PlayerScreenX) + 15.0 - double(p.posX)) / CellSize));
  row = int(std::floor((double(p.posY) + FigureTop + 45.0) / CellSize));
}

// Writes all of a buffer; false when the other end went away first.
bool WriteAll(int fd, const std::string& s) {
  size_t done = 0;
  while (done < s.size()) {
    ssize_t n = write(fd, s.data() + done, s.size() - done);
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}

// True when `keys` holds `key`.
bool InList(const std::vector<int>& keys, int key) {
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

// Holds exactly `keys` from now on (a change is one event at this flip).
void HoldKeys(const std::vector<int>& keys) {
  long now = FlipCount();
  for (int k : Held)
    if (std::find(keys.begin(), keys.end(), k) == keys.end()) {
      InjectKey(k, false);
      Log.push_back({now, k, false, ""});
    }
  for (int k : keys)
    if (std::find(Held.begin(), Held.end(), k) == Held.end()) {
      InjectKey(k, true);
      Log.push_back({now, k, true, ""});
    }
  Held = keys;
}

// 2 when the figure left the target map alive, 1 when it died or the time ran out.
// The hook sees every flip, so a death shows here before the map end resets health;
// the story's last map ends the game alive, which counts as leaving it.
int MapStatus() {
  const PlayerRecord& p = P();
  if (p.health < 0) return 1;
  if (TimeMatch == 1 && p.timeValue <= 0) return 1;
  if (CurrentMap != TargetMap || p.mapDone == 1) return 2;
  return 0;
}

// The report line of this snapshot: id status dist col row health depth flip phase.
std::string ReportLine(int status) {
  int col = 0, row = 0;
  FigureCell(col, row);
  int phase = kwplay::GuidePhase(Guide, P().hasKey == 1, P().guardianDone == 1, col, row);
  double d = kwplay::GuideDistance(Guide, phase, col, row);
  // A living boss keeps the exit shut: while it lives the way leads to it, and every hit
  // it takes counts as steps won (the constant keeps any way to the exit nearer).
  if (BossShown == 1 && Boss)
    d = 200 + std::abs(col - int(Boss->x / CellSize)) + std::abs(row - int(Boss->y / CellSize)) +
        3.0 * std::max(0, int(Boss->health));
  char buf[200];
  std::snprintf(buf, sizeof buf, "%d %d %.2f %d %d %d %d %ld %d\n", NodeId, status, d, col, row,
                int(P().health), Depth, FlipCount(), phase);
  return buf;
}

// The replay of the keys injected so far, ending with all keys let go.
void WriteReplay(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "a");
  if (!f) return;
  for (const Event& e : Log) {
    if (!e.text.empty()) std::fprintf(f, "%ld text %s\n", e.flip, e.text.c_str());
    else std::fprintf(f, "%ld key %s %d\n", e.flip, e.down ? "down" : "up", e.key);
  }
  for (int k : Held) std::fprintf(f, "%ld key up %d\n", FlipCount(), k);
  for (const auto& [map, flip] : MapsLeft) std::fprintf(f, "# map %d left at flip %ld\n", map, flip);
  std::fprintf(f, "# frames %ld\n", FlipCount() + Opt.tailFlips);
  std::fclose(f);
}

// The FIFO on which snapshot `id` waits for commands.
std::string CommandPath(int id) { return WorkDir + "/" + std::to_string(id) + ".cmd"; }


// In a forked child: become snapshot `id` and run segment `seg` from this flip.
void StartSegment(int id, int seg) {
  NodeId = id;
  Depth += 1;
  HoldKeys(Segments[size_t(seg)].keys);
  SegmentEnd = FlipCount() + Segments[size_t(seg)].flips;
  int hold = Segments[size_t(seg)].hold;
  ReleaseAt = hold > 0 ? FlipCount() + hold : -1;
}

// Reports this snapshot, then waits for commands: "fork ID SEG" starts a child running
// segment SEG (the child returns into the game), "dump FILE" adds the keys to the replay
// FILE, "next" goes on to the next map, "quit" ends
// this process.
void ReportAndServe(int status) {
  std::string path = CommandPath(NodeId);
  if (status == 2) MapsLeft.push_back({TargetMap, FlipCount()});
  if (status == 1) {
    WriteAll(ReplyWrite, ReportLine(status));
    _exit(0);
  }
  // The FIFO is open for reading and writing before the report and stays so while this
  // snapshot serves it, so a command written at any moment after the report waits in it
  // (opened per command, a command could meet no reader, or one that was closing).
  // A snapshot that went on to the next map serves again as root 0: a new FIFO then.
  static int fd = -1;
  static std::string pending, served;
  if (fd >= 0 && served != path) {
    close(fd);
    unlink(served.c_str());
    fd = -1;
    pending.clear();
  }
  if (fd < 0) {
    mkfifo(path.c_str(), 0600);
    fd = open(path.c_str(), O_RDWR);
    served = path;
  }
  if (fd < 0) _exit(1);
  WriteAll(ReplyWrite, ReportLine(status));
  for (;;) {
    size_t end = pending.find('\n');
    if (end == std::string::npos) {
      char buf[512];
      ssize_t n = read(fd, buf, sizeof buf);
      if (n <= 0) _exit(1);
      pending.append(buf, size_t(n));
      continue;
    }
    std::string line = pending.substr(0, end);
    pending.erase(0, end + 1);
    int id = 0, seg = 0;
    if (std::sscanf(line.c_str(), "fork %d %d", &id, &seg) == 2) {
      pid_t pid = fork();
      if (pid == 0) {
        // The child serves a FIFO of its own once its segment ends.
        close(fd);
        fd = -1;
        pending.clear();
        StartSegment(id, seg);
        return;  // back into the game: the flip hook finishes the segment
      }
    } else if (line == "next") {
      // Go on to the next map (the map end may not have counted it yet): it becomes
      // the new search root.
      TargetMap += 1;
      Searching = false;
      HoldKeys({});
      Depth = 0;
      return;
    } else if (line.rfind("dump ", 0) == 0) {
      WriteReplay(line.substr(5));
      WriteAll(ReplyWrite, "dumped\n");
    } else if (line == "quit") {
      unlink(path.c_str());
      _exit(0);
    }
  }
}

// Cutscenes and the title picture wait for a key: Return is tapped for them (and logged
// like every other key). A script's question waits for all keys up and then a digit: the
// held keys are let go and "2" is typed (on the first story map: rest at the fire).
// True while such a screen holds the game.
bool TapThroughWaits() {
  static long releaseAt = -1;
  static int tapped = KeyReturn;
  long now = FlipCount();
  if (releaseAt >= 0 && now >= releaseAt) {
    InjectKey(tapped, false);
    Log.push_back({now, tapped, false, ""});
    releaseAt = -1;
    return true;
  }
  bool choice = CurrentScreen == Screen::Choice;
  bool waiting = choice || CurrentScreen == Screen::Cutscene || CurrentScreen == Screen::Title;
  if (!waiting || releaseAt >= 0) return waiting;
  if (choice && !Held.empty()) {
    HoldKeys({});
    return true;
  }
  if (InList(Held, KeyReturn)) return waiting;
  tapped = choice ? KeyTwo : KeyReturn;
  if (choice) {
    InjectText("2");
    Log.push_back({now, 0, true, "2"});
  }
  InjectKey(tapped, true);
  Log.push_back({now, tapped, true, ""});
  releaseAt = now + 2;
  return true;
}

// The flip hook: starts the search when the map shows, finishes segments, and ends a
// lost run early.
void OnFlip() {
  if (FlipCount() <= PrefixEnd) return;  // the stored replay still plays
  bool waiting = TapThroughWaits();
  if (!Searching) {
    if (waiting || CurrentScreen != Screen::Play || CurrentMap != TargetMap) return;
    Searching = true;
    Guide = kwplay::ComputeGuide();
    NodeId = 0;
    ReportAndServe(0);
    return;
  }
  if (SegmentEnd < 0) return;
  if (ReleaseAt >= 0 && FlipCount() >= ReleaseAt) {
    HoldKeys({});
    ReleaseAt = -1;
  }
  int status = MapStatus();
  if (status == 0 && FlipCount() < SegmentEnd) return;
  SegmentEnd = -1;
  ReportAndServe(status);
}

// Sends one command line to snapshot `id` (it keeps its FIFO open, so the line waits
// there until the snapshot reads it).
void Command(int id, const std::string& line) {
  int fd = open(CommandPath(id).c_str(), O_WRONLY | O_NONBLOCK);
  if (fd < 0) return;  // the snapshot has ended
  WriteAll(fd, line + "\n");
  close(fd);
}

// Reads report lines from the shared pipe.
struct ReplyReader {
  int fd;
  std::string pending;
  // The next whole line, blocking.
  bool Next(std::string& line) {
    for (;;) {
      size_t nl = pending.find('\n');
      if (nl != std::string::npos) {
        line = pending.substr(0, nl);
        pending.erase(0, nl + 1);
        return true;
      }
      char buf[4096];
      ssize_t n = read(fd, buf, sizeof buf);
      if (n <= 0) return false;
      pending.append(buf, size_t(n));
    }
  }
};

// Parses one report line.
bool ParseReport(const std::string& line, Report& r) {
  return std::sscanf(line.c_str(), "%d %d %lf %d %d %d %d %ld %d", &r.id, &r.status, &r.dist,
                     &r.col, &r.row, &r.health, &r.depth, &r.flip, &r.phase) == 9;
}

std::string MenuPrefix();

// Ranks snapshots: nearer the exit first, then fewer segments and more health. Health
// weighs enough (ten points against a cell) that a way through spikes only wins when
// there is no other: the next map starts with the health this one leaves.
bool Worse(const Report& a, const Report& b) {
  double fa = a.dist * 10 + a.depth * 0.5 - a.health * 1.0;
  double fb = b.dist * 10 + b.depth * 0.5 - b.health * 1.0;
  return fa > fb;
}

using Frontier = std::priority_queue<Report, std::vector<Report>, bool (*)(const Report&, const Report&)>;

// Ends every snapshot in the frontier.
void QuitAll(Frontier& open) {
  while (!open.empty()) {
    Command(open.top().id, "quit");
    open.pop();
  }
}

// Keeps the best two thirds of the frontier when it grew past the limit.
void Prune(Frontier& open) {
  if (int(open.size()) <= Opt.maxLive) return;
  std::vector<Report> keep;
  while (!open.empty()) {
    keep.push_back(open.top());
    open.pop();
  }
  for (size_t i = 0; i < keep.size(); ++i) {
    if (int(i) < Opt.maxLive * 2 / 3) open.push(keep[i]);
    else Command(keep[i].id, "quit");
  }
}

// Best-first search of one map from the snapshot `root`; the id of the snapshot that
// left the map alive, or -1. A cell seen with as much health (and as far from the goal) is
// not expanded twice.
int SearchMap(ReplyReader& in, const Report& root, int& nextId) {
  Frontier open(Worse);
  std::map<std::tuple<int, int, long>, int> bestHealth;
  open.push(root);
  int expanded = 0, winner = -1;
  double bestDist = root.dist;
  std::string line;
  while (!open.empty() && expanded < Opt.maxNodes && winner < 0) {
    Report r = open.top();
    open.pop();
    ++expanded;
    for (size_t s = 0; s < Segments.size(); ++s)
      Command(r.id, "fork " + std::to_string(nextId++) + " " + std::to_string(s));
    for (size_t s = 0; s < Segments.size(); ++s) {
      Report c;
      if (!in.Next(line) || !ParseReport(line, c)) return -1;
      if (c.status == 1) continue;
      if (c.status == 2 && winner < 0) {
        std::fprintf(stderr, "kwplay: map %d left at flip %ld after %d segments (%d expanded)\n",
                     TargetMap, c.flip, c.depth, expanded);
        winner = c.id;
        continue;
      }
      // The distance is part of the key: a hit on the boss costs health but lowers it.
      auto key = std::make_tuple(c.col, c.row * 4 + (c.health > 0 ? 0 : 1) + 2 * c.phase,
                                 std::lround(c.dist * 10));
      auto seen = bestHealth.find(key);
      if (c.status == 2 || (seen != bestHealth.end() && seen->second >= c.health)) {
        Command(c.id, "quit");
        continue;
      }
      bestHealth[key] = c.health;
      bestDist = std::min(bestDist, c.dist);
      open.push(c);
    }
    Command(r.id, "quit");
    Prune(open);
    if (expanded % 25 == 0)
      std::fprintf(stderr, "kwplay: %d expanded, best distance %.1f, frontier %zu, at %d,%d\n",
                   expanded, bestDist, open.size(), r.col, r.row);
  }
  if (winner < 0)
    std::fprintf(stderr, "kwplay: no way out of map %d found (best distance %.1f)\n", TargetMap, bestDist);
  QuitAll(open);
  return winner;
}

// The search, map after map up to --until: the snapshot that left a map goes on to the
// next one and reports again as its root; the last one writes the replay.
int Coordinate(int readFd) {
  ReplyReader in{readFd, {}};
  std::string line;
  Report root;
  int nextId = 1;
  for (;;) {
    if (!in.Next(line) || !ParseReport(line, root) || root.status != 0) {
      std::fprintf(stderr, "kwplay: map %d did not start\n", TargetMap);
      return 1;
    }
    int winner = SearchMap(in, root, nextId);
    if (winner < 0) return 1;
    // Every map reached is kept, so a later map that fails loses nothing.
    std::string path = Opt.out + (TargetMap >= Opt.until ? "" : ".map" + std::to_string(TargetMap));
    if (FILE* f = std::fopen(path.c_str(), "w")) {
      std::fputs(MenuPrefix().c_str(), f);
      std::fclose(f);
    }
    Command(winner, "dump " + path);
    while (in.Next(line) && line != "dumped") {}
    if (TargetMap >= Opt.until) return 0;
    Command(winner, "next");
    TargetMap += 1;
  }
}

// The menu clicks: "Start", the mode, "Leicht" (the title picture's key comes from the
// search). A new game always begins at map 1, so later maps are reached by playing on,
// from a stored replay (--prefix), or in a story by "Story fortsetzen" (--continue).
std::string MenuPrefix() {
  if (!Opt.prefix.empty()) return PrefixText;
  if (Opt.resume)
    return "# kwplay: story map " + std::to_string(Opt.map) + " continued\n# story-progress " +
           std::to_string(Opt.map) + "\n" +
           "35 mouse 212 230 0\n38 mouse 212 230 1\n40 mouse 212 230 0\n"
           "45 mouse 240 170 1\n47 mouse 240 170 0\n";
  int modeX = Opt.mode == "story" ? 345 : Opt.mode == "time" ? 426 : 265;
  std::string s = "# kwplay: " + Opt.mode + " map " + std::to_string(Opt.map) + "\n";
  s += "35 mouse 120 90 0\n38 mouse 120 90 1\n40 mouse 120 90 0\n";
  s += "45 mouse " + std::to_string(modeX) + " 170 1\n47 mouse " + std::to_string(modeX) + " 170 0\n";
  s += "52 mouse 240 170 1\n54 mouse 240 170 0\n";
  return s;
}

// Command line: --data DIR --mode free|story|time --map N --out FILE [--seed N]
// [--until M] [--user DIR] [--nodes N].
bool ParseArgs(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string a = argv[i], v = argv[i + 1];
    if (a == "--data") Opt.data = v;
    else if (a == "--user") Opt.user = v;
    else if (a == "--out") Opt.out = v;
    else if (a == "--mode") Opt.mode = v;
    else if (a == "--map") Opt.map = std::atoi(v.c_str());
    else if (a == "--seed") Opt.seed = uint32_t(std::strtoul(v.c_str(), nullptr, 10));
    else if (a == "--nodes") Opt.maxNodes = std::atoi(v.c_str());
    else if (a == "--until") Opt.until = std::atoi(v.c_str());
    else if (a == "--prefix") Opt.prefix = v;
    else if (a == "--continue") Opt.resume = v == "1";
    else return false;
  }
  Opt.until = std::max(Opt.until, Opt.map);
  if (Opt.resume && (Opt.mode != "story" || !Opt.prefix.empty())) return false;
  return !Opt.out.empty() && (Opt.mode == "free" || Opt.mode == "story" || Opt.mode == "time");
}

// Reads the --prefix replay: its text without the "# frames" line, and its last flip.
bool ReadPrefix() {
  FILE* f = std::fopen(Opt.prefix.c_str(), "r");
  if (!f) return false;
  char line[4096];
  while (std::fgets(line, sizeof line, f)) {
    if (std::strncmp(line, "# frames", 8) == 0) continue;
    PrefixText += line;
    if (PrefixText.back() != '\n') PrefixText += '\n';
    long flip = 0;
    if (line[0] != '#' && std::sscanf(line, "%ld", &flip) == 1) PrefixEnd = std::max(PrefixEnd, flip);
  }
  std::fclose(f);
  return PrefixEnd >= 0;
}

// A continued story starts at the map written in the user folder's story progress.
bool SeedStoryProgress() {
  std::string dir = Opt.user + "/Saves";
  mkdir(dir.c_str(), 0700);
  FILE* f = std::fopen((dir + "/Story.save").c_str(), "w");
  if (!f) return false;
  std::fprintf(f, "%d", Opt.map);
  return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (!ParseArgs(argc, argv)) {
    std::fprintf(stderr,
                 "usage: kwplay --data DIR --mode free|story|time --map N --out REPLAY "
                 "[--until M] [--seed N] [--user DIR] [--nodes N] [--prefix REPLAY | --continue 1]\n");
    return 2;
  }
  if (!Opt.prefix.empty() && !ReadPrefix()) {
    std::fprintf(stderr, "kwplay: cannot read the replay %s\n", Opt.prefix.c_str());
    return 1;
  }
  signal(SIGCHLD, SIG_IGN);  // finished snapshots need no reaping
  signal(SIGPIPE, SIG_IGN);  // a snapshot that stopped listening fails a write instead
  char tmpl[] = "/tmp/kwplay.XXXXXX";
  if (!mkdtemp(tmpl)) return 1;
  WorkDir = tmpl;
  if (Opt.user.empty()) Opt.user = WorkDir + "/user";
  mkdir(Opt.user.c_str(), 0700);
  if (Opt.resume && !SeedStoryProgress()) return 1;
  std::string prefix = MenuPrefix();
  if (FILE* f = std::fopen(Opt.out.c_str(), "w")) {
    std::fputs(prefix.c_str(), f);
    std::fclose(f);
  }
  std::string menuReplay = WorkDir + "/menu.txt";
  if (FILE* f = std::fopen(menuReplay.c_str(), "w")) {
    std::fputs(prefix.c_str(), f);
    std::fclose(f);
  }
  int fds[2];
  if (pipe(fds) != 0) return 1;
  TargetMap = Opt.map;
  pid_t game = fork();
  if (game == 0) {
    setpgid(0, 0);  // the snapshots form one group the coordinator can end at once
    close(fds[0]);
    ReplyWrite = fds[1];
    int devnull = open("/dev/null", O_WRONLY);
    if (devnull >= 0) dup2(devnull, 1);
    kw::MediaOptions o;
    o.headless = true;
    o.seedGiven = true;
    o.seed = Opt.seed;
    std::string tried;
    o.dataDir = kw::FindGameFolder(Opt.data, tried);
    o.userDir = Opt.user;
    o.replayPath = menuReplay;
    if (!kw::InitMedia(o)) _exit(1);
    kw::SetFlipHook(OnFlip);
    kw::GameMain();
    _exit(0);
  }
  close(fds[1]);
  int code = Coordinate(fds[0]);
  // The snapshots still alive end with the pipe gone or on their quit command.
  kill(-game, SIGKILL);
  std::error_code ignored;
  std::filesystem::remove_all(WorkDir, ignored);
  return code;
}
