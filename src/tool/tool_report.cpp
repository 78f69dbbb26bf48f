#include "tool/tool_report.h"

#include <cstdio>

namespace varnock {

void FailOn(std::string_view file, std::string_view reason) {
  throw ToolStop{kToolFailed, std::string(file) + ": " + std::string(reason)};
}

void BadUsage(std::string_view command, std::string_view complaint) {
  throw ToolStop{kToolBadUsage, std::string(command) + ": " + std::string(complaint) + " (see " +
                                    kToolName + " " + std::string(command) + " --help)"};
}

namespace {

void PrintLine(std::string_view text) {
  // Names are bytes: they go out as they came in, but on one line.
  std::string line = std::string(kToolName) + ": " + std::string(text);
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  line.push_back('\n');
  std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace

void ReportNote(std::string_view line) {
  PrintLine(line);
}

int ReportStop(const ToolStop& stop) {
  PrintLine(stop.Line);
  return stop.Status;
}

}  // namespace varnock
