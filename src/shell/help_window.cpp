#include "shell/help_window.h"

#include <QKeyEvent>
#include <QUrl>

namespace varnock {

HelpWindow::HelpWindow(QWidget* parent) : QTextBrowser(parent) {
  setWindowFlags(Qt::Window);
  setWindowTitle(QStringLiteral("Varnock Pro - Guida"));
  setOpenExternalLinks(true);
  resize(640, 560);
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
