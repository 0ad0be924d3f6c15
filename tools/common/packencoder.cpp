// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The pack compressor, used by kwtool and the game-data generator to build pack files.
// The game itself only reads packs. The encoder is an optimal parser: a dynamic
// programme over positions finds the cheapest sequence of stream commands under a
// bit-cost model of every command, keeping a few paths with different last offsets
// per position, with hash chains for match finding. From the first parse it picks
// the index width and plans 7-bit literal windows (a second dynamic programme over
// the literals), then parses again under those costs.
#include "packencoder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "media/pack.h"

namespace kw {

namespace {

constexpr int StartIndexWidth = 8;      // the decoder's index width before any change
constexpr size_t ChunkSize = 1 << 19;   // positions per dynamic programme
constexpr size_t WindowBits = 22;       // matches reach back at most 4 MiB
constexpr size_t WindowSize = size_t(1) << WindowBits;
constexpr uint32_t NoPosition = 0xffffffffu;
constexpr int MinHashBits = 12, MaxHashBits = 18;
constexpr uint32_t GreedyLength = 64;   // a match this long is taken whole, without a parse inside
constexpr uint32_t NiceLength = 1024;  // a match this long ends the search
constexpr uint32_t MaxLength = 1 << 16; // longest match we emit in one command
constexpr uint32_t RawBlockCost = 3 + 4 + 1 + 256 * 8 + 1;
constexpr int ParsePasses = 1;      // re-parses with the literal costs of a plan
constexpr uint32_t Infinite = std::numeric_limits<uint32_t>::max();

enum class Step : uint8_t { Literal, Zero, ByteCopy, Short, Repeat, Long, Raw };

// The cheapest known way to reach a position.
struct Node {
  uint32_t cost;
  uint32_t lastOffset;  // the decoder's last offset after this path
  uint32_t length;      // bytes covered by the step that ends here
  uint32_t offset;      // its offset (matches) or its source distance (one-byte copy)
  Step step;
  uint8_t from;         // the candidate at the step's start this path came through
};

int Log2(uint32_t v) { return 31 - __builtin_clz(v); }
// Hash-chain candidates tried per position. Deeper searches (512) still shrink small
// pictures by a few per cent but cost about half again the time.
int ChainDepthFor(size_t /*size*/) { return 256; }

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
// About one hash slot per position keeps the chains free of collisions (on sound, where
// three-byte repeats are rare, walking colliding chains used to be most of the time).
int HashBitsFor(size_t size) {
  int bits = MinHashBits;
  while (bits < MaxHashBits && (size_t(1) << bits) < size) ++bits;
  return bits;
}

// Chain slots: a power of two (a mask instead of a division), at most the window.
size_t ChainSlotsFor(size_t size) {
  size_t slots = 1;
  while (slots < WindowSize && slots <= size) slots <<= 1;
  return slots;
}

struct MatchFinder {
  const uint8_t* data;
  size_t size;
  int chainDepth;  // hash-chain candidates tried per position
  int hashBits = HashBitsFor(size);
  // Positions, NoPosition for none; 32 bits (entries are at most 4 GiB) keep the tables
  // small enough for the caches.
  std::vector<uint32_t> head = std::vector<uint32_t>(size_t(1) << hashBits, NoPosition);
  std::vector<uint32_t> pairHead = std::vector<uint32_t>(65536, NoPosition);  // last position of each byte pair
  size_t chainMask = ChainSlotsFor(size) - 1;
  std::vector<uint32_t> chain = std::vector<uint32_t>(chainMask + 1, NoPosition);

  uint32_t Hash(size_t i) const {
    uint32_t v = uint32_t(data[i]) | uint32_t(data[i + 1]) << 8 | uint32_t(data[i + 2]) << 16;
    return (v * 2654435761u) >> (32 - hashBits);
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
    if (i + 1 < size) pairHead[size_t(data[i]) | size_t(data[i + 1]) << 8] = uint32_t(i);
    if (i + 2 >= size) return;
    uint32_t h = Hash(i);
    chain[i & chainMask] = head[h];
    head[h] = uint32_t(i);
  }

