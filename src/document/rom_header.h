// Where the graphics of an image start, by what its header says: the scroll minimum of a
// format, and the page an NES image opens at.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "codec/tile_format.h"

namespace varnock {

// Cartridge copiers put 512 bytes of their own in front of a dump, so a dump that has them is
// 512 bytes longer than a whole number of kilobytes; a cartridge's own image never is.
inline constexpr int32_t kCopierHeaderBytes = 512;

// kCopierHeaderBytes when an image of `imageSize` bytes carries a copier header, else 0.
int32_t CopierHeaderBytes(int64_t imageSize);

// The first byte the view may show in `format` for an image of `imageSize` bytes whose name has
// the upper-cased extension `extension`: the header every image of that console has (for a
// format that names its console's extension, only in files with that extension), or the copier
// header where the format has that rule. Encodings a user describes have no header.
int32_t FirstViewableOffset(TileFormat format, int64_t imageSize, std::string_view extension);

// Where an image opening in NES format shows its first page: the first byte of character ROM
// an iNES header announces, 16 + 16 KB x byte 4 (program banks), 512 more when bit 2 of byte 6
// says a trainer precedes them. Without the signature, without character banks (byte 5 = 0)
// or when that byte lies past the end, just past the 16-byte header.
int32_t NesFirstPage(std::span<const uint8_t> image);

}  // namespace varnock
