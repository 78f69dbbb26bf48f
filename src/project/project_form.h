// The project window: the open project's resources in a list docked at the right of the frame,
// each with a small picture, and the commands on them. It stands beside the ROM windows rather
// than over them: a floating window would join the three tool windows that already stay on
// top of everything, and a project is the frame's, like its menus, not any one ROM window's.
// On the right it leaves the left of the client area, which the tool windows keep clear, to
// the ROM windows.
#pragma once

#include <QAbstractListModel>
#include <QDockWidget>
#include <QListView>
#include <QPixmap>
#include <optional>
#include <string>
#include <vector>

#include "document/rom_document.h"
#include "project/project_file.h"

namespace varnock {

class TChildForm;

// The resources as rows: the name and where it is as text, the picture as the icon. Pictures
// are drawn when a row is first shown and kept until the project changes.
class ProjectListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  explicit ProjectListModel(QObject* parent) : QAbstractListModel(parent) {}
  int rowCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  // Every row again, after the project or its ROM changed.
  void Reset(const Project* project, const std::string* projectPath, const RomDocument* rom);

 private:
  const Project* Project_ = nullptr;
  const std::string* ProjectPath_ = nullptr;
  const RomDocument* Rom_ = nullptr;
  mutable std::vector<std::optional<QPixmap>> Pictures;
};

class TProjectForm : public QDockWidget {
  Q_OBJECT
 public:
  explicit TProjectForm(QWidget* parent);

  // Opens the project file at `path` (bytes); a refused file is reported with its line and
  // reason and the project open before stays. True when opened.
  bool OpenProject(const std::string& path);
  // "&Nuovo...": a project for `rom`'s file (or a ROM the user picks when no window is
  // given), saved where the user says, at once. True when one was started.
  bool NewProject(TChildForm* rom);
  bool IsOpen() const { return !ProjectPath.empty(); }

  // Adds `resource` under a name the user gives (`preset` offered), and writes the file. A
  // name that cannot be used is reported and nothing is added. True when added.
  bool AddResource(ProjectResource resource, const QString& preset);
  // The double click: the project's ROM opened (once) and `row` shown in it, or its stream
  // window for a compressed one. The window that shows it, or null.
  TChildForm* ShowResource(int row);
  // The context menu's commands on `row`.
  bool RenameResource(int row);
  bool RemoveResource(int row);
  void EditResourceSettings(int row);
  // Replaces `row` with `changed`, when the resource can still be shown from the ROM; the file
  // is written at once. False, after telling why, otherwise.
  bool ChangeResource(int row, ProjectResource changed);

  // The ROM window showing the project's ROM, or null.
  TChildForm* RomWindow() const;
  // The ROM as a path from where the program runs.
  std::string RomPath() const;

  Project Current;
  std::string ProjectPath;
  QListView* List = nullptr;
  ProjectListModel* Model = nullptr;

 private:
  // Writes the project; on failure says so and gives false.
  bool WriteProject();
  // The list and caption for the project as it now is, the ROM read again for the pictures.
  void Refresh();
  void ShowContextMenu(const QPoint& at);
  // Where a stream resource's window is, or a new one from `rom`.
  TChildForm* StreamWindowFor(TChildForm* rom, const ProjectResource& resource);

  RomDocument PictureRom;  // the ROM as on disk, for the list's pictures
};

}  // namespace varnock
