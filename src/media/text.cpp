// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Text on the back buffer: TrueType faces found by family name through fontconfig,
// rasterised by SDL_ttf and blended into the buffer here. The game's texts are Latin-1
// and become UTF-8 only on their way to SDL_ttf. Fonts are loaded by the loader thread
// while the main thread draws, so the font table and SDL_ttf sit behind one lock.
#include "media/text.h"
#include "media/text_internal.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <mutex>
#include <strings.h>
#include <vector>

#include "media/core.h"
#include "media/core_internal.h"
#include "media/sprite_internal.h"
#include "media/textutil.h"

namespace kw {

namespace {

constexpr int MaxFonts = 64;
constexpr int SystemFont = -1;
constexpr int SystemFontPixels = 13;
constexpr size_t MaxCachedTexts = 512;
// The game's own face, for faces that are not installed; Debian names its current
// release "Junicode Two Beta".
const char* const GameFaces[] = {"Junicode", "Junicode Two Beta"};

struct FontSlot {
  TTF_Font* font = nullptr;
  std::string family;   // the family fontconfig gave us
  int generation = 0;   // bumped on each load, so cached texts of the old face go stale
};

// The coverage of one rendered text: alpha per pixel, colour added when drawn.
struct TextMask {
  int width = 0, height = 0;
  std::vector<uint8_t> alpha;
};

// What fontconfig found for a family name.
struct FaceFile {
  std::string path;
  int index = 0;
  std::string family;        // first family name of the face
  bool familyMatches = false;  // one of its family names is the one asked for
};

std::recursive_mutex TextLock;
std::vector<FontSlot> Fonts(MaxFonts);
FontSlot SystemSlot;
std::map<std::string, TextMask> TextCache;
int GenerationCounter = 0;

// Text state: reset by BeginText, except the box colour, which persists.
int TextColour = 0;
int BoxColour = Rgb(255, 255, 255);
bool TransparentBox = false;
int CurrentFont = SystemFont;

bool StartTtf() { return TTF_WasInit() > 0 || TTF_Init() == 0; }

// Loads fontconfig's configuration once. Its XML parsing loses a few bytes for good,
// which is not ours to fix; the leak checker of sanitizer builds is told to look away.
bool StartFontconfig() {
#if defined(__SANITIZE_ADDRESS__)
  __lsan::ScopedDisabler notOurLeaks;
#endif
  return FcInit() == FcTrue;
}

// Asks fontconfig for the best face of a family with the wanted style.
FaceFile MatchFace(const std::string& family, bool bold, bool italic) {
  FaceFile face;
  if (!StartFontconfig()) return face;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
  if (!pattern) return face;
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return face;
  FcChar8* text = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &text) == FcResultMatch) face.path = (const char*)text;
  FcPatternGetInteger(match, FC_INDEX, 0, &face.index);
  for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &text) == FcResultMatch; ++i) {
    if (i == 0) face.family = (const char*)text;
    if (strcasecmp((const char*)text, family.c_str()) == 0) face.familyMatches = true;
  }
  FcPatternDestroy(match);
  return face;
}

// The asked family if installed, else the game's own face, else fontconfig's choice.
FaceFile FindFace(const std::string& family, bool bold, bool italic) {
  FaceFile asked = MatchFace(family, bold, italic);
  if (asked.familyMatches) return asked;
  for (const char* gameFace : GameFaces) {
    FaceFile own = MatchFace(gameFace, bold, italic);
    if (own.familyMatches) return own;
  }
  return asked;
}

// Opens a face file; a null font when it cannot be used.
TTF_Font* OpenFace(const FaceFile& face, int pixels, int flags) {
  if (face.path.empty() || !StartTtf()) return nullptr;
  TTF_Font* font = TTF_OpenFontIndex(face.path.c_str(), std::max(pixels, 1), face.index);
  if (!font) return nullptr;
  int style = TTF_STYLE_NORMAL;
  if (flags & FontUnderline) style |= TTF_STYLE_UNDERLINE;
  if (flags & FontStrikeOut) style |= TTF_STYLE_STRIKETHROUGH;
  TTF_SetFontStyle(font, style);
  return font;
}

