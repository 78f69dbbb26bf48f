// Arbitrary bytes as a stream of each Nintendo format (LC_LZ2, LC_LZ5, LZ3, HAL). The input is
// copied into a heap block of exactly its size, so AddressSanitizer reports any read past it;
// the output stays within the bound asked for, a stream that decodes ends on its end marker
// and decodes the same from its own bytes alone, and a stream the scan's first look accepts
// decodes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>

#include "compression/compression.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

constexpr varnock::CompressionFormat kFormats[] = {
    varnock::CompressionFormat::Lz2, varnock::CompressionFormat::Lz5,
    varnock::CompressionFormat::Lz3, varnock::CompressionFormat::Hal};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<uint8_t[]> exact(new uint8_t[size]);
  if (size > 0) std::memcpy(exact.get(), data, size);
  const std::span<const uint8_t> input(exact.get(), size);
  // The last byte, when there is one, picks a small bound so that it is reached often.
  const size_t bound = size > 0 ? size_t{data[size - 1]} * 16 : 0;
  for (const varnock::CompressionFormat format : kFormats) {
    for (const size_t maxOutput : {bound, varnock::kMaxDecompressedBytes}) {
      const varnock::DecompressResult result = varnock::Decompress(format, input, maxOutput);
      Check(result.Bytes.size() <= maxOutput && result.Bytes.size() <= 65536);
      if (!result.ok()) {
        Check(result.Bytes.empty());
        continue;
      }
      Check(result.Consumed >= 1 && result.Consumed <= size);
      Check(input[result.Consumed - 1] == 0xFF);
      const varnock::DecompressResult again =
          varnock::Decompress(format, input.first(result.Consumed), maxOutput);
      Check(again.ok() && again.Bytes == result.Bytes && again.Consumed == result.Consumed);
    }
    if (varnock::MayStartStream(format, input)) {
      const varnock::DecompressResult found =
          varnock::Decompress(format, input, varnock::CompressionInfo(format).ScanMaxOutput);
      Check(found.ok() && found.Bytes.size() % 8 == 0);
    }
  }
  return 0;
}
