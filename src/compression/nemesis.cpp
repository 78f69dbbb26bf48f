#include "compression/nemesis.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>

namespace varnock {
namespace {

// The layout follows the game's own decoder: NemDec in sonicretro/s1disasm
// (_inc/Nemesis Decompression.asm) and Nem_Decomp in sonicretro/skdisasm (s3.asm), which agree.
// flamewing/mdcomp (src/lib/nemesis.cc) and Clownacy/clownnemesis (decompress.c) read the same
// layout; where they differ from the game (noted where it matters) the game's routine is followed.
//
//   header   TTTTTTTT TTTTTTTT   bit 15: XOR mode; bits 0-14: tiles (8 rows of 4 bytes each)
//   table    1xxxVVVV            the pixel value V of the entries that follow
//            0RRRLLLL CCCCCCCC   a run of R + 1 pixels has the L-bit code C (L = 1..8)
//            11111111            end of the table
//   codes    MSB first; 111111 RRR VVVV is a run of R + 1 pixels of value V written inline
//
// Pixels fill each 4-byte row from the high nibble down; runs carry on into the next row, and
// decoding stops as soon as the last row is written. In XOR mode each row is XORed with the
// row written before it.

constexpr int kInlineBits = 13;
constexpr unsigned kInlineWindow = 0xFC;  // every 8-bit window that starts with 111111
constexpr int kMaxCodeBits = 8;
constexpr int kMaxRun = 8;
constexpr int kRowNibbles = 8;
constexpr size_t kRowBytes = 4;

uint32_t RunPattern(unsigned value, unsigned count) {
  const uint32_t repeated = value * 0x11111111u;
  return count >= 8 ? repeated : repeated & ((1u << (4 * count)) - 1);
}

// One decoded code: `Count` pixels whose nibbles are already laid out in `Pattern`.
struct RunCode {
  uint32_t Pattern = 0;
  uint8_t Count = 0;
  uint8_t Length = 0;  // 0: no code has this bit pattern
  // Bits from the code's start that decide it: its own length when no other code starts with
  // it, more when a later table entry took over some of its windows.
  uint8_t Decided = 0;
  bool SameCode(const RunCode& other) const {
    return Pattern == other.Pattern && Count == other.Count && Length == other.Length;
  }
};

// Indexed by the next 8 bits of the stream, as the game's table is: a code of L bits fills all
// 2^(8 - L) windows that start with it. Windows from FC up hold the inline escape.
using CodeTable = std::array<RunCode, 256>;

RunCode InlineCode(unsigned field) {
  const unsigned count = ((field >> 4) & 7) + 1;
  return {RunPattern(field & 0x0F, count), static_cast<uint8_t>(count),
          static_cast<uint8_t>(kInlineBits), 6};
}

// For each window, the fewest leading bits after which every window that shares them holds the
// same code (or the same lack of one).
void MarkDecidingBits(CodeTable& table) {
  std::array<bool, 256> uniform;
  uniform.fill(true);
  for (auto& code : table) code.Decided = kMaxCodeBits;
  for (int bits = kMaxCodeBits - 1; bits >= 0; --bits) {
    const int block = 1 << (kMaxCodeBits - bits);
    for (int first = 0; first < 256; first += block) {
      const int half = first + block / 2;
      const bool same =
          uniform[static_cast<size_t>(first)] && uniform[static_cast<size_t>(half)] &&
          table[static_cast<size_t>(first)].SameCode(table[static_cast<size_t>(half)]);
      uniform[static_cast<size_t>(first)] = same;
      if (!same) continue;
      for (int w = first; w < first + block; ++w)
        table[static_cast<size_t>(w)].Decided = static_cast<uint8_t>(bits);
    }
  }
  for (auto& code : table) code.Decided = std::max(code.Decided, code.Length);
}

// The game takes the first byte as a value byte whatever its top bit (mdcomp and clownnemesis
// take a first byte below 0x80 as an entry of value 0). Entries the game would write outside its
// table (a length of 0 or above 8, a code wider than its length) are refused; a later entry over
// an earlier one replaces it, as in the game.
DecompressError ReadCodeTable(std::span<const uint8_t> input, size_t& pos, CodeTable& table) {
  if (pos >= input.size()) return DecompressError::EndsEarly;
  uint8_t byte = input[pos++];
  while (byte != 0xFF) {
    const unsigned value = byte & 0x0F;
    for (;;) {
      if (pos >= input.size()) return DecompressError::EndsEarly;
      byte = input[pos++];
      if (byte >= 0x80) break;
      const unsigned length = byte & 0x0F;
      const unsigned count = ((byte >> 4) & 7) + 1;
      if (pos >= input.size()) return DecompressError::EndsEarly;
      const unsigned code = input[pos++];
      if (length == 0 || length > kMaxCodeBits || code >> length != 0)
        return DecompressError::BadTree;
      const unsigned shift = kMaxCodeBits - length;
      const RunCode entry{RunPattern(value, count), static_cast<uint8_t>(count),
                          static_cast<uint8_t>(length), 0};
      std::fill_n(table.begin() + (code << shift), size_t{1} << shift, entry);
    }
  }
  std::fill(table.begin() + kInlineWindow, table.end(), InlineCode(0));
  MarkDecidingBits(table);
  return DecompressError::None;
}

// MSB-first reader over 64 bits; bits past the end of the input read as zero and are never
// counted as available.
class BitReader {
 public:
  BitReader(const uint8_t* begin, const uint8_t* end) : begin_(begin), next_(begin), end_(end) {}

