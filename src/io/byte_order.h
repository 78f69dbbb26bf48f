// Little- and big-endian reads from a byte buffer. The caller has checked the bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace varnock {

inline uint16_t ReadLe16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}
inline uint16_t ReadBe16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}
inline uint32_t ReadLe32(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
         static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}
inline uint32_t ReadBe32(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) << 24 | static_cast<uint32_t>(bytes[at + 1]) << 16 |
         static_cast<uint32_t>(bytes[at + 2]) << 8 | static_cast<uint32_t>(bytes[at + 3]);
}

// True when `count` bytes starting at `at` lie inside a buffer of `size` bytes.
inline bool Fits(size_t size, size_t at, size_t count) {
  return at <= size && count <= size - at;
}

}  // namespace varnock
