// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The run's options: what the command line asked of the media layer, the program
// arguments, and whether the media layer has started. InitMedia and ShutdownMedia
// (run.cpp) set them; the rest of the media layer reads them.
#include "media/core.h"
#include "media/options_internal.h"

namespace kw {

namespace {

MediaOptions TheOptions;
bool Started = false;  // InitMedia succeeded and ShutdownMedia has not run since

}  // namespace

void SetMediaOptions(const MediaOptions& options) { TheOptions = options; }
bool MediaStarted() { return Started; }
void SetMediaStarted(bool started) { Started = started; }

const MediaOptions& Options() { return TheOptions; }
bool IsHeadless() { return TheOptions.headless; }

std::string ProgramArgument(int n) {
  if (n < 0 || size_t(n) >= TheOptions.programArguments.size()) return "";
  return TheOptions.programArguments[n];
}

}  // namespace kw
