// The resource loader: LoaderThread(0) fills the fixed sprite, sound and font numbers
// from the packs (the sprite catalogue every drawing procedure uses), LoaderThread(1)
// loads a map (maploader.cpp); both end with the closing steps. CheckLoad turns any
// failed load into the fatal end of the program. Runs on the loader thread; the main
// thread only reads LoadProgress meanwhile.
#include <atomic>
#include <cmath>
#include <utility>

#include "content/content.h"
#include "media/media.h"
#include "shell/globals.h"
#include "shell/shell.h"

namespace kw {

namespace {

std::function<void(int)> FatalExitHook;

// A failed load seen on the loader thread, waiting for the main thread to end the program.
std::atomic<bool> FailedLoadPending{false};
std::string FailedLoadLabel;

// The fatal end itself: the display goes, the two messages, shut down, exit.
[[noreturn]] void EndWithFailedLoad(const std::string& label) {
  CloseDisplay();
  ShowMessage("Fehler im Bereich", label);
  ShowMessage("Spriteladefehler", "Sprite konnte nicht geladen werden.");
  ShutdownMedia();
  if (FatalExitHook) FatalExitHook(1);
  EndProgram(1);
}

// How one pack entry is loaded.
enum class Load { Skip, Plain, ThreeD, Texture };

struct CatalogueRow {
  int sprite;
  Load how;
};

// objects.pak, one row per entry in pack order.
constexpr CatalogueRow ObjectsPak[] = {
    {322, Load::Skip},    {372, Load::Plain},   {324, Load::Plain},   {0, Load::Skip},
    {325, Load::Plain},   {0, Load::Skip},      {437, Load::Plain},   {439, Load::ThreeD},
    {440, Load::ThreeD},  {438, Load::Plain},   {326, Load::Plain},   {327, Load::Plain},
    {328, Load::Plain},   {329, Load::Plain},   {330, Load::Plain},   {331, Load::Plain},
    {332, Load::Plain},   {333, Load::Plain},   {334, Load::Plain},   {335, Load::Plain},
    {336, Load::Plain},   {337, Load::Plain},   {320, Load::Plain},   {340, Load::Plain},
    {341, Load::Plain},   {441, Load::ThreeD},  {342, Load::Plain},   {343, Load::Plain},
    {339, Load::Texture}, {338, Load::Texture}, {344, Load::Plain},   {358, Load::ThreeD},
    {357, Load::ThreeD},  {359, Load::ThreeD},  {360, Load::ThreeD},  {361, Load::ThreeD},
    {362, Load::ThreeD},  {363, Load::ThreeD},  {364, Load::ThreeD},  {365, Load::ThreeD},
    {366, Load::ThreeD},  {367, Load::ThreeD},  {368, Load::ThreeD},  {369, Load::ThreeD},
    {373, Load::Plain},   {374, Load::Plain},   {375, Load::Plain},   {9999, Load::Plain},
};
static_assert(sizeof(ObjectsPak) / sizeof(ObjectsPak[0]) == 48);

constexpr int MenuPak[] = {345, 346, 347, 318, 317, 316, 348, 349,
                           350, 354, 355, 356, 353, 315, 313, 314};
static_assert(sizeof(MenuPak) / sizeof(MenuPak[0]) == 16);

constexpr int InterfacePak[] = {407, 444, 445};

// sounds.pak entries 0..15 (entry 11 is loaded twice, as 395 and 396), then music.
constexpr int SoundsPak[] = {319, 321, 386, 387, 388, 389, 390, 391,
                             392, 393, 394, 395, 397, 398, 399, 447};
static_assert(sizeof(SoundsPak) / sizeof(SoundsPak[0]) == 16);
constexpr int MusicTracks[] = {377, 378, 379, 380, 381, 382};

// Loads the next pack entry as sprite n; the result of the load (0 = failed).
int LoadNextSprite(int n, int flags) {
  const uint8_t* data = NextPackEntry();
  if (!data) return 0;
  return LoadSpriteFromMemory(n, data, LastPackEntrySize(), flags);
}

int LoadSoundData(int sound, const uint8_t* data, size_t size) {
  if (!data) return 0;
  return LoadSoundFromMemory(sound, data, size, 0);
}

// Step 2: the title picture, shown as early as possible; nothing here is tested.
void ShowEarlyTitle() {
  if (!OpenPack("paks\\objects.pak")) return;
  if (LoadNextSprite(322, TextureFlag)) {
    MakeSprite3D(322, 322);
    Begin3D();
    DrawSprite3D(322, 0, 0, 255);
    End3D();
  }
  ClosePack();
}

// Step 3: every entry of objects.pak into its number.
void LoadObjectsPak() {
  CheckLoad(OpenPack("paks\\objects.pak"), "Objecte");
  for (int e = 0; e < 48; ++e) {
    const CatalogueRow& row = ObjectsPak[e];
    if (row.how == Load::Skip) {
      NextPackEntry();
    } else {
      int flags = row.how == Load::Plain ? 0 : TextureFlag;
      CheckLoad(LoadNextSprite(row.sprite, flags), "Objecte pic:" + IntToText(e));
      if (row.how == Load::ThreeD) MakeSprite3D(row.sprite, row.sprite);
    }
    if (e == 5) LoadProgress = 1;
    if (e == 35) LoadProgress = 2;
  }
  MakeSprite3D(338, 338);
  LoadProgress = 3;
  ClosePack();
}

// Step 4: key colours, shot and enemy clips, the collision copy of the figure.
void PrepareObjects() {
  SetSpriteKeyColor(340, Rgb(0, 250, 0));
  SetSpriteKeyColor(344, Rgb(176, 32, 0));
  for (int s : {326, 327, 328}) SetSpriteClip(s, 44, 0, 44, 48);
  SetSpriteClip(329, 0, 0, 38, 57);
  DuplicateSprite(324, 323);
}

// Loads the entries of a plain pack in order into the given numbers.
template <size_t N>
void LoadPlainPack(const std::string& path, const std::string& label, const int (&sprites)[N]) {
  CheckLoad(OpenPack(path), label);
  for (size_t e = 0; e < N; ++e)
    CheckLoad(LoadNextSprite(sprites[e], 0), label + "_pic:" + IntToText(long(e)));
  ClosePack();
}

// One digit picture loaded ten times, each copy clipped to one digit.
void LoadDigits(int first, double step, int width, int height, int firstLabel) {
  const uint8_t* data = NextPackEntry();
  size_t size = LastPackEntrySize();
  for (int i = 0; i < 10; ++i) {
    int n = first + i;
    CheckLoad(data ? LoadSpriteFromMemory(n, data, size, 0) : 0,
              "Inventar_pic:" + IntToText(firstLabel + i));
    SetSpriteClip(n, int(std::nearbyint(i * step)), 0, width, height);
  }
}

void LoadInventarPak() {
  CheckLoad(OpenPack("paks\\Inventar.pak"), "Inventar");
  const int first[] = {442, 443, 411, 412, 413};
  for (int e = 0; e < 5; ++e)
    CheckLoad(LoadNextSprite(first[e], 0), "Inventar_pic:" + IntToText(e));
  LoadDigits(414, 6.3, 6, 10, 6);
  LoadDigits(446, 11.4, 11, 18, 16);
  CheckLoad(LoadNextSprite(424, 0), "Inventar_pic:26");
  ClosePack();
  SetSpriteKeyColor(353, Rgb(0, 255, 0));
}

void LoadSoundsPak() {
  EnableOggDecoding();
  CheckLoad(OpenPack("paks\\sounds.pak"), "sounds");
  for (int e = 0; e < 16; ++e) {
    const uint8_t* data = NextPackEntry();
    size_t size = LastPackEntrySize();
    std::string label = "sounds_pic:" + IntToText(e);
    CheckLoad(LoadSoundData(SoundsPak[e], data, size), label);
    if (e == 11) {
      // The same data a second time: the fall sound and the death sound.
      CheckLoad(LoadSoundData(396, data, size), label);
      LoadProgress = 7;
    }
  }
  for (int m = 0; m < 6; ++m) {
    const uint8_t* data = NextPackEntry();
    CheckLoad(LoadSoundData(MusicTracks[m], data, LastPackEntrySize()),
              "sounds_pic:13_" + IntToText(m + 1));
  }
  ClosePack();
  LoadProgress = 8;
  SetSoundVolume(387, Volume);
  SetSoundVolume(447, Volume);
}

// Two-state buttons: upper half normal, lower half pressed.
void PrepareButtons() {
  DuplicateSprite(349, 351);
  DuplicateSprite(350, 352);
  SetSpriteClip(349, 0, 0, 98, 49);
  SetSpriteClip(351, 0, 49, 98, 49);
  SetSpriteClip(350, 0, 0, 70, 49);
  SetSpriteClip(352, 0, 49, 70, 49);
  LoadProgress = 9;
}

void ReadHighscoreTable() {
  if (!OpenFileForReading(0, "Saves\\Savescore.save")) return;
  for (int i = 1; i <= 6; ++i) {
    Highscores[i].points = int16_t(ParseInt(ReadTextLine(0)));
    Highscores[i].name = ReadTextLine(0);
  }
  CloseFileNumber(0);
}

}  // namespace

void SetFatalExitHook(std::function<void(int)> hook) { FatalExitHook = std::move(hook); }

void CheckLoad(int result, const std::string& label) {
  if (result != 0) return;
  if (OnMainThread()) EndWithFailedLoad(label);
  // The window, the message boxes and the media shutdown belong to the main thread,
  // which may be drawing right now: hand the failure over and wait for the end.
  FailedLoadLabel = label;
  FailedLoadPending = true;
  ParkThread();
}

void FinishFailedLoad() {
  if (FailedLoadPending.exchange(false)) EndWithFailedLoad(FailedLoadLabel);
}

void LoadCatalogue() {
  LoadFontFace(1, "Argor Flahm Scaqh", 10, FontItalic | FontHighQuality);
  LoadFontFace(2, "Argor Flahm Scaqh", 15, FontItalic | FontHighQuality);
  ShowEarlyTitle();
  LoadObjectsPak();
  PrepareObjects();
  LoadPlainPack("paks\\Menu.pak", "Menue", MenuPak);
  LoadProgress = 4;
  LoadPlainPack("paks\\Interface.pak", "Interface", InterfacePak);
  LoadProgress = 5;
  LoadInventarPak();
  LoadProgress = 6;
  LoadSoundsPak();
  PrepareButtons();
  ReadHighscoreTable();
  SetBlitTarget(-1);
  LoadProgress = 10;
}

void LoaderClosingSteps(int mapW, int mapH) {
  for (int s : {379, 377, 378, 380, 381, 382}) StopSoundFx(s);
  PlayerRecord& p = P();
  p.tileWidth = 30;
  p.tileHeight = 30;
  p.mapWidth = int16_t(mapW);
  p.mapHeight = int16_t(mapH);
  p.headerA = 80;
  p.headerB = 180;
  p.headerC = 0;
  if (OpenFileForReading(0, "Saves\\Savescore.save")) {
    BestScore = ReadTextLine(0);
    NameInput = ReadTextLine(0);
    CloseFileNumber(0);
  }
  CreateSprite(434, ScreenWidth, ScreenHeight);
  // The ambient loops start silent; the volume goes first so no loop is heard at
  // full loudness for the moment between starting it and turning it down.
  for (int s = 393; s <= 399; ++s) {
    SetSoundVolume(s, 0);
    PlaySoundFx(s, 1);
  }
}

void LoaderThread(int mode) {
  if (mode == 0) {
    LoadCatalogue();
    LoaderClosingSteps(0, 0);
  } else {
    LoadMap();  // ends with the closing steps itself (it knows the map's size)
  }
}

}  // namespace kw
