#include "compression/nintendo_lz_scan.h"

#include <algorithm>
#include <limits>

#include "compression/exact_start.h"
#include "compression/nintendo_lz_decode.h"

#include "compression/nintendo_lz_rules.h"

namespace varnock {
namespace {

// Walking the commands from every offset would walk the same commands again and again: walks
// that meet at a command go on alike, and bytes that never end a stream (21 22 22 21 ...) make
// every walk run to the output limit. So the pass goes from the image's end to its start and
// keeps, for each offset, what a walk from there comes to (a Tail); the tail at an offset is
// its command joined to the tail where that command ends, which lies at most one long literal
// ahead. Whatever decides a copy (bytes already written, a source close behind) depends on how
// much output lies before the command, so a tail keeps those conditions as bounds on it.
constexpr size_t kRing = 2048;  // more than the longest command: a long literal, 1026 bytes
constexpr int64_t kNever = std::numeric_limits<int64_t>::min() / 4;
constexpr int64_t kAlways = std::numeric_limits<int64_t>::max() / 4;
constexpr size_t kNoRun = std::numeric_limits<size_t>::max();
constexpr size_t kProgressStep = 64u << 10;
constexpr size_t kLongLeadingLiteral = 64;
// Bytes decoded at most of each of two walks to where they meet.
constexpr size_t kMeetingBytes = 4096;

struct Tail {
  // The walk from here reaches an end marker keeping every rule that depends on nothing
  // before it; the fields below mean something only then.
  bool Ends = false;
  size_t End = 0;       // the input position just after the end marker
  size_t Produced = 0;  // output bytes from here to the end marker
  // Every copy reads written bytes when at least this much output lies before here.
  int64_t Need = kNever;
  // Some copy reads from within kNintendoNearCopy bytes back when at most this much does.
  int64_t NearUpTo = kNever;
  // The equal bytes from here on, and the first offset from here at which
  // kImplausibleLiteralRun of them start.
  size_t RunLength = 0;
  size_t RunStart = kNoRun;
  // Whether a stream starts here, and the first offset after this one on the walk where one
  // does.
  bool Starts = false;
  size_t NextStart = kNoStart;
};

bool StartsStream(const Tail& t, size_t minOutput) {
  return t.Ends && t.Need <= 0 && t.NearUpTo >= 0 && t.Produced % kNintendoTileGranule == 0 &&
         t.Produced >= minOutput;
}

class Pass {
 public:
  Pass(const NintendoLayout& layout, std::span<const uint8_t> image, size_t limit, size_t minOutput)
      : layout_(layout),
        in_(image.data()),
        size_(image.size()),
        limit_(limit),
        minOutput_(minOutput),
        ring_(kRing) {}

  // The tail at `p`, from the tails of the offsets after it.
  const Tail& Step(size_t p) {
    Tail t;
    const Tail* next = p + 1 < size_ ? &At(p + 1) : nullptr;
    t.RunLength = next && in_[p] == in_[p + 1] ? next->RunLength + 1 : 1;
    t.RunStart = t.RunLength >= kImplausibleLiteralRun ? p : next ? next->RunStart : kNoRun;
    const NintendoRead c = ReadNintendoCommand(layout_, in_, size_, p);
    if (c.Result == NintendoRead::Outcome::End) {
      t.Ends = true;
      t.End = p + 1;
    } else if (c.Result == NintendoRead::Outcome::Command) {
      Join(t, c, p);
    }
    t.Starts = StartsStream(t, minOutput_);
    Tail& slot = ring_[p % kRing];
    slot = t;
    return slot;
  }

 private:
  const Tail& At(size_t q) const { return ring_[q % kRing]; }

  bool LiteralHasRun(const NintendoRead& c) const {
    if (c.Length < kImplausibleLiteralRun) return false;
    const size_t run = At(c.LiteralAt).RunStart;
    return run != kNoRun && run + kImplausibleLiteralRun <= c.LiteralAt + c.Length;
  }

