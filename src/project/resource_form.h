// A resource's settings in a dialog: where its tiles are and how they are shown and kept.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "project/project_file.h"

namespace varnock {

class TResourceForm : public QDialog {
  Q_OBJECT
 public:
  TResourceForm(QWidget* parent, const ProjectResource& resource);

  // OK: the settings read from the boxes; a box that holds no valid value is reported and the
  // dialog stays open. The resource, or nothing then.
  std::optional<ProjectResource> ReadBoxes();

  QLineEdit* OffsetEdit = nullptr;
  QComboBox* FormatBox = nullptr;
  QLineEdit* ArrangementEdit = nullptr;
  QSpinBox* ColumnsBox = nullptr;  // 0: as many as the tiles, up to 16
  QSpinBox* TilesBox = nullptr;    // 0: to the end of the image or stream
  QComboBox* CompressionBox = nullptr;
  QSpinBox* RoomBox = nullptr;  // 0: what the stream takes now
  QSpinBox* FillBox = nullptr;  // -1: the byte of the image's free space
  QSpinBox* SubPaletteBox = nullptr;
  QLineEdit* PictureEdit = nullptr;
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;

 signals:
  void Chosen(const ProjectResource& resource);

 private:
  ProjectResource Original;
};

}  // namespace varnock
