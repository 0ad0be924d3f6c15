// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Game paths across the game and user folders, and the numbered files: line and
// integer reads, the three open modes and how each fails, writes through a temporary
// name and a rename.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "common/temp_folders.h"
#include "media/files.h"

namespace fs = std::filesystem;

namespace {

// A fresh game folder and user folder under /tmp for each test.
class FilesTest : public ::testing::Test {
 protected:
  void TearDown() override { kw::CloseAllFiles(); }
  static void Put(const fs::path& p, const std::string& data) { kwtest::TempFolders::Put(p, data); }
  static std::string Get(const fs::path& p) { return kwtest::TempFolders::Get(p); }

  // Names in a folder that look like leftovers of a write.
  static int TempFilesIn(const fs::path& dir) {
    int count = 0;
    for (const auto& e : fs::recursive_directory_iterator(dir))
      if (e.path().filename().string().find("tmp") != std::string::npos) ++count;
    return count;
  }
  kwtest::TempFolders folders{"kw_files"};
  const fs::path& root = folders.root;
  const fs::path& game = folders.game;
  const fs::path& user = folders.user;
};

TEST_F(FilesTest, ComponentsMatchWithoutRegardToCaseAndBackslashes) {
  Put(game / "maps" / "Story" / "Map1.MAP", "x");
  std::string expect = (game / "maps" / "Story" / "Map1.MAP").string();
  EXPECT_EQ(kw::ResolveForReading("maps\\Story\\Map1.MAP"), expect);
  EXPECT_EQ(kw::ResolveForReading("MAPS\\story\\map1.map"), expect);
  EXPECT_EQ(kw::ResolveForReading("Maps/STORY/map1.Map"), expect);
  EXPECT_EQ(kw::ResolveForReading("maps\\.\\Story\\\\map1.map"), expect);
  EXPECT_EQ(kw::ResolveForReading("maps\\Story\\map2.map"), "");
  // An exact match wins over a case-insensitive one.
  Put(game / "a.txt", "lower");
  Put(game / "A.txt", "upper");
  EXPECT_EQ(kw::ResolveForReading("A.txt"), (game / "A.txt").string());
  EXPECT_EQ(kw::ResolveForReading("a.txt"), (game / "a.txt").string());
}

TEST_F(FilesTest, SavesAndTempLiveInTheUserFolderOthersInTheGameFolder) {
  Put(user / "Saves" / "Story.save", "u");
  Put(game / "Saves" / "Story.save", "g");  // never looked at
  EXPECT_EQ(kw::ResolveForReading("saves\\story.save"), (user / "Saves" / "Story.save").string());
  EXPECT_EQ(kw::ResolveForReading("Temp\\map.dat"), "");
  EXPECT_EQ(kw::ResolveForWriting("TEMP\\map.dat"), (user / "TEMP" / "map.dat").string());
  EXPECT_EQ(kw::ResolveForWriting("saves\\quick\\map.dat"), (user / "Saves" / "quick" / "map.dat").string());
  Put(game / "Gegner.ini", "g");
  EXPECT_EQ(kw::ResolveForReading("gegner.ini"), (game / "Gegner.ini").string());
  EXPECT_EQ(kw::ResolveForWriting("Gegner.ini"), "");
  EXPECT_EQ(kw::ResolveForWriting("maps\\map1.map"), "");
  // Absolute paths are real paths.
  EXPECT_EQ(kw::ResolveForReading((game / "Gegner.ini").string()), (game / "Gegner.ini").string());
}

TEST_F(FilesTest, SetupIniIsReadFromTheUserFolderFirstAndWrittenThere) {
  EXPECT_EQ(kw::ResolveForReading("Setup.ini"), "");
  Put(game / "Setup.ini", "game");
  EXPECT_EQ(kw::ResolveForReading("setup.ini"), (game / "Setup.ini").string());
  EXPECT_EQ(kw::ResolveForWriting("Setup.ini"), (user / "Setup.ini").string());
  ASSERT_TRUE(kw::WriteWholeFile("SETUP.INI", "user"));
  EXPECT_EQ(Get(game / "Setup.ini"), "game");
  std::string data;
  ASSERT_TRUE(kw::ReadWholeFile("Setup.ini", data));
  EXPECT_EQ(data, "user");
}

TEST_F(FilesTest, DotDotCannotLeaveTheFolder) {
  Put(root / "secret.txt", "s");
  Put(game / "maps" / "x.txt", "x");
  EXPECT_EQ(kw::ResolveForReading("..\\secret.txt"), "");
  EXPECT_EQ(kw::ResolveForReading("maps\\..\\..\\secret.txt"), "");
  EXPECT_EQ(kw::ResolveForWriting("Saves\\..\\..\\secret.txt"), "");
  EXPECT_EQ(kw::OpenFileForReading(0, "..\\secret.txt"), 0);
  EXPECT_EQ(kw::CreateFileForWriting(0, "Temp\\..\\..\\evil.txt"), 0);
  EXPECT_FALSE(fs::exists(root / "evil.txt"));
  // Inside the folder ".." is fine.
  EXPECT_EQ(kw::ResolveForReading("maps\\..\\maps\\x.txt"), (game / "maps" / "x.txt").string());
  // "Saves\..\Gegner.ini" names the game folder's file, which is never written.
  EXPECT_EQ(kw::ResolveForWriting("Saves\\..\\Gegner.ini"), "");
}

TEST_F(FilesTest, TextLinesEndAtCrLfCrLfAndZero) {
  std::string longLine(100000, 'a');
  Put(game / "t.txt", std::string("one\r\ntwo\nthree\rfour\0five\n\n\r\n", 27) + longLine + "\r\nlast");
  ASSERT_EQ(kw::OpenFileForReading(0, "t.txt"), 1);
  EXPECT_EQ(kw::ReadTextLine(0), "one");
  EXPECT_EQ(kw::ReadTextLine(0), "two");
  EXPECT_EQ(kw::ReadTextLine(0), "three");
  EXPECT_EQ(kw::ReadTextLine(0), "four");
  EXPECT_EQ(kw::ReadTextLine(0), "five");
  EXPECT_EQ(kw::ReadTextLine(0), "");
  EXPECT_EQ(kw::ReadTextLine(0), "");
  EXPECT_EQ(kw::ReadTextLine(0), longLine);
  EXPECT_EQ(kw::AtEndOfFile(0), 0);
  EXPECT_EQ(kw::ReadTextLine(0), "last");
  EXPECT_EQ(kw::AtEndOfFile(0), 1);
  EXPECT_EQ(kw::FilePosition(0), kw::FileLength(0));
  EXPECT_EQ(kw::ReadTextLine(0), "");
  kw::CloseFileNumber(0);
}

TEST_F(FilesTest, IntegersAreLittleEndianSignedAndZeroPastTheEnd) {
  Put(game / "i.dat", std::string("\x01\x02\x03\x84\xFE\xFF\x80\x7F\x34\x12", 10));
  ASSERT_EQ(kw::OpenFileForReading(3, "i.dat"), 1);
  EXPECT_EQ(kw::FileLength(3), 10);
  EXPECT_EQ(kw::ReadInt32(3), int32_t(0x84030201u));
  EXPECT_EQ(kw::ReadInt16(3), -2);
  EXPECT_EQ(kw::ReadInt8(3), -128);
  EXPECT_EQ(kw::ReadInt8(3), 127);
  EXPECT_EQ(kw::FilePosition(3), 8);
  // Only two bytes are left: the missing ones read as 0.
  EXPECT_EQ(kw::ReadInt32(3), 0x1234);
  EXPECT_EQ(kw::ReadInt32(3), 0);
  EXPECT_EQ(kw::ReadInt16(3), 0);
  EXPECT_EQ(kw::ReadInt8(3), 0);
  EXPECT_EQ(kw::FilePosition(3), 10);
}

TEST_F(FilesTest, FailedOpensLeaveTheNumberInert) {
  EXPECT_EQ(kw::OpenFileForReading(0, "missing.txt"), 0);
  EXPECT_EQ(kw::ReadTextLine(0), "");
  EXPECT_EQ(kw::ReadInt32(0), 0);
  EXPECT_EQ(kw::FileLength(0), 0);
  EXPECT_EQ(kw::FilePosition(0), 0);
  // A read loop "until the end" must end on a file that never opened.
  EXPECT_EQ(kw::AtEndOfFile(0), 1);
  kw::WriteTextLine(0, "ignored");
  kw::CloseFileNumber(0);
  // A folder is not a file.
  fs::create_directories(game / "maps");
  EXPECT_EQ(kw::OpenFileForReading(1, "maps"), 0);
  // Numbers outside the table.
  EXPECT_EQ(kw::OpenFileForReading(-1, "x"), 0);
  EXPECT_EQ(kw::CreateFileForWriting(kw::MaxFiles, "Temp\\x"), 0);
  EXPECT_EQ(kw::ReadInt8(kw::MaxFiles), 0);
  // The game folder is never created in nor written.
  EXPECT_EQ(kw::CreateFileForWriting(2, "Gegner.ini"), 0);
  EXPECT_EQ(kw::OpenFileForUpdate(2, "Gegner.ini"), 0);
  EXPECT_FALSE(fs::exists(game / "Gegner.ini"));
  EXPECT_EQ(kw::CopyFileTo("missing.txt", "Temp\\copy.txt"), 0);
  EXPECT_FALSE(fs::exists(user / "Temp" / "copy.txt"));
}

TEST_F(FilesTest, UpdateOfAGameFolderFileOnlyReads) {
  Put(game / "Gegner.ini", "[1]\r\n");
  ASSERT_EQ(kw::OpenFileForUpdate(0, "gegner.ini"), 1);
  EXPECT_EQ(kw::ReadTextLine(0), "[1]");
  kw::WriteTextLine(0, "changed");
  EXPECT_EQ(kw::FileLength(0), 5);
  kw::CloseFileNumber(0);
  EXPECT_EQ(Get(game / "Gegner.ini"), "[1]\r\n");
}

TEST_F(FilesTest, CreateWritesOnlyAtCloseThroughARename) {
  Put(user / "Temp" / "savegame.save", "old contents");
  ASSERT_EQ(kw::CreateFileForWriting(1, "temp\\SaveGame.save"), 1);
  EXPECT_EQ(kw::FileLength(1), 0);
  kw::WriteInt16(1, -2);
  kw::WriteInt16(1, 70000);  // only the low 16 bits
  kw::WriteInt8(1, 200);
  kw::WriteText(1, "ab");
  kw::WriteTextLine(1, "c");
  EXPECT_EQ(kw::FilePosition(1), 10);
  // Until the close the old file stays whole.
  EXPECT_EQ(Get(user / "Temp" / "savegame.save"), "old contents");
  kw::CloseFileNumber(1);
  EXPECT_EQ(Get(user / "Temp" / "savegame.save"), std::string("\xFE\xFF\x70\x11\xC8" "abc\r\n", 10));
  EXPECT_EQ(TempFilesIn(user), 0);
  // An empty created file is still written.
  ASSERT_EQ(kw::CreateFileForWriting(1, "Temp\\empty.dat"), 1);
  kw::CloseFileNumber(1);
  EXPECT_TRUE(fs::exists(user / "Temp" / "empty.dat"));
  EXPECT_EQ(fs::file_size(user / "Temp" / "empty.dat"), 0u);
}

TEST_F(FilesTest, MissingUserFoldersAreCreatedOnWrite) {
  ASSERT_EQ(kw::CreateFileForWriting(2, "saves\\quick\\Format.dat"), 1);
  kw::WriteTextLine(2, "30");
  kw::CloseFileNumber(2);
  EXPECT_EQ(Get(user / "saves" / "quick" / "Format.dat"), "30\r\n");
  // "Saves\" finds the folder that "saves\" made.
  ASSERT_EQ(kw::OpenFileForReading(1, "Saves\\quick\\format.dat"), 1);
  EXPECT_EQ(kw::ReadTextLine(1), "30");
}

TEST_F(FilesTest, UpdateCreatesMissingUserFilesAndOverwritesInPlace) {
  ASSERT_EQ(kw::OpenFileForUpdate(0, "Saves\\Savescore.save"), 1);
  EXPECT_TRUE(fs::exists(user / "Saves" / "Savescore.save"));
  EXPECT_EQ(kw::AtEndOfFile(0), 1);
  kw::WriteTextLine(0, "abcdef");
  kw::CloseFileNumber(0);
  ASSERT_EQ(kw::OpenFileForUpdate(0, "saves\\savescore.save"), 1);
  EXPECT_EQ(kw::ReadInt8(0), 'a');
  kw::WriteText(0, "XY");  // overwrites b and c at the shared position
  EXPECT_EQ(kw::FileLength(0), 8);
  kw::CloseFileNumber(0);
  EXPECT_EQ(Get(user / "Saves" / "Savescore.save"), "aXYdef\r\n");
  // Reading without writing leaves the file's time and bytes alone.
  auto before = fs::last_write_time(user / "Saves" / "Savescore.save");
  ASSERT_EQ(kw::OpenFileForUpdate(0, "saves\\savescore.save"), 1);
  kw::ReadTextLine(0);
  kw::CloseFileNumber(0);
  EXPECT_EQ(fs::last_write_time(user / "Saves" / "Savescore.save"), before);
  EXPECT_EQ(TempFilesIn(user), 0);
}

TEST_F(FilesTest, ReopeningANumberClosesTheOldFileFirst) {
  ASSERT_EQ(kw::CreateFileForWriting(1, "Temp\\a.dat"), 1);
  kw::WriteText(1, "first");
  Put(game / "b.txt", "b");
  ASSERT_EQ(kw::OpenFileForReading(1, "b.txt"), 1);
  EXPECT_EQ(Get(user / "Temp" / "a.dat"), "first");
  EXPECT_EQ(kw::ReadTextLine(1), "b");
  // CloseAllFiles writes every changed file.
  ASSERT_EQ(kw::CreateFileForWriting(4, "Temp\\c.dat"), 1);
  kw::WriteText(4, "c");
  kw::CloseAllFiles();
  EXPECT_EQ(Get(user / "Temp" / "c.dat"), "c");
  EXPECT_EQ(kw::FileLength(1), 0);
}

TEST_F(FilesTest, CopyOverwritesTheTarget) {
  Put(user / "Temp" / "map.dat", "new");
  Put(user / "Saves" / "quick" / "map.dat", "older and longer");
  EXPECT_NE(kw::CopyFileTo("Temp\\map.dat", "saves\\quick\\map.dat"), 0);
  EXPECT_EQ(Get(user / "Saves" / "quick" / "map.dat"), "new");
  // Into a slot folder that does not exist yet.
  EXPECT_NE(kw::CopyFileTo("Temp\\map.dat", "saves\\other\\map.dat"), 0);
  EXPECT_EQ(Get(user / "Saves" / "other" / "map.dat"), "new");
  // Never into the game folder.
  EXPECT_EQ(kw::CopyFileTo("Temp\\map.dat", "maps\\map.dat"), 0);
  EXPECT_FALSE(fs::exists(game / "maps"));
  EXPECT_EQ(TempFilesIn(user), 0);
}

TEST_F(FilesTest, AFailedWriteKeepsTheOldFile) {
  Put(user / "Temp" / "keep.dat", "keep");
  // A folder where the file should be: the rename cannot replace it.
  fs::create_directories(user / "Temp" / "dir.dat");
  EXPECT_FALSE(kw::WriteWholeFile("Temp\\dir.dat", "x"));
  EXPECT_TRUE(fs::is_directory(user / "Temp" / "dir.dat"));
  EXPECT_EQ(TempFilesIn(user), 0);
  EXPECT_EQ(kw::CreateFileForWriting(0, "Temp\\dir.dat"), 0);
  EXPECT_EQ(Get(user / "Temp" / "keep.dat"), "keep");
}

}  // namespace
