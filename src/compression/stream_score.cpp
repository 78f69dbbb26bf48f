#include "compression/stream_score.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace varnock {
namespace {

// What the bytes of a decoded stream look like, counted in one pass.
struct ByteLook {
  double Entropy = 0;           // bits per byte of the byte histogram, 0 to 8
  size_t Distinct = 0;          // byte values that occur
  double Printable = 0;         // share of bytes that are ASCII text or line ends
  double RowRepeats = 0;        // share of bytes equal to the byte 2 or 4 before
  double ArmConditions = 0;     // share of 32-bit words whose top byte is 0xE0-0xEF
  double Background = 0;        // share of 0x00 and 0xFF bytes
  double NoisyRows = 0;         // share of 16-byte stretches with 11 or more byte values
  double OddRuns = 0;           // share of bytes in runs of 4 or more of a value but 0x00 and 0xFF
  double Commonest = 0;         // share of the commonest byte value
  bool Repeats = false;         // one stretch of at most kLongestPattern bytes, over and over
  bool RepeatsExactly = false;  // and no byte differs
};

constexpr size_t kLongestPattern = 64;  // two 4-bit tiles
constexpr size_t kPatternSample = 4096;

// Whether the first bytes are, but for a few, one pattern of up to kLongestPattern bytes
// repeated (a fill of a tile or a row, whatever its values), and, when `exactToo`, whether they
// are that pattern and nothing else.
void FindRepeatedPattern(std::span<const uint8_t> bytes, bool exactToo, ByteLook& look) {
  const std::span<const uint8_t> sample = bytes.first(std::min(bytes.size(), kPatternSample));
  for (size_t period = 1; period <= kLongestPattern && 4 * period <= sample.size(); ++period) {
    const size_t allowed = (sample.size() - period) / 20;  // 5% of the bytes may differ
    size_t different = 0;
    for (size_t i = period; i < sample.size() && different <= allowed; ++i)
      different += sample[i] != sample[i - period];
    look.Repeats = look.Repeats || different <= allowed;
    look.RepeatsExactly = look.RepeatsExactly || different == 0;
    if (look.RepeatsExactly || (look.Repeats && !exactToo)) return;
  }
}

ByteLook LookAt(std::span<const uint8_t> bytes, bool exactRepeats) {
  ByteLook look;
  if (bytes.empty()) return look;
  std::array<size_t, 256> counts{};
  size_t printable = 0, repeats = 0, oddRuns = 0, run = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const uint8_t b = bytes[i];
    ++counts[b];
    printable += (b >= 0x20 && b < 0x7F) || b == '\n';
    // Tile rows repeat: planar rows 2 bytes apart, 4-bit packed rows 4 bytes apart.
    repeats += (i >= 2 && b == bytes[i - 2]) || (i >= 4 && b == bytes[i - 4]);
    run = i > 0 && b == bytes[i - 1] ? run + 1 : 1;
    if (b != 0x00 && b != 0xFF) oddRuns += run == 4 ? 4 : run > 4;
  }
  const double n = static_cast<double>(bytes.size());
  for (size_t count : counts) {
    look.Commonest = std::max(look.Commonest, static_cast<double>(count) / n);
    if (count == 0) continue;
    ++look.Distinct;
    const double p = static_cast<double>(count) / n;
    look.Entropy -= p * std::log2(p);
  }
  look.Printable = static_cast<double>(printable) / n;
  look.RowRepeats = static_cast<double>(repeats) / n;
  look.Background = static_cast<double>(counts[0x00] + counts[0xFF]) / n;
  look.OddRuns = static_cast<double>(oddRuns) / n;
  size_t words = 0, conditions = 0;
  for (size_t i = 3; i < bytes.size(); i += 4, ++words) conditions += (bytes[i] & 0xF0) == 0xE0;
  look.ArmConditions = words ? static_cast<double>(conditions) / static_cast<double>(words) : 0;
  constexpr size_t kRow = 16;
  constexpr size_t kNoisy = 11;
  size_t rows = 0, noisy = 0;
  for (size_t at = 0; at + kRow <= bytes.size(); at += kRow, ++rows) {
    std::array<bool, 256> seen{};
    size_t values = 0;
    for (size_t i = at; i < at + kRow; ++i) {
      values += !seen[bytes[i]];
      seen[bytes[i]] = true;
    }
    noisy += values >= kNoisy;
  }
  look.NoisyRows = rows ? static_cast<double>(noisy) / static_cast<double>(rows) : 0;
  FindRepeatedPattern(bytes, exactRepeats, look);
  return look;
}

}  // namespace

