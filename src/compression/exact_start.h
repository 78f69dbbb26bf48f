// Which of the offsets that decode to a stream ending at one byte is where the stream begins,
// for the formats without a header. Bytes before a stream often decode a few commands and run
// into it, and a stream's own later commands often decode as a shorter stream: all of these
// end at the same byte, and only one of them is the stream the game reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <utility>
#include <vector>

#include "compression/scan_pass.h"

namespace varnock {

// True when `earlier`, the first bytes an earlier start decodes to, look like bytes added
// before `later`, the first bytes of a later start ending at the same byte: noise, where the
// stream's own bytes are far more regular.
bool LooksAddedBefore(std::span<const uint8_t> earlier, std::span<const uint8_t> later);

// Whether `earlier` lies in a run of one byte value (padding) of `image` that goes on up to
// `later`: a stream begins where its padding ends, and padding read as commands gives a few
// junk bytes.
bool InPaddingUpTo(std::span<const uint8_t> image, size_t earlier, size_t later);

// Takes the starts of each end from the last to the first, as a pass from the image's end
// meets them, and keeps one per end. The starts of one end form walks: from an earlier start
// the stream's walk reaches a later one (StreamStart::Next) and then goes on alike. Along a
// walk, a start is passed over for the one chosen after it when it decodes to fewer whole
// tiles, swallows it, or its first bytes look added before it; the choices of the walks' first
// starts are weighed the same way. Last, a choice that begins inside the stream chosen before
// it gives way to a start of its end right after that stream: it only reads the end of the
// stream before as its first commands.
class ExactStartChooser {
 public:
  // The first `count` output bytes of the stream starting at `offset`.
  using FrontDecoder = std::function<std::vector<uint8_t>(size_t offset, size_t count)>;
  // True when the stream at `earlier` reads the start at `later` as data of its first
  // commands, for a reason of the format's own to take the later one.
  using Swallows = std::function<bool(size_t earlier, size_t later)>;

  // What two starts of one end decode to before their walks meet, when neither walk reaches
  // the other's start: (`earlier`'s bytes, `later`'s bytes).
  using Meeting = std::function<std::pair<std::vector<uint8_t>, std::vector<uint8_t>>(
      size_t earlier, size_t later)>;

  // `longestStream`: no stream of the format takes more input bytes than this.
  ExactStartChooser(size_t tileBytes, size_t longestStream, FrontDecoder front,
                    Swallows swallows = {}, Meeting meeting = {});

  // A start of a stream that ends just before `end`; every later start of that end came
  // before it.
  void Add(size_t end, const StreamStart& start);
  // Every start still to come lies before `offset`: the ends too far from it are settled.
  void PassedOffset(size_t offset);
  // One start per end, in offset order.
  std::vector<StreamStart> Take();

 private:
  struct Member {
    StreamStart Start;
    size_t Chosen = 0;     // the offset chosen along the walk from here
    bool Reached = false;  // an earlier start's walk comes here
    std::vector<uint8_t> Front;
  };
  using Group = std::map<size_t, Member>;  // by offset
  // A group's choice, and its later starts close enough to be the start right after a stream
  // that the choice begins inside.
  struct Choice {
    StreamStart Start;
    std::vector<StreamStart> Later;
  };

  // Whether `earlier` gives way to `later`, which its walk reaches or not.
  bool PassOver(const Member& earlier, const Member& later, bool onWalk) const;
  void Close(const Group& group);

  size_t tileBytes_;
  size_t longestStream_;
  FrontDecoder front_;
  Swallows swallows_;
  Meeting meeting_;
  std::map<size_t, Group> open_;  // by end
  std::vector<Choice> chosen_;
};

}  // namespace varnock
