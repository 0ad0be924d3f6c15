// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// objects.pak: the 48 entries of the object catalogue (title, pause picture, the hero's
// sheets, enemies, shots, doors, portals, guardian, slider, spells, auras, spikes, bombs)
// and the loose pictures under paks/npf.
#include <algorithm>
#include <cmath>
#include <vector>

#include "kwgen.h"

namespace kwgen {

namespace {

constexpr uint32_t Ink = Argb(24, 18, 16);
constexpr float Pi = 3.14159265f;

// A small throwing axe turned by angle (radians) inside a size x size box.
void ThrowingAxe(Image& img, float cx, float cy, float size, float angle, uint32_t head, uint32_t haft) {
  float c = std::cos(angle), s = std::sin(angle);
  auto at = [&](float u, float v) { return std::make_pair(cx + (u * c - v * s) * size, cy + (u * s + v * c) * size); };
  auto a = at(-0.42f, 0), b = at(0.3f, 0);
  Line(img, a.first, a.second, b.first, b.second, size * 0.12f, haft);
  FillPolygon(img, {at(0.12f, -0.05f), at(0.42f, -0.32f), at(0.46f, 0.25f), at(0.12f, 0.1f)}, head);
}

// Shades a drawn throwing axe so it reads in flight: a dark cheek by the haft, a bright
// cutting edge, a lit stripe along the haft. Only colours change (the plain axe's picture
// is what a shot touches walls with).
void ShadeAxe(Image& img, float cx, float cy, float size, float angle, uint32_t head, uint32_t edge,
              uint32_t haft) {
  float c = std::cos(angle), s = std::sin(angle);
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) {
      uint32_t p = img.Get(x, y);
      if (!AlphaOf(p) || p == Ink) continue;
      float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
      float u = (dx * c + dy * s) / size, v = (-dx * s + dy * c) / size;
      if (u > 0.1f)
        img.Set(x, y, u > 0.36f ? edge : (u > 0.22f ? head : Shade(head, 0.62f)));
      else
        img.Set(x, y, v < 0 ? Shade(haft, 1.3f) : haft);
    }
}

// The golden axe: a broad crescent blade on a stout haft, as large as its frame allows
// (its picture is only drawn; the plain axe's is the one that touches).
void BroadAxe(Image& img, float cx, float cy, float size, float angle) {
  float c = std::cos(angle), s = std::sin(angle);
  auto at = [&](float u, float v) { return std::make_pair(cx + (u * c - v * s) * size, cy + (u * s + v * c) * size); };
  auto a = at(-0.44f, 0), b = at(0.2f, 0);
  Line(img, a.first, a.second, b.first, b.second, size * 0.16f, Argb(128, 84, 44));
  FillPolygon(img, {at(0.04f, -0.1f), at(0.34f, -0.44f), at(0.47f, -0.12f), at(0.48f, 0.14f), at(0.34f, 0.42f),
                    at(0.04f, 0.12f)}, Argb(232, 188, 60));
}

Image ShotSheet(int kind) {
  Image img(160, 48);
  if (kind < 2) {
    for (int f = 0; f < 4; ++f) {
      Image fr(20, 20);
      if (kind == 0) ThrowingAxe(fr, 10, 10, 18, f * Pi / 2, Argb(176, 180, 196), Argb(130, 90, 50));
      else BroadAxe(fr, 10, 10, 18, f * Pi / 2);
      HardenAlpha(fr, 110);
      Outline(fr, Ink);
      if (kind == 0) ShadeAxe(fr, 10, 10, 18, f * Pi / 2, Argb(164, 170, 188), Argb(240, 244, 252), Argb(126, 84, 44));
      else ShadeAxe(fr, 10, 10, 18, f * Pi / 2, Argb(226, 178, 54), Argb(255, 240, 150), Argb(128, 84, 44));
      Blit(img, fr, f * 20, 0);
    }
    return img;
  }
  // The fire axe: four 40 x 40 frames flying left, right, up and down, trailing flames.
  const float angles[4] = {Pi, 0, -Pi / 2, Pi / 2};
  for (int f = 0; f < 4; ++f) {
    Image fr(40, 40);
    float dx = std::cos(angles[f]), dy = std::sin(angles[f]);
    for (int i = 0; i < 6; ++i)
      Glow(fr, 20 - dx * (4 + i * 3), 20 - dy * (4 + i * 3), 9 - i, Argb(255, 140 - i * 15, 30, 200));
    ThrowingAxe(fr, 20 + dx * 3, 20 + dy * 3, 24, angles[f] + Pi / 4, Argb(220, 80, 40), Argb(110, 70, 40));
    Glow(fr, 20 + dx * 8, 20 + dy * 8, 6, Argb(255, 240, 160, 220));
    HardenAlpha(fr, 90);
    Blit(img, fr, f * 40, 0);
  }
  return img;
}

// A lens-shaped leaf from base (bx, by) pointing along angle a, len long.
void Leaf(Image& img, float bx, float by, float a, float len, uint32_t c) {
  float ca = std::cos(a), sa = std::sin(a);
  std::vector<std::pair<float, float>> pts;
  for (int i = 0; i <= 8; ++i) {  // one side out, the other back
    float t = i / 8.0f, wv = std::sin(t * Pi) * len * 0.32f;
    pts.push_back({bx + ca * t * len - sa * wv, by + sa * t * len + ca * wv});
  }
  for (int i = 7; i >= 1; --i) {
    float t = i / 8.0f, wv = -std::sin(t * Pi) * len * 0.32f;
    pts.push_back({bx + ca * t * len - sa * wv, by + sa * t * len + ca * wv});
  }
  FillPolygon(img, pts, c);
  Line(img, bx, by, bx + ca * len * 0.85f, by + sa * len * 0.85f, 0.6f, Mix(c, Argb(240, 255, 200, AlphaOf(c)), 0.5f));
}

// A four-pointed sparkle of radius r.
void Star(Image& img, float cx, float cy, float r, uint32_t c) {
  Line(img, cx - r, cy, cx + r, cy, 0.8f, c);
  Line(img, cx, cy - r, cx, cy + r, 0.8f, c);
  Glow(img, cx, cy, r * 0.8f, c);
}

float Band(float d, float centre, float width) {
  float e = 1.0f - std::fabs(d - centre) / width;
  return e > 0 ? e * e * (3 - 2 * e) : 0.0f;
}

// The aura pictures are drawn in pairs over the 42 x 58 figure, their alphas pulsing against
// each other, so the two of a pair differ in size and pattern and the magic seems to shimmer.
// Each pair is one kind of magic: 360/361 the golden protective shield, 362/363 the green
// glow of the turning spell, 364/365 frost sparkle, 366/367 the fire ring of the bomb spell,
// 368/369 the violet runes of the fetch spell. The middle stays clear so the figure shows.
Image Aura(int kind, bool second) {
  Image a(42, 58);
  const float cx = 20.5f, cy = 29.5f;
  const float rx = second ? 17.5f : 20.0f, ry = second ? 25.0f : 28.0f;
  auto field = [&](auto&& colourAt) {
    for (int y = 0; y < 58; ++y)
      for (int x = 0; x < 42; ++x) {
        float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
        uint32_t c = colourAt(std::sqrt(dx * dx + dy * dy), std::atan2(dy, dx), x, y);
        if (AlphaOf(c)) Plot(a, x, y, c);
      }
  };
  switch (kind) {
    case 0: {  // golden shield: a bright rim and a faint lattice of scales inside it
      field([&](float d, float, int x, int y) {
        float rim = Band(d, 0.9f, 0.12f);
        float lattice = 0;
        if (d < 0.9f) {
          float u = std::fabs(std::fmod(float(x + y + (second ? 4 : 0)) / 8.0f, 1.0f) - 0.5f);
          float v = std::fabs(std::fmod(float(x - y + 64 + (second ? 4 : 0)) / 8.0f, 1.0f) - 0.5f);
          lattice = (std::max(u, v) > 0.4f ? 0.6f : 0.0f) * d;
        }
        float fill = 0.18f * d * d * (d < 0.95f);
        float k = std::min(1.0f, rim + lattice + fill);
        uint32_t col = Mix(Argb(232, 160, 30), Argb(255, 236, 150), rim);
        return WithAlpha(col, int(200 * k));
      });
      for (int i = 0; i < 4; ++i) {  // glints on the rim, lit from the top left
        float ang = -2.4f + i * 0.5f + (second ? 0.25f : 0.0f);
        Star(a, cx + std::cos(ang) * rx * 0.9f, cy + std::sin(ang) * ry * 0.9f, 2.5f, Argb(255, 255, 230, 220));
      }
      break;
    }
    case 1: {  // nature: a soft green glow with leaves and motes drifting round it
      field([&](float d, float, int, int) {
        float k = Band(d, 0.88f, 0.22f) * 0.55f + 0.1f * d * (d < 1);
        return WithAlpha(Argb(110, 220, 90), int(200 * k));
      });
      for (int i = 0; i < 7; ++i) {
        float ang = i * 2 * Pi / 7 + (second ? Pi / 7 : 0);
        float px = cx + std::cos(ang) * rx * 0.88f, py = cy + std::sin(ang) * ry * 0.88f;
        Leaf(a, px, py, ang + Pi / 2 + (second ? -0.5f : 0.5f), 6.5f, Argb(70, 170, 60, 200));
      }
      Rng rng(3620 + second);
      for (int i = 0; i < 8; ++i) {
        float ang = rng.Unit() * 2 * Pi, r = 0.55f + 0.4f * rng.Unit();
        Glow(a, cx + std::cos(ang) * rx * r, cy + std::sin(ang) * ry * r, 2.2f, Argb(230, 255, 160, 230));
      }
      break;
    }
    case 2: {  // frost: a thin cold ring, a rime haze below, and sparkling flakes
      field([&](float d, float ang, int, int) {
        float k = Band(d, 0.92f, 0.09f) * 0.8f + Band(d, 0.8f, 0.2f) * 0.18f;
        k += 0.2f * std::max(0.0f, std::sin(ang)) * Band(d, 0.85f, 0.3f);  // rime pooling at the feet
        return WithAlpha(Mix(Argb(120, 180, 255), Argb(235, 248, 255), Band(d, 0.92f, 0.05f)), int(210 * k));
      });
      Rng rng(3640 + second);
      for (int i = 0; i < 9; ++i) {
        float ang = rng.Unit() * 2 * Pi, r = 0.7f + 0.3f * rng.Unit();
        Star(a, cx + std::cos(ang) * rx * r, cy + std::sin(ang) * ry * r, 1.5f + 2.0f * rng.Unit(),
             Argb(240, 250, 255, 230));
      }
      break;
    }
    case 3: {  // fire: flame tongues licking up from the ring, hottest at its foot
      float phase = second ? 1.7f : 0.0f;
      field([&](float d, float ang, int x, int y) {
        float lick = 0.08f + 0.16f * std::pow(0.5f + 0.5f * std::sin(ang * 8 + phase), 2.0f) +
                     0.06f * ValueNoise(x / 3.0f, y / 3.0f + phase * 3, 3660);
        float out = d - 0.76f;
        if (out < -0.12f || out > lick) return Clear;
        float t = out < 0 ? 1 + out / 0.12f : 1 - out / lick;  // 1 on the ring, 0 at the tips
        float foot = 0.55f + 0.45f * std::max(0.0f, std::sin(ang));
        uint32_t col = Mix(Argb(200, 40, 20), Argb(255, 230, 120), t * t);
        return WithAlpha(col, int(235 * std::sqrt(t) * foot));
      });
      break;
    }
    default: {  // arcane: a double ring with runes between its lines
      field([&](float d, float, int, int) {
        float k = Band(d, 0.97f, 0.05f) * 0.8f + Band(d, 0.77f, 0.05f) * 0.8f + Band(d, 0.87f, 0.14f) * 0.22f;
        return WithAlpha(Argb(190, 120, 255), int(210 * k));
      });
      Rng rng(3680 + second);
      for (int i = 0; i < 10; ++i) {
        float ang = i * 2 * Pi / 10 + (second ? Pi / 10 : 0);
        float px = cx + std::cos(ang) * rx * 0.87f, py = cy + std::sin(ang) * ry * 0.87f;
        uint32_t ink = Argb(240, 210, 255, 220);
        // A rune: an upright stave with one or two twigs.
        Line(a, px, py - 2.5f, px, py + 2.5f, 0.8f, ink);
        float s1 = rng.Unit() < 0.5f ? -1.0f : 1.0f;
        Line(a, px, py - 1.5f + rng.Range(0, 2), px + 2 * s1, py - 2.5f + rng.Range(0, 3), 0.8f, ink);
        if (rng.Unit() < 0.6f) Line(a, px, py + 1, px - 2 * s1, py + rng.Range(0, 2), 0.8f, ink);
      }
      break;
    }
  }
  return a;
}

// 357 the bomb spell: a fuse bomb with a burning fuse in a warm halo.
Image BombSpell() {
  Image o(30, 30);
  Glow(o, 15, 16, 15, Argb(255, 140, 40, 150));
  Image b(30, 30);
  FillEllipse(b, 14, 18, 8.5f, 8.5f, Argb(46, 44, 56));
  FillEllipse(b, 11.5f, 15.5f, 4, 3.5f, Argb(84, 84, 104));
  FillEllipse(b, 10.5f, 14.5f, 1.6f, 1.4f, Argb(190, 190, 210));
  FillRect(b, 17, 8, 5, 4, Argb(120, 100, 80));
  Line(b, 19.5f, 8, 22, 4.5f, 1.4f, Argb(200, 170, 110));
  HardenAlpha(b, 110);
  Outline(b, Argb(60, 24, 8));
  Blit(o, b, 0, 0);
  Glow(o, 23, 4, 5, Argb(255, 200, 60, 240));
  Star(o, 23, 4, 3.5f, Argb(255, 255, 220, 255));
  return o;
}

// 358 the fetch spell: a spectral hand reaching forwards, fingers curled to grasp, a wisp trailing.
Image FetchSpell() {
  Image o(30, 30);
  for (int i = 0; i < 6; ++i) Glow(o, 7 - i * 1.1f, 21 + i * 1.3f, 5 - i * 0.6f, Argb(170, 120, 255, 110));
  Glow(o, 15, 15, 15, Argb(160, 110, 255, 120));
  Image h(30, 30);
  uint32_t skin = Argb(214, 198, 255);
  FillEllipse(h, 10.5f, 16, 5, 6.5f, skin);  // palm, seen from the side of the thumb
  Line(h, 5, 22, 9, 19, 4.5f, skin);         // wrist
  for (int i = 0; i < 4; ++i) {               // fingers reach out, then curl down to grasp
    float y = 10.5f + i * 3.6f, reach = i == 0 || i == 3 ? 6.0f : 7.5f;
    Line(h, 13, y, 13 + reach, y - 1, 2.2f, skin);
    Line(h, 13 + reach, y - 1, 16 + reach, y + 2.2f, 1.9f, skin);
  }
  Line(h, 9, 21, 14, 24.5f, 2.4f, skin);      // thumb
  Line(h, 14, 24.5f, 18, 23.5f, 2.0f, skin);
  HardenAlpha(h, 110);
  for (int y = 0; y < 30; ++y)                // bright at the fingertips, misty towards the wrist
    for (int x = 0; x < 30; ++x)
      if (AlphaOf(h.Get(x, y))) h.Set(x, y, WithAlpha(Mix(skin, Argb(255, 255, 255), x / 30.0f), 110 + x * 5));
  Outline(h, Argb(96, 52, 180, 230));
  Blit(o, h, 0, 0);
  return o;
}

// 359 the turning spell: two arrows chasing round a ring.
Image TurnSpell() {
  Image o(30, 30);
  Glow(o, 15, 15, 15, Argb(120, 255, 140, 120));
  Image r(30, 30);
  for (int k = 0; k < 2; ++k) {
    float a0 = k * Pi + 0.3f;
    for (int i = 0; i < 12; ++i) {
      float t0 = a0 + i * 0.19f, t1 = t0 + 0.21f;
      Line(r, 15 + 9 * std::cos(t0), 15 + 9 * std::sin(t0), 15 + 9 * std::cos(t1), 15 + 9 * std::sin(t1),
           1.2f + i * 0.18f, Argb(170, 255, 170));
    }
    float te = a0 + 12 * 0.19f + 0.1f, ux = std::cos(te), uy = std::sin(te);  // the head
    FillPolygon(r, {{15 + 5 * ux, 15 + 5 * uy}, {15 + 13.5f * ux, 15 + 13.5f * uy},
                    {15 + 9 * std::cos(te + 0.6f), 15 + 9 * std::sin(te + 0.6f)}},
                Argb(230, 255, 220));
  }
  HardenAlpha(r, 110);
  Outline(r, Argb(30, 110, 50));
  Blit(o, r, 0, 0);
  Glow(o, 15, 15, 4, Argb(230, 255, 230, 200));
  return o;
}

// 344: a spiked iron wheel on a small sled, 2 columns (gliding right, left) x 2 rows
// (normal, hit); the hit row glows red-hot with sparks. Key colour Rgb(176, 32, 0).
Image SliderFrame(bool left, bool hit) {
  Image f(60, 60);
  const float cx = 30, cy = 30;
  float turn = left ? -0.22f : 0.22f;
  float back = left ? 1.0f : -1.0f;  // the side the wheel comes from
  for (int i = 0; i < 4; ++i)        // speed streaks behind the wheel
    Line(f, cx + back * (16 + i), 18 + i * 8, cx + back * (27 - i), 18 + i * 8, 1.2f, Argb(200, 200, 190));
  for (int i = 0; i < 12; ++i) {     // spikes, lit from the top left
    float a = i * Pi / 6 + turn;
    float ca = std::cos(a), sa = std::sin(a);
    float lit = 0.5f - 0.5f * (ca * 0.7f + sa * 0.7f);
    FillPolygon(f, {{cx + 15 * std::cos(a - 0.22f), cy + 15 * std::sin(a - 0.22f)},
                    {cx + 27 * ca, cy + 27 * sa},
                    {cx + 15 * std::cos(a + 0.22f), cy + 15 * std::sin(a + 0.22f)}},
                Shade(Argb(176, 180, 192), 0.7f + 0.6f * lit));
  }
  FillEllipse(f, cx, cy, 17, 17, Argb(70, 70, 80));        // iron rim
  FillEllipse(f, cx, cy, 14, 14, Argb(112, 78, 46));       // wooden wheel
  for (int i = 0; i < 6; ++i) {                            // spokes
    float a = i * Pi / 3 + turn * 2;
    Line(f, cx, cy, cx + 13 * std::cos(a), cy + 13 * std::sin(a), 2.4f, Argb(84, 56, 32));
  }
  Ring(f, cx, cy, 15.5f, 0.8f, Argb(150, 150, 162));       // the rim's bright edge
  FillEllipse(f, cx, cy, 4.5f, 4.5f, Argb(96, 96, 108));   // hub
  FillEllipse(f, cx - 1.2f, cy - 1.2f, 1.6f, 1.6f, Argb(210, 210, 220));
  for (int i = 0; i < 6; ++i) {                            // rivets on the rim
    float a = i * Pi / 3 + turn * 2 + Pi / 6;
    Plot(f, int(cx + 15.5f * std::cos(a)), int(cy + 15.5f * std::sin(a)), Argb(220, 220, 230));
  }
  if (hit) {
    for (auto& p : f.px)
      if (AlphaOf(p)) p = Mix(p, Argb(255, 110, 50), 0.5f);
    Rng rng(3440 + left);
    for (int i = 0; i < 8; ++i) {  // sparks flying off
      float a = rng.Unit() * 2 * Pi, r0 = 20 + 4 * rng.Unit();
      Line(f, cx + r0 * std::cos(a), cy + r0 * std::sin(a), cx + (r0 + 5) * std::cos(a), cy + (r0 + 5) * std::sin(a),
           1.2f, Argb(255, 240, 120));
    }
  }
  HardenAlpha(f, 110);
  NoiseTexture(f, 3, 0.12f, 3441);
  Outline(f, Ink);
  return f;
}

Image SliderSheet() {
  Image img(120, 120);
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 2; ++col) Blit(img, SliderFrame(col == 1, row == 1), col * 60, row * 60);
  AvoidPureBlack(img);
  KeyBackground(img, Argb(176, 32, 0));
  return img;
}

