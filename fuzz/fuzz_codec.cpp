// Random requests, surfaces and buffer lengths for the tile codec and the surface helpers.
// Destination and source spans are carved out of larger buffers, so AddressSanitizer reports any
// byte touched past either end; the guards are also checked by hand.
#include <fuzzer/FuzzedDataProvider.h>
#include <algorithm>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "codec/codec_path.h"
#include "codec/codec_registry.h"
#include "codec/tile_codec.h"
#include "codec/view_compose.h"

using namespace varnock;

namespace {

constexpr size_t kGuard = 64;

// Tag 12 is a described encoding (packed 3-bit pixels, no bit left over); 13 stands for nothing.
const int kDescribedFormat = [] {
  CodecDescription d;
  d.BitsPerPixel = 3;
  d.TileBytes = 24;
  d.Order = BitOrder::LsbFirst;
  for (int p = 0; p < 3; ++p) d.Planes[p] = {p, 3, 24};
  const auto format = RegisterDescribedFormat("packed-3bpp", "packed [3BPP]", d).Format;
  if (!format) std::abort();
  return int{*format};
}();
constexpr uint8_t kGuardByte = 0xA7;

// Mostly small values near the interesting edges, sometimes anything at all.
int32_t PickInt(FuzzedDataProvider& data, int32_t low, int32_t high) {
  if (data.ConsumeIntegralInRange<int>(0, 7) == 0) return data.ConsumeIntegral<int32_t>();
  return data.ConsumeIntegralInRange<int32_t>(low, high);
}

int32_t Scaled(int32_t value, int32_t factor) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{value} * factor, INT32_MIN, INT32_MAX));
}

TileSurface PickSurface(FuzzedDataProvider& data) {
  TileSurface surface;
  if (data.ConsumeIntegralInRange<int>(0, 7) == 0) {
    surface.TileWidth = data.ConsumeIntegralInRange<int32_t>(-2, 17);
    surface.TileHeight = data.ConsumeIntegralInRange<int32_t>(-2, 17);
  }
  surface.TilesAcross = PickInt(data, -1, 6);
  surface.TilesDown = PickInt(data, -1, 6);
  RebuildSurface(surface);
  if (!surface.Pixels.empty() && surface.Pixels.size() > 4096) return TileSurface{};
  for (auto& pixel : surface.Pixels) pixel = data.ConsumeIntegral<uint8_t>();
  // Size fields changed after the rebuild must not mislead the helpers.
  if (data.ConsumeIntegralInRange<int>(0, 15) == 0) surface.TilesAcross = PickInt(data, -1, 8);
  return surface;
}

void PickDecodeRequest(FuzzedDataProvider& data, TileSurface& s) {
  s.DecodeFormat = static_cast<TileFormat>(PickInt(data, -1, kDescribedFormat + 1));
  s.DecodeTileBytes = PickInt(data, -33, 33);
  s.DecodeSkip = PickInt(data, -8, 8);
  s.DecodeColumn = PickInt(data, -3, 7);
  s.DecodeRow = PickInt(data, -3, 7);
  s.DecodeAcross = PickInt(data, -1, 8);
  s.DecodeDown = PickInt(data, -1, 8);
}

void PickEncodeRequest(FuzzedDataProvider& data, TileSurface& s) {
  s.EncodeFormat = static_cast<TileFormat>(PickInt(data, -1, kDescribedFormat + 1));
  s.EncodeTileBytes = PickInt(data, -33, 33);
  s.EncodeSkip = PickInt(data, -8, 8);
  s.EncodeColumn = PickInt(data, -3, 7);
  s.EncodeRow = PickInt(data, -3, 7);
  s.EncodeAcross = PickInt(data, -1, 8);
  s.EncodeDown = PickInt(data, -1, 8);
}

// Runs `work` once per available kernel path, table first, and aborts unless every path leaves
// `result` (a copy of the state before, taken per path) exactly as the table path did.
template <typename State, typename Work>
void OnEveryPath(State& state, Work&& work) {
  const State before = state;
  State tableResult = state;
  SelectCodecPath(CodecPath::Table);
  work(tableResult);
  for (CodecPath path : kCodecPaths) {
    if (path == CodecPath::Table || !SelectCodecPath(path)) continue;
    State result = before;
    work(result);
    if (!(result == tableResult)) {
      fprintf(stderr, "the %s path differs from the table path\n", CodecPathName(path));
      std::abort();
    }
  }
  SelectCodecPath(CodecPath::Table);
  state = tableResult;
}

