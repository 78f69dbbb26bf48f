#include "compression/compression.h"

#include <array>

#include "compression/gba_formats.h"
#include "compression/nemesis.h"
#include "compression/nintendo_formats.h"
#include "compression/sega_formats.h"

namespace varnock {
namespace {

// SNES, Genesis and GBC work RAM buffers and video memory are all 64 KiB or less.
constexpr size_t kVideoMemoryBytes = 64u << 10;
// The Game Boy Color's video memory bank, work RAM and cartridge RAM windows are 8 KiB each:
// no destination of a Game Boy decompressor is larger.
constexpr size_t kGameBoyWindowBytes = 8u << 10;

constexpr std::array<CompressionFormatInfo, kCompressionFormatCount> kFormats{{
    {CompressionFormat::Lz10, "lz10", "LZ77 10", 4, kMaxDecompressedBytes},
    {CompressionFormat::Lz11, "lz11", "LZ77 11", 4, kMaxDecompressedBytes},
    {CompressionFormat::Rle30, "rle30", "RLE 30", 4, kMaxDecompressedBytes},
    {CompressionFormat::Huffman, "huff", "Huffman", 4, kMaxDecompressedBytes},
    {CompressionFormat::Lz2, "lz2", "LC_LZ2", 1, kVideoMemoryBytes},
    {CompressionFormat::Lz1, "lz1", "LC_LZ1", 1, kVideoMemoryBytes},
    {CompressionFormat::Lz5, "lz5", "LC_LZ5", 1, kVideoMemoryBytes},
    {CompressionFormat::Lz3, "lz3", "LZ3", 1, kGameBoyWindowBytes},
    {CompressionFormat::Hal, "hal", "HAL", 1, kVideoMemoryBytes},
    {CompressionFormat::Nemesis, "nemesis", "Nemesis", 1, kVideoMemoryBytes},
    {CompressionFormat::Kosinski, "kosinski", "Kosinski", 1, kVideoMemoryBytes},
}};

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

const char* DecompressErrorText(DecompressError error) {
  switch (error) {
    case DecompressError::None:
      return "it decodes.";
    case DecompressError::BadHeader:
      return "its header is not of this format.";
    case DecompressError::EndsEarly:
      return "the data ends before the stream does.";
    case DecompressError::ReferenceBeforeStart:
      return "a reference points before the start.";
    case DecompressError::ReferenceAhead:
      return "a reference points past the bytes decoded so far.";
    case DecompressError::TooLarge:
      return "it would decompress to more than the format or the program allows.";
    case DecompressError::BadCommand:
      return "it holds a command the format does not have.";
    case DecompressError::BadTree:
      return "its code table is damaged.";
    case DecompressError::LengthMismatch:
      return "it gives another length than its header declares.";
  }
  return "it does not decode.";
}

const CompressionFormatInfo& CompressionInfo(CompressionFormat format) {
  return kFormats[static_cast<size_t>(format) % kFormats.size()];
}

std::span<const CompressionFormatInfo> AllCompressionFormats() {
  return kFormats;
}

std::optional<CompressionFormat> CompressionFormatByName(std::string_view name) {
  for (const CompressionFormatInfo& info : kFormats) {
    std::string_view shortName = info.ShortName;
    if (shortName.size() != name.size()) continue;
    bool same = true;
    for (size_t i = 0; i < name.size() && same; ++i) same = Lower(name[i]) == shortName[i];
    if (same) return info.Format;
  }
  return std::nullopt;
}

DecompressResult Decompress(CompressionFormat format, std::span<const uint8_t> input,
                            size_t maxOutput) {
  switch (format) {
    case CompressionFormat::Lz10:
    case CompressionFormat::Lz11:
    case CompressionFormat::Rle30:
    case CompressionFormat::Huffman:
      return DecompressGbaFormat(format, input, maxOutput);
    case CompressionFormat::Lz2:
    case CompressionFormat::Lz1:
    case CompressionFormat::Lz5:
    case CompressionFormat::Lz3:
    case CompressionFormat::Hal:
      return DecompressNintendoFormat(format, input, maxOutput);
    case CompressionFormat::Nemesis:
    case CompressionFormat::Kosinski:
      return DecompressSegaFormat(format, input, maxOutput);
  }
  return {DecompressError::BadHeader, {}, 0, 0};
}

bool MayStartStream(CompressionFormat format, std::span<const uint8_t> input) {
  switch (format) {
    case CompressionFormat::Lz10:
    case CompressionFormat::Lz11:
    case CompressionFormat::Rle30:
    case CompressionFormat::Huffman:
      return MayStartGbaStream(format, input);
    case CompressionFormat::Lz2:
    case CompressionFormat::Lz1:
    case CompressionFormat::Lz5:
    case CompressionFormat::Lz3:
    case CompressionFormat::Hal:
      return MayStartNintendoStream(format, input);
    case CompressionFormat::Nemesis:
    case CompressionFormat::Kosinski:
      return MayStartSegaStream(format, input);
  }
  return false;
}

std::optional<size_t> DeclaredLength(CompressionFormat format, std::span<const uint8_t> input) {
  switch (format) {
    case CompressionFormat::Lz10:
    case CompressionFormat::Lz11:
    case CompressionFormat::Rle30:
    case CompressionFormat::Huffman:
      return DeclaredGbaLength(input);
    case CompressionFormat::Nemesis:
      return DeclaredNemesisLength(input);
    default:
      return std::nullopt;
  }
}

std::optional<std::vector<uint8_t>> Compress(CompressionFormat format,
                                             std::span<const uint8_t> data, int variant) {
  // A stream none of the decompressors would give back is no use to anyone.
  if (data.size() > kMaxDecompressedBytes) return std::nullopt;
  switch (format) {
    case CompressionFormat::Lz10:
    case CompressionFormat::Lz11:
    case CompressionFormat::Rle30:
    case CompressionFormat::Huffman:
      return CompressGbaFormat(format, data, variant);
    case CompressionFormat::Lz2:
    case CompressionFormat::Lz1:
    case CompressionFormat::Lz5:
    case CompressionFormat::Lz3:
    case CompressionFormat::Hal:
      return CompressNintendoFormat(format, data, variant);
    case CompressionFormat::Nemesis:
    case CompressionFormat::Kosinski:
      return CompressSegaFormat(format, data, variant);
  }
  return std::nullopt;
}

}  // namespace varnock
