// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Inside the media layer: the replay and the recording (replay.cpp) as a new run
// (run.cpp) opens them and the event pump (events.cpp) plays and writes them.
// Not for game code.
#pragma once

#include <string>

namespace kw {

// Reads a --replay file; false (with a message) when it cannot be read or a line is no
// event.
bool LoadReplay(const std::string& path);
// Forgets the replay's events not yet applied (a new run).
void ClearReplay();
// Applies the replay's events due at the current flip; the event pump calls it.
void ApplyReplayEvents();
// One line of the --record file, numbered with the current flip (nothing without one).
void RecordLine(const std::string& text);
// Starts the --record file with its comment line; false (with a message) on failure.
bool OpenRecording(const std::string& path);
void CloseRecording();

}  // namespace kw
