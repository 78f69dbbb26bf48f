#include "codec/codec_file.h"

#include <dirent.h>
#include <ini.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <map>

#include "codec/codec_registry.h"
#include "codec/format_names.h"
#include "io/file_io.h"

namespace varnock {
namespace {

constexpr std::string_view kSection = "encoding";
constexpr size_t kMaxDisplayName = 64;

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A decimal or 0x-hexadecimal number with an optional sign, nothing else around it.
std::optional<int32_t> ParseNumber(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

// Hands inih one line at a time and counts them, so a fault found while a key is handled can
// name its line. A line too long for inih's buffer is cut here and reported, so that its rest
// is not read as a line of its own.
struct LineReader {
  std::string_view Text;
  size_t Position = 0;
  int32_t Line = 0;
  std::string_view Current;  // the line last handed out, as it stands in the text
  int32_t FirstFaultLine = 0;
  std::string FirstFault;

  void Fault(int32_t line, std::string reason) {
    if (FirstFaultLine != 0) return;
    FirstFaultLine = line;
    FirstFault = std::move(reason);
  }
};

char* ReadLine(char* buffer, int size, void* stream) {
  auto& reader = *static_cast<LineReader*>(stream);
  if (reader.Position >= reader.Text.size() || size < 2) return nullptr;
  const size_t newline = reader.Text.find('\n', reader.Position);
  const size_t end = newline == std::string_view::npos ? reader.Text.size() : newline;
  reader.Current = reader.Text.substr(reader.Position, end - reader.Position);
  reader.Position = newline == std::string_view::npos ? reader.Text.size() : newline + 1;
  ++reader.Line;
  // Room for the line, inih's own "\r\n" allowance and the terminating zero.
  const size_t room = static_cast<size_t>(size) - 3;
  if (reader.Current.size() > room)
    reader.Fault(reader.Line, "the line is longer than " + std::to_string(room) + " characters");
  if (reader.Current.find('\0') != std::string_view::npos)
    reader.Fault(reader.Line, "the line holds a zero byte");
  const size_t kept = std::min(reader.Current.size(), room);
  std::memcpy(buffer, reader.Current.data(), kept);
  buffer[kept] = '\0';
  return buffer;
}

struct Parse {
  LineReader Reader;
  std::map<std::string, int32_t> KeyLines;  // key (lower case) -> line it was given on
  std::optional<int32_t> Bits, Bytes;
  std::optional<BitOrder> Order;
  std::array<std::optional<PlaneLayout>, kMaxDescribedBits> Planes;
  std::string DisplayName;
  std::string LastKey;

  // Records the fault at the current line; returns 0, inih's "stop believing this line".
  int Fail(std::string reason) {
    Reader.Fault(Reader.Line, std::move(reason));
    return 0;
  }

  int Take(const char* section, const char* name, const char* value) {
    const std::string key = Lower(name);
    if (Lower(section) != kSection)
      return Fail(*section
                      ? "keys belong in the [encoding] section, not [" + std::string(section) + "]"
                      : "keys belong in the [encoding] section");
    // inih reads an indented line as more of the key before it.
    const std::string_view raw = Reader.Current;
    if (key == LastKey && !raw.empty() && (raw.front() == ' ' || raw.front() == '\t'))
      return Fail("an indented line continues the value of '" + key +
                  "'; each value takes one line");
    LastKey = key;
    if (const auto seen = KeyLines.find(key); seen != KeyLines.end())
      return Fail("'" + key + "' is given twice, first on line " + std::to_string(seen->second));
    KeyLines.emplace(key, Reader.Line);
    const std::string_view text = Trim(value);
    if (key == "name") {
      if (text.empty()) return Fail("the name is empty");
      if (text.size() > kMaxDisplayName)
        return Fail("the name is longer than " + std::to_string(kMaxDisplayName) + " characters");
      DisplayName = std::string(text);
      return 1;
    }
    if (key == "bits" || key == "bytes") {
      const auto number = ParseNumber(text);
      if (!number)
        return Fail("'" + key + "' takes a whole number, not \"" + std::string(text) + "\"");
      (key == "bits" ? Bits : Bytes) = *number;
      return 1;
    }
    if (key == "order") {
      const std::string order = Lower(text);
      if (order != "msb" && order != "lsb")
        return Fail("'order' is msb or lsb, not \"" + std::string(text) + "\"");
      Order = order == "msb" ? BitOrder::MsbFirst : BitOrder::LsbFirst;
      return 1;
    }
    if (key.size() == 6 && key.rfind("plane", 0) == 0 && key[5] >= '0' && key[5] <= '7') {
      std::array<int32_t, 3> numbers{};
      std::string_view rest = text;
      for (int i = 0; i < 3; ++i) {
        const size_t comma = i < 2 ? rest.find(',') : std::string_view::npos;
        const auto number = ParseNumber(rest.substr(0, comma));
        if (!number || (i < 2 && comma == std::string_view::npos))
          return Fail("'" + key +
                      "' takes three whole numbers: first bit, pixel step, row step; not \"" +
                      std::string(text) + "\"");
        numbers[static_cast<size_t>(i)] = *number;
        if (comma != std::string_view::npos) rest.remove_prefix(comma + 1);
      }
      Planes[static_cast<size_t>(key[5] - '0')] = PlaneLayout{numbers[0], numbers[1], numbers[2]};
      return 1;
    }
    return Fail("unknown key '" + key +
                "'; the keys are name, bits, bytes, order, plane0 to plane7");
  }
};

int Handle(void* user, const char* section, const char* name, const char* value) {
  return static_cast<Parse*>(user)->Take(section, name, value);
}

CodecFileResult Refuse(int32_t line, std::string reason) {
  CodecFileResult result;
  result.Line = line;
  result.Reason = std::move(reason);
  return result;
}

}  // namespace

std::string CodecFileResult::Message() const {
  if (Line <= 0) return Reason;
  return "line " + std::to_string(Line) + ": " + Reason;
}

CodecFileResult ParseCodecFile(std::string_view text, const std::string& shortName) {
  Parse parse;
  parse.Reader.Text = text;
  const int syntaxLine = ini_parse_stream(ReadLine, &parse.Reader, Handle, &parse);
  const LineReader& reader = parse.Reader;
  if (syntaxLine != 0 && (reader.FirstFaultLine == 0 || syntaxLine < reader.FirstFaultLine))
    return Refuse(syntaxLine, "not a [section] heading, a key = value line or a comment");
  if (reader.FirstFaultLine != 0) return Refuse(reader.FirstFaultLine, reader.FirstFault);

  const int32_t lastLine = std::max(reader.Line, 1);
  const auto lineOf = [&](const std::string& key) {
    const auto at = parse.KeyLines.find(key);
    return at == parse.KeyLines.end() ? lastLine : at->second;
  };
  if (!parse.Bits) return Refuse(lastLine, "the file gives no 'bits' (bits per pixel)");
  if (!parse.Bytes) return Refuse(lastLine, "the file gives no 'bytes' (bytes per tile)");

  CodecDescription description;
  description.BitsPerPixel = *parse.Bits;
  description.TileBytes = *parse.Bytes;
  description.Order = parse.Order.value_or(BitOrder::MsbFirst);
  for (int p = 0; p < kMaxDescribedBits; ++p) {
    const std::string key = "plane" + std::to_string(p);
    const auto& plane = parse.Planes[static_cast<size_t>(p)];
    if (plane && p >= description.BitsPerPixel)
      return Refuse(lineOf(key), "'" + key + "' is given, but a pixel has only " +
                                     std::to_string(description.BitsPerPixel) + " bits");
    if (!plane && p < description.BitsPerPixel && description.BitsPerPixel <= kMaxDescribedBits)
      return Refuse(lineOf("bits"), "bits = " + std::to_string(description.BitsPerPixel) +
                                        " needs '" + key + "', which is missing");
    if (plane) description.Planes[static_cast<size_t>(p)] = *plane;
  }
  if (const DescriptionProblem problem = CheckDescription(description); !problem.Sound())
    return Refuse(lineOf(problem.Key), problem.Reason);

  CodecFileResult result;
  result.Ok = true;
  result.Description = description;
  result.DisplayName = parse.DisplayName.empty()
                           ? shortName + " [" + std::to_string(description.BitsPerPixel) + "BPP]"
                           : parse.DisplayName;
  return result;
}

std::string CodecShortName(const std::string& path) {
  const size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

CodecFileResult ReadCodecFile(const std::string& path) {
  std::vector<uint8_t> bytes;
  bool tooLarge = false;
  if (!ReadWholeFile(path, bytes, kMaxCodecFileBytes, &tooLarge))
    return Refuse(
        0, tooLarge ? "the file is larger than a description can be" : "the file cannot be read");
  return ParseCodecFile(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                        CodecShortName(path));
}

CodecLoadResult LoadCodecFile(const std::string& path) {
  CodecLoadResult load;
  load.Path = path;
  const CodecFileResult file = ReadCodecFile(path);
  if (!file.Ok) {
    load.Message = file.Message();
    return load;
  }
  const RegisterResult registered =
      RegisterDescribedFormat(CodecShortName(path), file.DisplayName, file.Description);
  load.Format = registered.Format;
  load.Replaced = registered.Replaced;
  load.Message = registered.Reason;
  return load;
}

std::vector<CodecLoadResult> LoadCodecFolder(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(folder.c_str())) {
    const std::string extension = kCodecFileExtension;
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.size() > extension.size() &&
          SameShortName(std::string_view(name).substr(name.size() - extension.size()), extension))
        names.push_back(name);
    }
    ::closedir(dir);
  }
  std::sort(names.begin(), names.end());
  std::vector<CodecLoadResult> loads;
  for (const std::string& name : names)
    loads.push_back(LoadCodecFile(folder.empty() || folder.back() == '/' ? folder + name
                                                                         : folder + "/" + name));
  return loads;
}

}  // namespace varnock
