// Picture loaders. Each reads the whole picture into one block and frees it before returning.
// The block is as large as the picture's fileSize at most, and never larger than about twice the
// bytes that are really there: a fileSize beyond the end of the data, or negative, costs nothing.
#include "pack/picture_loader.h"

#include <array>
#include <vector>

#include "frame/int32.h"
#include "pack/picture_decoder.h"

namespace tavikit {
namespace {

constexpr int32_t kArchiveMagic = 0x69764154;  // "TAvi"
constexpr int32_t kArchiveCountAt = 4;
constexpr int32_t kArchiveOffsetsAt = 8;

// Draws the picture that starts `offset` bytes into `name`.
int32_t DrawPictureAt(PackState& state, const Screen& screen, const char* name, int32_t offset) {
  bool ok = false;
  const int32_t magic = PackReadInt32(state, name, offset, &ok);
  if (!ok || !InPictureMagicRange(magic)) return 0;
  const int32_t fileSize = PackReadInt32(state, name, WrapAdd(offset, kPictureFileSizeAt));
  std::vector<uint8_t> block;
  if (!PackReadBlock(state, name, offset, fileSize, block)) return -100;
  DecodePicture(screen, block);
  return 0;
}

}  // namespace

int32_t LoadPicture(PackState& state, const Screen& screen, const char* name, char* pack) {
  PackOpen(state, pack);
  return DrawPictureAt(state, screen, name, 0);
}

int32_t FindArchivePicture(PackState& state, const char* name, int32_t index, int32_t& offset) {
  bool ok = false;
  if (PackReadInt32(state, name, 0, &ok) != kArchiveMagic || !ok) return 1;
  const int32_t count = PackReadInt32(state, name, kArchiveCountAt);
  // A negative index would read its offset from inside the archive's own header.
  if (index < 0 || index > count) return -1;
  offset = PackReadInt32(state, name, WrapAdd(kArchiveOffsetsAt, WrapMul(4, index)));
  return 0;
}

int32_t LoadArchivePicture(PackState& state, const Screen& screen, const char* name, int32_t index,
                           char* pack) {
  PackOpen(state, pack);
  int32_t offset = 0;
  const int32_t found = FindArchivePicture(state, name, index, offset);
  if (found != 0) return found < 0 ? found : 0;
  return DrawPictureAt(state, screen, name, offset);
}

int32_t ArchivePictureKind(PackState& state, const char* name, int32_t index, char* pack) {
  PackOpen(state, pack);
  int32_t offset = 0;
  const int32_t found = FindArchivePicture(state, name, index, offset);
  if (found != 0) return found < 0 ? found : 0;
  std::array<uint8_t, 4> magic{};
  PackRead(state, name, magic, offset);
  return -static_cast<int32_t>(magic[2]);
}

}  // namespace tavikit
