// The tile-set loader: the animation strips and the tile sheet of the set named by
// TileSet become the tile pictures 1..80, 101..200, 201..281, the animated frames
// 6000..9999 and TileKind. Called by the map loader and by the frame loop when the
// script changes the tile set.
#include "content/content.h"
#include "media/media.h"
#include "shell/globals.h"

namespace kw {

namespace {

constexpr int TileSize = 30;

// Skips n entries; stops at the pack's end, so a huge set number cannot spin.
void SkipEntries(int n) {
  for (int i = 0; i < n; ++i)
    if (!NextPackEntry() && PackEnded()) return;
}

int LoadNextTileSprite(int n, int flags) {
  const uint8_t* data = NextPackEntry();
  return data ? LoadSpriteFromMemory(n, data, LastPackEntrySize(), flags) : 0;
}

// A new width x height sprite holding the region (x, y) of source, drawn opaque or keyed.
void CutTile(int target, int source, int x, int y, int width, int height, bool keyed) {
  CreateSprite(target, width, height);
  SetSpriteClip(source, x, y, width, height);
  SetBlitTarget(target);
  if (keyed)
    DrawSpriteKeyed(source, 0, 0);
  else
    DrawSprite(source, 0, 0);
  SetBlitTarget(-1);
}

// A copy of the sheet clipped to one tile (the copies share the sheet's pixels).
void ClipTile(int target, int x, int y) {
  DuplicateSprite(0, target);
  SetSpriteClip(target, x, y, TileSize, TileSize);
}

// Tiles 1..80 (sheet row 0), 101..200 (row 1) and the 3D overlays 201..281 (row 2).
void BuildSheetTiles() {
  for (int k = 1; k <= 80; ++k) ClipTile(k, (k - 1) * TileSize, 0);
  for (int k = 101; k <= 200; ++k) ClipTile(k, (k - 101) * TileSize, TileSize);
  for (int k = 201; k <= 281; ++k) {
    CutTile(k, 0, (k - 201) * TileSize, 2 * TileSize, TileSize, TileSize, true);
    MakeSprite3D(k, k);
  }
  SetSpriteClip(0, -1, -1, -1, -1);
}

// One animated frame: an empty sprite for k = 0 (its region lies above the strip).
void BuildFrame(int target, int strip, int f, int k, int height) {
  if (k == 0) {
    CreateSprite(target, TileSize, height);
  } else {
    CutTile(target, strip, TileSize * f, (k - 1) * height, TileSize, height, false);
  }
  MakeSprite3D(target, target);
}

// Frames f = 0..3 of both strips: 6000 + 1000 f + k (30 x 50) and 6500 + 1000 f + k.
void BuildAnimatedFrames() {
  for (int f = 0; f < 4; ++f) {
    for (int k = 0; k <= 80; ++k) BuildFrame(6000 + 1000 * f + k, 435, f, k, 50);
    for (int k = 0; k <= 80; ++k) BuildFrame(6500 + 1000 * f + k, 436, f, k, TileSize);
  }
  SetSpriteClip(435, -1, -1, -1, -1);
  SetSpriteClip(436, -1, -1, -1, -1);
}

}  // namespace

void FillTileKind(int tileSet) {
  TileKind.fill(0);
  if (tileSet < 1 || tileSet > 4) return;
  for (int t : {31, 32, 33, 34, 39, 40, 74, 75}) TileKind[t] = 1;
  for (int t : {35, 36, 37, 38, 41, 42, 76, 77}) TileKind[t] = 2;
}

void LoadTiles() {
  CheckLoad(OpenPack("paks\\Tiles.pak"), "Tiles");
  int t = ParseInt(TileSet);
  if (t >= 1 && t <= 5) {
    SkipEntries(2 * (t - 1));
    CheckLoad(LoadNextTileSprite(435, TextureFlag), "Tiles_pic:1");
    CheckLoad(LoadNextTileSprite(436, TextureFlag), "Tiles_pic:1");
    SkipEntries(2 * (5 - t));
  }
  // For any other set no strip was read, so the sheet index shifts with it.
  SkipEntries(2);
  if (t > 1) SkipEntries(t - 1);
  CheckLoad(LoadNextTileSprite(0, TextureFlag), "Tiles_pic:5");
  BuildSheetTiles();
  ClosePack();
  AnimFrameBase = 6000;
  BuildAnimatedFrames();
  // The closed door, kept for when a held key runs out.
  DuplicateSprite(19, 433);
  SetSpriteClip(433, 18 * TileSize, 0, TileSize, TileSize);
  FillTileKind(t);
}

}  // namespace kw
