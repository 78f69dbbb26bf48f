#include "compression/stream_place.h"

#include <cstdio>

namespace varnock {

StreamPlaceResult CompressForPlace(CompressionFormat format, std::span<const uint8_t> decompressed,
                                   int variant, size_t placeLength, int64_t offset) {
  StreamPlaceResult result;
  std::optional<std::vector<uint8_t>> compressed = Compress(format, decompressed, variant);
  char text[200];
  if (!compressed) {
    std::snprintf(text, sizeof text,
                  "The graphics cannot be compressed as %s. Nothing was written.",
                  CompressionInfo(format).DisplayName);
    result.Reason = text;
    return result;
  }
  if (compressed->size() > placeLength) {
    std::snprintf(text, sizeof text,
                  "The graphics take %zu bytes compressed and only %zu are free at 0x%llX. "
                  "Nothing was written.",
                  compressed->size(), placeLength, static_cast<unsigned long long>(offset));
    result.Reason = text;
    return result;
  }
  result.Ok = true;
  result.Compressed = std::move(*compressed);
  return result;
}

}  // namespace varnock
