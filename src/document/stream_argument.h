// The command line's FORMAT:OFFSET, naming a compressed stream to open from a file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "compression/compression.h"

namespace varnock {

struct StreamArgument {
  CompressionFormat Format = CompressionFormat::Lz10;
  int32_t Offset = 0;
  std::optional<int32_t> Room;  // the bytes its saves may take; none: what it takes
};

struct StreamArgumentParse {
  std::optional<StreamArgument> Value;
  std::string Error;  // why the text was refused, as a sentence
};

// "lz10:0x1C40" or "nemesis:7232": a short format name (any case), a colon and an offset,
// hexadecimal after "0x" (or "0X"), decimal otherwise; offsets are 32-bit and not negative.
// A third part is the stream's room, written as the offset is and at least 1: "lz10:0x1C40:2048".
StreamArgumentParse ParseStreamArgument(std::string_view text);

// An offset or a number of bytes as the command line and the dialogs write it: hexadecimal
// after "0x" (or "0X"), decimal otherwise, 32-bit and not negative.
std::optional<int32_t> ParseStreamNumber(std::string_view text);

// The formats' short names, "lz10, lz11, ..., kosinski", for help and refusals.
std::string CompressionShortNames();

}  // namespace varnock
