#include "compression/kosinski.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace varnock {
namespace {

// The layout follows the game's own decoder: KosDec in sonicretro/s1disasm
// (_inc/Kosinski Decompression.asm) and Kos_Decomp in sonicretro/skdisasm (s3.asm);
// flamewing/mdcomp (src/lib/kosinski.cc) reads it the same way.
//
// Descriptor words are little-endian and give their bits lowest first. The game reads the next
// word as soon as the last bit of the current one is taken, before the bytes of the token that
// bit belongs to.
//   1                 literal: one byte
//   0 0 H L  dd       near copy: H L + 2 bytes (2-5) from 256 - dd bytes back (1-256)
//   0 1      lo hi    far copy: 13-bit field F = (hi & 0xF8) << 5 | lo, 8192 - F back (1-8192);
//                     hi & 7 = n > 0: n + 2 bytes (3-9)
//                     hi & 7 = 0: one more byte c: 0 ends the stream, 1 does nothing (the
//                     stream goes on), else c + 1 bytes (3-256)
// Copies go a byte at a time, so they may overlap the bytes they write.

constexpr int kDescriptorBits = 16;
constexpr size_t kNearWindow = 256;
constexpr size_t kFarWindow = 8192;
constexpr size_t kNearLongest = 5;
constexpr size_t kShortFarLongest = 9;
constexpr size_t kFarLongest = 256;

// One token as the game reads it.
struct ReadToken {
  enum class Kind : uint8_t { Literal, Copy, Continue, End } Kind = Kind::End;
  uint8_t Byte = 0;
  size_t Distance = 0;
  size_t Count = 0;
};

class TokenReader {
 public:
  explicit TokenReader(std::span<const uint8_t> input) : input_(input) {}

  // Reads the first descriptor word; false when the input is too short.
  bool Start() { return LoadWord(); }
  // False when the input ends inside the token.
  bool Next(ReadToken& token) {
    int bit = NextBit();
    if (bit < 0) return false;
    if (bit != 0) {
      if (pos_ >= input_.size()) return false;
      token.Kind = ReadToken::Kind::Literal;
      token.Byte = input_[pos_++];
      return true;
    }
    bit = NextBit();
    if (bit < 0) return false;
    token.Kind = ReadToken::Kind::Copy;
    if (bit == 0) {
      const int high = NextBit();
      if (high < 0) return false;
      const int low = NextBit();
      if (low < 0 || pos_ >= input_.size()) return false;
      token.Count = static_cast<size_t>(high << 1 | low) + 2;
      token.Distance = kNearWindow - input_[pos_++];
      return true;
    }
    if (input_.size() - pos_ < 2) return false;
    const unsigned low = input_[pos_];
    const unsigned high = input_[pos_ + 1];
    pos_ += 2;
    token.Distance = kFarWindow - ((high & 0xF8) << 5 | low);
    if ((high & 7) != 0) {
      token.Count = (high & 7) + 2;
      return true;
    }
    if (pos_ >= input_.size()) return false;
    const unsigned extra = input_[pos_++];
    if (extra <= 1) token.Kind = extra == 0 ? ReadToken::Kind::End : ReadToken::Kind::Continue;
    token.Count = extra + 1;
    return true;
  }
  size_t Pos() const { return pos_; }

 private:
  // The next descriptor bit, or -1 when the word that must follow it is missing.
  int NextBit() {
    const int bit = static_cast<int>(word_ & 1);
    word_ >>= 1;
    if (--left_ == 0 && !LoadWord()) return -1;
    return bit;
  }
  bool LoadWord() {
    if (input_.size() - pos_ < 2) return false;
    word_ = static_cast<unsigned>(input_[pos_] | input_[pos_ + 1] << 8);
    pos_ += 2;
    left_ = kDescriptorBits;
    return true;
  }

  std::span<const uint8_t> input_;
  size_t pos_ = 0;
  unsigned word_ = 0;
  int left_ = 0;
};

// Output that grows by doubling, written through a pointer.
class OutputBuffer {
 public:
  uint8_t* Reserve(size_t length, size_t count) {
    if (length + count > bytes_.size())
      bytes_.resize(std::max(length + count, std::max<size_t>(bytes_.size() * 2, 4096)));
    return bytes_.data() + length;
  }
  std::vector<uint8_t> Take(size_t length) {
    bytes_.resize(length);
    return std::move(bytes_);
  }

