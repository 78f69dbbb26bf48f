#include "project/project_form.h"

#include <QFileInfo>
#include <QMdiArea>
#include <QMenu>

#include "document/child_form.h"
#include "project/project_paths.h"
#include "project/project_resource.h"
#include "project/resource_form.h"
#include "shell/forms.h"
#include "shell/main_form.h"
#include "shell/prompts.h"
#include "shell/surface_image.h"

namespace varnock {
namespace {

const FileDialogInfo kNewProjectDialog{QStringLiteral("Nuovo progetto"),
                                       QStringLiteral("Progetti Varnock (*.vrkproj)|*.vrkproj"),
                                       QStringLiteral("vrkproj"), /*OverwritePrompt=*/true,
                                       /*FileMustExist=*/false};

// The list's picture: the first rows of a resource, as wide as eight tiles.
constexpr int32_t kPictureColumns = 8;
constexpr int64_t kPictureTiles = 32;
const QSize kPictureSize(kPictureColumns * 8, int(kPictureTiles / kPictureColumns) * 8);

QString RowText(const ProjectResource& resource) {
  QString where = QString::fromStdString(OffsetHexText(resource.Offset));
  if (resource.Compression)
    where +=
        QStringLiteral(" ") + QString::fromUtf8(CompressionInfo(*resource.Compression).ShortName);
  return QStringLiteral("%1  (%2)").arg(QString::fromStdString(resource.Name), where);
}

bool SameFile(const std::string& a, const std::string& b) {
  const FileIdentity first = IdentifyFile(a);
  const FileIdentity second = IdentifyFile(b);
  if (first.Exists && second.Exists)
    return first.Device == second.Device && first.Inode == second.Inode;
  return a == b;
}

}  // namespace

int ProjectListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !Project_) return 0;
  return static_cast<int>(Project_->Resources.size());
}

QVariant ProjectListModel::data(const QModelIndex& index, int role) const {
  if (!Project_ || !index.isValid() || index.row() >= rowCount({})) return {};
  const ProjectResource& resource = Project_->Resources[static_cast<size_t>(index.row())];
  if (role == Qt::DisplayRole) return RowText(resource);
  if (role != Qt::DecorationRole && role != Qt::ToolTipRole) return {};
  // The picture of the first tiles only: rows are shown many at a time.
  ProjectResource first = resource;
  first.Tiles =
      std::min(BlockTileCount(resource.Tiles, resource.Length, kPictureTiles, 1), kPictureTiles);
  first.Length.reset();
  first.Columns = kPictureColumns;
  if (role == Qt::ToolTipRole) {
    const ResourceTiles tiles = LocateResource(Rom_->BytesFrom(0), resource);
    return tiles.ok() ? RowText(resource) : QString::fromStdString(tiles.Failure);
  }
  std::optional<QPixmap>& picture = Pictures[static_cast<size_t>(index.row())];
  if (!picture) {
    const ResourcePicture decoded = DecodeResource(*Rom_, *ProjectPath_, first);
    QPixmap pixmap(kPictureSize);
    pixmap.fill(Qt::black);
    if (decoded.ok()) pixmap = QPixmap::fromImage(IndexedImage(decoded.Surface).copy());
    picture = pixmap;
  }
  return *picture;
}

void ProjectListModel::Reset(const Project* project, const std::string* projectPath,
                             const RomDocument* rom) {
  beginResetModel();
  Project_ = project;
  ProjectPath_ = projectPath;
  Rom_ = rom;
  Pictures.assign(project ? project->Resources.size() : 0, std::nullopt);
  endResetModel();
}

TProjectForm::TProjectForm(QWidget* parent) : QDockWidget(parent) {
  setObjectName(QStringLiteral("ProjectForm"));
  setWindowTitle(QStringLiteral("Progetto"));
  setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
  List = new QListView(this);
  List->setObjectName(QStringLiteral("ResourceList"));
  // Every row as tall as the first: the list never measures its rows one by one.
  List->setUniformItemSizes(true);
  List->setIconSize(kPictureSize);
  List->setEditTriggers(QAbstractItemView::NoEditTriggers);
  List->setContextMenuPolicy(Qt::CustomContextMenu);
  Model = new ProjectListModel(this);
  List->setModel(Model);
  setWidget(List);
  connect(List, &QListView::doubleClicked, this,
          [this](const QModelIndex& index) { ShowResource(index.row()); });
  connect(List, &QListView::customContextMenuRequested, this, &TProjectForm::ShowContextMenu);
  hide();
}

