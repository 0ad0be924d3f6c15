// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Tiles.pak: per tile set the animation strips (435: 30 x 50 frames of every tile, the cell
// at rows 10..39 with 10 px of overhang above; 436: 30 x 30 front-layer frames) and the tile
// sheet (row 0 collision pictures 1..80, row 1 back layer 101..200, row 2 overlays 201..281).
// One palette per set; light from the top left; texture from noise that repeats every tile.
#include <algorithm>
#include <cmath>

#include "kwgen.h"

namespace kwgen {

namespace {

constexpr float Pi = 3.14159265f;
constexpr uint32_t Ink = Argb(20, 16, 14);

struct TileStyle {
  uint32_t fill;     // ground body
  uint32_t top;      // grass, snow, moss, flagstones, violet glow edge
  uint32_t block;    // walls, masonry, ice blocks
  uint32_t wood;     // planks, ladders, beams
  uint32_t accent;   // leaves, banners, crystals
  uint32_t hazard;   // tile 4: poison, icy water, lava
  uint32_t back;     // back layer base
  bool bricks;       // blocks drawn as masonry courses
};

const TileStyle Styles[5] = {
    // forest: earth, grass, mossy stone, oak, leaves, swamp poison
    {Argb(112, 78, 46), Argb(80, 156, 52), Argb(118, 116, 100), Argb(142, 98, 54), Argb(60, 128, 46),
     Argb(90, 170, 60), Argb(58, 72, 46), false},
    // ice: frozen rock, snow, ice blocks, grey wood, pale blue, icy water
    {Argb(82, 96, 122), Argb(236, 242, 250), Argb(150, 204, 236), Argb(120, 104, 92), Argb(190, 230, 255),
     Argb(70, 150, 220), Argb(70, 90, 116), false},
    // cave: rock, moss, dripstone, old wood, crystals, underground water
    {Argb(80, 72, 70), Argb(98, 108, 72), Argb(108, 98, 92), Argb(110, 80, 50), Argb(160, 100, 230),
     Argb(50, 110, 170), Argb(46, 40, 40), false},
    // castle: masonry, flagstones, ashlar, beams, red banners, lava
    {Argb(128, 118, 104), Argb(168, 158, 140), Argb(150, 140, 124), Argb(124, 82, 44), Argb(170, 36, 40),
     Argb(240, 110, 30), Argb(70, 64, 60), true},
    // dark tower: black stone, violet glow, chains, dark wood, violet, lava
    {Argb(78, 72, 94), Argb(140, 80, 200), Argb(92, 86, 110), Argb(92, 70, 62), Argb(170, 90, 240),
     Argb(200, 60, 230), Argb(30, 28, 40), true},
};

enum class Shape { Air, Full, Breakable, Hazard, Ground, Rough, SlopeR, SlopeL, Half, Plank, Pillar,
                   Ladder, Door, Bricks, Item, Gold, Edge };

// Value noise that repeats every 30 pixels, so neighbouring cells join without seams.
float TileNoise(int x, int y, uint32_t seed) {
  auto cell = [&](float fx, float fy, int period) {
    int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    float tx = fx - ix, ty = fy - iy;
    tx = tx * tx * (3 - 2 * tx), ty = ty * ty * (3 - 2 * ty);
    auto h = [&](int a, int b) { return Hash01(((a % period) + period) % period, ((b % period) + period) % period, seed); };
    float a = h(ix, iy), b = h(ix + 1, iy), c = h(ix, iy + 1), d = h(ix + 1, iy + 1);
    return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
  };
  return 0.6f * cell(x / 6.0f, y / 6.0f, 5) + 0.4f * cell(x / 3.0f, y / 3.0f, 10);
}

// A shade offset rounded to steps of `step`, dithered where it falls between two: surfaces
// are shaded in a few bands like the rest of the pixel art, not in smooth ramps.
float Banded(float v, int x, int y, float step = 0.1f) {
  return std::round(v / step + Bayer(x, y) * 0.9f) * step;
}

// Fills the opaque pixels of a 30 x 30 cell with colour textured by tile noise.
void Texture(Image& cell, uint32_t colour, uint32_t seed, float amount) {
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x)
      if (AlphaOf(cell.Get(x, y))) {
        float n = TileNoise(x, y, seed) - 0.5f;
        cell.Set(x, y, Shade(colour, 1 + Banded(amount * n, x, y, 0.07f)));
      }
}

// Stones laid in courses `course` rows high and `length` wide, mortar between them, each
// course shifted by `shift` against the one above. Every stone has its own tone, a lit
// top-left rim and a shaded bottom-right one, so a wall reads as blocks, not as a lined
// plane. Repeats every 30 pixels both ways; paints only the opaque pixels of the cell.
void Masonry(Image& c, uint32_t stone, int course, int length, int shift, uint32_t seed) {
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      if (!AlphaOf(c.Get(x, y))) continue;
      int row = y / course, ly = y % course;
      int u = (x + row * shift) % 30, lx = u % length;
      if (ly == course - 1 || lx == length - 1) {
        c.Set(x, y, Shade(stone, 0.48f + (Bayer(x, y) > 0.3f ? 0.06f : 0.0f)));
        continue;
      }
      float tone = 0.9f + 0.2f * Hash01(u / length, row, seed);
      float rim = (ly == 0 || lx == 0) ? 0.2f : (ly == course - 2 || lx == length - 2) ? -0.18f : 0.0f;
      float n = TileNoise(x, y, seed) - 0.5f;
      c.Set(x, y, Shade(stone, tone + rim + Banded(0.3f * n, x, y, 0.07f)));
    }
}

// The rock of the caves: boulders packed into each other (cells round five points that
// repeat every 30 pixels), dark cracks between them, each boulder lit
// from the top left. A share `cracked` of the boulders is split from its neighbours by a
// crack; the others merge into one mass of rock.
void CaveRock(Image& c, uint32_t rock, uint32_t seed, float cracked) {
  float pts[5][2];
  Rng r(seed);
  for (auto& p : pts) p[0] = r.Unit() * 30, p[1] = r.Unit() * 30;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      if (!AlphaOf(c.Get(x, y))) continue;
      float d1 = 1e9f, d2 = 1e9f, vx = 0, vy = 0;
      int near = 0, next = 0;
      for (int i = 0; i < 5; ++i)
        for (int oy = -30; oy <= 30; oy += 30)
          for (int ox = -30; ox <= 30; ox += 30) {
            float dx = x + 0.5f - pts[i][0] - ox, dy = y + 0.5f - pts[i][1] - oy;
            float d = std::sqrt(dx * dx + dy * dy);
            if (d < d1) d2 = d1, next = near, d1 = d, near = i, vx = dx, vy = dy;
            else if (d < d2) d2 = d, next = i;
          }
      bool split = Hash01(std::min(near, next), std::max(near, next), seed) < cracked;
      float gap = split ? d2 - d1 : 9.0f;
      if (gap < 1.3f) {
        c.Set(x, y, Shade(rock, 0.56f));
        continue;
      }
      float edge = 1 - std::min(1.0f, gap / 7.0f);  // 1 at the crack, 0 inside
      float lit = -(vx + vy) / (d1 + 2.0f);           // > 0 on the top-left side
      float n = TileNoise(x, y, seed) - 0.5f;
      float v = 0.12f * (Hash01(near, 0, seed) - 0.5f) + 0.3f * lit * edge - 0.12f * edge + 0.25f * n;
      c.Set(x, y, Shade(rock, 1 + Banded(v, x, y, 0.08f)));
    }
}

