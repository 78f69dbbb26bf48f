// palette: any palette the editor reads (palette files, emulator states, memory dumps, entries
// at an offset of any file) written as any palette file the editor writes.
#include "codec/format_names.h"
#include "palette/palette_file.h"
#include "palette/rom_palette.h"
#include "tool/tool_commands.h"
#include "tool/tool_files.h"
#include "tool/tool_options.h"
#include "tool/tool_report.h"

namespace varnock {
namespace {

constexpr const char* kPalette = "palette";

struct OutputKind {
  PaletteFileKind Kind;
  std::optional<PaletteFormat> Encoding;  // a .VRK file's entries; none keeps the input's
};

OutputKind KindNamed(std::string_view name) {
  static constexpr struct {
    const char* Name;
    PaletteFileKind Kind;
  } kKinds[] = {{"vrk", PaletteFileKind::Vrk},
                {"act", PaletteFileKind::Act},
                {"gpl", PaletteFileKind::Gpl},
                {"jasc", PaletteFileKind::JascPal},
                {"riff", PaletteFileKind::RiffPal}};
  const size_t colon = name.find(':');
  const std::string_view kind = name.substr(0, colon);
  for (const auto& known : kKinds) {
    if (!SameShortName(kind, known.Name)) continue;
    if (colon == std::string_view::npos) return {known.Kind, std::nullopt};
    if (known.Kind != PaletteFileKind::Vrk) break;
    const PaletteFormat encoding = PaletteEncodingNamed(name.substr(colon + 1), kPalette);
    // The editor's palette file holds the three encodings of its Format menu.
    if (encoding != kPaletteRgb && encoding != kPaletteNes && encoding != kPaletteFifteen)
      BadUsage(kPalette, "a .VRK file holds rgb, nes or bgr15 entries");
    return {known.Kind, encoding};
  }
  BadUsage(kPalette, "unknown palette kind '" + std::string(name) +
                         "'; the kinds are vrk vrk:rgb vrk:nes vrk:bgr15 act gpl jasc riff");
}

}  // namespace

int RunPalette(const ParsedArguments& arguments) {
  if (arguments.Operands.size() != 2) BadUsage(kPalette, "it takes IN and OUT");
  const std::string& inPath = arguments.Operands[0];
  const std::string& outPath = arguments.Operands[1];
  const std::string* from = arguments.Value("--from");
  if (!from && (arguments.Has("--offset") || arguments.Has("--count")))
    BadUsage(kPalette, "--offset and --count go with --from");
  const OutputKind kind = arguments.Has("--to") ? KindNamed(*arguments.Value("--to"))
                                                : OutputKind{PaletteFileKindFor(outPath), {}};

  PaletteReadResult read;
  if (from) {
    const PaletteFormat encoding = PaletteEncodingNamed(*from, kPalette);
    const int64_t offset = NumberOption(arguments, kPalette, "--offset", 0);
    const int64_t count = NumberOption(arguments, kPalette, "--count", kPaletteEntries);
    if (count < 1 || count > kPaletteEntries) BadUsage(kPalette, "--count takes 1 to 256 colours");
    RomDocument doc;
    LoadImageFile(inPath, doc);
    read = ReadPaletteFromImage(ImageBytes(doc), offset, encoding, static_cast<int32_t>(count));
    if (!read.ok())
      FailOn(inPath,
             "no palette at " + HexOffset(offset) + ": " + PaletteFileErrorText(read.Error));
  } else {
    read = ReadPaletteFile(inPath);
    if (!read.ok()) FailOn(inPath, PaletteFileErrorText(read.Error));
  }
  PaletteTable table{};
  for (size_t k = 0; k < read.Data.Entries.size() && k < table.size(); ++k)
    table[k] = read.Data.Entries[k];
  const PaletteWriteResult written =
      WritePaletteFile(outPath, table, kind.Encoding.value_or(read.Data.PalFormat),
                       read.Data.PaletteSize, kind.Kind);
  if (!written.ok())
    FailOn(outPath, written.Reason.empty() ? PaletteFileErrorText(written.Error) : written.Reason);
  return kToolSucceeded;
}

}  // namespace varnock
