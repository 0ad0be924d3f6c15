// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// A recording of a run played with a pad holds the keys and clicks the pad produced,
// in the replay format, and replaying it gives the game the same input.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "media/gamepad_internal.h"
#include "media/input_internal.h"
#include "media/media.h"

namespace fs = std::filesystem;

namespace {

class PadRecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kw_padrec_" + std::to_string(getpid()));
    fs::create_directories(dir_);
    for (int i = 0; i < kw::PadInputCount; ++i) saved_[i] = kw::GamepadKey(i);
  }
  void TearDown() override {
    kw::CloseGamepads();
    kw::ShutdownMedia();
    kw::ResetInput();
    for (int i = 0; i < kw::PadInputCount; ++i) kw::SetGamepadKey(i, saved_[i]);
    fs::remove_all(dir_);
  }
  bool Start(const std::string& record, const std::string& replay) {
    kw::MediaOptions o;
    o.headless = true;
    o.seedGiven = true;
    o.seed = 7;
    o.recordPath = record;
    o.replayPath = replay;
    o.dataDir = dir_.string();
    o.userDir = (dir_ / "user").string();
    return kw::InitMedia(o);
  }
  // What the game saw in one frame: keys 57 and 45, the pointer and its button.
  static std::string Frame() {
    kw::ReadKeyboard();
    kw::ReadMouseDevice();
    std::ostringstream out;
    out << kw::KeyDown(57) << kw::KeyReleased(57) << kw::KeyDown(45) << ' ' << kw::MouseDeviceX() << ','
        << kw::MouseDeviceY() << ',' << kw::MouseDeviceButton(1);
    return out.str();
  }
  fs::path dir_;
  int saved_[kw::PadInputCount];
};

TEST_F(PadRecordTest, PadKeysPointerMovesAndClicksAreRecordedAndReplayed) {
  std::string rec = (dir_ / "pad.rec").string();
  ASSERT_TRUE(Start(rec, ""));
  kw::SetMouseCaptured(true);
  kw::SetGamepadKey(kw::PadA, 57);
  kw::SetGamepadKey(kw::PadB, 45);
  std::vector<std::string> live;
  // Play: A and B press keys.
  kw::InjectPadInput(kw::PadA, true);
  live.push_back(Frame());
  kw::FlipScreen();
  kw::InjectPadInput(kw::PadA, false);
  kw::InjectPadInput(kw::PadB, true);
  live.push_back(Frame());
  kw::FlipScreen();
  // A pointer menu: the stick moves the pointer, A clicks. The mode holds from the flip
  // after a frame asked for it.
  kw::UseGamepadAsPointer();
  kw::FlipScreen();
  kw::InjectPadLeftStick(32767, 0);
  for (int i = 0; i < 3; ++i) {
    kw::UseGamepadAsPointer();
    live.push_back(Frame());
    kw::FlipScreen();
  }
  kw::InjectPadLeftStick(0, 0);
  kw::InjectPadInput(kw::PadA, true);
  kw::UseGamepadAsPointer();
  live.push_back(Frame());
  kw::FlipScreen();
  kw::InjectPadInput(kw::PadA, false);
  // The pad goes away while it holds B: the release is recorded too.
  kw::CloseGamepads();
  live.push_back(Frame());
  kw::FlipScreen();
  live.push_back(Frame());
  kw::ShutdownMedia();
  EXPECT_EQ(live[2], "001 320,240,0");
  EXPECT_EQ(live[4], "001 342,240,0");  // 11 pixels a frame at full tilt
  EXPECT_EQ(live[5], "001 353,240,1");  // and A clicked there, B still held
  EXPECT_EQ(live[7], "000 353,240,0");  // the pad went: B let go, the click ended

  std::ifstream in(rec);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("0 key down 57\n"), std::string::npos) << text;
  EXPECT_NE(text.find(" key up 45\n"), std::string::npos) << text;
  EXPECT_NE(text.find(" mouse 353 240 1\n"), std::string::npos) << text;
  EXPECT_NE(text.find(" mouse 353 240 0\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("pad"), std::string::npos);  // nothing a replay cannot read

  // The replay, with no pad at all, gives every frame the same input.
  kw::ResetInput();
  ASSERT_TRUE(Start("", rec));
  kw::SetMouseCaptured(true);
  std::vector<std::string> replayed;
  for (size_t i = 0; i < live.size(); ++i) {
    replayed.push_back(Frame());
    if (i == 1) kw::FlipScreen();  // the flip of the frame that asked for the pointer
    kw::FlipScreen();
  }
  EXPECT_EQ(replayed, live);
}

}  // namespace
