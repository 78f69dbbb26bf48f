#include "document/view_names.h"

#include <charconv>

#include "codec/codec_registry.h"
#include "codec/format_names.h"

namespace varnock {
namespace {

std::optional<int32_t> ParseSide(std::string_view text) {
  int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 1 ||
      value > kMaxBlockSide)
    return std::nullopt;
  return value;
}

}  // namespace

std::optional<TileFormat> ParseFormatName(std::string_view name) {
  if (const auto fixed = ParseFixedFormatName(name)) return fixed;
  return DescribedFormatNamed(name);
}

std::string FormatShortName(int format) {
  if (IsFixedTileFormat(format)) return kFormatShortNames[static_cast<size_t>(format)];
  const DescribedFormat* described = FindDescribedFormat(format);
  return described ? described->ShortName : std::string();
}

std::string FormatNameList() {
  std::string list;
  const auto add = [&](const std::string& name) {
    if (!list.empty()) list.push_back(' ');
    list.append(name);
  };
  for (const char* name : kFormatShortNames) add(name);
  for (TileFormat format : DescribedFormats()) add(FormatShortName(format));
  return list;
}

std::optional<TileArrangement> ParseArrangementName(std::string_view name) {
  if (SameShortName(name, "8x8")) return kArrangement8x8;
  if (SameShortName(name, "8x16")) return kArrangement8x16;
  if (SameShortName(name, "16x16")) return kArrangement16x16;
  BlockOrder order;
  if (name.size() > 5 && SameShortName(name.substr(0, 5), "cols:")) {
    order = BlockOrder::Columns;
  } else if (name.size() > 5 && SameShortName(name.substr(0, 5), "rows:")) {
    order = BlockOrder::Rows;
  } else {
    return std::nullopt;
  }
  const std::string_view size = name.substr(5);
  const size_t by = size.find_first_of("xX");
  if (by == std::string_view::npos || by == 0 || by + 1 >= size.size()) return std::nullopt;
  const auto width = ParseSide(size.substr(0, by));
  const auto height = ParseSide(size.substr(by + 1));
  if (!width || !height) return std::nullopt;
  return Canonical({order, *width, *height});
}

std::string ArrangementName(const TileArrangement& arrangement) {
  const TileArrangement a = Canonical(arrangement);
  switch (KindOf(a)) {
    case ArrangementKind::Tiles8x8:
      return "8x8";
    case ArrangementKind::Tiles8x16:
      return "8x16";
    case ArrangementKind::Tiles16x16:
      return "16x16";
    default:
      return std::string(a.Order == BlockOrder::Columns ? "cols:" : "rows:") +
             std::to_string(a.BlockWidth) + "x" + std::to_string(a.BlockHeight);
  }
}

}  // namespace varnock
