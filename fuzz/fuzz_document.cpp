// Drives a RomDocument through loading, format and grid changes, scrolling, decoding, encoding
// and the checksum fixers, and traps as soon as the scroll range stops holding ViewOffset.
//
// Input: a few control bytes (extension, image size, operations), then the image's seed bytes.
// The image lives in a memory file; one symbolic link per extension points at it, so LoadRom
// runs on an ordinary path with the extension we want and nothing touches the disk.
#include <fuzzer/FuzzedDataProvider.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "codec/tile_codec.h"
#include "codec/tile_format.h"
#include "codec/tile_surface.h"
#include "document/rom_document.h"

namespace {

using varnock::RomDocument;

constexpr std::array<const char*, 14> kExtensions = {".NES", ".nes", ".SMC", ".GB",  ".gbc",
                                                     ".VB",  ".NGP", ".SMS", ".SMD", ".GBA",
                                                     ".BIN", "",     ".GBX", "."};

class MemoryRom {
 public:
  MemoryRom() {
    fd_ = ::memfd_create("varnock-fuzz", 0);
    if (fd_ < 0) std::abort();
    std::string pattern = (std::filesystem::temp_directory_path() / "varnock-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    folder_ = pattern;
    const std::string target = "/proc/self/fd/" + std::to_string(fd_);
    for (size_t i = 0; i < kExtensions.size(); ++i) {
      paths_[i] = folder_ + "/rom" + std::to_string(i) + kExtensions[i];
      if (::symlink(target.c_str(), paths_[i].c_str()) != 0) std::abort();
    }
  }
  ~MemoryRom() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    ::close(fd_);
  }

  // Replaces the memory file's contents and returns the path with extension `which`.
  const std::string& Write(const std::vector<uint8_t>& bytes, size_t which) {
    if (::ftruncate(fd_, 0) != 0) std::abort();
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n =
          ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
      if (n <= 0) std::abort();
      done += static_cast<size_t>(n);
    }
    return paths_[which];
  }

 private:
  int fd_ = -1;
  std::string folder_;
  std::array<std::string, kExtensions.size()> paths_;
};

void CheckRange(const RomDocument& doc) {
  if (doc.ScrollMinimum > doc.ScrollMaximum) __builtin_trap();
  if (doc.ViewOffset < doc.ScrollMinimum || doc.ViewOffset > doc.ScrollMaximum) __builtin_trap();
  if (doc.ScrollMinimum < 0) __builtin_trap();
  // A non-empty range always leaves a whole page before the end of the image.
  if (doc.ScrollMaximum != 0 &&
      static_cast<int64_t>(doc.ScrollMaximum) + doc.PageBytes > doc.RomSize)
    __builtin_trap();
}

// The image: `size` bytes, the seed repeated over it, so a short input still makes a ROM large
// enough for headers and many pages.
std::vector<uint8_t> MakeImage(FuzzedDataProvider& input) {
  const size_t size = input.ConsumeIntegralInRange<size_t>(0, 1 << 18);
  const bool nesHeader = input.ConsumeBool();
  std::vector<uint8_t> seed = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange(0, 4096));
  std::vector<uint8_t> image(size, 0);
  if (!seed.empty())
    for (size_t i = 0; i < size; ++i) image[i] = seed[i % seed.size()];
  if (nesHeader && size >= 4) {
    image[0] = 0x4E;
    image[1] = 0x45;
    image[2] = 0x53;
    image[3] = 0x1A;
  }
  return image;
}

void EncodeRandomBlock(RomDocument& doc, FuzzedDataProvider& input) {
  varnock::TileSurface block;
  block.TilesAcross = input.ConsumeIntegralInRange(0, 8);
  block.TilesDown = input.ConsumeIntegralInRange(0, 8);
  varnock::RebuildSurface(block);
  const uint8_t ink = input.ConsumeIntegral<uint8_t>();
  for (size_t i = 0; i < block.Pixels.size(); ++i)
    block.Pixels[i] = static_cast<uint8_t>(ink + i * 7);
  block.EncodeFormat = input.ConsumeIntegral<int8_t>();
  block.EncodeTileBytes = input.ConsumeBool()
                              ? varnock::TileFormatInfo(block.EncodeFormat).TileBytes
                              : input.ConsumeIntegralInRange(-64, 64);
  block.EncodeBits = varnock::TileFormatInfo(block.EncodeFormat).BitsPerPixel;
  block.EncodeSkip = input.ConsumeIntegralInRange(-80, 80);
  block.EncodeColumn = input.ConsumeIntegralInRange(-2, 9);
  block.EncodeRow = input.ConsumeIntegralInRange(-2, 9);
  block.EncodeAcross = input.ConsumeIntegralInRange(-1, 10);
  block.EncodeDown = input.ConsumeIntegralInRange(-1, 10);
  const int64_t offset = input.ConsumeIntegralInRange<int64_t>(-64, int64_t{doc.RomSize} + 64);
  doc.EncodeIntoImage(block, offset);
  if (!doc.Modified) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static MemoryRom rom;
  FuzzedDataProvider input(data, size);
  const size_t which = input.ConsumeIntegralInRange<size_t>(0, kExtensions.size() - 1);
  const int operations = input.ConsumeIntegralInRange(0, 24);
  const std::vector<uint8_t> image = MakeImage(input);

  RomDocument doc;
  if (doc.LoadRom(rom.Write(image, which)) != varnock::kLoadLoaded) __builtin_trap();
  if (doc.RomSize != static_cast<int32_t>(image.size())) __builtin_trap();
  CheckRange(doc);

  for (int i = 0; i < operations && input.remaining_bytes() > 0; ++i) {
    switch (input.ConsumeIntegralInRange(0, 6)) {
      case 0:
        doc.SetTileFormat(input.ConsumeIntegral<int8_t>());
        break;
      case 1:
        doc.Columns = input.ConsumeIntegralInRange(varnock::kMinGrid, varnock::kMaxGrid);
        doc.Rows = input.ConsumeIntegralInRange(varnock::kMinGrid, varnock::kMaxGrid);
        doc.UpdateStrides();
        break;
      case 2: {
        const int32_t clamped = doc.ClampOffset(input.ConsumeIntegral<int64_t>());
        if (clamped < doc.ScrollMinimum || clamped > doc.ScrollMaximum) __builtin_trap();
        doc.ViewOffset = clamped;
        break;
      }
      case 3:
        doc.DecodePage();
        if (doc.ViewSurface.Width() != doc.Columns * 8 || doc.ViewSurface.Height() != doc.Rows * 8)
          __builtin_trap();
        break;
      case 4:
        EncodeRandomBlock(doc, input);
        break;
      case 5: {
        auto bytes = doc.WritableBytesFrom(0);
        if (bytes.size() != static_cast<size_t>(doc.RomSize)) __builtin_trap();
        RomDocument::FixGameBoyChecksum(bytes);
        RomDocument::FixGbaChecksum(bytes);
        break;
      }
      case 6: {
        const int32_t row = input.ConsumeIntegralInRange(0, doc.Rows);
        const int32_t column = input.ConsumeIntegralInRange(0, doc.Columns - 1);
        const int64_t at = doc.TileOffset(row, column);
        const auto rest = doc.BytesFrom(at);
        if (!rest.empty() && rest.size() != static_cast<size_t>(doc.RomSize - at)) __builtin_trap();
        break;
      }
    }
    CheckRange(doc);
  }
  return 0;
}
