#include "document/stream_scan_form_model.h"

#include <algorithm>
#include <string_view>

#include "codec/tile_codec.h"
#include "document/stream_link.h"
#include "shell/surface_image.h"

namespace varnock {
namespace {

constexpr int kPictureTiles = 8;
constexpr int kPictureZoom = 2;

// Each format's place when the formats are sorted by the names the list shows.
uint64_t NameRank(CompressionFormat format) {
  static const std::array<uint64_t, kCompressionFormatCount> ranks = [] {
    std::array<uint64_t, kCompressionFormatCount> rank{};
    for (const CompressionFormatInfo& info : AllCompressionFormats())
      for (const CompressionFormatInfo& other : AllCompressionFormats())
        if (std::string_view(other.DisplayName) < std::string_view(info.DisplayName))
          ++rank[static_cast<size_t>(info.Format)];
    return rank;
  }();
  return ranks[static_cast<size_t>(format) % ranks.size()];
}

bool IsNumberColumn(int column) {
  return column == kScanOffset || column == kScanPacked || column == kScanUnpacked ||
         column == kScanTiles || column == kScanScore;
}

}  // namespace

void StreamScanModel::SetFinds(std::vector<StreamFind> finds,
                               std::shared_ptr<const std::vector<uint8_t>> image) {
  Finds = std::move(finds);
  Image = std::move(image);
  Pictures.clear();
  FilterRows();
}

void StreamScanModel::SetFilter(const StreamScanFilter& filter) {
  Filter = filter;
  FilterRows();
}

void StreamScanModel::FilterRows() {
  beginResetModel();
  Rows.clear();
  hiddenByScore_ = 0;
  const int threshold = Filter.ShowAll ? kLowestScore : Filter.Threshold;
  for (size_t i = 0; i < Finds.size(); ++i) {
    const StreamFind& find = Finds[i];
    if (IsFindShown(find, threshold, Filter.MinimumSize)) Rows.push_back(static_cast<uint32_t>(i));
    // Counted also while shown, so that the box keeps its number when ticked.
    if (!IsFindShown(find, Filter.Threshold, Filter.MinimumSize) &&
        IsFindShown(find, kLowestScore, Filter.MinimumSize))
      ++hiddenByScore_;
  }
  endResetModel();
  // Rows keep the order the user chose, also for a new scan.
  SortRows();
}

void StreamScanModel::Clear() {
  SetFinds({}, nullptr);
}

void StreamScanModel::SetPreview(const StreamScanPreview& preview) {
  Preview = preview;
  Preview.TileBytes = std::max(Preview.TileBytes, 1);
  Pictures.clear();
  if (!Rows.empty()) emit dataChanged(index(0, kScanTiles), index(rowCount() - 1, kScanPicture));
}

const StreamFind* StreamScanModel::FindAt(int row) const {
  if (row < 0 || static_cast<size_t>(row) >= Rows.size()) return nullptr;
  return &Finds[Rows[static_cast<size_t>(row)]];
}

int StreamScanModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Rows.size());
}

int StreamScanModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kScanColumnCount;
}

QVariant StreamScanModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case kScanOffset:
      return QStringLiteral("Offset");
    case kScanFormat:
      return QStringLiteral("Formato");
    case kScanPacked:
      return QStringLiteral("Compressi");
    case kScanUnpacked:
      return QStringLiteral("Decompressi");
    case kScanTiles:
      return QStringLiteral("Tile");
    case kScanScore:
      return QStringLiteral("Punteggio");
    case kScanPicture:
      return QStringLiteral("Anteprima");
    default:
      return {};
  }
}

