#include "compression/nintendo_lz_decode.h"

#include <algorithm>
#include <cstring>

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

// A run of this many equal bytes inside a literal is one no compressor leaves there: a fill
// of it is at least five bytes shorter.
constexpr size_t kImplausibleLiteralRun = 8;
// A first literal longer than this that holds the start of a stream ending at the same byte
// marks bytes that run into that stream, not a stream of their own.
constexpr size_t kLongLeadingLiteral = 66;  // a 64-byte literal and its two header bytes
// Graphics are whole tiles, and every tile format of these consoles is a multiple of 8 bytes
// (1 bit per pixel 8, 2 bits 16, 3 bits 24, 4 bits 32, 8 bits 64).
constexpr size_t kTileGranule = 8;
constexpr size_t kNearCopy = 128;

bool HasRun(const uint8_t* bytes, size_t count, size_t run) {
  size_t same = 1;
  for (size_t i = 1; i < count; ++i) {
    same = bytes[i] == bytes[i - 1] ? same + 1 : 1;
    if (same >= run) return true;
  }
  return false;
}

bool IsFill(NintendoOp op) {
  return op == NintendoOp::ByteFill || op == NintendoOp::IncreasingFill ||
         op == NintendoOp::ZeroFill || op == NintendoOp::WordFill || op == NintendoOp::WordUnitFill;
}

// One decoded command, as the plausibility rules see it.
struct CommandSeen {
  NintendoOp Op = NintendoOp::Literal;
  size_t Kind = 0;
  size_t Length = 0;  // the command's L
  bool LongForm = false;
  uint8_t First = 0, Second = 0;  // a fill's parameters
  size_t AddressBytes = 0;        // a copy's
  size_t Distance = 0;            // how far back a copy's source lies
  const uint8_t* Literal = nullptr;
};

// The rules a stream from a compressor, greedy or optimal, keeps; data that happens to decode
// rarely does. A compressor never writes
//  - a literal straight after a literal shorter than 32 (it would have made them one),
//  - a fill continuing the fill before it when that one was shorter than 32 (the same),
//  - a word fill of two equal bytes (a byte fill is a byte shorter),
//  - a long form for a length the short form holds (commands 0-6),
//  - a literal holding a run of eight equal bytes (a fill is shorter),
//  - a command no shorter than the literal bytes it stands for: a byte or increasing fill of
//    one byte, a word fill of two bytes or fewer, a copy of one byte, or of two bytes from a
//    two-byte address;
// and a stream of graphics is a whole number of 8-byte units and has a copy from at most 128
// bytes back: graphics repeat close by (every graphics stream of Yoshi's Island has one within
// 74), and bytes before a stream that run into it push every copy of an absolute offset
// further back by what they decode to.
class Plausibility {
 public:
  bool Allows(const CommandSeen& c) {
    const bool continues = IsFill(c.Op) && previous_.Op == c.Op &&
                           previous_.Length < kNintendoShortLength && Continues(c);
    const bool mergeable = c.Op == NintendoOp::Literal && previous_.Op == NintendoOp::Literal &&
                           previous_.Length < kNintendoShortLength;
    const bool wordOfOne =
        (c.Op == NintendoOp::WordFill || c.Op == NintendoOp::WordUnitFill) && c.First == c.Second;
    const bool needlessLong = c.LongForm && c.Kind != 7 && c.Length <= kNintendoShortLength;
    const bool runInLiteral =
        c.Op == NintendoOp::Literal && HasRun(c.Literal, c.Length, kImplausibleLiteralRun);
    const size_t produced = c.Op == NintendoOp::WordUnitFill ? 2 * c.Length : c.Length;
    const bool copy = c.AddressBytes > 0;
    const bool notShorter =
        ((c.Op == NintendoOp::ByteFill || c.Op == NintendoOp::IncreasingFill) && produced < 2) ||
        ((c.Op == NintendoOp::WordFill || c.Op == NintendoOp::WordUnitFill) && produced <= 2) ||
        (copy && produced <= c.AddressBytes);
    if (continues || mergeable || wordOfOne || needlessLong || runInLiteral || notShorter)
      return false;
    nearCopy_ = nearCopy_ || (copy && c.Distance <= kNearCopy);
    Remember(c);
    return true;
  }

  bool AllowsEnd(size_t outputSize) const { return nearCopy_ && outputSize % kTileGranule == 0; }

 private:
  // What the previous command would have produced next had it gone on.
  struct Continuation {
    NintendoOp Op = NintendoOp::Copy;  // Copy: neither a fill nor a literal
    size_t Length = 0;
    uint8_t First = 0, Second = 0;
  };

  bool Continues(const CommandSeen& c) const {
    switch (c.Op) {
      case NintendoOp::ZeroFill:
        return true;
      case NintendoOp::WordFill:
      case NintendoOp::WordUnitFill:
        return c.First == previous_.First && c.Second == previous_.Second;
      default:
        return c.First == previous_.First;
    }
  }

  void Remember(const CommandSeen& c) {
    previous_ = {};
    if (!IsFill(c.Op) && c.Op != NintendoOp::Literal) return;
    previous_ = {c.Op, c.Length, c.First, c.Second};
    if (c.Op == NintendoOp::IncreasingFill)
      previous_.First = static_cast<uint8_t>(c.First + c.Length);
    // An odd number of alternating bytes ends on the first, so a continuation starts on the
    // second.
    if (c.Op == NintendoOp::WordFill && c.Length % 2 == 1)
      std::swap(previous_.First, previous_.Second);
  }

  Continuation previous_;
  bool nearCopy_ = false;
};

