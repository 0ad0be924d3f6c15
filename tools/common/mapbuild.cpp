// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Builds the maps, scripts, tag grids and ini files of the game folder (see mapbuild.h).
#include "mapbuild.h"

#include <filesystem>
#include <regex>

#include "maptext.h"

namespace kwgen {

namespace fs = std::filesystem;

namespace {

// Source folder under gamedata/maps and the game's folder for that mode.
struct ModeFolder {
  const char* source;
  const char* game;
};
constexpr ModeFolder ModeFolders[] = {
    {"free", "maps"},
    {"story", "maps/Story"},
    {"timematch", "maps/TimeMatch"},
};

const char* const TextFiles[] = {"Gegner.ini", "Setup.ini", "cutscenes.ini"};

bool Fail(std::string& error, const std::string& message) {
  error = message;
  return false;
}

// Next code point of UTF-8 text; a malformed byte is taken as Latin-1 as it stands.
unsigned NextCodePoint(const std::string& s, size_t& i) {
  const unsigned char c = s[i++];
  const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
  if (extra == 0) return c;  // ASCII, or a stray byte taken as Latin-1
  size_t j = i;
  unsigned cp = c & (0x3F >> extra);
  for (int k = 0; k < extra; ++k, ++j) {
    if (j >= s.size() || (uint8_t(s[j]) & 0xC0) != 0x80) return c;
    cp = cp << 6 | (uint8_t(s[j]) & 0x3F);
  }
  i = j;
  return cp;
}

bool BuildMap(const fs::path& source, const fs::path& gameFolder, std::string& error) {
  std::string text, script;
  kwmap::MapSource map;
  if (!kwmap::ReadFileBytes(source.string(), text)) return Fail(error, "cannot read " + source.string());
  if (!kwmap::TextToMap(text, map, error)) return Fail(error, source.string() + ": " + error);
  const std::string stem = source.stem().string();
  const fs::path scriptSource = source.parent_path() / (stem + "_Script.ssc");
  if (!kwmap::ReadFileBytes(scriptSource.string(), script))
    return Fail(error, "missing script " + scriptSource.string());
  const std::string base = (gameFolder / stem).string();
  if (!kwmap::WriteFileBytes(base + ".map", kwmap::WriteMapBytes(map.map)) ||
      !kwmap::WriteFileBytes(base + "_Script_Map.dat", kwmap::WriteTagBytes(map)) ||
      !kwmap::WriteFileBytes(base + "_Script.ssc", GameText(script)))
    return Fail(error, "cannot write " + base + ".*");
  return true;
}

}  // namespace

std::string GameText(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned cp = NextCodePoint(utf8, i);
    if (cp == '\r') {
      if (i < utf8.size() && utf8[i] == '\n') ++i;
      out += "\r\n";
    } else if (cp == '\n') {
      out += "\r\n";
    } else {
      out += cp <= 0xFF ? char(cp) : '?';
    }
  }
  if (!out.empty() && out.back() != '\n') out += "\r\n";
  return out;
}

bool BuildMapsAndTexts(const std::string& gamedataDir, const std::string& gameDir,
                       std::string& error) {
  const std::regex mapName("map[0-9]+\\.kwm");
  std::error_code ec;
  for (const ModeFolder& mode : ModeFolders) {
    const fs::path sources = fs::path(gamedataDir) / "maps" / mode.source;
    const fs::path target = fs::path(gameDir) / mode.game;
    fs::create_directories(target, ec);
    if (ec) return Fail(error, "cannot create " + target.string());
    if (!fs::is_directory(sources)) continue;
    for (const auto& entry : fs::directory_iterator(sources)) {
      if (!std::regex_match(entry.path().filename().string(), mapName)) continue;
      if (!BuildMap(entry.path(), target, error)) return false;
    }
  }
  for (const char* name : TextFiles) {
    std::string text;
    const fs::path source = fs::path(gamedataDir) / name;
    if (!kwmap::ReadFileBytes(source.string(), text)) return Fail(error, "cannot read " + source.string());
    if (!kwmap::WriteFileBytes((fs::path(gameDir) / name).string(), GameText(text)))
      return Fail(error, std::string("cannot write ") + name + " into " + gameDir);
  }
  return true;
}

}  // namespace kwgen
