// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The quick save and load: the bytes of the four slot files for a known state, the
// round trip with its rounding and range rules, slot names, missing, short, damaged and
// mismatched slots, the whole-slot replace, and the key-wait picture.

#include "../content/test_data.h"
#include "common/temp_folders.h"
#include "media/core_internal.h"
#include "media/input_internal.h"
#include "save/save.h"

using namespace kwtest;

namespace {

constexpr int SpaceKey = kw::Key::Space;
constexpr uint32_t WaitPictureColour = Argb(12, 34, 56);

std::string Word(int v) { return {char(v & 255), char((uint32_t(v) >> 8) & 255)}; }

class SaveTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    kw::SetNewGamePlayer(kw::P());
    UseEmptyGrids(3, 2);
    kw::CurrentMap = 7;
    // The key-wait picture: one flat colour, so the back buffer shows whether it was drawn.
    kw::CreateSprite(kw::Spr::TitlePicture, 640, 480);
    kw::SetBlitTarget(kw::Spr::TitlePicture);
    kw::ClearBackBuffer(kw::Rgb(12, 34, 56));
    kw::SetBlitTarget(-1);
    kw::ResetInput();
  }
  void TearDown() override {
    kw::ResetInput();
    kw::ReadKeyboard();
  }

  // A load that finds its key already held, so the wait ends after one picture.
  void LoadWithKey(const std::string& slot) {
    kw::InjectKey(SpaceKey, true);
    kw::LoadGame(slot);
    kw::InjectKey(SpaceKey, false);
    kw::ReadKeyboard();
  }
  fs::path Slot(const std::string& name = "quick") const { return folder.user / "Saves" / name; }
  std::string Get(const fs::path& p) const { return TempFolders::Get(p); }

  // Every cell different, so a swapped row and column order shows in the bytes.
  static void FillCells() {
    for (int col = 0; col <= 3; ++col)
      for (int row = 0; row <= 2; ++row) {
        kw::MapCell& c = kw::Map.At(col, row);
        c.tile = 10 * col + row + 1;
        c.over = 100 + 10 * col + row;
        c.pickup = 40 + 10 * col + row;
        c.shade = 70 + 10 * col + row;
        c.back = -(1000 * col + row);
      }
  }
};

// Every saved field of the record gets the value of its byte offset in savegame.save
// (floats a half above it), so the expected file is mostly "word at offset o is o".
void SetFieldsToOffsets(kw::PlayerRecord& p) {
  p.timeValue = 999; p.speedY = 9.f; p.headerA = 80; p.headerB = 180;  // not in the file
  p.spareF1 = 2.5f; p.spareF2 = 3.5f; p.spare6 = 6; p.spare8 = 8; p.swordSwing = 10;
  p.spare12 = 12; p.smallForm = 14; p.darkness = 16; p.guardianDone = 18; p.spellDir = 20;
  p.spell1Known = 22; p.spell2Known = 24; p.spell3Known = 26; p.spell4Known = 28;
  p.mana = 30.5f;
  for (int i = 0; i < 7; ++i) p.spare32[size_t(i)] = int16_t(32 + 2 * i);
  p.giveCounter = 46; p.message = "48 Punkte"; p.message2 = "nicht gespeichert";
  for (int i = 0; i < 6; ++i) p.spare50[size_t(i)] = int16_t(50 + 2 * i);
  p.mapDone = 62; p.hasSword = 64; p.pixelY = 66;
  for (int i = 0; i < 9; ++i) p.spare68[size_t(i)] = int16_t(68 + 2 * i);
  p.score = 86; p.posX = -88.5f; p.posY = 90.5f; p.spare92 = {92, 94}; p.health = 96.5f;
  p.spare98 = {98, 100, 102}; p.contactFlag = 104; p.frameCounter = 106;
  for (int i = 0; i < 9; ++i) p.spare108[size_t(i)] = int16_t(108 + 2 * i);
  p.swordRow = 126; p.spare128 = {128, 130}; p.headerC = 132; p.tileWidth = 134;
  p.tileHeight = 136; p.spare142 = {142, 144, 146}; p.animFrame = 148; p.animTick = 150;
  p.spare152 = {152, 154}; p.hasKey = 156; p.keyTime = 158; p.spare160 = {160, 162};
  p.facing = 164; p.spare166 = 166; p.spareLast = 168;
}

