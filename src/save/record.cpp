// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The layout of the player record in savegame.save, shared by the save and the load:
// one list of the saved fields in record order, walked in both directions, so the two
// can never disagree about which word holds which field.
#include "media/media.h"
#include "save/save.h"

namespace kw {

namespace {

// Calls visit on each saved field of the record, in file order. The fields from
// timeValue to speedY and the two header values before spareF1 go to no word (the
// header values live in Format.dat); message2 and message3 are not saved.
template <typename Record, typename Visit>
void VisitSavedFields(Record& p, Visit&& visit) {
  visit(p.spareF1); visit(p.spareF2); visit(p.spare6); visit(p.spare8);
  visit(p.swordSwing); visit(p.spare12); visit(p.smallForm); visit(p.darkness);
  visit(p.guardianDone); visit(p.spellDir);
  visit(p.spell1Known); visit(p.spell2Known); visit(p.spell3Known); visit(p.spell4Known);
  visit(p.mana);
  for (auto& v : p.spare32) visit(v);
  visit(p.giveCounter); visit(p.message);
  for (auto& v : p.spare50) visit(v);
  visit(p.mapDone); visit(p.hasSword); visit(p.pixelY);
  for (auto& v : p.spare68) visit(v);
  visit(p.score); visit(p.posX); visit(p.posY);
  for (auto& v : p.spare92) visit(v);
  visit(p.health);
  for (auto& v : p.spare98) visit(v);
  visit(p.contactFlag); visit(p.frameCounter);
  for (auto& v : p.spare108) visit(v);
  visit(p.swordRow);
  for (auto& v : p.spare128) visit(v);
  visit(p.headerC); visit(p.tileWidth); visit(p.tileHeight);
  visit(p.mapWidth); visit(p.mapHeight);
  for (auto& v : p.spare142) visit(v);
  visit(p.animFrame); visit(p.animTick);
  for (auto& v : p.spare152) visit(v);
  visit(p.hasKey); visit(p.keyTime);
  for (auto& v : p.spare160) visit(v);
  visit(p.facing); visit(p.spare166); visit(p.spareLast);
}

// The low 16 bits of a value, as the file holds them.
int16_t LowWord(int32_t v) { return int16_t(uint16_t(uint32_t(v) & 0xFFFFu)); }

// Turns each field into its word.
struct FieldToWord {
  RecordWords& words;
  int next = 0;
  void Put(int16_t w) {
    if (next < SavedRecordWords) words[size_t(next)] = w;
    ++next;
  }
  void operator()(const int16_t& v) { Put(v); }
  // Rounded half to even; a value far outside int16 keeps only its low bits.
  void operator()(const float& v) { Put(LowWord(Nearest(v))); }
  void operator()(const std::string& v) { Put(LowWord(ParseInt(v))); }
};

// Fills each field from its word.
struct WordToField {
  const RecordWords& words;
  int next = 0;
  int16_t Take() { return next < SavedRecordWords ? words[size_t(next++)] : 0; }
  void operator()(int16_t& v) { v = Take(); }
  void operator()(float& v) { v = float(Take()); }
  void operator()(std::string& v) { v = IntToText(Take()); }
};

}  // namespace

// Both directions walk the same field list.
RecordWords WordsOfRecord(const PlayerRecord& p) {
  RecordWords words{};
  FieldToWord put{words};
  VisitSavedFields(p, put);
  return words;
}

// Fields outside the list keep their values.
void SetRecordFromWords(PlayerRecord& p, const RecordWords& words) {
  WordToField take{words};
  VisitSavedFields(p, take);
}

// Only one plain folder name below Saves: a slot name never reaches another folder.
std::string SlotFolder(const std::string& slot) {
  std::string name = slot.empty() ? "quick" : slot;
  if (name == "." || name == ".." || name.find_first_of("/\\") != std::string::npos) return "";
  return "Saves\\" + name + "\\";
}

}  // namespace kw
