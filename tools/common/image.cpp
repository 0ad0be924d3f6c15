// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The generator's raster library: see image.h. Plain loops over ARGB arrays; text comes
// from SDL2_ttf with the face found through fontconfig, PNG from libpng's simple API.
#include "image.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>

namespace kwgen {

namespace {

int Clamp255(float v) { return v < 0 ? 0 : (v > 255 ? 255 : int(v + 0.5f)); }

float Smooth(float t) { return t * t * (3 - 2 * t); }

}  // namespace

uint32_t Mix(uint32_t a, uint32_t b, float t) {
  auto m = [t](int x, int y) { return Clamp255(float(x) + (float(y) - float(x)) * t); };
  return Argb(m(RedOf(a), RedOf(b)), m(GreenOf(a), GreenOf(b)), m(BlueOf(a), BlueOf(b)),
              m(AlphaOf(a), AlphaOf(b)));
}

uint32_t Shade(uint32_t c, float f) {
  return Argb(Clamp255(RedOf(c) * f), Clamp255(GreenOf(c) * f), Clamp255(BlueOf(c) * f),
              AlphaOf(c));
}

uint32_t WithAlpha(uint32_t c, int alpha) { return (c & 0xFFFFFFu) | (uint32_t(alpha & 255) << 24); }

uint32_t Over(uint32_t dst, uint32_t src) {
  int sa = AlphaOf(src);
  if (sa == 255) return src;
  if (sa == 0) return dst;
  int da = AlphaOf(dst);
  float a = sa / 255.0f;
  float outA = a + da / 255.0f * (1 - a);
  if (outA <= 0) return 0;
  auto ch = [&](int s, int d) { return Clamp255((s * a + d * (da / 255.0f) * (1 - a)) / outA); };
  return Argb(ch(RedOf(src), RedOf(dst)), ch(GreenOf(src), GreenOf(dst)),
              ch(BlueOf(src), BlueOf(dst)), Clamp255(outA * 255));
}

float Hash01(int x, int y, uint32_t seed) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return float(h & 0xFFFFFF) / 16777215.0f;
}

float ValueNoise(float x, float y, uint32_t seed) {
  int ix = int(std::floor(x));
  int iy = int(std::floor(y));
  float fx = Smooth(x - ix);
  float fy = Smooth(y - iy);
  float a = Hash01(ix, iy, seed), b = Hash01(ix + 1, iy, seed);
  float c = Hash01(ix, iy + 1, seed), d = Hash01(ix + 1, iy + 1, seed);
  return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

float Fbm(float x, float y, uint32_t seed, int octaves) {
  float sum = 0, amp = 0.5f, norm = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += amp * ValueNoise(x, y, seed + uint32_t(o) * 101u);
    norm += amp;
    amp *= 0.5f;
    x *= 2.03f;
    y *= 2.03f;
  }
  return sum / norm;
}

