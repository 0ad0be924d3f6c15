// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The "choice" command's wait: the only script command that holds the game. It shows
// the three answer lines in a box of their own with the keys to press, and waits for a
// key; the digit that key typed is the answer. Window events are still
// served meanwhile: a close request ends the program, a lost focus waits.
#include <algorithm>
#include <vector>

#include "media/media.h"
#include "script/script.h"

namespace kw {

namespace {

// The question's box lies in the middle of the screen, well below the message line
// (y 12) and the boss line (y 42): the three answers once were drawn where those lines
// are, over what the last frame left there, and garbled it; dark on a dark forest they
// could not be read either. The box is black with a pale frame, the lines pale on it.
constexpr int BoxTop = 150;
constexpr int BoxPadding = 8;
constexpr int LineGap = 22;
constexpr int FrameColour = Rgb(200, 170, 110);

// The box's size for its lines.
int BoxWidth(const std::vector<std::string>& lines) {
  int w = 0;
  for (const std::string& line : lines) w = std::max(w, TextWidth(line));
  return std::min(w + 2 * BoxPadding, ScreenWidth);
}

}  // namespace

void DrawChoiceBox() {
  const PlayerRecord& p = P();
  if (!BeginText()) return;
  SelectFont(Font::Small);
  SetTextBackground(1);
  std::vector<std::string> lines = {p.message, p.message2, p.message3, Translate(PromptChoice)};
  int w = BoxWidth(lines), h = int(lines.size()) * LineGap + 2 * BoxPadding;
  int x = (ScreenWidth - w) / 2;
  FillRectangle(x - 1, BoxTop - 1, w + 2, h + 2, FrameColour);
  FillRectangle(x, BoxTop, w, h, 0);
  for (size_t i = 0; i < lines.size(); ++i) {
    // The key prompt stands apart, centred under the answers.
    bool prompt = i + 1 == lines.size();
    int lineX = prompt ? (ScreenWidth - TextWidth(lines[i])) / 2 : x + BoxPadding;
    DrawTextAt(lineX, BoxTop + BoxPadding + LineGap * int(i), lines[i], BoxTextColour);
  }
  EndText();
}

namespace {

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
  DrawChoiceBox();
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
