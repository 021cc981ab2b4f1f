// Picture decoding of arbitrary bytes at an arbitrary cursor on a small screen.
#include <cstdint>
#include <span>
#include <vector>

#include "pack/picture_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Two leading bytes place the cursor (-64 to 63 each); the rest is the picture.
  if (size < 2) return 0;
  tavikit::Screen screen;
  screen.width = 48;
  screen.height = 40;
  std::vector<uint8_t> pixels(static_cast<size_t>(screen.width) * screen.height, 0);
  screen.pixels = pixels.data();
  screen.cursorX = static_cast<int8_t>(data[0]) / 2;
  screen.cursorY = static_cast<int8_t>(data[1]) / 2;
  // The picture in a block of its own size, so that any read past it is caught.
  const std::vector<uint8_t> picture(data + 2, data + size);
  tavikit::DecodePicture(screen, picture);
  return 0;
}
