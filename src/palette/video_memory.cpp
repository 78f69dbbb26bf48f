#include "palette/video_memory.h"

#include "io/byte_order.h"
#include "io/file_io.h"
#include "palette/fceux_state.h"
#include "palette/genesis_state.h"
#include "palette/mgba_state.h"
#include "palette/nesticle_state.h"
#include "palette/snes9x_state.h"
#include "palette/zsnes_state.h"

namespace varnock {

const char* VideoMemoryErrorText(VideoMemoryError error) {
  switch (error) {
    case VideoMemoryError::None:
      return "The video memory was read.";
    case VideoMemoryError::CannotOpen:
      return "The save state could not be opened.";
    case VideoMemoryError::NotAState:
      return "The file is not a save state of a known kind.";
    case VideoMemoryError::UnknownVersion:
      return "The save state comes from an emulator version whose layout is not known.";
    case VideoMemoryError::TooShort:
      return "The save state ends before its video memory does.";
    case VideoMemoryError::Damaged:
      return "The save state is damaged.";
    case VideoMemoryError::NoPatternMemory:
      return "The save state holds no pattern memory: the game's tiles are in its character "
             "ROM, so search the ROM's own tiles instead.";
  }
  return "Unknown save state error.";
}

VideoMemoryError VideoMemoryErrorOf(PaletteFileError error) {
  switch (error) {
    case PaletteFileError::None:
      return VideoMemoryError::None;
    case PaletteFileError::CannotOpen:
      return VideoMemoryError::CannotOpen;
    case PaletteFileError::TooShort:
      return VideoMemoryError::TooShort;
    case PaletteFileError::UnknownVersion:
      return VideoMemoryError::UnknownVersion;
    case PaletteFileError::WrongSignature:
    case PaletteFileError::UnknownExtension:
    case PaletteFileError::NotVarnockPalette:
      return VideoMemoryError::NotAState;
    case PaletteFileError::Damaged:
    case PaletteFileError::TooLarge:
    case PaletteFileError::CannotWrite:
      break;
  }
  return VideoMemoryError::Damaged;
}

VideoMemoryRead VideoMemoryFailure(VideoMemoryError error) {
  VideoMemoryRead read;
  read.Error = error;
  return read;
}

VideoMemoryRead VideoMemoryAt(std::span<const uint8_t> state, size_t offset, size_t count,
                              TileFormat format) {
  if (!Fits(state.size(), offset, count)) return VideoMemoryFailure(VideoMemoryError::TooShort);
  VideoMemoryRead read;
  read.Bytes.assign(state.begin() + static_cast<std::ptrdiff_t>(offset),
                    state.begin() + static_cast<std::ptrdiff_t>(offset + count));
  read.Format = format;
  return read;
}

VideoMemoryRead ParseVideoMemory(std::span<const uint8_t> bytes, const std::string& ext) {
  if (ext.starts_with(".ST")) return ParseNesticleVideoMemory(bytes);
  if (ext.starts_with(".ZS")) return ParseZsnesVideoMemory(bytes);
  if (LooksLikeSnes9xState(bytes)) return ParseSnes9xVideoMemory(bytes);
  if (LooksLikeFceuxState(bytes)) return ParseFceuxVideoMemory(bytes);
  if (LooksLikePng(bytes) || LooksLikeMgbaRawState(bytes)) return ParseMgbaVideoMemory(bytes);
  if (LooksLikeGenesisState(bytes)) return ParseGenesisVideoMemory(bytes);
  if (IsStateSlot(ext, ".00") || ext == ".FRZ") return ParseSnes9xVideoMemory(bytes);
  if (IsStateSlot(ext, ".FC")) return ParseFceuxVideoMemory(bytes);
  if (IsStateSlot(ext, ".SS")) return ParseMgbaVideoMemory(bytes);
  if (IsStateSlot(ext, ".GS")) return ParseGenesisVideoMemory(bytes);
  return VideoMemoryFailure(VideoMemoryError::NotAState);
}

VideoMemoryRead ReadVideoMemory(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (ReadPaletteFileBytes(path, bytes) != PaletteFileError::None)
    return VideoMemoryFailure(VideoMemoryError::CannotOpen);
  return ParseVideoMemory(bytes, UpperExtension(path));
}

}  // namespace varnock
