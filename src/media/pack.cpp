// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Pack files: reading a pack entry by entry and the stream decompressor.
// The resource loader (loader thread) is the only caller of OpenPack/NextPackEntry;
// kwtool and the benchmark call DecodePackStream directly.
#include "media/pack.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "media/core.h"
#include "media/files.h"

namespace kw {

namespace {

// Entries larger than this are treated as damage: no game picture or sound comes close,
// and a damaged header must not make us allocate gigabytes.
constexpr uint32_t MaxPackEntrySize = 256u << 20;
// A compressed entry's output starts this large (or at its unpacked size when smaller)
// and grows with what the stream really writes: the format puts no bound on how far a
// few stored bytes expand (a long run of silence packs a thousand-fold and more), so
// the unpacked size a header claims is only a limit, never an allocation.
constexpr size_t FirstOutputRoom = 64u << 10;
constexpr size_t StreamHeaderSize = 10;

std::FILE* PackFile = nullptr;  // the open pack, null when none
uint64_t PackFileLength = 0;       // measured once when the pack is opened
bool PackAtEnd = true;             // no pack open, or its last entry was passed
uint8_t* PackEntryData = nullptr;  // the last entry's decoded bytes
size_t PackEntrySize = 0;          // U of the last entry

uint32_t Load32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Reads the bit stream: 32-bit little-endian words, each from its top bit down.
// Bits past the end of the stream read as 0; `Overrun` tells when that happened so
// the decoder can stop instead of trusting invented bits.
struct BitReader {
  const uint8_t* next;
  const uint8_t* end;
  uint64_t buffer = 0;   // unread bits, left-aligned
  int count = 0;         // number of unread bits in buffer
  uint64_t consumed = 0; // bits read so far
  uint64_t total = 0;    // bits the stream really holds (whole words, a partial one padded)

  BitReader(const uint8_t* begin, const uint8_t* stop) : next(begin), end(stop) {
    total = uint64_t((end - next + 3) / 4) * 32;
  }

  void Refill() {
    while (count <= 32) {
      uint32_t word = 0;
      if (end - next >= 4) {
        word = Load32(next);
        next += 4;
      } else if (next < end) {
        uint8_t tail[4] = {0, 0, 0, 0};
        std::memcpy(tail, next, size_t(end - next));
        word = Load32(tail);
        next = end;
      }
      buffer |= uint64_t(word) << (32 - count);
      count += 32;
    }
  }

  // n in 0..32
  uint32_t Read(int n) {
    if (n == 0) return 0;
    if (count < n) Refill();
    uint32_t value = uint32_t(buffer >> (64 - n));
    buffer <<= n;
    count -= n;
    consumed += unsigned(n);
    return value;
  }

  uint32_t Bit() {
    if (count == 0) Refill();
    uint32_t value = uint32_t(buffer >> 63);
    buffer <<= 1;
    --count;
    ++consumed;
    return value;
  }

  bool Overrun() const { return consumed > total; }

  // Value >= 2 as (data bit, continue bit) pairs after an implicit leading 1.
  // A damaged stream could make it grow without end; anything this large is damage.
  uint64_t Gamma() {
    uint64_t value = 1;
    do {
      if (count < 2) Refill();
      value = value * 2 + (buffer >> 63);
      buffer <<= 1;
      --count;
      ++consumed;
      if (value >= (uint64_t(1) << 40)) return value;
    } while (Bit());
    return value;
  }
};

// Extra length a long match gets for free, by how far back it reaches.
uint64_t LongMatchBonus(uint64_t offset) {
  if (offset <= 127) return 4;
  if (offset < 639) return 0;
  if (offset < 14335) return 1;
  if (offset < 65536) return 2;
  return 3;
}

// The output side of the decoder: never writes past its end nor reads before its start.
// A growing output (one made by NextPackEntry, its block from malloc) holds `size`
// bytes now and is enlarged as writes need it, up to `limit`; a fixed one has size = limit.
struct Output {
  uint8_t* data;
  size_t size;
  size_t limit = size;
  bool growing = false;
  size_t pos = 0;

  // Room for n more bytes (n <= limit - pos): doubles the block, at most to the limit
  // (one spare byte kept past it). False when memory runs out.
  bool Grow(size_t n) {
    if (!growing) return false;
    size_t room = std::min(std::max(size * 2, pos + n), limit);
    uint8_t* bigger = static_cast<uint8_t*>(std::realloc(data, room + 1));
    if (!bigger) return false;
    data = bigger;
    size = room;
    return true;
  }

