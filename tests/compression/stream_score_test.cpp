#include "compression/stream_score.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "compression/stream_scan.h"
#include "support/sega_reference.h"
#include "support/test_files.h"

namespace varnock {
namespace {

using Bytes = std::vector<uint8_t>;
using F = CompressionFormat;

Bytes Text(size_t size) {
  const std::string line = "THE KING HAS GONE TO THE CASTLE. FIND THE KEY IN THE CAVE!\n";
  Bytes bytes;
  for (size_t i = 0; bytes.size() < size; ++i)
    bytes.push_back(static_cast<uint8_t>(line[i % line.size()]));
  return bytes;
}

// ARM instructions: condition "always" in the top nibble of every little-endian word.
Bytes ArmCode(size_t size) {
  Bytes bytes = test::PatternBytes(size, 4);
  for (size_t i = 3; i < size; i += 4) bytes[i] = static_cast<uint8_t>(0xE0 | (bytes[i] & 0x0B));
  return bytes;
}

// A sprite sheet nearly all background: four tiles of shapes among blank ones.
Bytes SpriteSheet() {
  Bytes sheet(1024, 0x00);
  const Bytes shapes = test::TileLikeBytes(128, 1);
  std::copy(shapes.begin(), shapes.end(), sheet.begin() + 96);
  return sheet;
}

Bytes OneTileOverAndOver() {
  const Bytes tile = test::TileLikeBytes(32, 7);
  Bytes bytes;
  while (bytes.size() < 2048) bytes.insert(bytes.end(), tile.begin(), tile.end());
  return bytes;
}

TEST(StreamScoreTest, GraphicsAreListedAndEverythingElseIsHidden) {
  struct Case {
    const char* name;
    F format;
    Bytes data;
    bool shown;
  };
  const Case cases[] = {
      {"tiles, LC_LZ2", F::Lz2, test::TileLikeBytes(4096, 1), true},
      {"tiles, LZ77 10", F::Lz10, test::TileLikeBytes(4096, 1), true},
      {"tiles, Kosinski", F::Kosinski, test::TileLikeBytes(2048, 2), true},
      {"a sprite sheet nearly all background", F::Lz10, SpriteSheet(), true},
      {"one fill", F::Lz10, Bytes(4096, 0x00), false},
      {"one tile over and over", F::Lz10, OneTileOverAndOver(), false},
      {"noise", F::Lz10, test::PatternBytes(2048, 3), false},
      {"text", F::Lz10, Text(2048), false},
      {"ARM code", F::Lz10, ArmCode(2048), false},
      {"fewer bytes than the minimum size", F::Lz11, test::TileLikeBytes(192, 5), false},
  };
  Bytes image = test::PatternBytes(std::size(cases) * 0x4000, 9);
  for (size_t k = 0; k < std::size(cases); ++k) {
    const Bytes stream = *Compress(cases[k].format, cases[k].data);
    std::copy(stream.begin(), stream.end(), image.begin() + static_cast<ptrdiff_t>(k * 0x4000));
  }
  const F formats[] = {F::Lz10, F::Lz11, F::Lz2, F::Kosinski};
  std::vector<StreamFind> finds = ScanForStreams(image, formats);
  for (size_t k = 0; k < std::size(cases); ++k) {
    SCOPED_TRACE(cases[k].name);
    const auto find = std::find_if(finds.begin(), finds.end(), [&](const StreamFind& f) {
      return f.Offset == k * 0x4000 && f.Format == cases[k].format;
    });
    ASSERT_NE(find, finds.end());
    EXPECT_EQ(IsFindShown(*find), cases[k].shown) << "score " << find->Score;
    EXPECT_TRUE(IsFindShown(*find, kLowestScore, kMinimumScanOutput));
  }
  // Of the same tiles, the later stream whose header declares their length ranks first.
  SortByScore(finds);
  const auto rank = [&](size_t k) {
    return std::find_if(finds.begin(), finds.end(),
                        [&](const StreamFind& f) { return f.Offset == k * 0x4000; }) -
           finds.begin();
  };
  EXPECT_LT(rank(1), rank(0));
}

}  // namespace
}  // namespace varnock
