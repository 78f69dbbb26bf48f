// Window activation as the platform delivers it, in each of the orders seen in practice.
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
  // A desktop without a window manager: the program asks for the activation when a press
  // arrives, and the activation comes after the press.
  PressFirst,
};

inline const char* NameOf(ActivationOrder order) {
  static const char* const kNames[] = {"NewFirst", "OldFirst", "PressFirst"};
  return kNames[static_cast<int>(order)];
}

// Lets activations the platform still has queued arrive.
inline void Settle() {
  QApplication::processEvents();
}

// Makes `window` the active window through Qt's activation path, in `order`; with PressFirst
// the activation is only asked for, and arrives with the next Settle.
inline void Activate(QWidget* window, ActivationOrder order) {
  // Activations still queued (a window shown offscreen asks for one) come first, as they would
  // on a desktop; otherwise the next synthetic key, which flushes them, would undo this one.
  Settle();
  if (order == ActivationOrder::PressFirst) {
    window->activateWindow();
    return;
  }
  if (order == ActivationOrder::OldFirst) QApplication::setActiveWindow(nullptr);
  QApplication::setActiveWindow(window);
}

}  // namespace varnock::test
