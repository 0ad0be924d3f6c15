// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwbench part "drawing": one play-screen frame of the software renderer, measured on
// synthetic pictures: a 640 x 480 opaque background, 1200 blended 30 x 30 tiles (3D
// sprites, most at full opacity), 30 keyed 42 x 58 figures, 10 scaled and turned
// 60 x 60 pictures (nearest, as the world pass draws) and 200 pixel-exact collision
// tests, then the darkness of a dark map over every cell (blended 30 x 30 pictures at the
// map's darkness: most of them one opaque dark colour, some gradients with their own
// alpha), as the world pass draws it. The same frame is then drawn with SDL2's own
// software renderer for comparison.
#include <SDL.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "bench.h"
#include "media/core.h"
#include "media/sprites.h"

namespace kwbench {

namespace {

constexpr int Runs = 200;
constexpr int TileKinds = 16;
constexpr int Tiles = 1200, Figures = 30, Turned = 10, Touches = 200;
constexpr int ShadeKinds = 6;  // 0: full darkness, the rest gradients
constexpr int Darkness = 190;  // the dark map's overlay alpha
// Sprite numbers far above the game's own, freed again at the end.
constexpr int BackgroundSprite = 60000, FigureSprite = 60001, TileSprite = 60010;
constexpr int ShadeSprite = 60100;

constexpr uint32_t KeyPixel = 0xFF000000u;  // black: the default key colour

// A small deterministic generator, so every run draws the same frame.
struct Noise {
  uint32_t state = 12345;
  uint32_t Next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
  int Upto(int n) { return int(Next() % uint32_t(n)); }
};

// The pictures of the frame as plain ARGB arrays, shared by both renderers.
struct Pictures {
  std::vector<uint32_t> background;                 // 640 x 480
  std::vector<uint32_t> figure;                     // 42 x 58, key areas around the body
  std::vector<std::vector<uint32_t>> tiles;         // 30 x 30 each, odd kinds with key holes
  std::vector<std::vector<uint32_t>> shades;        // 30 x 30 darkness pictures
};

// One draw or test of the frame, placed once so both renderers do identical work.
struct TileDraw { int kind, x, y, alpha; };
struct PlacedFigure { int x, y; };
struct TurnedDraw { int kind, x, y; float angle; };
struct TouchTest { int tileKind, tx, ty, fx, fy; };
struct ShadeDraw { int kind, x, y; };
struct Frame {
  std::vector<TileDraw> tiles;
  std::vector<PlacedFigure> figures;
  std::vector<TurnedDraw> turned;
  std::vector<TouchTest> touches;
  std::vector<ShadeDraw> shades;
};

Pictures MakePictures(Noise& noise) {
  Pictures p;
  p.background.resize(640 * 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      p.background[y * 640 + x] = 0xFF000000u | uint32_t(x * 255 / 640) << 16 | uint32_t(y / 2) << 8 | 0x40;
  p.figure.resize(42 * 58);
  for (int y = 0; y < 58; ++y)
    for (int x = 0; x < 42; ++x) {
      double dx = (x - 21) / 16.0, dy = (y - 29) / 26.0;
      bool body = dx * dx + dy * dy < 1.0;
      p.figure[y * 42 + x] = body ? 0xFF000000u | (noise.Next() & 0xFFFFFF) | 0x010101u : KeyPixel;
    }
  for (int k = 0; k < TileKinds; ++k) {
    std::vector<uint32_t> tile(30 * 30);
    for (int i = 0; i < 900; ++i) {
      bool hole = (k % 2) && ((i / 30 + i % 30 + k) % 7 == 0 || i / 30 < 4);
      tile[i] = hole ? KeyPixel : 0xFF000000u | (noise.Next() & 0xFFFFFF) | 0x010101u;
    }
    p.tiles.push_back(tile);
  }
  for (int k = 0; k < ShadeKinds; ++k) {
    std::vector<uint32_t> shade(30 * 30);
    for (int i = 0; i < 900; ++i) {
      uint32_t a = k == 0 ? 255 : uint32_t(std::min(255, 100 + k * 20 + (i / 30) * 3 + (i % 3)));
      shade[i] = a << 24 | 0x040308u;
    }
    p.shades.push_back(shade);
  }
  return p;
}

Frame MakeFrame(Noise& noise) {
  Frame f;
  for (int i = 0; i < Tiles; ++i) {
    int cell = i % 374;  // 22 x 17 cells cover the screen, drawn about three times over
    int alpha = noise.Upto(5) == 0 ? 60 + noise.Upto(190) : 255;
    f.tiles.push_back({noise.Upto(TileKinds), (cell % 22) * 30 - 10, (cell / 22) * 30 - 10, alpha});
  }
  for (int i = 0; i < Figures; ++i) f.figures.push_back({noise.Upto(620) - 10, noise.Upto(450) - 10});
  for (int i = 0; i < Turned; ++i)
    f.turned.push_back({noise.Upto(TileKinds), noise.Upto(580), noise.Upto(420), float(noise.Upto(360))});
  for (int i = 0; i < Touches; ++i) {
    int tx = noise.Upto(600), ty = noise.Upto(440);
    f.touches.push_back({noise.Upto(TileKinds), tx, ty, tx - 30 + noise.Upto(60), ty - 50 + noise.Upto(80)});
  }
  for (int cell = 0; cell < 22 * 17; ++cell) {
    int kind = noise.Upto(7) < 5 ? 0 : 1 + noise.Upto(ShadeKinds - 1);
    f.shades.push_back({kind, (cell % 22) * 30 - 10, (cell / 22) * 30 - 10});
  }
  return f;
}

// --- Our renderer ---------------------------------------------------------------

void LoadOurs(const Pictures& p) {
  auto fill = [](int n, int w, int h, const std::vector<uint32_t>& px) {
    kw::CreateSprite(n, w, h);
    std::copy(px.begin(), px.end(), kw::SpritePixels(n));
  };
  fill(BackgroundSprite, 640, 480, p.background);
  fill(FigureSprite, 42, 58, p.figure);
  for (int k = 0; k < TileKinds; ++k) {
    fill(TileSprite + k, 30, 30, p.tiles[k]);
    kw::MakeSprite3D(TileSprite + k, TileSprite + k);               // unscaled tile
    kw::MakeSprite3D(TileSprite + TileKinds + k, TileSprite + k);   // the turned one
    kw::ScaleSprite3D(TileSprite + TileKinds + k, 60, 60);
  }
  for (int k = 0; k < ShadeKinds; ++k) {
    fill(ShadeSprite + k, 30, 30, p.shades[k]);
    kw::MakeSprite3D(ShadeSprite + k, ShadeSprite + k);
  }
}

int DrawOurs(const Frame& f) {
  kw::SetBlitTarget(-1);
  kw::DrawSprite(BackgroundSprite, 0, 0);
  kw::SetSprite3DFiltering(0);
  kw::Begin3D();
  for (const TileDraw& t : f.tiles) kw::DrawSprite3D(TileSprite + t.kind, t.x, t.y, t.alpha);
  for (const TurnedDraw& t : f.turned) {
    kw::TurnSprite3D(TileSprite + TileKinds + t.kind, t.angle, 0);
    kw::DrawSprite3D(TileSprite + TileKinds + t.kind, t.x, t.y, 255);
  }
  kw::End3D();
  kw::SetSprite3DFiltering(1);
  for (const PlacedFigure& p : f.figures) kw::DrawSpriteKeyed(FigureSprite, p.x, p.y);
  kw::SetSprite3DFiltering(0);
  for (const ShadeDraw& d : f.shades) kw::DrawSprite3D(ShadeSprite + d.kind, d.x, d.y, Darkness);
  kw::SetSprite3DFiltering(1);
  int touching = 0;
  for (const TouchTest& t : f.touches)
    touching += kw::SpritesTouch(TileSprite + t.tileKind, t.tx, t.ty, FigureSprite, t.fx, t.fy);
  return touching;
}

// --- SDL2's software renderer -----------------------------------------------------

struct SdlScene {
  SDL_Surface* screen = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* background = nullptr;
  SDL_Texture* figure = nullptr;
  std::vector<SDL_Texture*> tiles;
  SDL_Surface* figureSurface = nullptr;
  std::vector<SDL_Surface*> tileSurfaces;
  std::vector<SDL_Texture*> shades;
};

SDL_Surface* SurfaceOf(const std::vector<uint32_t>& px, int w, int h, bool keyed) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  for (int y = 0; y < h; ++y)
    std::copy(px.begin() + y * w, px.begin() + (y + 1) * w,
              reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch));
  if (keyed) SDL_SetColorKey(s, SDL_TRUE, KeyPixel);
  return s;
}

bool LoadSdl(const Pictures& p, SdlScene& scene) {
  scene.screen = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!scene.screen) return false;
  scene.renderer = SDL_CreateSoftwareRenderer(scene.screen);
  if (!scene.renderer) return false;
  SDL_Surface* bg = SurfaceOf(p.background, 640, 480, false);
  scene.background = SDL_CreateTextureFromSurface(scene.renderer, bg);
  SDL_SetTextureBlendMode(scene.background, SDL_BLENDMODE_NONE);
  SDL_FreeSurface(bg);
  scene.figureSurface = SurfaceOf(p.figure, 42, 58, true);
  scene.figure = SDL_CreateTextureFromSurface(scene.renderer, scene.figureSurface);
  for (const auto& tile : p.tiles) {
    SDL_Surface* s = SurfaceOf(tile, 30, 30, true);
    scene.tileSurfaces.push_back(s);
    SDL_Texture* t = SDL_CreateTextureFromSurface(scene.renderer, s);
    SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND);
    scene.tiles.push_back(t);
  }
  for (const auto& shade : p.shades) {
    SDL_Surface* s = SurfaceOf(shade, 30, 30, false);
    SDL_Texture* t = SDL_CreateTextureFromSurface(scene.renderer, s);
    SDL_FreeSurface(s);
    SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND);
    SDL_SetTextureAlphaMod(t, Darkness);
    scene.shades.push_back(t);
  }
  return scene.background && scene.figure;
}

