// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Sprites: the table of numbered pictures, loading (PNG and JPEG through SDL2_image),
// making, copying and grabbing, clip rectangles, key colours, the blit target and the
// plain 2D draws (opaque and keyed). Every game screen draws through here; the loader
// thread fills numbers while the main thread draws others.
#include "media/sprites.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <array>
#include <climits>
#include <atomic>
#include <cstring>
#include <mutex>

#include "media/core.h"
#include "media/core_internal.h"
#include "media/files.h"
#include "media/sprite_internal.h"

namespace kw {

namespace {

// The sprite table never reallocates, so a load into one number cannot move another
// number's picture while a second thread draws it.
std::array<PicturePtr, MaxSprites> Sprites;

// Key colour (0x00RRGGBB) given to sprites loaded or made from now on.
std::atomic<uint32_t> DefaultKeyRgb{0};

// The blit target is per thread: the tile loader draws into new sprites on the loader
// thread while the main thread keeps drawing the spinning title to the back buffer.
thread_local int BlitTarget = -1;
// A test's window into a block of its own; wins over BlitTarget while set.
thread_local DrawTarget WindowTarget;

bool ValidNumber(int sprite) { return sprite >= 0 && sprite < MaxSprites; }

uint32_t KeyRgbOf(int colour) { return ColourToPixel(colour) & 0xFFFFFFu; }

// A fresh picture of the given size with the whole picture as clip and the default key;
// opaque black, or sharing the given pixels.
PicturePtr NewPicture(int width, int height, bool texture, const SharedPixels* share = nullptr) {
  if (width <= 0 || height <= 0 || width > MaxPictureSide || height > MaxPictureSide)
    return nullptr;
  auto picture = std::make_shared<Picture>();
  picture->width = width;
  picture->height = height;
  if (share)
    picture->pixels = *share;
  else
    picture->pixels.assign(size_t(width) * size_t(height), 0xFF000000u);
  picture->clip = {0, 0, width, height};
  picture->keyRgb = DefaultKeyRgb.load();
  picture->texture = texture;
  return picture;
}

void InitImageDecoders() {
  static std::once_flag once;
  std::call_once(once, [] { IMG_Init(IMG_INIT_PNG | IMG_INIT_JPG); });
}

// Decodes a PNG or JPEG picture into a new ARGB picture; nullptr when it is none or
// its header is damaged or claims a picture larger than we take.
PicturePtr DecodePicture(const uint8_t* data, size_t size, bool texture) {
  if (!data || size == 0 || size > size_t(INT32_MAX)) return nullptr;
  // Size and structure first: a damaged or hostile header never reaches a decoder.
  PictureKind kind = CheckPictureHeader(data, size);
  if (kind == PictureKind::None) return nullptr;
  InitImageDecoders();
  SDL_RWops* rw = SDL_RWFromConstMem(data, int(size));
  if (!rw) return nullptr;
  SDL_Surface* decoded = kind == PictureKind::Png ? IMG_LoadPNG_RW(rw) : IMG_LoadJPG_RW(rw);
  SDL_RWclose(rw);
  if (!decoded) return nullptr;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(decoded);
  if (!argb) return nullptr;
  PicturePtr picture = NewPicture(argb->w, argb->h, texture);
  if (picture && SDL_LockSurface(argb) == 0) {
    for (int y = 0; y < argb->h; ++y)
      std::memcpy(picture->pixels.Mutable() + size_t(y) * size_t(argb->w),
                  static_cast<const uint8_t*>(argb->pixels) + size_t(y) * size_t(argb->pitch),
                  size_t(argb->w) * 4);
    SDL_UnlockSurface(argb);
  } else {
    picture = nullptr;
  }
  SDL_FreeSurface(argb);
  return picture;
}

// The common body of DrawSprite and DrawSpriteKeyed.
void DrawClipped(int sprite, int x, int y, bool keyed) {
  Picture* picture = SpritePictureRaw(sprite);
  DrawTarget target = CurrentDrawTarget();
  if (!picture || !target.pixels) return;
  int w = picture->clip.w, h = picture->clip.h, srcX = picture->clip.x, srcY = picture->clip.y;
  if (!CutToTarget(target, x, y, w, h, srcX, srcY)) return;
  const uint32_t* src = &picture->pixels[size_t(srcY) * picture->width + srcX];
  size_t srcPitch = size_t(picture->width);
  // Drawing a sprite into itself: read from a copy so overlapping rows stay right.
  std::vector<uint32_t> copy;
  if (target.picture == picture) {
    copy.assign(src, src + (h - 1) * srcPitch + w);
    src = copy.data();
  }
  uint32_t* dst = target.pixels + size_t(y) * target.pitch + x;
  const RectKernels kernels = CurrentRectKernels();
  if (keyed)
    kernels.copyKeyedRect(dst, target.pitch, src, srcPitch, w, h, picture->keyRgb);
  else
    for (int row = 0; row < h; ++row) std::memcpy(dst + size_t(row) * target.pitch, src + row * srcPitch, size_t(w) * 4);
  if (target.picture) target.picture->PixelsChanged();
}

}  // namespace

// Cuts a draw of a w x h block at (x, y) to the target; false when nothing is left.
// On return (x, y) is the first target pixel and (srcX, srcY) moved by the same amount.
bool CutToTarget(const DrawTarget& target, int& x, int& y, int& w, int& h, int& srcX,
                 int& srcY) {
  long long x0 = std::max<long long>(x, 0), y0 = std::max<long long>(y, 0);
  long long x1 = std::min<long long>((long long)x + w, target.width);
  long long y1 = std::min<long long>((long long)y + h, target.height);
  if (x0 >= x1 || y0 >= y1) return false;
  srcX += int(x0 - x);
  srcY += int(y0 - y);
  x = int(x0);
  y = int(y0);
  w = int(x1 - x0);
  h = int(y1 - y0);
  return true;
}

// Copies one row, skipping transparent pixels. Written as a select so it vectorises.
void CopyRowKeyed(uint32_t* dst, const uint32_t* src, int n, uint32_t keyRgb) {
  for (int i = 0; i < n; ++i) {
    uint32_t s = src[i];
    dst[i] = IsTransparent(s, keyRgb) ? dst[i] : s;
  }
}

uint64_t NewPictureVersion() {
  static std::atomic<uint64_t> last{0};
  return ++last;
}

uint64_t SpriteVersion(int sprite) {
  Picture* picture = SpritePictureRaw(sprite);
  return picture ? picture->version : 0;
}

PicturePtr SpritePicture(int sprite) {
  return ValidNumber(sprite) ? Sprites[sprite] : nullptr;
}

Picture* SpritePictureRaw(int sprite) {
  return ValidNumber(sprite) ? Sprites[sprite].get() : nullptr;
}

DrawTarget CurrentDrawTarget() {
  if (WindowTarget.pixels) return WindowTarget;
  DrawTarget target;
  if (BlitTarget < 0) {
    target.pixels = BackBuffer();
    target.width = ScreenWidth;
    target.height = ScreenHeight;
    target.pitch = ScreenWidth;
    return target;
  }
  Picture* picture = SpritePictureRaw(BlitTarget);
  if (!picture) return target;
  target.pixels = picture->pixels.Mutable();
  picture->version = NewPictureVersion();  // handed out for drawing into
  target.width = picture->width;
  target.height = picture->height;
  target.pitch = size_t(picture->width);
  target.picture = picture;
  return target;
}

void SetWindowDrawTarget(uint32_t* pixels, int width, int height, int pitch) {
  WindowTarget = DrawTarget();
  if (!pixels || width <= 0 || height <= 0 || pitch < width) return;
  WindowTarget.pixels = pixels;
  WindowTarget.width = width;
  WindowTarget.height = height;
  WindowTarget.pitch = size_t(pitch);
}

AlphaKind PictureAlphaKind(Picture& picture) {
  if (picture.alphaKind != AlphaKind::Unknown) return picture.alphaKind;
  bool anyTransparent = false, anyPartial = false;
  for (uint32_t p : picture.pixels) {
    uint32_t a = p >> 24;
    anyTransparent |= IsTransparent(p, picture.keyRgb);
    anyPartial |= (a != 0 && a != 255);
  }
  picture.alphaKind = anyPartial       ? AlphaKind::Blended
                      : anyTransparent ? AlphaKind::Cutout
                                       : AlphaKind::Opaque;
  return picture.alphaKind;
}

int LoadSpriteFromMemory(int sprite, const uint8_t* data, size_t size, int textureFlag) {
  if (!ValidNumber(sprite)) return 0;
  PicturePtr picture = DecodePicture(data, size, (textureFlag & TextureFlag) != 0);
  if (!picture) return 0;
  Sprites[sprite] = std::move(picture);
  return 1;
}

int LoadSpriteFromFile(int sprite, const std::string& path, int textureFlag) {
  if (!ValidNumber(sprite)) return 0;
  std::string data;
  if (!ReadWholeFile(path, data)) return 0;
  return LoadSpriteFromMemory(sprite, reinterpret_cast<const uint8_t*>(data.data()),
                              data.size(), textureFlag);
}

int CreateSprite(int sprite, int width, int height) {
  if (!ValidNumber(sprite)) return 0;
  // Made sprites are texture sprites: the tile loader makes 3D sprites of them.
  PicturePtr picture = NewPicture(width, height, true);
  if (!picture) return 0;
  Sprites[sprite] = std::move(picture);
  return 1;
}

int DuplicateSprite(int source, int target) {
  PicturePtr from = SpritePicture(source);
  if (!from || !ValidNumber(target)) return 0;
  // The copy shares the pixels: the tile loader clips a hundred copies of one sheet.
  PicturePtr copy = NewPicture(from->width, from->height, from->texture, &from->pixels);
  if (!copy) return 0;
  Sprites[target] = std::move(copy);
  return 1;
}

// A free sprite number, -1 when every number is taken. Free numbers are taken from the
// top so the game's own numbers stay clear; 0 is never handed out.
int FreeSpriteNumber() {
  for (int n = MaxSprites - 1; n > 0; --n)
    if (!Sprites[n]) return n;
  return -1;
}

int LoadNewSpriteFromMemory(const uint8_t* data, size_t size, int textureFlag) {
  int sprite = FreeSpriteNumber();
  if (sprite < 0) return 0;
  return LoadSpriteFromMemory(sprite, data, size, textureFlag) ? sprite : 0;
}

int GrabScreenSprite(int sprite, int x, int y, int width, int height) {
  bool picked = sprite == -1;
  if (picked) {
    sprite = FreeSpriteNumber();
    if (sprite == -1) return 0;
  } else if (!ValidNumber(sprite)) {
    return 0;
  }
  PicturePtr picture = NewPicture(width, height, false);
  if (!picture) return 0;
  const uint32_t* screen = BackBuffer();
  uint32_t* pixels = picture->pixels.Mutable();
  for (int row = 0; row < height; ++row) {
    long long sy = (long long)y + row;
    if (sy < 0 || sy >= ScreenHeight) continue;
    for (int col = 0; col < width; ++col) {
      long long sx = (long long)x + col;
      // The screen has no alpha: grabbed pixels are opaque.
      if (sx >= 0 && sx < ScreenWidth)
        pixels[size_t(row) * width + col] = screen[sy * ScreenWidth + sx] | 0xFF000000u;
    }
  }
  Sprites[sprite] = std::move(picture);
  return picked ? sprite : 1;
}

void FreeSprite(int sprite) {
  if (ValidNumber(sprite)) Sprites[sprite].reset();
}

void FreeAllSprites() {
  for (auto& picture : Sprites) picture.reset();
  DefaultKeyRgb = 0;
}

int SpriteExists(int sprite) { return SpritePictureRaw(sprite) ? 1 : 0; }

int SpriteWidth(int sprite) {
  Picture* picture = SpritePictureRaw(sprite);
  return picture ? picture->width : 0;
}

int SpriteHeight(int sprite) {
  Picture* picture = SpritePictureRaw(sprite);
  return picture ? picture->height : 0;
}

int SpriteClipWidth(int sprite) {
  Picture* picture = SpritePictureRaw(sprite);
  return picture ? picture->clip.w : 0;
}

int SpriteClipHeight(int sprite) {
  Picture* picture = SpritePictureRaw(sprite);
  return picture ? picture->clip.h : 0;
}

uint32_t* SpritePixels(int sprite) {
  Picture* picture = SpritePictureRaw(sprite);
  if (!picture) return nullptr;
  // The caller is about to write: cached masks and blend kinds are rebuilt on next use.
  picture->PixelsChanged();
  return picture->pixels.Mutable();
}

void SetSpriteClip(int sprite, int x, int y, int width, int height) {
  Picture* picture = SpritePictureRaw(sprite);
  if (!picture) return;
  picture->version = NewPictureVersion();
  if (x == -1 && y == -1 && width == -1 && height == -1) {
    picture->clip = {0, 0, picture->width, picture->height};
    return;
  }
  long long x0 = std::max<long long>(x, 0), y0 = std::max<long long>(y, 0);
  long long x1 = std::min<long long>((long long)x + std::max(width, 0), picture->width);
  long long y1 = std::min<long long>((long long)y + std::max(height, 0), picture->height);
  if (x0 >= x1 || y0 >= y1) {
    picture->clip = {0, 0, 0, 0};  // nothing of the picture is shown
    return;
  }
  picture->clip = {int(x0), int(y0), int(x1 - x0), int(y1 - y0)};
}

void SetSpriteKeyColor(int sprite, int colour) {
  if (sprite == -1) {
    DefaultKeyRgb = KeyRgbOf(colour);
    return;
  }
  Picture* picture = SpritePictureRaw(sprite);
  if (!picture) return;
  picture->keyRgb = KeyRgbOf(colour);
  picture->PixelsChanged();
}

// A number past the table holds nothing, so draws into it do nothing.
void SetBlitTarget(int sprite) { BlitTarget = sprite < 0 ? -1 : sprite; }

namespace {

// A test's draw log notes the sprite with its clip rectangle where it was put.
void NoteDrawnSprite(int sprite, int x, int y) {
  std::vector<DrawnItem>* log = DrawLog();
  if (!log || BlitTarget >= 0) return;
  auto end = [](int at, int size) {  // a sprite may stand anywhere: its end stops at the ints' limit
    return int(std::min<long long>((long long)at + size, INT_MAX));
  };
  log->push_back({sprite, "", x, y, x, y, end(x, SpriteClipWidth(sprite)), end(y, SpriteClipHeight(sprite))});
}

}  // namespace

void DrawSprite(int sprite, int x, int y) {
  NoteDrawnSprite(sprite, x, y);
  DrawClipped(sprite, x, y, false);
}

void DrawSpriteKeyed(int sprite, int x, int y) {
  NoteDrawnSprite(sprite, x, y);
  DrawClipped(sprite, x, y, true);
}

}  // namespace kw
