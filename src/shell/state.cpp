// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The --state writer: a flat JSON object of the main game state, written when the
// program ends, for tests and bug reports. Texts are Latin-1 in the game and UTF-8 in
// the JSON.
#include <cmath>
#include <cstdio>
#include <sstream>

#include "media/media.h"
#include "shell/shell.h"

namespace kw {

namespace {

// Appends "key": value pairs with commas.
class JsonObject {
 public:
  void Number(const char* key, double v) {
    if (!std::isfinite(v)) v = 0;  // JSON has no NaN or infinity
    std::ostringstream s;
    s.precision(9);
    s << v;
    Raw(key, s.str());
  }
  void Text(const char* key, const std::string& latin1) { Raw(key, JsonString(latin1)); }
  std::string Finish() const { return "{" + body_ + "}\n"; }

 private:
  void Raw(const char* key, const std::string& value) {
    if (!body_.empty()) body_ += ", ";
    body_ += "\"" + std::string(key) + "\": " + value;
  }
  std::string body_;
};

}  // namespace

std::string StateJson() {
  const PlayerRecord p = Player.Empty() ? PlayerRecord{} : *Player.begin();
  JsonObject j;
  j.Text("screen", ScreenName(CurrentScreen));
  j.Number("CurrentMap", CurrentMap);
  j.Number("StoryMode", StoryMode);
  j.Number("TimeMatch", TimeMatch);
  j.Number("GameOver", GameOver);
  j.Number("Volume", Volume);
  j.Number("PlayerScreenX", PlayerScreenX);
  j.Number("posX", p.posX);
  j.Number("posY", p.posY);
  j.Number("pixelY", p.pixelY);
  j.Number("health", p.health);
  j.Number("mana", p.mana);
  j.Number("score", p.score);
  j.Number("hasSword", p.hasSword);
  j.Number("hasKey", p.hasKey);
  j.Number("smallForm", p.smallForm);
  j.Number("facing", p.facing);
  j.Text("message", p.message);
  j.Number("Enemies", Enemies.Count());
  j.Number("Shots", Shots.Count());
  j.Number("Bombs", Bombs.Count());
  j.Number("Portals", Portals.Count());
  j.Number("LoadProgress", LoadProgress);
  j.Number("mapWidth", p.mapWidth);
  j.Number("mapHeight", p.mapHeight);
  j.Text("TileSet", TileSet);
  j.Number("MovingTiles", MovingTiles.Count());
  j.Number("Sliders", Sliders.Count());
  j.Number("WeatherParticles", WeatherParticles.Count());
  j.Number("AnimFrameBase", AnimFrameBase);
  j.Number("FlipCount", double(FlipCount()));
  // The pace: steps against the game's clock (virtual when headless) since the map began.
  j.Number("WorldSteps", double(WorldSteps));
  j.Number("ClockMs", double(TimeMs()));
  j.Number("MapStartTime", MapStartTime);
  j.Number("StoryProgress", StoryProgress);
  j.Number("MaxHealth", MaxHealth);
  j.Number("Paused", Paused);
  j.Number("CutscenePlaying", CutscenePlaying);
  j.Number("darkness", p.darkness);
  j.Number("timeValue", p.timeValue);
  j.Number("mapDone", p.mapDone);
  j.Number("RespawnX", RespawnX);
  j.Number("RespawnY", RespawnY);
  j.Number("ActiveCols", ActiveCols);
  j.Number("ActiveRows", ActiveRows);
  j.Number("EnemyTypes", EnemyTypes.Count());
  j.Number("BossShown", BossShown);
  // --- Physics and player control ---
  j.Number("speedX", p.speedX);
  j.Number("speedY", p.speedY);
  j.Number("moveFlag", p.moveFlag);
  j.Number("climbing", p.climbing);
  j.Number("frameX", p.frameX);
  j.Number("animFrame", p.animFrame);
  j.Number("swordSwing", p.swordSwing);
  j.Number("throwPose", p.throwPose);
  j.Number("LastSide", LastSide);
  j.Number("GroundKind", GroundKind);
  j.Number("OnSlope", OnSlope);
  j.Number("BackgroundX", BackgroundX);
  j.Number("Spell", Spell);
  j.Number("Aura", Aura);
  j.Number("HitGuard", HitGuard);
  j.Number("TextShift", TextShift);
  const Item* weapon = Items.Current();
  j.Number("throws", weapon ? weapon->throws : 0);
  // --- end physics and player control ---
  // The catalogue in use ("" for German) and the shown texts it had no translation for.
  j.Text("language", TranslationLanguage());
  j.Number("untranslated", double(MissingTranslations()));
  j.Text("untranslatedText", LastMissingTranslation());
  return j.Finish();
}

void RegisterStateWriter() {
  SetStateWriter([](const std::string& path) {
    if (!WriteOutsideFile(path, StateJson()))
      ShowMessage("klingenwald", "cannot write the state file " + path);
  });
}

}  // namespace kw