// The naive pixel test: every overlapping position, both pictures read and compared.
int NaiveTouch(SDL_Surface* a, int ax, int ay, SDL_Surface* b, int bx, int by) {
  int x0 = std::max(ax, bx), y0 = std::max(ay, by);
  int x1 = std::min(ax + a->w, bx + b->w), y1 = std::min(ay + a->h, by + b->h);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      uint32_t pa = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(a->pixels) + (y - ay) * a->pitch)[x - ax];
      uint32_t pb = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(b->pixels) + (y - by) * b->pitch)[x - bx];
      if ((pa & 0xFFFFFF) != 0 && (pb & 0xFFFFFF) != 0) return 1;
    }
  return 0;
}

int DrawSdl(const Frame& f, SdlScene& s) {
  SDL_RenderCopy(s.renderer, s.background, nullptr, nullptr);
  for (const TileDraw& t : f.tiles) {
    SDL_SetTextureAlphaMod(s.tiles[t.kind], Uint8(t.alpha));
    SDL_Rect r{t.x, t.y, 30, 30};
    SDL_RenderCopy(s.renderer, s.tiles[t.kind], nullptr, &r);
  }
  for (const TurnedDraw& t : f.turned) {
    SDL_SetTextureAlphaMod(s.tiles[t.kind], 255);
    SDL_Rect r{t.x, t.y, 60, 60};
    SDL_RenderCopyEx(s.renderer, s.tiles[t.kind], nullptr, &r, t.angle, nullptr, SDL_FLIP_NONE);
  }
  for (const PlacedFigure& p : f.figures) {
    SDL_Rect r{p.x, p.y, 42, 58};
    SDL_RenderCopy(s.renderer, s.figure, nullptr, &r);
  }
  for (const ShadeDraw& d : f.shades) {
    SDL_Rect r{d.x, d.y, 30, 30};
    SDL_RenderCopy(s.renderer, s.shades[d.kind], nullptr, &r);
  }
  SDL_RenderFlush(s.renderer);
  int touching = 0;
  for (const TouchTest& t : f.touches)
    touching += NaiveTouch(s.tileSurfaces[t.tileKind], t.tx, t.ty, s.figureSurface, t.fx, t.fy);
  return touching;
}

