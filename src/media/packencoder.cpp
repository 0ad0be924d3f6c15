// The pack compressor, used by kwtool and the game-data generator to build pack files.
// The game itself only reads packs. The encoder is an optimal parser: a dynamic
// programme over positions finds the cheapest sequence of stream commands under a
// bit-cost model of every command, with hash chains for match finding. A second
// pass re-parses where 7-bit literals with a base pay for their width command.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "media/pack.h"

namespace kw {

namespace {

constexpr int StartIndexWidth = 8;      // the decoder's index width before any change
// Each is a whole encoding; the smallest stream wins.
constexpr int IndexWidthsTried[] = {8};
constexpr size_t ChunkSize = 1 << 19;   // positions per dynamic programme
constexpr size_t WindowBits = 22;       // matches reach back at most 4 MiB
constexpr size_t WindowSize = size_t(1) << WindowBits;
constexpr int HashBits = 16;
constexpr int ChainDepth = 48;          // hash-chain candidates tried per position
constexpr uint32_t NiceLength = 96;    // a match this long is taken without looking further
constexpr uint32_t MaxLength = 1 << 16; // longest match we emit in one command
constexpr uint32_t RawBlockCost = 3 + 4 + 1 + 256 * 8 + 1;
constexpr uint32_t Infinite = std::numeric_limits<uint32_t>::max();

enum class Step : uint8_t { Literal, Zero, ByteCopy, Short, Repeat, Long, Raw };

// The cheapest known way to reach a position.
struct Node {
  uint32_t cost;
  uint32_t lastOffset;  // the decoder's last offset after this path
  uint32_t length;      // bytes covered by the step that ends here
  uint32_t offset;      // its offset (matches) or its source distance (one-byte copy)
  Step step;
};

int Log2(uint32_t v) { return 31 - __builtin_clz(v); }
uint32_t GammaBits(uint32_t v) { return 2 * uint32_t(Log2(v)); }

uint32_t LongMatchBonus(uint32_t offset) {
  if (offset <= 127) return 4;
  if (offset < 639) return 0;
  if (offset < 14335) return 1;
  if (offset < 65536) return 2;
  return 3;
}

// Bits of a long match's command and offset (the length's gamma comes on top).
uint32_t LongOffsetCost(uint32_t offset, int indexWidth) {
  return 2 + GammaBits((offset >> indexWidth) + 3) + uint32_t(indexWidth);
}

// Writes 32-bit little-endian words, each filled from its top bit down.
struct BitWriter {
  std::vector<uint8_t>& out;
  uint64_t buffer = 0;  // pending bits, right-aligned
  int count = 0;

  void Put(uint32_t value, int n) {
    if (n == 0) return;
    buffer = (buffer << n) | (value & ((uint64_t(1) << n) - 1));
    count += n;
    if (count >= 32) {
      uint32_t word = uint32_t(buffer >> (count - 32));
      count -= 32;
      for (int i = 0; i < 4; ++i) out.push_back(uint8_t(word >> (8 * i)));
    }
  }
  void Gamma(uint32_t v) {
    for (int bit = Log2(v) - 1; bit >= 0; --bit) {
      Put((v >> bit) & 1, 1);
      Put(bit > 0 ? 1 : 0, 1);
    }
  }
  void Flush() {
    if (count > 0) Put(0, 32 - count);
  }
};

struct LiteralMode {
  int width;
  uint8_t base;
  bool operator==(const LiteralMode& o) const { return width == o.width && base == o.base; }
};

struct Match {
  uint32_t length;
  uint32_t offset;
};

// Hash chains over the whole input, restricted to the window.
struct MatchFinder {
  const uint8_t* data;
  size_t size;
  std::vector<int64_t> head = std::vector<int64_t>(size_t(1) << HashBits, -1);
  std::vector<int64_t> pairHead = std::vector<int64_t>(65536, -1);  // last position of each byte pair
  std::vector<int64_t> chain = std::vector<int64_t>(std::min(WindowSize, size + 1), -1);

  uint32_t Hash(size_t i) const {
    uint32_t v = uint32_t(data[i]) | uint32_t(data[i + 1]) << 8 | uint32_t(data[i + 2]) << 16;
    return (v * 2654435761u) >> (32 - HashBits);
  }

  uint32_t Length(size_t i, size_t j, size_t limit) const {
    size_t n = 0;
    while (n + 8 <= limit) {
      uint64_t a, b;
      std::memcpy(&a, data + i + n, 8);
      std::memcpy(&b, data + j + n, 8);
      if (a != b) return uint32_t(n + (__builtin_ctzll(a ^ b) >> 3));
      n += 8;
    }
    while (n < limit && data[i + n] == data[j + n]) ++n;
    return uint32_t(n);
  }

