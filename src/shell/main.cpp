// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Program entry of klingenwald: reads the command line, finds the game folder and the
// user folder, starts the media layer and hands over to the game's start-up.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "media/media.h"
#include "shell/shell.h"

namespace {

const char* const Licence =
    "Copyright (C) 2026 the Klingenwald developers\n"
    "License GPL-3.0-or-later: GNU GPL version 3 or later <https://www.gnu.org/licenses/gpl.html>\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

const char* const Usage =
    "Usage: klingenwald [WINDOW [DEBUG]] [options]\n"
    "\n"
    "  WINDOW            1 = play in a window, anything else = full screen\n"
    "  DEBUG             1 = debug settings while playing\n"
    "\n"
    "Options:\n"
    "  --help            this text\n"
    "  --version         the version and the licence\n"
    "  --data DIR        the game folder (default: $KLINGENWALD_DATA, then\n"
    "                    ../share/klingenwald, ../share/games/klingenwald or\n"
    "                    game/ beside the program)\n"
    "  --user DIR        the user folder for Setup.ini, Saves and Temp\n"
    "                    (default: $XDG_DATA_HOME/klingenwald or ~/.local/share/klingenwald;\n"
    "                    a file named portable beside the program keeps them beside it)\n"
    "  --scaling MODE    sharp (crisp pixels at any size, the default) or integer\n"
    "                    (whole multiples only); remembered for the next runs\n"
    "  --lang CODE       the language of the game's texts: de (German, the game's\n"
    "                    own) or en (English); default: the locale (LANGUAGE, LC_ALL,\n"
    "                    LC_MESSAGES, LANG), German where no translation exists\n"
    "Alt+Enter switches between a window and full screen at any time.\n"
    "For tests and bug reports:\n"
    "  --headless        no window, no sound, virtual time; runs as fast as it can\n"
    "  --vblank HZ       with --headless: the clock runs as on a display of HZ\n"
    "                    (1 to 1000, e.g. 144 or 59.94), vsync as the game would choose\n"
    "  --seed N          seed of the random numbers\n"
    "  --replay FILE     play the input recorded in FILE\n"
    "  --record FILE     record the input to FILE\n"
    "  --frames N        end after N frames\n"
    "  --screenshot F    write the last picture to the PNG file F at the end\n"
    "  --state F         write the game state as JSON to F at the end\n";

// A refresh rate in Hz as mHz: 1 to 1000 Hz with up to three decimals; 0 when not one.
int ParseRefreshMilliHz(const std::string& v) {
  char* end = nullptr;
  double hz = std::strtod(v.c_str(), &end);
  if (v.empty() || end != v.c_str() + v.size() || !(hz >= 1 && hz <= 1000)) return 0;
  return int(std::lround(hz * 1000));
}

bool ParseCommandLine(int argc, char** argv, kw::MediaOptions& o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "klingenwald: %s needs a value\n", a.c_str());
        return false;
      }
      out = argv[++i];
      return true;
    };
    std::string v;
    if (a == "--help") { std::fputs(Usage, stdout); std::exit(0); }
    else if (a == "--version") {
      std::printf("klingenwald %s\n%s", KW_VERSION, Licence);
      std::exit(0);
    }
    else if (a == "--headless") o.headless = true;
    else if (a == "--data") { if (!value(o.dataDir)) return false; }
    else if (a == "--user") { if (!value(o.userDir)) return false; }
    else if (a == "--lang") { if (!value(o.language)) return false; }
    else if (a == "--replay") { if (!value(o.replayPath)) return false; }
    else if (a == "--record") { if (!value(o.recordPath)) return false; }
    else if (a == "--screenshot") { if (!value(o.screenshotPath)) return false; }
    else if (a == "--state") { if (!value(o.statePath)) return false; }
    else if (a == "--seed") {
      if (!value(v)) return false;
      o.seedGiven = true;
      o.seed = uint32_t(std::strtoul(v.c_str(), nullptr, 10));
    } else if (a == "--scaling") {
      if (!value(v)) return false;
      if (v != "sharp" && v != "integer") {
        std::fprintf(stderr, "klingenwald: --scaling is sharp or integer\n");
        return false;
      }
      o.scaling = v == "sharp" ? kw::ScalingSharp : kw::ScalingInteger;
    } else if (a == "--vblank") {
      if (!value(v)) return false;
      if ((o.vblankMilliHz = ParseRefreshMilliHz(v)) == 0) {
        std::fprintf(stderr, "klingenwald: --vblank is a refresh rate from 1 to 1000 Hz\n");
        return false;
      }
    } else if (a == "--frames") {
      if (!value(v)) return false;
      o.frames = std::strtol(v.c_str(), nullptr, 10);
    } else if (a.rfind("--", 0) == 0) {
      std::fprintf(stderr, "klingenwald: unknown option %s (see --help)\n", a.c_str());
      return false;
    } else {
      o.programArguments.push_back(a);
    }
  }
  if (o.vblankMilliHz && !o.headless) {
    std::fprintf(stderr, "klingenwald: --vblank models a display for --headless runs only\n");
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  kw::MediaOptions options;
  if (!ParseCommandLine(argc, argv, options)) return 2;
  // Before anything is shown, a fatal message included.
  kw::StartTranslations(kw::FindLocaleFolder(), options.language);
  std::string tried;
  options.dataDir = kw::FindGameFolder(options.dataDir, tried);
  if (!kw::IsGameFolder(options.dataDir)) {
    std::fprintf(stderr,
                 "klingenwald: no game folder found (looked in: %s).\n"
                 "Build it with ./play, or pass its place with --data DIR.\n",
                 tried.c_str());
    return 1;
  }
  options.userDir = kw::FindUserFolder(options.userDir);
  if (!kw::InitMedia(options)) {
    std::fprintf(stderr, "klingenwald: the media layer could not start\n");
    return 1;
  }
  kw::GameMain();
  kw::EndProgram(0);
}
