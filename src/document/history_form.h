// "&Cronologia...": the steps of the active ROM window's history, newest first, with the state
// the image is at marked; a double click (or Enter) on a row takes the image to that state.
#pragma once

#include <QAbstractListModel>
#include <QDialog>
#include <QListView>
#include <QPointer>
#include <QString>
#include <cstddef>

namespace varnock {

class TChildForm;
class EditHistory;

// The rows of one history: row 0 is the newest step, the last row the state the history starts
// from. Row r stands for the state after the first StepCount - r steps.
class HistoryListModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  // Lists `history` (null: nothing) afresh.
  void Show(const EditHistory* history);
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  const EditHistory* Listed() const { return history_; }
  // The history position a row stands for, and the row of a position.
  size_t PositionOf(int row) const;
  int RowOf(size_t position) const;
  // A row's text as the list shows it.
  QString RowText(int row) const;

 private:
  const EditHistory* history_ = nullptr;
};

class THistoryForm : public QDialog {
  Q_OBJECT
 public:
  explicit THistoryForm(QWidget* parent);

  // Lists the history of `rom` (null: no ROM window, an empty list) and follows it from now on.
  // A window already listed is left as it is: activations come and go while the user clicks.
  void ShowHistoryOf(TChildForm* rom);
  // Lists the followed window's history again, if the window is shown.
  void Refresh();
  // A row chosen: the followed window's image goes to the state that row stands for.
  void StepListActivated(const QModelIndex& index);
  // The row of the state the image is at.
  int CurrentRow() const;

  QPointer<TChildForm> Rom;
  QListView* StepList = nullptr;
  HistoryListModel* Steps = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace varnock
