// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Replays and recordings: --replay reads input events by flip number, which the event
// pump (events.cpp) applies after each flip; --record writes the live input in the same
// form, with the keys and clicks a game controller made.
#include "media/core.h"
#include "media/core_internal.h"
#include "media/replay_internal.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "media/input.h"
#include "media/input_internal.h"
#include "media/textutil.h"

namespace kw {

namespace {

// One input event of a replay file, applied before the snapshot after flip `flip`.
struct ReplayEvent {
  long flip = 0;
  enum Kind { Key, Mouse, Text, Pad } kind = Key;
  int code = 0;     // key code, or the pad input (PadInput)
  bool down = false;
  int x = 0, y = 0;  // mouse
  std::string text;  // Latin-1
};

std::deque<ReplayEvent> Replay;
std::ofstream Record;
int RecordMouseX = ScreenWidth / 2, RecordMouseY = ScreenHeight / 2;
bool RecordMouseDown = false;

bool ParseReplayLine(const std::string& line, ReplayEvent& e) {
  std::istringstream in(line);
  std::string kind;
  if (!(in >> e.flip >> kind) || e.flip < 0) return false;
  if (kind == "key") {
    std::string dir;
    if (!(in >> dir >> e.code) || (dir != "down" && dir != "up")) return false;
    if (e.code < 0 || e.code >= KeyCount) return false;
    e.kind = ReplayEvent::Key;
    e.down = dir == "down";
    return true;
  }
  if (kind == "mouse") {
    int b = 0;
    if (!(in >> e.x >> e.y >> b)) return false;
    e.kind = ReplayEvent::Mouse;
    e.down = b != 0;
    return true;
  }
  if (kind == "pad") {
    std::string dir, name;
    if (!(in >> dir >> name) || (dir != "down" && dir != "up")) return false;
    e.code = PadInputOfName(name);
    if (e.code < 0) return false;
    e.kind = ReplayEvent::Pad;
    e.down = dir == "down";
    return true;
  }
  if (kind == "text") {
    std::string rest;
    std::getline(in, rest);
    if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
    e.kind = ReplayEvent::Text;
    e.text = Utf8ToLatin1(rest);
    return true;
  }
  return false;
}

void RecordMouse() {
  RecordLine("mouse " + std::to_string(RecordMouseX) + " " + std::to_string(RecordMouseY) +
             " " + (RecordMouseDown ? "1" : "0"));
}

}  // namespace

bool LoadReplay(const std::string& path) {
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "klingenwald: cannot read the replay %s\n", path.c_str());
    return false;
  }
  std::string line;
  int number = 0;
  std::vector<ReplayEvent> events;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t hash = line.find('#');
    std::string body = hash == std::string::npos ? line : line.substr(0, hash);
    if (body.find_first_not_of(" \t") == std::string::npos) continue;
    ReplayEvent e;
    if (!ParseReplayLine(body, e)) {
      std::fprintf(stderr, "%s:%d: not a replay event: %s\n", path.c_str(), number, line.c_str());
      return false;
    }
    events.push_back(e);
  }
  // Events apply in flip order; lines of the same flip keep their file order.
  std::stable_sort(events.begin(), events.end(),
                   [](const ReplayEvent& a, const ReplayEvent& b) { return a.flip < b.flip; });
  Replay.assign(events.begin(), events.end());
  return true;
}

void ApplyReplayEvents() {
  while (!Replay.empty() && Replay.front().flip <= FlipCount()) {
    const ReplayEvent& e = Replay.front();
    switch (e.kind) {
      case ReplayEvent::Key: InjectKey(e.code, e.down); break;
      case ReplayEvent::Mouse:
        InjectMousePosition(e.x, e.y);
        InjectMouseButton(e.down);
        break;
      case ReplayEvent::Text: InjectText(e.text); break;
      // A pad input of pad 0, handled as a real pad's (its keys, or the pointer and
      // click in the pointer menus).
      case ReplayEvent::Pad: InjectPadInput(e.code, e.down); break;
    }
    Replay.pop_front();
  }
}

void ClearReplay() { Replay.clear(); }

void RecordLine(const std::string& text) {
  if (Record.is_open()) Record << FlipCount() << ' ' << text << '\n';
}

bool OpenRecording(const std::string& path) {
  Record.open(path);
  if (!Record) {
    std::fprintf(stderr, "klingenwald: cannot write the recording %s\n", path.c_str());
    return false;
  }
  Record << "# klingenwald input recording: <flip> key|mouse|text ...\n";
  return true;
}

void CloseRecording() {
  if (Record.is_open()) Record.close();
}

void RecordKeyChange(int code, bool down) {
  RecordLine(std::string("key ") + (down ? "down " : "up ") + std::to_string(code));
}

void RecordPointerAt(int x, int y) {
  RecordMouseX = x;
  RecordMouseY = y;
  RecordMouse();
}

void RecordPointerButton(bool down) {
  RecordMouseDown = down;
  RecordMouse();
}

}  // namespace kw
