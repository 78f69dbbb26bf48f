// Runs the command-line tool as a script would, with the scratch folder for its output.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "support/test_files.h"

namespace varnock::test {

struct ToolRun {
  int status = -1;  // exit status; -1 when it did not end by exiting
  std::string out;
  std::string err;
  bool paused = false;  // RunToolPausedAtOpen: the marked open came and the tool was stopped
};

// `varnock-tool ARGUMENTS...`, the arguments passed as the bytes they are, with `dir` as the
// user's data folder (XDG_DATA_HOME).
ToolRun RunTool(const TempDir& dir, const std::vector<std::string>& arguments);

// What a test does while the tool waits: another program's change, or the end of the tool
// (kill true: it is killed there, as by a power cut or kill -9).
struct WhilePaused {
  std::function<void()> change;
  bool kill = false;
  bool afterFirstRead = false;  // stop after the tool's first read of the marked file instead
};

// `varnock-tool ARGUMENTS...` stopped (by ptrace) just after it opened a file whose path
// holds `marker`, for `paused` to run, then let go on or killed. When no open matches, the
// tool runs to its end untouched; `paused.change` then never runs (see ToolRun::paused).
ToolRun RunToolPausedAtOpen(const TempDir& dir, const std::vector<std::string>& arguments,
                            const std::string& marker, const WhilePaused& paused);

// The lines of `text` that are not empty.
std::vector<std::string> Lines(const std::string& text);

}  // namespace varnock::test
