// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The map file and its text form (see maptext.h). The text form, as authors write it:
//
//   klingenwald map
//   width: 99                  header lines by name, in any order, values verbatim
//   height: 19                 (width/height may be left out: the first grid gives them)
//   start_cell: 5 16           convenience: start_x = 30*5-300, start_y = 30*16-230
//   layer tile                 a layer as a character grid ...
//   legend . 1
//   legend # 3
//   grid
//   ####....####
//   end
//   layer vrange numbers       ... or as a grid of numbers, one row per line
//   grid
//   0 0 -60 0 ...
//   end
//   set vrange 10 5 -60        one cell: layer column row value
//   fill tile 0 19 99 19 3     a rectangle: layer col0 row0 col1 row1 value
//   trailer 0a0d               bytes after the body (only odd files have them)
//
// Layers left out keep their defaults (front 1, alpha 255, all others 0). "tag" is the
// script tag grid, written beside the map file. Lines starting with '#' outside a grid
// are comments. Header values escape '\', control and non-ASCII bytes and spaces at
// either end as \xHH, so every header line survives an editor.
#include "maptext.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "media/textutil.h"

namespace kwmap {

const std::array<LayerInfo, LayerCount> Layers = {{
    {"tile", 0},    // main tile number
    {"over", 0},    // overlay picture
    {"back", 0},    // back-layer picture
    {"vrange", 0},  // vertical range as stored: the cell moves that far down (+) or up (-) and back
    {"hrange", 0},  // horizontal range as stored: right (+) or left (-) and back
    {"front", 1},   // 1 = takes part in collisions, 2 = no front picture
    {"alpha", 255}, // opacity
    {"pickup", 0},  // contact code, slider 12, enemies 19 and above
    {"shade", 0},   // darkness tile index
}};

const std::array<const char*, HeaderLines> HeaderNames = {
    "width",      "height",     "darkness",  "text4",    "text5",
    "text6",      "time",       "weather",   "tileset",  "background",
    "start_y",    "start_x",    "exit_col",  "exit_row", "extra"};

namespace {

constexpr int TagLayer = LayerCount;  // the tag grid, parsed like a layer
constexpr size_t BytesPerCell = 9 * 4;
// Characters the decompiler gives to values other than 0..9. No 'e', so that no grid row
// can read "end"; no blanks, which end a row.
const char* const CharPool =
    "abcdfghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ.#=+-*/%&@$!?<>^~|:_";

uint32_t LoadLe32(const std::string& bytes, size_t at) {
  return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8 |
         uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 3])) << 24;
}

void StoreLe32(std::string& out, int32_t value) {
  const uint32_t v = uint32_t(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(char((v >> shift) & 0xFF));
}

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return "";
  const size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

std::vector<std::string> Words(const std::string& s) {
  std::istringstream in(s);
  std::vector<std::string> words;
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}

// A whole word as a decimal int32, nothing else allowed: an optional sign and digits,
// read by the game's rule. The game saturates where the text form refuses, so the
// value must give back the word's own digits (leading zeros aside).
bool StrictInt(const std::string& word, int32_t& value) {
  const size_t first = (!word.empty() && (word[0] == '+' || word[0] == '-')) ? 1 : 0;
  if (first == word.size() || word.find_first_not_of("0123456789", first) != std::string::npos)
    return false;
  const size_t lead = std::min(word.find_first_not_of('0', first), word.size() - 1);
  const long long v = kw::ParseInt(word);
  if (kw::IntToText(v < 0 ? -v : v) != word.substr(lead)) return false;
  value = int32_t(v);
  return true;
}

const char HexDigits[] = "0123456789abcdef";

std::string EscapeHeader(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = text[i];
    const bool edgeSpace = c == ' ' && (i == 0 || i + 1 == text.size());
    if (c < 0x20 || c >= 0x7F || c == '\\' || edgeSpace) {
      out += "\\x";
      out += HexDigits[c >> 4];
      out += HexDigits[c & 15];
    } else {
      out += char(c);
    }
  }
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool UnescapeHeader(const std::string& text, std::string& out) {
  out.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (i + 3 >= text.size()) return false;
    if (text[i + 1] != 'x' || HexValue(text[i + 2]) < 0 || HexValue(text[i + 3]) < 0) return false;
    out += char(HexValue(text[i + 2]) * 16 + HexValue(text[i + 3]));
    i += 3;
  }
  return true;
}

