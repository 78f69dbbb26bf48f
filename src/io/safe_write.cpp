// Saving a whole file so that a failure at any point leaves its old bytes, and the file keeps
// its owner, group, mode, extended attributes and hard links.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "io/file_io.h"
#include "io/save_temporaries.h"

namespace varnock {
namespace {

constexpr size_t kCopyChunk = size_t{1} << 20;

// Closes the descriptor when the scope ends, for the paths where a close error tells nothing
// new (everything that mattered was flushed and checked before).
class ScopedDescriptor {
 public:
  explicit ScopedDescriptor(int fd) : fd_(fd) {}
  ~ScopedDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  ScopedDescriptor(const ScopedDescriptor&) = delete;
  ScopedDescriptor& operator=(const ScopedDescriptor&) = delete;

 private:
  int fd_;
};

bool WriteAllAt(int fd, const uint8_t* data, size_t size, off_t at, int* error) {
  while (size > 0) {
    const ssize_t written = ::pwrite(fd, data, size, at);
    if (written < 0) {
      if (errno == EINTR) continue;
      *error = errno;
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
    at += written;
  }
  return true;
}

// The first `count` bytes of `from` to the start of `to`.
bool CopyBytes(int from, int to, off_t count, int* error) {
  std::vector<uint8_t> chunk(static_cast<size_t>(std::min<off_t>(count, kCopyChunk)));
  off_t done = 0;
  while (done < count) {
    const size_t want = static_cast<size_t>(std::min<off_t>(count - done, kCopyChunk));
    const ssize_t got = ::pread(from, chunk.data(), want, done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      *error = got < 0 ? errno : EIO;  // the file is shorter than it was a moment ago
      return false;
    }
    if (!WriteAllAt(to, chunk.data(), static_cast<size_t>(got), done, error)) return false;
    done += got;
  }
  return true;
}

bool Flush(int fd, int* error) {
  if (::fsync(fd) == 0) return true;
  *error = errno;
  return false;
}

bool Truncate(int fd, off_t size, int* error) {
  if (::ftruncate(fd, size) == 0) return true;
  *error = errno;
  return false;
}

FileWriteResult Failure(int error) {
  return {false, SystemReason(error)};
}

bool PermissionDenied(int error) {
  return error == EACCES || error == EPERM;
}

// Another program may have replaced, rewritten or re-linked the file since the caller read it.
bool StillExpected(const std::string& requested, const std::optional<FileIdentity>& expected) {
  return !expected || IdentifyFile(requested) == *expected;
}

FileWriteResult ChangedMeanwhile() {
  return {false, kChangedOnDiskReason, true};
}

// A new temporary file of `target` in `folder`, mode 0600; -1 with `error` set when none could
// be made.
int CreateTemporary(const std::string& folder, const std::string& target, std::string* name,
                    int* error) {
  std::string pattern = SaveTemporaryPattern(folder, target, SaveTemporaryKind::Unfinished);
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) {
    *error = errno;
    return -1;
  }
  *name = pattern;
  return fd;
}

// Every extended attribute of `path` onto `to`. POSIX ACLs are the attribute
// system.posix_acl_access, so they come along. False when one could not be read or set.
bool CopyExtendedAttributes(const std::string& path, int to) {
  ssize_t size = ::listxattr(path.c_str(), nullptr, 0);
  if (size < 0) return errno == ENOTSUP;  // a file system without them has none to keep
  std::vector<char> names(static_cast<size_t>(size));
  size = size == 0 ? 0 : ::listxattr(path.c_str(), names.data(), names.size());
  if (size < 0) return false;
  std::vector<char> value;
  for (size_t at = 0; at < static_cast<size_t>(size); at += std::strlen(&names[at]) + 1) {
    const char* name = &names[at];
    ssize_t length = ::getxattr(path.c_str(), name, nullptr, 0);
    if (length < 0) return false;
    value.resize(static_cast<size_t>(length));
    length = length == 0 ? 0 : ::getxattr(path.c_str(), name, value.data(), value.size());
    if (length < 0 || ::fsetxattr(to, name, value.data(), static_cast<size_t>(length), 0) != 0)
      return false;
  }
  return true;
}

// The name a finished copy of the target's old contents takes: its unfinished name with
// "-old-" for "-save-", so that a leftover says what it holds.
std::string OldContentsName(const std::string& unfinished, const std::string& target) {
  const std::string pattern =
      SaveTemporaryPattern(FolderOf(unfinished), target, SaveTemporaryKind::OldContents);
  constexpr size_t kRandomPart = 6;  // mkstemp's XXXXXX
  return pattern.substr(0, pattern.size() - kRandomPart) +
         unfinished.substr(unfinished.size() - kRandomPart);
}

// Renames without replacing a file of that name; where the file system cannot promise that,
// a plain rename (the random part makes a clash all but impossible).
bool RenameKeepingOthers(const std::string& from, const std::string& to, int* error) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if ((errno == EINVAL || errno == ENOSYS) && ::rename(from.c_str(), to.c_str()) == 0) return true;
  *error = errno;
  return false;
}

// The target's current bytes, copied and flushed into a temporary file beside it (when
// `besideAllowed`) or in the temporary folder, then given its old-contents name. -1 with
// `error` when no copy could be made.
int CopyOldContents(int target, off_t size, const std::string& path, bool besideAllowed,
                    std::string* copyName, int* error) {
  std::string unfinished;
  int copy = besideAllowed ? CreateTemporary(FolderOf(path), path, &unfinished, error) : -1;
  if (copy < 0 && (!besideAllowed || PermissionDenied(*error)))
    copy = CreateTemporary(TemporaryFolder(), path, &unfinished, error);
  if (copy < 0) return -1;
  if (CopyBytes(target, copy, size, error) && Flush(copy, error)) {
    const std::string finished = OldContentsName(unfinished, path);
    if (RenameKeepingOthers(unfinished, finished, error)) {
      *copyName = finished;
      return copy;
    }
  }
  ::close(copy);
  ::unlink(unfinished.c_str());
  return -1;
}

FileWriteResult WriteInPlace(const std::string& requested, const std::string& path,
                             std::span<const uint8_t> data,
                             const std::optional<FileIdentity>& expected, bool besideAllowed) {
  const int target = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (target < 0) return Failure(errno);
  const ScopedDescriptor closeTarget(target);
  struct stat before {};
  if (::fstat(target, &before) != 0) return Failure(errno);
  if (!S_ISREG(before.st_mode)) return {false, NotRegularFileReason(before.st_mode)};

  std::string copyName;
  int error = 0;
  // The current bytes are safe on disk before the first byte of the file changes.
  const int copy = CopyOldContents(target, before.st_size, path, besideAllowed, &copyName, &error);
  // A file that shrank while it was copied was changed by someone else: that is the news.
  if (!StillExpected(requested, expected)) {
    if (copy >= 0) {
      ::close(copy);
      ::unlink(copyName.c_str());
    }
    return ChangedMeanwhile();
  }
  if (copy < 0) return Failure(error);
  const ScopedDescriptor closeCopy(copy);
  if (WriteAllAt(target, data.data(), data.size(), 0, &error) &&
      Truncate(target, static_cast<off_t>(data.size()), &error) && Flush(target, &error)) {
    ::unlink(copyName.c_str());
    return {true, {}};
  }
  // The overwrite stopped part-way: the old bytes go back from the copy.
  int restoreError = 0;
  if (CopyBytes(copy, target, before.st_size, &restoreError) &&
      Truncate(target, before.st_size, &restoreError) && Flush(target, &restoreError)) {
    ::unlink(copyName.c_str());
    return Failure(error);
  }
  return {false, SystemReason(error) + "\nThe file '" + requested +
                     "' is now partly new; its old contents are kept in '" + copyName + "'."};
}

}  // namespace

