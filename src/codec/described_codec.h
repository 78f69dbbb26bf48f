// Tile encodings given as data: where each bit of each pixel of an 8 x 8 tile lies. Plane p of
// pixel x in row r is bit
//
//   FirstBit[p] + x x PixelStep[p] + r x RowStep[p]
//
// of the tile, counting bits from the tile's first byte on; within a byte, bit 0 is its most
// significant bit when the order is MSB first, its least significant one when LSB first. That
// covers planar, row-interleaved, packed and reversed layouts (the built-in ones are written
// this way in data/codecs/).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace varnock {

enum class BitOrder : uint8_t { MsbFirst, LsbFirst };

struct PlaneLayout {
  int32_t FirstBit = 0;   // bit of pixel (0, 0)
  int32_t PixelStep = 0;  // bits from one pixel to the next in a row
  int32_t RowStep = 0;    // bits from one row to the next
  friend bool operator==(const PlaneLayout&, const PlaneLayout&) = default;
};

inline constexpr int32_t kMaxDescribedBits = 8;

struct CodecDescription {
  int32_t BitsPerPixel = 0;  // 1..8; planes 0..BitsPerPixel-1 are used
  int32_t TileBytes = 0;     // 1..kMaxTileBytes
  BitOrder Order = BitOrder::MsbFirst;
  std::array<PlaneLayout, kMaxDescribedBits> Planes{};
  friend bool operator==(const CodecDescription&, const CodecDescription&) = default;
};

// Byte of the tile and bit of that byte (0 = least significant) holding plane `plane` of pixel
// (x, row); `Byte` is negative or past the tile when the description puts it outside.
struct BitPlace {
  int64_t Byte = 0;
  int32_t Bit = 0;
  friend bool operator==(const BitPlace&, const BitPlace&) = default;
};
BitPlace PlaceOfBit(const CodecDescription& description, int32_t plane, int32_t x, int32_t row);

// What makes a description unusable, naming the key at fault ("bits", "bytes", "plane3") so a
// file reader can point at its line. Empty Key and Reason: the description is sound.
struct DescriptionProblem {
  std::string Key;
  std::string Reason;
  bool Sound() const { return Reason.empty(); }
};
// Bits per pixel 1..8, bytes per tile 1..kMaxTileBytes and large enough for 64 pixels, every
// bit inside the tile, and no bit owned by two pixels or planes.
DescriptionProblem CheckDescription(const CodecDescription& description);

// A sound description turned into lookup tables, built once per description.
//
// Decoding: each tile byte adds to the 8-pixel rows it has bits in, through one 256-entry table
// of 8-pixel contributions per (byte, row) pair; pairs with the same bit assignment share a table.
// Rows that are eight whole bytes in pixel order are copied.
// Encoding: eight tile bytes at a time are gathered either from the pixels they have bits of
// (a 256-entry table of 8-byte contributions per pixel) or from the plane bytes of the rows they
// have bits of, whichever takes fewer lookups for the layout. Bits of the tile that no pixel
// owns keep their value.
class DescribedCodec {
 public:
  // The description must be sound (CheckDescription); an unsound one gives a codec that
  // decodes every tile as index 0 and writes nothing.
  explicit DescribedCodec(const CodecDescription& description);

  const CodecDescription& Description() const { return description_; }
  int32_t TileBytes() const { return description_.TileBytes; }
  int32_t BitsPerPixel() const { return description_.BitsPerPixel; }

  // One tile of TileBytes() bytes to the 8 x 8 block at `cells` (row stride `stride`), and back.
  void DecodeTile(const uint8_t* bytes, uint8_t* cells, int64_t stride) const {
    DecodeRun(bytes, cells, stride, 1);
  }
  void EncodeTile(const uint8_t* cells, int64_t stride, uint8_t* bytes) const {
    EncodeRun(cells, stride, bytes, 1);
  }
  // `count` tiles one after another in the bytes, side by side in the cells.
  void DecodeRun(const uint8_t* bytes, uint8_t* cells, int64_t stride, int64_t count) const;
  void EncodeRun(const uint8_t* cells, int64_t stride, uint8_t* bytes, int64_t count) const;

 private:
  struct DecodeStep {
    uint16_t Byte;   // tile byte read
    uint32_t Table;  // first entry of its table in decodeTables_
  };
  struct EncodeStep {
    uint32_t Source;  // pixel (8 x row + x) or plane byte (8 x row + plane) read
    uint32_t Table;   // first entry of its table in encodeTables_
  };
  void Build();
  template <int Steps>
  void DecodeEvenRows(const uint8_t* bytes, uint8_t* cells, int64_t stride, int64_t count) const;
  void DecodeAnyRows(const uint8_t* bytes, uint8_t* cells, int64_t stride, int64_t count) const;

  CodecDescription description_;
  bool sound_ = false;
  std::array<int16_t, 8> rowCopy_{};      // first byte of a row stored as plain bytes, or -1
  std::array<uint16_t, 9> decodeRows_{};  // steps of row r: [decodeRows_[r], decodeRows_[r + 1])
  int evenSteps_ = -1;  // steps of every row when all have as many, 0 when all are plain copies
  std::vector<DecodeStep> decodeSteps_;
  std::vector<uint64_t> decodeTables_;
  bool encodeByPlane_ = false;
  // The tile is encoded eight bytes at a time: chunk c is bytes 8c..8c+7, its steps
  // [encodeChunks_[c], encodeChunks_[c + 1]), and the bits no pixel owns keptBits_[c].
  std::vector<EncodeStep> encodeSteps_;
  std::vector<uint16_t> encodeChunks_;
  std::vector<uint64_t> encodeTables_;
  std::vector<uint64_t> keptBits_;
  bool anyKept_ = false;
};

}  // namespace varnock
