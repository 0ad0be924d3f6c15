// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwtool map: compile the text form of a map, decompile a map file, show its statistics,
// check whether it can be finished. A text source with a "tag" layer also writes the tag
// grid beside the compiled map (OUT.map -> OUT_Script_Map.dat).
#include <cstdio>

#include "kwtool.h"
#include "map_check.h"
#include "map_render.h"
#include "maptext.h"

namespace kwtool {

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "kwtool map: %s\n", message.c_str());
  return 1;
}

// "maps/map3.map" -> "maps/map3" + suffix
std::string Beside(const std::string& mapPath, const std::string& suffix) {
  const size_t dot = mapPath.rfind('.');
  const size_t slash = mapPath.find_last_of('/');
  const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExt ? mapPath.substr(0, dot) : mapPath) + suffix;
}

// The tag grid beside a map.
std::string TagGridPath(const std::string& mapPath) { return Beside(mapPath, "_Script_Map.dat"); }

int Compile(const std::string& src, const std::string& out) {
  std::string text, error;
  if (!kwmap::ReadFileBytes(src, text)) return Fail("cannot read " + src);
  kwmap::MapSource source;
  if (!kwmap::TextToMap(text, source, error)) return Fail(src + ": " + error);
  if (!kwmap::WriteFileBytes(out, kwmap::WriteMapBytes(source.map))) return Fail("cannot write " + out);
  bool tagged = false;
  for (int8_t t : source.tags) tagged = tagged || t != 0;
  if (tagged && !kwmap::WriteFileBytes(TagGridPath(out), kwmap::WriteTagBytes(source)))
    return Fail("cannot write " + TagGridPath(out));
  return 0;
}

bool Load(const std::string& path, kwmap::MapFile& map, std::string& error) {
  std::string bytes;
  if (!kwmap::ReadFileBytes(path, bytes)) {
    error = "cannot read " + path;
    return false;
  }
  if (kwmap::ReadMapBytes(bytes, map, error)) return true;
  error = path + ": " + error;
  return false;
}

int Decompile(const std::string& in, const std::string& out) {
  kwmap::MapSource source;
  std::string error;
  if (!Load(in, source.map, error)) return Fail(error);
  if (!kwmap::WriteFileBytes(out, kwmap::MapToText(source))) return Fail("cannot write " + out);
  return 0;
}

int Info(const std::string& in) {
  kwmap::MapFile map;
  std::string error;
  if (!Load(in, map, error)) return Fail(error);
  std::fputs(kwmap::MapInfoText(map).c_str(), stdout);
  return 0;
}

// `map check MAP [--data GAMEDIR]`: reads the map and its two companion files, prints the
// findings as MAP:COL,ROW: message; status 1 on findings, 2 when the map cannot be read.
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
  kwtool::MapCheckInput input;
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
  const std::vector<kwtool::MapFinding> found = CheckMap(input);
  for (const kwtool::MapFinding& f : found) std::printf("%s:%d,%d: %s\n", path.c_str(), f.col, f.row, f.message.c_str());
  return found.empty() ? 0 : 1;
}

}  // namespace

int MapCommand(const Args& args) {
  const std::string verb = args.empty() ? "" : args[0];
  if (verb == "compile" && args.size() == 3) return Compile(args[1], args[2]);
  if (verb == "decompile" && args.size() == 3) return Decompile(args[1], args[2]);
  if (verb == "info" && args.size() == 2) return Info(args[1]);
  if (verb == "render") return MapRender(args);
  if (verb == "check") return MapCheck(args);
  std::fputs("usage: kwtool map compile SRC OUT.map | decompile IN.map OUT | info IN.map\n"
             "       kwtool map render IN.map OUT.png --data GAMEDIR [--tileset N] [--background [N]]\n"
             "       kwtool map check MAP [--data GAMEDIR]\n", stderr);
  return 2;
}

}  // namespace kwtool