// 9999: 3 ticks x 4 rows; the fuse burns down row by row, the last row glows red-hot.
Image BombSheet() {
  Image img(69, 132);
  for (int row = 0; row < 4; ++row)
    for (int tick = 0; tick < 3; ++tick) {
      Image f(23, 33);
      bool glowing = row == 3;
      float heat = glowing ? 0.55f + 0.2f * tick : 0.0f;
      uint32_t body = Mix(Argb(46, 46, 58), Argb(210, 60, 30), heat);
      FillEllipse(f, 11.5f, 22.5f, 9.5f, 9.5f, body);
      FillEllipse(f, 8.5f, 19.5f, 5, 4.5f, Mix(Argb(76, 76, 94), Argb(250, 140, 60), heat));
      FillEllipse(f, 7.5f, 18, 1.8f, 1.5f, glowing ? Argb(255, 240, 170) : Argb(200, 200, 220));
      for (int y = 22; y < 33; ++y)  // the shaded lower right
        for (int x = 12; x < 23; ++x)
          if (AlphaOf(f.Get(x, y)) && std::hypot(x - 11.5f, y - 22.5f) > 6.5f)
            f.Set(x, y, Shade(f.Get(x, y), 0.72f));
      FillRect(f, 9, 11, 6, 3, Argb(120, 104, 84));        // the cap
      FillRect(f, 9, 11, 6, 1, Argb(170, 150, 120));
      // The fuse: a curl that gets shorter each row.
      float len = 1.0f - row / 3.5f;
      float tipX = 12, tipY = 11;
      for (int s = 0; s < 8 * len; ++s) {
        float t = s / 8.0f;
        float nx = 12 + 2.5f * std::sin(t * 4), ny = 11 - t * 9;
        Line(f, tipX, tipY, nx, ny, 1.4f, Argb(196, 164, 110));
        tipX = nx;
        tipY = ny;
      }
      HardenAlpha(f, 100);
      Outline(f, Ink);
      // The spark at the fuse's tip, flickering with the tick; on the last row the heat glows.
      if (glowing) Glow(f, 11.5f, 22.5f, 11.5f, Argb(255, 120, 40, 90 + 40 * tick));
      float s = tick == 1 ? 3.5f : 2.5f;
      Glow(f, tipX, tipY, s + 1.5f, Argb(255, 170, 40, 230));
      Line(f, tipX - s, tipY, tipX + s, tipY, 1, Argb(255, 250, 200));
      Line(f, tipX, tipY - s, tipX, tipY + s, 1, Argb(255, 250, 200));
      if (tick != 1) {
        Line(f, tipX - s * 0.6f, tipY - s * 0.6f, tipX + s * 0.6f, tipY + s * 0.6f, 0.8f, Argb(255, 220, 120));
        Line(f, tipX - s * 0.6f, tipY + s * 0.6f, tipX + s * 0.6f, tipY - s * 0.6f, 0.8f, Argb(255, 220, 120));
      }
      HardenAlpha(f, 100);
      Blit(img, f, tick * 23, row * 33);
    }
  AvoidPureBlack(img);
  return img;
}

