#include "compression/nintendo_lz_rules.h"

#include <utility>

namespace varnock {
namespace {

bool IsFill(NintendoOp op) {
  return op == NintendoOp::ByteFill || op == NintendoOp::IncreasingFill ||
         op == NintendoOp::ZeroFill || op == NintendoOp::WordFill || op == NintendoOp::WordUnitFill;
}

}  // namespace

NintendoRead ReadNintendoCommand(const NintendoLayout& layout, const uint8_t* in, size_t size,
                                 size_t p) {
  NintendoRead c;
  if (p >= size) return c;
  const uint8_t head = in[p];
  if (head == kNintendoEndMarker) {
    c.Result = NintendoRead::Outcome::End;
    c.Size = 1;
    return c;
  }
  size_t at = p;
  if ((head & 0xE0) == 0xE0) {
    if (size - p < 2) return c;
    c.Kind = (head >> 2) & 7;
    c.Length = ((size_t{head} & 3) << 8 | in[p + 1]) + 1;
    c.LongForm = true;
    at += 2;
  } else {
    c.Kind = head >> 5;
    c.Length = (head & 0x1F) + 1;
    at += 1;
  }
  const NintendoCommand command = layout.Commands[c.Kind];
  c.Op = command.Op;
  c.Produced = c.Length;
  const size_t left = size - at;
  switch (command.Op) {
    case NintendoOp::Literal:
      if (left < c.Length) return c;
      c.LiteralAt = at;
      at += c.Length;
      break;
    case NintendoOp::ByteFill:
    case NintendoOp::IncreasingFill:
      if (left < 1) return c;
      c.First = in[at];
      at += 1;
      break;
    case NintendoOp::WordFill:
    case NintendoOp::WordUnitFill:
      if (left < 2) return c;
      c.First = in[at];
      c.Second = in[at + 1];
      if (command.Op == NintendoOp::WordUnitFill) c.Produced = 2 * c.Length;
      at += 2;
      break;
    case NintendoOp::ZeroFill:
      break;
    case NintendoOp::Copy:
    case NintendoOp::XorCopy:
    case NintendoOp::FlipCopy:
    case NintendoOp::ReverseCopy:
      c.AddressBytes = 2;
      switch (command.Address) {
        case NintendoAddress::AbsoluteBigEndian:
          if (left < 2) return c;
          c.Address = size_t{in[at]} << 8 | in[at + 1];
          break;
        case NintendoAddress::AbsoluteLittleEndian:
          if (left < 2) return c;
          c.Address = size_t{in[at + 1]} << 8 | in[at];
          break;
        case NintendoAddress::BackByte:
          if (left < 1) return c;
          c.AddressBytes = 1;
          c.Relative = true;
          c.Back = in[at];
          break;
        case NintendoAddress::SignedBackOrAbsolute:
          if (left < 1) return c;
          if (in[at] & 0x80) {
            c.AddressBytes = 1;
            c.Relative = true;
            c.Back = size_t{in[at] & 0x7Fu} + 1;
          } else {
            if (left < 2) return c;
            c.Address = size_t{in[at]} << 8 | in[at + 1];
          }
          break;
        case NintendoAddress::None:  // no table row has a copy without an address
          c.Result = NintendoRead::Outcome::NoAddress;
          return c;
      }
      at += c.AddressBytes;
      break;
  }
  c.Result = NintendoRead::Outcome::Command;
  c.Size = at - p;
  return c;
}

bool IsWastefulNintendoCommand(const NintendoRead& c, bool literalHasRun) {
  const bool wordOfOne =
      (c.Op == NintendoOp::WordFill || c.Op == NintendoOp::WordUnitFill) && c.First == c.Second;
  const bool needlessLong = c.LongForm && c.Kind != 7 && c.Length <= kNintendoShortLength;
  const bool runInLiteral = c.Op == NintendoOp::Literal && literalHasRun;
  const bool notShorter =
      ((c.Op == NintendoOp::ByteFill || c.Op == NintendoOp::IncreasingFill) && c.Produced < 2) ||
      ((c.Op == NintendoOp::WordFill || c.Op == NintendoOp::WordUnitFill) && c.Produced <= 2) ||
      (c.IsCopy() && c.Produced <= c.AddressBytes);
  return wordOfOne || needlessLong || runInLiteral || notShorter;
}

NintendoContinuation ContinuationAfter(const NintendoRead& c) {
  NintendoContinuation next;
  if (!IsFill(c.Op) && c.Op != NintendoOp::Literal) return next;
  next = {c.Op, c.Length, c.LongForm, c.First, c.Second};
  if (c.Op == NintendoOp::IncreasingFill) next.First = static_cast<uint8_t>(c.First + c.Length);
  // An odd number of alternating bytes ends on the first, so a continuation starts on the
  // second.
  if (c.Op == NintendoOp::WordFill && c.Length % 2 == 1) std::swap(next.First, next.Second);
  return next;
}

bool ContinuesNintendoCommand(const NintendoContinuation& previous, const NintendoRead& c) {
  // A long form joined with what follows it takes no more header bytes than it does alone.
  const bool room = previous.LongForm && previous.Length + c.Length <= kNintendoLongSevenLength;
  if (previous.Op != c.Op || (previous.Length >= kNintendoShortLength && !room)) return false;
  switch (c.Op) {
    case NintendoOp::Literal:
    case NintendoOp::ZeroFill:
      return true;
    case NintendoOp::WordFill:
    case NintendoOp::WordUnitFill:
      return c.First == previous.First && c.Second == previous.Second;
    case NintendoOp::ByteFill:
    case NintendoOp::IncreasingFill:
      return c.First == previous.First;
    default:
      return false;
  }
}

}  // namespace varnock
