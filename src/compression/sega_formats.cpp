#include "compression/sega_formats.h"

#include "compression/kosinski.h"
#include "compression/nemesis.h"

namespace varnock {

DecompressResult DecompressSegaFormat(CompressionFormat format, std::span<const uint8_t> input,
                                      size_t maxOutput) {
  if (format == CompressionFormat::Nemesis) return DecompressNemesis(input, maxOutput);
  if (format == CompressionFormat::Kosinski) return DecompressKosinski(input, maxOutput);
  return {DecompressError::BadHeader, {}, 0, 0};
}

std::optional<std::vector<uint8_t>> CompressSegaFormat(CompressionFormat format,
                                                       std::span<const uint8_t> data, int) {
  if (format == CompressionFormat::Nemesis) return CompressNemesis(data);
  if (format == CompressionFormat::Kosinski) return CompressKosinski(data);
  return std::nullopt;
}

bool MayStartSegaStream(CompressionFormat format, std::span<const uint8_t> input) {
  if (format == CompressionFormat::Nemesis) return MayStartNemesisStream(input);
  if (format == CompressionFormat::Kosinski) return MayStartKosinskiStream(input);
  return false;
}

}  // namespace varnock
