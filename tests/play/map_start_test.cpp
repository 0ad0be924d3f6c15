// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// A map start wipes every one-map value: each is filled with junk, a map is started the
// way the game starts one (the shell's MapStart with its loader), and each must hold its
// start value. A new one-map global gets a row in OneMapValues below.
#include <functional>
#include <vector>

#include "play/play_fixture.h"
#include "script/script.h"

namespace {

// One one-map global: how to spoil it, and whether it holds what a map start gives it.
struct OneMapValue {
  const char* name;
  std::function<void()> spoil;
  std::function<bool()> atStart;
};

// The map of the test: 6 x 4 cells, one slider at (2, 1), no script.
constexpr int SliderCol = 2, SliderRow = 1;

std::vector<OneMapValue> OneMapValues() {
  using namespace kw;
  Statement junkStatement;
  junkStatement.command = "junk";
  return {
      {"HurtTime", [] { HurtTime = 99; }, [] { return HurtTime == 0; }},
      {"MapJustStarted", [] { MapJustStarted = 7; }, [] { return MapJustStarted == 1; }},
      {"WorldStepTime", [] { WorldStepTime = -5; }, [] { return WorldStepTime == int32_t(TimeMs()); }},
      {"MapStartTime", [] { MapStartTime = -5; }, [] { return MapStartTime == int32_t(TimeMs()); }},
      {"MovingTileInterval", [] { MovingTileInterval = 400; }, [] { return MovingTileInterval == 0; }},
      {"visible window", [] { VisFromX = VisToX = VisFromY = VisToY = 9999; },
       [] {
         int32_t before[] = {VisFromX, VisToX, VisFromY, VisToY};
         ComputeVisibleWindow(0);
         return before[0] == VisFromX && before[1] == VisToX && before[2] == VisFromY &&
                before[3] == VisToY && VisToX <= P().mapWidth;
       }},
      {"Spell", [] { Spell = 300; }, [] { return Spell == 0; }},
      {"SpellDX", [] { SpellDX = 3; }, [] { return SpellDX == 0; }},
      {"SpellDY", [] { SpellDY = 3; }, [] { return SpellDY == 0; }},
      {"SpellTime", [] { SpellTime = 40; }, [] { return SpellTime == 0; }},
      {"Aura", [] { Aura = 359; }, [] { return Aura == 0; }},
      {"HitGuard", [] { HitGuard = 1; }, [] { return HitGuard == 0; }},
      {"GuardHealth", [] { GuardHealth = 321; }, [] { return GuardHealth == 0; }},
      {"GuardMana", [] { GuardMana = 55; }, [] { return GuardMana == 0; }},
      {"GroundKind", [] { GroundKind = 10; }, [] { return GroundKind == 5; }},
      {"TouchSprite", [] { TouchSprite = 323; }, [] { return TouchSprite == 438; }},
      {"OnSlope", [] { OnSlope = 1; }, [] { return OnSlope == 0; }},
      {"SlopeFrames", [] { SlopeFrames = 4; }, [] { return SlopeFrames == 0; }},
      {"MessageTickerCount", [] { MessageTickerCount = 17; }, [] { return MessageTickerCount == 0; }},
      {"NoticeText", [] { NoticeText = "Gespeichert"; }, [] { return NoticeText.empty(); }},
      {"NoticeFrames", [] { NoticeFrames = 60; }, [] { return NoticeFrames == 0; }},
      {"Shots", [] { Shots.Add(); }, [] { return Shots.Empty(); }},
      {"Bombs", [] { Bombs.Add(); }, [] { return Bombs.Empty(); }},
      {"Portals", [] { Portals.Add(); }, [] { return Portals.Empty(); }},
      {"TimeOver", [] { TimeOver = 1; }, [] { return TimeOver == 0; }},
      {"KeyTick", [] { KeyTick = 12345; }, [] { return KeyTick == 0; }},
      {"KeyExpired", [] { KeyExpired = 1; }, [] { return KeyExpired == 0; }},
      {"LastHealth", [] { LastHealth = 499; }, [] { return LastHealth == 0; }},
      {"ArenaShift", [] { ArenaShift = -640; }, [] { return ArenaShift == 0; }},
      // Made from the map read: its one slider, no enemy and so no boss line.
      {"Enemies and the boss line",
       [] {
         Boss = &Enemies.Add();
         BossShown = 1;
       },
       [] { return Enemies.Empty() && Boss == nullptr && BossShown == 0; }},
      {"Sliders", [] { Sliders.Add().col = 77; },
       [] {
         return Sliders.Count() == 1 && Sliders.begin()->col == SliderCol &&
                Sliders.begin()->row == SliderRow;
       }},
      // The map script's statements: the map has none.
      {"StartScript", [junkStatement] { StartScript.Add(junkStatement); }, [] { return StartScript.Empty(); }},
      {"MainScript", [junkStatement] { MainScript.Add(junkStatement); }, [] { return MainScript.Empty(); }},
  };
}

class MapStartTest : public kwtest::PlayTest {
 protected:
  void SetUp() override {
    PlayTest::SetUp();
    folder.Use();
    kwtest::WritePack(folder.game / "paks" / "Tiles.pak", kwtest::TilesEntries());
    kwtest::MapSpec m;
    m.w = 5;
    m.h = 3;
    m.pickup = [](int c, int r) { return int32_t(c == SliderCol && r == SliderRow ? kw::Pickup::Slider : 0); };
    folder.WriteText(folder.game / "maps" / "map1.map", m.Bytes());
    kw::CurrentMap = 1;
  }
  // A map start whose title picture ends at once (a key is held).
  static void StartMap() {
    kw::InjectKey(kw::Key::Space, true);
    ASSERT_TRUE(kw::MapStart());
    kw::InjectKey(kw::Key::Space, false);
  }
  kwtest::GameFolder folder;
};

TEST_F(MapStartTest, EveryOneMapValueIsAtItsStartAfterAMapStart) {
  std::vector<OneMapValue> values = OneMapValues();
  StartMap();  // a map played before
  for (const OneMapValue& v : values) v.spoil();
  for (const OneMapValue& v : values) ASSERT_FALSE(v.atStart()) << v.name << " was not spoilt";
  StartMap();
  for (const OneMapValue& v : values) EXPECT_TRUE(v.atStart()) << v.name;
}

}  // namespace