// The slot of a font number (the system font for -1); null for numbers out of range.
FontSlot* SlotOf(int font) {
  if (font == SystemFont) return &SystemSlot;
  if (font < 0 || font >= MaxFonts) return nullptr;
  return &Fonts[font];
}

// The system font is opened when first used.
FontSlot& SystemFontSlot() {
  if (!SystemSlot.font) {
    FaceFile face = MatchFace("DejaVu Sans", false, false);
    SystemSlot.font = OpenFace(face, SystemFontPixels, 0);
    SystemSlot.family = SystemSlot.font ? face.family : "";
    SystemSlot.generation = ++GenerationCounter;
  }
  return SystemSlot;
}

// The font text is drawn with: the selected one, or the system font when the
// selected number holds none.
FontSlot& DrawingFont() {
  FontSlot* slot = SlotOf(CurrentFont);
  if (slot && slot != &SystemSlot && slot->font) return *slot;
  return SystemFontSlot();
}

// The game's texts use character 143 as a mark (the boss line's health marks); in
// Latin-1 it is an invisible control character, so it is drawn as the first of these
// marks that the face has: a floral heart, a heart, a bullet, else "#".
std::string DrawableUtf8(TTF_Font* font, const std::string& latin1) {
  std::string utf8 = Latin1ToUtf8(latin1);
  const std::string control = "\xC2\x8F";
  if (utf8.find(control) == std::string::npos) return utf8;
  std::string mark = "#";
  if (TTF_GlyphIsProvided32(font, 0x2766)) mark = "\xE2\x9D\xA6";
  else if (TTF_GlyphIsProvided32(font, 0x2665)) mark = "\xE2\x99\xA5";
  else if (TTF_GlyphIsProvided32(font, 0x2022)) mark = "\xE2\x80\xA2";
  for (size_t at = utf8.find(control); at != std::string::npos; at = utf8.find(control, at + mark.size()))
    utf8.replace(at, control.size(), mark);
  return utf8;
}

// Renders (or finds in the cache) the coverage of a text in a font.
const TextMask* MaskOf(FontSlot& slot, const std::string& latin1) {
  std::string key = std::to_string(slot.generation) + '\n' + latin1;
  auto found = TextCache.find(key);
  if (found != TextCache.end()) return &found->second;
  SDL_Surface* surface =
      TTF_RenderUTF8_Blended(slot.font, DrawableUtf8(slot.font, latin1).c_str(), SDL_Color{255, 255, 255, 255});
  if (!surface) return nullptr;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(surface);
  if (!argb) return nullptr;
  TextMask mask;
  mask.width = argb->w;
  mask.height = argb->h;
  mask.alpha.resize(size_t(argb->w) * argb->h);
  for (int y = 0; y < argb->h; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch);
    for (int x = 0; x < argb->w; ++x) mask.alpha[size_t(y) * argb->w + x] = uint8_t(row[x] >> 24);
  }
  SDL_FreeSurface(argb);
  // Menus redraw the same few labels every frame; a full cache is simply started over.
  if (TextCache.size() >= MaxCachedTexts) TextCache.clear();
  return &TextCache.emplace(key, std::move(mask)).first->second;
}

// Mixes one colour channel of the text over the buffer's.
uint32_t BlendChannel(uint32_t under, uint32_t over, uint32_t alpha) {
  return (over * alpha + under * (255 - alpha) + 127) / 255;
}

// Fills a rectangle of the draw target, cut at its edges. A message line moved far off
// the screen puts the box anywhere: the edges are worked out in 64 bits, and a box
// wholly outside the target draws nothing.
void FillBox(const DrawTarget& target, int x, int y, int width, int height, uint32_t pixel) {
  int srcX = 0, srcY = 0;
  if (!CutToTarget(target, x, y, width, height, srcX, srcY)) return;
  for (int row = y; row < y + height; ++row) {
    uint32_t* start = target.pixels + size_t(row) * target.pitch + x;
    std::fill(start, start + width, pixel);
  }
}

