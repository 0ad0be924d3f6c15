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
    {Argb(96, 112, 134), Argb(236, 242, 250), Argb(150, 204, 236), Argb(120, 104, 92), Argb(190, 230, 255),
     Argb(70, 150, 220), Argb(70, 90, 116), false},
    // cave: rock, moss, dripstone, old wood, crystals, underground water
    {Argb(92, 82, 76), Argb(110, 120, 80), Argb(120, 108, 98), Argb(110, 80, 50), Argb(160, 100, 230),
     Argb(50, 110, 170), Argb(46, 40, 40), false},
    // castle: masonry, flagstones, ashlar, beams, red banners, lava
    {Argb(128, 118, 104), Argb(168, 158, 140), Argb(150, 140, 124), Argb(124, 82, 44), Argb(170, 36, 40),
     Argb(240, 110, 30), Argb(70, 64, 60), true},
    // dark tower: black stone, violet glow, chains, dark wood, violet, lava
    {Argb(46, 42, 56), Argb(130, 70, 190), Argb(60, 56, 72), Argb(70, 54, 50), Argb(170, 90, 240),
     Argb(200, 60, 230), Argb(30, 28, 38), true},
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

// Fills the opaque pixels of a 30 x 30 cell with colour textured by tile noise.
void Texture(Image& cell, uint32_t colour, uint32_t seed, float amount) {
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x)
      if (AlphaOf(cell.Get(x, y))) {
        float n = TileNoise(x, y, seed) - 0.5f + Bayer(x, y) * 0.15f;
        cell.Set(x, y, Shade(colour, 1 + amount * n));
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

// The solid outline of a slope: rising to the right when right is true.
void SlopeMask(Image& cell, int k, bool right) {
  float lowY = 30, highY = 0;
  if (k == 33 || k == 34) highY = 15;          // gentle lower half
  else if (k == 39 || k == 40) lowY = 15;      // gentle upper half
  float leftY = right ? lowY : highY, rightY = right ? highY : lowY;
  FillPolygon(cell, {{0, leftY}, {30, rightY}, {30, 30}, {0, 30}}, Argb(255, 255, 255));
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
      Texture(c, k == 11 || k == 64 ? s.block : s.fill, seed % 3, 0.35f);
      if (s.bricks) BrickLines(c, Shade(s.fill, 0.6f));  // castle and tower walls are masonry
      break;
    case Shape::Ground: case Shape::Rough: case Shape::Edge:
      FillRect(c, 0, 0, 30, 30, solid);
      Texture(c, s.fill, 1, 0.35f);
      FillRect(c, 0, 0, 30, 6, s.top);
      for (int x = 0; x < 30; ++x) FillRect(c, x, 6, 1, int(2 + 3 * TileNoise(x, 0, 5)), Shade(s.top, 0.8f));
      if (shape == Shape::Rough)
        for (int i = 0; i < 4; ++i) FillEllipse(c, 4 + i * 7.5f, 3 + (i & 1) * 2, 3.5f, 2.5f, Shade(s.block, 1.0f + 0.1f * (i & 1)));
      if (shape == Shape::Edge) FillRect(c, k == 66 ? 0 : 26, 0, 4, 30, Shade(s.top, 0.7f));
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
      SlopeMask(c, k, shape == Shape::SlopeR);
      Texture(c, s.fill, 1, 0.35f);
      // The surface (grass, snow, moss) follows the slope: the top few solid pixels of
      // every column take the top colour.
      for (int x = 0; x < 30; ++x) {
        int y = 0;
        while (y < 30 && !AlphaOf(c.Get(x, y))) ++y;
        for (int j = y; j < std::min(30, y + 5); ++j) c.Set(x, j, j < y + 4 ? s.top : Shade(s.top, 0.8f));
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
        // Crystals keep the set's colour where it is bright enough to stand out, else gold.
        uint32_t gem = (k >= 50 || set == 1 || set == 4) ? Argb(240, 200, 60) : s.accent;
        if (k >= 50) {
          FillRect(c, 0, 0, 30, 30, s.fill);
          Texture(c, s.fill, 6, 0.3f);
        }
        for (int i = 0; i < 3; ++i) {
          float x = 7 + i * 8, h = 12 + (i == 1 ? 8 : 0);
          FillPolygon(c, {{x - 4, 30}, {x, 30 - h}, {x + 4, 30}}, Shade(gem, 0.9f + 0.15f * i));
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

// Back-layer tile 101 + n: walls, windows, trunks, back rock, masonry, curtains ...
Image DrawBackTile(int set, int k) {
  const TileStyle& s = Styles[set - 1];
  Image c(30, 30);
  int kind = (k - 102) % 8;
  uint32_t base = s.back;
  FillRect(c, 0, 0, 30, 30, base);
  Texture(c, base, uint32_t(k % 4) + 20, 0.3f);
  switch (kind) {
    case 0: break;                                         // plain wall / back rock
    case 1:                                                // window or hole with light
      FillRect(c, 8, 6, 14, 18, Argb(30, 34, 50));
      FillEllipse(c, 15, 7, 7, 4, Argb(30, 34, 50));
      Glow(c, 15, 15, 10, WithAlpha(Mix(s.top, Argb(255, 240, 200), 0.5f), 90));
      break;
    case 2:                                                // trunk / pillar
      FillRect(c, 7, 0, 16, 30, Shade(set == 1 ? s.wood : s.block, 0.6f));
      FillRect(c, 7, 0, 3, 30, Shade(set == 1 ? s.wood : s.block, 0.75f));
      break;
    case 3: BrickLines(c, Shade(base, 0.6f)); break;       // masonry courses
    case 4:                                                // curtain / banner / hanging moss
      for (int x = 4; x < 26; x += 4) FillRect(c, x, 0, 3, 30, Shade(s.accent, 0.55f + 0.1f * (x % 8 == 0)));
      break;
    case 5: Cracks(c, uint32_t(k)); break;
    case 6: FillEllipse(c, 15, 18, 10, 9, Shade(base, 0.5f)); break;  // dark hollow
    default:                                               // moss or frost patches
      for (int i = 0; i < 5; ++i) FillEllipse(c, 4 + i * 6, 4 + (i * 13) % 20, 4, 3, WithAlpha(s.top, 90));
  }
  if (k > 150) for (auto& p : c.px) p = Shade(p, 0.85f);  // the free back tiles: a shade darker
  AvoidPureBlack(c);
  return c;
}

// Overlay 200 + n: vines, cobwebs, hanging moss, icicles, chains, light rays (1..20), then
// leaves, flowers, stones, mushrooms.
Image DrawOverlay(int set, int n) {
  const TileStyle& s = Styles[set - 1];
  Image c(30, 30);
  Rng r(uint32_t(set * 100 + n));
  int kind = (n - 1) % 6;
  if (n > 20) kind = 6 + (n % 4);
  switch (kind) {
    case 0:  // vine
      for (int i = 0; i < 2; ++i) {
        float x = 6 + i * 14 + r.Unit() * 4;
        Line(c, x, 0, x + 3, 30, 1.5f, Shade(s.accent, 0.8f));
        for (int y = 4; y < 30; y += 7) FillEllipse(c, x + (y % 2 ? 3.0f : -1.0f), float(y), 2.5f, 1.5f, s.accent);
      }
      break;
    case 1:  // cobweb in the corner
      for (int i = 0; i < 5; ++i) Line(c, 0, 0, 30 * std::cos(i * Pi / 8), 30 * std::sin(i * Pi / 8), 1, Argb(230, 230, 240, 140));
      for (int i = 1; i < 4; ++i) Ring(c, 0, 0, i * 7.0f, 0.6f, Argb(230, 230, 240, 110));
      break;
    case 2:  // hanging moss
      for (int x = 2; x < 30; x += 4) Line(c, float(x), 0, float(x), 6 + r.Unit() * 16, 2, WithAlpha(Shade(s.accent, 0.7f), 200));
      break;
    case 3:  // icicles
      for (int x = 3; x < 30; x += 7) FillPolygon(c, {{float(x) - 2, 0}, {float(x) + 2, 0}, {float(x), 8 + r.Unit() * 12}}, Argb(210, 236, 255, 220));
      break;
    case 4:  // chain
      for (int y = 2; y < 30; y += 6) Ring(c, 15, float(y), 3, 1, Argb(120, 120, 130, 255));
      break;
    case 5:  // a ray of light
      FillPolygon(c, {{8, 0}, {16, 0}, {26, 30}, {12, 30}}, Argb(255, 244, 200, 50));
      break;
    case 6:  // fallen leaves / snow flakes
      for (int i = 0; i < 5; ++i) FillEllipse(c, 3 + r.Unit() * 24, 22 + r.Unit() * 7, 2.5f, 1.5f, Shade(s.accent, 0.8f + r.Unit() * 0.4f));
      break;
    case 7:  // flowers / crystals
      for (int i = 0; i < 3; ++i) {
        float x = 5 + i * 9;
        Line(c, x, 30, x, 22, 1, Shade(s.accent, 0.7f));
        FillEllipse(c, x, 21, 2, 2, i == 1 ? Argb(240, 220, 90) : Argb(230, 120, 160));
      }
      break;
    case 8:  // pebbles
      for (int i = 0; i < 4; ++i) FillEllipse(c, 4 + i * 7, 27, 3, 2, Shade(s.block, 0.9f + 0.1f * i));
      break;
    default:  // mushrooms
      FillRect(c, 13, 22, 4, 8, Argb(230, 220, 200));
      FillEllipse(c, 15, 22, 7, 4, set == 5 ? s.accent : Argb(200, 60, 50));
  }
  AvoidPureBlack(c);
  return c;
}

}  // namespace

PackFiles MakeTilesPack() {
  PackFiles pack;
  Image sheets[5];
  for (int set = 1; set <= 5; ++set) {
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
  // Entries 10 and 11 are read past by the loader: two small pictures.
  pack.push_back(EncodePng(DrawCell(1, 3, 0)));
  pack.push_back(EncodePng(DrawCell(4, 47, 0)));
  for (auto& sheet : sheets) pack.push_back(EncodePng(sheet));
  return pack;
}

}  // namespace kwgen
