// find: where the tiles of a save state's video memory, of a picture or of the ROM itself lie
// in the ROM, raw and inside its compressed streams, through the search the editor's dialog
// runs.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <optional>

#include "codec/codec_registry.h"
#include "document/view_names.h"
#include "palette/video_memory.h"
#include "pictures/picture_tiles.h"
#include "search/tile_search.h"
#include "tool/tool_commands.h"
#include "tool/tool_files.h"
#include "tool/tool_options.h"
#include "tool/tool_report.h"

namespace varnock {
namespace {

constexpr const char* kFind = "find";
constexpr const char* kOrientationNames[kTileOrientationCount] = {"n", "h", "v", "hv"};

// The tiles of the one source given, and for --tiles-at their own places.
SearchedTiles SourceTiles(const ParsedArguments& arguments, std::span<const uint8_t> image,
                          const std::string& romPath, TileFormat format, std::vector<int64_t>& own,
                          std::string& sourceFile) {
  const int given =
      arguments.Has("--state") + arguments.Has("--picture") + arguments.Has("--tiles-at");
  if (given != 1)
    BadUsage(kFind, "give one of --state FILE, --picture FILE and --tiles-at OFFSET:COUNT");
  if (arguments.Has("--origin") && !arguments.Has("--picture"))
    BadUsage(kFind, "--origin is the grid origin of --picture");
  if (const std::string* state = arguments.Value("--state")) {
    sourceFile = *state;
    const VideoMemoryRead read = ReadVideoMemory(*state);
    if (!read.ok()) FailOn(*state, VideoMemoryErrorText(read.Error));
    return TilesFromBytes(read.Bytes, read.Format);
  }
  if (const std::string* picture = arguments.Value("--picture")) {
    sourceFile = *picture;
    int64_t x = 0;
    int64_t y = 0;
    if (const std::string* origin = arguments.Value("--origin")) {
      const std::vector<std::string_view> parts = SplitText(*origin, ',');
      if (parts.size() != 2) BadUsage(kFind, "--origin takes X,Y, each 0 to 7");
      x = NumberText(parts[0], kFind, "the origin's x");
      y = NumberText(parts[1], kFind, "the origin's y");
      if (x > 7 || y > 7) BadUsage(kFind, "--origin takes X,Y, each 0 to 7");
    }
    PictureTilesRead read =
        ReadPictureTiles(*picture, static_cast<int32_t>(x), static_cast<int32_t>(y));
    if (!read.ok()) FailOn(*picture, read.Reason.toStdString());
    return std::move(read.Tiles);
  }
  sourceFile = romPath;
  const std::vector<std::string_view> parts = SplitText(*arguments.Value("--tiles-at"), ':');
  if (parts.size() != 2) BadUsage(kFind, "--tiles-at takes OFFSET:COUNT");
  const int64_t offset = NumberText(parts[0], kFind, "the offset");
  const int64_t count = NumberText(parts[1], kFind, "the count");
  if (count < 1 || count > static_cast<int64_t>(kMaxSearchedTiles))
    BadUsage(kFind, "the count of --tiles-at is 1 to " + std::to_string(kMaxSearchedTiles));
  const int64_t tileBytes = LookUpTileFormat(format)->TileBytes;
  if (offset + count * tileBytes > static_cast<int64_t>(image.size()))
    FailOn(romPath, std::to_string(count) + " tiles from " + HexOffset(offset) +
                        " reach past the end of the image (" + std::to_string(image.size()) +
                        " bytes).");
  for (int64_t k = 0;
       k < count && offset + (k + 1) * tileBytes <= static_cast<int64_t>(image.size()); ++k)
    own.push_back(offset + k * tileBytes);
  return TilesAtOffsets(image, format, own);
}

std::vector<TileFormat> FormatsOption(const ParsedArguments& arguments) {
  std::vector<TileFormat> formats;
  const std::string* list = arguments.Value("--formats");
  if (!list) return formats;
  for (std::string_view name : SplitText(*list, ',')) {
    const std::optional<TileFormat> format = ParseFormatName(name);
    if (!format)
      BadUsage(kFind,
               "unknown format '" + std::string(name) + "'; the formats are " + FormatNameList());
    formats.push_back(*format);
  }
  return formats;
}

// "n60,h4": matches per orientation, those with none left out.
std::string OrientationText(const TilePlace& place) {
  std::string text;
  for (int o = 0; o < kTileOrientationCount; ++o) {
    if (place.Orientations[static_cast<size_t>(o)] == 0) continue;
    if (!text.empty()) text.push_back(',');
    text += kOrientationNames[o] + std::to_string(place.Orientations[static_cast<size_t>(o)]);
  }
  return text;
}

void PrintText(const TileSearchResult& result) {
  for (const TilePlace& place : result.Places) {
    std::string stream = "-";
    if (place.Stream) {
      const StreamFind& find = result.Streams[*place.Stream].Find;
      stream = std::string(CompressionInfo(find.Format).ShortName) + ":" +
               HexOffset(static_cast<int64_t>(find.Offset));
    }
    std::printf("0x%08zX %-8s %-18s %5d %5d %5d %s\n", place.Offset,
                FormatShortName(place.Format).c_str(), stream.c_str(), place.TileCount,
                place.InOrder, place.Matches, OrientationText(place).c_str());
  }
}

void PrintJson(const TileSearchResult& result, const SearchedTiles& tiles) {
  std::printf("{\"searched_tiles\": %zu, \"streams_searched\": %zu, \"places\": [",
              tiles.Tiles.size(), result.StreamsSearched);
  for (size_t i = 0; i < result.Places.size(); ++i) {
    const TilePlace& place = result.Places[i];
    std::printf("%s\n  {\"offset\": %zu, \"format\": \"%s\", \"stream\": ", i == 0 ? "" : ",",
                place.Offset, FormatShortName(place.Format).c_str());
    if (place.Stream) {
      const StreamFind& find = result.Streams[*place.Stream].Find;
      std::printf(
          "{\"offset\": %zu, \"format\": \"%s\", \"compressed\": %zu, \"decompressed\": %zu}",
          find.Offset, CompressionInfo(find.Format).ShortName, find.CompressedLength,
          find.DecompressedLength);
    } else {
      std::fputs("null", stdout);
    }
    std::printf(", \"tiles\": %d, \"in_order\": %d, \"matches\": %d, \"orientations\": {",
                place.TileCount, place.InOrder, place.Matches);
    for (int o = 0; o < kTileOrientationCount; ++o)
      std::printf("%s\"%s\": %d", o == 0 ? "" : ", ", kOrientationNames[o],
                  place.Orientations[static_cast<size_t>(o)]);
    std::printf("}, \"first_tile\": %u, \"first_orientation\": \"%s\"}", place.FirstTile,
                kOrientationNames[static_cast<int>(place.FirstOrientation)]);
  }
  std::fputs(result.Places.empty() ? "]}\n" : "\n]}\n", stdout);
}

// A percentage on standard error when it is a terminal and the search takes a while.
class ProgressLine {
 public:
  ProgressLine() : shown_(isatty(STDERR_FILENO) != 0), start_(Clock::now()) {}
  ~ProgressLine() {
    if (printed_) std::fputs("\r          \r", stderr);
  }
  bool Report(uint64_t done, uint64_t total) {
    if (!shown_ || total == 0 || Clock::now() - start_ < std::chrono::seconds(1)) return true;
    const auto percent = static_cast<int>(done * 100 / total);
    if (percent != last_) std::fprintf(stderr, "\r%s: %s: %3d%%", kToolName, kFind, percent);
    last_ = percent;
    printed_ = true;
    return true;
  }

