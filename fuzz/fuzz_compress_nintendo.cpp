// Arbitrary bytes compressed into a Nintendo format (LC_LZ2, LC_LZ5, LZ3, HAL), the input's
// first byte choosing which: the stream decodes to the same bytes, takes exactly its own length,
// and is no longer than the greedy parse's stream, which decodes to the same bytes too. One
// format a run keeps inputs of several KiB fast enough to try many (scripts/fuzz.sh seeds
// real-size ones from fuzz/compressor_seeds.cpp).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
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
  if (size == 0) return 0;
  const varnock::CompressionFormat format = kFormats[data[0] % std::size(kFormats)];
  const std::span<const uint8_t> bytes(data + 1, size - 1);
  const auto stream = varnock::Compress(format, bytes);
  Check(stream.has_value() == (bytes.size() <= 65536));
  if (!stream) return 0;
  const varnock::DecompressResult back = varnock::Decompress(format, *stream);
  Check(back.ok() && back.Consumed == stream->size());
  Check(back.Bytes.size() == bytes.size() &&
        std::equal(back.Bytes.begin(), back.Bytes.end(), bytes.begin()));
  const auto greedy =
      varnock::CompressNintendoStreamGreedy(varnock::NintendoLayoutOf(format), bytes);
  Check(greedy && stream->size() <= greedy->size());
  const varnock::DecompressResult greedyBack = varnock::Decompress(format, *greedy);
  Check(greedyBack.ok() && greedyBack.Bytes == back.Bytes);
  return 0;
}
