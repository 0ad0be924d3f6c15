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

}  // namespace kwtool