  void Refill() {
    if (end_ - next_ >= 8) {
      uint64_t word;
      std::memcpy(&word, next_, sizeof word);
      if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
      bits_ |= word >> available_;
      const int bytes = (63 - available_) >> 3;
      next_ += bytes;
      available_ += bytes * 8;
      return;
    }
    while (available_ <= 56 && next_ < end_) {
      bits_ |= uint64_t{*next_++} << (56 - available_);
      available_ += 8;
    }
  }
  int Available() const { return available_; }
  unsigned Peek(int count) const { return static_cast<unsigned>(bits_ >> (64 - count)); }
  void Skip(int count) {
    bits_ <<= count;
    available_ -= count;
  }
  size_t BitsUsed() const { return static_cast<size_t>(next_ - begin_) * 8 - available_; }

 private:
  const uint8_t* begin_;
  const uint8_t* next_;
  const uint8_t* end_;
  uint64_t bits_ = 0;
  int available_ = 0;
};

// The next code when fewer than 13 bits are left. With fewer than 8, the game's 8-bit window
// reaches past the input: the code counts only when the bits there are not needed to decide it,
// so the stream means the same whatever follows it.
DecompressError NextCodeAtEnd(const CodeTable& table, const BitReader& reader, RunCode& code) {
  const int available = reader.Available();
  if (available <= 0) return DecompressError::EndsEarly;
  const int known = std::min(available, kMaxCodeBits);
  const unsigned window = reader.Peek(known) << (kMaxCodeBits - known);
  code = table[window];
  if (code.Decided > available || window >= kInlineWindow) return DecompressError::EndsEarly;
  return code.Length == 0 ? DecompressError::BadCommand : DecompressError::None;
}

// The encoder. A stream is the pixel runs of the tiles (or of their XOR rows) cut into symbols
// of one value and 1 to 8 pixels; each symbol either gets a code or is written inline.

constexpr int kSymbolCount = 16 * kMaxRun;
constexpr int kEscapeWindows = 256 - kInlineWindow;
constexpr int kCodeWindows = 256 - kEscapeWindows;  // the code space the escape leaves
constexpr uint32_t kEntryBits = 16;                 // an entry byte and a code byte
constexpr uint32_t kValueByteBits = 8;
constexpr uint32_t kNoCost = std::numeric_limits<uint32_t>::max() / 2;

int SymbolOf(unsigned value, unsigned run) {
  return static_cast<int>(value) * kMaxRun + static_cast<int>(run) - 1;
}
unsigned SymbolValue(int symbol) {
  return static_cast<unsigned>(symbol / kMaxRun);
}
unsigned SymbolRun(int symbol) {
  return static_cast<unsigned>(symbol % kMaxRun) + 1;
}

struct PixelRun {
  uint8_t Value;
  uint32_t Length;
};

using SymbolCounts = std::array<uint32_t, kSymbolCount>;
using CodeLengths = std::array<uint8_t, kSymbolCount>;  // 0: the symbol is written inline

std::vector<PixelRun> PixelRuns(std::span<const uint8_t> data, bool xorMode) {
  std::vector<PixelRun> runs;
  auto add = [&runs](uint8_t value) {
    if (!runs.empty() && runs.back().Value == value)
      ++runs.back().Length;
    else
      runs.push_back({value, 1});
  };
  for (size_t i = 0; i < data.size(); ++i) {
    const uint8_t byte = xorMode && i >= kRowBytes ? data[i] ^ data[i - kRowBytes] : data[i];
    add(byte >> 4);
    add(byte & 0x0F);
  }
  return runs;
}

// Each run as symbols of 8 pixels and one of the rest: the straightforward cut.
std::vector<uint8_t> CutRunsEvenly(const std::vector<PixelRun>& runs) {
  std::vector<uint8_t> symbols;
  for (const PixelRun& run : runs) {
    uint32_t left = run.Length;
    for (; left > kMaxRun; left -= kMaxRun)
      symbols.push_back(static_cast<uint8_t>(SymbolOf(run.Value, kMaxRun)));
    symbols.push_back(static_cast<uint8_t>(SymbolOf(run.Value, left)));
  }
  return symbols;
}

// Each run cut into the symbols that cost the fewest bits under `lengths` (shortest path over
// the run's length). The last run may end in a longer symbol than it needs: decoding stops at
// the last row and drops the rest.
std::vector<uint8_t> CutRunsCheapest(const std::vector<PixelRun>& runs,
                                     const CodeLengths& lengths) {
  std::array<uint32_t, 16> longest{};
  for (const PixelRun& run : runs) longest[run.Value] = std::max(longest[run.Value], run.Length);
  std::array<std::vector<uint32_t>, 16> cost;  // cost[v][m]: bits of m pixels of value v
  std::array<std::vector<uint8_t>, 16> last;   // the last symbol's run in that cut
  auto symbolBits = [&lengths](unsigned value, unsigned run) -> uint32_t {
    const uint8_t length = lengths[static_cast<size_t>(SymbolOf(value, run))];
    return length != 0 ? length : kInlineBits;
  };
  for (unsigned v = 0; v < 16; ++v) {
    if (longest[v] == 0) continue;
    cost[v].assign(longest[v] + 1, kNoCost);
    last[v].assign(longest[v] + 1, 0);
    cost[v][0] = 0;
    for (uint32_t m = 1; m <= longest[v]; ++m) {
      for (unsigned r = 1; r <= kMaxRun && r <= m; ++r) {
        const uint32_t c = cost[v][m - r] + symbolBits(v, r);
        if (c < cost[v][m]) {
          cost[v][m] = c;
          last[v][m] = static_cast<uint8_t>(r);
        }
      }
    }
  }
  std::vector<uint8_t> symbols;
  auto emit = [&](unsigned value, uint32_t m) {
    const size_t first = symbols.size();
    for (; m > 0; m -= last[value][m])
      symbols.push_back(static_cast<uint8_t>(SymbolOf(value, last[value][m])));
    std::reverse(symbols.begin() + static_cast<std::ptrdiff_t>(first), symbols.end());
  };
  for (size_t i = 0; i + 1 < runs.size(); ++i) emit(runs[i].Value, runs[i].Length);
  if (runs.empty()) return symbols;
  const PixelRun& tail = runs.back();
  uint32_t bestCost = kNoCost, bestHead = 0, bestRun = 0;
  for (uint32_t head = tail.Length > kMaxRun ? tail.Length - kMaxRun : 0; head < tail.Length;
       ++head) {
    for (unsigned r = tail.Length - head; r <= kMaxRun; ++r) {
      const uint32_t c = cost[tail.Value][head] + symbolBits(tail.Value, r);
      if (c < bestCost) {
        bestCost = c;
        bestHead = head;
        bestRun = r;
      }
    }
  }
  emit(tail.Value, bestHead);
  symbols.push_back(static_cast<uint8_t>(SymbolOf(tail.Value, bestRun)));
  return symbols;
}

struct TableChoice {
  CodeLengths Lengths{};
  uint32_t Bits = kNoCost;  // codes, inline runs, entries and value bytes
};

// One bit per value that some counted symbol has.
uint16_t ValuesOf(const SymbolCounts& counts) {
  uint16_t values = 0;
  for (int s = 0; s < kSymbolCount; ++s)
    if (counts[static_cast<size_t>(s)] != 0) values |= static_cast<uint16_t>(1u << SymbolValue(s));
  return values;
}

// Code lengths of least total bits for `counts` when only symbols of the values in `allowed`
// (one bit per value) may have a code. Symbols taken in falling count order get lengths that
// never shrink, so a dynamic program over (symbol, code windows used, last length) is exact:
// each symbol is written inline (13 bits each time) or gets a code of 1 to 8 bits (and a table
// entry), within the 252 windows the escape leaves.
TableChoice BestLengthsFor(const SymbolCounts& counts, uint16_t allowed) {
  std::vector<int> order;
  for (int s = 0; s < kSymbolCount; ++s)
    if (counts[static_cast<size_t>(s)] != 0) order.push_back(s);
  std::stable_sort(order.begin(), order.end(), [&counts](int a, int b) {
    return counts[static_cast<size_t>(a)] > counts[static_cast<size_t>(b)];
  });
  constexpr int kUnits = kCodeWindows + 1;
  constexpr int kLengths = kMaxCodeBits + 1;
  using Layer = std::array<std::array<uint32_t, kLengths>, kUnits>;
  std::array<Layer, 2> layers;
  Layer* current = &layers[0];
  Layer* next = &layers[1];
  for (auto& row : *current) row.fill(kNoCost);
  (*current)[0][1] = 0;
  // choice[i][u][L]: 0 when symbol i was written inline, else the previous last length.
  std::vector<uint8_t> choice(order.size() * kUnits * kLengths, 0);
  auto choiceAt = [&choice](size_t i, int u, int length) -> uint8_t& {
    return choice[(i * kUnits + static_cast<size_t>(u)) * kLengths + static_cast<size_t>(length)];
  };
  // A length at which a symbol costs no less than inline is never taken.
  int reach = 0;  // highest u any state has so far
  for (size_t i = 0; i < order.size(); ++i) {
    const uint32_t count = counts[static_cast<size_t>(order[i])];
    const bool mayCode = (allowed >> SymbolValue(order[i]) & 1) != 0;
    const Layer& was = *current;
    Layer& now = *next;
    for (int u = 0; u <= reach; ++u)
      for (int l = 1; l < kLengths; ++l)
        now[u][l] = was[u][l] == kNoCost ? kNoCost : was[u][l] + kInlineBits * count;
    for (int u = reach + 1; u < kUnits; ++u) now[u].fill(kNoCost);
    if (mayCode) {
      int longest = 0;
      while (longest < kMaxCodeBits &&
             static_cast<uint32_t>(longest + 1) * count + kEntryBits < kInlineBits * count)
        ++longest;
      for (int u = 0; u <= reach; ++u) {
        uint32_t cheapest = kNoCost;
        int from = 0;
        for (int length = 1; length <= longest; ++length) {
          if (was[u][length] < cheapest) {
            cheapest = was[u][length];
            from = length;
          }
          const int used = u + (1 << (kMaxCodeBits - length));
          if (cheapest == kNoCost || used >= kUnits) continue;
          const uint32_t c = cheapest + static_cast<uint32_t>(length) * count + kEntryBits;
          if (c < now[used][length]) {
            now[used][length] = c;
            choiceAt(i, used, length) = static_cast<uint8_t>(from);
          }
        }
      }
      if (longest > 0) reach = std::min(kUnits - 1, reach + (1 << (kMaxCodeBits - 1)));
    }
    std::swap(current, next);
  }
  const Layer& last = *current;
  TableChoice result;
  int u = 0, length = 1;
  for (int uu = 0; uu < kUnits; ++uu) {
    for (int l = 1; l < kLengths; ++l) {
      if (last[uu][l] < result.Bits) {
        result.Bits = last[uu][l];
        u = uu;
        length = l;
      }
    }
  }
  for (size_t i = order.size(); i-- > 0;) {
    const uint8_t from = choiceAt(i, u, length);
    if (from == 0) continue;
    result.Lengths[static_cast<size_t>(order[i])] = static_cast<uint8_t>(length);
    u -= 1 << (kMaxCodeBits - length);
    length = from;
  }
  uint16_t used = 0;
  for (int s = 0; s < kSymbolCount; ++s)
    if (result.Lengths[static_cast<size_t>(s)] != 0)
      used |= static_cast<uint16_t>(1u << SymbolValue(s));
  result.Bits += kValueByteBits * static_cast<uint32_t>(std::popcount(used));
  return result;
}

// The value bytes (one per value with a code) are outside the dynamic program: values are
// dropped from the coded ones, one at a time, while that makes the whole smaller. Only values
// whose codes save under 64 bits over inline runs are tried: a drop gains the value byte and
// whatever the freed code space buys the others, and in the 308 streams of two games'
// disassemblies no drop that paid had codes saving more than 39 bits.
CodeLengths ChooseCodeLengths(const SymbolCounts& counts) {
  constexpr int64_t kTrialSavings = 64;
  uint16_t allowed = ValuesOf(counts);
  TableChoice best = BestLengthsFor(counts, allowed);
  auto savings = [&counts](const CodeLengths& lengths, unsigned value) {
    int64_t bits = 0;
    for (unsigned run = 1; run <= kMaxRun; ++run) {
      const auto s = static_cast<size_t>(SymbolOf(value, run));
      if (lengths[s] != 0)
        bits += int64_t{counts[s]} * (kInlineBits - lengths[s]) - int64_t{kEntryBits};
    }
    return bits;
  };
  for (bool dropped = true; dropped;) {
    dropped = false;
    for (unsigned v = 0; v < 16; ++v) {
      if ((allowed >> v & 1) == 0 || savings(best.Lengths, v) >= kTrialSavings) continue;
      const auto fewer = static_cast<uint16_t>(allowed & ~(1u << v));
      TableChoice trial = BestLengthsFor(counts, fewer);
      if (trial.Bits < best.Bits) {
        best = trial;
        allowed = fewer;
        dropped = true;
      }
    }
  }
  return best.Lengths;
}

class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
  void Put(uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) {
      byte_ = static_cast<uint8_t>(byte_ << 1 | (value >> i & 1));
      if (++filled_ == 8) {
        out_.push_back(byte_);
        filled_ = 0;
      }
    }
  }
  void Flush() {
    if (filled_ != 0) out_.push_back(static_cast<uint8_t>(byte_ << (8 - filled_)));
    filled_ = 0;
  }

