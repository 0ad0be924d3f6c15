// kwgen: generates the game folder. `kwgen GAMEDATA_DIR OUT_GAME_DIR` draws every picture,
// synthesises every sound, writes the packs under OUT/paks and lets the map builder write
// maps, scripts and ini files. `kwgen --contact OUT_GAME_DIR SHEET.png` lays every pack
// picture out on contact sheets for looking at them.
#include <cstdio>
#include <filesystem>
#include <future>
#include <string>

#include "kwgen.h"
#include "media/pack.h"

namespace kwgen {
bool BuildMapsAndTexts(const std::string& gamedataDir, const std::string& gameDir,
                       std::string& error);
}

namespace {

namespace fs = std::filesystem;

// Encodes the entries and writes one pack; false (with a message) on failure.
bool WritePack(const fs::path& dir, const char* name, const kwgen::PackFiles& files) {
  std::vector<std::vector<uint8_t>> entries;
  entries.reserve(files.size());
  for (const auto& f : files) entries.push_back(kw::EncodePackEntry(f.data(), f.size()));
  std::string path = (dir / name).string();
  if (!kw::WritePackFile(path, entries)) {
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
            WritePack(paks, "Interface.pak", kwgen::MakeInterfacePack()) &&
            WritePack(paks, "Inventar.pak", kwgen::MakeInventarPack()) &&
            WritePack(paks, "Tiles.pak", kwgen::MakeTilesPack()) &&
            WritePack(paks, "Lights.pak", kwgen::MakeLightsPack()) &&
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

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--contact")
    return kwgen::WriteContactSheets(argv[2], argv[3]);
  if (argc != 3) {
    std::fprintf(stderr,
                 "usage: kwgen GAMEDATA_DIR OUT_GAME_DIR\n"
                 "       kwgen --contact OUT_GAME_DIR SHEET.png\n");
    return 2;
  }
  return Generate(argv[1], argv[2]);
}
