// Scratch folders and files for tests, removed when the test ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varnock::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // Full path of `name` inside the folder.
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // Writes `bytes` to `name` and returns its full path.
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const;

 private:
  std::string path_;
};

std::vector<uint8_t> ReadFile(const std::string& path);

// A full disk for this process while the object lives: the file size limit is lowered so
// writes past `bytes` fail, and the signal that would kill the process is ignored.
class FullDisk {
 public:
  explicit FullDisk(uint64_t bytes);
  ~FullDisk();
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;

 private:
  uint64_t savedLimit_ = 0;
  void (*savedHandler_)(int) = nullptr;
};

// Bytes from a small deterministic generator, so failures reproduce.
std::vector<uint8_t> PatternBytes(size_t count, uint32_t seed);

}  // namespace varnock::test
