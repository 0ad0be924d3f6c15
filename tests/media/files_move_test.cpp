// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The file verbs the save games build on: whether a close reached the disk, renames and
// removals inside the user folder only, and the size of a file before it is read.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/temp_folders.h"
#include "media/files.h"

namespace fs = std::filesystem;

namespace {

class FileMoveTest : public ::testing::Test {
 protected:
  void TearDown() override { kw::CloseAllFiles(); }
  kwtest::TempFolders folders{"kw_move"};
};

TEST_F(FileMoveTest, CloseTellsWhetherTheFileReachedTheDisk) {
  EXPECT_EQ(kw::CloseFileNumber(3), 0);  // holds no file
  ASSERT_EQ(kw::CreateFileForWriting(3, "Temp\\a.dat"), 1);
  kw::WriteInt16(3, 513);
  EXPECT_EQ(kw::CloseFileNumber(3), 1);
  EXPECT_EQ(kwtest::TempFolders::Get(folders.user / "Temp" / "a.dat"), std::string("\x01\x02", 2));
  // The target became a folder after the create: the write at close fails.
  ASSERT_EQ(kw::CreateFileForWriting(3, "Temp\\b.dat"), 1);
  kw::WriteInt8(3, 1);
  fs::create_directories(folders.user / "Temp" / "b.dat" / "x");
  EXPECT_EQ(kw::CloseFileNumber(3), 0);
  ASSERT_EQ(kw::OpenFileForReading(3, "Temp\\a.dat"), 1);
  EXPECT_EQ(kw::CloseFileNumber(3), 1);  // nothing to write
}

TEST_F(FileMoveTest, MoveAndRemoveStayInTheUserFolder) {
  kwtest::TempFolders::Put(folders.user / "Temp" / "a.dat", "neu");
  kwtest::TempFolders::Put(folders.user / "Saves" / "quick" / "A.DAT", "alt");
  EXPECT_EQ(kw::MoveFileTo("Temp\\a.dat", "saves\\Quick\\a.dat"), 1);  // over the old one
  EXPECT_EQ(kwtest::TempFolders::Get(folders.user / "Saves" / "quick" / "A.DAT"), "neu");
  EXPECT_FALSE(fs::exists(folders.user / "Temp" / "a.dat"));
  EXPECT_EQ(kw::MoveFileTo("Temp\\a.dat", "Saves\\b.dat"), 0);  // source gone
  EXPECT_EQ(kw::MoveFileTo("Saves\\quick\\a.dat", "Saves\\neu\\c.dat"), 1);  // folder made
  EXPECT_TRUE(fs::exists(folders.user / "Saves" / "neu" / "c.dat"));

  kwtest::TempFolders::Put(folders.game / "Gegner.ini", "x");
  EXPECT_EQ(kw::MoveFileTo("Saves\\neu\\c.dat", "Gegner.ini"), 0);  // the game folder is read-only
  kw::RemoveFile("Gegner.ini");
  EXPECT_TRUE(fs::exists(folders.game / "Gegner.ini"));
  kw::RemoveFile("saves\\NEU\\c.dat");
  kw::RemoveFile("Saves\\neu\\missing.dat");
  EXPECT_FALSE(fs::exists(folders.user / "Saves" / "neu" / "c.dat"));
}

TEST_F(FileMoveTest, SizeOfAFileBeforeReadingIt) {
  kwtest::TempFolders::Put(folders.user / "Saves" / "x.dat", "12345");
  EXPECT_EQ(kw::FileSizeOf("saves\\X.dat"), 5);
  EXPECT_EQ(kw::FileSizeOf("Saves\\missing.dat"), -1);
  EXPECT_EQ(kw::FileSizeOf("Saves"), -1);  // a folder is no file
}

}  // namespace
