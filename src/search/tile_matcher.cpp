#include "search/tile_matcher.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <unordered_map>
#include <utility>

#include "codec/codec_registry.h"
#include "codec/tile_codec.h"
#include "search/tile_column.h"
#include "search/tile_hash.h"

namespace varnock {
namespace {

// Base of the rolling hash of a window of bytes; odd, so that no byte's weight becomes zero.
constexpr uint64_t kRollBase = 0x100000001B3u;
// Tiles decoded per column in the palette-free way: 64 KB of pixels, which stay in cache.
constexpr int32_t kColumnTiles = 1024;
// The ticker is told every this many offsets.
constexpr size_t kTickStep = size_t{1} << 20;

struct KeyEntry {
  uint32_t FormatIndex = 0;
  uint32_t Tile = 0;
  TileOrientation Orientation = TileOrientation::Straight;
};

// A set of 64-bit hashes as a bit array: a cheap "certainly not" before any table is touched.
class HashFilter {
 public:
  void Build(const std::vector<uint64_t>& hashes) {
    // About 32 bits per hash: few false hits, and small enough to stay in the cache.
    size_t bits = size_t{1} << 12;
    while (bits < hashes.size() * 32 && bits < (size_t{1} << 26)) bits <<= 1;
    shift_ = 64 - std::countr_zero(bits);
    words_.assign(bits / 64, 0);
    for (uint64_t h : hashes) {
      const uint64_t at = h >> shift_;
      words_[at >> 6] |= uint64_t{1} << (at & 63);
    }
  }
  bool MayHold(uint64_t h) const {
    const uint64_t at = h >> shift_;
    return (words_[at >> 6] >> (at & 63) & 1) != 0;
  }

 private:
  std::vector<uint64_t> words_{0};
  int shift_ = 63;
};

// Keys of one length (a tile's bytes, or its 64 pixel values), each with the searched tiles and
// orientations it stands for, found by a hash and then compared byte for byte.
class KeyTable {
 public:
  explicit KeyTable(size_t keyBytes = 0) : keyBytes_(keyBytes) {}

  void Add(uint64_t hash, const uint8_t* key, const KeyEntry& entry) {
    std::vector<uint32_t>& same = building_[hash];
    for (uint32_t k : same) {
      if (std::memcmp(&keys_[k * keyBytes_], key, keyBytes_) != 0) continue;
      // A symmetric tile gives the same key in two orientations: the first is kept.
      for (const KeyEntry& e : pending_[k])
        if (e.FormatIndex == entry.FormatIndex && e.Tile == entry.Tile) return;
      pending_[k].push_back(entry);
      return;
    }
    same.push_back(static_cast<uint32_t>(hashes_.size()));
    keys_.insert(keys_.end(), key, key + keyBytes_);
    hashes_.push_back(hash);
    pending_.push_back({entry});
  }

  void Freeze() {
    building_.clear();
    first_.assign(1, 0);
    for (std::vector<KeyEntry>& list : pending_) {
      entries_.insert(entries_.end(), list.begin(), list.end());
      first_.push_back(static_cast<uint32_t>(entries_.size()));
    }
    pending_.clear();
    filter_.Build(hashes_);
    size_t slots = 16;
    while (slots < 2 * hashes_.size()) slots <<= 1;
    mask_ = slots - 1;
    slots_.assign(slots, 0);
    for (size_t k = 0; k < hashes_.size(); ++k) {
      size_t at = hashes_[k] & mask_;
      while (slots_[at] != 0) at = (at + 1) & mask_;
      slots_[at] = static_cast<uint32_t>(k + 1);
    }
  }

  bool Empty() const { return hashes_.empty(); }
  bool MayHold(uint64_t hash) const { return filter_.MayHold(hash); }

  // The entries of the key equal to `bytes`, or none.
  std::span<const KeyEntry> Find(uint64_t hash, const uint8_t* bytes) const {
    for (size_t at = hash & mask_; slots_[at] != 0; at = (at + 1) & mask_) {
      const size_t k = slots_[at] - 1;
      if (hashes_[k] == hash && std::memcmp(&keys_[k * keyBytes_], bytes, keyBytes_) == 0)
        return std::span<const KeyEntry>(entries_).subspan(first_[k], first_[k + 1] - first_[k]);
    }
    return {};
  }

