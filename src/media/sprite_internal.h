// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Inside the software renderer: the picture record behind a sprite number and the
// few helpers that sprites.cpp, collision.cpp and sprite3d.cpp share. Not for game code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace kw {

// Largest side we accept for a picture; keeps width * height far from overflowing.
constexpr int MaxPictureSide = 16384;

// What a block of picture data is, after its structure and size were checked.
enum class PictureKind { None, Png, Jpeg };
// PNG: every chunk inside the data, IHDR first, IEND reached; JPEG: the segments up to
// the frame header inside the data. Both: sides 1..MaxPictureSide. None otherwise.
PictureKind CheckPictureHeader(const uint8_t* data, size_t size);

// A rectangle inside a picture or on a target: x, y, width, height.
struct PixelRect {
  int x = 0, y = 0, w = 0, h = 0;
};

// How a picture's pixels blend, found once and kept until the pixels change.
enum class AlphaKind : int8_t {
  Unknown = -1,
  Opaque = 0,   // every pixel alpha 255 and none of the key colour: a plain copy does
  Cutout = 1,   // every pixel either fully opaque or transparent (alpha 0 or key colour)
  Blended = 2,  // some pixels partly transparent
};

// What a 3D draw does with a run of pixels in a row of a picture's clip rectangle.
enum class SpanKind : uint8_t {
  Skip = 0,    // transparent (alpha 0 or key colour): nothing is drawn
  Opaque = 1,  // alpha 255: a copy at full opacity, one opacity for the run otherwise
  Keyed = 2,   // alpha 255 and transparent pixels mixed, too short apart to split
  Blend = 3,   // some pixels with their own alpha in between
};

// One run: start is counted from the clip rectangle's left edge.
struct Span {
  uint16_t start = 0, length = 0;
  SpanKind kind = SpanKind::Skip;
};

// The runs of every row of a clip rectangle, found once per picture, clip and key.
struct SpanTable {
  bool valid = false;
  PixelRect clip;                 // the rectangle the runs were found for
  uint32_t keyRgb = 0;
  std::vector<uint32_t> rowFirst; // index of each row's first span, one more at the end
  std::vector<Span> spans;
  bool oneSpanRows = false;       // every row is one span of kind `rowKind` over the width
  SpanKind rowKind = SpanKind::Skip;
  // When every row is one span over the width (of any kind): the rows in bands of one
  // kind, top to bottom, so such a picture is drawn a band at a time. Empty otherwise.
  struct Band {
    int first = 0, rows = 0;
    SpanKind kind = SpanKind::Skip;
  };
  std::vector<Band> bands;
  bool hasBlend = false;          // some span blends pixels with their own alpha
  // The clip's blend shares at opacity sharesAlpha (MakeBlendShares), made when the
  // picture is blended twice running at one opacity (the darkness's shades are, every
  // frame); -1: none. lastAlpha is the opacity of the last blended draw.
  std::vector<uint64_t> share, keep;
  int sharesAlpha = -1, lastAlpha = -1;
  // Every pixel of the clip rectangle is this one opaque pixel (the darkness is): the
  // draws fill or blend it without reading the picture.
  bool solid = false;
  uint32_t solidPixel = 0;
};

// Pixels shared between duplicated sprites until one of them is written to, so the
// tile loader's many clipped copies of one sheet cost no memory.
class SharedPixels {
 public:
  void assign(size_t n, uint32_t value) {
    data_ = std::make_shared<std::vector<uint32_t>>(n, value);
  }
  const uint32_t& operator[](size_t i) const { return (*data_)[i]; }
  const uint32_t* data() const { return data_ ? data_->data() : nullptr; }
  size_t size() const { return data_ ? data_->size() : 0; }
  const uint32_t* begin() const { return data(); }
  const uint32_t* end() const { return data() + size(); }
  // The pixels for writing: a shared block is copied first.
  uint32_t* Mutable() {
    if (!data_) return nullptr;
    if (data_.use_count() > 1) data_ = std::make_shared<std::vector<uint32_t>>(*data_);
    return data_->data();
  }

 private:
  std::shared_ptr<std::vector<uint32_t>> data_;
};

// A number no picture state had before: pictures take a new one whenever their pixels,
// clip or key colour change, so a composed picture can tell its parts are unchanged.
uint64_t NewPictureVersion();

// One sprite's picture. A 3D sprite shares it, so drawing into a sprite after
// MakeSprite3D shows up in the 3D sprite too, and a reload leaves the old picture alive
// for the 3D sprite until MakeSprite3D is called again.
struct Picture {
  int width = 0, height = 0;
  SharedPixels pixels;           // 0xAARRGGBB, row after row
  PixelRect clip;                // what draws show; inside the picture
  uint32_t keyRgb = 0;           // key colour as 0x00RRGGBB
  bool texture = false;          // usable for MakeSprite3D
  uint64_t version = NewPictureVersion();  // see SpriteVersion

  // Caches, built on first use and dropped by PixelsChanged().
  bool maskValid = false;
  int maskWords = 0;             // 64-bit words per mask row, one spare word included
  std::vector<uint64_t> mask;    // bit set = solid pixel (not key, alpha not 0)
  AlphaKind alphaKind = AlphaKind::Unknown;
  SpanTable spans;               // the 3D draws' runs of the clip rectangle

  void PixelsChanged() {
    maskValid = false;
    alphaKind = AlphaKind::Unknown;
    spans.valid = false;
    version = NewPictureVersion();
  }
};

using PicturePtr = std::shared_ptr<Picture>;

