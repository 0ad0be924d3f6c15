// Menu.pak (16), Interface.pak (3) and Inventar.pak (8): menu backgrounds and panels,
// two-state buttons, the options screen with its row captions and volume track, the
// pointer, hit areas, the HUD panel with its pips, item icons, ammunition strip and digits.
#include <cmath>

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
  }
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
  Image hud(640, 59);
  FillRect(hud, 0, 0, 640, 59, Wood);
  NoiseTexture(hud, 14, 0.35f, 407);
  FillRect(hud, 0, 0, 640, 2, Gold);
  FillRect(hud, 0, 2, 640, 1, InkDark);
  auto socket = [&](int x, int y, int w, int h) {
    FillRect(hud, x, y, w, h, Argb(40, 28, 18));
    FrameRect(hud, x - 1, y - 1, w + 2, h + 2, Shade(Gold, 0.8f));
  };
  socket(31, 2, 44, 44);                  // item icon at (33, 425): the panel starts at y 421
  socket(3, 46, 101, 11);                 // ammunition strip at (5, 468)
  socket(232, 30, 110, 24);               // score digits around (238, 455)
  socket(266, 10, 60, 20);                // map number (270, 435)
  socket(351, 16, 60, 24);                // key / time digits (355, 441)
  for (int i = 0; i < 10; ++i) socket(426 + 20 * i, 3, 18, 18);     // health pips (427 + 20i, 425)
  for (int i = 0; i < 9; ++i) socket(456 + int(20.5f * i), 29, 18, 18);  // mana pips (457 + 20.5i, 451)
  DrawText(hud, "Karte", 120, 8, 12, Parchment);
  DrawText(hud, "Punkte", 120, 34, 12, Parchment);
  AvoidPureBlack(hud);
  Add(pack, hud);
  Image health(16, 16), mana(16, 16);
  FillEllipse(health, 5, 6, 4, 4, Argb(220, 30, 40));
  FillEllipse(health, 11, 6, 4, 4, Argb(220, 30, 40));
  FillPolygon(health, {{1, 7}, {15, 7}, {8, 15}}, Argb(220, 30, 40));
  FillEllipse(health, 5, 5, 1.5f, 1.5f, Argb(255, 200, 200));
  FillEllipse(mana, 8, 8, 7, 7, Argb(60, 110, 240));
  Glow(mana, 6, 6, 4, Argb(220, 240, 255, 220));
  for (Image* p : {&health, &mana}) {
    HardenAlpha(*p, 110);
    Outline(*p, InkDark);
  }
  Add(pack, health);
  Add(pack, mana);
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
