#include "codec/bitmap_layout.h"

namespace varnock {
namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kOldStyleHeader = 12;
constexpr uint32_t kNoCompression = 0;
constexpr uint32_t kBitMasks = 3;

uint32_t Le16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at] | bytes[at + 1] << 8);
}

uint32_t Le32(std::span<const uint8_t> bytes, size_t at) {
  return Le16(bytes, at) | Le16(bytes, at + 2) << 16;
}

}  // namespace

std::optional<BitmapLayout> ReadBitmapLayout(std::span<const uint8_t> head) {
  if (head.size() < 2 || head[0] != 'B' || head[1] != 'M') return std::nullopt;
  BitmapLayout layout;
  // Too short for the headers: a reader may still make something of it, from nothing.
  if (head.size() < kFileHeaderBytes + 4) return layout;
  const uint64_t pixelOffset = Le32(head, 10);
  const uint32_t headerBytes = Le32(head, 14);
  int64_t width = 0;
  int64_t height = 0;
  uint32_t planes = 0;
  uint32_t bits = 0;
  uint32_t compression = kNoCompression;
  uint64_t colours = 0;
  uint64_t entryBytes = 4;
  if (headerBytes == kOldStyleHeader) {
    if (head.size() < kFileHeaderBytes + kOldStyleHeader) return layout;
    width = static_cast<int16_t>(Le16(head, 18));
    height = static_cast<int16_t>(Le16(head, 20));
    planes = Le16(head, 22);
    bits = Le16(head, 24);
    entryBytes = 3;
  } else {
    if (head.size() < kFileHeaderBytes + 40) return layout;
    width = static_cast<int32_t>(Le32(head, 18));
    height = static_cast<int32_t>(Le32(head, 22));
    planes = Le16(head, 26);
    bits = Le16(head, 28);
    compression = Le32(head, 30);
    colours = Le32(head, 46);
  }
  const bool usualHeader = headerBytes == kOldStyleHeader || headerBytes == 40 ||
                           headerBytes == 108 || headerBytes == 124;
  const bool usualPixels =
      bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
  const bool uncompressed =
      compression == kNoCompression || (compression == kBitMasks && (bits == 16 || bits == 32));
  if (!usualHeader || !usualPixels || !uncompressed || planes != 1 || width <= 0 || height == 0)
    return layout;
  if (bits > 8) {
    colours = 0;  // a colour table beside true-colour rows is not read
  } else if (colours == 0) {
    colours = uint64_t{1} << bits;
  }
  const uint64_t masks = headerBytes == 40 && compression == kBitMasks ? 12 : 0;
  const uint64_t headersEnd = kFileHeaderBytes + headerBytes + masks + colours * entryBytes;
  // Rows said to start inside the headers are found wherever a reader stops reading them.
  if (pixelOffset < headersEnd) return layout;
  const uint64_t rowBytes = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
  const uint64_t rows = static_cast<uint64_t>(height < 0 ? -height : height);
  layout.RowsKnown = true;
  layout.PixelEnd = pixelOffset + rowBytes * rows;
  return layout;
}

}  // namespace varnock
