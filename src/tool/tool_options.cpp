#include "tool/tool_options.h"

#include <cstdio>

#include "codec/codec_file.h"
#include "document/view_names.h"
#include "palette/palette_source.h"
#include "palette/rom_palette.h"
#include "pictures/user_codec_folder.h"
#include "tool/tool_files.h"
#include "tool/tool_report.h"

namespace varnock {
namespace {

std::string CompressionNameList() {
  std::string list;
  for (const CompressionFormatInfo& info : AllCompressionFormats()) {
    if (!list.empty()) list.push_back(' ');
    list.append(info.ShortName);
  }
  return list;
}

std::string PaletteEncodingList() {
  std::string list;
  for (const RomPaletteEncoding& encoding : RomPaletteEncodings()) {
    if (!list.empty()) list.push_back(' ');
    list.append(encoding.ShortName);
  }
  return list;
}

std::string Quoted(std::string_view text) {
  std::string quoted(1, '\'');
  quoted.append(text);
  quoted.push_back('\'');
  return quoted;
}

}  // namespace

void LoadUserCodecs() {
  for (const CodecLoadResult& result : LoadCodecFolder(UserCodecFolder()))
    if (!result.Format)
      std::fprintf(stderr, "%s: %s: %s\n", kToolName, result.Path.c_str(), result.Message.c_str());
}

void LoadCodecOption(const ParsedArguments& arguments, std::string_view) {
  const std::string* path = arguments.Value("--codec");
  if (!path) return;
  const CodecLoadResult loaded = LoadCodecFile(*path);
  if (!loaded.Format) FailOn(*path, loaded.Message);
}

TileFormat FormatOption(const ParsedArguments& arguments, std::string_view command,
                        const RomDocument& doc) {
  const std::string* name = arguments.Value("--format");
  if (!name) return RomDocument::FormatForExtension(doc.RomExt);
  const std::optional<TileFormat> format = ParseFormatName(*name);
  if (!format)
    BadUsage(command, "unknown format " + Quoted(*name) + "; the formats are " + FormatNameList());
  return *format;
}

TileArrangement ArrangementOption(const ParsedArguments& arguments, std::string_view command) {
  const std::string* name = arguments.Value("--arrangement");
  if (!name) return kArrangement8x8;
  const std::optional<TileArrangement> arrangement = ParseArrangementName(*name);
  if (!arrangement)
    BadUsage(command, "unknown arrangement " + Quoted(*name) + "; arrangements are " +
                          kArrangementNameForms + " (W and H 1 to 8)");
  return *arrangement;
}

CompressionFormat CompressionNamed(std::string_view name, std::string_view command) {
  const std::optional<CompressionFormat> format = CompressionFormatByName(name);
  if (!format)
    BadUsage(command, "unknown compression " + Quoted(name) + "; the compressions are " +
                          CompressionNameList());
  return *format;
}

int64_t NumberText(std::string_view text, std::string_view command, std::string_view what) {
  const std::optional<int64_t> number = ParseToolNumber(text);
  if (!number)
    BadUsage(command, std::string(what) + " " + Quoted(text) +
                          " is not a whole number (decimal, or hexadecimal after 0x) below 2^31");
  return *number;
}

std::optional<int64_t> OptionalNumber(const ParsedArguments& arguments, std::string_view command,
                                      std::string_view option) {
  const std::string* text = arguments.Value(option);
  if (!text) return std::nullopt;
  return NumberText(*text, command, option);
}

int64_t NumberOption(const ParsedArguments& arguments, std::string_view command,
                     std::string_view option, int64_t fallback) {
  return OptionalNumber(arguments, command, option).value_or(fallback);
}

PaletteFormat PaletteEncodingNamed(std::string_view name, std::string_view command) {
  const RomPaletteEncoding* encoding = RomPaletteEncodingNamed(name);
  if (!encoding)
    BadUsage(command, "unknown palette encoding " + Quoted(name) + "; the encodings are " +
                          PaletteEncodingList());
  return encoding->Format;
}

ToolPalette PaletteOption(const ParsedArguments& arguments, std::string_view command,
                          const RomDocument& doc) {
  const std::string* file = arguments.Value("--palette");
  const std::string* inRom = arguments.Value("--palette-rom");
  if (file && inRom) BadUsage(command, "--palette and --palette-rom exclude each other");
  SourcedPalette read;
  if (inRom) {
    const std::vector<std::string_view> parts = SplitText(*inRom, ':');
    if (parts.size() != 3)
      BadUsage(command, "--palette-rom takes OFFSET:ENCODING:COUNT, not " + Quoted(*inRom));
    const int64_t offset = NumberText(parts[0], command, "the palette's offset");
    const PaletteFormat encoding = PaletteEncodingNamed(parts[1], command);
    const int64_t count = NumberText(parts[2], command, "the palette's colour count");
    if (count < 1 || count > kPaletteEntries)
      BadUsage(command, "a palette has 1 to 256 colours, not " + std::string(parts[2]));
    read = PaletteFromImage(ImageBytes(doc), offset, encoding, static_cast<int32_t>(count));
    if (!read.ok()) FailOn(doc.RomPath, "no palette at " + HexOffset(offset) + ": " + read.Failure);
  } else if (file) {
    read = PaletteFromFile(*file);
    if (!read.ok()) FailOn(*file, read.Failure);
  } else {
    read = PaletteOrDefault(doc.PalettePath);
  }
  return ToolPalette{read.Entries, read.Size};
}

std::array<SurfaceColor, 256> SubPaletteOption(const ParsedArguments& arguments,
                                               std::string_view command, const ToolPalette& palette,
                                               int32_t bitsPerPixel) {
  const int64_t subPalette = NumberOption(arguments, command, "--subpalette", 0);
  const int32_t swatches = SwatchCountOf(bitsPerPixel);
  const int32_t highest = HighestSubPalette(palette.Size, swatches);
  if (subPalette > highest)
    BadUsage(command, "--subpalette " + std::to_string(subPalette) + " does not exist: the " +
                          std::to_string(palette.Size) + " colours of the palette give " +
                          std::to_string(highest + 1) + " sub-palette(s) of " +
                          std::to_string(swatches) + ", 0 to " + std::to_string(highest));
  return SubPaletteColors(palette.Entries, static_cast<int32_t>(subPalette), bitsPerPixel);
}

}  // namespace varnock
