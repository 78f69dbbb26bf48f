// Whole-file reads and crash-safe whole-file writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace varnock {

struct FileWriteResult {
  bool Ok = false;
  std::string Reason;  // why, when Ok is false
  // The file was no longer what the save expected: another program changed it meanwhile.
  bool ChangedOnDisk = false;
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
  // The status change time: a program can set the modification time back, never this one.
  int64_t ChangedSeconds = 0;
  int64_t ChangedNanoseconds = 0;
  bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentifyFile(const std::string& path);

// The reasons a save gives for a target whose permission bits deny writing, for a target that
// is not a file, and for a folder it cannot create its temporary file in.
inline constexpr const char* kReadOnlyReason = "The file is read-only.";
inline constexpr const char* kFolderReason = "It is a folder.";
inline constexpr const char* kNotRegularReason = "It is not a regular file.";
std::string FolderNotWritableReason(const std::string& folder);

// Whether the running user may write `path`, whose mode is `mode`: by its permission bits and
// ACL, as the system decides. Root, whom the system would let through anyway, still needs some
// write bit: a file nobody may write is not replaced behind its owner's back.
bool WritableByUser(const std::string& path, uint32_t mode);

// Writes `data` over `path` so that a failure at any point leaves the old bytes there, and
// the file keeps its owner, group, mode, extended attributes (POSIX ACLs among them) and hard
// links:
// - Usually the data goes to a temporary file in the same folder, which gets the target's
//   owner, group, attributes and mode, is flushed to disk and renamed over the target.
// - A target with more than one hard link, one whose owner, group or an attribute the
//   temporary file cannot be given, or one in a folder that cannot take a new file, is written
//   in place instead: its current bytes are first copied to a temporary file (beside it, or in
//   the temporary folder when its folder cannot take one) and flushed, then the target is
//   overwritten and flushed, then the copy is removed. If the overwrite fails the copy's bytes
//   are put back; if even that fails the copy is kept and the reason names it.
// The temporary files are named after the target (io/save_temporaries.h).
// With `expected`, the file at `path` must still be that (IdentifyFile) just before its bytes
// are replaced or overwritten; when it is not, nothing is written and the result says
// ChangedOnDisk with kChangedOnDiskReason.
// A target whose permission bits deny writing is refused with kReadOnlyReason; a new file in a
// folder whose bits deny writing with FolderNotWritableReason. A symbolic link is followed,
// also one that points to a file not made yet: the file it points to is written, the link
// stays.
inline constexpr const char* kChangedOnDiskReason =
    "The file changed on disk while it was being saved. Nothing was written.";
FileWriteResult WriteFileSafely(const std::string& path, std::span<const uint8_t> data,
                                const std::optional<FileIdentity>& expected = std::nullopt);

// The system's words for `error`.
std::string SystemReason(int error);
// Why something with `mode` that is not a regular file cannot be read or written as one:
// kFolderReason or kNotRegularReason.
std::string NotRegularFileReason(uint32_t mode);

// Reads a whole regular file. Returns false when it cannot be opened or read, or is larger than
// `maxSize` bytes (then `tooLarge` is set).
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, uint64_t maxSize,
                   bool* tooLarge = nullptr);

}  // namespace varnock
