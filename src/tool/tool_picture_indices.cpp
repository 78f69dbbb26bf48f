#include "tool/tool_picture_indices.h"

#include <cstdio>

#include "palette/palette.h"
#include "palette/picture_colors.h"
#include "tool/tool_report.h"

namespace varnock {
namespace {

constexpr const char* kImport = "import";

std::string ColorText(const SurfaceColor& color) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", color.red, color.green, color.blue);
  return text;
}

// A line on standard error that does not stop the command.
void Note(const std::string& picturePath, const std::string& text) {
  std::fprintf(stderr, "%s: %s: %s\n", kToolName, picturePath.c_str(), text.c_str());
}

// Every pixel takes the index of the sub-palette colour nearest to its own colour.
void MatchToColors(TileSurface& picture, const std::array<SurfaceColor, 256>& colors,
                   int32_t count) {
  std::array<uint8_t, 256> nearest{};
  for (size_t i = 0; i < nearest.size(); ++i)
    nearest[i] = NearestColorIndex(colors, count, picture.Colors[i]);
  for (int32_t p = 0; p < picture.PixelCount; ++p)
    picture.Pixels[static_cast<size_t>(p)] = nearest[picture.Pixels[static_cast<size_t>(p)]];
  picture.Colors = colors;
}

std::string PastTable(const PictureReadResult& read, int32_t index) {
  return "index " + std::to_string(index) + " lies past the picture's " +
         std::to_string(read.ColorCount) + "-colour table";
}

}  // namespace

void SettlePictureIndices(const ParsedArguments& arguments, const std::string& picturePath,
                          const PictureReadResult& read, TileSurface& picture,
                          const TileFormatRow& row,
                          const std::array<SurfaceColor, 256>& subPalette) {
  const bool byColor = arguments.Has("--by-colour");
  const bool quantize = arguments.Has("--quantize");
  if (byColor && quantize) BadUsage(kImport, "--by-colour and --quantize exclude each other");
  const int32_t depth = SwatchCountOf(row.BitsPerPixel);
  const IndexUse use = IndicesUsed(picture);
  if (byColor) {
    if (!read.ExactColors)
      FailOn(picturePath,
             "The picture has more than 256 colours, so not all of them are the palette's; "
             "--quantize matches each to the nearest.");
    const std::optional<int32_t> unmapped =
        MapToPaletteByColor(picture, use, read.ColorCount, subPalette, depth);
    if (!unmapped) return;
    if (*unmapped >= read.ColorCount)
      FailOn(picturePath, "The picture's " + PastTable(read, *unmapped) + ": it has no colour.");
    FailOn(picturePath, "The picture's colour " +
                            ColorText(picture.Colors[static_cast<size_t>(*unmapped)]) + " (index " +
                            std::to_string(*unmapped) + ") is none of the " +
                            std::to_string(depth) +
                            " colours of the sub-palette; --quantize takes the nearest.");
  }
  const ColorOrder order = CompareToPalette(picture, use, read.ColorCount, subPalette, depth);
  if (!read.Indexed || use.Highest >= depth) {
    if (!quantize) {
      // Colours that are all the palette's have an exact answer.
      const bool mappable = order != ColorOrder::Other && read.ExactColors;
      if (!read.Indexed)
        FailOn(picturePath,
               std::string("The picture is not indexed: its pixels are colours, not palette "
                           "indices; ") +
                   (mappable ? "--by-colour maps them to the palette's indices."
                             : "--quantize matches them to the palette."));
      FailOn(picturePath, "The picture uses index " + std::to_string(use.Highest) + " and " +
                              row.Name + " tiles hold 0 to " + std::to_string(depth - 1) + "; " +
                              (mappable ? "--by-colour maps its colours to the palette's indices."
                                        : "--quantize matches its colours to the palette."));
    }
    if (use.Highest >= read.ColorCount)
      FailOn(picturePath,
             "The picture's " + PastTable(read, use.Highest) + ": it has no colour to match.");
    MatchToColors(picture, subPalette, depth);
    return;
  }
  if (use.Highest >= read.ColorCount) {
    Note(picturePath, "the picture uses indices up to " + std::to_string(use.Highest) +
                          ", past its colour table of " + std::to_string(read.ColorCount) +
                          ": indices taken as they are");
  } else if (order == ColorOrder::Reordered) {
    Note(picturePath,
         "the picture's colours are the palette's in another order: indices taken as they are; "
         "--by-colour maps them");
  }
}

}  // namespace varnock
