#include "palette/channel_text.h"

#include <charconv>

namespace varnock {

std::optional<ChannelEntry> ChannelFromBoxText(std::string_view text) {
  if (text.empty()) return ChannelEntry{0, "0"};
  std::string_view digits = text;
  // A plus sign is a number's too; a sign after it is not.
  if (digits.front() == '+') {
    digits.remove_prefix(1);
    if (digits.empty() || digits.front() == '-') return std::nullopt;
  }
  int32_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
  if (value >= 256) return ChannelEntry{255, "255"};
  return ChannelEntry{value < 0 ? 0 : value, {}};
}

}  // namespace varnock
