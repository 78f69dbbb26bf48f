// The tile search: planted tiles are found exactly where they were put and nowhere else in
// random bytes, matches gather into places by their own rules, and the sources give the tiles
// a user means.
#include "search/tile_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "codec/codec_file.h"
#include "codec/tile_codec.h"
#include "compression/compression.h"
#include "compression/scan_presets.h"
#include "compression/stream_scan.h"
#include "support/sega_reference.h"
#include "support/test_files.h"

namespace varnock {
namespace {

using Bytes = std::vector<uint8_t>;
using O = TileOrientation;

std::vector<TileFormat> FixedFormats() {
  std::vector<TileFormat> formats;
  for (int f = 0; f < kFixedTileFormatCount; ++f) formats.push_back(static_cast<TileFormat>(f));
  return formats;
}

// A tile using every one of `colours` values (so it is no tile of a shallower format).
TileValues RandomTile(uint32_t seed, int colours) {
  const Bytes noise = test::PatternBytes(64, seed);
  TileValues tile;
  for (size_t i = 0; i < tile.size(); ++i)
    tile[i] = static_cast<uint8_t>(i < static_cast<size_t>(colours) ? i : noise[i] % colours);
  std::rotate(tile.begin(), tile.begin() + noise[0] % 64, tile.end());
  return tile;
}

// Mirrored left to right and/or upside down, as a game's flip bits show it.
TileValues Flipped(const TileValues& tile, O orientation) {
  const bool across = orientation == O::Horizontal || orientation == O::Both;
  const bool down = orientation == O::Vertical || orientation == O::Both;
  TileValues out;
  for (size_t y = 0; y < 8; ++y)
    for (size_t x = 0; x < 8; ++x)
      out[8 * y + x] = tile[8 * (down ? 7 - y : y) + (across ? 7 - x : x)];
  return out;
}

Bytes Encoded(const TileValues& tile, TileFormat format) {
  TileSurface surface;
  SetUpTileSurface(surface, 1, 1);
  std::copy(tile.begin(), tile.end(), surface.Pixels.begin());
  surface.EncodeFormat = format;
  surface.EncodeTileBytes = TileFormatInfo(format).TileBytes;
  Bytes bytes(static_cast<size_t>(surface.EncodeTileBytes));
  EncodeTiles(surface, bytes);
  return bytes;
}

void Put(Bytes& image, size_t at, const Bytes& bytes) {
  std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<ptrdiff_t>(at));
}

SearchedTiles Exact(const std::vector<TileValues>& tiles) {
  SearchedTilesBuilder builder(false);
  for (const TileValues& tile : tiles) builder.Add(tile);
  return builder.Take();
}

// What a user reads of a place: where, in which format, in which stream, which tile first.
struct Seen {
  TileFormat Format;
  size_t Offset;
  std::optional<size_t> StreamOffset;
  uint32_t FirstTile;
  O FirstOrientation;
  friend bool operator==(const Seen&, const Seen&) = default;
};

std::string Describe(const Seen& s) {
  return "format " + std::to_string(s.Format) + " at " + std::to_string(s.Offset) +
         (s.StreamOffset ? " in stream " + std::to_string(*s.StreamOffset) : "") + " tile " +
         std::to_string(s.FirstTile) + " o" + std::to_string(static_cast<int>(s.FirstOrientation));
}

std::vector<std::string> SeenPlaces(const TileSearchResult& result) {
  std::vector<std::string> seen;
  for (const TilePlace& p : result.Places) {
    std::optional<size_t> stream;
    if (p.Stream) stream = result.Streams[*p.Stream].Find.Offset;
    seen.push_back(Describe({p.Format, p.Offset, stream, p.FirstTile, p.FirstOrientation}));
  }
  return seen;
}

struct PlantCase {
  const char* name;
  TileFormat format;
  size_t offset;  // in the image, or in the stream's decompressed bytes
  O stored = O::Straight;
  bool otherPalette = false;  // searched as a picture drawn in other colours
  std::optional<CompressionFormat> stream;
  const char* extension = ".BIN";
  // A format whose tiles are this one's mirrored (the 2-bit packed ones): the tile is there too.
  std::optional<TileFormat> mirror = {};
};

class PlantedTileTest : public ::testing::TestWithParam<PlantCase> {};

TEST_P(PlantedTileTest, IsFoundWhereItWasPlantedAndNowhereElse) {
  const PlantCase& c = GetParam();
  const int colours = 1 << TileFormatInfo(c.format).BitsPerPixel;
  const std::vector<TileValues> searched = {RandomTile(11, std::min(colours, 64)),
                                            RandomTile(12, std::min(colours, 64))};
  TileValues stored = Flipped(searched[0], c.stored);
  if (c.otherPalette)
    for (uint8_t& v : stored) v = static_cast<uint8_t>((v + 5) % colours);
  const Bytes tileBytes = Encoded(stored, c.format);

  Bytes image = test::PatternBytes(0x10000, 3);
  std::vector<std::string> expected;
  if (c.stream) {
    // Tiles the scan lists (not one short pattern over and over, which it hides); the tile
    // among them.
    Bytes data = test::TileLikeBytes(0x800, 1);
    Put(data, c.offset, tileBytes);
    const Bytes packed = *Compress(*c.stream, data);
    Put(image, 0, packed);
    // Found in every listed stream that reads the tile there: the scan lists each format that
    // reads these bytes, and one may read them alike as far as the tile (LZ3 for LC_LZ2).
    std::vector<Bytes> read;
    for (const StreamFind& find : ScanForStreams(image, ScanFormatsForExtension(c.extension))) {
      const DecompressResult stream =
          Decompress(find.Format, std::span(image).subspan(find.Offset));
      if (find.Offset != 0 || !IsFindShown(find) || !stream.ok() ||
          std::find(read.begin(), read.end(), stream.Bytes) != read.end())
        continue;
      read.push_back(stream.Bytes);
      if (stream.Bytes.size() >= c.offset + tileBytes.size() &&
          std::equal(tileBytes.begin(), tileBytes.end(),
                     stream.Bytes.begin() + static_cast<ptrdiff_t>(c.offset)))
        expected.push_back(Describe({c.format, c.offset, 0, 0, c.stored}));
    }
    ASSERT_FALSE(expected.empty());
    // A compression that keeps the tile's bytes as they are leaves them in the image too.
    const auto raw = std::search(packed.begin(), packed.end(), tileBytes.begin(), tileBytes.end());
    if (raw != packed.end())
      expected.push_back(
          Describe({c.format, static_cast<size_t>(raw - packed.begin()), {}, 0, c.stored}));
  } else {
    Put(image, c.offset, tileBytes);
    expected.push_back(Describe({c.format, c.offset, {}, 0, c.stored}));
    if (c.mirror) expected.push_back(Describe({*c.mirror, c.offset, {}, 0, O::Horizontal}));
  }

  SearchedTiles tiles = Exact(searched);
  if (c.otherPalette) {
    std::vector<uint32_t> picture;
    for (const TileValues& tile : searched)
      for (uint8_t v : tile) picture.push_back(0xFF000000u | v * 0x0F0F0Fu);
    // Two cells side by side in a picture 16 pixels wide: rows interleave.
    std::vector<uint32_t> sheet(128);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 16; ++x)
        sheet[static_cast<size_t>(16 * y + x)] =
            picture[static_cast<size_t>(64 * (x / 8) + 8 * y + x % 8)];
    tiles = TilesFromPicture(16, 8, sheet, 0, 0);
  }
  const std::vector<TileFormat> formats = FixedFormats();
  const TileSearchResult result = SearchTiles(
      MakeTileSearchRequest(tiles, c.format, formats, c.extension, true, c.stream.has_value()),
      image);
  EXPECT_FALSE(result.Cancelled);
  std::vector<std::string> seen = SeenPlaces(result);
  std::sort(seen.begin(), seen.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(seen, expected);
}

PlantCase Case(const char* name, TileFormat format, size_t offset, O stored = O::Straight,
               bool otherPalette = false, std::optional<CompressionFormat> stream = {},
               const char* extension = ".BIN") {
  return {name, format, offset, stored, otherPalette, stream, extension};
}

PlantCase Mirrored(const char* name, TileFormat format, size_t offset, TileFormat mirror) {
  PlantCase c = Case(name, format, offset);
  c.mirror = mirror;
  return c;
}

INSTANTIATE_TEST_SUITE_P(
    Search, PlantedTileTest,
    ::testing::Values(
        Case("Monochrome", 0, 0x1001), Case("Nes", 1, 0x1003), Case("GameBoy", 2, 0x2005),
        Mirrored("VirtualBoy", 3, 0x2007, 4), Mirrored("Ngpc", 4, 0x3009, 3),
        Case("Snes3", 5, 0x300B), Case("Snes4", 6, 0x400D), Case("Sms", 7, 0x400F),
        Case("Genesis", 8, 0x5011), Case("Gba", 9, 0x5013), Case("Snes8", 10, 0x6015),
        Case("Linear8", 11, 0x6017), Case("GbaFlippedAcross", 9, 0x7001, O::Horizontal),
        Case("GbaFlippedDown", 9, 0x7101, O::Vertical),
        Case("Snes4FlippedBoth", 6, 0x7203, O::Both),
        Case("Snes4InOtherColours", 6, 0x8005, O::Straight, true),
        Case("NesInOtherColoursFlipped", 1, 0x8107, O::Horizontal, true),
        Case("GbaInsideLz77", 9, 0x101, O::Straight, false, CompressionFormat::Lz10, ".GBA"),
        Case("Snes4InsideLcLz2", 6, 0x203, O::Vertical, false, CompressionFormat::Lz2, ".SMC")),
    [](const auto& info) { return std::string(info.param.name); });

// The place rules, over zeros (blank, so never searched) with tiles of a fixed set planted in
// the GBA format.
struct PlaceCase {
  const char* name;
  std::vector<std::pair<size_t, uint32_t>> planted;  // offset, searched tile
  // Places as TileCount/InOrder/Matches@offset, best first.
  std::vector<std::string> places;
};

class PlaceRuleTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceRuleTest, MatchesGatherIntoPlacesBestFirst) {
  std::vector<TileValues> searched;
  for (uint32_t k = 0; k < 8; ++k) searched.push_back(RandomTile(40 + k, 16));
  Bytes image(0x40000, 0);
  for (const auto& [offset, tile] : GetParam().planted)
    Put(image, offset, Encoded(searched[tile], 9));
  const TileFormat gba[] = {9};
  const TileSearchResult result =
      SearchTiles(MakeTileSearchRequest(Exact(searched), 9, gba, ".GBA", false, false), image);
  std::vector<std::string> places;
  for (const TilePlace& p : result.Places)
    places.push_back(std::to_string(p.TileCount) + "/" + std::to_string(p.InOrder) + "/" +
                     std::to_string(p.Matches) + "@" + std::to_string(p.Offset));
  EXPECT_EQ(places, GetParam().places);
}

