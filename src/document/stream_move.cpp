#include "document/stream_move.h"

#include <algorithm>

#include "document/free_space.h"
#include "document/rom_document.h"
#include "document/step_names.h"

namespace varnock {

std::array<uint8_t, 4> GbaPointerBytes(int64_t offset) {
  const auto word = static_cast<uint32_t>(kGbaRomAddress + static_cast<uint64_t>(offset));
  return {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8),
          static_cast<uint8_t>(word >> 16), static_cast<uint8_t>(word >> 24)};
}

std::vector<int64_t> FindPointerWords(std::span<const uint8_t> image, int64_t offset) {
  std::vector<int64_t> words;
  if (offset < 0 || offset >= static_cast<int64_t>(image.size())) return words;
  const std::array<uint8_t, 4> pointer = GbaPointerBytes(offset);
  for (size_t at = 0; at + 4 <= image.size(); at += 4)
    if (std::equal(pointer.begin(), pointer.end(), image.begin() + static_cast<ptrdiff_t>(at)))
      words.push_back(static_cast<int64_t>(at));
  return words;
}

StreamMovePlan PlanStreamMove(const StreamLink& link, std::span<const uint8_t> source,
                              std::span<const uint8_t> compressed, std::optional<int64_t> target,
                              bool gbaImage) {
  StreamMovePlan plan;
  plan.Bytes.assign(compressed.begin(), compressed.end());
  const int alignment = std::max(CompressionInfo(link.Format).Alignment, 1);
  const auto size = static_cast<int64_t>(source.size());
  const auto length = static_cast<int64_t>(compressed.size());
  const KeptRange oldPlace{link.Offset, link.PlaceLength};
  const std::string bytes = std::to_string(length) + " bytes";
  if (!target) {
    target = FindFreeRun(source, compressed.size(), alignment, oldPlace);
    if (!target) {
      plan.Refusal = "No run of free bytes (0x00 or 0xFF) in the image holds the " + bytes +
                     " of the stream. Nothing was written.";
      return plan;
    }
  }
  const int64_t at = *target;
  if (at < 0 || at >= size || length > size - at) {
    plan.Refusal = "The stream takes " + bytes + " and does not fit at " + OffsetHexText(at) +
                   " before the end of the image (" + std::to_string(size) +
                   " bytes). Nothing was written.";
  } else if (at % alignment != 0) {
    plan.Refusal = std::string(CompressionInfo(link.Format).DisplayName) +
                   " streams start at a multiple of " + std::to_string(alignment) + "; " +
                   OffsetHexText(at) + " is not one. Nothing was written.";
  } else if (at < oldPlace.From + oldPlace.Length && oldPlace.From < at + length) {
    plan.Refusal = "The " + bytes + " at " + OffsetHexText(at) +
                   " would overlap the stream's old place at " + OffsetHexText(link.Offset) +
                   ", which a move leaves as it was. Nothing was written.";
  }
  if (!plan.Refusal.empty()) return plan;
  plan.Offset = at;
  plan.TargetUsed = !IsFreeSpace(source.subspan(static_cast<size_t>(at), compressed.size()));
  if (gbaImage) {
    plan.Pointers = FindPointerWords(source, link.Offset);
    // A word the stream itself will cover is no pointer any more.
    std::erase_if(plan.Pointers, [&](int64_t word) { return word + 4 > at && word < at + length; });
  }
  return plan;
}

void MoveStream(RomDocument& doc, StreamLink& link, const StreamMovePlan& plan,
                std::span<const int64_t> repointed) {
  // The stream and the pointers that follow it are one step: an undo takes back the whole move.
  HistoryStep step(doc, StreamMoveStepName(link.Format, link.Offset, plan.Offset));
  doc.WriteBytes(plan.Offset, plan.Bytes);
  const std::array<uint8_t, 4> pointer = GbaPointerBytes(plan.Offset);
  for (int64_t word : repointed)
    if (std::ranges::find(plan.Pointers, word) != plan.Pointers.end())
      doc.WriteBytes(word, pointer);
  link.Offset = static_cast<int32_t>(plan.Offset);
  link.PlaceLength = static_cast<int32_t>(plan.Bytes.size());
  link.StreamLength = link.PlaceLength;
  const std::span<const uint8_t> place = PlaceIn(link, doc.BytesFrom(0));
  link.PlaceBytes.assign(place.begin(), place.end());
}

std::string StreamMovedText(int64_t from, int64_t to) {
  return "The stream now starts at " + OffsetHexText(to) + "; its old place at " +
         OffsetHexText(from) + " is as it was.";
}

}  // namespace varnock
