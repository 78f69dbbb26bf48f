// The help viewer: the program's own HTML help in a small browser window.
#pragma once

#include <QTextBrowser>

namespace varnock {

class HelpWindow : public QTextBrowser {
  Q_OBJECT
 public:
  explicit HelpWindow(QWidget* parent);
  // Shows `file` scrolled to the anchor `topic` and brings the window up.
  void ShowTopic(const QString& file, const QString& topic);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace varnock
