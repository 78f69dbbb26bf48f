#include "compression/nintendo_lz_encode.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <deque>
#include <limits>
#include <memory>
#include <utility>

#include "compression/earlier_match_search.h"

namespace varnock {
namespace {

using Op = NintendoOp;
using Addressing = NintendoAddress;

// One command the parse can write: for fills and copies the longest the data allows at its
// position, the parse trying shorter ones where a length bracket ends.
struct Command {
  uint8_t Number = 0;  // 0-7
  Op Operation = Op::Literal;
  Addressing Address = Addressing::None;
  uint32_t Count = 0;   // the command's L
  uint32_t Source = 0;  // copies: the output offset read first
  bool Back = false;    // copies: named by its distance back rather than its offset
};

bool IsCopy(Op op) {
  return op == Op::Copy || op == Op::XorCopy || op == Op::FlipCopy || op == Op::ReverseCopy;
}

size_t MaxCount(uint8_t number) {
  return number == 7 ? kNintendoLongSevenLength : kNintendoLongLength;
}

size_t OutputBytes(const Command& command) {
  return command.Operation == Op::WordUnitFill ? 2 * size_t{command.Count} : command.Count;
}

// Exact stream bytes of a command: its header, then its parameters.
size_t Cost(const Command& command) {
  const size_t header = command.Number <= 6 && command.Count <= kNintendoShortLength ? 1 : 2;
  switch (command.Operation) {
    case Op::Literal:
      return header + command.Count;
    case Op::ByteFill:
    case Op::IncreasingFill:
      return header + 1;
    case Op::WordFill:
    case Op::WordUnitFill:
      return header + 2;
    case Op::ZeroFill:
      return header;
    default:
      return header + (command.Back ? 1 : 2);
  }
}

// How far back a one-byte distance reaches, and the largest offset two bytes name.
size_t BackWindow(Addressing address) {
  return address == Addressing::BackByte               ? 255
         : address == Addressing::SignedBackOrAbsolute ? 128
                                                       : 0;
}

std::optional<size_t> AbsoluteLimit(Addressing address) {
  switch (address) {
    case Addressing::AbsoluteBigEndian:
    case Addressing::AbsoluteLittleEndian:
      return 0xFFFF;
    case Addressing::SignedBackOrAbsolute:
      return 0x7FFF;
    default:
      return std::nullopt;
  }
}

// How a copy kind's bytes relate to its source: read forwards as they are, inverted or
// bit-flipped, or read backwards.
enum class Transform : uint8_t { Same, Inverted, Flipped, Backwards };

Transform TransformOf(Op op) {
  switch (op) {
    case Op::XorCopy:
      return Transform::Inverted;
    case Op::FlipCopy:
      return Transform::Flipped;
    case Op::ReverseCopy:
      return Transform::Backwards;
    default:
      return Transform::Same;
  }
}

uint8_t Apply(Transform transform, uint8_t value) {
  switch (transform) {
    case Transform::Inverted:
      return static_cast<uint8_t>(~value);
    case Transform::Flipped:
      return kReversedBits[value];
    default:
      return value;
  }
}

// Finds, position by position, the longest fill of each kind and the longest copy of each
// kind per address cost: among sources a one-byte distance reaches, by trying each, and among
// all others through suffix order.
class CandidateFinder {
 public:
  CandidateFinder(const NintendoLayout& layout, std::span<const uint8_t> data)
      : data_(data), run_(data.size()), increasing_(data.size()), alternating_(data.size()) {
    for (uint8_t number = 0; number < 8; ++number) {
      const NintendoCommand command = layout.Commands[number];
      if (command.Op == Op::Literal) continue;
      const bool seen = std::any_of(kinds_.begin(), kinds_.end(), [&](const Command& kind) {
        return kind.Operation == command.Op && kind.Address == command.Address;
      });
      if (seen) continue;
      kinds_.push_back({number, command.Op, command.Address, 0, 0, false});
      if (IsCopy(command.Op) && AbsoluteLimit(command.Address)) SearchFor(TransformOf(command.Op));
      if (IsCopy(command.Op) && BackWindow(command.Address) > 0) ChainFor(TransformOf(command.Op));
    }
    last_.resize(kinds_.size());
    const size_t n = data.size();
    for (size_t i = n; i-- > 0;) {
      const bool more = i + 1 < n;
      run_[i] = more && data[i + 1] == data[i] ? run_[i + 1] + 1 : 1;
      increasing_[i] =
          more && data[i + 1] == static_cast<uint8_t>(data[i] + 1) ? increasing_[i + 1] + 1 : 1;
      alternating_[i] = i + 2 < n && data[i + 2] == data[i]
                            ? alternating_[i + 1] + 1
                            : static_cast<uint32_t>(std::min<size_t>(2, n - i));
    }
  }

