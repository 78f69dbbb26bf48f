#include "palette/rom_palette.h"

#include <algorithm>
#include <vector>

#include "codec/format_names.h"
#include "io/byte_order.h"
#include "palette/genesis_state.h"

namespace varnock {
namespace {

constexpr RomPaletteEncoding kRomPaletteEncodings[] = {
    {kPaletteRgb, "rgb", "RGB"},
    {kPaletteNes, "nes", "NES"},
    {kPaletteFifteen, "bgr15", "15 bit (SNES, GBC, GBA)"},
    {kRomPaletteGenesis, "genesis", "Genesis CRAM (9 bit)"},
    {kRomPaletteSms, "sms", "SMS (6 bit)"},
    {kRomPaletteGameGear, "gamegear", "Game Gear (12 bit)"},
    {kRomPaletteNgpc, "ngpc", "NGPC (12 bit)"},
};

// The names people use for the same encodings: the consoles that store 15-bit colour, the
// Genesis colour memory's own name, Game Gear's short name.
constexpr struct {
  const char* Alias;
  RomPaletteFormat Format;
} kEncodingAliases[] = {
    {"gba", kPaletteFifteen},     {"snes", kPaletteFifteen},   {"gbc", kPaletteFifteen},
    {"cram", kRomPaletteGenesis}, {"gg", kRomPaletteGameGear},
};

bool IsConsoleFormat(RomPaletteFormat format) {
  return format >= kRomPaletteGenesis && format <= kRomPaletteNgpc;
}

constexpr uint8_t ScaleChannel(int value, int bits) {
  const int highest = (1 << bits) - 1;
  return static_cast<uint8_t>((value * 255 + highest / 2) / highest);
}

PaletteEntry ConsoleColor(RomPaletteFormat format, std::span<const uint8_t> bytes, size_t at) {
  switch (format) {
    case kRomPaletteGenesis:
      // The same colour word as in a save state, stored big-endian as the 68000 writes it.
      return GenesisColor(ReadBe16(bytes, at));
    case kRomPaletteSms:
      return SmsColor(bytes[at]);
    default:
      return GameGearColor(ReadLe16(bytes, at));
  }
}

}  // namespace

std::span<const RomPaletteEncoding> RomPaletteEncodings() {
  return kRomPaletteEncodings;
}

const RomPaletteEncoding* RomPaletteEncodingNamed(std::string_view name) {
  for (const RomPaletteEncoding& encoding : kRomPaletteEncodings)
    if (SameShortName(name, encoding.ShortName)) return &encoding;
  for (const auto& alias : kEncodingAliases)
    if (SameShortName(name, alias.Alias))
      for (const RomPaletteEncoding& encoding : kRomPaletteEncodings)
        if (encoding.Format == alias.Format) return &encoding;
  return nullptr;
}

std::vector<std::string> RomPaletteEncodingAliases(RomPaletteFormat format) {
  std::vector<std::string> aliases;
  for (const auto& alias : kEncodingAliases)
    if (alias.Format == format) aliases.emplace_back(alias.Alias);
  return aliases;
}

int32_t RomPaletteEntryBytes(RomPaletteFormat format) {
  if (format == kRomPaletteSms) return 1;
  if (IsConsoleFormat(format)) return 2;
  return PaletteEntryBytesOf(format);
}

PaletteEntry SmsColor(uint8_t byte) {
  return MakeEntry(ScaleChannel(byte & 3, 2), ScaleChannel(byte >> 2 & 3, 2),
                   ScaleChannel(byte >> 4 & 3, 2));
}

PaletteEntry GameGearColor(uint16_t word) {
  return MakeEntry(ScaleChannel(word & 15, 4), ScaleChannel(word >> 4 & 15, 4),
                   ScaleChannel(word >> 8 & 15, 4));
}

PaletteReadResult ReadPaletteFromImage(std::span<const uint8_t> image, int64_t offset,
                                       RomPaletteFormat format, int32_t count) {
  if (offset < 0 || static_cast<uint64_t>(offset) >= image.size())
    return PaletteReadFailure(PaletteFileError::TooShort);
  const size_t start = static_cast<size_t>(offset);
  const size_t entryBytes = static_cast<size_t>(RomPaletteEntryBytes(format));
  const size_t fit = (image.size() - start) / entryBytes;
  const size_t wanted = static_cast<size_t>(std::clamp(count, 0, kPaletteEntries));
  const size_t entries = std::min(fit, wanted);
  if (entries == 0) return PaletteReadFailure(PaletteFileError::TooShort);
  if (!IsConsoleFormat(format))
    return ParsePaletteEntries(image, start, static_cast<int32_t>(entries), format);
  std::vector<PaletteEntry> colors;
  colors.reserve(entries);
  for (size_t k = 0; k < entries; ++k)
    colors.push_back(ConsoleColor(format, image, start + k * entryBytes));
  return RgbPaletteResult(std::move(colors));
}

RomPaletteFormat ConsolePaletteFormat(std::string_view ext, RomPaletteFormat otherwise) {
  struct ConsoleExtension {
    std::string_view Extension;
    RomPaletteFormat Format;
  };
  static constexpr ConsoleExtension kConsoles[] = {
      {".SMD", kRomPaletteGenesis}, {".GEN", kRomPaletteGenesis}, {".MD", kRomPaletteGenesis},
      {".BIN", kRomPaletteGenesis}, {".SMS", kRomPaletteSms},     {".GG", kRomPaletteGameGear},
      {".NGP", kRomPaletteNgpc},    {".NGC", kRomPaletteNgpc},
  };
  for (const ConsoleExtension& console : kConsoles)
    if (console.Extension == ext) return console.Format;
  return otherwise;
}

}  // namespace varnock