// The colour of fire by its heat, from the dull red of embers (0) to a flame's pale
// yellow heart (1), in six fixed steps.
uint32_t FireColour(float heat, int x, int y) {
  static const uint32_t ramp[6] = {Argb(60, 16, 10),  Argb(128, 26, 14),  Argb(200, 54, 18),
                                   Argb(242, 112, 24), Argb(255, 180, 46), Argb(255, 236, 140)};
  int i = int(std::floor(heat * 6 + Bayer(x, y) * 0.8f));
  return ramp[std::clamp(i, 0, 5)];
}

// The fire under the spikes (tile 28) keeps the outline of its heap, which the figure
// lands on, but burns: embers with glowing cracks at its foot, flames licking up to
// its top, changing from frame to frame; the loose spark beside it is a flying ember.
void FireHeap(Image& c, const Image& heap, int f) {
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      uint32_t p = heap.Get(x, y);
      if (!AlphaOf(p)) continue;
      bool rim = p == Ink;
      float spark = std::hypot(x + 0.5f - (6 + f * 6), y + 0.5f - 16) / 4.5f;
      float up = (29 - y) / 18.0f;                            // 0 at the foot, 1 at the top
      float tongue = 0.5f + 0.5f * std::sin(x * 1.1f + f * 1.9f + y * 0.25f);
      float n = TileNoise(x + f * 5, y + f * 9, 28) - 0.5f;
      float heat = 0.95f - 0.5f * up + 0.35f * (tongue - 0.5f) * up + 0.4f * n
                   - 0.45f * std::fabs(x - 15.5f) / 15.0f;
      if (y >= 27) heat = 0.15f + (TileNoise(x, y * 3, 29 + f) > 0.62f ? 0.5f : 0.0f);  // embers
      if (rim) heat = std::min(heat, 0.05f) + (y < 27 && tongue > 0.8f ? 0.2f : 0.0f);
      if (spark < 1 && !rim) heat = std::max(heat, 1.05f - 0.5f * spark);
      c.Set(x, y, FireColour(std::clamp(heat, 0.0f, 1.0f), x, y));
    }
}

Shape ShapeOf(int k) {
  switch (k) {
    case 1: return Shape::Air;
    case 2: case 5: case 6: case 7: case 9: case 10: return Shape::Breakable;
    case 4: return Shape::Hazard;
    case 3: case 54: case 62: case 63: return Shape::Ground;
    case 8: case 11: case 64: case 65: case 78: return Shape::Full;
    case 35: case 36: case 37: case 38: case 41: case 42: case 76: case 77: return Shape::Rough;
    case 31: case 33: case 39: case 74: return Shape::SlopeR;
    case 32: case 34: case 40: case 75: return Shape::SlopeL;
    case 43: case 58: case 68: return Shape::Half;
    case 45: case 59: case 69: return Shape::Plank;
    case 46: case 60: case 49: return Shape::Pillar;
    case 26: case 29: case 55: case 80: return Shape::Ladder;
    case 19: return Shape::Door;
    case 47: case 56: case 57: case 70: case 71: case 72: case 73: return Shape::Bricks;
    case 17: case 18: case 21: case 28: case 30: case 50: case 51: case 52: case 53: return Shape::Gold;
    case 66: case 67: return Shape::Edge;
    default: return Shape::Item;  // 12..16, 20, 22..25, 27, 44, 48, 61, 79
  }
}

// The height of a slope's surface in column x (0..29): rising to the right when right is
// true. 31/32 and 74/75 climb a whole cell, 33/34 its lower half, 39/40 its upper half, so a
// 33 followed by a 39 makes one long gentle slope. Left slopes mirror right ones exactly.
int SlopeTop(int k, bool right, int x) {
  float lowY = 30, highY = 0;
  if (k == 33 || k == 34) highY = 15;
  else if (k == 39 || k == 40) lowY = 15;
  int col = right ? x : 29 - x;
  return int(std::lround(lowY - (lowY - highY) * (col + 1) / 30.0f));
}

void SlopeMask(Image& cell, int k, bool right) {
  for (int x = 0; x < 30; ++x)
    for (int y = SlopeTop(k, right, x); y < 30; ++y) cell.Set(x, y, Argb(255, 255, 255));
}

void Cracks(Image& cell, uint32_t seed) {
  Rng r(seed);
  float x = 8 + r.Unit() * 14, y = 3;
  for (int i = 0; i < 5; ++i) {
    float nx = x + (r.Unit() - 0.5f) * 12, ny = y + 5 + r.Unit() * 3;
    Line(cell, x, y, nx, ny, 1, Argb(30, 24, 20, 220));
    x = nx, y = ny;
  }
}

void BrickLines(Image& cell, uint32_t mortar) {
  for (int row = 0; row < 3; ++row) {
    FillRect(cell, 0, row * 10 + 9, 30, 1, mortar);
    int off = (row & 1) ? 0 : 15;
    FillRect(cell, off, row * 10, 1, 9, mortar);
    if (off == 0) FillRect(cell, 29, row * 10, 1, 9, mortar);
  }
}

// The cave's bedrock: layers of rock of different thickness and tone, each lit along its
// top, shadowed under the layer above and split here and there by a crack. The layers wave
// gently and repeat every 30 pixels both ways, so cells side by side and on top of each
// other make one rock face.
void RockStrata(Image& c, uint32_t rock, uint32_t seed) {
  const float tops[4] = {0, 8, 15, 23};
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      if (!AlphaOf(c.Get(x, y))) continue;
      float wave = 1.5f * std::sin(x * 2 * Pi / 30 + 1.3f) + 0.8f * std::sin(x * 4 * Pi / 30);
      float fy = y - wave;
      int layer = 3;
      while (layer > 0 && fy < tops[layer]) --layer;
      if (fy < 0) layer = 3, fy += 30;
      float next = layer == 3 ? 30.0f : tops[layer + 1], inside = fy - tops[layer];
      int crackX = int(Hash01(layer, 1, seed) * 30);
      bool crack = inside < 0.9f || (x == crackX && Hash01(layer, 2, seed) < 0.5f && inside < next - fy + 2);
      float tone = 0.88f + 0.22f * Hash01(layer, 0, seed);
      float light = crack ? -0.45f : (inside < 2 ? 0.18f : (next - fy < 2 ? -0.2f : 0.0f));
      float n = TileNoise(x, y, seed) - 0.5f;
      c.Set(x, y, Shade(rock, tone + light + Banded(0.3f * n, x, y, 0.07f)));
    }
}

// The body of the ground: earth, snow-covered rock, cave rock, or masonry in the castle
// and the tower. Tiles 3, 8 and the slopes share it, so they join without a seam.
void Body(Image& c, int set, uint32_t colour) {
  if (set == 3) RockStrata(c, colour, 31);
  else if (Styles[set - 1].bricks) Masonry(c, colour, 10, 15, 5, 41);
  else Texture(c, colour, 1, 0.35f);
}

// A block of dressed stone (tiles 11 and 64): two courses of stones, moss on the forest's,
// a glint on each ice block, a rough boulder in the caves, smaller ashlar in the castle.
void StoneBlock(Image& c, int set, const TileStyle& s, int k) {
  if (set == 3) {
    CaveRock(c, s.block, 33 + uint32_t(k), 1.0f);
    BevelEdges(c, 1.25f, 0.7f);
    return;
  }
  if (s.bricks) Masonry(c, s.block, 10, 15, 5, 40 + uint32_t(k));
  else Masonry(c, s.block, 15, 15, 7, 40 + uint32_t(k));
  BevelEdges(c, 1.2f, 0.72f);
  if (set == 1)  // moss on top, hanging a little down the joints
    for (int x = 0; x < 30; ++x) {
      int h = int(1 + 3 * TileNoise(x, 3, 11 + uint32_t(k)));
      for (int y = 0; y < h; ++y) c.Set(x, y, Shade(s.top, y == 0 ? 1.1f : 0.85f - 0.05f * y));
    }
  if (set == 2)  // each ice block catches the light on a short diagonal
    for (int row = 0; row < 2; ++row)
      for (int i = 0; i < 4; ++i) {
        int x0 = (row ? 10 : 3) + i, y0 = row * 15 + 5 - i;
        c.Set(x0, y0, Argb(236, 248, 255));
        c.Set(x0 + 15 > 29 ? x0 - 15 : x0 + 15, y0, Argb(236, 248, 255));
      }
}

