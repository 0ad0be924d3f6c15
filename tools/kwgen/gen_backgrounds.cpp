// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Backgrounds.pak: the far backgrounds of the five tile sets, drawn in the pixel style of the
// tiles and figures: hard edges, a few tones per surface, ordered dithering where two tones
// meet, light from the top left. Also the pixel firs that the forest's tree crowns share.
// Every background repeats every 640 pixels across (the game lays two copies side by side)
// and is BackgroundHeight tall, because the picture follows the view down a deep map.
#include <algorithm>
#include <cmath>

#include "kwgen.h"

namespace kwgen {

namespace {

constexpr float Pi = 3.14159265f;
constexpr int W = 640;

// Noise over the picture that joins its own left edge at the right one: the noise at x
// faded into the noise one width further left, so two copies side by side show no seam.
float WrappedFbm(int x, int y, float sx, float sy, uint32_t seed, int octaves) {
  float t = float(x) / W;
  return Fbm(x / sx, y / sy, seed, octaves) * (1 - t) + Fbm((x - W) / sx, y / sy, seed, octaves) * t;
}

// Rounds t (0..1) to one of `steps` levels, dithered where it lies between two.
float Level(float t, int x, int y, int steps) {
  float v = std::floor(t * (steps - 1) + 0.5f + Bayer(x, y) * 0.95f);
  return std::clamp(v / (steps - 1), 0.0f, 1.0f);
}

// A sky (or any vertical ramp) in `steps` dithered bands between y0 and y1.
void BandedRamp(Image& img, int y0, int y1, uint32_t top, uint32_t bottom, int steps) {
  for (int y = std::max(0, y0); y < std::min(img.h, y1); ++y)
    for (int x = 0; x < img.w; ++x)
      img.Set(x, y, Mix(top, bottom, Level(float(y - y0) / std::max(1, y1 - y0 - 1), x, y, steps)));
}

// A round glow of dithered rings (the sun, a moon, a crystal's light) over what is there,
// wrapped round the picture's width.
void PixelHalo(Image& img, float cx, float cy, float radius, uint32_t colour, float strength) {
  for (int y = std::max(0, int(cy - radius)); y <= std::min(img.h - 1, int(cy + radius)); ++y)
    for (int x = int(cx - radius); x <= int(cx + radius); ++x) {
      float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / radius;
      if (d >= 1) continue;
      int wx = ((x % W) + W) % W;
      float t = Level((1 - d) * (1 - d) * strength, wx, y, 5);
      img.Set(wx, y, Mix(img.Get(wx, y), colour, t));
    }
}

// Periodic ridge height in 0..1 at column x (repeats every W pixels).
float Ridge(int x, float scale, uint32_t seed) {
  float t = float(x) / W * 2 * Pi;
  return Fbm(std::cos(t) * scale + 10, std::sin(t) * scale + 10, seed, 4);
}

// A mountain or hill range: a hard ridge line, each slope lit or shaded by the way it
// faces (light from the left), snow above snowLine (0 for none), rock texture in tones.
struct RangeLook {
  uint32_t lit, mid, dark;
  uint32_t snow = 0;
  float snowLine = 0;  // pixels below the highest peak that stay white
};

void Range(Image& img, float base, float height, float scale, const RangeLook& look, uint32_t seed,
           int bottom = -1) {
  if (bottom < 0) bottom = img.h;
  std::vector<float> top(W);
  for (int x = 0; x < W; ++x) top[size_t(x)] = base - height * Ridge(x, scale, seed);
  float peak = *std::min_element(top.begin(), top.end());
  // The ridge's slope, smoothed: > 0 where it falls to the right, a face turned away
  // from the light.
  auto slopeAt = [&](float fx) {
    int x = int(std::floor(fx));
    return (top[size_t(((x + 12) % W + W) % W)] - top[size_t(((x - 12) % W + W) % W)]) / 24.0f;
  };
  for (int x = 0; x < W; ++x) {
    for (int y = std::max(0, int(top[size_t(x)])); y < bottom; ++y) {
      float depth = y - top[size_t(x)];
      // Faces run down from the ridge a little slanted, as the light falls.
      float face = std::clamp(0.5f - slopeAt(x + depth * 0.35f) * 2.0f - depth * 0.003f, 0.0f, 1.0f);
      float grain = WrappedFbm(x, y, 16, 10, seed + 7, 2) - 0.5f;
      float t = Level(std::clamp(face + grain * 0.5f, 0.0f, 1.0f), x, y, 3);
      uint32_t c = t > 0.75f ? look.lit : (t > 0.25f ? look.mid : look.dark);
      if (look.snow && y < peak + look.snowLine + grain * 30 && depth < 40 + 40 * face)
        c = Mix(look.snow, c, Level(std::clamp(depth / 40.0f - face * 0.5f, 0.0f, 1.0f), x, y, 3) * 0.5f);
      img.Set(x, y, c);
    }
  }
}

// Plots a pixel at x (wrapped round the picture's width) and y.
void PutWrapped(Image& img, int x, int y, uint32_t c) { img.Set(((x % W) + W) % W, y, c); }

// A row of firs along a ground line: count trees of height around size, their feet at
// ground + up to jitter pixels; the trunks reach down to `trunkTo` (for the nearest rows,
// so no tree floats above the forest floor).
void FirRow(Image& img, float ground, float jitter, int count, float size, const FirColours& c, uint32_t seed,
            float trunkTo = 0) {
  Rng r(seed);
  for (int i = 0; i < count; ++i) {
    float x = (i + 0.2f + 0.6f * r.Unit()) * W / count;
    float h = size * (0.75f + 0.5f * r.Unit()), y = ground + r.Unit() * jitter;
    PixelFir(img, x, y, h, c, seed * 31 + uint32_t(i), trunkTo);
  }
}

// The ground under the nearest trees, on to the bottom of the picture: mossy floor that
// darkens with depth, a few roots and stones.
void ForestFloor(Image& img, int y0, uint32_t floor, uint32_t deep, uint32_t seed) {
  for (int y = y0; y < img.h; ++y)
    for (int x = 0; x < W; ++x) {
      float depth = std::min(1.0f, (y - y0) / 260.0f);
      float n = WrappedFbm(x, y, 14, 7, seed, 3);
      float t = Level(std::clamp(depth * 0.8f + (n - 0.5f) * 0.5f, 0.0f, 1.0f), x, y, 4);
      img.Set(x, y, Mix(floor, deep, t));
    }
}

Image ForestBackground() {
  Image img(W, BackgroundHeight);
  BandedRamp(img, 0, 300, Argb(112, 150, 200), Argb(238, 214, 168), 9);
  PixelHalo(img, 452, 214, 70, Argb(255, 240, 196), 0.9f);
  for (int y = 200; y < 228; ++y)  // the sun's disc
    for (int x = 438; x < 466; ++x)
      if (std::hypot(x + 0.5f - 452, y + 0.5f - 214) < 13) img.Set(x, y, Argb(255, 246, 214));
  Range(img, 268, 120, 1.5f, {Argb(150, 164, 184), Argb(124, 138, 162), Argb(102, 114, 142),
                               Argb(230, 236, 244), 26}, 101);
  Range(img, 312, 60, 2.4f, {Argb(104, 132, 142), Argb(90, 116, 128), Argb(78, 100, 114)}, 102);
  FirRow(img, 326, 14, 40, 50, {Argb(104, 140, 136), Argb(88, 124, 122), Argb(74, 108, 110), 0, false}, 103);
  FirRow(img, 372, 20, 18, 104, {Argb(78, 128, 90), Argb(60, 106, 72), Argb(46, 86, 60), 0, false}, 104);
  ForestFloor(img, 420, Argb(40, 74, 44), Argb(14, 26, 16), 105);
  FirRow(img, 440, 30, 7, 220, {Argb(66, 108, 74), Argb(52, 92, 62), Argb(40, 76, 52), 0, false}, 106);
  return img;
}

Image IceBackground() {
  Image img(W, BackgroundHeight);
  BandedRamp(img, 0, 320, Argb(116, 156, 208), Argb(222, 234, 246), 9);
  Range(img, 300, 220, 1.2f, {Argb(214, 226, 242), Argb(176, 194, 222), Argb(140, 160, 194),
                               Argb(246, 250, 255), 120}, 201);
  Range(img, 372, 110, 2.0f, {Argb(160, 184, 210), Argb(128, 154, 186), Argb(104, 128, 164),
                               Argb(236, 244, 252), 40}, 202);
  FirRow(img, 400, 20, 26, 76, {Argb(112, 150, 156), Argb(86, 124, 134), Argb(66, 100, 114),
                                Argb(236, 244, 250), true}, 203);
  ForestFloor(img, 440, Argb(206, 220, 236), Argb(104, 122, 150), 204);
  FirRow(img, 460, 26, 7, 190, {Argb(94, 132, 138), Argb(74, 110, 120), Argb(58, 92, 106),
                                Argb(226, 236, 246), true}, 205);
  return img;
}

// A cone of dripstone hanging from y0 (or, with up, rising from it), lit on its left.
void Dripstone(Image& img, float x, float y0, float w, float len, bool up, uint32_t lit, uint32_t dark,
               uint32_t rim) {
  for (int j = 0; j < int(len); ++j) {
    float half = w * (1 - float(j) / len) * (1 - float(j) / len * 0.3f);
    int y = up ? int(y0) - j : int(y0) + j;
    for (int i = int(-half); i <= int(half); ++i) {
      float side = half > 0 ? i / half : 0;
      uint32_t c = side < -0.55f ? rim : (side < 0.2f ? lit : dark);
      if (side < -0.2f && side >= -0.55f && Bayer(int(x) + i, y) > 0.1f) c = rim;
      PutWrapped(img, int(x) + i, y, c);
    }
  }
}

// The cave: a far wall of dark rock, rows of dripstones hanging and rising in two depths
// (the farther darker and smaller), faint crystal light, and a rocky floor.
Image CaveBackground() {
  Image img(W, BackgroundHeight);
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < W; ++x) {
      float n = WrappedFbm(x, y, 40, 26, 301, 3), m = WrappedFbm(x, y, 8, 6, 302, 2);
      float t = Level(std::clamp(n * 0.9f + (m - 0.5f) * 0.35f, 0.0f, 1.0f), x, y, 4);
      img.Set(x, y, Mix(Argb(22, 18, 24), Argb(48, 40, 44), t));
    }
  for (int i = 0; i < 6; ++i) {  // far crystal light in the depth of the cave
    float x = 50 + i * 107 + 30 * Hash01(i, 1, 303), y = 250 + 90 * Hash01(i, 2, 303);
    PixelHalo(img, x, y, 36, Argb(96, 70, 150), 0.4f);
  }
  Rng r(304);
  for (int i = 0; i < 22; ++i)  // far dripstones hanging from the roof
    Dripstone(img, r.Unit() * W, 0, 6 + r.Unit() * 8, 60 + r.Unit() * 150, false, Argb(44, 38, 44),
              Argb(32, 27, 33), Argb(58, 50, 58));
  Range(img, 520, 50, 2.6f, {Argb(50, 43, 48), Argb(40, 34, 39), Argb(31, 26, 31)}, 305);
  for (int i = 0; i < 14; ++i)  // and rising from the far floor
    Dripstone(img, r.Unit() * W, 500 + r.Unit() * 20, 8 + r.Unit() * 8, 50 + r.Unit() * 110, true,
              Argb(50, 43, 48), Argb(36, 31, 36), Argb(66, 58, 64));
  for (int i = 0; i < 12; ++i)  // nearer dripstones: larger, a little lighter
    Dripstone(img, r.Unit() * W, 0, 12 + r.Unit() * 12, 90 + r.Unit() * 170, false, Argb(62, 54, 57),
              Argb(42, 36, 40), Argb(84, 74, 76));
  Range(img, 600, 80, 3.1f, {Argb(66, 58, 59), Argb(52, 45, 48), Argb(40, 34, 37)}, 306);
  for (int i = 0; i < 9; ++i)
    Dripstone(img, r.Unit() * W, 585 + r.Unit() * 20, 12 + r.Unit() * 10, 70 + r.Unit() * 120, true,
              Argb(66, 58, 59), Argb(46, 40, 43), Argb(88, 78, 80));
  for (int i = 0; i < 9; ++i) {  // small glowing crystals on the floor
    float x = r.Unit() * W, y = 560 + r.Unit() * 120;
    PixelHalo(img, x, y, 16, Argb(170, 120, 250), 0.6f);
    for (int k = 0; k < 3; ++k)
      Dripstone(img, x - 3 + k * 3, y + 4, 1.6f, 5 + k % 2 * 4, true, Argb(200, 170, 255), Argb(130, 90, 200),
                Argb(236, 220, 255));
  }
  return img;
}

// The castle: a dim hall of ashlar (each stone its own tone, lit top-left), tall arched
// windows onto the night with columns between them; much darker than the masonry in front.
Image CastleBackground() {
  Image img(W, BackgroundHeight);
  uint32_t stone = Argb(74, 68, 66);
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < W; ++x) {
      int row = y / 20, u = (x + (row % 2) * 20) % W, lx = u % 40, ly = y % 20;
      float tone = 0.85f + 0.25f * Hash01(u / 40, row, 401);
      float light = 0.9f - 0.35f * std::min(1.0f, y / 700.0f);
      uint32_t c = Shade(stone, tone * light);
      if (ly == 19 || lx == 39) c = Shade(stone, 0.5f * light);
      else if (ly == 0 || lx == 0) c = Shade(stone, (tone + 0.18f) * light);
      else if (ly == 18 || lx == 38) c = Shade(stone, (tone - 0.15f) * light);
      float grime = WrappedFbm(x, y, 30, 30, 402, 3);
      img.Set(x, y, Shade(c, 1 - Level(std::clamp(grime - 0.35f, 0.0f, 1.0f), x, y, 3) * 0.3f));
    }
  for (int i = 0; i < 4; ++i) {
    int cx = 80 + i * 160;
    // A column between the windows.
    for (int y = 0; y < img.h; ++y)
      for (int x = cx + 56; x < cx + 104; ++x) {
        float side = (x - cx - 80) / 24.0f;
        float t = Level(std::clamp(0.75f - side * 0.6f, 0.0f, 1.0f), x, y, 4);
        img.Set(x % W, y, Mix(Argb(44, 40, 40), Argb(104, 96, 92), t));
      }
    // The window: a pointed arch of night sky with a mullion and the moonlight falling in.
    for (int y = 90; y < 330; ++y)
      for (int x = cx - 26; x <= cx + 26; ++x) {
        float dx = std::fabs(x + 0.5f - cx);
        bool inArch = y >= 140 || std::hypot(dx + 20, y - 140.0f) < 46;
        if (!inArch || dx > 26) continue;
        bool frame = dx > 22 || (y < 140 && std::hypot(dx + 20, y - 140.0f) > 42) || y > 325;
        uint32_t sky = Mix(Argb(24, 34, 74), Argb(60, 80, 130), Level((y - 90) / 240.0f, x, y, 5));
        if (!frame && Hash01(x, y, 403) > 0.995f) sky = Argb(220, 224, 240);
        uint32_t c = frame ? Argb(120, 112, 104) : sky;
        if (!frame && dx < 1.5f) c = Argb(60, 56, 56);  // the mullion
        if (!frame && y > 200 && y < 203) c = Argb(60, 56, 56);
        img.Set(x, y, c);
      }
  }
  return img;
}

