#include "tool/tool_files.h"

#include "io/file_io.h"
#include "io/save_temporaries.h"
#include "tool/tool_report.h"

namespace varnock {
namespace {

void NoteSaveLeftovers(const std::string& path) {
  for (const SaveLeftover& leftover : FindSaveLeftovers(path))
    ReportNote(SaveLeftoverText(leftover, path));
}

[[noreturn]] void ChangedMeanwhile(const std::string& path) {
  throw ToolStop{kToolFailed, "The file '" + path + "' changed on disk while " + kToolName +
                                  " worked. Nothing was written."};
}

}  // namespace

void LoadImageFile(const std::string& path, RomDocument& doc) {
  switch (doc.LoadRom(path)) {
    case kLoadLoaded:
      return;
    case kLoadCannotOpen:
      FailOn(path, doc.LoadFailure);
    case kLoadTooLarge:
      FailOn(path, "The file is 2 GB or larger; files that big can't be opened.");
    default:
      FailOn(path, "There is not enough memory for the file.");
  }
}

void WriteOutputFile(const std::string& path, std::span<const uint8_t> bytes) {
  NoteSaveLeftovers(path);
  const FileWriteResult written = WriteFileSafely(path, bytes);
  if (!written.Ok) FailOn(path, written.Reason);
}

void SaveImageFile(RomDocument& doc, const std::string& path, const SaveRomOptions& options) {
  NoteSaveLeftovers(path);
  const SaveResult saved = doc.SaveRom(path, options);
  if (saved.ChangedOnDisk) ChangedMeanwhile(path);
  if (!saved.Ok) FailOn(path, saved.Reason);
}

std::span<const uint8_t> ImageBytes(const RomDocument& doc) {
  return doc.BytesFrom(0);
}

}  // namespace varnock
