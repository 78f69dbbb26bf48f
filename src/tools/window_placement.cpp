#include "tools/window_placement.h"

#include <algorithm>
#include <vector>

namespace varnock {
namespace {

bool ClearOfAll(std::span<const PlaceRect> covered, const PlaceRect& window) {
  return std::ranges::none_of(covered, [&](const PlaceRect& c) { return c.Overlaps(window); });
}

int64_t SquaredDistance(PlacePoint a, PlacePoint b) {
  const int64_t dx = int64_t{a.X} - b.X;
  const int64_t dy = int64_t{a.Y} - b.Y;
  return dx * dx + dy * dy;
}

}  // namespace

bool PlaceRect::Overlaps(const PlaceRect& other) const {
  return Width > 0 && Height > 0 && other.Width > 0 && other.Height > 0 && Left < other.Right() &&
         other.Left < Right() && Top < other.Bottom() && other.Top < Bottom();
}

bool PlaceRect::Holds(const PlaceRect& other) const {
  return other.Left >= Left && other.Top >= Top && other.Right() <= Right() &&
         other.Bottom() <= Bottom();
}

bool LiesClear(PlaceRect area, std::span<const PlaceRect> covered, PlacePoint at, PlaceSize size) {
  const PlaceRect window{at.X, at.Y, size.Width, size.Height};
  return area.Holds(window) && ClearOfAll(covered, window);
}

std::optional<PlaceRect> FreePartFor(PlaceRect area, std::span<const PlaceRect> covered,
                                     PlaceSize size) {
  // A largest free rectangle has each side on the area's side or on a covered rectangle's
  // opposite side, so those sides are the only ones to try.
  std::vector<int32_t> lefts{area.Left}, rights{area.Right()}, tops{area.Top},
      bottoms{area.Bottom()};
  for (const PlaceRect& c : covered) {
    if (!c.Overlaps(area)) continue;
    lefts.push_back(c.Right());
    rights.push_back(c.Left);
    tops.push_back(c.Bottom());
    bottoms.push_back(c.Top);
  }
  std::optional<PlaceRect> best;
  const auto better = [&best](const PlaceRect& r) {
    if (!best) return true;
    const int64_t area = int64_t{r.Width} * r.Height,
                  bestArea = int64_t{best->Width} * best->Height;
    if (area != bestArea) return area > bestArea;
    return r.Top != best->Top ? r.Top < best->Top : r.Left < best->Left;
  };
  for (int32_t left : lefts)
    for (int32_t right : rights)
      for (int32_t top : tops)
        for (int32_t bottom : bottoms) {
          if (right - left < size.Width || bottom - top < size.Height) continue;
          const PlaceRect part{left, top, right - left, bottom - top};
          if (area.Holds(part) && ClearOfAll(covered, part) && better(part)) best = part;
        }
  return best;
}

std::optional<PlacePoint> CascadePlace(PlaceRect area, std::span<const PlaceRect> covered,
                                       PlaceSize size, int32_t step,
                                       std::span<const PlacePoint> taken) {
  const std::optional<PlaceRect> free = FreePartFor(area, covered, size);
  if (!free) return std::nullopt;
  const PlacePoint first{free->Left, free->Top};
  if (step <= 0) return first;
  for (int32_t k = 0;; ++k) {
    const PlacePoint at{free->Left + k * step, free->Top + k * step};
    if (at.X + size.Width > free->Right() || at.Y + size.Height > free->Bottom()) return first;
    if (std::ranges::find(taken, at) == taken.end()) return at;
  }
}

PlacePoint ClearPlace(PlaceRect screen, std::span<const PlaceRect> covered, PlaceSize size,
                      PlacePoint preferred) {
  // The nearest clear place has each coordinate either the preferred one or against an edge of
  // the screen or of a covered rectangle; those are all there is to try.
  const auto clampInto = [](int32_t value, int32_t low, int32_t extent, int32_t length) {
    return std::max(low, std::min(value, low + extent - length));
  };
  std::vector<int32_t> xs{preferred.X, screen.Left, screen.Right() - size.Width};
  std::vector<int32_t> ys{preferred.Y, screen.Top, screen.Bottom() - size.Height};
  for (const PlaceRect& c : covered) {
    xs.push_back(c.Left - size.Width);
    xs.push_back(c.Right());
    ys.push_back(c.Top - size.Height);
    ys.push_back(c.Bottom());
  }
  std::optional<PlacePoint> best;
  for (int32_t x : xs)
    for (int32_t y : ys) {
      const PlacePoint at{x, y};
      if (!LiesClear(screen, covered, at, size)) continue;
      if (!best || SquaredDistance(at, preferred) < SquaredDistance(*best, preferred)) best = at;
    }
  if (best) return *best;
  return {clampInto(preferred.X, screen.Left, screen.Width, size.Width),
          clampInto(preferred.Y, screen.Top, screen.Height, size.Height)};
}

}  // namespace varnock
