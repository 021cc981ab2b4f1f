#include <cstdio>
#include <new>

#include "commands/commands.h"

namespace tavitool {

int RunCommand(const Command& c, int argc, char** argv) {
  try {
    if (c.runWords != nullptr) return c.runWords(argc, argv);
    const Args args = ParseArgs(std::span(argv + 1, static_cast<size_t>(argc - 1)), c.options);
    if (args.help) {
      std::printf("%s", c.help);
      return kExitOk;
    }
    return c.run(args);
  } catch (const ToolError& e) {
    std::fprintf(stderr, "tavikit %s: %s\n", c.name, e.what());
    if (e.status() == kExitUsage) std::fprintf(stderr, "\n%s", c.help);
    return e.status();
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "tavikit %s: out of memory\n", c.name);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tavikit %s: %s\n", c.name, e.what());
  }
  return kExitFailure;
}

}  // namespace tavitool
