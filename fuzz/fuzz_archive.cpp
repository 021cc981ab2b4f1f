// Archive and picture loading from a file of arbitrary bytes.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_file.h"
#include "pack/picture_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A leading byte picks the picture index (-2 to 253); the rest is the file.
  if (size < 1) return 0;
  tavifuzz::WriteScratch(data + 1, size - 1);
  tavikit::PackState pack;
  tavikit::Screen screen;
  screen.width = 32;
  screen.height = 24;
  std::vector<uint8_t> pixels(static_cast<size_t>(screen.width) * screen.height, 0);
  screen.pixels = pixels.data();
  screen.cursorX = -3;
  screen.cursorY = 5;
  const char* name = tavifuzz::ScratchPath().c_str();
  const int32_t index = static_cast<int32_t>(data[0]) - 2;
  tavikit::LoadArchivePicture(pack, screen, name, index, nullptr);
  tavikit::ArchivePictureKind(pack, name, index, nullptr);
  tavikit::LoadPicture(pack, screen, name, nullptr);
  return 0;
}
