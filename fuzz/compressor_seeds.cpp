// Writes real-size inputs for a compressor fuzzer's corpus: the tiles a sample image holds in
// its LZ77 stream, and tile-like data of 1 to 64 KiB, each once for every format the target
// chooses by its first byte. The fuzzer would not grow inputs this long with this much
// structure on its own: never a long command, a far copy or a second tile of its own.
// usage: compressor_seeds FORMATS SAMPLES_FOLDER FOLDER
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../tests/support/sega_reference.h"
#include "compression/compression.h"

namespace {

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Write(const std::string& path, uint8_t format, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.put(static_cast<char>(format));
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s FORMATS SAMPLES_FOLDER FOLDER\n", argv[0]);
    return 2;
  }
  const int formats = std::atoi(argv[1]);
  const std::string samples = argv[2], folder = argv[3];
  std::vector<std::pair<std::string, std::vector<uint8_t>>> inputs;
  // The sample's LZ77 10 stream at 0x2100 (samples/README.md) holds its 8 KB of test card.
  const std::vector<uint8_t> image = ReadAll(samples + "/sample-compressed.gba");
  if (image.size() > 0x2100) {
    const varnock::DecompressResult card = varnock::Decompress(
        varnock::CompressionFormat::Lz10, std::span<const uint8_t>(image).subspan(0x2100));
    if (card.ok()) inputs.emplace_back("sample-card", card.Bytes);
  }
  if (inputs.empty()) std::fprintf(stderr, "no sample stream in %s\n", samples.c_str());
  for (const size_t kib : {1, 4, 16, 64})
    inputs.emplace_back("tiles-" + std::to_string(kib) + "k",
                        varnock::test::TileLikeBytes(kib << 10, static_cast<uint32_t>(kib)));
  bool ok = true;
  for (int format = 0; format < formats; ++format)
    for (const auto& [name, bytes] : inputs)
      ok &= Write(folder + "/seed-" + std::to_string(format) + "-" + name,
                  static_cast<uint8_t>(format), bytes);
  std::printf("%zu compressor seeds in %s\n", inputs.size() * static_cast<size_t>(formats),
              folder.c_str());
  return ok ? 0 : 1;
}
