#include "document/tile_search_form_model.h"

#include <QImage>
#include <algorithm>

#include "codec/codec_registry.h"
#include "codec/tile_codec.h"
#include "document/stream_link.h"
#include "shell/surface_image.h"

namespace varnock {
namespace {

QString HexText(size_t offset) {
  return QString::fromStdString(OffsetHexText(static_cast<int64_t>(offset)));
}

// "12 dritti, 3 specchiati": matches per orientation, those without any left out.
QString OrientationText(const TilePlace& place) {
  static const char* const kNames[kTileOrientationCount] = {"dritti", "specchiati", "capovolti",
                                                            "ruotati"};
  QStringList parts;
  for (int o = 0; o < kTileOrientationCount; ++o)
    if (const int32_t n = place.Orientations[static_cast<size_t>(o)]; n > 0)
      parts << QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(kNames[o]));
  return parts.join(QStringLiteral(", "));
}

}  // namespace

TileSearchModel::TileSearchModel(QObject* parent) : QAbstractTableModel(parent) {}

void TileSearchModel::SetResult(TileSearchResult result, std::vector<uint8_t> image) {
  beginResetModel();
  result_ = std::move(result);
  image_ = std::move(image);
  previews_.assign(result_.Places.size(), std::nullopt);
  picturesDrawn_ = 0;
  endResetModel();
}

void TileSearchModel::SetColors(const std::array<SurfaceColor, 256>& colors) {
  if (colors == colors_) return;
  colors_ = colors;
  std::fill(previews_.begin(), previews_.end(), std::nullopt);
  if (!previews_.empty())
    emit dataChanged(index(0, kPlacePreview), index(rowCount() - 1, kPlacePreview),
                     {Qt::DecorationRole});
}

const TilePlace* TileSearchModel::PlaceAt(int row) const {
  if (row < 0 || static_cast<size_t>(row) >= result_.Places.size()) return nullptr;
  return &result_.Places[static_cast<size_t>(row)];
}

const SearchedStream* TileSearchModel::StreamOf(const TilePlace& place) const {
  if (!place.Stream || *place.Stream >= result_.Streams.size()) return nullptr;
  return &result_.Streams[*place.Stream];
}

int TileSearchModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(result_.Places.size());
}

int TileSearchModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kPlaceColumnCount;
}

QVariant TileSearchModel::headerData(int section, Qt::Orientation orientation, int role) const {
  static const char* const kTitles[kPlaceColumnCount] = {
      "Offset",    "Formato",        "Compressione", "Tile",
      "In ordine", "Corrispondenze", "Orientamento", "Anteprima"};
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= kPlaceColumnCount)
    return {};
  return QString::fromUtf8(kTitles[section]);
}

QVariant TileSearchModel::Text(const TilePlace& place, int column) const {
  switch (column) {
    case kPlaceOffset:
      return HexText(place.Offset);
    case kPlaceFormat: {
      const TileFormatRow* row = LookUpTileFormat(place.Format);
      return row ? QString::fromUtf8(row->Name) : QString();
    }
    case kPlaceStream: {
      const SearchedStream* stream = StreamOf(place);
      if (!stream) return QStringLiteral("-");
      return QStringLiteral("%1 @ %2").arg(
          QString::fromUtf8(CompressionInfo(stream->Find.Format).DisplayName),
          HexText(stream->Find.Offset));
    }
    case kPlaceTiles:
      return place.TileCount;
    case kPlaceInOrder:
      return place.InOrder;
    case kPlaceMatches:
      return place.Matches;
    case kPlaceOrientation:
      return OrientationText(place);
    default:
      return {};
  }
}

QVariant TileSearchModel::data(const QModelIndex& index, int role) const {
  const TilePlace* place = PlaceAt(index.row());
  if (!place || index.column() < 0 || index.column() >= kPlaceColumnCount) return {};
  switch (role) {
    case Qt::DisplayRole:
      return Text(*place, index.column());
    case Qt::TextAlignmentRole:
      if (index.column() >= kPlaceTiles && index.column() <= kPlaceMatches)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
      return {};
    case Qt::DecorationRole:
      if (index.column() == kPlacePreview) return Preview(index.row());
      return {};
    default:
      return {};
  }
}

QPixmap TileSearchModel::Preview(int row) const {
  std::optional<QPixmap>& cached = previews_[static_cast<size_t>(row)];
  if (cached) return *cached;
  const TilePlace& place = result_.Places[static_cast<size_t>(row)];
  const SearchedStream* stream = StreamOf(place);
  const std::span<const uint8_t> bytes =
      stream ? std::span<const uint8_t>(stream->Bytes) : std::span<const uint8_t>(image_);
  const TileFormatRow* format = LookUpTileFormat(place.Format);
  TileSurface picture;
  SetUpTileSurface(picture, kPlacePreviewTiles, 1);
  picture.Colors = colors_;
  if (format && place.Offset < bytes.size()) {
    picture.DecodeFormat = place.Format;
    picture.DecodeTileBytes = format->TileBytes;
    picture.DecodeBits = format->BitsPerPixel;
    const size_t tiles = (place.End - place.Offset) / static_cast<size_t>(format->TileBytes);
    picture.DecodeAcross = static_cast<int32_t>(std::clamp<size_t>(tiles, 1, kPlacePreviewTiles));
    picture.DecodeDown = 1;
    DecodeTiles(bytes.subspan(place.Offset), picture);
  }
  ++picturesDrawn_;
  cached = QPixmap::fromImage(IndexedImage(picture).scaled(picture.Width() * kPlacePreviewZoom,
                                                           picture.Height() * kPlacePreviewZoom));
  return *cached;
}

}  // namespace varnock