// Mortared stone blocks filling the opaque pixels of img inside the rectangle.
void StoneBlocks(Image& img, int x0, int y0, int w, int h, uint32_t stone, uint32_t seed) {
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) {
      if (!AlphaOf(img.Get(x, y))) continue;
      int course = (y - y0) / 7, off = course % 2 ? 5 : 0;
      bool mortar = (y - y0) % 7 == 6 || (x - x0 + off) % 10 == 9;
      float f = 0.85f + 0.3f * Hash01((x - x0 + off) / 10, course, seed) + Bayer(x, y) * 0.06f;
      img.Set(x, y, mortar ? Shade(stone, 0.6f) : Shade(stone, f));
    }
}

// 340: the exit, an arched oak door in a stone arch with warm light at its window.
// Key colour Rgb(0, 250, 0).
Image ExitDoor() {
  Image d(30, 50);
  FillRect(d, 0, 12, 30, 38, Argb(1, 1, 1));
  FillEllipse(d, 15, 14, 15, 13, Argb(1, 1, 1));
  StoneBlocks(d, 0, 0, 30, 50, Argb(128, 120, 110), 3400);
  Image door(30, 50);
  FillRect(door, 5, 15, 20, 35, Argb(124, 80, 42));
  FillEllipse(door, 15, 15.5f, 10, 9, Argb(124, 80, 42));
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 30; ++x)
      if (AlphaOf(door.Get(x, y))) {
        bool gap = (x - 5) % 5 == 4;
        float grain = 0.85f + 0.25f * ValueNoise(x * 2.0f, y / 4.0f, 3401);
        door.Set(x, y, gap ? Argb(70, 44, 22) : Shade(Argb(124, 80, 42), grain));
      }
  for (int by : {20, 40}) {  // iron bands with rivets
    FillRect(door, 5, by, 20, 2, Argb(62, 62, 70));
    for (int x = 7; x < 25; x += 5) Plot(door, x, by, Argb(150, 150, 160));
  }
  FillRect(door, 12, 24, 6, 6, Argb(255, 200, 90));  // barred window with light behind
  Glow(door, 15, 27, 5, Argb(255, 240, 170, 200));
  Line(door, 15, 24, 15, 30, 1, Argb(50, 40, 36));
  Line(door, 12, 27, 18, 27, 1, Argb(50, 40, 36));
  Ring(door, 21, 34, 1.6f, 0.7f, Argb(200, 170, 80));  // ring handle
  Blit(d, door, 0, 0);
  Line(d, 15, 2, 15, 5, 1, Argb(230, 200, 110));  // keystone mark
  HardenAlpha(d, 110);
  BevelEdges(d, 1.2f, 0.75f);
  AvoidPureBlack(d);
  KeyBackground(d, Argb(0, 250, 0));
  return d;
}

