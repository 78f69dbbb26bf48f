#include "compression/exact_start.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

namespace varnock {
namespace {

// Bytes compared at the fronts of two starts: at least a tile, at most eight of 4 bits.
constexpr size_t kLeastFront = 32;
constexpr size_t kMostFront = 256;

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

bool LooksLikeNoise(std::span<const uint8_t> bytes) {
  return bytes.size() >= kLeastFront && 2 * DistinctValues(bytes) >= bytes.size();
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

bool LooksAddedBefore(std::span<const uint8_t> earlier, std::span<const uint8_t> later) {
  const size_t count = std::min(earlier.size(), later.size());
  if (count == 0) return false;
  // Graphics use few byte values in a stretch; bytes that only happen to decode are mostly
  // literals of whatever lay there, which use many.
  const size_t added = DistinctValues(earlier.first(count));
  const size_t own = DistinctValues(later.first(count));
  if (2 * added > count && added > 2 * own) return true;
  // Or fills of values the stream itself does not use, judged only by enough of its bytes.
  if (later.size() < kMostFront) return false;
  std::array<bool, 256> used{};
  for (uint8_t b : later) used[b] = true;
  size_t foreign = 0;
  for (uint8_t b : earlier.first(count)) foreign += !used[b];
  return 2 * foreign >= count;
}

ExactStartChooser::ExactStartChooser(size_t tileBytes, size_t longestStream, FrontDecoder front,
                                     Swallows swallows)
    : tileBytes_(std::max<size_t>(tileBytes, 1)),
      longestStream_(longestStream),
      front_(std::move(front)),
      swallows_(std::move(swallows)) {}

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
  // Off the earlier start's walk, the later start begins inside its bytes and its own first
  // bytes may be the ones that only happen to decode: only noise of the earlier one counts.
  if (onWalk) return LooksAddedBefore(front, later.Front);
  return LooksLikeNoise(front) ||
         (BeginsWithOddFill(earlier.Front) && !BeginsWithOddFill(later.Front));
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
  if (getenv("VKDBG")) {
    fprintf(stderr, "group end %zx:",
            group.begin()->second.Start.Offset + group.begin()->second.Start.Consumed);
    for (const auto& [offset, member] : group)
      fprintf(stderr, " %zx(R%zu%s next %zx ch %zx)", offset, member.Start.Produced,
              member.Reached ? " reached" : "", member.Start.Next, member.Chosen);
    fprintf(stderr, "\n");
  }
  const Member* best = nullptr;
  for (auto it = choices.rbegin(); it != choices.rend(); ++it)
    if (!best || !PassOver(**it, *best, false)) best = *it;
  if (getenv("VKDBG") && best) fprintf(stderr, "  chose %zx\n", best->Start.Offset);
  if (best) chosen_.push_back(best->Start);
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
  std::vector<StreamStart> chosen = std::move(chosen_);
  chosen_.clear();
  std::sort(chosen.begin(), chosen.end(),
            [](const StreamStart& a, const StreamStart& b) { return a.Offset < b.Offset; });
  return chosen;
}

}  // namespace varnock