  // `t` becomes command `c` at `p` followed by the tail where it ends, if the rules allow.
  void Join(Tail& t, const NintendoRead& c, size_t p) const {
    const size_t q = p + c.Size;
    if (q >= size_) return;  // no end marker before the image ends
    const Tail& rest = At(q);
    if (!rest.Ends || IsWastefulNintendoCommand(c, LiteralHasRun(c))) return;
    const NintendoRead following = ReadNintendoCommand(layout_, in_, size_, q);
    if (following.Result == NintendoRead::Outcome::Command &&
        ContinuesNintendoCommand(ContinuationAfter(c), following))
      return;
    if (c.Produced > limit_ || rest.Produced > limit_ - c.Produced) return;
    int64_t need = kNever;
    int64_t near = kNever;
    if (c.IsCopy()) {
      const bool reverse = c.Op == NintendoOp::ReverseCopy;
      if (c.Relative) {
        if (c.Back == 0) return;  // it would read the byte it writes
        need = static_cast<int64_t>(reverse ? std::max(c.Back, c.Back + c.Length - 1) : c.Back);
        near = c.Back <= kNintendoNearCopy ? kAlways : kNever;
      } else {
        if (reverse && c.Address + 1 < c.Length) return;
        need = static_cast<int64_t>(c.Address) + 1;
        near = static_cast<int64_t>(c.Address + kNintendoNearCopy);
      }
    }
    const auto produced = static_cast<int64_t>(c.Produced);
    t.Ends = true;
    t.End = rest.End;
    t.Produced = c.Produced + rest.Produced;
    t.Need = std::max(need, rest.Need - produced);
    t.NearUpTo = std::max(near, rest.NearUpTo - produced);
    t.NextStart = rest.Starts ? q : rest.NextStart;
  }

  const NintendoLayout& layout_;
  const uint8_t* in_;
  size_t size_;
  size_t limit_;
  size_t minOutput_;
  std::vector<Tail> ring_;
};

}  // namespace

void VisitNintendoStarts(const NintendoLayout& layout, std::span<const uint8_t> image,
                         size_t minOutput, size_t maxOutput, const NintendoStartVisitor& visit) {
  Pass pass(layout, image, std::min(maxOutput, kNintendoMaxOutput), minOutput);
  for (size_t p = image.size(); p-- > 0;) {
    const Tail& t = pass.Step(p);
    const StreamStart start{p, t.End - p, t.Produced, t.NextStart};
    if (!visit(p, t.Starts ? &start : nullptr)) return;
  }
}

std::vector<StreamStart> FindNintendoStreams(const NintendoLayout& layout,
                                             std::span<const uint8_t> image, size_t tileBytes,
                                             size_t minOutput, size_t maxOutput,
                                             const PassProgress& progress) {
  const size_t limit = std::min(maxOutput, kNintendoMaxOutput);
  // Every command gives at least one byte for at most three of its own.
  const size_t longest = 3 * limit + 1;
  // Bytes before a stream that happen to decode into it do so most often as a long literal
  // that holds the stream's first commands and lands on a later one; few real streams begin
  // with more than 64 literal bytes. Or they are its padding, the last byte of which reads the
  // stream's first byte as a literal (00 in every format here).
  const auto swallows = [&](size_t earlier, size_t later) {
    if (InPaddingUpTo(image, earlier, later)) return true;
    const NintendoRead c = ReadNintendoCommand(layout, image.data(), image.size(), earlier);
    return c.Result == NintendoRead::Outcome::Command && c.Op == NintendoOp::Literal &&
           c.Length > kLongLeadingLiteral && later < c.LiteralAt + c.Length;
  };
  const auto front = [&](size_t offset, size_t count) {
    return DecodeNintendoFront(layout, image.subspan(offset), count);
  };
  // Walks both starts' commands, the one behind first, to where they meet.
  const auto meeting = [&](size_t earlier, size_t later) {
    size_t at[2] = {earlier, later}, produced[2] = {0, 0};
    while (at[0] != at[1]) {
      const int behind = at[0] < at[1] ? 0 : 1;
      const NintendoRead c = ReadNintendoCommand(layout, image.data(), image.size(), at[behind]);
      if (c.Result != NintendoRead::Outcome::Command || produced[behind] >= kMeetingBytes) break;
      at[behind] += c.Size;
      produced[behind] += c.Produced;
    }
    return std::pair(front(earlier, std::min(produced[0], kMeetingBytes)),
                     front(later, std::min(produced[1], kMeetingBytes)));
  };
  ExactStartChooser chooser(tileBytes, longest, front, swallows, meeting);
  VisitNintendoStarts(layout, image, minOutput, limit, [&](size_t p, const StreamStart* start) {
    const size_t done = image.size() - p;
    if (done % kProgressStep == 0) {
      if (progress && !progress(done)) return false;
      chooser.PassedOffset(p);
    }
    if (start) chooser.Add(start->Offset + start->Consumed, *start);
    return true;
  });
  return chooser.Take();
}

}  // namespace varnock
