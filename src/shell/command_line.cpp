#include "shell/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <cstring>

#include "document/child_form.h"
#include "document/view_names.h"
#include "io/file_io.h"
#include "project/project_form.h"
#include "shell/forms.h"
#include "shell/main_form.h"

namespace varnock {
namespace {

// The options whose value may follow as the next argument, which is then no file name.
constexpr const char* kValueOptions[] = {"--screenshot", "--format", "--arrangement"};
constexpr const char* kStreamOption = "--stream";

// The option's value when `argument` is the option (the value is the next argument, which
// `i` then steps over) or "--option=value"; null for any other argument.
const char* OptionValue(const char* option, int argc, char** argv, int& i) {
  const char* argument = argv[i];
  const size_t length = std::strlen(option);
  if (std::strncmp(argument, option, length) != 0) return nullptr;
  if (argument[length] == '=') return argument + length + 1;
  if (argument[length] != '\0' || i + 1 >= argc) return nullptr;
  return argv[++i];
}

// The complaint about a name that stands for nothing, with the names there are.
QString UnknownName(const char* what, const QString& name, const QString& names) {
  return QStringLiteral("Unknown %1 '%2'. The %1s are: %3\n")
      .arg(QString::fromLatin1(what), name, names);
}

// Opens the files in turn, keeping each one's window (null for one that did not open). With a
// format or an arrangement, each window shows its file in them, from where a file of that
// format opens.
bool IsProjectFile(const QByteArray& file) {
  return UpperExtension(file.toStdString()) == ".VRKPROJ";
}

std::vector<TChildForm*> OpenFiles(const std::vector<QByteArray>& files,
                                   std::optional<TileFormat> format,
                                   std::optional<TileArrangement> arrangement, int* projects) {
  std::vector<TChildForm*> windows;
  for (const QByteArray& file : files) {
    if (IsProjectFile(file)) {
      // A project opens in its window; its ROM opens with its first resource.
      windows.push_back(nullptr);
      if (MainForm->ProjectForm->OpenProject(file.toStdString())) ++*projects;
      continue;
    }
    TChildForm* child = MainForm->OpenRomFile(file) ? MainForm->ActiveChild() : nullptr;
    if (child && format) {
      child->ChooseTileFormat(*format);
      child->MoveViewTo(child->Doc.OpeningOffset());
    }
    if (child && arrangement) child->ChooseArrangement(*arrangement);
    windows.push_back(child);
    // A failed first file must not end the run while more names wait; the caller decides.
    MainForm->TerminateRequested = false;
  }
  return windows;
}

bool IsTextOption(const char* argument) {
  for (const char* option : {"-h", "--help", "-?", "--help-all", "-v", "--version"})
    if (std::strcmp(argument, option) == 0) return true;
  return false;
}

}  // namespace

bool AsksOnlyForText(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) return false;
    if (IsTextOption(argv[i])) return true;
  }
  return false;
}

