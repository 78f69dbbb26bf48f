// The scan dialog's list of finds as a model: a row's texts and picture are made when the view
// asks for them, so thousands of finds cost no layout and a sort is one reordering of indices.
#pragma once

#include <QAbstractTableModel>
#include <QCache>
#include <QPixmap>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "codec/tile_surface.h"
#include "compression/stream_scan.h"

namespace varnock {

// Results list columns.
enum StreamScanColumn {
  kScanOffset,
  kScanFormat,
  kScanPacked,
  kScanUnpacked,
  kScanTiles,
  kScanScore,
  kScanPicture,
  kScanColumnCount
};

// Which finds the list shows: those scoring at least Threshold (any score with ShowAll) that
// decompress to at least MinimumSize bytes.
struct StreamScanFilter {
  int Threshold = kDefaultScoreThreshold;
  size_t MinimumSize = kDefaultMinimumStreamSize;
  bool ShowAll = false;
};

// How the pictures are drawn and tiles counted: the ROM window's format and palette.
struct StreamScanPreview {
  TileFormat Format = 0;
  int32_t Bits = 4;
  int32_t TileBytes = 32;
  std::array<SurfaceColor, 256> Colors{};
};

class StreamScanModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;

  // Replaces the finds. `image` is the copy they were found in: their pictures are decoded
  // from it, whatever has been edited in the window since.
  void SetFinds(std::vector<StreamFind> finds, std::shared_ptr<const std::vector<uint8_t>> image);
  void Clear();
  void SetPreview(const StreamScanPreview& preview);
  void SetFilter(const StreamScanFilter& filter);
  // Every find of the last scan, shown or not.
  size_t FindCount() const { return Finds.size(); }
  // The finds that the threshold alone hides (those "show all" adds), also while it shows them.
  size_t HiddenByScore() const { return hiddenByScore_; }
  // The find a row shows, or null.
  const StreamFind* FindAt(int row) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

 private:
  QPixmap Picture(uint32_t find) const;
  // Rows in the order of the last sort; the selection stays on its finds.
  void SortRows();
  // The rows of the finds the filter lets through, in the order of the last sort.
  void FilterRows();

  std::vector<StreamFind> Finds;
  std::vector<uint32_t> Rows;  // the find each row shows
  StreamScanFilter Filter;
  size_t hiddenByScore_ = 0;
  std::shared_ptr<const std::vector<uint8_t>> Image;
  StreamScanPreview Preview;
  // Drawn pictures of the finds seen last; a find scrolled past long ago is drawn again.
  mutable QCache<uint32_t, QPixmap> Pictures{4096};
  // The likeliest first until the user sorts by another column.
  int SortColumn = kScanScore;
  Qt::SortOrder SortOrder = Qt::DescendingOrder;
};

}  // namespace varnock