bool UnhexBytes(const std::string& hex, std::string& out) {
  if (hex.size() % 2) return false;
  out.clear();
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int hi = HexValue(hex[i]), lo = HexValue(hex[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out += char(hi * 16 + lo);
  }
  return true;
}

int LayerByName(const std::string& name) {
  for (int i = 0; i < LayerCount; ++i)
    if (name == Layers[i].name) return i;
  return name == "tag" ? TagLayer : -1;
}

int HeaderByName(const std::string& name) {
  for (int i = 0; i < HeaderLines; ++i)
    if (name == HeaderNames[i]) return i;
  return -1;
}

}  // namespace

void ResetMap(MapFile& map, int width, int height) {
  map.width = width;
  map.height = height;
  for (int layer = 0; layer < LayerCount; ++layer)
    map.cells[layer].assign(size_t(width) * height, Layers[layer].defaultValue);
}

bool ReadMapBytes(const std::string& bytes, MapFile& map, std::string& error) {
  size_t pos = 0;
  for (int line = 0; line < HeaderLines; ++line) {
    const size_t end = bytes.find("\r\n", pos);
    if (end == std::string::npos) {
      error = "not a map file: header line " + std::to_string(line + 1) + " has no CR LF";
      return false;
    }
    map.header[line] = bytes.substr(pos, end - pos);
    pos = end + 2;
  }
  // The game loops over rows 0..H and columns 0..W, so a negative W or H means no cells.
  const long long cols = std::max<long long>(0, (long long)kw::ParseInt(map.header[0]) + 1);
  const long long rows = std::max<long long>(0, (long long)kw::ParseInt(map.header[1]) + 1);
  const size_t remaining = bytes.size() - pos;
  if (cols * rows > (long long)(remaining / BytesPerCell)) {
    error = "not a map file: " + std::to_string(cols) + " x " + std::to_string(rows) +
            " cells need " + std::to_string(cols * rows * (long long)BytesPerCell) +
            " bytes after the header, the file has " + std::to_string(remaining);
    return false;
  }
  ResetMap(map, int(cols), int(rows));
  const size_t cells = size_t(cols * rows);
  for (size_t c = 0; c < cells; ++c, pos += 28)
    for (int layer = Tile; layer <= Alpha; ++layer)
      map.cells[layer][c] = int32_t(LoadLe32(bytes, pos + 4 * (layer - Tile)));
  for (int layer : {Pickup, Shade})
    for (size_t c = 0; c < cells; ++c, pos += 4) map.cells[layer][c] = int32_t(LoadLe32(bytes, pos));
  map.trailer = bytes.substr(pos);
  return true;
}

std::string WriteMapBytes(const MapFile& map) {
  std::string out;
  for (const std::string& line : map.header) out += line + "\r\n";
  const size_t cells = size_t(map.width) * map.height;
  out.reserve(out.size() + cells * BytesPerCell + map.trailer.size());
  for (size_t c = 0; c < cells; ++c)
    for (int layer = Tile; layer <= Alpha; ++layer) StoreLe32(out, map.cells[layer][c]);
  for (int layer : {Pickup, Shade})
    for (size_t c = 0; c < cells; ++c) StoreLe32(out, map.cells[layer][c]);
  return out + map.trailer;
}

std::string WriteTagBytes(const MapSource& source) {
  const size_t cells = size_t(source.map.width) * source.map.height;
  std::string out(cells, '\0');
  for (size_t c = 0; c < cells && c < source.tags.size(); ++c) out[c] = char(source.tags[c]);
  return out;
}

// ---------------------------------------------------------------------------------------
// Writing the text form

namespace {

void WriteLayer(std::ostringstream& out, const char* name, const std::vector<int32_t>& values,
                int width, int height) {
  std::set<int32_t> distinct(values.begin(), values.end());
  std::map<int32_t, char> chars;
  size_t poolAt = 0;
  const size_t poolSize = std::char_traits<char>::length(CharPool);
  for (int32_t v : distinct) {
    if (v >= 0 && v <= 9) chars[v] = char('0' + v);
    else if (poolAt < poolSize) chars[v] = CharPool[poolAt++];
    else { chars.clear(); break; }
  }
  out << "\nlayer " << name << (chars.empty() ? " numbers\n" : "\n");
  for (const auto& [value, c] : chars) out << "legend " << c << ' ' << value << '\n';
  out << "grid\n";
  for (int row = 0; row < height; ++row) {
    for (int col = 0; col < width; ++col) {
      const int32_t v = values[size_t(row) * width + col];
      if (!chars.empty()) out << chars[v];
      else out << (col ? " " : "") << v;
    }
    out << '\n';
  }
  out << "end\n";
}

}  // namespace

