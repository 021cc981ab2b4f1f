// tavikit: the library's command-line companion.
#include <cstdio>
#include <cstring>

#include "commands.h"

namespace tavitool {
namespace {

constexpr Command kCommands[] = {
    {"demo", "draw a scene with the library's exports and write it as a PNG", RunDemo},
    {"encode", "write an indexed PNG as a compressed picture (TK00, TK10, TK01, TK11)", RunEncode},
    {"decode", "draw a picture (or ARCHIVE#N) with the library and write it as a PNG", RunDecode},
    {"archive", "gather pictures into a picture archive", RunArchive},
    {"pack", "gather files into a DPMX data pack, alone or after another file", RunPack},
    {"list", "list a pack, an archive or a picture", RunList},
};

void Usage(std::FILE* out) {
  std::fprintf(out, "usage: tavikit COMMAND [ARGS...]\n\ncommands:\n");
  for (const Command& c : kCommands)
    std::fprintf(out, "  %-10s %s\n", c.name, c.summary);
  std::fprintf(out, "\n'tavikit COMMAND --help' tells more.\n");
}

}  // namespace

bool WantsHelp(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) return true;
  }
  return false;
}

}  // namespace tavitool

int main(int argc, char** argv) {
  using namespace tavitool;
  if (argc < 2 || std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0) {
    Usage(argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  for (const Command& c : kCommands) {
    if (std::strcmp(argv[1], c.name) == 0) return c.run(argc - 1, argv + 1);
  }
  std::fprintf(stderr, "tavikit: unknown command '%s'\n", argv[1]);
  Usage(stderr);
  return 2;
}
