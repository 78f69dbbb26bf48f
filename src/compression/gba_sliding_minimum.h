// The cheapest entry of a range of positions that slides towards the start of the data, for
// parses that run from the end backwards: new positions enter below the range and old ones
// leave above it, each once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace varnock::gba {

class SlidingMinimum {
 public:
  // `capacity`: the most positions the range holds at once.
  explicit SlidingMinimum(size_t capacity) : slots_(capacity + 1) {}

  // Adds `index`, lower than every index held, whose cost is `cost[index]`.
  template <typename Cost>
  void AddBelow(uint32_t index, const std::vector<Cost>& cost) {
    // A higher index that costs no less leaves the range sooner: it can never be the minimum.
    while (size_ > 0 && cost[slots_[front_]] >= cost[index]) {
      front_ = front_ + 1 == slots_.size() ? 0 : front_ + 1;
      --size_;
    }
    front_ = front_ == 0 ? slots_.size() - 1 : front_ - 1;
    slots_[front_] = index;
    ++size_;
  }
  void DropAbove(uint32_t last) {
    while (size_ > 0 && Cheapest() > last) --size_;
  }
  bool empty() const { return size_ == 0; }
  // The index of the cheapest entry; costs fall from front to back, so it is the highest held.
  uint32_t Cheapest() const { return slots_[(front_ + size_ - 1) % slots_.size()]; }

 private:
  std::vector<uint32_t> slots_;
  size_t front_ = 0;
  size_t size_ = 0;
};

}  // namespace varnock::gba