  void Insert(size_t i) {
    if (i + 1 < size) pairHead[size_t(data[i]) | size_t(data[i + 1]) << 8] = int64_t(i);
    if (i + 2 >= size) return;
    uint32_t h = Hash(i);
    chain[i % chain.size()] = head[h];
    head[h] = int64_t(i);
  }

  // Matches at i with strictly growing lengths, nearest first; then inserts i.
  void Find(size_t i, size_t limit, std::vector<Match>& found) {
    found.clear();
    uint32_t best = 1;
    if (i + 1 < size) {
      int64_t j = pairHead[size_t(data[i]) | size_t(data[i + 1]) << 8];
      if (j >= 0 && i - size_t(j) < WindowSize) {
        uint32_t len = Length(i, size_t(j), limit);
        if (len > best) found.push_back({best = len, uint32_t(i - size_t(j))});
      }
    }
    if (i + 2 < size && best < NiceLength) {
      int64_t j = head[Hash(i)];
      for (int depth = 0; j >= 0 && depth < ChainDepth && best < limit; ++depth) {
        if (i - size_t(j) >= WindowSize) break;
        if (data[size_t(j) + best] == data[i + best]) {
          uint32_t len = Length(i, size_t(j), limit);
          if (len > best) {
            found.push_back({best = len, uint32_t(i - size_t(j))});
            if (len >= NiceLength || len >= limit) break;
          }
        }
        int64_t next = chain[size_t(j) % chain.size()];
        if (next >= j) break;  // the slot was reused by a newer position
        j = next;
      }
    }
    Insert(i);
  }
};

// Everything one parse needs: the input, the literal cost per position and the
// literal mode planned per position (for the second pass).
struct Parser {
  const uint8_t* data;
  size_t size;
  int indexWidth;
  std::vector<uint8_t> literalCost;  // per position
  std::vector<Node> nodes;
  std::vector<Match> found;

  void Relax(size_t to, uint32_t cost, uint32_t lastOffset, uint32_t length, uint32_t offset,
             Step step, size_t base) {
    Node& n = nodes[to - base];
    if (cost < n.cost) n = {cost, lastOffset, length, offset, step};
  }

  // Adds every way on from position i (chunk [base, end)); returns how far a very long
  // match lets the parse skip ahead.
  size_t Expand(size_t i, size_t base, size_t end, MatchFinder& finder) {
    const Node& here = nodes[i - base];
    const uint32_t c = here.cost, last = here.lastOffset;
    const size_t limit = std::min<size_t>(end - i, MaxLength);
    Relax(i + 1, c + literalCost[i], last, 1, 0, Step::Literal, base);
    if (data[i] == 0) Relax(i + 1, c + 7, last, 1, 0, Step::Zero, base);
    for (uint32_t k = 1; k <= 14 && k <= i; ++k) {
      if (data[i - k] == data[i]) {
        Relax(i + 1, c + 7, last, 1, k, Step::ByteCopy, base);
        break;
      }
    }
    if (i + 256 <= end) Relax(i + 256, c + RawBlockCost, last, 256, 0, Step::Raw, base);
    uint32_t repLength = last <= i ? finder.Length(i, i - last, limit) : 0;
    finder.Find(i, limit, found);
    uint32_t longest = found.empty() ? 0 : found.back().length;
    if (repLength >= NiceLength || longest >= NiceLength) {
      if (repLength >= longest) {
        Relax(i + repLength, c + 4 + GammaBits(repLength), last, repLength, last, Step::Repeat, base);
        return i + repLength;
      }
      const Match& m = found.back();
      Relax(i + m.length, c + LongOffsetCost(m.offset, indexWidth) + GammaBits(m.length - LongMatchBonus(m.offset)),
            m.offset, m.length, m.offset, Step::Long, base);
      return i + m.length;
    }
    for (uint32_t len = 2; len <= repLength; ++len)
      Relax(i + len, c + 4 + GammaBits(len), last, len, last, Step::Repeat, base);
    uint32_t covered = 1;
    for (const Match& m : found) {
      if (m.offset <= 127) {
        for (uint32_t len = std::max<uint32_t>(covered + 1, 2); len <= std::min<uint32_t>(m.length, 5); ++len)
          Relax(i + len, c + 12, m.offset, len, m.offset, Step::Short, base);
      }
      uint32_t bonus = LongMatchBonus(m.offset);
      uint32_t offsetCost = c + LongOffsetCost(m.offset, indexWidth);
      for (uint32_t len = std::max(covered + 1, bonus + 2); len <= m.length; ++len)
        Relax(i + len, offsetCost + GammaBits(len - bonus), m.offset, len, m.offset, Step::Long, base);
      covered = m.length;
    }
    return i + 1;
  }

