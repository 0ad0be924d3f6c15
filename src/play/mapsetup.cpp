// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The play side of a map load, run by the shell's LoaderThread(1) after the map file
// was read: the header values the player record keeps, the sliders, enemies and the
// boss made from the contact codes, the weather particles and the player's map size.
#include <algorithm>

#include "media/media.h"
#include "play/play.h"

namespace kw {

namespace {

// An enemy of type entry index (an index past the end takes the last entry).
void AddEnemy(int col, int row, int typeIndex, bool mayBeBoss) {
  if (!EnemyTypes.Select(typeIndex)) return;
  EnemyType* type = EnemyTypes.Current();
  Enemies.Last();
  Enemy& e = Enemies.Add();
  e.type = type;
  e.x = float(col * CellSize);
  e.y = float(row * CellSize);
  e.health = int16_t(type->hitPoints);
  e.speedX = e.speedY = float(type->speed);
  e.dir = EnemyDirCode(Dir::Left);
  e.frame = 0;
  if (mayBeBoss && type->isBoss == 1) {
    BossShown = 1;
    Boss = &e;
  }
}

// Sliders and enemies from the contact codes, row by row as the file stores them (the
// random walker types are drawn in that order).
void SpawnFromContactCodes() {
  Sliders.Clear();
  Enemies.Clear();
  // The boss referred to the list just emptied.
  Boss = nullptr;
  BossShown = 0;
  for (int row = 0; row <= Map.H; ++row) {
    for (int col = 0; col <= Map.W; ++col) {
      int code = Map.At(col, row).pickup;
      if (code == Pickup::Slider) {
        Sliders.Last();
        Slider& s = Sliders.Add();
        s.col = int16_t(col);
        s.row = int16_t(row);
      } else if (code == Pickup::RandomEnemy) {
        AddEnemy(col, row, RandomUpTo(1), false);
      } else if (code > Pickup::RandomEnemy) {
        AddEnemy(col, row, code - Pickup::RandomEnemy, true);
      }
    }
  }
}

}  // namespace

void SetUpMapPlay() {
  PlayerRecord& p = P();
  p.darkness = int16_t(LoadedHeader.darkness);
  p.timeValue = LoadedHeader.timeValue;
  SpawnFromContactCodes();
}

// The list only grows: particles are added until it holds more than WeatherAmount.
void GrowWeather() {
  WeatherParticles.Last();
  do {
    WeatherParticle& w = WeatherParticles.Add();
    w.x = RandomUpTo(640);
    w.y = RandomUpTo(480);
  } while (WeatherParticles.Count() <= std::min(WeatherAmount, MaxWeatherParticles));
}

void SetPlayerMapSize(int mapW, int mapH) {
  PlayerRecord& p = P();
  p.tileWidth = CellSize;
  p.tileHeight = CellSize;
  p.mapWidth = int16_t(mapW);
  p.mapHeight = int16_t(mapH);
  p.headerA = 80;
  p.headerB = 180;
  p.headerC = 0;
}

}  // namespace kw
