// The code tree a Huffman stream carries: optimal code lengths, a tree with those lengths, and
// an order of its node pairs in which every child is within reach of its parent's six-bit
// offset field.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace varnock::gba {

inline constexpr int kHuffmanSymbols = 256;
// A node's children lie at most this many pairs after the node's own pair.
inline constexpr int kMaxPairStep = 64;

struct HuffmanCodeTree {
  struct Node {
    std::array<int, 2> Child{};       // a node's index, or -1 for a symbol
    std::array<uint8_t, 2> Symbol{};  // the symbol where Child is -1
  };
  std::vector<Node> Nodes;  // Nodes[0] is the root, parents before their children
  // Node i's children go in pair PairOf[i] of the table; the root's count from pair 0, every
  // other node's from its parent's pair.
  std::vector<int> PairOf;
};

// Code lengths of an optimal prefix code for the counts (0 for an absent symbol; one present
// symbol gets a 1-bit code).
std::array<int, kHuffmanSymbols> HuffmanCodeLengths(
    const std::array<uint64_t, kHuffmanSymbols>& counts);

// A tree with the given lengths, which must fill the code completely (or name one symbol, or
// none), not yet laid out.
HuffmanCodeTree TreeFromCodeLengths(const std::array<int, kHuffmanSymbols>& lengths);

// Fills PairOf by one ordering rule (heightWeight picks it, see the source); false when that
// rule leaves some child out of reach.
bool LayOutPairs(HuffmanCodeTree& tree, int heightWeight);

// The optimal tree for the counts, laid out; when no ordering reaches every child, the
// balanced tree over the same symbols (whose layout never fails).
HuffmanCodeTree BuildHuffmanTree(const std::array<uint64_t, kHuffmanSymbols>& counts);

}  // namespace varnock::gba
