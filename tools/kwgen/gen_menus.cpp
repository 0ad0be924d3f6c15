// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Menu.pak (16), Interface.pak (3) and Inventar.pak (8): menu backgrounds and panels,
// two-state buttons, the options screen with its row captions and volume track, the
// pointer, hit areas, the HUD panel with its pips, item icons, ammunition strip and digits.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "kwgen.h"

namespace kwgen {

namespace {

constexpr uint32_t Gold = Argb(214, 176, 82);
constexpr uint32_t InkDark = Argb(24, 18, 12);

constexpr uint32_t Oak = Argb(122, 80, 44);        // the HUD's oak
constexpr uint32_t Bronze = Argb(176, 134, 62);    // and its bronze
constexpr uint32_t BronzeLit = Argb(236, 204, 120);
constexpr uint32_t BronzeDark = Argb(110, 78, 34);

bool InRoundRect(int x, int y, int x0, int y0, int w, int h, float r) {
  if (x < x0 || y < y0 || x >= x0 + w || y >= y0 + h) return false;
  float cx = std::clamp(x + 0.5f, x0 + r, x0 + w - r), cy = std::clamp(y + 0.5f, y0 + r, y0 + h - r);
  return std::hypot(x + 0.5f - cx, y + 0.5f - cy) <= r;
}

// Oak with the HUD's grain (horizontal, or vertical for the side bars of a frame).
uint32_t OakAt(int x, int y, uint32_t seed, bool vertical) {
  float grain = vertical ? Fbm(y / 70.0f, x / 3.2f, seed, 3) : Fbm(x / 70.0f, y / 3.2f, seed, 3);
  float ring = 0.5f + 0.5f * std::sin(grain * 18.0f);
  float f = 0.78f + 0.22f * ring + 0.1f * (Hash01(x, y, seed + 1) - 0.5f) + Bayer(x, y) * 0.05f;
  return Shade(Oak, f);
}

// Parchment with cloudy stains, darker towards its edges (w x h area at x0, y0).
uint32_t ParchmentAt(int x, int y, int x0, int y0, int w, int h, uint32_t seed) {
  float n = Fbm(x / 30.0f, y / 30.0f, seed, 3);
  float edge = std::min(std::min(x - x0, x0 + w - 1 - x), std::min(y - y0, y0 + h - 1 - y)) / 14.0f;
  float f = 0.84f + 0.22f * n - 0.16f * std::max(0.0f, 1 - edge) + Bayer(x, y) * 0.04f;
  return Shade(Parchment, f);
}

// A bronze plate with a rivet, for the corners of frames.
void CornerPlate(Image& img, int x, int y, int s) {
  FillRect(img, x, y, s, s, Bronze);
  FillRect(img, x, y, s, 1, BronzeLit);
  FillRect(img, x, y, 1, s, BronzeLit);
  FillRect(img, x, y + s - 1, s, 1, BronzeDark);
  FillRect(img, x + s - 1, y, 1, s, BronzeDark);
  float c = x + s / 2.0f, d = y + s / 2.0f;
  FillEllipse(img, c, d, s / 5.0f, s / 5.0f, BronzeDark);
  FillEllipse(img, c - 0.5f, d - 0.5f, s / 6.0f, s / 6.0f, Argb(250, 226, 150));
}

// A carved oak frame (band pixels wide) with bronze edges and corner plates round a
// parchment field, light from the top left; the field is sunk, so its top-left edge is
// shaded. Used for the menu panels, the highscore list and the dialog.
void Panel(Image& img, int x, int y, int w, int h, uint32_t seed, int band = 12) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      bool inner = i >= band && j >= band && i < w - band && j < h - band;
      bool side = std::min(i, w - 1 - i) < std::min(j, h - 1 - j);
      uint32_t c = inner ? ParchmentAt(i, j, band, band, w - 2 * band, h - 2 * band, seed + 5)
                         : OakAt(x + i, y + j, seed, side);
      img.Set(x + i, y + j, c);
    }
  // The bronze edges: outside and round the field, bevelled.
  FrameRect(img, x, y, w, h, Argb(40, 26, 14));
  FillRect(img, x + 1, y + 1, w - 2, 1, BronzeLit);
  FillRect(img, x + 1, y + 1, 1, h - 2, BronzeLit);
  FillRect(img, x + 1, y + h - 2, w - 2, 1, BronzeDark);
  FillRect(img, x + w - 2, y + 1, 1, h - 2, BronzeDark);
  FrameRect(img, x + band - 3, y + band - 3, w - 2 * band + 6, h - 2 * band + 6, Bronze);
  FillRect(img, x + band - 3, y + band - 3, w - 2 * band + 6, 1, BronzeLit);
  FillRect(img, x + band - 3, y + band - 3, 1, h - 2 * band + 6, BronzeLit);
  FrameRect(img, x + band - 2, y + band - 2, w - 2 * band + 4, h - 2 * band + 4, BronzeDark);
  FrameRect(img, x + band - 1, y + band - 1, w - 2 * band + 2, h - 2 * band + 2, Argb(50, 34, 20));
  // A carved groove along the middle of the oak band.
  int g = band / 2 - 1;
  if (band >= 10) {
    FrameRect(img, x + g, y + g, w - 2 * g, h - 2 * g, Argb(64, 40, 22, 200));
    FrameRect(img, x + g + 1, y + g + 1, w - 2 * g - 2, h - 2 * g - 2, Argb(200, 150, 96, 120));
  }
  // The sunk field's shadow at its top-left.
  FillRect(img, x + band, y + band, w - 2 * band, 2, Argb(60, 40, 20, 90));
  FillRect(img, x + band, y + band, 2, h - 2 * band, Argb(60, 40, 20, 90));
  int s = band + 4;
  for (int cx : {x, x + w - s})
    for (int cy : {y, y + h - s}) CornerPlate(img, cx, cy, s);
}

