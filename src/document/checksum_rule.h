// The header checksums a save writes, chosen by the image's extension: the Game Boy's global
// checksum for .GB and .GBC, the GBA's header complement and 16-bit sum for .GBA. Saving
// applies the rule; the command-line tool shows and fixes the same fields.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace varnock {

// Game Boy global checksum: big-endian at 0x14E.
inline constexpr int32_t kGameBoyChecksumOffset = 0x14E;
// GBA header: complement at 0xBD over bytes 0xA0..0xBC, then a 16-bit little-endian sum at
// 0xBE..0xBF.
inline constexpr int32_t kGbaComplementOffset = 0xBD;
inline constexpr int32_t kGbaSumOffset = 0xBE;

struct ChecksumField {
  const char* Console;
  const char* Name;
  int32_t Offset;
  int32_t Length;  // bytes: 1 or 2
  bool BigEndian;
};

// The fields the rule for `upperExtension` writes, in the order the save writes them; empty for
// an extension without a rule.
std::span<const ChecksumField> ChecksumFieldsFor(const std::string& upperExtension);

// One field's bytes as the rule computes them.
struct ChecksumWrite {
  int32_t Offset = 0;
  int32_t Length = 0;  // 1 or 2
  std::array<uint8_t, 2> Bytes{};
};

// The bytes the rule for `upperExtension` writes into `image`, in the order the save writes
// them (each computed with the fields before it already written); nothing for an extension
// without a rule or an image too short for its fields.
std::vector<ChecksumWrite> ChecksumRuleWrites(const std::string& upperExtension,
                                              std::span<const uint8_t> image);

// Writes the rule's fields into `image`; images too short for them stay as they are.
void ApplyChecksumRule(const std::string& upperExtension, std::span<uint8_t> image);

// The field's value as `image` holds it; 0 for a field past the image's end.
uint32_t ChecksumFieldValue(std::span<const uint8_t> image, const ChecksumField& field);

}  // namespace varnock