// 341: a swirling portal in an oval; opaque, since the game tests it pixel by pixel.
Image Portal() {
  Image p(30, 50);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 30; ++x) {
      float dx = (x + 0.5f - 15) / 13.5f, dy = (y + 0.5f - 25) / 23.5f;
      float d = std::sqrt(dx * dx + dy * dy);
      if (d > 1) continue;
      float ang = std::atan2(dy, dx);
      float swirl = 0.5f + 0.5f * std::sin(3 * ang + 9 * d);
      float core = std::max(0.0f, 1 - d * 1.8f);
      uint32_t c = Mix(Argb(40, 20, 90), Argb(150, 90, 240), swirl * d);
      c = Mix(c, Argb(235, 225, 255), core * core);
      if (d > 0.88f) c = Mix(Argb(200, 160, 255), Argb(120, 70, 200), (d - 0.88f) / 0.12f);
      p.Set(x, y, Shade(c, 0.95f + Bayer(x, y) * 0.1f));
    }
  Outline(p, Argb(30, 16, 56));
  return p;
}

// 441: the flash when the player steps through a portal: a soft starburst.
Image PortalFlash() {
  Image p(30, 50);
  Glow(p, 15, 25, 22, Argb(200, 180, 255, 200));
  for (int i = 0; i < 8; ++i) {
    float a = i * Pi / 4 + 0.2f, r = i % 2 ? 11.0f : 22.0f;
    Line(p, 15, 25, 15 + std::cos(a) * r * 0.65f, 25 + std::sin(a) * r, 1.4f, Argb(240, 230, 255, 150));
  }
  Glow(p, 15, 25, 10, Argb(255, 255, 255, 255));
  return p;
}

