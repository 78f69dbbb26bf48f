// The checksums a console's own header carries, beyond those the editor's save writes: the
// SNES internal header (LoROM or HiROM, after a copier header), the Genesis header and the
// Master System / Game Gear "TMR SEGA" header. The command-line tool shows them and writes them
// with --fix; the editor's save leaves them as they are.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace varnock {

struct HeaderChecksumField {
  std::string Name;  // "SNES checksum", "Genesis checksum", ...
  int64_t Offset;    // in the file
  int32_t Length;    // bytes
  bool BigEndian;
  uint32_t Holds;  // the value the image holds
  uint32_t Needs;  // the value the header's rule gives
};

struct ConsoleHeader {
  std::string Found;  // where the header is, in a few words; or why there is none
  std::vector<HeaderChecksumField> Fields;  // empty when no header was found
};

// The header of `image` for a file whose extension is `upperExtension`: .SMC and .SFC for the
// SNES, .MD, .GEN, .SMD and (with "SEGA" at 0x100) .BIN for the Genesis, .SMS and .GG. None
// for other extensions, nor for a .BIN without the Genesis header.
std::optional<ConsoleHeader> FindConsoleHeader(const std::string& upperExtension,
                                               std::span<const uint8_t> image);

// The field's value as bytes, in the order the file stores them.
std::vector<uint8_t> FieldBytes(const HeaderChecksumField& field, uint32_t value);

// The 16-bit sum of the SNES checksum: the bytes of `rom` as the cartridge's address decoding
// mirrors them up to the next power of two (a 3 MB image counts its last 1 MB twice).
uint16_t MirroredByteSum(std::span<const uint8_t> rom);

}  // namespace varnock
