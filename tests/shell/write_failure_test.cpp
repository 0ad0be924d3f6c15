// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Every file the game writes survives a write that fails midway: Setup.ini (both ways
// the options screen writes it), Savescore.save, Story.save, the quick-save slot and the
// state file. Each write is made to fail when its temporary file is created, when the
// disk fills halfway through the bytes, and when the rename into place is refused (for
// the slot, at each of its four renames). Afterwards the old file is whole, no
// temporary file is left beside it, and the game goes on: the same write succeeds once
// the fault is gone.
#include "../content/test_data.h"
#include "common/temp_folders.h"
#include "media/files_internal.h"
#include "menus/menus.h"
#include "save/save.h"

using namespace kwtest;

namespace {

using kw::WriteFault;

// The files of a folder tree with their bytes, temporary ones included.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> files;
  std::error_code ec;
  for (const auto& item : fs::recursive_directory_iterator(root, ec))
    if (item.is_regular_file()) files[fs::relative(item.path(), root).string()] = TempFolders::Get(item.path());
  return files;
}

class WriteFailureTest : public GameTest {
 protected:
  void TearDown() override { kw::SetWriteFault(WriteFault::None); }

  // Runs write once with each fault (after `after` steps of its kind succeeded); the
  // user folder must be exactly as before each time. Then the write succeeds and
  // changes what it should.
  void ExpectFailuresLeaveTheOldFiles(const std::function<void()>& write, const std::string& what,
                                      int renames = 1) {
    const auto before = Snapshot(folder.user);
    ASSERT_FALSE(before.empty()) << what << ": nothing old to protect";
    struct Case { WriteFault fault; int after; };
    std::vector<Case> cases = {{WriteFault::Create, 0}, {WriteFault::Write, 0}};
    for (int r = 0; r < renames; ++r) cases.push_back({WriteFault::Rename, r});
    for (const Case& c : cases) {
      kw::SetWriteFault(c.fault, c.after);
      write();
      // The fault must have hit, or the case tested nothing.
      EXPECT_FALSE(kw::WriteFaultPending()) << what << ": fault " << int(c.fault) << "/" << c.after << " never hit";
      kw::SetWriteFault(WriteFault::None);
      const auto after = Snapshot(folder.user);
      for (const auto& [name, bytes] : before) {
        if (name.rfind("Temp", 0) == 0) continue;  // working copies may change
        auto found = after.find(name);
        ASSERT_NE(found, after.end()) << what << ": " << name << " is gone (fault " << int(c.fault) << "/" << c.after << ")";
        EXPECT_EQ(found->second, bytes) << what << ": " << name << " changed (fault " << int(c.fault) << "/" << c.after << ")";
      }
      for (const auto& [name, bytes] : after) {
        if (name.rfind("Temp", 0) == 0) continue;
        EXPECT_TRUE(before.count(name)) << what << ": " << name << " was left behind (fault " << int(c.fault) << "/" << c.after << ")";
      }
    }
    write();
    EXPECT_NE(Snapshot(folder.user), before) << what << ": the write without a fault changed nothing";
  }
};

TEST_F(WriteFailureTest, SetupIniIsWholeAfterAFailedWrite) {
  // Rewritten key by key from the file it read.
  folder.WriteText(folder.user / "Setup.ini", "volumen=80\r\nabbruch=1\r\n");
  int volume = 10;
  ExpectFailuresLeaveTheOldFiles([&] { kw::WriteSetupIni(volume++); }, "Setup.ini by keys");
  // Written fresh when there was none to read: a failure leaves none.
  fs::remove(folder.user / "Setup.ini");
  folder.WriteText(folder.user / "Saves" / "keep.txt", "x");
  kw::SetWriteFault(WriteFault::Write);
  kw::WriteSetupIni(20);
  kw::SetWriteFault(WriteFault::None);
  EXPECT_EQ(Snapshot(folder.user).count("Setup.ini"), 0u);
  EXPECT_EQ(Snapshot(folder.user).size(), 1u);
}