// 440: shown instead of the locked door (tile 19) once the key is held: the same stone
// frame in the cell (rows 10..39), the oak door swung inwards, a dark passage behind.
Image OpenedDoor() {
  Image d(30, 50);
  FillRect(d, 0, 10, 30, 30, Argb(1, 1, 1));
  StoneBlocks(d, 0, 10, 30, 30, Argb(84, 74, 68), 4400);
  for (int y = 13; y < 40; ++y)  // the passage: darkest in the depth, a little light on the floor
    for (int x = 3; x < 27; ++x) {
      float depth = 1 - std::fabs(x - 15.5f) / 13.0f;
      float f = 0.35f - 0.25f * depth + (y > 35 ? 0.12f : 0.0f);
      d.Set(x, y, Shade(Argb(60, 50, 44), f + Bayer(x, y) * 0.05f));
    }
  FillRect(d, 8, 16, 14, 2, Argb(20, 16, 16));  // the lintel's shadow inside
  // The door, seen edge-on as it swings in: a narrow slanted leaf on the left.
  FillPolygon(d, {{3, 13}, {9, 16}, {9, 38}, {3, 40}}, Argb(124, 80, 42));
  for (int x = 4; x < 9; x += 2) Line(d, x, 14 + (x - 3) * 0.5f, x, 39 - (x - 3) * 0.3f, 0.6f, Argb(96, 60, 30));
  Line(d, 3, 20, 9, 21.5f, 1, Argb(62, 62, 70));
  Line(d, 3, 33, 9, 32.5f, 1, Argb(62, 62, 70));
  FillRect(d, 0, 10, 30, 3, Argb(110, 100, 92));  // lintel and jambs catch the light
  FillRect(d, 0, 10, 3, 30, Argb(100, 90, 84));
  FillRect(d, 27, 10, 3, 30, Argb(76, 68, 62));
  BevelEdges(d, 1.2f, 0.75f);
  AvoidPureBlack(d);
  return d;
}

