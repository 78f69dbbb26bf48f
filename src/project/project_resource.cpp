#include "project/project_resource.h"

#include <algorithm>

#include "codec/bitmap_file.h"
#include "codec/codec_registry.h"
#include "palette/palette_source.h"
#include "project/project_paths.h"

namespace varnock {
namespace {

constexpr int32_t kTileSide = 8;

std::string PastTheEnd(int64_t offset, size_t imageSize) {
  return "The offset " + OffsetHexText(offset) + " lies past the end of the image (" +
         std::to_string(imageSize) + " bytes).";
}

}  // namespace

std::span<const uint8_t> ResourceTiles::Source(std::span<const uint8_t> image) const {
  return Compressed ? std::span<const uint8_t>(Stream.Bytes) : image;
}

ResourceTiles LocateResource(std::span<const uint8_t> image, const ProjectResource& resource) {
  ResourceTiles tiles;
  const TileFormatRow* row = LookUpTileFormat(resource.Format);
  if (!row) {
    tiles.Failure = "Its format is not known.";
    return tiles;
  }
  if (resource.Offset >= static_cast<int64_t>(image.size())) {
    tiles.Failure = PastTheEnd(resource.Offset, image.size());
    return tiles;
  }
  int64_t first = resource.Offset;
  int64_t available = static_cast<int64_t>(image.size()) - first;
  if (resource.Compression) {
    tiles.Compressed = true;
    tiles.Stream = OpenStreamAt(image, resource.Offset, *resource.Compression);
    if (!tiles.Stream.ok()) {
      tiles.Failure = std::string("No ") + CompressionInfo(*resource.Compression).DisplayName +
                      " stream starts at " + OffsetHexText(resource.Offset) + ": " +
                      DecompressErrorText(tiles.Stream.Error);
      return tiles;
    }
    StreamLink& link = tiles.Stream.Link;
    if (resource.Fill) link.FillByte = *resource.Fill;
    // The bytes after the stream up to its room are free for a longer stream.
    if (resource.Room) tiles.Failure = ChangeStreamRoom(link, image, *resource.Room);
    if (!tiles.ok()) return tiles;
    first = 0;
    available = static_cast<int64_t>(tiles.Stream.Bytes.size());
    if (available == 0) {
      tiles.Failure = "The stream at " + OffsetHexText(resource.Offset) + " holds no bytes.";
      return tiles;
    }
  }
  tiles.Tiles = BlockTileCount(resource.Tiles, resource.Length, available, row->TileBytes);
  const int32_t columns = resource.Columns.value_or(DefaultBlockColumns(tiles.Tiles));
  const int32_t rows = RowsForTiles(tiles.Tiles, columns);
  if (!BlockFitsPicture(columns, rows)) {
    tiles.Failure = std::to_string(tiles.Tiles) + " tiles in " + std::to_string(columns) +
                    " columns make a picture larger than one import could read back.";
    return tiles;
  }
  tiles.Place = {first, resource.Format, resource.Arrangement, columns, rows};
  return tiles;
}

ResourceColors ColorsOfResource(const RomDocument& rom, const std::string& projectPath,
                                const ProjectResource& resource) {
  ResourceColors colors;
  const TileFormatRow* row = LookUpTileFormat(resource.Format);
  const int32_t bits = row ? row->BitsPerPixel : 1;
  SourcedPalette palette;
  switch (resource.Palette.From) {
    case ResourcePalette::Source::Beside:
      palette = PaletteOrDefault(rom.PalettePath);
      break;
    case ResourcePalette::Source::File:
      palette = PaletteFromFile(ProjectFilePath(projectPath, resource.Palette.File));
      if (!palette.ok())
        palette.Failure = "The palette '" + resource.Palette.File + "': " + palette.Failure;
      break;
    case ResourcePalette::Source::Rom:
      palette = PaletteFromImage(rom.BytesFrom(0), resource.Palette.Offset,
                                 resource.Palette.Encoding, resource.Palette.Count);
      if (!palette.ok())
        palette.Failure =
            "No palette at " + OffsetHexText(resource.Palette.Offset) + ": " + palette.Failure;
      break;
  }
  if (!palette.ok()) {
    colors.Failure = palette.Failure;
    return colors;
  }
  const int32_t swatches = SwatchCountOf(bits);
  const int32_t highest = HighestSubPalette(palette.Size, swatches);
  if (resource.SubPalette > highest) {
    colors.Failure = "Sub-palette " + std::to_string(resource.SubPalette) +
                     " does not exist: the " + std::to_string(palette.Size) +
                     " colours of the palette give " + std::to_string(highest + 1) +
                     " sub-palette(s) of " + std::to_string(swatches) + ".";
    return colors;
  }
  colors.Colors = SubPaletteColors(palette.Entries, resource.SubPalette, bits);
  colors.Count = PictureColorCount(bits);
  return colors;
}

ResourcePicture DecodeResource(const RomDocument& rom, const std::string& projectPath,
                               const ProjectResource& resource) {
  ResourcePicture picture;
  const std::span<const uint8_t> image = rom.BytesFrom(0);
  const ResourceTiles tiles = LocateResource(image, resource);
  if (!tiles.ok()) {
    picture.Failure = tiles.Failure;
    return picture;
  }
  const ResourceColors colors = ColorsOfResource(rom, projectPath, resource);
  if (!colors.ok()) {
    picture.Failure = colors.Failure;
    return picture;
  }
  DecodeTileBlock(tiles.Source(image), tiles.Place, picture.Surface);
  picture.Surface.Colors = colors.Colors;
  picture.ColorCount = colors.Count;
  return picture;
}

int32_t HighestIndexUsed(const TileSurface& picture) {
  const auto end = picture.Pixels.begin() + picture.PixelCount;
  const auto highest = std::max_element(picture.Pixels.begin(), end);
  return highest == end ? -1 : *highest;
}

ResourceWrite PlanResourceWrite(std::span<const uint8_t> image, const ProjectResource& resource,
                                const TileSurface& picture, const ResourceMoves& moves) {
  ResourceWrite write;
  const ResourceTiles tiles = LocateResource(image, resource);
  if (!tiles.ok()) {
    write.Failure = tiles.Failure;
    return write;
  }
  const int32_t width = tiles.Place.Columns * kTileSide;
  const int32_t height = tiles.Place.Rows * kTileSide;
  if (picture.Width() != width || picture.Height() != height) {
    write.Failure = "The picture is " + std::to_string(picture.Width()) + " x " +
                    std::to_string(picture.Height()) + " pixels; the resource's tiles make " +
                    std::to_string(width) + " x " + std::to_string(height) + ".";
    return write;
  }
  const TileFormatRow& row = *LookUpTileFormat(resource.Format);
  const int32_t depth = SwatchCountOf(row.BitsPerPixel);
  if (const int32_t highest = HighestIndexUsed(picture); highest >= depth) {
    write.Failure = "The picture uses index " + std::to_string(highest) + " and " + row.Name +
                    " tiles hold 0 to " + std::to_string(depth - 1) + ".";
    return write;
  }
  // The grid's bytes as they are, the picture encoded into a copy of them: the bytes stay
  // inside the image (or the stream) and the grid's last row may reach past its end.
  const std::span<const uint8_t> source = tiles.Source(image);
  const int64_t first = tiles.Place.Offset;
  const int64_t gridBytes = int64_t{tiles.Place.Columns} * tiles.Place.Rows * row.TileBytes;
  const std::span<const uint8_t> grid = source.subspan(
      static_cast<size_t>(first), static_cast<size_t>(std::min<int64_t>(
                                      gridBytes, static_cast<int64_t>(source.size()) - first)));
  // A stream's tiles start at its first byte; raw ones are the grid's bytes alone.
  RomDocument scratch;
  scratch.LoadStream(tiles.Compressed ? source : grid, tiles.Stream.Link, {});
  EncodeTileBlock(scratch, 0, resource.Format, resource.Arrangement, picture);
  const std::span<const uint8_t> edited = scratch.BytesFrom(0);
  if (!tiles.Compressed) {
    // Only the bytes from the first that changed to the last: a grid that also shows header
    // fields or another resource's tiles writes none of them unless they changed.
    const auto [from, _] = std::ranges::mismatch(edited, grid);
    if (from == edited.end()) return write;
    size_t end = edited.size();
    while (end > 0 && edited[end - 1] == grid[end - 1]) --end;
    const size_t first = static_cast<size_t>(from - edited.begin());
    write.Changed = true;
    write.Offset = resource.Offset + static_cast<int64_t>(first);
    write.Bytes.assign(edited.begin() + static_cast<ptrdiff_t>(first),
                       edited.begin() + static_cast<ptrdiff_t>(end));
    return write;
  }
  if (std::ranges::equal(edited, source)) return write;
  const StreamLink& link = tiles.Stream.Link;
  const StreamSavePlan plan = PlanStreamSave(link, image, edited);
  if (plan.Verdict == StreamSaveVerdict::TooLarge && moves.Allowed) {
    StreamMovePlan move =
        PlanStreamMove(link, moves.Planned, plan.Bytes, std::nullopt, moves.GbaImage);
    if (!move.Refusal.empty()) {
      write.Failure = move.Refusal;
      return write;
    }
    write.Changed = true;
    write.Offset = move.Offset;
    write.Bytes = move.Bytes;
    write.Link = link;
    write.Move = std::move(move);
    return write;
  }
  write.Failure = StreamSaveRefusal(link, plan);
  write.TooLarge = plan.Verdict == StreamSaveVerdict::TooLarge;
  if (!write.ok() || plan.Verdict == StreamSaveVerdict::Unchanged) return write;
  write.Changed = true;
  write.Offset = link.Offset;
  write.Bytes = plan.Bytes;
  return write;
}

std::vector<WriteClash> ClashingWrites(std::span<const ResourceWrite> writes) {
  std::vector<WriteClash> clashes;
  for (size_t later = 0; later < writes.size(); ++later) {
    const ResourceWrite& b = writes[later];
    if (!b.Changed) continue;
    for (size_t earlier = 0; earlier < later; ++earlier) {
      const ResourceWrite& a = writes[earlier];
      if (!a.Changed) continue;
      const int64_t from = std::max(a.Offset, b.Offset);
      const int64_t to = std::min(a.Offset + static_cast<int64_t>(a.Bytes.size()),
                                  b.Offset + static_cast<int64_t>(b.Bytes.size()));
      for (int64_t at = from; at < to; ++at) {
        if (a.Bytes[static_cast<size_t>(at - a.Offset)] !=
            b.Bytes[static_cast<size_t>(at - b.Offset)]) {
          clashes.push_back({later, earlier, at});
          break;
        }
      }
    }
  }
  return clashes;
}

}  // namespace varnock
