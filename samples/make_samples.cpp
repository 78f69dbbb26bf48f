// Writes the sample ROM images: small, original files, one per console, whose first page shows
// the same test card in every format. Nothing in them comes from a real game.
//
//   make_samples FOLDER
//
// At the offset where the editor's view opens (the format's scroll minimum) each image holds:
//   tiles 0 .. n-1      solid tiles of index 0 .. n-1 (n = 2^bits: 4 or 16 colours)
//   next 36 tiles       the font below, '0'-'9' then 'A'-'Z', index 1 on 0
//   then                stripes, bands, diagonals, checkers and a ramp, using every index
// After the card come recoloured and mirrored copies of it, then code-like filler bytes. A
// second GBA image also holds its tiles as compressed streams.
// Every file is loaded back with RomDocument and checked before the program reports success.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "codec/tile_codec.h"
#include "codec/tile_format.h"
#include "codec/tile_surface.h"
#include "compression/compression.h"
#include "document/rom_document.h"

namespace {

using varnock::TileFormat;
using varnock::TileSurface;

// 8 x 8 font, one byte per row, leftmost pixel in bit 7; drawn for this program.
constexpr uint8_t kFont[36][8] = {
    // 0                                     1
    {0b00111100, 0b01100110, 0b01101110, 0b01110110, 0b01100110, 0b01100110, 0b00111100, 0},
    {0b00011000, 0b00111000, 0b00011000, 0b00011000, 0b00011000, 0b00011000, 0b01111110, 0},
    // 2                                     3
    {0b00111100, 0b01100110, 0b00000110, 0b00001100, 0b00110000, 0b01100000, 0b01111110, 0},
    {0b00111100, 0b01100110, 0b00000110, 0b00011100, 0b00000110, 0b01100110, 0b00111100, 0},
    // 4                                     5
    {0b00001100, 0b00011100, 0b00101100, 0b01001100, 0b01111110, 0b00001100, 0b00001100, 0},
    {0b01111110, 0b01100000, 0b01111100, 0b00000110, 0b00000110, 0b01100110, 0b00111100, 0},
    // 6                                     7
    {0b00011100, 0b00110000, 0b01100000, 0b01111100, 0b01100110, 0b01100110, 0b00111100, 0},
    {0b01111110, 0b00000110, 0b00001100, 0b00011000, 0b00110000, 0b00110000, 0b00110000, 0},
    // 8                                     9
    {0b00111100, 0b01100110, 0b01100110, 0b00111100, 0b01100110, 0b01100110, 0b00111100, 0},
    {0b00111100, 0b01100110, 0b01100110, 0b00111110, 0b00000110, 0b00001100, 0b00111000, 0},
    // A                                     B
    {0b00011000, 0b00111100, 0b01100110, 0b01100110, 0b01111110, 0b01100110, 0b01100110, 0},
    {0b01111100, 0b01100110, 0b01100110, 0b01111100, 0b01100110, 0b01100110, 0b01111100, 0},
    // C                                     D
    {0b00111100, 0b01100110, 0b01100000, 0b01100000, 0b01100000, 0b01100110, 0b00111100, 0},
    {0b01111000, 0b01101100, 0b01100110, 0b01100110, 0b01100110, 0b01101100, 0b01111000, 0},
    // E                                     F
    {0b01111110, 0b01100000, 0b01100000, 0b01111100, 0b01100000, 0b01100000, 0b01111110, 0},
    {0b01111110, 0b01100000, 0b01100000, 0b01111100, 0b01100000, 0b01100000, 0b01100000, 0},
    // G                                     H
    {0b00111100, 0b01100110, 0b01100000, 0b01101110, 0b01100110, 0b01100110, 0b00111110, 0},
    {0b01100110, 0b01100110, 0b01100110, 0b01111110, 0b01100110, 0b01100110, 0b01100110, 0},
    // I                                     J
    {0b00111100, 0b00011000, 0b00011000, 0b00011000, 0b00011000, 0b00011000, 0b00111100, 0},
    {0b00011110, 0b00001100, 0b00001100, 0b00001100, 0b00001100, 0b01101100, 0b00111000, 0},
    // K                                     L
    {0b01100110, 0b01101100, 0b01111000, 0b01110000, 0b01111000, 0b01101100, 0b01100110, 0},
    {0b01100000, 0b01100000, 0b01100000, 0b01100000, 0b01100000, 0b01100000, 0b01111110, 0},
    // M                                     N
    {0b01100011, 0b01110111, 0b01111111, 0b01101011, 0b01100011, 0b01100011, 0b01100011, 0},
    {0b01100110, 0b01110110, 0b01111110, 0b01111110, 0b01101110, 0b01100110, 0b01100110, 0},
    // O                                     P
    {0b00111100, 0b01100110, 0b01100110, 0b01100110, 0b01100110, 0b01100110, 0b00111100, 0},
    {0b01111100, 0b01100110, 0b01100110, 0b01111100, 0b01100000, 0b01100000, 0b01100000, 0},
    // Q                                     R
    {0b00111100, 0b01100110, 0b01100110, 0b01100110, 0b01101010, 0b01101100, 0b00110110, 0},
    {0b01111100, 0b01100110, 0b01100110, 0b01111100, 0b01111000, 0b01101100, 0b01100110, 0},
    // S                                     T
    {0b00111100, 0b01100110, 0b01100000, 0b00111100, 0b00000110, 0b01100110, 0b00111100, 0},
    {0b01111110, 0b00011000, 0b00011000, 0b00011000, 0b00011000, 0b00011000, 0b00011000, 0},
    // U                                     V
    {0b01100110, 0b01100110, 0b01100110, 0b01100110, 0b01100110, 0b01100110, 0b00111100, 0},
    {0b01100110, 0b01100110, 0b01100110, 0b01100110, 0b01100110, 0b00111100, 0b00011000, 0},
    // W                                     X
    {0b01100011, 0b01100011, 0b01100011, 0b01101011, 0b01111111, 0b01110111, 0b01100011, 0},
    {0b01100110, 0b01100110, 0b00111100, 0b00011000, 0b00111100, 0b01100110, 0b01100110, 0},
    // Y                                     Z
    {0b01100110, 0b01100110, 0b01100110, 0b00111100, 0b00011000, 0b00011000, 0b00011000, 0},
    {0b01111110, 0b00000110, 0b00001100, 0b00011000, 0b00110000, 0b01100000, 0b01111110, 0},
};

constexpr int kGlyphs = 36;

// Picture tiles: index(x, y) for one tile, given the colour count n.
using TilePattern = std::function<int(int x, int y)>;

std::vector<TilePattern> PatternTiles(int n) {
  std::vector<TilePattern> tiles;
  // 16 colours need two tiles of eight stripes to show every index
  for (int s = 0; s < (n + 7) / 8; ++s) {
    tiles.push_back([n, s](int x, int) { return (x + 8 * s) % n; });  // vertical stripes
    tiles.push_back([n, s](int, int y) { return (y + 8 * s) % n; });  // horizontal bands
  }
  tiles.push_back([n](int x, int y) { return (x + y) % n; });      // diagonal
  tiles.push_back([n](int x, int y) { return (x + 8 - y) % n; });  // other diagonal
  for (int c = 0; c < n; c += 2)                                   // checkers c / c+1
    tiles.push_back([c](int x, int y) { return ((x + y) & 1) ? c + 1 : c; });
  tiles.push_back([n](int x, int y) { return (x + y) * (n - 1) / 14; });  // ramp 0 .. n-1
  return tiles;
}

struct TileSet {
  TileSurface surface;
  int count = 0;
};

// One row of tiles: a colour `shift` and a left-right `mirror` make the variations.
TileSet BuildTestCard(int bits, int shift, bool mirror) {
  const int n = 1 << bits;
  const std::vector<TilePattern> patterns = PatternTiles(n);
  TileSet set;
  set.count = n + kGlyphs + static_cast<int>(patterns.size());
  set.surface.TilesAcross = set.count;
  set.surface.TilesDown = 1;
  varnock::RebuildSurface(set.surface);
  auto put = [&](int tile, int x, int y, int index) {
    const int px = mirror ? 7 - x : x;
    varnock::PutSurfacePixel(set.surface, tile * 8 + px, y,
                             static_cast<uint8_t>((index + shift) % n));
  };
  int tile = 0;
  for (int k = 0; k < n; ++k, ++tile)
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) put(tile, x, y, k);
  for (int g = 0; g < kGlyphs; ++g, ++tile)
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) put(tile, x, y, (kFont[g][y] >> (7 - x)) & 1);
  for (const TilePattern& pattern : patterns) {
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) put(tile, x, y, pattern(x, y));
    ++tile;
  }
  return set;
}

