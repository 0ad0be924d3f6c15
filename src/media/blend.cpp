// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The blending kernels of the software renderer: one row of source pixels over the
// target, with the picture's own alpha or with one opacity for the whole run. Each comes
// as plain code (the reference), SSE2 and AVX2; the AVX2 ones are picked at run time
// when the processor has them. All three give identical pixels: the same integer
// rounding, ((s * a + d * (255 - a) + 128) * 257) >> 16 per channel.
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KW_X86 1
#endif

#include "media/sprite_internal.h"

namespace kw {

namespace {

// The opaque pixel's part of each blended channel, s * a + 128, in the four 16-bit lanes
// of one pixel (blue lowest, as the bytes lie). s * a + 128 + d * (255 - a) stays below
// 65536, so the sums fit the lanes.
inline uint64_t SolidShares(uint32_t pixel, uint32_t alpha) {
  pixel |= 0xFF000000u;
  uint64_t shares = 0;
  for (int ch = 0; ch < 4; ++ch) shares |= uint64_t(((pixel >> (8 * ch)) & 255) * alpha + 128) << (16 * ch);
  return shares;
}

// One pixel blended with its shares: ((d * keep + share) * 257) >> 16 per channel.
inline uint32_t BlendPixelShares(uint32_t dst, uint64_t share, uint64_t keep) {
  uint32_t out = 0;
  for (int ch = 0; ch < 4; ++ch) {
    uint32_t d = (dst >> (8 * ch)) & 255, k = uint32_t(keep >> (16 * ch)) & 0xFFFF;
    uint32_t sh = uint32_t(share >> (16 * ch)) & 0xFFFF;
    out |= (((d * k + sh) * 257) >> 16) << (8 * ch);
  }
  return out;
}

#if defined(KW_X86)
// Four pixels' opacities, each spread over the four 16-bit lanes of its pixel.
inline void SpreadOpacity(__m128i s, __m128i key, __m128i alpha16, __m128i& lo,
                          __m128i& hi) {
  const __m128i rgbMask = _mm_set1_epi32(0x00FFFFFF);
  __m128i isKey = _mm_cmpeq_epi32(_mm_and_si128(s, rgbMask), key);
  __m128i own = _mm_srli_epi32(_mm_andnot_si128(isKey, s), 24);
  __m128i own16 = _mm_packs_epi32(own, own);  // a0 a1 a2 a3 a0 a1 a2 a3
  __m128i a = _mm_add_epi16(_mm_mullo_epi16(own16, alpha16), _mm_set1_epi16(128));
  a = _mm_mulhi_epu16(a, _mm_set1_epi16(257));
  __m128i pairs = _mm_unpacklo_epi16(a, a);  // a0 a0 a1 a1 a2 a2 a3 a3
  lo = _mm_unpacklo_epi32(pairs, pairs);
  hi = _mm_unpackhi_epi32(pairs, pairs);
}

// Two pixels (as 16-bit lanes) blended with their spread opacities.
inline __m128i Blend16(__m128i s, __m128i d, __m128i a) {
  __m128i inv = _mm_sub_epi16(_mm_set1_epi16(255), a);
  __m128i sum = _mm_add_epi16(_mm_mullo_epi16(s, a), _mm_mullo_epi16(d, inv));
  sum = _mm_add_epi16(sum, _mm_set1_epi16(128));
  return _mm_mulhi_epu16(sum, _mm_set1_epi16(257));
}

// The same for eight pixels, lane by lane: unpack and pack keep each 128-bit half apart,
// so the pixel order comes out as it went in.
__attribute__((target("avx2"))) inline void SpreadOpacity8(__m256i s, __m256i key,
                                                           __m256i alpha16, __m256i& lo,
                                                           __m256i& hi) {
  const __m256i rgbMask = _mm256_set1_epi32(0x00FFFFFF);
  __m256i isKey = _mm256_cmpeq_epi32(_mm256_and_si256(s, rgbMask), key);
  __m256i own = _mm256_srli_epi32(_mm256_andnot_si256(isKey, s), 24);
  __m256i own16 = _mm256_packs_epi32(own, own);
  __m256i a = _mm256_add_epi16(_mm256_mullo_epi16(own16, alpha16), _mm256_set1_epi16(128));
  a = _mm256_mulhi_epu16(a, _mm256_set1_epi16(257));
  __m256i pairs = _mm256_unpacklo_epi16(a, a);
  lo = _mm256_unpacklo_epi32(pairs, pairs);
  hi = _mm256_unpackhi_epi32(pairs, pairs);
}

__attribute__((target("avx2"))) inline __m256i Blend16x8(__m256i s, __m256i d, __m256i a) {
  __m256i inv = _mm256_sub_epi16(_mm256_set1_epi16(255), a);
  __m256i sum = _mm256_add_epi16(_mm256_mullo_epi16(s, a), _mm256_mullo_epi16(d, inv));
  sum = _mm256_add_epi16(sum, _mm256_set1_epi16(128));
  return _mm256_mulhi_epu16(sum, _mm256_set1_epi16(257));
}

// The lanes of the last n % 8 pixels (n 1..7): loads and stores through this mask touch
// only the row's own pixels.
__attribute__((target("avx2"))) inline __m256i TailMask(int n) {
  return _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}

// A row blended eight pixels a step by blend(source, target), the row's last pixels
// through a lane mask when the row is shorter than eight; returns n.
template <typename Blend>
__attribute__((target("avx2"), always_inline)) inline int EachEightAvx2(uint32_t* dst, const uint32_t* src, int n,
                                                                       Blend blend) {
  if (n < 8) {
    __m256i mask = TailMask(n);
    __m256i s = _mm256_maskload_epi32(reinterpret_cast<const int*>(src), mask);
    __m256i d = _mm256_maskload_epi32(reinterpret_cast<const int*>(dst), mask);
    _mm256_maskstore_epi32(reinterpret_cast<int*>(dst), mask, blend(s, d));
    return n;
  }
  // The last eight pixels are blended from the target as it was before the loop, so
  // the pixels they share with the loop's last step come out the same twice: no masked
  // store, which some processors take many cycles for.
  const __m256i lastS = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + n - 8));
  const __m256i lastD = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + n - 8));
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), blend(s, d));
  }
  if (i < n) _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + n - 8), blend(lastS, lastD));
  return n;
}

