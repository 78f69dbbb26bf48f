#include "palette/fceux_state.h"

#include <cstring>

#include "io/byte_order.h"
#include "io/inflate_stream.h"

namespace varnock {
namespace {

constexpr size_t kHeaderBytes = 16;
constexpr uint32_t kStored = 0xFFFFFFFF;
constexpr uint8_t kPictureSection = 3;

// Walks the chunks of the picture-processor section for "PRAM".
PaletteReadResult FindPaletteChunk(std::span<const uint8_t> section) {
  size_t at = 0;
  while (Fits(section.size(), at, 8)) {
    const uint32_t size = ReadLe32(section, at + 4);
    const bool palette = std::memcmp(section.data() + at, "PRAM", 4) == 0;
    at += 8;
    if (!Fits(section.size(), at, size)) return PaletteReadFailure(PaletteFileError::Damaged);
    if (palette) {
      if (size != kFceuxPaletteEntries) return PaletteReadFailure(PaletteFileError::Damaged);
      return ParsePaletteEntries(section, at, kFceuxPaletteEntries, kPaletteNes);
    }
    at += size;
  }
  return PaletteReadFailure(PaletteFileError::TooShort);
}

PaletteReadResult ParseBody(std::span<const uint8_t> body) {
  size_t at = 0;
  while (Fits(body.size(), at, 5)) {
    const uint8_t type = body[at];
    const uint32_t size = ReadLe32(body, at + 1);
    at += 5;
    if (!Fits(body.size(), at, size)) return PaletteReadFailure(PaletteFileError::Damaged);
    if (type == kPictureSection) return FindPaletteChunk(body.subspan(at, size));
    at += size;
  }
  return PaletteReadFailure(PaletteFileError::TooShort);
}

}  // namespace

bool LooksLikeFceuxState(std::span<const uint8_t> bytes) {
  return bytes.size() >= 4 && std::memcmp(bytes.data(), "FCSX", 4) == 0;
}

PaletteReadResult ParseFceuxState(std::span<const uint8_t> bytes) {
  if (!LooksLikeFceuxState(bytes)) return PaletteReadFailure(PaletteFileError::WrongSignature);
  if (bytes.size() < kHeaderBytes) return PaletteReadFailure(PaletteFileError::TooShort);
  const uint32_t bodySize = ReadLe32(bytes, 4);
  const uint32_t packedSize = ReadLe32(bytes, 12);
  if (packedSize == kStored) {
    if (!Fits(bytes.size(), kHeaderBytes, bodySize))
      return PaletteReadFailure(PaletteFileError::TooShort);
    return ParseBody(bytes.subspan(kHeaderBytes, bodySize));
  }
  if (!Fits(bytes.size(), kHeaderBytes, packedSize))
    return PaletteReadFailure(PaletteFileError::TooShort);
  const InflateResult body =
      InflateStream(bytes.subspan(kHeaderBytes, packedSize), StreamWrapper::Zlib);
  if (!body.ok()) return PaletteReadFailure(PaletteErrorOf(body.Error));
  // The emulator refuses a body of another size than its header gives; so do we.
  if (body.Bytes.size() != bodySize) return PaletteReadFailure(PaletteFileError::Damaged);
  return ParseBody(body.Bytes);
}

PaletteReadResult LoadFceuxState(const std::string& path) {
  return LoadPaletteFileWith(path, ParseFceuxState);
}

}  // namespace varnock
