// Menu.pak (16), Interface.pak (3) and Inventar.pak (8): menu backgrounds and panels,
// two-state buttons, the options screen with its row captions and volume track, the
// pointer, hit areas, the HUD panel with its pips, item icons, ammunition strip and digits.
#include <cmath>
#include <vector>

#include "kwgen.h"

namespace kwgen {

namespace {

constexpr uint32_t Wood = Argb(110, 72, 40);
constexpr uint32_t Gold = Argb(214, 176, 82);
constexpr uint32_t InkDark = Argb(24, 18, 12);

// A sheet of parchment with a wooden frame and studs, light from the top left.
void Panel(Image& img, int x, int y, int w, int h, uint32_t seed) {
  Image p(w, h);
  FillRect(p, 0, 0, w, h, Wood);
  NoiseTexture(p, 12, 0.35f, seed);
  for (int j = 8; j < h - 8; ++j)
    for (int i = 8; i < w - 8; ++i) {
      float n = Fbm(i / 30.0f, j / 30.0f, seed + 5, 3);
      float edge = std::min(std::min(i - 8, w - 9 - i), std::min(j - 8, h - 9 - j)) / 12.0f;
      float f = 0.82f + 0.25f * n - 0.15f * std::max(0.0f, 1 - edge) + Bayer(i, j) * 0.04f;
      p.Set(i, j, Shade(Parchment, f));
    }
  FrameRect(p, 7, 7, w - 14, h - 14, InkDark);
  FrameRect(p, 0, 0, w, h, InkDark);
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j) FillEllipse(p, 4 + i * (w - 8.0f), 4 + j * (h - 8.0f), 3, 3, Gold);
  // Bevel of the frame.
  FillRect(p, 1, 1, w - 2, 1, Argb(255, 255, 255, 60));
  FillRect(p, 1, 1, 1, h - 2, Argb(255, 255, 255, 60));
  FillRect(p, 1, h - 2, w - 2, 1, Argb(0, 0, 0, 80));
  FillRect(p, w - 2, 1, 1, h - 2, Argb(0, 0, 0, 80));
  Blit(img, p, x, y);
}

// Upper half normal, lower half pressed (darker, sunk).
Image TwoStateButton(int w, int h) {
  Image b(w, 2 * h);
  for (int state = 0; state < 2; ++state) {
    Image s(w, h);
    FillEllipse(s, w / 2.0f, h / 2.0f, w / 2.0f - 1, h / 2.0f - 1, Shade(Wood, state ? 0.8f : 1.0f));
    FillEllipse(s, w / 2.0f, h / 2.0f, w / 2.0f - 5, h / 2.0f - 5, Shade(Parchment, state ? 0.78f : 0.95f));
    NoiseTexture(s, 8, 0.18f, 349 + uint32_t(state));
    Ring(s, w / 2.0f, h / 2.0f, std::min(w, h) / 2.0f - 4, 0.8f, Gold);
    HardenAlpha(s, 128);
    BevelEdges(s, state ? 0.8f : 1.25f, state ? 1.2f : 0.7f);
    Outline(s, InkDark);
    Blit(b, s, 0, state * h);
  }
  // The outline may leave the picture black at its border: keep it transparent instead.
  AvoidPureBlack(b);
  return b;
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
  Panel(bg, 90, 40, 470, 430, 3540);
  DrawTextCentred(bg, "Optionen", 325, 48, 26, Ink, Argb(255, 240, 200, 120), true);
  struct Row { const char* caption; int x, y; };
  const Row rows[20] = {
      {"Abbruch", 112, 82}, {"Pause", 112, 105}, {"Speichern", 112, 129}, {"Laden", 112, 153},
      {"Neustart", 112, 177}, {"Bild hoch", 112, 201}, {"Bild runter", 112, 225},
      {"Text kleiner", 112, 249}, {"Text größer", 112, 273}, {"Runter", 344, 201},
      {"Hoch", 344, 225}, {"Links", 344, 249}, {"Rechts", 344, 273}, {"Springen", 344, 297},
      {"Schwert", 112, 297}, {"Werfen", 344, 82}, {"Zauber 1", 344, 105}, {"Zauber 2", 344, 129},
      {"Zauber 3", 344, 153}, {"Zauber 4", 344, 177}};
  for (const Row& r : rows) {
    FillRect(bg, r.x, r.y + 1, 200, 21, Argb(120, 90, 50, 40));
    FrameRect(bg, r.x, r.y, 202, 23, Argb(110, 80, 50, 140));
    DrawText(bg, r.caption, r.x + 4, r.y + 4, 13, Ink);
    // The slot where the bound key's name is written (x 206 left, 439 right).
    int slot = r.x == 112 ? 204 : 437;
    FillRect(bg, slot - 2, r.y + 3, r.x + 198 - slot, 17, Argb(90, 60, 30, 60));
    FillRect(bg, slot - 2, r.y + 3, r.x + 198 - slot, 1, Argb(80, 52, 26, 130));
    FillRect(bg, slot - 2, r.y + 3, 1, 17, Argb(80, 52, 26, 130));
  }
  DrawText(bg, "leise", 100, 392, 11, Ink);
  DrawText(bg, "laut", 524, 392, 11, Ink);
  DrawText(bg, "Lautstärke", 112, 322, 16, Ink, true);
  FillRect(bg, 90, 366, 460, 6, Argb(80, 56, 30));
  FillRect(bg, 90, 366, 460, 2, Argb(50, 34, 18));
  for (int i = 0; i <= 10; ++i) FillRect(bg, 95 + i * 45, 374, 2, 6, Argb(80, 56, 30));
  AvoidPureBlack(bg);
  return bg;
}

Image Pointer() {
  Image p(20, 24);
  FillPolygon(p, {{1, 1}, {1, 19}, {6, 14}, {10, 22}, {13, 21}, {9, 13}, {16, 13}}, Gold);
  HardenAlpha(p, 128);
  BevelEdges(p, 1.2f, 0.7f);
  Outline(p, InkDark);
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

void Add(PackFiles& pack, const Image& img) { pack.push_back(EncodePng(img)); }

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

}  // namespace

PackFiles MakeMenuPack() {
  PackFiles pack;
  Image panel(300, 440), pausePanel(300, 440);
  Panel(panel, 0, 0, 300, 440, 346);
  DrawTextCentred(panel, "Klingenwald", 150, 18, 28, Ink, Argb(255, 240, 200, 120), true);
  Panel(pausePanel, 0, 0, 300, 440, 347);
  DrawTextCentred(pausePanel, "Pause", 150, 18, 28, Ink, Argb(255, 240, 200, 120), true);
  Image highscore = Background(348, "Bestenliste");
  Panel(highscore, 220, 80, 240, 190, 3480);
  Image dialog(240, 150);
  Panel(dialog, 0, 0, 240, 150, 315);
  Image volumeArea(488, 43, Argb(90, 90, 90));  // covers x 72..560 at y 337..380
  Add(pack, Background(345, "Klingenwald"));  // 0: 345
  Add(pack, panel);                            // 1: 346
  Add(pack, pausePanel);                       // 2: 347
  Add(pack, Solid(110, 22, Argb(100, 100, 100)));  // 3: 318 row box
  Add(pack, volumeArea);                       // 4: 317
  Add(pack, Knob());                           // 5: 316
  Add(pack, highscore);                        // 6: 348
  Add(pack, TwoStateButton(98, 49));           // 7: 349
  Add(pack, TwoStateButton(70, 49));           // 8: 350
  Add(pack, OptionsBackground());              // 9: 354
  Add(pack, Solid(20, 39, Argb(120, 120, 120)));  // 10: 355 "Ja"
  Add(pack, Solid(20, 39, Argb(120, 120, 120)));  // 11: 356 "Nein"
  Add(pack, Pointer());                        // 12: 353
  Add(pack, dialog);                           // 13: 315
  Add(pack, TwoStateButton(60, 30));           // 14: 313
  Add(pack, Knob());                           // 15: 314
  return pack;
}

PackFiles MakeInterfacePack() {
  PackFiles pack;
  Add(pack, HudPanel());                        // 0: 407
  Add(pack, Gem(Argb(214, 34, 44)));            // 1: 444 health pip
  Add(pack, Gem(Argb(56, 110, 236)));           // 2: 445 mana pip
  return pack;
}

PackFiles MakeInventarPack() {
  PackFiles pack;
  auto icon = [](uint32_t head, uint32_t glow) {
    Image i(40, 40);
    if (AlphaOf(glow)) Glow(i, 22, 14, 18, glow);
    Line(i, 8, 34, 28, 10, 4, Argb(130, 86, 46));
    FillPolygon(i, {{22, 6}, {36, 2}, {36, 22}, {28, 18}}, head);
    HardenAlpha(i, 100);
    BevelEdges(i, 1.25f, 0.7f);
    Outline(i, InkDark);
    return i;
  };
  Add(pack, icon(Argb(240, 200, 60), 0));                       // 0: 442 golden axe
  Add(pack, icon(Argb(220, 80, 40), Argb(255, 150, 40, 200)));  // 1: 443 fire axe
  Add(pack, icon(Argb(180, 184, 198), 0));                      // 2: 411 plain axe
  Image scroll(40, 40);
  FillRect(scroll, 8, 10, 24, 20, Parchment);
  HardenAlpha(scroll, 100);
  Outline(scroll, InkDark);
  Add(pack, scroll);                                            // 3: 412
  Image ammo(97, 7);
  for (int i = 0; i < 97; ++i) {
    float t = i / 96.0f;
    FillRect(ammo, i, 0, 1, 7, Mix(Argb(240, 200, 60), Argb(220, 70, 30), t));
  }
  FillRect(ammo, 0, 0, 97, 1, Argb(255, 240, 180));
  Add(pack, ammo);                                              // 4: 413
  // Digits: the small row clipped at round(i * 6.3), the large at round(i * 11.4); a crisp
  // 5 x 7 pixel face (doubled for the large digits) reads better than a scaled font.
  Image small(63, 10), large(114, 18);
  for (int i = 0; i < 10; ++i) {
    int sx = int(std::nearbyint(i * 6.3)), lx = int(std::nearbyint(i * 11.4));
    for (int row = 0; row < 7; ++row)
      for (int col = 0; col < 5; ++col) {
        if (!(DigitRows[i][row] & (16 >> col))) continue;
        small.Set(sx + col, 1 + row, Argb(250, 236, 190));
        FillRect(large, lx + 1 + 2 * col, 1 + 2 * row, 2, 2, Argb(250, 236, 190));
      }
    for (int col = 0; col < 5; ++col)  // a shadow row under the large digits
      if (DigitRows[i][6] & (16 >> col)) FillRect(large, lx + 1 + 2 * col, 15, 2, 1, Argb(150, 110, 60));
  }
  Add(pack, small);                                             // 5: 414..423
  Add(pack, large);                                             // 6: 446..455
  Image sep(6, 10);
  FillRect(sep, 2, 3, 2, 2, Argb(250, 236, 190));
  FillRect(sep, 2, 7, 2, 2, Argb(250, 236, 190));
  Add(pack, sep);                                               // 7: 424
  return pack;
}

}  // namespace kwgen
