// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwtool: one binary with subcommands for authors and for the build.
#pragma once

#include <string>
#include <vector>

namespace kwtool {

using Args = std::vector<std::string>;  // the words after the subcommand's name

int PakCommand(const Args& args);     // pak list|extract|create
int MapCommand(const Args& args);     // map compile|decompile|info|render|check
int MapCheck(const Args& args);       // map check MAP [--data GAMEDIR]
int ScriptCommand(const Args& args);  // script dump|check
int IconCommand(const Args& args);    // icon SHEET SIZE OUT
int TextCommand(const Args& args);    // text extract DIR [OUT.pot]

// The file's lines as the game's line reader cuts them: at CR LF, LF, a lone CR or a
// zero byte.
inline std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < bytes.size()) {
    size_t end = bytes.find_first_of(std::string("\r\n\0", 3), at);
    if (end == std::string::npos) end = bytes.size();
    lines.push_back(bytes.substr(at, end - at));
    at = end;
    if (at < bytes.size()) {
      char c = bytes[at++];
      if (c == '\r' && at < bytes.size() && bytes[at] == '\n') ++at;
    }
  }
  return lines;
}

}  // namespace kwtool
