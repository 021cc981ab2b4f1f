// The subcommands of the tavikit tool.
#pragma once

#include <span>

#include "commands/cli.h"

namespace tavitool {

struct Command {
  const char* name;
  const char* summary;
  const char* help;                 // shown by --help, and after a usage error
  std::span<const Option> options;  // what the shared parser accepts
  int (*run)(const Args& args);
  // A command that reads its own words instead (argv[0] its name); returns the exit status.
  int (*runWords)(int argc, char** argv) = nullptr;
};

extern const Command kEncodeCommand, kDecodeCommand, kPaletteCommand, kArchiveCommand, kPackCommand,
    kListCommand, kExtractCommand, kInfoCommand, kScrambleCommand, kBankCommand, kGalleryCommand;

// Runs command `c` on its words (argv[0] its name): prints a failure as "tavikit NAME: why" and
// returns the exit status.
int RunCommand(const Command& c, int argc, char** argv);

int RunDemo(int argc, char** argv);

// The tool: runs the command argv[1] names with the words after it (UTF-8); the exit status.
int Main(int argc, char** argv);

}  // namespace tavitool