  // Matches at i with strictly growing lengths, nearest first; then inserts i.
  void Find(size_t i, size_t limit, std::vector<Match>& found) {
    found.clear();
    uint32_t best = 1;
    if (i + 1 < size) {
      uint32_t j = pairHead[size_t(data[i]) | size_t(data[i + 1]) << 8];
      if (j != NoPosition && i - size_t(j) < WindowSize) {
        uint32_t len = Length(i, size_t(j), limit);
        if (len > best) found.push_back({best = len, uint32_t(i - size_t(j))});
      }
    }
    if (i + 2 < size && best < NiceLength) {
      uint32_t j = head[Hash(i)];
      for (int depth = 0; j != NoPosition && depth < chainDepth && best < limit; ++depth) {
        if (i - size_t(j) >= WindowSize) break;
        if (data[size_t(j) + best] == data[i + best]) {
          uint32_t len = Length(i, size_t(j), limit);
          if (len > best) {
            found.push_back({best = len, uint32_t(i - size_t(j))});
            if (len >= NiceLength || len >= limit) break;
          }
        }
        uint32_t next = chain[size_t(j) & chainMask];
        if (next >= j) break;  // none, or the slot was reused by a newer position
        j = next;
      }
    }
    Insert(i);
  }
};

// Everything one parse needs: the input, the literal cost per position and, per
// position, a few cheapest paths with different last offsets, so that a repeat match
// can pay off later even when it does not lie on the cheapest path so far.
constexpr int Candidates = 3;

struct Parser {
  const uint8_t* data;
  size_t size;
  int indexWidth;
  std::vector<uint8_t> literalCost;  // per position
  std::vector<Node> nodes;           // Candidates per position of the chunk
  std::vector<Match> found;

  Node* At(size_t pos, size_t base) { return &nodes[(pos - base) * Candidates]; }

  // Keeps the path if it is among the cheapest with distinct last offsets.
  void Relax(size_t to, uint32_t cost, uint32_t lastOffset, uint32_t length, uint32_t offset,
             Step step, int from, size_t base) {
    Node* slots = At(to, base);
    int worst = 0;
    for (int k = 0; k < Candidates; ++k) {
      if (slots[k].lastOffset == lastOffset && slots[k].cost != Infinite) {
        if (cost < slots[k].cost) slots[k] = {cost, lastOffset, length, offset, step, uint8_t(from)};
        return;
      }
      if (slots[k].cost > slots[worst].cost) worst = k;
    }
    if (cost < slots[worst].cost) slots[worst] = {cost, lastOffset, length, offset, step, uint8_t(from)};
  }

  // Adds every way on from position i (chunk [base, end)); returns how far a very long
  // match lets the parse skip ahead.
  size_t Expand(size_t i, size_t base, size_t end, MatchFinder& finder) {
    const size_t limit = std::min<size_t>(end - i, MaxLength);
    Node* here = At(i, base);
    int best = 0;
    for (int k = 1; k < Candidates; ++k)
      if (here[k].cost < here[best].cost) best = k;
    finder.Find(i, limit, found);
    const uint32_t longest = found.empty() ? 0 : found.back().length;
    uint32_t repLength[Candidates] = {};
    for (int k = 0; k < Candidates; ++k) {
      const uint32_t last = here[k].lastOffset;
      if (here[k].cost != Infinite && last <= i) repLength[k] = finder.Length(i, i - last, limit);
    }
    // A very long match is taken whole from the cheapest path.
    if (repLength[best] >= GreedyLength || longest >= GreedyLength) {
      if (repLength[best] >= longest) {
        const Node& n = here[best];
        uint32_t len = repLength[best];
        Relax(i + len, n.cost + 4 + GammaBits(len), n.lastOffset, len, n.lastOffset, Step::Repeat,
              best, base);
        return i + len;
      }
      const Match& m = found.back();
      Relax(i + m.length,
            here[best].cost + LongOffsetCost(m.offset, indexWidth) + GammaBits(m.length - LongMatchBonus(m.offset)),
            m.offset, m.length, m.offset, Step::Long, best, base);
      return i + m.length;
    }
    uint32_t byteCopy = 0;
    for (uint32_t k = 1; k <= 14 && k <= i; ++k) {
      if (data[i - k] == data[i]) {
        byteCopy = k;
        break;
      }
    }
    for (int k = 0; k < Candidates; ++k) {
      const Node& n = here[k];
      if (n.cost == Infinite) continue;
      const uint32_t c = n.cost, last = n.lastOffset;
      Relax(i + 1, c + literalCost[i], last, 1, 0, Step::Literal, k, base);
      if (data[i] == 0) Relax(i + 1, c + 7, last, 1, 0, Step::Zero, k, base);
      if (byteCopy) Relax(i + 1, c + 7, last, 1, byteCopy, Step::ByteCopy, k, base);
      if (i + 256 <= end) Relax(i + 256, c + RawBlockCost, last, 256, 0, Step::Raw, k, base);
      for (uint32_t len = 2; len <= std::min(repLength[k], GreedyLength); ++len)
        Relax(i + len, c + 4 + GammaBits(len), last, len, last, Step::Repeat, k, base);
      if (repLength[k] > GreedyLength)
        Relax(i + repLength[k], c + 4 + GammaBits(repLength[k]), last, repLength[k], last, Step::Repeat, k, base);
    }
    // New offsets do not depend on the old one: only the cheapest path needs them.
    const uint32_t c = here[best].cost;
    uint32_t covered = 1;
    for (const Match& m : found) {
      if (m.offset <= 127) {
        for (uint32_t len = std::max<uint32_t>(covered + 1, 2); len <= std::min<uint32_t>(m.length, 5); ++len)
          Relax(i + len, c + 12, m.offset, len, m.offset, Step::Short, best, base);
      }
      uint32_t bonus = LongMatchBonus(m.offset);
      uint32_t offsetCost = c + LongOffsetCost(m.offset, indexWidth);
      for (uint32_t len = std::max(covered + 1, bonus + 2); len <= m.length; ++len)
        Relax(i + len, offsetCost + GammaBits(len - bonus), m.offset, len, m.offset, Step::Long, best, base);
      covered = m.length;
    }
    return i + 1;
  }

