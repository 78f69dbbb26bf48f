// Decoding console tile bytes into surface pixels and encoding them back.
#pragma once

#include <cstdint>
#include <span>

#include "codec/tile_surface.h"

namespace varnock {

// Decodes DecodeDown rows of DecodeAcross tiles in DecodeFormat, the first at the start of
// `source`, into the surface from tile (DecodeColumn, DecodeRow). Row k of tiles starts
// k x (DecodeAcross + DecodeSkip) x DecodeTileBytes bytes into `source`.
// `source` ends where the image ends: bytes past its end decode as index 0. Tiles that fall
// outside the surface are not decoded; nothing outside either buffer is touched.
void DecodeTiles(std::span<const uint8_t> source, TileSurface& surface);

// Encodes EncodeDown rows of EncodeAcross tiles of the surface, from tile (EncodeColumn,
// EncodeRow), in EncodeFormat into `destination`, stepping EncodeTileBytes per tile and
// EncodeSkip tiles after each row. Bytes that would land past the end of `destination` are
// not written; tiles outside the surface are not encoded.
void EncodeTiles(const TileSurface& surface, std::span<uint8_t> destination);
// How far from the destination's start the surface's encode request may write: one past the
// last byte of its farthest tile, 0 when it writes nothing. A destination cut there receives
// every byte the request writes.
int64_t EncodeReach(const TileSurface& surface);

// One byte whose bit (7 - x) is bit n of pixels[x], for eight consecutive pixels.
uint8_t PackPlane(const uint8_t* pixels, int n);

}  // namespace varnock
