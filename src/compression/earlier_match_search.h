// The longest match among admitted sources, found through suffix order: of all the source
// strings admitted so far, the one agreeing longest with a target string is one of the two
// next to it when all suffixes are sorted. Compressors use it to find, for each position, the
// earlier output a copy could come from without trying every earlier position.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace varnock {

class EarlierMatchSearch {
 public:
  // Suffixes of `sources` are the candidates, suffixes of `targets` what is looked up; the
  // two may be the same bytes.
  EarlierMatchSearch(std::span<const uint8_t> sources, std::span<const uint8_t> targets);

  // The suffix of `sources` starting at `start` becomes a candidate.
  void Admit(size_t start);

  // The starts of the admitted source suffixes just before and just after the target suffix
  // at `start` in sorted order; -1 where there is none.
  std::array<int32_t, 2> Neighbours(size_t start) const;

 private:
  size_t targetStart_ = 0;      // where the targets begin among the sorted text
  std::vector<int32_t> order_;  // suffix starts in sorted order: sources, then targets
  std::vector<int32_t> rank_;   // each start's place in order_
  // Admitted ranks as bits, and a summary bit per word that has any set.
  std::vector<uint64_t> bits_;
  std::vector<uint64_t> summary_;
};

}  // namespace varnock
