// Files in and out of the command-line tool, through the editor's own open and save.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "document/rom_document.h"

namespace varnock {

// Reads `path` whole, as the editor opens a ROM; stops with the reason when it cannot.
void LoadImageFile(const std::string& path, RomDocument& doc);

// Writes `bytes` over `path` through the editor's safe write (temporary file and rename,
// owner, mode and links kept); stops with the reason when it cannot. Files that interrupted
// saves of `path` left are named on standard error first.
void WriteOutputFile(const std::string& path, std::span<const uint8_t> bytes);

// The editor's save of `doc` to `path`: the checksum rule of the image's extension (unless
// `options` turn it off), then the safe write, which over the file `doc` was read from writes
// nothing when another program changed that file meanwhile. Stops with the reason when it
// cannot; leftovers of interrupted saves are named as for WriteOutputFile.
void SaveImageFile(RomDocument& doc, const std::string& path, const SaveRomOptions& options = {});

// The image as it is now.
std::span<const uint8_t> ImageBytes(const RomDocument& doc);

}  // namespace varnock
