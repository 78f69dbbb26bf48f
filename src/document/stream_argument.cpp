#include "document/stream_argument.h"

#include <charconv>

namespace varnock {
std::optional<int32_t> ParseStreamNumber(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  // from_chars takes a sign; an offset has none.
  if (text.empty() || text[0] == '-' || text[0] == '+') return std::nullopt;
  int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

namespace {

// `text` in quotes, then `rest`. (Built by appending: GCC 12 warns wrongly about the same
// built with operator+.)
std::string Quoted(std::string_view text, std::string_view rest) {
  std::string sentence;
  sentence.reserve(text.size() + rest.size() + 2);
  sentence.append(1, '\'').append(text).append(1, '\'').append(rest);
  return sentence;
}

}  // namespace

std::string CompressionShortNames() {
  std::string names;
  for (const CompressionFormatInfo& info : AllCompressionFormats()) {
    if (!names.empty()) names += ", ";
    names += info.ShortName;
  }
  return names;
}

StreamArgumentParse ParseStreamArgument(std::string_view text) {
  StreamArgumentParse parse;
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos) {
    parse.Error = Quoted(text, " is not FORMAT:OFFSET.");
    return parse;
  }
  const std::string_view name = text.substr(0, colon);
  const std::optional<CompressionFormat> format = CompressionFormatByName(name);
  if (!format) {
    parse.Error = Quoted(name, " is not a compression format; the formats are ") +
                  CompressionShortNames() + ".";
    return parse;
  }
  std::string_view offsetText = text.substr(colon + 1);
  std::optional<std::string_view> roomText;
  if (const size_t second = offsetText.find(':'); second != std::string_view::npos) {
    roomText = offsetText.substr(second + 1);
    offsetText = offsetText.substr(0, second);
  }
  const std::optional<int32_t> offset = ParseStreamNumber(offsetText);
  if (!offset) {
    parse.Error =
        Quoted(offsetText, " is not an offset: hexadecimal after 0x, or decimal, below 2 GB.");
    return parse;
  }
  std::optional<int32_t> room;
  if (roomText) {
    room = ParseStreamNumber(*roomText);
    if (!room || *room == 0) {
      parse.Error = Quoted(*roomText,
                           " is not a room: a number of bytes, hexadecimal after 0x, or decimal, "
                           "from 1 to below 2 GB.");
      return parse;
    }
  }
  parse.Value = StreamArgument{*format, *offset, room};
  return parse;
}

}  // namespace varnock
