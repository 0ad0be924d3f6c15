// Large pictures: the far backgrounds of the five tile sets (Backgrounds.pak), the forest
// scene behind the title, and the cutscene strips with their music (cutscenes.pak).
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

void Sky(Image& img, uint32_t top, uint32_t bottom) { VerticalGradient(img, 0, 0, img.w, img.h, top, bottom); }

void Stars(Image& img, int count, uint32_t seed) {
  Rng r(seed);
  for (int i = 0; i < count; ++i) Plot(img, r.Range(0, img.w - 1), r.Range(0, img.h / 2), Argb(255, 255, 230, 100 + r.Range(0, 155)));
}

}  // namespace

Image DrawForestScene(int width, int height, uint32_t seed, float dawn) {
  Image img(width, height);
  Sky(img, Mix(Argb(40, 50, 90), Argb(120, 160, 210), dawn), Mix(Argb(90, 70, 90), Argb(250, 200, 140), dawn));
  Glow(img, width * 0.7f, height * 0.45f, height * 0.4f * dawn + 1, Argb(255, 230, 160, int(200 * dawn)));
  Hills(img, height * 0.55f, height * 0.25f, 1.5f, Mix(Argb(60, 70, 90), Argb(110, 130, 150), dawn), seed);
  Trees(img, height * 0.72f, 40, height * 0.2f, Mix(Argb(30, 50, 40), Argb(60, 100, 70), dawn), seed + 1);
  Hills(img, height * 0.82f, height * 0.1f, 2.5f, Mix(Argb(24, 40, 24), Argb(50, 90, 40), dawn), seed + 2);
  Trees(img, height * 0.95f, 14, height * 0.35f, Mix(Argb(16, 28, 18), Argb(34, 64, 34), dawn), seed + 3);
  AvoidPureBlack(img);
  return img;
}

Image DrawBackground(int set) {
  Image img(640, 480);
  switch (set) {
    case 1: img = DrawForestScene(640, 480, 101, 0.9f); break;
    case 2:  // frozen pass: pale sky, white peaks
      Sky(img, Argb(120, 160, 210), Argb(220, 232, 245));
      Hills(img, 300, 220, 1.2f, Argb(200, 214, 232), 201);
      Hills(img, 380, 120, 2.0f, Argb(150, 176, 204), 202);
      Trees(img, 470, 20, 80, Argb(70, 100, 110), 203);
      break;
    case 3:  // caves: dark rock layers, dripstones, a faint crystal glow
      Sky(img, Argb(30, 26, 30), Argb(60, 50, 50));
      for (int i = 0; i < 30; ++i) {
        Rng r(uint32_t(300 + i));
        float x = r.Unit() * 640, len = 40 + r.Unit() * 120;
        FillPolygon(img, {{x - 12, 0}, {x + 12, 0}, {x, len}}, Argb(70, 60, 58));
      }
      Hills(img, 420, 120, 2.0f, Argb(56, 48, 46), 301);
      for (int i = 0; i < 6; ++i) Glow(img, 60.0f + i * 110, 380, 40, Argb(160, 100, 230, 70));
      break;
    case 4: {  // castle: a hall of masonry with tall windows
      Sky(img, Argb(70, 64, 60), Argb(100, 92, 84));
      for (int y = 0; y < 480; y += 20)
        for (int x = -(y / 20 % 2) * 20; x < 640; x += 40) FrameRect(img, x, y, 40, 20, Argb(60, 54, 50));
      for (int i = 0; i < 4; ++i) {
        float x = 80 + i * 160;
        FillRect(img, int(x - 25), 120, 50, 180, Argb(60, 80, 120));
        FillEllipse(img, x, 120, 25, 25, Argb(60, 80, 120));
        Glow(img, x, 200, 80, Argb(255, 240, 200, 60));
        FillRect(img, int(x - 1), 95, 3, 205, Argb(50, 44, 40));
      }
      NoiseTexture(img, 40, 0.25f, 401);
      break;
    }
    default:  // dark tower: night, violet sky, a black spire
      Sky(img, Argb(16, 10, 30), Argb(70, 30, 90));
      Stars(img, 200, 501);
      Hills(img, 420, 80, 2.0f, Argb(30, 20, 40), 502);
      FillPolygon(img, {{280, 480}, {300, 100}, {320, 40}, {340, 100}, {360, 480}}, Argb(24, 18, 32));
      Glow(img, 320, 120, 40, Argb(200, 80, 255, 140));
  }
  AvoidPureBlack(img);
  return img;
}

PackFiles MakeBackgroundsPack() {
  PackFiles pack;
  for (int set = 1; set <= 5; ++set) pack.push_back(EncodePng(DrawBackground(set)));
  return pack;
}

// ---------------------------------------------------------------------------------------
// Cutscenes

