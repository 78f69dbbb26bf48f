#include "codec/tile_codec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <utility>

#include "codec/codec_kernels.h"
#include "codec/codec_registry.h"
#include "codec/described_codec.h"
#include "codec/pixel_words.h"
#include "codec/plane_table.h"
#include "codec/surface_bounds.h"

namespace varnock {

namespace {

constexpr int kTileSide = 8;

// Request fields are trusted for nothing: offsets are computed in 64 bits and saturate, so a
// wild step lands far outside the buffer instead of wrapping back into it.
int64_t SaturatingMul(int64_t a, int64_t b) {
  int64_t result;
  if (!__builtin_mul_overflow(a, b, &result)) return result;
  return (a < 0) != (b < 0) ? std::numeric_limits<int64_t>::min()
                            : std::numeric_limits<int64_t>::max();
}

int64_t SaturatingAdd(int64_t a, int64_t b) {
  int64_t result;
  if (!__builtin_add_overflow(a, b, &result)) return result;
  return b < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
}

void StoreLittle32(uint8_t* bytes, uint64_t word) {
  auto value = static_cast<uint32_t>(word);
  if constexpr (std::endian::native == std::endian::big) value = __builtin_bswap32(value);
  std::memcpy(bytes, &value, sizeof value);
}

void StoreLittle64(uint8_t* bytes, uint64_t word) {
  if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
  std::memcpy(bytes, &word, sizeof word);
}

// SMS encoding as one bit-matrix transpose: `fields` holds in byte x the low bits of pixel x of
// two rows (the second row's at bit 4). Reversing the bytes and transposing the 8 x 8 bit matrix
// in three swap steps gives in byte n the plane byte of field bit n, pixel 0 in bit 7: bytes 0-3
// are planes 0-3 of the first row and bytes 4-7 those of the second, exactly SMS byte order.
// (Measured: for the other planar formats a multiply per plane is faster.)
uint64_t TransposeToPlanes(uint64_t fields) {
  uint64_t x = __builtin_bswap64(fields);
  uint64_t t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAu;
  x ^= t ^ (t << 7);
  t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCu;
  x ^= t ^ (t << 14);
  t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0u;
  return x ^ t ^ (t << 28);
}

constexpr uint64_t kLow4 = 0x0F0F0F0F0F0F0F0Fu;

// Planes 0-3 of two pixel rows: byte 4k + n is plane n of row k.
uint64_t PlanesOfTwoRows(const uint8_t* src, int64_t stride) {
  return TransposeToPlanes((LoadPixels(src) & kLow4) | (LoadPixels(src + stride) & kLow4) << 4);
}

// The eight pixel contributions of plane byte v to plane p, as one word (byte order irrelevant:
// words are only or-ed together and stored back as bytes).
uint64_t PlaneRow(int p, uint8_t v) {
  uint64_t row;
  std::memcpy(&row, PlaneTable[p][v].data(), sizeof row);
  return row;
}

template <int Pixels, typename Field>
constexpr std::array<std::array<uint8_t, Pixels>, 256> BuildFieldTable(Field field) {
  std::array<std::array<uint8_t, Pixels>, 256> table{};
  for (int v = 0; v < 256; ++v)
    for (int x = 0; x < Pixels; ++x) table[v][x] = static_cast<uint8_t>(field(v, x));
  return table;
}

// Four 2-bit pixels per byte: Virtual Boy puts the leftmost in bits 1-0, NGPC in bits 7-6.
constexpr auto kCrumbsLowFirst =
    BuildFieldTable<4>([](int v, int x) { return (v >> (2 * x)) & 3; });
constexpr auto kCrumbsHighFirst =
    BuildFieldTable<4>([](int v, int x) { return (v >> (6 - 2 * x)) & 3; });
// Two 4-bit pixels per byte: Genesis puts the left one in the high nibble, GBA in the low one.
constexpr auto kNibblesHighFirst =
    BuildFieldTable<2>([](int v, int x) { return x == 0 ? v >> 4 : v & 15; });
constexpr auto kNibblesLowFirst =
    BuildFieldTable<2>([](int v, int x) { return x == 0 ? v & 15 : v >> 4; });

// Decodes one whole tile of bytes b into the 8 x 8 block at dst.
template <int Format>
void DecodeTile(const uint8_t* b, uint8_t* dst, int64_t stride) {
  for (int r = 0; r < kTileSide; ++r, dst += stride) {
    if constexpr (Format == 3 || Format == 4) {
      const auto& table = Format == 3 ? kCrumbsLowFirst : kCrumbsHighFirst;
      // NGPC rows are little-endian words whose high byte holds the left pixels.
      const int left = Format == 3 ? 2 * r : 2 * r + 1;
      const int right = Format == 3 ? 2 * r + 1 : 2 * r;
      std::memcpy(dst, table[b[left]].data(), 4);
      std::memcpy(dst + 4, table[b[right]].data(), 4);
    } else if constexpr (Format == 8 || Format == 9) {
      const auto& table = Format == 8 ? kNibblesHighFirst : kNibblesLowFirst;
      for (int q = 0; q < 4; ++q) std::memcpy(dst + 2 * q, table[b[4 * r + q]].data(), 2);
    } else {
      uint64_t row;
      if constexpr (Format == 0) {
        row = PlaneRow(0, b[r]);
      } else if constexpr (Format == 1) {
        row = PlaneRow(0, b[r]) | PlaneRow(1, b[8 + r]);
      } else if constexpr (Format == 2) {
        row = PlaneRow(0, b[2 * r]) | PlaneRow(1, b[2 * r + 1]);
      } else if constexpr (Format == 5) {
        row = PlaneRow(0, b[2 * r]) | PlaneRow(1, b[2 * r + 1]) | PlaneRow(2, b[16 + r]);
      } else if constexpr (Format == 6) {
        row = PlaneRow(0, b[2 * r]) | PlaneRow(1, b[2 * r + 1]) | PlaneRow(2, b[16 + 2 * r]) |
              PlaneRow(3, b[17 + 2 * r]);
      } else if constexpr (Format == 10) {
        // Planes 4-7 are planes 0-3 moved up four bits: every byte of a plane row holds at
        // most bit 3, so the shift never crosses into the next pixel.
        row = PlaneRow(0, b[2 * r]) | PlaneRow(1, b[2 * r + 1]) | PlaneRow(2, b[16 + 2 * r]) |
              PlaneRow(3, b[17 + 2 * r]) |
              (PlaneRow(0, b[32 + 2 * r]) | PlaneRow(1, b[33 + 2 * r]) |
               PlaneRow(2, b[48 + 2 * r]) | PlaneRow(3, b[49 + 2 * r]))
                  << 4;
      } else if constexpr (Format == 11) {
        std::memcpy(&row, b + 8 * r, sizeof row);
      } else {
        static_assert(Format == 7);
        row = PlaneRow(0, b[4 * r]) | PlaneRow(1, b[4 * r + 1]) | PlaneRow(2, b[4 * r + 2]) |
              PlaneRow(3, b[4 * r + 3]);
      }
      std::memcpy(dst, &row, sizeof row);
    }
  }
}

// Encodes the 8 x 8 block at src into the format's whole tile of bytes at b.
template <int Format>
void EncodeTile(const uint8_t* src, int64_t stride, uint8_t* b) {
  if constexpr (Format == 7) {
    for (int r = 0; r < kTileSide; r += 2, src += 2 * stride)
      StoreLittle64(b + 4 * r, PlanesOfTwoRows(src, stride));
  } else if constexpr (Format == 11) {
    for (int r = 0; r < kTileSide; ++r, src += stride) std::memcpy(b + 8 * r, src, 8);
  } else {
    for (int r = 0; r < kTileSide; ++r, src += stride) {
      const uint64_t p = LoadPixels(src);
      if constexpr (Format == 0) {
        b[r] = PackPlaneWord(p, 0);
      } else if constexpr (Format == 1) {
        b[r] = PackPlaneWord(p, 0);
        b[8 + r] = PackPlaneWord(p, 1);
      } else if constexpr (Format == 2) {
        b[2 * r] = PackPlaneWord(p, 0);
        b[2 * r + 1] = PackPlaneWord(p, 1);
      } else if constexpr (Format == 5) {
        b[2 * r] = PackPlaneWord(p, 0);
        b[2 * r + 1] = PackPlaneWord(p, 1);
        b[16 + r] = PackPlaneWord(p, 2);
      } else if constexpr (Format == 6) {
        b[2 * r] = PackPlaneWord(p, 0);
        b[2 * r + 1] = PackPlaneWord(p, 1);
        b[16 + 2 * r] = PackPlaneWord(p, 2);
        b[17 + 2 * r] = PackPlaneWord(p, 3);
      } else if constexpr (Format == 10) {
        for (int n = 0; n < 8; ++n) b[16 * (n / 2) + 2 * r + n % 2] = PackPlaneWord(p, n);
      } else if constexpr (Format == 3) {
        // Per 16-bit lane pixel pairs become 4-bit fields, per 32-bit lane fields become bytes:
        // byte = p0 | p1 << 2 | p2 << 4 | p3 << 6.
        uint64_t x = p & 0x0303030303030303u;
        x = (x | x >> 6) & 0x000F000F000F000Fu;
        x = (x | x >> 12) & 0x000000FF000000FFu;
        b[2 * r] = static_cast<uint8_t>(x);
        b[2 * r + 1] = static_cast<uint8_t>(x >> 32);
      } else if constexpr (Format == 4) {
        // The same in the other order: byte = p0 << 6 | p1 << 4 | p2 << 2 | p3, and the left
        // pixels go to the high byte of the little-endian word.
        uint64_t x = p & 0x0303030303030303u;
        x = (x << 2 | x >> 8) & 0x000F000F000F000Fu;
        x = (x << 4 | x >> 16) & 0x000000FF000000FFu;
        b[2 * r + 1] = static_cast<uint8_t>(x);
        b[2 * r] = static_cast<uint8_t>(x >> 32);
      } else {
        static_assert(Format == 8 || Format == 9);
        // Pixel pairs become bytes in each 16-bit lane, then the four lanes close up.
        uint64_t x = p & 0x0F0F0F0F0F0F0F0Fu;
        if constexpr (Format == 8)
          x = (x << 4 | x >> 8) & 0x00FF00FF00FF00FFu;
        else
          x = (x | x >> 4) & 0x00FF00FF00FF00FFu;
        x = (x | x >> 8) & 0x0000FFFF0000FFFFu;
        x = (x | x >> 16) & 0xFFFFFFFFu;
        StoreLittle32(b + 4 * r, x);
      }
    }
  }
}

template <int Format>
int64_t DecodeRun(const uint8_t* bytes, uint8_t* cells, int64_t stride, int64_t count) {
  for (int64_t i = 0; i < count; ++i)
    DecodeTile<Format>(bytes + i * kTileFormats[Format].TileBytes, cells + i * kTileSide, stride);
  return count;
}

template <int Format>
int64_t EncodeRun(const uint8_t* cells, int64_t stride, uint8_t* bytes, int64_t count) {
  for (int64_t i = 0; i < count; ++i)
    EncodeTile<Format>(cells + i * kTileSide, stride, bytes + i * kTileFormats[Format].TileBytes);
  return count;
}

template <int... Formats>
constexpr CodecKernels MakeTableKernels(std::integer_sequence<int, Formats...>) {
  CodecKernels kernels;
  kernels.Decode = {DecodeRun<Formats>...};
  kernels.Encode = {EncodeRun<Formats>...};
  kernels.WidenRow = WidenRowTable;
  return kernels;
}

constexpr CodecKernels kTableKernels =
    MakeTableKernels(std::make_integer_sequence<int, kFixedTileFormatCount>{});

// The tiles of one format as the request loops see them: bytes per tile, one tile either way,
// and a run of whole tiles, one after another in the bytes, either way.
template <int Format>
struct FixedTiles {
  static constexpr int64_t kBytes = kTileFormats[Format].TileBytes;
  DecodeRunKernel DecodeKernel = nullptr;
  EncodeRunKernel EncodeKernel = nullptr;