TEST_F(SaveTest, FourFilesHoldTheDesignedBytes) {
  FillCells();
  SetFieldsToOffsets(kw::P());
  kw::SaveGame("");

  std::string record = Word(7);  // CurrentMap
  for (int offset = 2; offset < 170; offset += 2) {
    int v = offset;
    if (offset == 88) v = -88;   // posX -88.5 rounds to the even -88
    if (offset == 138) v = 3;    // mapWidth
    if (offset == 140) v = 2;    // mapHeight
    record += Word(v);
  }
  std::string cells, pickups, shades, backs;
  for (int row = 0; row <= 2; ++row)
    for (int col = 0; col <= 3; ++col) {
      cells += char(10 * col + row + 1);
      cells += char(100 + 10 * col + row);
      pickups += char(40 + 10 * col + row);
      shades += char(70 + 10 * col + row);
      backs += Word(-(1000 * col + row));
    }
  // The six values, then the mode of the game (0: a free game).
  const std::string format = "3\r\n2\r\n16\r\n132\r\n80\r\n180\r\n0\r\n";

  for (const fs::path& dir : {folder.user / "Temp", Slot()}) {
    EXPECT_EQ(Get(dir / "savegame.save"), record) << dir;
    EXPECT_EQ(Get(dir / "map.dat"), cells + pickups + shades) << dir;
    EXPECT_EQ(Get(dir / "map.dat").size(), 48u);
    EXPECT_EQ(Get(dir / "back.dat"), backs) << dir;
    EXPECT_EQ(Get(dir / "back.dat").size(), 24u);
    EXPECT_EQ(Get(dir / "Format.dat"), format) << dir;
  }
  // Nothing but the four files is left in the slot.
  int entries = 0;
  for (auto& e : fs::directory_iterator(Slot())) entries += e.is_regular_file() ? 1 : 100;
  EXPECT_EQ(entries, 4);
}

