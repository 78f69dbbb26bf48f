// Where windows open so that the tool windows, which stay on top of everything, cover none of
// them: new ROM and stream windows in the part of the frame's client area the tool windows leave
// free, dialogs beside the tool windows instead of under them. Plain rectangle arithmetic; the
// windows measure themselves and call it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace varnock {

struct PlacePoint {
  int32_t X = 0;
  int32_t Y = 0;
  bool operator==(const PlacePoint&) const = default;
};

struct PlaceSize {
  int32_t Width = 0;
  int32_t Height = 0;
};

// Left and Top are inside, Right() and Bottom() the first column and row outside.
struct PlaceRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Right() const { return Left + Width; }
  int32_t Bottom() const { return Top + Height; }
  bool Overlaps(const PlaceRect& other) const;
  bool Holds(const PlaceRect& other) const;
  bool operator==(const PlaceRect&) const = default;
};

// A window of `size` at `at` lies inside `area` and overlaps none of `covered`.
bool LiesClear(PlaceRect area, std::span<const PlaceRect> covered, PlacePoint at, PlaceSize size);

// The largest rectangle of `area` that overlaps none of `covered` and holds a window of `size`
// (of two as large, the higher, then the one further left); none when no such rectangle exists.
std::optional<PlaceRect> FreePartFor(PlaceRect area, std::span<const PlaceRect> covered,
                                     PlaceSize size);

// A new window's place in that free part: the first step of a cascade from its top-left corner,
// `step` pixels right and down a step, that no window of `taken` already has and after which
// the window still fits; the first step when every one is taken. None when the free part has
// no room for the window.
std::optional<PlacePoint> CascadePlace(PlaceRect area, std::span<const PlaceRect> covered,
                                       PlaceSize size, int32_t step,
                                       std::span<const PlacePoint> taken);

// The place nearest `preferred` where a window of `size` lies inside `screen` and overlaps none
// of `covered`. Where the screen has no such place, `preferred` moved inside the screen as far
// as the window's size allows (its top-left corner stays on the screen).
PlacePoint ClearPlace(PlaceRect screen, std::span<const PlaceRect> covered, PlaceSize size,
                      PlacePoint preferred);

}  // namespace varnock
