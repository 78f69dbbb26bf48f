#include "compression/exact_start.h"

#include <gtest/gtest.h>

#include <vector>

namespace varnock {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Joined(size_t count, uint8_t first, uint8_t second) {
  Bytes bytes(16, 0x00);
  for (size_t i = 0; i < count; ++i) bytes.push_back(i % 2 == 0 ? first : second);
  return bytes;
}

// Two starts ending at one byte whose walks meet without either reaching the other's start:
// what each decodes to before they meet decides, when their first bytes do not.
TEST(ExactStartTest, OfTwoWalksThatMeetTheOneAddingALongOddFillGivesWay) {
  const struct {
    const char* name;
    Bytes earlier, later;  // what each decodes to before the walks meet
    size_t chosen;
  } cases[] = {
      {"a long fill of stripes before", Joined(368, 0x3F, 0x10), Joined(32, 0x10, 0x10), 0x102},
      {"a long fill of one odd value before", Joined(304, 0xA1, 0xA1), Joined(32, 1, 1), 0x102},
      {"blank tiles before", Joined(368, 0x00, 0x00), Joined(32, 0x10, 0x10), 0x100},
      {"solid tiles before", Joined(368, 0xFF, 0x00), Joined(32, 0x10, 0x10), 0x100},
      {"stripes in both", Joined(368, 0x3F, 0x10), Joined(304, 0x3F, 0x10), 0x100},
      {"a short fill before", Joined(64, 0x3F, 0x10), Joined(32, 0x10, 0x10), 0x100},
  };
  // Both begin with a blank row, so their first bytes alone cannot tell them apart.
  const auto front = [](size_t, size_t count) { return Bytes(count, 0x00); };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // The two differ by whole tiles, so that is not what tells them apart either.
    ASSERT_EQ((c.earlier.size() - c.later.size()) % 16, 0u);
    const auto meeting = [&c](size_t, size_t) { return std::pair(c.earlier, c.later); };
    ExactStartChooser chooser(16, 1 << 16, front, {}, meeting);
    chooser.Add(0x500, {0x102, 0x3FE, 816, kNoStart});
    chooser.Add(0x500, {0x100, 0x400, 816 + c.earlier.size() - c.later.size(), kNoStart});
    const std::vector<StreamStart> chosen = chooser.Take();
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].Offset, c.chosen);
  }
}

}  // namespace
}  // namespace varnock
