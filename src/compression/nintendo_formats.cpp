#include "compression/nintendo_formats.h"

namespace varnock {

// Not written yet: every stream is refused and nothing is compressed.
DecompressResult DecompressNintendoFormat(CompressionFormat, std::span<const uint8_t>, size_t) {
  return {DecompressError::BadHeader, {}, 0, 0};
}

std::optional<std::vector<uint8_t>> CompressNintendoFormat(CompressionFormat,
                                                           std::span<const uint8_t>, int) {
  return std::nullopt;
}

bool MayStartNintendoStream(CompressionFormat, std::span<const uint8_t>) {
  return true;
}

}  // namespace varnock
