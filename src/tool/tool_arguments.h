// The command-line tool's arguments: options of one subcommand and its operands, kept as the
// bytes they were given, and the numbers and names they hold.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varnock {

struct OptionSpec {
  const char* Name;  // "--offset", "-o"
  bool TakesValue;
};

struct ParsedArguments {
  std::vector<std::string> Operands;
  std::map<std::string, std::string, std::less<>> Values;  // flags hold an empty value

  bool Has(std::string_view option) const { return Values.count(option) != 0; }
  const std::string* Value(std::string_view option) const;
};

// What went wrong with the arguments, for a one-line complaint; empty when they were read.
struct ArgumentsRead {
  ParsedArguments Arguments;
  std::string Complaint;
};

// Reads "--name value", "--name=value", flags and operands in any order. "--" makes everything
// after it an operand, so a file may be named "-x". An option not in `options`, one given
// twice, or a value missing is a complaint.
ArgumentsRead ParseArguments(std::span<const std::string> arguments,
                             std::span<const OptionSpec> options);

// A whole number in decimal or in hexadecimal after "0x" (either case), 0..2^31-1: offsets and
// lengths within an image of up to 2 GiB. Nothing for anything else (signs, spaces, suffixes).
std::optional<int64_t> ParseToolNumber(std::string_view text);

// "0x1C40": an offset as messages and listings show it.
std::string HexOffset(int64_t offset);

// Splits "a:b:c" at every `separator`.
std::vector<std::string_view> SplitText(std::string_view text, char separator);

}  // namespace varnock
