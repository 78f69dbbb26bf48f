// The places a tile search found, as the rows of the dialog's list: one row height for all,
// texts and previews made only for the rows a view shows, so that thousands of places appear at
// once and scrolling stays smooth.
#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <array>
#include <optional>
#include <vector>

#include "codec/tile_surface.h"
#include "search/tile_search.h"

namespace varnock {

enum TileSearchColumn {
  kPlaceOffset,
  kPlaceFormat,
  kPlaceStream,
  kPlaceTiles,
  kPlaceInOrder,
  kPlaceMatches,
  kPlaceOrientation,
  kPlacePreview,
  kPlaceColumnCount
};

// Tiles a preview shows, from the place's first matching tile on, and its zoom.
inline constexpr int kPlacePreviewTiles = 8;
inline constexpr int kPlacePreviewZoom = 2;

class TileSearchModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit TileSearchModel(QObject* parent = nullptr);

  // The places of `result`, found in `image` (the bytes the search went through).
  void SetResult(TileSearchResult result, std::vector<uint8_t> image);
  // The colours previews are drawn in; previews drawn before are drawn again when asked for.
  void SetColors(const std::array<SurfaceColor, 256>& colors);

  const TileSearchResult& Result() const { return result_; }
  const TilePlace* PlaceAt(int row) const;
  // The stream a place lies in, or null for the image itself.
  const SearchedStream* StreamOf(const TilePlace& place) const;
  // Previews drawn since the last result: a view asks only for the rows it shows.
  int PicturesDrawn() const { return picturesDrawn_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  QVariant Text(const TilePlace& place, int column) const;
  QPixmap Preview(int row) const;

  TileSearchResult result_;
  std::vector<uint8_t> image_;
  std::array<SurfaceColor, 256> colors_{};
  mutable std::vector<std::optional<QPixmap>> previews_;
  mutable int picturesDrawn_ = 0;
};

}  // namespace varnock
