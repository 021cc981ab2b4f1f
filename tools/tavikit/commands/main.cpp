// tavikit: the library's command-line companion. The process's entry is the platform's own
// (entry_posix.cpp, entry_win32.cpp); it hands the words over as UTF-8.
#include <cstdio>
#include <cstring>

#include "commands/commands.h"

#ifndef TAVIKIT_VERSION
#define TAVIKIT_VERSION "unknown"
#endif

namespace tavitool {
namespace {

const Command kDemoCommand{"demo",  "draw a scene with the library's exports and write it as a PNG",
                           nullptr, {},
                           nullptr, RunDemo};

constexpr const Command* kCommands[] = {
    &kDemoCommand,    &kEncodeCommand,   &kDecodeCommand, &kPaletteCommand,
    &kArchiveCommand, &kPackCommand,     &kListCommand,   &kExtractCommand,
    &kInfoCommand,    &kScrambleCommand, &kBankCommand,   &kGalleryCommand,
};

void Usage(std::FILE* out) {
  std::fprintf(out, "usage: tavikit COMMAND [ARGS...]\n       tavikit --version\n\ncommands:\n");
  for (const Command* c : kCommands)
    std::fprintf(out, "  %-10s %s\n", c->name, c->summary);
  std::fprintf(out, "\n'tavikit COMMAND --help' tells more.\n");
}

}  // namespace

int Main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("tavikit %s\n", TAVIKIT_VERSION);
    return kExitOk;
  }
  if (argc < 2 || std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0) {
    Usage(argc < 2 ? stderr : stdout);
    return argc < 2 ? kExitUsage : kExitOk;
  }
  for (const Command* c : kCommands) {
    if (std::strcmp(argv[1], c->name) == 0) return RunCommand(*c, argc - 1, argv + 1);
  }
  std::fprintf(stderr, "tavikit: unknown command '%s'\n", argv[1]);
  Usage(stderr);
  return kExitUsage;
}

}  // namespace tavitool