// The dark tower: a night sky of violet bands with stars, far mountains, and the black
// spire with a burning window at its top.
Image TowerBackground() {
  Image img(W, BackgroundHeight);
  BandedRamp(img, 0, 420, Argb(14, 10, 28), Argb(78, 34, 96), 8);
  Rng r(501);
  for (int i = 0; i < 180; ++i) {
    int x = r.Range(0, W - 1), y = r.Range(0, 360);
    img.Set(x, y, r.Unit() < 0.2f ? Argb(255, 240, 220) : Argb(170, 160, 200));
  }
  Range(img, 400, 90, 2.0f, {Argb(52, 34, 66), Argb(40, 26, 54), Argb(30, 20, 42)}, 502);
  Range(img, 470, 60, 3.0f, {Argb(36, 24, 46), Argb(28, 18, 38), Argb(20, 14, 30)}, 503);
  PixelHalo(img, 320, 110, 60, Argb(190, 80, 255), 0.8f);
  for (int y = 40; y < img.h; ++y) {  // the spire widens towards its foot
    float half = 8 + (y - 40) * 0.09f;
    for (int x = int(320 - half); x <= int(320 + half); ++x) {
      float side = (x - 320) / half;
      uint32_t c = side < -0.6f ? Argb(46, 36, 62) : Argb(24, 18, 34);
      if ((y / 14) % 2 == 0 && std::abs(x - 320) < 3 && y > 150 && Hash01(y / 14, 1, 504) > 0.6f)
        c = Argb(230, 150, 255);  // lit slits
      img.Set(x, y, c);
    }
  }
  for (int y = 92; y < 112; ++y)  // the burning window at the top
    for (int x = 316; x < 325; ++x) img.Set(x, y, y < 96 ? Argb(160, 60, 220) : Argb(236, 170, 255));
  ForestFloor(img, 560, Argb(26, 18, 34), Argb(10, 8, 16), 505);
  return img;
}

}  // namespace

