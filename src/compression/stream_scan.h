// Finding compressed streams in an image: every offset is tried for every chosen format, and
// a stream counts only when it decodes completely and gives enough bytes to be graphics. Each
// find carries a score (stream_score.h) that ranks it and decides whether it is listed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "compression/compression.h"
#include "compression/stream_score.h"

namespace varnock {

// Fewer bytes than two 4-bit tiles are too little to be worth a window.
inline constexpr size_t kMinimumScanOutput = 64;

struct StreamFind {
  size_t Offset = 0;
  CompressionFormat Format = CompressionFormat::Lz10;
  size_t CompressedLength = 0;
  size_t DecompressedLength = 0;
  int Variant = 0;
  // kLowestScore to kHighestScore: how much the find looks like graphics (ScoreStream).
  int Score = kLowestScore;
};

struct ScanOptions {
  // The tile size of the format the finds will be shown in (a window's format).
  size_t TileBytes = kDefaultScanTileBytes;
};

// Called now and then with the bytes scanned so far and the total; returning false stops the
// scan, which then returns what it found up to there.
using ScanProgress = std::function<bool(size_t done, size_t total)>;

// Streams of `formats` in `image`, in offset order (finds of different formats at one offset in
// the order of `formats`), each with its score. Finds of one format never overlap; a find
// never hides one of another format.
std::vector<StreamFind> ScanForStreams(std::span<const uint8_t> image,
                                       std::span<const CompressionFormat> formats,
                                       const ScanProgress& progress = {});
std::vector<StreamFind> ScanForStreams(std::span<const uint8_t> image,
                                       std::span<const CompressionFormat> formats,
                                       const ScanOptions& options,
                                       const ScanProgress& progress = {});

// Whether a find is listed: it scores at least `threshold` and decompresses to at least
// `minimumSize` bytes. With the defaults: whether a list shows it before "show all".
bool IsFindShown(const StreamFind& find, int threshold = kDefaultScoreThreshold,
                 size_t minimumSize = kDefaultMinimumStreamSize);

// The best first: by score, highest first, then by offset and by format.
void SortByScore(std::vector<StreamFind>& finds);

}  // namespace varnock