// Own alpha times the global opacity; returns n.
__attribute__((target("avx2"), always_inline)) inline int BlendRowAvx2(uint32_t* dst, const uint32_t* src, int n,
                                                 uint32_t alpha, uint32_t keyRgb) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i key = _mm256_set1_epi32(int(keyRgb));
  const __m256i alpha16 = _mm256_set1_epi16(short(alpha));
  const __m256i opaque = _mm256_set1_epi32(int(0xFF000000u));
  auto blend = [&](__m256i s, __m256i d) __attribute__((target("avx2"))) {
    __m256i aLo, aHi;
    SpreadOpacity8(s, key, alpha16, aLo, aHi);
    s = _mm256_or_si256(s, opaque);
    __m256i lo = Blend16x8(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero), aLo);
    __m256i hi = Blend16x8(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero), aHi);
    return _mm256_packus_epi16(lo, hi);
  };
  return EachEightAvx2(dst, src, n, blend);
}

// One opacity for every pixel (the source is opaque); returns n.
__attribute__((target("avx2"), always_inline)) inline int BlendRowEvenAvx2(uint32_t* dst, const uint32_t* src, int n,
                                                     uint32_t alpha) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i a = _mm256_set1_epi16(short(alpha));
  const __m256i opaque = _mm256_set1_epi32(int(0xFF000000u));
  auto blend = [&](__m256i s, __m256i d) __attribute__((target("avx2"))) {
    s = _mm256_or_si256(s, opaque);
    __m256i lo = Blend16x8(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero), a);
    __m256i hi = Blend16x8(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero), a);
    return _mm256_packus_epi16(lo, hi);
  };
  return EachEightAvx2(dst, src, n, blend);
}