void FreeSdl(SdlScene& s) {
  for (SDL_Texture* t : s.tiles) SDL_DestroyTexture(t);
  for (SDL_Texture* t : s.shades) SDL_DestroyTexture(t);
  for (SDL_Surface* t : s.tileSurfaces) SDL_FreeSurface(t);
  if (s.figure) SDL_DestroyTexture(s.figure);
  if (s.background) SDL_DestroyTexture(s.background);
  if (s.figureSurface) SDL_FreeSurface(s.figureSurface);
  if (s.renderer) SDL_DestroyRenderer(s.renderer);
  if (s.screen) SDL_FreeSurface(s.screen);
}

template <typename F>
std::vector<double> FrameTimesUs(F frame) {
  std::vector<double> times;
  frame();  // warm caches and masks
  for (int run = 0; run < Runs; ++run) {
    double start = NowUs();
    frame();
    times.push_back(NowUs() - start);
  }
  return times;
}

}  // namespace

void BenchDrawing() {
  Noise noise;
  Pictures pictures = MakePictures(noise);
  Frame frame = MakeFrame(noise);
  LoadOurs(pictures);
  volatile int sink = 0;
  std::vector<double> oursRuns = FrameTimesUs([&] { sink = sink + DrawOurs(frame); });
  PrintRuns("workload_us", oursRuns, "us");
  double ours = Median(oursRuns);

  SdlScene scene;
  if (LoadSdl(pictures, scene)) {
    std::vector<double> sdlRuns = FrameTimesUs([&] { sink = sink + DrawSdl(frame, scene); });
    PrintRuns("workload_sdl_us", sdlRuns, "us");
    double sdl = Median(sdlRuns);
    Print("workload_ratio", ours > 0 ? sdl / ours : 0, "x");
  } else {
    std::fprintf(stderr, "kwbench: SDL software renderer not available: %s\n", SDL_GetError());
  }
  FreeSdl(scene);
  kw::FreeSprite(BackgroundSprite);
  kw::FreeSprite(FigureSprite);
  for (int k = 0; k < TileKinds; ++k) kw::FreeSprite(TileSprite + k);
  for (int k = 0; k < ShadeKinds; ++k) kw::FreeSprite(ShadeSprite + k);
}

}  // namespace kwbench
