// Every GBA/DS system compressor on the input: the stream decodes to the input and is exactly
// as long as it consumes, is never longer than the greedy parse's, and passes the scan's
// first look whenever its length is one the scan takes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "compression/compression.h"
#include "compression/gba_formats.h"
#include "compression/stream_scan.h"

using namespace varnock;

namespace {

void Fail(const char* what, CompressionFormat format, int variant) {
  fprintf(stderr, "%s (variant %d): %s\n", CompressionInfo(format).ShortName, variant, what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  // The first byte, when there is one, stretches the data: a few repeats of the input make the
  // long copies and runs a fuzzer alone rarely writes.
  std::vector<uint8_t> data(bytes + (size > 0), bytes + size);
  const int repeats = size > 0 ? bytes[0] % 4 : 0;
  const size_t unit = data.size();
  for (int r = 0; r < repeats; ++r) data.insert(data.end(), data.begin(), data.begin() + unit);

  struct Choice {
    CompressionFormat Format;
    int Variant;
  };
  for (const Choice c :
       {Choice{CompressionFormat::Lz10, 0}, Choice{CompressionFormat::Lz11, 0},
        Choice{CompressionFormat::Rle30, 0}, Choice{CompressionFormat::Huffman, 0},
        Choice{CompressionFormat::Huffman, 4}, Choice{CompressionFormat::Huffman, 8}}) {
    const std::optional<std::vector<uint8_t>> stream = Compress(c.Format, data, c.Variant);
    if (!stream) Fail("no stream", c.Format, c.Variant);
    const DecompressResult result = Decompress(c.Format, *stream);
    if (!result.ok() || result.Bytes != data)
      Fail("does not decode to the data", c.Format, c.Variant);
    if (result.Consumed != stream->size()) Fail("consumed is not the stream", c.Format, c.Variant);
    if (c.Variant != 0 && result.Variant != c.Variant)
      Fail("variant not kept", c.Format, c.Variant);
    if (const auto greedy = CompressGbaFormatGreedy(c.Format, data)) {
      if (greedy->size() < stream->size())
        Fail("longer than the greedy parse", c.Format, c.Variant);
    }
    if (data.size() >= kMinimumScanOutput && data.size() <= (256u << 10) &&
        !MayStartStream(c.Format, *stream))
      Fail("the scan would not look at it", c.Format, c.Variant);
  }
  return 0;
}
