// Menus: main menu (also the pause menu), new game, options, quit confirmation and
// highscore. Called by the shell's start-up and map end and by the player control.
#pragma once

namespace kw {

// inGame 0 = main menu, 1 = pause menu; 1 = leave to play.
int MainMenu(int inGame);
// Mode and difficulty of a new game.
int NewGameMenu();
// Name entry after a game, or the list.
int HighscoreScreen();
// Volume and key bindings.
int OptionsScreen();
// "Ja" (355) or "Nein" (356).
int ConfirmQuit();

}  // namespace kw
