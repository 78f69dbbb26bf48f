#include "document/stream_scan_form.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPixmap>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>

#include "codec/tile_codec.h"
#include "compression/scan_presets.h"
#include "document/child_form.h"
#include "document/stream_link.h"
#include "shell/prompts.h"
#include "shell/surface_image.h"

namespace varnock {
namespace {

constexpr int kPictureTiles = 8;
constexpr int kPictureZoom = 2;
constexpr int kProgressSteps = 1000;
constexpr int kProgressIntervalMs = 100;
constexpr int kHitRole = Qt::UserRole;       // column 0: index into the dialog's finds
constexpr int kSortRole = Qt::UserRole + 1;  // the number a numeric column sorts by

// Sorts numeric columns by their numbers, not by their texts.
class ScanResultItem : public QTreeWidgetItem {
 public:
  using QTreeWidgetItem::QTreeWidgetItem;
  bool operator<(const QTreeWidgetItem& other) const override {
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    const QVariant mine = data(column, kSortRole);
    const QVariant theirs = other.data(column, kSortRole);
    if (mine.isValid() && theirs.isValid()) return mine.toLongLong() < theirs.toLongLong();
    return QTreeWidgetItem::operator<(other);
  }
};

void SetNumber(QTreeWidgetItem* item, int column, qint64 value, const QString& text) {
  item->setText(column, text);
  item->setData(column, kSortRole, value);
  item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
}

// The worker's whole work: the scan, then the first bytes of each find for its picture.
void RunScan(StreamScanJob& job) {
  job.WorkerThread = std::this_thread::get_id();
  const std::vector<StreamFind> finds =
      ScanForStreams(job.Image, job.Formats, [&job](size_t done, size_t total) {
        job.Done.store(done, std::memory_order_relaxed);
        job.Total.store(total, std::memory_order_relaxed);
        return !job.Cancelled.load(std::memory_order_relaxed);
      });
  const size_t firstBytes = static_cast<size_t>(kPictureTiles) * kMaxTileBytes;
  job.Hits.reserve(finds.size());
  for (const StreamFind& find : finds) {
    StreamScanHit hit{find, {}};
    if (!job.Cancelled.load(std::memory_order_relaxed)) {
      const DecompressResult result =
          Decompress(find.Format, std::span<const uint8_t>(job.Image).subspan(find.Offset),
                     CompressionInfo(find.Format).ScanMaxOutput);
      hit.FirstBytes.assign(result.Bytes.begin(),
                            result.Bytes.begin() + std::min(result.Bytes.size(), firstBytes));
    }
    job.Hits.push_back(std::move(hit));
  }
}

}  // namespace

TStreamScanForm::TStreamScanForm(TChildForm* rom) : QDialog(rom), Rom(rom) {
  setObjectName(QStringLiteral("StreamScanForm"));
  setWindowTitle(QStringLiteral("Cerca grafica compressa"));
  setAttribute(Qt::WA_DeleteOnClose);
  // Editing goes on while the scan runs.
  setModal(false);
  KeepAboveToolWindows(this);

  auto* formats = new QGroupBox(QStringLiteral("Formati"), this);
  auto* grid = new QGridLayout(formats);
  const std::vector<CompressionFormat> preset = ScanFormatsForExtension(rom->Doc.RomExt);
  int index = 0;
  for (const CompressionFormatInfo& info : AllCompressionFormats()) {
    auto* box = new QCheckBox(QString::fromUtf8(info.DisplayName), formats);
    box->setObjectName(QStringLiteral("FormatBox_%1").arg(QString::fromUtf8(info.ShortName)));
    box->setChecked(std::ranges::find(preset, info.Format) != preset.end());
    connect(box, &QCheckBox::toggled, this, &TStreamScanForm::UpdateButtons);
    grid->addWidget(box, index / 5, index % 5);
    FormatBoxes[index++] = box;
  }

  StartButton = new QPushButton(QStringLiteral("&Avvia"), this);
  StartButton->setObjectName(QStringLiteral("StartButton"));
  CancelButton = new QPushButton(QStringLiteral("&Interrompi"), this);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  Progress = new QProgressBar(this);
  Progress->setObjectName(QStringLiteral("Progress"));
  Progress->setRange(0, kProgressSteps);
  Progress->setValue(0);
  StatusLabel = new QLabel(this);
  StatusLabel->setObjectName(QStringLiteral("StatusLabel"));

  Results = new QTreeWidget(this);
  Results->setObjectName(QStringLiteral("Results"));
  Results->setRootIsDecorated(false);
  Results->setHeaderLabels({QStringLiteral("Offset"), QStringLiteral("Formato"),
                            QStringLiteral("Compressi"), QStringLiteral("Decompressi"),
                            QStringLiteral("Tile"), QStringLiteral("Anteprima")});
  Results->setIconSize(QSize(kPictureTiles * 8 * kPictureZoom, 8 * kPictureZoom));
  Results->setSortingEnabled(true);
  Results->sortByColumn(kScanOffset, Qt::AscendingOrder);
  Results->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  Results->setMinimumSize(560, 240);

  GotoButton = new QPushButton(QStringLiteral("&Vai a"), this);
  GotoButton->setObjectName(QStringLiteral("GotoButton"));
  OpenButton = new QPushButton(QStringLiteral("A&pri"), this);
  OpenButton->setObjectName(QStringLiteral("OpenButton"));
  CloseButton = new QPushButton(QStringLiteral("&Chiudi"), this);
  CloseButton->setObjectName(QStringLiteral("CloseButton"));

  connect(StartButton, &QPushButton::clicked, this, &TStreamScanForm::StartButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &TStreamScanForm::CancelButtonClick);
  connect(GotoButton, &QPushButton::clicked, this, &TStreamScanForm::GotoButtonClick);
  connect(OpenButton, &QPushButton::clicked, this, &TStreamScanForm::OpenButtonClick);
  connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
  connect(Results, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { OpenHit(item); });
  connect(Results, &QTreeWidget::itemSelectionChanged, this, &TStreamScanForm::UpdateButtons);

  ProgressTimer = new QTimer(this);
  ProgressTimer->setInterval(kProgressIntervalMs);
  connect(ProgressTimer, &QTimer::timeout, this, &TStreamScanForm::ShowProgress);

  auto* run = new QHBoxLayout;
  run->addWidget(StartButton);
  run->addWidget(CancelButton);
  run->addWidget(Progress, 1);
  auto* actions = new QHBoxLayout;
  actions->addWidget(StatusLabel, 1);
  actions->addWidget(GotoButton);
  actions->addWidget(OpenButton);
  actions->addWidget(CloseButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(formats);
  layout->addLayout(run);
  layout->addWidget(Results, 1);
  layout->addLayout(actions);
  UpdateButtons();
}

TStreamScanForm::~TStreamScanForm() {
  // Only the worker is stopped: the window, and this dialog's rows, may be going away too.
  if (!Job) return;
  Job->Cancelled = true;
  Worker->wait();
  delete Worker;
}

TChildForm* TStreamScanForm::OpenRom() const {
  TChildForm* rom = Rom.data();
  return rom && !rom->Closed ? rom : nullptr;
}

void TStreamScanForm::UpdateButtons() {
  const bool anyFormat =
      std::ranges::any_of(FormatBoxes, [](const QCheckBox* box) { return box->isChecked(); });
  StartButton->setEnabled(!Scanning() && anyFormat);
  CancelButton->setEnabled(Scanning());
  const bool chosen = Results->currentItem() != nullptr && !Results->selectedItems().isEmpty();
  GotoButton->setEnabled(chosen);
  OpenButton->setEnabled(chosen);
}

void TStreamScanForm::StartButtonClick() {
  TChildForm* rom = OpenRom();
  if (!rom || Scanning()) return;
  auto job = std::make_shared<StreamScanJob>();
  const std::span<const uint8_t> image = rom->Doc.BytesFrom(0);
  job->Image.assign(image.begin(), image.end());
  job->Total = job->Image.size();
  for (size_t i = 0; i < FormatBoxes.size(); ++i)
    if (FormatBoxes[i]->isChecked()) job->Formats.push_back(AllCompressionFormats()[i].Format);
  if (job->Formats.empty()) return;
  Results->clear();
  Hits.clear();
  Progress->setValue(0);
  StatusLabel->setText(QStringLiteral("Ricerca in corso..."));
  Job = job;
  Worker = QThread::create([job] { RunScan(*job); });
  // The finds reach this thread through its event loop; a scan stopped meanwhile has already
  // been taken, and its late signal finds another job or none.
  connect(Worker, &QThread::finished, this, [this, job] {
    if (Job == job) TakeResults();
  });
  Worker->start();
  ProgressTimer->start();
  UpdateButtons();
}

void TStreamScanForm::ShowProgress() {
  if (!Job) return;
  const uint64_t total = Job->Total.load(std::memory_order_relaxed);
  const uint64_t done = Job->Done.load(std::memory_order_relaxed);
  Progress->setValue(total == 0 ? 0 : static_cast<int>(done * kProgressSteps / total));
}

void TStreamScanForm::CancelButtonClick() {
  StopScan();
}

void TStreamScanForm::StopScan() {
  if (!Job) return;
  Job->Cancelled = true;
  TakeResults();
}

void TStreamScanForm::TakeResults() {
  std::shared_ptr<StreamScanJob> job = std::move(Job);
  Job = nullptr;
  ProgressTimer->stop();
  Worker->wait();
  Worker->deleteLater();
  Worker = nullptr;
  LastWorkerThread = job->WorkerThread;
  Hits = std::move(job->Hits);
  const bool cancelled = job->Cancelled.load();
  Progress->setValue(cancelled ? Progress->value() : kProgressSteps);
  Results->setSortingEnabled(false);
  for (size_t i = 0; i < Hits.size(); ++i) {
    const StreamFind& find = Hits[i].Find;
    auto* item = new ScanResultItem(Results);
    SetNumber(item, kScanOffset, static_cast<qint64>(find.Offset),
              QString::fromStdString(OffsetHexText(static_cast<int64_t>(find.Offset))));
    item->setData(kScanOffset, kHitRole, static_cast<qulonglong>(i));
    item->setText(kScanFormat, QString::fromUtf8(CompressionInfo(find.Format).DisplayName));
    SetNumber(item, kScanPacked, static_cast<qint64>(find.CompressedLength),
              QString::number(find.CompressedLength));
    SetNumber(item, kScanUnpacked, static_cast<qint64>(find.DecompressedLength),
              QString::number(find.DecompressedLength));
  }
  Results->setSortingEnabled(true);
  RefreshRows();
  StatusLabel->setText(cancelled ? QStringLiteral("Ricerca interrotta: trovati %1").arg(Hits.size())
                                 : QStringLiteral("Trovati: %1").arg(Hits.size()));
  UpdateButtons();
}

void TStreamScanForm::RefreshRows() {
  const TChildForm* rom = OpenRom();
  if (!rom) return;
  const RomDocument& doc = rom->Doc;
  const int32_t tileBytes = std::max(doc.TileBytes, 1);
  TileSurface picture;
  SetUpTileSurface(picture, kPictureTiles, 1);
  picture.Colors = doc.ViewSurface.Colors;
  picture.DecodeFormat = doc.Format;
  picture.DecodeBits = doc.BitsPerPixel;
  picture.DecodeTileBytes = tileBytes;
  const bool sorting = Results->isSortingEnabled();
  Results->setSortingEnabled(false);
  for (int row = 0; row < Results->topLevelItemCount(); ++row) {
    QTreeWidgetItem* item = Results->topLevelItem(row);
    const StreamScanHit* hit = HitOf(item);
    if (!hit) continue;
    const auto tiles = static_cast<qint64>(hit->Find.DecompressedLength) / tileBytes;
    SetNumber(item, kScanTiles, tiles, QString::number(tiles));
    std::ranges::fill(picture.Pixels, uint8_t{0});
    picture.DecodeAcross = static_cast<int32_t>(std::clamp<qint64>(tiles, 1, kPictureTiles));
    picture.DecodeDown = 1;
    DecodeTiles(hit->FirstBytes, picture);
    const QImage image = IndexedImage(picture).scaled(picture.Width() * kPictureZoom,
                                                      picture.Height() * kPictureZoom);
    item->setData(kScanPicture, Qt::DecorationRole, QPixmap::fromImage(image));
  }
  Results->setSortingEnabled(sorting);
}

const StreamScanHit* TStreamScanForm::HitOf(const QTreeWidgetItem* item) const {
  if (!item) return nullptr;
  const QVariant index = item->data(kScanOffset, kHitRole);
  if (!index.isValid() || index.toULongLong() >= Hits.size()) return nullptr;
  return &Hits[index.toULongLong()];
}

void TStreamScanForm::GotoButtonClick() {
  TChildForm* rom = OpenRom();
  const StreamScanHit* hit = HitOf(Results->currentItem());
  if (!rom || !hit) return;
  rom->MoveViewTo(static_cast<int64_t>(hit->Find.Offset));
}

void TStreamScanForm::OpenButtonClick() {
  OpenHit(Results->currentItem());
}

void TStreamScanForm::OpenHit(const QTreeWidgetItem* item) {
  TChildForm* rom = OpenRom();
  const StreamScanHit* hit = HitOf(item);
  if (!rom || !hit) return;
  // From the image as it is now: an edit since the scan may have changed the stream.
  rom->OpenStreamWindow(static_cast<int64_t>(hit->Find.Offset), hit->Find.Format);
}

void TStreamScanForm::done(int result) {
  // Closing the dialog, by its close box, Chiudi or Esc, ends here too.
  StopScan();
  QDialog::done(result);
}

void TStreamScanForm::changeEvent(QEvent* event) {
  // The window's format or palette may have changed while another window was active.
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) RefreshRows();
  QDialog::changeEvent(event);
}

}  // namespace varnock
