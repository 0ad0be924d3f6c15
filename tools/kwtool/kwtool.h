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
int ScriptCommand(const Args& args);  // script dump|check
int IconCommand(const Args& args);    // icon SHEET SIZE OUT
int TextCommand(const Args& args);    // text extract DIR [OUT.pot]

}  // namespace kwtool