// The picture under a sprite number, or nullptr (also for numbers out of range).
PicturePtr SpritePicture(int sprite);
// The same without touching the reference count, for the per-frame draws.
Picture* SpritePictureRaw(int sprite);

// Where draws go right now: the back buffer or the blit-target sprite's picture.
struct DrawTarget {
  uint32_t* pixels = nullptr;  // nullptr: the target sprite holds nothing
  int width = 0, height = 0;
  size_t pitch = 0;            // pixels from the start of one row to the next
  Picture* picture = nullptr;  // the target sprite, nullptr for the back buffer
};
DrawTarget CurrentDrawTarget();
// Tests: the calling thread's draws go into a width x height window of a larger block
// (rows pitch pixels apart) until called with nullptr, so a guard border around the
// window shows any write that strays outside it.
void SetWindowDrawTarget(uint32_t* pixels, int width, int height, int pitch);

// A pixel the keyed draws, collision and 3D draws skip.
inline bool IsTransparent(uint32_t pixel, uint32_t keyRgb) {
  return (pixel >> 24) == 0 || (pixel & 0xFFFFFFu) == keyRgb;
}

// Effective opacity of one source pixel: alpha (0..255) times its own alpha, rounded.
inline uint32_t PixelOpacity(uint32_t pixel, uint32_t keyRgb, uint32_t alpha) {
  uint32_t own = IsTransparent(pixel, keyRgb) ? 0 : pixel >> 24;
  return ((own * alpha + 128) * 257) >> 16;
}

// Cuts a draw of a w x h block at (x, y) to the target; false when nothing is left.
// On return (x, y) is the first target pixel and (srcX, srcY) moved by the same amount.
bool CutToTarget(const DrawTarget& target, int& x, int& y, int& w, int& h, int& srcX,
                 int& srcY);
// Copies one row of n pixels, skipping transparent ones.
void CopyRowKeyed(uint32_t* dst, const uint32_t* src, int n, uint32_t keyRgb);

// Finds (and caches) how the picture's pixels blend.
AlphaKind PictureAlphaKind(Picture& picture);

// The runs of the picture's clip rectangle, rebuilt when pixels, clip or key changed.
const SpanTable& PictureSpans(Picture& picture);

// Blending (blend.cpp). src over dst with opacity a (0..255), the result opaque; a = 255
// gives src, a = 0 leaves dst as it was.
uint32_t BlendPixel(uint32_t dst, uint32_t src, uint32_t a);
// The same with opacity alpha times the pixel's own alpha (0 for key-colour pixels).
uint32_t BlendPixelOwnAlpha(uint32_t dst, uint32_t src, uint32_t alpha, uint32_t keyRgb);
// A row of n pixels blended with their own alpha times alpha (1..255).
void BlendRow(uint32_t* dst, const uint32_t* src, int n, uint32_t alpha, uint32_t keyRgb);
// A row of n opaque pixels blended with the one opacity alpha.
void BlendRowEven(uint32_t* dst, const uint32_t* src, int n, uint32_t alpha);
// One opaque pixel blended over a row of n pixels with the one opacity alpha, as
// BlendRowEven would blend a row of copies of it.
void BlendRowSolid(uint32_t* dst, int n, uint32_t pixel, uint32_t alpha);
// A picture's pixels' parts of a blend at the opacity alpha, worked out once for a
// picture drawn again and again at one opacity: per pixel, with a its opacity (own alpha
// times alpha, 0 for transparent ones), share holds s * a + 128 and keep 255 - a in each
// channel's 16-bit lane, so the blend is ((d * keep + share) * 257) >> 16.
void MakeBlendShares(const uint32_t* pixels, size_t pitch, int w, int h, uint32_t keyRgb, uint32_t alpha,
                     uint64_t* share, uint64_t* keep);
// The kernels, picked for the processor: a draw fetches them once. Each draws w x h
// pixels, rows dstPitch and srcPitch pixels apart, in one call (a single row is h = 1):
// blended with their own alpha times alpha, blended opaque at alpha, copied, copied
// but for transparent pixels, one opaque pixel blended at alpha, and pixels blended
// with their shares worked out beforehand (MakeBlendShares; share and keep rows
// sharePitch pixels apart).
struct RectKernels {
  void (*blendRect)(uint32_t* dst, size_t dstPitch, const uint32_t* src, size_t srcPitch, int w, int h,
                    uint32_t alpha, uint32_t keyRgb);
  void (*blendEvenRect)(uint32_t* dst, size_t dstPitch, const uint32_t* src, size_t srcPitch, int w, int h,
                        uint32_t alpha);
  void (*copyRect)(uint32_t* dst, size_t dstPitch, const uint32_t* src, size_t srcPitch, int w, int h);
  void (*copyKeyedRect)(uint32_t* dst, size_t dstPitch, const uint32_t* src, size_t srcPitch, int w, int h,
                        uint32_t keyRgb);
  void (*blendSolidRect)(uint32_t* dst, size_t dstPitch, int w, int h, uint32_t pixel, uint32_t alpha);
  void (*blendSharesRect)(uint32_t* dst, size_t dstPitch, const uint64_t* share, const uint64_t* keep,
                          size_t sharePitch, int w, int h);
};
RectKernels CurrentRectKernels();
// The kernels in use: 0 plain code, 1 SSE2, 2 AVX2.
int BlendKernels();
// Picks the kernels (for tests and the benchmark); -1 or a level the processor lacks
// picks the best it has. Returns the level now in use.
int UseBlendKernels(int level);

}  // namespace kw
