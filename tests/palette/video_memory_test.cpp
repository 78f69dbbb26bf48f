// Video memory out of each emulator's save state, built here byte by byte from its layout, and
// the tiles planted in it found in a ROM.
#include "palette/video_memory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/tile_codec.h"
#include "search/tile_search.h"
#include "support/compress.h"
#include "support/emulator_files.h"
#include "support/test_files.h"

namespace varnock {
namespace {

using namespace test;  // the hand-built states

constexpr size_t kPlantedTiles = 6;

// Six different tiles in `format`, one after another.
Bytes PlantedTiles(TileFormat format) {
  const TileFormatRow& row = TileFormatInfo(format);
  TileSurface tiles;
  SetUpTileSurface(tiles, 1, static_cast<int32_t>(kPlantedTiles));
  const Bytes noise = PatternBytes(tiles.Pixels.size(), 21);
  for (size_t i = 0; i < tiles.Pixels.size(); ++i)
    tiles.Pixels[i] = static_cast<uint8_t>(noise[i] % (1 << row.BitsPerPixel));
  tiles.EncodeFormat = format;
  tiles.EncodeTileBytes = row.TileBytes;
  tiles.EncodeDown = static_cast<int32_t>(kPlantedTiles);
  Bytes bytes(kPlantedTiles * static_cast<size_t>(row.TileBytes));
  EncodeTiles(tiles, bytes);
  return bytes;
}

// Video memory of `size` blank bytes with the planted tiles at 0x400.
Bytes VideoWithTiles(size_t size, TileFormat format) {
  return WithBytesAt(Bytes(size, 0), 0x400, PlantedTiles(format));
}

struct KindCase {
  std::string name;
  std::string fileName;
  Bytes file;
  TileFormat format;
};

class VideoMemoryKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(VideoMemoryKindTest, TilesPlantedInTheStateAreFoundInTheRom) {
  const KindCase& c = GetParam();
  TempDir dir;
  const VideoMemoryRead read = ReadVideoMemory(dir.Write(c.fileName, c.file));
  ASSERT_TRUE(read.ok()) << VideoMemoryErrorText(read.Error);
  EXPECT_EQ(read.Format, c.format);
  const SearchedTiles tiles = TilesFromBytes(read.Bytes, read.Format);
  EXPECT_EQ(tiles.Tiles.size(), kPlantedTiles);

  const Bytes rom = WithBytesAt(PatternBytes(0x10000, 4), 0x2345, PlantedTiles(c.format));
  const TileSearchResult result =
      SearchTiles(MakeTileSearchRequest(tiles, c.format, {}, ".BIN", true, false), rom);
  ASSERT_FALSE(result.Places.empty());
  const TilePlace& best = result.Places[0];
  EXPECT_EQ(best.Format, c.format);
  EXPECT_EQ(best.Offset, 0x2345u);
  EXPECT_EQ(best.TileCount, static_cast<int32_t>(kPlantedTiles));
  EXPECT_EQ(best.InOrder, static_cast<int32_t>(kPlantedTiles));
}

Bytes MgbaWithVideo() {
  return WithBytesAt(MgbaState(0x0100000B), 0x1000, VideoWithTiles(0x18000, 9));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, VideoMemoryKindTest,
    ::testing::Values(
        KindCase{"Snes9x", "game.000", Snes9xState(11, 3000, false, VideoWithTiles(0x10000, 6)), 6},
        KindCase{"Snes9xGzip", "game.frz",
                 GzipCompress(Snes9xState(6, 3000, false, VideoWithTiles(0x10000, 6))), 6},
        KindCase{"Zsnes", "game.zst", ZsnesState(VideoWithTiles(0x10000, 6)), 6},
        KindCase{"Fceux", "game.fc0", FceuxState(FceuxBody(32, VideoWithTiles(0x2000, 1))), 1},
        KindCase{"Nesticle", "game.st0", NesticleState(VideoWithTiles(0x2000, 1)), 1},
        KindCase{"Mgba", "game.ss1", MgbaWithVideo(), 9},
        KindCase{"MgbaScreenshot", "game.png", MgbaPng(ZlibCompress(MgbaWithVideo())), 9},
        KindCase{"Genesis", "game.gs0",
                 WithBytesAt(GenesisState(), 0x12478, VideoWithTiles(0x10000, 8)), 8}),
    [](const auto& info) { return info.param.name; });

struct RefusalCase {
  std::string name;
  std::string fileName;
  Bytes file;
  VideoMemoryError error;
};

class VideoMemoryRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(VideoMemoryRefusalTest, StatesWithoutWholeVideoMemoryAreRefused) {
  const RefusalCase& c = GetParam();
  TempDir dir;
  EXPECT_EQ(ReadVideoMemory(dir.Write(c.fileName, c.file)).Error, c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, VideoMemoryRefusalTest,
    ::testing::Values(
        RefusalCase{"Snes9xWithoutVram", "game.000", Snes9xState(11), VideoMemoryError::TooShort},
        RefusalCase{"Snes9xShortVram", "game.000", Snes9xState(11, 3000, false, Bytes(0x8000, 1)),
                    VideoMemoryError::TooShort},
        RefusalCase{"ZsnesCut", "game.zst", ZsnesState(Bytes(0x10000, 1), 0x30C12),
                    VideoMemoryError::TooShort},
        RefusalCase{"ZsnesWithoutSignature", "game.zs1", Bytes(0x40000, 0),
                    VideoMemoryError::NotAState},
        // A game with character ROM: its tiles are in the ROM, not in the state.
        RefusalCase{"FceuxWithoutCharacterRam", "game.fc0", FceuxState(FceuxBody()),
                    VideoMemoryError::NoPatternMemory},
        RefusalCase{"NesticleCut", "game.st0", Cut(NesticleState({}), 0x4906),
                    VideoMemoryError::TooShort},
        RefusalCase{"MgbaCut", "game.ss0", Cut(MgbaState(0x0100000B), 0x18FFF),
                    VideoMemoryError::TooShort},
        RefusalCase{"MgbaDamagedScreenshot", "game.png",
                    MgbaPng(ZlibCompress(MgbaState(0x0100000B)), false), VideoMemoryError::Damaged},
        RefusalCase{"GenesisCut", "game.gs0", GenesisState(0x22477), VideoMemoryError::TooShort},
        RefusalCase{"NotAState", "notes.txt", Bytes{'h', 'i'}, VideoMemoryError::NotAState}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace varnock
