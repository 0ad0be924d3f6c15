// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Text drawing into the back buffer: widths, colours, boxes, edges and face lookup.
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "media/core.h"
#include "media/core_internal.h"
#include "media/text.h"
#include "media/text_internal.h"

namespace kw {
namespace {

constexpr uint32_t Grey = 0xFF404040u;

void FillBuffer(uint32_t pixel) { std::fill(BackBuffer(), BackBuffer() + ScreenWidth * ScreenHeight, pixel); }

uint32_t PixelAt(int x, int y) { return BackBuffer()[y * ScreenWidth + x]; }

// Counts the pixels of a rectangle equal to a value.
int CountPixels(int x0, int y0, int x1, int y1, uint32_t pixel) {
  int count = 0;
  for (int y = std::max(y0, 0); y < std::min(y1, ScreenHeight); ++y)
    for (int x = std::max(x0, 0); x < std::min(x1, ScreenWidth); ++x) count += PixelAt(x, y) == pixel;
  return count;
}

bool FamilyInstalled(const char* family) {
  FontFamilyOf(-1);  // lets the media layer load fontconfig's configuration first
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* set = FcFontList(nullptr, pattern, objects);
  bool found = set && set->nfont > 0;
  if (set) FcFontSetDestroy(set);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return found;
}

class TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FreeAllFonts();
    FillBuffer(Grey);
    SetTextBackgroundColour(Rgb(255, 255, 255));
    ASSERT_EQ(BeginText(), 1);
  }
  void TearDown() override {
    EndText();
    FreeAllFonts();
  }
};

TEST_F(TextTest, LongerTextEndsFurtherRight) {
  int shortEnd = DrawTextAt(10, 10, "Abbruch");
  int longEnd = DrawTextAt(10, 40, "Abbruch und noch mehr");
  EXPECT_GT(shortEnd, 10);
  EXPECT_GT(longEnd, shortEnd);
  EXPECT_EQ(DrawTextAt(77, 10, ""), 77);
  // Latin-1 umlauts are drawn, not dropped.
  EXPECT_GT(DrawTextAt(10, 70, "\xC4\xD6\xDC"), 10 + 10);
}

TEST_F(TextTest, TransparentTextDrawsOnlyInItsColour) {
  SetTextBackground(1);
  const int red = Rgb(255, 0, 0);
  int end = DrawTextAt(100, 100, "Bestetigen", red);
  // Glyph cores are fully covered, so exactly the text colour; the rest keeps grey or a mix.
  EXPECT_GT(CountPixels(100, 100, end, 140, ColourToPixel(red)), 10);
  EXPECT_EQ(CountPixels(100, 100, end, 140, ColourToPixel(Rgb(255, 255, 255))), 0);
  EXPECT_GT(CountPixels(100, 100, end, 140, Grey), 10);
  // Nothing changes outside the text's box.
  EXPECT_EQ(CountPixels(0, 0, ScreenWidth, 100, Grey), ScreenWidth * 100);
  EXPECT_EQ(CountPixels(end, 0, ScreenWidth, ScreenHeight, Grey), (ScreenWidth - end) * ScreenHeight);
}

TEST_F(TextTest, OpaqueTextFillsItsBoxWithTheBoxColour) {
  const int box = Rgb(0, 0, 255);
  SetTextBackgroundColour(box);
  SetTextColour(Rgb(0, 255, 0));
  int end = DrawTextAt(50, 200, "Laden");
  EXPECT_GT(CountPixels(50, 200, end, 230, ColourToPixel(box)), 20);
  EXPECT_GT(CountPixels(50, 200, end, 230, ColourToPixel(Rgb(0, 255, 0))), 5);
  EXPECT_EQ(CountPixels(50, 200, end, 210, Grey), 0);  // the box's upper rows
  // The box colour persists over BeginText; the text colour goes back to black.
  BeginText();
  int end2 = DrawTextAt(50, 300, "Laden");
  EXPECT_GT(CountPixels(50, 300, end2, 330, ColourToPixel(box)), 20);
  EXPECT_GT(CountPixels(50, 300, end2, 330, ColourToPixel(0)), 5);
}

// The line height of DejaVu Sans at a pixel size, asked of fontconfig and SDL_ttf
// directly: what an opaque box's height must be.
int DejaVuLineHeight(int pixels) {
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("DejaVu Sans"));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  FcChar8* file = nullptr;
  int height = 0;
  if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && (TTF_WasInit() || TTF_Init() == 0)) {
    if (TTF_Font* font = TTF_OpenFont(reinterpret_cast<const char*>(file), pixels)) {
      height = TTF_FontHeight(font);
      TTF_CloseFont(font);
    }
  }
  if (match) FcPatternDestroy(match);
  return height;
}

