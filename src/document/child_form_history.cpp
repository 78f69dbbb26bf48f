// The ROM window and its image's history: the Edit menu's undo, redo and history items, and
// every window that shows the bytes an undo or a redo wrote drawing them again.
#include <algorithm>

#include "document/child_form.h"
#include "document/history_form.h"
#include "shell/forms.h"
#include "shell/main_form.h"
#include "tools/block_form.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"

namespace varnock {
namespace {

// A step's name inside a menu caption, where "&" would mark a key.
QString MenuText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
      .replace(QLatin1Char('&'), QStringLiteral("&&"));
}

bool Overlaps(std::span<const ByteRange> ranges, int64_t begin, int64_t end) {
  return std::ranges::any_of(
      ranges, [&](const ByteRange& range) { return range.Offset < end && range.End() > begin; });
}

}  // namespace

void TChildForm::BuildHistoryItems() {
  Edit1->addSeparator();
  UndoHistory1 = Edit1->addAction(QStringLiteral("Annulla &modifica"));
  UndoHistory1->setObjectName(QStringLiteral("UndoHistory1"));
  RedoHistory1 = Edit1->addAction(QStringLiteral("&Ripeti"));
  RedoHistory1->setObjectName(QStringLiteral("RedoHistory1"));
  // Shown in the menu; the frame's shortcuts run it through the menu. Ctrl+Z stays with
  // "&Annulla Drop", which hands it on here when no drop is ready.
  RedoHistory1->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  RedoHistory1->setShortcutContext(Qt::WidgetShortcut);
  History1 = Edit1->addAction(QStringLiteral("&Cronologia..."));
  History1->setObjectName(QStringLiteral("History1"));
  connect(UndoHistory1, &QAction::triggered, this, &TChildForm::UndoHistory1Click);
  connect(RedoHistory1, &QAction::triggered, this, &TChildForm::RedoHistory1Click);
  connect(History1, &QAction::triggered, this, &TChildForm::History1Click);
  MirrorHistoryItems();
}

void TChildForm::MirrorHistoryItems() {
  const EditHistory& history = Doc.History();
  UndoHistory1->setEnabled(history.CanUndo());
  UndoHistory1->setText(
      history.CanUndo()
          ? QStringLiteral("Annulla &modifica: %1").arg(MenuText(history.UndoDescription()))
          : QStringLiteral("Annulla &modifica"));
  RedoHistory1->setEnabled(history.CanRedo());
  RedoHistory1->setText(history.CanRedo()
                            ? QStringLiteral("&Ripeti: %1").arg(MenuText(history.RedoDescription()))
                            : QStringLiteral("&Ripeti"));
  History1->setEnabled(true);
}

void TChildForm::UndoHistory1Click() {
  if (!Closed) Doc.Undo();
}

void TChildForm::RedoHistory1Click() {
  if (!Closed) Doc.Redo();
}

bool TChildForm::GoToHistoryStep(size_t position) {
  return !Closed && Doc.GoToStep(position);
}

void TChildForm::History1Click() {
  if (!MainForm) return;
  if (!MainForm->HistoryForm) {
    MainForm->HistoryForm = new THistoryForm(MainForm);
    // The menus' shortcuts, undo and redo above all, work while the list is active.
    MainForm->BindMenuShortcuts(MainForm->HistoryForm);
  }
  THistoryForm* form = MainForm->HistoryForm;
  form->ShowHistoryOf(this);
  form->show();
  form->raise();
  form->activateWindow();
}

void TChildForm::HistoryChanged() {
  if (MainForm && MainForm->HistoryForm && MainForm->HistoryForm->Rom == this)
    MainForm->HistoryForm->Refresh();
}

void TChildForm::HistoryRestored(std::span<const ByteRange> ranges) {
  if (Closed) return;
  // A redrawn page brings the block editor up to date too; its block may lie off the page.
  if (Overlaps(ranges, Doc.ViewOffset, int64_t{Doc.ViewOffset} + Doc.PageBytes))
    RedrawPage();
  else if (TBlockForm* editor = BlockEditor(false))
    editor->ImageChanged(this);
  if (EditForm && EditForm->BoundRom == this && EditForm->BoundTile &&
      Overlaps(ranges, EditForm->BoundOffset,
               int64_t{EditForm->BoundOffset} + EditForm->BoundTileBytes))
    EditForm->ReloadBoundTile(this);
  if (ClipForm) ClipForm->RedecodeCellsIn(this, ranges);
  if (!MainForm) return;
  // A stream window's bytes stay its own; whether its source still holds what it saved there
  // (an undo may take a write-back away, a redo bring it back) decides its unsaved mark.
  for (TChildForm* child : MainForm->RomWindows()) {
    if (child->StreamSource != this || !child->Doc.Stream) continue;
    const StreamLink& link = *child->Doc.Stream;
    if (!Overlaps(ranges, link.Offset, int64_t{link.Offset} + link.PlaceLength)) continue;
    const std::span<const uint8_t> place = PlaceIn(link, Doc.BytesFrom(0));
    child->Doc.SetSaveHeldBySource(std::ranges::equal(place, link.PlaceBytes));
  }
}

}  // namespace varnock
