#include "shell/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <cstring>

#include "shell/forms.h"
#include "shell/main_form.h"

namespace varnock {
namespace {

constexpr const char* kScreenshotOption = "--screenshot";

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
  parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("ROM images to open."),
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
  // The parser has checked the options; the names come from the raw bytes, since a name
  // that is not valid text would not survive the way through QString.
  bool onlyNames = false;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (onlyNames || argument[0] != '-' || argument[1] == '\0') {
      line.Files.emplace_back(argument);
    } else if (std::strcmp(argument, "--") == 0) {
      onlyNames = true;
    } else if (std::strcmp(argument, kScreenshotOption) == 0) {
      ++i;  // its value
    }
  }
  return line;
}

int OpenCommandLineFiles(const std::vector<QByteArray>& files) {
  int opened = 0;
  for (const QByteArray& file : files) {
    if (MainForm->OpenRomFile(file)) ++opened;
    // A failed first file must not end the run while more names wait; the caller decides.
    MainForm->TerminateRequested = false;
  }
  return opened;
}

}  // namespace varnock
