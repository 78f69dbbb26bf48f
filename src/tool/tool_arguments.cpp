#include "tool/tool_arguments.h"

#include <charconv>
#include <cstdio>

namespace varnock {
namespace {

constexpr int64_t kLargestNumber = 0x7FFFFFFF;

const OptionSpec* FindOption(std::span<const OptionSpec> options, std::string_view name) {
  for (const OptionSpec& option : options)
    if (name == option.Name) return &option;
  return nullptr;
}

}  // namespace

const std::string* ParsedArguments::Value(std::string_view option) const {
  const auto found = Values.find(option);
  return found == Values.end() ? nullptr : &found->second;
}

ArgumentsRead ParseArguments(std::span<const std::string> arguments,
                             std::span<const OptionSpec> options) {
  ArgumentsRead read;
  bool onlyOperands = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (onlyOperands || argument.size() < 2 || argument[0] != '-') {
      read.Arguments.Operands.push_back(argument);
      continue;
    }
    if (argument == "--") {
      onlyOperands = true;
      continue;
    }
    const size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    const OptionSpec* option = FindOption(options, name);
    if (!option) {
      read.Complaint = "unknown option '" + name + "'";
      return read;
    }
    if (read.Arguments.Has(name)) {
      read.Complaint = "option " + name + " is given twice";
      return read;
    }
    std::string value;
    if (equals != std::string::npos) {
      if (!option->TakesValue) {
        read.Complaint = "option " + name + " takes no value";
        return read;
      }
      value = argument.substr(equals + 1);
    } else if (option->TakesValue) {
      if (i + 1 >= arguments.size()) {
        read.Complaint = "option " + name + " needs a value";
        return read;
      }
      value = arguments[++i];
    }
    read.Arguments.Values.emplace(name, std::move(value));
  }
  return read;
}

std::optional<int64_t> ParseToolNumber(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  if (text.empty() || text[0] == '+' || text[0] == '-') return std::nullopt;
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size() || value < 0 ||
      value > kLargestNumber)
    return std::nullopt;
  return value;
}

std::string HexOffset(int64_t offset) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(offset));
  return text;
}

std::vector<std::string_view> SplitText(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (true) {
    const size_t at = text.find(separator, start);
    parts.push_back(text.substr(start, at == std::string_view::npos ? at : at - start));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

}  // namespace varnock
