// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The map script reader: the tag grid into the cells' tagNo, and the script file into
// the two statement lists (StartScript inside "{ ... }", MainScript for the rest).
// Called by the map loader on the loader thread, once per map; the authors' tool calls
// ParseScriptLine line by line to know where each statement came from.
//
// The line parser is deliberately simple and keeps its odd corners, since existing
// scripts rely on them: every line is lower-cased first, braces count only as a word of
// their own, a keyword is taken out wherever it appears in the line, and the scan
// states (inside parentheses, argument number, collecting) carry across lines and ":".
#include "media/media.h"
#include "script/script.h"

namespace kw {

namespace {

constexpr int ScriptFile = 0;
const std::string EndMarker = "###eof###";

// The keywords that give a statement its kind, in kind order from 1.
const std::array<const char*, 5> Keywords = {"if", "else", "endif", "for", "next"};

// The text before the first blank (the whole line when it has none).
std::string FirstWord(const std::string& line) {
  return line.substr(0, line.find(' '));
}

// Deletes every occurrence of word from line, also inside other words.
std::string DeleteAll(const std::string& line, const std::string& word) {
  std::string out;
  size_t from = 0;
  for (size_t at = line.find(word); at != std::string::npos; at = line.find(word, from)) {
    out.append(line, from, at - from);
    from = at + word.size();
  }
  out.append(line, from, std::string::npos);
  return out;
}

// Appends a new statement to the line's list and makes it the one that receives
// characters; past MaxScriptStatements nothing is added and characters are dropped.
void NewStatement(ScriptScan& scan) {
  if (scan.added >= MaxScriptStatements) {
    scan.current = nullptr;
    return;
  }
  scan.list->Last();
  scan.current = &scan.list->Add();
  scan.added += 1;
}

// Stores one character of the scan in the command or in the current argument.
void StoreCharacter(ScriptScan& scan, char c) {
  Statement* s = scan.current;
  if (!s) return;
  if (scan.collecting == 0) {
    s->command += c;
    return;
  }
  // More than MaxScriptArgs arguments: the first ones are kept, the rest dropped.
  if (scan.argIndex < 1 || scan.argIndex > MaxScriptArgs) return;
  if (int(s->arg.size()) <= scan.argIndex) s->arg.resize(size_t(scan.argIndex) + 1);
  s->arg[size_t(scan.argIndex)] += c;
}

// Step 5 of the line parser: the characters, with comment, parentheses, commas and ":".
void ScanLine(ScriptScan& scan, const std::string& line) {
  for (char c : line) {
    switch (c) {
      case ';': return;
      case '(': scan.inParens = 1; scan.argIndex = 1; scan.collecting = 1; break;
      case ')': scan.inParens = 0; scan.collecting = 0; break;
      case ',':
        // Kept just past the last index, so a line of commas cannot overflow it.
        if (scan.inParens == 1 && scan.argIndex <= MaxScriptArgs) scan.argIndex += 1;
        break;
      case ':': NewStatement(scan); break;
      default: StoreCharacter(scan, c); break;
    }
  }
}

// Steps 1..4 of the line parser: block braces, the new statement and its keyword.
void ParseLine(ScriptScan& scan, std::string line) {
  std::string first = FirstWord(line);
  if (first == "{") {
    scan.inBlock = 1;
    line = DeleteAll(line, "{");
  } else if (first == "}") {
    scan.inBlock = 0;
    line = DeleteAll(line, "}");
  }
  scan.list = scan.inBlock == 1 ? &StartScript : &MainScript;
  NewStatement(scan);
  // After a deleted brace the line begins with a blank: its first word is empty.
  first = FirstWord(line);
  for (size_t k = 0; k < Keywords.size(); ++k) {
    if (first != Keywords[k]) continue;
    if (scan.current) scan.current->kind = int32_t(k + 1);
    line = DeleteAll(line, first);
    break;
  }
  ScanLine(scan, line);
}

}  // namespace

std::string ScriptLowerCase(std::string text) {
  for (char& c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE)) c = static_cast<char>(u + 32);
  }
  return text;
}

std::string StripBlanks(const std::string& text) {
  size_t from = text.find_first_not_of(' ');
  if (from == std::string::npos) return "";
  size_t to = text.find_last_not_of(' ');
  return text.substr(from, to - from + 1);
}

const std::string& ScriptArg(const Statement& s, int i) {
  static const std::string empty;
  if (i < 0 || size_t(i) >= s.arg.size()) return empty;
  return s.arg[size_t(i)];
}

// Lower-cases and strips the line, skips empty lines and the end marker (which does
// not end the file: lines after it are read too), and parses the rest.
void ParseScriptLine(ScriptScan& scan, const std::string& rawLine) {
  std::string line = StripBlanks(ScriptLowerCase(rawLine));
  if (line.empty() || line == EndMarker) return;
  ParseLine(scan, line);
}

// One signed byte per cell, row after row, for exactly the map's cells.
void ReadTagGrid(const std::string& tagGridPath) {
  bool open = OpenFileForReading(ScriptFile, tagGridPath) != 0;
  for (int row = 0; row <= Map.H; ++row)
    for (int col = 0; col <= Map.W; ++col)
      Map.At(col, row).tagNo = open ? ReadInt8(ScriptFile) : 0;
  if (open) CloseFileNumber(ScriptFile);
}

int ParseScript(const std::string& scriptPath, const std::string& tagGridPath) {
  ReadTagGrid(tagGridPath);
  if (!OpenFileForReading(ScriptFile, scriptPath)) return 0;
  ScriptScan scan;
  while (FilePosition(ScriptFile) < FileLength(ScriptFile))
    ParseScriptLine(scan, ReadTextLine(ScriptFile));
  CloseFileNumber(ScriptFile);
  return 1;
}

}  // namespace kw
