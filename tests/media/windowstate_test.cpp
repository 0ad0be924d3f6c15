// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Where the picture goes in the window (both scaling choices, common and odd sizes) and
// the file that remembers the window: round trip, damaged and hostile contents.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "media/files_internal.h"
#include "media/media.h"

namespace fs = std::filesystem;

namespace {

struct Case {
  int outW, outH;
  kw::ScaleRect sharp, integer;
};

// Expected rectangles worked out by hand: the aspect kept, centred, bars on two sides.
const Case Cases[] = {
    {640, 480, {0, 0, 640, 480, 1}, {0, 0, 640, 480, 1}},
    {1920, 1080, {240, 0, 1440, 1080, 2}, {320, 60, 1280, 960, 2}},
    {1366, 768, {171, 0, 1024, 768, 1}, {363, 144, 640, 480, 1}},
    {3840, 2160, {480, 0, 2880, 2160, 4}, {640, 120, 2560, 1920, 4}},
    {1281, 961, {0, 0, 1281, 960, 2}, {0, 0, 1280, 960, 2}},
    {1000, 2000, {0, 625, 1000, 750, 1}, {180, 760, 640, 480, 1}},
    // Smaller than the picture: both shrink it to fit rather than crop it.
    {320, 200, {27, 0, 266, 200, 1}, {27, 0, 266, 200, 1}},
    {1, 1, {0, 0, 1, 1, 1}, {0, 0, 1, 1, 1}},
};

void ExpectRect(const kw::ScaleRect& got, const kw::ScaleRect& want, const std::string& what) {
  EXPECT_EQ(got.x, want.x) << what;
  EXPECT_EQ(got.y, want.y) << what;
  EXPECT_EQ(got.width, want.width) << what;
  EXPECT_EQ(got.height, want.height) << what;
  EXPECT_EQ(got.factor, want.factor) << what;
}

TEST(ScaleRect, WindowSizesInBothModes) {
  for (const Case& c : Cases) {
    std::string what = std::to_string(c.outW) + "x" + std::to_string(c.outH);
    ExpectRect(kw::ComputeScaleRect(c.outW, c.outH, kw::ScalingSharp), c.sharp, what + " sharp");
    ExpectRect(kw::ComputeScaleRect(c.outW, c.outH, kw::ScalingInteger), c.integer, what + " integer");
  }
}

TEST(ScaleRect, AlwaysInsideAndAspectKeptForManySizes) {
  for (int w = 1; w < 4000; w += 37) {
    for (int h = 1; h < 2500; h += 41) {
      for (int mode : {kw::ScalingSharp, kw::ScalingInteger}) {
        kw::ScaleRect r = kw::ComputeScaleRect(w, h, mode);
        ASSERT_GE(r.x, 0);
        ASSERT_GE(r.y, 0);
        ASSERT_LE(r.x + r.width, w);
        ASSERT_LE(r.y + r.height, h);
        ASSERT_GE(r.factor, 1);
        // The nearest-neighbour step never makes a picture larger than the final one
        // (except below 1x, where there is no such step).
        if (r.width >= kw::ScreenWidth) {
          ASSERT_LE(kw::ScreenWidth * r.factor, r.width);
        }
        // 4:3 to within one pixel of rounding.
        ASSERT_LE(std::abs(r.width * 3 - r.height * 4), 4) << w << "x" << h;
        // The bars are even: the picture is centred.
        ASSERT_LE(std::abs((w - r.width) - 2 * r.x), 1);
      }
    }
  }
}

class WindowStateFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kw_window_" + std::to_string(getpid()));
    fs::create_directories(dir_);
    path_ = (dir_ / kw::WindowStateFile).string();
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  fs::path dir_;
  std::string path_;
};

TEST_F(WindowStateFile, RoundTripKeepsEveryField) {
  kw::WindowState s;
  s.x = -120;
  s.y = 33;
  s.width = 1366;
  s.height = 700;
  s.positioned = true;
  s.maximised = true;
  s.fullScreen = true;
  s.startWindowed = true;
  s.scaling = kw::ScalingInteger;
  s.vsync = kw::VsyncOff;
  ASSERT_TRUE(kw::WriteWindowState(path_, s));
  EXPECT_FALSE(fs::exists(path_ + ".tmp"));
  kw::WindowState r;
  ASSERT_TRUE(kw::ReadWindowState(path_, r));
  EXPECT_EQ(r.x, -120);
  EXPECT_EQ(r.y, 33);
  EXPECT_EQ(r.width, 1366);
  EXPECT_EQ(r.height, 700);
  EXPECT_TRUE(r.positioned);
  EXPECT_TRUE(r.maximised);
  EXPECT_TRUE(r.fullScreen);
  EXPECT_TRUE(r.startWindowed);
  EXPECT_EQ(r.scaling, kw::ScalingInteger);
  EXPECT_EQ(r.vsync, kw::VsyncOff);
  // And back to the defaults' values.
  s = kw::WindowState();
  ASSERT_TRUE(kw::WriteWindowState(path_, s));
  ASSERT_TRUE(kw::ReadWindowState(path_, r));
  EXPECT_FALSE(r.fullScreen);
  EXPECT_FALSE(r.positioned);
  EXPECT_EQ(r.scaling, kw::ScalingSharp);
  EXPECT_EQ(r.vsync, kw::VsyncAuto);
  s.vsync = kw::VsyncOn;
  ASSERT_TRUE(kw::WriteWindowState(path_, s));
  ASSERT_TRUE(kw::ReadWindowState(path_, r));
  EXPECT_EQ(r.vsync, kw::VsyncOn);
}