// The item pictures drawn by pickup cells (centred in the cell, standing on its floor).
void DrawItem(Image& c, int k, const TileStyle& s, int frame) {
  uint32_t gold = Argb(240, 200, 60), silver = Argb(200, 204, 214), paper = Argb(232, 218, 176);
  switch (k) {
    case 12:  // health potion
      FillEllipse(c, 15, 21, 7, 7, Argb(200, 30, 40));
      FillRect(c, 13, 8, 4, 8, Argb(180, 210, 220));
      FillRect(c, 12, 6, 6, 3, Argb(130, 90, 50));
      Glow(c, 13, 19, 3, Argb(255, 200, 200, 200));
      break;
    case 13:  // quiver / bundle of throwing axes
      FillRect(c, 9, 10, 12, 19, Argb(120, 76, 40));
      for (int i = 0; i < 3; ++i) Line(c, 11 + i * 4, 10, 10 + i * 5, 3, 2, silver);
      FillRect(c, 9, 16, 12, 2, Argb(80, 50, 26));
      break;
    case 14:  // sword in a stone
      FillEllipse(c, 15, 26, 13, 6, Argb(130, 126, 118));
      Line(c, 15, 24, 15, 4, 3, silver);
      Line(c, 10, 9, 20, 9, 2, gold);
      break;
    case 15:  // silver coin
      FillEllipse(c, 15, 20, 7, 7, silver);
      Ring(c, 15, 20, 5, 0.8f, Shade(silver, 0.7f));
      break;
    case 16:  // pile of gold coins
      for (int i = 0; i < 6; ++i) FillEllipse(c, 8 + (i % 3) * 7 + (i / 3) * 3, 25 - (i / 3) * 5, 5, 3, gold);
      break;
    case 20:  // a key lying there
    case 44:  // a key on a pedestal
      if (k == 44) FillRect(c, 8, 20, 14, 10, s.block);
      Ring(c, 9, k == 44 ? 14 : 22, 3.5f, 1.3f, gold);
      Line(c, 12, k == 44 ? 14 : 22, 24, k == 44 ? 14 : 22, 2, gold);
      FillRect(c, 20, k == 44 ? 15 : 23, 2, 4, gold);
      FillRect(c, 23, k == 44 ? 15 : 23, 2, 3, gold);
      break;
    case 22: case 23: case 24: case 25: {  // spell scrolls: Bombe, Holen, Wenden, Schild
      const uint32_t seal[4] = {Argb(230, 90, 40), Argb(80, 140, 240), Argb(90, 200, 90), Argb(240, 210, 80)};
      FillRect(c, 7, 12, 16, 14, paper);
      FillEllipse(c, 7, 19, 2.5f, 7, Shade(paper, 0.85f));
      FillEllipse(c, 23, 19, 2.5f, 7, Shade(paper, 0.85f));
      for (int i = 0; i < 3; ++i) FillRect(c, 10, 15 + i * 3, 10, 1, Argb(120, 100, 80));
      FillEllipse(c, 15, 25, 3, 3, seal[k - 22]);
      break;
    }
    case 27:  // thorn bush
      FillEllipse(c, 15, 22, 13, 9, Shade(s.accent, 0.8f));
      for (int i = 0; i < 8; ++i) {
        float a = Pi + i * Pi / 7;
        Line(c, 15, 24, 15 + 14 * std::cos(a), 24 + 11 * std::sin(a), 1, Argb(200, 190, 150));
      }
      FillEllipse(c, 10, 20, 2, 2, Argb(200, 40, 60));
      break;
    case 48:  // the iron gauntlet relic
      FillRect(c, 6, 24, 18, 6, s.block);
      FillEllipse(c, 15, 16, 7, 8, Argb(168, 172, 190));
      for (int i = 0; i < 4; ++i) FillRect(c, 10 + i * 3, 6, 2, 6, Argb(150, 154, 172));
      Glow(c, 15, 14, 12, Argb(255, 240, 180, 120));
      break;
    case 61: case 79: {  // the golden axe and the fire axe lying there
      uint32_t head = k == 61 ? gold : Argb(220, 80, 40);
      Line(c, 6, 26, 24, 8, 3, Argb(120, 80, 44));
      FillPolygon(c, {{18, 6}, {28, 2}, {28, 16}, {22, 14}}, head);
      if (k == 79) Glow(c, 24, 9, 7 + (frame & 1), Argb(255, 160, 40, 180));
      break;
    }
    default:
      FillEllipse(c, 15, 20, 5, 5, s.accent);
  }
}

