// What the Sega format tests, the benchmark and the fuzz target share: data that looks like
// tile graphics, and straightforward encoders the real ones must never lose to (a greedy
// Kosinski parse taking the longest match at each position, and a Nemesis stream that cuts runs
// into 8-pixel pieces and gives every piece an 8-bit code).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <random>
#include <span>
#include <vector>

namespace varnock::test {

// 4-bit tiles (8 rows of 4 bytes, the left pixel in the high nibble) cut from a picture of
// filled boxes, discs and stripes in a few colours over a blank background, cut to `count`.
inline std::vector<uint8_t> TileLikeBytes(size_t count, uint32_t seed) {
  constexpr int kWidth = 128;
  const size_t tiles = (count + 31) / 32;
  const int height = static_cast<int>((tiles + 15) / 16) * 8;
  std::vector<uint8_t> pixels(static_cast<size_t>(kWidth * height), 0);
  std::mt19937 random(seed);
  auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const int colours[] = {1 + pick(15), 1 + pick(15), 1 + pick(15), 1 + pick(15), 1 + pick(15)};
  for (size_t shape = 0; shape < tiles / 2 + 1; ++shape) {
    const int x0 = pick(kWidth), y0 = pick(height), w = 2 + pick(24), h = 2 + pick(24);
    const int kind = pick(3), colour = colours[pick(5)], edge = colours[pick(5)];
    for (int y = y0; y < std::min(height, y0 + h); ++y) {
      for (int x = x0; x < std::min(kWidth, x0 + w); ++x) {
        const int dx = 2 * (x - x0) - w, dy = 2 * (y - y0) - h;
        if (kind == 1 && dx * dx * h * h + dy * dy * w * w > w * w * h * h) continue;
        const bool border = x == x0 || y == y0 || x == x0 + w - 1 || y == y0 + h - 1;
        int c = border ? edge : colour;
        if (kind == 2) c = colours[((y - y0) / 2) % 5];
        pixels[static_cast<size_t>(y * kWidth + x)] = static_cast<uint8_t>(c);
      }
    }
  }
  std::vector<uint8_t> bytes;
  for (size_t t = 0; t < tiles; ++t) {
    const int tx = static_cast<int>(t % 16) * 8, ty = static_cast<int>(t / 16) * 8;
    for (int r = 0; r < 8; ++r)
      for (int x = 0; x < 8; x += 2) {
        const size_t at = static_cast<size_t>((ty + r) * kWidth + tx + x);
        bytes.push_back(static_cast<uint8_t>(pixels[at] << 4 | pixels[at + 1]));
      }
  }
  bytes.resize(count);
  return bytes;
}

inline constexpr size_t kNoByte = ~size_t{0};

// For each position, the nearest earlier one that holds the same byte (kNoByte if none): every
// match starts at one, so walking these visits every distance that can match, nearest first.
inline std::vector<size_t> EarlierSameByte(std::span<const uint8_t> data) {
  std::vector<size_t> earlier(data.size());
  size_t last[256];
  std::fill(std::begin(last), std::end(last), kNoByte);
  for (size_t i = 0; i < data.size(); ++i) {
    earlier[i] = last[data[i]];
    last[data[i]] = i;
  }
  return earlier;
}

inline std::vector<uint8_t> GreedyKosinski(std::span<const uint8_t> data) {
  const std::vector<size_t> earlier = EarlierSameByte(data);
  std::vector<uint8_t> out{0, 0};
  size_t place = 0;
  unsigned word = 0;
  int used = 0;
  auto bit = [&](unsigned b) {
    word |= (b & 1) << used;
    if (++used < 16) return;
    out[place] = static_cast<uint8_t>(word);
    out[place + 1] = static_cast<uint8_t>(word >> 8);
    place = out.size();
    out.insert(out.end(), {0, 0});
    word = 0;
    used = 0;
  };
  for (size_t i = 0; i < data.size();) {
    size_t best = 0, bestDistance = 0, near = 0, nearDistance = 0;
    const size_t longest = std::min<size_t>(256, data.size() - i);
    for (size_t j = earlier[i]; j != kNoByte && i - j <= 8192; j = earlier[j]) {
      const size_t distance = i - j;
      size_t length = 0;
      while (length < longest && data[i + length] == data[i + length - distance]) ++length;
      if (length > best) {
        best = length;
        bestDistance = distance;
      }
      if (distance <= 256 && std::min<size_t>(length, 5) > near) {
        near = std::min<size_t>(length, 5);
        nearDistance = distance;
      }
      if (best == longest && (distance >= 256 || near == std::min<size_t>(longest, 5))) break;
    }
    if (near >= 2 && near >= best) {
      for (unsigned b : {0u, 0u, unsigned(near - 2) >> 1, unsigned(near - 2)}) bit(b);
      out.push_back(static_cast<uint8_t>(256 - nearDistance));
      i += near;
    } else if (best >= 3) {
      const size_t field = 8192 - bestDistance;
      bit(0);
      bit(1);
      out.push_back(static_cast<uint8_t>(field));
      const auto high = static_cast<uint8_t>((field >> 5) & 0xF8);
      if (best <= 9) {
        out.push_back(static_cast<uint8_t>(high | (best - 2)));
      } else {
        out.push_back(high);
        out.push_back(static_cast<uint8_t>(best - 1));
      }
      i += best;
    } else {
      bit(1);
      out.push_back(data[i++]);
    }
  }
  bit(0);
  bit(1);
  out.insert(out.end(), {0x00, 0xF0, 0x00});
  out[place] = static_cast<uint8_t>(word);
  out[place + 1] = static_cast<uint8_t>(word >> 8);
  return out;
}

// Size of the shortest Kosinski stream for `data`, by brute force over every matching distance and
// every (position, bits used in the descriptor word) state: slow, for small inputs only.
inline size_t ShortestKosinskiSize(std::span<const uint8_t> data) {
  const size_t n = data.size();
  const std::vector<size_t> earlier = EarlierSameByte(data);
  constexpr size_t kNone = size_t{1} << 40;
  std::vector<size_t> cost((n + 1) * 16, kNone);
  cost[0] = 2;
  auto relax = [&](size_t to, size_t phase, size_t c, size_t bits, size_t bytes) {
    const size_t next = phase + bits;
    const size_t total = c + bytes + (next >= 16 ? 2 : 0);
    size_t& target = cost[to * 16 + next % 16];
    target = std::min(target, total);
  };
  for (size_t i = 0; i < n; ++i) {
    size_t near = 0, far = 0;
    for (size_t j = earlier[i]; j != kNoByte && i - j <= 8192; j = earlier[j]) {
      const size_t distance = i - j;
      size_t length = 0;
      while (i + length < n && length < 256 && data[i + length] == data[i + length - distance])
        ++length;
      far = std::max(far, length);
      if (distance <= 256) near = std::max(near, std::min<size_t>(length, 5));
      const size_t longest = std::min<size_t>(n - i, 256);
      if (far == longest && (distance >= 256 || near == std::min<size_t>(longest, 5))) break;
    }
    for (size_t phase = 0; phase < 16; ++phase) {
      const size_t c = cost[i * 16 + phase];
      if (c == kNone) continue;
      relax(i + 1, phase, c, 1, 1);
      for (size_t length = 2; length <= near; ++length) relax(i + length, phase, c, 4, 1);
      for (size_t length = 3; length <= far; ++length)
        relax(i + length, phase, c, 2, length <= 9 ? 2 : 3);
    }
  }
  size_t best = kNone;
  for (size_t phase = 0; phase < 16; ++phase)
    if (cost[n * 16 + phase] != kNone)
      best = std::min(best, cost[n * 16 + phase] + 3 + (phase + 2 >= 16 ? 2 : 0));
  return best;
}

// `data` must be whole tiles.
inline std::vector<uint8_t> StraightforwardNemesis(std::span<const uint8_t> data) {
  std::vector<unsigned> symbols;  // value * 8 + run - 1
  unsigned value = 16, run = 0;
  auto flush = [&] {
    if (run != 0) symbols.push_back(value * 8 + run - 1);
  };
  for (size_t i = 0; i < 2 * data.size(); ++i) {
    const unsigned pixel = i % 2 == 0 ? data[i / 2] >> 4 : data[i / 2] & 15;
    if (pixel == value && run < 8) {
      ++run;
      continue;
    }
    flush();
    value = pixel;
    run = 1;
  }
  flush();
  std::vector<int> code(128, -1);
  for (unsigned s : symbols) code[s] = 0;
  std::vector<uint8_t> out;
  const size_t tiles = data.size() / 32;
  out.push_back(static_cast<uint8_t>(tiles >> 8));
  out.push_back(static_cast<uint8_t>(tiles));
  int next = 0;
  for (unsigned v = 0; v < 16; ++v) {
    bool opened = false;
    for (unsigned r = 0; r < 8; ++r) {
      if (code[v * 8 + r] < 0) continue;
      if (!opened) out.push_back(static_cast<uint8_t>(0x80 | v));
      opened = true;
      code[v * 8 + r] = next;
      out.push_back(static_cast<uint8_t>(r << 4 | 8));
      out.push_back(static_cast<uint8_t>(next++));
    }
  }
  out.push_back(0xFF);
  for (unsigned s : symbols) out.push_back(static_cast<uint8_t>(code[s]));
  return out;
}

}  // namespace varnock::test