// Upper half normal, lower half pressed: a carved oak plaque with a bronze rim and a pale
// limewood inlay, where the menus write the label (at 10, 10 in font 2, a dark olive ink).
// Pressed, the plaque is darker and its inlay sunk deeper.
Image TwoStateButton(int w, int h) {
  Image b(w, 2 * h);
  for (int state = 0; state < 2; ++state) {
    Image s(w, h);
    float dim = state ? 0.78f : 1.0f;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        if (!InRoundRect(x, y, 1, 1, w - 2, h - 2, 7)) continue;
        uint32_t c;
        if (!InRoundRect(x, y, 4, 4, w - 8, h - 8, 5)) {  // the bronze rim, lit top-left
          float lit = 0.25f * (0.5f - float(x) / w) + 0.4f * (0.5f - float(y) / h);
          if (state) lit = -lit * 0.6f;
          c = Shade(Bronze, 1.0f + lit + Bayer(x, y) * 0.06f);
        } else if (!InRoundRect(x, y, 7, 7, w - 14, h - 14, 3)) {
          c = OakAt(x, y, 3490 + uint32_t(w), false);
        } else {
          float n = ValueNoise(x / 9.0f, y / 2.5f, 3491);
          c = Shade(Argb(222, 200, 156), 0.9f + 0.12f * n + Bayer(x, y) * 0.04f);
        }
        s.Set(x, y, Shade(c, dim));
      }
    // The inlay is sunk: its top-left edge in shadow, its bottom-right catching light.
    int depth = state ? 3 : 1;
    for (int k = 0; k < depth; ++k) {
      FillRect(s, 8, 7 + k, w - 15, 1, Argb(60, 40, 20, 150 - k * 30));
      FillRect(s, 7 + k, 8, 1, h - 15, Argb(60, 40, 20, 150 - k * 30));
    }
    if (!state) {
      FillRect(s, 8, h - 8, w - 15, 1, Argb(255, 246, 220, 120));
      FillRect(s, w - 8, 8, 1, h - 15, Argb(255, 246, 220, 120));
    }
    for (int cx : {5, w - 6})  // rivets on the rim
      for (int cy : {h / 2}) {
        Plot(s, cx, cy, Argb(250, 226, 150));
        Plot(s, cx, cy + 1, BronzeDark);
      }
    Outline(s, InkDark);
    Blit(b, s, 0, state * h);
  }
  AvoidPureBlack(b);
  return b;
}

// A caption that would run into what is beside it stops the generator: a translation
// that is too long needs shorter words, not a picture with overlapping text.
void FitOrStop(const std::string& caption, int size, int room) {
  int width = TextWidth(caption, size);
  if (width <= room) return;
  std::fprintf(stderr, "kwgen: \"%s\" is %d pixels wide, its place has room for %d\n", caption.c_str(), width,
               room);
  std::exit(1);
}

Image Background(uint32_t seed, const char* title) {
  Image bg = DrawForestScene(640, 480, seed, 0.55f);
  FillRect(bg, 0, 0, 640, 480, Argb(20, 14, 10, 90));
  if (title) DrawTextCentred(bg, title, 440, 24, 44, Argb(236, 214, 150), InkDark, true);
  return bg;
}

