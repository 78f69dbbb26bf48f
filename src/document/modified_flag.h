// Whether an image differs from its file. It reads and assigns like a bool; the window that
// shows the image listens to it, so every change, wherever it is made, reaches the caption.
#pragma once

#include <functional>

namespace varnock {

class ModifiedFlag {
 public:
  ModifiedFlag() = default;
  // A copy takes the value only: the listener belongs to the window of the original.
  ModifiedFlag(const ModifiedFlag& other) : value_(other.value_) {}
  ModifiedFlag& operator=(const ModifiedFlag& other) { return *this = other.value_; }

  ModifiedFlag& operator=(bool value) {
    const bool changed = value != value_;
    value_ = value;
    if (changed && OnChange) OnChange();
    return *this;
  }
  operator bool() const { return value_; }

  // Run after each change of the value (not for assignments that leave it as it was).
  std::function<void()> OnChange;

 private:
  bool value_ = false;
};

}  // namespace varnock
