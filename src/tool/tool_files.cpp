#include "tool/tool_files.h"

#include "io/file_io.h"
#include "tool/tool_report.h"

namespace varnock {

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
  const FileWriteResult written = WriteFileSafely(path, bytes);
  if (!written.Ok) FailOn(path, written.Reason);
}

void SaveImageFile(RomDocument& doc, const std::string& path) {
  const SaveResult saved = doc.SaveRom(path);
  if (!saved.Ok) FailOn(path, saved.Reason);
}

std::span<const uint8_t> ImageBytes(const RomDocument& doc) {
  return doc.BytesFrom(0);
}

}  // namespace varnock