CommandLine ParseCommandLine(int argc, char** argv) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Editor for the tile graphics inside console ROM images."));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  const QCommandLineOption screenshot(
      QStringLiteral("screenshot"),
      QStringLiteral("Draw the main window with the FILEs open into OUT.png and exit; "
                     "messages go to standard error and questions take No or Cancel."),
      QStringLiteral("OUT.png"));
  parser.addOption(screenshot);
  const QString formatNames = QString::fromStdString(FormatNameList());
  const QString arrangementNames = QString::fromLatin1(kArrangementNameForms);
  const QCommandLineOption format(
      QStringLiteral("format"),
      QStringLiteral("Show the FILEs in encoding NAME instead of the one their extension "
                     "gives: %1.")
          .arg(formatNames),
      QStringLiteral("NAME"));
  parser.addOption(format);
  const QCommandLineOption arrangement(
      QStringLiteral("arrangement"),
      QStringLiteral("Order the FILEs' tiles on the grid by NAME: %1 (W and H 1 to 8).")
          .arg(arrangementNames),
      QStringLiteral("NAME"));
  parser.addOption(arrangement);
  const QCommandLineOption stream(
      QStringLiteral("stream"),
      QStringLiteral("Open the compressed graphics at OFFSET (hexadecimal after 0x, or decimal) "
                     "of the FILE before it as a window of their own; may be given more than "
                     "once. FORMAT is one of %1.")
          .arg(QString::fromStdString(CompressionShortNames())),
      QStringLiteral("FORMAT:OFFSET"));
  parser.addOption(stream);
  parser.addPositionalArgument(QStringLiteral("FILE"),
                               QStringLiteral("ROM images to open, and project files (.vrkproj)."),
                               QStringLiteral("[FILE...]"));
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);

  CommandLine line;
  if (!parser.parse(arguments)) {
    line.What = CommandLine::Action::Usage;
    line.Text = parser.errorText() + QStringLiteral("\n\n") + parser.helpText();
    return line;
  }
  if (parser.isSet(help)) {
    line.What = CommandLine::Action::Help;
    line.Text = parser.helpText();
    return line;
  }
  if (parser.isSet(version)) {
    line.What = CommandLine::Action::Version;
    line.Text = QCoreApplication::applicationName() + QLatin1Char(' ') +
                QCoreApplication::applicationVersion() + QLatin1Char('\n');
    return line;
  }
  line.Screenshot = parser.value(screenshot);
  if (parser.isSet(format)) {
    line.Format = ParseFormatName(parser.value(format).toStdString());
    if (!line.Format) {
      line.What = CommandLine::Action::Usage;
      line.Text = UnknownName("format", parser.value(format), formatNames);
      return line;
    }
  }
  if (parser.isSet(arrangement)) {
    line.Arrangement = ParseArrangementName(parser.value(arrangement).toStdString());
    if (!line.Arrangement) {
      line.What = CommandLine::Action::Usage;
      line.Text = UnknownName("arrangement", parser.value(arrangement),
                              arrangementNames + QStringLiteral(" (W and H 1 to 8)"));
      return line;
    }
  }
  // The parser has checked the options; the names come from the raw bytes, since a name
  // that is not valid text would not survive the way through QString. A stream belongs to
  // the file named before it, so the order of the arguments is read here too.
  bool onlyNames = false;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (onlyNames || argument[0] != '-' || argument[1] == '\0') {
      line.Files.emplace_back(argument);
    } else if (std::strcmp(argument, "--") == 0) {
      onlyNames = true;
    } else if (const char* value = OptionValue(kStreamOption, argc, argv, i)) {
      const StreamArgumentParse parse = ParseStreamArgument(value);
      if (!parse.Value) {
        line.What = CommandLine::Action::Usage;
        line.Text = QStringLiteral("--stream: %1\n\n%2")
                        .arg(QString::fromStdString(parse.Error), parser.helpText());
        return line;
      }
      line.Streams.push_back({*parse.Value, line.Files.empty() ? 0 : line.Files.size() - 1});
    } else {
      // Steps over the value of an option that takes one.
      for (const char* option : kValueOptions)
        if (OptionValue(option, argc, argv, i)) break;
    }
  }
  if (!line.Streams.empty() && line.Files.empty()) {
    line.What = CommandLine::Action::Usage;
    line.Text =
        QStringLiteral("--stream needs a FILE to open the graphics from.\n\n") + parser.helpText();
  }
  return line;
}

int OpenCommandLineFiles(const std::vector<QByteArray>& files, std::optional<TileFormat> format,
                         std::optional<TileArrangement> arrangement) {
  int projects = 0;
  const std::vector<TChildForm*> windows = OpenFiles(files, format, arrangement, &projects);
  return projects +
         static_cast<int>(std::ranges::count_if(windows, [](TChildForm* w) { return w; }));
}

CommandLineOpened OpenCommandLine(const CommandLine& line) {
  int projects = 0;
  const std::vector<TChildForm*> windows =
      OpenFiles(line.Files, line.Format, line.Arrangement, &projects);
  CommandLineOpened opened;
  opened.Files =
      projects + static_cast<int>(std::ranges::count_if(windows, [](TChildForm* w) { return w; }));
  for (const StreamRequest& request : line.Streams) {
    TChildForm* source = request.File < windows.size() ? windows[request.File] : nullptr;
    if (source && source->OpenStreamWindow(request.Stream.Offset, request.Stream.Format))
      ++opened.Streams;
  }
  return opened;
}

}  // namespace varnock
