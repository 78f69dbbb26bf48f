// checksum: the header checksums the editor's save writes, whether the image holds them, and
// --fix, which is that save.
#include <cstdio>
#include <vector>

#include "document/checksum_rule.h"
#include "tool/tool_commands.h"
#include "tool/tool_files.h"
#include "tool/tool_report.h"

namespace varnock {
namespace {

constexpr const char* kChecksum = "checksum";

std::string FieldValue(uint32_t value, int32_t length) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", 2 * length, value);
  return text;
}

}  // namespace

int RunChecksum(const ParsedArguments& arguments) {
  if (arguments.Operands.size() != 1) BadUsage(kChecksum, "it takes ROM");
  const std::string& romPath = arguments.Operands[0];
  const std::string* outPath = arguments.Value("-o");
  const bool fix = arguments.Has("--fix");
  if (outPath && !fix) BadUsage(kChecksum, "-o goes with --fix");
  RomDocument doc;
  LoadImageFile(romPath, doc);

  const std::span<const uint8_t> image = ImageBytes(doc);
  std::vector<uint8_t> saved(image.begin(), image.end());
  ApplyChecksumRule(doc.RomExt, saved);
  const std::span<const ChecksumField> fields = ChecksumFieldsFor(doc.RomExt);
  if (fields.empty())
    std::printf("no header checksum for %s: a save writes the image's bytes as they are\n",
                doc.RomExt.empty() ? "a name without extension" : doc.RomExt.c_str());
  bool held = true;
  for (const ChecksumField& field : fields) {
    const uint32_t holds = ChecksumFieldValue(image, field);
    const uint32_t writes = ChecksumFieldValue(saved, field);
    held = held && holds == writes;
    std::printf("%s %s at %s: the image holds %s, a save writes %s (%s)\n", field.Console,
                field.Name, HexOffset(field.Offset).c_str(),
                FieldValue(holds, field.Length).c_str(), FieldValue(writes, field.Length).c_str(),
                holds == writes ? "agree" : "DIFFER");
  }
  std::fflush(stdout);
  if (fix) {
    if (outPath) {
      SaveImageFile(doc, *outPath);
    } else if (!held) {
      SaveImageFile(doc, romPath);
    }
    return kToolSucceeded;
  }
  if (!held)
    FailOn(romPath, "The image does not hold the checksums a save writes; --fix writes them.");
  return kToolSucceeded;
}

}  // namespace varnock
