// The checksums of the consoles' own headers, worked out by hand from their layouts: where the
// header is found, what its fields hold and what the rule gives.
#include <gtest/gtest.h>

#include <cstring>

#include "document/console_header.h"

namespace varnock {
namespace {

TEST(MirroredByteSum, ARestThatIsNoPowerOfTwoRepeatsUntilItFillsOne) {
  const struct {
    std::vector<uint8_t> rom;
    uint16_t sum;
  } cases[] = {{{5}, 5},
               {{1, 2, 3, 4}, 10},
               {{1, 2, 3}, 1 + 2 + 3 * 2},                     // 2 + 1, the 1 twice
               {{1, 1, 1, 1, 3}, 4 + 3 * 4},                   // 4 + 1, the 1 four times
               {{1, 1, 1, 1, 2, 2}, 4 + 2 * 2 * 2},            // 4 + 2, the 2 twice
               {{1, 1, 1, 1, 2, 2, 3}, 4 + (2 + 2) + 3 * 2}};  // 4 + (2 + 1, the 1 twice)
  for (const auto& c : cases) EXPECT_EQ(MirroredByteSum(c.rom), c.sum) << c.rom.size() << " bytes";
}

using Placed = std::vector<std::pair<size_t, std::string>>;  // bytes and where; else zeros
using Fields = std::vector<std::pair<int64_t, uint32_t>>;    // offset and value each field needs

struct HeaderCase {
  const char* extension;
  size_t size;
  Placed bytes;
  const char* found;  // the start of ConsoleHeader::Found; null: no header at all
  Fields fields;
};

HeaderCase Row(const char* extension, size_t size, Placed bytes, const char* found,
               Fields fields = {}) {
  return {extension, size, std::move(bytes), found, std::move(fields)};
}

// Where the header is found, each field's offset, what it needs and what the image holds there.
TEST(ConsoleHeader, IsFoundByItsOwnBytesAndGivesItsChecksums) {
  const HeaderCase cases[] = {
      // SNES: LoROM map mode 0x20 (0x30 fast), HiROM 0x21; the 4 checksum bytes count as 0x1FE
      Row(".SMC", 0x8000, {{0x7FD5, "\x20"}}, "SNES LoROM header at 0x7FC0",
          {{0x7FDC, 0xFDE1}, {0x7FDE, 0x021E}}),
      Row(".SFC", 0x8000, {{0x7FD5, "\x30"}, {0x10, "\x05"}}, "SNES LoROM",
          {{0x7FDC, 0xFFFF ^ 0x233}, {0x7FDE, 0x0233}}),
      // the copier's bytes do not count; 513 bytes past a whole size are no copier header
      Row(".SMC", 0x8200, {{0x81D5, "\x20"}, {0x10, "\x09"}},
          "SNES LoROM header at 0x81C0, after a 512-byte copier header",
          {{0x81DC, 0xFDE1}, {0x81DE, 0x021E}}),
      Row(".SMC", 0x8201, {{0x7FD5, "\x20"}}, "SNES LoROM header at 0x7FC0",
          {{0x7FDC, 0xFDE1}, {0x7FDE, 0x021E}}),
      Row(".SMC", 0x10000, {{0xFFD5, "\x21"}}, "SNES HiROM header at 0xFFC0",
          {{0xFFDC, 0xFDE0}, {0xFFDE, 0x021F}}),
      // both places name their layout: the one whose complement and checksum agree wins
      Row(".SMC", 0x10000,
          {{0x7FD5, "\x20"}, {0xFFD5, "\x21"}, {0xFFDC, std::string("\xFF\xFF\0\0", 4)}},
          "SNES HiROM", {{0xFFDC, 0xFDC0}, {0xFFDE, 0x023F}}),
      // a rest that is no power of two is mirrored
      Row(".SMC", 0x18000, {{0x7FD5, "\x20"}, {0x10000, "\x01"}}, "SNES LoROM",
          {{0x7FDC, 0xFFFF ^ 0x220}, {0x7FDE, 0x0220}}),
      Row(".SMC", 0x7FFF, {{0x7FD5, "\x20"}}, "no SNES header"),
      Row(".SMC", 0x10000, {{0x7FD5, "\x21"}, {0xFFD5, "\x20"}}, "no SNES header"),
      Row(".MD", 0x204, {{0x100, "SEGA"}, {0x200, "\x12\x34\xFF\xFF"}}, "Genesis header at 0x100",
          {{0x18E, 0x1233}}),
      Row(".GEN", 0x203, {{0x100, " SEGA"}, {0x200, "\x12\x34\xAB"}}, "Genesis", {{0x18E, 0xBD34}}),
      Row(".SMD", 0x200, {{0x100, "SEGA"}}, "Genesis", {{0x18E, 0}}),
      Row(".BIN", 0x202, {{0x100, "SEGA"}, {0x200, "\x01\x02"}}, "Genesis", {{0x18E, 0x0102}}),
      Row(".MD", 0x1FF, {{0x100, "SEGA"}}, "no Genesis header"),
      // the sum leaves the header's 16 bytes out, "TMR SEGA" and size code 0x4C included
      Row(".SMS", 0x8000, {{0x7FF0, "TMR SEGA"}, {0x7FFF, "\x4C"}, {0, "\x05"}, {0x7FEF, "\x07"}},
          "Master System header at 0x7FF0", {{0x7FFA, 12}}),
      Row(".SMS", 0x10000, {{0x7FF0, "TMR SEGA"}, {0x7FFF, "\x4E"}, {0xFFFF, "\x09"}},
          "Master System", {{0x7FFA, 9}}),
      Row(".GG", 0x4000, {{0x3FF0, "TMR SEGA"}, {0x3FFF, "\x6B"}, {0x3FEF, "\x03"}},
          "Game Gear header at 0x3FF0", {{0x3FFA, 3}}),
      Row(".SMS", 0xBFFF, {{0x7FF0, "TMR SEGA"}, {0x7FFF, "\x4D"}},
          "Master System header at 0x7FF0: its size code 0xD names 48 KB, more than"),
      Row(".SMS", 0xC000, {{0x7FF0, "TMR SEGA"}, {0x7FFF, "\x4D"}, {0xBFFF, "\x02"}},
          "Master System", {{0x7FFA, 2}}),
      Row(".SMS", 0x8000, {{0x7FF0, "TMR SEGA"}, {0x7FFF, "\x45"}},
          "Master System header at 0x7FF0: its size code 0x5 names no checksum range"),
      Row(".SMS", 0x8000, {{0x7FF0, "TMR SEGB"}}, "no Master System header"),
      // other extensions, and a .BIN with no "SEGA" at 0x100
      Row(".GBA", 0x8000, {{0x7FD5, "\x20"}}, nullptr),
      Row(".BIN", 0x8000, {{0x7FD5, "\x20"}}, nullptr),
      Row("", 0x8000, {{0x7FD5, "\x20"}}, nullptr),
  };
  for (const HeaderCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.extension << ", " << c.size << " bytes");
    std::vector<uint8_t> image(c.size, 0);
    for (const auto& [at, text] : c.bytes) std::memcpy(image.data() + at, text.data(), text.size());
    const std::optional<ConsoleHeader> header = FindConsoleHeader(c.extension, image);
    ASSERT_EQ(header.has_value(), c.found != nullptr);
    if (!header) continue;
    EXPECT_EQ(header->Found.rfind(c.found, 0), 0u) << header->Found;
    ASSERT_EQ(header->Fields.size(), c.fields.size()) << header->Found;
    for (size_t i = 0; i < c.fields.size(); ++i) {
      const HeaderChecksumField& field = header->Fields[i];
      EXPECT_EQ(field.Offset, c.fields[i].first) << field.Name;
      EXPECT_EQ(field.Needs, c.fields[i].second) << field.Name;
      uint32_t holds = 0;  // the bytes there, most significant first
      for (int32_t b = 0; b < field.Length; ++b)
        holds = holds << 8 | image[static_cast<size_t>(field.Offset) +
                                   static_cast<size_t>(field.BigEndian ? b : field.Length - 1 - b)];
      EXPECT_EQ(field.Holds, holds) << field.Name;
    }
  }
}

}  // namespace
}  // namespace varnock
