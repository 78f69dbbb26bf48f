// Varnock Pro: `varnock [FILE...]` opens the files given; `varnock --screenshot OUT.png
// [FILE...]` draws the frame with them open into a picture and exits.
#include <QGuiApplication>
#include <QImage>
#include <QMdiSubWindow>
#include <QPainter>
#include <QScreen>
#include <QStringList>
#include <cstdio>

#include "palette/pal_form.h"
#include "shell/application.h"
#include "shell/forms.h"
#include "shell/main_form.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"

namespace {

// The frame as the user sees it, with the tool windows drawn at their places over it.
QImage Screenshot() {
  using namespace varnock;
  QImage picture = MainForm->grab().toImage().convertToFormat(QImage::Format_RGB32);
  QPainter painter(&picture);
  for (QWidget* tool : {static_cast<QWidget*>(ClipForm), static_cast<QWidget*>(EditForm),
                        static_cast<QWidget*>(PalForm)}) {
    if (tool && tool->isVisible()) painter.drawPixmap(tool->pos() - MainForm->pos(), tool->grab());
  }
  return picture;
}

}  // namespace

int main(int argc, char** argv) {
  varnock::VarnockApplication app(argc, argv);
  QStringList files = app.arguments().mid(1);
  QString screenshot;
  if (!files.isEmpty() && files.first() == QStringLiteral("--screenshot")) {
    if (files.size() < 2) {
      std::fprintf(stderr, "usage: varnock --screenshot OUT.png [FILE...]\n");
      return 2;
    }
    screenshot = files.at(1);
    files = files.mid(2);
  }

  varnock::CreateForms();
  if (!screenshot.isEmpty()) {
    // Without a window manager nothing maximises the frame: give it the screen by hand.
    varnock::MainForm->setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
  }
  for (const QString& file : files) {
    varnock::MainForm->OpenRom(file);
    if (varnock::MainForm->TerminateRequested) break;
  }
  if (varnock::MainForm->TerminateRequested) {
    varnock::DestroyForms();
    return 1;
  }
  if (!screenshot.isEmpty()) {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    const bool saved = Screenshot().save(screenshot, "PNG");
    varnock::DestroyForms();
    if (!saved) std::fprintf(stderr, "could not write %s\n", qPrintable(screenshot));
    return saved ? 0 : 1;
  }
  const int status = app.exec();
  varnock::DestroyForms();
  return status;
}
