#include "palette/mgba_state.h"

#include <zlib.h>

#include <cstring>

#include "io/byte_order.h"
#include "io/inflate_stream.h"

namespace varnock {
namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr int32_t kColors = 256;

bool KnownMagic(uint32_t magic) {
  return magic >= kMgbaMagic && magic <= kMgbaMagic + kMgbaLastVersion;
}

PaletteReadResult ParseRawState(std::span<const uint8_t> state) {
  if (state.size() < 4 || !KnownMagic(ReadLe32(state, 0)))
    return PaletteReadFailure(PaletteFileError::UnknownVersion);
  return ParsePaletteEntries(state, kMgbaPaletteOffset, kColors, kPaletteFifteen);
}

// PNG chunks: a big-endian 32-bit length, a 4-letter type, the data, and a CRC-32 of type and
// data. The walk stops at the state chunk or at the end chunk.
PaletteReadResult ParsePngState(std::span<const uint8_t> png) {
  size_t at = sizeof kPngSignature;
  while (Fits(png.size(), at, 8)) {
    const uint32_t length = ReadBe32(png, at);
    const size_t type = at + 4;
    if (!Fits(png.size(), type + 4, length) || !Fits(png.size(), type + 4 + length, 4))
      return PaletteReadFailure(PaletteFileError::TooShort);
    const size_t data = type + 4;
    if (std::memcmp(png.data() + type, "gbAs", 4) == 0) {
      const uLong crc = crc32(crc32(0, nullptr, 0), png.data() + type, 4 + length);
      if (crc != ReadBe32(png, data + length)) return PaletteReadFailure(PaletteFileError::Damaged);
      const InflateResult state = InflateStream(png.subspan(data, length), StreamWrapper::Zlib);
      if (!state.ok()) return PaletteReadFailure(PaletteErrorOf(state.Error));
      return ParseRawState(state.Bytes);
    }
    if (std::memcmp(png.data() + type, "IEND", 4) == 0) break;
    at = data + length + 4;
  }
  return PaletteReadFailure(PaletteFileError::WrongSignature);
}

}  // namespace

bool LooksLikePng(std::span<const uint8_t> bytes) {
  return bytes.size() >= sizeof kPngSignature &&
         std::memcmp(bytes.data(), kPngSignature, sizeof kPngSignature) == 0;
}

bool LooksLikeMgbaRawState(std::span<const uint8_t> bytes) {
  return bytes.size() >= kMgbaStateBytes && KnownMagic(ReadLe32(bytes, 0));
}

PaletteReadResult ParseMgbaState(std::span<const uint8_t> bytes) {
  return LooksLikePng(bytes) ? ParsePngState(bytes) : ParseRawState(bytes);
}

PaletteReadResult LoadMgbaState(const std::string& path) {
  return LoadPaletteFileWith(path, ParseMgbaState);
}

}  // namespace varnock
