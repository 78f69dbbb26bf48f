#include "support/tool_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <sstream>
#include <string_view>

extern char** environ;

namespace varnock::test {

ToolRun RunTool(const TempDir& dir, const std::vector<std::string>& arguments) {
  std::vector<std::string> storage{VARNOCK_TOOL};
  storage.insert(storage.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : storage) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const std::string out = dir.File(".tool-stdout");
  const std::string err = dir.File(".tool-stderr");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  // The user's data folder is the scratch folder: the tool finds the encodings a test puts in
  // its "Varnock Pro/codecs", and never those of whoever runs the tests.
  std::vector<std::string> variables{"XDG_DATA_HOME=" + dir.path()};
  for (char** variable = environ; *variable; ++variable)
    if (std::string_view(*variable).rfind("XDG_DATA_HOME=", 0) != 0)
      variables.emplace_back(*variable);
  std::vector<char*> envp;
  for (std::string& variable : variables) envp.push_back(variable.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  ToolRun run;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return run;
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
  const std::vector<uint8_t> outBytes = ReadFile(out), errBytes = ReadFile(err);
  run.out.assign(outBytes.begin(), outBytes.end());
  run.err.assign(errBytes.begin(), errBytes.end());
  return run;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace varnock::test
