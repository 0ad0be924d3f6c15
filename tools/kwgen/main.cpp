// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwgen: generates the game folder. `kwgen GAMEDATA_DIR OUT_GAME_DIR` draws every picture,
// synthesises every sound, writes the packs under OUT/paks and lets the map builder write
// maps, scripts and ini files. With `--locale DIR` (the compiled catalogues) it also writes,
// for each language but German, the packs whose pictures hold words, with those words in
// that language, under OUT/paks/LANGUAGE/. `kwgen --contact OUT_GAME_DIR SHEET.png` lays every pack
// picture out on contact sheets for looking at them.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <string>

#include "kwgen.h"
#include "mapbuild.h"
#include "media/textutil.h"
#include "media/translate.h"
#include "packencoder.h"

namespace {

namespace fs = std::filesystem;
using kwgen::FileBytes;
using kwgen::PackFiles;

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

// The pack with the language's text pictures in place of the German ones; false when
// they are all the same (the language translates none of their words).
bool TranslatePack(PackFiles& files, const kw::PackTable& table, const kwgen::TextPictures& pictures) {
  bool changed = false;
  for (const auto& [sprite, png] : pictures) {
    FileBytes& entry = files[size_t(kw::EntryOf(table, sprite))];
    changed = changed || entry != png;
    entry = png;
  }
  return changed;
}

// The languages with a catalogue under localeDir, German (the pictures' own) left out.
std::vector<std::string> Languages(const std::string& localeDir) {
  std::vector<std::string> found;
  std::error_code ec;
  for (fs::directory_iterator it(localeDir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string lang = it->path().filename().string();
    if (lang != kw::SourceLanguage && fs::exists(it->path() / "LC_MESSAGES" / (std::string(kw::TextDomain) + ".mo")))
      found.push_back(lang);
  }
  std::sort(found.begin(), found.end());
  return found;
}

// Each language's copies of objects.pak and Menu.pak, those where its words differ.
bool WriteLanguagePacks(const fs::path& paks, const std::string& localeDir, const PackFiles& objects,
                        const PackFiles& menu) {
  for (const std::string& lang : Languages(localeDir)) {
    kw::StartTranslations(localeDir, lang);
    if (kw::TranslationLanguage() != lang) {
      std::fprintf(stderr, "kwgen: the catalogue of %s does not open\n", lang.c_str());
      return false;
    }
    PackFiles ownObjects = objects, ownMenu = menu;
    bool changedObjects = TranslatePack(ownObjects, kw::ObjectsPak, kwgen::ObjectsTextPictures());
    bool changedMenu = TranslatePack(ownMenu, kw::MenuPak, kwgen::MenuTextPictures());
    kw::StopTranslations();
    std::error_code ec;
    fs::remove_all(paks / lang, ec);
    if (!changedObjects && !changedMenu) continue;
    fs::create_directories(paks / lang, ec);
    if ((changedObjects && !WritePack(paks / lang, "objects.pak", ownObjects)) ||
        (changedMenu && !WritePack(paks / lang, "Menu.pak", ownMenu)))
      return false;
  }
  return true;
}

int Generate(const std::string& gamedataDir, const std::string& outDir, const std::string& localeDir) {
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
  const PackFiles objects = kwgen::MakeObjectsPack(loose), menu = kwgen::MakeMenuPack();
  bool ok = WritePack(paks, "objects.pak", objects) && WritePack(paks, "Menu.pak", menu) &&
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
  // After the music thread: choosing a language changes the environment.
  ok = ok && (localeDir.empty() || WriteLanguagePacks(paks, localeDir, objects, menu));
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

// A text with a context is looked up as gettext stores it: the context, character 4, the
// text; without a translation the lookup hands that back and the text itself is drawn.
std::string kwgen::PictureText(const std::string& utf8, const char* context) {
  const std::string text = kw::Utf8ToLatin1(utf8);
  if (!context) return kw::Latin1ToUtf8(kw::Translate(text));
  const std::string id = kw::Utf8ToLatin1(context) + '\x04' + text;
  const std::string found = kw::Translate(id);
  return kw::Latin1ToUtf8(found == id ? text : found);
}

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--contact")
    return kwgen::WriteContactSheets(argv[2], argv[3]);
  if ((argc == 5 || argc == 9) && std::string(argv[1]) == "--zoom") {
    auto arg = [&](int i) { return argc == 9 ? std::atoi(argv[i]) : 0; };
    return Zoom(argv[2], argv[3], std::atoi(argv[4]), arg(5), arg(6), arg(7), arg(8));
  }
  if (argc == 5 && std::string(argv[3]) == "--locale") return Generate(argv[1], argv[2], argv[4]);
  if (argc != 3) {
    std::fprintf(stderr,
                 "usage: kwgen GAMEDATA_DIR OUT_GAME_DIR [--locale LOCALE_DIR]\n"
                 "       kwgen --contact OUT_GAME_DIR SHEET.png\n"
                 "       kwgen --zoom PICTURE.png OUT.png FACTOR [X Y W H]\n");
    return 2;
  }
  return Generate(argv[1], argv[2], "");
}
