#include "compression/stream_scan.h"

#include <algorithm>
#include <numeric>

#include "compression/exact_start.h"
#include "compression/nintendo_lz_layout.h"
#include "compression/nintendo_lz_scan.h"

namespace varnock {
namespace {

// Progress is reported once per this many offsets: often enough for a bar, rarely enough to
// cost nothing.
constexpr size_t kProgressStep = 64u << 10;

bool IsNintendoFormat(CompressionFormat format) {
  switch (format) {
    case CompressionFormat::Lz2:
    case CompressionFormat::Lz1:
    case CompressionFormat::Lz5:
    case CompressionFormat::Lz3:
    case CompressionFormat::Hal:
      return true;
    default:
      return false;
  }
}

// The scan is a few passes over the image, one after the other; progress counts them as one.
class PassCounter {
 public:
  PassCounter(const ScanProgress& progress, size_t size, size_t passes)
      : progress_(progress), size_(size), passes_(std::max<size_t>(passes, 1)) {}
  bool Report(size_t done) {
    if (!progress_) return true;
    const size_t overall = (pass_ * size_ + std::min(done, size_)) / passes_;
    stopped_ = stopped_ || !progress_(overall, size_);
    return !stopped_;
  }
  void NextPass() { ++pass_; }
  void Finish() {
    if (progress_ && !stopped_) progress_(size_, size_);
  }
  bool Stopped() const { return stopped_; }

