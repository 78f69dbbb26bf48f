#include "support/png_bytes.h"

#include <zlib.h>

#include <span>
#include <stdexcept>

namespace varnock::test {
namespace {

void AppendBe32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

// Length, type, data, and the CRC of type and data.
void AppendChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
  AppendBe32(png, static_cast<uint32_t>(data.size()));
  const size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  AppendBe32(png, static_cast<uint32_t>(
                      crc32(0, png.data() + start, static_cast<uInt>(png.size() - start))));
}

std::vector<uint8_t> Compressed(const std::vector<uint8_t>& bytes) {
  uLongf size = compressBound(static_cast<uLong>(bytes.size()));
  std::vector<uint8_t> out(size);
  if (compress2(out.data(), &size, bytes.data(), static_cast<uLong>(bytes.size()), 9) != Z_OK)
    throw std::runtime_error("zlib could not compress");
  out.resize(size);
  return out;
}

}  // namespace

void PutPackedSample(std::vector<uint8_t>& row, size_t first, size_t index, int bits,
                     uint32_t value) {
  if (bits == 16) {
    row[first + 2 * index] = static_cast<uint8_t>(value >> 8);
    row[first + 2 * index + 1] = static_cast<uint8_t>(value);
    return;
  }
  const size_t bit = index * static_cast<size_t>(bits);
  const int shift = 8 - bits - static_cast<int>(bit % 8);
  row[first + bit / 8] |= static_cast<uint8_t>((value & ((1u << bits) - 1)) << shift);
}

int PngChannels(int colourType) {
  return colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
}

std::vector<uint8_t> EncodePng(const PngPicture& picture) {
  const size_t channels = static_cast<size_t>(PngChannels(picture.ColourType));
  // Adam7's passes as first column, first row, column step, row step; one pass of every pixel
  // without interlacing.
  struct Pass {
    uint32_t X, Y, StepX, StepY;
  };
  static constexpr Pass kAdam7[] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                    {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
  static constexpr Pass kWhole[] = {{0, 0, 1, 1}};
  std::vector<uint8_t> raw;
  for (const Pass& pass :
       picture.Interlaced ? std::span<const Pass>(kAdam7) : std::span<const Pass>(kWhole)) {
    if (pass.X >= picture.Width) continue;  // an empty pass has no rows at all
    const size_t across = (picture.Width - pass.X + pass.StepX - 1) / pass.StepX;
    const size_t rowBytes = (across * channels * static_cast<size_t>(picture.BitDepth) + 7) / 8;
    for (uint32_t y = pass.Y; y < picture.Height; y += pass.StepY) {
      const size_t first = raw.size() + 1;
      raw.resize(first + rowBytes, 0);  // filter type 0, then the samples
      for (size_t i = 0; i < across; ++i)
        for (size_t c = 0; c < channels; ++c) {
          const size_t at = (y * size_t{picture.Width} + pass.X + i * pass.StepX) * channels + c;
          PutPackedSample(raw, first, i * channels + c, picture.BitDepth,
                          at < picture.Samples.size() ? picture.Samples[at] : 0);
        }
    }
  }
  std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  AppendBe32(header, picture.Width);
  AppendBe32(header, picture.DeclaredHeight ? picture.DeclaredHeight : picture.Height);
  header.insert(header.end(),
                {static_cast<uint8_t>(picture.BitDepth), static_cast<uint8_t>(picture.ColourType),
                 0, 0, static_cast<uint8_t>(picture.Interlaced)});
  AppendChunk(png, "IHDR", header);
  if (!picture.Palette.empty()) AppendChunk(png, "PLTE", picture.Palette);
  if (!picture.Alpha.empty()) AppendChunk(png, "tRNS", picture.Alpha);
  AppendChunk(png, "IDAT", Compressed(raw));
  AppendChunk(png, "IEND", {});
  return png;
}

}  // namespace varnock::test