 private:
  size_t keyBytes_;
  std::vector<uint8_t> keys_;
  std::vector<uint64_t> hashes_;
  std::vector<uint32_t> first_;  // entries of key k: first_[k] .. first_[k + 1]
  std::vector<KeyEntry> entries_;
  HashFilter filter_;
  std::vector<uint32_t> slots_{0};  // key index + 1; 0 is empty
  size_t mask_ = 0;
  std::unordered_map<uint64_t, std::vector<uint32_t>> building_;
  std::vector<std::vector<KeyEntry>> pending_;
};

uint64_t RollingHash(const uint8_t* bytes, size_t count) {
  uint64_t h = 0;
  for (size_t i = 0; i < count; ++i) h = h * kRollBase + bytes[i];
  return h;
}

uint64_t Power(uint64_t base, size_t exponent) {
  uint64_t result = 1;
  while (exponent-- > 0) result *= base;
  return result;
}

int ValueCount(const TileValues& tile) {
  std::array<bool, 256> seen{};
  int count = 0;
  for (uint8_t v : tile) count += !std::exchange(seen[v], true);
  return count;
}

// The bytes of `tile` in a fixed format.
std::vector<uint8_t> EncodeTile(const TileValues& tile, TileFormat format, int32_t tileBytes) {
  TileSurface surface;
  SetUpTileSurface(surface, 1, 1);
  std::copy(tile.begin(), tile.end(), surface.Pixels.begin());
  surface.EncodeFormat = format;
  surface.EncodeTileBytes = tileBytes;
  std::vector<uint8_t> bytes(static_cast<size_t>(tileBytes), 0);
  EncodeTiles(surface, bytes);
  return bytes;
}

}  // namespace

// Formats of one tile size in the exact, fixed-format way: one rolling hash serves them all.
struct ByteSizeClass {
  int32_t TileBytes = 0;
  uint64_t TopPower = 0;  // kRollBase ^ TileBytes: the weight a byte has when it leaves
  size_t Formats = 0;
  KeyTable Keys;
};

// One format searched by decoding every tile position.
struct PixelFormat {
  size_t FormatIndex = 0;
  TileFormat Format = 0;
  int32_t TileBytes = 0;
  bool PaletteFree = false;
  HashFilter Shapes;
  KeyTable Keys{kSearchTileValues};
};

struct TileMatcher::Tables {
  std::vector<int32_t> TileBytes;  // per format index
  std::vector<ByteSizeClass> ByteClasses;
  std::vector<PixelFormat> PixelFormats;
};

TileMatcher::TileMatcher(const SearchedTiles& tiles, std::span<const TileFormat> formats,
                         bool flips)
    : tables_(std::make_unique<Tables>()) {
  const int orientations = flips ? kTileOrientationCount : 1;
  std::vector<TileValues> oriented;
  for (const TileValues& tile : tiles.Tiles)
    for (int o = 0; o < orientations; ++o)
      oriented.push_back(Oriented(tile, static_cast<TileOrientation>(o)));
  std::vector<int> valueCounts;
  for (const TileValues& tile : oriented) valueCounts.push_back(ValueCount(tile));

  for (size_t fi = 0; fi < formats.size(); ++fi) {
    const TileFormatRow* row = LookUpTileFormat(formats[fi]);
    tables_->TileBytes.push_back(row ? row->TileBytes : 0);
    if (!row) continue;
    const int colours = 1 << row->BitsPerPixel;
    auto entryOf = [&](size_t k) {
      return KeyEntry{static_cast<uint32_t>(fi), static_cast<uint32_t>(k / orientations),
                      static_cast<TileOrientation>(k % orientations)};
    };
    if (IsFixedTileFormat(formats[fi]) && !tiles.PaletteFree) {
      auto cls =
          std::find_if(tables_->ByteClasses.begin(), tables_->ByteClasses.end(),
                       [&](const ByteSizeClass& c) { return c.TileBytes == row->TileBytes; });
      if (cls == tables_->ByteClasses.end()) {
        ByteSizeClass& made = tables_->ByteClasses.emplace_back();
        made.TileBytes = row->TileBytes;
        made.TopPower = Power(kRollBase, static_cast<size_t>(row->TileBytes));
        made.Keys = KeyTable(static_cast<size_t>(row->TileBytes));
        cls = tables_->ByteClasses.end() - 1;
      }
      ++cls->Formats;
      for (size_t k = 0; k < oriented.size(); ++k) {
        const TileValues& tile = oriented[k];
        // Values the format has no bits for cannot be there.
        if (*std::max_element(tile.begin(), tile.end()) >= colours) continue;
        const std::vector<uint8_t> bytes = EncodeTile(tile, formats[fi], row->TileBytes);
        cls->Keys.Add(MixHash(RollingHash(bytes.data(), bytes.size())), bytes.data(), entryOf(k));
      }
      continue;
    }
    PixelFormat& pixel = tables_->PixelFormats.emplace_back();
    pixel.FormatIndex = fi;
    pixel.Format = formats[fi];
    pixel.TileBytes = row->TileBytes;
    pixel.PaletteFree = tiles.PaletteFree;
    std::vector<uint64_t> shapes;
    for (size_t k = 0; k < oriented.size(); ++k) {
      if (tiles.PaletteFree ? valueCounts[k] > colours
                            : *std::max_element(oriented[k].begin(), oriented[k].end()) >= colours)
        continue;
      const TileValues key = tiles.PaletteFree ? PaletteFree(oriented[k]) : oriented[k];
      shapes.push_back(TileShapeHash(key.data()));
      pixel.Keys.Add(TileContentHash(key.data()), key.data(), entryOf(k));
    }
    pixel.Shapes.Build(shapes);
  }
  for (ByteSizeClass& cls : tables_->ByteClasses) cls.Keys.Freeze();
  for (PixelFormat& pixel : tables_->PixelFormats) pixel.Keys.Freeze();
}

TileMatcher::~TileMatcher() = default;

int32_t TileMatcher::TileBytes(size_t formatIndex) const {
  return formatIndex < tables_->TileBytes.size() ? tables_->TileBytes[formatIndex] : 0;
}

size_t TileMatcher::FormatCount() const {
  return tables_->TileBytes.size();
}

namespace {

void Deliver(std::span<const KeyEntry> entries, size_t offset, const TileMatchSink& sink) {
  for (const KeyEntry& e : entries) sink(e.FormatIndex, {offset, e.Tile, e.Orientation});
}

bool MatchByteClass(const ByteSizeClass& cls, std::span<const uint8_t> bytes,
                    const TileMatchSink& sink, const TileMatchTicker& ticker, uint64_t& done) {
  const auto tileBytes = static_cast<size_t>(cls.TileBytes);
  const size_t n = bytes.size();
  if (cls.Keys.Empty() || n < tileBytes) {
    done += n * cls.Formats;
    return true;
  }
  const uint8_t* p = bytes.data();
  uint64_t h = RollingHash(p, tileBytes);
  for (size_t o = 0;; ++o) {
    const uint64_t key = MixHash(h);
    if (cls.Keys.MayHold(key)) Deliver(cls.Keys.Find(key, p + o), o, sink);
    if (o + tileBytes >= n) break;
    h = h * kRollBase - p[o] * cls.TopPower + p[o + tileBytes];
    if ((o & (kTickStep - 1)) == kTickStep - 1 && ticker && !ticker(done + o * cls.Formats))
      return false;
  }
  done += n * cls.Formats;
  return true;
}

bool MatchPixelFormat(const PixelFormat& format, std::span<const uint8_t> bytes,
                      const TileMatchSink& sink, const TileMatchTicker& ticker, uint64_t& done) {
  const auto tileBytes = static_cast<size_t>(format.TileBytes);
  const size_t n = bytes.size();
  if (format.Keys.Empty() || n < tileBytes) {
    done += n;
    return true;
  }
  const uint64_t start = done;
  uint64_t decoded = 0;
  TileSurface column;
  TileValues form;
  for (size_t residue = 0; residue < tileBytes && residue + tileBytes <= n; ++residue) {
    const size_t count = (n - residue) / tileBytes;
    for (size_t first = 0; first < count; first += kColumnTiles) {
      const auto tiles = static_cast<int32_t>(std::min<size_t>(kColumnTiles, count - first));
      DecodeTileColumn(bytes.subspan(residue + first * tileBytes), format.Format, format.TileBytes,
                       tiles, column);
      for (int32_t i = 0; i < tiles; ++i) {
        const uint8_t* pixels = column.Pixels.data() + kSearchTileValues * i;
        const size_t offset = residue + (first + static_cast<size_t>(i)) * tileBytes;
        if (format.PaletteFree) {
          if (!format.Shapes.MayHold(TileShapeHash(pixels))) continue;
          std::copy_n(pixels, form.size(), form.begin());
          form = PaletteFree(form);
          Deliver(format.Keys.Find(TileContentHash(form.data()), form.data()), offset, sink);
        } else {
          const uint64_t key = TileContentHash(pixels);
          if (format.Keys.MayHold(key)) Deliver(format.Keys.Find(key, pixels), offset, sink);
        }
      }
      decoded += static_cast<uint64_t>(tiles) * tileBytes;
      if (ticker && !ticker(start + std::min<uint64_t>(decoded, n))) return false;
    }
  }
  done = start + n;
  return true;
}

}  // namespace

bool TileMatcher::Match(std::span<const uint8_t> bytes, const TileMatchSink& sink,
                        const TileMatchTicker& ticker) const {
  uint64_t done = 0;
  for (const ByteSizeClass& cls : tables_->ByteClasses)
    if (!MatchByteClass(cls, bytes, sink, ticker, done)) return false;
  for (const PixelFormat& format : tables_->PixelFormats)
    if (!MatchPixelFormat(format, bytes, sink, ticker, done)) return false;
  return true;
}

}  // namespace varnock
