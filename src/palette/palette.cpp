#include "palette/palette.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace varnock {

// Rows of eight, written red, green, blue; MakeEntry stores them blue, green, red.
const std::array<PaletteEntry, 64> NesPalette = {
    // 0x00
    MakeEntry(117, 117, 117),
    MakeEntry(39, 27, 143),
    MakeEntry(0, 0, 171),
    MakeEntry(71, 0, 159),
    MakeEntry(143, 0, 119),
    MakeEntry(171, 0, 19),
    MakeEntry(167, 0, 0),
    MakeEntry(127, 11, 0),
    // 0x08
    MakeEntry(67, 47, 0),
    MakeEntry(0, 71, 0),
    MakeEntry(0, 81, 0),
    MakeEntry(0, 63, 23),
    MakeEntry(27, 63, 95),
    MakeEntry(0, 0, 0),
    MakeEntry(0, 0, 0),
    MakeEntry(0, 0, 0),
    // 0x10
    MakeEntry(188, 188, 188),
    MakeEntry(0, 115, 239),
    MakeEntry(35, 59, 239),
    MakeEntry(131, 0, 243),
    MakeEntry(191, 0, 191),
    MakeEntry(231, 0, 91),
    MakeEntry(219, 43, 0),
    MakeEntry(203, 79, 15),
    // 0x18
    MakeEntry(139, 115, 0),
    MakeEntry(0, 151, 0),
    MakeEntry(0, 171, 0),
    MakeEntry(0, 147, 59),
    MakeEntry(0, 131, 139),
    MakeEntry(0, 0, 0),
    MakeEntry(0, 0, 0),
    MakeEntry(0, 0, 0),
    // 0x20
    MakeEntry(255, 255, 255),
    MakeEntry(63, 191, 255),
    MakeEntry(95, 151, 255),
    MakeEntry(167, 139, 253),
    MakeEntry(247, 123, 255),
    MakeEntry(255, 119, 183),
    MakeEntry(255, 119, 99),
    MakeEntry(255, 155, 59),
    // 0x28
    MakeEntry(243, 191, 63),
    MakeEntry(131, 211, 19),
    MakeEntry(79, 223, 75),
    MakeEntry(88, 248, 152),
    MakeEntry(0, 235, 219),
    MakeEntry(0, 0, 0),
    MakeEntry(0, 0, 0),
    MakeEntry(0, 0, 0),
    // 0x30
    MakeEntry(255, 255, 255),
    MakeEntry(171, 231, 255),
    MakeEntry(199, 215, 255),
    MakeEntry(215, 203, 255),
    MakeEntry(255, 199, 255),
    MakeEntry(255, 199, 219),
    MakeEntry(255, 191, 179),
    MakeEntry(255, 219, 171),
    // 0x38
    MakeEntry(255, 231, 163),
    MakeEntry(227, 255, 163),
    MakeEntry(171, 243, 191),
    MakeEntry(179, 255, 207),
    MakeEntry(159, 255, 243),
    MakeEntry(0, 0, 0),
    MakeEntry(0, 0, 0),
    MakeEntry(0, 0, 0),
};

namespace {

// Entries 16 upward walk the colour wheel with a step that shares no factor with its length, so
// neighbouring entries land far apart, and vary between pure colours and mixes toward white,
// grey and black so the spread is not one flat ring of hues.
constexpr PaletteTable BuildDefaultPalette() {
  PaletteTable table{};
  const PaletteEntry first[16] = {
      MakeEntry(0, 0, 0),       MakeEntry(99, 207, 99),   MakeEntry(57, 51, 255),
      MakeEntry(220, 255, 255), MakeEntry(51, 0, 134),    MakeEntry(191, 115, 0),
      MakeEntry(0, 207, 255),   MakeEntry(239, 235, 180), MakeEntry(147, 0, 0),
      MakeEntry(81, 255, 0),    MakeEntry(255, 172, 0),   MakeEntry(188, 17, 164),
      MakeEntry(0, 0, 0),       MakeEntry(89, 140, 242),  MakeEntry(182, 0, 159),
      MakeEntry(131, 220, 0),
  };
  for (int i = 0; i < 16; ++i) table[static_cast<size_t>(i)] = first[i];

  constexpr int kWheel = 6 * 256;  // six sectors between the primaries and secondaries
  for (int i = 16; i < kPaletteEntries; ++i) {
    const int hue = (i * 389) % kWheel;
    const int rise = hue % 256;
    const int fall = 255 - rise;
    int r = 0, g = 0, b = 0;
    switch (hue / 256) {
      case 0:
        r = 255, g = rise, b = 0;
        break;
      case 1:
        r = fall, g = 255, b = 0;
        break;
      case 2:
        r = 0, g = 255, b = rise;
        break;
      case 3:
        r = 0, g = fall, b = 255;
        break;
      case 4:
        r = rise, g = 0, b = 255;
        break;
      default:
        r = 255, g = 0, b = fall;
        break;
    }
    const auto mix = [kind = (i * i + i / 7) % 5](int c) {
      switch (kind) {
        case 1:
          return (c + 255) / 2;  // toward white
        case 2:
          return (c + 128) / 2;  // toward grey
        case 3:
          return c * 2 / 3;  // darker
        case 4:
          return (c * 3 + 40) / 4;  // slightly muted
        default:
          return c;  // pure
      }
    };
    table[static_cast<size_t>(i)] = MakeEntry(
        static_cast<uint8_t>(mix(r)), static_cast<uint8_t>(mix(g)), static_cast<uint8_t>(mix(b)));
  }
  table[17] = MakeEntry(255, 255, 255);
  return table;
}

// Fifteen-bit colour keeps only the top five bits of each channel; the low three come back as
// zero rather than a copy of the high bits, so 31 reads as 248.
//   byte 1         byte 0
//   x b b b b b g g   g g g r r r r r
constexpr uint16_t FifteenBitWord(PaletteEntry entry) {
  return static_cast<uint16_t>((entry.red >> 3) | ((entry.green >> 3) << 5) |
                               ((entry.blue >> 3) << 10));
}

constexpr PaletteEntry FromFifteenBitWord(uint16_t word) {
  return MakeEntry(static_cast<uint8_t>((word & 31) << 3),
                   static_cast<uint8_t>(((word >> 5) & 31) << 3),
                   static_cast<uint8_t>(((word >> 10) & 31) << 3));
}

}  // namespace