TEST_F(SaveTest, RoundTripRestoresRecordAndCellsWithTheRoundingAndRangeRules) {
  kw::PlayerRecord& p = kw::P();
  p.health = 13.5f;  // to the even 14
  p.mana = 12.5f;    // to the even 12
  p.posX = -1234.4f;
  p.posY = 32767.4f;  // the furthest a word holds
  p.score = -3;
  p.message = "Hallo";  // no leading number: comes back as "0"
  p.hasSword = 1;
  p.headerA = 81;
  p.headerB = 181;
  p.darkness = 200;
  kw::MapCell& c = kw::Map.At(2, 1);
  c.tile = 200;  // above 127: comes back unsigned
  c.over = 255;
  c.pickup = 300;  // beyond a byte: the low 8 bits
  c.shade = 9;
  c.back = 40000;  // beyond a word: comes back negative
  kw::Map.At(3, 2).back = -7;
  kw::SaveGame("");
  const kw::PlayerRecord saved = p;
  // Format.dat's darkness wins over the record's word: both were written from one
  // value, so the file's line is made different to tell them apart.
  std::string format = Get(Slot() / "Format.dat");
  ASSERT_EQ(format.substr(0, 11), "3\r\n2\r\n200\r\n");
  TempFolders::Put(Slot() / "Format.dat", format.replace(6, 3, "150"));

  // Play on: move, change cells and values, some of which a save does not hold.
  p.health = 1.f; p.posX = 5.f; p.posY = 5.f; p.score = 99; p.message = "neu";
  p.message2 = "bleibt"; p.timeValue = 4321; p.hasSword = 0; p.headerA = 1; p.darkness = 0;
  kw::Map.At(2, 1) = kw::MapCell{};
  kw::Map.At(2, 1).tagNo = 5;
  kw::Enemies.Add();
  kw::CurrentScreen = kw::Screen::Play;
  LoadWithKey("");

  EXPECT_EQ(kw::CurrentMap, 7);
  EXPECT_FLOAT_EQ(p.health, 14.f);
  EXPECT_FLOAT_EQ(p.mana, 12.f);
  EXPECT_FLOAT_EQ(p.posX, -1234.f);
  EXPECT_FLOAT_EQ(p.posY, 32767.f);
  EXPECT_EQ(p.score, -3);
  EXPECT_EQ(p.message, "0");
  EXPECT_EQ(p.hasSword, 1);
  EXPECT_EQ(p.facing, saved.facing);
  EXPECT_EQ(p.spare68, saved.spare68);
  EXPECT_EQ(p.spareLast, saved.spareLast);
  EXPECT_EQ(p.headerA, 81);
  EXPECT_EQ(p.headerB, 181);
  EXPECT_EQ(p.darkness, 150);
  EXPECT_EQ(p.mapWidth, 3);
  EXPECT_EQ(p.mapHeight, 2);
  // Not in the save: kept as they were.
  EXPECT_EQ(p.message2, "bleibt");
  EXPECT_EQ(p.timeValue, 4321);
  EXPECT_EQ(kw::Enemies.Count(), 1);
  EXPECT_EQ(kw::Map.At(2, 1).tagNo, 5);

  EXPECT_EQ(kw::Map.At(2, 1).tile, 200);
  EXPECT_EQ(kw::Map.At(2, 1).over, 255);
  EXPECT_EQ(kw::Map.At(2, 1).pickup, 300 - 256);
  EXPECT_EQ(kw::Map.At(2, 1).shade, 9);
  EXPECT_EQ(kw::Map.At(2, 1).back, 40000 - 65536);
  EXPECT_EQ(kw::Map.At(3, 2).back, -7);
  EXPECT_EQ(kw::Map.W, 3);
  EXPECT_EQ(kw::Map.H, 2);

  // The key-wait picture was shown, and the screen is play's again afterwards.
  EXPECT_EQ(Pixel(320, 240), WaitPictureColour);
  EXPECT_EQ(kw::CurrentScreen, kw::Screen::Play);
}

TEST_F(SaveTest, EmptyNameIsTheQuickSlotAndOtherNamesAreTheirOwnFolders) {
  kw::P().score = 11;
  kw::SaveGame("");
  kw::P().score = 22;
  kw::SaveGame("zwei");
  for (const char* name : {"savegame.save", "map.dat", "back.dat", "Format.dat"}) {
    EXPECT_TRUE(fs::exists(Slot("quick") / name)) << name;
    EXPECT_TRUE(fs::exists(Slot("zwei") / name)) << name;
  }
  LoadWithKey("");
  EXPECT_EQ(kw::P().score, 11);
  LoadWithKey("zwei");
  EXPECT_EQ(kw::P().score, 22);
  LoadWithKey("quick");
  EXPECT_EQ(kw::P().score, 11);

  // A name that is not one plain folder name reaches no other folder.
  for (const char* bad : {"..", ".", "../Temp", "a\\b", "x/y"}) {
    kw::P().score = 33;
    kw::SaveGame(bad);
    LoadWithKey(bad);
    EXPECT_EQ(kw::P().score, 33) << bad;
  }
  EXPECT_FALSE(fs::exists(folder.user / "Temp" / "savegame.save.new"));
  EXPECT_FALSE(fs::exists(folder.user / "savegame.save"));
}

// The state a failed or refused load must leave alone.
struct Snapshot {
  int map = kw::CurrentMap;
  float posX = kw::P().posX;
  int16_t score = kw::P().score;
  int w = kw::Map.W, h = kw::Map.H;
  int tile = kw::Map.At(1, 1).tile;
  long flips = kw::FlipCount();
  bool Same() const {
    return map == kw::CurrentMap && posX == kw::P().posX && score == kw::P().score &&
           w == kw::Map.W && h == kw::Map.H && tile == kw::Map.At(1, 1).tile &&
           flips == kw::FlipCount();  // no key-wait picture either
  }
};