// The vsync key is the player's to edit by hand: blanks and case do not matter, and a
// value the game does not know reads as auto without costing the rest of the file.
TEST_F(WindowStateFile, VsyncAsThePlayerWritesIt) {
  const struct {
    const char* line;
    int vsync;
  } Lines[] = {
      {"vsync=on", kw::VsyncOn},       {"vsync=off", kw::VsyncOff},     {"vsync=auto", kw::VsyncAuto},
      {" vsync = Off ", kw::VsyncOff}, {"VSYNC=ON", kw::VsyncOn},       {"vsync=1", kw::VsyncOn},
      {"vsync=no", kw::VsyncOff},      {"vsync=sometimes", kw::VsyncAuto}, {"vsync=", kw::VsyncAuto},
      {"vsync=o\xffn", kw::VsyncAuto},
  };
  for (const auto& c : Lines) {
    Write(std::string("width=800\n") + c.line + "\r\n");
    kw::WindowState s;
    s.vsync = -1;
    EXPECT_TRUE(kw::ReadWindowState(path_, s)) << c.line;
    EXPECT_EQ(s.vsync, c.vsync) << c.line;
    EXPECT_EQ(s.width, 800) << c.line;
  }
  // A file of an older run has no vsync line: auto.
  Write("width=800\n");
  kw::WindowState s;
  ASSERT_TRUE(kw::ReadWindowState(path_, s));
  EXPECT_EQ(s.vsync, kw::VsyncAuto);
}

TEST_F(WindowStateFile, MissingOrDamagedFilesLeaveTheStateAlone) {
  kw::WindowState defaults;
  defaults.width = 1280;
  auto rejected = [&](const std::string& text) {
    Write(text);
    kw::WindowState s = defaults;
    bool ok = kw::ReadWindowState(path_, s);
    EXPECT_EQ(s.width, 1280) << text.substr(0, 40);
    return !ok;
  };
  kw::WindowState s = defaults;
  EXPECT_FALSE(kw::ReadWindowState((dir_ / "none").string(), s));
  EXPECT_TRUE(rejected("width=0\n"));
  EXPECT_TRUE(rejected("width=-5\n"));
  EXPECT_TRUE(rejected("width=99999999999999999999\n"));
  EXPECT_TRUE(rejected("width=640x\n"));
  EXPECT_TRUE(rejected("height=\n"));
  EXPECT_TRUE(rejected("scaling=blurry\n"));
  EXPECT_TRUE(rejected("fullscreen=2\n"));
  EXPECT_TRUE(rejected("width=800\nnonsense\n"));  // a bad line spoils the whole file
  EXPECT_TRUE(rejected(std::string(1 << 20, 'x')));  // far too large: not read through
  EXPECT_TRUE(rejected(std::string("width=80\0\n", 10)));
  // A good file with comments and Windows line ends reads.
  Write("# comment\r\nwidth=800\r\nscaling=integer\r\n");
  s = defaults;
  EXPECT_TRUE(kw::ReadWindowState(path_, s));
  EXPECT_EQ(s.width, 800);
  EXPECT_EQ(s.scaling, kw::ScalingInteger);
}

TEST_F(WindowStateFile, AFailedWriteKeepsTheOldFile) {
  kw::WindowState s;
  s.width = 900;
  ASSERT_TRUE(kw::WriteWindowState(path_, s));
  // The disk fills halfway, or the rename is refused: the old file stays whole and no
  // temporary file is left beside it.
  for (kw::WriteFault fault : {kw::WriteFault::Create, kw::WriteFault::Write, kw::WriteFault::Rename}) {
    kw::SetWriteFault(fault);
    s.width = 1000;
    EXPECT_FALSE(kw::WriteWindowState(path_, s));
    kw::SetWriteFault(kw::WriteFault::None);
    kw::WindowState r;
    ASSERT_TRUE(kw::ReadWindowState(path_, r));
    EXPECT_EQ(r.width, 900);
    int files = 0;
    for (const auto& item : fs::directory_iterator(fs::path(path_).parent_path())) files += item.is_regular_file();
    EXPECT_EQ(files, 1);
  }
}

}  // namespace
