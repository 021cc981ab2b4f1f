// Pack opening, lookup and reads (and a picture load through the pack) on a file of arbitrary
// bytes.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_file.h"
#include "pack/pack_reader.h"
#include "pack/picture_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Leading bytes: the pack's base offset (0 to 255), a read offset (-128 to 127) and a block
  // size (0 to 65535); the rest is the file.
  if (size < 4) return 0;
  const int base = data[0];
  const int32_t offset = static_cast<int8_t>(data[1]);
  const int32_t blockSize = data[2] | data[3] << 8;
  tavifuzz::WriteScratch(data + 4, size - 4);

  tavikit::PackState pack;
  std::string packText = tavifuzz::ScratchPath() + "," + std::to_string(base);
  tavikit::PackOpen(pack, packText.data());
  // Names that the pack may hold; a name it does not hold is read from disk, where none exists.
  static const std::array<const char*, 4> kNames = {"a", "pic.tk", "Set.TKX",
                                                    "tavikit-no-such-file"};
  std::array<uint8_t, 64> buffer{};
  std::vector<uint8_t> block;
  for (const char* name : kNames) {
    tavikit::PackRead(pack, name, buffer, offset);
    tavikit::PackReadBlock(pack, name, offset, blockSize, block);
  }
  tavikit::Screen screen;
  screen.width = 16;
  screen.height = 16;
  std::vector<uint8_t> pixels(256, 0);
  screen.pixels = pixels.data();
  tavikit::LoadPicture(pack, screen, "pic.tk", nullptr);
  tavikit::LoadArchivePicture(pack, screen, "Set.TKX", offset & 3, nullptr);
  return 0;
}
