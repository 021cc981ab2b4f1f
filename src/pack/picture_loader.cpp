// Picture loaders. Each opens the picture's file once, reads the whole picture into one block of
// the size its fileSize asks for, cut to the bytes the file holds after the picture's start, and
// frees it before returning: a fileSize beyond the end of the data, or negative, costs nothing.
// Positions are those PackRead uses: the pack entry's start plus the offset, wrapping as 32-bit
// values, a position of 0 or less reading from the start of the file.
#include "pack/picture_loader.h"

#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <vector>

#include "common/byte_reader.h"
#include "common/file.h"
#include "common/formats.h"
#include "common/int32.h"
#include "common/result.h"
#include "pack/picture_decoder.h"

namespace tavikit {

std::optional<PictureHead> ReadPictureHead(PackEntry& file, int32_t offset) {
  // The magic and the three fields after it, read together; bytes past the file's end read as 0.
  std::array<uint8_t, formats::kPictureHeightAt + 4> head{};
  const int32_t headBytes = file.Read(head, offset);
  if (headBytes < 4 || !formats::InPictureMagicRange(LoadLe32(head.data()))) return std::nullopt;
  return PictureHead{LoadLe32(head.data() + formats::kPictureFileSizeAt),
                     LoadLe32(head.data() + formats::kPictureWidthAt),
                     LoadLe32(head.data() + formats::kPictureHeightAt)};
}

ArchiveLookup FindArchivePicture(PackEntry& file, int32_t index, int32_t& offset, int32_t* count) {
  constexpr int32_t kArchiveMagic = 0x69764154;  // formats::kArchiveMagic, "TAvi", as one word
  bool ok = false;
  if (file.ReadInt32(0, &ok) != kArchiveMagic || !ok) return ArchiveLookup::kNotAnArchive;
  const int32_t pictures = file.ReadInt32(formats::kArchiveCountAt);
  if (count != nullptr) *count = pictures;
  // A negative index would read its offset from inside the archive's own header.
  if (index < 0 || index > pictures) return ArchiveLookup::kBadIndex;
  offset = file.ReadInt32(WrapAdd(formats::kArchiveOffsetsAt, WrapMul(4, index)));
  return ArchiveLookup::kFound;
}

namespace {

// Draws the picture that starts `offset` bytes into the file.
int32_t DrawPictureAt(PackEntry& file, const Screen& screen, int32_t offset) {
  const std::optional<PictureHead> head = ReadPictureHead(file, offset);
  if (!head) return 0;
  const std::optional<std::span<const uint8_t>> block = file.ReadBlock(offset, head->fileSize);
  if (!block) return ToInt(Result::kNoMemory);
  if (!block->empty()) DecodePicture(screen, *block);
  return 0;
}

// What a loader returns when the lookup found no picture to draw.
int32_t NotFoundResult(ArchiveLookup found) {
  return found == ArchiveLookup::kBadIndex ? ToInt(Result::kFailed) : 0;
}

}  // namespace

int32_t LoadPicture(PackState& state, const Screen& screen, const char* name, char* packText) {
  PackOpen(state, packText);
  PackEntry file(state, name);
  return DrawPictureAt(file, screen, 0);
}

int32_t LoadArchivePicture(PackState& state, const Screen& screen, const char* name, int32_t index,
                           char* packText) {
  PackOpen(state, packText);
  PackEntry file(state, name);
  int32_t offset = 0;
  const ArchiveLookup found = FindArchivePicture(file, index, offset);
  if (found != ArchiveLookup::kFound) return NotFoundResult(found);
  return DrawPictureAt(file, screen, offset);
}

int32_t ArchivePictureKind(PackState& state, const char* name, int32_t index, char* packText) {
  PackOpen(state, packText);
  PackEntry file(state, name);
  int32_t offset = 0;
  const ArchiveLookup found = FindArchivePicture(file, index, offset);
  if (found != ArchiveLookup::kFound) return NotFoundResult(found);
  std::array<uint8_t, 4> magic{};
  file.Read(magic, offset);
  return Report(magic[2]);
}

}  // namespace tavikit
