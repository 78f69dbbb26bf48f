// Parsing data into literals and back-references for the GBA/DS LZ77 formats. In both of them
// a reference's size depends on its length only, never on its distance, so the longest match
// at each position is all a parse needs to know: every shorter length is a prefix of it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace varnock::gba {

struct LzLengthClass {
  uint32_t MaxLength;  // lengths up to this one (from the previous class's end) ...
  uint32_t Bits;       // ... cost this many bits, flag bit included
};

// What a format's references can be and what each token costs.
struct LzRules {
  uint32_t MinDistance = 1;
  uint32_t MaxDistance = 4096;
  uint32_t MinLength = 3;
  uint32_t LiteralBits = 9;
  std::array<LzLengthClass, 3> Classes{};
  int ClassCount = 0;

  uint32_t MaxLength() const { return Classes[ClassCount - 1].MaxLength; }
};

// One token: a literal byte when Length is 0, else a copy of Length bytes from Distance back.
struct LzStep {
  uint32_t Length = 0;
  uint32_t Distance = 0;
};

// The parse with the fewest bits: a shortest path over positions, each edge a token of the
// format's exact cost.
std::vector<LzStep> OptimalLzParse(std::span<const uint8_t> data, const LzRules& rules);

// The longest match at every step, else a literal: what the optimal parse is measured against.
std::vector<LzStep> GreedyLzParse(std::span<const uint8_t> data, const LzRules& rules);

}  // namespace varnock::gba
