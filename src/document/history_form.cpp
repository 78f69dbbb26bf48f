#include "document/history_form.h"

#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QVBoxLayout>

#include "document/child_form.h"
#include "history/edit_history.h"
#include "shell/prompts.h"

namespace varnock {
namespace {

QString FromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void HistoryListModel::Show(const EditHistory* history) {
  beginResetModel();
  history_ = history;
  endResetModel();
}

int HistoryListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !history_) return 0;
  return static_cast<int>(std::min<size_t>(history_->StepCount() + 1, INT32_MAX));
}

size_t HistoryListModel::PositionOf(int row) const {
  const size_t count = history_ ? history_->StepCount() : 0;
  return row < 0 || static_cast<size_t>(row) > count ? count : count - static_cast<size_t>(row);
}

int HistoryListModel::RowOf(size_t position) const {
  const size_t count = history_ ? history_->StepCount() : 0;
  return position > count ? 0 : static_cast<int>(count - position);
}

QString HistoryListModel::RowText(int row) const {
  if (!history_ || row < 0 || row >= rowCount()) return {};
  const size_t position = PositionOf(row);
  const bool current = position == history_->Position();
  const QString mark = current ? QStringLiteral("» ") : QStringLiteral("   ");
  if (position == 0) {
    // The oldest row says where undo stops: at the opening, or where old steps were let go.
    if (history_->DroppedSteps() == 0) return mark + QStringLiteral("Stato all'apertura");
    return mark + QStringLiteral(
                      "Inizio della cronologia: %1 passi più vecchi scartati "
                      "(l'ultimo: %2)")
                      .arg(history_->DroppedSteps())
                      .arg(FromView(history_->StartDescription()));
  }
  // Steps keep their numbers when old ones are dropped.
  const int64_t number = history_->DroppedSteps() + static_cast<int64_t>(position);
  return mark +
         QStringLiteral("%1. %2").arg(number).arg(FromView(history_->Description(position - 1)));
}

QVariant HistoryListModel::data(const QModelIndex& index, int role) const {
  if (!history_ || !index.isValid()) return {};
  const size_t position = PositionOf(index.row());
  switch (role) {
    case Qt::DisplayRole:
      return RowText(index.row());
    case Qt::FontRole:
      if (position == history_->Position()) {
        QFont bold;
        bold.setBold(true);
        return bold;
      }
      return {};
    case Qt::ForegroundRole:
      // Steps that were undone, which a redo would write again.
      if (position > history_->Position())
        return QPalette().brush(QPalette::Disabled, QPalette::Text);
      return {};
    default:
      return {};
  }
}

THistoryForm::THistoryForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("HistoryForm"));
  setWindowTitle(QStringLiteral("Cronologia"));
  setModal(false);
  KeepAboveToolWindows(this);
  auto* hint =
      new QLabel(QStringLiteral("Doppio clic su una riga: l'immagine torna a quello stato."), this);
  Steps = new HistoryListModel(this);
  StepList = new QListView(this);
  StepList->setObjectName(QStringLiteral("StepList"));
  // Thousands of steps: rows of one height are laid out without measuring each.
  StepList->setUniformItemSizes(true);
  StepList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StepList->setModel(Steps);
  StepList->setMinimumSize(360, 320);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(hint);
  layout->addWidget(StepList, 1);
  connect(StepList, &QListView::doubleClicked, this, &THistoryForm::StepListActivated);
  // Enter; on a desktop that activates with one click, that click too.
  connect(StepList, &QListView::activated, this, &THistoryForm::StepListActivated);
}

void THistoryForm::ShowHistoryOf(TChildForm* rom) {
  if (rom == Rom && rom && Steps->Listed() == &rom->Doc.History()) return;
  Rom = rom;
  Refresh();
}

void THistoryForm::Refresh() {
  TChildForm* rom = Rom.data();
  if (rom && rom->Closed) rom = nullptr;
  setWindowTitle(rom ? QStringLiteral("Cronologia - %1").arg(rom->DocumentName())
                     : QStringLiteral("Cronologia"));
  // A hidden window lists nothing: showing it lists the history as it is then.
  Steps->Show(rom && isVisible() ? &rom->Doc.History() : nullptr);
  if (Steps->rowCount() == 0) return;
  const QModelIndex current = Steps->index(CurrentRow());
  StepList->setCurrentIndex(current);
  StepList->scrollTo(current);
}

int THistoryForm::CurrentRow() const {
  const TChildForm* rom = Rom.data();
  return rom ? Steps->RowOf(rom->Doc.History().Position()) : -1;
}

void THistoryForm::StepListActivated(const QModelIndex& index) {
  TChildForm* rom = Rom.data();
  if (!rom || rom->Closed || !index.isValid()) return;
  rom->GoToHistoryStep(Steps->PositionOf(index.row()));
}

void THistoryForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Refresh();
}

}  // namespace varnock
