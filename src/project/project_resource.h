// What a project's resource is in its ROM: where its tiles come from, the picture they make,
// and what putting a picture back would write. The project window, `extract` and `build` all
// call these, so the editor and the tool agree on every resource.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "codec/tile_surface.h"
#include "document/rom_document.h"
#include "document/stream_link.h"
#include "document/stream_move.h"
#include "document/tile_block.h"
#include "project/project_file.h"

namespace varnock {

// A resource found in an image: the bytes its tiles are decoded from (the image, or the
// decompressed stream) and the grid of the picture they make.
struct ResourceTiles {
  std::string Failure;  // why the resource is not there; empty when it is
  bool Compressed = false;
  OpenedStream Stream;   // with compression: the stream at the offset
  TileBlockPlace Place;  // Offset counts in the bytes the tiles come from
  int64_t Tiles = 0;     // the tiles the resource names (the last row may show more)
  bool ok() const { return Failure.empty(); }
  // The bytes the tiles come from, given the image they were located in.
  std::span<const uint8_t> Source(std::span<const uint8_t> image) const;
};

// Locates `resource` in `image`: the offset inside it, the stream decoding there, the tiles
// it names and a grid one import can read back.
ResourceTiles LocateResource(std::span<const uint8_t> image, const ProjectResource& resource);

// The colour table a resource's picture gets: its palette (resolved from the project at
// `projectPath`; the one beside `rom` by default) and sub-palette for its format's depth.
struct ResourceColors {
  std::string Failure;
  std::array<SurfaceColor, 256> Colors{};
  int32_t Count = 16;  // colours the picture file holds (PictureColorCount)
  bool ok() const { return Failure.empty(); }
};
ResourceColors ColorsOfResource(const RomDocument& rom, const std::string& projectPath,
                                const ProjectResource& resource);

// The picture of a resource as `extract` writes it and the project window previews it: the
// tiles decoded on their grid, in the resource's colours.
struct ResourcePicture {
  std::string Failure;
  TileSurface Surface;
  int32_t ColorCount = 16;
  bool ok() const { return Failure.empty(); }
};
ResourcePicture DecodeResource(const RomDocument& rom, const std::string& projectPath,
                               const ProjectResource& resource);

// Whether a compressed resource that no longer fits its room may move to free space, as the
// stream window's move does: only when the user asks.
struct ResourceMoves {
  bool Allowed = false;
  bool GbaImage = false;  // the words that point at the old place are listed
  // The image as the moves planned so far leave it, so that no two take the same free run.
  std::span<const uint8_t> Planned;
};

// What `build` would write for a picture of `resource`: nothing when its tiles are those of the
// image already, else the bytes at an offset of the image (raw tiles: from the first byte that
// changed to the last; a compressed resource: the stream compressed again, which must fit the
// stream's room, or with a move allowed its new place). Changes nothing.
struct ResourceWrite {
  std::string Failure;    // why the picture cannot go back; empty when it can
  bool TooLarge = false;  // the failure: the stream no longer fits its room
  bool Changed = false;
  int64_t Offset = 0;
  std::vector<uint8_t> Bytes;
  // A moved stream: its place before the move and where it goes (Offset and Bytes are the
  // move's too).
  std::optional<StreamMovePlan> Move;
  StreamLink Link;
  bool ok() const { return Failure.empty(); }
};
ResourceWrite PlanResourceWrite(std::span<const uint8_t> image, const ProjectResource& resource,
                                const TileSurface& picture, const ResourceMoves& moves = {});

// A picture's pixels that its format cannot store: the highest index used, or -1 when all fit.
int32_t HighestIndexUsed(const TileSurface& picture);

// Planned writes of several resources that would overwrite each other's bytes with other
// bytes: for each clash, the later write's index and the earlier one's.
struct WriteClash {
  size_t Later = 0;
  size_t Earlier = 0;
  int64_t Offset = 0;  // the first byte where they disagree
};
std::vector<WriteClash> ClashingWrites(std::span<const ResourceWrite> writes);

}  // namespace varnock