// The options screen: the twenty row captions beside the row boxes (x 112 and 344) and
// the volume track under the knob (x 84..534 at y 360).
Image OptionsBackground() {
  Image bg = Background(354, nullptr);
  Panel(bg, 70, 28, 500, 446, 3540);  // wide enough for the knob's track (x 84..556)
  DrawTextCentred(bg, PictureText("Optionen"), 325, 48, 26, Ink, Argb(255, 240, 200, 120), true);
  struct Row { std::string caption; int x, y; };
  const Row rows[20] = {
      {PictureText("Abbruch", "key that opens the pause menu"), 112, 82}, {PictureText("Pause"), 112, 105},
      {PictureText("Speichern"), 112, 129}, {PictureText("Laden"), 112, 153},
      {PictureText("Neustart"), 112, 177}, {PictureText("Bild hoch"), 112, 201},
      {PictureText("Bild runter"), 112, 225}, {PictureText("Text kleiner"), 112, 249},
      {PictureText("Text größer"), 112, 273}, {PictureText("Runter"), 344, 201},
      {PictureText("Hoch"), 344, 225}, {PictureText("Links"), 344, 249},
      {PictureText("Rechts"), 344, 273}, {PictureText("Springen"), 344, 297},
      {PictureText("Schwert"), 112, 297}, {PictureText("Werfen"), 344, 82},
      {PictureText("Zauber 1"), 344, 105}, {PictureText("Zauber 2"), 344, 129},
      {PictureText("Zauber 3"), 344, 153}, {PictureText("Zauber 4"), 344, 177}};
  for (const Row& r : rows) {
    FillRect(bg, r.x, r.y + 1, 200, 21, Argb(120, 90, 50, 40));
    FrameRect(bg, r.x, r.y, 202, 23, Argb(110, 80, 50, 140));
    // The slot where the bound key's name is written (x 206 left, 439 right).
    int slot = r.x == 112 ? 204 : 437;
    FitOrStop(r.caption, 13, slot - 4 - (r.x + 4));
    DrawText(bg, r.caption, r.x + 4, r.y + 4, 13, Ink);
    FillRect(bg, slot - 2, r.y + 3, r.x + 198 - slot, 17, Argb(90, 60, 30, 60));
    FillRect(bg, slot - 2, r.y + 3, r.x + 198 - slot, 1, Argb(80, 52, 26, 130));
    FillRect(bg, slot - 2, r.y + 3, 1, 17, Argb(80, 52, 26, 130));
  }
  DrawText(bg, PictureText("leise"), 100, 392, 11, Ink);
  DrawText(bg, PictureText("laut"), 524, 392, 11, Ink);
  DrawText(bg, PictureText("Lautstärke"), 112, 322, 16, Ink, true);
  FillRect(bg, 90, 366, 460, 6, Argb(80, 56, 30));
  FillRect(bg, 90, 366, 460, 2, Argb(50, 34, 18));
  for (int i = 0; i <= 10; ++i) FillRect(bg, 95 + i * 45, 374, 2, 6, Argb(80, 56, 30));
  AvoidPureBlack(bg);
  return bg;
}

// The dialog panel (315, at (200, 100)): a parchment title band (the title is written at
// (5, 5) in black) over a dark oak field (the text at (5, 35) is a light grey). Wide enough
// for the new-game and difficulty buttons, which reach x 476 on the screen.
Image DialogPanel() {
  const int w = 290, h = 150;
  Image d(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) d.Set(x, y, OakAt(x, y, 3150, false));
  for (int y = 4; y < 29; ++y)
    for (int x = 4; x < w - 4; ++x) d.Set(x, y, ParchmentAt(x, y, 4, 4, w - 8, 25, 3151));
  for (int y = 32; y < h - 4; ++y)  // the sunk field, darkened oak
    for (int x = 4; x < w - 4; ++x) d.Set(x, y, Shade(d.Get(x, y), 0.5f));
  FillRect(d, 4, 32, w - 8, 2, Argb(20, 12, 6, 160));
  FillRect(d, 4, 32, 2, h - 36, Argb(20, 12, 6, 160));
  FillRect(d, 4, h - 5, w - 8, 1, Argb(200, 150, 96, 120));
  FillRect(d, 4, 29, w - 8, 3, Bronze);  // a bronze strip between the two
  FillRect(d, 4, 29, w - 8, 1, BronzeLit);
  FillRect(d, 4, 31, w - 8, 1, BronzeDark);
  FrameRect(d, 0, 0, w, h, Argb(40, 26, 14));
  FrameRect(d, 1, 1, w - 2, h - 2, Bronze);
  FillRect(d, 1, 1, w - 2, 1, BronzeLit);
  FillRect(d, 1, 1, 1, h - 2, BronzeLit);
  FrameRect(d, 2, 2, w - 4, h - 4, BronzeDark);
  FrameRect(d, 3, 3, w - 6, h - 6, Argb(60, 40, 22));
  for (int cx : {0, w - 10})
    for (int cy : {h - 10}) CornerPlate(d, cx, cy, 10);
  AvoidPureBlack(d);
  return d;
}

