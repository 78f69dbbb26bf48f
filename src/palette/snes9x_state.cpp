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

// The header of an unpacked state: its version, or why it is not one.
PaletteFileError ReadHeader(std::span<const uint8_t> bytes, int& version) {
  if (bytes.size() < kHeaderBytes ||
      std::memcmp(bytes.data(), kSignature.data(), kSignature.size()) != 0)
    return PaletteFileError::WrongSignature;
  const std::span<const uint8_t> digits = bytes.subspan(kSignature.size(), 4);
  if (!IsDigits(digits) || bytes[kHeaderBytes - 1] != '\n') return PaletteFileError::WrongSignature;
  version = 0;
  for (uint8_t digit : digits) version = version * 10 + (digit - '0');
  return PaletteFileError::None;
}

// The data of the block named `name` (three letters) of an unpacked state.
PaletteFileError FindBlock(std::span<const uint8_t> bytes, const char* name,
                           std::span<const uint8_t>& block) {
  size_t at = kHeaderBytes;
  while (Fits(bytes.size(), at, kBlockHeaderBytes)) {
    const std::span<const uint8_t> header = bytes.subspan(at, kBlockHeaderBytes);
    if (header[3] != ':' || header[10] != ':') return PaletteFileError::Damaged;
    size_t length = 0;
    if (header[4] == '-') {
      length = ReadBe32(header, 6);
    } else {
      if (!IsDigits(header.subspan(4, 6))) return PaletteFileError::Damaged;
      for (size_t i = 4; i < 10; ++i) length = length * 10 + (header[i] - '0');
    }
    at += kBlockHeaderBytes;
    if (!Fits(bytes.size(), at, length)) return PaletteFileError::TooShort;
    if (std::memcmp(header.data(), name, 3) == 0) {
      block = bytes.subspan(at, length);
      return PaletteFileError::None;
    }
    at += length;
  }
  return PaletteFileError::TooShort;
}

PaletteReadResult ParseUnpacked(std::span<const uint8_t> bytes) {
  int version = 0;
  if (const PaletteFileError error = ReadHeader(bytes, version); error != PaletteFileError::None)
    return PaletteReadFailure(error);
  if (version < kSnes9xFirstVersion || version > kSnes9xLastVersion)
    return PaletteReadFailure(PaletteFileError::UnknownVersion);
  const size_t colorOffset = version >= 11 ? 64 : 63;
  std::span<const uint8_t> ppu;
  if (const PaletteFileError error = FindBlock(bytes, "PPU", ppu); error != PaletteFileError::None)
    return PaletteReadFailure(error);
  if (ppu.size() < colorOffset + 2 * kColors) return PaletteReadFailure(PaletteFileError::TooShort);
  // CGDATA words are stored high byte first; entries decode from low byte first.
  std::vector<uint8_t> words(2 * kColors);
  for (size_t k = 0; k < kColors; ++k) {
    words[2 * k] = ppu[colorOffset + 2 * k + 1];
    words[2 * k + 1] = ppu[colorOffset + 2 * k];
  }
  return ParsePaletteEntries(words, 0, kColors, kPaletteFifteen);
}

bool IsGzip(std::span<const uint8_t> bytes) {
  return bytes.size() >= 2 && bytes[0] == 0x1F && bytes[1] == 0x8B;
}

}  // namespace

bool LooksLikeSnes9xState(std::span<const uint8_t> bytes) {
  const bool gzip = IsGzip(bytes);
  const bool plain = bytes.size() >= kSignature.size() &&
                     std::memcmp(bytes.data(), kSignature.data(), kSignature.size()) == 0;
  return gzip || plain;
}

PaletteReadResult ParseSnes9xState(std::span<const uint8_t> bytes) {
  if (IsGzip(bytes)) {
    const InflateResult unpacked = InflateStream(bytes, StreamWrapper::Gzip);
    if (!unpacked.ok()) return PaletteReadFailure(PaletteErrorOf(unpacked.Error));
    return ParseUnpacked(unpacked.Bytes);
  }
  return ParseUnpacked(bytes);
}

VideoMemoryRead ParseSnes9xVideoMemory(std::span<const uint8_t> bytes) {
  InflateResult unpacked;
  if (IsGzip(bytes)) {
    unpacked = InflateStream(bytes, StreamWrapper::Gzip);
    if (!unpacked.ok())
      return VideoMemoryFailure(VideoMemoryErrorOf(PaletteErrorOf(unpacked.Error)));
    bytes = unpacked.Bytes;
  }
  int version = 0;
  std::span<const uint8_t> vram;
  PaletteFileError error = ReadHeader(bytes, version);
  if (error == PaletteFileError::None) error = FindBlock(bytes, "VRA", vram);
  if (error != PaletteFileError::None) return VideoMemoryFailure(VideoMemoryErrorOf(error));
  return VideoMemoryAt(vram, 0, kSnes9xVideoMemoryBytes, kSnesVideoMemoryFormat);
}

PaletteReadResult LoadSnes9xState(const std::string& path) {
  return LoadPaletteFileWith(path, ParseSnes9xState);
}

}  // namespace varnock
