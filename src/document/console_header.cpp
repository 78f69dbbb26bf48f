#include "document/console_header.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace varnock {
namespace {

uint32_t ReadField(std::span<const uint8_t> image, size_t at, int32_t length, bool bigEndian) {
  uint32_t value = 0;
  for (int32_t i = 0; i < length; ++i) {
    const size_t byte = at + static_cast<size_t>(bigEndian ? i : length - 1 - i);
    value = value << 8 | image[byte];
  }
  return value;
}

uint32_t ByteSum(std::span<const uint8_t> bytes) {
  uint32_t sum = 0;
  for (const uint8_t byte : bytes) sum += byte;
  return sum;
}

size_t PowerOfTwoAtMost(size_t n) {
  size_t power = 1;
  while (power <= n / 2) power *= 2;
  return power;
}

// The bytes of `data` repeated as address decoding repeats a smaller chip to fill `target`
// bytes (a power of two at least as large): a part that is itself a power of two repeats
// whole; any other splits into its largest power of two and a rest that fills that much.
uint32_t MirroredSum(std::span<const uint8_t> data, size_t target) {
  if (data.empty()) return 0;
  const size_t whole = PowerOfTwoAtMost(data.size());
  if (whole == data.size()) return ByteSum(data) * static_cast<uint32_t>(target / whole);
  return static_cast<uint32_t>(target / (2 * whole)) *
         (ByteSum(data.first(whole)) + MirroredSum(data.subspan(whole), whole));
}

std::string At(int64_t offset) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(offset));
  return text;
}

// SNES internal header, as the SNESdev Wiki's "ROM header" page lays it out: 64 bytes that the
// cartridge maps at 00:FFC0, which is file offset 0x7FC0 for a LoROM image (32 KB banks) and
// 0xFFC0 for a HiROM one (64 KB banks). At +0x15 the map mode (0x20 LoROM, 0x21 HiROM, 0x22
// and 0x23 LoROM with a coprocessor, 0x2A HiROM with one; 0x10 more for fast ROM), at +0x17
// the ROM size (2^n KB), at +0x1C the checksum's complement and at +0x1E the checksum, both
// 16-bit little-endian. The checksum is the 16-bit sum of every byte with the image mirrored up
// to a power of two; complement and checksum add up to 0x1FE whatever their value, so the sum
// counts them as that. A copier's 512-byte header before the image (its size 512 past a
// multiple of 1 KB, the "ROM file formats" page) is skipped.
struct SnesLayout {
  const char* Name;
  size_t Base;
  bool (*Mode)(uint8_t);
};
constexpr SnesLayout kSnesLayouts[] = {
    {"LoROM", 0x7FC0, [](uint8_t m) { return (m & 0xEF) == 0x20 || (m & 0xEE) == 0x22; }},
    {"HiROM", 0xFFC0, [](uint8_t m) { return (m & 0xEF) == 0x21 || (m & 0xEF) == 0x2A; }},
};
constexpr size_t kSnesCopierHeader = 512;
constexpr size_t kSnesComplement = 0x1C, kSnesChecksum = 0x1E;

// How much the layout's header looks like one; 0 when its map mode names another layout.
int SnesScore(std::span<const uint8_t> rom, const SnesLayout& layout) {
  if (rom.size() < layout.Base + 0x40 || !layout.Mode(rom[layout.Base + 0x15])) return 0;
  int score = 4;
  const uint32_t complement = ReadField(rom, layout.Base + kSnesComplement, 2, false);
  const uint32_t checksum = ReadField(rom, layout.Base + kSnesChecksum, 2, false);
  if ((complement ^ checksum) == 0xFFFF) score += 2;
  const uint8_t size = rom[layout.Base + 0x17];
  if (size >= 5 && size <= 13 && rom.size() <= (size_t{1024} << size)) score += 1;
  return score;
}

ConsoleHeader SnesHeader(std::span<const uint8_t> image) {
  const size_t skip = image.size() % 1024 == kSnesCopierHeader ? kSnesCopierHeader : 0;
  const std::span<const uint8_t> rom = image.subspan(skip);
  const SnesLayout* best = nullptr;
  int bestScore = 0;
  for (const SnesLayout& layout : kSnesLayouts)
    if (const int score = SnesScore(rom, layout); score > bestScore) {
      best = &layout;
      bestScore = score;
    }
  if (!best)
    return {
        "no SNES header: neither 0x7FD5 (LoROM) nor 0xFFD5 (HiROM) holds a map mode of its "
        "layout" +
            std::string(skip ? " past the 512-byte copier header" : ""),
        {}};
  const size_t base = best->Base;
  size_t target = 1;
  while (target < rom.size()) target *= 2;
  const uint32_t stored = ByteSum(rom.subspan(base + kSnesComplement, 4));
  const uint32_t sum = (MirroredSum(rom, target) - stored + 0x1FE) & 0xFFFF;
  ConsoleHeader header;
  header.Found = std::string("SNES ") + best->Name + " header at " +
                 At(static_cast<int64_t>(skip + base)) +
                 (skip ? ", after a 512-byte copier header" : "");
  header.Fields.push_back({"SNES checksum complement",
                           static_cast<int64_t>(skip + base + kSnesComplement), 2, false,
                           ReadField(rom, base + kSnesComplement, 2, false), sum ^ 0xFFFF});
  header.Fields.push_back({"SNES checksum", static_cast<int64_t>(skip + base + kSnesChecksum), 2,
                           false, ReadField(rom, base + kSnesChecksum, 2, false), sum});
  return header;
}

