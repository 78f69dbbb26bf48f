// Encodings a user described, held for the whole run under TileFormat Tags from 12 up, so that
// DecodeTiles and EncodeTiles stay the one way between bytes and pixels for every format.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codec/described_codec.h"
#include "codec/tile_format.h"

namespace varnock {

inline constexpr int kFirstDescribedFormat = kFixedTileFormatCount;
inline constexpr int kLastDescribedFormat = 127;  // TileFormat is a signed byte

struct DescribedFormat {
  std::string ShortName;    // the name the command line takes: the file's name without extension
  std::string DisplayName;  // status bar and menu text, e.g. "mine [4BPP]"
  TileFormatRow Row;        // Name and Caption point into DisplayName, MenuItem into ShortName
  DescribedCodec Codec;

  DescribedFormat(std::string shortName, std::string displayName,
                  const CodecDescription& description);
  DescribedFormat(const DescribedFormat&) = delete;
  DescribedFormat& operator=(const DescribedFormat&) = delete;
};

struct RegisterResult {
  std::optional<TileFormat> Format;
  bool Replaced = false;  // the name was registered before and keeps its Tag
  std::string Reason;     // why nothing was registered
};

// Registers a description under `shortName`, compared without regard to ASCII case. A name
// registered before keeps its Tag and from now on decodes with the new description (a file
// loaded again after an edit); a new name takes the next free Tag. Refused: an unsound
// description, an empty name, a name of a fixed format, or no Tag left.
RegisterResult RegisterDescribedFormat(const std::string& shortName, const std::string& displayName,
                                       const CodecDescription& description);

// What a Tag stands for, or null for a Tag nothing was registered under. A registered entry
// lives until the program ends, also after a reload replaced it, so the pointer stays valid.
const DescribedFormat* FindDescribedFormat(int format);
const DescribedCodec* FindDescribedCodec(int format);
std::optional<TileFormat> DescribedFormatNamed(std::string_view shortName);
// Every registered Tag, in the order they were given.
std::vector<TileFormat> DescribedFormats();

// The table row of any Tag, fixed or described; null for a Tag that stands for nothing.
const TileFormatRow* LookUpTileFormat(int format);

}  // namespace varnock
