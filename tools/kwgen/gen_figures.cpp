// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The hero Alrik: figure sheets 324 (plain) and 437 (with the iron gauntlets), the touch
// mask 438, the sword overlay 333, the small form 325, the climbing sheet 375 and the loose
// sheet with the sword in hand. Every frame is drawn facing right and mirrored for left.
#include <cmath>

#include "kwgen.h"

namespace kwgen {

namespace {

constexpr int FrameW = 42;
constexpr int FrameH = 58;

constexpr uint32_t Skin = Argb(232, 184, 140);
constexpr uint32_t Hair = Argb(122, 74, 34);
constexpr uint32_t Tunic = Argb(62, 118, 52);
constexpr uint32_t TunicDark = Argb(40, 84, 38);
constexpr uint32_t Belt = Argb(96, 62, 30);
constexpr uint32_t Trousers = Argb(112, 86, 58);
constexpr uint32_t Boots = Argb(70, 44, 26);
constexpr uint32_t Leather = Argb(150, 104, 60);
constexpr uint32_t Iron = Argb(168, 172, 190);
constexpr uint32_t OutlineInk = Argb(28, 20, 14);

enum class Look { Ahead, Up, Down };

struct Pose {
  int step = 0;        // walk: -1, 0, 1
  Look look = Look::Ahead;
  bool throwing = false;
  bool hurt = false;
  bool gauntlets = false;
};

// Where the front hand is in a frame, shared by the figure and the sword overlay.
void HandPosition(bool throwing, float& x, float& y) {
  x = throwing ? 31.0f : 28.0f;
  y = throwing ? 11.0f : 33.0f;
}

void DrawLimb(Image& img, float x0, float y0, float x1, float y1, float w, uint32_t c) {
  Line(img, x0, y0, x1, y1, w, c);
}

// One frame of the hero facing right, outlined, alpha 0 or 255.
Image HeroFrame(const Pose& p) {
  Image f(FrameW, FrameH);
  float lean = p.hurt ? -3.0f : 0.0f;
  float hipX = 21 + lean * 0.3f, hipY = 37;
  // Legs: back leg first (darker), then the front leg.
  float stride = 5.0f * p.step;
  DrawLimb(f, hipX - 1, hipY, hipX - 2 - stride, 50, 5, Shade(Trousers, 0.8f));
  DrawLimb(f, hipX - 2 - stride, 50, hipX - 2 - stride, 53, 5, Shade(Boots, 0.8f));
  FillRect(f, int(hipX - 5 - stride), 53, 7, 3, Shade(Boots, 0.8f));
  DrawLimb(f, hipX + 2, hipY, hipX + 2 + stride, 50, 5, Trousers);
  DrawLimb(f, hipX + 2 + stride, 50, hipX + 2 + stride, 53, 5, Boots);
  FillRect(f, int(hipX - 1 + stride), 53, 8, 3, Boots);
  // Back arm behind the body.
  float shoulderX = 20 + lean, shoulderY = 20;
  DrawLimb(f, shoulderX - 2, shoulderY, shoulderX - 5 - stride * 0.4f, 32, 4, Shade(Tunic, 0.7f));
  // Body: a tunic widening to the hem, with a belt.
  FillPolygon(f, {{15 + lean, 18}, {27 + lean, 18}, {29, 38}, {13, 38}}, Tunic);
  FillPolygon(f, {{15 + lean, 18}, {18 + lean, 18}, {17, 38}, {13, 38}}, TunicDark);
  FillRect(f, 14, 30, 15, 3, Belt);
  FillRect(f, 22, 30, 3, 3, Argb(210, 180, 60));  // buckle
  // Head with hair; the look moves eye and face.
  float headX = 22 + lean, headY = p.look == Look::Up ? 10.0f : (p.look == Look::Down ? 12.0f : 11.0f);
  FillEllipse(f, headX, headY, 6.5f, 7, Skin);
  // Looking up tips the head back: the hair slides back and leaves the face free.
  float hairBack = p.look == Look::Up ? 1.5f : 0.0f;
  FillEllipse(f, headX - 2 - hairBack, headY - 3.5f - hairBack, 6.5f, 4.5f, Hair);
  FillRect(f, int(headX - 8), int(headY - 3), 4, 8, Hair);
  float eyeY = headY + (p.look == Look::Up ? -2.0f : (p.look == Look::Down ? 1.5f : 0.0f));
  FillRect(f, int(headX + 3), int(eyeY), 2, 2, Argb(30, 30, 60));
  if (p.hurt) FillRect(f, int(headX + 1), int(headY + 3), 4, 1, Argb(120, 40, 30));
  FillRect(f, int(headX + 6), int(headY + 1), 1, 2, Shade(Skin, 0.85f));  // nose
  // Front arm to the hand.
  float hx, hy;
  HandPosition(p.throwing, hx, hy);
  if (p.hurt) hx = 31, hy = 20;
  float elbowX = p.throwing ? 28.0f : 24.0f, elbowY = p.throwing ? 20.0f : 27.0f;
  DrawLimb(f, shoulderX + 3, shoulderY + 1, elbowX, elbowY, 4, Tunic);
  DrawLimb(f, elbowX, elbowY, hx, hy, 3.5f, p.gauntlets ? Iron : Skin);
  FillEllipse(f, hx, hy, p.gauntlets ? 3.0f : 2.2f, p.gauntlets ? 3.0f : 2.2f, p.gauntlets ? Iron : Skin);
  if (p.gauntlets) FillRect(f, int(elbowX - 2), int(elbowY - 1), 4, 3, Shade(Iron, 0.8f));
  HardenAlpha(f, 128);
  BevelEdges(f, 1.18f, 0.78f);
  Outline(f, OutlineInk);
  if (p.hurt)  // the hit flashes: the figure blanched, its outline glowing red
    for (auto& px : f.px) {
      if (px == OutlineInk) px = Argb(214, 28, 24);
      else if (AlphaOf(px)) px = Mix(Mix(px, Argb(255, 238, 226), 0.55f), Argb(255, 90, 80), 0.2f);
    }
  // The frames share their top and bottom rows with the neighbouring rows of the sheet
  // (rows at 0, 57, 114): keep the first and last row of every frame empty.
  for (int x = 0; x < FrameW; ++x) f.Set(x, 0, 0), f.Set(x, FrameH - 1, 0);
  return f;
}

// The arc a swing cuts round the figure (centre cx, cy): a line of light, brightest just
// behind the blade (the swing comes down from above) and fading further back. The arc is
// where the sword strikes, so it covers the ring the earlier art drew as faint outlined
// dots (`dots`, kept as a darker fringe) and closes the gaps between them.
Image SwingArc(float cx, float cy, const Image& dots) {
  constexpr float Radius = 16.2f, TwoPi = 2 * 3.14159265f;
  Image arc(FrameW, FrameH);
  for (int y = 0; y < FrameH; ++y)
    for (int x = 0; x < FrameW; ++x) {
      float dx = x + 0.5f - cx, dy = y + 0.5f - cy, d = std::sqrt(dx * dx + dy * dy);
      bool line = std::fabs(d - Radius) <= 0.8f;
      if (!line && !AlphaOf(dots.Get(x, y))) continue;
      // 0 just behind the blade, growing the further back against the swing.
      float back = std::fmod(TwoPi - std::atan2(dy, dx) - 0.2f, TwoPi) / TwoPi;
      float glow = 1 - back + Bayer(x, y) * 0.15f - (line ? 0.0f : 0.3f);
      arc.Set(x, y, glow > 0.75f ? Argb(244, 250, 255) : glow > 0.5f ? Argb(186, 214, 244)
                  : glow > 0.25f ? Argb(126, 152, 196) : Argb(78, 90, 126));
    }
  return arc;
}

// The sword in the front hand: held up (row 0) or swung forward (row 1).
Image SwordFrame(bool swinging, bool throwing) {
  Image f(FrameW, FrameH);
  float hx, hy;
  HandPosition(throwing, hx, hy);
  uint32_t blade = Argb(214, 220, 232), edge = Argb(120, 126, 150);
  if (!swinging) {
    float tx = hx + 7, ty = hy - 20;
    Line(f, hx, hy, tx, ty, 3, blade);
    Line(f, hx + 1, hy, tx + 1, ty, 1, edge);
    Line(f, hx - 3, hy - 1, hx + 4, hy + 1, 2, Argb(200, 160, 50));  // cross guard
    Line(f, hx, hy, hx - 1, hy + 4, 2, Leather);
  } else {
    float tx = std::min(41.0f, hx + 13), ty = hy - 3;
    Line(f, hx, hy, tx, ty, 3, blade);
    Line(f, hx, hy + 1, tx, ty + 1, 1, edge);
    Line(f, hx, hy - 3, hx + 1, hy + 3, 2, Argb(200, 160, 50));
  }
  HardenAlpha(f, 100);
  Outline(f, OutlineInk);
  if (swinging) {
    Image dots(FrameW, FrameH);
    for (int i = 0; i < 5; ++i) Ring(dots, hx - 6, hy, 15.0f + i * 0.6f, 0.8f, Argb(255, 255, 255, 60));
    HardenAlpha(dots, 100);
    Outline(dots, OutlineInk);
    Image arc = SwingArc(hx - 6, hy, dots);
    Blit(arc, f, 0, 0);  // the blade in front of its arc
    f = arc;
  }
  for (int x = 0; x < FrameW; ++x) f.Set(x, 0, 0), f.Set(x, FrameH - 1, 0);
  return f;
}

// Places a right-facing frame and its mirror at (frameX, y) and (frameX + 43, y).
void PlacePair(Image& sheet, const Image& right, int frameX, int y) {
  Blit(sheet, right, frameX, y);
  Blit(sheet, FlipHorizontal(right), frameX + 43, y);
}

}  // namespace

Image DrawFigureSheet(bool gauntlets, bool withSword) {
  Image sheet(255, 290);
  const Look looks[3] = {Look::Ahead, Look::Up, Look::Down};
  const int steps[3] = {0, -1, 1};
  for (int col = 0; col < 3; ++col) {
    for (int row = 0; row < 3; ++row) {
      Pose p;
      p.step = steps[row], p.look = looks[col], p.gauntlets = gauntlets;
      Image f = HeroFrame(p);
      if (withSword) Blit(f, SwordFrame(false, false), 0, 0);
      PlacePair(sheet, f, col * 85, row * 57);
    }
    Pose t;
    t.throwing = true, t.look = looks[col], t.gauntlets = gauntlets;
    Image f = HeroFrame(t);
    if (withSword) Blit(f, SwordFrame(false, true), 0, 0);
    PlacePair(sheet, f, col * 85, 172);
  }
  Pose h;
  h.hurt = true, h.gauntlets = gauntlets;
  PlacePair(sheet, HeroFrame(h), 0, 232);
  return sheet;
}

Image DrawTouchMask(const Image& sheet) {
  Image mask(sheet.w, sheet.h);
  for (size_t i = 0; i < sheet.px.size(); ++i)
    if (AlphaOf(sheet.px[i])) mask.px[i] = Argb(220, 220, 220);
  // The hurt frames are tested at (0, 0) and (43, 0): add their silhouette there.
  for (int y = 0; y < 58; ++y)
    for (int x = 0; x < 85; ++x)
      if (AlphaOf(sheet.Get(x, 232 + y))) mask.Set(x, y, Argb(220, 220, 220));
  return mask;
}

Image DrawSwordOverlay() {
  Image sheet(255, 290);
  for (int col = 0; col < 3; ++col) {
    PlacePair(sheet, SwordFrame(false, false), col * 85, 0);
    PlacePair(sheet, SwordFrame(true, false), col * 85, 58);
    PlacePair(sheet, SwordFrame(false, true), col * 85, 172);
    PlacePair(sheet, SwordFrame(true, true), col * 85, 230);
  }
  return sheet;
}

Image DrawSmallForm() {
  // The hero shrunk by a spell: the standing frame at half size in a 30 x 30 box.
  Image small = Scaled(HeroFrame(Pose()), 21, 29);
  HardenAlpha(small, 110);
  Outline(small, OutlineInk);
  Image sheet(93, 30);
  Blit(sheet, FlipHorizontal(small), 22 + 5, 1);
  Blit(sheet, small, 63 + 4, 1);
  return sheet;
}

Image DrawClimbSheet() {
  Image sheet(32, 111);
  for (int frame = 0; frame < 2; ++frame) {
    Image f(32, 55);
    float s = frame ? 1.0f : -1.0f;
    // Seen from behind: arms up to the rungs, legs apart.
    Line(f, 12, 20, 9 + s * 2, 4 + s * 3, 4, Tunic);
    Line(f, 20, 20, 23 - s * 2, 4 - s * 3, 4, Tunic);
    FillEllipse(f, 9 + s * 2, 4 + s * 3, 2.2f, 2.2f, Skin);
    FillEllipse(f, 23 - s * 2, 4 - s * 3, 2.2f, 2.2f, Skin);
    FillPolygon(f, {{10, 17}, {22, 17}, {23, 37}, {9, 37}}, Tunic);
    FillRect(f, 9, 30, 15, 3, Belt);
    FillEllipse(f, 16, 12, 6, 6.5f, Hair);
    Line(f, 13, 37, 11 - s * 2, 50 + s * 2, 5, Trousers);
    Line(f, 19, 37, 21 + s * 2, 50 - s * 2, 5, Trousers);
    FillRect(f, int(8 - s * 2), int(50 + s * 2), 6, 3, Boots);
    FillRect(f, int(19 + s * 2), int(50 - s * 2), 6, 3, Boots);
    HardenAlpha(f, 128);
    BevelEdges(f, 1.18f, 0.78f);
    Outline(f, OutlineInk);
    Blit(sheet, f, 0, frame * 56);
  }
  return sheet;
}

Image DrawHeroLarge(int height, bool facingLeft) {
  // In the pictures Alrik carries his woodsman's axe.
  Pose p;
  Image f = HeroFrame(p);
  float hx, hy;
  HandPosition(false, hx, hy);
  Image axe(FrameW, FrameH);
  Line(axe, hx - 1, hy + 4, hx + 5, hy - 16, 2.2f, Leather);
  FillPolygon(axe, {{hx + 3, hy - 15}, {hx + 11, hy - 19}, {hx + 11, hy - 9}, {hx + 5, hy - 10}}, Argb(180, 184, 198));
  HardenAlpha(axe, 100);
  Outline(axe, OutlineInk);
  Blit(f, axe, 0, 0);
  FillEllipse(f, hx, hy, 2.2f, 2.2f, Skin);
  int h = height, w = height * FrameW / FrameH;
  Image big = Scaled(f, w, h);
  return facingLeft ? FlipHorizontal(big) : big;
}

}  // namespace kwgen