// Encodes the set's tiles in `format` into `destination`, clipped at its end; returns the
// bytes the whole set takes.
size_t EncodeSet(const TileSet& set, TileFormat format, std::span<uint8_t> destination) {
  TileSurface surface = set.surface;
  const varnock::TileFormatRow& row = varnock::TileFormatInfo(format);
  surface.EncodeFormat = format;
  surface.EncodeTileBytes = row.TileBytes;
  surface.EncodeBits = row.BitsPerPixel;
  surface.EncodeAcross = set.count;
  surface.EncodeDown = 1;
  varnock::EncodeTiles(surface, destination);
  return static_cast<size_t>(set.count) * row.TileBytes;
}

// The test card at `start`, then variations of it up to `graphicsEnd`.
void WriteGraphics(std::vector<uint8_t>& image, TileFormat format, size_t start,
                   size_t graphicsEnd) {
  const int bits = varnock::TileFormatInfo(format).BitsPerPixel;
  const std::span<uint8_t> area(image.data() + start, graphicsEnd - start);
  size_t at = EncodeSet(BuildTestCard(bits, 0, false), format, area);
  for (int variation = 1; at < area.size(); ++variation) {
    const TileSet set = BuildTestCard(bits, variation % (1 << bits), variation % 2 == 1);
    at += EncodeSet(set, format, area.subspan(at));
  }
}

