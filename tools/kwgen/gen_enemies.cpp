// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The enemies' sheets (sprites 329 + spriteOffset) and the castle guardian (338, its three
// change pictures and the friendly spirit 339). A sheet is 4 columns (left, left alt, right,
// right alt) by 3 rows (two animation rows and the collision silhouette) of frames.
#include <cmath>
#include <vector>

#include "kwgen.h"

namespace kwgen {

namespace {

constexpr uint32_t Ink = Argb(24, 18, 16);

struct EnemyLook {
  int w, h;
};

// Frame sizes by enemy type (the order of Gegner.ini).
constexpr EnemyLook Looks[7] = {{38, 57}, {40, 30}, {40, 30}, {44, 58}, {30, 30}, {60, 80}, {36, 36}};

// The stride of a walk cycle by phase: row 0 holds the two widest steps, row 1 the
// passing poses between them, so the second animation row is not a copy of the first.
float Stride(int phase) {
  const float strides[4] = {-4.0f, 4.0f, -1.5f, 1.5f};
  return strides[phase & 3];
}

void Wicht(Image& f, int phase) {  // a small forest sprite of bark and leaves
  float step = Stride(phase);
  uint32_t bark = Argb(110, 78, 44), leaf = Argb(70, 140, 50);
  Line(f, 17, 40, 15 - step, 55, 4, Shade(bark, 0.8f));
  Line(f, 21, 40, 23 + step, 55, 4, bark);
  FillEllipse(f, 19, 32, 9, 11, bark);
  Line(f, 12, 28, 6, 38 + step * 0.5f, 3, Shade(bark, 0.8f));
  Line(f, 26, 28, 33, 22 - step * 0.5f, 3, bark);
  FillEllipse(f, 19, 16, 8, 8, Shade(bark, 1.1f));
  FillEllipse(f, 18, 8, 11, 6, leaf);
  FillEllipse(f, 12, 11, 5, 4, Shade(leaf, 0.8f));
  FillRect(f, 21, 15, 3, 3, Argb(250, 220, 60));
  FillRect(f, 22, 16, 1, 1, Argb(60, 20, 0));
  FillRect(f, 20, 21, 5, 1, Argb(50, 30, 20));
}

// One bat wing: arm bones from the shoulder to the wrist and three finger bones spreading
// to the tips, the membrane between them scalloped at its trailing edge. side -1 is the
// left wing, +1 the right; up lifts the wing (negative is up).
void BatWing(Image& f, float side, float up) {
  auto at = [&](float dx, float y) { return std::make_pair(20 + side * dx, y); };
  auto shoulder = at(3, 14), wrist = at(10, 11 + up * 0.6f);
  std::pair<float, float> tips[3] = {at(19, 10 + up), at(17, 19 + up * 0.75f), at(11, 22 + up * 0.4f)};
  std::pair<float, float> scallops[3] = {at(15, 15 + up * 0.8f), at(12, 19 + up * 0.55f), at(5, 20)};
  FillPolygon(f, {shoulder, wrist, tips[0], scallops[0], tips[1], scallops[1], tips[2], scallops[2], at(3, 19)},
              Argb(74, 54, 84));
  uint32_t bone = Argb(124, 98, 132);
  Line(f, shoulder.first, shoulder.second, wrist.first, wrist.second, 1.4f, bone);
  for (auto& t : tips) Line(f, wrist.first, wrist.second, t.first, t.second, 0.8f, bone);
  Plot(f, int(wrist.first), int(wrist.second) - 1, Argb(170, 150, 170));  // the thumb claw
}

void Bat(Image& f, int phase) {
  const float wingUp[4] = {7.0f, -9.0f, 0.0f, -4.0f};
  float up = wingUp[phase & 3];
  uint32_t body = Argb(96, 70, 100);
  BatWing(f, -1, up);
  BatWing(f, 1, up);
  FillEllipse(f, 20, 17, 4.5f, 6, body);
  FillEllipse(f, 20, 12, 4, 3.5f, Shade(body, 1.1f));
  FillPolygon(f, {{16.5f, 11}, {17, 5}, {19.5f, 10}}, body);  // ears
  FillPolygon(f, {{23.5f, 11}, {23, 5}, {20.5f, 10}}, body);
  Plot(f, 17, 7, Argb(190, 120, 150));
  Plot(f, 23, 7, Argb(190, 120, 150));
  FillRect(f, 17, 12, 2, 2, Argb(255, 60, 40));
  FillRect(f, 21, 12, 2, 2, Argb(255, 60, 40));
  Plot(f, 18, 15, Argb(240, 240, 230));  // fangs
  Plot(f, 21, 15, Argb(240, 240, 230));
  for (int i = 0; i < 3; ++i) Plot(f, 19 + (i % 2), 18 + i * 2, Shade(body, 0.75f));  // fur
}

void Crow(Image& f, int phase) {
  const float wingUp[4] = {6.0f, -8.0f, 1.0f, -3.0f};
  float up = wingUp[phase & 3];
  uint32_t black = Argb(34, 34, 44), sheen = Argb(60, 62, 90);
  FillEllipse(f, 19, 17, 11, 6, black);
  FillPolygon(f, {{9, 15}, {1, 11}, {2, 20}}, black);  // tail
  FillEllipse(f, 30, 13, 5, 5, black);
  FillPolygon(f, {{34, 12}, {40, 14}, {34, 16}}, Argb(200, 160, 60));  // beak
  FillRect(f, 31, 11, 2, 2, Argb(240, 240, 200));
  FillPolygon(f, {{14, 15}, {26, 15}, {18, 15 + up * 1.2f}, {10, 15 + up}}, sheen);
}

void Golem(Image& f, int phase, uint32_t stone, uint32_t glow) {
  float step = Stride(phase);
  uint32_t seam = Shade(stone, 0.55f);
  // Legs of stacked blocks, the far one darker.
  Line(f, 16, 40, 14 - step, 54, 8, Shade(stone, 0.75f));
  Line(f, 28, 40, 30 + step, 54, 8, stone);
  FillRect(f, int(9 - step), 53, 10, 4, Shade(stone, 0.7f));
  FillRect(f, int(25 + step), 53, 10, 4, Shade(stone, 0.9f));
  // Far arm behind the body.
  Line(f, 9, 20, 4, 37 - step * 0.5f, 7, Shade(stone, 0.7f));
  FillEllipse(f, 4, 38 - step * 0.5f, 4.5f, 4, Shade(stone, 0.7f));
  // Trunk: a heavy block with broad shoulders and mortar seams.
  FillPolygon(f, {{7, 17}, {37, 17}, {34, 42}, {10, 42}}, stone);
  FillEllipse(f, 22, 12, 9, 8, Shade(stone, 1.1f));
  FillRect(f, 24, 10, 5, 3, glow);
  Line(f, 10, 29, 34, 29, 1, seam);
  Line(f, 22, 17, 22, 29, 1, seam);
  Line(f, 16, 29, 16, 42, 1, seam);
  Line(f, 29, 29, 29, 42, 1, seam);
  Line(f, 12, 22, 17, 27, 1, seam);  // a crack
  FillEllipse(f, 22, 34, 3, 3, glow);
  Glow(f, 22, 34, 6, WithAlpha(glow, 120));
  // Near arm in front, edged so it stands out from the trunk.
  Line(f, 35, 20, 39, 37 + step * 0.5f, 8, seam);
  Line(f, 35, 20, 39, 37 + step * 0.5f, 6, Shade(stone, 1.05f));
  FillEllipse(f, 39, 38 + step * 0.5f, 4.5f, 4, Shade(stone, 0.95f));
}

void SmallStone(Image& f, int phase) {
  const float hops[4] = {0.0f, -2.0f, -1.0f, -3.0f};
  float hop = hops[phase & 3];
  uint32_t stone = Argb(128, 124, 118);
  FillEllipse(f, 15, 18 + hop, 11, 9, stone);
  FillRect(f, 8, int(25 + hop), 5, 4, Shade(stone, 0.8f));
  FillRect(f, 18, int(25 + hop), 5, 4, stone);
  FillRect(f, 19, int(15 + hop), 4, 3, Argb(255, 150, 40));
  Line(f, 8, 14 + hop, 13, 20 + hop, 1, Shade(stone, 0.6f));
}

// The Schattenfürst: a tall cloaked figure facing right, a deep hood with a gaunt face and
// burning eyes in its shadow, spiked pauldrons, a ragged hem that sways, a staff with a
// violet orb in a claw.
void ShadowLord(Image& f, int phase) {
  const float sways[4] = {-2.0f, 2.0f, -0.5f, 0.5f};
  float sway = sways[phase & 3];
  uint32_t cloak = Argb(40, 26, 58), fold = Argb(62, 40, 88), deep = Argb(24, 14, 34);
  uint32_t trim = Argb(132, 60, 186), metal = Argb(70, 66, 84);
  // The cloak: broad at the shoulders, flaring to a ragged hem.
  std::vector<std::pair<float, float>> c = {{22, 18}, {40, 18}, {44, 40}};
  for (int i = 0; i <= 8; ++i) {
    float x = 50 + sway - i * (40.0f / 8) - sway * 2 * i / 8;
    c.push_back({x, i % 2 ? 75.0f + (i % 4 == 1 ? 2 : 0) : 79.0f});
  }
  c.push_back({14, 46});
  FillPolygon(f, c, cloak);
  for (int i = 0; i < 4; ++i) {  // folds, lit on their left
    float x0 = 22 + i * 5.0f, x1 = 14 + i * 9.0f - sway * (1 - i / 3.0f);
    Line(f, x0, 26, x1, 76, 1.2f, fold);
    Line(f, x0 + 1.5f, 26, x1 + 1.5f, 76, 1.0f, deep);
  }
  FillPolygon(f, {{36, 22}, {41, 22}, {48 + sway, 76}, {43 + sway, 77}}, trim);  // the open front, lined
  FillPolygon(f, {{37, 24}, {40, 24}, {44 + sway, 74}, {42 + sway, 74}}, Argb(80, 30, 112));
  Line(f, 24, 34, 40, 32, 1.6f, Argb(150, 130, 80));  // a chain across the chest
  FillEllipse(f, 32, 33.5f, 2.2f, 2.2f, Argb(220, 70, 240));
  // Spiked pauldrons.
  FillEllipse(f, 24, 21, 7, 5, metal);
  FillPolygon(f, {{19, 19}, {16, 12}, {23, 17}}, metal);
  FillPolygon(f, {{25, 17}, {26, 10}, {29, 18}}, metal);
  FillEllipse(f, 39, 21, 5, 4, Shade(metal, 1.15f));
  // The hood: a deep cowl with a point falling back, its opening towards the right.
  FillPolygon(f, {{22, 20}, {21, 10}, {25, 3}, {31, 0}, {38, 2}, {42, 8}, {43, 18}, {39, 23}, {27, 23}},
              Shade(cloak, 1.25f));
  FillPolygon(f, {{25, 3}, {18, 9}, {21, 12}}, Shade(cloak, 1.1f));  // the point
  Line(f, 25, 4, 24, 20, 1, fold);
  FillEllipse(f, 35, 12.5f, 6, 7.5f, Argb(14, 8, 22));  // the shadow inside
  FillEllipse(f, 36.5f, 16, 3.5f, 3, Argb(112, 104, 130));  // gaunt cheek and jaw catching the light
  FillRect(f, 35, 18, 3, 1, Argb(60, 50, 74));
  // Burning eyes with a ring of their glow.
  for (int ex : {34, 39}) {
    FillRect(f, ex - 1, 10, 3, 2, Argb(150, 40, 170));
    FillRect(f, ex, 10, 2, 1, Argb(255, 210, 255));
  }
  // The near arm with the staff held before him.
  Line(f, 40, 24, 49, 40 + sway * 0.3f, 5, Shade(cloak, 1.2f));
  FillEllipse(f, 51, 41 + sway * 0.3f, 2.5f, 2.2f, Argb(150, 140, 170));  // the hand
  Line(f, 53, 12, 53, 78, 2.4f, Argb(84, 64, 46));
  Line(f, 52.5f, 12, 52.5f, 78, 0.8f, Argb(130, 100, 70));
  for (int k : {-1, 1}) Line(f, 53, 12, 53 + k * 4, 5, 1.2f, metal);  // claw round the orb
  FillEllipse(f, 53, 6, 4, 4, Argb(190, 90, 255));
  FillEllipse(f, 52, 5, 2, 2, Argb(250, 210, 255));
}

void IceSpirit(Image& f, int phase) {
  const float wobs[4] = {-1.5f, 1.5f, -0.5f, 0.5f};
  float wob = wobs[phase & 3];
  FillPolygon(f, {{6, 14}, {30, 14}, {28 + wob, 34}, {22, 28}, {18, 35}, {14, 28}, {8 - wob, 34}},
              Argb(170, 220, 250));
  FillEllipse(f, 18, 14, 12, 11, Argb(200, 236, 255));
  FillRect(f, 20, 11, 3, 4, Argb(30, 60, 140));
  FillRect(f, 13, 11, 3, 4, Argb(30, 60, 140));
  FillEllipse(f, 18, 20, 3, 2, Argb(60, 100, 170));
  Glow(f, 18, 14, 16, Argb(200, 240, 255, 90));
}

Image EnemyFrame(int type, int phase) {
  Image f(Looks[type].w, Looks[type].h);
  switch (type) {
    case 0: Wicht(f, phase); break;
    case 1: Bat(f, phase); break;
    case 2: Crow(f, phase); break;
    case 3: Golem(f, phase, Argb(120, 116, 108), Argb(120, 230, 140)); break;
    case 4: SmallStone(f, phase); break;
    case 5: ShadowLord(f, phase); break;
    default: IceSpirit(f, phase); break;
  }
  HardenAlpha(f, 110);
  // Grain for bark and stone (the flyers and the spirits stay smooth); the same seed for
  // every phase so the texture does not crawl while walking.
  if (type == 0 || type == 3 || type == 4) NoiseTexture(f, 3, 0.22f, 3290 + uint32_t(type));
  BevelEdges(f, 1.2f, 0.75f);
  Outline(f, Ink);
  return f;
}

}  // namespace

Image DrawEnemySheet(int type) {
  int w = Looks[type].w, h = Looks[type].h;
  Image sheet(4 * w, 3 * h);
  for (int row = 0; row < 2; ++row)
    for (int alt = 0; alt < 2; ++alt) {
      Image right = EnemyFrame(type, row * 2 + alt);
      Image left = FlipHorizontal(right);
      Blit(sheet, left, alt * w, row * h);
      Blit(sheet, right, (2 + alt) * w, row * h);
    }
  // Row 2: the collision silhouette of each column (the union of its two frames).
  for (int col = 0; col < 4; ++col)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (AlphaOf(sheet.Get(col * w + x, y)) || AlphaOf(sheet.Get(col * w + x, h + y)))
          sheet.Set(col * w + x, 2 * h + y, Argb(200, 200, 200));
  return sheet;
}

Image DrawGuardian(float spirit) {
  // A stone knight on a plinth that turns into a pale friendly spirit as spirit goes 0..1.
  Image g(120, 160);
  uint32_t stone = Mix(Argb(128, 124, 114), Argb(190, 230, 255), spirit);
  uint32_t dark = Shade(stone, 0.7f);
  int alpha = int(255 - 90 * spirit);
  auto c = [&](uint32_t col) { return WithAlpha(col, alpha); };
  if (spirit < 1) FillRect(g, 20, 140, 80, 20, c(dark));  // plinth
  FillPolygon(g, {{40, 50}, {80, 50}, {90, 140}, {30, 140}}, c(stone));
  FillPolygon(g, {{58, 50}, {62, 50}, {64, 140}, {56, 140}}, c(dark));
  FillEllipse(g, 60, 36, 16, 18, c(Shade(stone, 1.1f)));
  FillRect(g, 46, 32, 28, 5, c(dark));  // visor
  Line(g, 42, 56, 26, 100, 10, c(stone));
  Line(g, 78, 56, 94, 100, 10, c(stone));
  Line(g, 60, 60, 60, 130, 6, c(Argb(150, 150, 160)));  // sword held downwards
  Line(g, 48, 66, 72, 66, 5, c(Argb(150, 150, 160)));
  if (spirit > 0) {
    Glow(g, 60, 70, 60 * spirit + 10, Argb(255, 250, 200, int(200 * spirit)));
    FillRect(g, 50, 33, 6, 3, Argb(255, 255, 180, alpha));
    FillRect(g, 64, 33, 6, 3, Argb(255, 255, 180, alpha));
  } else {
    NoiseTexture(g, 6, 0.35f, 338);
  }
  return g;
}

}  // namespace kwgen