void CheckGuards(const std::vector<uint8_t>& buffer, size_t length) {
  for (size_t i = 0; i < kGuard; ++i)
    if (buffer[i] != kGuardByte || buffer[kGuard + length + i] != kGuardByte) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  TileSurface first = PickSurface(data);
  TileSurface second = PickSurface(data);

  const size_t length = data.ConsumeIntegralInRange<size_t>(0, 600);
  std::vector<uint8_t> buffer(kGuard + length + kGuard, kGuardByte);
  for (size_t i = 0; i < length; ++i) buffer[kGuard + i] = data.ConsumeIntegral<uint8_t>();
  const std::vector<uint8_t> image(buffer.begin() + kGuard, buffer.begin() + kGuard + length);
  // A heap copy of exactly `length` bytes for decoding, so reading past it is an ASan report.
  std::vector<uint8_t> source(image);
  const std::vector<uint8_t> before = first.Pixels;

  PickDecodeRequest(data, first);
  std::vector<uint8_t> pixels = first.Pixels;
  OnEveryPath(pixels, [&](std::vector<uint8_t>& result) {
    first.Pixels = result;
    DecodeTiles(source, first);
    result = first.Pixels;
  });
  first.Pixels = pixels;
  if (first.Pixels.size() != before.size()) std::abort();

  PickEncodeRequest(data, first);
  OnEveryPath(buffer, [&](std::vector<uint8_t>& result) {
    EncodeTiles(first, std::span(result).subspan(kGuard, length));
    CheckGuards(result, length);
  });

  // A valid one-page request round-trips: decode then encode gives the same bytes.
  if (const int format = data.ConsumeIntegralInRange<int>(0, kDescribedFormat);
      first.TileWidth == 8 && first.TileHeight == 8 && first.PixelCount > 0 &&
      first.PixelCount == int64_t{64} * first.TilesAcross * first.TilesDown) {
    TileSurface& s = first;
    const int32_t tileBytes = LookUpTileFormat(format)->TileBytes;
    s.DecodeFormat = s.EncodeFormat = static_cast<TileFormat>(format);
    s.DecodeTileBytes = s.EncodeTileBytes = tileBytes;
    s.DecodeSkip = s.EncodeSkip = 0;
    s.DecodeColumn = s.DecodeRow = s.EncodeColumn = s.EncodeRow = 0;
    s.DecodeAcross = s.EncodeAcross = s.TilesAcross;
    s.DecodeDown = s.EncodeDown = s.TilesDown;
    DecodeTiles(source, s);
    std::vector<uint8_t> again(image.size(), 0);
    EncodeTiles(s, again);
    const size_t whole = static_cast<size_t>(tileBytes) * s.TilesAcross * s.TilesDown;
    for (size_t i = 0; i < again.size(); ++i)
      if (again[i] != (i < whole ? image[i] : 0)) {
        fprintf(stderr, "format %d across %d down %d len %zu i %zu got %d want %d\n", format,
                s.TilesAcross, s.TilesDown, image.size(), i, again[i], image[i]);
        std::abort();
      }
  }

  // Composing the surface, zoomed, into an image of any size gives the same pixels on every path.
  {
    for (auto& color : first.Colors)
      color = {data.ConsumeIntegral<uint8_t>(), data.ConsumeIntegral<uint8_t>(),
               data.ConsumeIntegral<uint8_t>(), data.ConsumeIntegral<uint8_t>()};
    const int32_t zoom = data.ConsumeIntegralInRange<int32_t>(0, 6);
    const int32_t width = data.ConsumeIntegralInRange<int32_t>(0, 64 * 6 + 9);
    const int32_t height = data.ConsumeIntegralInRange<int32_t>(0, 64 * 6 + 9);
    const int32_t stride = width + data.ConsumeIntegralInRange<int32_t>(0, 9);
    const size_t offset = data.ConsumeIntegralInRange<size_t>(0, 7);
    const ComposeGrid grid{data.ConsumeBool(), data.ConsumeIntegral<uint32_t>()};
    std::vector<uint32_t> image(offset + static_cast<size_t>(stride) * height + 1, 0x5EED5EED);
    OnEveryPath(image, [&](std::vector<uint32_t>& result) {
      ComposeSurface(first, zoom, result.data() + offset, width, height, stride, grid);
    });
    if (image.back() != 0x5EED5EED) std::abort();
  }

  for (int step = 0; step < 4 && data.remaining_bytes() > 0; ++step) {
    const int32_t a = PickInt(data, -2, 9), b = PickInt(data, -2, 9);
    const int32_t c = PickInt(data, -2, 9), d = PickInt(data, -2, 9);
    const uint8_t index = data.ConsumeIntegral<uint8_t>();
    switch (data.ConsumeIntegralInRange<int>(0, 3)) {
      case 0:
        // Scaled in 64 bits: the harness must not overflow before the code under test runs.
        PutSurfacePixel(first, Scaled(a, 3), Scaled(b, 3), index);
        break;
      case 1:
        FillSurfaceTile(first, a, b, index);
        break;
      case 2:
        CopySurfaceTile(first, a, b, second, c, d);
        break;
      default:
        CopySurfaceTile(first, a, b, first, c, d);
        break;
    }
  }
  return 0;
}