float Bayer(int x, int y) {
  static const int m[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  return (m[y & 3][x & 3] + 0.5f) / 16.0f - 0.5f;
}

void Plot(Image& img, int x, int y, uint32_t c) {
  if (!img.Inside(x, y)) return;
  uint32_t& p = img.px[size_t(y) * img.w + x];
  p = Over(p, c);
}

void FillRect(Image& img, int x, int y, int w, int h, uint32_t c) {
  for (int j = std::max(0, y); j < std::min(img.h, y + h); ++j)
    for (int i = std::max(0, x); i < std::min(img.w, x + w); ++i) Plot(img, i, j, c);
}

void FrameRect(Image& img, int x, int y, int w, int h, uint32_t c) {
  FillRect(img, x, y, w, 1, c);
  FillRect(img, x, y + h - 1, w, 1, c);
  FillRect(img, x, y + 1, 1, h - 2, c);
  FillRect(img, x + w - 1, y + 1, 1, h - 2, c);
}

void FillEllipse(Image& img, float cx, float cy, float rx, float ry, uint32_t c) {
  if (rx <= 0 || ry <= 0) return;
  for (int y = int(std::floor(cy - ry)); y <= int(std::ceil(cy + ry)); ++y)
    for (int x = int(std::floor(cx - rx)); x <= int(std::ceil(cx + rx)); ++x) {
      float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
      if (dx * dx + dy * dy <= 1.0f) Plot(img, x, y, c);
    }
}

void Ring(Image& img, float cx, float cy, float r, float thickness, uint32_t c) {
  int r0 = int(std::floor(cy - r - thickness)), r1 = int(std::ceil(cy + r + thickness));
  for (int y = r0; y <= r1; ++y)
    for (int x = int(std::floor(cx - r - thickness)); x <= int(std::ceil(cx + r + thickness)); ++x) {
      float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
      float e = 1.0f - std::fabs(d - r) / thickness;
      if (e > 0) Plot(img, x, y, WithAlpha(c, Clamp255(AlphaOf(c) * std::min(1.0f, e * 1.5f))));
    }
}

void Line(Image& img, float x0, float y0, float x1, float y1, float width, uint32_t c) {
  float len = std::hypot(x1 - x0, y1 - y0);
  int steps = std::max(1, int(len * 2));
  float r = width / 2;
  // Discs stamped along the line into a local mask, so that each pixel blends once.
  int minX = int(std::floor(std::min(x0, x1) - r)) - 1, maxX = int(std::ceil(std::max(x0, x1) + r)) + 1;
  int minY = int(std::floor(std::min(y0, y1) - r)) - 1, maxY = int(std::ceil(std::max(y0, y1) + r)) + 1;
  int mw = maxX - minX + 1, mh = maxY - minY + 1;
  std::vector<uint8_t> mask(size_t(mw) * mh, 0);
  auto mark = [&](int i, int j) {
    if (i >= minX && i <= maxX && j >= minY && j <= maxY) mask[size_t(j - minY) * mw + (i - minX)] = 1;
  };
  for (int s = 0; s <= steps; ++s) {
    float t = float(s) / steps;
    float x = x0 + (x1 - x0) * t, y = y0 + (y1 - y0) * t;
    if (r <= 0.75f) {
      mark(int(std::floor(x)), int(std::floor(y)));
      continue;
    }
    for (int j = int(std::floor(y - r)); j <= int(std::ceil(y + r)); ++j)
      for (int i = int(std::floor(x - r)); i <= int(std::ceil(x + r)); ++i)
        if ((i + 0.5f - x) * (i + 0.5f - x) + (j + 0.5f - y) * (j + 0.5f - y) <= r * r) mark(i, j);
  }
  for (int j = 0; j < mh; ++j)
    for (int i = 0; i < mw; ++i)
      if (mask[size_t(j) * mw + i]) Plot(img, minX + i, minY + j, c);
}

void FillPolygon(Image& img, const std::vector<std::pair<float, float>>& pts, uint32_t c) {
  if (pts.size() < 3) return;
  float minY = pts[0].second, maxY = pts[0].second;
  for (auto& p : pts) minY = std::min(minY, p.second), maxY = std::max(maxY, p.second);
  for (int y = std::max(0, int(std::floor(minY))); y <= std::min(img.h - 1, int(std::ceil(maxY))); ++y) {
    float sy = y + 0.5f;
    std::vector<float> xs;
    for (size_t i = 0; i < pts.size(); ++i) {
      auto a = pts[i], b = pts[(i + 1) % pts.size()];
      if ((a.second <= sy && b.second > sy) || (b.second <= sy && a.second > sy))
        xs.push_back(a.first + (sy - a.second) / (b.second - a.second) * (b.first - a.first));
    }
    std::sort(xs.begin(), xs.end());
    for (size_t i = 0; i + 1 < xs.size(); i += 2)
      for (int x = int(std::ceil(xs[i] - 0.5f)); x < int(std::ceil(xs[i + 1] - 0.5f)); ++x)
        Plot(img, x, y, c);
  }
}

void VerticalGradient(Image& img, int x, int y, int w, int h, uint32_t top, uint32_t bottom) {
  for (int j = 0; j < h; ++j) {
    float t = h > 1 ? float(j) / (h - 1) : 0;
    for (int i = 0; i < w; ++i) {
      float d = t + Bayer(x + i, y + j) / 24.0f;
      Plot(img, x + i, y + j, Mix(top, bottom, std::clamp(d, 0.0f, 1.0f)));
    }
  }
}

void Glow(Image& img, float cx, float cy, float radius, uint32_t c) {
  for (int y = int(cy - radius) - 1; y <= int(cy + radius) + 1; ++y)
    for (int x = int(cx - radius) - 1; x <= int(cx + radius) + 1; ++x) {
      float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / radius;
      if (d >= 1) continue;
      float a = (1 - d) * (1 - d);
      Plot(img, x, y, WithAlpha(c, Clamp255(AlphaOf(c) * a)));
    }
}

void BevelEdges(Image& img, float light, float dark) {
  Image src = img;
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) {
      uint32_t c = src.Get(x, y);
      if (AlphaOf(c) < 128) continue;
      bool openTL = AlphaOf(src.Get(x - 1, y)) < 128 || AlphaOf(src.Get(x, y - 1)) < 128 ||
                    !src.Inside(x - 1, y) || !src.Inside(x, y - 1);
      bool openBR = AlphaOf(src.Get(x + 1, y)) < 128 || AlphaOf(src.Get(x, y + 1)) < 128 ||
                    !src.Inside(x + 1, y) || !src.Inside(x, y + 1);
      if (openTL) img.Set(x, y, Shade(c, light));
      else if (openBR) img.Set(x, y, Shade(c, dark));
    }
}

