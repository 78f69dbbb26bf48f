#include "document/checksum_rule.h"

#include <algorithm>

namespace varnock {
namespace {

constexpr ChecksumField kGameBoyFields[] = {
    {"Game Boy", "global checksum", kGameBoyChecksumOffset, 2, true},
};
constexpr ChecksumField kGbaFields[] = {
    {"GBA", "header complement", kGbaComplementOffset, 1, false},
    {"GBA", "16-bit sum", kGbaSumOffset, 2, false},
};

bool GameBoyExtension(const std::string& ext) {
  return ext == ".GB" || ext == ".GBC";
}

// The Game Boy's global checksum is the sum of every byte of the image rounded down to whole
// 32 KB banks, not counting the two checksum bytes themselves. An image shorter than one bank is
// summed whole: rounded down it would sum nothing, and the stored bytes would then change on
// every save.
std::vector<ChecksumWrite> GameBoyWrites(std::span<const uint8_t> image) {
  if (image.size() < 0x150) return {};
  constexpr size_t kBank = 0x8000;
  // Whole 32 KB banks, at most 28 bits of size.
  const size_t length = image.size() < kBank ? image.size() : image.size() & 0x0FFF8000u;
  uint32_t sum = 0;
  for (size_t i = 0; i < length; ++i) sum += image[i];
  sum -= image[kGameBoyChecksumOffset];
  sum -= image[kGameBoyChecksumOffset + 1];
  return {{kGameBoyChecksumOffset, 2, {static_cast<uint8_t>(sum >> 8), static_cast<uint8_t>(sum)}}};
}

// The complement makes bytes 0xA0..0xBD sum to -0x19; the 16-bit sum then counts the new
// complement, and never its own two bytes.
std::vector<ChecksumWrite> GbaWrites(std::span<const uint8_t> image) {
  if (image.size() < 0xC0) return {};
  uint8_t header = 0;
  for (int i = 0xA0; i <= 0xBC; ++i) header = static_cast<uint8_t>(header + image[i]);
  const uint8_t complement = static_cast<uint8_t>(~header + 0xE8);
  uint32_t sum = 0;
  for (uint8_t byte : image) sum += byte;
  sum = sum - image[kGbaComplementOffset] + complement;
  sum -= image[kGbaSumOffset];
  sum -= image[kGbaSumOffset + 1];
  return {{kGbaComplementOffset, 1, {complement, 0}},
          {kGbaSumOffset, 2, {static_cast<uint8_t>(sum), static_cast<uint8_t>(sum >> 8)}}};
}

}  // namespace

std::span<const ChecksumField> ChecksumFieldsFor(const std::string& upperExtension) {
  if (GameBoyExtension(upperExtension)) return kGameBoyFields;
  if (upperExtension == ".GBA") return kGbaFields;
  return {};
}

std::vector<ChecksumWrite> ChecksumRuleWrites(const std::string& upperExtension,
                                              std::span<const uint8_t> image) {
  if (GameBoyExtension(upperExtension)) return GameBoyWrites(image);
  if (upperExtension == ".GBA") return GbaWrites(image);
  return {};
}

void ApplyChecksumRule(const std::string& upperExtension, std::span<uint8_t> image) {
  for (const ChecksumWrite& write : ChecksumRuleWrites(upperExtension, image))
    std::copy_n(write.Bytes.begin(), write.Length, image.begin() + write.Offset);
}

uint32_t ChecksumFieldValue(std::span<const uint8_t> image, const ChecksumField& field) {
  if (field.Offset < 0 || static_cast<size_t>(field.Offset) + field.Length > image.size()) return 0;
  uint32_t value = 0;
  for (int32_t i = 0; i < field.Length; ++i) {
    const int32_t at = field.BigEndian ? i : field.Length - 1 - i;
    value = value << 8 | image[static_cast<size_t>(field.Offset + at)];
  }
  return value;
}

}  // namespace varnock
