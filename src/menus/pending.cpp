// Menu screens whose parts are not built yet; each moves to its own file when it lands.
// Until then start-up goes straight to a free game on the first difficulty.
#include "menus/menus.h"

namespace kw {

// The main menu part is not built yet: start at once.
int MainMenu(int) {
  CurrentMap = StartMap;
  return 1;
}

// The new-game part is not built yet: a free game, "Leicht".
int NewGameMenu() {
  CurrentScreen = Screen::NewGame;
  StoryMode = 0;
  TimeMatch = 0;
  ContinueStory = 0;
  TimeBonus = 20;
  MaxHealth = 400;
  CurrentMap = 1;
  return 0;
}

int HighscoreScreen() { return 0; }  // the highscore part is not built yet
int OptionsScreen() { return 0; }    // the options part is not built yet
int ConfirmQuit() { return MenuCode::No; }    // the quit confirmation part is not built yet: "Nein"

}  // namespace kw
