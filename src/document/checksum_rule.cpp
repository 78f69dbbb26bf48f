#include "document/checksum_rule.h"

#include "document/rom_document.h"

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

}  // namespace

std::span<const ChecksumField> ChecksumFieldsFor(const std::string& upperExtension) {
  if (GameBoyExtension(upperExtension)) return kGameBoyFields;
  if (upperExtension == ".GBA") return kGbaFields;
  return {};
}

void ApplyChecksumRule(const std::string& upperExtension, std::span<uint8_t> image) {
  if (GameBoyExtension(upperExtension)) {
    RomDocument::FixGameBoyChecksum(image);
  } else if (upperExtension == ".GBA") {
    RomDocument::FixGbaChecksum(image);
  }
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
