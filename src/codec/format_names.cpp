#include "codec/format_names.h"

namespace varnock {
namespace {

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool SameShortName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::optional<TileFormat> ParseFixedFormatName(std::string_view name) {
  for (int format = 0; format < kFixedTileFormatCount; ++format)
    if (SameShortName(name, kFormatShortNames[static_cast<size_t>(format)]))
      return static_cast<TileFormat>(format);
  return std::nullopt;
}

}  // namespace varnock
