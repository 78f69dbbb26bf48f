#include "compression/nintendo_lz_decode.h"

#include <algorithm>
#include <cstring>

#include "compression/nintendo_lz_rules.h"

namespace varnock {
namespace {

// Where a stream stands after it was walked: why it stops, and how many bytes it takes and
// gives.
struct StreamWalk {
  DecompressError Error = DecompressError::None;
  size_t Consumed = 0;
  size_t OutputSize = 0;
  size_t LeadingLiteralBytes = 0;  // a first literal's header and bytes, 0 if it is no literal
};

// A first literal longer than this that holds the start of a stream ending at the same byte
// marks bytes that run into that stream, not a stream of their own.
constexpr size_t kLongLeadingLiteral = 66;  // a 64-byte literal and its two header bytes

bool HasRun(const uint8_t* bytes, size_t count, size_t run) {
  size_t same = 1;
  for (size_t i = 1; i < count; ++i) {
    same = bytes[i] == bytes[i - 1] ? same + 1 : 1;
    if (same >= run) return true;
  }
  return false;
}

// The rules a stream from a compressor, greedy or optimal, keeps; data that happens to decode
// rarely does. A compressor never writes a command it would have merged into the one before
// (ContinuesNintendoCommand) or one no shorter than what it stands for
// (IsWastefulNintendoCommand); and a stream of graphics is a whole number of 8-byte units and
// has a copy from at most 128 bytes back: graphics repeat close by (every graphics stream of
// Yoshi's Island has one within 74), and bytes before a stream that run into it push every
// copy of an absolute offset further back by what they decode to.
class Plausibility {
 public:
  bool Allows(const NintendoRead& c, const uint8_t* in, size_t distance) {
    const bool run =
        c.Op == NintendoOp::Literal && HasRun(in + c.LiteralAt, c.Length, kImplausibleLiteralRun);
    if (ContinuesNintendoCommand(previous_, c) || IsWastefulNintendoCommand(c, run)) return false;
    nearCopy_ = nearCopy_ || (c.IsCopy() && distance <= kNintendoNearCopy);
    previous_ = ContinuationAfter(c);
    return true;
  }

  bool AllowsEnd(size_t outputSize) const {
    return nearCopy_ && outputSize % kNintendoTileGranule == 0;
  }