// Blends a text's coverage in colour into the draw target, cut at its edges.
void BlendMask(const DrawTarget& target, const TextMask& mask, int x, int y, int colour) {
  uint32_t pixel = ColourToPixel(colour);
  uint32_t r = (pixel >> 16) & 255, g = (pixel >> 8) & 255, b = pixel & 255;
  int w = mask.width, h = mask.height, mx0 = 0, my0 = 0;
  if (!CutToTarget(target, x, y, w, h, mx0, my0)) return;
  for (int my = 0; my < h; ++my) {
    uint32_t* row = target.pixels + size_t(y + my) * target.pitch + x;
    const uint8_t* cover = &mask.alpha[size_t(my0 + my) * mask.width + mx0];
    for (int mx = 0; mx < w; ++mx) {
      uint32_t a = cover[mx];
      if (a == 0) continue;
      uint32_t& d = row[mx];
      d = 0xFF000000u | BlendChannel((d >> 16) & 255, r, a) << 16 |
          BlendChannel((d >> 8) & 255, g, a) << 8 | BlendChannel(d & 255, b, a);
    }
  }
}

// A coordinate past the ints ends at their limit.
int ClampToInt(long long value) {
  return int(std::max<long long>(INT_MIN, std::min<long long>(value, INT_MAX)));
}

// A test's draw log notes the text with the box of its visible pixels (worked out in
// 64 bits: the text may stand anywhere).
void NoteDrawnText(const std::string& text, const TextMask& mask, int x, int y) {
  std::vector<DrawnItem>* log = DrawLog();
  if (!log) return;
  long long left = (long long)x + mask.width, top = (long long)y + mask.height;
  long long right = x, bottom = y;
  for (int my = 0; my < mask.height; ++my)
    for (int mx = 0; mx < mask.width; ++mx) {
      if (mask.alpha[size_t(my) * mask.width + mx] == 0) continue;
      left = std::min(left, (long long)x + mx);
      top = std::min(top, (long long)y + my);
      right = std::max(right, (long long)x + mx + 1);
      bottom = std::max(bottom, (long long)y + my + 1);
    }
  if (right <= left) left = right = x, top = bottom = y;
  log->push_back({-1, text, x, y, ClampToInt(left), ClampToInt(top), ClampToInt(right),
                  ClampToInt(bottom)});
}

}  // namespace

// Creates a font: the face's em is points at a 96-dpi screen, as the game was made for.
int LoadFontFace(int font, const std::string& face, int points, int flags) {
  std::lock_guard<std::recursive_mutex> lock(TextLock);
  FontSlot* slot = SlotOf(font);
  if (!slot || slot == &SystemSlot) return 0;
  int pixels = (points * 96 + 36) / 72;
  FaceFile file = FindFace(Latin1ToUtf8(face), (flags & FontBold) != 0, (flags & FontItalic) != 0);
  TTF_Font* opened = OpenFace(file, pixels, flags);
  if (!opened) return 0;
  if (slot->font) TTF_CloseFont(slot->font);
  slot->font = opened;
  slot->family = file.family;
  slot->generation = ++GenerationCounter;
  return 1;
}

// Starts a run of text drawing: black text in the system font on an opaque box.
int BeginText() {
  std::lock_guard<std::recursive_mutex> lock(TextLock);
  TextColour = 0;
  TransparentBox = false;
  CurrentFont = SystemFont;
  return StartTtf() ? 1 : 0;
}

void EndText() {}

void SelectFont(int font) {
  std::lock_guard<std::recursive_mutex> lock(TextLock);
  CurrentFont = font;
}

void SetTextColour(int colour) { TextColour = colour; }
void SetTextBackgroundColour(int colour) { BoxColour = colour; }
void SetTextBackground(int mode) { TransparentBox = (mode & 1) != 0; }

