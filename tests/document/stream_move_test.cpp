// Free space and moving a stream: the fill byte an image's free space suggests, the free run a
// moved stream goes to, the pointer words of a GBA image, and the move itself.
#include "document/stream_move.h"

#include <gtest/gtest.h>

#include "document/free_space.h"
#include "document/rom_document.h"
#include "support/test_files.h"

namespace varnock {
namespace {

using Bytes = std::vector<uint8_t>;
using F = CompressionFormat;

// Runs of `count` bytes of a value, one after another; D stands for data (noise without runs
// of 0x00 or 0xFF).
constexpr int D = 0x100;
Bytes ImageOf(std::initializer_list<std::pair<int, size_t>> runs) {
  Bytes image;
  for (const auto& [value, count] : runs)
    for (size_t i = 0; i < count; ++i)
      image.push_back(static_cast<uint8_t>(value == D ? 1 + i % 200 : value));
  return image;
}

TEST(FreeSpaceTest, TheFillByteIsTheOneLongRunsOfFreeSpaceHoldMost) {
  const struct {
    const char* name;
    Bytes image;
    uint8_t fill;
  } cases[] = {
      {"Zeros", ImageOf({{D, 64}, {0x00, 512}}), 0x00},
      {"PaddedWithFF", ImageOf({{D, 64}, {0x00, 100}, {D, 64}, {0xFF, 512}}), 0xFF},
      {"ShortRunsOfFFAreData", ImageOf({{D, 8}, {0xFF, 15}, {D, 8}, {0xFF, 15}, {0x00, 16}}), 0x00},
      {"Noise", test::PatternBytes(4096, 5), 0x00},
  };
  for (const auto& c : cases) EXPECT_EQ(FreeSpaceByte(c.image), c.fill) << c.name;
}

TEST(FreeSpaceTest, AFreeRunIsSearchedFromTheEndKeepingClearOfItsNeighbours) {
  // 0..64 data, 64..320 0xFF, 320..385 data, 385..512 zeros to the end.
  const Bytes image = ImageOf({{D, 64}, {0xFF, 256}, {D, 65}, {0x00, 127}});
  const struct {
    const char* name;
    size_t length;
    int alignment;
    KeptRange kept;
    std::optional<int64_t> at;
  } cases[] = {
      {"TheLastRunAfterItsMargin", 32, 1, {}, 385 + 16},
      {"AlignedInsideIt", 32, 4, {}, 404},
      {"ToTheImagesVeryEnd", 111, 1, {}, 401},
      {"TooLongForItTheRunBefore", 112, 1, {}, 80},
      {"KeptClearOfTheDataAfterIt", 224, 1, {}, 80},
      {"NoRunHoldsIt", 225, 1, {}, std::nullopt},
      {"TheKeptRangeSplitsARun", 120, 1, {100, 50}, 166},
      {"TheKeptRangeCoversTheRun", 32, 1, {300, 212}, 80},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FindFreeRun(image, c.length, c.alignment, c.kept), c.at) << c.name;
}

TEST(FreeSpaceTest, RepeatingBytesTakeOnePass) {
  // A run of 4 MiB of one byte, and 4 MiB alternating two: each search visits a byte once.
  EXPECT_EQ(FindFreeRun(Bytes(4u << 20, 0xFF), 1u << 20, 4, {}), 16);
  Bytes alternating(4u << 20);
  for (size_t i = 0; i < alternating.size(); ++i) alternating[i] = i % 2 ? 0xFF : 0x00;
  EXPECT_EQ(FindFreeRun(alternating, 4, 4, {}), std::nullopt);
  EXPECT_EQ(FreeSpaceByte(alternating), 0x00);
}

TEST(PointerWordsTest, OnlyAlignedLittleEndianWordsOfTheAddressCount) {
  Bytes image(0x2000, 0);
  const auto put = [&](size_t at, Bytes word) { std::ranges::copy(word, image.begin() + at); };
  put(0x100, {0x40, 0x1C, 0x00, 0x08});   // 0x08001C40
  put(0x202, {0x40, 0x1C, 0x00, 0x08});   // not aligned
  put(0x300, {0x08, 0x00, 0x1C, 0x40});   // big-endian
  put(0x1FFC, {0x40, 0x1C, 0x00, 0x08});  // the last word
  put(0x180, {0x40, 0x1C, 0x00, 0x09});   // another address
  EXPECT_EQ(FindPointerWords(image, 0x1C40), (std::vector<int64_t>{0x100, 0x1FFC}));
  EXPECT_EQ(GbaPointerBytes(0x7F000), (std::array<uint8_t, 4>{0x00, 0xF0, 0x07, 0x08}));
}

TEST(StreamMoveTest, TheStreamGoesToItsNewPlaceOnlyTickedWordsFollowAndBadPlacesAreRefused) {
  const Bytes tiles = test::PatternBytes(1024, 3);
  const Bytes bigger = *Compress(F::Lz10, tiles);
  // 8 KB: pointer words to the stream at 0x40 and 0x1000, noise, the stream at 0x200, noise
  // again, and 0xFF from 0x1400 to the end.
  constexpr int64_t kAt = 0x200;
  Bytes before = test::PatternBytes(0x2000, 11);
  for (auto& byte : before)
    if (byte == 0x00 || byte == 0xFF) byte = 0x5A;
  std::fill(before.begin() + 0x1400, before.end(), uint8_t{0xFF});
  for (size_t at : {size_t{0x40}, size_t{0x1000}})
    std::ranges::copy(GbaPointerBytes(kAt), before.begin() + static_cast<ptrdiff_t>(at));
  std::ranges::copy(*Compress(F::Lz10, Bytes(1024, 0x11)), before.begin() + kAt);
  const struct {
    const char* name;
    std::optional<int64_t> target;
    std::vector<int64_t> ticked;
    int64_t at;  // where the stream lands
  } cases[] = {
      {"FreeRunEveryWord", std::nullopt, {0x40, 0x1000}, 0x1410},
      {"FreeRunOneWord", std::nullopt, {0x1000}, 0x1410},
      {"NamedOffsetNoWord", 0x1800, {}, 0x1800},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RomDocument doc;
    doc.LoadStream(before, {}, "x.gba");
    StreamLink link = OpenStreamAt(before, kAt, F::Lz10).Link;
    const StreamMovePlan plan = PlanStreamMove(link, before, bigger, c.target, true);
    ASSERT_EQ(plan.Refusal, "");
    EXPECT_EQ(plan.Offset, c.at);
    EXPECT_FALSE(plan.TargetUsed);
    EXPECT_EQ(plan.Pointers, (std::vector<int64_t>{0x40, 0x1000}));
    MoveStream(doc, link, plan, c.ticked);
    const std::span<const uint8_t> after = doc.BytesFrom(0);
    EXPECT_EQ(Decompress(F::Lz10, after.subspan(static_cast<size_t>(c.at))).Bytes, tiles);
    Bytes expected = before;
    std::ranges::copy(bigger, expected.begin() + c.at);
    for (int64_t word : c.ticked) std::ranges::copy(GbaPointerBytes(c.at), expected.begin() + word);
    EXPECT_EQ(Bytes(after.begin(), after.end()), expected) << "old place and unticked words kept";
  }

  // The places it cannot take, each refused in the user's words.
  const StreamLink link = OpenStreamAt(before, kAt, F::Lz10).Link;
  const std::string length = std::to_string(bigger.size());
  const std::pair<int64_t, std::string> refusals[] = {
      {0x1802, "LZ77 10 streams start at a multiple of 4; 0x1802 is not one."},
      {0x1FF0, "The stream takes " + length +
                   " bytes and does not fit at 0x1FF0 before the end of the image (8192 bytes)."},
      {0x180, "The " + length +
                  " bytes at 0x180 would overlap the stream's old place at 0x200, which a move "
                  "leaves as it was."},
  };
  for (const auto& [at, refusal] : refusals)
    EXPECT_EQ(PlanStreamMove(link, before, bigger, at, true).Refusal,
              refusal + " Nothing was written.");
  EXPECT_TRUE(PlanStreamMove(link, before, bigger, 0x800, true).TargetUsed);
  EXPECT_TRUE(PlanStreamMove(link, before, bigger, 0x1800, false).Pointers.empty());
  EXPECT_EQ(PlanStreamMove(link, before, Bytes(0x1000, 0x11), std::nullopt, true).Refusal,
            "No run of free bytes (0x00 or 0xFF) in the image holds the 4096 bytes of the "
            "stream. Nothing was written.");
}

}  // namespace
}  // namespace varnock