void Outline(Image& img, uint32_t colour) {
  Image src = img;
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) {
      if (AlphaOf(src.Get(x, y)) >= 128) continue;
      if (AlphaOf(src.Get(x - 1, y)) >= 128 || AlphaOf(src.Get(x + 1, y)) >= 128 ||
          AlphaOf(src.Get(x, y - 1)) >= 128 || AlphaOf(src.Get(x, y + 1)) >= 128)
        img.Set(x, y, colour);
    }
}

void NoiseTexture(Image& img, float scale, float amount, uint32_t seed) {
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) {
      uint32_t c = img.px[size_t(y) * img.w + x];
      if (AlphaOf(c) == 0) continue;
      float n = Fbm(x / scale, y / scale, seed, 3) + (Hash01(x, y, seed ^ 77u) - 0.5f) * 0.25f;
      img.px[size_t(y) * img.w + x] = Shade(c, 1 + amount * (n - 0.5f));
    }
}

void Blit(Image& dst, const Image& src, int x, int y) { BlitRegion(dst, src, 0, 0, src.w, src.h, x, y); }

void BlitRegion(Image& dst, const Image& src, int sx, int sy, int w, int h, int dx, int dy) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i)
      if (src.Inside(sx + i, sy + j)) Plot(dst, dx + i, dy + j, src.Get(sx + i, sy + j));
}

void CopyRegion(Image& dst, const Image& src, int sx, int sy, int w, int h, int dx, int dy) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i)
      if (src.Inside(sx + i, sy + j)) dst.Set(dx + i, dy + j, src.Get(sx + i, sy + j));
}

Image Crop(const Image& src, int x, int y, int w, int h) {
  Image out(w, h);
  CopyRegion(out, src, x, y, w, h, 0, 0);
  return out;
}

Image FlipHorizontal(const Image& src) {
  Image out(src.w, src.h);
  for (int y = 0; y < src.h; ++y)
    for (int x = 0; x < src.w; ++x) out.Set(src.w - 1 - x, y, src.Get(x, y));
  return out;
}

Image Scaled(const Image& src, int w, int h) {
  Image out(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int x0 = x * src.w / w, x1 = std::max(x0 + 1, (x + 1) * src.w / w);
      int y0 = y * src.h / h, y1 = std::max(y0 + 1, (y + 1) * src.h / h);
      float r = 0, g = 0, b = 0, a = 0;
      int n = 0;
      for (int j = y0; j < y1; ++j)
        for (int i = x0; i < x1; ++i) {
          uint32_t c = src.Get(i, j);
          float al = AlphaOf(c) / 255.0f;
          r += RedOf(c) * al, g += GreenOf(c) * al, b += BlueOf(c) * al, a += al;
          ++n;
        }
      if (a > 0) out.Set(x, y, Argb(Clamp255(r / a), Clamp255(g / a), Clamp255(b / a), Clamp255(a / n * 255)));
    }
  return out;
}

void KeyBackground(Image& img, uint32_t key) {
  for (auto& p : img.px)
    if (AlphaOf(p) < 128) p = key | 0xFF000000u;
    else p |= 0xFF000000u;
}

void AvoidPureBlack(Image& img) {
  for (auto& p : img.px)
    if (AlphaOf(p) != 0 && (p & 0xFFFFFFu) == 0) p |= 0x010101u;
}

void HardenAlpha(Image& img, int threshold) {
  for (auto& p : img.px) p = AlphaOf(p) >= threshold ? (p | 0xFF000000u) : 0u;
}

// ---------------------------------------------------------------------------------------
// Text

namespace {

std::string MatchFont(const std::string& pattern, const std::string& wantFamily) {
  std::string result;
  if (!FcInit()) return result;
  FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
  if (!pat) return result;
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult res;
  FcPattern* match = FcFontMatch(nullptr, pat, &res);
  if (match) {
    FcChar8* file = nullptr;
    FcChar8* family = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
        FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch) {
      std::string fam = reinterpret_cast<const char*>(family);
      if (wantFamily.empty() || fam.find(wantFamily) != std::string::npos)
        result = reinterpret_cast<const char*>(file);
    }
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pat);
  return result;
}

struct FontCache {
  std::map<std::pair<int, bool>, TTF_Font*> fonts;
  ~FontCache() {
    for (auto& f : fonts) TTF_CloseFont(f.second);
    if (TTF_WasInit()) TTF_Quit();
  }
};

FontCache& Fonts() {
  static FontCache cache;
  return cache;
}