 private:
  std::vector<uint8_t> bytes_;
};

// Longest earlier matches at each position: within the near copy's 256 bytes (up to 5) and
// within the whole 8 KiB window (up to 256), both exact.
// Far matches come from a binary search tree of the window's suffixes per 2-byte key, newest at
// the root: inserting a position walks past its two lexicographic neighbours, the suffixes it
// shares most with, and every node below one older than the window is older too. A suffix that
// matches to the length limit is replaced by the new one, which then matches as far. Near
// matches come from a chain over the 2-byte key, nearest first, cut at 256 bytes back.
class MatchFinder {
 public:
  struct Found {
    uint16_t FarLength = 0;
    uint16_t FarDistance = 0;
    uint16_t NearLength = 0;
    uint16_t NearDistance = 0;
  };

  explicit MatchFinder(std::span<const uint8_t> data)
      : data_(data),
        treeRoot_(kKeys, kNone),
        children_(2 * kRing, kNone),
        nearHead_(kKeys, kNone),
        nearPrevious_(kNearRing, kNone) {}

  // Positions are asked in increasing order, each once.
  Found At(size_t at) {
    Found found;
    const auto i = static_cast<uint32_t>(at);
    if (at + 1 >= data_.size()) return found;
    const unsigned key = static_cast<unsigned>(data_[at] << 8 | data_[at + 1]);
    const auto limit = static_cast<uint32_t>(std::min(kFarLongest, data_.size() - at));
    FindFar(i, key, limit, found);
    FindNear(i, key, std::min<uint32_t>(limit, kNearLongest), found);
    return found;
  }

 private:
  static constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();
  static constexpr size_t kKeys = size_t{1} << 16;
  static constexpr uint32_t kRing = 2 * kFarWindow;  // nodes older than the window go unread
  static constexpr uint32_t kNearRing = 2 * kNearWindow;

  uint32_t CommonLength(uint32_t a, uint32_t b, uint32_t from, uint32_t limit) const {
    while (from < limit && data_[a + from] == data_[b + from]) ++from;
    return from;
  }

  void FindFar(uint32_t i, unsigned key, uint32_t limit, Found& found) {
    uint32_t* smaller = &children_[2 * (i % kRing)];  // where the next smaller suffix hangs
    uint32_t* larger = &children_[2 * (i % kRing) + 1];
    uint32_t smallerLength = 0, largerLength = 0;
    uint32_t node = treeRoot_[key];
    treeRoot_[key] = i;
    for (;;) {
      if (node == kNone || i - node > kFarWindow) {
        *smaller = *larger = kNone;
        return;
      }
      const uint32_t length = CommonLength(node, i, std::min(smallerLength, largerLength), limit);
      uint32_t* pair = &children_[2 * (node % kRing)];
      if (length > found.FarLength) {
        found.FarLength = static_cast<uint16_t>(length);
        found.FarDistance = static_cast<uint16_t>(i - node);
      }
      if (length == limit) {
        *smaller = pair[0];
        *larger = pair[1];
        return;
      }
      if (data_[node + length] < data_[i + length]) {
        *smaller = node;
        smaller = &pair[1];
        node = *smaller;
        smallerLength = length;
      } else {
        *larger = node;
        larger = &pair[0];
        node = *larger;
        largerLength = length;
      }
    }
  }

  void FindNear(uint32_t i, unsigned key, uint32_t limit, Found& found) {
    for (uint32_t j = nearHead_[key]; j != kNone && i - j <= kNearWindow;
         j = nearPrevious_[j % kNearRing]) {
      const uint32_t length = CommonLength(j, i, 2, limit);
      if (length > found.NearLength) {
        found.NearLength = static_cast<uint16_t>(length);
        found.NearDistance = static_cast<uint16_t>(i - j);
        if (length == limit) break;
      }
    }
    nearPrevious_[i % kNearRing] = nearHead_[key];
    nearHead_[key] = i;
  }