TEST_F(SaveTest, MissingOrAbsurdSlotChangesNothing) {
  kw::P().posX = -77.f;
  kw::Map.At(1, 1).tile = 4;
  Snapshot before;
  LoadWithKey("");  // no slot at all
  EXPECT_TRUE(before.Same());

  kw::SaveGame("");
  kw::P().posX = -5.f;
  kw::Map.At(1, 1).tile = 6;
  Snapshot changed;
  const std::string record = Get(Slot() / "savegame.save");
  fs::remove(Slot() / "savegame.save");  // the other three alone are no slot
  LoadWithKey("");
  EXPECT_TRUE(changed.Same());

  TempFolders::Put(Slot() / "savegame.save", record);
  for (const char* sizes : {"-1\r\n2\r\n", "4096\r\n2\r\n", "3\r\n99999\r\n", "4095\r\n4095\r\n"}) {
    TempFolders::Put(Slot() / "Format.dat", std::string(sizes) + "0\r\n0\r\n80\r\n180\r\n");
    LoadWithKey("");
    EXPECT_TRUE(changed.Same()) << sizes;
  }
  // A cell file larger than any grid the game makes is not read at all.
  TempFolders::Put(Slot() / "Format.dat", "3\r\n2\r\n0\r\n0\r\n80\r\n180\r\n");
  fs::resize_file(Slot() / "map.dat", uintmax_t(4 * kw::MaxMapCells + 1));
  LoadWithKey("");
  EXPECT_TRUE(changed.Same());
  // The same slot with a cell file of the right size loads.
  fs::resize_file(Slot() / "map.dat", 48);
  LoadWithKey("");
  EXPECT_EQ(kw::CurrentMap, 7);
  EXPECT_FLOAT_EQ(kw::P().posX, -77.f);
}

// A slot missing any one file is refused whole: without a cell file the map would be
// wiped, without Format.dat its sizes.
TEST_F(SaveTest, SlotMissingAFileChangesNothing) {
  FillCells();
  kw::SaveGame("");
  kw::P().posX = -5.f;
  kw::Map.At(1, 1).tile = 6;
  Snapshot changed;
  for (const char* name : {"Format.dat", "map.dat", "back.dat"}) {
    const std::string bytes = Get(Slot() / name);
    fs::remove(Slot() / name);
    LoadWithKey("");
    EXPECT_TRUE(changed.Same()) << name;
    TempFolders::Put(Slot() / name, bytes);
  }
  LoadWithKey("");
  EXPECT_EQ(kw::CurrentMap, 7);
  EXPECT_EQ(kw::Map.At(1, 1).tile, 12);
}

// A place further out than a word holds is not saved at all; the message line says so.
TEST_F(SaveTest, APositionBeyondAWordIsRefusedAtSaveTime) {
  const struct { float posX, posY; bool saved; } cases[] = {
      {-32768.f, 0.f, true}, {-32768.6f, 0.f, false}, {32767.f, 0.f, true}, {32768.f, 0.f, false},
      {0.f, 32767.4f, true}, {0.f, 32767.6f, false}, {0.f, -40000.f, false},
  };
  for (const auto& c : cases) {
    fs::remove_all(Slot());
    kw::P().message.clear();
    kw::P().posX = c.posX;
    kw::P().posY = c.posY;
    kw::SaveGame("");
    EXPECT_EQ(fs::exists(Slot() / "savegame.save"), c.saved) << c.posX << " " << c.posY;
    EXPECT_EQ(kw::P().message, c.saved ? "" : kw::SaveRefusedText) << c.posX << " " << c.posY;
  }
  // A refused save leaves the slot it would have replaced as it was.
  kw::P().posX = 0;
  kw::SaveGame("");
  const std::string before = Get(Slot() / "savegame.save");
  kw::P().posX = -50000.f;
  kw::P().score = 5;
  kw::SaveGame("");
  EXPECT_EQ(Get(Slot() / "savegame.save"), before);
}

