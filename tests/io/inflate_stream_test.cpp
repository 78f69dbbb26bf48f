#include "io/inflate_stream.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/compress.h"
#include "support/test_files.h"

namespace varnock {
namespace {

using test::GzipCompress;
using test::PatternBytes;
using test::ZlibCompress;

std::vector<uint8_t> Joined(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(InflateStreamTest, StreamsAreUnpackedOrRefusedWhole) {
  const std::vector<uint8_t> plain = PatternBytes(200000, 3);
  const std::vector<uint8_t> zlib = ZlibCompress(plain);
  const std::vector<uint8_t> gzip = GzipCompress(plain);
  std::vector<uint8_t> badCheck = zlib;
  badCheck.back() ^= 1;  // the Adler-32 trailer
  std::vector<uint8_t> badGzipCrc = gzip;
  badGzipCrc[badGzipCrc.size() - 6] ^= 1;  // the CRC-32 trailer
  std::vector<uint8_t> badHeader = zlib;
  badHeader[0] = 0x79;  // not deflate with a 32K window

  struct Case {
    const char* name;
    std::vector<uint8_t> input;
    StreamWrapper wrapper;
    InflateError error;
    std::vector<uint8_t> output;
  };
  const Case cases[] = {
      {"zlib", zlib, StreamWrapper::Zlib, InflateError::None, plain},
      {"gzip", gzip, StreamWrapper::Gzip, InflateError::None, plain},
      {"two gzip members",
       Joined(GzipCompress({1, 2}), GzipCompress({3})),
       StreamWrapper::Gzip,
       InflateError::None,
       {1, 2, 3}},
      {"empty input", {}, StreamWrapper::Zlib, InflateError::Truncated, {}},
      {"zlib cut short",
       std::vector<uint8_t>(zlib.begin(), zlib.end() - 5),
       StreamWrapper::Zlib,
       InflateError::Truncated,
       {}},
      {"gzip cut short",
       std::vector<uint8_t>(gzip.begin(), gzip.begin() + 40),
       StreamWrapper::Gzip,
       InflateError::Truncated,
       {}},
      {"zlib bad checksum", badCheck, StreamWrapper::Zlib, InflateError::Damaged, {}},
      {"gzip bad checksum", badGzipCrc, StreamWrapper::Gzip, InflateError::Damaged, {}},
      {"bad header", badHeader, StreamWrapper::Zlib, InflateError::Damaged, {}},
      {"gzip read as zlib", gzip, StreamWrapper::Zlib, InflateError::Damaged, {}},
      {"bytes after the stream", Joined(zlib, {0}), StreamWrapper::Zlib, InflateError::Damaged, {}},
      {"junk after a gzip member",
       Joined(GzipCompress({1}), {0, 0}),
       StreamWrapper::Gzip,
       InflateError::Damaged,
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const InflateResult result = InflateStream(c.input, c.wrapper);
    EXPECT_EQ(result.Error, c.error);
    EXPECT_EQ(result.Bytes, c.output);
  }
}

TEST(InflateStreamTest, OutputStopsAtTheLimit) {
  // Highly compressible: a few hundred bytes that unpack to far more than the limit.
  const std::vector<uint8_t> zeros(kMaxInflatedBytes + 1, 0);
  const std::vector<uint8_t> bomb = ZlibCompress(zeros);
  ASSERT_LT(bomb.size(), 50000u);
  const InflateResult refused = InflateStream(bomb, StreamWrapper::Zlib);
  EXPECT_EQ(refused.Error, InflateError::TooLarge);
  EXPECT_TRUE(refused.Bytes.empty());

  struct Case {
    size_t length;
    size_t limit;
    InflateError error;
  };
  for (const Case& c :
       {Case{1000, 1000, InflateError::None}, Case{1001, 1000, InflateError::TooLarge},
        Case{70000, 70000, InflateError::None}, Case{70000, 69999, InflateError::TooLarge}}) {
    SCOPED_TRACE(testing::Message() << c.length << " into " << c.limit);
    const std::vector<uint8_t> plain = PatternBytes(c.length, 5);
    const InflateResult result = InflateStream(ZlibCompress(plain), StreamWrapper::Zlib, c.limit);
    EXPECT_EQ(result.Error, c.error);
    if (result.ok()) {
      EXPECT_EQ(result.Bytes, plain);
    }
  }
}

}  // namespace
}  // namespace varnock
