// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Settings (INI) files, one open at a time: Setup.ini (read by position at start-up,
// written by the options screen) and cutscenes.ini (walked group by group). The file is
// held as its lines with their own line ends, so writing a key keeps every other line,
// comment and line end as it was; it goes back to disk only when something changed.
#include <string>
#include <vector>

#include "media/files.h"
#include "media/textutil.h"

namespace kw {

namespace {

enum class LineKind { Other, Key, Group };

// One line of the file as read, with its own line end ("" on a last line without one).
struct SettingsLine {
  std::string text;
  std::string lineEnd;
};

bool SettingsOpen = false;
bool SettingsChanged = false;
std::string SettingsPath;              // the game path it was opened with
bool SettingsHasBom = false;           // written back when the file had one
std::vector<SettingsLine> SettingsLines;
int SettingsGroup = -1;                // line of the current group header; -1 = before the first
int SettingsCursor = -1;               // selected line; -1 = none

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimBlanks(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && IsBlank(s[a])) ++a;
  while (b > a && IsBlank(s[b - 1])) --b;
  return s.substr(a, b - a);
}

size_t SkipBlanks(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return i;
}

LineKind KindOf(int line) {
  const std::string& t = SettingsLines[size_t(line)].text;
  size_t i = SkipBlanks(t);
  if (i >= t.size() || t[i] == ';') return LineKind::Other;
  if (t[i] == '[') return LineKind::Group;
  return t.find('=', i) != std::string::npos ? LineKind::Key : LineKind::Other;
}

// The key of a key line: up to the first "=", trailing blanks dropped.
std::string KeyOf(int line) {
  const std::string& t = SettingsLines[size_t(line)].text;
  size_t i = SkipBlanks(t);
  return TrimBlanks(t.substr(i, t.find('=', i) - i));
}

std::string ValueOf(int line) {
  const std::string& t = SettingsLines[size_t(line)].text;
  return TrimBlanks(t.substr(t.find('=', SkipBlanks(t)) + 1));
}

bool SameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

int LineCount() { return int(SettingsLines.size()); }

// First line of the current group's body and the line after its last one.
int GroupBegin() { return SettingsGroup + 1; }
int GroupEnd() {
  int i = GroupBegin();
  while (i < LineCount() && KindOf(i) != LineKind::Group) ++i;
  return i;
}

int FindKeyInGroup(const std::string& key) {
  for (int i = GroupBegin(), end = GroupEnd(); i < end; ++i)
    if (KindOf(i) == LineKind::Key && SameNoCase(KeyOf(i), key)) return i;
  return -1;
}

void SplitLines(const std::string& data, size_t start) {
  size_t i = start;
  while (i < data.size()) {
    size_t end = i;
    while (end < data.size() && data[end] != '\r' && data[end] != '\n') ++end;
    SettingsLine line{data.substr(i, end - i), ""};
    if (end < data.size()) {
      size_t endLength = (data[end] == '\r' && end + 1 < data.size() && data[end + 1] == '\n') ? 2 : 1;
      line.lineEnd = data.substr(end, endLength);
      end += endLength;
    }
    SettingsLines.push_back(line);
    i = end;
  }
}

void ResetSettings() {
  SettingsOpen = false;
  SettingsChanged = false;
  SettingsPath.clear();
  SettingsHasBom = false;
  SettingsLines.clear();
  SettingsGroup = -1;
  SettingsCursor = -1;
}

}  // namespace

int OpenSettings(const std::string& path) {
  if (SettingsOpen) CloseSettings();
  std::string data;
  if (!ReadWholeFile(path, data)) return 0;
  ResetSettings();
  SettingsHasBom = data.compare(0, 3, "\xEF\xBB\xBF") == 0;
  SplitLines(data, SettingsHasBom ? 3 : 0);
  SettingsPath = path;
  SettingsOpen = true;
  return 1;
}

