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

// What a path named when it was last read or written: enough to notice that another program
// replaced, changed, deleted or re-linked the file since. For a symbolic link the numbers are
// those of the file it points to.
struct FileIdentity {
  bool Exists = false;
  bool SymbolicLink = false;
  uint64_t Device = 0;
  uint64_t Inode = 0;
  int64_t Size = 0;
  int64_t ModifiedSeconds = 0;
  int64_t ModifiedNanoseconds = 0;
  bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentifyFile(const std::string& path);

// The reason a save gives for a target whose permission bits deny writing.
inline constexpr const char* kReadOnlyReason = "The file is read-only.";

// Whether the permission bits of a file with `mode`, `owner` and `group` let the running user
// write it. Root, whom the system would let through anyway, still needs some write bit: a
// file nobody may write is not replaced behind its owner's back.
bool WritableByPermissionBits(uint32_t mode, uint32_t owner, uint32_t group);

// Writes `data` to a temporary file in the folder of `path`, flushes it to disk and renames it
// over `path` only when every byte was written. An existing target keeps its permissions; one
// whose permission bits deny writing is refused with kReadOnlyReason. On any failure the
// target is left untouched and the temporary file removed.
FileWriteResult WriteFileAtomically(const std::string& path, std::span<const uint8_t> data);

// Reads a whole regular file. Returns false when it cannot be opened or read, or is larger than
// `maxSize` bytes (then `tooLarge` is set).
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, uint64_t maxSize,
                   bool* tooLarge = nullptr);

}  // namespace varnock
