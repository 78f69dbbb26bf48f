#include "shell/application.h"

#include <exception>
#include <new>

#include "shell/prompts.h"

namespace varnock {

VarnockApplication::VarnockApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("Varnock Pro"));
  setApplicationVersion(QStringLiteral(VARNOCK_VERSION));
  // The window system matches the windows to the installed desktop entry by this name.
  setDesktopFileName(QStringLiteral("org.varnockpro.VarnockPro"));
}

bool VarnockApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::bad_alloc&) {
    ShowError(QStringLiteral("Out of memory."));
  } catch (const std::exception& error) {
    ShowError(QString::fromLocal8Bit(error.what()));
  }
  return false;
}

}  // namespace varnock