std::string MapToText(const MapSource& source) {
  const MapFile& map = source.map;
  std::ostringstream out;
  out << "klingenwald map\n";
  for (int i = 0; i < HeaderLines; ++i)
    out << HeaderNames[i] << ": " << EscapeHeader(map.header[i]) << '\n';
  for (int layer = 0; layer < LayerCount; ++layer) {
    const auto& values = map.cells[layer];
    const int32_t def = Layers[layer].defaultValue;
    if (std::all_of(values.begin(), values.end(), [def](int32_t v) { return v == def; })) continue;
    WriteLayer(out, Layers[layer].name, values, map.width, map.height);
  }
  if (std::any_of(source.tags.begin(), source.tags.end(), [](int8_t t) { return t != 0; })) {
    std::vector<int32_t> tags(source.tags.begin(), source.tags.end());
    tags.resize(size_t(map.width) * map.height, 0);
    WriteLayer(out, "tag", tags, map.width, map.height);
  }
  if (!map.trailer.empty()) {
    out << "\ntrailer ";
    for (unsigned char c : map.trailer) out << HexDigits[c >> 4] << HexDigits[c & 15];
    out << '\n';
  }
  return out.str();
}

// ---------------------------------------------------------------------------------------
// Reading the text form

namespace {

struct TextReader {
  TextReader(MapSource& s, std::string& e) : source(s), error(e) {}
  MapSource& source;
  std::string& error;
  std::array<bool, HeaderLines> headerGiven{};
  bool sized = false;
  std::vector<int32_t> tagValues;
  // The layer block being read.
  int layer = -1;
  bool numbers = false;
  std::map<char, int32_t> legend;
  bool inGrid = false;
  int gridStartLine = 0;
  std::vector<std::pair<int, std::string>> gridRows;  // line number, text

  bool Fail(int line, const std::string& message) {
    error = "line " + std::to_string(line) + ": " + message;
    return false;
  }

  std::vector<int32_t>& Values(int which) {
    return which == TagLayer ? tagValues : source.map.cells[which];
  }

  // Fixes the grid size: from the width/height header lines, else from the first grid.
  bool Size(int line, int gridWidth, int gridHeight) {
    if (sized) return true;
    MapFile& map = source.map;
    if (!headerGiven[0] && gridWidth >= 0) map.header[0] = std::to_string(gridWidth - 1);
    if (!headerGiven[1] && gridHeight >= 0) map.header[1] = std::to_string(gridHeight - 1);
    if ((!headerGiven[0] || !headerGiven[1]) && gridWidth < 0)
      return Fail(line, "the map's size is not known yet: give width and height or a grid first");
    const long long cols = std::max<long long>(0, (long long)kw::ParseInt(map.header[0]) + 1);
    const long long rows = std::max<long long>(0, (long long)kw::ParseInt(map.header[1]) + 1);
    if (cols * rows > 64LL * 1024 * 1024) return Fail(line, "the map is too large");
    ResetMap(map, int(cols), int(rows));
    tagValues.assign(size_t(cols * rows), 0);
    sized = true;
    return true;
  }

  bool Header(int line, const std::string& name, const std::string& value) {
    if (name == "start_cell") {
      const auto w = Words(value);
      int32_t col = 0, row = 0;
      if (w.size() != 2 || !StrictInt(w[0], col) || !StrictInt(w[1], row))
        return Fail(line, "start_cell needs a column and a row");
      source.map.header[11] = std::to_string(30LL * col - 300);
      source.map.header[10] = std::to_string(30LL * row - 230);
      headerGiven[10] = headerGiven[11] = true;
      return true;
    }
    const int index = HeaderByName(name);
    if (index < 0) return Fail(line, "unknown header line '" + name + "'");
    if (sized && index < 2) return Fail(line, "width and height must come before the layers");
    if (!UnescapeHeader(value, source.map.header[index]))
      return Fail(line, "bad escape in the value (write \\xHH)");
    headerGiven[index] = true;
    return true;
  }

  bool LayerLine(int line, const std::vector<std::string>& w) {
    if (w.size() < 2 || w.size() > 3 || (w.size() == 3 && w[2] != "numbers" && w[2] != "chars"))
      return Fail(line, "write 'layer NAME' or 'layer NAME numbers'");
    layer = LayerByName(w[1]);
    if (layer < 0) return Fail(line, "unknown layer '" + w[1] + "'");
    numbers = w.size() == 3 && w[2] == "numbers";
    legend.clear();
    return true;
  }

