#include "compression/stream_scan.h"

#include <algorithm>
#include <numeric>

namespace varnock {
namespace {

// Progress is reported once per this many offsets: often enough for a bar, rarely enough to
// cost nothing.
constexpr size_t kProgressStep = 64u << 10;

}  // namespace

std::vector<StreamFind> ScanForStreams(std::span<const uint8_t> image,
                                       std::span<const CompressionFormat> formats,
                                       const ScanProgress& progress) {
  std::vector<StreamFind> finds;
  // No chosen format starts between multiples of this: those offsets are not visited at all.
  size_t step = 0;
  for (CompressionFormat format : formats)
    step = std::gcd(step, static_cast<size_t>(std::max(1, CompressionInfo(format).Alignment)));
  step = std::max<size_t>(step, 1);
  size_t offset = 0;
  size_t nextReport = 0;
  while (offset < image.size()) {
    if (offset >= nextReport) {
      if (progress && !progress(offset, image.size())) return finds;
      nextReport = offset + kProgressStep;
    }
    std::span<const uint8_t> rest = image.subspan(offset);
    size_t advance = 1;
    for (CompressionFormat format : formats) {
      const CompressionFormatInfo& info = CompressionInfo(format);
      if (info.Alignment > 1 && offset % static_cast<size_t>(info.Alignment) != 0) continue;
      if (!MayStartStream(format, rest)) continue;
      DecompressResult result = Decompress(format, rest, info.ScanMaxOutput);
      if (!result.ok() || result.Bytes.size() < kMinimumScanOutput) continue;
      finds.push_back({offset, format, result.Consumed, result.Bytes.size(), result.Variant});
      advance = result.Consumed > 0 ? result.Consumed : 1;
      break;
    }
    offset += advance;
    offset += (step - offset % step) % step;
  }
  if (progress) progress(image.size(), image.size());
  return finds;
}

}  // namespace varnock
