// The ROM window's compressed streams: the "&Strumenti" menu, opening a stream as a window of
// its own, and saving that window back into the image it came from.
#include <QFileInfo>
#include <QMdiArea>
#include <QScreen>

#include "compression/scan_presets.h"
#include "document/child_form.h"
#include "document/step_names.h"
#include "document/stream_link.h"
#include "document/stream_open_form.h"
#include "document/stream_scan_form.h"
#include "io/file_io.h"
#include "shell/forms.h"
#include "shell/main_form.h"
#include "shell/prompts.h"
#include "shell/window_places.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"

namespace varnock {
namespace {

const FileDialogInfo kSaveStreamDialog{QStringLiteral("Salva grafica decompressa"),
                                       QStringLiteral("Tutti i file (*.*)|*.*"), QString(),
                                       /*OverwritePrompt=*/true, /*FileMustExist=*/false};

QString FormatName(CompressionFormat format) {
  return QString::fromUtf8(CompressionInfo(format).DisplayName);
}

QString HexText(int64_t offset) {
  return QString::fromStdString(OffsetHexText(offset));
}

}  // namespace

void TChildForm::BuildToolsMenu() {
  Tools1 = new QMenu(QStringLiteral("&Strumenti"), this);
  Tools1->setObjectName(QStringLiteral("Tools1"));
  OpenStream1 = Tools1->addAction(QStringLiteral("&Apri grafica compressa..."));
  OpenStream1->setObjectName(QStringLiteral("OpenStream1"));
  FindStreams1 = Tools1->addAction(QStringLiteral("&Cerca grafica compressa..."));
  FindStreams1->setObjectName(QStringLiteral("FindStreams1"));
  StreamRoom1 = Tools1->addAction(QStringLiteral("&Spazio dello stream..."));
  StreamRoom1->setObjectName(QStringLiteral("StreamRoom1"));
  connect(OpenStream1, &QAction::triggered, this, &TChildForm::OpenStream1Click);
  connect(FindStreams1, &QAction::triggered, this, &TChildForm::FindStreams1Click);
  connect(StreamRoom1, &QAction::triggered, this, &TChildForm::StreamRoom1Click);
  // Only a stream window has a room; the menu is built before the window knows what it shows.
  connect(Tools1, &QMenu::aboutToShow, this, [this] { StreamRoom1->setEnabled(IsStreamWindow()); });
  Tools1->addSeparator();
  FindTiles1 = Tools1->addAction(QStringLiteral("Cerca &tile..."));
  FindTiles1->setObjectName(QStringLiteral("FindTiles1"));
  // Shown in the menu; the frame's shortcut runs it through the menu, like a click.
  FindTiles1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  FindTiles1->setShortcutContext(Qt::WidgetShortcut);
  connect(FindTiles1, &QAction::triggered, this, &TChildForm::FindTiles1Click);
}

void TChildForm::OpenStream1Click() {
  const int32_t offset = Doc.EditTile ? Doc.EditTileOffset : Doc.ViewOffset;
  auto* dialog = new TStreamOpenForm(this, offset, ScanFormatsForExtension(Doc.RomExt).front(),
                                     Doc.BytesFrom(0));
  connect(dialog, &TStreamOpenForm::Chosen, this,
          [this, dialog](int32_t at, CompressionFormat format, const StreamRoomChoice& room) {
            // The dialog stays open with the reason, so the offset can be put right.
            QString failure;
            if (!OpenStreamWindow(at, format, &failure, room)) dialog->ShowFailure(failure);
          });
  // Window-modal and without a loop of its own, so nothing waits for the user's click.
  dialog->open();
}

void TChildForm::FindStreams1Click() {
  const bool made = !ScanForm;
  if (made) ScanForm = new TStreamScanForm(this);
  PresentDialog(ScanForm, made);
}

void TChildForm::PresentDialog(QDialog* dialog, bool made) {
  if (made) {
    // Below this window, where the tool windows, which stay on top, are least likely to be.
    dialog->adjustSize();
    const QPoint below = mapToGlobal(QPoint(0, frameGeometry().height()));
    const QScreen* screen = this->screen();
    if (screen &&
        screen->availableGeometry().contains(QRect(below, dialog->frameGeometry().size())))
      dialog->move(below);
  }
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
}

TChildForm* TChildForm::OpenStreamWindow(int64_t offset, CompressionFormat format, QString* failure,
                                         const StreamRoomChoice& room) {
  if (!MainForm || Closed) return nullptr;
  // One window a stream: a second one's save would write over the first one's edits.
  if (TChildForm* open = StreamWindowOf(offset, format)) {
    if (open->isMinimized()) open->showNormal();
    MainForm->MdiArea->setActiveSubWindow(open);
    return open;
  }
  OpenedStream opened = OpenStreamAt(Doc.BytesFrom(0), offset, format);
  QString text;
  if (!opened.ok())
    text = QStringLiteral("No %1 stream starts at %2: %3")
               .arg(FormatName(format), HexText(offset),
                    QString::fromUtf8(DecompressErrorText(opened.Error)));
  else
    text = QString::fromStdString(ApplyStreamRoomChoice(opened.Link, Doc.BytesFrom(0), room));
  if (!text.isEmpty()) {
    if (failure)
      *failure = text;
    else
      ShowError(text);
    return nullptr;
  }
  auto* child = new TChildForm();
  child->StreamSource = this;
  // The name without the modified mark the caption may carry.
  child->StreamCaptionText =
      QString::fromStdString(StreamCaption(DocumentName().toStdString(), opened.Link));
  MainForm->MdiArea->addSubWindow(child);
  child->show();
  child->TakeStreamSettings(*this);
  child->Doc.LoadStream(opened.Bytes, std::move(opened.Link), Doc.RomPath);
  child->MirrorFormat();
  MainForm->ShowLoadedRom(child, child->StreamCaptionText);
  child->PlaceBeside(*this);
  return child;
}

TChildForm* TChildForm::StreamWindowOf(int64_t offset, CompressionFormat format) const {
  for (TChildForm* child : MainForm->RomWindows())
    if (child->StreamSource == this && child->Doc.Stream && child->Doc.Stream->Offset == offset &&
        child->Doc.Stream->Format == format)
      return child;
  return nullptr;
}

void TChildForm::TakeStreamSettings(const TChildForm& source) {
  const RomDocument& from = source.Doc;
  Doc.Format = from.Format;
  Doc.Palette = from.Palette;
  SetPaletteFormat(from.PalFormat);
  Doc.PaletteSize = from.PaletteSize;
  MarkPaletteSize(Doc.PaletteSize);
  Doc.SubPalette = from.SubPalette;
  Doc.PalettePath = from.PalettePath;
  PaletteInRom = source.PaletteInRom;
  Doc.LeftColor = from.LeftColor;
  Doc.RightColor = from.RightColor;
}

void TChildForm::PlaceBeside(const TChildForm& source) {
  const QMdiArea* area = mdiArea();
  if (!area) return;
  // Further streams of the same source step down, so that no caption hides behind another.
  const int step = frameGeometry().height() - ClientSize().height();
  // Right of the source or below it where the tool windows leave that clear, else where the
  // free part of the client area has room; only where there is none, beside it all the same.
  QList<QPoint> beside;
  for (int y = source.y(); step > 0 && y < area->viewport()->height(); y += step)
    beside << QPoint(source.frameGeometry().right() + 1, y);
  beside << QPoint(source.x(), source.frameGeometry().bottom() + 1);
  if (PlaceInFreePart(this, beside)) return;
  const int room = area->viewport()->width() - width();
  QPoint at(std::clamp(source.frameGeometry().right() + 1, 0, std::max(room, 0)), source.y());
  for (bool taken = true; taken && step > 0;) {
    taken = false;
    for (const TChildForm* other : MainForm->RomWindows())
      if (other != this && other->pos() == at) taken = true;
    if (taken) at.ry() += step;
  }
  move(at);
}

bool TChildForm::SaveDocument() {
  return IsStreamWindow() ? SaveStream() : SaveRomReporting(Doc.RomPath);
}

bool TChildForm::SaveStream() {
  // An unchanged stream has nothing to put back, and bytes another edit wrote stay.
  if (!Doc.Modified) return true;
  TChildForm* source = StreamSource.data();
  if (!source || source->Closed) {
    ShowError(
        QStringLiteral("The window these graphics came from is closed. Nothing was written."));
    return false;
  }
  StreamLink& link = *Doc.Stream;
  const StreamSavePlan plan = PlanStreamSave(link, source->Doc.BytesFrom(0), Doc.BytesFrom(0));
  switch (plan.Verdict) {
    case StreamSaveVerdict::CannotCompress:
      ShowError(QString::fromStdString(StreamSaveRefusal(link, plan)));
      return false;
    case StreamSaveVerdict::TooLarge:
      // Elsewhere in the image there may be room: the user can move the stream there.
      if (CurrentPrompts().MessageBox(QString::fromStdString(StreamSaveRefusal(link, plan)),
                                      QStringLiteral("Varnock Pro"), PromptButtons::OkMove,
                                      PromptIcon::Stop) == PromptAnswer::Yes)
        OfferStreamMove(plan.Bytes);
      return false;
    case StreamSaveVerdict::Unchanged:
      break;
    case StreamSaveVerdict::Write:
      if (plan.PlaceChanged &&
          CurrentPrompts().MessageBox(
              QStringLiteral("The bytes at %1 in %2 have changed since these graphics were opened "
                             "or last saved. Write over them?")
                  .arg(HexText(link.Offset), source->DocumentName()),
              QStringLiteral("Varnock Pro"), PromptButtons::YesNo,
              PromptIcon::Question) != PromptAnswer::Yes)
        return false;
      {
        HistoryStep step(source->Doc, StreamStepName(link.Format, link.Offset));
        source->Doc.WriteBytes(link.Offset, plan.Bytes);
      }
      source->StreamWrittenAt(link.Offset, static_cast<int64_t>(plan.Bytes.size()));
      break;
  }
  StreamSaved(link, source->Doc.BytesFrom(0), plan);
  Doc.MarkSaved();
  return true;
}

void TChildForm::StreamWrittenAt(int64_t offset, int64_t length) {
  RedrawPage();
  if (EditForm) EditForm->ReloadBoundTile(this);
  if (ClipForm) ClipForm->RedecodeCellsIn(this, offset, offset + length);
}

bool TChildForm::SaveStreamAs() {
  const QString name =
      QStringLiteral("%1_%2.bin")
          .arg(QFileInfo(RomFileName()).completeBaseName(), HexText(Doc.Stream->Offset).mid(2));
  // A source named without a folder gives a bare name: the dialog starts in the folder of the
  // last file, which is where a name like that was found.
  const QString source = PathForDisplay(Doc.RomPath);
  const QString preset =
      source.contains(QLatin1Char('/')) ? QFileInfo(source).path() + QLatin1Char('/') + name : name;
  const std::optional<QString> chosen = CurrentPrompts().SaveFileName(kSaveStreamDialog, preset);
  if (!chosen) return false;
  // The graphics as they are, with no checksum rule: they are not a cartridge image.
  const FileWriteResult written = WriteFileSafely(PathBytes(*chosen), Doc.BytesFrom(0));
  if (written.Ok) return true;
  ShowError(QStringLiteral("Error: Could not save the file '%1'.\n%2")
                .arg(*chosen, QString::fromStdString(written.Reason)));
  return false;
}

bool TChildForm::CloseStreamWindows() {
  if (!MainForm) return true;
  for (TChildForm* child : MainForm->RomWindows()) {
    if (child->StreamSource != this) continue;
    MainForm->CloseAllowed = true;
    if (!child->close() || !MainForm->CloseAllowed) return false;
  }
  return true;
}

QString TChildForm::DocumentName() const {
  return IsStreamWindow() ? StreamCaptionText : RomFileName();
}

}  // namespace varnock