bool HasLengthHeader(CompressionFormat format) {
  switch (format) {
    case CompressionFormat::Lz10:
    case CompressionFormat::Lz11:
    case CompressionFormat::Rle30:
    case CompressionFormat::Huffman:
    case CompressionFormat::Nemesis:
      return true;
    default:
      return false;
  }
}

int ScoreStream(CompressionFormat format, std::span<const uint8_t> decompressed,
                size_t compressedLength, size_t tileBytes) {
  const size_t size = decompressed.size();
  if (size == 0) return kLowestScore;
  int score = 50;
  // A declared length that the decode met exactly is hard to meet by chance.
  if (HasLengthHeader(format)) score += 25;
  score += size % std::max<size_t>(tileBytes, 1) == 0 ? 10 : -15;
  if (size < kDefaultMinimumStreamSize) score -= 10;
  if (size >= 1024) score += 5;
  if (size >= 4096) score += 5;
  // Graphics shrink to between a tenth and nine tenths; bytes that do not shrink are noise
  // read as literals, and a few bytes that give kilobytes are one pattern repeated.
  const double ratio = static_cast<double>(compressedLength) / static_cast<double>(size);
  if (ratio >= 0.95) score -= 15;
  if (ratio < 1.0 / 64) score -= 15;
  if (ratio < 0.06) {
    score -= 25;
  } else if (ratio < 0.1) {
    score -= 10;
  }
  if (compressedLength < 32) score -= 20;

  const ByteLook look = LookAt(decompressed, HasLengthHeader(format));
  if (look.Entropy <= 5.0) score += 5;
  if (look.RowRepeats >= 0.25) score += 10;
  if (look.RowRepeats <= 0.05) score -= 10;
  // Tiles are mostly background: colour 0 everywhere, and in planar tiles whole rows of a
  // plane clear or set.
  if (look.Background < 0.05) score -= 20;
  // A picture almost all of one value is nearly empty.
  if (look.Commonest >= 0.9) score -= 15;
  // Random bytes decoded as literals make stretches of many values; fills of whatever value
  // lay there make long runs of values a picture seldom repeats.
  if (look.NoisyRows >= 0.25) {
    score -= 30;
  } else if (look.NoisyRows >= 0.08) {
    score -= 15;
  }
  if (look.OddRuns >= 0.4) {
    score -= 20;
  } else if (look.OddRuns >= 0.25) {
    score -= 5;
  }
  // Bytes that are plainly something else score low whatever else they have.
  constexpr int kSomethingElse = 25;
  // One value, or two, or one short pattern over and over: nothing to look at. A header whose
  // length was met exactly is harder to meet by chance than a pattern, though, and a sprite
  // sheet may be nearly all background: there a pattern broken by a few shapes only counts
  // against.
  const bool headed = HasLengthHeader(format);
  if (headed && look.Repeats) score -= 15;
  const bool fill = look.Distinct <= 2 || (look.Repeats && (!headed || look.RepeatsExactly));
  const bool noise = look.Entropy >= 7.6;
  const bool text = look.Printable >= 0.9 && look.Entropy >= 3.0;
  const bool armCode = size >= 64 && look.ArmConditions >= 0.6;
  if (fill || noise || text || armCode) score = std::min(score, kSomethingElse);
  if (look.Entropy >= 7.0) score -= 15;
  return std::clamp(score, kLowestScore, kHighestScore);
}

}  // namespace varnock
