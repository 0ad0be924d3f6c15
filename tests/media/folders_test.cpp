// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Where the game looks for its game folder and puts its user folder: the command line,
// the environment, the program's own place, and portable mode.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/env_guard.h"
#include "common/temp_folders.h"
#include "media/files.h"

namespace fs = std::filesystem;

namespace {

using kwtest::EnvGuard;

class FoldersTest : public ::testing::Test {
 protected:
  EnvGuard xdg{"XDG_DATA_HOME"};
  EnvGuard home{"HOME"};
  EnvGuard data{"KLINGENWALD_DATA"};
  kwtest::TempFolders folders{"kw_folders"};
  fs::path bin = folders.root / "bin";
  void SetUp() override {
    fs::create_directories(bin);
    unsetenv("KLINGENWALD_DATA");
  }
};

TEST_F(FoldersTest, UserFolderComesFromTheOptionThenXdgThenHome) {
  setenv("XDG_DATA_HOME", (folders.root / "xdg").c_str(), 1);
  setenv("HOME", (folders.root / "home").c_str(), 1);
  EXPECT_EQ(kw::FindUserFolderFrom("/given", bin.string()), "/given");
  EXPECT_EQ(kw::FindUserFolderFrom("", bin.string()), (folders.root / "xdg" / "klingenwald").string());
  setenv("XDG_DATA_HOME", "", 1);  // empty counts as unset
  EXPECT_EQ(kw::FindUserFolderFrom("", bin.string()),
            (folders.root / "home" / ".local" / "share" / "klingenwald").string());
  unsetenv("XDG_DATA_HOME");
  unsetenv("HOME");
  EXPECT_EQ(kw::FindUserFolderFrom("", bin.string()), "./.local/share/klingenwald");
}

TEST_F(FoldersTest, PortableFileBesideTheProgramKeepsTheUserFolderThere) {
  setenv("XDG_DATA_HOME", (folders.root / "xdg").c_str(), 1);
  kwtest::TempFolders::Put(bin / "portable", "");
  EXPECT_EQ(kw::FindUserFolderFrom("", bin.string()), bin.lexically_normal().string());
  // --user still wins over portable mode.
  EXPECT_EQ(kw::FindUserFolderFrom("/given", bin.string()), "/given");
  // A folder named portable is no marker, and neither is a file of another name.
  fs::remove(bin / "portable");
  fs::create_directories(bin / "portable");
  kwtest::TempFolders::Put(bin / "Portable.txt", "");
  EXPECT_EQ(kw::FindUserFolderFrom("", bin.string()), (folders.root / "xdg" / "klingenwald").string());
}

TEST_F(FoldersTest, GameFolderComesFromTheOptionThenTheEnvironmentThenBesideTheProgram) {
  std::string tried;
  EXPECT_EQ(kw::FindGameFolderFrom("/given", bin.string(), tried), "/given");
  setenv("KLINGENWALD_DATA", "/from/env", 1);
  EXPECT_EQ(kw::FindGameFolderFrom("", bin.string(), tried), "/from/env");
  unsetenv("KLINGENWALD_DATA");
  // Nothing beside the program: "" and every place named in what was tried.
  tried.clear();
  EXPECT_EQ(kw::FindGameFolderFrom("", bin.string(), tried), "");
  for (const char* place : {"/share/klingenwald", "/share/games/klingenwald", "bin/game"})
    EXPECT_NE(tried.find(place), std::string::npos) << place << " in " << tried;
}

// Beside the program, in this order: an install under a prefix (share/klingenwald), a
// distribution's package (program in games/, data in share/games/klingenwald), then a
// game/ folder beside the program. A folder without paks/ is no game folder.
TEST_F(FoldersTest, GameFolderBesideTheProgramFollowsTheInstallLayouts) {
  struct Case {
    std::vector<const char*> gameFolders;  // made with paks/, under one root
    std::vector<const char*> emptyFolders;  // made without paks/
    const char* program;
    const char* expected;  // under the root; "" for none
  };
  const Case cases[] = {
      {{"bin/game"}, {}, "bin", "bin/game"},
      {{"share/games/klingenwald"}, {}, "games", "share/games/klingenwald"},
      {{"games/game", "share/games/klingenwald"}, {}, "games", "share/games/klingenwald"},
      {{"share/klingenwald", "share/games/klingenwald", "bin/game"}, {}, "bin", "share/klingenwald"},
      {{"share/games/klingenwald"}, {"share/klingenwald"}, "games", "share/games/klingenwald"},
      {{}, {"share/games/klingenwald", "bin/game"}, "bin", ""},
  };
  int n = 0;
  for (const Case& c : cases) {
    fs::path root = folders.root / ("case" + std::to_string(n++));
    fs::create_directories(root / c.program);
    for (const char* f : c.gameFolders) fs::create_directories(root / f / "paks");
    for (const char* f : c.emptyFolders) fs::create_directories(root / f);
    std::string tried;
    std::string found = kw::FindGameFolderFrom("", (root / c.program).string(), tried);
    EXPECT_EQ(found, *c.expected ? (root / c.expected).string() : "") << "case " << n - 1;
  }
}

}  // namespace
