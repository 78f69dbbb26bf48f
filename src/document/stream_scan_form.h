// "Cerca grafica compressa...": scans a copy of a ROM window's image for compressed streams on
// a worker thread, lists what it finds, and opens a find or moves the window's view to it.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeView>
#include <array>
#include <memory>
#include <thread>
#include <vector>

#include "compression/stream_scan.h"
#include "document/background_job.h"
#include "document/stream_scan_form_model.h"

namespace varnock {

class TChildForm;

// One scan's state, shared with its worker. The worker reads Image and Formats, reports its
// progress as it goes and fills Finds before it ends; the window reads Finds only after the
// worker has ended. The list keeps Image to draw the finds' pictures.
struct StreamScanJob : JobProgress {
  std::vector<uint8_t> Image;
  std::vector<CompressionFormat> Formats;
  ScanOptions Options;
  std::vector<StreamFind> Finds;
};

class TStreamScanForm : public QDialog {
  Q_OBJECT
 public:
  // Preset with the formats of `rom`'s console; nothing starts before Start is pressed.
  explicit TStreamScanForm(TChildForm* rom);
  ~TStreamScanForm() override;

  // Starts a scan of a copy of the window's image for the ticked formats.
  void StartButtonClick();
  // Stops a running scan; what it found so far is listed.
  void CancelButtonClick();
  // Moves the window's view to the selected find.
  void GotoButtonClick();
  // Opens the selected find as a window of its own.
  void OpenButtonClick();
  bool Scanning() const { return Work.Running(); }
  // Cancels a running scan and waits until its worker has ended.
  void StopScan();
  // Tile counts and pictures in the window's current format and palette.
  void RefreshRows();
  // The find a row of the list shows, or null.
  const StreamFind* FindAt(int row) const { return Model->FindAt(row); }
  // The row the user chose, or -1.
  int ChosenRow() const;
  // Lists the finds that the threshold, the minimum size and "Mostra tutti" let through.
  void FilterChanged();

  QPointer<TChildForm> Rom;
  std::array<QCheckBox*, kCompressionFormatCount> FormatBoxes{};
  QPushButton* StartButton = nullptr;
  QPushButton* CancelButton = nullptr;
  QProgressBar* Progress = nullptr;
  QLabel* StatusLabel = nullptr;
  QSpinBox* ThresholdBox = nullptr;    // lowest score listed
  QSpinBox* MinimumSizeBox = nullptr;  // fewest decompressed bytes listed
  QCheckBox* ShowAllBox = nullptr;     // "Mostra tutti (N)": also the finds under the threshold
  QTreeView* Results = nullptr;
  StreamScanModel* Model = nullptr;
  QPushButton* GotoButton = nullptr;
  QPushButton* OpenButton = nullptr;
  QPushButton* CloseButton = nullptr;
  // The thread the last finished scan ran on.
  std::thread::id LastWorkerThread;

 protected:
  void changeEvent(QEvent* event) override;
  void done(int result) override;

 private:
  void ShowProgress();
  // Takes the ended worker's finds into the list.
  void TakeResults();
  void OpenFind(const StreamFind* find);
  void UpdateButtons();
  // "Trovati: ..." and the count "Mostra tutti" would add.
  void ShowCounts();
  // The window while it is open, else null.
  TChildForm* OpenRom() const;

  BackgroundJob<StreamScanJob> Work{this, [this] { ShowProgress(); }};
  bool LastScanStopped = false;
};

}  // namespace varnock
