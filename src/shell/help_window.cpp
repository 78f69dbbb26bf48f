#include "shell/help_window.h"

#include <QKeyEvent>
#include <QUrl>

#include "shell/window_places.h"

namespace varnock {

HelpWindow::HelpWindow(QWidget* parent) : QTextBrowser(parent) {
  setWindowFlags(Qt::Window);
  setWindowTitle(QStringLiteral("Varnock Pro - Guida"));
  setOpenExternalLinks(true);
  // Narrow enough for the column left of the tool windows' first places, where nothing of the
  // program stays on top of the text.
  resize(520, 560);
  OpenClearOfToolWindows(this);
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
  // A window of reading, closed the way a dialog is.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QTextBrowser::keyPressEvent(event);
}

void HelpWindow::ShowTopic(const QString& file, const QString& topic) {
  QUrl url(file);
  url.setFragment(topic);
  setSource(url);
  show();
  raise();
  activateWindow();
}

}  // namespace varnock