  // Parses [base, end) starting with the given last offset; appends the steps taken
  // in order.
  void ParseChunk(size_t base, size_t end, uint32_t& lastOffset, MatchFinder& finder,
                  std::vector<Node>& steps) {
    nodes.assign((end - base + 1) * Candidates, Node{Infinite, 0, 0, 0, Step::Literal, 0});
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
    Node* last = At(end, base);
    int k = 0;
    for (int j = 1; j < Candidates; ++j)
      if (last[j].cost < last[k].cost) k = j;
    lastOffset = last[k].lastOffset;
    size_t first = steps.size();
    for (size_t p = end; p > base;) {
      const Node& n = At(p, base)[k];
      steps.push_back(n);
      k = n.from;
      p -= n.length;
    }
    std::reverse(steps.begin() + long(first), steps.end());
  }

  std::vector<Node> Parse() {
    MatchFinder finder{data, size, ChainDepthFor(size)};
    std::vector<Node> steps;
    uint32_t lastOffset = 1;
    for (size_t base = 0; base < size; base += ChunkSize)
      ParseChunk(base, std::min(size, base + ChunkSize), lastOffset, finder, steps);
    return steps;
  }
};

// Does value fit the 7-bit window starting at base?
bool Fits(uint8_t value, uint8_t base) { return uint8_t(value - base) < 128; }

constexpr uint32_t WideLiteralBits = 9;    // flag + 8 bits
constexpr uint32_t NarrowLiteralBits = 8;  // flag + 7 bits
constexpr uint32_t ToWideBits = 3 + 4 + 1 + 1;
constexpr uint32_t ToNarrowBits = ToWideBits + 8;
constexpr int BaseStep = 4;                // window bases the planner considers
constexpr int Bases = 256 / BaseStep;

// Chooses the literal mode in force at each literal of a parse: a dynamic programme
// over the literals with one state per mode (8 bits wide, or 7 bits with one of the
// window bases), paying the width command at each change. Returns the mode per
// position (only literal positions matter to the writer).
std::vector<LiteralMode> PlanLiteralModes(const uint8_t* data, size_t size,
                                          const std::vector<Node>& steps) {
  std::vector<LiteralMode> plan(size, LiteralMode{8, 0});
  std::vector<size_t> literals;
  size_t pos = 0;
  for (const Node& s : steps) {
    if (s.step == Step::Literal) literals.push_back(pos);
    pos += s.length;
  }
  if (literals.empty()) return plan;
  constexpr uint32_t Never = Infinite / 2;
  // State Bases is the wide mode; state b < Bases the window starting at b * BaseStep.
  std::vector<uint32_t> cost(Bases + 1, Never);
  cost[Bases] = 0;  // the decoder starts wide
  std::vector<uint64_t> switched(literals.size());  // per literal: narrow states entered here
  std::vector<uint8_t> wideSwitched(literals.size());
  std::vector<uint8_t> from(literals.size());       // the state switched from
  for (size_t k = 0; k < literals.size(); ++k) {
    uint8_t v = data[literals[k]];
    int best = Bases;
    for (int st = 0; st < Bases; ++st)
      if (cost[size_t(st)] < cost[size_t(best)]) best = st;
    uint32_t bestCost = cost[size_t(best)];
    from[k] = uint8_t(best);
    uint64_t mask = 0;
    for (int st = 0; st < Bases; ++st) {
      uint32_t& c = cost[size_t(st)];
      if (bestCost + ToNarrowBits < c) {
        c = bestCost + ToNarrowBits;
        mask |= uint64_t(1) << st;
      }
      c = Fits(v, uint8_t(st * BaseStep)) ? std::min(c + NarrowLiteralBits, Never) : Never;
    }
    uint32_t& wide = cost[Bases];
    wideSwitched[k] = bestCost + ToWideBits < wide;
    if (wideSwitched[k]) wide = bestCost + ToWideBits;
    wide += WideLiteralBits;
    switched[k] = mask;
  }
  int state = Bases;
  for (int st = 0; st < Bases; ++st)
    if (cost[size_t(st)] < cost[size_t(state)]) state = st;
  for (size_t k = literals.size(); k-- > 0;) {
    plan[literals[k]] = state == Bases ? LiteralMode{8, 0} : LiteralMode{7, uint8_t(state * BaseStep)};
    bool entered = state == Bases ? wideSwitched[k] != 0 : (switched[k] >> state) & 1;
    if (entered) state = from[k];
  }
  return plan;
}

// Literal costs for the next parse under a plan: a position takes the cheaper of the
// modes in force at the literals around it; a byte outside a window pays for leaving
// and re-entering it.
void LiteralCostsFromPlan(const uint8_t* data, size_t size, const std::vector<Node>& steps,
                          const std::vector<LiteralMode>& plan, std::vector<uint8_t>& costs) {
  auto costIn = [](uint8_t v, LiteralMode m) -> uint32_t {
    if (m.width == 8) return WideLiteralBits;
    return Fits(v, m.base) ? NarrowLiteralBits : ToWideBits + WideLiteralBits + ToNarrowBits;
  };
  std::vector<LiteralMode> before(size);
  LiteralMode mode{8, 0};
  size_t pos = 0;
  for (const Node& s : steps) {
    for (size_t i = pos; i < pos + s.length; ++i) before[i] = mode;
    if (s.step == Step::Literal) mode = plan[pos];
    pos += s.length;
  }
  // Backwards for the mode of the next literal (the last mode holds to the end).
  pos = size;
  LiteralMode next = mode;
  for (size_t k = steps.size(); k-- > 0;) {
    const Node& s = steps[k];
    pos -= s.length;
    if (s.step == Step::Literal) next = plan[pos];
    for (size_t i = pos; i < pos + s.length; ++i)
      costs[i] = uint8_t(std::min(costIn(data[i], before[i]), costIn(data[i], next)));
  }
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

// The index width that would have coded the long matches of a parse in the fewest
// bits, counting the command that sets it.
int BestIndexWidth(const std::vector<Node>& steps) {
  uint64_t best = Infinite;
  int bestWidth = StartIndexWidth;
  for (int width = 1; width <= 24; ++width) {
    uint64_t bits = width == StartIndexWidth ? 0 : 3 + 7 + 2 + (width < 16 ? 4 : 5);
    for (const Node& s : steps)
      if (s.step == Step::Long) bits += LongOffsetCost(s.offset, width);
    if (bits < best) best = bits, bestWidth = width;
  }
  return bestWidth;
}

// The whole stream: parse, choose the index width and plan literal windows from it,
// parse again with those costs, write.
std::vector<uint8_t> Encode(const uint8_t* data, size_t size) {
  Parser parser{data, size, StartIndexWidth, std::vector<uint8_t>(size, WideLiteralBits), {}, {}};
  std::vector<Node> steps = parser.Parse();
  std::vector<LiteralMode> plan = PlanLiteralModes(data, size, steps);
  for (int pass = 0; pass < ParsePasses; ++pass) {
    if (pass == 0) parser.indexWidth = BestIndexWidth(steps);
    LiteralCostsFromPlan(data, size, steps, plan, parser.literalCost);
    steps = parser.Parse();
    plan = PlanLiteralModes(data, size, steps);
  }
  const int indexWidth = parser.indexWidth;

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
  return Encode(data, size);
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
