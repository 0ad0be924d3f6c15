// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The main menu, which with another background and two other labels is also the pause
// menu, and what every menu screen shares: ReadMouse, the click rule of sprite buttons,
// the pointer and the window events. The shell's start-up calls MainMenu(0) until it
// returns 1; the shell runs MainMenu(1) when the player control asks for the pause menu.
#include <cmath>

#include "media/media.h"
#include "menus/menus.h"

namespace kw {

namespace {

// Pictures, sounds and fonts of the menu screens.
constexpr int SlideStart = -248, SlideStep = 8;

// One entry: labels (main menu / pause menu), button and label position when not
// pressed; pressed, both are 5 pixels lower.
struct EntryRow {
  const char* label;
  const char* pauseLabel;
  int buttonX, buttonY;
  int labelX, labelY;
};
constexpr EntryRow Entries[5] = {
    //  main menu                      pause menu                 button    label
    {Translatable("Start"),            Translatable("Weiter"),    80, 71,   90, 81},
    {Translatable("Highscore"),        Translatable("Highscore"), 130, 136, 140, 146},
    {Translatable("Optionen"),         Translatable("Optionen"),  130, 276, 140, 286},
    {Translatable("Beenden"),          Translatable("Beenden"),   75, 351,  85, 361},
    {Translatable("Story fortsetzen"), Translatable("Abbrechen"), 172, 211, 182, 221},
};
constexpr int PressedDrop = 5;

// The pressed flag of entry e (0..4).
int16_t& EntryDown(int e) {
  int16_t* flags[5] = {&BtnStartDown, &BtnHighscoreDown, &BtnOptionsDown, &BtnQuitDown,
                       &StoryDown};
  return *flags[e];
}

// The entries in the order they are hit-tested: 4, 2, 3, 1, 5.
constexpr int HitOrder[5] = {3, 1, 2, 0, 4};

// Music of the menu: the game's tracks stop, the menu track loops.
void StartMenuMusic() {
  if (Volume == 0) return;
  for (int s : {Snd::MusicForest, Snd::MusicCaves, Snd::MusicTower, Snd::MusicPass, Snd::MusicTimeMatch})
    StopSoundFx(s);
  PlaySoundFx(Snd::MusicMenu, 1);
}

// Music of play: the time-match track, or one of the two game tracks at random.
void StartPlayMusic() {
  StopSoundFx(Snd::MusicMenu);
  if (TimeMatch == 1) {
    PlaySoundFx(Snd::MusicTimeMatch, 1);
    SetSoundVolume(Snd::MusicTimeMatch, Volume);
    return;
  }
  PlaySoundFx(RandomUpTo(1) == 0 ? Snd::MusicForest : Snd::MusicCaves, 1);
  SetSoundVolume(Snd::MusicForest, Volume);
  SetSoundVolume(Snd::MusicCaves, Volume);
}


// The click rule over the entries in hit order. Returns the entry (0..4) whose click
// completed, or -1. An inactive entry 5 under the pointer stops the frame's handling.
int HandleEntryClicks() {
  MenuButton buttons[5];
  for (int i = 0; i < 5; ++i) {
    const EntryRow& e = Entries[HitOrder[i]];
    buttons[i] = MenuButton{Spr::LargeButton, MenuSlide + e.buttonX, e.buttonY, &EntryDown(HitOrder[i])};
  }
  int count = StoryEntryActive() ? 5 : 4;
  if (count == 4 && ButtonUnderPointer(buttons, 4) < 0 && ButtonUnderPointer(buttons + 4, 1) == 0)
    return -1;
  int hit = ClickRule(buttons, count, false);
  return hit < 0 ? -1 : HitOrder[hit];
}

// Carries out a completed click; 0 when MainMenu is to return 0, else -1.
int RunEntry(int entry) {
  switch (entry) {
    case 3: QuitAsked = 1; break;
    case 1: HighscoreScreen(); return 0;
    case 2: OptionsScreen(); return 0;
    case 0:
      CurrentMap = StartMap;
      MenuResult = 1;
      break;
    case 4:
      StoryChosen = 1;
      MenuResult = 2;
      break;
    default: break;
  }
  return -1;
}

// Background, panel and the buttons of the entries.
void DrawMenuPictures() {
  if (MenuInGame == 1) {
    DrawSprite(PauseBackground, 0, 0);
    DrawSpriteKeyed(Spr::PauseMenuPanel, MenuSlide, 21);
  } else {
    DrawSpriteKeyed(Spr::MenuBackground, 0, 0);
    DrawSpriteKeyed(Spr::MenuPanel, MenuSlide, 21);
  }
  for (int e = 0; e < 5; ++e) {
    if (e == 4 && !StoryEntryActive()) continue;
    const EntryRow& row = Entries[e];
    bool down = EntryDown(e) == 1;
    DrawSpriteKeyed(down ? Spr::LargeButtonPressed : Spr::LargeButton, MenuSlide + row.buttonX,
                    row.buttonY + (down ? PressedDrop : 0));
  }
}

// The labels in the order 1, 5, 2, 3, 4, then the typed text.
void DrawMenuTexts() {
  if (!BeginText()) return;
  SelectFont(Font::Large);
  SetTextBackground(1);
  for (int e : {0, 4, 1, 2, 3}) {
    if (e == 4 && !StoryEntryActive()) continue;
    const EntryRow& row = Entries[e];
    int drop = EntryDown(e) == 1 ? PressedDrop : 0;
    DrawTextAt(MenuSlide + row.labelX, row.labelY + drop,
               Translate(MenuInGame == 1 ? row.pauseLabel : row.label), LabelColour);
  }
  DrawTextAt(300, 450, MenuTyped, Rgb(255, 255, 255));
  EndText();
}

// The open quit question, one frame: "Ja" ends the program, "Nein" closes it.
void AskQuit() {
  if (QuitAsked != 1) return;
  CurrentScreen = Screen::Quit;
  int answer = ConfirmQuit(Translate("Spiel beenden?"), "!exit");
  if (answer == 355) EndProgram(0);
  if (answer != 356) return;
  QuitAsked = 0;
  CurrentScreen = MenuInGame == 1 ? Screen::PauseMenu : Screen::MainMenu;
}

// Typed characters join the command text; Return applies it, Back removes a character.
void ReadTypedCommand() {
  MenuTyped += TypedText();
  if (KeyDown(Key::Return)) {
    RunTypedCommand();
  } else if (KeyReleased(Key::Backspace) && !MenuTyped.empty()) {
    MenuTyped.pop_back();
  }
}

// The "-"-separated field n (from 0) of a text, "" when there is none.
std::string DashField(const std::string& text, int n) {
  size_t start = 0;
  for (int i = 0; i < n; ++i) {
    size_t dash = text.find('-', start);
    if (dash == std::string::npos) return "";
    start = dash + 1;
  }
  size_t end = text.find('-', start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

// Story progress from the first line of Saves\Story.save (0 without the file).
void ReadStoryProgress() {
  StoryProgress = 0;
  if (!OpenFileForReading(2, "Saves\\Story.save")) return;
  StoryProgress = ParseInt(ReadTextLine(2));
  CloseFileNumber(2);
}

// Drawn over the last picture, without clearing.
void DrawMainMenuScreen() {
  DrawMenuPictures();
  DrawMenuTexts();
}

// Full screen: the captured device; windowed: the pointer in the window. In a window the
// design reads only "went down since the last frame", which would make holding the button
// (key binding, volume) impossible there, so a held button counts as well.
void ReadMouse() {
  UseGamepadAsPointer();  // a pad drives the pointer in every pointer menu
  if (WindowedMode != 1) {
    ReadMouseDevice();
    MouseState.x = MouseDeviceX();
    MouseState.y = MouseDeviceY();
    MouseState.button = uint8_t(MouseDeviceButton(1));
    return;
  }
  int wentDown = WindowMouseButtonWentDown();
  int held = WindowMouseButtonHeld();
  MouseState.x = WindowPointerX();
  MouseState.y = WindowPointerY();
  MouseState.button = uint8_t(wentDown || held ? 1 : 0);
}

// Pixel-exact: the pointer picture against each button picture at its place.
int ButtonUnderPointer(const MenuButton* buttons, int count) {
  for (int i = 0; i < count; ++i)
    if (SpritesTouch(Spr::Pointer, MouseState.x, MouseState.y, buttons[i].sprite, buttons[i].x,
                     buttons[i].y))
      return i;
  return -1;
}

// Held over a button: that button alone is pressed, and clicks (every such frame).
// Released over a pressed button: the click is complete. Off all buttons with the mouse
// button up: nothing stays pressed; held, the pressed state stays (so coming back and
// releasing still clicks), unless the screen clears it.
int ClickRule(const MenuButton* buttons, int count, bool clearWhenMissedHeld) {
  int hit = ButtonUnderPointer(buttons, count);
  auto clearAll = [&] {
    for (int i = 0; i < count; ++i) *buttons[i].down = 0;
  };
  if (hit < 0) {
    if (MouseState.button == 0 || clearWhenMissedHeld) clearAll();
    return -1;
  }
  if (MouseState.button != 0) {
    clearAll();
    *buttons[hit].down = 1;
    PlaySoundFx(Snd::Click, 0);
    return -1;
  }
  if (*buttons[hit].down != 1) return -1;
  clearAll();
  return hit;
}

// The game draws its pointer in full screen; a window shows the system one.
void DrawMousePointer() {
  if (WindowedMode != 1) DrawSpriteKeyed(Spr::Pointer, MouseState.x, MouseState.y);
}

// A window (or an inactive full screen) serves its events every 5 ms; closing it ends
// the program at once, without saving anything.
void ServeWindowEvents() {
  int event = PollWindowEvent();
  SleepMs(5);
  if (event == WindowEventClose) EndProgram(0);
}

// The end of every menu frame: a window serves its events, and so does a full screen in
// the back, whose frames neither draw nor flip and would otherwise spin without a pause.
void ServeMenuWindow(bool focused) {
  if (WindowedMode == 1 || !focused) ServeWindowEvents();
}

bool StoryEntryActive() { return MenuInGame == 1 || StoryProgress > 0; }

// The typed commands, compared whole and case-sensitive; the map command compares its
// first "-"-separated field. A text that matches none stays as it is.
void RunTypedCommand() {
  if (DashField(MenuTyped, 0) == "etage") {
    StartMap = ParseInt(DashField(MenuTyped, 1));
    MenuTyped = "^^";
  } else if (MenuTyped == "hand-out") {
    PlayerRecord& p = P();
    p.hasSword = p.spell1Known = p.spell2Known = p.spell3Known = p.spell4Known = 1;
    MenuTyped = "^^";
  } else if (MenuTyped == "pilo") {
    CheatFastRun = 1;
    MenuTyped = "^^";
  } else if (MenuTyped == "fein") {
    CheatInvincible = 1;
    MenuTyped = "^^";
  } else if (MenuTyped == "Stahl_Kante") {
    CheatAutoFire = 1;
    MenuTyped = "o_O";
  }
}

// Every call slides in afresh with an empty typed text: what was typed before the menu
// opened (letters pressed in play, where the sword and throw keys are letters) is dropped.
void MainMenuEnter(int inGame) {
  MenuInGame = inGame;
  MenuResult = 0;
  QuitAsked = 0;
  MenuSlide = SlideStart;
  StoryDown = 0;
  StoryChosen = 0;
  MenuTyped.clear();
  TypedText();
  ReadStoryProgress();
  StartMenuMusic();
  if (WindowedMode != 1) SetMouseCaptured(true);
}

// Slide, input, entries, drawing, the quit question, typed commands, flip. The frame of
// an inactive screen only serves the window events.
int MainMenuFrame() {
  if (MenuSlide < 0) MenuSlide += SlideStep;
  bool focused = ScreenHasFocus() != 0;
  if (focused) {
    CurrentScreen = MenuInGame == 1 ? Screen::PauseMenu : Screen::MainMenu;
    ReadKeyboard();
    ReadMouse();
    int entry = HandleEntryClicks();
    if (entry >= 0 && RunEntry(entry) == 0) return 0;
    DrawMainMenuScreen();
    AskQuit();
    ReadTypedCommand();
    DrawMousePointer();
    FlipScreen();
    ClearBackBuffer(0);
  }
  ServeMenuWindow(focused);
  return -1;
}

// Pause menu: "Abbrechen" ends the game. Main menu: the story entry continues it.
int MainMenuLeave() {
  ContinueStory = 0;
  if (MenuInGame == 1) {
    if (StoryChosen == 1) {
      P().mapDone = 1;
      GameOver = 1;
    }
  } else if (StoryChosen == 1 || MenuResult == 2) {
    ContinueStory = 1;
  }
  StartPlayMusic();
  if (WindowedMode == 1) SetMouseCaptured(false);
  return 1;
}

// The menu's frame loop until an entry leaves to play or a screen was shown.
int MainMenu(int inGame) {
  MainMenuEnter(inGame);
  do {
    if (MainMenuFrame() == 0) return 0;
  } while (MenuResult == 0 && StoryChosen == 0);
  return MainMenuLeave();
}

}  // namespace kw
