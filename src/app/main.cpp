// Varnock Pro: `varnock [FILE...]` opens the files given, `--stream FORMAT:OFFSET` after a file
// also a compressed stream of it; `varnock --screenshot OUT.png [FILE...]` draws the frame with
// them open into a picture and exits; `--format NAME` and `--arrangement NAME` choose how the
// files are shown.
#include <QGuiApplication>
#include <QImage>
#include <QMdiSubWindow>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "codec/codec_file.h"

#include "palette/pal_form.h"
#include "shell/application.h"
#include "shell/codec_folder.h"
#include "shell/command_line.h"
#include "shell/forms.h"
#include "shell/main_form.h"
#include "shell/prompts.h"
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
    if (tool && tool->isVisible())
      painter.drawPixmap(tool->window()->pos() - MainForm->pos(), tool->window()->grab());
  }
  return picture;
}

}  // namespace

int main(int argc, char** argv) {
  // Help and the version are text: they must not need a display.
  if (varnock::AsksOnlyForText(argc, argv)) qputenv("QT_QPA_PLATFORM", "offscreen");
  varnock::VarnockApplication app(argc, argv);
  // Before the line is read: its format names and its help include the user's encodings.
  const std::vector<varnock::CodecLoadResult> codecs =
      varnock::LoadCodecFolder(varnock::UserCodecFolder());
  const varnock::CommandLine line = varnock::ParseCommandLine(argc, argv);
  switch (line.What) {
    case varnock::CommandLine::Action::Help:
    case varnock::CommandLine::Action::Version:
      std::fputs(line.Text.toLocal8Bit().constData(), stdout);
      return 0;
    case varnock::CommandLine::Action::Usage:
      std::fputs(line.Text.toLocal8Bit().constData(), stderr);
      return 2;
    case varnock::CommandLine::Action::Run:
      break;
  }
  const bool screenshot = !line.Screenshot.isEmpty();
  if (screenshot) varnock::SetPrompts(&varnock::UnattendedPrompts());

  varnock::CreateForms();
  if (screenshot) {
    // Without a window manager nothing maximises the frame: give it the screen by hand.
    varnock::MainForm->setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
  }
  const varnock::CommandLineOpened opened = varnock::OpenCommandLine(line);
  const bool allOpened = opened.Files == static_cast<int>(line.Files.size()) &&
                         opened.Streams == static_cast<int>(line.Streams.size());
  if (screenshot) {
    varnock::ReportCodecLoadProblems(codecs);
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    const bool saved = Screenshot().save(line.Screenshot, "PNG");
    varnock::DestroyForms();
    if (!saved) std::fprintf(stderr, "could not write %s\n", qPrintable(line.Screenshot));
    return saved && allOpened ? 0 : 1;
  }
  if (!line.Files.empty() && opened.Files == 0) {
    varnock::DestroyForms();
    return 1;
  }
  // Once the frame is on the screen, so the message box has something to stand over.
  QTimer::singleShot(0, &app, [&codecs] { varnock::ReportCodecLoadProblems(codecs); });
  const int status = app.exec();
  varnock::DestroyForms();
  return status;
}