  bool LegendLine(int line, const std::string& text) {
    // "legend C VALUE": C is any character but a blank.
    if (layer < 0) return Fail(line, "legend outside a layer block");
    if (text.size() < 10 || text[6] != ' ' || text[7] == ' ' || text[7] == '\t' || text[8] != ' ')
      return Fail(line, "write 'legend C VALUE' with one character C");
    int32_t value = 0;
    if (!StrictInt(Trim(text.substr(9)), value)) return Fail(line, "the legend value is not a number");
    if (legend.count(text[7])) return Fail(line, std::string("character '") + text[7] + "' twice in the legend");
    legend[text[7]] = value;
    return true;
  }

  bool RowValues(int line, const std::string& text, int width, std::vector<int32_t>& row) {
    row.clear();
    if (numbers) {
      for (const std::string& w : Words(text)) {
        int32_t v = 0;
        if (!StrictInt(w, v)) return Fail(line, "'" + w + "' is not a number");
        row.push_back(v);
      }
    } else {
      const std::string cells = text.substr(0, text.find_last_not_of(" \t\r") + 1);
      for (size_t col = 0; col < cells.size(); ++col) {
        const auto it = legend.find(cells[col]);
        if (it == legend.end())
          return Fail(line, std::string("column ") + std::to_string(col) + ": character '" +
                                cells[col] + "' is not in the legend");
        row.push_back(it->second);
      }
    }
    if (width >= 0 && int(row.size()) != width)
      return Fail(line, "the row has " + std::to_string(row.size()) + " cells, the map " +
                            std::to_string(width));
    return true;
  }

  bool EndGrid(int line) {
    inGrid = false;
    std::vector<std::vector<int32_t>> rows;
    std::vector<int32_t> row;
    int width = sized ? source.map.width : -1;
    for (const auto& [rowLine, text] : gridRows) {
      if (!RowValues(rowLine, text, width, row)) return false;
      width = int(row.size());
      rows.push_back(row);
    }
    if (!Size(gridStartLine, width < 0 ? 0 : width, int(rows.size()))) return false;
    if (int(rows.size()) != source.map.height)
      return Fail(line, "the grid has " + std::to_string(rows.size()) + " rows, the map " +
                            std::to_string(source.map.height));
    std::vector<int32_t>& values = Values(layer);
    for (size_t r = 0; r < rows.size(); ++r)
      std::copy(rows[r].begin(), rows[r].end(), values.begin() + r * source.map.width);
    layer = -1;
    return true;
  }

  bool SetOrFill(int line, const std::vector<std::string>& w) {
    const bool fill = w[0] == "fill";
    const size_t need = fill ? 7 : 5;
    if (w.size() != need)
      return Fail(line, fill ? "write 'fill LAYER COL0 ROW0 COL1 ROW1 VALUE'" : "write 'set LAYER COL ROW VALUE'");
    const int which = LayerByName(w[1]);
    if (which < 0) return Fail(line, "unknown layer '" + w[1] + "'");
    std::array<int32_t, 5> n{};
    for (size_t i = 2; i < need; ++i)
      if (!StrictInt(w[i], n[i - 2])) return Fail(line, "'" + w[i] + "' is not a number");
    if (!Size(line, -1, -1)) return false;
    const int32_t c0 = n[0], r0 = n[1], c1 = fill ? n[2] : n[0], r1 = fill ? n[3] : n[1];
    const int32_t value = fill ? n[4] : n[2];
    const MapFile& map = source.map;
    if (c0 < 0 || r0 < 0 || c1 < c0 || r1 < r0 || c1 >= map.width || r1 >= map.height)
      return Fail(line, "cells outside the map (" + std::to_string(map.width) + " x " +
                            std::to_string(map.height) + ")");
    for (int r = r0; r <= r1; ++r)
      for (int c = c0; c <= c1; ++c) Values(which)[size_t(r) * map.width + c] = value;
    return true;
  }

