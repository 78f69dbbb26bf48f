#include "document/stream_scan_form.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>
#include <algorithm>

#include "compression/scan_presets.h"
#include "document/child_form.h"
#include "document/stream_link.h"
#include "shell/prompts.h"

namespace varnock {
namespace {

constexpr int kProgressSteps = 1000;
// The picture column holds eight tiles drawn twice their size; the others fit their numbers.
constexpr std::array<int, kScanColumnCount> kColumnWidths{90, 90, 80, 90, 60, 80, 140};
// Larger than any stream the formats decode to.
constexpr int kLargestMinimumSize = 1 << 24;

// The worker's whole work. The finds' pictures are drawn later, by the list, from the same
// copy of the image: a stopped scan's finds get theirs too.
void RunScan(StreamScanJob& job) {
  job.Finds = ScanForStreams(job.Image, job.Formats, job.Options,
                             [&job](size_t done, size_t total) { return job.Report(done, total); });
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
  ThresholdBox = new QSpinBox(this);
  ThresholdBox->setObjectName(QStringLiteral("ThresholdBox"));
  ThresholdBox->setRange(kLowestScore, kHighestScore);
  ThresholdBox->setValue(kDefaultScoreThreshold);
  MinimumSizeBox = new QSpinBox(this);
  MinimumSizeBox->setObjectName(QStringLiteral("MinimumSizeBox"));
  MinimumSizeBox->setRange(0, kLargestMinimumSize);
  MinimumSizeBox->setValue(static_cast<int>(kDefaultMinimumStreamSize));
  MinimumSizeBox->setSuffix(QStringLiteral(" byte"));
  ShowAllBox = new QCheckBox(this);
  ShowAllBox->setObjectName(QStringLiteral("ShowAllBox"));
  connect(ThresholdBox, &QSpinBox::valueChanged, this, &TStreamScanForm::FilterChanged);
  connect(MinimumSizeBox, &QSpinBox::valueChanged, this, &TStreamScanForm::FilterChanged);
  connect(ShowAllBox, &QCheckBox::toggled, this, &TStreamScanForm::FilterChanged);

  Model = new StreamScanModel(this);
  Results = new QTreeView(this);
  Results->setObjectName(QStringLiteral("Results"));
  Results->setModel(Model);
  Results->setRootIsDecorated(false);
  Results->setItemsExpandable(false);
  Results->setAllColumnsShowFocus(true);
  Results->setSelectionMode(QAbstractItemView::SingleSelection);
  Results->setSelectionBehavior(QAbstractItemView::SelectRows);
  // Every row is as high as the first: the view never measures the others, so thousands of
  // finds are listed at once.
  Results->setUniformRowHeights(true);
  Results->setIconSize(QSize(128, 16));
  Results->setSortingEnabled(true);
  Results->sortByColumn(kScanScore, Qt::DescendingOrder);
  // Widths fixed in advance: fitting them to the contents would visit every row.
  Results->header()->setSectionResizeMode(QHeaderView::Interactive);
  Results->header()->setStretchLastSection(true);
  for (int column = 0; column < kScanColumnCount; ++column)
    Results->header()->resizeSection(column, kColumnWidths[static_cast<size_t>(column)]);
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
  connect(Results, &QTreeView::doubleClicked, this,
          [this](const QModelIndex& index) { OpenFind(FindAt(index.row())); });
  connect(Results->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &TStreamScanForm::UpdateButtons);
  connect(Results->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &TStreamScanForm::UpdateButtons);

  auto* run = new QHBoxLayout;
  run->addWidget(StartButton);
  run->addWidget(CancelButton);
  run->addWidget(Progress, 1);
  auto* filter = new QHBoxLayout;
  auto* thresholdLabel = new QLabel(QStringLiteral("&Soglia:"), this);
  thresholdLabel->setBuddy(ThresholdBox);
  auto* minimumLabel = new QLabel(QStringLiteral("&Dimensione minima:"), this);
  minimumLabel->setBuddy(MinimumSizeBox);
  filter->addWidget(thresholdLabel);
  filter->addWidget(ThresholdBox);
  filter->addSpacing(12);
  filter->addWidget(minimumLabel);
  filter->addWidget(MinimumSizeBox);
  filter->addSpacing(12);
  filter->addWidget(ShowAllBox);
  filter->addStretch();
  auto* actions = new QHBoxLayout;
  actions->addWidget(StatusLabel, 1);
  actions->addWidget(GotoButton);
  actions->addWidget(OpenButton);
  actions->addWidget(CloseButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(formats);
  layout->addLayout(run);
  layout->addLayout(filter);
  layout->addWidget(Results, 1);
  layout->addLayout(actions);
  FilterChanged();
  UpdateButtons();
}

// The running scan, if any, is stopped by its BackgroundJob.
TStreamScanForm::~TStreamScanForm() = default;

TChildForm* TStreamScanForm::OpenRom() const {
  TChildForm* rom = Rom.data();
  return rom && !rom->Closed ? rom : nullptr;
}

void TStreamScanForm::UpdateButtons() {
  const bool anyFormat =
      std::ranges::any_of(FormatBoxes, [](const QCheckBox* box) { return box->isChecked(); });
  StartButton->setEnabled(!Scanning() && anyFormat);
  CancelButton->setEnabled(Scanning());
  const bool chosen = ChosenRow() >= 0;
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
  job->Options.TileBytes = static_cast<size_t>(std::max(rom->Doc.TileBytes, 1));
  for (size_t i = 0; i < FormatBoxes.size(); ++i)
    if (FormatBoxes[i]->isChecked()) job->Formats.push_back(AllCompressionFormats()[i].Format);
  if (job->Formats.empty()) return;
  Model->Clear();
  Progress->setValue(0);
  StatusLabel->setText(QStringLiteral("Ricerca in corso..."));
  Work.Start(job, RunScan, [this] { TakeResults(); });
  UpdateButtons();
}

void TStreamScanForm::ShowProgress() {
  if (const StreamScanJob* job = Work.Current()) Progress->setValue(job->Steps(kProgressSteps));
}

void TStreamScanForm::CancelButtonClick() {
  StopScan();
}

void TStreamScanForm::StopScan() {
  if (!Scanning()) return;
  Work.Cancel();
  TakeResults();
}

void TStreamScanForm::TakeResults() {
  const std::shared_ptr<StreamScanJob> job = Work.Take();
  if (!job) return;
  LastWorkerThread = job->WorkerThread;
  LastScanStopped = job->Cancelled.load();
  Progress->setValue(LastScanStopped ? Progress->value() : kProgressSteps);
  RefreshRows();
  // The list shares the job's copy of the image, which lives as long as the list needs it.
  Model->SetFinds(std::move(job->Finds),
                  std::shared_ptr<const std::vector<uint8_t>>(job, &job->Image));
  ShowCounts();
  UpdateButtons();
}

void TStreamScanForm::FilterChanged() {
  ThresholdBox->setEnabled(!ShowAllBox->isChecked());
  Model->SetFilter({ThresholdBox->value(), static_cast<size_t>(MinimumSizeBox->value()),
                    ShowAllBox->isChecked()});
  ShowCounts();
  UpdateButtons();
}

void TStreamScanForm::ShowCounts() {
  ShowAllBox->setText(QStringLiteral("Mostra &tutti (%1)").arg(Model->HiddenByScore()));
  // Nothing to count before the first scan, nor while one runs.
  if (Scanning() || LastWorkerThread == std::thread::id()) return;
  const QString counts =
      QStringLiteral("%1 (mostrati %2)").arg(Model->FindCount()).arg(Model->rowCount());
  StatusLabel->setText(LastScanStopped ? QStringLiteral("Ricerca interrotta: trovati ") + counts
                                       : QStringLiteral("Trovati: ") + counts);
}

void TStreamScanForm::RefreshRows() {
  const TChildForm* rom = OpenRom();
  if (!rom) return;
  const RomDocument& doc = rom->Doc;
  Model->SetPreview(
      {doc.Format, doc.BitsPerPixel, std::max(doc.TileBytes, 1), doc.ViewSurface.Colors});
}

int TStreamScanForm::ChosenRow() const {
  const QModelIndex current = Results->currentIndex();
  if (!current.isValid() || !Results->selectionModel()->isRowSelected(current.row(), {})) return -1;
  return current.row();
}

void TStreamScanForm::GotoButtonClick() {
  TChildForm* rom = OpenRom();
  const StreamFind* find = FindAt(ChosenRow());
  if (!rom || !find) return;
  rom->MoveViewTo(static_cast<int64_t>(find->Offset));
}

void TStreamScanForm::OpenButtonClick() {
  OpenFind(FindAt(ChosenRow()));
}

void TStreamScanForm::OpenFind(const StreamFind* find) {
  TChildForm* rom = OpenRom();
  if (!rom || !find) return;
  // From the image as it is now: an edit since the scan may have changed the stream.
  rom->OpenStreamWindow(static_cast<int64_t>(find->Offset), find->Format);
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
