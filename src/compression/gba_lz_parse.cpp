#include "compression/gba_lz_parse.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "compression/gba_sliding_minimum.h"

namespace varnock::gba {
namespace {

constexpr int kHashBits = 16;
// Chain links are kept for the last this many positions (or all of shorter data); no format's
// distance reaches past it.
constexpr size_t kChainWindow = 4096;

// How many of the first `limit` bytes at `a` and `b` agree.
uint32_t CommonLength(const uint8_t* a, const uint8_t* b, uint32_t limit) {
  uint32_t n = 0;
  if constexpr (std::endian::native == std::endian::little) {
    while (n + 8 <= limit) {
      uint64_t x, y;
      std::memcpy(&x, a + n, 8);
      std::memcpy(&y, b + n, 8);
      if (x != y) return n + static_cast<uint32_t>(std::countr_zero(x ^ y) >> 3);
      n += 8;
    }
  }
  while (n < limit && a[n] == b[n]) ++n;
  return n;
}

struct Match {
  uint32_t Length = 0;
  uint32_t Distance = 0;
};

// The last kChainWindow positions by a hash of their first kPrefix bytes, newest first. Entries
// hold a position + 1, so that 0 ends a chain and the tables start out as zeroed memory.
template <size_t kPrefix>
class HashChain {
 public:
  explicit HashChain(size_t dataSize)
      : shift_(64 - std::clamp(static_cast<int>(std::bit_width(dataSize)), 10, kHashBits)),
        head_(size_t{1} << (64 - shift_), 0),
        links_(std::bit_ceil(std::clamp<size_t>(dataSize, 1, kChainWindow)), 0),
        mask_(links_.size() - 1) {}

  uint32_t Hash(const uint8_t* p) const {
    uint64_t v = 0;
    std::memcpy(&v, p, kPrefix);
    return static_cast<uint32_t>((v * 0x9E3779B97F4A7C15ull) >> shift_);
  }

  // Lengthens `best` with the candidates for position i until it reaches `stop`.
  void Search(const uint8_t* p, size_t i, uint32_t hash, uint32_t limit, uint32_t stop,
              const LzRules& rules, Match& best) const {
    for (uint32_t entry = head_[hash]; entry != 0 && best.Length < stop;
         entry = links_[(entry - 1) & mask_]) {
      const size_t candidate = entry - 1;
      const size_t distance = i - candidate;
      if (distance > rules.MaxDistance) break;
      if (distance < rules.MinDistance) continue;
      const uint8_t* q = p + candidate;
      // Only a longer match counts, so the byte just past the best one decides first.
      if (q[best.Length] != p[i + best.Length]) continue;
      const uint32_t length = CommonLength(p + i, q, limit);
      if (length > best.Length) best = {length, static_cast<uint32_t>(distance)};
    }
  }

  void Insert(size_t i, uint32_t hash) {
    links_[i & mask_] = head_[hash];
    head_[hash] = static_cast<uint32_t>(i + 1);
  }

