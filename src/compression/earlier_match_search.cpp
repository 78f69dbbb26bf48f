#include "compression/earlier_match_search.h"

#include <algorithm>
#include <bit>

namespace varnock {
namespace {

// Suffix order of `text` (symbols below `alphabet`) by prefix doubling: suffixes sorted by
// their first k symbols, then by 2k through the ranks of the halves, each round two stable
// counting sorts.
std::vector<int32_t> SortSuffixes(const std::vector<int32_t>& text, size_t alphabet) {
  const size_t n = text.size();
  std::vector<int32_t> order(n), rank(text), nextRank(n), bySecond(n);
  std::vector<int32_t> count(std::max(alphabet, n) + 1);
  for (int32_t symbol : text) ++count[static_cast<size_t>(symbol) + 1];
  for (size_t c = 1; c < count.size(); ++c) count[c] += count[c - 1];
  for (size_t i = 0; i < n; ++i)
    order[static_cast<size_t>(count[static_cast<size_t>(text[i])]++)] = static_cast<int32_t>(i);
  for (size_t k = 1; n > 1; k *= 2) {
    // Suffixes too short for a second half sort first, then the rest by their second half.
    size_t p = 0;
    for (size_t i = n - std::min(k, n); i < n; ++i) bySecond[p++] = static_cast<int32_t>(i);
    for (size_t j = 0; j < n; ++j)
      if (static_cast<size_t>(order[j]) >= k) bySecond[p++] = order[j] - static_cast<int32_t>(k);
    std::fill(count.begin(), count.end(), 0);
    for (int32_t r : rank) ++count[static_cast<size_t>(r) + 1];
    for (size_t c = 1; c < count.size(); ++c) count[c] += count[c - 1];
    for (int32_t i : bySecond)
      order[static_cast<size_t>(count[static_cast<size_t>(rank[static_cast<size_t>(i)])]++)] = i;
    const auto second = [&](size_t i) { return i + k < n ? rank[i + k] : -1; };
    nextRank[static_cast<size_t>(order[0])] = 0;
    for (size_t j = 1; j < n; ++j) {
      const size_t a = static_cast<size_t>(order[j - 1]);
      const size_t b = static_cast<size_t>(order[j]);
      const bool same = rank[a] == rank[b] && second(a) == second(b);
      nextRank[b] = nextRank[a] + (same ? 0 : 1);
    }
    rank.swap(nextRank);
    if (static_cast<size_t>(rank[static_cast<size_t>(order[n - 1])]) == n - 1) break;
  }
  return order;
}

}  // namespace

EarlierMatchSearch::EarlierMatchSearch(std::span<const uint8_t> sources,
                                       std::span<const uint8_t> targets)
    : targetStart_(sources.size() + 1) {
  // Sources, a separator no byte equals, then targets: a source suffix never agrees with a
  // target past its own end. When both are the same bytes, one copy of them is enough.
  constexpr int32_t kSeparator = 256;
  const bool same = sources.data() == targets.data() && sources.size() == targets.size();
  std::vector<int32_t> text(sources.begin(), sources.end());
  if (same) {
    targetStart_ = 0;
  } else {
    text.reserve(sources.size() + 1 + targets.size());
    text.push_back(kSeparator);
    text.insert(text.end(), targets.begin(), targets.end());
  }
  order_ = SortSuffixes(text, kSeparator + 1);
  rank_.resize(order_.size());
  for (size_t r = 0; r < order_.size(); ++r)
    rank_[static_cast<size_t>(order_[r])] = static_cast<int32_t>(r);
  bits_.assign((order_.size() + 63) / 64, 0);
  summary_.assign((bits_.size() + 63) / 64, 0);
}

void EarlierMatchSearch::Admit(size_t start) {
  const size_t r = static_cast<size_t>(rank_[start]);
  bits_[r / 64] |= uint64_t{1} << (r % 64);
  summary_[r / 4096] |= uint64_t{1} << (r / 64 % 64);
}

std::array<int32_t, 2> EarlierMatchSearch::Neighbours(size_t start) const {
  const size_t r = static_cast<size_t>(rank_[targetStart_ + start]);
  const size_t word = r / 64;
  const size_t bit = r % 64;
  std::array<int32_t, 2> found{-1, -1};
  // Before: the highest set bit below r, in its word or the nearest earlier word with any.
  if (const uint64_t below = bits_[word] & ((uint64_t{1} << bit) - 1)) {
    found[0] = order_[word * 64 + 63 - static_cast<size_t>(std::countl_zero(below))];
  } else {
    size_t group = word / 64;
    uint64_t words = summary_[group] & ((uint64_t{1} << (word % 64)) - 1);
    while (!words && group > 0) words = summary_[--group];
    if (words) {
      const size_t w = group * 64 + 63 - static_cast<size_t>(std::countl_zero(words));
      found[0] = order_[w * 64 + 63 - static_cast<size_t>(std::countl_zero(bits_[w]))];
    }
  }
  // After: the lowest set bit above r, likewise.
  if (const uint64_t above = bit == 63 ? 0 : bits_[word] & (~uint64_t{0} << (bit + 1))) {
    found[1] = order_[word * 64 + static_cast<size_t>(std::countr_zero(above))];
  } else {
    size_t group = (word + 1) / 64;
    uint64_t words =
        group < summary_.size() ? summary_[group] & (~uint64_t{0} << ((word + 1) % 64)) : 0;
    while (!words && group + 1 < summary_.size()) words = summary_[++group];
    if (words) {
      const size_t w = group * 64 + static_cast<size_t>(std::countr_zero(words));
      found[1] = order_[w * 64 + static_cast<size_t>(std::countr_zero(bits_[w]))];
    }
  }
  return found;
}

}  // namespace varnock
