// What the command line asks for, and opening the files it names.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

#include "codec/tile_format.h"
#include "document/stream_argument.h"
#include "document/tile_arrangement.h"

namespace varnock {

// A --stream of the command line: a compressed stream of a file to open as a window.
struct StreamRequest {
  StreamArgument Stream;
  size_t File = 0;  // index into CommandLine::Files: the last name before it, else the first
};

struct CommandLine {
  enum class Action { Run, Help, Version, Usage };
  Action What = Action::Run;
  // The picture to draw instead of running; empty for a normal run.
  QString Screenshot;
  // File names exactly as given: bytes, which need not be valid in any encoding.
  std::vector<QByteArray> Files;
  // The encoding and the arrangement the files open in, instead of what their extensions give.
  std::optional<TileFormat> Format;
  std::optional<TileArrangement> Arrangement;
  std::vector<StreamRequest> Streams;
  // Help or version text for standard output, or the complaint and the usage for standard
  // error.
  QString Text;
};

// Reads the arguments the application object left (its own options taken out). Format names
// are those registered so far: load the user's encodings first. An unknown format or
// arrangement name is a Usage whose text lists the names there are.
CommandLine ParseCommandLine(int argc, char** argv);

// True when the arguments only ask for help or the version, which need no display.
bool AsksOnlyForText(int argc, char** argv);

// Opens the files in turn: one that cannot be opened is reported and the next still opens.
// With a format or an arrangement, each window shows its file in them, from where a file of
// that format opens. Returns how many opened.
int OpenCommandLineFiles(const std::vector<QByteArray>& files,
                         std::optional<TileFormat> format = std::nullopt,
                         std::optional<TileArrangement> arrangement = std::nullopt);

struct CommandLineOpened {
  int Files = 0;
  int Streams = 0;
};

// Opens the files, then each stream from its file's window, beside it; the last stream
// window opened is the active one. A stream that does not decode is reported like a file that
// cannot be opened; one whose file did not open is not tried. How many of each opened.
CommandLineOpened OpenCommandLine(const CommandLine& line);

}  // namespace varnock