QVariant StreamScanModel::data(const QModelIndex& index, int role) const {
  const StreamFind* find = index.isValid() ? FindAt(index.row()) : nullptr;
  if (!find) return {};
  const int column = index.column();
  if (role == Qt::TextAlignmentRole && IsNumberColumn(column))
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  if (role == Qt::DecorationRole && column == kScanPicture)
    return Picture(Rows[static_cast<size_t>(index.row())]);
  if (role != Qt::DisplayRole) return {};
  switch (column) {
    case kScanOffset:
      return QString::fromStdString(OffsetHexText(static_cast<int64_t>(find->Offset)));
    case kScanFormat:
      return QString::fromUtf8(CompressionInfo(find->Format).DisplayName);
    case kScanPacked:
      return QString::number(find->CompressedLength);
    case kScanUnpacked:
      return QString::number(find->DecompressedLength);
    case kScanTiles:
      return QString::number(find->DecompressedLength / static_cast<size_t>(Preview.TileBytes));
    case kScanScore:
      return QString::number(find->Score);
    default:
      return {};
  }
}

QPixmap StreamScanModel::Picture(uint32_t findIndex) const {
  if (const QPixmap* drawn = Pictures.object(findIndex)) return *drawn;
  const StreamFind& find = Finds[findIndex];
  TileSurface picture;
  SetUpTileSurface(picture, kPictureTiles, 1);
  picture.Colors = Preview.Colors;
  picture.DecodeFormat = Preview.Format;
  picture.DecodeBits = Preview.Bits;
  picture.DecodeTileBytes = Preview.TileBytes;
  const size_t tiles = find.DecompressedLength / static_cast<size_t>(Preview.TileBytes);
  picture.DecodeAcross = static_cast<int32_t>(std::clamp<size_t>(tiles, 1, kPictureTiles));
  picture.DecodeDown = 1;
  if (Image && find.Offset < Image->size()) {
    const DecompressResult stream =
        Decompress(find.Format, std::span<const uint8_t>(*Image).subspan(find.Offset),
                   CompressionInfo(find.Format).ScanMaxOutput);
    const size_t first =
        std::min(stream.Bytes.size(), static_cast<size_t>(kPictureTiles * Preview.TileBytes));
    DecodeTiles(std::span<const uint8_t>(stream.Bytes).first(first), picture);
  }
  auto* drawn = new QPixmap(QPixmap::fromImage(IndexedImage(picture).scaled(
      picture.Width() * kPictureZoom, picture.Height() * kPictureZoom)));
  const QPixmap copy = *drawn;
  Pictures.insert(findIndex, drawn);
  return copy;
}

void StreamScanModel::sort(int column, Qt::SortOrder order) {
  SortColumn = column;
  SortOrder = order;
  SortRows();
}

void StreamScanModel::SortRows() {
  if (Rows.empty()) return;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  std::vector<uint32_t> kept;
  kept.reserve(static_cast<size_t>(before.size()));
  for (const QModelIndex& index : before) kept.push_back(Rows[static_cast<size_t>(index.row())]);

  // Ties keep the offset order, whichever way the column sorts.
  auto key = [this](uint32_t find) -> std::pair<uint64_t, size_t> {
    const StreamFind& f = Finds[find];
    switch (SortColumn) {
      case kScanFormat:
        return {NameRank(f.Format), f.Offset};
      case kScanPacked:
        return {f.CompressedLength, f.Offset};
      case kScanUnpacked:
      case kScanTiles:
        return {f.DecompressedLength, f.Offset};
      case kScanScore:
        return {static_cast<uint64_t>(f.Score), f.Offset};
      default:
        return {f.Offset, 0};
    }
  };
  std::ranges::sort(Rows, [&](uint32_t a, uint32_t b) {
    const auto ka = key(a);
    const auto kb = key(b);
    if (ka.first != kb.first)
      return SortOrder == Qt::AscendingOrder ? ka.first < kb.first : ka.first > kb.first;
    return ka.second < kb.second;
  });

  std::vector<int> rowOf(Finds.size(), -1);
  for (size_t row = 0; row < Rows.size(); ++row) rowOf[Rows[row]] = static_cast<int>(row);
  QModelIndexList after;
  after.reserve(before.size());
  for (qsizetype i = 0; i < before.size(); ++i)
    after.push_back(index(rowOf[kept[static_cast<size_t>(i)]], before[i].column()));
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace varnock
