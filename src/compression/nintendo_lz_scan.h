// The scan's pass over a whole image for one Nintendo format: every offset at which a stream
// starts that keeps the compressors' rules (IsPlausibleNintendoStream), in time linear in the
// image whatever its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "compression/nintendo_lz_layout.h"
#include "compression/scan_pass.h"

namespace varnock {

// Visits every offset of `image` from the last to the first with the stream of `layout` that
// starts there and decodes to `minOutput` to `maxOutput` bytes, or with null; returning false
// stops the pass.
using NintendoStartVisitor = std::function<bool(size_t offset, const StreamStart* start)>;
void VisitNintendoStarts(const NintendoLayout& layout, std::span<const uint8_t> image,
                         size_t minOutput, size_t maxOutput, const NintendoStartVisitor& visit);

// The streams of `layout` in `image` that decode to `minOutput` to `maxOutput` bytes, in
// offset order, one of those that end at the same byte (ExactStartChooser, with the tile size
// `tileBytes`).
std::vector<StreamStart> FindNintendoStreams(const NintendoLayout& layout,
                                             std::span<const uint8_t> image, size_t tileBytes,
                                             size_t minOutput, size_t maxOutput,
                                             const PassProgress& progress = {});

}  // namespace varnock