// Bytes that look like program code and tables: runs of zeros, small opcode-like values and
// ascending pointers, from a fixed generator so every run writes the same files.
void WriteFiller(std::vector<uint8_t>& image, size_t from, size_t to, uint32_t seed) {
  uint32_t state = seed;
  auto next = [&state] {
    state = state * 1103515245u + 12345u;
    return static_cast<uint8_t>(state >> 16);
  };
  for (size_t i = from; i < to && i < image.size();) {
    const uint8_t kind = next() % 4;
    const size_t run = 8 + next() % 40;
    for (size_t k = 0; k < run && i < to && i < image.size(); ++k, ++i) {
      if (kind == 0)
        image[i] = 0;
      else if (kind == 1)
        image[i] = static_cast<uint8_t>((i / 2) & 0xFF);
      else
        image[i] = next();
    }
  }
}

void PutText(std::vector<uint8_t>& image, size_t at, const char* text, size_t width, char pad) {
  const size_t length = std::strlen(text);
  for (size_t i = 0; i < width; ++i)
    image[at + i] = static_cast<uint8_t>(i < length ? text[i] : pad);
}

void PutBytes(std::vector<uint8_t>& image, size_t at, std::initializer_list<uint8_t> bytes) {
  for (const uint8_t byte : bytes) image[at++] = byte;
}

struct Sample {
  const char* file;
  TileFormat format;
  size_t size;
  size_t cardOffset;  // where the view opens
  size_t scrollMinimum;
  std::vector<uint8_t> (*build)();
  bool (*holdsMore)(const std::vector<uint8_t>&) = nullptr;  // what else it promises
};

