#include "compression/gba_huffman_tree.h"

#include <algorithm>
#include <functional>
#include <queue>

namespace varnock::gba {

std::array<int, kHuffmanSymbols> HuffmanCodeLengths(
    const std::array<uint64_t, kHuffmanSymbols>& counts) {
  struct Item {
    uint64_t Count;
    int Id;
    bool operator>(const Item& other) const {
      return Count != other.Count ? Count > other.Count : Id > other.Id;
    }
  };
  std::priority_queue<Item, std::vector<Item>, std::greater<Item>> queue;
  std::vector<int> parent;  // the symbols first, then the merged nodes
  for (int s = 0; s < kHuffmanSymbols; ++s) {
    if (counts[s] == 0) continue;
    queue.push({counts[s], static_cast<int>(parent.size())});
    parent.push_back(-1);
  }
  if (parent.size() == 1) parent = {1, -1};  // a root above the only symbol
  while (queue.size() > 1) {
    const Item a = queue.top();
    queue.pop();
    const Item b = queue.top();
    queue.pop();
    const int merged = static_cast<int>(parent.size());
    parent.push_back(-1);
    parent[a.Id] = merged;
    parent[b.Id] = merged;
    queue.push({a.Count + b.Count, merged});
  }
  std::array<int, kHuffmanSymbols> lengths{};
  int leaf = 0;
  for (int s = 0; s < kHuffmanSymbols; ++s) {
    if (counts[s] == 0) continue;
    for (int n = leaf++; parent[n] >= 0; n = parent[n]) ++lengths[s];
  }
  return lengths;
}

// Level by level: at every depth the nodes with children come first and the symbols after
// them, in increasing order. Every tree with these lengths codes the data in as many bits;
// this one keeps the nodes with children together, which the layout needs.
HuffmanCodeTree TreeFromCodeLengths(const std::array<int, kHuffmanSymbols>& lengths) {
  HuffmanCodeTree tree;
  std::vector<std::vector<uint8_t>> symbolsAt(1);
  int present = 0;
  for (int s = 0; s < kHuffmanSymbols; ++s) {
    if (lengths[s] == 0) continue;
    ++present;
    if (symbolsAt.size() <= static_cast<size_t>(lengths[s])) symbolsAt.resize(lengths[s] + 1);
    symbolsAt[lengths[s]].push_back(static_cast<uint8_t>(s));
  }
  tree.Nodes.resize(1);
  if (present <= 1) {
    // None or one symbol: a root whose two children both name it (or symbol 0).
    const uint8_t only = present == 1 ? symbolsAt.back()[0] : 0;
    tree.Nodes[0].Child = {-1, -1};
    tree.Nodes[0].Symbol = {only, only};
    return tree;
  }
  size_t levelStart = 0;  // the first node of the level above
  size_t levelCount = 1;
  for (size_t depth = 1; depth < symbolsAt.size() && levelCount > 0; ++depth) {
    const std::vector<uint8_t>& symbols = symbolsAt[depth];
    const size_t slots = 2 * levelCount;
    const size_t inner = slots - std::min(slots, symbols.size());
    const size_t nextStart = tree.Nodes.size();
    for (size_t slot = 0; slot < slots; ++slot) {
      HuffmanCodeTree::Node& parent = tree.Nodes[levelStart + slot / 2];
      const size_t bit = slot % 2;
      if (slot < inner) {
        parent.Child[bit] = static_cast<int>(nextStart + slot);
      } else {
        parent.Child[bit] = -1;
        parent.Symbol[bit] = symbols[slot - inner];
      }
    }
    tree.Nodes.resize(nextStart + inner);
    levelStart = nextStart;
    levelCount = inner;
  }
  return tree;
}

// Pairs are placed one at a time. A placed node's children must follow within kMaxPairStep
// pairs, a deadline; among the nodes whose parent is placed, the next pair goes to the one with
// the smallest deadline + weight * (height of its subtree) / 4. With weight 0 this is the
// breadth-first order, which fails on wide trees: in a full tree of 256 symbols the first node
// of the second-last level is 64 pairs before its second child. Weighing heights lets shallow
// subtrees finish early instead of crowding the deadlines of the deepest level together.
bool LayOutPairs(HuffmanCodeTree& tree, int heightWeight) {
  const size_t count = tree.Nodes.size();
  std::vector<int> height(count, 0);
  for (size_t i = count; i-- > 0;)
    for (int child : tree.Nodes[i].Child)
      if (child >= 0) height[i] = std::max(height[i], height[child] + 1);
  struct Ready {
    int Key;
    int Node;
    int Deadline;
    bool operator>(const Ready& other) const {
      return Key != other.Key ? Key > other.Key : Node > other.Node;
    }
  };
  std::priority_queue<Ready, std::vector<Ready>, std::greater<Ready>> ready;
  const auto push = [&](int node, int deadline) {
    ready.push({deadline * 4 + heightWeight * height[node], node, deadline});
  };
  tree.PairOf.assign(count, -1);
  push(0, kMaxPairStep - 1);  // the root's offset counts from pair 0
  for (int next = 0; !ready.empty(); ++next) {
    const Ready r = ready.top();
    ready.pop();
    if (next > r.Deadline) return false;
    tree.PairOf[r.Node] = next;
    for (int child : tree.Nodes[r.Node].Child)
      if (child >= 0) push(child, next + kMaxPairStep);
  }
  return true;
}

namespace {

// Codes longer than this do not fit the writer's 64 bits. Data of 16 MiB cannot make one (a
// code of n bits needs counts that grow like the Fibonacci numbers); this guards the arithmetic.
constexpr int kLongestCode = 56;

}  // namespace

HuffmanCodeTree BuildHuffmanTree(const std::array<uint64_t, kHuffmanSymbols>& counts) {
  std::array<int, kHuffmanSymbols> lengths = HuffmanCodeLengths(counts);
  if (*std::max_element(lengths.begin(), lengths.end()) <= kLongestCode) {
    HuffmanCodeTree tree = TreeFromCodeLengths(lengths);
    // The first weight laid out each of 200 000 random optimal trees of up to 256 symbols it
    // was tried on (breadth-first order, weight 0, failed on one in eighty); the others are
    // there in case it ever does not.
    for (int weight : {8, 4, 12, 10, 6, 0})
      if (LayOutPairs(tree, weight)) return tree;
  }
  // The balanced tree costs at most a bit per symbol more; the first weight lays it out for
  // every symbol count.
  int present = 0;
  for (uint64_t count : counts) present += count > 0;
  int bits = 1;
  while ((1 << bits) < present) ++bits;
  int shorter = (1 << bits) - present;
  for (int s = 0; s < kHuffmanSymbols; ++s)
    lengths[s] = counts[s] == 0 ? 0 : shorter-- > 0 && bits > 1 ? bits - 1 : bits;
  HuffmanCodeTree tree = TreeFromCodeLengths(lengths);
  LayOutPairs(tree, 8);
  return tree;
}

}  // namespace varnock::gba
