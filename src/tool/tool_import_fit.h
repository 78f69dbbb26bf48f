// The checks an import makes before it writes anything, so that it never loses part of a
// picture or spoils its tiles unasked: pixels past the picture's whole tiles, tiles past the
// end of their place, and tiles over the header fields the save's checksum rule rewrites.
// Each stops with the reason; --clip and --no-checksum are the user's way past them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/rom_document.h"
#include "tool/tool_arguments.h"

namespace varnock {

// What --clip left out, told on standard error once the import is written (a later refusal
// writes nothing, and then nothing was left out).
using ClipNotes = std::vector<std::string>;
void TellClipNotes(const ClipNotes& notes);

// A picture of `width` x `height` pixels whose right or bottom pixels are no whole 8 x 8 tile:
// stops, or with --clip notes which of them are left out.
void CheckWholeTiles(const ParsedArguments& arguments, const std::string& picturePath,
                     int32_t width, int32_t height, ClipNotes& notes);

// `tiles` tiles of `tileBytes` bytes go to a place of `placeBytes` bytes that starts at
// `offset` (to the image's end, or a stream's decompressed bytes): stops when they need more,
// or with --clip notes how many are left out. The bytes the import writes.
int64_t CheckTilesFit(const ParsedArguments& arguments, const std::string& romPath, int64_t tiles,
                      int32_t tileBytes, int64_t offset, int64_t placeBytes, ClipNotes& notes);

// Stops when image bytes from `first` up to `end` cover a field the save's checksum rule
// writes, unless --no-checksum (the save then leaves the header as it is).
void CheckChecksumFields(const ParsedArguments& arguments, const RomDocument& doc, int64_t first,
                         int64_t end);

// The save an import makes: with --no-checksum, no checksum rule.
SaveRomOptions ImportSaveOptions(const ParsedArguments& arguments);

}  // namespace varnock
