#include "io/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace varnock {

FileIdentity IdentifyFile(const std::string& path) {
  FileIdentity identity;
  struct stat link {};
  if (::lstat(path.c_str(), &link) != 0) return identity;
  identity.SymbolicLink = S_ISLNK(link.st_mode);
  struct stat info {};
  // A link that points nowhere is still something on disk, just not the file that was opened.
  if (::stat(path.c_str(), &info) != 0) info = link;
  identity.Exists = true;
  identity.Device = static_cast<uint64_t>(info.st_dev);
  identity.Inode = static_cast<uint64_t>(info.st_ino);
  identity.Size = static_cast<int64_t>(info.st_size);
  identity.ModifiedSeconds = static_cast<int64_t>(info.st_mtim.tv_sec);
  identity.ModifiedNanoseconds = static_cast<int64_t>(info.st_mtim.tv_nsec);
  identity.ChangedSeconds = static_cast<int64_t>(info.st_ctim.tv_sec);
  identity.ChangedNanoseconds = static_cast<int64_t>(info.st_ctim.tv_nsec);
  return identity;
}

std::string SystemReason(int error) {
  return std::strerror(error);
}

std::string NotRegularFileReason(uint32_t mode) {
  return S_ISDIR(mode) ? kFolderReason : kNotRegularReason;
}

bool WritableByUser(const std::string& path, uint32_t mode) {
  if (::geteuid() == 0) return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
  // The system's own answer counts ACL entries, which the mode's bits only sum up.
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

std::string UpperExtension(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot);
  for (char& c : ext)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return ext;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, uint64_t maxSize,
                   bool* tooLarge) {
  if (tooLarge) *tooLarge = false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  const uint64_t size = static_cast<uint64_t>(info.st_size);
  if (size > maxSize) {
    if (tooLarge) *tooLarge = true;
    ::close(fd);
    return false;
  }
  out.resize(size);
  size_t done = 0;
  while (done < size) {
    const ssize_t got = ::read(fd, out.data() + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  ::close(fd);
  if (done != size) {
    out.clear();
    return false;
  }
  return true;
}

}  // namespace varnock
