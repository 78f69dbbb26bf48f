#include "palette/picture_colors.h"

#include <algorithm>

namespace varnock {
namespace {

bool SameRgb(const SurfaceColor& a, const SurfaceColor& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// For each used index, the palette index of its colour; -1 where there is none.
std::array<int16_t, 256> ColorTargets(const TileSurface& picture, const IndexUse& use,
                                      int32_t tableSize,
                                      const std::array<SurfaceColor, 256>& palette, int32_t count) {
  std::array<int16_t, 256> target;
  target.fill(-1);
  const int32_t entries = std::clamp(count, 0, 256);
  for (int32_t i = 0; i < 256 && i < tableSize; ++i) {
    if (!use.Used[static_cast<size_t>(i)]) continue;
    const SurfaceColor& color = picture.Colors[static_cast<size_t>(i)];
    if (i < entries && SameRgb(palette[static_cast<size_t>(i)], color)) {
      target[static_cast<size_t>(i)] = static_cast<int16_t>(i);
      continue;
    }
    for (int32_t j = 0; j < entries; ++j)
      if (SameRgb(palette[static_cast<size_t>(j)], color)) {
        target[static_cast<size_t>(i)] = static_cast<int16_t>(j);
        break;
      }
  }
  return target;
}

// The lowest used index without a target.
std::optional<int32_t> FirstUnmapped(const IndexUse& use, const std::array<int16_t, 256>& target) {
  for (size_t i = 0; i < target.size(); ++i)
    if (use.Used[i] && target[i] < 0) return static_cast<int32_t>(i);
  return std::nullopt;
}

}  // namespace

IndexUse IndicesUsed(const TileSurface& picture) {
  IndexUse use;
  const auto pixels =
      std::min<size_t>(picture.Pixels.size(), static_cast<size_t>(std::max(picture.PixelCount, 0)));
  for (size_t p = 0; p < pixels; ++p) use.Used[picture.Pixels[p]] = true;
  for (int32_t i = 255; i >= 0; --i)
    if (use.Used[static_cast<size_t>(i)]) {
      use.Highest = i;
      break;
    }
  return use;
}

ColorOrder CompareToPalette(const TileSurface& picture, const IndexUse& use, int32_t tableSize,
                            const std::array<SurfaceColor, 256>& palette, int32_t count) {
  const std::array<int16_t, 256> target = ColorTargets(picture, use, tableSize, palette, count);
  if (FirstUnmapped(use, target)) return ColorOrder::Other;
  for (size_t i = 0; i < target.size(); ++i)
    if (use.Used[i] && target[i] != static_cast<int16_t>(i)) return ColorOrder::Reordered;
  return ColorOrder::Same;
}

std::optional<int32_t> MapToPaletteByColor(TileSurface& picture, const IndexUse& use,
                                           int32_t tableSize,
                                           const std::array<SurfaceColor, 256>& palette,
                                           int32_t count) {
  const std::array<int16_t, 256> target = ColorTargets(picture, use, tableSize, palette, count);
  if (const std::optional<int32_t> unmapped = FirstUnmapped(use, target)) return unmapped;
  for (uint8_t& pixel : picture.Pixels)
    pixel = static_cast<uint8_t>(std::max<int16_t>(target[pixel], 0));
  picture.Colors = palette;
  return std::nullopt;
}

}  // namespace varnock
