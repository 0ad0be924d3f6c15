// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The map text form: byte-exact round trips, the file layout, and the errors authors see.
#include <gtest/gtest.h>

#include "maptext.h"

namespace {

using kwmap::MapFile;
using kwmap::MapSource;

// A small map with every layer set, negative ranges and odd header texts.
MapSource OddMap(int width, int height) {
  MapSource s;
  s.map.header = {std::to_string(width - 1), std::to_string(height - 1) + "abc",
                  " 180 ", "", "Text mit \\ und \xE4\xF6\xFC", "\ttab\r",
                  "-12", "1/300", "3", "0", "-50", "-210", "7", "2", "x\ny"};
  kwmap::ResetMap(s.map, width, height);
  for (int layer = 0; layer < kwmap::LayerCount; ++layer)
    for (size_t c = 0; c < s.map.cells[layer].size(); ++c)
      s.map.cells[layer][c] = int32_t((c * 7 + layer * 13) % 11) - (layer == kwmap::VRange ? 60 : 0);
  s.map.At(kwmap::HRange, 1, 1) = -2147483647 - 1;
  s.tags.assign(size_t(width) * height, 0);
  s.tags[1] = -1;
  s.tags[2] = 127;
  return s;
}

std::string RoundTrip(const std::string& bytes) {
  MapSource source;
  std::string error;
  EXPECT_TRUE(kwmap::ReadMapBytes(bytes, source.map, error)) << error;
  const std::string text = kwmap::MapToText(source);
  MapSource back;
  EXPECT_TRUE(kwmap::TextToMap(text, back, error)) << error << "\n" << text;
  return kwmap::WriteMapBytes(back.map);
}

TEST(MapText, RoundTripsOddFilesByteForByte) {
  MapSource s = OddMap(5, 4);
  const std::string bytes = kwmap::WriteMapBytes(s.map);
  EXPECT_EQ(RoundTrip(bytes), bytes);
  // Bytes after the body, and a header line holding a lone LF, survive too.
  s.map.trailer = std::string("\x00\xFF\r\n", 4);
  EXPECT_EQ(RoundTrip(kwmap::WriteMapBytes(s.map)), kwmap::WriteMapBytes(s.map));
  // Negative W gives no cells at all.
  MapSource none;
  none.map.header = {"-5", "3", "", "", "", "", "", "", "", "", "", "", "", "", ""};
  const std::string empty = kwmap::WriteMapBytes(none.map);
  EXPECT_EQ(RoundTrip(empty), empty);
}

TEST(MapText, ManyDistinctValuesFallBackToNumbers) {
  MapSource s = OddMap(40, 3);
  for (size_t c = 0; c < s.map.cells[kwmap::Tile].size(); ++c) s.map.cells[kwmap::Tile][c] = int32_t(c) * 1000 - 5;
  const std::string text = kwmap::MapToText(s);
  EXPECT_NE(text.find("layer tile numbers"), std::string::npos);
  const std::string bytes = kwmap::WriteMapBytes(s.map);
  EXPECT_EQ(RoundTrip(bytes), bytes);
}

TEST(MapText, TagsRoundTripAndBecomeSignedBytes) {
  MapSource s = OddMap(3, 2);
  MapSource back;
  std::string error;
  ASSERT_TRUE(kwmap::TextToMap(kwmap::MapToText(s), back, error)) << error;
  EXPECT_EQ(back.tags, s.tags);
  const std::string grid = kwmap::WriteTagBytes(back);
  ASSERT_EQ(grid.size(), 6u);
  EXPECT_EQ(uint8_t(grid[1]), 0xFF);
  EXPECT_EQ(uint8_t(grid[2]), 0x7F);
}

TEST(MapFileLayout, BodyIsNineInt32PerCellInThreePasses) {
  // W 3, H 2: 4 x 3 cells, 9 x 4 x 12 = 432 bytes after the header.
  MapSource s;
  std::string error;
  ASSERT_TRUE(kwmap::TextToMap("width: 3\nheight: 2\nset vrange 1 0 -60\nset pickup 3 2 12\n"
                               "set shade 0 1 9\n", s, error)) << error;
  const std::string bytes = kwmap::WriteMapBytes(s.map);
  const size_t header = bytes.size() - 432;
  EXPECT_EQ(bytes.substr(0, 11), "3\r\n2\r\n0\r\n\r\n");
  auto word = [&](size_t index) {
    const size_t at = header + 4 * index;
    return int32_t(uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8 |
                   uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 3])) << 24);
  };
  // Pass 1: cell (1,0) is the second cell; its fourth value is the vertical range, kept as
  // written (the game negates it when it loads the map).
  EXPECT_EQ(word(7 + 3), -60);
  EXPECT_EQ(word(7 + 5), 1);    // front default
  EXPECT_EQ(word(7 + 6), 255);  // alpha default
  EXPECT_EQ(word(7 * 12 + 11), 12);      // pass 2, cell (3,2) is the last
  EXPECT_EQ(word(7 * 12 + 12 + 4), 9);   // pass 3, cell (0,1)
  // One byte short is not a map file; neither is a header without CR LF.
  MapFile map;
  EXPECT_FALSE(kwmap::ReadMapBytes(bytes.substr(0, bytes.size() - 1), map, error));
  EXPECT_NE(error.find("432"), std::string::npos) << error;
  EXPECT_FALSE(kwmap::ReadMapBytes("3\n2\n", map, error));
}

