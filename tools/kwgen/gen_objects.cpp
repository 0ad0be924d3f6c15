// objects.pak: the 48 entries of the object catalogue (title, pause picture, the hero's
// sheets, enemies, shots, doors, portals, guardian, slider, spells, auras, spikes, bombs)
// and the loose pictures under paks/npf.
#include <cmath>

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

Image ShotSheet(int kind) {
  Image img(160, 48);
  if (kind < 2) {
    uint32_t head = kind == 0 ? Argb(176, 180, 196) : Argb(240, 196, 60);
    for (int f = 0; f < 4; ++f) {
      Image fr(20, 20);
      ThrowingAxe(fr, 10, 10, 18, f * Pi / 2, head, Argb(130, 90, 50));
      HardenAlpha(fr, 110);
      Outline(fr, Ink);
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

Image BombSheet() {
  Image img(69, 132);
  for (int row = 0; row < 4; ++row)
    for (int tick = 0; tick < 3; ++tick) {
      Image f(23, 33);
      bool glowing = row == 3;
      uint32_t body = glowing ? Argb(200, 70 + tick * 30, 40) : Argb(52, 52, 64);
      FillEllipse(f, 11.5f, 23, 9.5f, 9.5f, body);
      FillEllipse(f, 8, 19, 3, 2.5f, glowing ? Argb(255, 220, 120) : Argb(120, 120, 140));
      FillRect(f, 9, 11, 5, 4, Argb(90, 80, 70));
      float fuseTop = 2 + row * 3.0f;  // the fuse burns down row by row
      Line(f, 11.5f, 11, 14, fuseTop, 1.6f, Argb(180, 150, 100));
      uint32_t spark = tick == 1 ? Argb(255, 255, 200) : Argb(255, 180, 40);
      FillEllipse(f, 14, fuseTop, 2.0f + (tick == 1), 2.0f + (tick == 1), spark);
      HardenAlpha(f, 100);
      Outline(f, Ink);
      Blit(img, f, tick * 23, row * 33);
    }
  return img;
}

// A spiked log sliding along the ground; the hit row is flushed red.
Image SliderSheet() {
  Image img(120, 120);
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 2; ++col) {
      Image f(60, 60);
      float turn = col ? -0.3f : 0.3f;
      for (int i = 0; i < 10; ++i) {
        float a = i * Pi / 5 + turn;
        FillPolygon(f, {{30 + 17 * std::cos(a - 0.25f), 34 + 17 * std::sin(a - 0.25f)},
                        {30 + 27 * std::cos(a), 34 + 25 * std::sin(a)},
                        {30 + 17 * std::cos(a + 0.25f), 34 + 17 * std::sin(a + 0.25f)}},
                    Argb(190, 190, 200));
      }
      FillEllipse(f, 30, 34, 18, 18, Argb(120, 84, 50));
      Ring(f, 30, 34, 11, 1.2f, Argb(86, 58, 34));
      Ring(f, 30, 34, 5, 1.2f, Argb(86, 58, 34));
      if (row == 1)
        for (auto& p : f.px)
          if (AlphaOf(p)) p = Mix(p, Argb(255, 60, 40), 0.45f);
      HardenAlpha(f, 110);
      Outline(f, Ink);
      Blit(img, f, col * 60, row * 60);
    }
  KeyBackground(img, Argb(176, 32, 0));
  return img;
}

Image ExitDoor() {
  Image d(30, 50);
  FillRect(d, 2, 8, 26, 42, Argb(96, 80, 70));
  FillEllipse(d, 15, 10, 13, 9, Argb(96, 80, 70));
  FillRect(d, 6, 12, 18, 38, Argb(120, 78, 40));
  FillEllipse(d, 15, 13, 9, 6, Argb(120, 78, 40));
  for (int x = 10; x < 24; x += 5) FillRect(d, x, 10, 1, 40, Argb(86, 54, 28));
  FillEllipse(d, 20, 32, 1.5f, 1.5f, Argb(230, 200, 80));
  FillRect(d, 6, 20, 18, 2, Argb(60, 60, 64));
  FillRect(d, 6, 40, 18, 2, Argb(60, 60, 64));
  HardenAlpha(d, 110);
  BevelEdges(d, 1.2f, 0.75f);
  Outline(d, Ink);
  KeyBackground(d, Argb(0, 250, 0));
  return d;
}

Image Portal(bool flash) {
  Image p(30, 50);
  if (flash) {
    Glow(p, 15, 25, 22, Argb(255, 255, 255, 255));
    Glow(p, 15, 25, 12, Argb(220, 200, 255, 255));
    return p;
  }
  FillEllipse(p, 15, 25, 13, 23, Argb(60, 40, 110));
  for (int i = 0; i < 4; ++i) Ring(p, 15, 25, 4.0f + i * 3.5f, 1.0f, Argb(160 + i * 20, 120, 255, 200));
  Glow(p, 15, 25, 10, Argb(240, 220, 255, 220));
  HardenAlpha(p, 80);
  Outline(p, Argb(30, 20, 50));
  return p;
}

Image OpenedDoor() {
  // The locked door's frame with the door swung open (tile 19 once the key is held).
  Image d(30, 50);
  FillRect(d, 0, 10, 30, 30, Argb(70, 60, 56));
  FillRect(d, 4, 14, 22, 26, Argb(14, 12, 16));
  FillPolygon(d, {{4, 14}, {10, 17}, {10, 40}, {4, 40}}, Argb(120, 78, 40));
  BevelEdges(d, 1.2f, 0.75f);
  AvoidPureBlack(d);
  return d;
}

Image Spikes(bool vertical) {
  Image s(30, 30);
  for (int i = 0; i < 4; ++i) {
    float c = 4 + i * 7.3f;
    if (vertical)
      FillPolygon(s, {{c - 3.5f, 30}, {c, 4}, {c + 3.5f, 30}}, Argb(190, 194, 206));
    else
      FillPolygon(s, {{0, c - 3.5f}, {26, c}, {0, c + 3.5f}}, Argb(190, 194, 206));
  }
  if (vertical) FillRect(s, 0, 26, 30, 4, Argb(90, 84, 80));
  else FillRect(s, 0, 0, 4, 30, Argb(90, 84, 80));
  HardenAlpha(s, 110);
  BevelEdges(s, 1.25f, 0.7f);
  Outline(s, Ink);
  return s;
}

Image SpellOrb(uint32_t colour) {
  Image o(30, 30);
  Glow(o, 15, 15, 15, WithAlpha(colour, 200));
  FillEllipse(o, 15, 15, 6, 6, Mix(colour, Argb(255, 255, 255), 0.6f));
  Glow(o, 13, 13, 4, Argb(255, 255, 255, 230));
  return o;
}

Image AuraRing(uint32_t colour, bool outer) {
  Image a(42, 58);
  float r = outer ? 24.0f : 18.0f;
  for (int i = 0; i < 3; ++i) Ring(a, 21, 29, r - i * 1.5f, 1.6f, WithAlpha(colour, 150 - i * 40));
  Glow(a, 21, 29, r, WithAlpha(colour, 60));
  return a;
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
  DrawTextCentred(t, "Die Rückkehr des Sonnensteins", 320, 252, 22, Argb(220, 210, 180), Argb(20, 14, 8));
  return t;
}

Image PausePicture() {
  // Drawn opaque over the whole screen while the game is paused in full screen.
  Image p = DrawForestScene(640, 480, 372, 0.3f);
  FillRect(p, 0, 0, 640, 480, Argb(8, 6, 12, 120));
  DrawTextCentred(p, "Weiter mit P", 320, 300, 20, Argb(220, 210, 180), Argb(20, 14, 8));
  FillRect(p, 0, 200, 640, 80, Argb(12, 10, 8, 170));
  FillRect(p, 0, 200, 640, 2, Argb(200, 170, 90, 220));
  FillRect(p, 0, 278, 640, 2, Argb(200, 170, 90, 220));
  DrawTextCentred(p, "Pause", 320, 206, 52, Argb(236, 214, 150), Argb(20, 14, 8), true);
  return p;
}

Image OpenDoorCollision() {
  // Once the key is taken this replaces tile 19's collision picture: open, apart from a
  // corner of the frame, so the figure walks through.
  Image c(30, 30);
  FillRect(c, 0, 0, 2, 2, Argb(70, 60, 56));
  return c;
}

void Add(PackFiles& pack, const Image& img) { pack.push_back(EncodePng(img)); }

}  // namespace

PackFiles MakeObjectsPack(std::vector<LooseFile>& loose) {
  PackFiles pack;
  Image sheet = DrawFigureSheet(false, false);
  Add(pack, TitlePicture());                 // 0: 322
  Add(pack, PausePicture());                 // 1: 372
  Add(pack, sheet);                          // 2: 324
  Add(pack, Sparkle());                      // 3: read and skipped
  Add(pack, DrawSmallForm());                // 4: 325
  Add(pack, Chest());                        // 5: read and skipped
  Add(pack, DrawFigureSheet(true, false));   // 6: 437
  Add(pack, Sparkle());                      // 7: 439
  Add(pack, OpenedDoor());                   // 8: 440
  Add(pack, DrawTouchMask(sheet));           // 9: 438
  for (int k = 0; k < 3; ++k) Add(pack, ShotSheet(k));  // 10..12: 326..328
  Add(pack, DrawEnemySheet(0));              // 13: 329
  Add(pack, DrawEnemySheet(1));              // 14: 330
  Add(pack, DrawEnemySheet(2));              // 15: 331
  Add(pack, DrawEnemySheet(3));              // 16: 332
  Add(pack, DrawSwordOverlay());             // 17: 333
  Add(pack, DrawBackground(1));              // 18: 334 (replaced by Backgrounds.pak)
  Add(pack, DrawEnemySheet(4));              // 19: 335
  Add(pack, DrawEnemySheet(5));              // 20: 336
  Add(pack, DrawEnemySheet(6));              // 21: 337
  Add(pack, OpenDoorCollision());            // 22: 320
  Add(pack, ExitDoor());                     // 23: 340
  Add(pack, Portal(false));                  // 24: 341
  Add(pack, Portal(true));                   // 25: 441
  Add(pack, Chest());                        // 26: 342
  Add(pack, Banner());                       // 27: 343
  Add(pack, DrawGuardian(1.0f));             // 28: 339
  Add(pack, DrawGuardian(0.0f));             // 29: 338
  Add(pack, SliderSheet());                  // 30: 344
  Add(pack, SpellOrb(Argb(90, 160, 255)));   // 31: 358 (fetch)
  Add(pack, SpellOrb(Argb(255, 120, 40)));   // 32: 357
  Add(pack, SpellOrb(Argb(120, 255, 120)));  // 33: 359
  const uint32_t auraColours[5] = {Argb(255, 80, 60), Argb(100, 255, 120), Argb(255, 220, 90),
                                   Argb(255, 150, 60), Argb(110, 170, 255)};
  for (int i = 0; i < 10; ++i) Add(pack, AuraRing(auraColours[i / 2], i % 2 == 0));  // 34..43: 360..369
  Add(pack, Spikes(false));                  // 44: 373
  Add(pack, Spikes(true));                   // 45: 374
  Add(pack, DrawClimbSheet());               // 46: 375
  Add(pack, BombSheet());                    // 47: 9999

  loose.push_back({"player+k.png", EncodePng(DrawFigureSheet(false, true))});
  for (int k = 0; k < 3; ++k)
    loose.push_back({"gegner_g" + std::to_string(k) + ".png", EncodePng(DrawGuardian(0.25f + 0.25f * k))});
  return pack;
}

}  // namespace kwgen