 private:
  std::vector<uint8_t>& out_;
  uint8_t byte_ = 0;
  int filled_ = 0;
};

std::vector<uint8_t> WriteStream(size_t tiles, bool xorMode, const CodeLengths& lengths,
                                 const std::vector<uint8_t>& symbols) {
  // Canonical codes, shortest first from 0 upwards: the 252 windows they may use come before
  // the escape's, so no code starts with 111111.
  std::vector<int> coded;
  for (int s = 0; s < kSymbolCount; ++s)
    if (lengths[static_cast<size_t>(s)] != 0) coded.push_back(s);
  std::stable_sort(coded.begin(), coded.end(), [&lengths](int a, int b) {
    return lengths[static_cast<size_t>(a)] < lengths[static_cast<size_t>(b)];
  });
  std::array<uint32_t, kSymbolCount> codes{};
  uint32_t next = 0;
  int previous = 0;
  for (int s : coded) {
    const int length = lengths[static_cast<size_t>(s)];
    next <<= length - previous;
    previous = length;
    codes[static_cast<size_t>(s)] = next++;
  }

  std::vector<uint8_t> out;
  const auto header = static_cast<unsigned>(tiles | (xorMode ? 0x8000u : 0u));
  out.push_back(static_cast<uint8_t>(header >> 8));
  out.push_back(static_cast<uint8_t>(header));
  for (unsigned v = 0; v < 16; ++v) {
    bool valueWritten = false;
    for (unsigned run = 1; run <= kMaxRun; ++run) {
      const auto s = static_cast<size_t>(SymbolOf(v, run));
      if (lengths[s] == 0) continue;
      if (!valueWritten) out.push_back(static_cast<uint8_t>(0x80 | v));
      valueWritten = true;
      out.push_back(static_cast<uint8_t>((run - 1) << 4 | lengths[s]));
      out.push_back(static_cast<uint8_t>(codes[s]));
    }
  }
  out.push_back(0xFF);
  BitWriter bits(out);
  for (uint8_t symbol : symbols) {
    if (lengths[symbol] != 0) {
      bits.Put(codes[symbol], lengths[symbol]);
    } else {
      bits.Put(0x3F, 6);
      bits.Put(SymbolRun(symbol) - 1, 3);
      bits.Put(SymbolValue(symbol), 4);
    }
  }
  bits.Flush();
  return out;
}

