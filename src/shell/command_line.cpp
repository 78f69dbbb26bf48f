#include "shell/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <cstring>

#include "document/child_form.h"
#include "document/view_names.h"
#include "shell/forms.h"
#include "shell/main_form.h"

namespace varnock {
namespace {

// The options whose value may follow as the next argument, which is then no file name.
constexpr const char* kValueOptions[] = {"--screenshot", "--format", "--arrangement"};

bool TakesValue(const char* argument) {
  for (const char* option : kValueOptions)
    if (std::strcmp(argument, option) == 0) return true;
  return false;
}

// The complaint about a name that stands for nothing, with the names there are.
QString UnknownName(const char* what, const QString& name, const QString& names) {
  return QStringLiteral("Unknown %1 '%2'. The %1s are: %3\n")
      .arg(QString::fromLatin1(what), name, names);
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
  // that is not valid text would not survive the way through QString.
  bool onlyNames = false;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (onlyNames || argument[0] != '-' || argument[1] == '\0') {
      line.Files.emplace_back(argument);
    } else if (std::strcmp(argument, "--") == 0) {
      onlyNames = true;
    } else if (TakesValue(argument)) {
      ++i;  // its value
    }
  }
  return line;
}

int OpenCommandLineFiles(const std::vector<QByteArray>& files, std::optional<TileFormat> format,
                         std::optional<TileArrangement> arrangement) {
  int opened = 0;
  for (const QByteArray& file : files) {
    if (MainForm->OpenRomFile(file)) {
      ++opened;
      TChildForm* child = MainForm->ActiveChild();
      if (child && format) {
        child->ChooseTileFormat(*format);
        child->MoveViewTo(child->Doc.OpeningOffset());
      }
      if (child && arrangement) child->ChooseArrangement(*arrangement);
    }
    // A failed first file must not end the run while more names wait; the caller decides.
    MainForm->TerminateRequested = false;
  }
  return opened;
}

}  // namespace varnock