// The needles of one bough tier: u runs from the tier's top (0) to its drooping edge (1),
// side from its left tip (-1) to its right tip (1). Lit from the top left: the upper face
// and the left are lighter, the underside and the right darker; snow lies on the upper face.
uint32_t FirNeedles(const FirColours& c, float u, float side, int x, int y) {
  float light = 1.0f - u * 1.2f - side * 0.35f + (Hash01(x / 2, y, 77) - 0.5f) * 0.5f;
  float t = Level(std::clamp(light * 0.5f + 0.35f, 0.0f, 1.0f), x, y, 3);
  uint32_t col = t > 0.75f ? c.light : (t > 0.25f ? c.mid : c.dark);
  if (c.snowy && u < 0.35f && side < 0.5f && Level(0.9f - u * 2.2f - side * 0.2f, x, y, 2) > 0.5f) col = c.snow;
  return col;
}

// A fir of height h standing at (cx, groundY): a short trunk under tiers of boughs that
// widen downwards, each tier's edge drooping in needle tips. Wraps round the picture's
// width. With trunkTo the trunk goes down to that row.
void PixelFir(Image& img, float cx, float groundY, float h, const FirColours& c, uint32_t seed, float trunkTo) {
  int tiers = std::clamp(int(h / 15), 3, 10);
  float top = groundY - h, bottom = groundY - h * 0.12f, crown = bottom - top;
  float maxHalf = h * 0.27f;
  int trunkHalf = std::max(0, int(h / 60));
  uint32_t bark = Mix(Argb(40, 28, 20), c.dark, 0.3f);
  for (int y = int(bottom - crown * 0.2f); y < int(std::max(groundY, trunkTo)); ++y)
    for (int x = -trunkHalf; x <= trunkHalf; ++x)
      PutWrapped(img, int(cx) + x, y, x < 0 || trunkHalf == 0 ? Mix(bark, c.mid, 0.2f) : bark);
  for (int y = int(top); y < int(bottom); ++y) {
    float t = (y - top) / crown;
    int tier = std::min(tiers - 1, int(t * tiers));
    float u = t * tiers - tier;
    float tierHalf = maxHalf * (0.22f + 0.78f * float(tier + 1) / tiers);
    float half = tier == 0 ? tierHalf * u : tierHalf * (0.45f + 0.55f * u);
    half += (Hash01(y, tier, seed) - 0.5f) * 1.5f;
    for (int x = int(-half - 1); x <= int(half + 1); ++x) {
      float side = half > 0.5f ? x / half : 0;
      if (std::fabs(side) > 1) continue;
      // The drooping edge of the tier: needle tips hang down on every other column.
      if (u > 0.78f && Hash01(int(cx) + x, tier, seed) < (u - 0.78f) * 3.2f) continue;
      PutWrapped(img, int(cx) + x, y, FirNeedles(c, u, side, int(cx) + x, y));
    }
  }
}