std::vector<uint8_t> NesImage() {
  // 16-byte header, one 16 KB program bank, one 8 KB character bank. The view opens at the
  // character bank, 16 + 16384 x (header byte 4), where the card is.
  std::vector<uint8_t> image(16 + 16384 + 8192, 0);
  PutBytes(image, 0, {0x4E, 0x45, 0x53, 0x1A, 1, 1, 0, 0});
  PutBytes(image, 16, {0x78, 0xD8, 0xA2, 0xFF, 0x9A, 0x4C, 0x05, 0xC0});  // sei cld; sp=ff; loop
  WriteFiller(image, 16 + 8, 16 + 2048, 11);
  // vectors at the end of the bank: NMI, reset and IRQ all point at the start of the bank
  PutBytes(image, 16 + 0x3FFA, {0x00, 0xC0, 0x00, 0xC0, 0x00, 0xC0});
  WriteGraphics(image, 1, 16 + 16384, image.size());
  return image;
}

std::vector<uint8_t> SnesImage() {
  // 512-byte copier header, then a 32 KB LoROM body with its internal header at 0x7FC0.
  std::vector<uint8_t> image(512 + 32768, 0);
  image[0] = 4;  // size in 8 KB units
  WriteGraphics(image, 6, 512, 512 + 16384);
  WriteFiller(image, 512 + 16384, 512 + 0x7FC0, 21);
  const size_t h = 512 + 0x7FC0;
  PutText(image, h, "VARNOCK SAMPLE", 21, ' ');
  PutBytes(image, h + 21, {0x20, 0x00, 0x05, 0x00, 0x01, 0x00, 0x00});  // LoROM, 32 KB
  PutBytes(image, h + 0x1C, {0xFF, 0xFF, 0x00, 0x00});
  PutBytes(image, 512 + 0x7FFC, {0x00, 0x80});  // reset vector
  uint16_t sum = 0;
  for (size_t i = 512; i < image.size(); ++i) sum = static_cast<uint16_t>(sum + image[i]);
  const uint16_t complement = static_cast<uint16_t>(sum ^ 0xFFFF);
  PutBytes(image, h + 0x1C,
           {static_cast<uint8_t>(complement), static_cast<uint8_t>(complement >> 8),
            static_cast<uint8_t>(sum), static_cast<uint8_t>(sum >> 8)});
  return image;
}

std::vector<uint8_t> GameBoyImage() {
  std::vector<uint8_t> image(32768, 0);
  PutBytes(image, 0x100, {0x00, 0xC3, 0x50, 0x01});  // nop; jp 0x150
  // 0x104..0x133 is left empty: no boot logo is copied into a sample
  PutText(image, 0x134, "VARNOCK SAMPLE", 15, '\0');
  PutBytes(image, 0x143, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00});
  uint8_t header = 0;
  for (size_t i = 0x134; i <= 0x14C; ++i) header = static_cast<uint8_t>(header - image[i] - 1);
  image[0x14D] = header;
  WriteGraphics(image, 2, 0x150, 0x150 + 12288);
  WriteFiller(image, 0x150 + 12288, image.size(), 31);
  varnock::RomDocument::FixGameBoyChecksum(image);
  return image;
}

std::vector<uint8_t> VirtualBoyImage() {
  std::vector<uint8_t> image(16384, 0);
  WriteGraphics(image, 3, 0, 8192);
  WriteFiller(image, 8192, image.size() - 0x220, 41);
  const size_t h = image.size() - 0x220;
  PutText(image, h, "VARNOCK SAMPLE", 20, ' ');
  PutText(image, h + 0x19, "VKVSMP", 6, ' ');
  PutBytes(image, image.size() - 16, {0x00, 0xA8, 0x00, 0x00});  // reset: a jump back
  return image;
}

