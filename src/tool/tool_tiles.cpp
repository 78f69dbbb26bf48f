// export and import: a block of tiles to an indexed picture and a picture back into tiles, in
// the image or in a compressed stream, through the core operations the ROM windows use.
#include <algorithm>
#include <cstring>

#include "codec/bitmap_file.h"
#include "codec/codec_registry.h"
#include "document/stream_link.h"
#include "document/tile_block.h"
#include "pictures/picture_file.h"
#include "tool/tool_commands.h"
#include "tool/tool_files.h"
#include "tool/tool_import_fit.h"
#include "tool/tool_options.h"
#include "tool/tool_picture_indices.h"
#include "tool/tool_report.h"
#include "tool/tool_stream_room.h"

namespace varnock {
namespace {

constexpr const char* kExport = "export";
constexpr const char* kImport = "import";
constexpr int32_t kTileSide = 8;
constexpr int32_t kMostColumns = kMaxPictureSide / kTileSide;

const TileFormatRow& RowOf(TileFormat format) {
  // Every name the options accept stands for a registered Tag.
  return *LookUpTileFormat(format);
}

// The operands COMMAND takes: exactly `count` of them.
void ExpectOperands(const ParsedArguments& arguments, std::string_view command, size_t count,
                    const char* names) {
  if (arguments.Operands.size() != count) BadUsage(command, std::string("it takes ") + names);
}

// The stream of `format` that starts at `offset` of the image, opened as a stream window opens
// it; stops with the editor's words when none decodes there.
OpenedStream StreamAt(const RomDocument& doc, CompressionFormat format, int64_t offset) {
  if (offset >= doc.RomSize)
    FailOn(doc.RomPath, "The offset " + HexOffset(offset) + " lies past the end of the image (" +
                            std::to_string(doc.RomSize) + " bytes).");
  OpenedStream stream = OpenStreamAt(ImageBytes(doc), offset, format);
  if (!stream.ok())
    FailOn(doc.RomPath, std::string("No ") + CompressionInfo(format).DisplayName +
                            " stream starts at " + HexOffset(offset) + ": " +
                            DecompressErrorText(stream.Error));
  return stream;
}

void ExpectOffsetInside(const RomDocument& doc, int64_t offset) {
  if (offset >= doc.RomSize)
    FailOn(doc.RomPath, "The offset " + HexOffset(offset) + " lies past the end of the image (" +
                            std::to_string(doc.RomSize) + " bytes).");
}

std::optional<CompressionFormat> CompressedOption(const ParsedArguments& arguments,
                                                  std::string_view command) {
  const std::string* name = arguments.Value("--compressed");
  if (!name) return std::nullopt;
  return CompressionNamed(*name, command);
}

// How many tiles the export shows: --tiles, or --length bytes, or everything from the offset.
int64_t TileCount(const ParsedArguments& arguments, int64_t available, int32_t tileBytes) {
  const std::optional<int64_t> tiles = OptionalNumber(arguments, kExport, "--tiles");
  const std::optional<int64_t> length = OptionalNumber(arguments, kExport, "--length");
  if (tiles && length) BadUsage(kExport, "--tiles and --length exclude each other");
  if ((tiles && *tiles == 0) || (length && *length == 0))
    BadUsage(kExport, "a block has at least one tile");
  return BlockTileCount(tiles, length, available, tileBytes);
}

int64_t PictureTiles(const TileSurface& picture) {
  return int64_t{picture.TilesAcross} * picture.TilesDown;
}

}  // namespace

int RunExport(const ParsedArguments& arguments) {
  ExpectOperands(arguments, kExport, 2, "ROM and OUT.png");
  const std::string& romPath = arguments.Operands[0];
  const std::string& outPath = arguments.Operands[1];
  LoadCodecOption(arguments, kExport);
  RomDocument doc;
  LoadImageFile(romPath, doc);
  const TileFormat format = FormatOption(arguments, kExport, doc);
  const TileArrangement arrangement = ArrangementOption(arguments, kExport);
  const std::optional<CompressionFormat> compressed = CompressedOption(arguments, kExport);
  const int64_t offset = NumberOption(arguments, kExport, "--offset", 0);
  const TileFormatRow& row = RowOf(format);

  // The tiles come from the image at the offset, or from the start of the stream there.
  OpenedStream stream;
  std::span<const uint8_t> source = ImageBytes(doc);
  int64_t first = offset;
  if (compressed) {
    stream = StreamAt(doc, *compressed, offset);
    source = stream.Bytes;
    first = 0;
  } else {
    ExpectOffsetInside(doc, offset);
  }
  const int64_t tiles =
      TileCount(arguments, static_cast<int64_t>(source.size()) - first, row.TileBytes);
  if (tiles <= 0) FailOn(romPath, "The stream at " + HexOffset(offset) + " holds no bytes.");
  const std::optional<int64_t> asked = OptionalNumber(arguments, kExport, "--columns");
  if (asked && (*asked < 1 || *asked > kMostColumns))
    BadUsage(kExport, "--columns takes 1 to " + std::to_string(kMostColumns));
  const int32_t columns = asked ? static_cast<int32_t>(*asked) : DefaultBlockColumns(tiles);
  const int32_t rows = RowsForTiles(tiles, columns);
  if (!BlockFitsPicture(columns, rows))
    FailOn(romPath, std::to_string(tiles) + " tiles in " + std::to_string(columns) +
                        " columns make a picture larger than one import could read back; "
                        "give fewer --tiles or more --columns.");

  const ToolPalette palette = PaletteOption(arguments, kExport, doc);
  TileSurface block;
  DecodeTileBlock(source, {first, format, arrangement, columns, rows}, block);
  block.Colors = SubPaletteOption(arguments, kExport, palette, row.BitsPerPixel);
  const std::vector<uint8_t> file = EncodePictureFile(
      outPath, block, {0, 0, block.Width(), block.Height()}, PictureColorCount(row.BitsPerPixel));
  if (file.empty()) FailOn(outPath, "The picture could not be encoded.");
  WriteOutputFile(outPath, file);
  return kToolSucceeded;
}

int RunImport(const ParsedArguments& arguments) {
  ExpectOperands(arguments, kImport, 2, "ROM and IN.png");
  const std::string& romPath = arguments.Operands[0];
  const std::string& picturePath = arguments.Operands[1];
  const std::string* outPath = arguments.Value("-o");
  LoadCodecOption(arguments, kImport);
  RomDocument doc;
  LoadImageFile(romPath, doc);
  const TileFormat format = FormatOption(arguments, kImport, doc);
  const TileArrangement arrangement = ArrangementOption(arguments, kImport);
  const std::optional<CompressionFormat> compressed = CompressedOption(arguments, kImport);
  const int64_t offset = NumberOption(arguments, kImport, "--offset", 0);
  const TileFormatRow& row = RowOf(format);
  const ToolPalette palette = PaletteOption(arguments, kImport, doc);
  const std::array<SurfaceColor, 256> colors =
      SubPaletteOption(arguments, kImport, palette, row.BitsPerPixel);

  TileSurface picture;
  const PictureReadResult read = ReadPictureFile(picturePath, picture);
  if (!read.Ok) FailOn(picturePath, read.Reason.toStdString());
  if (picture.PixelCount == 0) FailOn(picturePath, "The picture holds no whole 8 x 8 tile.");
  ClipNotes clipped;
  CheckWholeTiles(arguments, picturePath, read.Width, read.Height, clipped);
  SettlePictureIndices(arguments, picturePath, read, picture, row, colors);

  const std::vector<uint8_t> before(ImageBytes(doc).begin(), ImageBytes(doc).end());
  if (compressed) {
    // As a stream window saves: the tiles go into the decompressed bytes, which keep their
    // length, and the stream is compressed again into the place it came from.
    OpenedStream stream = StreamAt(doc, *compressed, offset);
    ApplyRoomOptions(arguments, kImport, doc, stream.Link);
    CheckTilesFit(arguments, romPath, PictureTiles(picture), row.TileBytes, offset,
                  static_cast<int64_t>(stream.Bytes.size()), clipped);
    RomDocument streamDoc;
    streamDoc.LoadStream(stream.Bytes, stream.Link, romPath);
    EncodeTileBlock(streamDoc, 0, format, arrangement, picture);
    const std::span<const uint8_t> edited = ImageBytes(streamDoc);
    if (!std::ranges::equal(edited, stream.Bytes)) {
      const StreamSavePlan plan = PlanStreamSave(stream.Link, ImageBytes(doc), edited);
      if (!MoveStreamOption(arguments, kImport, doc, stream.Link, plan)) {
        const std::string refusal = StreamSaveRefusal(stream.Link, plan);
        if (!refusal.empty()) FailOn(romPath, refusal);
        CheckChecksumFields(arguments, doc, offset,
                            offset + static_cast<int64_t>(plan.Bytes.size()));
        doc.WriteBytes(offset, plan.Bytes);
      }
    }
  } else if (arguments.Has("--room") || arguments.Has("--fill") || arguments.Has("--move-to") ||
             arguments.Has("--repoint")) {
    BadUsage(kImport,
             "--room, --fill, --move-to and --repoint are for a stream: give --compressed");
  } else {
    ExpectOffsetInside(doc, offset);
    const int64_t written = CheckTilesFit(arguments, romPath, PictureTiles(picture), row.TileBytes,
                                          offset, doc.RomSize - offset, clipped);
    CheckChecksumFields(arguments, doc, offset, offset + written);
    EncodeTileBlock(doc, offset, format, arrangement, picture);
  }
  const std::span<const uint8_t> after = ImageBytes(doc);
  if (outPath) {
    SaveImageFile(doc, *outPath, ImportSaveOptions(arguments));
  } else if (!std::equal(after.begin(), after.end(), before.begin(), before.end())) {
    SaveImageFile(doc, romPath, ImportSaveOptions(arguments));
  }
  TellClipNotes(clipped);
  return kToolSucceeded;
}

}  // namespace varnock