std::string TProjectForm::RomPath() const {
  return ProjectRomPath(ProjectPath, Current);
}

bool TProjectForm::OpenProject(const std::string& path) {
  const ProjectReadResult read = ReadProjectFile(path);
  if (!read.Ok) {
    ShowError(QStringLiteral("Error: Could not open the project '%1'.\n%2")
                  .arg(PathForDisplay(path), QString::fromStdString(read.Message())));
    return false;
  }
  Current = read.Read;
  ProjectPath = path;
  Refresh();
  RememberFileFolder(PathForDisplay(path));
  return true;
}

bool TProjectForm::NewProject(TChildForm* rom) {
  if (!rom && MainForm) {
    MainForm->Open1Click();
    rom = MainForm->ActiveChild();
  }
  if (!rom) return false;
  const std::string& romPath = rom->Doc.RomPath;
  const QString preset = PathForDisplay(
      romPath.substr(0, romPath.size() - UpperExtension(romPath).size()) + kProjectFileExtension);
  const std::optional<QString> chosen = CurrentPrompts().SaveFileName(kNewProjectDialog, preset);
  if (!chosen) return false;
  std::string path = PathBytes(*chosen);
  if (UpperExtension(path).empty()) path += kProjectFileExtension;
  Project project;
  project.Rom = PathInProject(path, romPath);
  const FileWriteResult written = WriteProjectFile(path, project);
  if (!written.Ok) {
    ShowError(QStringLiteral("Error: Could not save the project '%1'.\n%2")
                  .arg(PathForDisplay(path), QString::fromStdString(written.Reason)));
    return false;
  }
  Current = std::move(project);
  ProjectPath = path;
  Refresh();
  return true;
}

bool TProjectForm::WriteProject() {
  const FileWriteResult written = WriteProjectFile(ProjectPath, Current);
  if (written.Ok) return true;
  ShowError(QStringLiteral("Error: Could not save the project '%1'.\n%2")
                .arg(PathForDisplay(ProjectPath), QString::fromStdString(written.Reason)));
  return false;
}

void TProjectForm::Refresh() {
  PictureRom = RomDocument();
  PictureRom.LoadRom(RomPath());
  Model->Reset(&Current, &ProjectPath, &PictureRom);
  setWindowTitle(
      QStringLiteral("Progetto: %1").arg(QFileInfo(PathForDisplay(ProjectPath)).fileName()));
  show();
}

bool TProjectForm::AddResource(ProjectResource resource, const QString& preset) {
  if (!IsOpen()) return false;
  const std::optional<QString> name = CurrentPrompts().AskText(
      QStringLiteral("Aggiungi al progetto"), QStringLiteral("Nome della risorsa:"), preset);
  if (!name) return false;
  resource.Name = name->toStdString();
  if (const std::string problem = ResourceNameProblem(Current, resource.Name); !problem.empty()) {
    ShowError(QString::fromStdString(problem));
    return false;
  }
  Current.Resources.push_back(std::move(resource));
  if (!WriteProject()) {
    Current.Resources.pop_back();
    return false;
  }
  Refresh();
  List->setCurrentIndex(Model->index(static_cast<int>(Current.Resources.size()) - 1));
  return true;
}

TChildForm* TProjectForm::RomWindow() const {
  if (!MainForm || !IsOpen()) return nullptr;
  const std::string rom = RomPath();
  for (TChildForm* child : MainForm->RomWindows())
    if (!child->IsStreamWindow() && SameFile(child->Doc.RomPath, rom)) return child;
  return nullptr;
}

TChildForm* TProjectForm::StreamWindowFor(TChildForm* rom, const ProjectResource& resource) {
  for (TChildForm* child : MainForm->RomWindows())
    if (child->IsStreamWindow() && child->StreamSource == rom &&
        child->Doc.Stream->Offset == resource.Offset &&
        child->Doc.Stream->Format == *resource.Compression)
      return child;
  return rom->OpenStreamWindow(resource.Offset, *resource.Compression);
}

