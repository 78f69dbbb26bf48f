// The double-click interval and a millisecond tick count, settable by tests.
#pragma once

#include <cstdint>
#include <functional>

namespace varnock {

uint32_t DoubleClickTime();
uint32_t TickCount();

// Replace either source; an empty function restores the system's.
void SetDoubleClickTimeSource(std::function<uint32_t()> source);
void SetTickCountSource(std::function<uint32_t()> source);

}  // namespace varnock