__attribute__((target("avx2"))) void BlendRowWholeAvx2(uint32_t* dst, const uint32_t* src, int n,
                                                      uint32_t alpha, uint32_t keyRgb) {
  BlendRowAvx2(dst, src, n, alpha, keyRgb);
}

__attribute__((target("avx2"))) void BlendRowEvenWholeAvx2(uint32_t* dst, const uint32_t* src,
                                                          int n, uint32_t alpha) {
  BlendRowEvenAvx2(dst, src, n, alpha);
}

// One opaque pixel blended over every pixel of the row with the one opacity: the
// pixel's share s * a + 128 of each channel is worked out once, so a step costs one
// multiply per channel instead of two. Eight pixels a step; returns n.
__attribute__((target("avx2"), always_inline)) inline int BlendRowSolidAvx2(uint32_t* dst, int n, uint32_t pixel,
                                                      uint32_t alpha) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i inv = _mm256_set1_epi16(short(255 - alpha));
  const __m256i share = _mm256_set1_epi64x(int64_t(SolidShares(pixel, alpha)));
  const __m256i k257 = _mm256_set1_epi16(257);
  int i = 0;
  auto blend = [&](__m256i d) __attribute__((target("avx2"))) {
    __m256i lo = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), inv), share);
    __m256i hi = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), inv), share);
    return _mm256_packus_epi16(_mm256_mulhi_epu16(lo, k257), _mm256_mulhi_epu16(hi, k257));
  };
  if (n < 8) {
    __m256i mask = TailMask(n);
    __m256i d = _mm256_maskload_epi32(reinterpret_cast<const int*>(dst), mask);
    _mm256_maskstore_epi32(reinterpret_cast<int*>(dst), mask, blend(d));
    return n;
  }
  // The last eight from the target as it was, as in BlendRowAvx2.
  const __m256i lastD = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + n - 8));
  for (; i + 8 <= n; i += 8) {
    __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), blend(d));
  }
  if (i < n) _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + n - 8), blend(lastD));
  return n;
}

__attribute__((target("avx2"))) void BlendRowSolidWholeAvx2(uint32_t* dst, int n, uint32_t pixel,
                                                           uint32_t alpha) {
  BlendRowSolidAvx2(dst, n, pixel, alpha);
}

// A plain copy for short rows; the last eight pixels may overlap ones already copied.
__attribute__((target("avx2"), always_inline)) inline void CopyRowAvx2(uint32_t* dst, const uint32_t* src, int n) {
  if (n < 8) {
    for (int i = 0; i < n; ++i) dst[i] = src[i];
    return;
  }
  for (int i = 0; i + 8 <= n; i += 8)
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i),
                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i)));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + n - 8),
                      _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + n - 8)));
}

// Eight pixels of a keyed copy.
__attribute__((target("avx2"))) inline void KeyedStepAvx2(uint32_t* dst, const uint32_t* src,
                                                          __m256i key) {
  const __m256i rgbMask = _mm256_set1_epi32(0x00FFFFFF);
  __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
  __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst));
  __m256i clear = _mm256_or_si256(_mm256_cmpeq_epi32(_mm256_and_si256(s, rgbMask), key),
                                  _mm256_cmpeq_epi32(_mm256_srli_epi32(s, 24), _mm256_setzero_si256()));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), _mm256_blendv_epi8(s, d, clear));
}

