// The status bar's where-am-I panel: the tile under the pointer, the size of the block being
// selected, and the tile picked last.
#pragma once

#include <cstdint>
#include <string>

#include "document/rom_document.h"

namespace varnock {

// "0x01C40 #00E2": the tile's byte offset and its number (offset / bytes per tile), in upper-case
// hexadecimal, at least five and four digits and as many as the image's last byte needs, so
// the text keeps its width while the pointer moves.
std::string TileReadout(const RomDocument& doc, int32_t offset);
// Its first half, "0x01C40": a byte offset as the readout shows it.
std::string OffsetReadout(const RomDocument& doc, int64_t offset);

// The tile under client point (x, y) of the view; empty where no tile of the image is shown.
std::string PointerReadout(const RomDocument& doc, int32_t x, int32_t y);

// "3x2 tiles, 192 bytes": the block Copy would take from the selection as it stands.
std::string SelectionReadout(const RomDocument& doc);

// "Picked 0x01C40 #00E2" for the window's picked tile; empty before the first pick.
std::string PickReadout(const RomDocument& doc);

}  // namespace varnock
