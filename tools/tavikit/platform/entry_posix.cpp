// The tool's entry on POSIX systems, where the words arrive as bytes.
#include "commands/commands.h"

int main(int argc, char** argv) { return tavitool::Main(argc, argv); }
