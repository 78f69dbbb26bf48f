#include "palette/fceux_state.h"

#include <cstring>
#include <utility>
#include <vector>

#include "io/byte_order.h"
#include "io/inflate_stream.h"

namespace varnock {
namespace {

constexpr size_t kHeaderBytes = 16;
constexpr uint32_t kStored = 0xFFFFFFFF;
constexpr uint8_t kPictureSection = 3;

constexpr uint8_t kExtraSection = 0x10;

// The data of chunk `name` in the section of type `type` of the unpacked body.
PaletteFileError FindChunk(std::span<const uint8_t> body, uint8_t type, const char* name,
                           std::span<const uint8_t>& chunk) {
  size_t at = 0;
  while (Fits(body.size(), at, 5)) {
    const uint8_t sectionType = body[at];
    const uint32_t sectionSize = ReadLe32(body, at + 1);
    at += 5;
    if (!Fits(body.size(), at, sectionSize)) return PaletteFileError::Damaged;
    if (sectionType != type) {
      at += sectionSize;
      continue;
    }
    const std::span<const uint8_t> section = body.subspan(at, sectionSize);
    size_t inner = 0;
    while (Fits(section.size(), inner, 8)) {
      const uint32_t size = ReadLe32(section, inner + 4);
      const bool wanted = std::memcmp(section.data() + inner, name, 4) == 0;
      inner += 8;
      if (!Fits(section.size(), inner, size)) return PaletteFileError::Damaged;
      if (wanted) {
        chunk = section.subspan(inner, size);
        return PaletteFileError::None;
      }
      inner += size;
    }
    return PaletteFileError::TooShort;
  }
  return PaletteFileError::TooShort;
}

// The body of a state, unpacked into `storage` when it is compressed.
PaletteFileError UnpackBody(std::span<const uint8_t> bytes, std::vector<uint8_t>& storage,
                            std::span<const uint8_t>& body) {
  if (!LooksLikeFceuxState(bytes)) return PaletteFileError::WrongSignature;
  if (bytes.size() < kHeaderBytes) return PaletteFileError::TooShort;
  const uint32_t bodySize = ReadLe32(bytes, 4);
  const uint32_t packedSize = ReadLe32(bytes, 12);
  if (packedSize == kStored) {
    if (!Fits(bytes.size(), kHeaderBytes, bodySize)) return PaletteFileError::TooShort;
    body = bytes.subspan(kHeaderBytes, bodySize);
    return PaletteFileError::None;
  }
  if (!Fits(bytes.size(), kHeaderBytes, packedSize)) return PaletteFileError::TooShort;
  InflateResult unpacked =
      InflateStream(bytes.subspan(kHeaderBytes, packedSize), StreamWrapper::Zlib);
  if (!unpacked.ok()) return PaletteErrorOf(unpacked.Error);
  // The emulator refuses a body of another size than its header gives; so do we.
  if (unpacked.Bytes.size() != bodySize) return PaletteFileError::Damaged;
  storage = std::move(unpacked.Bytes);
  body = storage;
  return PaletteFileError::None;
}

}  // namespace

bool LooksLikeFceuxState(std::span<const uint8_t> bytes) {
  return bytes.size() >= 4 && std::memcmp(bytes.data(), "FCSX", 4) == 0;
}

PaletteReadResult ParseFceuxState(std::span<const uint8_t> bytes) {
  std::vector<uint8_t> storage;
  std::span<const uint8_t> body;
  std::span<const uint8_t> palette;
  PaletteFileError error = UnpackBody(bytes, storage, body);
  if (error == PaletteFileError::None) error = FindChunk(body, kPictureSection, "PRAM", palette);
  if (error != PaletteFileError::None) return PaletteReadFailure(error);
  if (palette.size() != kFceuxPaletteEntries) return PaletteReadFailure(PaletteFileError::Damaged);
  return ParsePaletteEntries(palette, 0, kFceuxPaletteEntries, kPaletteNes);
}

VideoMemoryRead ParseFceuxVideoMemory(std::span<const uint8_t> bytes) {
  std::vector<uint8_t> storage;
  std::span<const uint8_t> body;
  std::span<const uint8_t> chr;
  PaletteFileError error = UnpackBody(bytes, storage, body);
  if (error != PaletteFileError::None) return VideoMemoryFailure(VideoMemoryErrorOf(error));
  // Without the chunk the game's tiles are in its character ROM, which no state holds.
  if (FindChunk(body, kExtraSection, "CHRR", chr) != PaletteFileError::None || chr.empty())
    return VideoMemoryFailure(VideoMemoryError::NoPatternMemory);
  return VideoMemoryAt(chr, 0, chr.size(), kNesVideoMemoryFormat);
}

PaletteReadResult LoadFceuxState(const std::string& path) {
  return LoadPaletteFileWith(path, ParseFceuxState);
}

}  // namespace varnock