  bool Put(uint8_t value) {
    if (pos >= size && (pos >= limit || !Grow(1))) return false;
    data[pos++] = value;
    return true;
  }

  // Copies length bytes from offset back (the source may overlap the bytes being
  // written). False when the copy had to be cut short: the stream is damaged.
  bool Copy(uint64_t offset, uint64_t length) {
    if (offset == 0 || offset > pos) return false;
    bool whole = length <= limit - pos;
    size_t n = whole ? size_t(length) : limit - pos;
    if (n > size - pos && !Grow(n)) return false;
    uint8_t* dst = data + pos;
    const uint8_t* src = dst - offset;
    if (offset == 1) {
      std::memset(dst, *src, n);
    } else if (offset >= 8) {
      size_t i = 0;
      for (; i + 8 <= n; i += 8) std::memcpy(dst + i, src + i, 8);
      for (; i < n; ++i) dst[i] = src[i];
    } else {
      for (size_t i = 0; i < n; ++i) dst[i] = src[i];
    }
    pos += n;
    return whole;
  }
};

// Runs the commands of the bit stream until the end code or damage; returns the
// number of bytes written.
size_t DecodeBits(BitReader& in, Output& out) {
  uint64_t lastOffset = 1;
  int indexWidth = 8;
  int literalWidth = 8;
  uint32_t literalBase = 0;
  for (;;) {
    bool ok = true;
    if (in.Bit()) {  // literal
      uint32_t value = in.Read(literalWidth) + literalBase;
      if (in.Overrun()) break;
      ok = out.Put(uint8_t(value));
    } else if (in.Bit()) {  // long match
      uint64_t g = in.Gamma();
      uint64_t offset = lastOffset;
      uint64_t length;
      if (g == 2) {
        length = in.Gamma();
      } else {
        uint64_t high = g - 3;
        if (indexWidth >= 32 && high != 0) break;  // farther than any output
        uint64_t low = indexWidth > 32 ? (uint64_t(in.Read(indexWidth - 32)) << 32 | in.Read(32))
                                       : in.Read(indexWidth);
        offset = (indexWidth >= 32 ? 0 : high << indexWidth) | low;
        lastOffset = offset;
        length = in.Gamma();
        length += LongMatchBonus(offset);
      }
      if (in.Overrun()) break;
      ok = out.Copy(offset, length);
    } else if (!in.Bit()) {  // short match, end code, index width
      uint32_t offset = in.Read(7);
      uint32_t length = in.Read(2) + 2;
      if (offset != 0) {
        if (in.Overrun()) break;
        lastOffset = offset;
        ok = out.Copy(offset, length);
      } else if (length == 2) {
        break;
      } else {
        indexWidth = int(in.Read(int(length) + 1));
      }
    } else {  // one-byte commands, raw blocks, literal width
      uint32_t v = in.Read(4);
      if (v == 1) {
        if (in.Overrun()) break;
        ok = out.Put(0);
      } else if (v >= 2) {
        if (in.Overrun()) break;
        ok = out.Copy(v - 1, 1);
      } else if (in.Bit()) {
        do {
          for (int i = 0; i < 256 && ok; ++i) {
            uint32_t value = in.Read(8);
            ok = !in.Overrun() && out.Put(uint8_t(value));
          }
        } while (ok && in.Bit());
      } else {
        literalWidth = 7 + int(in.Bit());
        literalBase = literalWidth == 7 ? in.Read(8) : 0;
      }
    }
    if (!ok || in.Overrun()) break;
  }
  return out.pos;
}

void ReleaseEntry() {
  std::free(PackEntryData);
  PackEntryData = nullptr;
}

bool ReadExactly(uint8_t* data, size_t size) {
  return size == 0 || std::fread(data, 1, size, PackFile) == size;
}

// The file's length, or -1 when it cannot be measured (then it is no pack for us).
long MeasureLength(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  long length = std::ftell(file);
  if (std::fseek(file, 0, SEEK_SET) != 0) return -1;
  return length;
}

// Reads P stored bytes into U decoded bytes (one spare byte so an empty entry still has
// a non-null block, from malloc); null when memory runs out, the read fails, or the
// stream ends before its U bytes (it is damaged, and what it claims is not believed).
// A checksum mismatch is no reason: the bytes are used as they are.
uint8_t* ReadEntryData(uint32_t unpacked, uint32_t stored) {
  if (stored == unpacked) {
    uint8_t* data = static_cast<uint8_t*>(std::malloc(size_t(unpacked) + 1));
    if (data && ReadExactly(data, stored)) return data;
    std::free(data);
    return nullptr;
  }
  uint8_t* packed = static_cast<uint8_t*>(std::malloc(size_t(stored) + 1));
  if (!packed || !ReadExactly(packed, stored) || stored < StreamHeaderSize ||
      packed[0] != 'Q' || packed[1] != 'Z') {
    std::free(packed);
    return nullptr;
  }
  size_t first = std::min<size_t>(unpacked, FirstOutputRoom);
  Output out{static_cast<uint8_t*>(std::malloc(first + 1)), first, unpacked, true};
  if (out.data) {
    BitReader in(packed + StreamHeaderSize, packed + stored);
    DecodeBits(in, out);
  }
  std::free(packed);
  if (out.pos == unpacked) return out.data;
  std::free(out.data);
  return nullptr;
}

}  // namespace

uint32_t PackChecksum(const uint8_t* data, size_t size) {
  uint32_t sum = 0;
  if (size < 4) return 0;
  auto mix = [&sum](uint32_t x) {
    sum += x;
    uint32_t y = (x << 1) + 1 + (x >> 31);
    sum ^= y;
  };
  size_t i = 0;
  for (; i + 4 <= size; i += 4) mix(Load32(data + i));
  // The tail word overlaps the previous one on purpose: it is the data's last 4 bytes.
  if (i < size) mix(Load32(data + size - 4));
  return sum;
}

size_t DecodePackStream(const uint8_t* stream, size_t streamSize, uint8_t* output,
                        size_t outputSize) {
  if (streamSize < StreamHeaderSize) return 0;
  size_t written = 0;
  if (stream[0] == 'Q' && stream[1] == 'Z') {
    BitReader in(stream + StreamHeaderSize, stream + streamSize);
    Output out{output, outputSize};
    written = DecodeBits(in, out);
  }
  uint32_t checksum = Load32(stream + 6);
  if (checksum == 0) return written;
  size_t covered = Load32(stream + 2);
  if (covered > outputSize) covered = outputSize;
  return PackChecksum(output, covered) == checksum ? written : 0;
}

int OpenPack(const std::string& path) {
  ClosePack();
  std::string real = !path.empty() && path[0] == '/' ? path : ResolveForReading(path);
  if (real.empty()) return 0;
  PackFile = std::fopen(real.c_str(), "rb");
  if (!PackFile) return 0;
  long length = MeasureLength(PackFile);
  if (length < 0) {
    ClosePack();
    return 0;
  }
  PackFileLength = uint64_t(length);
  PackAtEnd = false;
  return 1;
}

// A refused entry (too large, or no memory for it) is stepped over so the entries after
// it keep their numbers; an entry cut short by the file's end is the end of the pack.
const uint8_t* NextPackEntry() {
  QuitRequested();  // each entry read is progress, not a stall
  ReleaseEntry();
  PackEntrySize = 0;
  if (!PackFile || PackAtEnd) return nullptr;
  uint8_t header[8];
  long here = std::ftell(PackFile);
  if (here < 0 || std::fread(header, 1, 8, PackFile) != 8) {
    PackAtEnd = true;
    return nullptr;
  }
  uint32_t unpacked = Load32(header), stored = Load32(header + 4);
  uint64_t dataStart = uint64_t(here) + 8;
  if (dataStart > PackFileLength || stored > PackFileLength - dataStart) {
    PackAtEnd = true;
    return nullptr;
  }
  uint8_t* data = nullptr;
  if (unpacked <= MaxPackEntrySize && stored <= MaxPackEntrySize) data = ReadEntryData(unpacked, stored);
  if (!data) {
    if (std::fseek(PackFile, long(dataStart + stored), SEEK_SET) != 0) PackAtEnd = true;
    return nullptr;
  }
  PackEntryData = data;
  PackEntrySize = unpacked;
  return data;
}

bool PackEnded() { return PackAtEnd; }

size_t LastPackEntrySize() { return PackEntrySize; }

void ClosePack() {
  if (PackFile) std::fclose(PackFile);
  PackFile = nullptr;
  PackFileLength = 0;
  PackAtEnd = true;
  ReleaseEntry();
  PackEntrySize = 0;
}

}  // namespace kw
