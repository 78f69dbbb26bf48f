// Compressed graphics streams: the formats, one call to decompress and one to compress, and
// the reasons a stream is refused. Each format family lives in a file of its own
// (gba_formats, nintendo_formats, sega_formats); this header is what windows, the scan and the
// command-line tool call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varnock {

enum class CompressionFormat : uint8_t {
  Lz10,      // GBA/DS BIOS LZ77, type 0x10
  Lz11,      // GBA/DS LZ77 with three reference sizes, type 0x11
  Rle30,     // GBA/DS BIOS run-length, type 0x30
  Huffman,   // GBA/DS BIOS Huffman, types 0x24 (4-bit symbols) and 0x28 (8-bit symbols)
  Lz2,       // SNES LC_LZ2
  Lz1,       // SNES LC_LZ1: LC_LZ2's commands, copies from a little-endian offset
  Lz5,       // SNES LC_LZ5
  Lz3,       // Game Boy Color LZ3
  Hal,       // HAL Laboratory's format (SNES and Game Boy)
  Nemesis,   // Sega Nemesis tile compression
  Kosinski,  // Sega Kosinski
};

inline constexpr int kCompressionFormatCount = 11;

// Largest output any decompressor produces: larger claims are refused before they can exhaust
// memory, and no console's graphics come near it.
inline constexpr size_t kMaxDecompressedBytes = 16u << 20;

enum class DecompressError : uint8_t {
  None,
  BadHeader,             // the first bytes are not this format's header
  EndsEarly,             // the input ends before the stream does
  ReferenceBeforeStart,  // a copy reads before the first output byte
  ReferenceAhead,        // a copy reads output not written yet
  TooLarge,              // the output would pass maxOutput, 16 MiB or the format's own limit
  BadCommand,            // a command or code the format does not have
  BadTree,               // a code table or tree that cannot be decoded
  LengthMismatch,        // the stream gives more or fewer bytes than its header declares
};

// The reason as the end of a sentence, e.g. "a reference points before the start."
const char* DecompressErrorText(DecompressError error);

struct DecompressResult {
  DecompressError Error = DecompressError::None;
  std::vector<uint8_t> Bytes;
  // Input bytes the stream took, header and end marker included: its length in the ROM.
  size_t Consumed = 0;
  // A choice inside the format that a recompression keeps (Huffman: 4 or 8 bits per
  // symbol); 0 when the format has none.
  int Variant = 0;
  bool ok() const { return Error == DecompressError::None; }
};

// Decompresses the one stream that starts at the first byte of `input`; bytes after its end
// are ignored. Never reads outside `input` and never produces more than `maxOutput` bytes.
DecompressResult Decompress(CompressionFormat format, std::span<const uint8_t> input,
                            size_t maxOutput = kMaxDecompressedBytes);

// The shortest stream of `format` the compressor can find that decompresses to `data`.
// `variant` is a DecompressResult::Variant to keep; 0 lets the compressor choose.
// Empty when the format cannot hold `data` (larger than its header's length field) and for
// data past kMaxDecompressedBytes, which no decompressor here gives back.
std::optional<std::vector<uint8_t>> Compress(CompressionFormat format,
                                             std::span<const uint8_t> data, int variant = 0);

struct CompressionFormatInfo {
  CompressionFormat Format;
  const char* ShortName;    // command-line word: "lz10"
  const char* DisplayName;  // captions and messages: "LZ77 10"
  // Streams can only start at offsets that are a multiple of this (GBA/DS BIOS formats: 4).
  int Alignment;
  // Largest output a scan accepts from one stream: the console's video memory for formats
  // without a length header, so that a long run of one byte value cannot make a scan slow.
  size_t ScanMaxOutput;
};

const CompressionFormatInfo& CompressionInfo(CompressionFormat format);
std::span<const CompressionFormatInfo> AllCompressionFormats();
// A cheap look at the first bytes before a scan tries a full decode: false only when no
// stream of `format` can start there (a wrong header byte, a length no console would load).
bool MayStartStream(CompressionFormat format, std::span<const uint8_t> input);

// The decompressed length the header at the start of `input` declares, for the formats whose
// header has one (the GBA/DS system formats, Nemesis); empty for the others and when `input`
// is too short to hold the header.
std::optional<size_t> DeclaredLength(CompressionFormat format, std::span<const uint8_t> input);

// The format whose short name is `name`, case-insensitively.
std::optional<CompressionFormat> CompressionFormatByName(std::string_view name);

}  // namespace varnock