// Solid, outlined picture of cell k in frame f of set s (30 x 30, transparent = 0).
Image DrawCell(int set, int k, int f) {
  const TileStyle& s = Styles[set - 1];
  uint32_t seed = uint32_t(set * 1000 + k);
  Image c(30, 30);
  const uint32_t solid = Argb(255, 255, 255);
  Shape shape = ShapeOf(k);
  switch (shape) {
    case Shape::Air: break;
    case Shape::Full:
      FillRect(c, 0, 0, 30, 30, solid);
      if (k == 11 || k == 64) StoneBlock(c, set, s, k);
      else Body(c, set, s.fill);  // castle and tower walls are masonry
      break;
    case Shape::Ground: case Shape::Rough: case Shape::Edge:
      FillRect(c, 0, 0, 30, 30, solid);
      Body(c, set, s.fill);  // joins the body of tile 8 below
      FillRect(c, 0, 0, 30, 6, s.top);
      FillRect(c, 0, 0, 30, 1, Shade(s.top, 1.12f));
      for (int x = 0; x < 30; ++x) FillRect(c, x, 6, 1, int(2 + 3 * TileNoise(x, 0, 5)), Shade(s.top, 0.8f));
      if (shape == Shape::Rough)
        for (int i = 0; i < 4; ++i) FillEllipse(c, 4 + i * 7.5f, 3 + (i & 1) * 2, 3.5f, 2.5f, Shade(s.block, 1.0f + 0.1f * (i & 1)));
      if (shape == Shape::Edge) {  // the surface wraps round the cliff's left (66) or right (67) side
        float e = k == 66 ? 0.0f : 30.0f, d = k == 66 ? 4.0f : -4.0f;
        FillPolygon(c, {{e, 0}, {e + d, 0}, {e + d, 10}, {e, 18}}, Shade(s.top, 0.85f));
      }
      break;
    case Shape::Breakable:
      FillRect(c, 0, 0, 30, 30, solid);
      Texture(c, Shade(s.block, 0.95f), 2, 0.3f);
      BevelEdges(c, 1.3f, 0.65f);
      Cracks(c, seed);
      break;
    case Shape::Hazard: {
      FillRect(c, 0, 0, 30, 30, solid);
      for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
          float w = std::sin((x + f * 7.5f) * Pi / 15 + y * 0.3f) * 0.5f + 0.5f;
          float n = TileNoise(x + f * 7, y, 9);
          c.Set(x, y, Shade(s.hazard, 0.7f + 0.5f * w * n + (y < 4 ? 0.3f : 0)));
        }
      break;
    }
    case Shape::SlopeR: case Shape::SlopeL: {
      bool right = shape == Shape::SlopeR;
      bool rocky = k == 74 || k == 75;  // a bare rock (ice, masonry) ramp instead of earth
      SlopeMask(c, k, right);
      // The body is the very earth of tiles 3 and 8 (same noise), so a slope joins the
      // ground beside and below it without a seam.
      Body(c, set, rocky ? s.block : s.fill);
      for (int x = 0; x < 30; ++x)  // brick mortar must not spill above the surface
        for (int y = 0; y < SlopeTop(k, right, x); ++y) c.Set(x, y, Clear);
      for (int x = 0; x < 30; ++x) {
        int y = SlopeTop(k, right, x);
        if (y >= 30) continue;
        if (rocky) {
          // a lit rim on the rock's face, lighter on the side facing the light
          for (int j = y; j < std::min(30, y + 3); ++j) c.Set(x, j, Shade(s.block, j == y ? 1.35f : 1.15f));
          continue;
        }
        // The surface (grass, snow, moss) is as thick as on tile 3 and follows the slope.
        int band = 6, under = int(2 + 3 * TileNoise(x, 0, 5));
        for (int j = y; j < std::min(30, y + band + under); ++j)
          c.Set(x, j, j == y ? Shade(s.top, 1.12f) : (j < y + band ? s.top : Shade(s.top, 0.8f)));
        if (set == 2 && y + band < 30) c.Set(x, y + band, Argb(200, 230, 255));  // ice: a glossy rim
      }
      break;
    }
    case Shape::Half:
      FillRect(c, 0, 0, 30, 15, solid);
      Texture(c, s.block, 3, 0.3f);
      FillRect(c, 0, 0, 30, 3, s.top);
      BevelEdges(c, 1.25f, 0.7f);
      break;
    case Shape::Plank:
      FillRect(c, 0, 0, 30, 7, Shade(s.wood, 1.0f));
      FillRect(c, 0, 3, 30, 1, Shade(s.wood, 0.8f));
      FillRect(c, 3, 7, 3, 5, Shade(s.wood, 0.7f));
      FillRect(c, 24, 7, 3, 5, Shade(s.wood, 0.7f));
      BevelEdges(c, 1.25f, 0.7f);
      break;
    case Shape::Pillar:
      FillRect(c, 8, 0, 14, 30, solid);
      Texture(c, k == 49 ? s.wood : s.block, 4, 0.3f);
      if (k == 49) FillRect(c, 8, 6, 14, 3, Argb(220, 190, 60));  // the slider stop post
      BevelEdges(c, 1.25f, 0.7f);
      break;
    case Shape::Ladder:
      FillRect(c, 4, 0, 4, 30, s.wood);
      FillRect(c, 22, 0, 4, 30, s.wood);
      for (int y = 3; y < 30; y += 9) FillRect(c, 8, y, 14, 3, Shade(s.wood, 0.9f));
      BevelEdges(c, 1.25f, 0.7f);
      break;
    case Shape::Door:
      FillRect(c, 0, 0, 30, 30, Argb(70, 60, 56));
      FillRect(c, 4, 2, 22, 28, Shade(s.wood, 0.9f));
      for (int x = 9; x < 26; x += 5) FillRect(c, x, 2, 1, 28, Shade(s.wood, 0.6f));
      FillRect(c, 4, 8, 22, 2, Argb(60, 60, 66));
      FillRect(c, 4, 22, 22, 2, Argb(60, 60, 66));
      FillRect(c, 17, 13, 6, 7, Argb(220, 190, 70));  // the lock
      FillRect(c, 19, 15, 2, 3, Argb(30, 20, 10));
      BevelEdges(c, 1.2f, 0.7f);
      break;
    case Shape::Bricks:
      FillRect(c, 0, 0, 30, 30, solid);
      Texture(c, k == 57 ? s.wood : s.block, uint32_t(k % 3), 0.3f);
      if (k == 57) {  // a crate
        FrameRect(c, 0, 0, 30, 30, Shade(s.wood, 0.6f));
        Line(c, 1, 1, 28, 28, 2, Shade(s.wood, 0.7f));
      } else if (set == 1) {  // the forest builds with logs: three stacked trunks
        for (int row = 0; row < 3; ++row)
          for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 30; ++x) {
              float lit = y == 0 ? 1.25f : (y >= 8 ? 0.6f : 1.0f - 0.03f * y);
              float grain = 0.08f * std::sin(x * 0.9f + row * 2.0f + TileNoise(x, y + row * 10, 7) * 4);
              c.Set(x, row * 10 + y, Shade(s.wood, lit + grain));
            }
        Ring(c, k % 2 ? 5.0f : 24.0f, 15, 2.5f, 0.8f, Shade(s.wood, 0.6f));  // a knot
      } else if (set == 3) {  // the cave stacks rough boulders, not dressed stone
        FillRect(c, 0, 14, 30, 1, Shade(s.block, 0.5f));
        FillRect(c, 0, 29, 30, 1, Shade(s.block, 0.5f));
        FillRect(c, 9 + k % 5, 0, 1, 14, Shade(s.block, 0.5f));
        FillRect(c, 22 - k % 4, 15, 1, 14, Shade(s.block, 0.5f));
        BevelEdges(c, 1.15f, 0.8f);
      } else {
        BrickLines(c, Shade(s.block, 0.55f));
      }
      if (k == 70) {  // a torch on the wall
        FillRect(c, 13, 14, 4, 10, s.wood);
        Glow(c, 15, 10, 9 + float(f % 2) * 2, Argb(255, 180, 60, 230));
        FillEllipse(c, 15, 11 - float(f % 2), 3, 4.5f, Argb(255, 230, 120));
      }
      break;
    case Shape::Gold: {
      // Treasure and crystals shine (yellow on the small map): chests, ore, crystal clusters.
      bool chest = k == 17 || k == 18;
      if (chest) {
        FillRect(c, 2, 12, 26, 18, Argb(140, 90, 42));
        FillEllipse(c, 15, 13, 13, 6, Argb(156, 100, 46));
        FillRect(c, 2, 13, 26, 2, Argb(230, 190, 60));
        FillRect(c, 13, 16, 5, 6, Argb(240, 200, 70));
      } else {
        // Gems in a colour that stands out against the set; ore (50..53) is gold in the rock.
        const uint32_t gems[5] = {Argb(90, 230, 160), Argb(170, 230, 255), Argb(190, 120, 250),
                                  Argb(235, 70, 90), Argb(200, 120, 255)};
        uint32_t gem = k >= 50 ? Argb(240, 200, 60) : gems[set - 1];
        if (k >= 50) {
          FillRect(c, 0, 0, 30, 30, s.fill);
          Body(c, set, s.fill);
          for (int i = 0; i < 4; ++i) {  // nuggets in a vein across the rock
            float x = 5 + i * 7 + (k % 2) * 2, y = 8 + ((i * 7 + k) % 13);
            FillPolygon(c, {{x - 3, y}, {x, y - 3}, {x + 3, y}, {x, y + 3}}, Shade(gem, 0.85f + 0.1f * (i % 2)));
            c.Set(int(x) - 1, int(y) - 1, Argb(255, 250, 210));
          }
        } else if (k == 28) {  // a stack of gold bars
          for (int i = 0; i < 3; ++i)
            FillPolygon(c, {{3.0f + i * 8, 29}, {5.0f + i * 8, 23}, {11.0f + i * 8, 23}, {13.0f + i * 8, 29}}, Argb(240, 200, 60));
          for (int i = 0; i < 2; ++i)
            FillPolygon(c, {{7.0f + i * 8, 23}, {9.0f + i * 8, 17}, {15.0f + i * 8, 17}, {17.0f + i * 8, 23}}, Argb(250, 214, 80));
          FillPolygon(c, {{11, 17}, {13, 11}, {19, 11}, {21, 17}}, Argb(255, 226, 100));
        } else if (k == 30) {  // one large cut gem on a stone
          FillEllipse(c, 15, 27, 11, 4, s.block);
          FillPolygon(c, {{7, 14}, {11, 9}, {19, 9}, {23, 14}, {15, 25}}, gem);
          FillPolygon(c, {{7, 14}, {11, 9}, {15, 14}, {15, 25}}, Shade(gem, 1.2f));
          FillPolygon(c, {{15, 14}, {19, 9}, {23, 14}, {15, 25}}, Shade(gem, 0.75f));
        } else {  // a crystal cluster, lit on its left faces
          for (int i = 0; i < 3; ++i) {
            float x = 7 + i * 8, h = 12 + (i == 1 ? 8 : 0);
            FillPolygon(c, {{x - 4, 30}, {x, 30 - h}, {x + 4, 30}}, Shade(gem, 0.8f));
            FillPolygon(c, {{x - 4, 30}, {x, 30 - h}, {x, 30}}, Shade(gem, 1.15f));
          }
        }
      }
      // The shine moves along the frames.
      float sx = 6 + f * 6, sy = chest ? 14.0f : 16.0f;
      Glow(c, sx, sy, 4, Argb(255, 255, 230, 220));
      BevelEdges(c, 1.2f, 0.75f);
      break;
    }
    case Shape::Item: DrawItem(c, k, s, f); break;
  }
  if (shape != Shape::Item && shape != Shape::Hazard && shape != Shape::Air)
    if (set == 2 && (shape == Shape::Ground || shape == Shape::Rough))  // ice: a glossy rim
      FillRect(c, 0, 6, 30, 1, Argb(200, 230, 255));
  HardenAlpha(c, 100);
  if (shape == Shape::Item || shape == Shape::Gold || shape == Shape::Ladder || shape == Shape::Plank)
    Outline(c, Ink);
  AvoidPureBlack(c);
  if (k == 28) FireHeap(c, Image(c), f);
  return c;
}

