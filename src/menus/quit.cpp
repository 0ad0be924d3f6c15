// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The quit confirmation: a yes/no dialog drawn over the current frame. It keeps no loop
// of its own; the main menu calls it once a frame while its quit question is open,
// after its own texts and before the pointer and the flip.
#include "media/media.h"
#include "menus/menus.h"

namespace kw {

namespace {


// Panel and the two buttons, each 5 pixels lower while pressed.
void DrawQuitDialog() {
  DrawSpriteKeyed(Spr::DialogPanel, 200, 100);
  DrawSpriteKeyed(BtnYesDown == 1 ? Spr::SmallButtonPressed : Spr::SmallButton, 260,
                  BtnYesDown == 1 ? 195 : 190);
  DrawSpriteKeyed(BtnNoDown == 1 ? Spr::SmallButtonPressed : Spr::SmallButton, 350,
                  BtnNoDown == 1 ? 195 : 190);
}

// Title and question in the small font, the answers in the large one.
void DrawQuitTexts(const std::string& title, const std::string& text) {
  if (!BeginText()) return;
  SetTextBackground(1);
  SelectFont(Font::Small);
  DrawTextAt(205, 105, title, Rgb(0, 0, 0));
  DrawTextAt(205, 135, text, Rgb(150, 150, 150));
  SelectFont(Font::Large);
  DrawTextAt(270, 200, Translate("Ja"), Rgb(94, 90, 68));
  DrawTextAt(360, 200, Translate("Nein"), Rgb(94, 90, 68));
  EndText();
}

// The pointer on a hit area (not drawn), pixel-exact.
bool PointerOn(int area, int x, int y) {
  return SpritesTouch(Spr::Pointer, MouseState.x, MouseState.y, area, x, y) != 0;
}

}  // namespace

// Press on an answer, release on it to give it. The flags are left as they are when an
// answer is given: the next question starts with them.
int ConfirmQuit(const std::string& title, const std::string& text) {
  const std::string shown = text == "!exit" ? Translate("Sicher, dass das Spiel beendet werden soll?") : text;
  DrawQuitDialog();
  DrawQuitTexts(title, shown);
  bool down = MouseState.button != 0;
  if (PointerOn(Spr::YesArea, 310, 200)) {
    if (down) {
      BtnYesDown = 1;
      BtnNoDown = 0;
    } else if (BtnYesDown == 1) {
      return MenuCode::Yes;
    }
  } else if (PointerOn(Spr::NoArea, 400, 200)) {
    if (down) {
      BtnNoDown = 1;
      BtnYesDown = 0;
    } else if (BtnNoDown == 1) {
      return MenuCode::No;
    }
  } else if (!down) {
    BtnYesDown = BtnNoDown = 0;
  }
  return 0;
}

}  // namespace kw
