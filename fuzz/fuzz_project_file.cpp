// Project files of any content: the reader never crashes, a refusal names a line of the file
// (or none, for a missing ROM), and a project it accepts is written as text that reads back to
// the same resources, unknown keys and all.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "project/project_file.h"

using namespace varnock;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const ProjectReadResult read = ParseProject(text);
  if (!read.Ok) {
    if (read.Line < 0 || read.Reason.empty()) std::abort();
    return 0;
  }
  const std::string written = ProjectText(read.Read);
  const ProjectReadResult again = ParseProject(written);
  if (!again.Ok || again.Read.Resources.size() != read.Read.Resources.size()) std::abort();
  // Written once more, the text is the same: nothing drifts between rewrites.
  if (ProjectText(again.Read) != written) std::abort();
  return 0;
}
