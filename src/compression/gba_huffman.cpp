// Layout from GBATEK "BIOS Decompression Functions" (HuffUnComp), Barubary/dsdecmp
// CSharp/DSDecmp/Formats/Nitro/Huffman.cs and the BIOS model of mgba-emu/mgba src/gba/bios.c
// (_unHuffman):
//
//   bytes 0-3   header: type 0x24 or 0x28 (the low nibble is the symbol size), length
//   byte 4      S: the code table takes (S + 1) * 2 bytes from here, this byte included
//   byte 5      the root node; then pairs of nodes, pair k at bytes 6 + 2k and 7 + 2k
//   a node      OO OOOO offset, bit 6: child 1 is a symbol, bit 7: child 0 is a symbol;
//               its children are the pair at (its address with bit 0 cleared) + 2 * O + 2
//   then        32-bit little-endian words, bit 31 first; 0 takes child 0
//
// Where the sources disagree, the BIOS model is followed: a 4-bit stream's first symbol is the
// low nibble of its first byte (dsdecmp puts it in the high one), as Nintendo_DS_Compressors'
// huffman.c decodes it too. The BIOS writes whole 32-bit words, so it decodes the declared
// length rounded up to four bytes and reads only whole words of the bit stream; Consumed counts
// those words. The bit stream starts on a word, so S is odd; a table whose children lie
// outside it is refused, though the BIOS would read on into the bit stream.
#include "compression/gba_huffman.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "compression/gba_huffman_tree.h"
#include "compression/gba_stream_header.h"

namespace varnock::gba {
namespace {

constexpr size_t kTableStart = 4;
constexpr size_t kRootNode = 5;
constexpr size_t kFirstPair = 6;

uint8_t TypeFor(int symbolBits) {
  return static_cast<uint8_t>(0x20 | symbolBits);
}

// The pair a node's children are in, as a stream offset.
size_t ChildPair(std::span<const uint8_t> stream, size_t node) {
  return (node & ~size_t{1}) + 2 * (stream[node] & 0x3Fu) + 2;
}

bool ChildIsSymbol(std::span<const uint8_t> stream, size_t node, int bit) {
  return (stream[node] & (bit == 0 ? 0x80u : 0x40u)) != 0;
}

// ---- Decoding ----

// Codes of up to this many bits are looked up at once; longer ones walk on from the node the
// lookup ends at.
constexpr int kLookupBits = 11;

enum class EntryKind : uint8_t { Outside, Symbol, Deeper };

struct LookupEntry {
  uint16_t Value = 0;  // the symbol, or the node the walk goes on from
  uint8_t Length = 0;  // bits the entry stands for
  EntryKind Kind = EntryKind::Outside;
};

class CodeLookup {
 public:
  CodeLookup(std::span<const uint8_t> stream, size_t tableEnd, unsigned symbolMask)
      : stream_(stream), tableEnd_(tableEnd), symbolMask_(symbolMask) {
    Fill(kRootNode, 0, 0);
  }
  const LookupEntry& operator[](uint32_t bits) const { return entries_[bits]; }

 private:
  // Every path is followed to kLookupBits at most, so even a table whose nodes share children
  // costs no more than the lookup's size.
  void Fill(size_t node, int depth, uint32_t prefix) {
    const size_t pair = ChildPair(stream_, node);
    for (int bit = 0; bit < 2; ++bit) {
      const uint32_t code = prefix << 1 | static_cast<uint32_t>(bit);
      const int length = depth + 1;
      const size_t child = pair + static_cast<size_t>(bit);
      LookupEntry entry;
      entry.Length = static_cast<uint8_t>(length);
      if (child >= tableEnd_) {
        entry.Kind = EntryKind::Outside;
      } else if (ChildIsSymbol(stream_, node, bit)) {
        entry.Kind = EntryKind::Symbol;
        entry.Value = static_cast<uint16_t>(stream_[child] & symbolMask_);
      } else if (length < kLookupBits) {
        Fill(child, length, code);
        continue;
      } else {
        entry.Kind = EntryKind::Deeper;
        entry.Value = static_cast<uint16_t>(child);
      }
      const int spare = kLookupBits - length;
      std::fill_n(entries_.begin() + (code << spare), size_t{1} << spare, entry);
    }
  }

  std::span<const uint8_t> stream_;
  size_t tableEnd_;
  unsigned symbolMask_;
  std::array<LookupEntry, size_t{1} << kLookupBits> entries_{};
};

// The bit stream, bit 31 of each little-endian word first, read ahead into 64 bits.
class WordBits {
 public:
  WordBits(const uint8_t* words, size_t wordCount) : next_(words), end_(words + 4 * wordCount) {}

  void Refill() {
    while (held_ <= 32 && next_ != end_) {
      const uint32_t word = uint32_t{next_[0]} | uint32_t{next_[1]} << 8 |
                            uint32_t{next_[2]} << 16 | uint32_t{next_[3]} << 24;
      bits_ |= uint64_t{word} << (32 - held_);
      held_ += 32;
      next_ += 4;
    }
  }
  int held() const { return held_; }
  uint32_t Peek(int count) const { return static_cast<uint32_t>(bits_ >> (64 - count)); }
  void Skip(int count) {
    bits_ <<= count;
    held_ -= count;
    used_ += static_cast<size_t>(count);
  }
  size_t used() const { return used_; }