// Spikes that read as danger: dark iron from the beam up, the lit face brightening towards
// a sharp tip, the last third stained red; the beam is black iron with bright rivets. Only
// colours change: the spikes hurt pixel by pixel, so their outline stays as drawn.
void Bloody(Image& s, bool vertical) {
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      uint32_t p = s.Get(x, y);
      if (!AlphaOf(p) || p == Ink) continue;
      float u = (vertical ? x : y) + 0.5f, v = vertical ? 29.5f - y : x + 0.5f;  // along, away
      if (v < 5.5f) {  // the beam
        bool rivet = int(u) % 9 == 2 && std::fabs(v - 2.5f) < 1;
        s.Set(x, y, rivet ? Argb(190, 190, 200) : Shade(Argb(58, 54, 60), 0.8f + 0.4f * Hash01(x, y, 3731)));
        continue;
      }
      float nearest = std::round((u - 4) / 7.3f) * 7.3f + 4;
      bool lit = u < nearest;
      float t = std::clamp((v - 4) / 24.0f, 0.0f, 1.0f);  // 0 at the beam, 1 at the tip
      uint32_t steel = lit ? Mix(Argb(86, 90, 104), Argb(176, 182, 198), t) : Mix(Argb(40, 42, 52), Argb(92, 96, 112), t);
      if (lit && nearest - u < 1.2f && t > 0.2f) steel = Argb(220, 226, 238);  // the sharp edge catches light
      if (t > 0.64f + 0.08f * Bayer(x, y)) steel = lit ? Argb(196, 44, 40) : Argb(118, 22, 26);
      s.Set(x, y, steel);
    }
}