// Pixels of the key-wait picture's bottom band that are not the picture: its note.
int NotePixels() {
  int n = 0;
  for (int y = 415; y < 445; ++y)
    for (int x = 30; x < 600; ++x) n += Pixel(x, y) != WaitPictureColour ? 1 : 0;
  return n;
}

// The slot's mode and map decide how it loads, and it is never read into another map:
// another mode is refused with its reason on the key-wait picture; another map of this
// mode ends the running map and waits for the slot's map to start (whose map start reads
// it in); a map this mode does not have is refused with its reason.
TEST_F(SaveTest, ASlotOfAnotherModeOrMapIsNeverReadIntoTheRunningMap) {
  FillCells();
  kw::P().score = 44;
  kw::SaveGame("");  // a free game's map 7
  kw::P().score = 1;
  kw::Map.At(1, 1).tile = 6;
  auto untouched = [] { return kw::P().score == 1 && kw::Map.At(1, 1).tile == 6 && kw::P().mapDone == 0; };

  kw::StoryMode = 1;
  LoadWithKey("");
  EXPECT_TRUE(untouched());
  EXPECT_GT(NotePixels(), 0);
  kw::StoryMode = 0;

  kw::CurrentMap = 2;
  LoadWithKey("");  // no map 7 in the game folder
  EXPECT_TRUE(untouched());
  EXPECT_EQ(kw::CurrentMap, 2);
  EXPECT_GT(NotePixels(), 0);

  folder.WriteText(folder.game / "maps" / "map7.map", "7");
  LoadWithKey("");
  EXPECT_EQ(kw::P().mapDone, 1);   // the running map ends ...
  EXPECT_EQ(kw::CurrentMap, 6);    // ... and the map end goes on to map 7
  EXPECT_EQ(kw::PendingLoad.map, 7);
  EXPECT_EQ(kw::P().score, 1);
  EXPECT_EQ(kw::Map.At(1, 1).tile, 6);
  kw::CurrentMap = 7;  // as the map end and the map start of map 7 leave it
  kw::P().mapDone = 0;
  kw::FinishPendingLoad();
  EXPECT_EQ(kw::P().score, 44);
  EXPECT_EQ(kw::Map.At(1, 1).tile, 12);
  EXPECT_TRUE(kw::PendingLoad.folder.empty());
  kw::FinishPendingLoad();  // once only
  EXPECT_EQ(kw::Map.At(1, 1).tile, 12);

  // A story slot of a map before the story's progress takes the progress back with it.
  kw::StoryMode = 1;
  kw::SaveGame("");
  kw::CurrentMap = 9;
  kw::StoryProgress = 9;
  folder.WriteText(folder.game / "maps" / "Story" / "map7.map", "7");
  LoadWithKey("");
  EXPECT_EQ(kw::CurrentMap, 6);
  EXPECT_EQ(kw::StoryProgress, 7);
  kw::P().mapDone = 0;

  // A slot written before the mode was stored loads as one of the running mode; one
  // whose mode line names no mode is damaged.
  const std::string format = Get(Slot() / "Format.dat");
  TempFolders::Put(Slot() / "Format.dat", format.substr(0, format.rfind("1\r\n")));
  kw::StoryMode = 0;
  kw::CurrentMap = 7;
  kw::P().score = 2;
  LoadWithKey("");
  EXPECT_EQ(kw::P().score, 44);
  TempFolders::Put(Slot() / "Format.dat", format.substr(0, format.rfind("1\r\n")) + "3\r\n");
  kw::P().score = 2;
  Snapshot before;
  LoadWithKey("");
  EXPECT_TRUE(before.Same());
}

TEST_F(SaveTest, SlotOfAnotherSizeGetsAGridOfItsOwnSize) {
  FillCells();
  kw::SaveGame("");
  for (int side : {6, 0}) {
    UseEmptyGrids(side, side);
    LoadWithKey("");
    EXPECT_EQ(kw::Map.W, 3);
    EXPECT_EQ(kw::Map.H, 2);
    EXPECT_EQ(kw::LightGrid.W, 3);
    EXPECT_EQ(kw::LightGrid.H, 2);
    EXPECT_EQ(kw::Map.CellCount(), 12);
    EXPECT_EQ(kw::Map.At(3, 2).tile, 33);
    EXPECT_EQ(kw::Map.At(3, 2).back, -3002);
    EXPECT_EQ(kw::Map.At(2, 0).shade, 90);
  }
}

