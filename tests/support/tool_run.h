// Runs the command-line tool as a script would, with the scratch folder for its output.
#pragma once

#include <string>
#include <vector>

#include "support/test_files.h"

namespace varnock::test {

struct ToolRun {
  int status = -1;  // exit status; -1 when it did not end by exiting
  std::string out;
  std::string err;
};

// `varnock-tool ARGUMENTS...`, the arguments passed as the bytes they are, with `dir` as the
// user's data folder (XDG_DATA_HOME).
ToolRun RunTool(const TempDir& dir, const std::vector<std::string>& arguments);

// The lines of `text` that are not empty.
std::vector<std::string> Lines(const std::string& text);

}  // namespace varnock::test