// The forest at an hour of the day: dawn 1 is the morning of the play background, towards 0
// the colours sink into a blue night. Behind the title, the pause picture and the menus.
Image DrawForestScene(int width, int height, uint32_t seed, float dawn) {
  auto hour = [&](uint32_t c) { return Mix(Mix(Shade(c, 0.35f), Argb(22, 28, 56), 0.35f), c, dawn); };
  Image img(W, height);
  BandedRamp(img, 0, int(height * 0.62f), hour(Argb(112, 150, 200)), hour(Argb(238, 214, 168)), 9);
  if (dawn > 0.4f) PixelHalo(img, 452, height * 0.45f, 70, Argb(255, 240, 196), dawn - 0.1f);
  Range(img, height * 0.56f, height * 0.25f, 1.5f, {hour(Argb(150, 164, 184)), hour(Argb(124, 138, 162)),
        hour(Argb(102, 114, 142)), hour(Argb(230, 236, 244)), 26}, seed);
  FirRow(img, height * 0.68f, 14, 40, height * 0.1f, {hour(Argb(104, 140, 136)), hour(Argb(88, 124, 122)),
         hour(Argb(74, 108, 110))}, seed + 1);
  FirRow(img, height * 0.78f, 20, 18, height * 0.22f, {hour(Argb(78, 128, 90)), hour(Argb(60, 106, 72)),
         hour(Argb(46, 86, 60))}, seed + 2);
  ForestFloor(img, int(height * 0.88f), hour(Argb(40, 74, 44)), hour(Argb(14, 26, 16)), seed + 3);
  FirRow(img, height * 1.02f, 30, 7, height * 0.5f, {hour(Argb(52, 98, 58)), hour(Argb(34, 72, 44)),
         hour(Argb(22, 50, 30))}, seed + 4);
  AvoidPureBlack(img);
  return width == W ? img : Scaled(img, width, height);
}

Image DrawBackground(int set) {
  Image img;
  switch (set) {
    case 1: img = ForestBackground(); break;
    case 2: img = IceBackground(); break;
    case 3: img = CaveBackground(); break;
    case 4: img = CastleBackground(); break;
    default: img = TowerBackground();
  }
  AvoidPureBlack(img);
  return img;
}

PackFiles MakeBackgroundsPack() {
  PackFiles pack;
  for (int set = 1; set <= 5; ++set) pack.push_back(EncodePng(DrawBackground(set)));
  return pack;
}

}  // namespace kwgen
