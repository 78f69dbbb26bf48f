// One command of a Nintendo-format stream as read from its bytes, and the rules a compressor
// keeps that the scan holds every stream to: what the decoder and the scan's pass share.
#pragma once

#include <cstddef>
#include <cstdint>

#include "compression/nintendo_lz_layout.h"

namespace varnock {

// A command read at one position, before it runs: nothing here depends on the output so far.
struct NintendoRead {
  enum class Outcome : uint8_t { Command, End, EndsEarly, NoAddress };
  Outcome Result = Outcome::EndsEarly;
  NintendoOp Op = NintendoOp::Literal;
  size_t Kind = 0;    // 0-7
  size_t Length = 0;  // the command's L
  bool LongForm = false;
  size_t Produced = 0;            // output bytes: L, or 2L for a fill of words
  size_t Size = 0;                // input bytes: header, parameters, address and literal bytes
  uint8_t First = 0, Second = 0;  // a fill's parameters
  // A copy's source: `Address` bytes into the output, or `Back` bytes before the current
  // output when `Relative`; `AddressBytes` is 1 or 2.
  size_t AddressBytes = 0;
  bool Relative = false;
  size_t Address = 0;
  size_t Back = 0;
  size_t LiteralAt = 0;  // where a literal's bytes start in the input

  bool IsCopy() const { return AddressBytes > 0; }
};

// Reads the command at `p` of `in` (`size` bytes); never reads at or past `size`.
NintendoRead ReadNintendoCommand(const NintendoLayout& layout, const uint8_t* in, size_t size,
                                 size_t p);

// A run of this many equal bytes inside a literal is one no compressor leaves there: a fill
// of it is at least five bytes shorter.
inline constexpr size_t kImplausibleLiteralRun = 8;
// Graphics are whole tiles, and every tile format of these consoles is a multiple of 8 bytes
// (1 bit per pixel 8, 2 bits 16, 3 bits 24, 4 bits 32, 8 bits 64).
inline constexpr size_t kNintendoTileGranule = 8;
// A stream of graphics copies from close behind at least once.
inline constexpr size_t kNintendoNearCopy = 128;

// True when a compressor would never write `c` alone: a word fill of two equal bytes, a long
// form for a short length, a command no shorter than the bytes it stands for, or a literal
// holding a run of kImplausibleLiteralRun equal bytes (`literalHasRun`, which the caller finds).
bool IsWastefulNintendoCommand(const NintendoRead& c, bool literalHasRun);

// What the previous command would have produced next had it gone on: a compressor merges a
// command continuing it into it.
struct NintendoContinuation {
  NintendoOp Op = NintendoOp::Copy;  // Copy: neither a fill nor a literal, nothing continues
  size_t Length = 0;
  bool LongForm = false;
  uint8_t First = 0, Second = 0;
};

NintendoContinuation ContinuationAfter(const NintendoRead& c);

// True when `c` right after a command leaving `previous` is one a compressor would have
// merged into it: a literal after a short literal, a fill going on with a short fill, or either
// after a long form that still has room for it.
bool ContinuesNintendoCommand(const NintendoContinuation& previous, const NintendoRead& c);

}  // namespace varnock
