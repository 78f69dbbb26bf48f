// "Cerca tile...": where the tiles of a save state's video memory, of a picture, or the picked
// tile or selection of a ROM window lie in its image, raw and inside its compressed streams. The
// search runs on a worker thread over a copy of the image; a place opens in the window (or in a
// stream window) with its first matching tile picked.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeView>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "document/background_job.h"
#include "search/tile_search.h"

namespace varnock {

class TChildForm;
class TileSearchModel;

// One search's state, shared with its worker. The worker reads Request and Image, reports its
// progress as it goes and fills Result before it ends; the dialog reads Result only after the
// worker has ended.
struct TileSearchJob : JobProgress {
  TileSearchRequest Request;
  std::vector<uint8_t> Image;
  TileSearchResult Result;
};

class TTileSearchForm : public QDialog {
  Q_OBJECT
 public:
  // Preset with every format, streams and flips, and the window's pick or selection as the
  // source when it has one; nothing starts before Avvia is pressed.
  explicit TTileSearchForm(TChildForm* rom);
  ~TTileSearchForm() override;

  void StartButtonClick();
  // Stops a running search; what it found so far is listed.
  void CancelButtonClick();
  // Opens the current row's place.
  void GotoButtonClick();
  // The window's view at `row`'s place in its format, or a stream window there, with the
  // place's first matching tile picked. The window that shows it, or null.
  TChildForm* OpenPlace(int row);
  bool Searching() const { return Work.Running(); }
  // Cancels a running search and waits until its worker has ended.
  void StopSearch();
  // The tiles the chosen source gives, or nothing after telling the user why.
  std::optional<TileSearchRequest> MakeRequest();
  // Previews in the window's current colours.
  void RefreshColors();

  QPointer<TChildForm> Rom;
  QRadioButton* StateSource = nullptr;
  QLineEdit* StatePath = nullptr;
  QPushButton* StateBrowse = nullptr;
  QRadioButton* PictureSource = nullptr;
  QLineEdit* PicturePath = nullptr;
  QPushButton* PictureBrowse = nullptr;
  QSpinBox* OriginX = nullptr;
  QSpinBox* OriginY = nullptr;
  QRadioButton* PickedSource = nullptr;
  QRadioButton* SelectionSource = nullptr;
  std::vector<QCheckBox*> FormatBoxes;  // data: the TileFormat in the "format" property
  QCheckBox* StreamsBox = nullptr;
  QCheckBox* FlipsBox = nullptr;
  QPushButton* StartButton = nullptr;
  QPushButton* CancelButton = nullptr;
  QProgressBar* Progress = nullptr;
  QLabel* StatusLabel = nullptr;
  QTreeView* Results = nullptr;
  TileSearchModel* Model = nullptr;
  QPushButton* GotoButton = nullptr;
  QPushButton* CloseButton = nullptr;
  // The thread the last finished search ran on.
  std::thread::id LastWorkerThread;

 protected:
  void changeEvent(QEvent* event) override;
  void done(int result) override;

 private:
  void BrowseState();
  void BrowsePicture();
  void ShowProgress();
  void TakeResult();
  void UpdateButtons();
  TChildForm* OpenRom() const;

  BackgroundJob<TileSearchJob> Work{this, [this] { ShowProgress(); }};
  size_t SearchedCount = 0;
};

}  // namespace varnock