 private:
  NintendoContinuation previous_;
  bool nearCopy_ = false;
};

// Walks the commands of one stream, checking every bound before it is used; with kWrite it
// also writes the output into `out`, which holds the size an earlier walk returned. With
// kPlausible a stream breaking a plausibility rule stops with BadCommand. The walk also stops,
// as if at the end, after the command that brings the output to `stopAt` or past it.
template <bool kWrite, bool kPlausible>
StreamWalk WalkStream(const NintendoLayout& layout, std::span<const uint8_t> input, size_t limit,
                      uint8_t* out, size_t stopAt = SIZE_MAX) {
  const uint8_t* in = input.data();
  const size_t size = input.size();
  size_t p = 0;
  size_t pos = 0;
  size_t leadingLiteralBytes = 0;
  Plausibility plausibility;
  for (;;) {
    const NintendoRead c = ReadNintendoCommand(layout, in, size, p);
    if (c.Result == NintendoRead::Outcome::EndsEarly) return {DecompressError::EndsEarly};
    if (c.Result == NintendoRead::Outcome::NoAddress) return {DecompressError::BadCommand};
    if (c.Result == NintendoRead::Outcome::End) {
      if (kPlausible && !plausibility.AllowsEnd(pos)) return {DecompressError::BadCommand};
      return {DecompressError::None, p + 1, pos, leadingLiteralBytes};
    }
    size_t source = 0;
    if (c.IsCopy()) {
      if (c.Relative) {
        if (c.Back > pos) return {DecompressError::ReferenceBeforeStart};
        source = pos - c.Back;
      } else {
        source = c.Address;
      }
      if (source >= pos) return {DecompressError::ReferenceAhead};
      if (c.Op == NintendoOp::ReverseCopy && source + 1 < c.Length)
        return {DecompressError::ReferenceBeforeStart};
    }
    if (c.Produced > limit - pos) return {DecompressError::TooLarge};
    if constexpr (kPlausible) {
      if (!plausibility.Allows(c, in, pos - source)) return {DecompressError::BadCommand};
    }
    if constexpr (kWrite) {
      uint8_t* to = out + pos;
      const size_t length = c.Length;
      switch (c.Op) {
        case NintendoOp::Literal:
          std::memcpy(to, in + c.LiteralAt, length);
          break;
        case NintendoOp::ByteFill:
          std::memset(to, c.First, length);
          break;
        case NintendoOp::ZeroFill:
          std::memset(to, 0, length);
          break;
        case NintendoOp::IncreasingFill:
          for (size_t t = 0; t < length; ++t) to[t] = static_cast<uint8_t>(c.First + t);
          break;
        case NintendoOp::WordFill:
          for (size_t t = 0; t < length; ++t) to[t] = t % 2 == 0 ? c.First : c.Second;
          break;
        case NintendoOp::WordUnitFill:
          for (size_t t = 0; t < c.Produced; t += 2) to[t] = c.First, to[t + 1] = c.Second;
          break;
        case NintendoOp::Copy:
          // A copy whose source runs into its own output repeats the bytes it has just
          // written, as the games' byte-by-byte loops do.
          if (pos - source >= length) {
            std::memcpy(to, out + source, length);
          } else if (pos - source == 1) {
            std::memset(to, out[source], length);
          } else {
            for (size_t t = 0; t < length; ++t) to[t] = out[source + t];
          }
          break;
        case NintendoOp::XorCopy:
          for (size_t t = 0; t < length; ++t) to[t] = static_cast<uint8_t>(~out[source + t]);
          break;
        case NintendoOp::FlipCopy:
          for (size_t t = 0; t < length; ++t) to[t] = kReversedBits[out[source + t]];
          break;
        case NintendoOp::ReverseCopy:
          for (size_t t = 0; t < length; ++t) to[t] = out[source - t];
          break;
      }
    }
    p += c.Size;
    if (pos == 0 && c.Op == NintendoOp::Literal) leadingLiteralBytes = p;
    pos += c.Produced;
    if (pos >= stopAt) return {DecompressError::None, p, pos, leadingLiteralBytes};
  }
}

}  // namespace

DecompressResult DecodeNintendoStream(const NintendoLayout& layout, std::span<const uint8_t> input,
                                      size_t maxOutput) {
  const size_t limit = std::min(maxOutput, kNintendoMaxOutput);
  const StreamWalk walk = WalkStream<false, false>(layout, input, limit, nullptr);
  DecompressResult result;
  result.Error = walk.Error;
  if (walk.Error != DecompressError::None) return result;
  result.Bytes.resize(walk.OutputSize);
  WalkStream<true, false>(layout, input, limit, result.Bytes.data());
  result.Consumed = walk.Consumed;
  return result;
}

std::vector<uint8_t> DecodeNintendoFront(const NintendoLayout& layout,
                                         std::span<const uint8_t> input, size_t count) {
  const size_t limit = std::min(count, kNintendoMaxOutput);
  // The last command may write past `count`, by at most a long fill of words.
  std::vector<uint8_t> front(limit + 2 * kNintendoLongLength);
  const StreamWalk walk = WalkStream<true, false>(layout, input, front.size(), front.data(), limit);
  front.resize(walk.Error == DecompressError::None ? std::min(walk.OutputSize, limit) : 0);
  return front;
}

size_t PlausibleNintendoStreamLength(const NintendoLayout& layout, std::span<const uint8_t> input,
                                     size_t maxOutput) {
  const size_t limit = std::min(maxOutput, kNintendoMaxOutput);
  const StreamWalk walk = WalkStream<false, true>(layout, input, limit, nullptr);
  return walk.Error == DecompressError::None ? walk.Consumed : 0;
}

bool IsPlausibleNintendoStream(const NintendoLayout& layout, std::span<const uint8_t> input,
                               size_t maxOutput) {
  const size_t limit = std::min(maxOutput, kNintendoMaxOutput);
  const StreamWalk walk = WalkStream<false, true>(layout, input, limit, nullptr);
  if (walk.Error != DecompressError::None) return false;
  // Bytes before a stream can happen to decode into it, most often as a long literal that
  // swallows the stream's first commands and lands on a later one: the stream's own start then
  // lies inside that literal and ends where this one does. A stream's own later commands never
  // start inside its first; few real streams begin with more than 64 literal bytes.
  if (walk.LeadingLiteralBytes <= kLongLeadingLiteral) return true;
  for (size_t inside = 1; inside < walk.LeadingLiteralBytes; ++inside) {
    const StreamWalk later = WalkStream<false, true>(layout, input.subspan(inside), limit, nullptr);
    if (later.Error == DecompressError::None && inside + later.Consumed == walk.Consumed)
      return false;
  }
  return true;
}

}  // namespace varnock