  // Parses [base, end) starting with the given last offset; appends the steps taken
  // as (end position, node) pairs in order.
  void ParseChunk(size_t base, size_t end, uint32_t& lastOffset, MatchFinder& finder,
                  std::vector<Node>& steps) {
    nodes.assign(end - base + 1, Node{Infinite, 0, 0, 0, Step::Literal});
    nodes[0].cost = 0;
    nodes[0].lastOffset = lastOffset;
    size_t skipUntil = base;
    for (size_t i = base; i < end; ++i) {
      if (i < skipUntil) {
        finder.Insert(i);
        continue;
      }
      skipUntil = Expand(i, base, end, finder);
    }
    size_t first = steps.size();
    for (size_t p = end; p > base; p -= nodes[p - base].length) steps.push_back(nodes[p - base]);
    std::reverse(steps.begin() + long(first), steps.end());
    lastOffset = nodes[end - base].lastOffset;
  }

  std::vector<Node> Parse() {
    MatchFinder finder{data, size};
    std::vector<Node> steps;
    uint32_t lastOffset = 1;
    for (size_t base = 0; base < size; base += ChunkSize)
      ParseChunk(base, std::min(size, base + ChunkSize), lastOffset, finder, steps);
    return steps;
  }
};

// Does value fit the 7-bit window starting at base?
bool Fits(uint8_t value, uint8_t base) { return uint8_t(value - base) < 128; }

// Plans 7-bit literal windows from a first parse: runs of literals whose values stay
// within 128 of each other get a window when they save more than the width commands
// cost. Returns the mode per position (width 8 elsewhere).
std::vector<LiteralMode> PlanLiteralModes(const uint8_t* data, size_t size,
                                          const std::vector<Node>& steps) {
  std::vector<LiteralMode> plan(size, LiteralMode{8, 0});
  std::vector<size_t> literals;
  size_t pos = 0;
  for (const Node& s : steps) {
    if (s.step == Step::Literal) literals.push_back(pos);
    pos += s.length;
  }
  size_t first = 0;
  while (first < literals.size()) {
    // Two frames so a window may wrap around 0: plain values and values shifted by 128.
    int lo[2] = {256, 256}, hi[2] = {-1, -1};
    size_t last = first;
    int frame = -1;
    for (; last < literals.size(); ++last) {
      uint8_t v = data[literals[last]];
      int vals[2] = {v, (v + 128) & 255};
      int ok = -1;
      for (int f = 1; f >= 0; --f) {
        if (std::max(hi[f], vals[f]) - std::min(lo[f], vals[f]) < 128) ok = f;
      }
      if (ok < 0) break;
      for (int f = 0; f < 2; ++f) {
        lo[f] = std::min(lo[f], vals[f]);
        hi[f] = std::max(hi[f], vals[f]);
      }
      frame = hi[0] - lo[0] < 128 ? 0 : 1;
    }
    size_t count = last - first;
    if (count > 32) {
      uint8_t base = uint8_t(frame == 0 ? lo[0] : (lo[1] + 128) & 255);
      for (size_t p = literals[first]; p <= literals[last - 1]; ++p) plan[p] = {7, base};
    }
    first = std::max(last, first + 1);
  }
  return plan;
}

void PutWidthCommand(BitWriter& out, LiteralMode mode) {
  out.Put(0b001, 3);
  out.Put(0, 4);
  out.Put(0, 1);
  out.Put(mode.width == 8 ? 1 : 0, 1);
  if (mode.width == 7) out.Put(mode.base, 8);
}

void PutLiteral(BitWriter& out, uint8_t value, LiteralMode wanted, LiteralMode& current) {
  if (!(current == wanted) && (wanted.width == 8 || Fits(value, wanted.base))) {
    PutWidthCommand(out, wanted);
    current = wanted;
  }
  if (current.width == 7 && !Fits(value, current.base)) {
    current = {8, 0};
    PutWidthCommand(out, current);
  }
  out.Put(1, 1);
  out.Put(uint8_t(value - current.base), current.width);
}

// Writes the commands of a parse; consecutive raw blocks share one command.
void EmitSteps(BitWriter& out, const uint8_t* data, const std::vector<Node>& steps,
               const std::vector<LiteralMode>& plan, int indexWidth) {
  if (indexWidth != StartIndexWidth) {
    // Index width command: a short match with offset 0 whose length gives the field size.
    uint32_t length = indexWidth < 16 ? 3 : 4;
    out.Put(0b000, 3);
    out.Put(0, 7);
    out.Put(length - 2, 2);
    out.Put(uint32_t(indexWidth), int(length) + 1);
  }
  LiteralMode current{8, 0};
  size_t pos = 0;
  for (size_t k = 0; k < steps.size(); ++k) {
    const Node& s = steps[k];
    switch (s.step) {
      case Step::Literal: PutLiteral(out, data[pos], plan[pos], current); break;
      case Step::Zero: out.Put(0b0010001, 7); break;
      case Step::ByteCopy: out.Put(0b001, 3); out.Put(s.offset + 1, 4); break;
      case Step::Short:
        out.Put(0b000, 3);
        out.Put(s.offset, 7);
        out.Put(s.length - 2, 2);
        break;
      case Step::Repeat:
        out.Put(0b01, 2);
        out.Gamma(2);
        out.Gamma(s.length);
        break;
      case Step::Long:
        out.Put(0b01, 2);
        out.Gamma((s.offset >> indexWidth) + 3);
        out.Put(s.offset & ((1u << indexWidth) - 1), indexWidth);
        out.Gamma(s.length - LongMatchBonus(s.offset));
        break;
      case Step::Raw:
        out.Put(0b00100001, 8);
        for (;;) {
          for (size_t i = 0; i < 256; ++i) out.Put(data[pos + i], 8);
          if (k + 1 < steps.size() && steps[k + 1].step == Step::Raw) {
            out.Put(1, 1);
            pos += 256;
            ++k;
          } else {
            out.Put(0, 1);
            break;
          }
        }
        break;
    }
    pos += s.length;
  }
}

void Store32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

// The whole stream for one index width: parse, plan literal windows, parse again
// with the windows' literal costs, write.
std::vector<uint8_t> EncodeWithIndexWidth(const uint8_t* data, size_t size, int indexWidth) {
  Parser parser{data, size, indexWidth, std::vector<uint8_t>(size, 9), {}, {}};
  std::vector<Node> steps = parser.Parse();
  std::vector<LiteralMode> plan = PlanLiteralModes(data, size, steps);
  bool narrow = false;
  for (size_t i = 0; i < size; ++i) {
    if (plan[i].width == 7) {
      narrow = true;
      // An out-of-window literal costs two width commands around it.
      parser.literalCost[i] = Fits(data[i], plan[i].base) ? 8 : 9 + 10 + 18;
    }
  }
  if (narrow) steps = parser.Parse();

  std::vector<uint8_t> out = {'Q', 'Z'};
  Store32(out, uint32_t(size));
  Store32(out, PackChecksum(data, size));
  BitWriter bits{out};
  EmitSteps(bits, data, steps, plan, indexWidth);
  bits.Put(0, 3 + 7 + 2);  // end code: short match with offset 0, length 2
  bits.Flush();
  return out;
}

}  // namespace

std::vector<uint8_t> EncodePackStream(const uint8_t* data, size_t size) {
  std::vector<uint8_t> best;
  for (int width : IndexWidthsTried) {
    std::vector<uint8_t> out = EncodeWithIndexWidth(data, size, width);
    if (best.empty() || out.size() < best.size()) best.swap(out);
  }
  return best;
}

std::vector<uint8_t> EncodePackEntry(const uint8_t* data, size_t size, bool compress) {
  std::vector<uint8_t> entry;
  std::vector<uint8_t> stream;
  if (compress && size > 0) stream = EncodePackStream(data, size);
  bool packed = !stream.empty() && stream.size() < size;
  Store32(entry, uint32_t(size));
  Store32(entry, uint32_t(packed ? stream.size() : size));
  if (packed)
    entry.insert(entry.end(), stream.begin(), stream.end());
  else
    entry.insert(entry.end(), data, data + size);
  return entry;
}

bool WritePackFile(const std::string& path, const std::vector<std::vector<uint8_t>>& entries,
                   bool compress) {
  std::string temp = path + ".tmp";
  std::FILE* file = std::fopen(temp.c_str(), "wb");
  if (!file) return false;
  bool ok = true;
  for (const std::vector<uint8_t>& data : entries) {
    std::vector<uint8_t> entry = EncodePackEntry(data.data(), data.size(), compress);
    ok = ok && std::fwrite(entry.data(), 1, entry.size(), file) == entry.size();
  }
  ok = (std::fclose(file) == 0) && ok;
  if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) std::remove(temp.c_str());
  return ok;
}

}  // namespace kw
