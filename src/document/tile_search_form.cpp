#include "document/tile_search_form.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>
#include <algorithm>

#include "codec/codec_registry.h"
#include "document/child_form.h"
#include "document/tile_search_form_model.h"
#include "document/tile_search_view.h"
#include "palette/video_memory.h"
#include "pictures/picture_tiles.h"
#include "shell/main_form.h"
#include "shell/prompts.h"

namespace varnock {
namespace {

constexpr int kProgressSteps = 1000;

const FileDialogInfo kOpenStateDialog{
    QStringLiteral("Apri stato"),
    QStringLiteral("Tutti gli stati supportati|*.ST?;*.ZS?;*.00?;*.FRZ;*.FC?;*.SS?;*.GS?;*.PNG|"
                   "NESticle Save States (*.STA)|*.ST?|ZSNES Save States (*.ZST)|*.ZS?|"
                   "Snes9x Save States (*.000, *.frz)|*.00?;*.FRZ|FCEUX Save States (*.fc0)|*.FC?|"
                   "mGBA Save States (*.ss0, *.png)|*.SS?;*.PNG|"
                   "Gens/Kega Save States (*.gs0)|*.GS?|Tutti i file (*.*)|*.*"),
    QString(), /*OverwritePrompt=*/false, /*FileMustExist=*/true};

const FileDialogInfo kOpenPictureDialog{
    QStringLiteral("Apri figura"),
    QStringLiteral("Figure (*.PNG, *.BMP)|*.PNG;*.BMP|Tutti i file (*.*)|*.*"), QString(),
    /*OverwritePrompt=*/false, /*FileMustExist=*/true};

// Widths that fit the texts of the columns: the list never measures its rows.
constexpr int kColumnWidths[kPlaceColumnCount] = {
    90, 130, 150, 50, 70, 100, 160, kPlacePreviewTiles * 8 * kPlacePreviewZoom + 8};

void RunSearch(TileSearchJob& job) {
  job.Result = SearchTiles(job.Request, job.Image, [&job](uint64_t done, uint64_t total) {
    return job.Report(done, total);
  });
}

}  // namespace

TTileSearchForm::TTileSearchForm(TChildForm* rom) : QDialog(rom), Rom(rom) {
  setObjectName(QStringLiteral("TileSearchForm"));
  setWindowTitle(QStringLiteral("Cerca tile"));
  setAttribute(Qt::WA_DeleteOnClose);
  // Editing goes on while the search runs.
  setModal(false);
  KeepAboveToolWindows(this);

  auto* sources = new QGroupBox(QStringLiteral("Tile da cercare"), this);
  auto* sourceGrid = new QGridLayout(sources);
  StateSource = new QRadioButton(QStringLiteral("Memoria video di uno &stato:"), sources);
  StateSource->setObjectName(QStringLiteral("StateSource"));
  StatePath = new QLineEdit(sources);
  StatePath->setObjectName(QStringLiteral("StatePath"));
  StateBrowse = new QPushButton(QStringLiteral("..."), sources);
  StateBrowse->setObjectName(QStringLiteral("StateBrowse"));
  PictureSource = new QRadioButton(QStringLiteral("&Figura (PNG o BMP):"), sources);
  PictureSource->setObjectName(QStringLiteral("PictureSource"));
  PicturePath = new QLineEdit(sources);
  PicturePath->setObjectName(QStringLiteral("PicturePath"));
  PictureBrowse = new QPushButton(QStringLiteral("..."), sources);
  PictureBrowse->setObjectName(QStringLiteral("PictureBrowse"));
  OriginX = new QSpinBox(sources);
  OriginX->setObjectName(QStringLiteral("OriginX"));
  OriginY = new QSpinBox(sources);
  OriginY->setObjectName(QStringLiteral("OriginY"));
  for (QSpinBox* origin : {OriginX, OriginY}) origin->setRange(0, 7);
  PickedSource = new QRadioButton(QStringLiteral("Tile s&celto"), sources);
  PickedSource->setObjectName(QStringLiteral("PickedSource"));
  SelectionSource = new QRadioButton(QStringLiteral("Se&lezione"), sources);
  SelectionSource->setObjectName(QStringLiteral("SelectionSource"));
  auto* origin = new QHBoxLayout;
  origin->addWidget(new QLabel(QStringLiteral("Origine della griglia: x"), sources));
  origin->addWidget(OriginX);
  origin->addWidget(new QLabel(QStringLiteral("y"), sources));
  origin->addWidget(OriginY);
  origin->addStretch();
  sourceGrid->addWidget(StateSource, 0, 0);
  sourceGrid->addWidget(StatePath, 0, 1);
  sourceGrid->addWidget(StateBrowse, 0, 2);
  sourceGrid->addWidget(PictureSource, 1, 0);
  sourceGrid->addWidget(PicturePath, 1, 1);
  sourceGrid->addWidget(PictureBrowse, 1, 2);
  sourceGrid->addLayout(origin, 2, 1);
  sourceGrid->addWidget(PickedSource, 3, 0);
  sourceGrid->addWidget(SelectionSource, 4, 0);
  const RomDocument& doc = rom->Doc;
  (doc.HasSelection ? SelectionSource
   : doc.EditTile   ? PickedSource
                    : StateSource)
      ->setChecked(true);

  auto* formats = new QGroupBox(QStringLiteral("Formati"), this);
  auto* formatGrid = new QGridLayout(formats);
  const std::vector<TileFormat> all = SearchFormatOrder(doc.Format);
  for (size_t i = 0; i < all.size(); ++i) {
    const TileFormatRow* row = LookUpTileFormat(all[i]);
    auto* box = new QCheckBox(QString::fromUtf8(row->Name), formats);
    box->setObjectName(QStringLiteral("FormatBox_%1").arg(all[i]));
    box->setProperty("format", static_cast<int>(all[i]));
    box->setChecked(true);
    connect(box, &QCheckBox::toggled, this, &TTileSearchForm::UpdateButtons);
    formatGrid->addWidget(box, static_cast<int>(i / 4), static_cast<int>(i % 4));
    FormatBoxes.push_back(box);
  }
  StreamsBox = new QCheckBox(QStringLiteral("Anche nella grafica &compressa"), this);
  StreamsBox->setObjectName(QStringLiteral("StreamsBox"));
  StreamsBox->setChecked(true);
  FlipsBox = new QCheckBox(QStringLiteral("Anche &specchiati e capovolti"), this);
  FlipsBox->setObjectName(QStringLiteral("FlipsBox"));
  FlipsBox->setChecked(true);

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

  Model = new TileSearchModel(this);
  Results = new QTreeView(this);
  Results->setObjectName(QStringLiteral("Results"));
  Results->setModel(Model);
  Results->setRootIsDecorated(false);
  Results->setItemsExpandable(false);
  // One height for every row: the view never lays out the list row by row.
  Results->setUniformRowHeights(true);
  Results->setAllColumnsShowFocus(true);
  Results->setIconSize(QSize(kPlacePreviewTiles * 8 * kPlacePreviewZoom, 8 * kPlacePreviewZoom));
  for (int column = 0; column < kPlaceColumnCount; ++column)
    Results->header()->resizeSection(column, kColumnWidths[column]);
  Results->header()->setStretchLastSection(false);
  int columnsWidth = 0;
  for (int width : kColumnWidths) columnsWidth += width;
  Results->setMinimumSize(columnsWidth + 24, 220);

  GotoButton = new QPushButton(QStringLiteral("&Vai a"), this);
  GotoButton->setObjectName(QStringLiteral("GotoButton"));
  CloseButton = new QPushButton(QStringLiteral("&Chiudi"), this);
  CloseButton->setObjectName(QStringLiteral("CloseButton"));

  connect(StateBrowse, &QPushButton::clicked, this, &TTileSearchForm::BrowseState);
  connect(PictureBrowse, &QPushButton::clicked, this, &TTileSearchForm::BrowsePicture);
  connect(StartButton, &QPushButton::clicked, this, &TTileSearchForm::StartButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &TTileSearchForm::CancelButtonClick);
  connect(GotoButton, &QPushButton::clicked, this, &TTileSearchForm::GotoButtonClick);
  connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
  connect(Results, &QTreeView::doubleClicked, this,
          [this](const QModelIndex& index) { OpenPlace(index.row()); });
  connect(Results->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &TTileSearchForm::UpdateButtons);

  auto* options = new QHBoxLayout;
  options->addWidget(StreamsBox);
  options->addWidget(FlipsBox);
  options->addStretch();
  auto* run = new QHBoxLayout;
  run->addWidget(StartButton);
  run->addWidget(CancelButton);
  run->addWidget(Progress, 1);
  auto* actions = new QHBoxLayout;
  actions->addWidget(StatusLabel, 1);
  actions->addWidget(GotoButton);
  actions->addWidget(CloseButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(sources);
  layout->addWidget(formats);
  layout->addLayout(options);
  layout->addLayout(run);
  layout->addWidget(Results, 1);
  layout->addLayout(actions);
  RefreshColors();
  UpdateButtons();
}

// The running search, if any, is stopped by its BackgroundJob.
TTileSearchForm::~TTileSearchForm() = default;

TChildForm* TTileSearchForm::OpenRom() const {
  TChildForm* rom = Rom.data();
  return rom && !rom->Closed ? rom : nullptr;
}

void TTileSearchForm::UpdateButtons() {
  const bool anyFormat =
      std::ranges::any_of(FormatBoxes, [](const QCheckBox* box) { return box->isChecked(); });
  StartButton->setEnabled(!Searching() && anyFormat);
  CancelButton->setEnabled(Searching());
  GotoButton->setEnabled(Results->currentIndex().isValid());
}

void TTileSearchForm::BrowseState() {
  if (const std::optional<QString> chosen =
          CurrentPrompts().OpenFileName(kOpenStateDialog, StatePath->text())) {
    StatePath->setText(*chosen);
    StateSource->setChecked(true);
  }
}

void TTileSearchForm::BrowsePicture() {
  if (const std::optional<QString> chosen =
          CurrentPrompts().OpenFileName(kOpenPictureDialog, PicturePath->text())) {
    PicturePath->setText(*chosen);
    PictureSource->setChecked(true);
  }
}

std::optional<TileSearchRequest> TTileSearchForm::MakeRequest() {
  const TChildForm* rom = OpenRom();
  if (!rom) return std::nullopt;
  const RomDocument& doc = rom->Doc;
  SearchedTiles tiles;
  std::vector<int64_t> own;
  QString source;
  if (StateSource->isChecked() || PictureSource->isChecked()) {
    const bool state = StateSource->isChecked();
    source = (state ? StatePath : PicturePath)->text();
    if (source.isEmpty()) {
      ShowError(state ? QStringLiteral("Choose the save state whose video memory to search for.")
                      : QStringLiteral("Choose the picture whose tiles to search for."));
      return std::nullopt;
    }
    if (state) {
      VideoMemoryRead read = ReadVideoMemory(PathBytes(source));
      if (!read.ok()) {
        ShowError(QStringLiteral("Cannot read the video memory of '%1'.\n%2")
                      .arg(source, QString::fromUtf8(VideoMemoryErrorText(read.Error))));
        return std::nullopt;
      }
      tiles = TilesFromBytes(read.Bytes, read.Format);
    } else {
      PictureTilesRead read =
          ReadPictureTiles(PathBytes(source), OriginX->value(), OriginY->value());
      if (!read.ok()) {
        ShowError(QStringLiteral("Cannot read the picture '%1'.\n%2").arg(source, read.Reason));
        return std::nullopt;
      }
      tiles = std::move(read.Tiles);
    }
  } else {
    const bool picked = PickedSource->isChecked();
    own = picked ? PickedTileOffsets(doc) : SelectionTileOffsets(doc);
    if (own.empty()) {
      ShowError(picked ? QStringLiteral("No tile is picked in this window.")
                       : QStringLiteral("Nothing is selected in this window."));
      return std::nullopt;
    }
    tiles = TilesAtOffsets(doc.BytesFrom(0), doc.Format, own);
    source = picked ? QStringLiteral("The picked tile") : QStringLiteral("The selection");
  }
  if (tiles.TooMany) {
    ShowError(QStringLiteral("'%1' holds more than %2 different tiles; search a part of it.")
                  .arg(source)
                  .arg(kMaxSearchedTiles));
    return std::nullopt;
  }
  if (tiles.Tiles.empty()) {
    ShowError(QStringLiteral("Every tile of '%1' is blank (one colour): there is nothing to "
                             "search for.")
                  .arg(source));
    return std::nullopt;
  }
  std::vector<TileFormat> chosen;
  for (const QCheckBox* box : FormatBoxes)
    if (box->isChecked())
      chosen.push_back(static_cast<TileFormat>(box->property("format").toInt()));
  TileSearchRequest request =
      MakeTileSearchRequest(std::move(tiles), doc.Format, chosen, doc.RomExt, FlipsBox->isChecked(),
                            StreamsBox->isChecked());
  request.OwnFormat = doc.Format;
  request.OwnOffsets = std::move(own);
  return request;
}

void TTileSearchForm::StartButtonClick() {
  TChildForm* rom = OpenRom();
  if (!rom || Searching()) return;
  std::optional<TileSearchRequest> request = MakeRequest();
  if (!request) return;
  auto job = std::make_shared<TileSearchJob>();
  job->Request = std::move(*request);
  const std::span<const uint8_t> image = rom->Doc.BytesFrom(0);
  job->Image.assign(image.begin(), image.end());
  SearchedCount = job->Request.Tiles.Tiles.size();
  Model->SetResult({}, {});
  Progress->setValue(0);
  StatusLabel->setText(QStringLiteral("Ricerca di %1 tile in corso...").arg(SearchedCount));
  Work.Start(job, RunSearch, [this] { TakeResult(); });
  UpdateButtons();
}

void TTileSearchForm::ShowProgress() {
  if (const TileSearchJob* job = Work.Current()) Progress->setValue(job->Steps(kProgressSteps));
}

void TTileSearchForm::CancelButtonClick() {
  StopSearch();
}

void TTileSearchForm::StopSearch() {
  if (!Searching()) return;
  Work.Cancel();
  TakeResult();
}

void TTileSearchForm::TakeResult() {
  const std::shared_ptr<TileSearchJob> job = Work.Take();
  if (!job) return;
  LastWorkerThread = job->WorkerThread;
  const bool cancelled = job->Result.Cancelled;
  const size_t places = job->Result.Places.size();
  const size_t streams = job->Result.StreamsSearched;
  Model->SetResult(std::move(job->Result), std::move(job->Image));
  RefreshColors();
  Progress->setValue(cancelled ? Progress->value() : kProgressSteps);
  const QString found = QStringLiteral("%1 tile cercati: %2 posti (%3 flussi compressi esaminati)")
                            .arg(SearchedCount)
                            .arg(places)
                            .arg(streams);
  StatusLabel->setText(cancelled ? QStringLiteral("Ricerca interrotta. ") + found : found);
  if (places > 0) Results->setCurrentIndex(Model->index(0, 0));
  UpdateButtons();
}

void TTileSearchForm::GotoButtonClick() {
  OpenPlace(Results->currentIndex().row());
}

TChildForm* TTileSearchForm::OpenPlace(int row) {
  TChildForm* rom = OpenRom();
  const TilePlace* place = Model->PlaceAt(row);
  if (!rom || !place) return nullptr;
  TChildForm* shown = rom;
  if (const SearchedStream* stream = Model->StreamOf(*place)) {
    // From the image as it is now: an edit since the search may have changed the stream.
    shown = rom->OpenStreamWindow(static_cast<int64_t>(stream->Find.Offset), stream->Find.Format);
    if (!shown) return nullptr;
  }
  shown->ShowTileAt(place->Format, static_cast<int64_t>(place->Offset));
  return shown;
}

void TTileSearchForm::RefreshColors() {
  if (const TChildForm* rom = OpenRom()) Model->SetColors(rom->Doc.ViewSurface.Colors);
}

void TTileSearchForm::done(int result) {
  // Closing the dialog, by its close box, Chiudi or Esc, ends here too.
  StopSearch();
  QDialog::done(result);
}

void TTileSearchForm::changeEvent(QEvent* event) {
  // The window's palette may have changed while another window was active.
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) RefreshColors();
  QDialog::changeEvent(event);
}

}  // namespace varnock
