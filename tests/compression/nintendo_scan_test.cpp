#include "compression/nintendo_lz_scan.h"

#include <gtest/gtest.h>

#include <vector>

#include "compression/compression.h"
#include "compression/nintendo_lz_decode.h"
#include "support/sega_reference.h"
#include "support/test_files.h"

namespace varnock {
namespace {

using Bytes = std::vector<uint8_t>;

// The pass over an image gives what walking the commands from every offset gives: on streams
// with noise between them, on bytes that never end a stream, and on runs and repeated tiles.
TEST(NintendoScanTest, ThePassFindsWhatWalkingEveryOffsetFinds) {
  constexpr size_t kMaxOutput = 4096;
  const CompressionFormat formats[] = {CompressionFormat::Lz2, CompressionFormat::Lz5,
                                       CompressionFormat::Lz3, CompressionFormat::Hal};
  for (CompressionFormat format : formats) {
    // Streams of 16 to 1000 bytes, one after the other or a few noise bytes apart.
    Bytes planted = test::PatternBytes(16 << 10, 3);
    for (size_t at = 0, k = 0; at + 1200 < planted.size(); ++k) {
      const Bytes stream = *Compress(format, test::TileLikeBytes(16 + 8 * (k * 37 % 123), k));
      std::copy(stream.begin(), stream.end(), planted.begin() + at);
      at += stream.size() + k % 3 * (k % 7);
    }
    Bytes endless(16 << 10), mixed(16 << 10);
    for (size_t i = 0; i < endless.size(); ++i) {
      endless[i] = (i % 4 == 0 || i % 4 == 3) ? 0x21 : 0x22;
      mixed[i] =
          i % 6000 < 3000 ? (i / 6000 % 2 ? 0xFF : 0x00) : test::TileLikeBytes(32, 1)[i % 32];
    }
    for (const Bytes* image : {&planted, &endless, &mixed}) {
      SCOPED_TRACE(CompressionInfo(format).ShortName);
      const NintendoLayout& layout = NintendoLayoutOf(format);
      std::vector<StreamStart> expected;
      for (size_t offset = 0; offset < image->size(); ++offset) {
        const std::span<const uint8_t> rest = std::span(*image).subspan(offset);
        const size_t consumed = PlausibleNintendoStreamLength(layout, rest, kMaxOutput);
        if (consumed == 0) continue;
        const size_t produced = Decompress(format, rest, kMaxOutput).Bytes.size();
        if (produced >= 8) expected.push_back({offset, consumed, produced});
      }
      std::vector<StreamStart> found;
      VisitNintendoStarts(layout, *image, 8, kMaxOutput, [&](size_t, const StreamStart* start) {
        if (start) found.insert(found.begin(), *start);
        return true;
      });
      ASSERT_EQ(found.size(), expected.size());
      for (size_t k = 0; k < found.size(); ++k) {
        EXPECT_EQ(found[k].Offset, expected[k].Offset);
        EXPECT_EQ(found[k].Consumed, expected[k].Consumed);
        EXPECT_EQ(found[k].Produced, expected[k].Produced);
      }
    }
  }
}

}  // namespace
}  // namespace varnock
