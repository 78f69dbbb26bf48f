// How the command-line tool stops: exit statuses, and the one line on standard error that
// says why, naming the file it is about.
#pragma once

#include <string>
#include <string_view>

namespace varnock {

inline constexpr int kToolSucceeded = 0;
inline constexpr int kToolFailed = 1;
inline constexpr int kToolBadUsage = 2;
inline constexpr const char* kToolName = "varnock-tool";

// Thrown by a command that cannot go on; the caller prints "varnock-tool: " + Line.
struct ToolStop {
  int Status = kToolFailed;
  std::string Line;
};

// A file that could not be read, written or used: "FILE: REASON", status 1.
[[noreturn]] void FailOn(std::string_view file, std::string_view reason);
// Arguments that make no sense: "COMMAND: COMPLAINT (see varnock-tool COMMAND --help)", status 2.
[[noreturn]] void BadUsage(std::string_view command, std::string_view complaint);

// A note on standard error that does not stop the command: "varnock-tool: " + line.
void ReportNote(std::string_view line);

// Prints the stop's line on standard error and gives its status.
int ReportStop(const ToolStop& stop);

}  // namespace varnock
