#include "tool/tool_import_fit.h"

#include <algorithm>

#include "document/checksum_rule.h"
#include "tool/tool_report.h"

namespace varnock {
namespace {

constexpr int32_t kTileSide = 8;
constexpr const char* kNothingWritten = " Nothing was written.";

bool Clipping(const ParsedArguments& arguments) {
  return arguments.Has("--clip");
}

std::string Count(int64_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

void TellClipNotes(const ClipNotes& notes) {
  for (const std::string& note : notes) ReportNote(note);
}

void CheckWholeTiles(const ParsedArguments& arguments, const std::string& picturePath,
                     int32_t width, int32_t height, ClipNotes& notes) {
  const int32_t right = width % kTileSide;
  const int32_t bottom = height % kTileSide;
  if (right == 0 && bottom == 0) return;
  std::string lost;
  if (right != 0) lost = "right " + Count(right, "column", "columns");
  if (right != 0 && bottom != 0) lost += " and ";
  if (bottom != 0) lost += "bottom " + Count(bottom, "row", "rows");
  const std::string size = std::to_string(width) + " x " + std::to_string(height);
  if (!Clipping(arguments))
    FailOn(picturePath, "The picture is " + size + " pixels: its " + lost +
                            " of pixels make no whole 8 x 8 tile and would be lost." +
                            kNothingWritten);
  notes.push_back(picturePath + ": --clip: the picture's " + lost + " of pixels (of " + size +
                  ") make no whole 8 x 8 tile and were left out.");
}

int64_t CheckTilesFit(const ParsedArguments& arguments, const std::string& romPath, int64_t tiles,
                      int32_t tileBytes, int64_t offset, int64_t placeBytes, ClipNotes& notes) {
  const int64_t fit = std::max<int64_t>(placeBytes, 0) / tileBytes;
  const int64_t needed = tiles * tileBytes;
  if (tiles <= fit) return needed;
  if (!Clipping(arguments))
    FailOn(romPath, "The picture holds " + Count(tiles, "tile", "tiles") + "; only " +
                        std::to_string(fit) + " fit at " + HexOffset(offset) + "." +
                        kNothingWritten);
  const int64_t left = tiles - fit;
  std::string note = romPath + ": --clip: " + std::to_string(fit) + " of the picture's " +
                     std::to_string(tiles) + " tiles fit at " + HexOffset(offset) + "; " +
                     Count(left, "tile was", "tiles were") + " left out";
  const int64_t part = placeBytes - fit * tileBytes;
  if (part > 0) note += ", but for the first " + Count(part, "byte", "bytes") + " of the first";
  notes.push_back(note + ".");
  return std::max<int64_t>(placeBytes, 0);
}

void CheckChecksumFields(const ParsedArguments& arguments, const RomDocument& doc, int64_t first,
                         int64_t end) {
  if (arguments.Has("--no-checksum")) return;
  for (const ChecksumField& field : ChecksumFieldsFor(doc.RomExt)) {
    if (end <= field.Offset || field.Offset + field.Length <= first) continue;
    FailOn(doc.RomPath, "The import writes " + HexOffset(first) + ".." + HexOffset(end - 1) +
                            ", over the " + field.Console + " " + field.Name + " at " +
                            HexOffset(field.Offset) +
                            ", which a save rewrites; --no-checksum writes it and leaves the "
                            "header as it is." +
                            kNothingWritten);
  }
}

SaveRomOptions ImportSaveOptions(const ParsedArguments& arguments) {
  SaveRomOptions options;
  options.ApplyChecksums = !arguments.Has("--no-checksum");
  return options;
}

}  // namespace varnock