 private:
  const uint8_t* next_;
  const uint8_t* end_;
  uint64_t bits_ = 0;
  int held_ = 0;
  size_t used_ = 0;
};

}  // namespace

DecompressResult DecompressHuffman(std::span<const uint8_t> input, size_t maxOutput) {
  size_t length = 0;
  const bool typeMatches = !input.empty() && (input[0] == 0x24 || input[0] == 0x28);
  const DecompressError headerError = ReadStreamHeader(input, typeMatches, maxOutput, length);
  if (headerError != DecompressError::None) return Refused(headerError);
  const int symbolBits = input[0] & 0xF;
  if (input.size() <= kTableStart) return Refused(DecompressError::EndsEarly);
  const size_t tableEnd = kTableStart + 2 * (size_t{input[kTableStart]} + 1);
  if (input[kTableStart] % 2 == 0) return Refused(DecompressError::BadTree);
  if (tableEnd > input.size()) return Refused(DecompressError::EndsEarly);

  const CodeLookup lookup(input, tableEnd, (1u << symbolBits) - 1);
  WordBits bits(input.data() + tableEnd, (input.size() - tableEnd) / 4);
  DecompressError error = DecompressError::None;
  // The next symbol, or -1 with `error` set.
  const auto next = [&]() -> int {
    if (bits.held() < kLookupBits) bits.Refill();
    const LookupEntry& entry = lookup[bits.Peek(kLookupBits)];
    if (entry.Length > bits.held()) {
      error = DecompressError::EndsEarly;
      return -1;
    }
    if (entry.Kind == EntryKind::Symbol) {
      bits.Skip(entry.Length);
      return entry.Value;
    }
    if (entry.Kind == EntryKind::Outside) {
      error = DecompressError::BadTree;
      return -1;
    }
    bits.Skip(kLookupBits);
    // A code longer than the lookup: one bit at a time from where it ended. Children always
    // lie after their parent, so the walk ends within the table.
    size_t node = entry.Value;
    for (;;) {
      if (bits.held() == 0) bits.Refill();
      if (bits.held() == 0) {
        error = DecompressError::EndsEarly;
        return -1;
      }
      const int bit = static_cast<int>(bits.Peek(1));
      bits.Skip(1);
      const size_t child = ChildPair(input, node) + static_cast<size_t>(bit);
      if (child >= tableEnd) {
        error = DecompressError::BadTree;
        return -1;
      }
      if (ChildIsSymbol(input, node, bit)) return input[child] & ((1 << symbolBits) - 1);
      node = child;
    }
  };

  // Every symbol takes a bit at least: a claim beyond one symbol per bit cannot be met.
  const size_t whole = (length + 3) & ~size_t{3};
  if (whole / 4 > (input.size() - tableEnd) / 4 * static_cast<size_t>(symbolBits))
    return Refused(DecompressError::EndsEarly);
  std::vector<uint8_t> bytes(whole);
  if (symbolBits == 8) {
    for (size_t i = 0; i < whole; ++i) {
      const int symbol = next();
      if (symbol < 0) return Refused(error);
      bytes[i] = static_cast<uint8_t>(symbol);
    }
  } else {
    for (size_t i = 0; i < whole; ++i) {
      const int low = next();
      if (low < 0) return Refused(error);
      const int high = next();
      if (high < 0) return Refused(error);
      bytes[i] = static_cast<uint8_t>(low | high << 4);
    }
  }
  bytes.resize(length);
  DecompressResult result;
  result.Bytes = std::move(bytes);
  result.Consumed = tableEnd + 4 * ((bits.used() + 31) / 32);
  result.Variant = symbolBits;
  return result;
}

bool HuffmanTableLooksWritten(std::span<const uint8_t> input) {
  if (input.size() <= kTableStart) return false;
  const unsigned pairsInTable = input[kTableStart];
  const size_t tableEnd = kTableStart + 2 * (size_t{pairsInTable} + 1);
  if (pairsInTable % 2 == 0 || tableEnd > input.size()) return false;
  const unsigned symbolLimit = 1u << (input[0] & 0xF);
  std::array<bool, 256> pairSeen{};
  std::array<bool, 256> symbolSeen{};
  std::array<size_t, 512> pending{};
  size_t pendingCount = 0;
  pending[pendingCount++] = kRootNode;
  unsigned nodes = 0;
  bool repeatedSymbol = false;
  while (pendingCount > 0) {
    const size_t node = pending[--pendingCount];
    const size_t pair = ChildPair(input, node);
    if (pair + 1 >= tableEnd) return false;
    const size_t pairIndex = (pair - kFirstPair) / 2;
    if (pairSeen[pairIndex]) return false;
    pairSeen[pairIndex] = true;
    ++nodes;
    for (int bit = 0; bit < 2; ++bit) {
      const size_t child = pair + static_cast<size_t>(bit);
      if (!ChildIsSymbol(input, node, bit)) {
        pending[pendingCount++] = child;
        continue;
      }
      const uint8_t symbol = input[child];
      if (symbol >= symbolLimit) return false;
      repeatedSymbol = repeatedSymbol || symbolSeen[symbol];
      symbolSeen[symbol] = true;
    }
  }
  // One pair of padding at most ends the table on a word. A table of one symbol may name it
  // on both sides of its only pair.
  return (pairsInTable == nodes || pairsInTable == nodes + 1) && (!repeatedSymbol || nodes == 1);
}

// ---- Encoding ----

namespace {

struct Code {
  uint64_t Bits = 0;
  int Length = 0;
};

class WordWriter {
 public:
  explicit WordWriter(std::vector<uint8_t>& out) : out_(out) {}
  void Put(uint64_t bits, int length) {
    while (length > 0) {
      const int take = std::min(length, 32);
      length -= take;
      PutShort((bits >> length) & ((uint64_t{1} << take) - 1), take);
    }
  }
  void Finish() {
    if (held_ > 0) Emit(static_cast<uint32_t>(bits_ << (32 - held_)));
  }

