// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The menu tests' base: the headless media layer with the real game data's catalogue
// loaded once per binary (the screens hit-test and draw the shipped pictures), fresh
// globals and an empty user folder per test, and input injected frame by frame.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "../content/test_data.h"
#include "common/temp_folders.h"
#include "media/input_internal.h"
#include "media/media.h"
#include "shell/shell.h"

namespace kwtest {

class MenuTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    StartHeadlessMedia();
    static bool loaded = false;
    if (loaded) return;
    kw::SetFolders(KW_GAME_DIR, "");
    kw::LoadCatalogue();
    loaded = true;
  }
  void SetUp() override {
    kw::SetStartValues();
    kw::CreateGameLists();
    kw::SetFolders(KW_GAME_DIR, folder.user.string());
    kw::ResetInput();
    kw::SetMouseCaptured(true);
    kw::SetNewGamePlayer(kw::P());
    kw::ReadKeyboard();
    kw::TypedText();
  }
  void TearDown() override {
    kw::ResetInput();
    kw::SetFlipHook({});
  }

  // The pointer at (x, y) with the left button down or up, seen by the next frame.
  static void Mouse(int x, int y, bool down) {
    kw::InjectMousePosition(x, y);
    kw::InjectMouseButton(down);
  }
  // One main-menu frame with the pointer at (x, y).
  static int MenuFrame(int x, int y, bool down) {
    Mouse(x, y, down);
    return kw::MainMenuFrame();
  }
  // Text typed once the next screen shows (at the next flip): what was typed before a
  // screen opened does not reach it.
  static void TypeAtNextFlip(const std::string& text) {
    auto pending = std::make_shared<std::string>(text);
    kw::SetFlipHook([pending] {
      kw::InjectText(*pending);
      pending->clear();
    });
  }
  std::string UserFile(const std::string& name) const {
    return TempFolders::Get(folder.user / name);
  }

  GameFolder folder;
};

// A rectangle of the back buffer as it is now.
inline std::vector<uint32_t> Region(int x, int y, int w, int h) {
  std::vector<uint32_t> out;
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) out.push_back(Pixel(i, j));
  return out;
}

}  // namespace kwtest
