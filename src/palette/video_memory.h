// The video memory inside an emulator save state: the bytes the console draws its tiles from,
// and the tile format it keeps them in. Each state's reader, beside its palette reader, says
// where its emulator puts them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "codec/tile_format.h"
#include "palette/palette_file.h"

namespace varnock {

// The formats consoles keep their tiles in: NES pattern memory, SNES (most of its tiles; its 2-
// and 8-bit tiles are there too), Genesis and GBA VRAM.
inline constexpr TileFormat kNesVideoMemoryFormat = 1;
inline constexpr TileFormat kSnesVideoMemoryFormat = 6;
inline constexpr TileFormat kGenesisVideoMemoryFormat = 8;
inline constexpr TileFormat kGbaVideoMemoryFormat = 9;

enum class VideoMemoryError {
  None,
  CannotOpen,       // missing, unreadable, a folder, or larger than a state can be
  NotAState,        // not a save state of a known kind
  UnknownVersion,   // a state of a version whose layout is not known
  TooShort,         // the state ends before its video memory does
  Damaged,          // a compressed stream or chunk that does not hold together
  NoPatternMemory,  // an NES state of a game whose tiles are in its character ROM
};

struct VideoMemoryRead {
  VideoMemoryError Error = VideoMemoryError::None;
  std::vector<uint8_t> Bytes;
  TileFormat Format = 0;  // how the console stores tiles there
  bool ok() const { return Error == VideoMemoryError::None; }
};

// One line for the user.
const char* VideoMemoryErrorText(VideoMemoryError error);
// A failure of the state's container (stream, chunk, version), as the video memory's.
VideoMemoryError VideoMemoryErrorOf(PaletteFileError error);
VideoMemoryRead VideoMemoryFailure(VideoMemoryError error);
// `count` bytes from `offset` of `state`, or TooShort.
VideoMemoryRead VideoMemoryAt(std::span<const uint8_t> state, size_t offset, size_t count,
                              TileFormat format);

// The video memory of the state at `path` (a name as bytes): ".ST*" is NESticle's and ".ZS*"
// ZSNES's, as for palettes; any other file is known by its signature (Snes9x, FCEUX, mGBA,
// Genesis), then by its emulator's slot extension.
VideoMemoryRead ReadVideoMemory(const std::string& path);
// The same for a state already read, with its upper-cased extension.
VideoMemoryRead ParseVideoMemory(std::span<const uint8_t> bytes, const std::string& upperExtension);

}  // namespace varnock