std::string FolderNotWritableReason(const std::string& folder) {
  return "The folder '" + folder + "' cannot be written.";
}

FileWriteResult WriteFileSafely(const std::string& requested, std::span<const uint8_t> data,
                                const std::optional<FileIdentity>& expected) {
  int error = 0;
  // Saving through a symbolic link writes the file it points to, not the link.
  const std::string path = SaveTargetPath(requested, &error);
  if (path.empty()) return Failure(error);
  if (!StillExpected(requested, expected)) return ChangedMeanwhile();
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) return {false, NotRegularFileReason(existing.st_mode)};
  // Renaming over a file needs only the folder's permission; the file's own bits say whether
  // its owner meant it to be replaced.
  if (exists && !WritableByUser(path, existing.st_mode)) return {false, kReadOnlyReason};
  const std::string folder = FolderOf(path);
  // No new file may go into the folder, but the file itself may be written where it is.
  if (!FolderWritableByUser(folder)) {
    if (exists) return WriteInPlace(requested, path, data, expected, false);
    return {false, FolderNotWritableReason(folder)};
  }
  // A new file under the name would part it from its other names.
  if (exists && existing.st_nlink > 1) return WriteInPlace(requested, path, data, expected, true);

  std::string temp;
  const int fd = CreateTemporary(folder, path, &temp, &error);
  if (fd < 0) {
    if (exists && PermissionDenied(error))
      return WriteInPlace(requested, path, data, expected, false);
    if (PermissionDenied(error) || error == EROFS) return {false, FolderNotWritableReason(folder)};
    return Failure(error);
  }
  // Owner and group before the mode: a change of owner clears set-user-ID bits.
  if (exists && ::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
    ::close(fd);
    ::unlink(temp.c_str());
    return WriteInPlace(requested, path, data, expected, true);
  }
  mode_t mode = 0;
  if (exists) {
    mode = existing.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  bool ok = WriteAllAt(fd, data.data(), data.size(), 0, &error);
  // The attributes after the bytes, since writing drops a file's capabilities; the mode after
  // them, so that an ACL's entries and the mode agree as they did.
  if (ok && exists && !CopyExtendedAttributes(path, fd)) {
    ::close(fd);
    ::unlink(temp.c_str());
    return WriteInPlace(requested, path, data, expected, true);
  }
  if (ok && ::fchmod(fd, mode) != 0) {
    error = errno;
    ok = false;
  }
  ok = ok && Flush(fd, &error);
  if (::close(fd) != 0 && ok) {
    error = errno;
    ok = false;
  }
  if (ok && !StillExpected(requested, expected)) {
    ::unlink(temp.c_str());
    return ChangedMeanwhile();
  }
  if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
    error = errno;
    ok = false;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return Failure(error);
  }
  return {true, {}};
}

}  // namespace varnock
