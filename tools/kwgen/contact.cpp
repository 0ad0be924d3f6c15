// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Contact sheets: every picture of every pack of a generated game folder, scaled down and
// labelled "pack:entry WxH", on one or more PNG sheets. Sounds appear as a labelled box.
// Read through the game's own pack reader, so a sheet also proves the packs decode.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "kwgen.h"
#include "media/pack.h"

namespace kwgen {

namespace {

constexpr int SheetWidth = 1600;
constexpr int SheetMaxHeight = 1600;
constexpr int CellBox = 150;  // a picture is scaled to fit CellBox x CellBox

struct Thumb {
  std::string label;
  Image picture;
};

// Reads every entry of one pack into thumbnails.
void ThumbsOfPack(const std::string& path, const std::string& name, std::vector<Thumb>& out) {
  if (!kw::OpenPack(path)) {
    out.push_back({name + ": missing", Image(CellBox, 20, Argb(160, 0, 0))});
    return;
  }
  for (int i = 0;; ++i) {
    const uint8_t* data = kw::NextPackEntry();
    if (!data) break;
    size_t size = kw::LastPackEntrySize();
    Image img;
    std::string label = name + ":" + std::to_string(i);
    if (DecodePng(data, size, img)) {
      label += " " + std::to_string(img.w) + "x" + std::to_string(img.h);
      float s = std::min(1.0f, std::min(float(CellBox) / img.w, float(CellBox) / img.h));
      if (img.h > 4 * img.w) s = std::min(1.0f, float(CellBox * 4) / img.h);  // tall strips
      img = Scaled(img, std::max(1, int(img.w * s)), std::max(1, int(img.h * s)));
    } else {
      std::string kind = size >= 4 && data[0] == 'R' ? "wav" : (size >= 4 && data[0] == 'O' ? "ogg" : "?");
      label += " " + kind + " " + std::to_string(size / 1024) + "k";
      img = Image(60, 20, Argb(40, 60, 120));
    }
    out.push_back({label, img});
  }
  kw::ClosePack();
}

// Checkerboard so that transparent parts are visible.
void Checker(Image& img, int x, int y, int w, int h) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i)
      img.Set(x + i, y + j, ((i / 6 + j / 6) & 1) ? Argb(200, 0, 200) : Argb(150, 0, 150));
}

}  // namespace

int WriteContactSheets(const std::string& gameDir, const std::string& sheetPath) {
  namespace fs = std::filesystem;
  fs::path paks = fs::absolute(fs::path(gameDir) / "paks");
  std::vector<Thumb> thumbs;
  for (const char* pack : {"objects", "Menu", "Interface", "Inventar", "Tiles", "Lights",
                           "Backgrounds", "cutscenes", "sounds"})
    ThumbsOfPack((paks / (std::string(pack) + ".pak")).string(), pack, thumbs);
  for (const char* loose : {"player+k.png", "gegner_g0.png", "gegner_g1.png", "gegner_g2.png"}) {
    std::vector<uint8_t> bytes;
    FILE* f = std::fopen((paks / "npf" / loose).string().c_str(), "rb");
    if (f) {
      uint8_t buf[65536];
      size_t n;
      while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
      std::fclose(f);
    }
    Image img;
    if (DecodePng(bytes.data(), bytes.size(), img)) thumbs.push_back({std::string("npf/") + loose, img});
  }
  // Shelf packing, a new sheet when one is full.
  int sheetNo = 0, x = 0, y = 0, shelf = 0;
  Image sheet(SheetWidth, SheetMaxHeight, Argb(40, 40, 40));
  auto flush = [&](int usedHeight) {
    std::string path = sheetPath;
    if (sheetNo > 0) {
      fs::path p(sheetPath);
      path = (p.parent_path() / (p.stem().string() + "_" + std::to_string(sheetNo) + p.extension().string())).string();
    }
    Image out = Crop(sheet, 0, 0, SheetWidth, std::max(1, usedHeight));
    bool ok = WriteFile(path, EncodePng(out));
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", path.c_str());
    ++sheetNo;
    sheet = Image(SheetWidth, SheetMaxHeight, Argb(40, 40, 40));
    return ok;
  };
  bool ok = true;
  for (const auto& t : thumbs) {
    int w = std::max(t.picture.w, TextWidth(t.label, 12) + 4), h = t.picture.h + 16;
    if (x + w > SheetWidth) x = 0, y += shelf + 6, shelf = 0;
    if (y + h > SheetMaxHeight) ok = flush(y) && ok, x = 0, y = 0, shelf = 0;
    Checker(sheet, x, y + 16, t.picture.w, t.picture.h);
    Blit(sheet, t.picture, x, y + 16);
    DrawText(sheet, t.label, x, y, 12, Argb(255, 255, 160));
    x += w + 6;
    shelf = std::max(shelf, h);
  }
  ok = flush(y + shelf) && ok;
  return ok ? 0 : 1;
}

}  // namespace kwgen
