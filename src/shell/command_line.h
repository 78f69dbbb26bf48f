// What the command line asks for, and opening the files it names.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace varnock {

struct CommandLine {
  enum class Action { Run, Help, Version, Usage };
  Action What = Action::Run;
  // The picture to draw instead of running; empty for a normal run.
  QString Screenshot;
  // File names exactly as given: bytes, which need not be valid in any encoding.
  std::vector<QByteArray> Files;
  // Help or version text for standard output, or the complaint and the usage for standard
  // error.
  QString Text;
};

// Reads the arguments the application object left (its own options taken out).
CommandLine ParseCommandLine(int argc, char** argv);

// True when the arguments only ask for help or the version, which need no display.
bool AsksOnlyForText(int argc, char** argv);

// Opens the files in turn: one that cannot be opened is reported and the next still opens.
// Returns how many opened.
int OpenCommandLineFiles(const std::vector<QByteArray>& files);

}  // namespace varnock