TChildForm* TProjectForm::ShowResource(int row) {
  if (!MainForm || row < 0 || row >= static_cast<int>(Current.Resources.size())) return nullptr;
  const ProjectResource resource = Current.Resources[static_cast<size_t>(row)];
  TChildForm* rom = RomWindow();
  if (!rom) {
    const std::string path = RomPath();
    // A project whose ROM is gone says so and leaves the program running.
    if (!MainForm->OpenRomFile(QByteArray::fromStdString(path), /*endWhenAlone=*/false))
      return nullptr;
    rom = RomWindow();
    if (!rom) return nullptr;
  }
  TChildForm* window = resource.Compression ? StreamWindowFor(rom, resource) : rom;
  if (!window) return nullptr;
  MainForm->MdiArea->setActiveSubWindow(window);
  window->ShowProjectResource(resource, ProjectPath, rom->Doc);
  return window;
}

bool TProjectForm::RenameResource(int row) {
  if (row < 0 || row >= static_cast<int>(Current.Resources.size())) return false;
  ProjectResource& resource = Current.Resources[static_cast<size_t>(row)];
  const std::optional<QString> name =
      CurrentPrompts().AskText(QStringLiteral("Rinomina risorsa"), QStringLiteral("Nuovo nome:"),
                               QString::fromStdString(resource.Name));
  if (!name || name->toStdString() == resource.Name) return false;
  if (const std::string problem = ResourceNameProblem(Current, name->toStdString());
      !problem.empty()) {
    ShowError(QString::fromStdString(problem));
    return false;
  }
  const std::string before = resource.Name;
  resource.Name = name->toStdString();
  if (!WriteProject()) {
    resource.Name = before;
    return false;
  }
  Refresh();
  return true;
}

bool TProjectForm::RemoveResource(int row) {
  if (row < 0 || row >= static_cast<int>(Current.Resources.size())) return false;
  const auto at = Current.Resources.begin() + row;
  if (CurrentPrompts().MessageBox(
          QStringLiteral("Remove '%1' from the project?").arg(QString::fromStdString(at->Name)),
          QStringLiteral("Varnock Pro"), PromptButtons::YesNo,
          PromptIcon::Question) != PromptAnswer::Yes)
    return false;
  const ProjectResource removed = *at;
  Current.Resources.erase(at);
  if (!WriteProject()) {
    Current.Resources.insert(Current.Resources.begin() + row, removed);
    return false;
  }
  Refresh();
  return true;
}

void TProjectForm::EditResourceSettings(int row) {
  if (row < 0 || row >= static_cast<int>(Current.Resources.size())) return;
  auto* dialog = new TResourceForm(this, Current.Resources[static_cast<size_t>(row)]);
  connect(dialog, &TResourceForm::Chosen, this,
          [this, row](const ProjectResource& changed) { ChangeResource(row, changed); });
  // Window-modal and without a loop of its own, so nothing waits for the user's click.
  dialog->open();
}

bool TProjectForm::ChangeResource(int row, ProjectResource changed) {
  if (row < 0 || row >= static_cast<int>(Current.Resources.size())) return false;
  const ResourceTiles tiles = LocateResource(PictureRom.BytesFrom(0), changed);
  if (!tiles.ok()) {
    ShowError(QString::fromStdString(tiles.Failure));
    return false;
  }
  ProjectResource& resource = Current.Resources[static_cast<size_t>(row)];
  const ProjectResource before = resource;
  resource = std::move(changed);
  if (!WriteProject()) {
    resource = before;
    return false;
  }
  Refresh();
  return true;
}

void TProjectForm::ShowContextMenu(const QPoint& at) {
  const QModelIndex index = List->indexAt(at);
  if (!index.isValid()) return;
  const int row = index.row();
  QMenu menu(this);
  menu.addAction(QStringLiteral("&Mostra"), this, [this, row] { ShowResource(row); });
  menu.addAction(QStringLiteral("&Rinomina..."), this, [this, row] { RenameResource(row); });
  menu.addAction(QStringLiteral("&Impostazioni..."), this,
                 [this, row] { EditResourceSettings(row); });
  menu.addAction(QStringLiteral("Ri&muovi"), this, [this, row] { RemoveResource(row); });
  menu.exec(List->viewport()->mapToGlobal(at));
}

}  // namespace varnock
