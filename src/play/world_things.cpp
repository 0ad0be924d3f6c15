// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The things of the world pass that are not map cells: the exit door, portals and
// their flash, enemies, bombs, sliders, shots and the weather. DrawWorld calls them in
// its order; their movement belongs to the world step.
#include <cmath>
#include <cstdint>

#include "media/media.h"
#include "play/play.h"

namespace kw {

namespace {

constexpr int BombW = 23, BombH = 33;
constexpr int SliderPauseMs = 2000;
constexpr int WeatherAlpha = 150;
constexpr int WeatherFall = 2;         // pixels per frame

// A product or sum of untrusted int32 values as a drawing coordinate.
int32_t Clamp32(int64_t v) {
  return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : int32_t(v);
}

// The flash of an active portal: it hurts the figure it touches unless the protective
// aura already runs, then starts that aura.
void PortalFlash(Portal& portal, int x, int y) {
  PlayerRecord& p = P();
  DrawSprite3D(Spr::PortalFlash, x, y, 255);
  if (SpritesTouch(Spr::Figure, PlayerScreenX, FigureScreenY(p), Spr::PortalFlash, x, y) &&
      Aura != Spr::ShieldSpell) {
    p.health -= 20;
    portal.phase = 1.0f;
    Aura = Spr::ShieldSpell;
    GuardAfterHit();
  }
  if (portal.phase >= portal.period) portal.phase = 1.0f;
}

// A weather picture for maps and scripts that ask for snow (kind "1") or rain (kind "2")
// when the packs bring none: a small flake or a thin streak.
void EnsureWeatherPicture(int sprite) {
  if (SpriteExists(sprite) || (sprite != Spr::Weather1 && sprite != Spr::Weather2)) return;
  bool rain = sprite == Spr::Weather2;
  int w = rain ? 1 : 3, h = rain ? 9 : 3;
  if (!CreateSprite(sprite, w, h)) return;
  uint32_t* px = SpritePixels(sprite);
  for (int i = 0; i < w * h; ++i) px[i] = rain ? 0xFFB4C8F0u : 0xFFF4F8FFu;
  MakeSprite3D(sprite, sprite);
}

}  // namespace

// Step 2: a slider hit more than two seconds ago glides again.
void ExpireSliderHits() {
  uint32_t now = TimeMs();
  for (Slider& s : Sliders)
    if (s.hit == 1 && MsSince(now, s.hitTime) > SliderPauseMs) s.hit = 0;
}

// Step 10: the exit door, standing on its cell.
void DrawExitMarker() {
  const PlayerRecord& p = P();
  DrawSpriteKeyed(Spr::ExitDoor, WorldCellX(ExitCol, p.posX), WorldCellY(ExitRow, p.pixelY, ExitMarkerDY));
}

// Step 11: portals in list order; an active one flashes once per period.
void DrawPortals() {
  const PlayerRecord& p = P();
  for (Portal& portal : Portals) {
    int x = WorldCellX(portal.col, p.posX), y = WorldCellY(portal.row, p.pixelY);
    if (portal.active == 1) {
      if (portal.row < 1 || portal.col < 1) continue;
      DrawSpriteKeyed(Spr::Portal, x, y);
      if (portal.phase >= float(int64_t(portal.period) - 20)) PortalFlash(portal, x, y);
      if (portal.phase >= 1.0f) portal.phase += 1.0f;
    } else if (portal.active == 0) {
      DrawSpriteKeyed(Spr::ExitDoor, x, y);
    }
  }
}

// Step 13: each enemy in the frame of its sheet for its direction and phase.
void DrawEnemies() {
  const PlayerRecord& p = P();
  for (const Enemy& e : Enemies) {
    const EnemyType* t = e.type;
    if (!t) continue;
    int64_t sheet = Spr::EnemySheets + int64_t(t->spriteOffset);
    if (sheet < 0 || sheet >= MaxSprites) continue;
    int64_t column = int64_t(t->baseColumn) + 2 * int64_t(e.dir);
    int64_t row = std::isfinite(e.frame) ? int64_t(std::trunc(std::fmax(-1e6, std::fmin(e.frame, 1e6)))) : 0;
    SetSpriteClip(int(sheet), Clamp32(column * t->frameWidth), Clamp32(row * t->frameHeight),
                  t->frameWidth, t->frameHeight);
    DrawSpriteKeyed(int(sheet), Nearest(double(p.posX) + e.x), Nearest(double(e.y) + p.pixelY));
  }
}

// Step 14: bombs, the column by the tick and the row by the burnt fuse.
void DrawBombs() {
  const PlayerRecord& p = P();
  for (const Bomb& b : Bombs) {
    double fuseRow = std::isfinite(b.fuse) ? std::floor(b.fuse / 8.0) : 0.0;
    SetSpriteClip(Spr::BombSheet, Clamp32(int64_t(b.tick) * BombW), Nearest(fuseRow * BombH), BombW, BombH);
    DrawSpriteKeyed(Spr::BombSheet, Nearest(double(b.x) + p.posX), WorldCellY(0, p.pixelY, b.y));
  }
}

// Step 15: sliders, the column by the side they glide to and the row by a recent hit.
void DrawSliders() {
  const PlayerRecord& p = P();
  for (const Slider& s : Sliders) {
    SetSpriteClip(Spr::SliderSheet, s.side * SliderFrame, Clamp32(int64_t(s.hit) * SliderFrame), SliderFrame,
                  SliderFrame);
    DrawSpriteKeyed(Spr::SliderSheet, WorldCellX(s.col, p.posX, s.offX), WorldCellY(s.row, p.pixelY));
  }
}

// Step 16: shots; the fire axe shows a picture per direction, the others spin.
void DrawShots() {
  const PlayerRecord& p = P();
  const Item* item = Items.Current();
  bool fireAxe = item && item->weaponName == "Feueraxt";
  for (Shot& s : Shots) {
    if (fireAxe) {
      // The sheet's frames go left, right, up, down, as Dir does.
      int frame = int(DirOfShotDir(s.dir)) - int(Dir::Left);
      if (frame >= 0) SetSpriteClip(s.sprite, frame * 40, 0, 40, 40);
    } else {
      s.spin = int16_t(s.spin + 1);
      if (s.spin > 3) s.spin = 0;
      SetSpriteClip(s.sprite, s.spin * 20, 0, 20, 20);
    }
    DrawSpriteKeyed(s.sprite, Nearest(double(p.posX) + s.x), Nearest(double(s.y) + p.pixelY));
  }
}

// The weather, while a map or script asks for it: the particles fall 2 pixels a frame,
// leave at the bottom and come back one a frame at the top.
void DrawWeather() {
  if ((WeatherSprite != 431 && WeatherSprite != 432) || WeatherAmount <= 0) return;
  EnsureWeatherPicture(WeatherSprite);
  WeatherParticles.Reset();
  while (WeatherParticles.Next()) {
    WeatherParticle& w = *WeatherParticles.Current();
    w.y = Clamp32(int64_t(w.y) + WeatherFall);
    if (w.y > ScreenHeight) {
      WeatherParticles.Delete();
      continue;
    }
    DrawSprite3D(WeatherSprite, w.x, w.y, WeatherAlpha);
  }
  int target = WeatherAmount < MaxWeatherParticles ? WeatherAmount : MaxWeatherParticles;
  if (WeatherParticles.Count() < target) {
    WeatherParticles.Last();
    WeatherParticle& w = WeatherParticles.Add();
    w.x = RandomUpTo(ScreenWidth);
    w.y = 0;
  }
}

}  // namespace kw