  // The candidates at `i`; positions are visited in increasing order, any may be skipped.
  void Candidates(size_t i, std::vector<Command>& out) {
    out.clear();
    const size_t left = data_.size() - i;
    for (size_t k = 0; k < kinds_.size(); ++k) {
      Command command = kinds_[k];
      switch (command.Operation) {
        case Op::ByteFill:
          command.Count = Capped(run_[i], command.Number);
          if (command.Count >= 2) out.push_back(command);
          break;
        case Op::ZeroFill:
          command.Count = Capped(run_[i], command.Number);
          if (data_[i] == 0) out.push_back(command);
          break;
        case Op::IncreasingFill:
          command.Count = Capped(increasing_[i], command.Number);
          if (command.Count >= 2) out.push_back(command);
          break;
        case Op::WordFill:
          command.Count = Capped(alternating_[i], command.Number);
          if (left >= 3 && data_[i] != data_[i + 1] && command.Count >= 3) out.push_back(command);
          break;
        case Op::WordUnitFill:
          command.Count = Capped(alternating_[i] / 2, command.Number);
          if (left >= 4 && data_[i] != data_[i + 1] && command.Count >= 2) out.push_back(command);
          break;
        default:
          if (left >= 2) FindCopies(i, k, out);
          break;
      }
    }
  }

 private:
  // The earlier sources of one transform in suffix order: forward copies read the data mapped
  // byte by byte, backward copies the data reversed.
  struct Search {
    Transform Kind;
    EarlierMatchSearch Order;
    size_t Admitted = 0;  // sources 0 .. Admitted-1 are candidates
  };

  // Earlier positions by the two bytes a copy from there would give first, newest first.
  struct Chain {
    Transform Kind;
    std::vector<int32_t> Head;  // latest position per key
    std::vector<int32_t> Prev;  // the position before it with the same key
    size_t Inserted = 0;        // positions 0 .. Inserted-1 are in
  };

  static uint32_t Capped(size_t count, uint8_t number) {
    return static_cast<uint32_t>(std::min(count, MaxCount(number)));
  }

  void SearchFor(Transform kind) {
    for (const auto& search : searches_)
      if (search->Kind == kind) return;
    if (kind == Transform::Same) {
      searches_.push_back(std::make_unique<Search>(Search{kind, EarlierMatchSearch(data_, data_)}));
      return;
    }
    std::vector<uint8_t> mapped(data_.begin(), data_.end());
    if (kind == Transform::Backwards)
      std::reverse(mapped.begin(), mapped.end());
    else
      for (uint8_t& byte : mapped) byte = Apply(kind, byte);
    searches_.push_back(std::make_unique<Search>(Search{kind, EarlierMatchSearch(mapped, data_)}));
  }

  void ChainFor(Transform kind) {
    for (const Chain& chain : chains_)
      if (chain.Kind == kind) return;
    chains_.push_back({kind, std::vector<int32_t>(65536, -1), std::vector<int32_t>(data_.size())});
  }

  // The two bytes a copy from `from` would give first, or -1 where it has no two.
  int Key(Transform kind, size_t from) const {
    if (kind == Transform::Backwards) return from >= 1 ? data_[from] << 8 | data_[from - 1] : -1;
    if (from + 1 >= data_.size()) return -1;
    return Apply(kind, data_[from]) << 8 | Apply(kind, data_[from + 1]);
  }

  Chain& ChainOf(Transform kind, size_t before) {
    Chain* found = &chains_.front();
    for (Chain& chain : chains_)
      if (chain.Kind == kind) found = &chain;
    for (; found->Inserted < before; ++found->Inserted) {
      const int key = Key(kind, found->Inserted);
      if (key < 0) continue;
      found->Prev[found->Inserted] = found->Head[static_cast<size_t>(key)];
      found->Head[static_cast<size_t>(key)] = static_cast<int32_t>(found->Inserted);
    }
    return *found;
  }

  Search* SearchOf(Transform kind) {
    for (const auto& search : searches_)
      if (search->Kind == kind) return search.get();
    return nullptr;
  }

