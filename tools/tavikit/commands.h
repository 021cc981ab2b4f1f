// The subcommands of the tavikit tool.
#pragma once

namespace tavitool {

struct Command {
  const char* name;
  const char* summary;
  // Runs with argv[0] the command's name; returns the exit status.
  int (*run)(int argc, char** argv);
};

int RunDemo(int argc, char** argv);
int RunEncode(int argc, char** argv);
int RunDecode(int argc, char** argv);
int RunArchive(int argc, char** argv);
int RunPack(int argc, char** argv);
int RunList(int argc, char** argv);

// True when argv holds -h or --help.
bool WantsHelp(int argc, char** argv);

}  // namespace tavitool
