#include "search/tile_search.h"

#include <algorithm>

#include "codec/codec_registry.h"
#include "compression/scan_presets.h"
#include "document/rom_header.h"

namespace varnock {

std::vector<TileFormat> SearchFormatOrder(TileFormat first, std::span<const TileFormat> chosen) {
  std::vector<TileFormat> all;
  for (int format = 0; format < kFixedTileFormatCount; ++format)
    all.push_back(static_cast<TileFormat>(format));
  for (TileFormat format : DescribedFormats()) all.push_back(format);
  const auto wanted = [&chosen](TileFormat format) {
    return chosen.empty() || std::find(chosen.begin(), chosen.end(), format) != chosen.end();
  };
  std::vector<TileFormat> order;
  if (LookUpTileFormat(first) && wanted(first)) order.push_back(first);
  for (TileFormat format : all)
    if (format != first && wanted(format)) order.push_back(format);
  return order;
}

TileSearchRequest MakeTileSearchRequest(SearchedTiles tiles, TileFormat windowFormat,
                                        std::span<const TileFormat> chosenFormats,
                                        std::string_view upperExtension, bool flips, bool streams) {
  TileSearchRequest request;
  request.Tiles = std::move(tiles);
  request.Formats = SearchFormatOrder(windowFormat, chosenFormats);
  request.Flips = flips;
  request.Streams = streams;
  request.UpperExtension = std::string(upperExtension);
  if (streams) request.StreamFormats = ScanFormatsForExtension(upperExtension);
  return request;
}

namespace {

// The work of a search in one unit: a byte gone through in one format, or scanned once.
class Work {
 public:
  Work(const TileSearchProgress& progress, uint64_t total) : progress_(progress), total_(total) {}
  bool Report(uint64_t done) {
    if (stopped_) return false;
    if (progress_ && !progress_(std::min(done, total_), total_)) stopped_ = true;
    return !stopped_;
  }
  bool Stopped() const { return stopped_; }
  uint64_t Total() const { return total_; }

 private:
  const TileSearchProgress& progress_;
  uint64_t total_;
  bool stopped_ = false;
};

}  // namespace

TileSearchResult SearchTiles(const TileSearchRequest& request, std::span<const uint8_t> image,
                             const TileSearchProgress& progress) {
  TileSearchResult result;
  const TileMatcher matcher(request.Tiles, request.Formats, request.Flips);
  const uint64_t formats = matcher.FormatCount();
  const bool streams = request.Streams && !request.StreamFormats.empty();
  // Raw search, then the scan; the streams' own search counts as much again as the scan, a
  // guess that only shapes the bar.
  const uint64_t raw = image.size() * formats;
  Work work(progress, raw + (streams ? 2 * image.size() : 0) + 1);

  std::vector<int64_t> own = request.OwnOffsets;
  std::sort(own.begin(), own.end());
  size_t ownIndex = request.Formats.size();
  for (size_t f = 0; f < request.Formats.size(); ++f)
    if (request.Formats[f] == request.OwnFormat) ownIndex = f;

  PlaceCollector imagePlaces(matcher, request.Formats);
  const bool complete = matcher.Match(
      image,
      [&](size_t formatIndex, const TileMatch& match) {
        if (formatIndex == ownIndex &&
            std::binary_search(own.begin(), own.end(), static_cast<int64_t>(match.Offset)))
          return;
        imagePlaces.Add(formatIndex, match);
      },
      [&](uint64_t done) { return work.Report(done); });
  imagePlaces.Finish(std::nullopt, result.Places);

  if (complete && streams) {
    // The scan ranks its finds for graphics of the first format; those a scan's list would
    // hide are not searched either.
    ScanOptions options;
    if (matcher.TileBytes(0) > 0) options.TileBytes = static_cast<size_t>(matcher.TileBytes(0));
    std::vector<StreamFind> finds =
        ScanForStreams(image, request.StreamFormats, options,
                       [&](size_t done, size_t) { return work.Report(raw + done); });
    std::erase_if(finds, [](const StreamFind& find) { return !IsFindShown(find); });
    // Formats that share commands (LC_LZ2 and LC_LZ5) may read one stream alike: the same
    // bytes from the same place are searched once, as the format listed first.
    std::vector<std::vector<uint8_t>> sameStart;
    size_t start = image.size();
    for (size_t i = 0; i < finds.size() && !work.Stopped(); ++i) {
      const StreamFind& find = finds[i];
      DecompressResult stream = Decompress(find.Format, image.subspan(find.Offset),
                                           CompressionInfo(find.Format).ScanMaxOutput);
      if (!stream.ok()) continue;
      if (find.Offset != start) sameStart.clear();
      start = find.Offset;
      if (std::find(sameStart.begin(), sameStart.end(), stream.Bytes) != sameStart.end()) continue;
      sameStart.push_back(stream.Bytes);
      ++result.StreamsSearched;
      PlaceCollector streamPlaces(matcher, request.Formats);
      matcher.Match(stream.Bytes, [&](size_t formatIndex, const TileMatch& match) {
        streamPlaces.Add(formatIndex, match);
      });
      const size_t before = result.Places.size();
      streamPlaces.Finish(result.Streams.size(), result.Places);
      if (result.Places.size() > before) result.Streams.push_back({find, std::move(stream.Bytes)});
      work.Report(raw + image.size() + image.size() * (i + 1) / finds.size());
    }
  }
  for (TilePlace& place : result.Places) {
    const auto tileBytes = static_cast<size_t>(matcher.TileBytes(place.FormatIndex));
    const size_t grid =
        place.Stream
            ? 0
            : static_cast<size_t>(FirstViewableOffset(
                  place.Format, static_cast<int64_t>(image.size()), request.UpperExtension));
    place.OnGrid = tileBytes > 0 && place.Offset % tileBytes == grid % tileBytes;
  }
  result.Cancelled = !complete || work.Stopped();
  if (!result.Cancelled) work.Report(work.Total());
  SortPlaces(result.Places);
  return result;
}

}  // namespace varnock