  std::span<const uint8_t> data_;
  std::vector<uint32_t> treeRoot_;
  std::vector<uint32_t> children_;
  std::vector<uint32_t> nearHead_;
  std::vector<uint32_t> nearPrevious_;
};

enum class TokenKind : uint8_t { Literal, Near, Far };

struct Token {
  TokenKind Kind;
  uint16_t Length;
  uint16_t Distance;
};

constexpr int kPhases = kDescriptorBits;
constexpr uint32_t kNoCost = std::numeric_limits<uint32_t>::max() / 2;
constexpr size_t kPieceBytes = size_t{1} << 20;
constexpr size_t kLongFarShortest = kShortFarLongest + 1;
constexpr size_t kEndMarkerBytes = 3;

// Descriptor bits of `bits` more bits from `phase`: the new phase, and 2 bytes when a new
// descriptor word had to be read.
struct Step {
  int Phase;
  uint32_t WordBytes;
};
Step Advance(int phase, int bits) {
  const int next = phase + bits;
  return next >= kPhases ? Step{next - kPhases, 2} : Step{next, 0};
}

// A far copy of 10 bytes or more costs the same whatever its length. Copies wait in `pending`
// until their shortest length is reached, then in the queue of the phase they lead to until their
// longest is passed. A match of length L at one position implies one of L - 1 at the next (same
// distance), so later origins never end sooner: each queue is a sliding-window minimum, cheapest
// in front, and what the front hides is never needed again.
struct LongCopy {
  uint32_t Cost;
  uint32_t LastEnd;
  uint32_t Origin;
};

class LongCopyQueue {
 public:
  void Push(const LongCopy& copy) {
    while (items_.size() > front_ && items_.back().Cost >= copy.Cost) items_.pop_back();
    items_.push_back(copy);
  }
  // The cheapest copy that still reaches `end`, or null.
  const LongCopy* Cheapest(size_t end) {
    while (front_ < items_.size() && items_[front_].LastEnd < end) ++front_;
    if (front_ == items_.size()) {
      items_.clear();
      front_ = 0;
      return nullptr;
    }
    return &items_[front_];
  }

 private:
  std::vector<LongCopy> items_;
  size_t front_ = 0;
};

uint16_t PackStep(TokenKind kind, size_t length, int previousPhase) {
  return static_cast<uint16_t>(static_cast<unsigned>(kind) << 12 | (length - 1) << 4 |
                               static_cast<unsigned>(previousPhase));
}

// Shortest path over (position, phase) for data[begin, end), starting at `phase` with `cost`.
// The last piece ends with the end marker. Appends the tokens and returns the end phase.
int ParsePiece(size_t begin, size_t end, int phase, uint32_t cost, bool last, MatchFinder& finder,
               std::vector<Token>& tokens) {
  const size_t count = end - begin;
  std::vector<MatchFinder::Found> found(count);
  for (size_t j = 0; j < count; ++j) found[j] = finder.At(begin + j);
  std::vector<uint16_t> back((count + 1) * kPhases, 0);
  std::array<std::array<uint32_t, kPhases>, kPhases> ring;  // costs of positions j .. j + 15
  for (auto& slot : ring) slot.fill(kNoCost);
  ring[0][static_cast<size_t>(phase)] = cost;
  // pending[j % 16][q]: long copies that reach 10 bytes at j and lead to phase q.
  std::array<std::array<LongCopy, kPhases>, kPhases> pending;
  std::array<std::array<bool, kPhases>, kPhases> isPending{};
  std::array<LongCopyQueue, kPhases> queues;

  for (size_t j = 0;; ++j) {
    auto& slot = ring[j % kPhases];
    for (int q = 0; q < kPhases; ++q) {
      const auto qi = static_cast<size_t>(q);
      if (isPending[j % kPhases][qi]) queues[qi].Push(pending[j % kPhases][qi]);
      isPending[j % kPhases][qi] = false;
      const LongCopy* copy = queues[qi].Cheapest(j);
      if (copy != nullptr && copy->Cost < slot[qi]) {
        slot[qi] = copy->Cost;
        back[j * kPhases + qi] =
            PackStep(TokenKind::Far, j - copy->Origin, Advance(q, kPhases - 2).Phase);
      }
    }
    if (j == count) break;
    const size_t farLength = std::min<size_t>(found[j].FarLength, count - j);
    const size_t nearLength = std::min<size_t>(found[j].NearLength, count - j);
    auto relax = [&](size_t to, int from, uint32_t c, int bits, uint32_t bytes, TokenKind kind) {
      const Step step = Advance(from, bits);
      const uint32_t total = c + bytes + step.WordBytes;
      uint32_t& target = ring[to % kPhases][static_cast<size_t>(step.Phase)];
      if (total < target) {
        target = total;
        back[to * kPhases + static_cast<size_t>(step.Phase)] = PackStep(kind, to - j, from);
      }
    };
    for (int p = 0; p < kPhases; ++p) {
      const uint32_t c = slot[static_cast<size_t>(p)];
      if (c >= kNoCost) continue;
      relax(j + 1, p, c, 1, 1, TokenKind::Literal);
      for (size_t length = 2; length <= nearLength; ++length)
        relax(j + length, p, c, 4, 1, TokenKind::Near);
      for (size_t length = 3; length <= std::min(farLength, kShortFarLongest); ++length)
        relax(j + length, p, c, 2, 2, TokenKind::Far);
      if (farLength >= kLongFarShortest) {
        // One origin reaches each phase q from one p only, so the slot is free.
        const Step step = Advance(p, 2);
        const auto at = (j + kLongFarShortest) % kPhases, qi = static_cast<size_t>(step.Phase);
        pending[at][qi] = {c + 3 + step.WordBytes, static_cast<uint32_t>(j + farLength),
                           static_cast<uint32_t>(j)};
        isPending[at][qi] = true;
      }
    }
    slot.fill(kNoCost);
  }

  const auto& final = ring[count % kPhases];
  int endPhase = 0;
  uint32_t best = kNoCost;
  for (int q = 0; q < kPhases; ++q) {
    uint32_t total = final[static_cast<size_t>(q)];
    if (total >= kNoCost) continue;
    if (last) total += kEndMarkerBytes + Advance(q, 2).WordBytes;
    if (total < best) {
      best = total;
      endPhase = q;
    }
  }
  const size_t first = tokens.size();
  int q = endPhase;
  for (size_t j = count; j > 0;) {
    const uint16_t step = back[j * kPhases + static_cast<size_t>(q)];
    const auto kind = static_cast<TokenKind>(step >> 12);
    const size_t length = ((step >> 4) & 0xFF) + 1;
    const size_t origin = j - length;
    const uint16_t distance = kind == TokenKind::Near  ? found[origin].NearDistance
                              : kind == TokenKind::Far ? found[origin].FarDistance
                                                       : 0;
    tokens.push_back({kind, static_cast<uint16_t>(length), distance});
    q = step & 0x0F;
    j = origin;
  }
  std::reverse(tokens.begin() + static_cast<std::ptrdiff_t>(first), tokens.end());
  return endPhase;
}

// Places each descriptor word where the game reads it: a new word's place is taken as soon as
// the current one's last bit is written, before that token's bytes.
class DescriptorWriter {
 public:
  explicit DescriptorWriter(std::vector<uint8_t>& out) : out_(out) { Open(); }
  void Bit(unsigned bit) {
    word_ |= (bit & 1) << used_;
    if (++used_ == kDescriptorBits) {
      Close();
      Open();
    }
  }
  void Close() {
    out_[place_] = static_cast<uint8_t>(word_);
    out_[place_ + 1] = static_cast<uint8_t>(word_ >> 8);
  }

