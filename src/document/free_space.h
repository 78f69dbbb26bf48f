// Free space in an image: runs of one byte value, 0x00 or 0xFF, where a stream that no longer
// fits its place can go, and the byte a shortened stream leaves behind it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace varnock {

// Runs shorter than this are taken for data that happens to repeat a byte, not for free space.
inline constexpr size_t kShortestFreeRun = 16;
// A stream put into a run keeps this far from the run's first byte, which may still belong to
// the data before it (a table ending in zeros, a stream whose last bytes are 0xFF).
inline constexpr size_t kFreeRunMargin = 16;

// The byte the image's free space holds: 0xFF when its runs of 0xFF (of kShortestFreeRun bytes
// or more) cover more bytes than its runs of 0x00, as in images padded with 0xFF; else 0x00.
uint8_t FreeSpaceByte(std::span<const uint8_t> image);

// True when all of `bytes` are 0x00, or all are 0xFF.
bool IsFreeSpace(std::span<const uint8_t> bytes);

// A byte range that a search must leave alone: [From, From + Length).
struct KeptRange {
  int64_t From = 0;
  int64_t Length = 0;
};

// Where `length` bytes can go: the last run of one free byte value in `image` (searched from
// its end) that holds them at a multiple of `alignment`, kFreeRunMargin bytes after the run's
// start; none of them inside `kept`. Empty when no run is large enough.
std::optional<int64_t> FindFreeRun(std::span<const uint8_t> image, size_t length, int alignment,
                                   KeptRange kept);

}  // namespace varnock