// An opaque box is exactly one line high, whatever the letters: from the text's top row
// to the face's line height, not a row more or less.
TEST_F(TextTest, AnOpaqueBoxIsOneLineOfTheFaceHigh) {
  const int box = Rgb(0, 0, 255);
  SetTextBackgroundColour(box);
  for (int points : {10, 20}) {
    int height = DejaVuLineHeight((points * 96 + 36) / 72);
    ASSERT_GT(height, 5) << points;
    ASSERT_EQ(LoadFontFace(1, "DejaVu Sans", points, 0), 1);
    SelectFont(1);
    for (const char* text : {"ace", "\xC5gy|"}) {
      FillBuffer(Grey);
      int end = DrawTextAt(50, 200, text);
      EXPECT_EQ(CountPixels(50, 200, end, 200 + height, Grey), 0) << text << " " << points;
      EXPECT_EQ(CountPixels(50, 200 + height, end, 200 + height + 1, Grey), end - 50) << text << " " << points;
      EXPECT_EQ(CountPixels(50, 199, end, 200, Grey), end - 50) << text << " " << points;
    }
  }
}

TEST_F(TextTest, TextIsCutAtTheScreenEdges) {
  SetTextColour(Rgb(255, 255, 0));
  EXPECT_GT(DrawTextAt(630, 470, "Rand rechts unten"), 630);
  EXPECT_GT(DrawTextAt(-40, -8, "Rand links oben"), -40);
  EXPECT_GT(DrawTextAt(-5000, 9000, "weit weg"), -5000);
  EXPECT_GT(CountPixels(630, 470, ScreenWidth, ScreenHeight, ColourToPixel(Rgb(255, 255, 255))), 0);
}

TEST_F(TextTest, PlotPixelSetsOnePixelInsideTheScreen) {
  PlotPixel(3, 4, Rgb(1, 2, 3));
  EXPECT_EQ(PixelAt(3, 4), ColourToPixel(Rgb(1, 2, 3)));
  PlotPixel(-1, 4, 0);
  PlotPixel(ScreenWidth, 0, 0);
  PlotPixel(0, ScreenHeight, 0);
  EXPECT_EQ(CountPixels(0, 0, ScreenWidth, ScreenHeight, Grey), ScreenWidth * ScreenHeight - 1);
}

TEST_F(TextTest, FontsDrawAtTheirSizeAndAMissingFaceFallsBack) {
  ASSERT_EQ(LoadFontFace(1, "DejaVu Sans", 10, 0), 1);
  ASSERT_EQ(LoadFontFace(2, "DejaVu Sans", 20, 0), 1);
  EXPECT_EQ(FontFamilyOf(1), "DejaVu Sans");
  EXPECT_EQ(FontFamilyOf(-1), "DejaVu Sans");
  EXPECT_EQ(FontFamilyOf(5), "");
  SelectFont(1);
  int small = DrawTextAt(0, 0, "Optionen") - 0;
  SelectFont(2);
  int large = DrawTextAt(0, 50, "Optionen") - 0;
  EXPECT_GT(large, small * 3 / 2);
  // Reloading a number replaces the face (and its cached texts).
  ASSERT_EQ(LoadFontFace(2, "DejaVu Sans", 10, 0), 1);
  EXPECT_EQ(DrawTextAt(0, 100, "Optionen"), small);
  ASSERT_EQ(LoadFontFace(3, "Keine Solche Schrift Xyz", 10, FontItalic | FontHighQuality), 1);
  EXPECT_NE(FontFamilyOf(3), "");
  EXPECT_EQ(LoadFontFace(-1, "DejaVu Sans", 10, 0), 0);
}

TEST_F(TextTest, GameFaceResolvesToJunicodeWhenInstalled) {
  if (!FamilyInstalled("Junicode") && !FamilyInstalled("Junicode Two Beta"))
    GTEST_SKIP() << "no Junicode face installed";
  ASSERT_EQ(LoadFontFace(1, "Argor Flahm Scaqh", 10, FontItalic | FontHighQuality), 1);
  EXPECT_EQ(FontFamilyOf(1).rfind("Junicode", 0), 0u) << FontFamilyOf(1);
  SelectFont(1);
  EXPECT_GT(DrawTextAt(0, 0, "Neues Spiel"), 20);
}

}  // namespace
}  // namespace kw
