// Save states of today's emulators, built byte by byte from each emulator's own layout (the
// readers' headers describe them), for the reader tests and the window tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "palette/palette.h"

namespace varnock::test {

using Bytes = std::vector<uint8_t>;

void Append(Bytes& out, const std::string& text);
void Append(Bytes& out, const Bytes& bytes);
void AppendLe32(Bytes& out, uint32_t value);
void AppendBe32(Bytes& out, uint32_t value);
Bytes Cut(const Bytes& bytes, size_t length);

// The fifteen-bit colours the SNES and GBA states carry: red, green, blue, then a grey of each
// channel's lowest step; a pattern after them and a marker at the last entry.
inline constexpr uint16_t kFifteenWords[4] = {0x001F, 0x03E0, 0x7C00, 0x0421};
inline constexpr PaletteEntry kFifteenColors[4] = {MakeEntry(248, 0, 0), MakeEntry(0, 248, 0),
                                                   MakeEntry(0, 0, 248), MakeEntry(8, 8, 8)};
inline constexpr uint16_t kLastWord = 0x294A;  // 10, 10, 10 in five bits
inline constexpr PaletteEntry kLastColor = MakeEntry(80, 80, 80);
uint16_t FifteenWord(size_t k);

// The NES states' first colour indices and the colours they stand for.
inline constexpr uint8_t kNesIndices[4] = {0x0F, 0x16, 0x30, 0x2A};
inline constexpr PaletteEntry kNesColors[4] = {MakeEntry(0, 0, 0), MakeEntry(219, 43, 0),
                                               MakeEntry(255, 255, 255), MakeEntry(79, 223, 75)};

// The Genesis states' first CRAM words and their colours.
inline constexpr uint16_t kGenesisWords[4] = {0x000E, 0x00E0, 0x0E00, 0x0642};
inline constexpr PaletteEntry kGenesisCramColors[4] = {
    MakeEntry(255, 0, 0), MakeEntry(0, 255, 0), MakeEntry(0, 0, 255), MakeEntry(36, 73, 109)};

// Snes9x: "#!s9xsnp:VVVV\n" and named blocks; CGDATA big-endian in "PPU" (plain, not gzipped).
Bytes Snes9xBlock(const std::string& name, const Bytes& data, bool binaryLength = false);
// With `vram`, a "VRA" block of it follows the PPU block.
Bytes Snes9xState(int version, size_t ppuLength = 3000, bool binaryLength = false,
                  const Bytes& vram = {});

// FCEUX: the 16-byte header and a body of sections of chunks, "PRAM" in section 3.
Bytes FceuxChunk(const std::string& name, const Bytes& data);
Bytes FceuxSection(uint8_t type, const Bytes& chunks);
Bytes FceuxPaletteRam();
// With `chrRam`, section 0x10 holds it as chunk "CHRR".
Bytes FceuxBody(size_t paletteBytes = 32, const Bytes& chrRam = {});
Bytes FceuxState(const Bytes& body, bool compressed = true, const char* signature = "FCSX");

// mGBA: the raw state with palette RAM at 0x800, and a PNG carrying a packed state.
Bytes MgbaState(uint32_t magic, size_t length = 0x61000);
Bytes PngChunk(const std::string& type, const Bytes& data, bool goodCrc = true);
Bytes MgbaPng(const Bytes& statePacked, bool goodCrc = true, const std::string& type = "gbAs");

// Gens/Kega: the magic and CRAM at 0x112.
Bytes GenesisState(size_t length = 0x22478, const Bytes& magic = {'G', 'S', 'T', 0x40, 0xE0});

// ZSNES: the signature, work RAM from 0xC13, `vram` from 0x20C13 (cut to `length` bytes).
Bytes ZsnesState(const Bytes& vram, size_t length = 0x30C13 + 0x2000);
// NESticle: the state record with `patterns` at 0x2907 and the palette at 0x5907.
Bytes NesticleState(const Bytes& patterns, size_t length = 0x5A00);

// `bytes` copied over `state` from `at`.
Bytes WithBytesAt(Bytes state, size_t at, const Bytes& bytes);

}  // namespace varnock::test