// The highscore list (348, drawn opaque): the game writes "Name" at (250, 100) and "Punkte"
// at (320, 100), six entries 25 pixels apart below, and puts its buttons at (20, 420) and
// (520, 420).
Image HighscoreBackground() {
  Image bg = Background(348, nullptr);
  Panel(bg, 206, 52, 250, 256, 3480, 14);
  DrawTextCentred(bg, PictureText("Bestenliste"), 331, 22, 30, Argb(236, 214, 150), InkDark, true);
  FillRect(bg, 240, 122, 182, 1, Argb(110, 80, 46));    // under the column heads
  FillRect(bg, 240, 123, 182, 1, Argb(255, 244, 214, 140));
  for (int i = 1; i < 6; ++i)                              // faint rules between the entries
    FillRect(bg, 244, 122 + 25 * i, 174, 1, Argb(120, 90, 50, 70));
  for (int i = 0; i < 6; ++i) {                            // numbered gems beside the rows
    uint32_t c = i == 0 ? Argb(226, 186, 70) : i == 1 ? Argb(200, 204, 214) : i == 2 ? Argb(196, 124, 64)
                                                                                  : Argb(150, 120, 80);
    FillEllipse(bg, 232, 133.5f + 25 * i, 5, 5, Shade(c, 0.6f));
    FillEllipse(bg, 232, 133.5f + 25 * i, 4, 4, c);
    Plot(bg, 230, 131 + 25 * i, Argb(255, 250, 230));
  }
  // Oak plinths behind the two buttons.
  for (int px : {14, 514}) {
    Image plinth(110, 60);
    Panel(plinth, 0, 0, 110, 60, 3482 + uint32_t(px), 5);
    Blit(bg, plinth, px, 414);
  }
  AvoidPureBlack(bg);
  return bg;
}

// The pointer (353): a sword whose tip is the hot spot at the top left.
Image Pointer() {
  Image p(24, 24);
  FillPolygon(p, {{0, 0}, {4, 1.5f}, {14.5f, 12}, {12, 14.5f}, {1.5f, 4}}, Argb(210, 214, 226));  // blade
  Line(p, 1.5f, 1.5f, 12.5f, 12.5f, 0.9f, Argb(250, 252, 255));                                    // its edge
  Line(p, 9, 17, 17, 9, 2.6f, Bronze);                                                            // guard
  Line(p, 9, 17, 17, 9, 0.9f, BronzeLit);
  Line(p, 14, 14, 19, 19, 2.6f, Argb(96, 56, 30));                                                // grip
  Plot(p, 16, 16, Argb(150, 96, 54));
  FillEllipse(p, 20.5f, 20.5f, 2.4f, 2.4f, Gold);                                                  // pommel
  Plot(p, 20, 20, Argb(255, 240, 180));
  HardenAlpha(p, 120);
  Outline(p, InkDark);
  AvoidPureBlack(p);
  KeyBackground(p, Argb(0, 255, 0));
  return p;
}

Image Knob() {
  Image k(22, 30);
  FillPolygon(k, {{2, 2}, {20, 2}, {20, 20}, {11, 28}, {2, 20}}, Gold);
  HardenAlpha(k, 128);
  BevelEdges(k, 1.25f, 0.7f);
  Outline(k, InkDark);
  AvoidPureBlack(k);
  return k;
}

// 5 x 7 digit glyphs, one byte a row, bit 4 the leftmost pixel.
constexpr uint8_t DigitRows[10][7] = {
    {14, 17, 19, 21, 25, 17, 14}, {4, 12, 4, 4, 4, 4, 14},   {14, 17, 1, 2, 4, 8, 31},
    {31, 2, 4, 2, 1, 17, 14},    {2, 6, 10, 18, 31, 2, 2},  {31, 16, 30, 1, 1, 17, 14},
    {6, 8, 16, 30, 17, 17, 14},  {31, 1, 2, 4, 8, 8, 8},    {14, 17, 17, 14, 17, 17, 14},
    {14, 17, 17, 15, 1, 2, 12}};

Image Solid(int w, int h, uint32_t c) { return Image(w, h, c); }

void Put(RowPack& pack, int sprite, const Image& img) { kwgen::Put(pack, sprite, EncodePng(img)); }

