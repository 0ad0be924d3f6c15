// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The cutscene strips with their music (cutscenes.pak).
#include <algorithm>
#include <cmath>

#include "audio.h"
#include "kwgen.h"

namespace kwgen {

namespace {

constexpr float Pi = 3.14159265f;

// A ridge line of hills across the picture, filled below with colour (dithered texture).
void Hills(Image& img, float base, float height, float scale, uint32_t colour, uint32_t seed) {
  for (int x = 0; x < img.w; ++x) {
    // Periodic in x over 640 so that two copies side by side join.
    float t = float(x) / img.w * 2 * Pi;
    float top = base - height * Fbm(std::cos(t) * scale + 10, std::sin(t) * scale + 10, seed, 4);
    for (int y = std::max(0, int(top)); y < img.h; ++y) {
      float shade = 0.9f + 0.2f * Fbm(x / 20.0f, y / 20.0f, seed + 9, 2) + Bayer(x, y) * 0.06f;
      img.Set(x, y, Shade(colour, shade));
    }
  }
}

void Trees(Image& img, float base, int count, float size, uint32_t colour, uint32_t seed) {
  Rng r(seed);
  for (int i = 0; i < count; ++i) {
    float x = r.Unit() * img.w, h = size * (0.7f + r.Unit() * 0.6f), y = base + r.Unit() * size * 0.3f;
    FillRect(img, int(x - size * 0.04f), int(y - h * 0.3f), std::max(2, int(size * 0.08f)), int(h * 0.35f), Shade(colour, 0.6f));
    for (int tier = 0; tier < 3; ++tier) {
      float ty = y - h * 0.25f - tier * h * 0.22f, w = size * 0.35f * (1 - tier * 0.25f);
      FillPolygon(img, {{x - w, ty}, {x, ty - h * 0.35f}, {x + w, ty}}, Shade(colour, 0.9f + tier * 0.08f));
    }
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Cutscenes

namespace {

// The game cycles a cutscene's strip one frame per pass of its main loop, far faster than a
// storyboard could be read, and writes the text lines at the top left over it. So each strip is
// one still scene drawn once (a Scene: what lies behind, what stands in front) with a few small
// living details drawn per frame between the two: flames and lit windows flicker, stars
// twinkle, glows pulse, mist and shadow turn their folds on a small circle. Nothing travels, so
// the wrap from the last frame to the first is no jump. The top band stays dark and calm under
// the text.

int Clamp(int v) { return std::clamp(v, 0, 255); }

// Phase of frame k of n on the unit circle.
float Phase(int k, int n) { return 2 * Pi * float(k) / float(n); }

// A random value for (thing, frame) that the same strip always gets again.
float Jitter(uint32_t seed, int thing, int k) { return Hash01(thing, k, seed); }

// The sky as a few gradient bands: stops of (y, colour) from the top down.
void SkyBands(Image& img, const std::vector<std::pair<int, uint32_t>>& stops) {
  for (size_t i = 0; i + 1 < stops.size(); ++i)
    VerticalGradient(img, 0, stops[i].first, img.w, stops[i + 1].first - stops[i].first, stops[i].second,
                     stops[i + 1].second);
}

// The box at the top left where the game writes the cutscene's lines; nothing bright goes there.
bool InTextBox(float x, float y) { return x < 380 && y < 104; }

// Stars that twinkle: fixed places, brightness varied per frame.
void TwinklingStars(Image& img, int count, int top, int bottom, float strength, uint32_t seed, int k) {
  Rng r(seed);
  for (int i = 0; i < count; ++i) {
    float x = r.Unit() * img.w, y = top + r.Unit() * float(bottom - top), base = 0.4f + 0.6f * r.Unit();
    if (InTextBox(x, y)) continue;
    float b = strength * base * (0.55f + 0.45f * Jitter(seed, i, k));
    Plot(img, int(x), int(y), Argb(255, 245, 220, Clamp(int(255 * b))));
    if (base > 0.85f) {  // the brightest ones get a tiny cross
      uint32_t halo = Argb(255, 245, 220, Clamp(int(90 * b)));
      Plot(img, int(x) - 1, int(y), halo);
      Plot(img, int(x) + 1, int(y), halo);
      Plot(img, int(x), int(y) - 1, halo);
      Plot(img, int(x), int(y) + 1, halo);
    }
  }
}

// A flame of height size standing at (x, y), flickering: taller or shorter, leaning a little.
void Flame(Image& img, float x, float y, float size, uint32_t seed, int k) {
  float tall = size * (0.85f + 0.3f * Jitter(seed, 1, k)), lean = size * 0.18f * (Jitter(seed, 2, k) - 0.5f);
  float wide = size * 0.32f;
  Glow(img, x, y - size * 0.4f, size * 3.2f, Argb(255, 170, 70, 40 + int(40 * Jitter(seed, 3, k))));
  FillPolygon(img,
              {{x - wide, y}, {x - wide * 0.7f, y - tall * 0.45f}, {x + lean, y - tall},
               {x + wide * 0.7f, y - tall * 0.45f}, {x + wide, y}},
              Argb(230, 90, 30, 230));
  FillPolygon(img, {{x - wide * 0.55f, y}, {x + lean * 0.6f, y - tall * 0.7f}, {x + wide * 0.55f, y}}, Argb(255, 190, 60, 240));
  FillEllipse(img, x, y - size * 0.12f, wide * 0.4f, size * 0.18f, Argb(255, 245, 180));
}

// Soft bands of mist between y0 and y1; the noise field turns on a small circle with the
// frame so the mist seems to breathe and drift without ever jumping.
void Mist(Image& img, int y0, int y1, float strength, uint32_t colour, uint32_t seed, int k, int n) {
  float ox = 0.1f * std::cos(Phase(k, n)), oy = 0.1f * std::sin(Phase(k, n));
  for (int y = y0; y < y1; ++y) {
    float band = std::sin(Pi * float(y - y0) / float(y1 - y0));
    for (int x = 0; x < img.w; ++x) {
      float t = float(x) / img.w * 2 * Pi;  // periodic across the picture like the hills
      float v = Fbm(std::cos(t) * 3 + ox + 20, std::sin(t) * 3 + float(y) / 18.0f + oy, seed, 3);
      float a = strength * band * std::max(0.0f, v - 0.35f) * 2.2f;
      if (a > 0.004f) Plot(img, x, y, WithAlpha(colour, Clamp(int(255 * a))));
    }
  }
}

// Twinkling motes of light (sparkles round the spirit, glints round the sun-stone).
void Motes(Image& img, float cx, float cy, float rx, float ry, int count, uint32_t colour, uint32_t seed, int k) {
  Rng r(seed);
  for (int i = 0; i < count; ++i) {
    float a = r.Unit() * 2 * Pi, d = std::sqrt(r.Unit());
    float x = cx + std::cos(a) * rx * d, y = cy + std::sin(a) * ry * d;
    float b = Jitter(seed, i, k);
    if (b < 0.25f) continue;  // this one is out for the frame
    Glow(img, x, y, 3.5f, WithAlpha(colour, int(200 * b)));
    Plot(img, int(x), int(y), WithAlpha(colour, int(255 * b)));
  }
}

// The hand of DrawHeroLarge(height) drawn at (x, y): where he holds things.
void HeroHand(int x, int y, int height, float& hx, float& hy) {
  hx = x + 28.5f * height / 58.0f;
  hy = y + 33.5f * height / 58.0f;
}

// A winding path of cut-off width from (x0, y0) at the bottom to (x1, y1) far away.
void WindingPath(Image& img, float x0, float y0, float w0, float x1, float y1, float w1, uint32_t colour) {
  std::vector<std::pair<float, float>> left, right;
  for (int i = 0; i <= 24; ++i) {
    float t = i / 24.0f, s = t * t * (3 - 2 * t);
    float x = x0 + (x1 - x0) * s + 40 * std::sin(t * Pi), y = y0 + (y1 - y0) * t;
    float w = w0 + (w1 - w0) * std::sqrt(t);
    left.push_back({x - w, y});
    right.push_back({x + w, y});
  }
  std::vector<std::pair<float, float>> poly(left.begin(), left.end());
  poly.insert(poly.end(), right.rbegin(), right.rend());
  FillPolygon(img, poly, colour);
}

void Cottage(Image& img, float x, float y, float s, uint32_t wall, uint32_t roof) {
  FillRect(img, int(x), int(y), int(70 * s), int(46 * s), wall);
  FillRect(img, int(x), int(y + 40 * s), int(70 * s), int(6 * s), Shade(wall, 0.7f));
  FillPolygon(img, {{x - 8 * s, y + 2}, {x + 35 * s, y - 34 * s}, {x + 78 * s, y + 2}}, roof);
  FillRect(img, int(x + 52 * s), int(y - 30 * s), int(8 * s), int(18 * s), Shade(wall, 0.6f));  // chimney
  FillRect(img, int(x + 40 * s), int(y + 18 * s), int(14 * s), int(28 * s), Argb(70, 44, 28));  // door
}

// One fir of height h standing at (x, y), like the ones Trees scatters.
void Fir(Image& img, float x, float y, float h, uint32_t colour) {
  FillRect(img, int(x - h * 0.04f), int(y - h * 0.3f), std::max(2, int(h * 0.08f)), int(h * 0.35f), Shade(colour, 0.6f));
  for (int tier = 0; tier < 3; ++tier) {
    float ty = y - h * 0.25f - tier * h * 0.22f, w = h * 0.35f * (1 - tier * 0.25f);
    FillPolygon(img, {{x - w, ty}, {x, ty - h * 0.35f}, {x + w, ty}}, Shade(colour, 0.9f + tier * 0.08f));
  }
}

// A scene drawn once: what lies behind the living details and what stands in front of them.
struct Scene {
  Image back;
  Image front;  // transparent where the back shows
};

// ---- "aufbruch": the village at dawn at the forest edge, Alrik on the path east, a shadow
// over the distant forest.

constexpr int AufbruchFrames = 4;
struct Window { float x, y, w, h; };
const Window AufbruchWindows[] = {{62, 356, 12, 10}, {160, 342, 11, 9}, {232, 362, 10, 9}};
constexpr float LanternX = 292, LanternY = 366;

Scene AufbruchScene() {
  Scene s{Image(640, 480), Image(640, 480)};
  Image& f = s.back;
  SkyBands(f, {{0, Argb(12, 16, 36)}, {108, Argb(26, 28, 60)}, {220, Argb(110, 74, 104)},
               {300, Argb(236, 168, 112)}, {480, Argb(236, 168, 112)}});
  Glow(f, 150, 300, 210, Argb(255, 206, 140, 120));  // the dawn behind the village
  FillEllipse(f, 150, 304, 22, 10, Argb(255, 236, 190, 220));
  Hills(f, 298, 30, 2.0f, Argb(96, 78, 104), 911);
  Trees(f, 300, 80, 40, Argb(48, 46, 66), 912);
  // The distant forest in the east lies darker under the shadow.
  for (int x = 340; x < 640; ++x)
    for (int y = 280; y < 330; ++y) Plot(f, x, y, Argb(20, 10, 30, std::min(100, (x - 340) * 2)));
  // The meadow the village stands on.
  Hills(f, 346, 18, 3.0f, Argb(58, 84, 50), 913);
  Hills(f, 420, 14, 2.2f, Argb(44, 68, 40), 914);
  // The path east: from Alrik's feet into the distant forest.
  WindingPath(f, 320, 480, 40, 560, 318, 3, Argb(140, 110, 80));
  WindingPath(f, 324, 480, 24, 560, 318, 1.5f, Argb(176, 140, 98, 150));
  // The forest edge right behind the village.
  for (int i = 0; i < 9; ++i) Fir(f, -10.0f + i * 34 + (i % 3) * 7, 352.0f - (i % 2) * 6, 80 + (i * 37 % 30), Argb(30, 52, 36));
  // The village.
  Cottage(f, 40, 340, 0.9f, Argb(128, 104, 82), Argb(104, 52, 36));
  Cottage(f, 136, 326, 0.85f, Argb(136, 110, 86), Argb(96, 48, 34));
  Cottage(f, 208, 350, 0.75f, Argb(120, 98, 78), Argb(110, 58, 40));
  // In front: the lantern post at the village edge, two firs framing the picture, Alrik.
  Image& g = s.front;
  FillRect(g, int(LanternX) - 1, int(LanternY), 3, 40, Argb(60, 44, 30));
  FillRect(g, int(LanternX) - 4, int(LanternY) - 10, 9, 11, Argb(70, 52, 34));
  Fir(g, 600, 500, 300, Argb(20, 36, 24));
  Fir(g, 640, 480, 200, Argb(18, 32, 22));
  Fir(g, 0, 500, 180, Argb(20, 36, 24));
  Blit(g, DrawHeroLarge(150, false), 350, 306);
  return s;
}

// The shadow over the distant forest: a dark violet pall whose folds turn slowly.
void Shadow(Image& f, int k, int n) {
  float ox = 0.08f * std::cos(Phase(k, n)), oy = 0.08f * std::sin(Phase(k, n));
  for (int y = 160; y < 320; ++y)
    for (int x = 340; x < 640; ++x) {
      float edge = std::min(1.0f, (x - 340) / 80.0f) * std::min(1.0f, (y - 160) / 60.0f);
      float v = Fbm(x / 40.0f + ox, y / 26.0f + oy, 927, 4);
      float a = edge * std::clamp((v - 0.38f) * 3.0f + (y - 200) / 160.0f, 0.0f, 0.85f);
      if (a > 0.01f) Plot(f, x, y, Argb(24, 8, 38, Clamp(int(255 * a))));
    }
}

void AufbruchFrame(Image& f, const Image& front, int k) {
  const uint32_t seed = 940;
  TwinklingStars(f, 70, 0, 200, 0.9f, seed, k);
  Shadow(f, k, AufbruchFrames);
  for (int i = 0; i < 3; ++i) {  // lit windows flicker with the hearth fires inside
    const Window& w = AufbruchWindows[i];
    float b = 0.8f + 0.2f * Jitter(seed, 60 + i, k);
    FillRect(f, int(w.x), int(w.y), int(w.w), int(w.h), Argb(int(250 * b), int(200 * b), int(110 * b)));
    Glow(f, w.x + w.w / 2, w.y + w.h / 2, 16, Argb(255, 200, 110, int(60 * b)));
  }
  for (int c = 0; c < 3; ++c) {  // chimney smoke, breathing in place
    float cx = (c == 0 ? 91 : (c == 1 ? 183 : 251)), cy = (c == 0 ? 308 : (c == 1 ? 296 : 322));
    for (int j = 0; j < 5; ++j) {
      float swing = 1.5f * std::sin(Phase(k, AufbruchFrames) + j * 1.3f + c);
      Glow(f, cx + j * 5 + swing, cy - j * 11, 8 + j * 2.5f, Argb(170, 160, 170, 60 - j * 9));
    }
  }
  Mist(f, 338, 396, 0.3f, Argb(220, 200, 210), seed + 2, k, AufbruchFrames);
  Blit(f, front, 0, 0);
  float b = Jitter(seed, 70, k);
  Glow(f, LanternX, LanternY - 4, 34, Argb(255, 190, 90, 60 + int(30 * b)));
  Flame(f, LanternX, LanternY - 1, 7, seed + 1, k);
}

// ---- "waechter": the stone guardian in the castle hall turning into a pale friendly spirit,
// the key glowing in Alrik's hand.

constexpr int WaechterFrames = 3;
constexpr int HeroX = 70, HeroY = 250, HeroH = 190;

Scene WaechterScene() {
  Scene s{Image(640, 480), Image()};
  Image& f = s.back;
  // The vault: dark above, so the lines of text stay readable.
  SkyBands(f, {{0, Argb(16, 13, 14)}, {110, Argb(30, 25, 24)}, {400, Argb(70, 60, 54)}});
  for (int i = 0; i < 3; ++i)  // the vault's arches, springing from the pillars
    for (int j = 0; j < 24; ++j) {
      float a0 = Pi + Pi * j / 24, a1 = Pi + Pi * (j + 1) / 24, cx = 120.0f + i * 200;
      Line(f, cx + 100 * std::cos(a0), 150 + 100 * std::sin(a0), cx + 100 * std::cos(a1),
           150 + 100 * std::sin(a1), 3, Argb(40, 34, 32));
    }
  for (int y = 120; y < 400; y += 20)  // masonry of the back wall
    for (int x = -(y / 20 % 2) * 20; x < 640; x += 40) FrameRect(f, x, y, 40, 20, Argb(44, 38, 36));
  // A tall window behind the guardian with pale light falling in.
  FillRect(f, 296, 150, 48, 130, Argb(50, 62, 90));
  FillEllipse(f, 320, 150, 24, 24, Argb(50, 62, 90));
  FillRect(f, 319, 128, 3, 152, Argb(36, 32, 30));
  FillPolygon(f, {{296, 280}, {344, 280}, {420, 430}, {220, 430}}, Argb(170, 190, 230, 22));
  // Floor of flagstones.
  VerticalGradient(f, 0, 400, 640, 80, Argb(64, 56, 50), Argb(92, 82, 72));
  for (int i = -8; i <= 8; ++i) Line(f, 320 + i * 30.0f, 400, 320 + i * 80.0f, 480, 1.2f, Argb(50, 44, 40));
  for (int y : {412, 430, 454}) Line(f, 0, float(y), 640, float(y), 1.2f, Argb(50, 44, 40));
  // Pillars with their torch brackets.
  for (int x : {36, 560}) {
    FillRect(f, x, 90, 44, 310, Argb(74, 66, 60));
    FillRect(f, x + 34, 90, 10, 310, Argb(56, 50, 46));
    FillRect(f, x - 4, 90, 52, 12, Argb(64, 58, 54));
    FillRect(f, x + 16, 214, 12, 18, Argb(50, 40, 30));
  }
  NoiseTexture(f, 30, 0.18f, 950);
  // The guardian on its plinth: still stone below, the spirit rising out of it.
  Image stone = Scaled(DrawGuardian(0.0f), 165, 220);
  Blit(f, stone, 320 - 82, 430 - 220);
  // Cracks of light run through the stone where the spirit leaves it.
  Line(f, 312, 262, 322, 300, 1.6f, Argb(255, 240, 190, 200));
  Line(f, 322, 300, 314, 336, 1.6f, Argb(255, 240, 190, 200));
  Line(f, 336, 282, 344, 318, 1.4f, Argb(255, 240, 190, 170));
  // Alrik with the key.
  Blit(f, DrawHeroLarge(HeroH, false), HeroX, HeroY);
  float hx, hy;
  HeroHand(HeroX, HeroY, HeroH, hx, hy);
  Line(f, hx, hy - 2, hx + 16, hy - 10, 3, Argb(240, 200, 70));  // the key: shaft, bit, bow
  FillRect(f, int(hx + 10), int(hy - 8), 4, 5, Argb(240, 200, 70));
  Ring(f, hx - 2, hy + 1, 4, 2, Argb(240, 200, 70));
  return s;
}

void WaechterFrame(Image& f, const Image&, int k) {
  const uint32_t seed = 960;
  for (int i = 0; i < 2; ++i) {  // the torches on the pillars
    float x = i == 0 ? 58 : 582;
    Glow(f, x, 200, 130, Argb(255, 160, 70, 50 + int(30 * Jitter(seed, 10 + i, k))));
    Flame(f, x, 214, 22, seed + 20 + uint32_t(i), k);
  }
  // The spirit: pale and translucent, breathing a little brighter and fainter.
  float pulse = 0.5f + 0.5f * std::cos(Phase(k, WaechterFrames));
  Image spirit = Scaled(DrawGuardian(1.0f), 190, 253);
  for (auto& p : spirit.px) p = WithAlpha(p, int(AlphaOf(p) * (0.55f + 0.12f * pulse)));
  Glow(f, 322, 230, 150, Argb(200, 230, 255, 40 + int(20 * pulse)));
  Blit(f, spirit, 320 - 95, 392 - 253 - 40);
  Motes(f, 322, 220, 130, 120, 26, Argb(230, 245, 255), seed + 30, k);
  // The key glows and its light reaches for the guardian.
  float hx, hy;
  HeroHand(HeroX, HeroY, HeroH, hx, hy);
  float glow = 0.75f + 0.25f * Jitter(seed, 40, k);
  Glow(f, hx + 6, hy - 4, 44, Argb(255, 226, 120, int(220 * glow)));
  Glow(f, hx + 6, hy - 4, 12, Argb(255, 255, 220, int(255 * glow)));
  for (int j = 0; j < 14; ++j) {
    float t = (j + 0.5f) / 14.0f, x = hx + 8 + (300 - hx) * t, y = hy - 6 + (300 - hy) * t - 26 * std::sin(t * Pi);
    Glow(f, x, y, 5, Argb(255, 235, 150, int(150 * Jitter(seed, 50 + j, k))));
  }
}

// ---- "finale": the dark tower collapsing on the horizon, the sun rising over Klingenwald,
// Alrik holding the shining sun-stone.

constexpr int FinaleFrames = 4;
constexpr int FinaleHeroX = 70, FinaleHeroY = 286, FinaleHeroH = 170;
constexpr float SunX = 300, SunY = 306;

Scene FinaleScene() {
  Scene s{Image(640, 480), Image(640, 480)};
  Image& f = s.back;
  SkyBands(f, {{0, Argb(14, 18, 46)}, {108, Argb(34, 32, 78)}, {220, Argb(180, 96, 110)},
               {306, Argb(255, 196, 118)}, {480, Argb(255, 196, 118)}});
  Glow(f, SunX, SunY, 250, Argb(255, 214, 140, 130));
  Glow(f, SunX, SunY, 90, Argb(255, 240, 190, 200));
  FillEllipse(f, SunX, SunY, 40, 40, Argb(255, 246, 214));
  // The dark tower on the eastern horizon, broken and leaning as it falls.
  float tx = 540;
  FillPolygon(f, {{tx - 26, 316}, {tx + 26, 316}, {tx + 32, 200}, {tx + 12, 214}, {tx - 8, 194}, {tx - 18, 240}},
              Argb(28, 20, 36));
  for (int y = 226; y < 310; y += 22) FillRect(f, int(tx - 4), y, 6, 9, Argb(120, 60, 150, 150));  // its windows
  FillPolygon(f, {{tx - 6, 186}, {tx + 20, 174}, {tx + 60, 118}, {tx + 64, 92}, {tx + 44, 112}, {tx + 4, 164}},
              Argb(34, 24, 42));  // its broken top
  FillPolygon(f, {{tx + 56, 96}, {tx + 72, 84}, {tx + 66, 104}}, Argb(34, 24, 42));
  for (int i = 0; i < 14; ++i) {  // falling stones
    Rng r(uint32_t(970 + i));
    float x = tx + 20 + r.Unit() * 70, y = 130 + r.Unit() * 170, sz = 3 + r.Unit() * 6;
    FillPolygon(f, {{x, y}, {x + sz, y + 1}, {x + sz - 1, y + sz}, {x - 1, y + sz - 2}}, Argb(30, 22, 38));
  }
  for (int i = 0; i < 6; ++i) Glow(f, tx - 50 + i * 22.0f, 304, 40, Argb(110, 90, 110, 110));  // dust at its foot
  // Klingenwald in the morning light.
  Hills(f, 318, 26, 2.4f, Argb(96, 110, 84), 981);
  Trees(f, 322, 60, 40, Argb(64, 96, 56), 982);
  Hills(f, 372, 22, 3.0f, Argb(70, 100, 52), 983);
  // In front: the hill Alrik stands on, with a few firs, and Alrik.
  Image& g = s.front;
  for (int i = 0; i < 7; ++i) Fir(g, 250.0f + i * 62 + (i % 2) * 14, 420.0f + (i % 3) * 8, 70 + (i * 23 % 26), Argb(46, 78, 42));
  FillPolygon(g, {{0, 424}, {60, 434}, {150, 442}, {260, 456}, {360, 480}, {0, 480}}, Argb(40, 64, 34));
  Blit(g, DrawHeroLarge(FinaleHeroH, false), FinaleHeroX, FinaleHeroY);
  NoiseTexture(g, 20, 0.12f, 985);
  float hx, hy;
  HeroHand(FinaleHeroX, FinaleHeroY, FinaleHeroH, hx, hy);
  FillEllipse(g, hx + 12, hy - 8, 11, 12, Argb(255, 214, 90));  // the sun-stone
  FillEllipse(g, hx + 9, hy - 12, 4, 5, Argb(255, 252, 220));
  return s;
}

void FinaleFrame(Image& f, const Image& front, int k) {
  const uint32_t seed = 990;
  TwinklingStars(f, 40, 0, 150, 0.55f, seed, k);  // the last fading stars
  // Soft sun rays that shimmer: each brightens and fades a little on its own.
  for (int i = 0; i < 9; ++i) {
    float a = Pi + (i + 0.5f) * Pi / 9, spread = 0.06f, len = 520;
    float alpha = 7 + 6 * Jitter(seed, i, k);
    float x1 = SunX + std::cos(a - spread) * len, y1 = SunY + std::sin(a - spread) * len;
    float x2 = SunX + std::cos(a + spread) * len, y2 = SunY + std::sin(a + spread) * len;
    if (std::min(y1, y2) < 130) {  // stop below the text lines
      float t = (SunY - 130) / (SunY - std::min(y1, y2));
      x1 = SunX + (x1 - SunX) * t, y1 = SunY + (y1 - SunY) * t;
      x2 = SunX + (x2 - SunX) * t, y2 = SunY + (y2 - SunY) * t;
    }
    FillPolygon(f, {{SunX, SunY}, {x1, y1}, {x2, y2}}, Argb(255, 236, 170, int(alpha)));
  }
  Glow(f, SunX, SunY, 60, Argb(255, 250, 220, 50 + int(20 * std::cos(Phase(k, FinaleFrames)))));
  // The tower's dying violet glow and the embers over its ruin flicker.
  Glow(f, 560, 170, 60, Argb(170, 70, 230, 40 + int(40 * Jitter(seed, 30, k))));
  Motes(f, 570, 210, 60, 90, 16, Argb(255, 150, 80), seed + 1, k);
  Mist(f, 326, 392, 0.32f, Argb(255, 232, 204), seed + 2, k, FinaleFrames);
  Blit(f, front, 0, 0);
  // The sun-stone shines in Alrik's hand.
  float hx, hy;
  HeroHand(FinaleHeroX, FinaleHeroY, FinaleHeroH, hx, hy);
  float shine = 0.8f + 0.2f * std::cos(Phase(k, FinaleFrames) + 1.0f);
  Glow(f, hx + 12, hy - 8, 70, Argb(255, 220, 110, int(160 * shine)));
  Glow(f, hx + 12, hy - 8, 22, Argb(255, 250, 200, int(220 * shine)));
  Motes(f, hx + 12, hy - 8, 42, 36, 12, Argb(255, 244, 190), seed + 3, k);
}

// Frame k of the strip is the scene's back with frame k's living details and its front.
Image Strip(Scene (*scene)(), void (*frame)(Image&, const Image&, int), int frames) {
  Scene still = scene();
  Image strip(640, 480 * frames);
  for (int k = 0; k < frames; ++k) {
    Image f = still.back;
    frame(f, still.front, k);
    CopyRegion(strip, f, 0, 0, 640, 480, 0, 480 * k);
  }
  AvoidPureBlack(strip);
  return strip;
}

// A calm cutscene theme: a drone with a slow plucked modal line.
Samples CutsceneTheme(int root, const std::vector<int>& melody, uint32_t seed) {
  float beat = 0.5f;
  Samples out = Drone(NoteFreq(root - 12), beat * float(melody.size()) + 1.0f, MusicRate);
  for (auto& v : out) v *= 0.5f;
  for (size_t i = 0; i < melody.size(); ++i)
    if (melody[i] >= 0)
      MixInto(out, PluckNote(NoteFreq(root + melody[i]), 1.2f, MusicRate, 0.5f, seed + uint32_t(i)),
              size_t(i * beat * MusicRate), 0.5f);
  out.resize(size_t(beat * melody.size() * MusicRate));
  MakeLoop(out, MusicRate / 4);
  Normalise(out, 0.7f);
  return out;
}

}  // namespace

PackFiles MakeCutscenesPack() {
  PackFiles pack;
  pack.push_back(EncodePng(Strip(AufbruchScene, AufbruchFrame, AufbruchFrames)));
  pack.push_back(EncodeOgg(CutsceneTheme(62, {0, 2, 3, 7, 5, 3, 2, -1, 0, 3, 5, 7, 10, 7, 5, -1}, 11), MusicRate, 0.2f));
  pack.push_back(EncodePng(Strip(WaechterScene, WaechterFrame, WaechterFrames)));
  pack.push_back(EncodeOgg(CutsceneTheme(57, {0, -1, 3, 5, 6, -1, 5, 3, 0, -1, 1, 0}, 21), MusicRate, 0.2f));
  pack.push_back(EncodePng(Strip(FinaleScene, FinaleFrame, FinaleFrames)));
  pack.push_back(EncodeOgg(CutsceneTheme(60, {0, 4, 7, 12, 11, 7, 9, 7, 5, 4, 2, 0, 4, 7, 12, -1}, 31), MusicRate, 0.2f));
  return pack;
}

}  // namespace kwgen