  int64_t Bytes() const { return kBytes; }
  void Decode(const uint8_t* bytes, uint8_t* cells, int64_t stride) const {
    DecodeTile<Format>(bytes, cells, stride);
  }
  void Encode(const uint8_t* cells, int64_t stride, uint8_t* bytes) const {
    EncodeTile<Format>(cells, stride, bytes);
  }
  // The vector kernels work in groups and leave the rest to the table kernel.
  void DecodeMany(const uint8_t* bytes, uint8_t* cells, int64_t stride, int64_t count) const {
    const int64_t done = DecodeKernel(bytes, cells, stride, count);
    DecodeRun<Format>(bytes + done * kBytes, cells + done * kTileSide, stride, count - done);
  }
  void EncodeMany(const uint8_t* cells, int64_t stride, uint8_t* bytes, int64_t count) const {
    const int64_t done = EncodeKernel(cells, stride, bytes, count);
    EncodeRun<Format>(cells + done * kTileSide, stride, bytes + done * kBytes, count - done);
  }
};

struct DescribedTiles {
  const DescribedCodec& Codec;

  int64_t Bytes() const { return Codec.TileBytes(); }
  void Decode(const uint8_t* bytes, uint8_t* cells, int64_t stride) const {
    Codec.DecodeTile(bytes, cells, stride);
  }
  void Encode(const uint8_t* cells, int64_t stride, uint8_t* bytes) const {
    Codec.EncodeTile(cells, stride, bytes);
  }
  void DecodeMany(const uint8_t* bytes, uint8_t* cells, int64_t stride, int64_t count) const {
    Codec.DecodeRun(bytes, cells, stride, count);
  }
  void EncodeMany(const uint8_t* cells, int64_t stride, uint8_t* bytes, int64_t count) const {
    Codec.EncodeRun(cells, stride, bytes, count);
  }
};

// The tile cells of a request that fall inside the bitmap: columns [FirstAcross, EndAcross) and
// rows [FirstDown, EndDown) of the request, counted from its origin tile.
struct CellRange {
  int64_t FirstAcross = 0, EndAcross = 0, FirstDown = 0, EndDown = 0;
  bool Empty() const { return FirstAcross >= EndAcross || FirstDown >= EndDown; }
};

CellRange CellsInside(const SurfaceBounds& bounds, int64_t column, int64_t row, int64_t across,
                      int64_t down) {
  CellRange cells;
  cells.FirstAcross = std::max<int64_t>(0, -column);
  cells.EndAcross = std::min<int64_t>(across, bounds.Width / kTileSide - column);
  cells.FirstDown = std::max<int64_t>(0, -row);
  cells.EndDown = std::min<int64_t>(down, bounds.Height / kTileSide - row);
  return cells;
}

// The codec works on 8 x 8 cells only; any other tile size leaves the request undone.
SurfaceBounds CodecBounds(const TileSurface& surface) {
  if (surface.TileWidth != kTileSide || surface.TileHeight != kTileSide) return {};
  return BoundsOf(surface);
}

template <typename Tiles>
void DecodeRequest(std::span<const uint8_t> source, TileSurface& surface,
                   const SurfaceBounds& bounds, const Tiles& tiles) {
  const int64_t kBytes = tiles.Bytes();
  const CellRange cells = CellsInside(bounds, surface.DecodeColumn, surface.DecodeRow,
                                      surface.DecodeAcross, surface.DecodeDown);
  if (cells.Empty()) return;
  const int64_t size = static_cast<int64_t>(source.size());
  const int64_t rowStep =
      SaturatingMul(int64_t{surface.DecodeAcross} + surface.DecodeSkip, surface.DecodeTileBytes);
  const int64_t stride = bounds.Width;
  for (int64_t k = cells.FirstDown; k < cells.EndDown; ++k) {
    const int64_t rowStart = SaturatingMul(k, rowStep);
    uint8_t* line = surface.Pixels.data() + (surface.DecodeRow + k) * kTileSide * stride +
                    (surface.DecodeColumn + cells.FirstAcross) * kTileSide;
    for (int64_t j = cells.FirstAcross; j < cells.EndAcross;) {
      const int64_t offset = SaturatingAdd(rowStart, j * kBytes);
      if (offset >= 0 && offset <= size - kBytes) {
        // Every tile from here that lies wholly inside the source goes to the kernel at once.
        const int64_t run = std::min(cells.EndAcross - j, (size - offset) / kBytes);
        tiles.DecodeMany(source.data() + offset, line, stride, run);
        j += run;
        line += run * kTileSide;
        continue;
      }
      // Partly or wholly outside the source: the missing bytes read as zero.
      uint8_t tile[kMaxTileBytes] = {};
      const int64_t first = std::max<int64_t>(offset, 0);
      const int64_t end = std::min(SaturatingAdd(offset, kBytes), size);
      if (end > first) {  // an empty source may have no bytes at all, not even an address
        std::memcpy(tile + (first - offset), source.data() + first,
                    static_cast<size_t>(end - first));
      }
      tiles.Decode(tile, line, stride);
      ++j;
      line += kTileSide;
    }
  }
}

template <typename Tiles>
void EncodeRequest(const TileSurface& surface, std::span<uint8_t> destination,
                   const SurfaceBounds& bounds, const Tiles& tiles) {
  const int64_t kBytes = tiles.Bytes();
  const CellRange cells = CellsInside(bounds, surface.EncodeColumn, surface.EncodeRow,
                                      surface.EncodeAcross, surface.EncodeDown);
  if (cells.Empty()) return;
  const int64_t size = static_cast<int64_t>(destination.size());
  const int64_t tileStep = surface.EncodeTileBytes;
  const int64_t rowStep =
      SaturatingMul(int64_t{surface.EncodeAcross} + surface.EncodeSkip, tileStep);
  const int64_t stride = bounds.Width;
  // Tiles go out in request order, so where steps make them overlap the later one wins.
  for (int64_t k = cells.FirstDown; k < cells.EndDown; ++k) {
    const int64_t rowStart = SaturatingMul(k, rowStep);
    const uint8_t* line = surface.Pixels.data() + (surface.EncodeRow + k) * kTileSide * stride +
                          (surface.EncodeColumn + cells.FirstAcross) * kTileSide;
    for (int64_t j = cells.FirstAcross; j < cells.EndAcross;) {
      const int64_t offset = SaturatingAdd(rowStart, SaturatingMul(j, tileStep));
      if (offset >= 0 && offset <= size - kBytes) {
        // Tiles that follow one another without gaps or overlaps go to the kernel at once.
        const int64_t run =
            tileStep == kBytes ? std::min(cells.EndAcross - j, (size - offset) / kBytes) : 1;
        tiles.EncodeMany(line, stride, destination.data() + offset, run);
        j += run;
        line += run * kTileSide;
        continue;
      }
      ++j;
      line += kTileSide;
      const int64_t first = std::max<int64_t>(offset, 0);
      const int64_t end = std::min(SaturatingAdd(offset, kBytes), size);
      if (end <= first) continue;  // nothing of this tile lands in the destination
      // The tile is encoded over the bytes it will replace: a described format keeps the bits
      // no pixel owns, so those must be the image's own.
      uint8_t tile[kMaxTileBytes] = {};
      std::memcpy(tile + (first - offset), destination.data() + first,
                  static_cast<size_t>(end - first));
      tiles.Encode(line - kTileSide, stride, tile);
      std::memcpy(destination.data() + first, tile + (first - offset),
                  static_cast<size_t>(end - first));
    }
  }
}

template <int... Formats>
void DecodeFixed(int format, std::span<const uint8_t> source, TileSurface& surface,
                 const SurfaceBounds& bounds, const CodecKernels& kernels,
                 std::integer_sequence<int, Formats...>) {
  ((format == Formats
        ? DecodeRequest(source, surface, bounds, FixedTiles<Formats>{kernels.Decode[Formats]})
        : void()),
   ...);
}

template <int... Formats>
void EncodeFixed(int format, const TileSurface& surface, std::span<uint8_t> destination,
                 const SurfaceBounds& bounds, const CodecKernels& kernels,
                 std::integer_sequence<int, Formats...>) {
  ((format == Formats ? EncodeRequest(surface, destination, bounds,
                                      FixedTiles<Formats>{nullptr, kernels.Encode[Formats]})
                      : void()),
   ...);
}

constexpr auto kFixedFormats = std::make_integer_sequence<int, kFixedTileFormatCount>{};

}  // namespace

void DecodeTiles(std::span<const uint8_t> source, TileSurface& surface) {
  const SurfaceBounds bounds = CodecBounds(surface);
  if (bounds.Empty()) return;
  const int format = surface.DecodeFormat;
  if (IsFixedTileFormat(format))
    return DecodeFixed(format, source, surface, bounds, ActiveCodecKernels(), kFixedFormats);
  // A registered codec is never freed, not even by a reload, so it lasts the whole request.
  if (const auto codec = FindDescribedCodec(surface.DecodeFormat))
    DecodeRequest(source, surface, bounds, DescribedTiles{*codec});
}

void EncodeTiles(const TileSurface& surface, std::span<uint8_t> destination) {
  const SurfaceBounds bounds = CodecBounds(surface);
  if (bounds.Empty()) return;
  const int format = surface.EncodeFormat;
  if (IsFixedTileFormat(format))
    return EncodeFixed(format, surface, destination, bounds, ActiveCodecKernels(), kFixedFormats);
  if (const auto codec = FindDescribedCodec(surface.EncodeFormat))
    EncodeRequest(surface, destination, bounds, DescribedTiles{*codec});
}

int64_t EncodeReach(const TileSurface& surface) {
  const TileFormatRow* row = LookUpTileFormat(surface.EncodeFormat);
  if (!row || CodecBounds(surface).Empty() || surface.EncodeAcross <= 0 || surface.EncodeDown <= 0)
    return 0;
  // A tile's start is linear in its row and column, so the farthest one is at a corner.
  const int64_t tileStep = surface.EncodeTileBytes;
  const int64_t rowStep =
      SaturatingMul(int64_t{surface.EncodeAcross} + surface.EncodeSkip, tileStep);
  const int64_t lastRow = SaturatingMul(int64_t{surface.EncodeDown} - 1, rowStep);
  const int64_t lastColumn = SaturatingMul(int64_t{surface.EncodeAcross} - 1, tileStep);
  int64_t farthest = 0;
  for (int64_t start : {int64_t{0}, lastRow, lastColumn, SaturatingAdd(lastRow, lastColumn)})
    farthest = std::max(farthest, start);
  return std::max<int64_t>(SaturatingAdd(farthest, row->TileBytes), 0);
}

const CodecKernels& TableCodecKernels() {
  return kTableKernels;
}

uint8_t PackPlane(const uint8_t* pixels, int n) {
  // Indices are 8-bit: bits above 7 (and negative bit numbers) are zero.
  if (n < 0 || n > 7) return 0;
  return PackPlaneWord(LoadPixels(pixels), n);
}

}  // namespace varnock
