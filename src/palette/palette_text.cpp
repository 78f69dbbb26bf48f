#include "palette/palette_text.h"

namespace varnock {

std::vector<std::string_view> SplitLines(std::span<const uint8_t> bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::string_view TrimSpaces(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::optional<uint32_t> TakeNumber(std::string_view& text, uint32_t limit) {
  size_t at = text.find_first_not_of(" \t");
  if (at == std::string_view::npos || text[at] < '0' || text[at] > '9') return std::nullopt;
  uint32_t value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = value * 10 + static_cast<uint32_t>(text[at] - '0');
    if (value > limit) return std::nullopt;
  }
  text.remove_prefix(at);
  return value;
}

}  // namespace varnock
