#include "support/app_fixture.h"

#include <QApplication>

#include "shell/prompts.h"

namespace varnock::test {

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