// Selects the first key line of the current group. Before the first group the walk
// starts at the top of the file, and a group header met there before any key is
// selected itself (its value reads ""): that is why a Setup.ini with a header above
// its keys reads every value one place late.
void FirstSettingsKey() {
  if (!SettingsOpen) return;
  SettingsCursor = -1;
  for (int i = GroupBegin(); i < LineCount(); ++i) {
    LineKind kind = KindOf(i);
    if (kind == LineKind::Key || (kind == LineKind::Group && SettingsGroup < 0)) {
      SettingsCursor = i;
      return;
    }
    if (kind == LineKind::Group) return;
  }
}

// Moves to the next key line, skipping comments; stays (and returns 0) at a group
// header or the end, so reading on past the last key repeats its value.
int NextSettingsKey() {
  if (!SettingsOpen) return 0;
  int start = SettingsCursor >= 0 ? SettingsCursor + 1 : GroupBegin();
  for (int i = start; i < LineCount(); ++i) {
    LineKind kind = KindOf(i);
    if (kind == LineKind::Group) return 0;
    if (kind == LineKind::Key) {
      SettingsCursor = i;
      return 1;
    }
  }
  return 0;
}

std::string SettingsKeyValue() {
  if (!SettingsOpen || SettingsCursor < 0 || KindOf(SettingsCursor) != LineKind::Key) return "";
  return ValueOf(SettingsCursor);
}

// Replaces the key's value in the current group (the key keeps its spelling and the
// blanks around "="), or adds "key=value" after the group's last non-empty line.
void WriteSettingsKey(const std::string& key, const std::string& value) {
  if (!SettingsOpen) return;
  int line = FindKeyInGroup(key);
  if (line >= 0) {
    std::string& t = SettingsLines[size_t(line)].text;
    size_t eq = t.find('=', SkipBlanks(t));
    size_t valueStart = eq + 1;
    while (valueStart < t.size() && IsBlank(t[valueStart])) ++valueStart;
    std::string updated = t.substr(0, valueStart) + value;
    if (updated != t) {
      t = updated;
      SettingsChanged = true;
    }
    return;
  }
  int at = GroupBegin();
  for (int i = GroupBegin(), end = GroupEnd(); i < end; ++i)
    if (TrimBlanks(SettingsLines[size_t(i)].text) != "") at = i + 1;
  if (at > 0 && SettingsLines[size_t(at - 1)].lineEnd.empty()) SettingsLines[size_t(at - 1)].lineEnd = "\r\n";
  SettingsLines.insert(SettingsLines.begin() + at, SettingsLine{key + "=" + value, "\r\n"});
  // The selection and group stay on the same lines after the insertion.
  if (SettingsCursor >= at) ++SettingsCursor;
  SettingsChanged = true;
}

int NextSettingsGroup() {
  if (!SettingsOpen) return 0;
  for (int i = SettingsGroup + 1; i < LineCount(); ++i) {
    if (KindOf(i) == LineKind::Group) {
      SettingsGroup = i;
      SettingsCursor = -1;
      return 1;
    }
  }
  return 0;
}

std::string SettingsGroupName() {
  if (!SettingsOpen || SettingsGroup < 0) return "";
  const std::string& t = SettingsLines[size_t(SettingsGroup)].text;
  size_t open = t.find('[');
  size_t close = t.find(']', open + 1);
  return t.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
}

int ReadSettingsNumber(const std::string& key, int defaultValue) {
  if (!SettingsOpen) return defaultValue;
  int line = FindKeyInGroup(key);
  return line < 0 ? defaultValue : ParseInt(ValueOf(line));
}

std::string ReadSettingsText(const std::string& key, const std::string& defaultValue) {
  if (!SettingsOpen) return defaultValue;
  int line = FindKeyInGroup(key);
  return line < 0 ? defaultValue : ValueOf(line);
}

// Writes the file back through the file service (temporary name and rename; Setup.ini
// goes to the user folder) when something changed, and forgets it.
void CloseSettings() {
  if (SettingsOpen && SettingsChanged) {
    std::string data = SettingsHasBom ? "\xEF\xBB\xBF" : "";
    for (const SettingsLine& line : SettingsLines) data += line.text + line.lineEnd;
    WriteWholeFile(SettingsPath, data);
  }
  ResetSettings();
}

}  // namespace kw