// 373 (pointing sideways, to the right) and 374 (pointing up): steel spikes on an iron
// beam, the lit face to the top left.
Image Spikes(bool vertical) {
  Image s(30, 30);
  auto put = [&](float u, float v) {  // u along the beam, v away from it
    return vertical ? std::make_pair(u, 30 - v) : std::make_pair(v, u);
  };
  for (int i = 0; i < 4; ++i) {
    float c = 4 + i * 7.3f;
    FillPolygon(s, {put(c - 3.5f, 4.0f), put(c, 28.0f), put(c, 4.0f)}, Argb(214, 218, 228));
    FillPolygon(s, {put(c, 4.0f), put(c, 28.0f), put(c + 3.5f, 4.0f)}, Argb(130, 134, 150));
    auto g0 = put(c - 1, 8.0f), g1 = put(c - 0.3f, 22.0f);
    Line(s, g0.first, g0.second, g1.first, g1.second, 0.6f, Argb(250, 250, 255));
  }
  for (int u = 0; u < 30; ++u)
    for (int v = 0; v < 5; ++v) {
      auto p = put(float(u), float(v));
      float f = 0.85f + 0.25f * ValueNoise(u / 4.0f, v * 2.0f, 3730);
      s.Set(int(p.first), int(p.second) - (vertical ? 1 : 0), Shade(Argb(110, 74, 42), f));
    }
  for (int u = 2; u < 30; u += 9) {  // rivets of the iron band
    auto p = put(float(u), 2.0f);
    Plot(s, int(p.first), int(p.second) - (vertical ? 1 : 0), Argb(200, 200, 210));
  }
  HardenAlpha(s, 110);
  BevelEdges(s, 1.2f, 0.75f);
  Outline(s, Ink);
  Bloody(s, vertical);
  return s;
}

Image Sparkle() {
  Image s(30, 30);
  Glow(s, 15, 15, 14, Argb(255, 240, 160, 180));
  Line(s, 15, 2, 15, 28, 1.5f, Argb(255, 255, 220, 220));
  Line(s, 2, 15, 28, 15, 1.5f, Argb(255, 255, 220, 220));
  return s;
}

Image Chest() {
  Image c(40, 30);
  FillRect(c, 2, 10, 36, 19, Argb(130, 84, 40));
  FillEllipse(c, 20, 10, 18, 8, Argb(150, 96, 46));
  FillRect(c, 2, 10, 36, 3, Argb(200, 170, 60));
  FillRect(c, 17, 12, 6, 7, Argb(220, 190, 70));
  HardenAlpha(c, 110);
  BevelEdges(c, 1.2f, 0.75f);
  Outline(c, Ink);
  return c;
}

Image Banner() {
  Image b(30, 60);
  FillPolygon(b, {{2, 2}, {28, 2}, {28, 58}, {15, 48}, {2, 58}}, Argb(150, 30, 34));
  FillRect(b, 0, 0, 30, 3, Argb(120, 90, 50));
  FillEllipse(b, 15, 22, 6, 6, Argb(220, 190, 70));
  HardenAlpha(b, 110);
  BevelEdges(b, 1.2f, 0.75f);
  Outline(b, Ink);
  return b;
}

Image TitlePicture() {
  Image t = DrawForestScene(640, 480, 322, 0.8f);
  FillRect(t, 0, 150, 640, 130, Argb(10, 14, 8, 110));
  DrawTextCentred(t, "Klingenwald", 320, 160, 84, Argb(236, 214, 150), Argb(20, 14, 8), true);
  DrawTextCentred(t, PictureText("Die Rückkehr des Sonnensteins"), 320, 252, 22, Argb(220, 210, 180),
                  Argb(20, 14, 8));
  return t;
}

