// Every GBA/DS system format decodes the input under an output limit taken from its first
// bytes. The stream is an exactly sized heap copy, so AddressSanitizer reports a read past it;
// the limit, the consumed length and its exactness are checked by hand.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "compression/compression.h"

using namespace varnock;

namespace {

void Fail(const char* what, CompressionFormat format) {
  fprintf(stderr, "%s: %s\n", CompressionInfo(format).ShortName, what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size < 2) return 0;
  // Mostly small limits, so that refusals for size are reached too.
  const size_t maxOutput = bytes[0] < 0xF0 ? size_t{bytes[0]} * 37 : kMaxDecompressedBytes;
  const std::vector<uint8_t> stream(bytes + 1, bytes + size);
  for (CompressionFormat format : {CompressionFormat::Lz10, CompressionFormat::Lz11,
                                   CompressionFormat::Rle30, CompressionFormat::Huffman}) {
    MayStartStream(format, stream);
    const DecompressResult result = Decompress(format, stream, maxOutput);
    if (result.Bytes.size() > maxOutput) Fail("output past the limit", format);
    if (!result.ok()) {
      if (!result.Bytes.empty()) Fail("bytes from a refused stream", format);
      continue;
    }
    if (result.Consumed == 0 || result.Consumed > stream.size())
      Fail("consumed out of range", format);
    // The stream is exactly its consumed bytes: they alone decode the same, one fewer does not.
    const std::vector<uint8_t> exact(stream.begin(), stream.begin() + result.Consumed);
    const DecompressResult again = Decompress(format, exact, maxOutput);
    if (!again.ok() || again.Bytes != result.Bytes || again.Consumed != result.Consumed)
      Fail("its consumed bytes decode otherwise", format);
    const std::vector<uint8_t> shorter(exact.begin(), exact.end() - 1);
    if (Decompress(format, shorter, maxOutput).Error != DecompressError::EndsEarly)
      Fail("a byte short of its consumed length still decodes", format);
  }
  return 0;
}
