// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Text drawing into the back buffer (or the blit-target sprite) with TrueType faces
// found through fontconfig.
// Texts are Latin-1; conversion to UTF-8 happens only in here.
#pragma once

#include <string>

namespace kw {

constexpr int FontBold = 256, FontItalic = 512, FontUnderline = 4, FontStrikeOut = 8,
              FontHighQuality = 16;

int LoadFontFace(int font, const std::string& face, int points, int flags);
int BeginText();
void EndText();
void SelectFont(int font);                 // -1: the system font
void SetTextColour(int colour);
void SetTextBackgroundColour(int colour);
void SetTextBackground(int mode);          // bit 0 set: transparent
int DrawTextAt(int x, int y, const std::string& text);          // default colour
int DrawTextAt(int x, int y, const std::string& text, int colour);
// Fills a rectangle of the back buffer (cut at the screen's edges) with a colour.
void FillRectangle(int x, int y, int width, int height, int colour);
// The width and height a text takes with the selected font (0 for nothing drawn).
int TextWidth(const std::string& text);
int TextHeight(const std::string& text);
void PlotPixel(int x, int y, int colour);
void FreeAllFonts();

// 1 when the face text of that font is drawn with has a picture for the Latin-1
// character (control characters never have one).
int FontHasGlyph(int font, unsigned char ch);

}  // namespace kw
