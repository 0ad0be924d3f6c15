// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Extraction of the game data's texts (see textextract.h). The scripts go through the
// game's own line parser, so each text is exactly what the interpreter will look up:
// lower-cased as the parser does, blanks kept, split where the parser splits.
#include "textextract.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "mapbuild.h"
#include "maptext.h"
#include "media/media.h"
#include "script/script.h"

namespace kwgen {

namespace fs = std::filesystem;

namespace {

// The lines of a text the game reads: sources become Latin-1 with CR LF first.
std::vector<std::string> GameLines(const std::string& bytes) {
  std::string text = GameText(bytes);
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find("\r\n", at);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

// The texts met so far, each once, in the order first met.
struct Collector {
  std::vector<GameDataText>& texts;
  std::map<std::string, size_t> index;

  void Add(const std::string& text, const std::string& place, const std::string& note) {
    if (text.empty()) return;
    auto found = index.find(text);
    if (found == index.end()) {
      index[text] = texts.size();
      texts.push_back({text, {place}, note});
      return;
    }
    GameDataText& t = texts[found->second];
    if (std::find(t.places.begin(), t.places.end(), place) == t.places.end()) t.places.push_back(place);
    if (t.note.find(note) == std::string::npos) t.note += "; " + note;
  }
};

// The arguments of the script commands that reach the screen.
struct ShownArgs {
  const char* command;
  int first, last;
  const char* note;
};
constexpr ShownArgs ShownByCommand[] = {
    {"outcry",       1, 1, "message line at the top of the screen"},
    {"choice",       1, 3, "answer of a question, shown after \"1. \", \"2. \" or \"3. \""},
    {"createportal", 7, 7, "message line while the player touches the portal"},
};

// A statement takes its arguments from the lines up to its closing parenthesis, so the
// statements are read once the whole file is parsed; each is placed on its first line.
void ExtractScript(const std::string& path, const std::string& bytes, Collector& out) {
  kw::StartScript.Clear();
  kw::MainScript.Clear();
  kw::ScriptScan scan;
  std::vector<std::pair<const kw::Statement*, int>> placed;
  int number = 0;
  for (const std::string& line : GameLines(bytes)) {
    ++number;
    const int counts[2] = {kw::StartScript.Count(), kw::MainScript.Count()};
    kw::ParseScriptLine(scan, line);
    kw::List<kw::Statement>* lists[2] = {&kw::StartScript, &kw::MainScript};
    for (int l = 0; l < 2; ++l) {
      int index = 0;
      for (const kw::Statement& s : *lists[l])
        if (index++ >= counts[l]) placed.push_back({&s, number});
    }
  }
  for (const auto& [s, line] : placed) {
    const std::string cmd = kw::StripBlanks(kw::ScriptLowerCase(s->command));
    for (const ShownArgs& shown : ShownByCommand)
      if (cmd == shown.command)
        for (int a = shown.first; a <= shown.last; ++a)
          out.Add(kw::ScriptArg(*s, a), path + ":" + std::to_string(line), shown.note);
  }
  kw::StartScript.Clear();
  kw::MainScript.Clear();
}

// The "Text" key of each group, as the settings reader gives it (blanks and tabs
// trimmed); the first such key of a group counts.
void ExtractCutscenes(const std::string& path, const std::string& bytes, Collector& out) {
  auto trim = [](const std::string& s) {
    size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return std::string();
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
  };
  int number = 0;
  bool found = false;
  for (const std::string& line : GameLines(bytes)) {
    ++number;
    std::string t = trim(line);
    if (!t.empty() && t[0] == '[') found = false;
    size_t equals = t.find('=');
    if (found || t.empty() || t[0] == ';' || equals == std::string::npos) continue;
    std::string key = trim(t.substr(0, equals));
    std::transform(key.begin(), key.end(), key.begin(), [](char c) { return char(std::tolower(c)); });
    if (key != "text") continue;
    found = true;
    out.Add(trim(t.substr(equals + 1)), path + ":" + std::to_string(number),
            "cutscene text: each \\ starts a new line");
  }
}

// Gegner.ini: 14 lines per enemy type, the name on the fifth.
void ExtractEnemyNames(const std::string& path, const std::string& bytes, Collector& out) {
  std::vector<std::string> lines = GameLines(bytes);
  for (size_t at = 4; at < lines.size(); at += 14)
    out.Add(lines[at], path + ":" + std::to_string(at + 1),
            "enemy name, shown in the boss line as \"NAME: \" and a health mark per hit point");
}

// The characters a PO string escapes.
std::string PoString(const std::string& utf8) {
  std::string out = "\"";
  for (char c : utf8) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    out += c;
  }
  return out + "\"";
}

}  // namespace

bool ExtractGameTexts(const std::string& dir, std::vector<GameDataText>& texts, std::string& error) {
  Collector out{texts, {}};
  std::vector<fs::path> scripts;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() > 11 && name.compare(name.size() - 11, 11, "_Script.ssc") == 0) scripts.push_back(it->path());
  }
  if (ec) {
    error = "cannot read the folder " + dir;
    return false;
  }
  std::sort(scripts.begin(), scripts.end());
  // Places name the files as the caller named the folder.
  auto place = [&](const fs::path& p) {
    return (fs::path(dir) / fs::relative(p, dir, ec)).generic_string();
  };
  std::string bytes;
  for (const fs::path& script : scripts) {
    if (!kwmap::ReadFileBytes(script.string(), bytes)) {
      error = "cannot read " + script.string();
      return false;
    }
    ExtractScript(place(script), bytes, out);
  }
  using Extractor = void (*)(const std::string&, const std::string&, Collector&);
  const std::pair<const char*, Extractor> files[] = {{"cutscenes.ini", ExtractCutscenes},
                                                     {"Gegner.ini", ExtractEnemyNames}};
  for (const auto& [name, extract] : files) {
    fs::path file = fs::path(dir) / name;
    if (!kwmap::ReadFileBytes(file.string(), bytes)) {
      error = "cannot read " + file.string();
      return false;
    }
    extract(file.generic_string(), bytes, out);
  }
  return true;
}

std::string GameTextsTemplate(const std::vector<GameDataText>& texts) {
  std::string pot =
      "# The texts of the game data: map scripts, cutscenes.ini, Gegner.ini.\n"
      "msgid \"\"\n"
      "msgstr \"\"\n"
      "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
      "\"Content-Transfer-Encoding: 8bit\\n\"\n";
  for (const GameDataText& t : texts) {
    pot += "\n#. " + t.note + "\n";
    for (const std::string& p : t.places) pot += "#: " + p + "\n";
    pot += "msgid " + PoString(kw::Latin1ToUtf8(t.text)) + "\nmsgstr \"\"\n";
  }
  return pot;
}

}  // namespace kwgen
