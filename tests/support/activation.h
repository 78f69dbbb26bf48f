// Window activation as the platform delivers it, in either of the two orders seen in practice.
#pragma once

#include <QApplication>
#include <QWidget>

namespace varnock::test {

enum class ActivationOrder {
  // Qt's own: the new window is told it is active before the old one that it is not.
  NewFirst,
  // A window manager that takes the focus away first: the old window loses its activation
  // before any window gains it.
  OldFirst,
};

inline const char* NameOf(ActivationOrder order) {
  return order == ActivationOrder::NewFirst ? "NewFirst" : "OldFirst";
}

// Makes `window` the active window through Qt's activation path, in `order`.
inline void Activate(QWidget* window, ActivationOrder order) {
  // Activations still queued (a window shown offscreen asks for one) come first, as they would
  // on a desktop; otherwise the next synthetic key, which flushes them, would undo this one.
  QApplication::processEvents();
  if (order == ActivationOrder::OldFirst) QApplication::setActiveWindow(nullptr);
  QApplication::setActiveWindow(window);
}

}  // namespace varnock::test
