#include "document/rom_header.h"

namespace varnock {
namespace {

// Bytes 0-3 "NES" 1A; 4 program banks of 16 KB; 5 character banks of 8 KB; 6 flags, bit 2 a
// 512-byte trainer between the header and the program banks.
constexpr int32_t kInesHeaderBytes = 16;
constexpr int64_t kProgramBankBytes = 16384;
constexpr int64_t kTrainerBytes = 512;

bool HasInesHeader(std::span<const uint8_t> image) {
  return image.size() >= kInesHeaderBytes && image[0] == 0x4E && image[1] == 0x45 &&
         image[2] == 0x53 && image[3] == 0x1A;
}

}  // namespace

int32_t CopierHeaderBytes(int64_t imageSize) {
  return imageSize % 1024 == kCopierHeaderBytes ? kCopierHeaderBytes : 0;
}

int32_t FirstViewableOffset(TileFormat format, int64_t imageSize, std::string_view extension) {
  if (!IsFixedTileFormat(format)) return 0;
  const TileFormatRow& row = TileFormatInfo(format);
  const bool header = !row.HeaderExtension || extension == row.HeaderExtension;
  return (header ? row.FirstViewable : 0) +
         (row.CopierHeaderRule ? CopierHeaderBytes(imageSize) : 0);
}

int32_t NesFirstPage(std::span<const uint8_t> image) {
  if (!HasInesHeader(image) || image[5] == 0) return kInesHeaderBytes;
  const int64_t characterRom = kInesHeaderBytes + kProgramBankBytes * image[4] +
                               ((image[6] & 0x04) != 0 ? kTrainerBytes : 0);
  if (characterRom >= static_cast<int64_t>(image.size())) return kInesHeaderBytes;
  return static_cast<int32_t>(characterRom);
}

}  // namespace varnock