  bool Line(int line, const std::string& raw) {
    if (inGrid) {
      if (Trim(raw) == "end") return EndGrid(line);
      gridRows.emplace_back(line, raw);
      return true;
    }
    const std::string text = Trim(raw);
    if (text.empty() || text[0] == '#' || text == "klingenwald map") return true;
    const auto w = Words(text);
    if (w[0] == "legend") return LegendLine(line, text);
    if (w[0] == "grid") {
      if (layer < 0) return Fail(line, "grid outside a layer block");
      if (!numbers && legend.empty()) return Fail(line, "a character grid needs a legend");
      inGrid = true;
      gridStartLine = line;
      gridRows.clear();
      return true;
    }
    if (layer >= 0) return Fail(line, "expected 'legend' or 'grid' in the layer block");
    if (w[0] == "layer") return LayerLine(line, w);
    if (w[0] == "set" || w[0] == "fill") return SetOrFill(line, w);
    if (w[0] == "trailer") {
      if (w.size() != 2 || !UnhexBytes(w[1], source.map.trailer))
        return Fail(line, "the trailer is written as hex digits");
      return true;
    }
    const size_t colon = text.find(':');
    if (colon != std::string::npos && text.substr(0, colon).find_first_of(" \t") == std::string::npos)
      return Header(line, text.substr(0, colon), Trim(text.substr(colon + 1)));
    return Fail(line, "cannot read '" + w[0] + "'");
  }

  bool Finish(int line) {
    if (inGrid) return Fail(gridStartLine, "grid without its 'end'");
    if (layer >= 0) return Fail(line, "layer block without its grid");
    if (!Size(line, -1, -1)) return false;
    source.tags.assign(tagValues.size(), 0);
    for (size_t i = 0; i < tagValues.size(); ++i) {
      if (tagValues[i] < -128 || tagValues[i] > 127)
        return Fail(line, "tag " + std::to_string(tagValues[i]) + " of cell " +
                              std::to_string(i % source.map.width) + "," +
                              std::to_string(i / source.map.width) + " does not fit a byte");
      source.tags[i] = int8_t(tagValues[i]);
    }
    return true;
  }
};

}  // namespace

bool TextToMap(const std::string& text, MapSource& source, std::string& error) {
  source = MapSource{};
  for (int i = 2; i < HeaderLines; ++i) source.map.header[i] = "0";
  for (int i : {3, 4, 5}) source.map.header[i] = "";
  source.map.header[7] = "0/0";
  source.map.header[8] = "1";
  TextReader reader(source, error);
  std::istringstream in(text);
  std::string raw;
  int line = 0;
  while (std::getline(in, raw)) {
    ++line;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    if (!reader.Line(line, raw)) return false;
  }
  return reader.Finish(line + 1);
}

// ---------------------------------------------------------------------------------------

std::string MapInfoText(const MapFile& map) {
  std::ostringstream out;
  for (int i = 0; i < HeaderLines; ++i)
    out << HeaderNames[i] << ": " << EscapeHeader(map.header[i]) << '\n';
  out << "cells: " << map.width << " x " << map.height << " (W " << map.width - 1 << ", H "
      << map.height - 1 << ")\n";
  const size_t cells = size_t(map.width) * map.height;
  size_t tiles = 0, solid = 0, moving = 0, vertical = 0, horizontal = 0, sliders = 0, enemies = 0;
  std::map<int32_t, size_t> pickups, enemyCodes;
  for (size_t c = 0; c < cells; ++c) {
    tiles += map.cells[Tile][c] != 0;
    solid += map.cells[Tile][c] > 1;
    const bool v = map.cells[VRange][c] != 0, h = map.cells[HRange][c] != 0;
    moving += v || h;
    vertical += v;
    horizontal += h;
    const int32_t p = map.cells[Pickup][c];
    if (p == 12) ++sliders;
    if (p >= 19) ++enemies, ++enemyCodes[p];
    if (p != 0) ++pickups[p];
  }
  out << "tiles: " << tiles << " (solid " << solid << ")\n";
  out << "pickups:";
  for (const auto& [code, count] : pickups) out << ' ' << code << 'x' << count;
  out << "\nenemies: " << enemies;
  for (const auto& [code, count] : enemyCodes) out << ' ' << code << 'x' << count;
  out << "\nsliders: " << sliders << "\nmoving cells: " << moving << " (vertical " << vertical
      << ", horizontal " << horizontal << ")\n";
  if (!map.trailer.empty()) out << "trailer: " << map.trailer.size() << " bytes\n";
  return out.str();
}

bool ReadFileBytes(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream data;
  data << in.rdbuf();
  out = data.str();
  return !in.bad();
}

bool WriteFileBytes(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(data.data(), std::streamsize(data.size()));
  return bool(out);
}

}  // namespace kwmap
