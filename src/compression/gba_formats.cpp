#include "compression/gba_formats.h"

#include "compression/gba_huffman.h"
#include "compression/gba_lz.h"
#include "compression/gba_rle.h"
#include "compression/gba_stream_header.h"
#include "compression/stream_scan.h"

namespace varnock {
namespace {

// The largest declared length a scan takes for a stream: the GBA's work RAM, its largest
// memory, is 256 KiB, and DS graphics load into video banks of that size or less.
constexpr size_t kLargestLoadedStream = 256u << 10;

}  // namespace

DecompressResult DecompressGbaFormat(CompressionFormat format, std::span<const uint8_t> input,
                                     size_t maxOutput) {
  switch (format) {
    case CompressionFormat::Lz10:
      return gba::DecompressLz10(input, maxOutput);
    case CompressionFormat::Lz11:
      return gba::DecompressLz11(input, maxOutput);
    case CompressionFormat::Rle30:
      return gba::DecompressRle30(input, maxOutput);
    case CompressionFormat::Huffman:
      return gba::DecompressHuffman(input, maxOutput);
    default:
      return gba::Refused(DecompressError::BadHeader);
  }
}

std::optional<std::vector<uint8_t>> CompressGbaFormat(CompressionFormat format,
                                                      std::span<const uint8_t> data, int variant) {
  if (data.size() > gba::kMaxStreamLength) return std::nullopt;
  switch (format) {
    case CompressionFormat::Lz10:
      return gba::CompressLz10(data, false);
    case CompressionFormat::Lz11:
      return gba::CompressLz11(data, false);
    case CompressionFormat::Rle30:
      return gba::CompressRle30(data, false);
    case CompressionFormat::Huffman: {
      if (variant == 4 || variant == 8) return gba::CompressHuffman(data, variant);
      if (variant != 0) return std::nullopt;
      std::vector<uint8_t> eight = gba::CompressHuffman(data, 8);
      std::vector<uint8_t> four = gba::CompressHuffman(data, 4);
      return four.size() < eight.size() ? four : eight;
    }
    default:
      return std::nullopt;
  }
}

std::optional<std::vector<uint8_t>> CompressGbaFormatGreedy(CompressionFormat format,
                                                            std::span<const uint8_t> data) {
  if (data.size() > gba::kMaxStreamLength) return std::nullopt;
  switch (format) {
    case CompressionFormat::Lz10:
      return gba::CompressLz10(data, true);
    case CompressionFormat::Lz11:
      return gba::CompressLz11(data, true);
    case CompressionFormat::Rle30:
      return gba::CompressRle30(data, true);
    default:
      return std::nullopt;
  }
}

std::optional<size_t> DeclaredGbaLength(std::span<const uint8_t> input) {
  if (input.size() < gba::kHeaderBytes) return std::nullopt;
  return size_t{input[1]} | size_t{input[2]} << 8 | size_t{input[3]} << 16;
}

// What each rule is for:
//  - the type byte names the format;
//  - the declared length is at least what a scan lists and at most what the console loads;
//  - LZ77: the first token is a literal (a copy would read before the start);
//  - RLE: every block is one a compressor writes (see Rle30StreamLooksWritten);
//  - Huffman: the code table is one a compressor writes (see HuffmanTableLooksWritten).
bool MayStartGbaStream(CompressionFormat format, std::span<const uint8_t> input) {
  if (input.size() <= gba::kHeaderBytes) return false;
  const size_t length = size_t{input[1]} | size_t{input[2]} << 8 | size_t{input[3]} << 16;
  if (length < kMinimumScanOutput || length > kLargestLoadedStream) return false;
  switch (format) {
    case CompressionFormat::Lz10:
      return input[0] == 0x10 && (input[4] & 0x80) == 0;
    case CompressionFormat::Lz11:
      return input[0] == 0x11 && (input[4] & 0x80) == 0;
    case CompressionFormat::Rle30:
      return input[0] == 0x30 && gba::Rle30StreamLooksWritten(input);
    case CompressionFormat::Huffman:
      return (input[0] == 0x24 || input[0] == 0x28) && gba::HuffmanTableLooksWritten(input);
    default:
      return false;
  }
}

}  // namespace varnock
