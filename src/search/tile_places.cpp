#include "search/tile_places.h"

#include <algorithm>
#include <tuple>

namespace varnock {

PlaceCollector::PlaceCollector(const TileMatcher& matcher, std::span<const TileFormat> formats)
    : formats_(formats.begin(), formats.end()) {
  size_t builders = 0;
  for (size_t f = 0; f < formats_.size(); ++f) {
    tileBytes_.push_back(matcher.TileBytes(f));
    first_.push_back(builders);
    builders += static_cast<size_t>(std::max(tileBytes_.back(), 0));
  }
  open_.resize(builders);
}

PlaceCollector::Open& PlaceCollector::Builder(size_t formatIndex, size_t offset) {
  return open_[first_[formatIndex] + offset % static_cast<size_t>(tileBytes_[formatIndex])];
}

void PlaceCollector::Add(size_t formatIndex, const TileMatch& match) {
  if (formatIndex >= formats_.size() || tileBytes_[formatIndex] <= 0) return;
  const auto tileBytes = static_cast<size_t>(tileBytes_[formatIndex]);
  Open& open = Builder(formatIndex, match.Offset);
  if (open.Active && match.Offset > open.At + (kPlaceGapTiles + 1) * tileBytes)
    Close(open, std::nullopt, closed_);
  TilePlace& place = open.Place;
  if (!open.Active) {
    open.Active = true;
    place = TilePlace{};
    place.FormatIndex = formatIndex;
    place.Format = formats_[formatIndex];
    place.Offset = match.Offset;
    place.FirstTile = match.Tile;
    place.FirstOrientation = match.Orientation;
    open.At = match.Offset;
    open.Latest.clear();
    open.Before.clear();
    place.Matches = 1;
  } else if (match.Offset != open.At) {
    // A new tile position: runs go on from the matches at the one before it, over tiles
    // between them that match nothing (blank ones, which are never searched).
    open.Before.swap(open.Latest);
    open.Latest.clear();
    open.At = match.Offset;
    ++place.Matches;
  }
  int32_t run = 1;
  for (const auto& [tile, length] : open.Before)
    if (tile + 1 == match.Tile) run = std::max(run, length + 1);
  open.Latest.emplace_back(match.Tile, run);
  place.InOrder = std::max(place.InOrder, run);
  ++place.Orientations[static_cast<size_t>(match.Orientation)];
  place.End = match.Offset + tileBytes;
  open.Tiles.push_back(match.Tile);
}

void PlaceCollector::Close(Open& open, std::optional<size_t> stream,
                           std::vector<TilePlace>& places) {
  std::sort(open.Tiles.begin(), open.Tiles.end());
  open.Place.TileCount =
      static_cast<int32_t>(std::unique(open.Tiles.begin(), open.Tiles.end()) - open.Tiles.begin());
  open.Place.Stream = stream;
  places.push_back(open.Place);
  open.Tiles.clear();
  open.Active = false;
}

void PlaceCollector::Finish(std::optional<size_t> stream, std::vector<TilePlace>& places) {
  for (Open& open : open_)
    if (open.Active) Close(open, stream, closed_);
  for (TilePlace& place : closed_) {
    place.Stream = stream;
    places.push_back(place);
  }
  closed_.clear();
}

void SortPlaces(std::vector<TilePlace>& places) {
  const auto rank = [](const TilePlace& p) {
    return std::make_tuple(-p.TileCount, -p.InOrder, !p.OnGrid, p.Stream.has_value(),
                           p.Stream.value_or(0), p.FormatIndex, p.Offset);
  };
  std::sort(places.begin(), places.end(),
            [&rank](const TilePlace& a, const TilePlace& b) { return rank(a) < rank(b); });
}

}  // namespace varnock
