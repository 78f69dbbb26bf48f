#include "palette/mgba_state.h"

#include <zlib.h>

#include <cstring>
#include <utility>
#include <vector>

#include "io/byte_order.h"
#include "io/inflate_stream.h"

namespace varnock {
namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr int32_t kColors = 256;

bool KnownMagic(uint32_t magic) {
  return magic >= kMgbaMagic && magic <= kMgbaMagic + kMgbaLastVersion;
}

// The raw state of a PNG carrying one, unpacked into `storage`. PNG chunks: a big-endian
// 32-bit length, a 4-letter type, the data, and a CRC-32 of type and data. The walk stops at
// the state chunk or at the end chunk.
PaletteFileError UnpackPngState(std::span<const uint8_t> png, std::vector<uint8_t>& storage) {
  size_t at = sizeof kPngSignature;
  while (Fits(png.size(), at, 8)) {
    const uint32_t length = ReadBe32(png, at);
    const size_t type = at + 4;
    if (!Fits(png.size(), type + 4, length) || !Fits(png.size(), type + 4 + length, 4))
      return PaletteFileError::TooShort;
    const size_t data = type + 4;
    if (std::memcmp(png.data() + type, "gbAs", 4) == 0) {
      const uLong crc = crc32(crc32(0, nullptr, 0), png.data() + type, 4 + length);
      if (crc != ReadBe32(png, data + length)) return PaletteFileError::Damaged;
      InflateResult state = InflateStream(png.subspan(data, length), StreamWrapper::Zlib);
      if (!state.ok()) return PaletteErrorOf(state.Error);
      storage = std::move(state.Bytes);
      return PaletteFileError::None;
    }
    if (std::memcmp(png.data() + type, "IEND", 4) == 0) break;
    at = data + length + 4;
  }
  return PaletteFileError::WrongSignature;
}

// The raw state: `bytes` themselves, or what their PNG carries; with a known version magic.
PaletteFileError RawState(std::span<const uint8_t> bytes, std::vector<uint8_t>& storage,
                          std::span<const uint8_t>& state) {
  state = bytes;
  if (LooksLikePng(bytes)) {
    if (const PaletteFileError error = UnpackPngState(bytes, storage);
        error != PaletteFileError::None)
      return error;
    state = storage;
  }
  if (state.size() < 4 || !KnownMagic(ReadLe32(state, 0))) return PaletteFileError::UnknownVersion;
  return PaletteFileError::None;
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
  std::vector<uint8_t> storage;
  std::span<const uint8_t> state;
  if (const PaletteFileError error = RawState(bytes, storage, state);
      error != PaletteFileError::None)
    return PaletteReadFailure(error);
  return ParsePaletteEntries(state, kMgbaPaletteOffset, kColors, kPaletteFifteen);
}

VideoMemoryRead ParseMgbaVideoMemory(std::span<const uint8_t> bytes) {
  std::vector<uint8_t> storage;
  std::span<const uint8_t> state;
  if (const PaletteFileError error = RawState(bytes, storage, state);
      error != PaletteFileError::None)
    return VideoMemoryFailure(VideoMemoryErrorOf(error));
  return VideoMemoryAt(state, kMgbaVideoMemoryOffset, kMgbaVideoMemoryBytes, kGbaVideoMemoryFormat);
}

PaletteReadResult LoadMgbaState(const std::string& path) {
  return LoadPaletteFileWith(path, ParseMgbaState);
}

}  // namespace varnock
