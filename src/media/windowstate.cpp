// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The window on the player's screen: where the 640 x 480 picture goes inside the window
// (aspect kept, black bars, integer or sharp scaling), and the small file in the user
// folder that remembers the window between runs and holds the player's vsync choice. No
// SDL here: the display code in display.cpp asks these pure procedures, and tests can too.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "media/core.h"
#include "media/files.h"

namespace kw {

namespace {

// A remembered window larger than this is a damaged file, not a screen.
constexpr int MaxWindowSide = 16384;
// Whatever the file holds, no more than this is read of it.
constexpr std::streamsize MaxWindowStateBytes = 4096;

// The largest whole factor by which the picture fits inside the output (0 = it does not).
int WholeFactor(int outWidth, int outHeight) {
  return std::min(outWidth / ScreenWidth, outHeight / ScreenHeight);
}

// The picture scaled to fit with its aspect kept: the larger side that fits, in whole pixels.
void FitWithAspect(int outWidth, int outHeight, int& width, int& height) {
  // Compare outWidth / 640 with outHeight / 480 without division.
  if (int64_t(outWidth) * ScreenHeight <= int64_t(outHeight) * ScreenWidth) {
    width = outWidth;
    height = int(int64_t(outWidth) * ScreenHeight / ScreenWidth);
  } else {
    height = outHeight;
    width = int(int64_t(outHeight) * ScreenWidth / ScreenHeight);
  }
  width = std::max(width, 1);
  height = std::max(height, 1);
}

bool ParseBool(const std::string& v, bool& out) {
  if (v == "1" || v == "yes") { out = true; return true; }
  if (v == "0" || v == "no") { out = false; return true; }
  return false;
}

bool ParseSide(const std::string& v, int low, int& out) {
  char* end = nullptr;
  long n = std::strtol(v.c_str(), &end, 10);
  if (v.empty() || end != v.c_str() + v.size() || n < low || n > MaxWindowSide) return false;
  out = int(n);
  return true;
}

std::string Lowered(std::string t) {
  for (char& c : t) c = char(std::tolower(static_cast<unsigned char>(c)));
  return t;
}

// The player's vsync choice; anything else (a typo, a damaged value) is auto, which is
// what the game would pick anyway, so the rest of the file still counts.
int ParseVsync(const std::string& value) {
  std::string v = Lowered(value);
  if (v == "on" || v == "1" || v == "yes") return VsyncOn;
  if (v == "off" || v == "0" || v == "no") return VsyncOff;
  return VsyncAuto;
}

const char* VsyncName(int vsync) {
  return vsync == VsyncOn ? "on" : vsync == VsyncOff ? "off" : "auto";
}

// Without the blanks and tabs around a key or value that a player's hand may leave.
std::string Trimmed(const std::string& t) {
  size_t from = t.find_first_not_of(" \t"), to = t.find_last_not_of(" \t");
  return from == std::string::npos ? "" : t.substr(from, to - from + 1);
}

// One "key=value" line into the state; false for anything not understood.
bool ParseWindowStateLine(const std::string& key, const std::string& v, WindowState& s) {
  if (key == "vsync") {
    s.vsync = ParseVsync(v);
    return true;
  }
  if (key == "x") return ParseSide(v, -MaxWindowSide, s.x);
  if (key == "y") return ParseSide(v, -MaxWindowSide, s.y);
  if (key == "width") return ParseSide(v, 1, s.width);
  if (key == "height") return ParseSide(v, 1, s.height);
  if (key == "maximised") return ParseBool(v, s.maximised);
  if (key == "fullscreen") return ParseBool(v, s.fullScreen);
  if (key == "positioned") return ParseBool(v, s.positioned);
  if (key == "start") {
    if (v == "window") s.startWindowed = true;
    else if (v == "fullscreen") s.startWindowed = false;
    else return false;
    return true;
  }
  if (key == "scaling") {
    if (v == "sharp") s.scaling = ScalingSharp;
    else if (v == "integer") s.scaling = ScalingInteger;
    else return false;
    return true;
  }
  return false;
}

}  // namespace

// Where the picture goes in an output of outWidth x outHeight real pixels, and the whole
// factor the picture is first enlarged by with nearest-neighbour pixels.
ScaleRect ComputeScaleRect(int outWidth, int outHeight, int scaling) {
  ScaleRect r;
  outWidth = std::max(outWidth, 1);
  outHeight = std::max(outHeight, 1);
  int factor = WholeFactor(outWidth, outHeight);
  if (scaling == ScalingInteger && factor >= 1) {
    r.width = ScreenWidth * factor;
    r.height = ScreenHeight * factor;
  } else {
    // Sharp scaling, and an integer choice in a window smaller than the picture:
    // crisp pixels up to the whole factor, then a smooth last step to the fitting size.
    FitWithAspect(outWidth, outHeight, r.width, r.height);
  }
  r.factor = std::max(factor, 1);
  r.x = (outWidth - r.width) / 2;
  r.y = (outHeight - r.height) / 2;
  return r;
}

// Reads the remembered window; false (and the state untouched) when the file is
// missing or damaged in any line, so a bad file gives the defaults, never a strange window.
bool ReadWindowState(const std::string& path, WindowState& state) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string text(size_t(MaxWindowStateBytes) + 1, '\0');
  in.read(&text[0], MaxWindowStateBytes + 1);
  if (in.gcount() > MaxWindowStateBytes) return false;
  text.resize(size_t(in.gcount()));
  WindowState read = state;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    size_t eq = line.find('=');
    if (eq == std::string::npos ||
        !ParseWindowStateLine(Lowered(Trimmed(line.substr(0, eq))), Trimmed(line.substr(eq + 1)), read))
      return false;
  }
  state = read;
  return true;
}

// Written through the file service (temporary name, on the disk, renamed over), so a
// crash or a full disk leaves the old file whole.
bool WriteWindowState(const std::string& path, const WindowState& s) {
  std::ostringstream out;
  out << "# klingenwald window, written by the game\n"
      << "x=" << s.x << "\ny=" << s.y << "\nwidth=" << s.width << "\nheight=" << s.height
      << "\npositioned=" << (s.positioned ? 1 : 0) << "\nmaximised=" << (s.maximised ? 1 : 0)
      << "\nfullscreen=" << (s.fullScreen ? 1 : 0)
      << "\nstart=" << (s.startWindowed ? "window" : "fullscreen")
      << "\nscaling=" << (s.scaling == ScalingInteger ? "integer" : "sharp")
      << "\n# vsync: auto (only on a display of about 60 Hz), on or off\n"
      << "vsync=" << VsyncName(s.vsync) << "\n";
  return WriteOutsideFile(path, out.str());
}

}  // namespace kw