Image PausePicture() {
  // Drawn opaque over the whole screen while the game is paused in full screen.
  Image p = DrawForestScene(640, 480, 372, 0.3f);
  FillRect(p, 0, 0, 640, 480, Argb(8, 6, 12, 120));
  DrawTextCentred(p, PictureText("Weiter mit P"), 320, 300, 20, Argb(220, 210, 180), Argb(20, 14, 8));
  FillRect(p, 0, 200, 640, 80, Argb(12, 10, 8, 170));
  FillRect(p, 0, 200, 640, 2, Argb(200, 170, 90, 220));
  FillRect(p, 0, 278, 640, 2, Argb(200, 170, 90, 220));
  DrawTextCentred(p, PictureText("Pause"), 320, 206, 52, Argb(236, 214, 150), Argb(20, 14, 8), true);
  return p;
}

Image OpenDoorCollision() {
  // Once the key is taken this replaces tile 19's collision picture: open, apart from a
  // corner of the frame, so the figure walks through.
  Image c(30, 30);
  FillRect(c, 0, 0, 2, 2, Argb(70, 60, 56));
  return c;
}

void Put(RowPack& pack, int sprite, const Image& img) { kwgen::Put(pack, sprite, EncodePng(img)); }

}  // namespace

TextPictures ObjectsTextPictures() {
  return {{kw::Spr::TitlePicture, EncodePng(TitlePicture())},
          {kw::Spr::PausePicture, EncodePng(PausePicture())}};
}

PackFiles MakeObjectsPack(std::vector<LooseFile>& loose) {
  namespace Spr = kw::Spr;
  RowPack pack = StartPack(kw::ObjectsPak);
  Image sheet = DrawFigureSheet(false, false);
  for (auto& [sprite, png] : ObjectsTextPictures()) kwgen::Put(pack, sprite, std::move(png));
  Put(pack, Spr::FigureSheet, sheet);
  PutSpare(pack, EncodePng(Sparkle()));
  Put(pack, Spr::SmallFormSheet, DrawSmallForm());
  PutSpare(pack, EncodePng(Chest()));
  Put(pack, Spr::AltFigureSheet, DrawFigureSheet(true, false));
  Put(pack, Spr::Sparkle, Sparkle());
  Put(pack, Spr::OpenedDoor, OpenedDoor());
  Put(pack, Spr::TouchMask, DrawTouchMask(sheet));
  const int shots[3] = {Spr::ShotDefault, Spr::ShotGoldAxe, Spr::ShotFireAxe};
  for (int k = 0; k < 3; ++k) Put(pack, shots[k], ShotSheet(k));
  // Enemy type pictures: the sheet of offset o is EnemySheets + o; 333 and 334 sit between.
  const int enemyOffsets[7] = {0, 1, 2, 3, 6, 7, 8};
  for (int t = 0; t < 4; ++t) Put(pack, Spr::EnemySheets + enemyOffsets[t], DrawEnemySheet(t));
  Put(pack, Spr::SwordOverlay, DrawSwordOverlay());
  Put(pack, Spr::Background, DrawBackground(1));  // replaced by Backgrounds.pak per map
  for (int t = 4; t < 7; ++t) Put(pack, Spr::EnemySheets + enemyOffsets[t], DrawEnemySheet(t));
  Put(pack, Spr::OpenDoorCollision, OpenDoorCollision());
  Put(pack, Spr::ExitDoor, ExitDoor());
  Put(pack, Spr::Portal, Portal());
  Put(pack, Spr::PortalFlash, PortalFlash());
  Put(pack, Spr::Chest, Chest());
  Put(pack, Spr::Banner, Banner());
  Put(pack, Spr::GuardianSpirit, DrawGuardian(1.0f));
  Put(pack, Spr::Guardian, DrawGuardian(0.0f));
  Put(pack, Spr::SliderSheet, SliderSheet());
  Put(pack, Spr::FetchSpell, FetchSpell());
  Put(pack, Spr::BombSpell, BombSpell());
  Put(pack, Spr::TurnSpell, TurnSpell());
  // Aura kinds in the order of Aura(): shield, turn, frost, fire, fetch; two pictures each.
  const int auras[5] = {Spr::ShieldAura, Spr::TurnAura, Spr::FrostAura, Spr::FireAura, Spr::FetchAura};
  for (int i = 0; i < 10; ++i) Put(pack, auras[i / 2] + i % 2, Aura(i / 2, i % 2 == 1));
  Put(pack, Spr::SpikesSideways, Spikes(false));
  Put(pack, Spr::SpikesUpward, Spikes(true));
  Put(pack, Spr::ClimbSheet, DrawClimbSheet());
  Put(pack, Spr::BombSheet, BombSheet());

  loose.push_back({"player+k.png", EncodePng(DrawFigureSheet(false, true))});
  for (int k = 0; k < 3; ++k)
    loose.push_back({"gegner_g" + std::to_string(k) + ".png", EncodePng(DrawGuardian(0.25f + 0.25f * k))});
  return FinishPack(pack);
}

}  // namespace kwgen
