// Layout from GBATEK "BIOS Decompression Functions" (LZ77UnComp) and Barubary/dsdecmp
// CSharp/DSDecmp/Formats/Nitro/LZ10.cs and LZ11.cs:
//
//   header (4 bytes), then groups of a flag byte and eight tokens, flag bit 7 for the first
//   flag 0: one literal byte
//   flag 1, type 0x10:  LLLL DDDD  DDDDDDDD     length L + 3 (3..18), distance D + 1
//   flag 1, type 0x11, by the top nibble N of the first byte:
//     N >= 2:  NNNN DDDD  DDDDDDDD                          length N + 1 (3..16)
//     N == 0:  0000 LLLL  LLLL DDDD  DDDDDDDD               length L + 0x11 (17..272)
//     N == 1:  0001 LLLL  LLLLLLLL  LLLL DDDD  DDDDDDDD     length L + 0x111 (273..65808)
//
// The stream ends when the declared length is reached: the rest of the last flag byte is
// unused and no further flag byte is read. A last copy that runs past the declared length is
// written in full by dsdecmp and by the BIOS as mgba-emu/mgba src/gba/bios.c models it, over
// whatever follows the game's buffer; it is refused here, as a stream no compressor writes.
#include "compression/gba_lz.h"

#include <cstring>

#include "compression/gba_lz_parse.h"
#include "compression/gba_stream_header.h"

namespace varnock::gba {
namespace {

constexpr uint8_t kLz10Type = 0x10;
constexpr uint8_t kLz11Type = 0x11;

// The BIOS routine that writes to video memory stores 16 bits at a time and reads its copy
// source from what it has stored, so a distance of 1 would read the half it has not yet
// written: this format's compressor never uses it.
constexpr LzRules kLz10Rules{2, 4096, 3, 9, {{{18, 17}}}, 1};
constexpr LzRules kLz11Rules{1, 4096, 3, 9, {{{16, 17}, {0x110, 25}, {0x10110, 33}}}, 3};

template <bool kLong>
DecompressResult DecompressLz(std::span<const uint8_t> input, size_t maxOutput) {
  size_t length = 0;
  const uint8_t type = kLong ? kLz11Type : kLz10Type;
  const DecompressError headerError =
      ReadStreamHeader(input, !input.empty() && input[0] == type, maxOutput, length);
  if (headerError != DecompressError::None) return Refused(headerError);
  // No token gives more than this many bytes per byte it takes (18 for 2 in type 0x10, 65808
  // for 4 in type 0x11): a longer claim cannot be met, and is refused before it is allocated.
  constexpr size_t kMostPerByte = kLong ? 65808 / 4 : 9;
  if (length > kMostPerByte * (input.size() - kHeaderBytes))
    return Refused(DecompressError::EndsEarly);

  std::vector<uint8_t> bytes(length);
  uint8_t* out = bytes.data();
  const uint8_t* in = input.data();
  const size_t end = input.size();
  size_t pos = kHeaderBytes;
  size_t produced = 0;
  while (produced < length) {
    if (pos >= end) return Refused(DecompressError::EndsEarly);
    const unsigned flags = in[pos++];
    for (unsigned bit = 0x80; bit != 0 && produced < length; bit >>= 1) {
      if ((flags & bit) == 0) {
        if (pos >= end) return Refused(DecompressError::EndsEarly);
        out[produced++] = in[pos++];
        continue;
      }
      size_t count;
      size_t distance;
      if (pos + 2 > end) return Refused(DecompressError::EndsEarly);
      const unsigned b1 = in[pos];
      const unsigned b2 = in[pos + 1];
      if (!kLong) {
        count = (b1 >> 4) + 3;
        distance = ((b1 & 0xF) << 8 | b2) + 1;
        pos += 2;
      } else if (b1 >> 4 >= 2) {
        count = (b1 >> 4) + 1;
        distance = ((b1 & 0xF) << 8 | b2) + 1;
        pos += 2;
      } else if (b1 >> 4 == 0) {
        if (pos + 3 > end) return Refused(DecompressError::EndsEarly);
        const unsigned b3 = in[pos + 2];
        count = ((b1 & 0xF) << 4 | b2 >> 4) + 0x11;
        distance = ((b2 & 0xF) << 8 | b3) + 1;
        pos += 3;
      } else {
        if (pos + 4 > end) return Refused(DecompressError::EndsEarly);
        const unsigned b3 = in[pos + 2];
        const unsigned b4 = in[pos + 3];
        count = ((b1 & 0xF) << 12 | b2 << 4 | b3 >> 4) + 0x111;
        distance = ((b3 & 0xF) << 8 | b4) + 1;
        pos += 4;
      }
      if (distance > produced) return Refused(DecompressError::ReferenceBeforeStart);
      if (count > length - produced) return Refused(DecompressError::LengthMismatch);
      uint8_t* to = out + produced;
      const uint8_t* from = to - distance;
      if (distance >= count) {
        std::memcpy(to, from, count);
      } else {
        // An overlapping copy repeats the last `distance` bytes.
        for (size_t k = 0; k < count; ++k) to[k] = from[k];
      }
      produced += count;
    }
  }
  DecompressResult result;
  result.Bytes = std::move(bytes);
  result.Consumed = pos;
  return result;
}

// Tokens after the header, a flag byte before each group of eight.
class TokenWriter {
 public:
  explicit TokenWriter(std::vector<uint8_t>& out) : out_(out) {}
  void Literal(uint8_t value) {
    StartToken(false);
    out_.push_back(value);
  }
  void Reference(std::initializer_list<uint8_t> bytes) {
    StartToken(true);
    out_.insert(out_.end(), bytes);
  }