TEST_F(SaveTest, ShortFilesReadZerosForWhatIsMissing) {
  FillCells();
  kw::P().score = 86;
  kw::P().facing = 4;
  kw::SaveGame("");
  std::string record = Get(Slot() / "savegame.save");
  TempFolders::Put(Slot() / "savegame.save", record.substr(0, 88));  // up to score
  std::string cells = Get(Slot() / "map.dat");
  TempFolders::Put(Slot() / "map.dat", cells.substr(0, 8));  // row 0 of pass 1
  TempFolders::Put(Slot() / "back.dat", "");
  LoadWithKey("");
  EXPECT_EQ(kw::P().score, 86);
  EXPECT_FLOAT_EQ(kw::P().posX, 0.f);
  EXPECT_EQ(kw::P().facing, 0);
  EXPECT_EQ(kw::P().mapWidth, 3);  // Format.dat is whole
  EXPECT_EQ(kw::Map.At(0, 1).tile, 0);  // row 1 starts after the cut
  EXPECT_EQ(kw::Map.At(0, 0).over, 100);
  EXPECT_EQ(kw::Map.At(0, 0).pickup, 0);
  EXPECT_EQ(kw::Map.At(3, 2).back, 0);
}

TEST_F(SaveTest, SlotIsReplacedWholeOrNotAtAllAndItsFoldersAreMade) {
  fs::remove_all(folder.user / "Saves");
  fs::remove_all(folder.user / "Temp");
  kw::P().score = 1;
  kw::SaveGame("");
  ASSERT_TRUE(fs::exists(Slot() / "savegame.save"));
  const std::string before = Get(Slot() / "savegame.save");

  // A working copy that cannot be written: the slot keeps the old save.
  fs::remove(folder.user / "Temp" / "Format.dat");
  fs::create_directory(folder.user / "Temp" / "Format.dat");
  kw::P().score = 2;
  kw::SaveGame("");
  EXPECT_EQ(Get(Slot() / "savegame.save"), before);
  fs::remove(folder.user / "Temp" / "Format.dat");

  // A copy into the slot that fails: no file of the slot changes, none is left behind.
  fs::create_directory(Slot() / "Format.dat.new");
  kw::Map.At(0, 0).tile = 77;
  kw::SaveGame("");
  EXPECT_EQ(Get(Slot() / "savegame.save"), before);
  EXPECT_NE(Get(Slot() / "map.dat")[0], char(77));
  EXPECT_FALSE(fs::exists(Slot() / "map.dat.new"));
  fs::remove(Slot() / "Format.dat.new");

  kw::SaveGame("");
  EXPECT_NE(Get(Slot() / "savegame.save"), before);
  EXPECT_EQ(Get(Slot() / "map.dat")[0], char(77));
}

TEST_F(SaveTest, RecordWordsFollowTheRecordOrder) {
  kw::PlayerRecord p;
  SetFieldsToOffsets(p);
  kw::RecordWords w = kw::WordsOfRecord(p);
  EXPECT_EQ(w[0], 2);    // spareF1 2.5 to the even 2
  EXPECT_EQ(w[23], 48);  // message "48 Punkte"
  EXPECT_EQ(w[83], 168);
  kw::PlayerRecord back;
  kw::SetRecordFromWords(back, w);
  EXPECT_EQ(kw::WordsOfRecord(back), w);
  EXPECT_EQ(back.message, "48");
  EXPECT_EQ(back.timeValue, 0);
}

// Closing the window while the picture waits for a key ends the program.
TEST_F(SaveTest, CloseRequestDuringTheKeyWaitQuits) {
  kw::SaveGame("");
  EXPECT_EXIT(
      {
        alarm(30);  // a wait that missed the request ends by the alarm, not the test run
        kw::InjectCloseRequest();
        kw::LoadGame("");
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
