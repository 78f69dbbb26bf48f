#include "palette/colour_words.h"

#include <cstdio>

namespace varnock {
namespace {

// A channel of 8 bits brought to `bits` bits, rounded to the nearest step.
uint32_t Scaled(uint8_t value, int bits) {
  const uint32_t top = (1u << bits) - 1;
  return (value * top + 127) / 255;
}

std::string Hex(const char* prefix, uint32_t value, int digits) {
  char text[32];
  std::snprintf(text, sizeof text, "%s$%0*X", prefix, digits, value);
  return text;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string HexColorText(PaletteEntry entry) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", entry.red, entry.green, entry.blue);
  return text;
}

std::optional<PaletteEntry> ParseHexColor(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.starts_with('#'))
    text.remove_prefix(1);
  else if (text.starts_with("0x") || text.starts_with("0X"))
    text.remove_prefix(2);
  if (text.size() != 6) return std::nullopt;
  uint8_t channels[3];
  for (int k = 0; k < 3; ++k) {
    const int high = HexDigit(text[2 * k]), low = HexDigit(text[2 * k + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    channels[k] = static_cast<uint8_t>(high * 16 + low);
  }
  return MakeEntry(channels[0], channels[1], channels[2]);
}

std::string ConsoleColorWord(RomPaletteFormat format, PaletteEntry entry) {
  switch (format) {
    case kPaletteNes:
      return Hex("NES ", NearestNesIndex(entry), 2);
    case kPaletteFifteen: {
      // The word a palette file of this format writes.
      uint8_t word[2];
      EncodePaletteEntry(kPaletteFifteen, entry, word);
      return Hex("BGR15 ", static_cast<uint32_t>(word[0] | word[1] << 8), 4);
    }
    case kRomPaletteGenesis:
      return Hex(
          "CRAM ",
          Scaled(entry.blue, 3) << 9 | Scaled(entry.green, 3) << 5 | Scaled(entry.red, 3) << 1, 4);
    case kRomPaletteSms:
      return Hex("SMS ",
                 Scaled(entry.blue, 2) << 4 | Scaled(entry.green, 2) << 2 | Scaled(entry.red, 2),
                 2);
    case kRomPaletteGameGear:
    case kRomPaletteNgpc:
      return Hex("BGR12 ",
                 Scaled(entry.blue, 4) << 8 | Scaled(entry.green, 4) << 4 | Scaled(entry.red, 4),
                 4);
    default:
      return {};
  }
}

RomPaletteFormat ConsoleWordFormat(std::string_view upperExtension, RomPaletteFormat otherwise) {
  if (upperExtension == ".NES") return kPaletteNes;
  for (const char* fifteen : {".SMC", ".SFC", ".SWC", ".FIG", ".GBC", ".CGB", ".GBA", ".AGB"})
    if (upperExtension == fifteen) return kPaletteFifteen;
  return ConsolePaletteFormat(upperExtension, otherwise);
}

void FillGreyRamp(PaletteTable& palette) {
  for (size_t k = 0; k < palette.size(); ++k) {
    const auto level = static_cast<uint8_t>(k);
    palette[k] = MakeEntry(level, level, level);
  }
}

}  // namespace varnock
