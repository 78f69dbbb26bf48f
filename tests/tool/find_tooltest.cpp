// find against the search the editor's dialog runs: for each source, the places the tool lists
// are the core's, in its order; and every misuse is one line and its status.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "codec/tile_codec.h"
#include "compression/compression.h"
#include "document/rom_document.h"
#include "document/view_names.h"
#include "palette/video_memory.h"
#include "pictures/picture_tiles.h"
#include "search/tile_search.h"
#include "support/test_files.h"
#include "support/tool_run.h"

namespace varnock {
namespace {

using Bytes = std::vector<uint8_t>;
using test::PatternBytes;
using test::RunTool;
using test::TempDir;

// `count` different tiles in `format`, one after another.
Bytes TileBytes(TileFormat format, int32_t count, uint32_t seed) {
  const TileFormatRow& row = TileFormatInfo(format);
  TileSurface tiles;
  SetUpTileSurface(tiles, 1, count);
  const Bytes noise = PatternBytes(tiles.Pixels.size(), seed);
  for (size_t i = 0; i < tiles.Pixels.size(); ++i)
    tiles.Pixels[i] = static_cast<uint8_t>(noise[i] % (1 << row.BitsPerPixel));
  tiles.EncodeFormat = format;
  tiles.EncodeTileBytes = row.TileBytes;
  tiles.EncodeDown = count;
  Bytes bytes(static_cast<size_t>(count * row.TileBytes));
  EncodeTiles(tiles, bytes);
  return bytes;
}

// One tile of `format` mirrored left to right.
Bytes MirroredTile(const Bytes& tile, TileFormat format) {
  TileSurface pixels;
  SetUpTileSurface(pixels, 1, 1);
  pixels.DecodeFormat = pixels.EncodeFormat = format;
  pixels.DecodeTileBytes = pixels.EncodeTileBytes = static_cast<int32_t>(tile.size());
  DecodeTiles(tile, pixels);
  for (size_t y = 0; y < 8; ++y)
    std::reverse(pixels.Pixels.begin() + static_cast<ptrdiff_t>(8 * y),
                 pixels.Pixels.begin() + static_cast<ptrdiff_t>(8 * y + 8));
  Bytes mirrored(tile.size());
  EncodeTiles(pixels, mirrored);
  return mirrored;
}

Bytes With(Bytes bytes, size_t at, const Bytes& part) {
  std::copy(part.begin(), part.end(), bytes.begin() + static_cast<ptrdiff_t>(at));
  return bytes;
}

std::string PlaceText(int64_t offset, const std::string& format, int64_t stream, int tiles,
                      int inOrder, int matches, const std::vector<int>& orientations) {
  std::ostringstream text;
  text << offset << ' ' << format << ' ' << stream << ' ' << tiles << '/' << inOrder << '/'
       << matches;
  for (int n : orientations) text << ' ' << n;
  return text.str();
}

std::vector<std::string> ToolPlaces(const std::string& json) {
  const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
  std::vector<std::string> places;
  for (const QJsonValue& value : root.value(QStringLiteral("places")).toArray()) {
    const QJsonObject p = value.toObject();
    const QJsonObject o = p.value(QStringLiteral("orientations")).toObject();
    const QJsonValue stream = p.value(QStringLiteral("stream"));
    places.push_back(PlaceText(
        p.value(QStringLiteral("offset")).toInteger(),
        p.value(QStringLiteral("format")).toString().toStdString(),
        stream.isNull() ? -1 : stream.toObject().value(QStringLiteral("offset")).toInteger(),
        p.value(QStringLiteral("tiles")).toInt(), p.value(QStringLiteral("in_order")).toInt(),
        p.value(QStringLiteral("matches")).toInt(),
        {o.value(QStringLiteral("n")).toInt(), o.value(QStringLiteral("h")).toInt(),
         o.value(QStringLiteral("v")).toInt(), o.value(QStringLiteral("hv")).toInt()}));
  }
  return places;
}

std::vector<std::string> CorePlaces(const TileSearchResult& result) {
  std::vector<std::string> places;
  for (const TilePlace& p : result.Places)
    places.push_back(
        PlaceText(static_cast<int64_t>(p.Offset), FormatShortName(p.Format),
                  p.Stream ? static_cast<int64_t>(result.Streams[*p.Stream].Find.Offset) : -1,
                  p.TileCount, p.InOrder, p.Matches,
                  {p.Orientations[0], p.Orientations[1], p.Orientations[2], p.Orientations[3]}));
  return places;
}

// A ROM and the tool's arguments for one source, and the request the dialog's operation gets
// for the same source.
struct Source {
  std::string romName;
  Bytes rom;
  std::vector<std::string> arguments;  // after ROM
  TileSearchRequest request;
  bool inStream = false;  // some of the tiles lie inside a stream
};

struct SourceCase {
  const char* name;
  Source (*make)(const TempDir& dir);
};

class FindSourceTest : public ::testing::TestWithParam<SourceCase> {};

TEST_P(FindSourceTest, ListsThePlacesOfTheDialogsSearchInItsOrder) {
  TempDir dir;
  const Source source = GetParam().make(dir);
  const std::string rom = dir.Write(source.romName, source.rom);
  std::vector<std::string> arguments{"find", rom, "--json"};
  arguments.insert(arguments.end(), source.arguments.begin(), source.arguments.end());
  const test::ToolRun run = RunTool(dir, arguments);
  ASSERT_EQ(run.status, 0) << run.err;
  const TileSearchResult searched = SearchTiles(source.request, source.rom);
  const std::vector<std::string> core = CorePlaces(searched);
  ASSERT_FALSE(core.empty());
  EXPECT_EQ(!searched.Streams.empty(), source.inStream);
  EXPECT_EQ(ToolPlaces(run.out), core);
  // The text lists the same places, one line each.
  arguments.erase(arguments.begin() + 2);
  EXPECT_EQ(test::Lines(RunTool(dir, arguments).out).size(), core.size());
}

Source StateSource(const TempDir& dir) {
  // An mGBA state whose video memory holds six tiles; the ROM holds them raw and inside an
  // LZ77 10 stream of graphics that repeat close by.
  const Bytes tiles = TileBytes(9, 6, 3);
  Bytes state = With(Bytes(0x61000, 0), 0x1000, tiles);
  state[0] = 0x0B;
  state[3] = 0x01;
  const std::string path = dir.Write("game.ss0", state);
  Bytes data(0x1000);
  for (size_t i = 0; i < data.size(); ++i)
    data[i] = static_cast<uint8_t>(i % 32 < 16 ? 0x11 : 0x23);
  const Bytes stream = *Compress(CompressionFormat::Lz10, With(data, 0x400, tiles));
  Source s{"game.gba",
           With(With(PatternBytes(0x20000, 5), 0x2345, tiles), 0x10000, stream),
           {"--state", path},
           {},
           true};
  const VideoMemoryRead video = ReadVideoMemory(path);
  s.request =
      MakeTileSearchRequest(TilesFromBytes(video.Bytes, video.Format), 9, {}, ".GBA", true, true);
  return s;
}

Source PictureSource(const TempDir& dir, int originX, int originY) {
  // Two SNES tiles in a picture of colours of its own, its cells from (originX, originY).
  const Bytes tiles = TileBytes(6, 2, 7);
  TileSurface decoded;
  SetUpTileSurface(decoded, 1, 2);
  decoded.DecodeFormat = 6;
  decoded.DecodeTileBytes = 32;
  decoded.DecodeDown = 2;
  DecodeTiles(tiles, decoded);
  QImage picture(originX + 16 + 3, originY + 8 + 1, QImage::Format_RGB32);
  picture.fill(qRgb(9, 9, 9));
  for (int t = 0; t < 2; ++t)
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        const int v = decoded.Pixels[static_cast<size_t>(64 * t + 8 * y + x)];
        picture.setPixel(originX + 8 * t + x, originY + y, qRgb(255 - 15 * v, 7 * v, 100));
      }
  const std::string path = dir.File("crop.png");
  picture.save(QString::fromStdString(path));
  Source s{"game.smc", With(PatternBytes(0x10000, 6), 0x1001, tiles), {"--picture", path}, {}};
  if (originX != 0 || originY != 0)
    s.arguments.insert(s.arguments.end(),
                       {"--origin", (std::ostringstream() << originX << ',' << originY).str()});
  s.request = MakeTileSearchRequest(ReadPictureTiles(path, originX, originY).Tiles, 6, {}, ".SMC",
                                    true, true);
  return s;
}

Source TilesAtSource(const TempDir&) {
  // A tile picked at 0x100, its copy elsewhere and a mirrored copy, which --no-flips leaves
  // out; only the copy is another place.
  const Bytes tile = TileBytes(1, 1, 9);
  Source s{"game.nes",
           With(With(With(PatternBytes(0x8000, 8), 0x100, tile), 0x2345, tile), 0x3000,
                MirroredTile(tile, 1)),
           {"--tiles-at", "0x100:1", "--no-streams", "--no-flips", "--formats", "gb,nes"},
           {}};
  const int64_t picked[] = {0x100};
  const TileFormat formats[] = {2, 1};
  s.request =
      MakeTileSearchRequest(TilesAtOffsets(s.rom, 1, picked), 1, formats, ".NES", false, false);
  s.request.OwnFormat = 1;
  s.request.OwnOffsets = {0x100};
  return s;
}

INSTANTIATE_TEST_SUITE_P(
    Sources, FindSourceTest,
    ::testing::Values(
        SourceCase{"State", StateSource},
        SourceCase{"Picture", [](const TempDir& d) { return PictureSource(d, 0, 0); }},
        SourceCase{"PictureFromAnOrigin", [](const TempDir& d) { return PictureSource(d, 3, 5); }},
        SourceCase{"TilesAt", TilesAtSource}),
    [](const auto& info) { return std::string(info.param.name); });

struct MisuseCase {
  const char* name;
  std::vector<std::string> arguments;  // after find ROM; STATE names a file that is no state
  int status;
  const char* says;
};

class FindMisuseTest : public ::testing::TestWithParam<MisuseCase> {};

TEST_P(FindMisuseTest, IsOneLineAndItsStatus) {
  TempDir dir;
  std::vector<std::string> arguments{"find", dir.Write("game.gba", PatternBytes(0x1000, 2))};
  for (std::string argument : GetParam().arguments) {
    if (argument == "STATE") argument = dir.Write("notes.txt", {'h', 'i'});
    if (argument == "BLANK")
      argument = dir.Write("blank.ss0", With(Bytes(0x61000, 0), 0, {0x0B, 0, 0, 1}));
    arguments.push_back(argument);
  }
  const test::ToolRun run = RunTool(dir, arguments);
  EXPECT_EQ(run.status, GetParam().status);
  EXPECT_TRUE(run.out.empty());
  EXPECT_EQ(test::Lines(run.err).size(), 1u) << run.err;
  EXPECT_NE(run.err.find(GetParam().says), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Misuse, FindMisuseTest,
    ::testing::Values(
        MisuseCase{"NoSource", {}, 2, "give one of --state"},
        MisuseCase{"TwoSources", {"--state", "STATE", "--tiles-at", "0:1"}, 2, "give one of"},
        MisuseCase{"OriginWithoutPicture",
                   {"--tiles-at", "0:1", "--origin", "1,1"},
                   2,
                   "--origin is the grid origin"},
        MisuseCase{"OriginOutOfTheCell", {"--picture", "x.png", "--origin", "8,0"}, 2, "0 to 7"},
        MisuseCase{"UnknownFormat",
                   {"--tiles-at", "0:1", "--formats", "gba,c64"},
                   2,
                   "unknown format 'c64'"},
        MisuseCase{"NotAState", {"--state", "STATE"}, 1, "notes.txt: The file is not a save state"},
        MisuseCase{
            "OnlyBlankTiles", {"--state", "BLANK"}, 1, "blank.ss0: Every tile of it is blank"},
        MisuseCase{"TilesPastTheEnd", {"--tiles-at", "0xFE0:2"}, 1, "reach past the end"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnock
