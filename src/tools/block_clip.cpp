#include "tools/block_clip.h"

#include <algorithm>
#include <cstring>

namespace varnock {
namespace {

constexpr uint8_t kMark[4] = {'V', 'R', 'K', 'B'};
constexpr size_t kHeaderBytes = 8;
constexpr int32_t kMaxSide = 0xFFFF;

}  // namespace

std::vector<uint8_t> EncodeBlockClip(const TileSurface& block) {
  const int32_t width = std::clamp(block.Width(), 0, kMaxSide);
  const int32_t height = std::clamp(block.Height(), 0, kMaxSide);
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (count == 0 || block.Pixels.size() < count) return {};
  std::vector<uint8_t> bytes(kMark, kMark + 4);
  bytes.push_back(static_cast<uint8_t>(width & 0xFF));
  bytes.push_back(static_cast<uint8_t>(width >> 8));
  bytes.push_back(static_cast<uint8_t>(height & 0xFF));
  bytes.push_back(static_cast<uint8_t>(height >> 8));
  // The surface's stride is its width: its first rows are the block.
  bytes.insert(bytes.end(), block.Pixels.begin(),
               block.Pixels.begin() + static_cast<ptrdiff_t>(count));
  return bytes;
}

std::optional<BlockClip> DecodeBlockClip(std::span<const uint8_t> bytes) {
  if (bytes.size() < kHeaderBytes || std::memcmp(bytes.data(), kMark, 4) != 0) return std::nullopt;
  BlockClip clip;
  clip.Width = bytes[4] | bytes[5] << 8;
  clip.Height = bytes[6] | bytes[7] << 8;
  const size_t count = static_cast<size_t>(clip.Width) * static_cast<size_t>(clip.Height);
  if (count == 0 || bytes.size() - kHeaderBytes < count) return std::nullopt;
  clip.Pixels.assign(bytes.begin() + kHeaderBytes,
                     bytes.begin() + static_cast<ptrdiff_t>(kHeaderBytes + count));
  return clip;
}

void PasteBlockClip(const BlockClip& clip, PixelCanvas canvas, int32_t bits) {
  if (clip.Pixels.size() < static_cast<size_t>(clip.Width) * static_cast<size_t>(clip.Height))
    return;
  const uint8_t mask = static_cast<uint8_t>((1 << std::clamp(bits, 1, 8)) - 1);
  const int32_t width = std::min(clip.Width, canvas.Width);
  const int32_t height = std::min(clip.Height, canvas.Height);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      canvas.At(x, y) = clip.Pixels[static_cast<size_t>(y) * static_cast<size_t>(clip.Width) +
                                    static_cast<size_t>(x)] &
                        mask;
}

}  // namespace varnock
