#include "palette/snes9x_state.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "io/byte_order.h"
#include "io/inflate_stream.h"

namespace varnock {
namespace {

constexpr std::string_view kSignature = "#!s9xsnp:";
constexpr size_t kHeaderBytes = 14;  // signature, four digits, newline
constexpr size_t kBlockHeaderBytes = 11;
constexpr int32_t kColors = 256;

bool IsDigits(std::span<const uint8_t> bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](uint8_t c) { return c >= '0' && c <= '9'; });
}

PaletteReadResult ParseUnpacked(std::span<const uint8_t> bytes) {
  if (bytes.size() < kHeaderBytes ||
      std::memcmp(bytes.data(), kSignature.data(), kSignature.size()) != 0)
    return PaletteReadFailure(PaletteFileError::WrongSignature);
  const std::span<const uint8_t> digits = bytes.subspan(kSignature.size(), 4);
  if (!IsDigits(digits) || bytes[kHeaderBytes - 1] != '\n')
    return PaletteReadFailure(PaletteFileError::WrongSignature);
  int version = 0;
  for (uint8_t digit : digits) version = version * 10 + (digit - '0');
  if (version < kSnes9xFirstVersion || version > kSnes9xLastVersion)
    return PaletteReadFailure(PaletteFileError::UnknownVersion);
  const size_t colorOffset = version >= 11 ? 64 : 63;

  size_t at = kHeaderBytes;
  while (Fits(bytes.size(), at, kBlockHeaderBytes)) {
    const std::span<const uint8_t> header = bytes.subspan(at, kBlockHeaderBytes);
    if (header[3] != ':' || header[10] != ':') return PaletteReadFailure(PaletteFileError::Damaged);
    size_t length = 0;
    if (header[4] == '-') {
      length = ReadBe32(header, 6);
    } else {
      if (!IsDigits(header.subspan(4, 6))) return PaletteReadFailure(PaletteFileError::Damaged);
      for (size_t i = 4; i < 10; ++i) length = length * 10 + (header[i] - '0');
    }
    at += kBlockHeaderBytes;
    if (!Fits(bytes.size(), at, length)) return PaletteReadFailure(PaletteFileError::TooShort);
    if (std::memcmp(header.data(), "PPU", 3) == 0) {
      if (length < colorOffset + 2 * kColors) return PaletteReadFailure(PaletteFileError::TooShort);
      // CGDATA words are stored high byte first; entries decode from low byte first.
      std::vector<uint8_t> words(2 * kColors);
      for (size_t k = 0; k < kColors; ++k) {
        words[2 * k] = bytes[at + colorOffset + 2 * k + 1];
        words[2 * k + 1] = bytes[at + colorOffset + 2 * k];
      }
      return ParsePaletteEntries(words, 0, kColors, kPaletteFifteen);
    }
    at += length;
  }
  return PaletteReadFailure(PaletteFileError::TooShort);
}

}  // namespace

bool LooksLikeSnes9xState(std::span<const uint8_t> bytes) {
  const bool gzip = bytes.size() >= 2 && bytes[0] == 0x1F && bytes[1] == 0x8B;
  const bool plain = bytes.size() >= kSignature.size() &&
                     std::memcmp(bytes.data(), kSignature.data(), kSignature.size()) == 0;
  return gzip || plain;
}

PaletteReadResult ParseSnes9xState(std::span<const uint8_t> bytes) {
  if (bytes.size() >= 2 && bytes[0] == 0x1F && bytes[1] == 0x8B) {
    const InflateResult unpacked = InflateStream(bytes, StreamWrapper::Gzip);
    if (!unpacked.ok()) return PaletteReadFailure(PaletteErrorOf(unpacked.Error));
    return ParseUnpacked(unpacked.Bytes);
  }
  return ParseUnpacked(bytes);
}

PaletteReadResult LoadSnes9xState(const std::string& path) {
  return LoadPaletteFileWith(path, ParseSnes9xState);
}

}  // namespace varnock
