// The go-to box's text: whole numbers in hexadecimal or decimal, held as 32-bit signed values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varnock {

enum class GotoRadix { Hex, Dec };

// Hexadecimal: bare digits, read as if prefixed with "0x", up to FFFFFFFF, whose top bit makes
// the value negative. Decimal: an optional sign and digits within the 32-bit signed range.
// Anything else (spaces, a prefix of its own, an empty text) is not a number.
std::optional<int32_t> ParseGotoText(std::string_view text, GotoRadix radix);

// The value as the box shows it: signed decimal, or upper-case hexadecimal of its 32-bit
// pattern without leading zeros (-1 is FFFFFFFF).
std::string FormatGotoValue(int32_t value, GotoRadix radix);

// The radix switch: the value the text holds in `from`, written in `to`; nothing when the text
// is not a number in `from`.
struct GotoConversion {
  int32_t Value = 0;
  std::string Text;
};
std::optional<GotoConversion> ConvertGotoText(std::string_view text, GotoRadix from, GotoRadix to);

}  // namespace varnock