// A cut gem for the HUD pips: an octagon with a table and facets lit from the top left.
Image Gem(uint32_t base) {
  Image g(16, 16);
  const float c = 7.5f;
  std::vector<std::pair<float, float>> outer;
  for (int i = 0; i < 8; ++i) {
    float a = (i + 0.5f) * 3.14159265f / 4;
    outer.push_back({c + 7.4f * std::cos(a), c + 7.4f * std::sin(a)});
  }
  FillPolygon(g, outer, Shade(base, 0.55f));
  // Facets between the rim and the table: brighter towards the light.
  for (int i = 0; i < 8; ++i) {
    float a0 = (i + 0.5f) * 3.14159265f / 4, a1 = (i + 1.5f) * 3.14159265f / 4;
    float mid = (a0 + a1) / 2;
    float lit = 0.5f - 0.5f * (std::cos(mid) * 0.7071f + std::sin(mid) * 0.7071f);  // 1 at top left
    FillPolygon(g, {{c + 7.4f * std::cos(a0), c + 7.4f * std::sin(a0)},
                    {c + 7.4f * std::cos(a1), c + 7.4f * std::sin(a1)},
                    {c + 3.6f * std::cos(a1), c + 3.6f * std::sin(a1)},
                    {c + 3.6f * std::cos(a0), c + 3.6f * std::sin(a0)}},
                Shade(base, 0.4f + 1.0f * lit));
  }
  std::vector<std::pair<float, float>> table;
  for (int i = 0; i < 8; ++i) {
    float a = (i + 0.5f) * 3.14159265f / 4;
    table.push_back({c + 3.6f * std::cos(a), c + 3.6f * std::sin(a)});
  }
  FillPolygon(g, table, Shade(base, 1.05f));
  FillRect(g, 5, 5, 2, 2, Mix(base, Argb(255, 255, 255), 0.85f));
  Plot(g, 4, 9, Mix(base, Argb(255, 255, 255), 0.45f));
  HardenAlpha(g, 110);
  Outline(g, Argb(30, 14, 12));
  return g;
}

// A frame sunk into the wood: a bronze rim, a dark inside shaded at its top-left edge.
void Inset(Image& img, int x, int y, int w, int h, uint32_t inside) {
  FillRect(img, x - 2, y - 2, w + 4, h + 4, Argb(150, 112, 52));
  FillRect(img, x - 2, y - 2, w + 4, 1, Argb(226, 190, 104));
  FillRect(img, x - 2, y - 2, 1, h + 4, Argb(226, 190, 104));
  FillRect(img, x - 2, y + h + 1, w + 4, 1, Argb(84, 58, 26));
  FillRect(img, x + w + 1, y - 2, 1, h + 4, Argb(84, 58, 26));
  FillRect(img, x - 1, y - 1, w + 2, h + 2, Argb(40, 26, 16));
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      float f = 0.9f + 0.2f * Hash01(x + i, y + j, 4070) + Bayer(i, j) * 0.06f;
      img.Set(x + i, y + j, Shade(inside, f));
    }
  FillRect(img, x, y, w, 1, Shade(inside, 0.55f));
  FillRect(img, x, y, 1, h, Shade(inside, 0.55f));
}

// A small picture drawn into a box, hardened and outlined like the other HUD symbols.
void Symbol(Image& hud, int x, int y, Image s) {
  HardenAlpha(s, 110);
  BevelEdges(s, 1.25f, 0.7f);
  Outline(s, Argb(30, 18, 10));
  Blit(hud, s, x, y);
}

Image HeartSymbol() {
  Image s(16, 15);
  FillEllipse(s, 5, 5.5f, 3.6f, 3.6f, Argb(200, 30, 36));
  FillEllipse(s, 10.5f, 5.5f, 3.6f, 3.6f, Argb(200, 30, 36));
  FillPolygon(s, {{1.6f, 6.5f}, {14, 6.5f}, {7.8f, 13.5f}}, Argb(200, 30, 36));
  FillEllipse(s, 4.5f, 4.5f, 1.2f, 1.2f, Argb(255, 190, 180));
  return s;
}

Image DropSymbol() {
  Image s(14, 16);
  FillPolygon(s, {{7, 1}, {11.5f, 8}, {2.5f, 8}}, Argb(60, 110, 230));
  FillEllipse(s, 7, 10, 4.6f, 4.6f, Argb(60, 110, 230));
  FillEllipse(s, 5.5f, 9.5f, 1.3f, 2, Argb(200, 225, 255));
  return s;
}

// A folded map: three parchment panels with a red route and a cross.
Image MapSymbol() {
  Image s(15, 13);
  FillPolygon(s, {{1, 2}, {5, 1}, {10, 2}, {14, 1}, {14, 11}, {10, 12}, {5, 11}, {1, 12}},
              Argb(226, 204, 150));
  FillRect(s, 5, 1, 1, 11, Argb(176, 150, 100));
  FillRect(s, 10, 2, 1, 11, Argb(176, 150, 100));
  Line(s, 2.5f, 9, 6, 6, 0.9f, Argb(170, 50, 40));
  Line(s, 6, 6, 9, 8, 0.9f, Argb(170, 50, 40));
  Line(s, 10.5f, 3.5f, 12.5f, 5.5f, 0.9f, Argb(170, 50, 40));
  Line(s, 12.5f, 3.5f, 10.5f, 5.5f, 0.9f, Argb(170, 50, 40));
  return s;
}