namespace {

Image Frame() { return Image(640, 480); }

void Caption(Image& f, const std::string& text) {
  FillRect(f, 0, 420, 640, 60, Argb(10, 8, 6, 150));
  DrawTextCentred(f, text, 320, 432, 26, Argb(236, 214, 150), Argb(10, 8, 6));
}

Image Village(float dawn) {
  Image f = DrawForestScene(640, 480, 900, dawn);
  for (int i = 0; i < 3; ++i) {  // cottages
    float x = 120 + i * 110, y = 360 + (i % 2) * 10;
    FillRect(f, int(x), int(y), 70, 50, Argb(150, 120, 90));
    FillPolygon(f, {{x - 8, y}, {x + 35, y - 35}, {x + 78, y}}, Argb(120, 60, 40));
    FillRect(f, int(x + 28), int(y + 20), 14, 30, Argb(80, 50, 30));
    FillRect(f, int(x + 8), int(y + 12), 12, 10, Argb(250, 210, 120));
  }
  return f;
}

Image Aufbruch(int k) {
  Image f;
  switch (k) {
    case 0:
      f = Village(0.6f);
      Caption(f, "Morgengrauen über dem Dorf");
      break;
    case 1: {
      f = Village(0.8f);
      Image hero = DrawHeroLarge(240, false);
      Blit(f, hero, 400, 180);
      Caption(f, "Alrik greift zu seiner Axt");
      break;
    }
    case 2: {
      f = DrawForestScene(640, 480, 902, 0.4f);
      for (int i = 0; i < 6; ++i) Glow(f, 100.0f + i * 90, 100, 160, Argb(20, 0, 40, 120));
      Caption(f, "Ein Schatten liegt über dem Wald");
      break;
    }
    default: {
      f = DrawForestScene(640, 480, 903, 0.9f);
      FillPolygon(f, {{250, 480}, {310, 330}, {330, 330}, {420, 480}}, Argb(170, 140, 100));
      Blit(f, DrawHeroLarge(120, false), 290, 300);
      Caption(f, "Der Weg in den Klingenwald");
    }
  }
  return f;
}

Image Waechter(int k) {
  Image f = DrawBackground(4);
  Image g = DrawGuardian(k == 0 ? 0.0f : (k == 1 ? 0.4f : 1.0f));
  Blit(f, Scaled(g, 240, 320), 200, 90);
  if (k == 1) {
    Blit(f, DrawHeroLarge(200, false), 60, 230);
    Glow(f, 157, 342, 40, Argb(255, 230, 120, 230));  // the key in his hand
  }
  Caption(f, k == 0 ? "Der steinerne Wächter" : (k == 1 ? "Der Schlüssel leuchtet" : "Ein freundlicher Geist"));
  return f;
}

Image Finale(int k) {
  Image f;
  switch (k) {
    case 0:
      f = DrawBackground(5);
      for (int i = 0; i < 12; ++i) {
        Rng r(uint32_t(700 + i));
        FillRect(f, int(260 + r.Unit() * 120), int(100 + r.Unit() * 300), 14, 10, Argb(30, 24, 40));
      }
      Caption(f, "Der dunkle Turm fällt");
      break;
    case 1:
      f = Frame();
      VerticalGradient(f, 0, 0, 640, 480, Argb(30, 20, 10), Argb(90, 60, 20));
      Glow(f, 320, 220, 200, Argb(255, 220, 100, 200));
      FillEllipse(f, 320, 220, 50, 60, Argb(255, 220, 90));
      FillEllipse(f, 305, 200, 15, 20, Argb(255, 250, 200));
      Caption(f, "Der Sonnenstein");
      break;
    case 2:
      f = DrawForestScene(640, 480, 905, 1.0f);
      Caption(f, "Die Sonne kehrt zurück nach Klingenwald");
      break;
    default:
      f = DrawForestScene(640, 480, 906, 1.0f);
      FillRect(f, 0, 0, 640, 480, Argb(10, 8, 6, 120));
      DrawTextCentred(f, "Ende", 320, 180, 96, Argb(236, 214, 150), Argb(10, 8, 6), true);
  }
  return f;
}

Image Strip(Image (*frame)(int), int frames) {
  Image strip(640, 480 * frames);
  for (int k = 0; k < frames; ++k) CopyRegion(strip, frame(k), 0, 0, 640, 480, 0, 480 * k);
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
  pack.push_back(EncodePng(Strip(Aufbruch, 4)));
  pack.push_back(EncodeOgg(CutsceneTheme(62, {0, 2, 3, 7, 5, 3, 2, -1, 0, 3, 5, 7, 10, 7, 5, -1}, 11), MusicRate, 0.2f));
  pack.push_back(EncodePng(Strip(Waechter, 3)));
  pack.push_back(EncodeOgg(CutsceneTheme(57, {0, -1, 3, 5, 6, -1, 5, 3, 0, -1, 1, 0}, 21), MusicRate, 0.2f));
  pack.push_back(EncodePng(Strip(Finale, 4)));
  pack.push_back(EncodeOgg(CutsceneTheme(60, {0, 4, 7, 12, 11, 7, 9, 7, 5, 4, 2, 0, 4, 7, 12, -1}, 31), MusicRate, 0.2f));
  return pack;
}

}  // namespace kwgen
