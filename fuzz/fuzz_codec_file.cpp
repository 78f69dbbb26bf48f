// Description files of any content: the reader never crashes, a refusal names a line of the
// file, and a description it accepts runs: decoding any tile and encoding the pixels back gives
// the same bytes, since every bit is either a pixel's or kept as it was.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "codec/codec_file.h"
#include "codec/described_codec.h"

using namespace varnock;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::vector<uint8_t> tile = input.ConsumeBytes<uint8_t>(kMaxTileBytes);
  const std::string text = input.ConsumeRemainingBytesAsString();
  const CodecFileResult file = ParseCodecFile(text, "fuzz");
  const int32_t lines = static_cast<int32_t>(std::count(text.begin(), text.end(), '\n')) + 1;
  if (!file.Ok) {
    if (file.Line < 1 || file.Line > lines || file.Reason.empty()) std::abort();
    return 0;
  }
  if (!CheckDescription(file.Description).Sound()) std::abort();
  const DescribedCodec codec(file.Description);
  std::vector<uint8_t> bytes(static_cast<size_t>(codec.TileBytes()), 0);
  std::copy_n(tile.begin(), std::min(tile.size(), bytes.size()), bytes.begin());
  const std::vector<uint8_t> original = bytes;
  std::vector<uint8_t> pixels(64, 0xEE);
  codec.DecodeTile(bytes.data(), pixels.data(), 8);
  for (uint8_t p : pixels)
    if (p >> codec.BitsPerPixel()) std::abort();
  codec.EncodeTile(pixels.data(), 8, bytes.data());
  if (bytes != original) std::abort();
  return 0;
}