Image HourglassSymbol() {
  Image s(12, 18);
  FillRect(s, 1, 1, 10, 2, Argb(120, 80, 44));
  FillRect(s, 1, 15, 10, 2, Argb(120, 80, 44));
  FillPolygon(s, {{2.5f, 3}, {9.5f, 3}, {6.6f, 9}, {9.5f, 15}, {2.5f, 15}, {5.4f, 9}},
              Argb(200, 216, 226));
  FillPolygon(s, {{3.6f, 4}, {8.4f, 4}, {6, 8}}, Argb(226, 190, 104));      // sand above
  FillPolygon(s, {{6, 11.5f}, {8.6f, 14.5f}, {3.4f, 14.5f}}, Argb(226, 190, 104));  // sand below
  FillRect(s, 5, 8, 2, 4, Argb(226, 190, 104));
  return s;
}

Image CoinSymbol() {
  Image s(12, 12);
  FillEllipse(s, 6, 6, 5.2f, 5.2f, Argb(222, 180, 64));
  Ring(s, 6, 6, 3.4f, 0.8f, Argb(170, 126, 40));
  FillRect(s, 3, 3, 2, 1, Argb(255, 240, 180));
  return s;
}

// A carved rosette: a ring of petals round a brass stud, for the free ends of the bar.
void Rosette(Image& hud, float cx, float cy, float r) {
  Image s(int(2 * r + 4), int(2 * r + 4));
  float c = r + 2;
  for (int i = 0; i < 6; ++i) {
    float a = i * 3.14159265f / 3;
    FillEllipse(s, c + std::cos(a) * r * 0.55f, c + std::sin(a) * r * 0.55f, r * 0.42f, r * 0.42f,
                Argb(96, 62, 34));
  }
  FillEllipse(s, c, c, r * 0.3f, r * 0.3f, Argb(200, 160, 80));
  HardenAlpha(s, 110);
  BevelEdges(s, 1.35f, 0.6f);
  Outline(s, Argb(46, 30, 16));
  Blit(hud, s, int(cx - c), int(cy - c));
}

// The status bar under the play screen (drawn at (0, 421)). The insets sit exactly where
// the HUD draws: item icon (33, 4), ammunition (5, 47), small map (119..219, 10..49),
// map number (276.., 14), score (244.., 34), key/time (366.., 20), health pips
// (427 + 20i, 4) and mana pips (457 + 20.5i, 30), all in panel coordinates.
Image HudPanel() {
  Image hud(640, 59);
  // Oak with a horizontal grain, a darker lower half in shadow.
  for (int y = 0; y < 59; ++y)
    for (int x = 0; x < 640; ++x) {
      float grain = Fbm(x / 70.0f, y / 3.2f, 407, 3);
      float ring = 0.5f + 0.5f * std::sin(grain * 18.0f);
      float f = 0.78f + 0.22f * ring + 0.12f * (Hash01(x, y, 4071) - 0.5f) - 0.12f * (y / 58.0f);
      f += Bayer(x, y) * 0.05f;
      hud.Set(x, y, Shade(Argb(122, 80, 44), f));
    }
  // Bronze rail along the top edge with rivets, a shadow under it.
  FillRect(hud, 0, 0, 640, 4, Argb(176, 134, 62));
  FillRect(hud, 0, 0, 640, 1, Argb(236, 204, 120));
  FillRect(hud, 0, 3, 640, 1, Argb(110, 78, 34));
  FillRect(hud, 0, 4, 640, 1, Argb(50, 32, 18));
  FillRect(hud, 0, 58, 640, 1, Argb(44, 28, 16));
  for (int x = 10; x < 640; x += 40) {
    Plot(hud, x, 1, Argb(255, 236, 170));
    Plot(hud, x + 1, 2, Argb(96, 66, 28));
  }
  // Carved grooves splitting the bar into its fields.
  for (int x : {108, 224, 344}) {
    FillRect(hud, x, 6, 1, 51, Argb(60, 38, 20));
    FillRect(hud, x + 1, 6, 1, 51, Argb(170, 120, 70));
  }
  Rosette(hud, 15, 16, 8);
  Rosette(hud, 91, 24, 9);
  Rosette(hud, 614, 40, 8);

  Inset(hud, 33, 4, 40, 40, Argb(56, 40, 28));     // item icon
  Inset(hud, 5, 47, 97, 7, Argb(40, 28, 20));      // ammunition strip (drawn at y 47..53)
  Inset(hud, 118, 9, 102, 42, Argb(6, 6, 28));     // the small map (Karte)
  // A faint compass rose engraved in the map field, painted over while the map shows.
  for (int i = 0; i < 4; ++i) {
    float a = i * 3.14159265f / 2, ca = std::cos(a), sa = std::sin(a);
    FillPolygon(hud, {{169 + ca * 17, 30 + sa * 17}, {169 - sa * 4, 30 + ca * 4}, {169 + sa * 4, 30 - ca * 4}},
                Argb(40, 44, 90));
  }
  Ring(hud, 169, 30, 9, 0.8f, Argb(40, 44, 90));
  Inset(hud, 274, 12, 30, 14, Argb(46, 32, 22));   // map number
  Inset(hud, 242, 32, 96, 14, Argb(46, 32, 22));   // score | best score
  Inset(hud, 364, 18, 40, 22, Argb(46, 32, 22));   // key or match time
  for (int i = 0; i < 10; ++i) Inset(hud, 427 + 20 * i, 4, 16, 16, Argb(44, 24, 22));
  for (int i = 0; i < 7; ++i)
    Inset(hud, int(std::nearbyint(457 + 20.5 * i)), 30, 16, 16, Argb(22, 28, 48));

  Symbol(hud, 408, 5, HeartSymbol());
  Symbol(hud, 439, 30, DropSymbol());
  Symbol(hud, 255, 12, MapSymbol());
  Symbol(hud, 349, 20, HourglassSymbol());
  Symbol(hud, 228, 33, CoinSymbol());
  // The ammunition strip's arrow head at its left: a small quiver mark left of the item.
  Image quiver(10, 16);
  FillRect(quiver, 2, 5, 6, 10, Argb(120, 70, 36));
  Line(quiver, 3, 5, 3, 1, 1, Argb(220, 210, 190));
  Line(quiver, 6, 5, 7, 0, 1, Argb(220, 210, 190));
  Symbol(hud, 8, 28, quiver);
  AvoidPureBlack(hud);
  return hud;
}

