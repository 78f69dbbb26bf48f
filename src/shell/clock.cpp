#include "shell/clock.h"

#include <QApplication>
#include <chrono>

namespace varnock {
namespace {

std::function<uint32_t()>& IntervalSource() {
  static std::function<uint32_t()> source;
  return source;
}

std::function<uint32_t()>& TickSource() {
  static std::function<uint32_t()> source;
  return source;
}

}  // namespace

uint32_t DoubleClickTime() {
  if (IntervalSource()) return IntervalSource()();
  return static_cast<uint32_t>(QApplication::doubleClickInterval());
}

uint32_t TickCount() {
  if (TickSource()) return TickSource()();
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  // Wraps like a 32-bit tick counter; callers compare with unsigned differences.
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void SetDoubleClickTimeSource(std::function<uint32_t()> source) {
  IntervalSource() = std::move(source);
}

void SetTickCountSource(std::function<uint32_t()> source) {
  TickSource() = std::move(source);
}

}  // namespace varnock
