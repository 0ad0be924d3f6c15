// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The highscore screen: after a game a score that beats the sixth entry is entered with
// a typed name (or, for a player with a pad alone, picked letter by letter from a choice
// on the screen) and the list is written to Saves\Savescore.save; otherwise the list is
// shown with "Zurück" and "Löschen". Called by the shell after a game over and by the
// main menu's "Highscore" entry.
#include "media/media.h"
#include "menus/menus.h"

namespace kw {

namespace {

constexpr int FontDefault = -1;
constexpr int BackX = 20, ClearX = 520, ButtonsY = 420;
constexpr int HighscoreCount = 6;
// Latin-1 texts: "Zurück" and "Löschen".
const char* const BackLabel = Translatable("Zur\xFC" "ck");
const char* const ClearLabel = Translatable("L\xF6" "schen");
const char* const PromptNameDone = Translatable("Return: fertig");

// Writes the twelve lines (score, name for entries 1..6). The file layer keeps the
// bytes until the close and then renames a complete file into place, so the old list
// survives anything that stops the game half way.
void WriteEntries(const std::array<HighscoreEntry, 9>& entries) {
  if (!CreateFileForWriting(0, "Saves\\Savescore.save")) return;
  for (int i = 1; i <= HighscoreCount; ++i) {
    WriteTextLine(0, IntToText(entries[size_t(i)].points));
    WriteTextLine(0, entries[size_t(i)].name);
  }
  CloseFileNumber(0);
}

// The letter choice: cells of NameGridCellWidth x NameGridCellHeight from the top left.
constexpr int NameGridX = 96, NameGridY = 200;
constexpr int NameGridCellWidth = 56, NameGridCellHeight = 40;
constexpr int NameGridCells = NameGridColumns * NameGridRows;
// After A..Z: Ä, Ö, Ü (Latin-1), then the three command cells.
constexpr int FirstUmlautCell = 26, SpaceCell = 29, DeleteCell = 30, OkCell = 31;
static_assert(OkCell == NameGridCells - 1);
const char Umlauts[] = "\xC4\xD6\xDC";
// The name entry is drawn in the menus' face, pale parchment and gold on black.
constexpr int NameEntryColour = Rgb(240, 214, 150);
constexpr int NameLineY = 115;  // the typed name, between the question (y 80) and the letters (y 200)
constexpr int GridColour = Rgb(200, 186, 150);
constexpr int GridPointedColour = Rgb(255, 214, 90);
// The list's name column ends where the points begin (x 320), less a gap.
constexpr int NameColumnX = 250, PointsColumnX = 320, ColumnGap = 6;

// The label of a cell as it is drawn.
std::string NameGridLabel(int cell) {
  if (cell < FirstUmlautCell) return std::string(1, char('A' + cell));
  if (cell < SpaceCell) return std::string(1, Umlauts[cell - FirstUmlautCell]);
  if (cell == SpaceCell) return Translate("Leer");
  return Translate(cell == DeleteCell ? Translatable("Entf") : Translatable("OK"));
}

// The letter choice, the cell under the pointer drawn brighter.
void DrawNameGrid() {
  int pointed = NameGridCellAt(MouseState.x, MouseState.y);
  for (int cell = 0; cell < NameGridCells; ++cell) {
    int x = NameGridX + (cell % NameGridColumns) * NameGridCellWidth;
    int y = NameGridY + (cell / NameGridColumns) * NameGridCellHeight;
    DrawTextAt(x + 8, y + 12, NameGridLabel(cell), cell == pointed ? GridPointedColour : GridColour);
  }
}

// The choice shows once a pad is connected or the pointer moves or clicks (a pad in the
// pointer menus moves the pointer; a replay of such a run moves it the same way).
void UpdateNameGridShown() {
  bool moved = NamePointerX != MouseState.x || NamePointerY != MouseState.y;
  if (GamepadConnected() || MouseState.button != 0 || (moved && NamePointerX != NoPointerYet))
    NameGridShown = 1;
  NamePointerX = MouseState.x;
  NamePointerY = MouseState.y;
}

// A click acts when the button goes down, once per press, and only on a choice that was
// already on the screen. True when OK was clicked.
bool NameGridClick(bool shown) {
  bool pressed = MouseState.button != 0;
  bool click = pressed && !NameGridButtonDown;
  NameGridButtonDown = pressed ? 1 : 0;
  if (!click || !shown) return false;
  int cell = NameGridCellAt(MouseState.x, MouseState.y);
  if (cell < 0) return false;
  PlaySoundFx(Snd::Click, 0);
  return ApplyNameGridCell(cell, NameInput);
}

// The pointer on the large button at (x, 420), pixel-exact.
bool PointerOnButton(int x) {
  return SpritesTouch(Spr::Pointer, MouseState.x, MouseState.y, Spr::LargeButton, x, ButtonsY) != 0;
}

}  // namespace

// A name cut (with "..") to fit a width in the selected font; the list keeps the
// whole name, only what is drawn is shorter.
std::string NameAsDrawn(const std::string& name, int width) {
  if (TextWidth(name) <= width) return name;
  std::string cut = name;
  while (!cut.empty() && TextWidth(cut + "..") > width) cut.pop_back();
  return cut + "..";
}

// Background, "Zurück" and "Löschen", the heading and the six entries.
void DrawHighscoreList() {
  DrawSprite(Spr::HighscoreBackground, 0, 0);
  DrawSpriteKeyed(Spr::LargeButton, BackX, ButtonsY);
  DrawSpriteKeyed(Spr::LargeButton, ClearX, ButtonsY);
  if (!BeginText()) return;
  SelectFont(Font::Large);
  SetTextBackground(1);
  DrawTextAt(30, 430, Translate(BackLabel), LabelColour);
  DrawTextAt(530, 430, Translate(ClearLabel), LabelColour);
  DrawTextAt(250, 100, Translate("Name"), LabelColour);
  DrawTextAt(320, 100, Translate("Punkte"), LabelColour);
  for (int i = 1; i <= HighscoreCount; ++i) {
    const std::string& name = Highscores[size_t(i)].name;
    DrawTextAt(NameColumnX, 100 + 25 * i, NameAsDrawn(name, PointsColumnX - ColumnGap - NameColumnX), LabelColour);
    DrawTextAt(PointsColumnX, 100 + 25 * i, IntToText(Highscores[size_t(i)].points), LabelColour);
  }
  EndText();
}

namespace {

// The name typed for a new entry, then the insertion and the file. The entry offers the
// best player's name; letters typed before it opened (in play) are dropped.
void EnterName(int16_t score) {
  std::string offered = NameInput;
  NameInput.clear();
  TypedText();
  NameGridShown = 0;
  NameGridButtonDown = 0;
  NamePointerX = NamePointerY = NoPointerYet;
  AppendNameCharacters(NameInput, offered);  // a long or odd name from the file is cut too
  while (!NameEntryFrame(score)) {
  }
  InsertHighscore(score, NameInput);
  WriteHighscoreFile();
}

}  // namespace

// A character is kept only when both the name line's and the list's font can show it;
// control characters never can (a line end would also break the file's line pairs).
void AppendNameCharacters(std::string& name, const std::string& typed) {
  for (char c : typed) {
    if (name.size() >= MaxNameLength) return;
    unsigned char u = static_cast<unsigned char>(c);
    if (FontHasGlyph(FontDefault, u) && FontHasGlyph(Font::Large, u)) name += c;
  }
}

int NameGridCellAt(int x, int y) {
  if (x < NameGridX || y < NameGridY) return -1;
  int column = (x - NameGridX) / NameGridCellWidth, row = (y - NameGridY) / NameGridCellHeight;
  if (column >= NameGridColumns || row >= NameGridRows) return -1;
  return row * NameGridColumns + column;
}

bool ApplyNameGridCell(int cell, std::string& name) {
  if (cell < 0 || cell >= NameGridCells) return false;
  if (cell == OkCell) return true;
  if (cell == DeleteCell) {
    if (!name.empty()) name.pop_back();
  } else {
    AppendNameCharacters(name, cell == SpaceCell ? " " : NameGridLabel(cell));
  }
  return false;
}

namespace {

// The name-entry line and the letter choice, in the menus' face on the black screen.
void DrawNameEntry(int16_t score) {
  if (!BeginText()) return;
  SelectFont(Font::Large);
  SetTextBackground(1);
  // The typed name has a line of its own: after the question, in the menus' face, twenty
  // wide letters would run off the screen.
  DrawTextAt(40, 80, Translate("Your score") + " " + IntToText(score) + "    " + Translate("Please input your name") + " :",
             NameEntryColour);
  DrawTextAt(40, NameLineY, NameInput, NameEntryColour);
  if (NameGridShown) DrawNameGrid();
  EndText();
  DrawKeyPrompt(Translate(PromptNameDone));
}

}  // namespace

// Flip first, then read and draw: the line drawn last is shown by the next frame's flip.
// Typing works as ever; the letter choice is there for the pointer as well.
bool NameEntryFrame(int16_t score) {
  FlipScreen();
  ClearBackBuffer(0);
  ReadKeyboard();
  ReadMouse();
  AppendNameCharacters(NameInput, TypedText());
  if (KeyReleased(Key::Backspace) && !NameInput.empty()) NameInput.pop_back();
  bool ok = NameGridClick(NameGridShown != 0);
  UpdateNameGridShown();
  DrawNameEntry(score);
  if (NameGridShown) DrawMousePointer();
  // The window is served as on every other screen: closing it ends the program.
  ServeMenuWindow(ScreenHasFocus() != 0);
  return ok || KeyDown(Key::Return) != 0;
}

// Equal scores stay above the new one.
void InsertHighscore(int16_t score, const std::string& name) {
  int at = HighscoreCount;
  for (int k = 1; k < HighscoreCount; ++k) {
    if (score > Highscores[size_t(k)].points) {
      at = k;
      break;
    }
  }
  for (int i = HighscoreCount; i > at; --i) Highscores[size_t(i)] = Highscores[size_t(i - 1)];
  Highscores[size_t(at)] = HighscoreEntry{score, name};
}

void WriteHighscoreFile() { WriteEntries(Highscores); }

// "Löschen": six "0" / "-" pairs in the file only.
void WriteResetHighscoreFile() {
  std::array<HighscoreEntry, 9> reset;
  reset.fill(HighscoreEntry{0, "-"});
  WriteEntries(reset);
}

// The buttons act on the press, without a sound.
int HighscoreListFrame() {
  int done = 0;
  bool focused = ScreenHasFocus() != 0;
  if (focused) {
    CurrentScreen = Screen::Highscore;
    ReadMouse();
    DrawHighscoreList();
    ReadKeyboard();
    if (MouseState.button != 0) {
      if (PointerOnButton(ClearX)) {
        WriteResetHighscoreFile();
        done = 1;
      } else if (PointerOnButton(BackX)) {
        done = 1;
      }
    }
    if (done) return 1;
    DrawMousePointer();
    FlipScreen();
    ClearBackBuffer(0);
  }
  ServeMenuWindow(focused);
  return 0;
}

// Name entry when the score beats entry 6, else the list until a button is pressed.
int HighscoreScreen() {
  CurrentScreen = Screen::Highscore;
  PlayerRecord& p = P();
  if (p.score > Highscores[HighscoreCount].points) {
    EnterName(p.score);
    p.score = 0;
    NameInput = "-";
    return 0;
  }
  while (!HighscoreListFrame()) {
  }
  return 0;
}

}  // namespace kw