  // Length of the copy from `from` at `i`, its first `known` bytes already known to match.
  size_t MatchLength(Transform kind, size_t i, size_t from, size_t known, size_t cap) const {
    const uint8_t* d = data_.data();
    size_t length = known;
    if (kind == Transform::Backwards) {
      cap = std::min(cap, from + 1);
      while (length < cap && d[i + length] == d[from - length]) ++length;
      return length;
    }
    if constexpr (std::endian::native == std::endian::little) {
      // Eight bytes at a time where the bytes are compared as they are, or all inverted.
      if (kind != Transform::Flipped) {
        const uint64_t invert = kind == Transform::Inverted ? ~uint64_t{0} : 0;
        for (; length + 8 <= cap; length += 8) {
          uint64_t here, there;
          std::memcpy(&here, d + i + length, 8);
          std::memcpy(&there, d + from + length, 8);
          const uint64_t differ = here ^ there ^ invert;
          if (differ) return length + static_cast<size_t>(std::countr_zero(differ)) / 8;
        }
      }
    }
    while (length < cap && d[i + length] == Apply(kind, d[from + length])) ++length;
    return length;
  }

  // Whether a copy from `from` can be longer than `best` at all: its byte at `best` must match.
  bool CanBeat(Transform kind, size_t i, size_t from, size_t best, size_t cap) const {
    if (best >= cap) return false;
    if (kind == Transform::Backwards) return best <= from && data_[i + best] == data_[from - best];
    return data_[i + best] == Apply(kind, data_[from + best]);
  }

  // The best copies found at the position before, whose sources one further on still match
  // all but their first byte: in a run or a long repeat this spares comparing them again.
  struct LastCopies {
    size_t Position = std::numeric_limits<size_t>::max();
    size_t BackFrom = 0, BackLength = 0, AbsoluteFrom = 0, AbsoluteLength = 0;
  };

  void FindCopies(size_t i, size_t kindIndex, std::vector<Command>& out) {
    const Command& kind = kinds_[kindIndex];
    const Transform transform = TransformOf(kind.Operation);
    const bool backwards = transform == Transform::Backwards;
    const size_t window = BackWindow(kind.Address);
    const std::optional<size_t> absoluteLimit = AbsoluteLimit(kind.Address);
    const size_t cap = std::min(MaxCount(kind.Number), data_.size() - i);
    size_t bestBack = 0, backFrom = 0, bestAbsolute = 0, absoluteFrom = 0;
    const auto consider = [&](size_t source, size_t known) {
      const bool back = i - source <= window;
      const bool absolute = absoluteLimit && source <= *absoluteLimit;
      if (!(back && CanBeat(transform, i, source, bestBack, cap)) &&
          !(absolute && CanBeat(transform, i, source, bestAbsolute, cap)))
        return;
      const size_t length = MatchLength(transform, i, source, known, cap);
      if (back && length > bestBack) bestBack = length, backFrom = source;
      if (absolute && length > bestAbsolute) bestAbsolute = length, absoluteFrom = source;
    };
    LastCopies& last = last_[kindIndex];
    if (last.Position + 1 == i) {
      for (const auto& [from, length] : {std::pair{last.BackFrom, last.BackLength},
                                         std::pair{last.AbsoluteFrom, last.AbsoluteLength}}) {
        if (length < 2 || (backwards && from == 0)) continue;
        const size_t next = backwards ? from - 1 : from + 1;
        if (next < i) consider(next, length - 1);
      }
    }
    if (window > 0) {
      const Chain& chain = ChainOf(transform, i);
      for (int32_t from = chain.Head[size_t{data_[i]} << 8 | data_[i + 1]];
           from >= 0 && i - static_cast<size_t>(from) <= window && bestBack < cap;
           from = chain.Prev[static_cast<size_t>(from)])
        consider(static_cast<size_t>(from), 0);
    }
    if (absoluteLimit && bestAbsolute < cap && bestBack < cap) {
      Search& search = *SearchOf(transform);
      const size_t limit = std::min(i, *absoluteLimit + 1);
      for (; search.Admitted < limit; ++search.Admitted)
        search.Order.Admit(backwards ? data_.size() - 1 - search.Admitted : search.Admitted);
      for (const int32_t start : search.Order.Neighbours(i)) {
        if (start < 0) continue;
        const size_t at = static_cast<size_t>(start);
        consider(backwards ? data_.size() - 1 - at : at, 0);
      }
    }
    last = {i, backFrom, bestBack, absoluteFrom, bestAbsolute};
    if (bestBack >= 2) {
      Command command = kind;
      command.Count = static_cast<uint32_t>(bestBack);
      command.Source = static_cast<uint32_t>(backFrom);
      command.Back = true;
      out.push_back(command);
    }
    if (bestAbsolute > bestBack && bestAbsolute >= 3) {
      Command command = kind;
      command.Count = static_cast<uint32_t>(bestAbsolute);
      command.Source = static_cast<uint32_t>(absoluteFrom);
      out.push_back(command);
    }
  }