const PaletteTable DefaultPalette = BuildDefaultPalette();

PaletteEntry DecodePaletteEntry(PaletteFormat format, const uint8_t* bytes) {
  switch (format) {
    case kPaletteNes:
      return NesPalette[bytes[0] & 63];
    case kPaletteFifteen:
      return FromFifteenBitWord(static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)));
    default:
      return MakeEntry(bytes[0], bytes[1], bytes[2]);
  }
}

int32_t EncodePaletteEntry(PaletteFormat format, PaletteEntry entry, uint8_t* out) {
  switch (format) {
    case kPaletteNes:
      out[0] = NearestNesIndex(entry);
      return 1;
    case kPaletteFifteen: {
      const uint16_t word = FifteenBitWord(entry);
      out[0] = static_cast<uint8_t>(word & 0xFF);
      out[1] = static_cast<uint8_t>(word >> 8);
      return 2;
    }
    default:
      out[0] = entry.red;
      out[1] = entry.green;
      out[2] = entry.blue;
      return 3;
  }
}

uint8_t NearestNesIndex(PaletteEntry entry) {
  // Starts above the largest possible distance (3 x 255) and only a strictly nearer colour
  // replaces the best, so the lowest of several equally near indices wins.
  int best = 768;
  uint8_t bestIndex = 0;
  for (int j = 0; j < 64; ++j) {
    const PaletteEntry& master = NesPalette[static_cast<size_t>(j)];
    const int d = std::abs(entry.red - master.red) + std::abs(entry.green - master.green) +
                  std::abs(entry.blue - master.blue);
    if (d < best) {
      best = d;
      bestIndex = static_cast<uint8_t>(j);
    }
  }
  return bestIndex;
}

int32_t ConvertSubPalette(int32_t subPalette, int32_t oldBits, int32_t newBits) {
  // Bits per pixel are 1..4 in practice; the clamp only keeps odd callers out of undefined
  // shifts and conversions.
  const auto clampBits = [](int32_t bits) { return bits < 0 ? 0 : bits > 30 ? 30 : bits; };
  const double scaled = static_cast<double>(subPalette) *
                        static_cast<double>(int64_t{1} << clampBits(oldBits)) /
                        static_cast<double>(int64_t{1} << clampBits(newBits));
  if (scaled >= 2147483647.0) return INT32_MAX;
  if (scaled <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(scaled);  // truncates toward zero
}

void CopyPaletteToColors(const PaletteTable& palette, int32_t firstEntry, int32_t count,
                         std::array<SurfaceColor, 256>& colors) {
  for (int64_t i = 0; i < count && i < static_cast<int64_t>(colors.size()); ++i) {
    const int64_t entry = static_cast<int64_t>(firstEntry) + i;
    if (entry < 0 || entry >= kPaletteEntries) continue;
    const PaletteEntry& source = palette[static_cast<size_t>(entry)];
    colors[static_cast<size_t>(i)] = SurfaceColor{source.blue, source.green, source.red, 0};
  }
}

std::array<SurfaceColor, 256> SubPaletteColors(const PaletteTable& palette, int32_t subPalette,
                                               int32_t bitsPerPixel) {
  std::array<SurfaceColor, 256> colors{};
  const int32_t swatches = SwatchCountOf(std::clamp(bitsPerPixel, 1, 8));
  const int64_t first = int64_t{subPalette} * swatches;
  if (first < 0 || first >= kPaletteEntries) return colors;
  CopyPaletteToColors(palette, static_cast<int32_t>(first), swatches, colors);
  return colors;
}

uint8_t NearestColorIndex(const std::array<SurfaceColor, 256>& colors, int32_t count,
                          SurfaceColor color) {
  int best = INT_MAX;
  uint8_t bestIndex = 0;
  for (int32_t i = 0; i < std::clamp(count, 0, 256); ++i) {
    const SurfaceColor& c = colors[static_cast<size_t>(i)];
    const int d = std::abs(c.red - color.red) + std::abs(c.green - color.green) +
                  std::abs(c.blue - color.blue);
    if (d < best) {
      best = d;
      bestIndex = static_cast<uint8_t>(i);
    }
  }
  return bestIndex;
}

}  // namespace varnock