// Genesis header, as Plutiedev's "ROM header" page lays it out: "SEGA" at 0x100 (a few games
// put a space first), the checksum at 0x18E, big-endian: the 16-bit sum of the big-endian
// words from 0x200 to the end of the image (a last odd byte counts as a word's high byte).
constexpr size_t kGenesisChecksum = 0x18E, kGenesisSumStart = 0x200;

bool HasGenesisSignature(std::span<const uint8_t> image) {
  if (image.size() < kGenesisSumStart) return false;
  return std::memcmp(image.data() + 0x100, "SEGA", 4) == 0 ||
         std::memcmp(image.data() + 0x101, "SEGA", 4) == 0;
}

ConsoleHeader GenesisHeader(std::span<const uint8_t> image) {
  if (!HasGenesisSignature(image))
    return {"no Genesis header: the image does not hold \"SEGA\" at 0x100", {}};
  uint32_t sum = 0;
  for (size_t i = kGenesisSumStart; i < image.size(); i += 2)
    sum += uint32_t{image[i]} << 8 | (i + 1 < image.size() ? image[i + 1] : 0);
  ConsoleHeader header;
  header.Found = "Genesis header at 0x100";
  header.Fields.push_back({"Genesis checksum", kGenesisChecksum, 2, true,
                           ReadField(image, kGenesisChecksum, 2, true), sum & 0xFFFF});
  return header;
}

// Master System and Game Gear header, as SMS Power's "ROM Header" page lays it out: 16 bytes
// at 0x7FF0 (or 0x3FF0, 0x1FF0 in smaller images) starting "TMR SEGA", the checksum at +0xA
// (16-bit little-endian), and in the low half of +0xF the size the checksum covers. The
// checksum is the 16-bit sum of the bytes from 0 to that size, the header's own 16 left out.
constexpr std::array<size_t, 3> kSegaHeaderPlaces = {0x7FF0, 0x3FF0, 0x1FF0};
constexpr size_t kSegaHeaderBytes = 16, kSegaChecksum = 0xA, kSegaSizeCode = 0xF;

// The bytes a size code names; 0 for a code that names none.
size_t SegaRange(uint8_t code) {
  switch (code) {
    case 0xA:
      return 8 << 10;
    case 0xB:
      return 16 << 10;
    case 0xC:
      return 32 << 10;
    case 0xD:
      return 48 << 10;
    case 0xE:
      return 64 << 10;
    case 0xF:
      return 128 << 10;
    case 0x0:
      return 256 << 10;
    case 0x1:
      return 512 << 10;
    case 0x2:
      return 1024 << 10;
    default:
      return 0;
  }
}

ConsoleHeader SegaHeader(std::span<const uint8_t> image, const char* console) {
  const std::string name = console;
  for (const size_t place : kSegaHeaderPlaces) {
    if (image.size() < place + kSegaHeaderBytes ||
        std::memcmp(image.data() + place, "TMR SEGA", 8) != 0)
      continue;
    const uint8_t code = image[place + kSegaSizeCode] & 0x0F;
    const size_t range = SegaRange(code);
    const std::string found = name + " header at " + At(static_cast<int64_t>(place));
    char codeText[8];
    std::snprintf(codeText, sizeof codeText, "0x%X", code);
    if (range == 0) return {found + ": its size code " + codeText + " names no checksum range", {}};
    if (range > image.size())
      return {found + ": its size code " + codeText + " names " + std::to_string(range >> 10) +
                  " KB, more than the image's " + std::to_string(image.size()) + " bytes",
              {}};
    const size_t headerEnd = std::min(place + kSegaHeaderBytes, range);
    const uint32_t header16 = place < range ? ByteSum(image.subspan(place, headerEnd - place)) : 0;
    const uint32_t sum = ByteSum(image.first(range)) - header16;
    ConsoleHeader header;
    header.Found = found;
    header.Fields.push_back({name + " checksum", static_cast<int64_t>(place + kSegaChecksum), 2,
                             false, ReadField(image, place + kSegaChecksum, 2, false),
                             sum & 0xFFFF});
    return header;
  }
  return {"no " + name + " header: \"TMR SEGA\" is not at 0x7FF0, 0x3FF0 or 0x1FF0", {}};
}

}  // namespace

uint16_t MirroredByteSum(std::span<const uint8_t> rom) {
  size_t target = 1;
  while (target < rom.size()) target *= 2;
  return static_cast<uint16_t>(MirroredSum(rom, target));
}

std::optional<ConsoleHeader> FindConsoleHeader(const std::string& upperExtension,
                                               std::span<const uint8_t> image) {
  const std::string& ext = upperExtension;
  if (ext == ".SMC" || ext == ".SFC") return SnesHeader(image);
  if (ext == ".MD" || ext == ".GEN" || ext == ".SMD") return GenesisHeader(image);
  // Plain .BIN is also every other console's dump: only its header's own bytes make it one.
  if (ext == ".BIN" && HasGenesisSignature(image)) return GenesisHeader(image);
  if (ext == ".SMS") return SegaHeader(image, "Master System");
  if (ext == ".GG") return SegaHeader(image, "Game Gear");
  return std::nullopt;
}

std::vector<uint8_t> FieldBytes(const HeaderChecksumField& field, uint32_t value) {
  std::vector<uint8_t> bytes(static_cast<size_t>(field.Length));
  for (int32_t i = 0; i < field.Length; ++i) {
    const int32_t shift = 8 * (field.BigEndian ? field.Length - 1 - i : i);
    bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(value >> shift);
  }
  return bytes;
}

}  // namespace varnock