  std::span<const uint8_t> data_;
  std::vector<Command> kinds_;
  std::vector<std::unique_ptr<Search>> searches_;
  std::vector<Chain> chains_;
  std::vector<LastCopies> last_;       // one per entry of kinds_
  std::vector<uint32_t> run_;          // equal bytes from here
  std::vector<uint32_t> increasing_;   // bytes from here each one more than the last
  std::vector<uint32_t> alternating_;  // bytes from here repeating the first two
};

Command LiteralOf(size_t count) {
  Command literal;
  literal.Count = static_cast<uint32_t>(count);
  return literal;
}

// A chosen command and the data position it starts at.
struct Placed {
  size_t Position = 0;
  Command What;
};

void Write(const Placed& placed, std::span<const uint8_t> data, std::vector<uint8_t>& out) {
  const Command& c = placed.What;
  const size_t length = c.Count - 1;
  if (c.Number <= 6 && c.Count <= kNintendoShortLength) {
    out.push_back(static_cast<uint8_t>(c.Number << 5 | length));
  } else {
    out.push_back(static_cast<uint8_t>(0xE0 | c.Number << 2 | length >> 8));
    out.push_back(static_cast<uint8_t>(length & 0xFF));
  }
  const size_t at = placed.Position;
  switch (c.Operation) {
    case Op::Literal:
      out.insert(out.end(), data.begin() + static_cast<ptrdiff_t>(at),
                 data.begin() + static_cast<ptrdiff_t>(at + c.Count));
      return;
    case Op::ByteFill:
    case Op::IncreasingFill:
      out.push_back(data[at]);
      return;
    case Op::WordFill:
    case Op::WordUnitFill:
      out.push_back(data[at]);
      out.push_back(data[at + 1]);
      return;
    case Op::ZeroFill:
      return;
    default:
      break;
  }
  const size_t back = at - c.Source;
  switch (c.Address) {
    case Addressing::AbsoluteBigEndian:
      out.push_back(static_cast<uint8_t>(c.Source >> 8));
      out.push_back(static_cast<uint8_t>(c.Source & 0xFF));
      return;
    case Addressing::AbsoluteLittleEndian:
      out.push_back(static_cast<uint8_t>(c.Source & 0xFF));
      out.push_back(static_cast<uint8_t>(c.Source >> 8));
      return;
    case Addressing::BackByte:
      out.push_back(static_cast<uint8_t>(back));
      return;
    default:
      if (c.Back) {
        out.push_back(static_cast<uint8_t>(0x80 | (back - 1)));
      } else {
        out.push_back(static_cast<uint8_t>(c.Source >> 8));
        out.push_back(static_cast<uint8_t>(c.Source & 0xFF));
      }
      return;
  }
}

// Writes the commands, literals next to each other joined first (a split literal is never
// shorter, and a stream without one reads as a compressor's), then the end marker.
std::vector<uint8_t> WriteStream(const std::vector<Placed>& commands,
                                 std::span<const uint8_t> data) {
  std::vector<uint8_t> out;
  out.reserve(data.size() + data.size() / 32 + 2);
  for (size_t k = 0; k < commands.size();) {
    if (commands[k].What.Operation != Op::Literal) {
      Write(commands[k++], data, out);
      continue;
    }
    const size_t start = commands[k].Position;
    size_t end = start;
    for (; k < commands.size() && commands[k].What.Operation == Op::Literal; ++k)
      end += commands[k].What.Count;
    for (size_t at = start; at < end; at += kNintendoLongLength)
      Write({at, LiteralOf(std::min(kNintendoLongLength, end - at))}, data, out);
  }
  out.push_back(kNintendoEndMarker);
  return out;
}

// Shortest path over data positions: from each position an edge per fill and copy at its
// longest and where its cost bracket ends (32), and literals of every length, whose costs the
// two sliding minima give without trying each length.
std::vector<Placed> OptimalParse(const NintendoLayout& layout, std::span<const uint8_t> data) {
  const size_t n = data.size();
  constexpr uint32_t kUnreached = std::numeric_limits<uint32_t>::max();
  std::vector<uint32_t> cost(n + 1, kUnreached);
  struct Step {
    uint32_t From = 0;
    Command What;
  };
  std::vector<Step> step(n + 1);
  cost[0] = 0;
  CandidateFinder finder(layout, data);
  std::vector<Command> candidates;
  // Positions whose cost minus position is smallest, for literals of 1-32 and 33-1024 bytes.
  std::deque<size_t> shortWindow, longWindow;
  const auto gain = [&](size_t i) { return int64_t{cost[i]} - static_cast<int64_t>(i); };
  const auto push = [&](std::deque<size_t>& window, size_t i) {
    while (!window.empty() && gain(window.back()) >= gain(i)) window.pop_back();
    window.push_back(i);
  };
  const auto relax = [&](size_t from, size_t to, const Command& what) {
    const uint32_t total = cost[from] + static_cast<uint32_t>(Cost(what));
    if (total < cost[to]) cost[to] = total, step[to] = {static_cast<uint32_t>(from), what};
  };
  for (size_t j = 0; j <= n; ++j) {
    if (j > 0) {
      push(shortWindow, j - 1);
      while (shortWindow.front() + kNintendoShortLength < j) shortWindow.pop_front();
      if (j > kNintendoShortLength) push(longWindow, j - 1 - kNintendoShortLength);
      while (!longWindow.empty() && longWindow.front() + kNintendoLongLength < j)
        longWindow.pop_front();
      relax(shortWindow.front(), j, LiteralOf(j - shortWindow.front()));
      if (!longWindow.empty()) relax(longWindow.front(), j, LiteralOf(j - longWindow.front()));
    }
    if (j == n) break;
    finder.Candidates(j, candidates);
    for (Command command : candidates) {
      if (command.Operation == Op::WordUnitFill) {
        // Counted in words, so the parity of what follows matters: every count is tried.
        const uint32_t most = command.Count;
        for (command.Count = 2; command.Count <= most; ++command.Count)
          relax(j, j + OutputBytes(command), command);
        continue;
      }
      relax(j, j + OutputBytes(command), command);
      if (command.Number <= 6 && command.Count > kNintendoShortLength) {
        command.Count = kNintendoShortLength;
        relax(j, j + OutputBytes(command), command);
      }
    }
  }
  std::vector<Placed> commands;
  for (size_t j = n; j > 0; j = step[j].From) commands.push_back({step[j].From, step[j].What});
  std::reverse(commands.begin(), commands.end());
  return commands;
}

std::vector<Placed> GreedyParse(const NintendoLayout& layout, std::span<const uint8_t> data) {
  std::vector<Placed> commands;
  CandidateFinder finder(layout, data);
  std::vector<Command> candidates;
  size_t literalStart = 0;
  size_t i = 0;
  const auto flush = [&] {
    if (i > literalStart) commands.push_back({literalStart, LiteralOf(i - literalStart)});
  };
  while (i < data.size()) {
    finder.Candidates(i, candidates);
    const Command* best = nullptr;
    for (const Command& command : candidates) {
      const bool longer = !best || OutputBytes(command) > OutputBytes(*best);
      const bool cheaper =
          best && OutputBytes(command) == OutputBytes(*best) && Cost(command) < Cost(*best);
      if (longer || cheaper) best = &command;
    }
    if (best && Cost(*best) < OutputBytes(*best)) {
      flush();
      commands.push_back({i, *best});
      i += OutputBytes(*best);
      literalStart = i;
    } else {
      ++i;
      if (i - literalStart == kNintendoLongLength) flush(), literalStart = i;
    }
  }
  flush();
  return commands;
}

}  // namespace

std::optional<std::vector<uint8_t>> CompressNintendoStream(const NintendoLayout& layout,
                                                           std::span<const uint8_t> data) {
  if (data.size() > kNintendoMaxOutput) return std::nullopt;
  return WriteStream(OptimalParse(layout, data), data);
}

std::optional<std::vector<uint8_t>> CompressNintendoStreamGreedy(const NintendoLayout& layout,
                                                                 std::span<const uint8_t> data) {
  if (data.size() > kNintendoMaxOutput) return std::nullopt;
  return WriteStream(GreedyParse(layout, data), data);
}

}  // namespace varnock