// Rounds of (code table for the symbols, cheapest cut for the table) while the stream shrinks,
// then fewer value bytes for the best round's symbols. The first round's stream, from the even
// cut, is the straightforward one at worst.
std::vector<uint8_t> EncodeMode(std::span<const uint8_t> data, bool xorMode) {
  constexpr int kRounds = 6;
  const size_t tiles = data.size() / kNemesisTileBytes;
  const std::vector<PixelRun> runs = PixelRuns(data, xorMode);
  auto countsOf = [](const std::vector<uint8_t>& symbols) {
    SymbolCounts counts{};
    for (uint8_t symbol : symbols) ++counts[symbol];
    return counts;
  };
  std::vector<uint8_t> symbols = CutRunsEvenly(runs);
  std::vector<uint8_t> best, bestSymbols;
  for (int round = 0; round < kRounds; ++round) {
    const SymbolCounts counts = countsOf(symbols);
    const CodeLengths lengths = BestLengthsFor(counts, ValuesOf(counts)).Lengths;
    std::vector<uint8_t> stream = WriteStream(tiles, xorMode, lengths, symbols);
    if (!best.empty() && stream.size() >= best.size()) break;
    best = std::move(stream);
    bestSymbols = symbols;
    symbols = CutRunsCheapest(runs, lengths);
  }
  std::vector<uint8_t> fewerValues =
      WriteStream(tiles, xorMode, ChooseCodeLengths(countsOf(bestSymbols)), bestSymbols);
  return fewerValues.size() < best.size() ? fewerValues : best;
}

