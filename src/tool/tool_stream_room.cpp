#include "tool/tool_stream_room.h"

#include <cstdio>

#include "document/stream_move.h"
#include "tool/tool_files.h"
#include "tool/tool_import_fit.h"
#include "tool/tool_options.h"
#include "tool/tool_report.h"

namespace varnock {
namespace {

constexpr const char* kNothingWritten = " Nothing was written.";

void PrintLine(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
}

}  // namespace

void ApplyRoomOptions(const ParsedArguments& arguments, std::string_view command,
                      const RomDocument& doc, StreamLink& link) {
  StreamRoomChoice choice;
  choice.Room = OptionalNumber(arguments, command, "--room");
  if (const std::optional<int64_t> fill = OptionalNumber(arguments, command, "--fill")) {
    if (*fill > 0xFF) BadUsage(command, "--fill takes a byte, 0 to 255 (0x00 to 0xFF)");
    choice.FillByte = static_cast<uint8_t>(*fill);
  }
  const std::string refusal = ApplyStreamRoomChoice(link, ImageBytes(doc), choice);
  if (!refusal.empty()) FailOn(doc.RomPath, refusal + kNothingWritten);
}

bool MoveStreamOption(const ParsedArguments& arguments, std::string_view command, RomDocument& doc,
                      StreamLink& link, const StreamSavePlan& plan) {
  const std::string* where = arguments.Value("--move-to");
  if (!where) {
    if (arguments.Has("--repoint")) BadUsage(command, "--repoint goes with --move-to");
    return false;
  }
  std::optional<int64_t> target;
  if (*where != "auto") target = NumberText(*where, command, "--move-to");
  const bool gba = IsGbaImageExtension(doc.RomExt);
  if (arguments.Has("--repoint") && !gba)
    std::fprintf(stderr, "%s is not a GBA image: --repoint has no pointer words to change.\n",
                 doc.RomPath.c_str());
  if (plan.Verdict != StreamSaveVerdict::TooLarge) {
    // A move is for a stream that no longer fits: one that fits stays where the game reads it.
    std::fprintf(stderr, "The stream fits its room at %s: it was not moved.\n",
                 HexOffset(link.Offset).c_str());
    return false;
  }
  const std::span<const uint8_t> compressed(plan.Bytes.data(), plan.CompressedLength);
  const StreamMovePlan move = PlanStreamMove(link, ImageBytes(doc), compressed, target, gba);
  if (!move.Refusal.empty()) FailOn(doc.RomPath, move.Refusal);
  // The editor asks before it writes over bytes that are not free; nobody is here to answer.
  if (move.TargetUsed)
    FailOn(doc.RomPath, "The bytes at " + HexOffset(move.Offset) +
                            " are not free space (all 0x00 or all 0xFF), and the stream would "
                            "write over them." +
                            kNothingWritten);
  const std::vector<int64_t> repointed =
      arguments.Has("--repoint") ? move.Pointers : std::vector<int64_t>{};
  CheckChecksumFields(arguments, doc, move.Offset,
                      move.Offset + static_cast<int64_t>(move.Bytes.size()));
  for (int64_t word : repointed) CheckChecksumFields(arguments, doc, word, word + 4);
  const int64_t from = link.Offset;
  const size_t followed = MoveStream(doc, link, move, repointed);
  PrintLine(StreamMovedText(from, move.Offset, followed));
  for (int64_t word : move.Pointers) {
    const bool changed = arguments.Has("--repoint");
    PrintLine((changed ? "repointed " : "left ") + HexOffset(word) + ": " +
              HexOffset(kGbaRomAddress + from) +
              (changed ? " -> " + HexOffset(kGbaRomAddress + move.Offset)
                       : " (still the old place; --repoint changes it)"));
  }
  return true;
}

}  // namespace varnock