bool Animated(int k) {
  Shape s = ShapeOf(k);
  return s == Shape::Hazard || s == Shape::Gold || k == 70 || k == 79;
}

// The 30 x 50 frame: overhang above (grass tufts, snow caps, icicles below for ice).
Image DrawTileFrame(int set, int k, int f) {
  const TileStyle& s = Styles[set - 1];
  Image fr(30, 50);
  Image cell = DrawCell(set, k, f);
  Blit(fr, cell, 0, 10);
  Shape shape = ShapeOf(k);
  if (shape == Shape::Ground || shape == Shape::Rough) {
    Rng r(uint32_t(k * 7 + set));
    for (int i = 0; i < 6; ++i) {
      float x = 2 + i * 5 + r.Unit() * 2;
      if (set == 1)
        Line(fr, x, 10, x + (r.Unit() - 0.5f) * 3, 10 - 2 - r.Unit() * 5, 1, Shade(s.top, 0.9f + r.Unit() * 0.3f));
      else if (set == 2)
        FillEllipse(fr, x, 10, 3, 1.5f + r.Unit(), s.top);
      else if (set == 3)
        FillRect(fr, int(x), 8, 2, 2, Shade(s.top, 1.1f));
    }
  }
  AvoidPureBlack(fr);
  return fr;
}

// Front layer: mostly transparent; grass blades in front of the feet on forest ground,
// icicles under ice ledges, a few pebbles in the cave.
Image DrawFrontFrame(int set, int k, int f) {
  Image fr(30, 30);
  Shape shape = ShapeOf(k);
  const TileStyle& s = Styles[set - 1];
  if (set == 1 && k == 3)
    for (int i = 0; i < 4; ++i) {
      float x = 3 + i * 8, sway = ((f + i) % 4 < 2) ? 1.0f : -1.0f;
      Line(fr, x, 6, x + sway, 0, 1, Shade(s.top, 1.15f));
    }
  if (set == 2 && (shape == Shape::Half || shape == Shape::Plank))
    for (int i = 0; i < 3; ++i) FillPolygon(fr, {{4.0f + i * 10, 0}, {7.0f + i * 10, 0}, {5.5f + i * 10, 8.0f + i * 2}}, Argb(210, 236, 255, 200));
  if (k == 27)
    for (int i = 0; i < 3; ++i) Line(fr, 6 + i * 9, 0, 8 + i * 9, -6, 1, Shade(s.accent, 0.7f));
  AvoidPureBlack(fr);
  return fr;
}

// What the back layer shows, per set: the walls, windows, trunks, back rock, masonry and
// curtains behind the play field.
// The maps of the forest and the ice grow their trees from trunk cells (104) under crown
// cells (109), the crowns laid out as a broad cross; the caves back their chambers with
// deep rock (110).
enum class Back { Wall, Window, Trunk, Crown, Masonry, Curtain, Cracked, Hollow, Patches, Planks,
                  Foliage, Roots, Columns, Streaks, Glow, Beams, Banner, Chain, Arch, Deep };

const Back BackKinds[5][10] = {
    {Back::Wall, Back::Foliage, Back::Trunk, Back::Planks, Back::Window, Back::Roots, Back::Patches,
     Back::Crown, Back::Foliage, Back::Hollow},                                     // forest
    {Back::Wall, Back::Masonry, Back::Trunk, Back::Glow, Back::Streaks, Back::Cracked, Back::Hollow,
     Back::Crown, Back::Columns, Back::Wall},                                       // ice
    {Back::Wall, Back::Cracked, Back::Columns, Back::Glow, Back::Hollow, Back::Streaks, Back::Beams,
     Back::Patches, Back::Deep, Back::Wall},                                        // cave
    {Back::Masonry, Back::Window, Back::Columns, Back::Curtain, Back::Banner, Back::Arch, Back::Beams,
     Back::Cracked, Back::Masonry, Back::Chain},                                    // castle
    {Back::Masonry, Back::Window, Back::Chain, Back::Curtain, Back::Glow, Back::Arch, Back::Columns,
     Back::Cracked, Back::Wall, Back::Banner},                                      // dark tower
};

// The needles of the trees in the back layer: the nearest firs of the far background, a
// little richer, so a tree in front of the forest is one of its firs come closer.
FirColours TreeNeedles(int set) {
  if (set == 2) return {Argb(84, 128, 124), Argb(54, 96, 100), Argb(34, 68, 80), Argb(240, 248, 252), true};
  return {Argb(104, 152, 58), Argb(64, 114, 46), Argb(38, 80, 36), 0, false};
}

// A crown cell: leaf clumps packed to the cell's edges, each lit on its top left, the
// lower ones in front, so crown cells side by side and above each other grow into one
// round, bumpy canopy; only the corners stay open. The ice set's clumps carry snow.
void LeafCrown(Image& c, int set, int k) {
  FirColours fc = TreeNeedles(set);
  uint32_t deep = Shade(fc.dark, 0.7f);
  const float centres[9][2] = {{8, 8}, {15, 3}, {22, 8}, {3, 15}, {15, 15}, {27, 15}, {8, 22}, {15, 27}, {22, 22}};
  Rng r(uint32_t(set * 31 + k));
  for (auto& cc : centres) {
    float cx = cc[0] + (r.Unit() - 0.5f) * 2, cy = cc[1] + (r.Unit() - 0.5f) * 2;
    bool corner = cc[0] != 15 && cc[1] != 15;
    float rad = corner ? 6.0f : (cc[0] == 15 && cc[1] == 15 ? 8.0f : 8.0f);
    for (int y = int(cy - rad); y <= int(cy + rad); ++y)
      for (int x = int(cx - rad); x <= int(cx + rad); ++x) {
        float dx = (x + 0.5f - cx) / rad, dy = (y + 0.5f - cy) / rad, d = std::sqrt(dx * dx + dy * dy);
        float bump = 0.12f * std::sin(std::atan2(dy, dx) * 5 + cx);  // a ragged leafy rim
        if (d > 1 + bump || !c.Inside(x, y)) continue;
        float light = 0.55f - 0.45f * (dx + dy) - 0.35f * d + (Hash01(x, y, uint32_t(k)) - 0.5f) * 0.45f;
        uint32_t col = light > 0.75f ? fc.light : (light > 0.3f ? fc.mid : (light > -0.1f ? fc.dark : deep));
        if (set == 2 && dy < -0.35f && light > 0.4f) col = fc.snow;
        c.Set(x, y, col);
      }
  }
  Image shape = c;  // a dark rim where the leaves end inside the cell
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x)
      if (AlphaOf(shape.Get(x, y)) && ((x > 0 && !AlphaOf(shape.Get(x - 1, y))) ||
                                       (x < 29 && !AlphaOf(shape.Get(x + 1, y))) ||
                                       (y > 0 && !AlphaOf(shape.Get(x, y - 1))) ||
                                       (y < 29 && !AlphaOf(shape.Get(x, y + 1)))))
        c.Set(x, y, deep);
}