// Plausibility of a table for the scan. Every encoder writes an empty table or value bytes
// 0x80-0x8F, each followed by its entries, and a prefix code that leaves the escape free:
// decoders disagree on any other table, so none is found in a game.
bool PlausibleCodeTable(std::span<const uint8_t> input) {
  if (input.size() < 3) return false;
  if (input[2] == 0xFF) return true;
  if (input[2] < 0x80 || input[2] > 0x8F) return false;
  std::array<bool, 256> taken{};
  for (int w = kInlineWindow; w < 256; ++w) taken[static_cast<size_t>(w)] = true;
  bool afterValue = true;
  for (size_t pos = 3; pos < input.size();) {
    const uint8_t byte = input[pos++];
    if (byte >= 0x80) {
      if (afterValue) return false;
      if (byte == 0xFF) return true;
      if (byte > 0x8F) return false;
      afterValue = true;
      continue;
    }
    if (pos >= input.size()) return false;
    const unsigned length = byte & 0x0F;
    const unsigned code = input[pos++];
    if (length == 0 || length > kMaxCodeBits || code >> length != 0) return false;
    const unsigned shift = kMaxCodeBits - length;
    for (unsigned w = code << shift; w < (code + 1) << shift; ++w) {
      if (taken[w]) return false;
      taken[w] = true;
    }
    afterValue = false;
  }
  return false;
}

}  // namespace

