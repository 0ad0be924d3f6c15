// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Inside the media layer: the quit signals' handlers, installed by InitMedia (run.cpp),
// and whether one came, which the event pump (events.cpp) turns into a close request.
// Not for game code.
#pragma once

namespace kw {

// Installed before SDL starts, so SDL keeps its own handlers out of the way.
void InstallQuitSignals();
// True once SIGTERM or SIGINT arrived.
bool QuitSignalled();

}  // namespace kw
