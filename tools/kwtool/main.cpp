// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwtool: dispatches to the subcommands; `kwtool --help` documents them all.
#include <cstdio>
#include <cstring>
#include <exception>

#include "kwtool.h"

namespace {

const char* const HelpText =
    "kwtool - authoring tools for Klingenwald\n"
    "\n"
    "  kwtool pak list FILE             one line per entry: index, unpacked size, stored size,\n"
    "                                   stored|packed and, when packed, checksum ok|bad|none\n"
    "  kwtool pak extract FILE DIR      writes each entry as DIR/NNN.<png|jpg|wav|ogg|bin>\n"
    "  kwtool pak create FILE INPUT...  packs the inputs in order (compressed when smaller)\n"
    "  kwtool map compile SRC OUT.map   text form of a map to the game's map file\n"
    "  kwtool map decompile IN.map OUT  map file to its text form\n"
    "  kwtool map info IN.map           header values and cell statistics of a map file\n"
    "  kwtool map render IN.map OUT.png --data GAMEDIR [--tileset N] [--background [N]]\n"
    "                                   the whole map as one picture (30 px a cell) with\n"
    "                                   markers for start, enemies, sliders, spikes, tags\n"
    "  kwtool map check MAP [--data GAMEDIR]\n"
    "                                   whether the map can be finished: MAP:COL,ROW: message,\n"
    "                                   exit 1 on findings, 2 when the map cannot be read\n"
    "  kwtool script dump FILE.ssc      parsed statements as JSON lines\n"
    "  kwtool script check FILE.ssc     lint a script: FILE:LINE: message, exit 1 on findings\n"
    "  kwtool icon SHEET.png SIZE OUT.png  the desktop icon: the sheet's first figure frame,\n"
    "                                   centred on a SIZE x SIZE square, crisp pixels\n"
    "  kwtool text extract DIR [OUT.pot]  the texts the scripts, cutscenes.ini and Gegner.ini\n"
    "                                   under DIR show, as a PO template with file:line\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
    std::fputs(HelpText, argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  kwtool::Args args(argv + 2, argv + argc);
  const std::string command = argv[1];
  // Whatever a damaged input does to a command, it ends with one line and status 1.
  try {
    if (command == "pak") return kwtool::PakCommand(args);
    if (command == "map") return kwtool::MapCommand(args);
    if (command == "script") return kwtool::ScriptCommand(args);
    if (command == "icon") return kwtool::IconCommand(args);
    if (command == "text") return kwtool::TextCommand(args);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kwtool %s: cannot handle the input: %s\n", argv[1], e.what());
    return 1;
  }
  std::fprintf(stderr, "kwtool: unknown command '%s' (see kwtool --help)\n", argv[1]);
  return 2;
}
