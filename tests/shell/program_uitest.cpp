// The real program started as a user starts it: names as bytes, a screenshot run that never
// waits, help, version and usage.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/test_files.h"

extern char** environ;

namespace varnock::test {
namespace {

struct Outcome {
  int status = -1;  // exit status; -1 when it had to be killed or did not exit
  std::string out;
  std::string err;
};

std::string Text(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadFile(path);
  return std::string(bytes.begin(), bytes.end());
}

// Runs the program with `arguments` (bytes, passed unchanged); a run that has not ended after
// 60 seconds is killed and reported as status -1.
Outcome RunProgram(const TempDir& dir, const std::vector<std::string>& arguments) {
  std::vector<std::string> storage{VARNOCK_PROGRAM};
  storage.insert(storage.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : storage) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const std::string out = dir.File("stdout.txt");
  const std::string err = dir.File("stderr.txt");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  Outcome run;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return run;
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return run;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
  run.out = Text(out);
  run.err = Text(err);
  return run;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(Program, ScreenshotReportsAMissingFileOnStandardErrorAndEndsWithOne) {
  TempDir dir;
  const std::string missing = dir.File("missing.gb");
  const std::string rom = dir.Write("a.gb", PatternBytes(32768, 1));
  const Outcome run = RunProgram(dir, {"--screenshot", dir.File("out.png"), missing, rom});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, "Varnock Pro: Error: Could not open the file '" + missing + "'."))
      << run.err;
  EXPECT_TRUE(std::filesystem::exists(dir.File("out.png")));
}

TEST(Program, ScreenshotShowsAnInvalidPaletteAsAMessageAndGoesOn) {
  TempDir dir;
  const std::string rom = dir.Write("a.gb", PatternBytes(32768, 1));
  dir.Write("a.VRK", PatternBytes(64, 2));
  const Outcome run = RunProgram(dir, {"--screenshot", dir.File("out.png"), rom});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.err, "Varnock Pro: Error: Palette is not a valid Varnock Pro palette."))
      << run.err;
  EXPECT_TRUE(std::filesystem::exists(dir.File("out.png")));
}

TEST(Program, ANameThatIsNotTextOpens) {
  TempDir dir;
  const std::string rom = dir.Write("\xff\xfe-game.gb", PatternBytes(32768, 1));
  const Outcome run = RunProgram(dir, {"--screenshot", dir.File("out.png"), rom});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_FALSE(Contains(run.err, "Could not open")) << run.err;
}

// Encodings in the user's data folder load at start-up: one is chosen by its file's name, a bad
// one is reported once with its line, and the run goes on without waiting.
TEST(Program, EncodingsInTheUsersFolderLoadAndABadOneIsReportedOnce) {
  TempDir dir;
  const std::string good = "[encoding]\nbits = 1\nbytes = 8\nplane0 = 0, 1, 8\n";
  const std::string bad = "[encoding]\nbits = 1\nbytes = 1\nplane0 = 0, 1, 8\n";
  std::filesystem::create_directories(dir.File("Varnock Pro/codecs"));
  dir.Write("Varnock Pro/codecs/mono.vrkcodec", {good.begin(), good.end()});
  const std::string refused =
      dir.Write("Varnock Pro/codecs/short.vrkcodec", {bad.begin(), bad.end()});
  const std::string rom = dir.Write("a.bin", PatternBytes(4096, 1));
  setenv("XDG_DATA_HOME", dir.path().c_str(), 1);  // the test runs under a scratch home
  const Outcome run = RunProgram(dir, {"--format", "MONO", "--screenshot", dir.File("o.png"), rom});
  const Outcome help = RunProgram(dir, {"--help"});
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string report = refused + ": line 3: ";
  EXPECT_NE(run.err.find(report), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find(report), run.err.rfind(report)) << "reported once";
  EXPECT_TRUE(Contains(help.out, "linear8 mono.")) << help.out;
}

TEST(Program, ScreenshotReportsAStreamThatDoesNotDecodeAndEndsWithOne) {
  TempDir dir;
  std::vector<uint8_t> image = PatternBytes(0x8000, 1);
  image[0x100] = 0x10;  // an LZ77 10 header whose stream the data cannot finish
  const std::string rom = dir.Write("a.gba", image);
  const Outcome run =
      RunProgram(dir, {"--screenshot", dir.File("out.png"), rom, "--stream", "lz10:0x100"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, "Varnock Pro: No LZ77 10 stream starts at 0x100: ")) << run.err;
  EXPECT_TRUE(std::filesystem::exists(dir.File("out.png")));
}

struct TextCase {
  const char* name;
  std::vector<std::string> arguments;
  int status;
  const char* inOut;  // expected on standard output; null: standard output stays empty
  const char* inErr;  // expected on standard error; null: not checked
};
void PrintTo(const TextCase& c, std::ostream* os) {
  *os << c.name;
}

class ProgramText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ProgramText, AnswersWithoutOpeningAWindow) {
  const TextCase& c = GetParam();
  TempDir dir;
  const Outcome run = RunProgram(dir, c.arguments);
  EXPECT_EQ(run.status, c.status) << run.err;
  if (c.inOut) {
    EXPECT_TRUE(Contains(run.out, c.inOut)) << run.out;
  } else {
    EXPECT_EQ(run.out, "");
  }
  if (c.inErr) {
    EXPECT_TRUE(Contains(run.err, c.inErr)) << run.err;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Program, ProgramText,
    ::testing::Values(TextCase{"Help", {"--help"}, 0, "--screenshot <OUT.png>", nullptr},
                      TextCase{"HelpListsStreams", {"--help"}, 0, "lz10, lz11, rle30", nullptr},
                      TextCase{"BadStream", {"a.gb", "--stream", "x:0"}, 2, nullptr, "'x' is"},
                      TextCase{"ShortHelp", {"-h"}, 0, "[FILE...]", nullptr},
                      TextCase{"Version", {"--version"}, 0, "Varnock Pro 1.1\n", nullptr},
                      TextCase{"UnknownOption", {"--frobnicate"}, 2, nullptr, "Usage:"},
                      TextCase{"UnknownNamesTheOption", {"-q", "a.gb"}, 2, nullptr, "'q'"},
                      TextCase{"ScreenshotWithoutName", {"--screenshot"}, 2, nullptr, "Usage:"},
                      TextCase{"UnknownFormatListsTheFormats",
                               {"--format", "snes9", "a.gb"},
                               2,
                               nullptr,
                               "Unknown format 'snes9'. The formats are: 1bpp nes gb vb ngpc"},
                      TextCase{"UnknownArrangementListsTheForms",
                               {"--arrangement=cols:0x2", "a.gb"},
                               2,
                               nullptr,
                               "8x8 8x16 16x16 cols:WxH rows:WxH"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnock::test
