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
  return ScanForStreams(image, formats, ScanOptions{}, progress);
}

std::vector<StreamFind> ScanForStreams(std::span<const uint8_t> image,
                                       std::span<const CompressionFormat> formats,
                                       const ScanOptions& options, const ScanProgress& progress) {
  std::vector<StreamFind> finds;
  // No chosen format starts between multiples of this: those offsets are not visited at all.
  size_t step = 0;
  for (CompressionFormat format : formats)
    step = std::gcd(step, static_cast<size_t>(std::max(1, CompressionInfo(format).Alignment)));
  step = std::max<size_t>(step, 1);
  // Per format, where its last find ended: a find's bytes are taken for its own format only.
  std::vector<size_t> freeFrom(formats.size(), 0);
  size_t nextReport = 0;
  for (size_t offset = 0; offset < image.size(); offset += step) {
    if (offset >= nextReport) {
      if (progress && !progress(offset, image.size())) return finds;
      nextReport = offset + kProgressStep;
    }
    const std::span<const uint8_t> rest = image.subspan(offset);
    for (size_t f = 0; f < formats.size(); ++f) {
      const CompressionFormat format = formats[f];
      const CompressionFormatInfo& info = CompressionInfo(format);
      if (offset < freeFrom[f]) continue;
      if (info.Alignment > 1 && offset % static_cast<size_t>(info.Alignment) != 0) continue;
      if (!MayStartStream(format, rest)) continue;
      const DecompressResult result = Decompress(format, rest, info.ScanMaxOutput);
      if (!result.ok() || result.Bytes.size() < kMinimumScanOutput) continue;
      const int score = ScoreStream(format, result.Bytes, result.Consumed, options.TileBytes);
      finds.push_back(
          {offset, format, result.Consumed, result.Bytes.size(), result.Variant, score});
      freeFrom[f] = offset + std::max<size_t>(result.Consumed, 1);
    }
  }
  if (progress) progress(image.size(), image.size());
  return finds;
}

bool IsFindShown(const StreamFind& find, int threshold, size_t minimumSize) {
  return find.Score >= threshold && find.DecompressedLength >= minimumSize;
}

void SortByScore(std::vector<StreamFind>& finds) {
  std::stable_sort(finds.begin(), finds.end(), [](const StreamFind& a, const StreamFind& b) {
    if (a.Score != b.Score) return a.Score > b.Score;
    if (a.Offset != b.Offset) return a.Offset < b.Offset;
    return a.Format < b.Format;
  });
}

}  // namespace varnock
