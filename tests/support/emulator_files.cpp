#include "support/emulator_files.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "support/compress.h"
#include "support/test_files.h"

namespace varnock::test {

void Append(Bytes& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
}
void Append(Bytes& out, const Bytes& bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}
void AppendLe32(Bytes& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}
void AppendBe32(Bytes& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}
Bytes Cut(const Bytes& bytes, size_t length) {
  return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
}

uint16_t FifteenWord(size_t k) {
  return k < 4 ? kFifteenWords[k] : k == 255 ? kLastWord : static_cast<uint16_t>(k * 0x51 & 0x7FFF);
}

Bytes Snes9xBlock(const std::string& name, const Bytes& data, bool binaryLength) {
  Bytes out;
  Append(out, name + ":");
  if (binaryLength) {
    Append(out, "--");
    AppendBe32(out, static_cast<uint32_t>(data.size()));
  } else {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%06zu", data.size());
    Append(out, digits);
  }
  Append(out, ":");
  Append(out, data);
  return out;
}

Bytes Snes9xState(int version, size_t ppuLength, bool binaryLength, const Bytes& vram) {
  Bytes out;
  char header[16];
  std::snprintf(header, sizeof header, "#!s9xsnp:%04d\n", version);
  Append(out, header);
  Bytes name = {'R', 'e', 'm', 'o', 'v', 'e', 'd', 0};
  Append(out, Snes9xBlock("NAM", name));
  Append(out, Snes9xBlock("CPU", PatternBytes(48, 1)));
  Append(out, Snes9xBlock("REG", PatternBytes(15, 2)));
  // 63 bytes of VMA, WRAM, BG, mode and CG registers; CGSavedByte joined them in version 11.
  Bytes ppu = PatternBytes(ppuLength, 4);
  const size_t colors = version >= 11 ? 64 : 63;
  for (size_t k = 0; k < 256 && colors + 2 * k + 1 < ppu.size(); ++k) {
    ppu[colors + 2 * k] = static_cast<uint8_t>(FifteenWord(k) >> 8);
    ppu[colors + 2 * k + 1] = static_cast<uint8_t>(FifteenWord(k));
  }
  Append(out, Snes9xBlock("PPU", ppu, binaryLength));
  if (!vram.empty()) Append(out, Snes9xBlock("VRA", vram));
  Append(out, Snes9xBlock("DMA", PatternBytes(100, 5)));
  return out;
}

Bytes FceuxChunk(const std::string& name, const Bytes& data) {
  Bytes out;
  Append(out, name);
  AppendLe32(out, static_cast<uint32_t>(data.size()));
  Append(out, data);
  return out;
}

Bytes FceuxSection(uint8_t type, const Bytes& chunks) {
  Bytes out{type};
  AppendLe32(out, static_cast<uint32_t>(chunks.size()));
  Append(out, chunks);
  return out;
}

Bytes FceuxPaletteRam() {
  Bytes ram = PatternBytes(32, 8);
  for (auto& b : ram) b &= 0x3F;
  std::memcpy(ram.data(), kNesIndices, 4);
  ram[31] = 0x21;
  return ram;
}

Bytes FceuxBody(size_t paletteBytes, const Bytes& chrRam) {
  Bytes ppu = FceuxChunk("NTAR", PatternBytes(0x800, 9));
  Append(ppu, FceuxChunk("PRAM", Cut(FceuxPaletteRam(), std::min<size_t>(paletteBytes, 32))));
  Append(ppu, FceuxChunk("SPRA", PatternBytes(0x100, 10)));
  Bytes body = FceuxSection(1, FceuxChunk("PC\0\0", {0x00, 0x80}));
  Append(body, FceuxSection(2, FceuxChunk("JAMM", {0})));
  Append(body, FceuxSection(3, ppu));
  if (!chrRam.empty()) Append(body, FceuxSection(0x10, FceuxChunk("CHRR", chrRam)));
  return body;
}

Bytes FceuxState(const Bytes& body, bool compressed, const char* signature) {
  Bytes out;
  Append(out, signature);
  AppendLe32(out, static_cast<uint32_t>(body.size()));
  AppendLe32(out, 22020);
  const Bytes packed = compressed ? ZlibCompress(body) : body;
  AppendLe32(out, compressed ? static_cast<uint32_t>(packed.size()) : 0xFFFFFFFF);
  Append(out, packed);
  return out;
}

Bytes MgbaState(uint32_t magic, size_t length) {
  Bytes state = PatternBytes(length, 12);
  for (int i = 0; i < 4; ++i) state[i] = static_cast<uint8_t>(magic >> (8 * i));
  for (size_t k = 0; k < 512 && 0x800 + 2 * k + 1 < length; ++k) {
    // Entries past 255 are the sprites' colours and must not be read.
    const uint16_t word = k < 256 ? FifteenWord(k) : 0x7FFF;
    state[0x800 + 2 * k] = static_cast<uint8_t>(word);
    state[0x800 + 2 * k + 1] = static_cast<uint8_t>(word >> 8);
  }
  return state;
}

Bytes PngChunk(const std::string& type, const Bytes& data, bool goodCrc) {
  Bytes out;
  AppendBe32(out, static_cast<uint32_t>(data.size()));
  Bytes typed;
  Append(typed, type);
  Append(typed, data);
  Append(out, typed);
  const uLong crc = crc32(crc32(0, nullptr, 0), typed.data(), static_cast<uInt>(typed.size()));
  AppendBe32(out, static_cast<uint32_t>(goodCrc ? crc : crc ^ 1));
  return out;
}

Bytes MgbaPng(const Bytes& statePacked, bool goodCrc, const std::string& type) {
  Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Append(out, PngChunk("IHDR", {0, 0, 0, 240, 0, 0, 0, 160, 8, 6, 0, 0, 0}));
  Append(out, PngChunk("IDAT", PatternBytes(300, 13)));
  Append(out, PngChunk(type, statePacked, goodCrc));
  Append(out, PngChunk("IEND", {}));
  return out;
}

Bytes GenesisState(size_t length, const Bytes& magic) {
  Bytes state = PatternBytes(length, 14);
  std::copy(magic.begin(), magic.end(), state.begin());
  for (size_t k = 0; k < 64 && 0x112 + 2 * k + 1 < length; ++k) {
    const uint16_t word = k < 4 ? kGenesisWords[k] : k == 63 ? 0x0EEE : 0;
    state[0x112 + 2 * k] = static_cast<uint8_t>(word);
    state[0x112 + 2 * k + 1] = static_cast<uint8_t>(word >> 8);
  }
  return state;
}

Bytes ZsnesState(const Bytes& vram, size_t length) {
  Bytes state = PatternBytes(std::max<size_t>(length, 0x20C13 + vram.size()), 15);
  const std::string signature = "ZSNES Save State File V0.6\x1a";
  std::copy(signature.begin(), signature.end(), state.begin());
  state = WithBytesAt(std::move(state), 0x20C13, vram);
  state.resize(length);
  return state;
}

Bytes NesticleState(const Bytes& patterns, size_t length) {
  Bytes state = WithBytesAt(PatternBytes(std::max<size_t>(length, 0x2907 + patterns.size()), 16),
                            0x2907, patterns);
  state.resize(length);
  return state;
}

Bytes WithBytesAt(Bytes state, size_t at, const Bytes& bytes) {
  if (state.size() < at + bytes.size()) state.resize(at + bytes.size());
  std::copy(bytes.begin(), bytes.end(), state.begin() + static_cast<std::ptrdiff_t>(at));
  return state;
}

}  // namespace varnock::test