std::vector<std::pair<size_t, uint32_t>> Run(size_t offset, std::vector<uint32_t> tiles,
                                             size_t step = 32) {
  std::vector<std::pair<size_t, uint32_t>> run;
  for (uint32_t tile : tiles) {
    run.emplace_back(offset, tile);
    offset += step;
  }
  return run;
}

std::vector<std::pair<size_t, uint32_t>> Joined(std::vector<std::pair<size_t, uint32_t>> a,
                                                const std::vector<std::pair<size_t, uint32_t>>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

INSTANTIATE_TEST_SUITE_P(
    Search, PlaceRuleTest,
    ::testing::Values(
        PlaceCase{"InOrder", Run(0x100, {0, 1, 2, 3, 4}), {"5/5/5@256"}},
        PlaceCase{"Reversed", Run(0x100, {4, 3, 2, 1, 0}), {"5/1/5@256"}},
        PlaceCase{"OrderBroken", Run(0x100, {0, 1, 5, 2, 3, 4}), {"6/3/6@256"}},
        PlaceCase{
            "OneTileRepeated", Run(0x1001, std::vector<uint32_t>(1000, 7)), {"1/1/1000@4097"}},
        // 16 tiles of gap keep a place together, 17 part it.
        PlaceCase{"GapOf16", Joined(Run(0x100, {0, 1}), Run(0x100 + 18 * 32, {2})), {"3/3/3@256"}},
        PlaceCase{"GapOf17",
                  Joined(Run(0x100, {0, 1}), Run(0x100 + 19 * 32, {2})),
                  {"2/2/2@256", "1/1/1@864"}},
        // Another alignment is another place, though the bytes touch.
        PlaceCase{"OtherAlignment",
                  Joined(Run(0x100, {0, 1}), Run(0x141, {2, 3, 4})),
                  {"3/3/3@321", "2/2/2@256"}},
        // Of two places alike, the one on the tile grid (whole tiles from 0xC0) first.
        PlaceCase{"OnTheGridFirst",
                  Joined(Run(0x101, {0, 1, 2}), Run(0x200, {0, 1, 2})),
                  {"3/3/3@512", "3/3/3@257"}},
        PlaceCase{"MoreTilesFirst",
                  Joined(Run(0x1000, {5, 6}), Joined(Run(0x2000, {0, 1, 2}), Run(0x3000, {3, 7}))),
                  {"3/3/3@8192", "2/2/2@4096", "2/1/2@12288"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TileSearchTest, ADescribedFormatIsSearchedByWhatItDecodesTo) {
  // A description of the GBA layout under a name of its own: its tiles are found as its own,
  // exactly and in other colours.
  const CodecLoadResult loaded = LoadCodecFile(VARNOCK_CODECS_DIR "/example-gba.vrkcodec");
  ASSERT_TRUE(loaded.Format);
  const TileFormat described = *loaded.Format;
  const TileValues tile = RandomTile(31, 16);
  Bytes image = test::PatternBytes(0x4000, 8);
  Put(image, 0x1235, Encoded(tile, 9));
  const TileFormat only[] = {described};
  std::vector<uint32_t> picture(tile.begin(), tile.end());
  for (uint32_t& v : picture) v = 0xFF000000u | (15 - v) * 0x111111u;
  for (const SearchedTiles& tiles : {Exact({tile}), TilesFromPicture(8, 8, picture, 0, 0)}) {
    SCOPED_TRACE(tiles.PaletteFree ? "palette-free" : "exact");
    EXPECT_EQ(SeenPlaces(SearchTiles(
                  MakeTileSearchRequest(tiles, described, only, ".GBA", true, false), image)),
              std::vector<std::string>{Describe({described, 0x1235, {}, 0, O::Straight})});
  }
}

TEST(TileSearchTest, APickedTileIsFoundElsewhereButNotWhereItWasTaken) {
  Bytes image = test::PatternBytes(0x8000, 5);
  const Bytes tile = Encoded(RandomTile(9, 4), 1);
  Put(image, 0x100, tile);
  Put(image, 0x2345, tile);
  const int64_t picked[] = {0x100};
  TileSearchRequest request = MakeTileSearchRequest(TilesAtOffsets(image, 1, picked), 1,
                                                    FixedFormats(), ".NES", true, false);
  request.OwnFormat = 1;
  request.OwnOffsets = {0x100};
  EXPECT_EQ(SeenPlaces(SearchTiles(request, image)),
            std::vector<std::string>{Describe({1, 0x2345, {}, 0, O::Straight})});
}

TEST(TileSearchTest, SourcesGiveEachTileOnceAndLeaveBlankOnesOut) {
  // A picture whose cells start at (3, 5): two different tiles, one of them twice (in other
  // colours), and a blank cell.
  const TileValues a = RandomTile(1, 3);
  const TileValues b = RandomTile(2, 5);
  const int width = 3 + 4 * 8 + 2;
  const int height = 5 + 8 + 1;
  std::vector<uint32_t> picture(static_cast<size_t>(width * height), 0x123456);
  const TileValues* cells[] = {&a, &b, &a, nullptr};
  for (int c = 0; c < 4; ++c)
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        picture[static_cast<size_t>((5 + y) * width + 3 + 8 * c + x)] =
            cells[c] ? (*cells[c])[static_cast<size_t>(8 * y + x)] * 77u + (c == 2 ? 1000u : 0u)
                     : 42u;
  const SearchedTiles shifted = TilesFromPicture(width, height, picture, 3, 5);
  EXPECT_TRUE(shifted.PaletteFree);
  ASSERT_EQ(shifted.Tiles.size(), 2u);
  EXPECT_EQ(shifted.Tiles[0], PaletteFree(a));
  EXPECT_EQ(shifted.Tiles[1], PaletteFree(b));
  EXPECT_EQ(shifted.Repeated, 1);
  EXPECT_EQ(shifted.Blank, 1);
  // From the corner the cells straddle the tiles: none of them is a or b.
  const SearchedTiles corner = TilesFromPicture(width, height, picture, 0, 0);
  for (const TileValues& tile : corner.Tiles) {
    EXPECT_NE(tile, PaletteFree(a));
    EXPECT_NE(tile, PaletteFree(b));
  }

  // Bytes: a blank tile and a repeated one are left out, the order kept.
  Bytes bytes = Encoded(b, 9);
  const Bytes first = Encoded(a, 9);
  bytes.insert(bytes.end(), 32, 0x33);
  bytes.insert(bytes.end(), first.begin(), first.end());
  bytes.insert(bytes.end(), first.begin(), first.end());
  const SearchedTiles video = TilesFromBytes(bytes, 9);
  EXPECT_FALSE(video.PaletteFree);
  EXPECT_EQ(video.Tiles, (std::vector<TileValues>{b, a}));
  EXPECT_EQ(video.Blank, 1);
  EXPECT_EQ(video.Repeated, 1);
}

}  // namespace
}  // namespace varnock
