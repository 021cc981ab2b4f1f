// The gallery without the rest of the tool, for builds that have no PNG library (the 32-bit
// one): `tavikit_gallery -o DIR` draws what `tavikit gallery -o DIR` draws.
#include "commands/commands.h"

int main(int argc, char** argv) {
  return tavitool::RunCommand(tavitool::kGalleryCommand, argc, argv);
}
