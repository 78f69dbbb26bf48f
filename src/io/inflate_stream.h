// Bounded decompression of the zlib and gzip streams emulators write their save states in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace varnock {

enum class StreamWrapper { Zlib, Gzip };

enum class InflateError {
  None,
  Damaged,    // not a stream of that kind, a bad checksum, or data after the end
  Truncated,  // the input ends before the stream does
  TooLarge,   // the output would pass the limit
};

// Largest output any reader accepts: a save state is well below it, and a small file that
// claims more is refused before it can exhaust memory.
inline constexpr size_t kMaxInflatedBytes = 16u << 20;

struct InflateResult {
  InflateError Error = InflateError::None;
  std::vector<uint8_t> Bytes;
  bool ok() const { return Error == InflateError::None; }
};

// Decompresses one whole stream that must end exactly where `input` ends (a gzip file may
// carry further members, which are decompressed after the first). Output is never allowed past
// `maxOutput` bytes.
InflateResult InflateStream(std::span<const uint8_t> input, StreamWrapper wrapper,
                            size_t maxOutput = kMaxInflatedBytes);

}  // namespace varnock
