// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The heads-up display (DrawHud), drawn by the frame loop on every pass of play right
// after the world: the status panel at the bottom, the boss line and the message line
// at the top, and on request the small map of the surroundings; and the boxed texts
// that other screens draw over pictures (key prompts, notices).
#include <string>

#include "media/media.h"
#include "play/play.h"

namespace kw {

namespace {

constexpr int MaxThrows = 97;      // what the ammunition strip can show
constexpr char BossMark = char(143);
// The boss line ends where the screen does: a type with an absurd hit-point count must
// not build a line of millions of characters every frame.
constexpr size_t MaxBossLine = 160;
// Messages without a colour of their own were once drawn dark blue (1, 11, 141), which
// cannot be read on the black box behind them.
constexpr int TopTextColour = BoxTextColour;
constexpr int BoxMargin = 3;
constexpr int PromptY = 450;        // the key prompt's box top, at the screen's foot
constexpr int NoticeY = 392;        // a notice sits just above the status panel
constexpr int NoticeDuration = 90;  // frames

// Truncation toward zero, kept inside the int32 range.
int TruncToInt(double v) {
  if (!(v > -2147483648.0)) return INT32_MIN;
  if (v > 2147483647.0) return INT32_MAX;
  return int(v);
}

// Draws the digits of text from base at x = nearest(x0 + k * step), k from 1; a
// character that is not a digit ("-") shows as 0.
void DrawDigits(const std::string& text, int base, double x0, double step, int y) {
  for (size_t k = 1; k <= text.size(); ++k) {
    int x = Nearest(x0 + double(k) * step);
    if (x > ScreenWidth) break;  // a damaged best-score line may be very long
    DrawSpriteKeyed(base + ParseInt(text.substr(k - 1, 1)), x, y);
  }
}

// Health pips (10 when full), mana pips (7 when full).
void DrawPips(const PlayerRecord& p) {
  int n = Nearest(double(p.health) / MaxHealth * 10 - 1);
  for (int i = 0; i <= n && i < 10; ++i) DrawSpriteKeyed(Spr::HealthPip, 427 + 20 * i, 425);
  n = Nearest(double(p.mana) / 100 * 7 - 1);
  for (int i = 0; i <= n && i < 7; ++i) DrawSpriteKeyed(Spr::ManaPip, Nearest(457 + 20.5 * i), 451);
}

// The status panel: pips, ammunition, weapon icon, score, best score, map, key time.
void DrawPanel(const PlayerRecord& p) {
  DrawSpriteKeyed(Spr::HudPanel, 0, 421);
  DrawPips(p);
  if (const Item* item = Items.Current()) {
    SetSpriteClip(Spr::AmmoStrip, 0, 0, item->throws, 7);
    DrawSpriteKeyed(Spr::AmmoStrip, 5, 468);
    DrawSpriteKeyed(item->iconSprite, 33, 425);
  }
  std::string score = IntToText(p.score);
  DrawDigits(score, Spr::SmallDigits, 238.0, 6.3, 455);
  double L = double(score.size());
  DrawSpriteKeyed(Spr::ScoreSeparator, Nearest(244.0 + 6.3 * (L + 1)), 455);
  DrawDigits(BestScore, Spr::SmallDigits, 243.0 + 6.3 * (L + 1), 5.7, 455);
  DrawDigits(IntToText(CurrentMap), Spr::SmallDigits, 270.0, 5.7, 435);
  int time = TimeMatch == 1 ? p.timeValue : p.keyTime;
  DrawDigits(IntToText(time), Spr::LargeDigits, 355.0, 11.4, 441);
}

// The colour of the small map's cell with this tile, for its upper-left, upper-right
// and lower pixels.
void SmallMapColours(int tile, int& upperLeft, int& upperRight, int& lower) {
  int c = Rgb(0, 0, 30);
  switch (tile) {
    case 1: c = Rgb(0, 0, 0); break;
    case 4: c = Rgb(150, 0, 0); break;
    case 17: case 18: case 20: case 21: case 28: case 30:
    case 50: case 51: case 52: case 53: c = Rgb(255, 255, 0); break;
    case 19:
      upperLeft = Rgb(200, 200, 0);
      upperRight = Rgb(0, 0, 0);
      lower = Rgb(150, 150, 150);
      return;
    default: break;
  }
  upperLeft = upperRight = lower = c;
}

// The small map: 50 x 20 cells from the screen's left edge, two pixels a cell.
void DrawSmallMap(const PlayerRecord& p) {
  BeginText();
  SelectFont(Font::Small);
  SetTextBackground(1);
  SetTextColour(TopTextColour);
  int c0 = TruncToInt(-double(p.posX) / CellSize), r0 = TruncToInt(double(p.posY) / CellSize);
  for (int dy = 0; dy <= 19; ++dy)
    for (int dx = 0; dx <= 49; ++dx) {
      int64_t col = int64_t(c0) + dx, row = int64_t(r0) + dy;
      if (!(0 < col && col < p.mapWidth && 0 < row && row < p.mapHeight)) continue;
      int ul, ur, lo;
      SmallMapColours(Map.At(int(col), int(row)).tile, ul, ur, lo);
      int x = 119 + 2 * dx, y = 431 + 2 * dy;
      PlotPixel(x, y, ul);
      PlotPixel(x + 1, y, ur);
      PlotPixel(x, y + 1, lo);
      PlotPixel(x + 1, y + 1, lo);
    }
  EndText();
}

// The boss line and the message line at the top of the screen.
void DrawTopTexts(const PlayerRecord& p, const std::string& bossLine) {
  BeginText();
  SelectFont(Font::Small);
  SetTextBackgroundColour(0);
  SetTextColour(p.textColor != 0 ? p.textColor : TopTextColour);
  if (BossShown == 1) DrawTextAt(TextShift + 25, 42, bossLine);
  DrawTextAt(TextShift + 25, 12, p.message);
  EndText();
}

// The notice, while it lasts.
void DrawNotice() {
  if (NoticeFrames <= 0) return;
  --NoticeFrames;
  DrawBoxedText(ScreenWidth / 2, NoticeY, NoticeText);
}

}  // namespace

int DrawBoxedText(int centreX, int y, const std::string& text, int colour) {
  if (!BeginText()) return y;
  SelectFont(Font::Small);
  int w = TextWidth(text), h = TextHeight(text);
  int x = centreX - w / 2;
  FillRectangle(x - BoxMargin, y, w + 2 * BoxMargin, h + 2 * BoxMargin, 0);
  SetTextBackground(1);
  DrawTextAt(x, y + BoxMargin, text, colour);
  EndText();
  return y + h + 2 * BoxMargin;
}

void DrawKeyPrompt(const std::string& text) { DrawBoxedText(ScreenWidth / 2, PromptY, text); }

void ShowNotice(const std::string& text) {
  NoticeText = text;
  NoticeFrames = NoticeDuration;
}

std::string BossLine() {
  if (BossShown != 1) return "";
  if (!Boss || !Boss->type) {
    // The line belongs to an enemy that is gone.
    BossShown = 0;
    return "";
  }
  if (Boss->health < 0) {
    BossShown = 0;
    return Translate(Boss->type->typeName) + " ---DEAD---";
  }
  std::string line = Translate(Boss->type->typeName) + ": ";
  for (int64_t i = 0; i <= Boss->type->hitPoints && line.size() < MaxBossLine; ++i) {
    if (Boss->health >= i)
      line += BossMark;
    else
      line += " /";
  }
  return line;
}

void DrawHud() {
  PlayerRecord& p = P();
  if (HudVisible == 1) DrawPanel(p);
  std::string bossLine = BossLine();
  if (Item* item = Items.Current(); item && item->throws > MaxThrows) item->throws = MaxThrows;
  if (!p.message.empty() || BossShown == 1) DrawTopTexts(p, bossLine);
  if (MapRequest == 1) {
    DrawSmallMap(p);
    MapRequest = 0;
  }
  DrawNotice();
}

}  // namespace kw
