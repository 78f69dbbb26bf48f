// The command-line tool's subcommands. Each takes the arguments after its name and returns the
// exit status; a stop on the way is thrown as ToolStop (tool/tool_report.h).
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "tool/tool_arguments.h"

namespace varnock {

struct ToolCommand {
  const char* Name;
  const char* Help;  // the whole --help text: usage line, what it does, options
  std::span<const OptionSpec> Options;
  int (*Run)(const ParsedArguments& arguments);
};

// Every subcommand, in the order the overview lists them.
std::span<const ToolCommand> ToolCommands();
const ToolCommand* FindToolCommand(std::string_view name);

// The overview `varnock-tool --help` prints, every subcommand's help after it.
std::string ToolOverview();
std::string ToolVersion();

int RunExport(const ParsedArguments& arguments);
int RunImport(const ParsedArguments& arguments);
int RunDecompress(const ParsedArguments& arguments);
int RunCompress(const ParsedArguments& arguments);
int RunScan(const ParsedArguments& arguments);
int RunFind(const ParsedArguments& arguments);
int RunPalette(const ParsedArguments& arguments);
int RunChecksum(const ParsedArguments& arguments);
int RunFormats(const ParsedArguments& arguments);
int RunExtract(const ParsedArguments& arguments);
int RunBuild(const ParsedArguments& arguments);
int RunProject(const ParsedArguments& arguments);

// Runs `varnock-tool ARGUMENTS...`: the subcommand, its --help, the overview or the version.
int RunTool(std::span<const std::string> arguments);

}  // namespace varnock
