#include "document/free_space.h"

#include <algorithm>

namespace varnock {
namespace {

bool IsFreeByte(uint8_t byte) {
  return byte == 0x00 || byte == 0xFF;
}

int64_t AlignUp(int64_t offset, int64_t alignment) {
  return (offset + alignment - 1) / alignment * alignment;
}

}  // namespace

uint8_t FreeSpaceByte(std::span<const uint8_t> image) {
  size_t zeros = 0;
  size_t ones = 0;
  for (size_t start = 0; start < image.size();) {
    size_t end = start + 1;
    while (end < image.size() && image[end] == image[start]) ++end;
    if (end - start >= kShortestFreeRun) {
      if (image[start] == 0x00) zeros += end - start;
      if (image[start] == 0xFF) ones += end - start;
    }
    start = end;
  }
  return ones > zeros ? 0xFF : 0x00;
}

bool IsFreeSpace(std::span<const uint8_t> bytes) {
  if (bytes.empty() || !IsFreeByte(bytes[0])) return false;
  return std::ranges::all_of(bytes, [&](uint8_t byte) { return byte == bytes[0]; });
}

std::optional<int64_t> FindFreeRun(std::span<const uint8_t> image, size_t length, int alignment,
                                   KeptRange kept) {
  const auto size = static_cast<int64_t>(image.size());
  const int64_t step = std::max(alignment, 1);
  const auto needed = static_cast<int64_t>(length);
  if (needed <= 0) return std::nullopt;
  // The run [from, to) of one free byte value, or the part of it on one side of `kept`.
  auto place = [&](int64_t from, int64_t to) -> std::optional<int64_t> {
    const int64_t start = AlignUp(from + static_cast<int64_t>(kFreeRunMargin), step);
    // Data may follow the run and begin with its byte: keep clear of it too, except at the
    // image's end, after which nothing comes.
    const int64_t end = to == size ? to : to - static_cast<int64_t>(kFreeRunMargin);
    if (start + needed <= end) return start;
    return std::nullopt;
  };
  const int64_t keptEnd = kept.From + std::max<int64_t>(kept.Length, 0);
  for (int64_t to = size; to > 0;) {
    const uint8_t value = image[static_cast<size_t>(to - 1)];
    int64_t from = to - 1;
    while (from > 0 && image[static_cast<size_t>(from - 1)] == value) --from;
    if (IsFreeByte(value) && to - from >= static_cast<int64_t>(kShortestFreeRun)) {
      // The part after the kept range first: the search goes from the end.
      if (to > keptEnd) {
        if (auto at = place(std::max(from, keptEnd), to)) return at;
      }
      if (from < kept.From) {
        if (auto at = place(from, std::min(to, kept.From))) return at;
      }
    }
    to = from;
  }
  return std::nullopt;
}

}  // namespace varnock