// Copies the pixels that are not transparent; a keyed copy may run over a pixel twice.
__attribute__((target("avx2"), always_inline)) inline void CopyRowKeyedAvx2(uint32_t* dst, const uint32_t* src, int n,
                                                     uint32_t keyRgb) {
  if (n < 8) {
    for (int i = 0; i < n; ++i) dst[i] = IsTransparent(src[i], keyRgb) ? dst[i] : src[i];
    return;
  }
  const __m256i key = _mm256_set1_epi32(int(keyRgb));
  for (int i = 0; i + 8 <= n; i += 8) KeyedStepAvx2(dst + i, src + i, key);
  KeyedStepAvx2(dst + n - 8, src + n - 8, key);
}

// Rectangles: the row kernel inlined into a loop over the rows, so a 30-pixel tile row
// costs no call of its own.
__attribute__((target("avx2"))) void BlendRectAvx2(uint32_t* dst, size_t dstPitch, const uint32_t* src,
                                                   size_t srcPitch, int w, int h, uint32_t alpha,
                                                   uint32_t keyRgb) {
  for (int r = 0; r < h; ++r, dst += dstPitch, src += srcPitch) BlendRowAvx2(dst, src, w, alpha, keyRgb);
}

__attribute__((target("avx2"))) void BlendEvenRectAvx2(uint32_t* dst, size_t dstPitch, const uint32_t* src,
                                                       size_t srcPitch, int w, int h, uint32_t alpha) {
  for (int r = 0; r < h; ++r, dst += dstPitch, src += srcPitch) BlendRowEvenAvx2(dst, src, w, alpha);
}

__attribute__((target("avx2"))) void CopyRectAvx2(uint32_t* dst, size_t dstPitch, const uint32_t* src,
                                                  size_t srcPitch, int w, int h) {
  for (int r = 0; r < h; ++r, dst += dstPitch, src += srcPitch) CopyRowAvx2(dst, src, w);
}

__attribute__((target("avx2"))) void CopyKeyedRectAvx2(uint32_t* dst, size_t dstPitch, const uint32_t* src,
                                                       size_t srcPitch, int w, int h, uint32_t keyRgb) {
  for (int r = 0; r < h; ++r, dst += dstPitch, src += srcPitch) CopyRowKeyedAvx2(dst, src, w, keyRgb);
}

__attribute__((target("avx2"))) void BlendSolidRectAvx2(uint32_t* dst, size_t dstPitch, int w, int h,
                                                        uint32_t pixel, uint32_t alpha) {
  for (int r = 0; r < h; ++r, dst += dstPitch) BlendRowSolidAvx2(dst, w, pixel, alpha);
}

// Eight pixels blended with their shares: each half of the row widened to four pixels'
// 16-bit lanes in order, so the shares load as they lie; the pack interleaves the halves'
// quarters, which the permute puts back.
__attribute__((target("avx2"), always_inline)) inline __m256i SharesStepAvx2(__m256i d, const uint64_t* share,
                                                                            const uint64_t* keep) {
  const __m256i k257 = _mm256_set1_epi16(257);
  __m256i d0 = _mm256_cvtepu8_epi16(_mm256_castsi256_si128(d));
  __m256i d1 = _mm256_cvtepu8_epi16(_mm256_extracti128_si256(d, 1));
  __m256i s0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(share));
  __m256i s1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(share + 4));
  __m256i k0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(keep));
  __m256i k1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(keep + 4));
  __m256i r0 = _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_mullo_epi16(d0, k0), s0), k257);
  __m256i r1 = _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_mullo_epi16(d1, k1), s1), k257);
  return _mm256_permute4x64_epi64(_mm256_packus_epi16(r0, r1), 0xD8);
}

__attribute__((target("avx2"))) void BlendSharesRectAvx2(uint32_t* dst, size_t dstPitch, const uint64_t* share,
                                                         const uint64_t* keep, size_t sharePitch, int w, int h) {
  for (int r = 0; r < h; ++r, dst += dstPitch, share += sharePitch, keep += sharePitch) {
    if (w < 8) {
      for (int i = 0; i < w; ++i) dst[i] = BlendPixelShares(dst[i], share[i], keep[i]);
      continue;
    }
    // The last eight from the target as it was, as in BlendRowAvx2.
    const __m256i lastD = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + w - 8));
    int i = 0;
    for (; i + 8 <= w; i += 8)
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i),
                          SharesStepAvx2(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i)),
                                         share + i, keep + i));
    if (i < w)
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + w - 8),
                          SharesStepAvx2(lastD, share + w - 8, keep + w - 8));
  }
}

