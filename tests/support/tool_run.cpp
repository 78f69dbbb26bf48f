#include "support/tool_run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>
#include <string_view>

extern char** environ;

namespace varnock::test {

namespace {

std::vector<char*> ArgumentVector(std::vector<std::string>& storage) {
  std::vector<char*> argv;
  for (std::string& argument : storage) argv.push_back(argument.data());
  argv.push_back(nullptr);
  return argv;
}

void CollectOutput(const TempDir& dir, int status, ToolRun& run) {
  if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
  const std::vector<uint8_t> outBytes = ReadFile(dir.File(".tool-stdout"));
  const std::vector<uint8_t> errBytes = ReadFile(dir.File(".tool-stderr"));
  run.out.assign(outBytes.begin(), outBytes.end());
  run.err.assign(errBytes.begin(), errBytes.end());
}

// The text at `address` in the traced process, up to its first zero byte.
std::string TracedString(pid_t pid, uint64_t address) {
  char buffer[4096] = {};
  iovec local{buffer, sizeof buffer - 1};
  iovec remote{reinterpret_cast<void*>(address), sizeof buffer - 1};
  const ssize_t got = ::process_vm_readv(pid, &local, 1, &remote, 1, 0);
  return got > 0 ? std::string(buffer) : std::string();
}

}  // namespace

ToolRun RunTool(const TempDir& dir, const std::vector<std::string>& arguments) {
  std::vector<std::string> storage{VARNOCK_TOOL};
  storage.insert(storage.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv = ArgumentVector(storage);
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
  CollectOutput(dir, status, run);
  return run;
}

ToolRun RunToolPausedAtOpen(const TempDir& dir, const std::vector<std::string>& arguments,
                            const std::string& marker, const WhilePaused& paused) {
  std::vector<std::string> storage{VARNOCK_TOOL};
  storage.insert(storage.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv = ArgumentVector(storage);
  const std::string out = dir.File(".tool-stdout");
  const std::string err = dir.File(".tool-stderr");
  ToolRun run;
  const pid_t pid = ::fork();
  if (pid < 0) return run;
  if (pid == 0) {
    const int in = ::open("/dev/null", O_RDONLY);
    const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || o < 0 || e < 0 || ::dup2(in, 0) < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0)
      _exit(126);
    ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
    ::raise(SIGSTOP);
    ::execve(argv[0], argv.data(), environ);
    _exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ::ptrace(PTRACE_SETOPTIONS, pid, nullptr,
           PTRACE_O_TRACESYSGOOD | PTRACE_O_TRACEEXEC | PTRACE_O_EXITKILL);
  // The marked open (then, with afterFirstRead, the first read of what it opened) was
  // entered: its return is the next stop.
  bool entered = false;
  int64_t opened = -1;  // the descriptor of the marked file, while its first read is awaited
  int deliver = 0;
  for (;;) {
    ::ptrace(PTRACE_SYSCALL, pid, nullptr, deliver);
    deliver = 0;
    if (::waitpid(pid, &status, 0) != pid || WIFEXITED(status) || WIFSIGNALED(status)) break;
    const int stop = WSTOPSIG(status);
    if (stop == SIGTRAP) continue;  // the exec
    if (stop != (SIGTRAP | 0x80)) {
      deliver = stop;  // the tool's own signals go on to it
      continue;
    }
    __ptrace_syscall_info info{};
    if (::ptrace(PTRACE_GET_SYSCALL_INFO, pid, sizeof info, &info) <= 0) continue;
    if (info.op == PTRACE_SYSCALL_INFO_ENTRY) {
      // The C library opens every file with openat.
      entered =
          opened >= 0
              ? info.entry.nr == SYS_read && static_cast<int64_t>(info.entry.args[0]) == opened
              : info.entry.nr == SYS_openat &&
                    TracedString(pid, info.entry.args[1]).find(marker) != std::string::npos;
      continue;
    }
    if (info.op != PTRACE_SYSCALL_INFO_EXIT || !entered) continue;
    if (paused.afterFirstRead && opened < 0) {
      opened = info.exit.rval;
      continue;
    }
    run.paused = true;
    if (paused.change) paused.change();
    if (paused.kill) {
      ::kill(pid, SIGKILL);
    } else {
      ::ptrace(PTRACE_DETACH, pid, nullptr, nullptr);
    }
    ::waitpid(pid, &status, 0);
    break;
  }
  CollectOutput(dir, status, run);
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
