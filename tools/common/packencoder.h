// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The pack compressor: streams, entries and whole pack files in the format the game's
// pack reader (media/pack.h) decodes. Only the tools write packs; the game reads them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kw {

// A compressed stream for data (magic, size, checksum, bit stream).
std::vector<uint8_t> EncodePackStream(const uint8_t* data, size_t size);
// One whole pack entry (U, P, stored bytes): compressed when that is smaller, else
// stored; compress = false always stores.
std::vector<uint8_t> EncodePackEntry(const uint8_t* data, size_t size, bool compress = true);
// Writes a whole pack file (a real path, not a game path) from the entries' plain
// data, each through EncodePackEntry, via a temporary name; false on failure.
bool WritePackFile(const std::string& path, const std::vector<std::vector<uint8_t>>& entries,
                   bool compress = true);

}  // namespace kw
