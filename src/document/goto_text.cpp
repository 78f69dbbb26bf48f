#include "document/goto_text.h"

#include <cstdio>

namespace varnock {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<int32_t> ParseHex(std::string_view text) {
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    const int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<uint64_t>(digit);
    if (value > 0xFFFFFFFFu) return std::nullopt;  // leading zeros never get here
  }
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

std::optional<int32_t> ParseDecimal(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  const int64_t limit = negative ? int64_t{1} << 31 : (int64_t{1} << 31) - 1;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > limit) return std::nullopt;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

}  // namespace

std::optional<int32_t> ParseGotoText(std::string_view text, GotoRadix radix) {
  return radix == GotoRadix::Hex ? ParseHex(text) : ParseDecimal(text);
}

std::string FormatGotoValue(int32_t value, GotoRadix radix) {
  char text[16];
  if (radix == GotoRadix::Hex)
    std::snprintf(text, sizeof text, "%X", static_cast<uint32_t>(value));
  else
    std::snprintf(text, sizeof text, "%d", value);
  return text;
}

std::optional<GotoConversion> ConvertGotoText(std::string_view text, GotoRadix from, GotoRadix to) {
  const std::optional<int32_t> value = ParseGotoText(text, from);
  if (!value) return std::nullopt;
  return GotoConversion{*value, FormatGotoValue(*value, to)};
}

}  // namespace varnock