 private:
  using Clock = std::chrono::steady_clock;
  bool shown_;
  Clock::time_point start_;
  int last_ = -1;
  bool printed_ = false;
};

}  // namespace

int RunFind(const ParsedArguments& arguments) {
  if (arguments.Operands.size() != 1) BadUsage(kFind, "it takes ROM");
  const std::string& romPath = arguments.Operands[0];
  LoadCodecOption(arguments, kFind);
  const std::vector<TileFormat> chosen = FormatsOption(arguments);
  RomDocument doc;
  LoadImageFile(romPath, doc);
  const TileFormat format = FormatOption(arguments, kFind, doc);
  const std::span<const uint8_t> image = ImageBytes(doc);
  std::vector<int64_t> own;
  std::string sourceFile;
  SearchedTiles tiles = SourceTiles(arguments, image, romPath, format, own, sourceFile);
  if (tiles.TooMany)
    FailOn(sourceFile, "It holds more than " + std::to_string(kMaxSearchedTiles) +
                           " different tiles; search a part of it.");
  if (tiles.Tiles.empty())
    FailOn(sourceFile, "Every tile of it is blank (one colour): there is nothing to search for.");
  TileSearchRequest request =
      MakeTileSearchRequest(std::move(tiles), format, chosen, doc.RomExt,
                            !arguments.Has("--no-flips"), !arguments.Has("--no-streams"));
  request.OwnFormat = format;
  request.OwnOffsets = std::move(own);
  ProgressLine progress;
  const TileSearchResult result = SearchTiles(
      request, image,
      [&progress](uint64_t done, uint64_t total) { return progress.Report(done, total); });
  if (arguments.Has("--json"))
    PrintJson(result, request.Tiles);
  else
    PrintText(result);
  return kToolSucceeded;
}

}  // namespace varnock
