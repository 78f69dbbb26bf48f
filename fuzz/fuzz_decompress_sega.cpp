// Every Sega format decodes the input from an exactly sized heap copy, so AddressSanitizer
// reports any byte read past it; the output bound and the consumed length are checked, and a
// stream cut to its consumed length must decode the same, since nothing after it belongs to it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>

#include "compression/compression.h"

using namespace varnock;

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

DecompressResult DecodeCopy(CompressionFormat format, const uint8_t* data, size_t size,
                            size_t maxOutput) {
  std::unique_ptr<uint8_t[]> copy(new uint8_t[size]);
  if (size != 0) std::memcpy(copy.get(), data, size);
  return Decompress(format, std::span<const uint8_t>(copy.get(), size), maxOutput);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (CompressionFormat format : {CompressionFormat::Nemesis, CompressionFormat::Kosinski}) {
    // A small cap as the scan uses, and the full one.
    for (size_t maxOutput : {size_t{1} << 12, kMaxDecompressedBytes}) {
      const DecompressResult result = DecodeCopy(format, data, size, maxOutput);
      Check(result.Bytes.size() <= maxOutput, "output past the cap");
      if (!result.ok()) {
        Check(result.Bytes.empty(), "bytes of a refused stream");
        continue;
      }
      Check(result.Consumed > 0 && result.Consumed <= size, "consumed outside the input");
      if (format == CompressionFormat::Nemesis)
        Check(result.Bytes.size() % 32 == 0 && !result.Bytes.empty(), "not whole tiles");
      const DecompressResult cut = DecodeCopy(format, data, result.Consumed, maxOutput);
      Check(cut.ok() && cut.Bytes == result.Bytes && cut.Consumed == result.Consumed,
            "the stream needs bytes past its consumed length");
    }
    MayStartStream(format, std::span<const uint8_t>(data, size));
  }
  return 0;
}