TTF_Font* FontOfSize(int size, bool bold) {
  auto key = std::make_pair(size, bold);
  auto& fonts = Fonts().fonts;
  auto it = fonts.find(key);
  if (it != fonts.end()) return it->second;
  if (!TTF_WasInit() && TTF_Init() != 0) return nullptr;
  std::string file = FontFile(bold);
  TTF_Font* font = file.empty() ? nullptr : TTF_OpenFont(file.c_str(), size);
  fonts[key] = font;
  return font;
}

}  // namespace

std::string FontFile(bool bold) {
  static std::string cached[2];
  std::string& c = cached[bold ? 1 : 0];
  if (!c.empty()) return c;
  const char* style = bold ? ":bold:italic" : ":italic";
  for (const char* family : {"Junicode", "Junicode Two Beta"}) {
    c = MatchFont(std::string(family) + style, "Junicode");
    if (!c.empty()) return c;
  }
  c = MatchFont(std::string("DejaVu Serif") + style, "DejaVu");
  if (c.empty()) c = MatchFont("DejaVu Sans", "");
  return c;
}

int TextWidth(const std::string& utf8, int size, bool bold) {
  TTF_Font* font = FontOfSize(size, bold);
  int w = 0, h = 0;
  if (!font || TTF_SizeUTF8(font, utf8.c_str(), &w, &h) != 0) return 0;
  return w;
}

int DrawText(Image& img, const std::string& utf8, int x, int y, int size, uint32_t colour,
             bool bold) {
  TTF_Font* font = FontOfSize(size, bold);
  if (!font || utf8.empty()) return 0;
  SDL_Color col{Uint8(RedOf(colour)), Uint8(GreenOf(colour)), Uint8(BlueOf(colour)), 255};
  SDL_Surface* s = TTF_RenderUTF8_Blended(font, utf8.c_str(), col);
  if (!s) return 0;
  SDL_Surface* conv = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(s);
  if (!conv) return 0;
  SDL_LockSurface(conv);
  int alphaScale = AlphaOf(colour);
  for (int j = 0; j < conv->h; ++j) {
    auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(conv->pixels) + j * conv->pitch);
    for (int i = 0; i < conv->w; ++i) {
      uint32_t p = row[i];
      int a = AlphaOf(p) * alphaScale / 255;
      if (a) Plot(img, x + i, y + j, WithAlpha(p, a));
    }
  }
  SDL_UnlockSurface(conv);
  int w = conv->w;
  SDL_FreeSurface(conv);
  return w;
}

void DrawTextShadowed(Image& img, const std::string& utf8, int x, int y, int size,
                      uint32_t colour, uint32_t shadow, bool bold) {
  DrawText(img, utf8, x + 1, y + 1, size, shadow, bold);
  DrawText(img, utf8, x, y, size, colour, bold);
}

void DrawTextCentred(Image& img, const std::string& utf8, int cx, int y, int size,
                     uint32_t colour, uint32_t shadow, bool bold) {
  int w = TextWidth(utf8, size, bold);
  DrawTextShadowed(img, utf8, cx - w / 2, y, size, colour, shadow, bold);
}

// ---------------------------------------------------------------------------------------
// PNG

std::vector<uint8_t> EncodePng(const Image& img) {
  std::vector<uint8_t> out;
  if (img.w <= 0 || img.h <= 0) return out;
  // Transparent pixels are stored as 0 so that "alpha 0" and "black" agree everywhere.
  std::vector<uint32_t> pixels = img.px;
  for (auto& p : pixels)
    if (AlphaOf(p) == 0) p = 0;
  png_image pi{};
  pi.version = PNG_IMAGE_VERSION;
  pi.width = png_uint_32(img.w);
  pi.height = png_uint_32(img.h);
  pi.format = PNG_FORMAT_BGRA;  // bytes B, G, R, A = little-endian 0xAARRGGBB
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&pi, nullptr, &size, 0, pixels.data(), 0, nullptr)) return out;
  out.resize(size);
  if (!png_image_write_to_memory(&pi, out.data(), &size, 0, pixels.data(), 0, nullptr)) {
    out.clear();
    return out;
  }
  out.resize(size);
  return out;
}

bool DecodePng(const uint8_t* data, size_t size, Image& out) {
  png_image pi{};
  pi.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&pi, data, size)) return false;
  pi.format = PNG_FORMAT_BGRA;
  out = Image(int(pi.width), int(pi.height));
  if (!png_image_finish_read(&pi, nullptr, out.px.data(), 0, nullptr)) {
    png_image_free(&pi);
    out = Image();
    return false;
  }
  return true;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary);
  if (!f) return false;
  f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(f);
}

}  // namespace kwgen
