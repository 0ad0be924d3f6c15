// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The new-game menu: the mode question (skipped for a continued story) and the
// difficulty question, each a dialog of three small buttons on a black screen. The
// shell's start-up calls NewGameMenu once per new game, after MainMenu(0) returned 1.
#include "media/media.h"
#include "menus/menus.h"

namespace kw {

namespace {


struct Label {
  const char* text;
  int x, y;
};

// One button of a question: its code, x (y is 150, pressed 155) and up to two labels.
struct ChoiceRow {
  int code;
  int x;
  Label labels[2];
};

constexpr ChoiceRow ModeRows[3] = {
    {MenuCode::FreeGame,  230, {{Translatable("Free"), 250, 155}, {Translatable("Game"), 250, 175}}},
    {MenuCode::Story,     305, {{Translatable("Story"), 325, 165}, {nullptr, 0, 0}}},
    {MenuCode::TimeMatch, 386, {{Translatable("Time"), 403, 155}, {Translatable("Match"), 401, 175}}},
};
constexpr ChoiceRow DifficultyRows[3] = {
    {MenuCode::Easy,   210, {{Translatable("Leicht"), 225, 155}, {nullptr, 0, 0}}},
    {MenuCode::Medium, 308, {{Translatable("Mittel"), 323, 155}, {nullptr, 0, 0}}},
    {MenuCode::Hard,   406, {{Translatable("Schwer"), 421, 155}, {nullptr, 0, 0}}},
};
constexpr int ButtonY = 150, ButtonPressedY = 155;

// Difficulty table: time bonus per map in a time match, and the maximum health.
struct DifficultyRow {
  int code;
  int timeBonus;
  int maxHealth;
};
constexpr DifficultyRow Difficulties[3] = {
    {MenuCode::Easy,   20,  400},
    {MenuCode::Medium, 0,   200},
    {MenuCode::Hard,   -25, 60},
};

}  // namespace

// Panel, buttons (pressed ones 5 pixels lower), title and labels, which stay put.
void DrawNewGameScreen(int difficulty) {
  const ChoiceRow(&rows)[3] = difficulty ? DifficultyRows : ModeRows;
  const char* title = difficulty ? Translatable("Schwierigkeitsgrad") : Translatable("Neues Spiel starten");
  DrawSpriteKeyed(Spr::DialogPanel, 200, 100);
  for (int i = 0; i < 3; ++i) {
    bool down = NewGameDown[size_t(i)] == 1;
    DrawSpriteKeyed(down ? Spr::SmallButtonPressed : Spr::SmallButton, rows[i].x,
                    down ? ButtonPressedY : ButtonY);
  }
  if (!BeginText()) return;
  SelectFont(Font::Small);
  SetTextBackground(1);
  DrawTextAt(210, 105, Translate(title), LabelColour);
  for (const ChoiceRow& row : rows)
    for (const Label& l : row.labels)
      if (l.text) DrawTextAt(l.x, l.y, Translate(l.text), LabelColour);
  EndText();
}

namespace {

// Asks one question until a click completes.
void AskQuestion(int difficulty) {
  NewGameChoice = 0;
  NewGameDown.fill(0);
  while (NewGameChoice == 0) NewGameFrame(difficulty);
}

}  // namespace

// The click rule of the menus, except that leaving the buttons clears the pressed state
// even with the mouse button held.
void NewGameFrame(int difficulty) {
  const ChoiceRow(&rows)[3] = difficulty ? DifficultyRows : ModeRows;
  bool focused = ScreenHasFocus() != 0;
  if (focused) {
    CurrentScreen = Screen::NewGame;
    ReadMouse();
    MenuButton buttons[3];
    for (int i = 0; i < 3; ++i)
      buttons[i] = MenuButton{Spr::SmallButton, rows[i].x, ButtonY, &NewGameDown[size_t(i)]};
    int hit = ClickRule(buttons, 3, true);
    if (hit >= 0) NewGameChoice = rows[hit].code;
    DrawNewGameScreen(difficulty);
    DrawMousePointer();
    FlipScreen();
    ClearBackBuffer(0);
  }
  ServeMenuWindow(focused);
}

// Mode globals of the chosen mode button.
void ApplyGameMode(int code) {
  switch (code) {
    case MenuCode::FreeGame:
      TimeMatch = 0;
      StoryMode = 0;
      break;
    case MenuCode::Story:
      // A new story starts at map 1 whatever Saves\Story.save holds.
      TimeMatch = 0;
      StoryMode = 1;
      ContinueStory = 1;
      StoryProgress = 1;
      break;
    case MenuCode::TimeMatch:
      TimeMatch = 1;
      StoryMode = 0;
      break;
    default: break;
  }
}

// Time bonus and maximum health of the chosen difficulty.
void ApplyDifficulty(int code) {
  for (const DifficultyRow& d : Difficulties) {
    if (d.code != code) continue;
    TimeBonus = d.timeBonus;
    MaxHealth = d.maxHealth;
  }
}

// A continued story skips the mode question; the map loader later raises map 1 to the
// story progress in story mode.
int NewGameMenu() {
  TimeMatch = 0;
  if (ContinueStory == 1) {
    CurrentMap = StoryProgress;
    TimeMatch = 0;
    StoryMode = 1;
  } else {
    AskQuestion(0);
    ApplyGameMode(NewGameChoice);
  }
  AskQuestion(1);
  ApplyDifficulty(NewGameChoice);
  CurrentMap = 1;
  return 0;
}

}  // namespace kw
