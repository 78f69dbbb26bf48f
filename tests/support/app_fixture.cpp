#include "support/app_fixture.h"

#include <QApplication>

#include "palette/pal_form.h"
#include "shell/prompts.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"

namespace varnock::test {

QStringList ToolWindowsCovering(const QRect& onScreen) {
  QStringList covering;
  for (const QWidget* tool : {static_cast<QWidget*>(PalForm), static_cast<QWidget*>(EditForm),
                              static_cast<QWidget*>(ClipForm)})
    if (tool && tool->window()->frameGeometry().intersects(onScreen))
      covering << tool->windowTitle();
  return covering;
}

void AppTest::SetUp() {
  // Each test is a fresh run: no folder of an earlier file.
  RememberFileFolder(QString());
  CreateForms(/*show=*/true);
}

void AppTest::TearDown() {
  DestroyForms();
  QApplication::processEvents();
}

TChildForm* AppTest::Open(const std::string& name, const std::vector<uint8_t>& bytes) {
  const QString path = QString::fromStdString(dir.Write(name, bytes));
  const int before = MainForm->RomWindowCount();
  MainForm->OpenRom(path);
  if (MainForm->RomWindowCount() == before) return nullptr;
  return MainForm->ActiveChild();
}

QString AppTest::Panel(int index) const {
  return MainForm->StatusPanel(index)->text();
}

}  // namespace varnock::test