TEST(MapText, AuthorFormGivesSizeDefaultsAndStart) {
  const char* text =
      "klingenwald map\n"
      "# a comment\n"
      "start_cell: 2 1\n"
      "weather: 2/200\n"
      "layer tile\n"
      "legend . 1\n"
      "legend # 3\n"
      "grid\n"
      "#...#\n"
      "#####\n"
      "end\n"
      "layer tag\n"
      "legend . 0\n"
      "legend a -3\n"
      "grid\n"
      ".a...\n"
      ".....\n"
      "end\n"
      "fill front 1 0 3 0 2\n";
  MapSource s;
  std::string error;
  ASSERT_TRUE(kwmap::TextToMap(text, s, error)) << error;
  EXPECT_EQ(s.map.width, 5);
  EXPECT_EQ(s.map.height, 2);
  EXPECT_EQ(s.map.header[0], "4");
  EXPECT_EQ(s.map.header[1], "1");
  EXPECT_EQ(s.map.header[7], "2/200");
  EXPECT_EQ(s.map.header[10], "-200");  // 30 * 1 - 230
  EXPECT_EQ(s.map.header[11], "-240");  // 30 * 2 - 300
  EXPECT_EQ(s.map.At(kwmap::Tile, 0, 0), 3);
  EXPECT_EQ(s.map.At(kwmap::Tile, 1, 0), 1);
  EXPECT_EQ(s.map.At(kwmap::Front, 2, 0), 2);
  EXPECT_EQ(s.map.At(kwmap::Front, 2, 1), 1);
  EXPECT_EQ(s.map.At(kwmap::Alpha, 4, 1), 255);
  EXPECT_EQ(s.tags[1], -3);
}

