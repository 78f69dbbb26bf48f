// Images made on the spot for documents, and changes to them through the document's one write
// path, for tests that need an image in a given state.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "document/rom_document.h"

namespace varnock::test {

// Makes `bytes` the document's image, with `guard` bytes of 0xA5 after its end that nothing may
// write (read them at RomData + RomSize).
inline void HoldImage(RomDocument& doc, std::span<const uint8_t> bytes, size_t guard = 0) {
  auto block = std::make_unique<uint8_t[]>(std::max<size_t>(bytes.size() + guard, 1));
  std::copy(bytes.begin(), bytes.end(), block.get());
  std::fill_n(block.get() + bytes.size(), guard, 0xA5);
  doc.AdoptImage(std::move(block), static_cast<int32_t>(bytes.size()));
}

// Writes `value` at `offset`, or `count` of them from there, as an edit would.
inline void PokeBytes(RomDocument& doc, int64_t offset, uint8_t value, size_t count = 1) {
  const std::vector<uint8_t> bytes(count, value);
  doc.WriteBytes(offset, bytes);
}

// An unsaved change: the byte at `offset` inverted.
inline void FlipByte(RomDocument& doc, int64_t offset) {
  PokeBytes(doc, offset, static_cast<uint8_t>(~doc.RomData[offset]));
}

}  // namespace varnock::test
