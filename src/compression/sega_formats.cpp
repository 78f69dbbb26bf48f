#include "compression/sega_formats.h"

namespace varnock {

// Not written yet: every stream is refused and nothing is compressed.
DecompressResult DecompressSegaFormat(CompressionFormat, std::span<const uint8_t>, size_t) {
  return {DecompressError::BadHeader, {}, 0, 0};
}

std::optional<std::vector<uint8_t>> CompressSegaFormat(CompressionFormat, std::span<const uint8_t>,
                                                       int) {
  return std::nullopt;
}

bool MayStartSegaStream(CompressionFormat, std::span<const uint8_t>) {
  return true;
}

}  // namespace varnock
