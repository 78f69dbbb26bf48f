// The indices an imported picture's pixels get: taken as the file holds them, matched by colour
// to the sub-palette (--by-colour, exactly; --quantize, the nearest), or refused with the
// reason; notes on standard error what a user would want to know about the ones taken.
#pragma once

#include <array>
#include <string>

#include "codec/tile_format.h"
#include "pictures/picture_file.h"
#include "tool/tool_arguments.h"

namespace varnock {

void SettlePictureIndices(const ParsedArguments& arguments, const std::string& picturePath,
                          const PictureReadResult& read, TileSurface& picture,
                          const TileFormatRow& row,
                          const std::array<SurfaceColor, 256>& subPalette);

}  // namespace varnock
