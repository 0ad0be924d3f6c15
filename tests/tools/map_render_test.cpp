// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwtool map render on a small map made here, drawn with the generated game folder:
// the picture's size, air, solid tiles of the chosen set, the exit door and the markers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "common/temp_folders.h"
#include "image.h"
#include "maptext.h"

namespace {

namespace fs = std::filesystem;

const fs::path Kwtool = fs::path(KW_BINARY_DIR) / "kwtool";

// 20 x 10 cells: two rows of earth, a block of tile 3, air above, the exit at 15,7,
// an enemy of type 2 in the air and the start at 11,7.
const char* const SmallMap =
    "klingenwald map\n"
    "width: 19\n"
    "height: 9\n"
    "tileset: 1\n"
    "background: 0\n"
    "start_cell: 11 7\n"
    "exit_col: 15\n"
    "exit_row: 7\n"
    "fill tile 0 0 19 9 1\n"
    "fill tile 0 8 19 9 8\n"
    "set tile 2 7 3\n"
    "set pickup 5 3 21\n";

class MapRender : public ::testing::Test {
 protected:
  kwtest::TempFolders dirs{"kw_render"};
  fs::path map = dirs.root / "small.map";

  void SetUp() override {
    ASSERT_TRUE(fs::exists(Kwtool)) << "build kwtool first";
    kwmap::MapSource source;
    std::string error;
    ASSERT_TRUE(kwmap::TextToMap(SmallMap, source, error)) << error;
    ASSERT_TRUE(kwmap::WriteFileBytes(map.string(), kwmap::WriteMapBytes(source.map)));
  }

  // Runs kwtool map render with extra options; the exit code.
  int Render(const fs::path& out, const std::string& options, const std::string& data = KW_GAME_DIR) {
    const std::string cmd = Kwtool.string() + " map render '" + map.string() + "' '" + out.string() +
                            "' --data '" + data + "' " + options + " 2>/dev/null";
    return std::system(cmd.c_str());
  }

  kwgen::Image Picture(const std::string& options) {
    const fs::path out = dirs.root / "out.png";
    fs::remove(out);
    EXPECT_EQ(Render(out, options), 0);
    std::string bytes;
    kwgen::Image img;
    EXPECT_TRUE(kwmap::ReadFileBytes(out.string(), bytes));
    EXPECT_TRUE(kwgen::DecodePng(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), img));
    return img;
  }
};

// Opaque pixels in a rectangle.
int Opaque(const kwgen::Image& img, int x, int y, int w, int h) {
  int n = 0;
  for (int yy = y; yy < y + h; ++yy)
    for (int xx = x; xx < x + w; ++xx) n += kwgen::AlphaOf(img.Get(xx, yy)) == 255;
  return n;
}

TEST_F(MapRender, DrawsTilesDoorAndMarkersWhereTheWorldPassWould) {
  const kwgen::Image img = Picture("");
  ASSERT_EQ(img.w, 20 * 30);
  ASSERT_EQ(img.h, 10 * 30 + 20);  // 10 px room above and below
  // Air is clear; earth and the grass block are drawn fully, 10 px down for the headroom.
  EXPECT_EQ(Opaque(img, 60, 100, 30, 30), 0);
  EXPECT_EQ(Opaque(img, 0, 8 * 30 + 10, 600, 60), 600 * 60);
  EXPECT_GT(Opaque(img, 60, 7 * 30 + 10, 30, 30), 30 * 25);
  // The exit door stands on the ground at column 15: pixels there, none a cell further right.
  EXPECT_GT(Opaque(img, 15 * 30, 7 * 30 - 10, 30, 40), 300);
  EXPECT_EQ(Opaque(img, 17 * 30, 6 * 30, 30, 60), 0);
  // Enemy type 2 (a 40 x 30 frame) and the 42 x 58 start figure as frames.
  const uint32_t enemy = img.Get(5 * 30, 3 * 30 + 10), start = img.Get(330, 7 * 30 + 10);
  EXPECT_EQ(enemy, kwgen::Argb(255, 40, 220));
  EXPECT_EQ(img.Get(5 * 30 + 39, 3 * 30 + 10 + 29), enemy);
  EXPECT_EQ(start, kwgen::Argb(40, 255, 60));
  EXPECT_EQ(img.Get(330 + 41, 7 * 30 + 10 + 57), start);
}

TEST_F(MapRender, TileSetAndBackgroundOptions) {
  const kwgen::Image forest = Picture(""), cave = Picture("--tileset 3");
  const kwgen::Image backed = Picture("--background 1");
  int differing = 0;
  for (int x = 0; x < 600; ++x) differing += forest.Get(x, 9 * 30) != cave.Get(x, 9 * 30);
  EXPECT_GT(differing, 300) << "earth of the forest and the cave look alike";
  // With a background nothing stays clear.
  EXPECT_EQ(Opaque(backed, 0, 0, backed.w, backed.h), backed.w * backed.h);
  EXPECT_EQ(backed.Get(15, 9 * 30), forest.Get(15, 9 * 30));
}

TEST_F(MapRender, RefusesBadInput) {
  const fs::path out = dirs.root / "bad.png";
  EXPECT_NE(Render(out, "", (dirs.root / "nogame").string()), 0);
  EXPECT_NE(Render(out, "--tileset"), 0);
  kwmap::WriteFileBytes(map.string(), "klingenwald\r\n");  // a cut-off map file
  EXPECT_NE(Render(out, ""), 0);
  EXPECT_FALSE(fs::exists(out));
}

}  // namespace
