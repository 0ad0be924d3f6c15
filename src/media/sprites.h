// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Sprites and 3D sprites: the software renderer. Every draw writes into the 640 x 480
// back buffer (core.h) or into the sprite chosen with SetBlitTarget. Pixel-exact
// collision reads the same pictures. Sprites are numbered 0..MaxSprites-1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kw {

constexpr int MaxSprites = 65536;
constexpr int TextureFlag = 4;
constexpr int MaxSprites3D = MaxSprites;

// Loading and making. Results: nonzero on success, 0 on failure.
int LoadSpriteFromMemory(int sprite, const uint8_t* data, size_t size, int textureFlag);
int LoadSpriteFromFile(int sprite, const std::string& path, int textureFlag);  // game path
// Loads into a free number (taken from the top) and returns it; 0 on failure.
int LoadNewSpriteFromMemory(const uint8_t* data, size_t size, int textureFlag);
int CreateSprite(int sprite, int width, int height);
int DuplicateSprite(int source, int target);
int GrabScreenSprite(int sprite, int x, int y, int width, int height);  // -1 picks a free number
void FreeSprite(int sprite);
void FreeAllSprites();
int SpriteExists(int sprite);
int SpriteWidth(int sprite);   // whole picture
int SpriteHeight(int sprite);
// Size of the clip rectangle, what draws and collision tests use (0 when empty), so game
// code can skip far-off pairs before asking for a collision test.
int SpriteClipWidth(int sprite);
int SpriteClipHeight(int sprite);
// Direct pixel access for tests and tools (0xAARRGGBB), nullptr when empty. Write
// through the pointer before the next draw or collision test of the sprite (cached
// masks are dropped when the pointer is handed out).
uint32_t* SpritePixels(int sprite);

// A number that changes whenever the sprite's pixels, clip or key colour change or the
// number gets another picture (a draw into the sprite counts as a change); 0 when empty.
uint64_t SpriteVersion(int sprite);

// Clip, key colour, target.
void SetSpriteClip(int sprite, int x, int y, int width, int height);  // all -1: whole
void SetSpriteKeyColor(int sprite, int colour);  // sprite -1: default for later loads
void SetBlitTarget(int sprite);                  // -1: the back buffer

// 2D draws of the clipped sprite with its top-left corner at (x, y).
void DrawSprite(int sprite, int x, int y);
void DrawSpriteKeyed(int sprite, int x, int y);

// Collision of two clipped sprites placed at two positions.
int SpriteBoxesTouch(int s1, int x1, int y1, int s2, int x2, int y2);
int SpritesTouch(int s1, int x1, int y1, int s2, int x2, int y2);

// 3D sprites: scaled, rotated, blended.
void InitSprite3D();
void SetSprite3DFiltering(int on);
int MakeSprite3D(int sprite3d, int sprite);
int Begin3D();
void End3D();
void ScaleSprite3D(int sprite3d, int width, int height);
void TurnSprite3D(int sprite3d, float degrees, int relative);
void DrawSprite3D(int sprite3d, int x, int y, int alpha);
// `count` copies side by side, the i-th at (x + i * step, y): the same pixels as as many
// DrawSprite3D calls, but a row of unscaled copies of one picture is drawn as one long
// row per pixel row (the darkness covers the screen cell by cell).
void DrawSprite3DRun(int sprite3d, int x, int y, int step, int count, int alpha);
void FreeAllSprites3D();

}  // namespace kw
