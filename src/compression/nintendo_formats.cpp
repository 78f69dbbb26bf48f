#include "compression/nintendo_formats.h"

#include "compression/nintendo_lz_decode.h"
#include "compression/nintendo_lz_encode.h"

namespace varnock {

DecompressResult DecompressNintendoFormat(CompressionFormat format, std::span<const uint8_t> input,
                                          size_t maxOutput) {
  return DecodeNintendoStream(NintendoLayoutOf(format), input, maxOutput);
}

std::optional<std::vector<uint8_t>> CompressNintendoFormat(CompressionFormat format,
                                                           std::span<const uint8_t> data, int) {
  return CompressNintendoStream(NintendoLayoutOf(format), data);
}

// These formats have no header to look at, so the first look walks the commands themselves
// (without writing any output) under the plausibility rules, up to the output a scan accepts;
// most offsets of a ROM fail within a few commands.
bool MayStartNintendoStream(CompressionFormat format, std::span<const uint8_t> input) {
  return IsPlausibleNintendoStream(NintendoLayoutOf(format), input,
                                   CompressionInfo(format).ScanMaxOutput);
}

}  // namespace varnock