// The item icons (40 x 40, shown in the HUD's dark inset): a bearded throwing axe on a
// wrapped haft; the golden one (the HUD shows it for both the golden and the fire axe) has an
// engraved gilt head with a warm glint.
Image AxeIcon(bool golden) {
  Image i(40, 40);
  Line(i, 7, 35, 27, 11, 4, Argb(128, 84, 46));                  // haft
  Line(i, 6.5f, 34, 26.5f, 10, 1.2f, Argb(176, 124, 74));        // its lit edge
  for (int k = 0; k < 4; ++k)                                    // leather wrap at the grip
    Line(i, 8 + k * 2.2f, 30 - k * 2.6f, 11 + k * 2.2f, 32.5f - k * 2.6f, 1.2f, Argb(70, 44, 26));
  uint32_t head = golden ? Argb(236, 190, 64) : Argb(176, 182, 196);
  uint32_t edge = golden ? Argb(255, 244, 170) : Argb(236, 240, 248);
  FillPolygon(i, {{21, 9}, {29, 3}, {37, 4}, {38, 14}, {35, 24}, {30, 18}, {25, 16}}, head);  // bearded blade
  FillPolygon(i, {{29, 3}, {37, 4}, {38, 14}, {35, 24}, {34, 22}, {36, 13}, {35, 6}}, edge);  // ground edge
  FillPolygon(i, {{21, 9}, {26, 6}, {29, 12}, {25, 15}}, Shade(head, 0.7f));                 // socket
  if (golden) {
    Line(i, 28, 9, 32, 15, 0.8f, Argb(170, 120, 30));             // engraving
    Line(i, 30, 8, 33, 12, 0.8f, Argb(170, 120, 30));
  }
  HardenAlpha(i, 100);
  BevelEdges(i, 1.2f, 0.72f);
  Outline(i, InkDark);
  if (golden) {
    Glow(i, 36, 6, 5, Argb(255, 250, 210, 230));
    Line(i, 36, 1, 36, 11, 0.8f, Argb(255, 255, 230, 230));
    Line(i, 31, 6, 41, 6, 0.8f, Argb(255, 255, 230, 230));
  }
  return i;
}

Image PausePanel() {
  Image pausePanel(300, 440);
  Panel(pausePanel, 0, 0, 300, 440, 347);
  DrawTextCentred(pausePanel, PictureText("Pause"), 150, 18, 28, Ink, Argb(255, 240, 200, 120), true);
  return pausePanel;
}

}  // namespace

TextPictures MenuTextPictures() {
  return {{kw::Spr::PauseMenuPanel, EncodePng(PausePanel())},
          {kw::Spr::HighscoreBackground, EncodePng(HighscoreBackground())},
          {kw::Spr::OptionsBackground, EncodePng(OptionsBackground())}};
}