// A trunk cell: a straight trunk with bark plates and dark fissures, lit on its left;
// the ice set's trunks are greyer and carry rime on the lit side.
void BarkTrunk(Image& c, int set, int k) {
  uint32_t bark = set == 2 ? Argb(96, 86, 80) : Argb(96, 68, 44);
  for (int y = 0; y < 30; ++y)
    for (int x = 8; x <= 21; ++x) {
      float across = (x - 8) / 13.0f;  // 0 at the lit edge
      float light = 1.25f - 0.75f * across;
      float plate = Hash01(x / 3, (y + (x / 3) * 7) / 6, uint32_t(k));
      bool fissure = (x % 3 == 0 && Hash01(x, y / 4, uint32_t(k) + 5) > 0.35f) ||
                     ((y + (x / 3) * 7) % 6 == 0 && plate > 0.6f);
      float f = fissure ? 0.55f : light + (plate - 0.5f) * 0.2f;
      uint32_t col = Shade(bark, 1 + Banded(f - 1, x, y, 0.15f));
      if (set == 2 && x < 11 && Hash01(x, y, 9) > 0.45f) col = Argb(210, 222, 234);
      c.Set(x, y, col);
    }
}

// Back-layer tile k (102..200): drawn at full strength, then pushed back: darker and with
// less contrast than anything solid in front, so walls and scenery are never confused.
// Trees keep their outline: the far background shows round them.
Image DrawBackTile(int set, int k) {
  const TileStyle& s = Styles[set - 1];
  Image c(30, 30);
  uint32_t base = s.back;
  Back kind = BackKinds[set - 1][(k - 102) % 10];
  if (kind == Back::Crown || kind == Back::Trunk) {
    if (kind == Back::Crown) LeafCrown(c, set, k);
    else BarkTrunk(c, set, k);
    float dim = k > 130 ? 0.85f : 1.0f;
    for (auto& p : c.px)
      if (AlphaOf(p)) p = Shade(p, dim);
    AvoidPureBlack(c);
    return c;
  }
  Rng r(uint32_t(set * 977 + k));
  FillRect(c, 0, 0, 30, 30, base);
  Texture(c, base, uint32_t(k % 4) + 20, 0.3f);
  uint32_t hole = Shade(base, 0.45f);
  uint32_t sky = Mix(s.top, Argb(255, 240, 200), 0.4f);
  switch (kind) {
    case Back::Wall: break;
    case Back::Window:  // an arched window with light behind it
      FillRect(c, 9, 9, 12, 17, Shade(base, 1.5f));
      FillEllipse(c, 15, 9, 6, 5, Shade(base, 1.5f));
      FillRect(c, 10, 10, 10, 15, Mix(hole, sky, 0.6f));
      FillEllipse(c, 15, 10, 5, 4, Mix(hole, sky, 0.6f));
      FillRect(c, 14, 6, 2, 19, Shade(base, 1.2f));
      FillRect(c, 10, 16, 10, 2, Shade(base, 1.2f));
      break;
    case Back::Trunk: case Back::Crown: break;  // drawn above
    case Back::Deep:  // the rock at the back of a chamber: boulders deep in shadow
      CaveRock(c, Shade(base, 1.3f), 37, 1.0f);
      break;
    case Back::Masonry: BrickLines(c, Shade(base, 0.6f)); break;
    case Back::Curtain:  // folds of a heavy curtain
      for (int x = 0; x < 30; ++x) {
        float fold = 0.75f + 0.3f * std::sin(x * Pi / 5);
        FillRect(c, x, 0, 1, 30, Shade(s.accent, 0.5f * fold));
      }
      FillRect(c, 0, 0, 30, 3, Shade(s.wood, 0.8f));
      break;
    case Back::Cracked: Cracks(c, uint32_t(k)); Cracks(c, uint32_t(k * 3 + 1)); break;
    case Back::Hollow:  // a dark hole in the rock or earth
      FillEllipse(c, 15, 17, 10, 9, Shade(base, 1.25f));
      FillEllipse(c, 15, 18, 8.5f, 7.5f, hole);
      break;
    case Back::Patches:  // moss or frost patches
      for (int i = 0; i < 5; ++i)
        FillEllipse(c, 3 + r.Unit() * 24, 3 + r.Unit() * 24, 3 + r.Unit() * 2, 2 + r.Unit(), Shade(s.top, 0.6f));
      break;
    case Back::Planks:  // the plank wall of a hut
      FillRect(c, 0, 0, 30, 30, Shade(s.wood, 0.7f));
      for (int x = 0; x < 30; x += 10) FillRect(c, x, 0, 1, 30, Shade(s.wood, 0.45f));
      FillRect(c, 0, 12, 30, 2, Shade(s.wood, 0.5f));
      FillEllipse(c, 5 + (k % 3) * 10, 13, 1, 1, Argb(150, 150, 150));
      break;
    case Back::Foliage:  // dense leaves
      for (int i = 0; i < 14; ++i)
        FillEllipse(c, r.Unit() * 30, r.Unit() * 30, 4 + r.Unit() * 3, 3 + r.Unit() * 2,
                    Shade(s.accent, 0.45f + r.Unit() * 0.25f));
      break;
    case Back::Roots:  // roots crawling through the earth
      for (int i = 0; i < 3; ++i) {
        float x = 4 + i * 10 + r.Unit() * 4;
        Line(c, x, 0, x + (r.Unit() - 0.5f) * 10, 30, 2, Shade(s.wood, 0.6f));
        Line(c, x, 10, x + 6, 18, 1, Shade(s.wood, 0.55f));
      }
      break;
    case Back::Columns:  // a pillar or a dripstone column
      FillRect(c, 8, 0, 14, 30, Shade(s.block, 0.75f));
      FillRect(c, 8, 0, 3, 30, Shade(s.block, 0.9f));
      FillRect(c, 19, 0, 3, 30, Shade(s.block, 0.6f));
      if (set != 3) FillRect(c, 6, 0, 18, 3, Shade(s.block, 0.85f));
      break;
    case Back::Streaks:  // a frozen waterfall, water trickling down rock
      for (int x = 2; x < 30; x += 5) FillRect(c, x + int(r.Unit() * 2), 0, 2, 30, Mix(base, s.hazard, 0.35f + 0.1f * (x % 2)));
      break;
    case Back::Glow:  // a glowing crystal vein, ice crystal or rune
      Line(c, 4, 26, 14, 12, 2, Shade(s.accent, 0.8f));
      Line(c, 14, 12, 26, 6, 2, Shade(s.accent, 0.8f));
      Glow(c, 14, 12, 9, WithAlpha(s.accent, 110));
      break;
    case Back::Beams:  // wooden supports
      FillRect(c, 3, 0, 5, 30, Shade(s.wood, 0.7f));
      FillRect(c, 22, 0, 5, 30, Shade(s.wood, 0.7f));
      FillRect(c, 0, 3, 30, 5, Shade(s.wood, 0.8f));
      Line(c, 8, 8, 22, 20, 3, Shade(s.wood, 0.6f));
      break;
    case Back::Banner:  // a hanging banner with an emblem
      FillPolygon(c, {{8, 0}, {22, 0}, {22, 27}, {15, 22}, {8, 27}}, Shade(s.accent, 0.7f));
      FillEllipse(c, 15, 11, 3.5f, 3.5f, Argb(200, 170, 70));
      break;
    case Back::Chain:  // a chain on the wall
      for (int y = 0; y < 30; y += 6) Ring(c, 15, float(y) + 3, 2.5f, 1, Argb(120, 120, 135));
      break;
    case Back::Arch:  // a dark doorway
      FillRect(c, 6, 10, 18, 20, Shade(base, 1.3f));
      FillEllipse(c, 15, 10, 9, 8, Shade(base, 1.3f));
      FillRect(c, 8, 11, 14, 19, hole);
      FillEllipse(c, 15, 11, 7, 6, hole);
      break;
  }
  // Past the main walls (131 on) the free tiles are shifted versions a shade darker.
  float dim = k > 130 ? 0.85f : 1.0f;
  // Pushed back: half-way to the base colour (less contrast), then darker.
  for (auto& p : c.px) p = Shade(Mix(p, base, 0.4f), 0.8f * dim) | 0xFF000000u;
  AvoidPureBlack(c);
  return c;
}
// Overlays 1..20, each its own picture hanging from the top of the cell or lying on its floor.
void DrawOverlayKind(Image& c, int set, int kind, Rng& r) {
  const TileStyle& s = Styles[set - 1];
  uint32_t leaf = set == 5 ? Shade(s.accent, 0.8f) : (set == 2 ? Argb(90, 130, 110) : Argb(70, 140, 50));
  uint32_t web = Argb(230, 230, 240, 150), ice = Argb(210, 236, 255, 220), iron = Argb(125, 125, 138);
  switch (kind) {
    case 1:  // vines: two strands with leaves
      for (int i = 0; i < 2; ++i) {
        float x = 6 + i * 14 + r.Unit() * 4;
        Line(c, x, 0, x + 3, 30, 1.5f, Shade(leaf, 0.7f));
        for (int y = 4; y < 30; y += 6) FillEllipse(c, x + (y % 4 ? 3.0f : -1.0f), float(y), 2.5f, 1.5f, leaf);
      }
      break;
    case 2:  // hanging moss, a ragged beard
      for (int x = 1; x < 30; x += 3)
        Line(c, float(x), 0, float(x) + r.Unit() * 2 - 1, 5 + r.Unit() * 18, 2, WithAlpha(Shade(leaf, 0.6f + r.Unit() * 0.3f), 220));
      break;
    case 3:  // cobweb in the top-left corner
      for (int i = 0; i < 5; ++i) Line(c, 0, 0, 30 * std::cos(i * Pi / 8), 30 * std::sin(i * Pi / 8), 1, web);
      for (int i = 1; i < 4; ++i) Ring(c, 0, 0, i * 7.0f, 0.6f, web);
      break;
    case 4:  // cobweb in the top-right corner
      for (int i = 0; i < 5; ++i) Line(c, 29, 0, 29 - 30 * std::cos(i * Pi / 8), 30 * std::sin(i * Pi / 8), 1, web);
      for (int i = 1; i < 4; ++i) Ring(c, 29, 0, i * 7.0f, 0.6f, web);
      break;
    case 5:  // a row of icicles; in the caves, dripstones with a drop at the longest
      if (set == 3) {
        for (int x = 4; x < 30; x += 8) {
          float len = 9 + r.Unit() * 15, w = 3 + r.Unit();
          FillPolygon(c, {{x - w, 0}, {x + w, 0}, {x + 0.5f, len}}, Shade(s.block, 0.8f));
          FillPolygon(c, {{x - w, 0}, {x - w * 0.3f, 0}, {x + 0.2f, len - 2}}, Shade(s.block, 1.1f));
          FillRect(c, int(x - w), 0, int(2 * w + 1), 2, Shade(s.block, 0.6f));
          if (x == 12) FillEllipse(c, x + 0.5f, len + 3, 1, 1.5f, Argb(150, 200, 240, 230));
        }
        Outline(c, Argb(30, 26, 26));
        break;
      }
      for (int x = 3; x < 30; x += 6)
        FillPolygon(c, {{float(x) - 2.5f, 0}, {float(x) + 2.5f, 0}, {float(x), 8 + r.Unit() * 14}}, ice);
      break;
    case 6:  // a hanging chain
      for (int y = 0; y < 30; y += 5) {
        if ((y / 5) % 2) FillRect(c, 14, y, 2, 6, iron);
        else Ring(c, 15, float(y) + 2.5f, 2.5f, 0.9f, iron);
      }
      break;
    case 7:  // rays of light falling in from the upper left
      FillPolygon(c, {{4, 0}, {12, 0}, {24, 30}, {14, 30}}, Argb(255, 244, 200, 55));
      FillPolygon(c, {{15, 0}, {19, 0}, {30, 22}, {30, 30}}, Argb(255, 244, 200, 35));
      break;
    case 8:  // roots hanging from the ceiling
      for (int i = 0; i < 3; ++i) {
        float x = 5 + i * 10 + r.Unit() * 3, y = 10 + r.Unit() * 12;
        Line(c, x, 0, x + 2, y, 2, Shade(s.wood, 0.7f));
        Line(c, x + 2, y, x - 1, y + 6, 1, Shade(s.wood, 0.6f));
        Line(c, x + 1, y * 0.5f, x + 5, y * 0.5f + 5, 1, Shade(s.wood, 0.6f));
      }
      break;
    case 9:  // a banner
      FillRect(c, 4, 0, 22, 2, Shade(s.wood, 0.9f));
      FillPolygon(c, {{7, 2}, {23, 2}, {23, 28}, {15, 22}, {7, 28}}, set == 4 ? s.accent : Shade(s.accent, 0.8f));
      FillRect(c, 7, 4, 16, 1, Argb(220, 190, 80));
      FillEllipse(c, 15, 12, 3.5f, 3.5f, Argb(230, 200, 80));
      break;
    case 10:  // drips falling from the ceiling
      for (int i = 0; i < 3; ++i) {
        float x = 6 + i * 9 + r.Unit() * 3, y = 4 + r.Unit() * 18;
        FillEllipse(c, x, 1, 2, 1.5f, Argb(150, 200, 240, 200));
        FillEllipse(c, x, y, 1.3f, 2, Argb(150, 200, 240, 220));
      }
      break;
    case 11:  // a cluster of leaves hanging over the edge
      for (int i = 0; i < 9; ++i)
        FillEllipse(c, 3 + r.Unit() * 24, r.Unit() * 9, 4, 2.5f, Shade(leaf, 0.75f + r.Unit() * 0.4f));
      break;
    case 12:  // a single long vine with flowers
      Line(c, 15, 0, 12, 15, 1.5f, Shade(leaf, 0.7f));
      Line(c, 12, 15, 16, 30, 1.5f, Shade(leaf, 0.7f));
      for (int y = 6; y < 30; y += 8) FillEllipse(c, 12 + (y % 16 ? 2.0f : -2.0f), float(y), 2, 2, Argb(235, 150, 190));
      break;
    case 13:  // a chain ending in a hook
      for (int y = 0; y < 18; y += 5) Ring(c, 15, float(y) + 2.5f, 2.5f, 0.9f, iron);
      Ring(c, 15, 23, 4, 1.2f, iron);
      FillRect(c, 10, 18, 6, 5, Clear);
      break;
    case 14:  // a broad soft shaft of light from above
      for (int y = 0; y < 30; ++y)
        for (int x = 8; x < 22; ++x) {
          float edge = 1.0f - std::fabs(x - 14.5f) / 7.0f;
          Plot(c, x, y, Argb(255, 240, 200, int(60 * edge * (1 - y / 40.0f))));
        }
      break;
    case 15:  // a spider on its thread
      Line(c, 16, 0, 16, 16, 1, web);
      FillEllipse(c, 16, 19, 3, 3.5f, Argb(40, 32, 30));
      for (int i = 0; i < 4; ++i) {
        Line(c, 16, 18 + i, 10, 15 + i * 2.5f, 1, Argb(40, 32, 30));
        Line(c, 16, 18 + i, 22, 15 + i * 2.5f, 1, Argb(40, 32, 30));
      }
      break;
    case 16:  // small stalactites (frozen in the ice set, dark stone in the tower)
      for (int x = 4; x < 30; x += 9) {
        float h = 8 + r.Unit() * 10;
        FillPolygon(c, {{float(x) - 3.5f, 0}, {float(x) + 3.5f, 0}, {float(x), h}}, set == 2 ? ice : Shade(s.block, 1.05f));
        FillPolygon(c, {{float(x) - 3.5f, 0}, {float(x), 0}, {float(x), h}}, set == 2 ? Argb(240, 250, 255, 230) : Shade(s.block, 1.25f));
      }
      break;
    case 17:  // a lantern on a chain
      Line(c, 15, 0, 15, 10, 1, iron);
      FillRect(c, 11, 10, 8, 11, Argb(70, 60, 50));
      FillRect(c, 12, 12, 6, 7, Argb(255, 210, 110));
      Glow(c, 15, 15, 12, Argb(255, 200, 100, 120));
      break;
    case 18:  // a round web in the middle
      for (int i = 0; i < 8; ++i) Line(c, 15, 15, 15 + 15 * std::cos(i * Pi / 4), 15 + 15 * std::sin(i * Pi / 4), 1, web);
      for (int i = 1; i < 4; ++i) Ring(c, 15, 15, i * 4.0f, 0.5f, web);
      break;
    case 19:  // grass tufts or frost on the floor
      for (int i = 0; i < 7; ++i) {
        float x = 2 + i * 4 + r.Unit() * 2;
        Line(c, x, 30, x + (r.Unit() - 0.5f) * 4, 22 - r.Unit() * 5, 1, set == 2 ? ice : Shade(leaf, 0.8f + r.Unit() * 0.4f));
      }
      break;
    default:  // 20: fireflies or glowing motes
      for (int i = 0; i < 5; ++i) {
        float x = 3 + r.Unit() * 24, y = 3 + r.Unit() * 24;
        Glow(c, x, y, 3, WithAlpha(set == 5 ? s.accent : Argb(240, 240, 140), 200));
        c.Set(int(x), int(y), set == 5 ? Argb(230, 190, 255) : Argb(255, 255, 200));
      }
  }
}

