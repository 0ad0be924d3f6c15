// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// 3D sprites: pictures drawn scaled, rotated and blended (global opacity times the
// picture's own alpha; key-colour pixels left out). The world drawing draws about a
// thousand 30 x 30 tiles per frame through here, mostly unscaled and unturned, so that
// case goes by runs found once per picture (skipped, copied, keyed or blended, see
// PictureSpans); turned or scaled pictures go through an inverse mapping, nearest or
// bilinear.
#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "media/sprite_internal.h"
#include "media/sprites.h"

namespace kw {

namespace {

// One 3D sprite: the picture it shows (shared with its sprite), size and angle.
struct Sprite3D {
  PicturePtr picture;
  int width = 0, height = 0;  // current drawn size
  float angle = 0;           // degrees, clockwise on screen, kept in (-360, 360)
};

std::array<Sprite3D, MaxSprites3D> Sprites3D;
std::atomic<int> Filtering{1};

bool Valid3D(int n) { return n >= 0 && n < MaxSprites3D; }

// Runs shorter than this are not worth a call of their own: they join their neighbours
// in a keyed or blended run.
constexpr int MinRun = 8;

// Pixel classes while a row's runs are found.
enum class PixelClass : uint8_t { Clear, Solid, Partial };

PixelClass ClassOf(uint32_t pixel, uint32_t keyRgb) {
  if (IsTransparent(pixel, keyRgb)) return PixelClass::Clear;
  return (pixel >> 24) == 255 ? PixelClass::Solid : PixelClass::Partial;
}

// Appends the runs of one row of n pixels: long clear runs are skipped, long solid runs
// copied, everything else drawn keyed (only solid and clear pixels) or blended.
void AddRowSpans(const uint32_t* row, int n, uint32_t keyRgb, std::vector<Span>& spans) {
  int i = 0;
  Span mixed;
  bool partial = false;
  auto closeMixed = [&] {
    if (mixed.length == 0) return;
    mixed.kind = partial ? SpanKind::Blend : SpanKind::Keyed;
    spans.push_back(mixed);
    mixed.length = 0;
    partial = false;
  };
  while (i < n) {
    PixelClass c = ClassOf(row[i], keyRgb);
    int end = i + 1;
    while (end < n && ClassOf(row[end], keyRgb) == c) ++end;
    if (c != PixelClass::Partial && end - i >= MinRun) {
      closeMixed();
      spans.push_back({uint16_t(i), uint16_t(end - i), c == PixelClass::Solid ? SpanKind::Opaque : SpanKind::Skip});
    } else {
      if (mixed.length == 0) mixed.start = uint16_t(i);
      mixed.length = uint16_t(end - mixed.start);
      partial |= c == PixelClass::Partial;
    }
    i = end;
  }
  closeMixed();
}

// Pictures up to this many pixels keep blend shares (16 bytes a pixel).
constexpr int MaxSharedPixels = 64 * 64;

// The clip's blend shares at opacity alpha, or nullptr. A picture that blends pixels of
// its own alpha and is drawn twice running at one opacity gets them on the second draw.
const SpanTable* BlendShares(Picture& picture, uint32_t alpha) {
  SpanTable& t = picture.spans;
  if (!t.hasBlend) return nullptr;
  const int last = t.lastAlpha;
  t.lastAlpha = int(alpha);
  if (t.sharesAlpha == int(alpha)) return &t;
  const PixelRect& c = picture.clip;
  if (last != int(alpha) || c.w * c.h > MaxSharedPixels) return nullptr;
  t.share.resize(size_t(c.w) * size_t(c.h));
  t.keep.resize(t.share.size());
  MakeBlendShares(&picture.pixels[size_t(c.y) * picture.width + c.x], size_t(picture.width), c.w, c.h,
                  picture.keyRgb, alpha, t.share.data(), t.keep.data());
  t.sharesAlpha = int(alpha);
  return &t;
}

// A rectangle of rows that are each one span of the same kind (a single row when h is 1),
// drawn with the global opacity alpha (1..255) in one kernel call.
inline void DrawSpanRect(const RectKernels& k, uint32_t* d, size_t dPitch, const uint32_t* s,
                         size_t sPitch, int w, int h, SpanKind kind, uint32_t alpha, uint32_t keyRgb) {
  switch (kind) {
    case SpanKind::Skip: break;
    case SpanKind::Opaque:
      if (alpha == 255) k.copyRect(d, dPitch, s, sPitch, w, h);
      else k.blendEvenRect(d, dPitch, s, sPitch, w, h, alpha);
      break;
    case SpanKind::Keyed:
      if (alpha == 255) k.copyKeyedRect(d, dPitch, s, sPitch, w, h, keyRgb);
      else k.blendRect(d, dPitch, s, sPitch, w, h, alpha, keyRgb);
      break;
    case SpanKind::Blend: k.blendRect(d, dPitch, s, sPitch, w, h, alpha, keyRgb); break;
  }
}

// w x h pixels of one opaque pixel at the opacity alpha: filled, or blended without
// reading a picture.
inline void DrawSolidRect(const RectKernels& k, uint32_t* d, size_t dPitch, int w, int h, uint32_t pixel,
                          uint32_t alpha) {
  if (alpha == 255)
    for (int row = 0; row < h; ++row) std::fill_n(d + size_t(row) * dPitch, w, pixel);
  else
    k.blendSolidRect(d, dPitch, w, h, pixel, alpha);
}

// The same for a rectangle of the clip from (col, row) on, blending through the
// picture's shares where it has them.
inline void DrawClipRect(const RectKernels& k, uint32_t* d, size_t dPitch, const Picture& picture,
                         const SpanTable* shares, int col, int row, int w, int h, SpanKind kind,
                         uint32_t alpha) {
  if (kind == SpanKind::Blend && shares) {
    size_t at = size_t(row) * size_t(picture.clip.w) + size_t(col);
    k.blendSharesRect(d, dPitch, shares->share.data() + at, shares->keep.data() + at, size_t(picture.clip.w), w,
                      h);
    return;
  }
  const uint32_t* s = &picture.pixels[size_t(picture.clip.y + row) * picture.width + size_t(picture.clip.x + col)];
  DrawSpanRect(k, d, dPitch, s, size_t(picture.width), w, h, kind, alpha, picture.keyRgb);
}

// The common tile case: the clip rectangle 1:1 at (x, y), run by run.
void DrawUnscaled(Picture& picture, const DrawTarget& target, int x, int y, uint32_t alpha) {
  int w = picture.clip.w, h = picture.clip.h, srcX = picture.clip.x, srcY = picture.clip.y;
  if (!CutToTarget(target, x, y, w, h, srcX, srcY)) return;
  const SpanTable& table = PictureSpans(picture);
  const int from = srcX - picture.clip.x, to = from + w;  // the visible part of each row
  const int firstRow = srcY - picture.clip.y;
  const uint32_t* rowStart = &picture.pixels[size_t(srcY) * picture.width + picture.clip.x];
  // The target pixel of the visible part's first column: span positions count from the
  // clip's left edge, so they are taken relative to `from` on the target side.
  uint32_t* dstRow = target.pixels + size_t(y) * target.pitch + x;
  const RectKernels kernels = CurrentRectKernels();
  if (table.solid) {  // the darkness: one pixel everywhere, nothing to read
    DrawSolidRect(kernels, dstRow, target.pitch, w, h, table.solidPixel, alpha);
    return;
  }
  const SpanTable* shares = BlendShares(picture, alpha);
  if (!table.bands.empty()) {  // most tiles: every row one span, drawn a band at a time
    for (const SpanTable::Band& band : table.bands) {
      const int a = std::max(band.first, firstRow), b = std::min(band.first + band.rows, firstRow + h);
      if (a >= b) continue;
      DrawClipRect(kernels, dstRow + size_t(a - firstRow) * target.pitch, target.pitch, picture, shares, from, a, w,
                   b - a, band.kind, alpha);
    }
    return;
  }
  for (int row = 0; row < h; ++row) {
    const uint32_t* s = rowStart + size_t(row) * picture.width;
    uint32_t* d = dstRow + size_t(row) * target.pitch;
    const Span* span = table.spans.data() + table.rowFirst[size_t(firstRow + row)];
    const Span* last = table.spans.data() + table.rowFirst[size_t(firstRow + row + 1)];
    for (; span != last; ++span) {
      int a = std::max<int>(span->start, from), b = std::min<int>(span->start + span->length, to);
      if (a >= b) continue;
      if (span->kind == SpanKind::Blend && shares)
        DrawClipRect(kernels, d + (a - from), target.pitch, picture, shares, a, firstRow + row, b - a, 1,
                     span->kind, alpha);
      else
        DrawSpanRect(kernels, d + (a - from), target.pitch, s + a, size_t(picture.width), b - a, 1, span->kind,
                     alpha, picture.keyRgb);
    }
  }
}

// `count` copies of the clip rectangle side by side from (x, y), unscaled. A picture of
// one colour is one long rectangle; any other is drawn copy by copy. The kernels work
// pixel by pixel, so this leaves the very pixels that a draw per copy leaves. Only for
// pictures whose rows are each one run of one kind.
void DrawUnscaledRun(Picture& picture, const DrawTarget& target, int x, int y, int count,
                     uint32_t alpha) {
  const int w = picture.clip.w;
  const long long x0 = std::max<long long>(x, 0), y0 = std::max<long long>(y, 0);
  const long long x1 = std::min<long long>((long long)x + (long long)w * count, target.width);
  const long long y1 = std::min<long long>((long long)y + picture.clip.h, target.height);
  if (x0 >= x1 || y0 >= y1) return;
  const int n = int(x1 - x0), h = int(y1 - y0);
  const int firstCol = int((x0 - x) % w), firstRow = int(y0 - y);
  uint32_t* dstRow = target.pixels + size_t(y0) * target.pitch + size_t(x0);
  const SpanTable& table = PictureSpans(picture);
  const RectKernels kernels = CurrentRectKernels();
  if (table.solid) {
    DrawSolidRect(kernels, dstRow, target.pitch, n, h, table.solidPixel, alpha);
    return;
  }
  if (table.rowKind == SpanKind::Skip) return;
  // Copy by copy, each a rectangle in one kernel call: the copies lie side by side
  // without overlapping, so the order they are drawn in changes no pixel.
  const SpanTable* shares = BlendShares(picture, alpha);
  for (int i = 0, col = firstCol; i < n; col = 0) {
    int len = std::min(w - col, n - i);
    DrawClipRect(kernels, dstRow + i, target.pitch, picture, shares, col, firstRow, len, h, table.rowKind, alpha);
    i += len;
  }
}

}  // namespace

const SpanTable& PictureSpans(Picture& picture) {
  SpanTable& t = picture.spans;
  const PixelRect& c = picture.clip;
  if (t.valid && t.keyRgb == picture.keyRgb && t.clip.x == c.x && t.clip.y == c.y &&
      t.clip.w == c.w && t.clip.h == c.h)
    return t;
  t.clip = c;
  t.keyRgb = picture.keyRgb;
  t.rowFirst.clear();
  t.spans.clear();
  for (int row = 0; row < c.h; ++row) {
    t.rowFirst.push_back(uint32_t(t.spans.size()));
    AddRowSpans(&picture.pixels[size_t(c.y + row) * picture.width + c.x], c.w, t.keyRgb, t.spans);
  }
  t.rowFirst.push_back(uint32_t(t.spans.size()));
  t.hasBlend = std::any_of(t.spans.begin(), t.spans.end(), [](const Span& span) { return span.kind == SpanKind::Blend; });
  t.share.clear();
  t.keep.clear();
  t.sharesAlpha = t.lastAlpha = -1;
  t.bands.clear();
  bool wholeRows = t.spans.size() == size_t(c.h);
  for (int row = 0; wholeRows && row < c.h; ++row) {
    const Span& span = t.spans[size_t(row)];
    wholeRows = span.start == 0 && span.length == c.w;
    if (!wholeRows) break;
    if (!t.bands.empty() && t.bands.back().kind == span.kind) ++t.bands.back().rows;
    else t.bands.push_back({row, 1, span.kind});
  }
  if (!wholeRows) t.bands.clear();
  t.oneSpanRows = t.bands.size() == 1;
  t.rowKind = t.oneSpanRows ? t.bands[0].kind : SpanKind::Skip;
  t.solid = t.oneSpanRows && t.rowKind == SpanKind::Opaque;
  t.solidPixel = t.solid ? picture.pixels[size_t(c.y) * picture.width + c.x] : 0;
  for (int row = 0; t.solid && row < c.h; ++row) {
    const uint32_t* p = &picture.pixels[size_t(c.y + row) * picture.width + c.x];
    t.solid = std::all_of(p, p + c.w, [&](uint32_t q) { return q == t.solidPixel; });
  }
  t.valid = true;
  return t;
}

namespace {

// Inverse mapping of a target pixel to the source: s = origin + px * dx + py * dy, for
// both source coordinates (texel units, 0 = left/top edge of the clip rectangle).
struct Mapping {
  double originU, originV;
  double uPerX, vPerX, uPerY, vPerY;
  int left, top, right, bottom;  // target pixels to visit, right/bottom exclusive
};

// Sets up the mapping of a w x h rectangle at (x, y) turned by degrees about its centre.
bool MakeMapping(const Picture& picture, const DrawTarget& target, int x, int y, int w, int h,
                 double degrees, Mapping& m) {
  double radians = degrees * 3.14159265358979323846 / 180.0;
  double c = std::cos(radians), s = std::sin(radians);
  double cx = x + w / 2.0, cy = y + h / 2.0;
  double kx = double(picture.clip.w) / w, ky = double(picture.clip.h) / h;
  // u = (rx * c + ry * s + w / 2) * kx, v = (-rx * s + ry * c + h / 2) * ky, where
  // (rx, ry) is a pixel centre relative to the rectangle's centre.
  m.uPerX = c * kx;
  m.uPerY = s * kx;
  m.vPerX = -s * ky;
  m.vPerY = c * ky;
  double rx0 = 0.5 - cx, ry0 = 0.5 - cy;
  m.originU = (rx0 * c + ry0 * s + w / 2.0) * kx;
  m.originV = (-rx0 * s + ry0 * c + h / 2.0) * ky;
  double ex = (std::fabs(c) * w + std::fabs(s) * h) / 2.0;
  double ey = (std::fabs(s) * w + std::fabs(c) * h) / 2.0;
  // Cut to the target while still in doubles: a rectangle far off the target (positions
  // and sizes reach the whole int range) has edges no int can hold.
  double w0 = double(target.width), h0 = double(target.height);
  m.left = int(std::clamp(std::floor(cx - ex) - 1, 0.0, w0));
  m.top = int(std::clamp(std::floor(cy - ey) - 1, 0.0, h0));
  m.right = int(std::clamp(std::ceil(cx + ex) + 1, 0.0, w0));
  m.bottom = int(std::clamp(std::ceil(cy + ey) + 1, 0.0, h0));
  return m.left < m.right && m.top < m.bottom;
}

// The row span [from, to) where f(px) = f0 + px * df stays inside [0, limit), widened by
// a pixel each side (the per-pixel test inside decides the edge pixels).
void NarrowSpan(double f0, double df, double limit, int& from, int& to) {
  if (std::fabs(df) < 1e-12) {
    if (f0 < -1e-9 || f0 >= limit + 1e-9) to = from;
    return;
  }
  double a = (0 - f0) / df, b = (limit - f0) / df;
  if (a > b) std::swap(a, b);
  double lo = from, hi = to;
  double newFrom = std::clamp(std::floor(a) - 1, lo, hi);
  double newTo = std::clamp(std::ceil(b) + 1, lo, hi);
  from = int(newFrom);
  to = std::max(from, int(newTo));
}

constexpr double FixedOne = 65536.0;
constexpr int GatherChunk = 256;  // source pixels fetched at a time for a turned row

// Scaled or turned, nearest source pixel.
void DrawMappedNearest(const Picture& picture, const DrawTarget& target, const Mapping& m,
                       uint32_t alpha) {
  const int64_t limitU = int64_t(picture.clip.w) << 16, limitV = int64_t(picture.clip.h) << 16;
  const int64_t du = std::llround(m.uPerX * FixedOne), dv = std::llround(m.vPerX * FixedOne);
  const uint32_t* base = &picture.pixels[size_t(picture.clip.y) * picture.width + picture.clip.x];
  const RectKernels kernels = CurrentRectKernels();
  uint32_t fetched[GatherChunk];
  for (int py = m.top; py < m.bottom; ++py) {
    double rowU = m.originU + py * m.uPerY, rowV = m.originV + py * m.vPerY;
    int from = m.left, to = m.right;
    NarrowSpan(rowU, m.uPerX, picture.clip.w, from, to);
    NarrowSpan(rowV, m.vPerX, picture.clip.h, from, to);
    int64_t u = std::llround((rowU + from * m.uPerX) * FixedOne);
    int64_t v = std::llround((rowV + from * m.vPerX) * FixedOne);
    // The pixels inside the picture form one run (u and v are linear in px): find its
    // ends once, so the loop below needs no bounds tests.
    auto inside = [&](int64_t uu, int64_t vv) { return uu >= 0 && vv >= 0 && uu < limitU && vv < limitV; };
    while (from < to && !inside(u, v)) ++from, u += du, v += dv;
    while (to > from && !inside(u + (to - 1 - from) * du, v + (to - 1 - from) * dv)) --to;
    // The row's source pixels are fetched into a short buffer and blended by the row
    // kernel, which leaves the pixels a blend of each one by itself would leave.
    uint32_t* dst = target.pixels + size_t(py) * target.pitch;
    while (from < to) {
      const int n = std::min(to - from, GatherChunk);
      for (int i = 0; i < n; ++i, u += du, v += dv)
        fetched[i] = base[size_t(v >> 16) * picture.width + size_t(u >> 16)];
      kernels.blendRect(dst + from, target.pitch, fetched, GatherChunk, n, 1, alpha, picture.keyRgb);
      from += n;
    }
  }
}

// One bilinear sample at (u, v) (texel units), blended onto *dst. Transparent texels
// weigh nothing, so key colours never bleed into the edges.
void BlendBilinear(const Picture& picture, double u, double v, uint32_t alpha, uint32_t* dst) {
  const int w = picture.clip.w, h = picture.clip.h;
  double fu = u - 0.5, fv = v - 0.5;
  double u0f = std::floor(fu), v0f = std::floor(fv);
  double tx = fu - u0f, ty = fv - v0f;
  int u0 = int(u0f), v0 = int(v0f);
  int us[2] = {std::clamp(u0, 0, w - 1), std::clamp(u0 + 1, 0, w - 1)};
  int vs[2] = {std::clamp(v0, 0, h - 1), std::clamp(v0 + 1, 0, h - 1)};
  double weights[4] = {(1 - tx) * (1 - ty), tx * (1 - ty), (1 - tx) * ty, tx * ty};
  double cover = 0, colour[3] = {0, 0, 0};
  for (int k = 0; k < 4; ++k) {
    uint32_t s = picture.pixels[size_t(picture.clip.y + vs[k >> 1]) * picture.width +
                                size_t(picture.clip.x + us[k & 1])];
    double a = IsTransparent(s, picture.keyRgb) ? 0 : (s >> 24) / 255.0;
    double wa = weights[k] * a;
    cover += wa;
    for (int ch = 0; ch < 3; ++ch) colour[ch] += wa * ((s >> (16 - 8 * ch)) & 255);
  }
  double g = cover * alpha / 255.0;
  if (g <= 0) return;
  double keep = 1 - g, scale = alpha / 255.0;
  uint32_t d = *dst, out = 0;
  uint32_t outA = uint32_t(255 * g + ((d >> 24) & 255) * keep + 0.5);
  out |= std::min(outA, 255u) << 24;
  for (int ch = 0; ch < 3; ++ch) {
    int shift = 16 - 8 * ch;
    uint32_t c = uint32_t(colour[ch] * scale + ((d >> shift) & 255) * keep + 0.5);
    out |= std::min(c, 255u) << shift;
  }
  *dst = out;
}

// Scaled or turned, bilinear.
void DrawMappedBilinear(const Picture& picture, const DrawTarget& target, const Mapping& m,
                        uint32_t alpha) {
  for (int py = m.top; py < m.bottom; ++py) {
    double rowU = m.originU + py * m.uPerY, rowV = m.originV + py * m.vPerY;
    int from = m.left, to = m.right;
    NarrowSpan(rowU, m.uPerX, picture.clip.w, from, to);
    NarrowSpan(rowV, m.vPerX, picture.clip.h, from, to);
    uint32_t* dst = target.pixels + size_t(py) * target.pitch;
    for (int px = std::max(from, 0); px < std::min(to, target.width); ++px) {
      double u = rowU + px * m.uPerX, v = rowV + px * m.vPerX;
      if (u < 0 || v < 0 || u >= picture.clip.w || v >= picture.clip.h) continue;
      BlendBilinear(picture, u, v, alpha, dst + px);
    }
  }
}

}  // namespace

void InitSprite3D() {
  FreeAllSprites3D();
  Filtering = 1;
}

void SetSprite3DFiltering(int on) { Filtering = on ? 1 : 0; }

int MakeSprite3D(int sprite3d, int sprite) {
  PicturePtr picture = SpritePicture(sprite);
  if (!Valid3D(sprite3d) || !picture || !picture->texture) return 0;
  Sprite3D& s = Sprites3D[sprite3d];
  s.width = picture->clip.w;
  s.height = picture->clip.h;
  s.angle = 0;
  s.picture = std::move(picture);
  return 1;
}

// Drawing is always possible with the software renderer.
int Begin3D() { return 1; }

void End3D() {}

void ScaleSprite3D(int sprite3d, int width, int height) {
  if (!Valid3D(sprite3d) || !Sprites3D[sprite3d].picture) return;
  Sprites3D[sprite3d].width = width;
  Sprites3D[sprite3d].height = height;
}

void TurnSprite3D(int sprite3d, float degrees, int relative) {
  if (!Valid3D(sprite3d) || !Sprites3D[sprite3d].picture || !std::isfinite(degrees)) return;
  Sprite3D& s = Sprites3D[sprite3d];
  // Kept below a full turn so a title spinning for hours keeps its precision.
  s.angle = std::fmod(relative ? s.angle + degrees : degrees, 360.0f);
}

void DrawSprite3D(int sprite3d, int x, int y, int alpha) {
  if (!Valid3D(sprite3d) || alpha <= 0) return;
  const Sprite3D& s = Sprites3D[sprite3d];
  Picture* picture = s.picture.get();
  DrawTarget target = CurrentDrawTarget();
  if (!picture || !target.pixels || s.width <= 0 || s.height <= 0) return;
  if (picture->clip.w <= 0 || picture->clip.h <= 0) return;
  // Drawing a picture into itself: read from a copy. Copying the record only shares
  // the pixel block, so the copy takes its own block before the draw writes.
  // Only made then: setting up a record on every draw costs as much as a tile's pixels.
  std::unique_ptr<Picture> copy;
  if (target.picture == picture) {
    copy = std::make_unique<Picture>(*picture);
    copy->pixels.Mutable();
    picture = copy.get();
  }
  uint32_t opacity = uint32_t(std::min(alpha, 255));
  if (s.angle == 0 && s.width == picture->clip.w && s.height == picture->clip.h) {
    DrawUnscaled(*picture, target, x, y, opacity);
  } else {
    Mapping m;
    if (MakeMapping(*picture, target, x, y, s.width, s.height, s.angle, m)) {
      if (Filtering)
        DrawMappedBilinear(*picture, target, m, opacity);
      else
        DrawMappedNearest(*picture, target, m, opacity);
    }
  }
  if (target.picture) target.picture->PixelsChanged();
}

void DrawSprite3DRun(int sprite3d, int x, int y, int step, int count, int alpha) {
  if (!Valid3D(sprite3d) || alpha <= 0 || count <= 0) return;
  const Sprite3D& s = Sprites3D[sprite3d];
  Picture* picture = s.picture.get();
  DrawTarget target = CurrentDrawTarget();
  if (!picture || !target.pixels || s.width <= 0 || s.height <= 0) return;
  if (picture->clip.w <= 0 || picture->clip.h <= 0) return;
  if (s.angle == 0 && s.width == picture->clip.w && s.height == picture->clip.h &&
      step == picture->clip.w && target.picture != picture && PictureSpans(*picture).oneSpanRows) {
    DrawUnscaledRun(*picture, target, x, y, count, uint32_t(std::min(alpha, 255)));
    if (target.picture) target.picture->PixelsChanged();
    return;
  }
  // Any other picture, size, angle or step: copy by copy. Only the copies that may reach
  // the target are visited (a turned copy stays within its width plus its height of its
  // place), and none whose place lies beyond int.
  const long long reach = (long long)s.width + s.height + 2;
  long long first = 0;  // copies before this one lie wholly before the target
  if (step > 0 && (long long)x + reach < 0) first = (-((long long)x + reach)) / step;
  if (step < 0 && (long long)x - reach > target.width)
    first = ((long long)x - reach - target.width) / -(long long)step;
  for (long long i = first; i < count; ++i) {
    long long cx = (long long)x + i * step;
    // Past the far edge going right (or the near edge going left) nothing more shows.
    if (step > 0 && (cx - reach >= target.width || cx > INT_MAX)) break;
    if (step < 0 && (cx + reach <= 0 || cx < INT_MIN)) break;
    if (cx + reach <= 0 || cx - reach >= target.width) continue;
    DrawSprite3D(sprite3d, int(cx), y, alpha);
  }
}

void FreeAllSprites3D() {
  for (Sprite3D& s : Sprites3D) s = Sprite3D();
}

}  // namespace kw
