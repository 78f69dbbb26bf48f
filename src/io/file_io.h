// Whole-file reads and crash-safe whole-file writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace varnock {

struct FileWriteResult {
  bool Ok = false;
  std::string Reason;  // the system's explanation when Ok is false
};

// Upper-cased extension of the file name (from its last dot, dot included); empty when the
// name has no dot.
std::string UpperExtension(const std::string& path);

// Writes `data` to a temporary file in the folder of `path`, flushes it to disk and renames it
// over `path` only when every byte was written. An existing target keeps its permissions; on
// any failure the target is left untouched and the temporary file removed.
FileWriteResult WriteFileAtomically(const std::string& path, std::span<const uint8_t> data);

// Reads a whole regular file. Returns false when it cannot be opened or read, or is larger than
// `maxSize` bytes (then `tooLarge` is set).
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, uint64_t maxSize,
                   bool* tooLarge = nullptr);

}  // namespace varnock