DecompressResult DecompressNemesis(std::span<const uint8_t> input, size_t maxOutput) {
  DecompressResult result;
  auto fail = [&result](DecompressError error) {
    result.Error = error;
    result.Bytes.clear();
    return result;
  };
  if (input.size() < 2) return fail(DecompressError::EndsEarly);
  const unsigned header = static_cast<unsigned>(input[0] << 8 | input[1]);
  const bool xorMode = (header & 0x8000) != 0;
  const size_t tiles = header & 0x7FFF;
  if (tiles == 0 || tiles > kNemesisMaxTiles) return fail(DecompressError::BadHeader);
  const size_t outputBytes = tiles * kNemesisTileBytes;
  if (outputBytes > std::min(maxOutput, kMaxDecompressedBytes))
    return fail(DecompressError::TooLarge);

  CodeTable table{};
  size_t pos = 2;
  if (DecompressError error = ReadCodeTable(input, pos, table); error != DecompressError::None)
    return fail(error);

  result.Bytes.resize(outputBytes);
  uint8_t* out = result.Bytes.data();
  uint8_t* const outEnd = out + outputBytes;
  BitReader reader(input.data() + pos, input.data() + input.size());
  uint64_t pending = 0;  // pixels not yet written, the oldest in the highest nibble
  int pendingCount = 0;
  size_t decidedBits = 0;  // past the last code, for a table whose codes are not prefix-free
  for (;;) {
    if (reader.Available() < kInlineBits) reader.Refill();
    RunCode code;
    if (reader.Available() >= kInlineBits) {
      const unsigned window = reader.Peek(kMaxCodeBits);
      // The game checks for the escape before it looks at the table (mdcomp and clownnemesis
      // match shorter codes first).
      if (window >= kInlineWindow) {
        code = InlineCode(reader.Peek(kInlineBits));
      } else {
        code = table[window];
        if (code.Length == 0) return fail(DecompressError::BadCommand);
      }
    } else if (DecompressError error = NextCodeAtEnd(table, reader, code);
               error != DecompressError::None) {
      return fail(error);
    }
    if (code.Decided > code.Length)
      decidedBits = std::max(decidedBits, reader.BitsUsed() + code.Decided);
    reader.Skip(code.Length);
    pending = pending << (4 * code.Count) | code.Pattern;
    pendingCount += code.Count;
    if (pendingCount >= kRowNibbles) {
      pendingCount -= kRowNibbles;
      const auto row = static_cast<uint32_t>(pending >> (4 * pendingCount));
      out[0] = static_cast<uint8_t>(row >> 24);
      out[1] = static_cast<uint8_t>(row >> 16);
      out[2] = static_cast<uint8_t>(row >> 8);
      out[3] = static_cast<uint8_t>(row);
      out += kRowBytes;
      // The rest of a run that passes the last row is dropped, as the game drops it.
      if (out == outEnd) break;
    }
  }
  if (xorMode) {
    uint8_t* bytes = result.Bytes.data();
    for (size_t i = kRowBytes; i < outputBytes; ++i) bytes[i] ^= bytes[i - kRowBytes];
  }
  result.Consumed = pos + (std::max(reader.BitsUsed(), decidedBits) + 7) / 8;
  return result;
}

std::optional<std::vector<uint8_t>> CompressNemesis(std::span<const uint8_t> data) {
  if (data.empty() || data.size() % kNemesisTileBytes != 0 ||
      data.size() / kNemesisTileBytes > kNemesisMaxTiles)
    return std::nullopt;
  std::vector<uint8_t> plain = EncodeMode(data, false);
  std::vector<uint8_t> xored = EncodeMode(data, true);
  return xored.size() < plain.size() ? std::move(xored) : std::move(plain);
}

std::optional<size_t> DeclaredNemesisLength(std::span<const uint8_t> input) {
  if (input.size() < 2) return std::nullopt;
  return (static_cast<size_t>(input[0] << 8 | input[1]) & 0x7FFF) * kNemesisTileBytes;
}

bool MayStartNemesisStream(std::span<const uint8_t> input) {
  if (input.size() < 2) return false;
  const size_t tiles = static_cast<size_t>(input[0] << 8 | input[1]) & 0x7FFF;
  if (tiles == 0 || tiles > kNemesisMaxTiles) return false;
  return PlausibleCodeTable(input);
}

}  // namespace varnock
