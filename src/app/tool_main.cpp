// varnock-tool: the editor's operations from the command line, for scripts and build files.
// It links the core and Qt's picture code, never the windows, so it runs without a display.
#include <string>
#include <vector>

#include "tool/tool_commands.h"

int main(int argc, char** argv) {
  // Arguments are bytes: file names need not be valid text in any encoding.
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return varnock::RunTool(arguments);
}