int DrawTextAt(int x, int y, const std::string& text) { return DrawTextAt(x, y, text, TextColour); }

// Draws text with its top-left corner at (x, y); returns the x just right of it.
int DrawTextAt(int x, int y, const std::string& text, int colour) {
  if (text.empty()) return x;
  std::lock_guard<std::recursive_mutex> lock(TextLock);
  FontSlot& slot = DrawingFont();
  if (!slot.font) return x;
  const TextMask* mask = MaskOf(slot, text);
  if (!mask) return x;
  DrawTarget target = CurrentDrawTarget();
  if (target.pixels) {
    if (!TransparentBox) FillBox(target, x, y, mask->width, mask->height, ColourToPixel(BoxColour));
    BlendMask(target, *mask, x, y, colour);
    if (target.picture) target.picture->PixelsChanged();
    else NoteDrawnText(text, *mask, x, y);
  }
  // Text that ends past the last int ends there.
  return int(std::min<long long>((long long)x + mask->width, INT_MAX));
}

// A filled rectangle of the draw target, for the boxes texts are drawn on.
void FillRectangle(int x, int y, int width, int height, int colour) {
  DrawTarget target = CurrentDrawTarget();
  if (!target.pixels) return;
  FillBox(target, x, y, width, height, ColourToPixel(colour));
  if (target.picture) target.picture->PixelsChanged();
}

// The size a text is drawn in with the selected font; 0 x 0 when nothing would be drawn.
int TextWidth(const std::string& text) {
  if (text.empty()) return 0;
  std::lock_guard<std::recursive_mutex> lock(TextLock);
  FontSlot& slot = DrawingFont();
  const TextMask* mask = slot.font ? MaskOf(slot, text) : nullptr;
  return mask ? mask->width : 0;
}

int TextHeight(const std::string& text) {
  if (text.empty()) return 0;
  std::lock_guard<std::recursive_mutex> lock(TextLock);
  FontSlot& slot = DrawingFont();
  const TextMask* mask = slot.font ? MaskOf(slot, text) : nullptr;
  return mask ? mask->height : 0;
}

void PlotPixel(int x, int y, int colour) {
  DrawTarget target = CurrentDrawTarget();
  if (!target.pixels || x < 0 || y < 0 || x >= target.width || y >= target.height) return;
  target.pixels[size_t(y) * target.pitch + x] = ColourToPixel(colour);
  if (target.picture) target.picture->PixelsChanged();
}

// At the end (and in tests): closes every face and forgets the rendered texts.
void FreeAllFonts() {
  std::lock_guard<std::recursive_mutex> lock(TextLock);
  for (FontSlot& slot : Fonts) {
    if (slot.font) TTF_CloseFont(slot.font);
    slot = FontSlot{};
  }
  if (SystemSlot.font) TTF_CloseFont(SystemSlot.font);
  SystemSlot = FontSlot{};
  TextCache.clear();
  if (TTF_WasInit() > 0) TTF_Quit();
}

int FontHasGlyph(int font, unsigned char ch) {
  std::lock_guard<std::recursive_mutex> lock(TextLock);
  FontSlot* slot = SlotOf(font);
  FontSlot& drawn = slot && slot != &SystemSlot && slot->font ? *slot : SystemFontSlot();
  if (ch < 0x20 || (ch >= 0x7F && ch < 0xA0)) return 0;
  if (!drawn.font) return 1;  // nothing is drawn without a face: keep what is printable
  // Latin-1 codes are the first 256 Unicode code points.
  return TTF_GlyphIsProvided(drawn.font, Uint16(ch)) ? 1 : 0;
}

std::string FontFamilyOf(int font) {
  std::lock_guard<std::recursive_mutex> lock(TextLock);
  FontSlot* slot = SlotOf(font);
  if (font == SystemFont) slot = &SystemFontSlot();
  return slot && slot->font ? slot->family : "";
}

}  // namespace kw