 private:
  void StartToken(bool reference) {
    if (count_ % 8 == 0) {
      flagAt_ = out_.size();
      out_.push_back(0);
    }
    if (reference) out_[flagAt_] |= static_cast<uint8_t>(0x80 >> (count_ % 8));
    ++count_;
  }
  std::vector<uint8_t>& out_;
  size_t flagAt_ = 0;
  size_t count_ = 0;
};

std::vector<uint8_t> WriteLzStream(std::span<const uint8_t> data, bool longReferences,
                                   const std::vector<LzStep>& steps) {
  std::vector<uint8_t> out;
  out.reserve(kHeaderBytes + data.size() + data.size() / 8 + 1);
  WriteStreamHeader(out, longReferences ? kLz11Type : kLz10Type, data.size());
  TokenWriter writer(out);
  size_t pos = 0;
  for (const LzStep& step : steps) {
    if (step.Length == 0) {
      writer.Literal(data[pos++]);
      continue;
    }
    const uint32_t d = step.Distance - 1;
    const uint32_t n = step.Length;
    const auto hi = static_cast<uint8_t>(d >> 8);
    const auto lo = static_cast<uint8_t>(d);
    if (!longReferences) {
      writer.Reference({static_cast<uint8_t>((n - 3) << 4 | hi), lo});
    } else if (n <= 16) {
      writer.Reference({static_cast<uint8_t>((n - 1) << 4 | hi), lo});
    } else if (n <= 0x110) {
      const uint32_t v = n - 0x11;
      writer.Reference(
          {static_cast<uint8_t>(v >> 4), static_cast<uint8_t>((v & 0xF) << 4 | hi), lo});
    } else {
      const uint32_t v = n - 0x111;
      writer.Reference({static_cast<uint8_t>(0x10 | v >> 12), static_cast<uint8_t>(v >> 4),
                        static_cast<uint8_t>((v & 0xF) << 4 | hi), lo});
    }
    pos += n;
  }
  return out;
}

}  // namespace

DecompressResult DecompressLz10(std::span<const uint8_t> input, size_t maxOutput) {
  return DecompressLz<false>(input, maxOutput);
}

DecompressResult DecompressLz11(std::span<const uint8_t> input, size_t maxOutput) {
  return DecompressLz<true>(input, maxOutput);
}

std::vector<uint8_t> CompressLz10(std::span<const uint8_t> data, bool greedy) {
  return WriteLzStream(data, false,
                       greedy ? GreedyLzParse(data, kLz10Rules) : OptimalLzParse(data, kLz10Rules));
}

std::vector<uint8_t> CompressLz11(std::span<const uint8_t> data, bool greedy) {
  return WriteLzStream(data, true,
                       greedy ? GreedyLzParse(data, kLz11Rules) : OptimalLzParse(data, kLz11Rules));
}

}  // namespace varnock::gba
