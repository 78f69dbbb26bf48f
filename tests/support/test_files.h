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

// Bytes from a small deterministic generator, so failures reproduce.
std::vector<uint8_t> PatternBytes(size_t count, uint32_t seed);

}  // namespace varnock::test
