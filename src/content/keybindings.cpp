// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The key bindings as the game controllers see them: Gamepad.ini in the user folder
// names the pad input of each action, and each input presses the key that action is
// bound to in Setup.ini. The start-up reads the file; the start-up (after Setup.ini)
// and the options screen (after each new binding) call BindGamepadToKeys, so a pad
// always presses the keys the keyboard is bound to.
#include "content/content.h"
#include "media/media.h"

namespace kw {

namespace {

// Defaults in action order (Setup.ini's, then the doors): A jump, B sword, X throw,
// Y doors and portals, the shoulders and triggers the four spells, Start the pause
// menu, Back the pause, the D-pad (and left stick) walk, look and climb; clicking the
// left stick saves, the right stick loads, the guide button restarts, and the right
// stick's directions are the page and text-size keys. So all twenty actions are on the pad.
constexpr int DefaultPadInputs[PadActionCount] = {
    PadStart,       // abbruch
    PadBack,        // Pause
    PadLeftStick,   // Speichern
    PadRightStick,  // Laden
    PadGuide,       // Neustart
    PadRightUp,     // Bild_hoch
    PadRightDown,   // Bild_runter
    PadRightLeft,   // Text_minus
    PadRightRight,  // Text_plus
    PadDown,        // runter
    PadUp,          // hoch
    PadLeft,        // links
    PadRight,       // rechts
    PadA,           // sprung
    PadB,           // Schwert
    PadX,           // Kugel
    PadLeftShoulder,   // Zauber1
    PadRightShoulder,  // Zauber2
    PadLeftTrigger,    // Zauber3
    PadRightTrigger,   // Zauber4
    PadY,           // Eingang (Return)
};

// A file larger than this is not a binding file; the defaults stand.
constexpr long MaxGamepadIniBytes = 64 * 1024;
// The value that leaves an action without a pad input.
const std::string NoInputName = "-";

const char* PadActionName(int action) {
  return action < Bind::Count ? BindNames[action] : PadActionDoorName;
}

// The input a line names: -1 for NoInputName, -2 for what is not an input at all.
int PadInputOfValue(const std::string& value) {
  if (value == NoInputName) return -1;
  int input = PadInputOfName(value);
  return input >= 0 ? input : -2;
}

}  // namespace

void SetDefaultPadBindings() {
  for (int a = 0; a < PadActionCount; ++a) PadBindings[size_t(a)] = DefaultPadInputs[a];
}

std::string GamepadIniText() {
  std::string text =
      "; Klingenwald: the game-controller button or axis of each action (one a line;\r\n"
      "; a, b, x, y, back, start, guide, leftshoulder, rightshoulder, lefttrigger,\r\n"
      "; righttrigger, dpup, dpdown, dpleft, dpright, leftstick, rightstick, -righty,\r\n"
      "; +righty, -rightx, +rightx, or - for none). The left stick moves as the D-pad.\r\n";
  for (int a = 0; a < PadActionCount; ++a) {
    int input = PadBindings[size_t(a)];
    text += std::string(PadActionName(a)) + "=" + (input >= 0 ? PadInputName(input) : NoInputName) +
            "\r\n";
  }
  return text;
}

// Two passes: first every readable line claims its input (an input presses one key, so
// the first action naming it keeps it); then the actions without a readable line take
// their default where no line claimed it, so a damaged line never steals a good one's input.
void ReadGamepadIni() {
  SetDefaultPadBindings();
  long size = FileSizeOf(GamepadBindingFile);
  if (size < 0) {
    WriteWholeFile(GamepadBindingFile, GamepadIniText());
    return;
  }
  if (size > MaxGamepadIniBytes || !OpenSettings(GamepadBindingFile)) return;
  std::array<int, PadActionCount> read;
  std::array<bool, PadInputCount> claimed{};
  for (int a = 0; a < PadActionCount; ++a) {
    int input = PadInputOfValue(ReadSettingsText(PadActionName(a), "?"));
    if (input >= 0 && claimed[size_t(input)]) input = -2;
    if (input >= 0) claimed[size_t(input)] = true;
    read[size_t(a)] = input;
  }
  CloseSettings();
  for (int a = 0; a < PadActionCount; ++a) {
    int input = read[size_t(a)];
    if (input == -2) input = claimed[size_t(DefaultPadInputs[a])] ? -1 : DefaultPadInputs[a];
    PadBindings[size_t(a)] = input;
  }
}

void BindGamepadToKeys(const KeyBindingRecord& k) {
  for (int input = 0; input < PadInputCount; ++input) SetGamepadKey(input, 0);
  for (int a = 0; a < PadActionCount; ++a) {
    int input = PadBindings[size_t(a)];
    if (input >= 0) SetGamepadKey(input, a < Bind::Count ? k.code[a] : Key::Return);
  }
}

}  // namespace kw
