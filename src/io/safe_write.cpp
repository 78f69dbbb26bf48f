// Saving a whole file so that a failure at any point leaves its old bytes, and the file keeps
// its owner, group, mode and hard links.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "io/file_io.h"

namespace varnock {
namespace {

constexpr size_t kCopyChunk = size_t{1} << 20;

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

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

// A new file ".varnock-save-XXXXXX" in `folder`, mode 0600; -1 with `error` set when none
// could be made.
int CreateTemporaryIn(const std::string& folder, std::string* name, int* error) {
  std::string pattern = folder + "/.varnock-save-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = ::mkstemp(buffer.data());
  if (fd < 0) {
    *error = errno;
    return -1;
  }
  name->assign(buffer.data());
  return fd;
}

FileWriteResult TemporaryFileFailure(int error, const std::string& folder) {
  if (error == EACCES || error == EPERM || error == EROFS)
    return {false, FolderNotWritableReason(folder)};
  return Failure(error);
}

// A temporary file can go into `folder` by its permission bits; as for files, root too needs
// some write bit. A folder that cannot be looked at is left to the create call to explain.
bool FolderWritableByPermissionBits(const std::string& folder) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0) return true;
  return WritableByPermissionBits(info.st_mode, info.st_uid, info.st_gid);
}

FileWriteResult WriteInPlace(const std::string& path, std::span<const uint8_t> data) {
  const std::string folder = FolderOf(path);
  const int target = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (target < 0) return Failure(errno);
  const ScopedDescriptor closeTarget(target);
  struct stat before {};
  if (::fstat(target, &before) != 0) return Failure(errno);
  if (!S_ISREG(before.st_mode)) return {false, NotRegularFileReason(before.st_mode)};

  std::string copyName;
  int error = 0;
  const int copy = CreateTemporaryIn(folder, &copyName, &error);
  if (copy < 0) return TemporaryFileFailure(error, folder);
  const ScopedDescriptor closeCopy(copy);
  // The current bytes are safe on disk before the first byte of the file changes.
  if (!CopyBytes(target, copy, before.st_size, &error) || !Flush(copy, &error)) {
    ::unlink(copyName.c_str());
    return Failure(error);
  }
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
  return {false, SystemReason(error) + "\nThe old contents are kept in '" + copyName + "'."};
}

}  // namespace

std::string FolderNotWritableReason(const std::string& folder) {
  return "The folder '" + folder + "' cannot be written.";
}

FileWriteResult WriteFileSafely(const std::string& requested, std::span<const uint8_t> data) {
  // Saving through a symbolic link writes the file it points to, not the link.
  std::string path = requested;
  if (char* resolved = ::realpath(requested.c_str(), nullptr)) {
    path = resolved;
    std::free(resolved);
  }
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) return {false, NotRegularFileReason(existing.st_mode)};
  // Renaming over a file needs only the folder's permission; the file's own bits say whether
  // its owner meant it to be replaced.
  if (exists && !WritableByPermissionBits(existing.st_mode, existing.st_uid, existing.st_gid))
    return {false, kReadOnlyReason};
  const std::string folder = FolderOf(path);
  if (!FolderWritableByPermissionBits(folder)) return {false, FolderNotWritableReason(folder)};
  // A new file under the name would part it from its other names.
  if (exists && existing.st_nlink > 1) return WriteInPlace(path, data);

  std::string temp;
  int error = 0;
  const int fd = CreateTemporaryIn(folder, &temp, &error);
  if (fd < 0) return TemporaryFileFailure(error, folder);
  // Owner and group before the mode: a change of owner clears set-user-ID bits.
  if (exists && ::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
    ::close(fd);
    ::unlink(temp.c_str());
    return WriteInPlace(path, data);
  }
  mode_t mode = 0;
  if (exists) {
    mode = existing.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  bool ok = WriteAllAt(fd, data.data(), data.size(), 0, &error) && Flush(fd, &error);
  if (ok && ::fchmod(fd, mode) != 0) {
    error = errno;
    ok = false;
  }
  if (::close(fd) != 0 && ok) {
    error = errno;
    ok = false;
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
