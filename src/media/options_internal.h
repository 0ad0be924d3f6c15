// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Inside the media layer: the run's options and whether the media layer runs, as
// InitMedia and ShutdownMedia (run.cpp) set them. Not for game code.
#pragma once

#include "media/core.h"

namespace kw {

// Keeps the options of a new run (InitMedia); Options() hands them out.
void SetMediaOptions(const MediaOptions& options);
// True between a successful InitMedia and ShutdownMedia: SDL is up.
bool MediaStarted();
void SetMediaStarted(bool started);

}  // namespace kw
