// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The map file and its readable text form, for authors and for the build.
// kwtool's "map" command and the game-data generator use it; the game itself reads
// map files with its own loader.
//
// Map file: 15 text lines (each ended by CR LF), then little-endian int32 values in
// three passes over all cells, each pass row by row (rows 0..H, columns 0..W):
// seven per cell (tile, over, back, vertical range value, horizontal range value,
// front, alpha), then pickup, then shade. The tag grid beside it is one signed byte
// per cell in the same order.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kwmap {

// Cell layers in the order the map file stores them (passes 1, 2, 3).
enum Layer { Tile, Over, Back, VRange, HRange, Front, Alpha, Pickup, Shade, LayerCount };

constexpr int HeaderLines = 15;

struct LayerInfo {
  const char* name;    // name in the text form
  int32_t defaultValue;  // value of a layer the text form leaves out
};
extern const std::array<LayerInfo, LayerCount> Layers;
// Names of the 15 header lines in the text form, in file order.
extern const std::array<const char*, HeaderLines> HeaderNames;

struct MapFile {
  // The lines without their CR LF; numbers in them are read with the game's ParseInt.
  std::array<std::string, HeaderLines> header;
  int width = 0;                                // columns, W + 1 (0 for a negative W)
  int height = 0;                               // rows, H + 1
  std::array<std::vector<int32_t>, LayerCount> cells;  // each row-major, width * height
  std::string trailer;  // bytes after the body; kept so that any file round-trips
  int32_t& At(Layer layer, int col, int row) { return cells[layer][size_t(row) * width + col]; }
  int32_t At(Layer layer, int col, int row) const {
    return cells[layer][size_t(row) * width + col];
  }
};

// A map source: the map file and the script tags of its cells (empty = all 0).
struct MapSource {
  MapFile map;
  std::vector<int8_t> tags;  // row-major like the layers
};

// Makes an empty map of the given size with every layer at its default value.
void ResetMap(MapFile& map, int width, int height);

// Binary map file. ReadMapBytes refuses files shorter than header + body.
bool ReadMapBytes(const std::string& bytes, MapFile& map, std::string& error);
std::string WriteMapBytes(const MapFile& map);
// Tag grid file: one signed byte per cell, row by row.
std::string WriteTagBytes(const MapSource& source);

// Text form. TextToMap reports the first problem as "line N: message".
std::string MapToText(const MapSource& source);
bool TextToMap(const std::string& text, MapSource& source, std::string& error);

// Header values and cell statistics, one fact per line.
std::string MapInfoText(const MapFile& map);

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

// Whole files as bytes; false when the file cannot be read or written.
bool ReadFileBytes(const std::string& path, std::string& out);
bool WriteFileBytes(const std::string& path, const std::string& data);

}  // namespace kwmap
