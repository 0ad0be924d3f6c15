// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The "choice" command's wait: the only script command that holds the game. It shows
// the three answer lines where the message line is drawn (and the two lines below it)
// and waits for a key; the digit that key typed is the answer. Window events are still
// served meanwhile: a close request ends the program, a lost focus waits.
#include "media/media.h"
#include "script/script.h"

namespace kw {

namespace {

constexpr int TextLeft = 25, TextTop = 12, LineGap = 20;  // where the HUD puts the message
constexpr int DefaultTextColour = Rgb(1, 11, 141);  // the HUD's message colour

// The three lines over whatever the screen shows.
void DrawChoiceLines() {
  const PlayerRecord& p = P();
  if (!BeginText()) return;
  SelectFont(Font::Small);
  SetTextBackground(1);
  int colour = p.textColor != 0 ? p.textColor : DefaultTextColour;
  const std::string* lines[] = {&p.message, &p.message2, &p.message3};
  for (int i = 0; i < 3; ++i) DrawTextAt(TextShift + TextLeft, TextTop + LineGap * i, *lines[i], colour);
  EndText();
}

// Serves the window between key snapshots; false when the window was closed.
bool ServeWindow() {
  if (PollWindowEvent() == WindowEventClose) return false;
  if (ScreenHasFocus() == 0 && WaitWindowEvent() == WindowEventClose) return false;
  return true;
}

// 0..9 for a typed digit, 0 for a key that typed none.
int TypedDigit(const std::string& typed) {
  if (typed.empty() || typed[0] < '0' || typed[0] > '9') return 0;
  return typed[0] - '0';
}

}  // namespace

int WaitForChoice(const std::string& text1, const std::string& text2, const std::string& text3) {
  PlayerRecord& p = P();
  p.message = "1. " + Translate(text1);
  p.message2 = "2. " + Translate(text2);
  p.message3 = "3. " + Translate(text3);
  Screen before = CurrentScreen;
  CurrentScreen = Screen::Choice;
  DrawChoiceLines();
  // A key still held when the question comes (the player was walking) is no answer:
  // the wait takes the first key that goes down after all keys were up.
  bool armed = false;
  for (;;) {
    ReadKeyboard();
    bool down = KeyDown(-1) != 0;
    if (armed && down) break;
    if (!armed && !down) {
      armed = true;
      TypedText();  // what was typed before is no answer either
    }
    FlipScreen();
    if (!ServeWindow()) {
      CurrentScreen = Screen::Quit;
      EndProgram(0);
    }
  }
  int number = TypedDigit(TypedText());
  p.message.clear();
  p.message2.clear();
  p.message3.clear();
  CurrentScreen = before;
  return number;
}

}  // namespace kw
