// Arbitrary bytes compressed into each Nintendo format (LC_LZ2, LC_LZ5, LZ3, HAL): the stream
// decodes to the same bytes, takes exactly its own length, and is no longer than the greedy
// parse's stream, which decodes to the same bytes too.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "compression/compression.h"
#include "compression/nintendo_lz_encode.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

constexpr varnock::CompressionFormat kFormats[] = {
    varnock::CompressionFormat::Lz2, varnock::CompressionFormat::Lz5,
    varnock::CompressionFormat::Lz3, varnock::CompressionFormat::Hal};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  for (const varnock::CompressionFormat format : kFormats) {
    const auto stream = varnock::Compress(format, bytes);
    Check(stream.has_value() == (size <= 65536));
    if (!stream) continue;
    const varnock::DecompressResult back = varnock::Decompress(format, *stream);
    Check(back.ok() && back.Consumed == stream->size());
    Check(back.Bytes.size() == size && std::equal(back.Bytes.begin(), back.Bytes.end(), data));
    const auto greedy =
        varnock::CompressNintendoStreamGreedy(varnock::NintendoLayoutOf(format), bytes);
    Check(greedy && stream->size() <= greedy->size());
    const varnock::DecompressResult greedyBack = varnock::Decompress(format, *greedy);
    Check(greedyBack.ok() && greedyBack.Bytes == back.Bytes);
  }
  return 0;
}
