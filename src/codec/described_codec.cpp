#include "codec/described_codec.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "codec/pixel_words.h"
#include "codec/tile_format.h"

namespace varnock {
namespace {

constexpr int kTileSide = 8;
constexpr int kMaxTileBits = kMaxTileBytes * 8;

int64_t BitNumber(const CodecDescription& d, int32_t plane, int32_t x, int32_t row) {
  const PlaneLayout& layout = d.Planes[static_cast<size_t>(plane)];
  return int64_t{layout.FirstBit} + int64_t{x} * layout.PixelStep + int64_t{row} * layout.RowStep;
}

std::string PixelText(int32_t x, int32_t row) {
  return "pixel (" + std::to_string(x) + ", " + std::to_string(row) + ")";
}

// Who owns a bit of the tile: pixel (X, Row), plane Plane; Plane < 0 for nobody.
struct Owner {
  int8_t X = 0, Row = 0, Plane = -1;
};

}  // namespace

BitPlace PlaceOfBit(const CodecDescription& description, int32_t plane, int32_t x, int32_t row) {
  const int64_t bit = BitNumber(description, plane, x, row);
  const int64_t byte = bit >= 0 ? bit / 8 : -((-bit + 7) / 8);  // rounded down
  const auto within = static_cast<int32_t>(bit - byte * 8);
  return {byte, description.Order == BitOrder::MsbFirst ? 7 - within : within};
}

DescriptionProblem CheckDescription(const CodecDescription& d) {
  if (d.BitsPerPixel < 1 || d.BitsPerPixel > kMaxDescribedBits)
    return {"bits", "bits per pixel must be 1 to 8, not " + std::to_string(d.BitsPerPixel)};
  if (d.TileBytes < 1 || d.TileBytes > kMaxTileBytes)
    return {"bytes", "bytes per tile must be 1 to " + std::to_string(kMaxTileBytes) + ", not " +
                         std::to_string(d.TileBytes)};
  if (d.TileBytes * 8 < 64 * d.BitsPerPixel)
    return {"bytes", std::to_string(d.TileBytes) + " bytes cannot hold 64 pixels of " +
                         std::to_string(d.BitsPerPixel) + " bits; they need at least " +
                         std::to_string(8 * d.BitsPerPixel)};
  const int64_t tileBits = int64_t{d.TileBytes} * 8;
  std::array<Owner, kMaxTileBits> owners{};
  for (int32_t p = 0; p < d.BitsPerPixel; ++p) {
    const std::string key = "plane" + std::to_string(p);
    for (int32_t row = 0; row < kTileSide; ++row)
      for (int32_t x = 0; x < kTileSide; ++x) {
        const int64_t bit = BitNumber(d, p, x, row);
        if (bit < 0 || bit >= tileBits)
          return {key, "plane " + std::to_string(p) + " puts " + PixelText(x, row) + " at bit " +
                           std::to_string(bit) + ", outside the tile's bits 0 to " +
                           std::to_string(tileBits - 1)};
        Owner& owner = owners[static_cast<size_t>(bit)];
        if (owner.Plane >= 0)
          return {key, "plane " + std::to_string(p) + " of " + PixelText(x, row) + " is at bit " +
                           std::to_string(bit) + ", which already holds plane " +
                           std::to_string(owner.Plane) + " of " + PixelText(owner.X, owner.Row)};
        owner = {static_cast<int8_t>(x), static_cast<int8_t>(row), static_cast<int8_t>(p)};
      }
  }
  return {};
}

DescribedCodec::DescribedCodec(const CodecDescription& description) : description_(description) {
  rowCopy_.fill(-1);
  sound_ = CheckDescription(description_).Sound();
  if (sound_) Build();
}

void DescribedCodec::Build() {
  const CodecDescription& d = description_;
  const int bytes = d.TileBytes;
  const int bits = d.BitsPerPixel;
  // owners[8 x byte + bit], bit 0 the least significant.
  std::vector<Owner> owners(static_cast<size_t>(bytes) * 8);
  for (int p = 0; p < bits; ++p)
    for (int row = 0; row < kTileSide; ++row)
      for (int x = 0; x < kTileSide; ++x) {
        const BitPlace place = PlaceOfBit(d, p, x, row);
        owners[static_cast<size_t>(place.Byte * 8 + place.Bit)] = {
            static_cast<int8_t>(x), static_cast<int8_t>(row), static_cast<int8_t>(p)};
      }
  const auto owner = [&](int byte, int bit) -> const Owner& {
    return owners[static_cast<size_t>(byte * 8 + bit)];
  };

  // A row whose pixel x is byte first + x with plane p in bit p needs no table at all.
  for (int row = 0; row < kTileSide; ++row) {
    if (bits != 8) continue;
    const int64_t first = PlaceOfBit(d, 0, 0, row).Byte;
    bool plain = true;
    for (int x = 0; x < kTileSide && plain; ++x)
      for (int p = 0; p < 8 && plain; ++p)
        plain = PlaceOfBit(d, p, x, row) == BitPlace{first + x, p};
    if (plain) rowCopy_[static_cast<size_t>(row)] = static_cast<int16_t>(first);
  }
  const auto copied = [&](int row) { return rowCopy_[static_cast<size_t>(row)] >= 0; };

  // Decoding tables, keyed by what each of the byte's bits gives: (x, plane) or nothing.
  std::map<std::array<int8_t, 16>, uint32_t> decodeTableOf;
  for (int row = 0; row < kTileSide; ++row) {
    decodeRows_[static_cast<size_t>(row)] = static_cast<uint16_t>(decodeSteps_.size());
    if (copied(row)) continue;
    for (int byte = 0; byte < bytes; ++byte) {
      std::array<int8_t, 16> gives;
      gives.fill(-1);
      bool any = false;
      for (int bit = 0; bit < 8; ++bit) {
        const Owner& o = owner(byte, bit);
        if (o.Plane < 0 || o.Row != row) continue;
        gives[static_cast<size_t>(2 * bit)] = o.X;
        gives[static_cast<size_t>(2 * bit + 1)] = o.Plane;
        any = true;
      }
      if (!any) continue;
      auto [at, added] = decodeTableOf.try_emplace(gives, 0);
      if (added) {
        at->second = static_cast<uint32_t>(decodeTables_.size());
        for (int v = 0; v < 256; ++v) {
          uint8_t pixels[8] = {};
          for (int bit = 0; bit < 8; ++bit)
            if (gives[static_cast<size_t>(2 * bit)] >= 0 && (v >> bit & 1))
              pixels[gives[static_cast<size_t>(2 * bit)]] |=
                  static_cast<uint8_t>(1 << gives[static_cast<size_t>(2 * bit + 1)]);
          uint64_t word;
          std::memcpy(&word, pixels, sizeof word);
          decodeTables_.push_back(word);
        }
      }
      decodeSteps_.push_back({static_cast<uint16_t>(byte), at->second});
    }
  }
  decodeRows_[8] = static_cast<uint16_t>(decodeSteps_.size());
  // Every row with the same number of steps; 0 steps means every row is a plain copy, since any
  // other row has at least one.
  evenSteps_ = static_cast<int>(decodeRows_[1] - decodeRows_[0]);
  for (int row = 0; row < kTileSide; ++row)
    if (decodeRows_[static_cast<size_t>(row) + 1] - decodeRows_[static_cast<size_t>(row)] !=
        evenSteps_)
      evenSteps_ = -1;

  // Eight tile bytes at a time; the last chunk may be short.
  const int chunks = (bytes + 7) / 8;
  keptBits_.assign(static_cast<size_t>(chunks), 0);
  for (int byte = 0; byte < bytes; ++byte)
    for (int bit = 0; bit < 8; ++bit)
      if (owner(byte, bit).Plane < 0)
        keptBits_[static_cast<size_t>(byte / 8)] |= uint64_t{1} << (8 * (byte % 8) + bit);
  // keptBits_ is applied to words loaded with memcpy: build it in memory order.
  for (uint64_t& kept : keptBits_) {
    uint8_t inMemory[8];
    for (int i = 0; i < 8; ++i) inMemory[i] = static_cast<uint8_t>(kept >> (8 * i));
    std::memcpy(&kept, inMemory, sizeof kept);
  }

  // Sources each chunk takes bits from, by pixel (8 x row + x) and by plane byte (8 x row + p).
  int64_t byPixel = 0, byPlane = 0;
  for (int chunk = 0; chunk < chunks; ++chunk) {
    std::array<bool, 64> pixels{};
    std::array<bool, 64> planeBytes{};
    for (int byte = 8 * chunk; byte < std::min(bytes, 8 * chunk + 8); ++byte)
      for (int bit = 0; bit < 8; ++bit) {
        const Owner& o = owner(byte, bit);
        if (o.Plane < 0 || copied(o.Row)) continue;
        pixels[static_cast<size_t>(8 * o.Row + o.X)] = true;
        planeBytes[static_cast<size_t>(8 * o.Row + o.Plane)] = true;
      }
    byPixel += std::count(pixels.begin(), pixels.end(), true);
    byPlane += std::count(planeBytes.begin(), planeBytes.end(), true);
  }
  // Gathering a plane byte costs about one lookup; a row of pixels is one copy.
  for (int row = 0; row < kTileSide; ++row)
    if (!copied(row)) byPlane += bits;
  encodeByPlane_ = byPlane < byPixel;
  anyKept_ = std::any_of(keptBits_.begin(), keptBits_.end(), [](uint64_t k) { return k != 0; });

  // A table maps a pixel's index, or a plane byte (pixel x in bit 7 - x), to the bits it gives
  // the chunk's eight bytes; tables with the same bit assignment are shared.
  std::map<std::array<int8_t, 64>, uint32_t> encodeTableOf;
  encodeChunks_.assign(static_cast<size_t>(chunks) + 1, 0);
  for (int chunk = 0; chunk < chunks; ++chunk) {
    encodeChunks_[static_cast<size_t>(chunk)] = static_cast<uint16_t>(encodeSteps_.size());
    for (int source = 0; source < 64; ++source) {
      // For each bit of the chunk: the bit of the source value it takes, or -1.
      std::array<int8_t, 64> takes;
      takes.fill(-1);
      bool any = false;
      for (int byte = 8 * chunk; byte < std::min(bytes, 8 * chunk + 8); ++byte)
        for (int bit = 0; bit < 8; ++bit) {
          const Owner& o = owner(byte, bit);
          if (o.Plane < 0 || copied(o.Row) || 8 * o.Row != (source & ~7)) continue;
          if (encodeByPlane_ ? o.Plane != (source & 7) : o.X != (source & 7)) continue;
          takes[static_cast<size_t>(8 * (byte - 8 * chunk) + bit)] =
              encodeByPlane_ ? static_cast<int8_t>(7 - o.X) : o.Plane;
          any = true;
        }
      if (!any) continue;
      auto [at, added] = encodeTableOf.try_emplace(takes, 0);
      if (added) {
        at->second = static_cast<uint32_t>(encodeTables_.size());
        for (int v = 0; v < 256; ++v) {
          uint8_t out[8] = {};
          for (int k = 0; k < 64; ++k)
            if (takes[static_cast<size_t>(k)] >= 0 && (v >> takes[static_cast<size_t>(k)] & 1))
              out[k / 8] |= static_cast<uint8_t>(1 << (k % 8));
          uint64_t word;
          std::memcpy(&word, out, sizeof word);
          encodeTables_.push_back(word);
        }
      }
      encodeSteps_.push_back({static_cast<uint32_t>(source), at->second});
    }
  }
  encodeChunks_[static_cast<size_t>(chunks)] = static_cast<uint16_t>(encodeSteps_.size());
}

// Every row takes the same number of lookups: unrolled for that number.
template <int Steps>
void DescribedCodec::DecodeEvenRows(const uint8_t* bytes, uint8_t* cells, int64_t stride,
                                    int64_t count) const {
  const uint64_t* tables = decodeTables_.data();
  const int64_t tileBytes = description_.TileBytes;
  for (int64_t t = 0; t < count; ++t, bytes += tileBytes, cells += kTileSide) {
    const DecodeStep* step = decodeSteps_.data();
    uint8_t* line = cells;
    for (int row = 0; row < kTileSide; ++row, step += Steps, line += stride) {
      uint64_t pixels = tables[step[0].Table + bytes[step[0].Byte]];
      for (int k = 1; k < Steps; ++k) pixels |= tables[step[k].Table + bytes[step[k].Byte]];
      std::memcpy(line, &pixels, sizeof pixels);
    }
  }
}

void DescribedCodec::DecodeAnyRows(const uint8_t* bytes, uint8_t* cells, int64_t stride,
                                   int64_t count) const {
  const int64_t tileBytes = description_.TileBytes;
  for (int64_t t = 0; t < count; ++t, bytes += tileBytes, cells += kTileSide) {
    uint8_t* line = cells;
    for (int row = 0; row < kTileSide; ++row, line += stride) {
      const int16_t copy = rowCopy_[static_cast<size_t>(row)];
      if (copy >= 0) {
        std::memcpy(line, bytes + copy, 8);
        continue;
      }
      uint64_t pixels = 0;
      const DecodeStep* step = decodeSteps_.data() + decodeRows_[static_cast<size_t>(row)];
      const DecodeStep* end = decodeSteps_.data() + decodeRows_[static_cast<size_t>(row) + 1];
      for (; step != end; ++step) pixels |= decodeTables_[step->Table + bytes[step->Byte]];
      std::memcpy(line, &pixels, sizeof pixels);
    }
  }
}

void DescribedCodec::DecodeRun(const uint8_t* bytes, uint8_t* cells, int64_t stride,
                               int64_t count) const {
  switch (evenSteps_) {
    case 0:
      for (int64_t t = 0; t < count; ++t, bytes += description_.TileBytes, cells += kTileSide)
        for (int row = 0; row < kTileSide; ++row)
          std::memcpy(cells + row * stride, bytes + rowCopy_[static_cast<size_t>(row)], 8);
      return;
    case 1:
      return DecodeEvenRows<1>(bytes, cells, stride, count);
    case 2:
      return DecodeEvenRows<2>(bytes, cells, stride, count);
    case 3:
      return DecodeEvenRows<3>(bytes, cells, stride, count);
    case 4:
      return DecodeEvenRows<4>(bytes, cells, stride, count);
    case 8:
      return DecodeEvenRows<8>(bytes, cells, stride, count);
    default:
      return DecodeAnyRows(bytes, cells, stride, count);
  }
}

void DescribedCodec::EncodeRun(const uint8_t* cells, int64_t stride, uint8_t* bytes,
                               int64_t count) const {
  if (!sound_) return;
  const int32_t tileBytes = description_.TileBytes;
  const size_t chunks = keptBits_.size();
  const uint64_t* tables = encodeTables_.data();
  const uint64_t* kept = keptBits_.data();
  const EncodeStep* steps = encodeSteps_.data();
  const uint16_t* chunkSteps = encodeChunks_.data();
  const bool byPlane = encodeByPlane_;
  const bool anyKept = anyKept_;
  const int bits = description_.BitsPerPixel;
  // Whole chunks are worked on in place; a short last one in a copy with room to spare.
  const bool inPlace = tileBytes % 8 == 0;
  if (evenSteps_ == 0 && inPlace && !anyKept) {  // eight plain rows fill the whole tile
    for (int64_t t = 0; t < count; ++t, cells += kTileSide, bytes += tileBytes)
      for (int row = 0; row < kTileSide; ++row)
        std::memcpy(bytes + rowCopy_[static_cast<size_t>(row)], cells + row * stride, 8);
    return;
  }
  for (int64_t t = 0; t < count; ++t, cells += kTileSide, bytes += tileBytes) {
    uint8_t sources[64];
    for (int row = 0; row < kTileSide; ++row) {
      if (rowCopy_[static_cast<size_t>(row)] >= 0) continue;
      if (byPlane) {
        const uint64_t pixels = LoadPixels(cells + row * stride);
        for (int p = 0; p < bits; ++p) sources[8 * row + p] = PackPlaneWord(pixels, p);
      } else {
        std::memcpy(sources + 8 * row, cells + row * stride, 8);
      }
    }
    uint8_t spare[kMaxTileBytes + 8];
    uint8_t* out = bytes;
    if (!inPlace) {
      std::memcpy(spare, bytes, static_cast<size_t>(tileBytes));
      std::memset(spare + tileBytes, 0, 8);
      out = spare;
    }
    for (size_t chunk = 0; chunk < chunks; ++chunk) {
      const EncodeStep* step = steps + chunkSteps[chunk];
      const EncodeStep* end = steps + chunkSteps[chunk + 1];
      if (step == end) continue;  // bytes of plain rows, or no pixel's at all
      uint64_t word = 0;
      if (anyKept) {
        std::memcpy(&word, out + 8 * chunk, sizeof word);
        word &= kept[chunk];
      }
      for (; step != end; ++step) word |= tables[step->Table + sources[step->Source]];
      std::memcpy(out + 8 * chunk, &word, sizeof word);
    }
    if (!inPlace) std::memcpy(bytes, spare, static_cast<size_t>(tileBytes));
    for (int row = 0; row < kTileSide; ++row)
      if (const int16_t copy = rowCopy_[static_cast<size_t>(row)]; copy >= 0)
        std::memcpy(bytes + copy, cells + row * stride, 8);
  }
}

}  // namespace varnock
