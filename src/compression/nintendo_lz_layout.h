// The command layout the Nintendo formats share, and what each of their eight commands
// does. Every stream is a run of commands ended by the byte 0xFF:
//
//   short form  CCCLLLLL            command C (0-6), length L + 1 (1-32)
//   long form   111CCCLL LLLLLLLL   command C (0-7), length L + 1 (1-1024)
//
// A long form of command 7 with the two top length bits set is the byte 0xFF itself, so the end
// marker wins and command 7 reaches only 768. The formats differ in what the commands mean and
// how a copy names its source; each table row below follows a game's own decompressor.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "compression/compression.h"

namespace varnock {

enum class NintendoOp : uint8_t {
  Literal,         // the next L bytes of the stream
  ByteFill,        // one byte, L times
  WordFill,        // two bytes, alternating, L bytes in all
  WordUnitFill,    // two bytes, L times over: 2L bytes
  IncreasingFill,  // one byte, then one more each time (wrapping at 0xFF), L bytes
  ZeroFill,        // L zero bytes, no parameter
  Copy,            // L bytes of the output so far, from a source offset
  XorCopy,         // as Copy, each byte inverted
  FlipCopy,        // as Copy, each byte's bit order reversed
  ReverseCopy,     // L bytes read downwards from the source offset
};

enum class NintendoAddress : uint8_t {
  None,
  AbsoluteBigEndian,     // two bytes, high first: an offset into the output
  AbsoluteLittleEndian,  // two bytes, low first
  BackByte,              // one byte b: the source is b bytes before the current output
  // One byte with bit 7 set: (b & 0x7F) + 1 bytes back; else two bytes, high first, a 15-bit
  // offset into the output.
  SignedBackOrAbsolute,
};

struct NintendoCommand {
  NintendoOp Op = NintendoOp::Literal;
  NintendoAddress Address = NintendoAddress::None;
};

struct NintendoLayout {
  std::array<NintendoCommand, 8> Commands;
};

inline constexpr uint8_t kNintendoEndMarker = 0xFF;
inline constexpr size_t kNintendoShortLength = 32;
inline constexpr size_t kNintendoLongLength = 1024;
// Long command 7 cannot use the lengths whose first byte would read as the end marker.
inline constexpr size_t kNintendoLongSevenLength = 768;
// The consoles index the output buffer with 16 bits; a copy's two address bytes reach no more.
inline constexpr size_t kNintendoMaxOutput = 65536;

namespace nintendo_layout {

using Op = NintendoOp;
using At = NintendoAddress;

// Super Mario World (U), CODE_00B8DE in IsoFrieze/SMWDisX bank_00.asm: a command with bit 7 set
// (4, 5, 6 and long 7) is a copy, its offset read high byte first. The format notes of the
// SnesLab wiki and bonimy/MushROMs (doc/LC_LZ2 Compression Format.md) call 5 and 6 unused; the
// game's routine copies, so they copy here too.
inline constexpr NintendoLayout kLz2{{{
    {Op::Literal, At::None},
    {Op::ByteFill, At::None},
    {Op::WordFill, At::None},
    {Op::IncreasingFill, At::None},
    {Op::Copy, At::AbsoluteBigEndian},
    {Op::Copy, At::AbsoluteBigEndian},
    {Op::Copy, At::AbsoluteBigEndian},
    {Op::Copy, At::AbsoluteBigEndian},
}}};

// LC_LZ1: the same commands, the copy's offset read low byte first, as the Japanese Super Mario
// World and A Link to the Past's graphics routine (Decomp in JaredBrian/AsarUSALTTPDisassembly
// Bank00.asm) read it.
inline constexpr NintendoLayout kLz1{{{
    {Op::Literal, At::None},
    {Op::ByteFill, At::None},
    {Op::WordFill, At::None},
    {Op::IncreasingFill, At::None},
    {Op::Copy, At::AbsoluteLittleEndian},
    {Op::Copy, At::AbsoluteLittleEndian},
    {Op::Copy, At::AbsoluteLittleEndian},
    {Op::Copy, At::AbsoluteLittleEndian},
}}};

// Super Metroid's routine, Decompression_VariableDestination ($80:B119) in PJBoy/sm_disassembly
// src/bank_80.asm, agrees with the SnesLab wiki's LZ5 page: copies from a little-endian offset,
// inverted copies, and copies from b bytes back (b = 0 would read the byte being written).
inline constexpr NintendoLayout kLz5{{{
    {Op::Literal, At::None},
    {Op::ByteFill, At::None},
    {Op::WordFill, At::None},
    {Op::IncreasingFill, At::None},
    {Op::Copy, At::AbsoluteLittleEndian},
    {Op::XorCopy, At::AbsoluteLittleEndian},
    {Op::Copy, At::BackByte},
    {Op::XorCopy, At::BackByte},
}}};

// Pokemon Crystal's Decompress in pret/pokecrystal home/decompress.asm: zero fill, and copies,
// bit-flipped copies and backwards copies from a signed offset; long command 7 falls through to
// the plain copy.
inline constexpr NintendoLayout kLz3{{{
    {Op::Literal, At::None},
    {Op::ByteFill, At::None},
    {Op::WordFill, At::None},
    {Op::ZeroFill, At::None},
    {Op::Copy, At::SignedBackOrAbsolute},
    {Op::FlipCopy, At::SignedBackOrAbsolute},
    {Op::ReverseCopy, At::SignedBackOrAbsolute},
    {Op::Copy, At::SignedBackOrAbsolute},
}}};

// EarthBound's DECOMP in Herringway/ebsrc src/system/decomp.asm, the same as exhal_unpack in
// devinacker/exhal compress.c: the word fill counts words, offsets are big-endian, long command
// 7 copies like 4.
inline constexpr NintendoLayout kHal{{{
    {Op::Literal, At::None},
    {Op::ByteFill, At::None},
    {Op::WordUnitFill, At::None},
    {Op::IncreasingFill, At::None},
    {Op::Copy, At::AbsoluteBigEndian},
    {Op::FlipCopy, At::AbsoluteBigEndian},
    {Op::ReverseCopy, At::AbsoluteBigEndian},
    {Op::Copy, At::AbsoluteBigEndian},
}}};

}  // namespace nintendo_layout

// The layout of a Nintendo format; LC_LZ2's for any other format.
constexpr const NintendoLayout& NintendoLayoutOf(CompressionFormat format) {
  switch (format) {
    case CompressionFormat::Lz1:
      return nintendo_layout::kLz1;
    case CompressionFormat::Lz5:
      return nintendo_layout::kLz5;
    case CompressionFormat::Lz3:
      return nintendo_layout::kLz3;
    case CompressionFormat::Hal:
      return nintendo_layout::kHal;
    default:
      return nintendo_layout::kLz2;
  }
}

// Bit order reversed: 0x01 <-> 0x80, 0xAF <-> 0xF5.
constexpr uint8_t ReverseBits(uint8_t value) {
  uint8_t reversed = 0;
  for (int bit = 0; bit < 8; ++bit)
    if (value & (1u << bit)) reversed = static_cast<uint8_t>(reversed | (0x80u >> bit));
  return reversed;
}

inline constexpr std::array<uint8_t, 256> kReversedBits = [] {
  std::array<uint8_t, 256> table{};
  for (int value = 0; value < 256; ++value)
    table[static_cast<size_t>(value)] = ReverseBits(static_cast<uint8_t>(value));
  return table;
}();

}  // namespace varnock