PackFiles MakeMenuPack() {
  namespace Spr = kw::Spr;
  RowPack pack = StartPack(kw::MenuPak);
  Image panel(300, 440);
  Panel(panel, 0, 0, 300, 440, 346);
  DrawTextCentred(panel, "Klingenwald", 150, 18, 28, Ink, Argb(255, 240, 200, 120), true);
  Image dialog = DialogPanel();
  Image volumeArea(488, 43, Argb(90, 90, 90));  // covers x 72..560 at y 337..380
  for (auto& [sprite, png] : MenuTextPictures()) kwgen::Put(pack, sprite, std::move(png));
  Put(pack, Spr::MenuBackground, Background(345, "Klingenwald"));
  Put(pack, Spr::MenuPanel, panel);
  // A key row's hit box covers the whole drawn row: its caption and the field that shows
  // the bound key (a box of the caption alone bound nothing from the field).
  Put(pack, Spr::KeyRowBox, Solid(202, 23, Argb(100, 100, 100)));
  Put(pack, Spr::VolumeArea, volumeArea);
  Put(pack, Spr::VolumeKnob, Knob());
  Put(pack, Spr::LargeButton, TwoStateButton(98, 49));
  Put(pack, Spr::SmallButton, TwoStateButton(70, 49));
  Put(pack, Spr::YesArea, Solid(20, 39, Argb(120, 120, 120)));
  Put(pack, Spr::NoArea, Solid(20, 39, Argb(120, 120, 120)));
  Put(pack, Spr::Pointer, Pointer());
  Put(pack, Spr::DialogPanel, dialog);
  Put(pack, Spr::SpareButton, TwoStateButton(60, 30));
  Put(pack, Spr::SpareKnob, Knob());
  return FinishPack(pack);
}

PackFiles MakeInterfacePack() {
  namespace Spr = kw::Spr;
  RowPack pack = StartPack(kw::InterfacePak);
  Put(pack, Spr::HudPanel, HudPanel());
  Put(pack, Spr::HealthPip, Gem(Argb(214, 34, 44)));
  Put(pack, Spr::ManaPip, Gem(Argb(56, 110, 236)));
  return FinishPack(pack);
}

PackFiles MakeInventarPack() {
  namespace Spr = kw::Spr;
  RowPack pack = StartPack(kw::InventarPak);
  Put(pack, Spr::AxeIcon, AxeIcon(false));
  Put(pack, Spr::GoldAxeIcon, AxeIcon(true));  // the golden and the fire axe
  Put(pack, Spr::SpareIcon, AxeIcon(false));
  Image scroll(40, 40);
  FillRect(scroll, 8, 10, 24, 20, Parchment);
  HardenAlpha(scroll, 100);
  Outline(scroll, InkDark);
  Put(pack, Spr::ScrollIcon, scroll);
  Image ammo(97, 7);
  for (int i = 0; i < 97; ++i) {
    float t = i / 96.0f;
    FillRect(ammo, i, 0, 1, 7, Mix(Argb(240, 200, 60), Argb(220, 70, 30), t));
  }
  FillRect(ammo, 0, 0, 97, 1, Argb(255, 240, 180));
  Put(pack, Spr::AmmoStrip, ammo);
  // Digits: the small row clipped at round(i * 6.3), the large at round(i * 11.4); a crisp
  // 5 x 7 pixel face (doubled for the large digits) reads better than a scaled font.
  Image small(63, 10), large(114, 18);
  for (int i = 0; i < 10; ++i) {
    int sx = int(std::nearbyint(i * kw::SmallDigitStrip.step));
    int lx = int(std::nearbyint(i * kw::LargeDigitStrip.step));
    for (int row = 0; row < 7; ++row)
      for (int col = 0; col < 5; ++col) {
        if (!(DigitRows[i][row] & (16 >> col))) continue;
        small.Set(sx + col, 1 + row, Argb(250, 236, 190));
        FillRect(large, lx + 1 + 2 * col, 1 + 2 * row, 2, 2, Argb(250, 236, 190));
      }
    for (int col = 0; col < 5; ++col)  // a shadow row under the large digits
      if (DigitRows[i][6] & (16 >> col)) FillRect(large, lx + 1 + 2 * col, 15, 2, 1, Argb(150, 110, 60));
  }
  Put(pack, Spr::SmallDigits, small);
  Put(pack, Spr::LargeDigits, large);
  Image sep(6, 10);
  FillRect(sep, 2, 3, 2, 2, Argb(250, 236, 190));
  FillRect(sep, 2, 7, 2, 2, Argb(250, 236, 190));
  Put(pack, Spr::ScoreSeparator, sep);
  return FinishPack(pack);
}

}  // namespace kwgen
