// Feeds arbitrary text to the go-to box's parsing and radix switch and to the palette editor's
// channel boxes. Whatever a box shows for a value must read back as that value, the switch
// must be reversible, and the channel boxes must agree with the decimal reading.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "document/goto_text.h"
#include "palette/channel_text.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

using varnock::GotoRadix;

void CheckRadix(std::string_view text, GotoRadix from, GotoRadix to) {
  const auto value = varnock::ParseGotoText(text, from);
  const auto converted = varnock::ConvertGotoText(text, from, to);
  Check(value.has_value() == converted.has_value());
  if (!value) return;
  Check(!text.empty());
  Check(converted->Value == *value);
  Check(varnock::ParseGotoText(converted->Text, to) == value);
  const auto back = varnock::ConvertGotoText(converted->Text, to, from);
  Check(back && back->Value == *value);
  Check(varnock::ParseGotoText(varnock::FormatGotoValue(*value, from), from) == value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckRadix(text, GotoRadix::Hex, GotoRadix::Dec);
  CheckRadix(text, GotoRadix::Dec, GotoRadix::Hex);

  const auto channel = varnock::ChannelFromBoxText(text);
  const auto decimal = varnock::ParseGotoText(text, GotoRadix::Dec);
  if (text.empty()) {
    Check(channel && channel->Value == 0 && channel->Rewrite == "0");
    return 0;
  }
  Check(channel.has_value() == decimal.has_value());
  if (!channel) return 0;
  Check(channel->Value == std::clamp(*decimal, 0, 255));
  Check(channel->Rewrite == (*decimal >= 256 ? "255" : ""));
  return 0;
}