 private:
  void Open() {
    place_ = out_.size();
    out_.push_back(0);
    out_.push_back(0);
    word_ = 0;
    used_ = 0;
  }

  std::vector<uint8_t>& out_;
  size_t place_ = 0;
  unsigned word_ = 0;
  int used_ = 0;
};

std::vector<uint8_t> WriteStream(std::span<const uint8_t> data, const std::vector<Token>& tokens) {
  std::vector<uint8_t> out;
  out.reserve(data.size() + data.size() / 8 + 8);
  DescriptorWriter descriptor(out);
  size_t at = 0;
  for (const Token& token : tokens) {
    switch (token.Kind) {
      case TokenKind::Literal:
        descriptor.Bit(1);
        out.push_back(data[at]);
        break;
      case TokenKind::Near:
        descriptor.Bit(0);
        descriptor.Bit(0);
        descriptor.Bit((token.Length - 2u) >> 1);
        descriptor.Bit(token.Length - 2u);
        out.push_back(static_cast<uint8_t>(kNearWindow - token.Distance));
        break;
      case TokenKind::Far: {
        const size_t field = kFarWindow - token.Distance;
        descriptor.Bit(0);
        descriptor.Bit(1);
        out.push_back(static_cast<uint8_t>(field));
        const auto high = static_cast<uint8_t>((field >> 5) & 0xF8);
        if (token.Length <= kShortFarLongest) {
          out.push_back(static_cast<uint8_t>(high | (token.Length - 2)));
        } else {
          out.push_back(high);
          out.push_back(static_cast<uint8_t>(token.Length - 1));
        }
        break;
      }
    }
    at += token.Length;
  }
  descriptor.Bit(0);
  descriptor.Bit(1);
  out.push_back(0x00);
  out.push_back(0xF0);
  out.push_back(0x00);
  descriptor.Close();
  return out;
}

}  // namespace

