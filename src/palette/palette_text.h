// Line and number reading shared by the text palette files.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace varnock {

// The lines of a text file, without their "\n" or "\r\n" ends.
std::vector<std::string_view> SplitLines(std::span<const uint8_t> bytes);

// Leading and trailing spaces and tabs removed.
std::string_view TrimSpaces(std::string_view text);

// Reads a decimal number 0..limit after any spaces or tabs and moves `text` past it; nothing
// when no digits are there or the number is larger.
std::optional<uint32_t> TakeNumber(std::string_view& text, uint32_t limit);

}  // namespace varnock