std::vector<uint8_t> SmsImage() {
  std::vector<uint8_t> image(32768, 0);
  WriteGraphics(image, 7, 0, 16384);
  WriteFiller(image, 16384, 0x7FF0, 51);
  PutText(image, 0x7FF0, "TMR SEGA", 8, ' ');
  uint16_t sum = 0;
  for (size_t i = 0; i < 0x7FF0; ++i) sum = static_cast<uint16_t>(sum + image[i]);
  PutBytes(image, 0x7FFA,
           {static_cast<uint8_t>(sum), static_cast<uint8_t>(sum >> 8), 0x26, 0x70, 0x00,
            0x4C});  // product, version, export 32 KB
  return image;
}

std::vector<uint8_t> GenesisImage() {
  // 512-byte copier header: block count, then the 0xAA 0xBB marker and the type byte.
  std::vector<uint8_t> image(512 + 32768, 0);
  PutBytes(image, 0, {2, 3});
  PutBytes(image, 8, {0xAA, 0xBB, 0x06});
  WriteGraphics(image, 8, 512, 512 + 16384);
  WriteFiller(image, 512 + 16384, image.size(), 61);
  return image;
}

std::vector<uint8_t> NgpImage() {
  std::vector<uint8_t> image(16384, 0);
  WriteGraphics(image, 4, 0, 8192);
  WriteFiller(image, 8192, image.size(), 71);
  return image;
}

void PutGbaHeader(std::vector<uint8_t>& image, const char* title, const char* code) {
  PutBytes(image, 0, {0x2E, 0x00, 0x00, 0xEA});  // b 0xC0
  // 0x04..0x9F is left empty: no boot logo is copied into a sample
  PutText(image, 0xA0, title, 12, '\0');
  PutText(image, 0xAC, code, 4, ' ');
  PutText(image, 0xB0, "00", 2, ' ');
  image[0xB2] = 0x96;
}

std::vector<uint8_t> GbaImage() {
  std::vector<uint8_t> image(32768, 0);
  PutGbaHeader(image, "VARNOCKSMPL", "VRKS");
  WriteGraphics(image, 9, 0xC0, 0xC0 + 16384);
  WriteFiller(image, 0xC0 + 16384, image.size(), 81);
  varnock::RomDocument::FixGbaChecksum(image);
  return image;
}

// The compressed GBA sample keeps 8 KB of the card twice: as tiles at 0xC0 for the view, and
// from 0x2100 as one stream of each GBA system format, 4-byte aligned with a gap of at least
// 16 filler bytes between them, as a game keeps its graphics.
constexpr size_t kStreamTilesStart = 0xC0;
constexpr size_t kStreamTilesBytes = 8192;
constexpr size_t kFirstStream = 0x2100;
constexpr varnock::CompressionFormat kSampleStreams[] = {
    varnock::CompressionFormat::Lz10, varnock::CompressionFormat::Lz11,
    varnock::CompressionFormat::Rle30, varnock::CompressionFormat::Huffman};

std::span<const uint8_t> StreamTiles(const std::vector<uint8_t>& image) {
  return {image.data() + kStreamTilesStart, kStreamTilesBytes};
}