int BlendRowSse2(uint32_t* dst, const uint32_t* src, int n, uint32_t alpha, uint32_t keyRgb) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i key = _mm_set1_epi32(int(keyRgb));
  const __m128i alpha16 = _mm_set1_epi16(short(alpha));
  const __m128i opaque = _mm_set1_epi32(int(0xFF000000u));
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    __m128i aLo, aHi;
    SpreadOpacity(s, key, alpha16, aLo, aHi);
    s = _mm_or_si128(s, opaque);
    __m128i lo = Blend16(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), aLo);
    __m128i hi = Blend16(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), aHi);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
  }
  return i;
}

int BlendRowEvenSse2(uint32_t* dst, const uint32_t* src, int n, uint32_t alpha) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i a = _mm_set1_epi16(short(alpha));
  const __m128i opaque = _mm_set1_epi32(int(0xFF000000u));
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128i s = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)), opaque);
    __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    __m128i lo = Blend16(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), a);
    __m128i hi = Blend16(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), a);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
  }
  return i;
}

int BlendRowSolidSse2(uint32_t* dst, int n, uint32_t pixel, uint32_t alpha) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i inv = _mm_set1_epi16(short(255 - alpha));
  const __m128i share = _mm_set1_epi64x(int64_t(SolidShares(pixel, alpha)));
  const __m128i k257 = _mm_set1_epi16(257);
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), inv), share);
    __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), inv), share);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                     _mm_packus_epi16(_mm_mulhi_epu16(lo, k257), _mm_mulhi_epu16(hi, k257)));
  }
  return i;
}
#endif

// Which kernels this processor runs: 0 plain, 1 SSE2, 2 AVX2.
int DetectKernels() {
#if defined(KW_X86)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return 2;
  if (__builtin_cpu_supports("sse2")) return 1;
#endif
  return 0;
}

int Kernels = DetectKernels();

}  // namespace

void CopyRowPlain(uint32_t* dst, const uint32_t* src, int n) { std::memcpy(dst, src, size_t(n) * 4); }

uint32_t BlendPixel(uint32_t dst, uint32_t src, uint32_t a) {
  src |= 0xFF000000u;
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t s = (src >> shift) & 255, d = (dst >> shift) & 255;
    out |= (((s * a + d * (255 - a) + 128) * 257) >> 16) << shift;
  }
  return out;
}

void MakeBlendShares(const uint32_t* pixels, size_t pitch, int w, int h, uint32_t keyRgb, uint32_t alpha,
                     uint64_t* share, uint64_t* keep) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint32_t s = pixels[size_t(y) * pitch + size_t(x)], a = PixelOpacity(s, keyRgb, alpha);
      share[size_t(y) * size_t(w) + size_t(x)] = SolidShares(s, a);
      keep[size_t(y) * size_t(w) + size_t(x)] = uint64_t(255 - a) * 0x0001000100010001u;
    }
}

uint32_t BlendPixelOwnAlpha(uint32_t dst, uint32_t src, uint32_t alpha, uint32_t keyRgb) {
  return BlendPixel(dst, src, PixelOpacity(src, keyRgb, alpha));
}

void BlendRowSolid(uint32_t* dst, int n, uint32_t pixel, uint32_t alpha) {
  int i = 0;
#if defined(KW_X86)
  if (Kernels == 2) return BlendRowSolidWholeAvx2(dst, n, pixel, alpha);
  if (Kernels >= 1) i += BlendRowSolidSse2(dst + i, n - i, pixel, alpha);
#endif
  for (; i < n; ++i) dst[i] = BlendPixel(dst[i], pixel, alpha);
}

