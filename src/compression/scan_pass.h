// What the scan's passes over a whole image for one format give back, for formats whose
// streams have no header and are found by walking their commands from every offset.
#pragma once

#include <cstddef>
#include <functional>

namespace varnock {

inline constexpr size_t kNoStart = ~size_t{0};

struct StreamStart {
  size_t Offset = 0;
  size_t Consumed = 0;  // input bytes, end marker included
  size_t Produced = 0;  // output bytes
  // The first offset after this one at which the stream's walk reaches the start of another
  // stream (which then ends at the same byte), or kNoStart.
  size_t Next = kNoStart;
};

// Called now and then with how many of the image's bytes the pass has behind it; returning
// false stops the pass, which then gives what it found so far.
using PassProgress = std::function<bool(size_t done)>;

}  // namespace varnock