DecompressResult DecompressKosinski(std::span<const uint8_t> input, size_t maxOutput) {
  DecompressResult result;
  auto fail = [&result](DecompressError error) {
    result.Error = error;
    result.Bytes.clear();
    return result;
  };
  const size_t limit = std::min(maxOutput, kMaxDecompressedBytes);
  TokenReader reader(input);
  if (!reader.Start()) return fail(DecompressError::EndsEarly);
  OutputBuffer output;
  size_t length = 0;
  for (ReadToken token;;) {
    if (!reader.Next(token)) return fail(DecompressError::EndsEarly);
    if (token.Kind == ReadToken::Kind::Literal) {
      if (length >= limit) return fail(DecompressError::TooLarge);
      *output.Reserve(length, 1) = token.Byte;
      ++length;
      continue;
    }
    if (token.Kind == ReadToken::Kind::Continue) continue;
    if (token.Kind == ReadToken::Kind::End) break;
    const size_t distance = token.Distance;
    const size_t count = token.Count;
    if (distance > length) return fail(DecompressError::ReferenceBeforeStart);
    if (count > limit - length) return fail(DecompressError::TooLarge);
    uint8_t* to = output.Reserve(length, count);
    const uint8_t* from = to - distance;
    if (distance >= count)
      std::memcpy(to, from, count);
    else if (distance == 1)
      std::memset(to, *from, count);
    else
      for (size_t i = 0; i < count; ++i) to[i] = from[i];
    length += count;
  }
  result.Bytes = output.Take(length);
  result.Consumed = reader.Pos();
  return result;
}

std::vector<uint8_t> CompressKosinski(std::span<const uint8_t> data) {
  MatchFinder finder(data);
  std::vector<Token> tokens;
  int phase = 0;
  uint32_t cost = 2;  // the first descriptor word
  for (size_t begin = 0;;) {
    const size_t end = std::min(data.size(), begin + kPieceBytes);
    const bool last = end == data.size();
    phase = ParsePiece(begin, end, phase, cost, last, finder, tokens);
    cost = 0;
    if (last) break;
    begin = end;
  }
  return WriteStream(data, tokens);
}

// Rules for the scan, each a thing every encoder does (none is broken by the first tokens of
// the 138 streams of two games' disassemblies):
// - the first token is a literal: there is nothing to copy from yet;
// - among the first 16 tokens, copies stay inside the output, and no four literals in a row
//   repeat four bytes that lie at most 255 bytes before them: a near copy of those bytes takes
//   the same four descriptor bits and three bytes less, so every encoder, greedy or optimal,
//   writes it. Fill bytes (00, FF, a repeated pair) fail here at once, instead of decoding up
//   to the scan's output cap from every offset.
bool MayStartKosinskiStream(std::span<const uint8_t> input) {
  constexpr int kTokens = 16;
  constexpr size_t kRepeat = 4;
  constexpr size_t kReach = 255;
  if (input.empty() || (input[0] & 1) == 0) return false;
  TokenReader reader(input);
  if (!reader.Start()) return false;
  std::array<uint8_t, kTokens * kFarLongest> out;
  size_t length = 0;
  size_t literals = 0;  // literals in a row just written
  for (int i = 0; i < kTokens; ++i) {
    ReadToken token;
    if (!reader.Next(token)) return false;
    if (token.Kind == ReadToken::Kind::End) return true;
    if (token.Kind == ReadToken::Kind::Continue) {
      literals = 0;
      continue;
    }
    if (token.Kind == ReadToken::Kind::Copy) {
      if (token.Distance > length) return false;
      for (size_t k = 0; k < token.Count; ++k, ++length) out[length] = out[length - token.Distance];
      literals = 0;
      continue;
    }
    out[length++] = token.Byte;
    if (++literals < kRepeat) continue;
    const size_t run = length - kRepeat;
    for (size_t j = run > kReach ? run - kReach : 0; j < run; ++j)
      if (std::equal(out.begin() + static_cast<std::ptrdiff_t>(j),
                     out.begin() + static_cast<std::ptrdiff_t>(j + kRepeat),
                     out.begin() + static_cast<std::ptrdiff_t>(run)))
        return false;
  }
  return true;
}

}  // namespace varnock