// Overlay 200 + n: 1..20 their own pictures, then floor decorations (leaves, flowers,
// pebbles, mushrooms, bones, crystals ...) and mirrored variants of the hanging ones.
Image DrawOverlay(int set, int n) {
  const TileStyle& s = Styles[set - 1];
  Image c(30, 30);
  Rng r(uint32_t(set * 100 + n));
  if (n <= 20) {
    DrawOverlayKind(c, set, n, r);
  } else if (n % 3 == 0) {
    DrawOverlayKind(c, set, 1 + (n / 3) % 20, r);  // a hanging one, drawn again mirrored
    c = FlipHorizontal(c);
  } else {
    switch (n % 8) {
      case 0:  // fallen leaves, snow flakes
        for (int i = 0; i < 5; ++i) FillEllipse(c, 3 + r.Unit() * 24, 22 + r.Unit() * 7, 2.5f, 1.5f, Shade(s.accent, 0.8f + r.Unit() * 0.4f));
        break;
      case 1:  // flowers
        for (int i = 0; i < 3; ++i) {
          float x = 5 + i * 9 + r.Unit() * 3;
          Line(c, x, 30, x, 22, 1, Argb(70, 120, 50));
          FillEllipse(c, x, 21, 2, 2, i == 1 ? Argb(240, 220, 90) : Argb(230, 120, 160));
        }
        break;
      case 2:  // pebbles
        for (int i = 0; i < 4; ++i) FillEllipse(c, 4 + i * 7 + r.Unit() * 2, 27, 3, 2, Shade(s.block, 0.9f + 0.1f * i));
        break;
      case 3:  // mushrooms
        FillRect(c, 13, 22, 4, 8, Argb(230, 220, 200));
        FillEllipse(c, 15, 22, 7, 4, set == 5 ? s.accent : Argb(200, 60, 50));
        FillEllipse(c, 13, 21, 1.2f, 1, Argb(250, 240, 230));
        break;
      case 4:  // bones
        Line(c, 6, 28, 20, 25, 2, Argb(225, 218, 196));
        FillEllipse(c, 22, 25, 4, 3.5f, Argb(225, 218, 196));
        FillRect(c, 20, 24, 2, 2, Argb(60, 50, 40));
        break;
      case 5:  // small crystals
        for (int i = 0; i < 2; ++i)
          FillPolygon(c, {{9.0f + i * 10, 30}, {12.0f + i * 10, 20 - i * 3.0f}, {15.0f + i * 10, 30}}, Shade(s.accent, 1.1f));
        break;
      case 6:  // a fern
        for (int i = 0; i < 5; ++i) Line(c, 15, 30, 15 + (i - 2) * 5, 20 - std::abs(i - 2) * -2.0f, 1, Argb(80, 140, 60));
        break;
      default:  // a grass tuft
        DrawOverlayKind(c, set, 19, r);
    }
  }
  AvoidPureBlack(c);
  return c;
}

}  // namespace