// Each broken source names the line of its first problem.
TEST(MapText, ErrorsNameTheLine) {
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"layer tile\nlegend . 1\ngrid\n..\n.x\nend\n", "line 5: column 1: character 'x'"},
      {"layer tile\nlegend . 1\ngrid\n..\n...\nend\n", "line 5: the row has 3 cells"},
      {"width: 1\nheight: 2\nlayer tile\nlegend . 1\ngrid\n..\n..\nend\n", "line 8: the grid has 2 rows"},
      {"layer tiles\n", "line 1: unknown layer"},
      {"layer tile\nlegend . 1\nlegend . 2\n", "line 3: character '.' twice"},
      {"layer tile\nlegend . x\n", "line 2: the legend value"},
      {"width: 1\nheight: 1\n\nlayer tile\nlegend . 1\ngrid\n..\n", "line 6: grid without its 'end'"},
      {"layer tile\ngrid\n", "line 2: a character grid needs a legend"},
      {"colour: 3\n", "line 1: unknown header line"},
      {"width: 1\nheight: 1\nset tile 2 0 5\n", "line 3: cells outside the map"},
      {"width: 1\nheight: 1\nlayer tag numbers\ngrid\n0 200\n0 0\nend\n", "tag 200"},
      {"width: 1\nheight: 1\nlayer over numbers\ngrid\n0 1x\n0 0\nend\n", "line 5: '1x' is not a number"},
      {"set tile 0 0 1\n", "line 1: the map's size is not known"},
      {"text4: a\\q\n", "line 1: bad escape"},
  };
  for (const Case& c : cases) {
    MapSource s;
    std::string error;
    EXPECT_FALSE(kwmap::TextToMap(c.text, s, error)) << c.text;
    EXPECT_NE(error.find(c.expected), std::string::npos) << "got: " << error << "\nfor: " << c.text;
  }
}

// Header numbers are read as the game reads them; the text form takes whole decimal
// words only and refuses what the game would saturate.
TEST(MapText, NumbersFollowTheGamesRule) {
  MapSource s;
  s.map.header = {" \t+2x", "1 row", "", "", "", "", "", "", "", "", "", "", "", "", ""};
  kwmap::ResetMap(s.map, 3, 2);
  MapFile back;
  std::string error;
  ASSERT_TRUE(kwmap::ReadMapBytes(kwmap::WriteMapBytes(s.map), back, error)) << error;
  EXPECT_EQ(back.width, 3);
  EXPECT_EQ(back.height, 2);
  s.map.header[0] = "99999999999";  // saturates: far more cells than the body holds
  EXPECT_FALSE(kwmap::ReadMapBytes(kwmap::WriteMapBytes(s.map), back, error));
  EXPECT_NE(error.find("2147483648 x 2"), std::string::npos) << error;

  MapSource t;
  ASSERT_TRUE(kwmap::TextToMap("width: 2\nheight: 0\nset tile 0 0 -2147483648\n"
                               "set over 1 0 +0012\nset back -0 0 2147483647\n", t, error))
      << error;
  EXPECT_EQ(t.map.At(kwmap::Tile, 0, 0), -2147483647 - 1);
  EXPECT_EQ(t.map.At(kwmap::Over, 1, 0), 12);
  EXPECT_EQ(t.map.At(kwmap::Back, 0, 0), 2147483647);
  for (const char* word :
       {"2147483648", "-2147483649", "99999999999", "12x", "+", "-", "1e3", "0x10"}) {
    const std::string text = std::string("width: 2\nheight: 0\nset tile 0 0 ") + word + "\n";
    EXPECT_FALSE(kwmap::TextToMap(text, t, error)) << word;
    EXPECT_NE(error.find("is not a number"), std::string::npos) << word << ": " << error;
  }
}

TEST(MapText, InfoCountsPickupsEnemiesSlidersAndMovingCells) {
  MapSource s;
  std::string error;
  ASSERT_TRUE(kwmap::TextToMap("width: 4\nheight: 1\nfill tile 0 1 4 1 3\nset pickup 0 0 12\n"
                               "set pickup 1 0 24\nset pickup 2 0 19\nset pickup 3 0 6\n"
                               "set vrange 4 1 -60\nset hrange 3 1 90\n", s, error)) << error;
  const std::string info = kwmap::MapInfoText(s.map);
  EXPECT_NE(info.find("cells: 5 x 2"), std::string::npos) << info;
  EXPECT_NE(info.find("tiles: 5 (solid 5)"), std::string::npos) << info;
  EXPECT_NE(info.find("pickups: 6x1 12x1 19x1 24x1"), std::string::npos) << info;
  EXPECT_NE(info.find("enemies: 2 19x1 24x1"), std::string::npos) << info;
  EXPECT_NE(info.find("sliders: 1"), std::string::npos) << info;
  EXPECT_NE(info.find("moving cells: 2 (vertical 1, horizontal 1)"), std::string::npos) << info;
}

}  // namespace
