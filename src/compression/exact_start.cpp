#include "compression/exact_start.h"

#include <algorithm>
#include <array>

namespace varnock {
namespace {

// Bytes compared at the fronts of two starts: at least a tile, at most eight of 4 bits.
constexpr size_t kLeastFront = 32;
constexpr size_t kMostFront = 256;
// How far before another stream's end a choice may begin and still give way to a start right
// after it.
constexpr size_t kInsideBefore = 64;
// How much noisier the bytes one start decodes to before it meets another must be to count.
constexpr double kNoisier = 0.1;

size_t DistinctValues(std::span<const uint8_t> bytes) {
  std::array<bool, 256> seen{};
  size_t distinct = 0;
  for (uint8_t b : bytes) {
    distinct += !seen[b];
    seen[b] = true;
  }
  return distinct;
}

}  // namespace

bool IsNoisy(std::span<const uint8_t> bytes) {
  return bytes.size() >= kLeastFront && 2 * DistinctValues(bytes) >= bytes.size();
}

// Noise at the very start or over all of `bytes`: bytes that only happen to decode begin with
// literals of whatever lay there.
bool LooksLikeNoise(std::span<const uint8_t> bytes) {
  return IsNoisy(bytes.first(std::min(bytes.size(), kLeastFront))) || IsNoisy(bytes);
}

// The share of 16-byte rows of `bytes` with eleven or more byte values: noise, which a picture
// seldom has.
double NoisyRows(std::span<const uint8_t> bytes) {
  constexpr size_t kRow = 16;
  constexpr size_t kNoisy = 11;
  size_t rows = 0, noisy = 0;
  for (size_t at = 0; at + kRow <= bytes.size(); at += kRow, ++rows)
    noisy += DistinctValues(bytes.subspan(at, kRow)) >= kNoisy;
  return rows ? static_cast<double>(noisy) / static_cast<double>(rows) : 0;
}

// A picture's tiles seldom begin with a fill of one byte value, or two alternating, neither
// 0x00 nor 0xFF (a blank or a solid tile): in planar tiles that is a tile of vertical stripes.
// Bytes that only happen to decode often begin with a fill of whatever value lay there.
bool BeginsWithOddFill(std::span<const uint8_t> front) {
  constexpr size_t kRow = 16;  // a 2-bit tile
  if (front.size() < kRow) return false;
  const std::span<const uint8_t> row = front.first(kRow);
  return DistinctValues(row) <= 2 &&
         std::none_of(row.begin(), row.end(), [](uint8_t b) { return b == 0x00 || b == 0xFF; });
}

// Whether `bytes` hold a long fill of one value, or of two alternating, that is not blank
// (0x00) or solid (0xFF): in planar tiles many tiles of the same vertical stripes. Bytes that
// only happen to decode read a parameter of the stream's own first command as a fill's length
// and give one; a picture seldom has it.
bool HoldsLongOddFill(std::span<const uint8_t> bytes) {
  constexpr size_t kLongFill = 256;
  size_t run = 0;
  for (size_t i = 2; i < bytes.size(); ++i) {
    run = bytes[i] == bytes[i - 2] ? run + 1 : 0;
    const auto blank = [](uint8_t b) { return b == 0x00 || b == 0xFF; };
    if (run >= kLongFill && !(blank(bytes[i]) && blank(bytes[i - 1]))) return true;
  }
  return false;
}

bool LooksAddedBefore(std::span<const uint8_t> earlier, std::span<const uint8_t> later) {
  const size_t count = std::min(earlier.size(), later.size());
  if (count == 0) return false;
  // Graphics use few byte values in a stretch; bytes that only happen to decode are mostly
  // literals of whatever lay there, which use many.
  const size_t added = DistinctValues(earlier.first(count));
  const size_t own = DistinctValues(later.first(count));
  if (2 * added > count && added > 2 * own) return true;
  const size_t first = std::min(count, kLeastFront);
  if (IsNoisy(earlier.first(first)) && !IsNoisy(later.first(first))) return true;
  // Or fills of values the stream itself does not use, judged only by enough of its bytes.
  if (later.size() < kMostFront) return false;
  std::array<bool, 256> used{};
  for (uint8_t b : later) used[b] = true;
  size_t foreign = 0;
  for (uint8_t b : earlier.first(count)) foreign += !used[b];
  return 2 * foreign >= count;
}

bool InPaddingUpTo(std::span<const uint8_t> image, size_t earlier, size_t later) {
  constexpr size_t kPaddingBefore = 8;
  if (earlier < kPaddingBefore || later > image.size() || later <= earlier) return false;
  const auto run = image.subspan(earlier - kPaddingBefore, later - earlier + kPaddingBefore);
  return std::all_of(run.begin(), run.end(), [&](uint8_t b) { return b == run.front(); });
}

ExactStartChooser::ExactStartChooser(size_t tileBytes, size_t longestStream, FrontDecoder front,
                                     Swallows swallows, Meeting meeting)
    : tileBytes_(std::max<size_t>(tileBytes, 1)),
      longestStream_(longestStream),
      front_(std::move(front)),
      swallows_(std::move(swallows)),
      meeting_(std::move(meeting)) {}

bool ExactStartChooser::PassOver(const Member& earlier, const Member& later, bool onWalk) const {
  const bool wholeEarlier = earlier.Start.Produced % tileBytes_ == 0;
  const bool wholeLater = later.Start.Produced % tileBytes_ == 0;
  if (wholeEarlier != wholeLater) return wholeLater;
  if (swallows_ && swallows_(earlier.Start.Offset, later.Start.Offset)) return true;
  // The bytes the earlier start adds before the later one, as far as they can be compared.
  const size_t added = earlier.Start.Produced > later.Start.Produced
                           ? earlier.Start.Produced - later.Start.Produced
                           : kLeastFront;
  const size_t count = std::min(std::clamp(added, kLeastFront, kMostFront), earlier.Front.size());
  const std::span<const uint8_t> front = std::span(earlier.Front).first(count);
  if (onWalk) return LooksAddedBefore(front, later.Front);
  // Off the earlier start's walk, the later start begins inside its bytes: one of the two walks
  // reads the other's commands out of step until they meet, and decodes them to junk.
  if (LooksLikeNoise(front) ||
      (BeginsWithOddFill(earlier.Front) && !BeginsWithOddFill(later.Front)))
    return true;
  if (!meeting_) return false;
  const auto [mine, theirs] = meeting_(earlier.Start.Offset, later.Start.Offset);
  if (HoldsLongOddFill(mine) && !HoldsLongOddFill(theirs)) return true;
  return NoisyRows(mine) > NoisyRows(theirs) + kNoisier;
}

void ExactStartChooser::Add(size_t end, const StreamStart& start) {
  Group& group = open_[end];
  Member member{start, start.Offset, false, front_(start.Offset, kMostFront)};
  const auto next = start.Next == kNoStart ? group.end() : group.find(start.Next);
  if (next != group.end()) {
    next->second.Reached = true;
    const Member& chosen = group.at(next->second.Chosen);
    if (PassOver(member, chosen, true)) member.Chosen = chosen.Start.Offset;
  }
  group.emplace(start.Offset, std::move(member));
}

void ExactStartChooser::Close(const Group& group) {
  // The choices of the walks' first starts, from the last to the first, weighed as along a walk.
  std::vector<const Member*> choices;
  for (const auto& [offset, member] : group)
    if (!member.Reached) choices.push_back(&group.at(member.Chosen));
  std::sort(choices.begin(), choices.end(),
            [](const Member* a, const Member* b) { return a->Start.Offset < b->Start.Offset; });
  choices.erase(std::unique(choices.begin(), choices.end()), choices.end());
  const Member* best = nullptr;
  for (auto it = choices.rbegin(); it != choices.rend(); ++it)
    if (!best || !PassOver(**it, *best, false)) best = *it;
  if (!best) return;
  Choice choice{best->Start, {}};
  for (auto it = group.upper_bound(best->Start.Offset);
       it != group.end() && it->first <= best->Start.Offset + kInsideBefore; ++it)
    choice.Later.push_back(it->second.Start);
  chosen_.push_back(std::move(choice));
}

void ExactStartChooser::PassedOffset(size_t offset) {
  while (!open_.empty() && std::prev(open_.end())->first > offset + longestStream_) {
    Close(std::prev(open_.end())->second);
    open_.erase(std::prev(open_.end()));
  }
}

std::vector<StreamStart> ExactStartChooser::Take() {
  for (const auto& [end, group] : open_) Close(group);
  open_.clear();
  std::sort(chosen_.begin(), chosen_.end(),
            [](const Choice& a, const Choice& b) { return a.Start.Offset < b.Start.Offset; });
  std::vector<StreamStart> chosen;
  size_t end = 0;  // of the streams chosen so far
  for (const Choice& choice : chosen_) {
    StreamStart start = choice.Start;
    if (start.Offset < end) {
      for (const StreamStart& later : choice.Later)
        if (later.Offset == end) start = later;
    }
    end = std::max(end, start.Offset + start.Consumed);
    chosen.push_back(start);
  }
  chosen_.clear();
  std::sort(chosen.begin(), chosen.end(),
            [](const StreamStart& a, const StreamStart& b) { return a.Offset < b.Offset; });
  return chosen;
}

}  // namespace varnock