PackFiles MakeTilesPack() {
  PackFiles pack;
  Image sheets[kw::TilesPak::SetCount];
  for (int set = 1; set <= kw::TilesPak::SetCount; ++set) {
    Image strip(120, 4000), front(120, 2400), sheet(3000, 90);
    for (int k = 1; k <= 80; ++k) {
      Image still = DrawTileFrame(set, k, 0);
      Image stillFront = DrawFrontFrame(set, k, 0);
      for (int f = 0; f < 4; ++f) {
        bool anim = Animated(k);
        Blit(strip, anim && f ? DrawTileFrame(set, k, f) : still, 30 * f, (k - 1) * 50);
        Blit(front, (set == 1 && k == 3) ? DrawFrontFrame(set, k, f) : stillFront, 30 * f, (k - 1) * 30);
      }
      Blit(sheet, DrawCell(set, k, 0), (k - 1) * 30, 0);
    }
    for (int k = 102; k <= 200; ++k) Blit(sheet, DrawBackTile(set, k), (k - 101) * 30, 30);
    for (int n = 1; n <= 81; ++n) Blit(sheet, DrawOverlay(set, n), (n - 1) * 30, 60);
    pack.push_back(EncodePng(strip));
    pack.push_back(EncodePng(front));
    sheets[set - 1] = sheet;
  }
  // The spare entries (10 and 11) are read past by the loader: two small pictures.
  static_assert(kw::TilesPak::SpareEntries == 2);
  pack.push_back(EncodePng(DrawCell(1, 3, 0)));
  pack.push_back(EncodePng(DrawCell(4, 47, 0)));
  for (auto& sheet : sheets) pack.push_back(EncodePng(sheet));
  return pack;
}

}  // namespace kwgen