TEST_F(WriteFailureTest, HighscoresAndStoryProgressAreWholeAfterAFailedWrite) {
  kw::CreateGameLists();
  for (int i = 1; i <= 6; ++i) kw::Highscores[size_t(i)] = {int16_t(100 * i), "Alt " + std::to_string(i)};
  kw::WriteHighscoreFile();
  int score = 1;
  ExpectFailuresLeaveTheOldFiles([&] { kw::InsertHighscore(int16_t(1000 + score++), "Neu"); kw::WriteHighscoreFile(); },
                                 "Savescore.save");
  kw::CurrentMap = 2;
  kw::GameOver = 0;
  kw::WriteStoryProgress();
  ASSERT_EQ(TempFolders::Get(folder.user / "Saves" / "Story.save"), "3");
  kw::CurrentMap = 5;
  ExpectFailuresLeaveTheOldFiles([] { kw::WriteStoryProgress(); ++kw::CurrentMap; }, "Story.save");
}

TEST_F(WriteFailureTest, QuickSaveSlotIsWholeAfterAFailedSave) {
  kw::SetNewGamePlayer(kw::P());
  UseEmptyGrids(3, 2);
  kw::CurrentMap = 4;
  kw::P().score = 111;
  kw::SaveGame("");
  ASSERT_TRUE(fs::exists(folder.user / "Saves" / "quick" / "savegame.save"));
  int16_t score = 200;
  // A save renames twelve times: four working copies into Temp, four copies beside the
  // slot's files, four into place. Each fails once in turn; a failure among the last
  // four undoes the ones before it.
  ExpectFailuresLeaveTheOldFiles(
      [&] {
        kw::P().score = score++;
        kw::Map.At(1, 1).tile = uint8_t(score);
        kw::SaveGame("");
      },
      "the quick slot", 12);
}

// F5 says "Gespeichert" over play when the slot was written, and nothing when it was not.
TEST_F(WriteFailureTest, QuickSaveSaysSoOnlyWhenItSaved) {
  kw::SetNewGamePlayer(kw::P());
  UseEmptyGrids(3, 2);
  for (bool fails : {false, true}) {
    kw::NoticeFrames = 0;
    kw::SetWriteFault(fails ? WriteFault::Create : WriteFault::None);
    kw::PendingAction = kw::GameAction::QuickSave;
    kw::RunPendingAction();
    kw::SetWriteFault(WriteFault::None);
    EXPECT_EQ(kw::NoticeFrames > 0, !fails) << fails;
    EXPECT_EQ(kw::NoticeText, "Gespeichert");  // from the first, good save
  }
}

TEST_F(WriteFailureTest, StateFileIsWholeAfterAFailedWrite) {
  const fs::path state = folder.user / "state.json";
  ASSERT_TRUE(kw::WriteOutsideFile(state.string(), "{\"old\": 1}"));
  int n = 0;
  ExpectFailuresLeaveTheOldFiles([&] { kw::WriteOutsideFile(state.string(), "{\"new\": " + std::to_string(n++) + "}"); },
                                 "the state file");
}

TEST_F(WriteFailureTest, AFailedCloseIsReportedAndTheNumberIsFreeAgain) {
  folder.WriteText(folder.user / "Saves" / "x.dat", "alt");
  for (WriteFault fault : {WriteFault::Create, WriteFault::Write, WriteFault::Rename}) {
    ASSERT_EQ(kw::CreateFileForWriting(3, "Saves\\x.dat"), 1);
    kw::WriteText(3, "neu und laenger");
    kw::SetWriteFault(fault);
    EXPECT_EQ(kw::CloseFileNumber(3), 0) << int(fault);
    kw::SetWriteFault(WriteFault::None);
    EXPECT_EQ(TempFolders::Get(folder.user / "Saves" / "x.dat"), "alt");
    EXPECT_EQ(kw::CloseFileNumber(3), 0);  // the failed close still freed the number
  }
  EXPECT_EQ(kw::MoveFileTo("Saves\\x.dat", "Saves\\y.dat"), 1);
}

}  // namespace
