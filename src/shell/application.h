// The application object: an error escaping an event handler is shown, and the loop goes on.
#pragma once

#include <QApplication>

namespace varnock {

class VarnockApplication : public QApplication {
 public:
  VarnockApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace varnock
