// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwtool text: the texts of the game data for the translators. "extract DIR" writes the
// PO template of every text the scripts, cutscenes.ini and Gegner.ini under DIR show, with
// the file and line each comes from; the build merges it with the code's texts into
// po/klingenwald.pot.
#include <cstdio>
#include <string>

#include "kwtool.h"
#include "maptext.h"
#include "textextract.h"

namespace kwtool {

int TextCommand(const Args& args) {
  if (args.size() < 2 || args.size() > 3 || args[0] != "extract") {
    std::fprintf(stderr, "usage: kwtool text extract DIR [OUT.pot]\n");
    return 2;
  }
  std::vector<kwgen::GameDataText> texts;
  std::string error;
  if (!kwgen::ExtractGameTexts(args[1], texts, error)) {
    std::fprintf(stderr, "kwtool text: %s\n", error.c_str());
    return 1;
  }
  const std::string pot = kwgen::GameTextsTemplate(texts);
  if (args.size() == 3) {
    if (!kwmap::WriteFileBytes(args[2], pot)) {
      std::fprintf(stderr, "kwtool text: cannot write %s\n", args[2].c_str());
      return 1;
    }
    return 0;
  }
  std::fwrite(pot.data(), 1, pot.size(), stdout);
  return 0;
}

}  // namespace kwtool
