// kwtool script: needs the script parser of the game, which is not built yet.
#include <cstdio>

#include "kwtool.h"

namespace kwtool {

int ScriptCommand(const Args&) {
  std::fprintf(stderr, "kwtool script: this build has no script parser yet\n");
  return 2;
}

}  // namespace kwtool
