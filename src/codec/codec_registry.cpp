#include "codec/codec_registry.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>

#include "codec/format_names.h"

namespace varnock {
namespace {

constexpr int kSlots = kLastDescribedFormat - kFirstDescribedFormat + 1;

// Readers (any thread) only load slots; registration, rare and on one thread, takes the lock.
// Replaced entries are parked, not freed: a decode that already holds one finishes with it.
struct Registry {
  std::mutex Lock;
  std::array<std::atomic<const DescribedFormat*>, kSlots> Slots{};
  std::vector<std::unique_ptr<const DescribedFormat>> Owned;
  int Used = 0;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

DescribedFormat::DescribedFormat(std::string shortName, std::string displayName,
                                 const CodecDescription& description)
    : ShortName(std::move(shortName)),
      DisplayName(std::move(displayName)),
      Row{DisplayName.c_str(),
          ShortName.c_str(),
          DisplayName.c_str(),
          description.BitsPerPixel,
          description.TileBytes,
          0,
          false},
      Codec(description) {}

RegisterResult RegisterDescribedFormat(const std::string& shortName, const std::string& displayName,
                                       const CodecDescription& description) {
  if (shortName.empty()) return {std::nullopt, false, "the encoding has no name"};
  if (ParseFixedFormatName(shortName))
    return {std::nullopt, false, "\"" + shortName + "\" is the name of a built-in format"};
  if (const DescriptionProblem problem = CheckDescription(description); !problem.Sound())
    return {std::nullopt, false, problem.Reason};
  Registry& registry = TheRegistry();
  const std::lock_guard<std::mutex> hold(registry.Lock);
  int slot = 0;
  while (slot < registry.Used &&
         !SameShortName(registry.Slots[static_cast<size_t>(slot)].load()->ShortName, shortName))
    ++slot;
  const bool replaced = slot < registry.Used;
  if (!replaced && registry.Used == kSlots)
    return {std::nullopt, false, "no more encodings can be loaded"};
  auto entry = std::make_unique<const DescribedFormat>(shortName, displayName, description);
  registry.Slots[static_cast<size_t>(slot)].store(entry.get(), std::memory_order_release);
  registry.Owned.push_back(std::move(entry));
  if (!replaced) ++registry.Used;
  return {static_cast<TileFormat>(kFirstDescribedFormat + slot), replaced, {}};
}

const DescribedFormat* FindDescribedFormat(int format) {
  const int slot = format - kFirstDescribedFormat;
  if (slot < 0 || slot >= kSlots) return nullptr;
  return TheRegistry().Slots[static_cast<size_t>(slot)].load(std::memory_order_acquire);
}

const DescribedCodec* FindDescribedCodec(int format) {
  const DescribedFormat* entry = FindDescribedFormat(format);
  return entry ? &entry->Codec : nullptr;
}

std::optional<TileFormat> DescribedFormatNamed(std::string_view shortName) {
  for (int format = kFirstDescribedFormat; format <= kLastDescribedFormat; ++format) {
    const DescribedFormat* entry = FindDescribedFormat(format);
    if (!entry) break;
    if (SameShortName(entry->ShortName, shortName)) return static_cast<TileFormat>(format);
  }
  return std::nullopt;
}

std::vector<TileFormat> DescribedFormats() {
  std::vector<TileFormat> formats;
  for (int format = kFirstDescribedFormat; format <= kLastDescribedFormat; ++format) {
    if (!FindDescribedFormat(format)) break;
    formats.push_back(static_cast<TileFormat>(format));
  }
  return formats;
}

const TileFormatRow* LookUpTileFormat(int format) {
  if (IsFixedTileFormat(format)) return &kTileFormats[static_cast<size_t>(format)];
  const DescribedFormat* entry = FindDescribedFormat(format);
  return entry ? &entry->Row : nullptr;
}

}  // namespace varnock