 private:
  const ScanProgress& progress_;
  size_t size_;
  size_t passes_;
  size_t pass_ = 0;
  bool stopped_ = false;
};

// Decoding is what a scan spends its time on, and bytes that keep starting long streams which
// then fail (10 00 10 00 ... as LZ77 10) would make that grow with the square of the image.
// So each format may decode kWorkPerByte output bytes for each byte scanned, kWorkReserve
// ahead; a decode it cannot afford there is not tried. Ordinary images never come near it.
constexpr size_t kWorkPerByte = 32;
constexpr size_t kWorkReserve = 16u << 20;

// What trying `format` at the start of `input` may cost: the length its header declares, or
// the largest output a scan accepts.
size_t MostWork(CompressionFormat format, std::span<const uint8_t> input) {
  return DeclaredLength(format, input).value_or(CompressionInfo(format).ScanMaxOutput);
}

// Bytes a few bytes before a stream without a header (padding, noise) may decode a few junk
// tokens and run into it, ending at its end: of the starts this close after a find that end
// where it ends, the one where the stream begins is kept.
constexpr size_t kNearStarts = 32;

struct Decoded {
  size_t Offset = 0;
  DecompressResult Result;
};

// `found` at its offset, or the start after it that ends at the same byte and that it only
// adds bytes before: `found` lies in padding up to it, it gives whole tiles where `found` does
// not, or the first bytes of `found` look added before (LooksAddedBefore).
Decoded ExactStartAfter(std::span<const uint8_t> image, CompressionFormat format, Decoded found,
                        size_t tileBytes, size_t& work) {
  const size_t maxOutput = CompressionInfo(format).ScanMaxOutput;
  const size_t end = found.Offset + found.Result.Consumed;
  const size_t last = std::min(end, found.Offset + kNearStarts);
  tileBytes = std::max<size_t>(tileBytes, 1);
  for (size_t later = found.Offset + 1; later < last; ++later) {
    const std::span<const uint8_t> rest = image.subspan(later);
    if (work < maxOutput || !MayStartStream(format, rest)) continue;
    DecompressResult result = Decompress(format, rest, maxOutput);
    work -= std::min(work, std::max(result.Bytes.size(), size_t{1}));
    if (!result.ok() || later + result.Consumed != end || result.Bytes.size() < kMinimumScanOutput)
      continue;
    const std::vector<uint8_t>& earlier = found.Result.Bytes;
    const bool wholeEarlier = earlier.size() % tileBytes == 0;
    const bool wholeLater = result.Bytes.size() % tileBytes == 0;
    const size_t added =
        earlier.size() > result.Bytes.size() ? earlier.size() - result.Bytes.size() : 0;
    const size_t count = std::min(std::clamp<size_t>(added, 32, 256), earlier.size());
    const bool passOver = InPaddingUpTo(image, found.Offset, later) ||
                          (wholeEarlier != wholeLater
                               ? wholeLater
                               : LooksAddedBefore(std::span(earlier).first(count), result.Bytes));
    if (passOver) found = {later, std::move(result)};
  }
  return found;
}

// Formats with a header, and Kosinski, whose walks are short: each tried at every offset in
// one pass. A find's bytes are taken for its own format.
void WalkEveryOffset(std::span<const uint8_t> image, std::span<const CompressionFormat> formats,
                     const ScanOptions& options, PassCounter& counter,
                     std::vector<StreamFind>& finds) {
  // No chosen format starts between multiples of this: those offsets are not visited at all.
  size_t step = 0;
  for (CompressionFormat format : formats)
    step = std::gcd(step, static_cast<size_t>(std::max(1, CompressionInfo(format).Alignment)));
  step = std::max<size_t>(step, 1);
  std::vector<size_t> freeFrom(formats.size(), 0);
  std::vector<size_t> work(formats.size(), kWorkReserve);
  size_t nextReport = 0;
  for (size_t offset = 0; offset < image.size(); offset += step) {
    if (offset >= nextReport) {
      if (!counter.Report(offset)) return;
      nextReport = offset + kProgressStep;
    }
    const std::span<const uint8_t> rest = image.subspan(offset);
    for (size_t f = 0; f < formats.size(); ++f) {
      const CompressionFormat format = formats[f];
      const CompressionFormatInfo& info = CompressionInfo(format);
      work[f] = std::min(kWorkReserve, work[f] + kWorkPerByte * step);
      if (offset < freeFrom[f]) continue;
      if (info.Alignment > 1 && offset % static_cast<size_t>(info.Alignment) != 0) continue;
      const size_t most = MostWork(format, rest);
      if (most > info.ScanMaxOutput || most > work[f]) continue;
      if (!MayStartStream(format, rest)) continue;
      DecompressResult result = Decompress(format, rest, info.ScanMaxOutput);
      work[f] -= result.ok() ? std::min(most, result.Bytes.size()) : most;
      if (!result.ok() || result.Bytes.size() < kMinimumScanOutput) continue;
      Decoded found{offset, std::move(result)};
      if (!HasLengthHeader(format))
        found = ExactStartAfter(image, format, std::move(found), options.TileBytes, work[f]);
      const DecompressResult& stream = found.Result;
      const int score = ScoreStream(format, stream.Bytes, stream.Consumed, options.TileBytes);
      finds.push_back(
          {found.Offset, format, stream.Consumed, stream.Bytes.size(), stream.Variant, score});
      freeFrom[f] = found.Offset + std::max<size_t>(stream.Consumed, 1);
    }
  }
}

void FindNintendoFormat(std::span<const uint8_t> image, CompressionFormat format,
                        const ScanOptions& options, PassCounter& counter,
                        std::vector<StreamFind>& finds) {
  const CompressionFormatInfo& info = CompressionInfo(format);
  const std::vector<StreamStart> starts = FindNintendoStreams(
      NintendoLayoutOf(format), image, options.TileBytes, kMinimumScanOutput, info.ScanMaxOutput,
      [&counter](size_t done) { return counter.Report(done); });
  for (const StreamStart& start : starts) {
    if (counter.Stopped()) break;
    const DecompressResult result =
        Decompress(format, image.subspan(start.Offset, start.Consumed), info.ScanMaxOutput);
    if (!result.ok()) continue;
    const int score = ScoreStream(format, result.Bytes, result.Consumed, options.TileBytes);
    finds.push_back({start.Offset, format, result.Consumed, result.Bytes.size(), 0, score});
  }
}

// LC_LZ2 and LC_LZ1 read the same commands from the same bytes and differ only in the order of a
// copy's offset bytes: a stream both read whole is one stream read two ways, and only the reading
// that scores higher (the one whose format comes first on a tie) is listed. `finds` are in offset
// order, those at one offset in the order of the chosen formats.
void DropTwinReadings(std::vector<StreamFind>& finds) {
  const auto twins = [](const StreamFind& a, const StreamFind& b) {
    const auto either = [&](CompressionFormat x, CompressionFormat y) {
      return (a.Format == x && b.Format == y) || (a.Format == y && b.Format == x);
    };
    return a.Offset == b.Offset && a.CompressedLength == b.CompressedLength &&
           either(CompressionFormat::Lz2, CompressionFormat::Lz1);
  };
  std::vector<StreamFind> kept;
  for (const StreamFind& find : finds) {
    bool twin = false;
    for (size_t k = kept.size(); k-- > 0 && kept[k].Offset == find.Offset;) {
      if (!twins(kept[k], find)) continue;
      if (find.Score > kept[k].Score) kept[k] = find;
      twin = true;
      break;
    }
    if (!twin) kept.push_back(find);
  }
  finds = std::move(kept);
}

// A listed stream whose header declared the length it gave is more likely the game's than any
// find without a header over its bytes: such a find scores below it. `finds` are in offset
// order.
void RankHeadersFirst(std::vector<StreamFind>& finds) {
  size_t longest = 0;
  for (const StreamFind& find : finds) longest = std::max(longest, find.CompressedLength);
  for (size_t h = 0; h < finds.size(); ++h) {
    const StreamFind headed = finds[h];
    if (!HasLengthHeader(headed.Format) || !IsFindShown(headed)) continue;
    const size_t end = headed.Offset + headed.CompressedLength;
    const size_t from = headed.Offset > longest ? headed.Offset - longest : 0;
    auto first = std::lower_bound(finds.begin(), finds.end(), from,
                                  [](const StreamFind& f, size_t at) { return f.Offset < at; });
    for (auto it = first; it != finds.end() && it->Offset < end; ++it) {
      const bool overlaps = it->Offset + it->CompressedLength > headed.Offset;
      if (overlaps && !HasLengthHeader(it->Format))
        it->Score = std::max(kLowestScore, std::min(it->Score, headed.Score - 1));
    }
  }
}

}  // namespace

std::vector<StreamFind> ScanForStreams(std::span<const uint8_t> image,
                                       std::span<const CompressionFormat> formats,
                                       const ScanProgress& progress) {
  return ScanForStreams(image, formats, ScanOptions{}, progress);
}

std::vector<StreamFind> ScanForStreams(std::span<const uint8_t> image,
                                       std::span<const CompressionFormat> formats,
                                       const ScanOptions& options, const ScanProgress& progress) {
  std::vector<CompressionFormat> walked, passed;
  for (CompressionFormat format : formats) {
    std::vector<CompressionFormat>& group = IsNintendoFormat(format) ? passed : walked;
    if (std::find(group.begin(), group.end(), format) == group.end()) group.push_back(format);
  }
  PassCounter counter(progress, image.size(), (walked.empty() ? 0 : 1) + passed.size());
  std::vector<StreamFind> finds;
  if (!walked.empty()) {
    WalkEveryOffset(image, walked, options, counter, finds);
    counter.NextPass();
  }
  for (CompressionFormat format : passed) {
    if (counter.Stopped()) break;
    FindNintendoFormat(image, format, options, counter, finds);
    counter.NextPass();
  }
  counter.Finish();
  const auto rank = [&formats](CompressionFormat format) {
    return std::find(formats.begin(), formats.end(), format) - formats.begin();
  };
  std::stable_sort(finds.begin(), finds.end(), [&rank](const StreamFind& a, const StreamFind& b) {
    if (a.Offset != b.Offset) return a.Offset < b.Offset;
    return rank(a.Format) < rank(b.Format);
  });
  DropTwinReadings(finds);
  RankHeadersFirst(finds);
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
