// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Pack files: a plain sequence of entries (unpacked size, stored size, stored bytes),
// each stored or compressed with the pack stream format. One pack is open at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kw {

int OpenPack(const std::string& path);     // game path; 1 on success
const uint8_t* NextPackEntry();            // U decoded bytes, valid until the next call
size_t LastPackEntrySize();                // U of the last entry read, 0 after a null
// True once NextPackEntry has passed the pack's last entry (or no pack is open): a null
// from NextPackEntry is either this end or one damaged entry that was stepped over.
bool PackEnded();
void ClosePack();

// Decodes one compressed stream of streamSize bytes into output (room for outputSize
// bytes). Result: bytes written, or 0 when the checksum does not match. Never reads
// or writes outside the two buffers.
size_t DecodePackStream(const uint8_t* stream, size_t streamSize, uint8_t* output,
                        size_t outputSize);
uint32_t PackChecksum(const uint8_t* data, size_t size);

}  // namespace kw
