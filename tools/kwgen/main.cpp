// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwgen: generates the game folder. `kwgen GAMEDATA_DIR OUT_GAME_DIR` draws every picture,
// synthesises every sound, writes the packs under OUT/paks and lets the map builder write
// maps, scripts and ini files. `kwgen --contact OUT_GAME_DIR SHEET.png` lays every pack
// picture out on contact sheets for looking at them.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <string>

#include "kwgen.h"
#include "mapbuild.h"
#include "packencoder.h"

namespace {

namespace fs = std::filesystem;

// Writes one pack; false (with a message) on failure. PNG and Ogg data hardly shrink any
// further, so only the small packs go through the (slow, thorough) pack compressor.
bool WritePack(const fs::path& dir, const char* name, const kwgen::PackFiles& files,
               bool compress = false) {
  std::string path = (dir / name).string();
  if (!kw::WritePackFile(path, files, compress)) {
    std::fprintf(stderr, "kwgen: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

int Generate(const std::string& gamedataDir, const std::string& outDir) {
  fs::path paks = fs::path(outDir) / "paks";
  std::error_code ec;
  fs::create_directories(paks / "npf", ec);
  if (ec) {
    std::fprintf(stderr, "kwgen: cannot create %s: %s\n", paks.string().c_str(), ec.message().c_str());
    return 1;
  }
  // The music is the slowest part: it runs beside the pictures on the second core.
  auto sounds = std::async(std::launch::async, kwgen::MakeSoundsPack);
  std::vector<kwgen::LooseFile> loose;
  bool ok = WritePack(paks, "objects.pak", kwgen::MakeObjectsPack(loose)) &&
            WritePack(paks, "Menu.pak", kwgen::MakeMenuPack()) &&
            WritePack(paks, "Interface.pak", kwgen::MakeInterfacePack(), true) &&
            WritePack(paks, "Inventar.pak", kwgen::MakeInventarPack(), true) &&
            WritePack(paks, "Tiles.pak", kwgen::MakeTilesPack()) &&
            WritePack(paks, "Lights.pak", kwgen::MakeLightsPack(), true) &&
            WritePack(paks, "Backgrounds.pak", kwgen::MakeBackgroundsPack()) &&
            WritePack(paks, "cutscenes.pak", kwgen::MakeCutscenesPack());
  for (const auto& f : loose)
    if (ok && !kwgen::WriteFile((paks / "npf" / f.name).string(), f.bytes)) {
      std::fprintf(stderr, "kwgen: cannot write %s\n", f.name.c_str());
      ok = false;
    }
  kwgen::PackFiles soundFiles = sounds.get();
  ok = ok && WritePack(paks, "sounds.pak", soundFiles);
  if (!ok) return 1;
  std::string error;
  if (!kwgen::BuildMapsAndTexts(gamedataDir, outDir, error)) {
    std::fprintf(stderr, "kwgen: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

// Enlarges one PNG by a whole factor (nearest neighbour), for looking at pixel details.
int Zoom(const std::string& in, const std::string& out, int factor, int cx, int cy, int cw, int ch) {
  std::FILE* f = std::fopen(in.c_str(), "rb");
  if (!f || factor < 1 || factor > 16) return 1;
  std::vector<uint8_t> bytes;
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
  std::fclose(f);
  kwgen::Image img;
  if (!kwgen::DecodePng(bytes.data(), bytes.size(), img)) return 1;
  if (cw > 0 && ch > 0) img = kwgen::Crop(img, cx, cy, cw, ch);
  kwgen::Image big(img.w * factor, img.h * factor, kwgen::Argb(90, 0, 90));
  kwgen::Blit(big, kwgen::Scaled(img, img.w * factor, img.h * factor), 0, 0);
  return kwgen::WriteFile(out, kwgen::EncodePng(big)) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--contact")
    return kwgen::WriteContactSheets(argv[2], argv[3]);
  if ((argc == 5 || argc == 9) && std::string(argv[1]) == "--zoom") {
    auto arg = [&](int i) { return argc == 9 ? std::atoi(argv[i]) : 0; };
    return Zoom(argv[2], argv[3], std::atoi(argv[4]), arg(5), arg(6), arg(7), arg(8));
  }
  if (argc != 3) {
    std::fprintf(stderr,
                 "usage: kwgen GAMEDATA_DIR OUT_GAME_DIR\n"
                 "       kwgen --contact OUT_GAME_DIR SHEET.png\n"
                 "       kwgen --zoom PICTURE.png OUT.png FACTOR [X Y W H]\n");
    return 2;
  }
  return Generate(argv[1], argv[2]);
}
