// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwtool map render: draws a whole map into one PNG at 1:1 (30 px per cell) so that an
// author sees it as the world pass draws it: back layer, main layer, exit door, front
// layer and overlays, from the tile set the map names. What play adds later (the start
// figure, enemies, sliders, spikes, pickups without a picture, moving cells, script
// tags) is shown as coloured frames with short labels.
//
// The media layer runs headless; the map is drawn into one big sprite, then copied into
// a tools picture for the markers and the PNG encoder.
#include "map_render.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "image.h"
#include "maptext.h"
#include "content/catalogue.h"
#include "content/content.h"
#include "media/media.h"
#include "play/play.h"

namespace kwtool {

namespace {

namespace fs = std::filesystem;
using kwgen::Argb;

using kw::CellSize;
// Main-layer frames reach 10 px above their cell and front pictures 10 px below the
// bottom row: the picture has that much room at the top and at the bottom.
constexpr int Headroom = 10;
constexpr int CanvasSprite = 60000;  // the big blit target, far above the game's numbers
constexpr int ExitSprite = kw::Spr::ExitDoor;
constexpr int BackgroundSprite = kw::Spr::Background;
constexpr int ObjectsExitEntry = kw::EntryOf(kw::ObjectsPak, kw::Spr::ExitDoor);
static_assert(ObjectsExitEntry >= 0);
constexpr int MaxCanvasSide = 16384;  // the media layer's largest picture

// Frame sizes of the enemy types of the shipped Gegner.ini, by type index.
struct EnemyBox {
  int w, h;
};
constexpr EnemyBox EnemyBoxes[] = {{38, 57}, {40, 30}, {40, 30}, {44, 58},
                                   {30, 30}, {60, 80}, {36, 36}};
constexpr int EnemyTypeCount = int(sizeof(EnemyBoxes) / sizeof(EnemyBoxes[0]));

// Marker colours.
constexpr uint32_t StartColour = Argb(40, 255, 60);
constexpr uint32_t EnemyColour = Argb(255, 40, 220);
constexpr uint32_t SliderColour = Argb(255, 150, 20);
constexpr uint32_t SpikeColour = Argb(255, 40, 40);
constexpr uint32_t KeyColour = Argb(255, 230, 40);
constexpr uint32_t PickupColour = Argb(255, 255, 255);
constexpr uint32_t HiddenColour = Argb(255, 0, 0);
constexpr uint32_t MovingColour = Argb(40, 230, 255);
constexpr uint32_t TagColour = Argb(90, 150, 255);
constexpr uint32_t LabelShadow = Argb(0, 0, 0, 200);

struct RenderJob {
  std::string in, out, data;
  std::string tileSet;    // empty: the map's line 9
  int background = -1;    // -1: the map's line 10
  bool drawBackground = false;
};

int Fail(const std::string& message) {
  std::fprintf(stderr, "kwtool map render: %s\n", message.c_str());
  return 1;
}

bool IsNumber(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return s.size() < 9;
}

// Reads IN OUT and the options; false with a message for anything else.
bool ParseArgs(const Args& args, RenderJob& job, std::string& error) {
  std::vector<std::string> files;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--data" && hasValue) {
      job.data = args[++i];
    } else if (a == "--tileset" && hasValue && IsNumber(args[i + 1])) {
      job.tileSet = args[++i];
    } else if (a == "--background") {
      job.drawBackground = true;
      if (hasValue && IsNumber(args[i + 1])) job.background = std::stoi(args[++i]);
    } else if (a.rfind("--", 0) == 0) {
      error = "unknown or incomplete option " + a;
      return false;
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 2) error = "needs IN.map and OUT.png";
  else if (job.data.empty()) error = "needs --data GAMEDIR";
  if (!error.empty()) return false;
  job.in = files[0];
  job.out = files[1];
  return true;
}

// "maps/map3.map" -> "maps/map3_Script_Map.dat" (the tag grid kwtool map compile writes)
std::string TagGridPath(const std::string& mapPath) {
  fs::path p(mapPath);
  return (p.parent_path() / (p.stem().string() + "_Script_Map.dat")).string();
}

// The tag grid beside the map, or all zero when there is none or it does not fit.
std::vector<int8_t> ReadTags(const std::string& mapPath, size_t cells) {
  std::string bytes;
  std::vector<int8_t> tags(cells, 0);
  if (!kwmap::ReadFileBytes(TagGridPath(mapPath), bytes) || bytes.size() < cells) return tags;
  for (size_t i = 0; i < cells; ++i) tags[i] = int8_t(bytes[i]);
  return tags;
}

// The headless media layer on the game folder; the user folder is a scratch folder.
bool StartMedia(const std::string& dataDir, std::string& error) {
  for (const char* pack : {"paks/Tiles.pak", "paks/objects.pak"}) {
    if (!fs::exists(fs::path(dataDir) / pack)) {
      error = dataDir + " has no " + pack + " (is it a game folder?)";
      return false;
    }
  }
  kw::MediaOptions o;
  o.headless = true;
  o.dataDir = dataDir;
  o.userDir = (fs::temp_directory_path() / ("kwtool-render-" + std::to_string(getpid()))).string();
  std::error_code ec;
  fs::create_directories(o.userDir, ec);
  if (!kw::InitMedia(o)) {
    error = "the media layer did not start";
    return false;
  }
  kw::SetFolders(o.dataDir, o.userDir);
  // A broken pack ends the loaders through CheckLoad: say which tool failed.
  kw::SetFatalExitHook([](int code) {
    std::fprintf(stderr, "kwtool map render: a picture of the game folder could not be loaded\n");
    std::_Exit(code);
  });
  return true;
}

void StopMedia() {
  const std::string user = kw::Options().userDir;
  kw::ShutdownMedia();
  std::error_code ec;
  fs::remove_all(user, ec);
}

// Loads pack entry `entry` of a game pack as sprite n (0 when missing).
int LoadPackEntry(const std::string& pack, int entry, int sprite) {
  if (!kw::OpenPack(pack)) return 0;
  for (int i = 0; i < entry; ++i)
    if (!kw::NextPackEntry() && kw::PackEnded()) break;
  const uint8_t* data = kw::NextPackEntry();
  int ok = data ? kw::LoadSpriteFromMemory(sprite, data, kw::LastPackEntrySize(), 0) : 0;
  kw::ClosePack();
  return ok;
}

// The far background repeated over the whole picture.
void DrawBackground(int entry, int width, int height) {
  if (!LoadPackEntry("paks\\Backgrounds.pak", entry, BackgroundSprite)) return;
  const int bw = kw::SpriteWidth(BackgroundSprite), bh = kw::SpriteHeight(BackgroundSprite);
  for (int y = 0; y < height; y += bh)
    for (int x = 0; x < width; x += bw) kw::DrawSprite(BackgroundSprite, x, y);
}

bool Moving(const kwmap::MapFile& m, int col, int row) {
  return m.At(kwmap::VRange, col, row) != 0 || m.At(kwmap::HRange, col, row) != 0;
}

// Back layer, main layer (bottom row up, moving cells at rest), exit door, front layer
// and overlays, placed like the world pass places them with the view at the map's origin
// and picked by the world pass's own rules (so a value the game draws as nothing is
// nothing here too).
void DrawLayers(const kwmap::MapFile& m, int exitCol, int exitRow) {
  using namespace kwmap;
  const int base = kw::Spr::AnimFrames;  // animation frame 0
  for (int row = 0; row < m.height; ++row)
    for (int col = 0; col < m.width; ++col)
      if (int s = kw::BackLayerSprite(m.At(Back, col, row)))
        kw::DrawSpriteKeyed(s, col * CellSize, row * CellSize + kw::BackLayerDY + Headroom);
  for (int row = m.height - 1; row >= 0; --row)
    for (int col = 0; col < m.width; ++col)
      if (int s = kw::MainLayerSprite(m.At(Tile, col, row), base))
        kw::DrawSprite3D(s, col * CellSize, row * CellSize + kw::MainLayerDY + Headroom,
                         m.At(Alpha, col, row) & 255);
  kw::DrawSpriteKeyed(ExitSprite, kw::WorldCellX(exitCol, 0),
                      kw::WorldCellY(exitRow, Headroom, kw::ExitMarkerDY));
  for (int row = 0; row < m.height; ++row)
    for (int col = 0; col < m.width; ++col) {
      const int s = kw::FrontLayerSprite(m.At(Tile, col, row), m.At(Front, col, row) & 255,
                                         Moving(m, col, row), false, base);
      if (s)
        kw::DrawSprite3D(s, col * CellSize, row * CellSize + kw::FrontLayerDY + Headroom,
                         m.At(Alpha, col, row) & 255);
    }
  for (int row = 0; row < m.height; ++row) {
    // Cells are 0..width-1 here; the world pass's highest row index is height - 1.
    if (!kw::OverlayRowShown(row, m.height - 1)) continue;
    for (int col = 0; col < m.width; ++col)
      if (int s = kw::OverlaySprite(m.At(Over, col, row)))
        kw::DrawSprite3D(s, col * CellSize, row * CellSize + kw::OverlayDY + Headroom, 255);
  }
}

// The canvas as a tools picture; without a background, never-drawn black becomes clear
// (the tile pictures avoid pure black, which the game treats as transparent).
kwgen::Image CanvasImage(int width, int height, bool keepBlack) {
  kwgen::Image img(width, height);
  const uint32_t* px = kw::SpritePixels(CanvasSprite);
  for (size_t i = 0; px && i < img.px.size(); ++i) {
    const uint32_t p = px[i] | 0xFF000000u;
    img.px[i] = (!keepBlack && (p & 0xFFFFFFu) == 0) ? kwgen::Clear : p;
  }
  return img;
}

void Label(kwgen::Image& img, const std::string& text, int x, int y, uint32_t colour) {
  kwgen::DrawTextShadowed(img, text, x, y, 11, colour, LabelShadow, true);
}

// A frame two pixels wide, so it stays visible on any tile.
void Box(kwgen::Image& img, int x, int y, int w, int h, uint32_t colour) {
  kwgen::FrameRect(img, x, y, w, h, colour);
  kwgen::FrameRect(img, x + 1, y + 1, w - 2, h - 2, colour);
}

// A row of spike teeth along the cell: 17 points sideways, 18 upwards.
void SpikeMarker(kwgen::Image& img, int x, int y, bool sideways) {
  for (int i = 0; i < 3; ++i) {
    const float a = float(i * 10);
    if (sideways)
      kwgen::FillPolygon(img, {{float(x), y + a}, {x + 14.0f, y + a + 5}, {float(x), y + a + 10}},
                         SpikeColour);
    else
      kwgen::FillPolygon(img, {{x + a, y + float(CellSize)}, {x + a + 5, y + 16.0f}, {x + a + 10, y + float(CellSize)}},
                         SpikeColour);
  }
}

// Markers for one cell's pickup code: what the map loader turns into sliders and
// enemies, the spikes, the key, and pickups whose cell shows no picture (tile <= 1).
void PickupMarker(kwgen::Image& img, const kwmap::MapFile& m, int col, int row) {
  const int code = m.At(kwmap::Pickup, col, row), tile = m.At(kwmap::Tile, col, row);
  const int x = col * CellSize, y = row * CellSize + Headroom;
  if (code == kw::Pickup::None) return;
  if (code == kw::Pickup::Slider) {
    Box(img, x, y, 60, 60, SliderColour);
    Label(img, "S", x + 4, y + 2, SliderColour);
  } else if (code == kw::Pickup::SpikesSideways || code == kw::Pickup::SpikesUpward) {
    SpikeMarker(img, x, y, code == kw::Pickup::SpikesSideways);
  } else if (code >= kw::Pickup::RandomEnemy) {
    const int type = code == kw::Pickup::RandomEnemy ? 0 : code - kw::Pickup::RandomEnemy;
    const EnemyBox b = EnemyBoxes[type < EnemyTypeCount ? type : EnemyTypeCount - 1];
    Box(img, x, y, b.w, b.h, EnemyColour);
    Label(img, code == 19 ? "E0/1" : "E" + std::to_string(type), x + 3, y + 2, EnemyColour);
  } else if (code == 4) {
    Box(img, x, y, CellSize, CellSize, KeyColour);
    Label(img, "K", x + 10, y + 8, KeyColour);
  } else if (tile <= 1) {
    // A pickup nobody can see: the cell draws air.
    Box(img, x, y, CellSize, CellSize, HiddenColour);
    Label(img, "?" + std::to_string(code), x + 3, y + 8, HiddenColour);
  } else {
    Label(img, std::to_string(code), x + 1, y + 17, PickupColour);
  }
}

void DrawMarkers(kwgen::Image& img, const kwmap::MapFile& m, const std::vector<int8_t>& tags) {
  for (int row = 0; row < m.height; ++row)
    for (int col = 0; col < m.width; ++col) {
      const int x = col * CellSize, y = row * CellSize + Headroom;
      if (Moving(m, col, row)) {
        kwgen::FrameRect(img, x + 3, y + 3, CellSize - 6, CellSize - 6, MovingColour);
        Label(img, m.At(kwmap::VRange, col, row) != 0 ? "|" : "-", x + 12, y + 8, MovingColour);
      }
      const int tag = tags[size_t(row) * m.width + col];
      if (tag != 0) {
        kwgen::FrameRect(img, x, y, CellSize, CellSize, TagColour);
        Label(img, "T" + std::to_string(tag), x + 2, y + 1, TagColour);
      }
      PickupMarker(img, m, col, row);
    }
}

void StartMarker(kwgen::Image& img, const kwmap::MapFile& m) {
  // The figure stands at its start screen x while the world scrolls by posX = -RespawnX.
  const int x = kw::FigureStartScreenX + kw::ParseInt(m.header[11]);
  const int y = kw::ParseInt(m.header[10]) + kw::FigureTop + Headroom;
  Box(img, x, y, kw::FigureFrameW, kw::FigureFrameH, StartColour);
  Label(img, "Start", x + 2, y + 20, StartColour);
}

// Loads tiles and the door, draws every layer into the canvas and returns it as a picture.
bool RenderPicture(const RenderJob& job, const kwmap::MapFile& m, kwgen::Image& img,
                   std::string& error) {
  const int width = m.width * CellSize, height = m.height * CellSize + 2 * Headroom;
  if (m.width <= 0 || width > MaxCanvasSide || height > MaxCanvasSide) {
    error = "map of " + std::to_string(m.width) + " x " + std::to_string(m.height) +
            " cells does not fit in one picture";
    return false;
  }
  if (!StartMedia(job.data, error)) return false;
  kw::TileSet = job.tileSet.empty() ? m.header[8] : job.tileSet;
  kw::LoadTiles();
  if (!LoadPackEntry("paks\\objects.pak", ObjectsExitEntry, ExitSprite))
    std::fprintf(stderr, "kwtool map render: no exit door in objects.pak\n");
  kw::SetSpriteKeyColor(ExitSprite, kw::Rgb(0, 250, 0));
  const bool made = kw::CreateSprite(CanvasSprite, width, height) != 0;
  if (made) {
    kw::SetBlitTarget(CanvasSprite);
    const int bg = job.background >= 0 ? job.background : kw::ParseInt(m.header[9]);
    if (job.drawBackground) DrawBackground(bg, width, height);
    kw::SetSprite3DFiltering(0);
    kw::Begin3D();
    DrawLayers(m, kw::ParseInt(m.header[12]), kw::ParseInt(m.header[13]));
    kw::End3D();
    kw::SetBlitTarget(-1);
    img = CanvasImage(width, height, job.drawBackground);
  }
  StopMedia();
  if (!made) error = "cannot make a picture of " + std::to_string(width) + " x " + std::to_string(height);
  return made;
}

}  // namespace

int MapRender(const Args& args) {
  RenderJob job;
  std::string error, bytes;
  if (!ParseArgs(args, job, error)) {
    Fail(error);
    std::fputs("usage: kwtool map render IN.map OUT.png --data GAMEDIR [--tileset N] "
               "[--background [N]]\n", stderr);
    return 2;
  }
  kwmap::MapFile map;
  if (!kwmap::ReadFileBytes(job.in, bytes)) return Fail("cannot read " + job.in);
  if (!kwmap::ReadMapBytes(bytes, map, error)) return Fail(job.in + ": " + error);
  kwgen::Image img;
  if (!RenderPicture(job, map, img, error)) return Fail(error);
  DrawMarkers(img, map, ReadTags(job.in, map.cells[kwmap::Tile].size()));
  StartMarker(img, map);
  if (!kwgen::WriteFile(job.out, kwgen::EncodePng(img))) return Fail("cannot write " + job.out);
  return 0;
}

}  // namespace kwtool
