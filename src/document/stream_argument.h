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
};

struct StreamArgumentParse {
  std::optional<StreamArgument> Value;
  std::string Error;  // why the text was refused, as a sentence
};

// "lz10:0x1C40" or "nemesis:7232": a short format name (any case), a colon and an offset,
// hexadecimal after "0x" (or "0X"), decimal otherwise; offsets are 32-bit and not negative.
StreamArgumentParse ParseStreamArgument(std::string_view text);

// The formats' short names, "lz10, lz11, ..., kosinski", for help and refusals.
std::string CompressionShortNames();

}  // namespace varnock
