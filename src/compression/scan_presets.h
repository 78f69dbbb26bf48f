// Which formats a scan of an image looks for unless the user says otherwise: those of the
// console its extension names.
#pragma once

#include <string_view>
#include <vector>

#include "compression/compression.h"

namespace varnock {

// By an upper-cased extension with its dot (".GBA"): the GBA/DS system formats for GBA images,
// the Nintendo formats for SNES and Game Boy images (LC_LZ1 for SNES images only), the Sega
// formats for Genesis images, and every format for anything else.
std::vector<CompressionFormat> ScanFormatsForExtension(std::string_view upperExtension);

}  // namespace varnock