std::vector<uint8_t> CompressedGbaImage() {
  std::vector<uint8_t> image(32768, 0);
  PutGbaHeader(image, "VARNOCKLZ", "VRKZ");
  WriteGraphics(image, 9, kStreamTilesStart, kStreamTilesStart + kStreamTilesBytes);
  WriteFiller(image, kStreamTilesStart + kStreamTilesBytes, kFirstStream, 91);
  size_t at = kFirstStream;
  for (const varnock::CompressionFormat format : kSampleStreams) {
    const std::vector<uint8_t> stream = varnock::Compress(format, StreamTiles(image)).value();
    std::copy(stream.begin(), stream.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
    std::printf("  %s stream at 0x%04zX, %zu bytes\n", varnock::CompressionInfo(format).ShortName,
                at, stream.size());
    const size_t next = (at + stream.size() + 16 + 3) & ~size_t{3};
    WriteFiller(image, at + stream.size(), next, 101);
    at = next;
  }
  WriteFiller(image, at, image.size(), 111);
  varnock::RomDocument::FixGbaChecksum(image);
  return image;
}

// Every stream of the compressed sample decodes to the tiles the view shows.
bool StreamsHoldTheCard(const std::vector<uint8_t>& image) {
  size_t at = kFirstStream;
  for (const varnock::CompressionFormat format : kSampleStreams) {
    const varnock::DecompressResult stream =
        varnock::Decompress(format, std::span(image).subspan(at));
    const std::span<const uint8_t> tiles = StreamTiles(image);
    if (!stream.ok() ||
        !std::equal(stream.Bytes.begin(), stream.Bytes.end(), tiles.begin(), tiles.end()))
      return false;
    at = (at + stream.Consumed + 16 + 3) & ~size_t{3};
  }
  return true;
}

// Loads the written file as the editor would and checks what the samples promise.
bool Verify(const std::string& path, const Sample& sample) {
  varnock::RomDocument doc;
  if (doc.LoadRom(path) != varnock::kLoadLoaded) return false;
  if (doc.Format != sample.format || doc.RomSize != static_cast<int32_t>(sample.size)) return false;
  if (doc.ScrollMinimum != static_cast<int32_t>(sample.scrollMinimum) ||
      doc.ViewOffset != static_cast<int32_t>(sample.cardOffset))
    return false;
  doc.DecodePage();
  const int n = 1 << doc.BitsPerPixel;
  const TileSurface& page = doc.ViewSurface;
  for (int k = 0; k < n; ++k) {
    const int column = k % doc.Columns;
    const int row = k / doc.Columns;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        if (page.Pixels[static_cast<size_t>(row * 8 + y) * page.Width() + column * 8 + x] != k)
          return false;
  }
  // the checksum rules find nothing to change
  std::vector<uint8_t> bytes(doc.RomData, doc.RomData + doc.RomSize);
  std::vector<uint8_t> fixed = bytes;
  if (doc.RomExt == ".GB") varnock::RomDocument::FixGameBoyChecksum(fixed);
  if (doc.RomExt == ".GBA") varnock::RomDocument::FixGbaChecksum(fixed);
  return fixed == bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  const Sample samples[] = {
      {"sample.nes", 1, 16 + 16384 + 8192, 16 + 16384, 16, NesImage},
      {"sample.smc", 6, 512 + 32768, 512, 512, SnesImage},
      {"sample.gb", 2, 32768, 0x150, 0x150, GameBoyImage},
      {"sample.vb", 3, 16384, 0, 0, VirtualBoyImage},
      {"sample.sms", 7, 32768, 0, 0, SmsImage},
      {"sample.smd", 8, 512 + 32768, 512, 512, GenesisImage},
      {"sample.ngp", 4, 16384, 0, 0, NgpImage},
      {"sample.gba", 9, 32768, 0xC0, 0xC0, GbaImage},
      {"sample-compressed.gba", 9, 32768, 0xC0, 0xC0, CompressedGbaImage, StreamsHoldTheCard},
  };
  int failures = 0;
  for (const Sample& sample : samples) {
    const std::vector<uint8_t> image = sample.build();
    const std::string path = folder + "/" + sample.file;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(image.data()),
              static_cast<std::streamsize>(image.size()));
    out.close();
    const bool ok = out && image.size() == sample.size && Verify(path, sample) &&
                    (!sample.holdsMore || sample.holdsMore(image));
    std::printf("%-21s %6zu bytes, view opens at 0x%04zX: %s\n", sample.file, image.size(),
                sample.cardOffset, ok ? "ok" : "FAILED");
    if (!ok) ++failures;
  }
  return failures == 0 ? 0 : 1;
}
