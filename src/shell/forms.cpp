#include "shell/forms.h"

#include <QApplication>

#include "shell/glyphs.h"

#include "document/goto_form.h"
#include "palette/pal_form.h"
#include "shell/about_form.h"
#include "shell/main_form.h"
#include "shell/tool_window_frame.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"

// The help pages live in the window library's resources, which a static library must register.
static void RegisterResources() {
  Q_INIT_RESOURCE(resources);
}

namespace varnock {

TMainForm* MainForm = nullptr;
TGotoForm* GotoForm = nullptr;
TPalForm* PalForm = nullptr;
TEditForm* EditForm = nullptr;
TClipForm* ClipForm = nullptr;
TAboutForm* AboutForm = nullptr;

void CreateForms(bool show) {
  RegisterResources();
  QApplication::setWindowIcon(ProgramIcon());
  MainForm = new TMainForm();
  GotoForm = new TGotoForm(MainForm);
  PalForm = new TPalForm();
  EditForm = new TEditForm();
  ClipForm = new TClipForm();
  // Each tool sits in a frame of its own, which takes the tool's title and designed position.
  for (QWidget* tool : {static_cast<QWidget*>(PalForm), static_cast<QWidget*>(EditForm),
                        static_cast<QWidget*>(ClipForm)})
    new ToolWindowFrame(tool);
  // The menus' shortcuts work while a tool window is active too. In the tile editor Ctrl+Z is
  // its own undo button, the undo the user is looking at.
  MainForm->BindMenuShortcuts(PalForm);
  MainForm->BindMenuShortcuts(ClipForm);
  MainForm->BindMenuShortcuts(EditForm, [editor = EditForm] { editor->SpeedButton4->click(); });
  AboutForm = new TAboutForm(MainForm);
  if (show) MainForm->showMaximized();
}

void DestroyForms() {
  // ROM windows go with the frame; the tool windows hold only guarded references to them.
  delete MainForm;  // also deletes GotoForm and AboutForm, which it parents
  MainForm = nullptr;
  GotoForm = nullptr;
  AboutForm = nullptr;
  // Each tool goes with its frame.
  for (QWidget* tool : {static_cast<QWidget*>(ClipForm), static_cast<QWidget*>(EditForm),
                        static_cast<QWidget*>(PalForm)})
    if (tool) delete tool->window();
  ClipForm = nullptr;
  EditForm = nullptr;
  PalForm = nullptr;
}

}  // namespace varnock
