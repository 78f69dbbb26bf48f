// Files named on the command line, as bytes and several at once, and the parsing of the line.
#include <QApplication>
#include <QFile>
#include <filesystem>

#include "compression/compression.h"
#include "document/view_names.h"
#include "shell/command_line.h"
#include "support/app_fixture.h"
#include "support/document_bytes.h"

namespace varnock::test {
namespace {

const auto kName = [](const auto& info) { return std::string(info.param.name); };

struct OpenCase {
  const char* name;
  std::vector<const char*> files;  // "missing..." names are not written
  int opened;
};
void PrintTo(const OpenCase& c, std::ostream* os) {
  *os << c.name;
}

class CommandLineFilesTest : public AppTest, public ::testing::WithParamInterface<OpenCase> {};

const OpenCase kOpenCases[] = {
    {"AllOpen", {"a.gb", "b.nes"}, 2},
    {"FirstMissingTheRestOpen", {"missing.gb", "a.gb", "b.nes"}, 2},
    {"MissingBetween", {"a.gb", "missing.nes", "b.nes"}, 2},
    {"NoneOpen", {"missing.gb", "missing2.gb"}, 0},
    // Not valid UTF-8: the bytes must reach the file system unchanged.
    {"NotText", {"\xff\xfe-rom.gb", "caf\xe9.nes"}, 2},
};

TEST_P(CommandLineFilesTest, ReportsFailuresAndOpensTheRest) {
  const OpenCase& c = GetParam();
  std::vector<QByteArray> files;
  std::vector<std::string> missing;
  for (const char* name : c.files) {
    const std::string file = std::string(name);
    if (file.starts_with("missing")) {
      files.emplace_back(QByteArray::fromStdString(dir.File(file)));
      missing.push_back(dir.File(file));
    } else {
      files.emplace_back(QByteArray::fromStdString(dir.Write(file, PatternBytes(32768, 1))));
    }
  }
  EXPECT_EQ(OpenCommandLineFiles(files), c.opened);
  EXPECT_EQ(MainForm->RomWindowCount(), c.opened);
  EXPECT_FALSE(MainForm->TerminateRequested);
  ASSERT_EQ(prompts.Messages.size(), missing.size());
  for (size_t i = 0; i < missing.size(); ++i)
    EXPECT_EQ(prompts.Messages[i].Text,
              QStringLiteral("Error: Could not open the file '%1'.\nNo such file or directory")
                  .arg(QString::fromStdString(missing[i])));
}

INSTANTIATE_TEST_SUITE_P(Files, CommandLineFilesTest, ::testing::ValuesIn(kOpenCases), kName);

using CommandLineView = AppTest;

// An iNES image opens at its character ROM in NES format from the command line as from its
// extension, with its tiles in the arrangement given and both marked in the menus.
TEST_F(CommandLineView, FilesOpenInTheFormatAndArrangementGiven) {
  std::vector<uint8_t> bytes = PatternBytes(16 + 16384 + 8192, 3);
  std::copy_n("NES\x1A\x01\x01", 6, bytes.begin());
  const std::string path = dir.Write("game.bin", bytes);
  ASSERT_EQ(OpenCommandLineFiles({QByteArray::fromStdString(path)}, 1, kArrangement8x16), 1);
  TChildForm* child = MainForm->ActiveChild();
  EXPECT_EQ(child->ScrollBar->value(), 16 + 16384);
  EXPECT_TRUE(child->FormatItems[1]->isChecked());
  EXPECT_TRUE(child->ArrangementItems[1]->isChecked());
  EXPECT_EQ(child->Doc.Arrangement, kArrangement8x16);
}

using CommandLineNames = AppTest;

TEST_F(CommandLineNames, ANameThatIsNotTextIsShownAsItDecodesAndSavedUnderItsBytes) {
  const std::string path = dir.Write("\xff-game.bin", PatternBytes(4096, 1));
  ASSERT_EQ(OpenCommandLineFiles({QByteArray::fromStdString(path)}), 1);
  TChildForm* child = MainForm->ActiveChild();
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child->windowTitle(), QFile::decodeName("\xff-game.bin"));
  EXPECT_EQ(child->Doc.PalettePath, dir.File("\xff-game.VRK"));
  test::FlipByte(child->Doc, 0);
  child->Doc.Modified = true;
  MainForm->SaveSpdBtn->click();
  EXPECT_TRUE(prompts.Messages.empty());
  EXPECT_FALSE(child->Doc.Modified);
  EXPECT_EQ(ReadFile(path)[0], child->Doc.RomData[0]);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

struct ParseCase {
  const char* name;
  std::vector<const char*> arguments;  // after the program's name
  CommandLine::Action what;
  const char* screenshot;
  std::vector<const char*> files;
  int format = -1;                    // -1: none given
  const char* arrangement = nullptr;  // its short name; null: none given
};
void PrintTo(const ParseCase& c, std::ostream* os) {
  *os << c.name;
}

class ParseTest : public ::testing::TestWithParam<ParseCase> {};

const ParseCase kParseCases[] = {
    {"NoArguments", {}, CommandLine::Action::Run, "", {}},
    {"Files", {"a.gb", "b.nes"}, CommandLine::Action::Run, "", {"a.gb", "b.nes"}},
    {"Screenshot",
     {"--screenshot", "out.png", "a.gb"},
     CommandLine::Action::Run,
     "out.png",
     {"a.gb"}},
    {"ScreenshotWithEquals",
     {"a.gb", "--screenshot=o.png", "b"},
     CommandLine::Action::Run,
     "o.png",
     {"a.gb", "b"}},
    {"DashesEndOptions", {"--", "--help", "-x"}, CommandLine::Action::Run, "", {"--help", "-x"}},
    {"LoneDashIsAName", {"-"}, CommandLine::Action::Run, "", {"-"}},
    {"BytesKept", {"\xff\xfe.gb"}, CommandLine::Action::Run, "", {"\xff\xfe.gb"}},
    {"Help", {"a.gb", "--help"}, CommandLine::Action::Help, "", {}},
    {"ShortHelp", {"-h"}, CommandLine::Action::Help, "", {}},
    {"Version", {"--version"}, CommandLine::Action::Version, "", {}},
    {"Unknown", {"--frobnicate", "a.gb"}, CommandLine::Action::Usage, "", {}},
    {"ScreenshotWithoutValue", {"--screenshot"}, CommandLine::Action::Usage, "", {}},
    {"ValuesAreNoFiles",
     {"--format", "snes8", "--arrangement", "8x16", "a.gb", "--format=GBA",
      "--arrangement=Cols:4x4"},
     CommandLine::Action::Run,
     "",
     {"a.gb"},
     9,
     "cols:4x4"},
    {"UnknownArrangement", {"--arrangement", "cols:9x9"}, CommandLine::Action::Usage, "", {}},
};

TEST_P(ParseTest, TellsWhatTheLineAsks) {
  const ParseCase& c = GetParam();
  std::vector<std::string> storage{"varnock"};
  for (const char* argument : c.arguments) storage.emplace_back(argument);
  std::vector<char*> argv;
  for (std::string& argument : storage) argv.push_back(argument.data());
  const CommandLine line = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
  EXPECT_EQ(line.What, c.what);
  if (c.what != CommandLine::Action::Run) {
    EXPECT_FALSE(line.Text.isEmpty());
    return;
  }
  EXPECT_EQ(line.Screenshot, QString::fromLatin1(c.screenshot));
  EXPECT_EQ(line.Format, c.format < 0 ? std::nullopt : std::optional<TileFormat>(c.format));
  EXPECT_EQ(line.Arrangement ? ArrangementName(*line.Arrangement) : "",
            c.arrangement ? c.arrangement : "");
  ASSERT_EQ(line.Files.size(), c.files.size());
  for (size_t i = 0; i < c.files.size(); ++i) EXPECT_EQ(line.Files[i], QByteArray(c.files[i]));
}

INSTANTIATE_TEST_SUITE_P(CommandLine, ParseTest, ::testing::ValuesIn(kParseCases), kName);

struct UnattendedCase {
  const char* name;
  PromptButtons buttons;
  PromptAnswer answer;
};
void PrintTo(const UnattendedCase& c, std::ostream* os) {
  *os << c.name;
}

class UnattendedTest : public ::testing::TestWithParam<UnattendedCase> {};

TEST_P(UnattendedTest, WritesTheMessageAndTakesTheSafeAnswer) {
  const UnattendedCase& c = GetParam();
  ::testing::internal::CaptureStderr();
  const PromptAnswer answer = UnattendedPrompts().MessageBox(
      QStringLiteral("Save changes to a.gb?"), QStringLiteral("Varnock Pro"), c.buttons,
      PromptIcon::Question);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Varnock Pro: Save changes to a.gb?\n");
  EXPECT_EQ(answer, c.answer);
}

INSTANTIATE_TEST_SUITE_P(
    Prompts, UnattendedTest,
    ::testing::Values(UnattendedCase{"Ok", PromptButtons::Ok, PromptAnswer::Ok},
                      UnattendedCase{"YesNo", PromptButtons::YesNo, PromptAnswer::No},
                      UnattendedCase{"YesNoCancel", PromptButtons::YesNoCancel,
                                     PromptAnswer::Cancel}),
    kName);

TEST(UnattendedPromptsTest, OpensNoDialog) {
  FileDialogInfo info;
  EXPECT_EQ(UnattendedPrompts().OpenFileName(info, QString()), std::nullopt);
  EXPECT_EQ(UnattendedPrompts().SaveFileName(info, QString()), std::nullopt);
  EXPECT_EQ(UnattendedPrompts().ChooseColor(Qt::red), std::nullopt);
}

struct StreamParseCase {
  const char* name;
  std::vector<const char*> arguments;
  // The streams' files and offsets, all LZ77 10; empty with `usage` set for a refusal.
  std::vector<std::pair<size_t, int32_t>> streams;
  const char* usage = nullptr;  // part of the refusal
};
void PrintTo(const StreamParseCase& c, std::ostream* os) {
  *os << c.name;
}

class StreamParseTest : public ::testing::TestWithParam<StreamParseCase> {};

TEST_P(StreamParseTest, GivesEachStreamTheFileBeforeIt) {
  const StreamParseCase& c = GetParam();
  std::vector<std::string> storage{"varnock"};
  for (const char* argument : c.arguments) storage.emplace_back(argument);
  std::vector<char*> argv;
  for (std::string& argument : storage) argv.push_back(argument.data());
  const CommandLine line = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
  if (c.usage) {
    EXPECT_EQ(line.What, CommandLine::Action::Usage);
    EXPECT_TRUE(line.Text.contains(QString::fromUtf8(c.usage))) << line.Text.toStdString();
    return;
  }
  ASSERT_EQ(line.What, CommandLine::Action::Run) << line.Text.toStdString();
  EXPECT_EQ(line.Files.size(), 2u);
  ASSERT_EQ(line.Streams.size(), c.streams.size());
  for (size_t i = 0; i < c.streams.size(); ++i) {
    EXPECT_EQ(line.Streams[i].File, c.streams[i].first);
    EXPECT_EQ(line.Streams[i].Stream.Offset, c.streams[i].second);
    EXPECT_EQ(line.Streams[i].Stream.Format, CompressionFormat::Lz10);
  }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, StreamParseTest,
    ::testing::Values(
        StreamParseCase{"AfterEachFile",
                        {"a.gba", "--stream", "lz10:0x1C40", "b.gba", "--stream=LZ10:16"},
                        {{0, 0x1C40}, {1, 16}}},
        StreamParseCase{"BeforeAnyFileTakesTheFirst",
                        {"--stream", "lz10:8", "a.gba", "--screenshot", "o.png", "b.gba"},
                        {{0, 8}}},
        StreamParseCase{"NoFile", {"--stream", "lz10:0"}, {}, "needs a FILE"},
        StreamParseCase{"NoValue", {"a.gba", "--stream"}, {}, "Usage:"}),
    [](const auto& info) { return std::string(info.param.name); });

using CommandLineStreams = AppTest;

TEST_F(CommandLineStreams, OpensEachStreamBesideItsFileAndReportsOneThatDoesNotDecode) {
  std::vector<uint8_t> image = PatternBytes(0x10000, 3);
  const std::vector<uint8_t> tiles(1024, 0x11);
  std::ranges::copy(*Compress(CompressionFormat::Lz10, tiles), image.begin() + 0x400);
  MainForm->showNormal();  // room for both windows side by side, clear of the tool windows
  MainForm->resize(2400, 900);
  QApplication::processEvents();
  CommandLine line;
  line.Files = {QByteArray::fromStdString(dir.Write("other.gba", image)),
                QByteArray::fromStdString(dir.Write("game.gba", image))};
  line.Streams = {{{CompressionFormat::Lz10, 0x401, std::nullopt}, 1},
                  {{CompressionFormat::Lz10, 0x400, 0x100}, 1}};
  const CommandLineOpened opened = OpenCommandLine(line);
  EXPECT_EQ(opened.Files, 2);
  EXPECT_EQ(opened.Streams, 1);
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_EQ(prompts.Messages[0].Text,
            QStringLiteral("No LZ77 10 stream starts at 0x401: its header is not of this format."));
  TChildForm* stream = MainForm->ActiveChild();
  ASSERT_EQ(MainForm->RomWindowCount(), 3);
  EXPECT_EQ(stream->windowTitle(), QStringLiteral("game.gba @ 0x400 [LZ77 10, spazio 256 byte]"));
  // Beside its own file's window, even where the other window already is.
  const TChildForm* source = MainForm->RomWindows()[1];
  EXPECT_EQ(stream->x(), source->frameGeometry().right() + 1);
  EXPECT_GE(stream->y(), source->y());
}

}  // namespace
}  // namespace varnock::test
