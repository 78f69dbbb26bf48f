// The palette editor's red, green and blue boxes: what their text means for a channel.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varnock {

struct ChannelEntry {
  int32_t Value = 0;    // the bar's new position, 0..255
  std::string Rewrite;  // the text the box must show instead of what it holds; empty: keep it
};

// An empty box means 0 and shows "0"; 256 and more mean 255 and show "255"; a negative number
// means 0 (the bar goes no lower). Text that is not a decimal whole number means nothing: the
// bar and the palette stay as they are.
std::optional<ChannelEntry> ChannelFromBoxText(std::string_view text);

}  // namespace varnock
