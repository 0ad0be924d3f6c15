// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Inside the media layer: a fault that makes the file service's writes fail the way a
// full disk or a refused rename would, so tests can check what a failed write leaves
// behind. Not for game code.
#pragma once

namespace kw {

// The step of a write that fails: creating the temporary file, writing its bytes (half
// of them reach the disk, then the disk is full), or the rename into place.
enum class WriteFault { None, Create, Write, Rename };

// The write step of that kind that comes after `after` more successful ones fails, once;
// the steps after it succeed again. WriteFault::None takes a fault back.
void SetWriteFault(WriteFault fault, int after = 0);
// True while a fault is set and has not hit yet.
bool WriteFaultPending();

}  // namespace kw