 private:
  void PutShort(uint64_t bits, int length) {
    bits_ = bits_ << length | bits;
    held_ += length;
    if (held_ >= 32) {
      held_ -= 32;
      Emit(static_cast<uint32_t>(bits_ >> held_));
      bits_ &= (uint64_t{1} << held_) - 1;
    }
  }
  void Emit(uint32_t word) {
    for (int k = 0; k < 4; ++k) out_.push_back(static_cast<uint8_t>(word >> (8 * k)));
  }
  std::vector<uint8_t>& out_;
  uint64_t bits_ = 0;
  int held_ = 0;
};

template <typename Visit>
void ForEachSymbol(std::span<const uint8_t> data, int symbolBits, Visit&& visit) {
  for (uint8_t byte : data) {
    if (symbolBits == 8) {
      visit(byte);
    } else {
      visit(byte & 0xF);
      visit(byte >> 4);
    }
  }
}

}  // namespace

std::vector<uint8_t> CompressHuffman(std::span<const uint8_t> data, int symbolBits) {
  std::array<uint64_t, kHuffmanSymbols> counts{};
  ForEachSymbol(data, symbolBits, [&](int symbol) { ++counts[symbol]; });
  const HuffmanCodeTree tree = BuildHuffmanTree(counts);
  const std::vector<int>& position = tree.PairOf;

  const size_t nodeCount = tree.Nodes.size();
  // Node i's children fill pair position[i]; one pair of padding keeps the count odd, so the
  // bit stream starts on a word.
  const size_t pairs = nodeCount | 1;
  std::vector<uint8_t> out;
  out.reserve(kFirstPair + 2 * pairs + data.size() + 8);
  WriteStreamHeader(out, TypeFor(symbolBits), data.size());
  out.resize(kFirstPair + 2 * pairs, 0);
  out[kTableStart] = static_cast<uint8_t>(pairs);
  const auto nodeByte = [&](int node, int pairOfParent) {
    const HuffmanCodeTree::Node& n = tree.Nodes[node];
    return static_cast<uint8_t>((position[node] - pairOfParent - 1) | (n.Child[0] < 0 ? 0x80 : 0) |
                                (n.Child[1] < 0 ? 0x40 : 0));
  };
  out[kRootNode] = nodeByte(0, -1);
  std::array<Code, kHuffmanSymbols> codes{};
  std::vector<Code> nodeCodes(nodeCount);
  for (size_t i = 0; i < nodeCount; ++i) {
    const HuffmanCodeTree::Node& n = tree.Nodes[i];
    for (int bit = 0; bit < 2; ++bit) {
      const size_t at = kFirstPair + 2 * static_cast<size_t>(position[i]) + bit;
      const Code code{nodeCodes[i].Bits << 1 | static_cast<uint64_t>(bit), nodeCodes[i].Length + 1};
      if (n.Child[bit] >= 0) {
        out[at] = nodeByte(n.Child[bit], position[i]);
        nodeCodes[n.Child[bit]] = code;
      } else {
        out[at] = n.Symbol[bit];
        // The first of two sides naming the same symbol keeps it.
        if (codes[n.Symbol[bit]].Length == 0) codes[n.Symbol[bit]] = code;
      }
    }
  }

  WordWriter writer(out);
  ForEachSymbol(data, symbolBits,
                [&](int symbol) { writer.Put(codes[symbol].Bits, codes[symbol].Length); });
  // The BIOS decodes whole words of output: the missing bytes take the shortest code.
  const Code* shortest = nullptr;
  for (const Code& code : codes)
    if (code.Length > 0 && (shortest == nullptr || code.Length < shortest->Length))
      shortest = &code;
  const size_t padding = (4 - data.size() % 4) % 4 * static_cast<size_t>(8 / symbolBits);
  for (size_t i = 0; i < padding && shortest != nullptr; ++i)
    writer.Put(shortest->Bits, shortest->Length);
  writer.Finish();
  return out;
}

}  // namespace varnock::gba
