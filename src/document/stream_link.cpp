#include "document/stream_link.h"

#include <algorithm>
#include <cstdio>

namespace varnock {

OpenedStream OpenStreamAt(std::span<const uint8_t> image, int64_t offset,
                          CompressionFormat format) {
  OpenedStream opened;
  if (offset < 0 || offset >= static_cast<int64_t>(image.size())) {
    opened.Error = DecompressError::EndsEarly;
    return opened;
  }
  DecompressResult result = Decompress(format, image.subspan(static_cast<size_t>(offset)));
  opened.Error = result.Error;
  if (!result.ok()) return opened;
  opened.Link.Offset = static_cast<int32_t>(offset);
  opened.Link.Format = format;
  opened.Link.Variant = result.Variant;
  opened.Link.PlaceLength = static_cast<int32_t>(result.Consumed);
  const std::span<const uint8_t> place = PlaceIn(opened.Link, image);
  opened.Link.PlaceBytes.assign(place.begin(), place.end());
  opened.Bytes = std::move(result.Bytes);
  return opened;
}

std::span<const uint8_t> PlaceIn(const StreamLink& link, std::span<const uint8_t> source) {
  if (link.Offset < 0 || static_cast<size_t>(link.Offset) >= source.size()) return {};
  const std::span<const uint8_t> rest = source.subspan(static_cast<size_t>(link.Offset));
  return rest.first(std::min(rest.size(), static_cast<size_t>(std::max(link.PlaceLength, 0))));
}

StreamSavePlan PlanStreamSave(const StreamLink& link, std::span<const uint8_t> source,
                              std::span<const uint8_t> graphics) {
  StreamSavePlan plan;
  const std::span<const uint8_t> place = PlaceIn(link, source);
  plan.PlaceChanged = !std::ranges::equal(place, link.PlaceBytes);
  std::optional<std::vector<uint8_t>> compressed = Compress(link.Format, graphics, link.Variant);
  if (!compressed) return plan;
  plan.Compressed = std::move(*compressed);
  if (plan.Compressed.size() > place.size())
    plan.Verdict = StreamSaveVerdict::TooLarge;
  else if (std::ranges::equal(plan.Compressed, place.first(plan.Compressed.size())))
    plan.Verdict = StreamSaveVerdict::Unchanged;
  else
    plan.Verdict = StreamSaveVerdict::Write;
  return plan;
}

std::string StreamSaveRefusal(const StreamLink& link, const StreamSavePlan& plan) {
  switch (plan.Verdict) {
    case StreamSaveVerdict::CannotCompress:
      return std::string("The graphics cannot be compressed as ") +
             CompressionInfo(link.Format).DisplayName + ". Nothing was written.";
    case StreamSaveVerdict::TooLarge:
      return "The graphics take " + std::to_string(plan.Compressed.size()) +
             " bytes compressed and only " + std::to_string(link.PlaceLength) + " are free at " +
             OffsetHexText(link.Offset) + ". Nothing was written.";
    case StreamSaveVerdict::Write:
    case StreamSaveVerdict::Unchanged:
      break;
  }
  return {};
}

std::string OffsetHexText(int64_t offset) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(offset));
  return text;
}

std::string StreamCaption(const std::string& sourceName, int64_t offset, CompressionFormat format) {
  return sourceName + " @ " + OffsetHexText(offset) + " [" + CompressionInfo(format).DisplayName +
         "]";
}

}  // namespace varnock
