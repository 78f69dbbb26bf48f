// Sega compressors on any input, the first byte choosing Kosinski (even) or Nemesis (odd): the
// stream decodes back to it, ends where Consumed says, passes the scan's first look, and is
// never longer than the straightforward encoding. One format a run keeps inputs of several KiB
// fast enough to try many (scripts/fuzz.sh seeds real-size ones from fuzz/compressor_seeds.cpp).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

#include "../tests/support/sega_reference.h"
#include "compression/compression.h"

using namespace varnock;

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

// `reference` is empty when the input is too long for the brute-force greedy parse.
void RoundTrip(CompressionFormat format, std::span<const uint8_t> data,
               const std::vector<uint8_t>& reference) {
  const std::optional<std::vector<uint8_t>> stream = Compress(format, data);
  Check(stream.has_value(), "no stream");
  const DecompressResult back = Decompress(format, *stream);
  Check(back.ok(), "the stream does not decode");
  Check(back.Bytes.size() == data.size() &&
            std::equal(back.Bytes.begin(), back.Bytes.end(), data.begin()),
        "the stream decodes to other bytes");
  Check(back.Consumed == stream->size(), "consumed is not the stream's length");
  Check(data.empty() || MayStartStream(format, *stream), "the scan would not believe the stream");
  Check(reference.empty() || stream->size() <= reference.size(),
        "longer than the straightforward encoding");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::span<const uint8_t> bytes(data + 1, size - 1);
  if (data[0] % 2 == 0) {
    constexpr size_t kGreedyLimit = 1024;
    RoundTrip(CompressionFormat::Kosinski, bytes,
              bytes.size() <= kGreedyLimit ? test::GreedyKosinski(bytes) : std::vector<uint8_t>{});
    return 0;
  }
  const std::span<const uint8_t> tiles = bytes.first(bytes.size() - bytes.size() % 32);
  if (!tiles.empty())
    RoundTrip(CompressionFormat::Nemesis, tiles, test::StraightforwardNemesis(tiles));
  return 0;
}