int BlendKernels() { return Kernels; }

namespace {

// The rectangles for the plain and SSE2 kernels: row by row through the row kernels.
void BlendRectRows(uint32_t* dst, size_t dstPitch, const uint32_t* src, size_t srcPitch, int w, int h,
                   uint32_t alpha, uint32_t keyRgb) {
  for (int r = 0; r < h; ++r, dst += dstPitch, src += srcPitch) BlendRow(dst, src, w, alpha, keyRgb);
}

void BlendEvenRectRows(uint32_t* dst, size_t dstPitch, const uint32_t* src, size_t srcPitch, int w, int h,
                       uint32_t alpha) {
  for (int r = 0; r < h; ++r, dst += dstPitch, src += srcPitch) BlendRowEven(dst, src, w, alpha);
}

void CopyRectRows(uint32_t* dst, size_t dstPitch, const uint32_t* src, size_t srcPitch, int w, int h) {
  for (int r = 0; r < h; ++r, dst += dstPitch, src += srcPitch) CopyRowPlain(dst, src, w);
}

void CopyKeyedRectRows(uint32_t* dst, size_t dstPitch, const uint32_t* src, size_t srcPitch, int w, int h,
                       uint32_t keyRgb) {
  for (int r = 0; r < h; ++r, dst += dstPitch, src += srcPitch) CopyRowKeyed(dst, src, w, keyRgb);
}

void BlendSolidRectRows(uint32_t* dst, size_t dstPitch, int w, int h, uint32_t pixel, uint32_t alpha) {
  for (int r = 0; r < h; ++r, dst += dstPitch) BlendRowSolid(dst, w, pixel, alpha);
}

void BlendSharesRectRows(uint32_t* dst, size_t dstPitch, const uint64_t* share, const uint64_t* keep,
                         size_t sharePitch, int w, int h) {
  for (int r = 0; r < h; ++r, dst += dstPitch, share += sharePitch, keep += sharePitch)
    for (int i = 0; i < w; ++i) dst[i] = BlendPixelShares(dst[i], share[i], keep[i]);
}

}  // namespace

RectKernels CurrentRectKernels() {
  RectKernels k{BlendRectRows,     BlendEvenRectRows,  CopyRectRows,
               CopyKeyedRectRows, BlendSolidRectRows, BlendSharesRectRows};
#if defined(KW_X86)
  if (Kernels == 2)
    k = {BlendRectAvx2,     BlendEvenRectAvx2,  CopyRectAvx2,
         CopyKeyedRectAvx2, BlendSolidRectAvx2, BlendSharesRectAvx2};
#endif
  return k;
}

int UseBlendKernels(int level) {
  int best = DetectKernels();
  Kernels = level < 0 || level > best ? best : level;
  return Kernels;
}

void BlendRow(uint32_t* dst, const uint32_t* src, int n, uint32_t alpha, uint32_t keyRgb) {
  int i = 0;
#if defined(KW_X86)
  if (Kernels == 2) return BlendRowWholeAvx2(dst, src, n, alpha, keyRgb);
  if (Kernels >= 1) i += BlendRowSse2(dst + i, src + i, n - i, alpha, keyRgb);
#endif
  for (; i < n; ++i) dst[i] = BlendPixelOwnAlpha(dst[i], src[i], alpha, keyRgb);
}

void BlendRowEven(uint32_t* dst, const uint32_t* src, int n, uint32_t alpha) {
  int i = 0;
#if defined(KW_X86)
  if (Kernels == 2) return BlendRowEvenWholeAvx2(dst, src, n, alpha);
  if (Kernels >= 1) i += BlendRowEvenSse2(dst + i, src + i, n - i, alpha);
#endif
  for (; i < n; ++i) dst[i] = BlendPixel(dst[i], src[i], alpha);
}

}  // namespace kw