// Walks the commands of one stream, checking every bound before it is used; with kWrite it
// also writes the output into `out`, which holds the size an earlier walk returned. With
// kPlausible a stream breaking a plausibility rule stops with BadCommand.
template <bool kWrite, bool kPlausible>
StreamWalk WalkStream(const NintendoLayout& layout, std::span<const uint8_t> input, size_t limit,
                      uint8_t* out) {
  const uint8_t* in = input.data();
  const size_t size = input.size();
  size_t p = 0;
  size_t pos = 0;
  size_t leadingLiteralBytes = 0;
  Plausibility plausibility;
  for (;;) {
    if (p >= size) return {DecompressError::EndsEarly, 0, 0};
    const uint8_t head = in[p];
    if (head == kNintendoEndMarker) {
      if (kPlausible && !plausibility.AllowsEnd(pos)) return {DecompressError::BadCommand, 0, 0};
      return {DecompressError::None, p + 1, pos, leadingLiteralBytes};
    }
    size_t kind;
    size_t length;
    if ((head & 0xE0) == 0xE0) {
      if (size - p < 2) return {DecompressError::EndsEarly, 0, 0};
      kind = (head >> 2) & 7;
      length = ((size_t{head} & 3) << 8 | in[p + 1]) + 1;
      p += 2;
    } else {
      kind = head >> 5;
      length = (head & 0x1F) + 1;
      p += 1;
    }
    const NintendoCommand command = layout.Commands[kind];
    const size_t left = size - p;
    size_t produced = length;
    uint8_t first = 0;
    uint8_t second = 0;
    size_t source = 0;
    size_t addressBytes = 0;
    switch (command.Op) {
      case NintendoOp::Literal:
        if (left < length) return {DecompressError::EndsEarly, 0, 0};
        break;
      case NintendoOp::ByteFill:
      case NintendoOp::IncreasingFill:
        if (left < 1) return {DecompressError::EndsEarly, 0, 0};
        first = in[p];
        break;
      case NintendoOp::WordFill:
      case NintendoOp::WordUnitFill:
        if (left < 2) return {DecompressError::EndsEarly, 0, 0};
        first = in[p];
        second = in[p + 1];
        if (command.Op == NintendoOp::WordUnitFill) produced = 2 * length;
        break;
      case NintendoOp::ZeroFill:
        break;
      case NintendoOp::Copy:
      case NintendoOp::XorCopy:
      case NintendoOp::FlipCopy:
      case NintendoOp::ReverseCopy: {
        addressBytes = 2;
        switch (command.Address) {
          case NintendoAddress::AbsoluteBigEndian:
            if (left < 2) return {DecompressError::EndsEarly, 0, 0};
            source = size_t{in[p]} << 8 | in[p + 1];
            break;
          case NintendoAddress::AbsoluteLittleEndian:
            if (left < 2) return {DecompressError::EndsEarly, 0, 0};
            source = size_t{in[p + 1]} << 8 | in[p];
            break;
          case NintendoAddress::BackByte:
            if (left < 1) return {DecompressError::EndsEarly, 0, 0};
            addressBytes = 1;
            if (in[p] > pos) return {DecompressError::ReferenceBeforeStart, 0, 0};
            source = pos - in[p];
            break;
          case NintendoAddress::None:  // no table row has a copy without an address
            return {DecompressError::BadCommand, 0, 0};
          case NintendoAddress::SignedBackOrAbsolute:
            if (left < 1) return {DecompressError::EndsEarly, 0, 0};
            if (in[p] & 0x80) {
              addressBytes = 1;
              const size_t back = size_t{in[p] & 0x7Fu} + 1;
              if (back > pos) return {DecompressError::ReferenceBeforeStart, 0, 0};
              source = pos - back;
            } else {
              if (left < 2) return {DecompressError::EndsEarly, 0, 0};
              source = size_t{in[p]} << 8 | in[p + 1];
            }
            break;
        }
        if (source >= pos) return {DecompressError::ReferenceAhead, 0, 0};
        if (command.Op == NintendoOp::ReverseCopy && source + 1 < length)
          return {DecompressError::ReferenceBeforeStart, 0, 0};
        p += addressBytes;
        break;
      }
    }
    if (produced > limit - pos) return {DecompressError::TooLarge, 0, 0};
    if constexpr (kPlausible) {
      const CommandSeen seen{command.Op, kind,   length,       (head & 0xE0) == 0xE0,
                             first,      second, addressBytes, pos - source,
                             in + p};
      if (!plausibility.Allows(seen)) return {DecompressError::BadCommand, 0, 0};
    }
    if constexpr (kWrite) {
      uint8_t* to = out + pos;
      switch (command.Op) {
        case NintendoOp::Literal:
          std::memcpy(to, in + p, length);
          break;
        case NintendoOp::ByteFill:
          std::memset(to, first, length);
          break;
        case NintendoOp::ZeroFill:
          std::memset(to, 0, length);
          break;
        case NintendoOp::IncreasingFill:
          for (size_t t = 0; t < length; ++t) to[t] = static_cast<uint8_t>(first + t);
          break;
        case NintendoOp::WordFill:
          for (size_t t = 0; t < length; ++t) to[t] = t % 2 == 0 ? first : second;
          break;
        case NintendoOp::WordUnitFill:
          for (size_t t = 0; t < produced; t += 2) to[t] = first, to[t + 1] = second;
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
    switch (command.Op) {
      case NintendoOp::Literal:
        p += length;
        break;
      case NintendoOp::ByteFill:
      case NintendoOp::IncreasingFill:
        p += 1;
        break;
      case NintendoOp::WordFill:
      case NintendoOp::WordUnitFill:
        p += 2;
        break;
      default:
        break;
    }
    if (pos == 0 && command.Op == NintendoOp::Literal) leadingLiteralBytes = p;
    pos += produced;
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
