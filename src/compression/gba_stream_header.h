// The four bytes every GBA/DS system stream starts with (GBATEK, "BIOS Decompression
// Functions"; Barubary/dsdecmp CSharp/DSDecmp/Formats/Nitro/NitroCFormat.cs):
//
//   byte 0      type: 0x10 LZ77, 0x11 LZ77 with long references, 0x24/0x28 Huffman, 0x30 RLE
//   bytes 1-3   decompressed length, 24-bit little-endian
//
// The DS extension that puts a 32-bit length after a zero one is not read: a zero length is an
// empty stream, as the GBA BIOS takes it, and no 24-bit length reaches the 16 MiB bound anyway.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "compression/compression.h"

namespace varnock::gba {

inline constexpr size_t kHeaderBytes = 4;
inline constexpr size_t kMaxStreamLength = 0xFFFFFF;

// The declared length in `length`, or why the header is refused. `typeMatches` says whether
// byte 0 names the format (only looked at when there is a byte 0).
inline DecompressError ReadStreamHeader(std::span<const uint8_t> input, bool typeMatches,
                                        size_t maxOutput, size_t& length) {
  if (input.empty()) return DecompressError::EndsEarly;
  if (!typeMatches) return DecompressError::BadHeader;
  if (input.size() < kHeaderBytes) return DecompressError::EndsEarly;
  length = size_t{input[1]} | size_t{input[2]} << 8 | size_t{input[3]} << 16;
  if (length > maxOutput || length > kMaxDecompressedBytes) return DecompressError::TooLarge;
  return DecompressError::None;
}

inline void WriteStreamHeader(std::vector<uint8_t>& out, uint8_t type, size_t length) {
  out.push_back(type);
  out.push_back(static_cast<uint8_t>(length));
  out.push_back(static_cast<uint8_t>(length >> 8));
  out.push_back(static_cast<uint8_t>(length >> 16));
}

inline DecompressResult Refused(DecompressError error) {
  DecompressResult result;
  result.Error = error;
  return result;
}

}  // namespace varnock::gba
