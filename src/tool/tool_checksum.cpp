// checksum: the header checksums the editor's save writes, and those of a console's own header
// (SNES, Genesis, Master System, Game Gear), whether the image holds them, and --fix, which
// writes them: the console header's fields through the document's write, then the editor's save.
#include <cstdio>
#include <optional>
#include <vector>

#include "document/checksum_rule.h"
#include "document/console_header.h"
#include "document/step_names.h"
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

// One field as the report shows it and --fix writes it.
struct FieldCheck {
  std::string Label;
  int64_t Offset;
  int32_t Length;
  uint32_t Holds;
  uint32_t Gives;
  const char* Giver;  // who writes it: "a save writes", "its header's rule gives"
  std::optional<HeaderChecksumField> Header;  // a console header's field, which --fix writes
};

std::vector<FieldCheck> CheckFields(const RomDocument& doc,
                                    const std::optional<ConsoleHeader>& header) {
  const std::span<const uint8_t> image = ImageBytes(doc);
  std::vector<uint8_t> saved(image.begin(), image.end());
  ApplyChecksumRule(doc.RomExt, saved);
  std::vector<FieldCheck> checks;
  for (const ChecksumField& field : ChecksumFieldsFor(doc.RomExt))
    checks.push_back({std::string(field.Console) + " " + field.Name, field.Offset, field.Length,
                      ChecksumFieldValue(image, field), ChecksumFieldValue(saved, field),
                      "a save writes", std::nullopt});
  if (header)
    for (const HeaderChecksumField& field : header->Fields)
      checks.push_back({field.Name, field.Offset, field.Length, field.Holds, field.Needs,
                        "its header's rule gives", field});
  return checks;
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

  const std::optional<ConsoleHeader> header = FindConsoleHeader(doc.RomExt, ImageBytes(doc));
  const std::vector<FieldCheck> checks = CheckFields(doc, header);
  if (checks.empty()) {
    std::printf("no header checksum for %s%s; a save writes the image's bytes as they are\n",
                doc.RomExt.empty() ? "a name without extension" : doc.RomExt.c_str(),
                header ? (": " + header->Found).c_str() : "");
  } else if (header) {
    std::printf("%s\n", header->Found.c_str());
  }
  bool held = true;
  for (const FieldCheck& check : checks) {
    held = held && check.Holds == check.Gives;
    std::printf("%s at %s: the image holds %s, %s %s (%s)\n", check.Label.c_str(),
                HexOffset(check.Offset).c_str(), FieldValue(check.Holds, check.Length).c_str(),
                check.Giver, FieldValue(check.Gives, check.Length).c_str(),
                check.Holds == check.Gives ? "agree" : "DIFFER");
  }
  std::fflush(stdout);
  if (!fix) {
    if (!held)
      FailOn(romPath, "The image does not hold the header checksums shown; --fix writes them.");
    return kToolSucceeded;
  }
  {
    const HistoryStep step(doc, ChecksumStepName());
    for (const FieldCheck& check : checks)
      if (check.Header && check.Holds != check.Gives)
        doc.WriteBytes(check.Offset, FieldBytes(*check.Header, check.Gives));
  }
  if (outPath) {
    SaveImageFile(doc, *outPath);
  } else if (!held) {
    SaveImageFile(doc, romPath);
  }
  // Said once the file holds them.
  for (const FieldCheck& check : checks)
    if (check.Holds != check.Gives)
      std::printf("fixed: %s %s -> %s\n", HexOffset(check.Offset).c_str(),
                  FieldValue(check.Holds, check.Length).c_str(),
                  FieldValue(check.Gives, check.Length).c_str());
  return kToolSucceeded;
}

}  // namespace varnock
