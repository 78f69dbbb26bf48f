// Layout from GBATEK "BIOS Decompression Functions" (RLUnComp) and Barubary/dsdecmp
// CSharp/DSDecmp/Formats/Nitro/RLE.cs:
//
//   header (4 bytes), then blocks:
//   1NNNNNNN  V           a run: N + 3 (3..130) copies of V
//   0NNNNNNN  V1 .. Vk    N + 1 (1..128) literal bytes
//
// The stream ends when the declared length is reached. A last block that would run past it is
// refused, as dsdecmp refuses a run that does (the BIOS model of mgba-emu/mgba
// src/gba/bios.c stops such a block at the length instead): no compressor writes one.
#include "compression/gba_rle.h"

#include <algorithm>
#include <cstring>

#include "compression/gba_sliding_minimum.h"
#include "compression/gba_stream_header.h"

namespace varnock::gba {
namespace {

constexpr uint8_t kRleType = 0x30;
constexpr size_t kShortestRun = 3;
constexpr size_t kLongestRun = 130;
constexpr size_t kLongestLiterals = 128;

void WriteRun(std::vector<uint8_t>& out, uint8_t value, size_t count) {
  out.push_back(static_cast<uint8_t>(0x80 | (count - kShortestRun)));
  out.push_back(value);
}

void WriteLiterals(std::vector<uint8_t>& out, const uint8_t* bytes, size_t count) {
  out.push_back(static_cast<uint8_t>(count - 1));
  out.insert(out.end(), bytes, bytes + count);
}

size_t RunAt(std::span<const uint8_t> data, size_t i, size_t limit) {
  size_t n = 1;
  while (n < limit && i + n < data.size() && data[i + n] == data[i]) ++n;
  return n;
}

// Shortest path over positions: a literal block costs one byte plus its bytes, a run two.
std::vector<uint8_t> CompressOptimal(std::span<const uint8_t> data) {
  const size_t n = data.size();
  // cost[i]: the fewest bytes that encode data[i..n); offsetCost[i] = cost[i] + i, which makes
  // every literal block from i cost offsetCost[end] - i + 1, a range minimum.
  std::vector<uint32_t> cost(n + 1, 0);
  std::vector<uint32_t> offsetCost(n + 1, 0);
  offsetCost[n] = static_cast<uint32_t>(n);
  // choice[i]: > 0 a literal block of that many bytes, < 0 a run of minus that many.
  std::vector<int16_t> choice(n, 0);
  SlidingMinimum literalEnds(kLongestLiterals);
  SlidingMinimum runEnds(kLongestRun - kShortestRun + 1);
  size_t run = 0;
  for (size_t i = n; i-- > 0;) {
    run = i + 1 < n && data[i] == data[i + 1] ? run + 1 : 1;
    literalEnds.AddBelow(static_cast<uint32_t>(i + 1), offsetCost);
    literalEnds.DropAbove(static_cast<uint32_t>(i + kLongestLiterals));
    uint32_t end = literalEnds.Cheapest();
    uint32_t best = offsetCost[end] - static_cast<uint32_t>(i) + 1;
    choice[i] = static_cast<int16_t>(end - i);
    if (i + kShortestRun <= n) runEnds.AddBelow(static_cast<uint32_t>(i + kShortestRun), cost);
    runEnds.DropAbove(static_cast<uint32_t>(i + std::min(run, kLongestRun)));
    if (!runEnds.empty()) {
      end = runEnds.Cheapest();
      if (cost[end] + 2 <= best) {
        best = cost[end] + 2;
        choice[i] = static_cast<int16_t>(-static_cast<int>(end - i));
      }
    }
    cost[i] = best;
    offsetCost[i] = best + static_cast<uint32_t>(i);
  }
  std::vector<uint8_t> out;
  out.reserve(kHeaderBytes + cost[0]);
  WriteStreamHeader(out, kRleType, n);
  for (size_t i = 0; i < n;) {
    if (choice[i] > 0) {
      WriteLiterals(out, data.data() + i, static_cast<size_t>(choice[i]));
      i += static_cast<size_t>(choice[i]);
    } else {
      WriteRun(out, data[i], static_cast<size_t>(-choice[i]));
      i += static_cast<size_t>(-choice[i]);
    }
  }
  return out;
}

// Runs of three or more as runs, everything between as literal blocks.
std::vector<uint8_t> CompressGreedy(std::span<const uint8_t> data) {
  std::vector<uint8_t> out;
  WriteStreamHeader(out, kRleType, data.size());
  size_t i = 0;
  while (i < data.size()) {
    const size_t run = RunAt(data, i, kLongestRun);
    if (run >= kShortestRun) {
      WriteRun(out, data[i], run);
      i += run;
      continue;
    }
    size_t j = i;
    while (j < data.size() && j - i < kLongestLiterals &&
           RunAt(data, j, kShortestRun) < kShortestRun)
      ++j;
    if (j == i) j = i + 1;
    WriteLiterals(out, data.data() + i, j - i);
    i = j;
  }
  return out;
}

}  // namespace

DecompressResult DecompressRle30(std::span<const uint8_t> input, size_t maxOutput) {
  size_t length = 0;
  const DecompressError headerError =
      ReadStreamHeader(input, !input.empty() && input[0] == kRleType, maxOutput, length);
  if (headerError != DecompressError::None) return Refused(headerError);
  // A run gives 130 bytes for 2, the most any block gives: a longer claim cannot be met.
  if (length > kLongestRun / 2 * (input.size() - kHeaderBytes))
    return Refused(DecompressError::EndsEarly);

  std::vector<uint8_t> bytes(length);
  const uint8_t* in = input.data();
  const size_t end = input.size();
  size_t pos = kHeaderBytes;
  size_t produced = 0;
  while (produced < length) {
    if (pos >= end) return Refused(DecompressError::EndsEarly);
    const unsigned flag = in[pos++];
    if (flag & 0x80) {
      const size_t count = (flag & 0x7F) + kShortestRun;
      if (pos >= end) return Refused(DecompressError::EndsEarly);
      if (count > length - produced) return Refused(DecompressError::LengthMismatch);
      std::memset(bytes.data() + produced, in[pos++], count);
      produced += count;
    } else {
      const size_t count = (flag & 0x7F) + 1;
      if (pos + count > end) return Refused(DecompressError::EndsEarly);
      if (count > length - produced) return Refused(DecompressError::LengthMismatch);
      std::memcpy(bytes.data() + produced, in + pos, count);
      pos += count;
      produced += count;
    }
  }
  DecompressResult result;
  result.Bytes = std::move(bytes);
  result.Consumed = pos;
  return result;
}

// Rules every compressor that merges what fits keeps, greedy and optimal ones alike:
//  - two literal blocks in a row hold more than one block can (else they would be one);
//  - two runs of the same byte in a row hold more than one run can;
//  - a run that has room left is not next to a literal byte of its own value (the run would
//    take it, which is never longer);
//  - no four equal bytes inside a literal block (a run there is always shorter).
bool Rle30StreamLooksWritten(std::span<const uint8_t> input) {
  size_t length = 0;
  if (ReadStreamHeader(input, !input.empty() && input[0] == kRleType, kMaxStreamLength, length) !=
      DecompressError::None)
    return false;
  const uint8_t* in = input.data();
  const size_t end = input.size();
  size_t pos = kHeaderBytes;
  size_t produced = 0;
  // The block before: its kind, its length and the byte it ended with.
  enum class Block { None, Literal, Run } previous = Block::None;
  size_t previousCount = 0;
  uint8_t previousByte = 0;
  while (produced < length) {
    if (pos >= end) return false;
    const unsigned flag = in[pos++];
    if (flag & 0x80) {
      const size_t count = (flag & 0x7F) + kShortestRun;
      if (pos >= end) return false;
      const uint8_t value = in[pos++];
      if (previous == Block::Run && previousByte == value && previousCount + count <= kLongestRun)
        return false;
      if (previous == Block::Literal && previousByte == value && count < kLongestRun) return false;
      previous = Block::Run;
      previousCount = count;
      previousByte = value;
      produced += count;
    } else {
      const size_t count = (flag & 0x7F) + 1;
      if (pos + count > end) return false;
      if (previous == Block::Literal && previousCount + count <= kLongestLiterals) return false;
      if (previous == Block::Run && previousByte == in[pos] && previousCount < kLongestRun)
        return false;
      for (size_t i = pos; i + 3 < pos + count; ++i)
        if (in[i] == in[i + 1] && in[i] == in[i + 2] && in[i] == in[i + 3]) return false;
      previous = Block::Literal;
      previousCount = count;
      previousByte = in[pos + count - 1];
      pos += count;
      produced += count;
    }
  }
  return produced == length;
}

std::vector<uint8_t> CompressRle30(std::span<const uint8_t> data, bool greedy) {
  return greedy ? CompressGreedy(data) : CompressOptimal(data);
}

}  // namespace varnock::gba
