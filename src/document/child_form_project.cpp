// The ROM window and projects: "Aggiungi al progetto" makes a resource of what the window
// shows, and a resource chosen in the project window is shown here.
#include <QMdiArea>

#include "document/block_transfer.h"
#include "document/child_form.h"
#include "palette/pal_form.h"
#include "palette/palette_source.h"
#include "project/project_form.h"
#include "project/project_paths.h"
#include "shell/forms.h"
#include "shell/main_form.h"
#include "shell/prompts.h"

namespace varnock {

void TChildForm::BuildProjectItems() {
  Edit1->addSeparator();
  AddToProject1 = Edit1->addAction(QStringLiteral("A&ggiungi al progetto"));
  AddToProject1->setObjectName(QStringLiteral("AddToProject1"));
  // Shown in the menu; the frame's shortcut runs it through the menu.
  AddToProject1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  AddToProject1->setShortcutContext(Qt::WidgetShortcut);
  connect(AddToProject1, &QAction::triggered, this, &TChildForm::AddToProject1Click);
}

ProjectResource TChildForm::ResourceOfView(const std::string& projectPath) const {
  ProjectResource resource;
  resource.Format = Doc.Format;
  resource.Arrangement = Doc.Arrangement;
  resource.Columns = Doc.Columns;
  if (IsStreamWindow()) {
    // The whole stream: a picture of it goes back as one stream, into the room the window
    // gives it, so a build keeps the room a shorter save leaves.
    resource.Offset = Doc.Stream->Offset;
    resource.Compression = Doc.Stream->Format;
    resource.Room = Doc.Stream->PlaceLength;
    resource.Fill = Doc.Stream->FillByte;
  } else if (Doc.HasSelection) {
    // The rows of blocks the selection touches, whole: a resource is a run of tiles.
    const TileRect rect = OrderedSelection(Doc);
    const int32_t blockRows = std::max(Doc.Arrangement.BlockHeight, 1);
    const int32_t top = rect.Top / blockRows;
    const int32_t bottom = (rect.Bottom + blockRows - 1) / blockRows;
    resource.Offset = int64_t{Doc.ViewOffset} + int64_t{top} * Doc.BlockRowBytes();
    resource.Tiles = int64_t{bottom - top} * Doc.BlockRowBytes() / std::max(Doc.TileBytes, 1);
  } else {
    resource.Offset = Doc.ViewOffset;
    resource.Tiles = int64_t{Doc.Columns} * Doc.Rows;
  }
  if (PaletteInRom) {
    resource.Palette = {ResourcePalette::Source::Rom,
                        {},
                        PaletteInRom->Offset,
                        PaletteInRom->Format,
                        PaletteInRom->Count};
  } else if (const std::string& source =
                 IsStreamWindow() && StreamSource ? StreamSource->Doc.RomPath : Doc.RomPath;
             Doc.PalettePath != RomDocument::DefaultPalettePath(source)) {
    resource.Palette = {ResourcePalette::Source::File, PathInProject(projectPath, Doc.PalettePath),
                        0, 0, 0};
  }
  resource.SubPalette = ServesPaletteEditor() ? PalForm->SubPalette : Doc.SubPalette;
  return resource;
}

void TChildForm::AddToProject1Click() {
  TProjectForm* ProjectForm = MainForm ? MainForm->ProjectForm : nullptr;
  if (!ProjectForm) return;
  // Without a project, the first resource starts one.
  if (!ProjectForm->IsOpen() && !ProjectForm->NewProject(this)) return;
  const ProjectResource resource = ResourceOfView(ProjectForm->ProjectPath);
  const QString preset = QStringLiteral("risorsa%1").arg(ProjectForm->Current.Resources.size() + 1);
  ProjectForm->AddResource(resource, preset);
}

void TChildForm::ShowProjectResource(const ProjectResource& resource,
                                     const std::string& projectPath, const RomDocument& rom) {
  if (Doc.Format != resource.Format) ChooseTileFormat(resource.Format);
  if (!(Doc.Arrangement == Canonical(resource.Arrangement)))
    ChooseArrangement(resource.Arrangement);
  if (resource.Palette.From != ResourcePalette::Source::Beside && KeepPaletteEdits()) {
    const bool fromFile = resource.Palette.From == ResourcePalette::Source::File;
    const std::string path = ProjectFilePath(projectPath, resource.Palette.File);
    const SourcedPalette palette =
        fromFile ? PaletteFromFile(path)
                 : PaletteFromImage(rom.BytesFrom(0), resource.Palette.Offset,
                                    resource.Palette.Encoding, resource.Palette.Count);
    if (!palette.ok()) {
      ShowError(QStringLiteral("Couldn't load palette.\n%1")
                    .arg(QString::fromStdString(palette.Failure)));
    } else {
      PaletteFileData data{
          palette.PalFormat, palette.Size, {palette.Entries.begin(), palette.Entries.end()}};
      TakePaletteRead(data);
      Doc.PalettePath = fromFile ? path : RomDocument::DefaultPalettePath(rom.RomPath);
      PaletteReadFromState = fromFile && !IsPaletteFilePath(path);
      PaletteInRom.reset();
      if (!fromFile)
        PaletteInRom = RomPaletteChoice{static_cast<int32_t>(resource.Palette.Offset),
                                        resource.Palette.Encoding, resource.Palette.Count};
    }
  }
  const int32_t highest = HighestSubPalette(Doc.PaletteSize, SwatchCountOf(Doc.BitsPerPixel));
  Doc.SubPalette = std::clamp(resource.SubPalette, 0, std::max(highest, 0));
  if (ServesPaletteEditor()) {
    PalForm->SubPalette = Doc.SubPalette;
    PalForm->PaletteSize = Doc.PaletteSize;
    PalForm->RefreshPalette();
  }
  if (IsStreamWindow()) {
    // The room and fill byte the project gives the stream; a room the stream outgrew, or one
    // past the image's end, is refused as the list's picture refused it.
    if (resource.Fill) Doc.Stream->FillByte = *resource.Fill;
    if (resource.Room && *resource.Room != Doc.Stream->PlaceLength && StreamSource) {
      const std::string refusal =
          ChangeStreamRoom(*Doc.Stream, StreamSource->Doc.BytesFrom(0), *resource.Room);
      if (!refusal.empty()) ShowError(QString::fromStdString(refusal));
    }
    MoveViewTo(0);
  } else {
    MoveViewTo(resource.Offset);
  }
}

}  // namespace varnock
