// Definitions and start values of the menu state declared in menus.h, and the reading
// of the highscore file that the start-up and every map load do.
#include "media/media.h"
#include "menus/menus.h"

namespace kw {

// Whole run.
int32_t StartMap;
int32_t ContinueStory;
std::string NameInput;
std::array<HighscoreEntry, 9> Highscores;

void ResetMenusRun() {
  StartMap = 1;
  ContinueStory = 0;
  NameInput.clear();
  Highscores.fill(HighscoreEntry{});
}

void ReadHighscoreTable() {
  if (!OpenFileForReading(0, "Saves\\Savescore.save")) return;
  for (int i = 1; i <= 6; ++i) {
    Highscores[i].points = int16_t(ParseInt(ReadTextLine(0)));
    Highscores[i].name = ReadTextLine(0);
  }
  CloseFileNumber(0);
}

void ReadBestScore() {
  if (!OpenFileForReading(0, "Saves\\Savescore.save")) return;
  BestScore = ReadTextLine(0);
  NameInput = ReadTextLine(0);
  CloseFileNumber(0);
}

}  // namespace kw
