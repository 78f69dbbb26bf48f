#include "document/stream_link.h"

#include <algorithm>
#include <cstdio>

#include "document/free_space.h"

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
  opened.Link.StreamLength = opened.Link.PlaceLength;
  opened.Link.FillByte = FreeSpaceByte(image);
  const std::span<const uint8_t> place = PlaceIn(opened.Link, image);
  opened.Link.PlaceBytes.assign(place.begin(), place.end());
  opened.Bytes = std::move(result.Bytes);
  return opened;
}

std::string ChangeStreamRoom(StreamLink& link, std::span<const uint8_t> source, int64_t room) {
  if (room < link.StreamLength)
    return "The stream at " + OffsetHexText(link.Offset) + " takes " +
           std::to_string(link.StreamLength) + " bytes: a room of " + std::to_string(room) +
           " bytes cannot hold it.";
  if (link.Offset < 0 || room > static_cast<int64_t>(source.size()) - link.Offset)
    return "A room of " + std::to_string(room) + " bytes at " + OffsetHexText(link.Offset) +
           " reaches past the end of the image (" + std::to_string(source.size()) + " bytes).";
  const auto kept = std::min(link.PlaceBytes.size(), static_cast<size_t>(room));
  link.PlaceBytes.resize(kept);
  const std::span<const uint8_t> gained =
      source.subspan(static_cast<size_t>(link.Offset) + kept, static_cast<size_t>(room) - kept);
  link.PlaceBytes.insert(link.PlaceBytes.end(), gained.begin(), gained.end());
  link.PlaceLength = static_cast<int32_t>(room);
  return {};
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
  plan.Bytes = std::move(*compressed);
  plan.CompressedLength = plan.Bytes.size();
  if (plan.CompressedLength > place.size()) {
    plan.Verdict = StreamSaveVerdict::TooLarge;
    return plan;
  }
  // The bytes a longer stream took before are no part of this one: they get the fill byte, so
  // that nothing stale stays behind and the whole room is there for the next save.
  plan.Bytes.resize(place.size(), link.FillByte);
  plan.Verdict = std::ranges::equal(plan.Bytes, place) ? StreamSaveVerdict::Unchanged
                                                       : StreamSaveVerdict::Write;
  return plan;
}

void StreamSaved(StreamLink& link, std::span<const uint8_t> source, const StreamSavePlan& plan) {
  link.StreamLength = static_cast<int32_t>(plan.CompressedLength);
  const std::span<const uint8_t> place = PlaceIn(link, source);
  link.PlaceBytes.assign(place.begin(), place.end());
}

std::string StreamSaveRefusal(const StreamLink& link, const StreamSavePlan& plan) {
  switch (plan.Verdict) {
    case StreamSaveVerdict::CannotCompress:
      return std::string("The graphics cannot be compressed as ") +
             CompressionInfo(link.Format).DisplayName + ". Nothing was written.";
    case StreamSaveVerdict::TooLarge:
      return "The graphics take " + std::to_string(plan.CompressedLength) +
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