 private:
  int shift_;
  std::vector<uint32_t> head_;
  std::vector<uint32_t> links_;
  size_t mask_;
};

// For every position, the longest match the rules allow (0 when none reaches MinLength) and a
// distance that gives it.
struct LongestMatches {
  std::vector<uint32_t> Length;
  std::vector<uint16_t> Distance;
};

// Every match of more than 7 bytes is on the chain of 8-byte prefixes, so the 3-byte chain,
// which is long in data of few byte values, is walked only when that chain has none.
LongestMatches FindLongestMatches(std::span<const uint8_t> data, const LzRules& rules) {
  constexpr size_t kLongPrefix = 8;
  const size_t n = data.size();
  LongestMatches found{std::vector<uint32_t>(n, 0), std::vector<uint16_t>(n, 0)};
  HashChain<3> shortChain(n);
  HashChain<kLongPrefix> longChain(n);
  const uint8_t* p = data.data();
  const uint32_t maxLength = rules.MaxLength();
  Match carried;
  for (size_t i = 0; i + 3 <= n; ++i) {
    const uint32_t limit = static_cast<uint32_t>(std::min<size_t>(maxLength, n - i));
    Match best;
    // The previous position's match, one byte shorter, is still here at the same distance:
    // without this, a long run would compare its whole length again at every position.
    if (carried.Length > rules.MinLength) {
      best = {carried.Length - 1, carried.Distance};
      best.Length += CommonLength(p + i + best.Length, p + i + best.Length - best.Distance,
                                  limit - best.Length);
    }
    if (i + kLongPrefix <= n) {
      const uint32_t hash = longChain.Hash(p + i);
      longChain.Search(p, i, hash, limit, limit, rules, best);
      longChain.Insert(i, hash);
    }
    const uint32_t hash = shortChain.Hash(p + i);
    if (best.Length < kLongPrefix) {
      const auto stop = static_cast<uint32_t>(std::min<size_t>(limit, kLongPrefix - 1));
      shortChain.Search(p, i, hash, limit, stop, rules, best);
    }
    shortChain.Insert(i, hash);
    if (best.Length >= rules.MinLength) {
      found.Length[i] = best.Length;
      found.Distance[i] = static_cast<uint16_t>(best.Distance);
    }
    carried = best;
  }
  return found;
}

std::vector<LzStep> Walk(const std::vector<uint32_t>& lengths, const LongestMatches& matches,
                         size_t n) {
  std::vector<LzStep> steps;
  for (size_t i = 0; i < n;) {
    const uint32_t length = lengths[i];
    if (length == 0) {
      steps.push_back({0, 0});
      ++i;
    } else {
      steps.push_back({length, matches.Distance[i]});
      i += length;
    }
  }
  return steps;
}

}  // namespace

std::vector<LzStep> OptimalLzParse(std::span<const uint8_t> data, const LzRules& rules) {
  const size_t n = data.size();
  LongestMatches matches = FindLongestMatches(data, rules);
  // cost[i]: the fewest bits that encode data[i..n); data is at most 16 MiB, so 32 bits hold it.
  std::vector<uint32_t> cost(n + 1, 0);
  std::vector<SlidingMinimum> windows;
  std::array<uint32_t, 3> shortest{};
  for (int c = 0; c < rules.ClassCount; ++c) {
    shortest[c] = c == 0 ? rules.MinLength : rules.Classes[c - 1].MaxLength + 1;
    // A range holds one class's lengths, and never more positions than the data has.
    windows.emplace_back(std::min<size_t>(rules.Classes[c].MaxLength - shortest[c] + 1, n + 1));
  }
  // The longest matches become the chosen lengths as the parse passes them.
  std::vector<uint32_t>& chosen = matches.Length;
  for (size_t i = n; i-- > 0;) {
    uint32_t best = cost[i + 1] + rules.LiteralBits;
    uint32_t bestLength = 0;
    for (int c = 0; c < rules.ClassCount; ++c) {
      SlidingMinimum& window = windows[c];
      if (i + shortest[c] <= n) window.AddBelow(static_cast<uint32_t>(i + shortest[c]), cost);
      window.DropAbove(static_cast<uint32_t>(i + std::min(rules.Classes[c].MaxLength, chosen[i])));
      if (window.empty()) continue;
      const uint32_t end = window.Cheapest();
      const uint32_t bits = cost[end] + rules.Classes[c].Bits;
      if (bits <= best) {
        best = bits;
        bestLength = static_cast<uint32_t>(end - i);
      }
    }
    cost[i] = best;
    chosen[i] = bestLength;
  }
  return Walk(chosen, matches, n);
}

std::vector<LzStep> GreedyLzParse(std::span<const uint8_t> data, const LzRules& rules) {
  const LongestMatches matches = FindLongestMatches(data, rules);
  return Walk(matches.Length, matches, data.size());
}

}  // namespace varnock::gba
