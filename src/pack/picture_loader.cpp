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

PictureFile::PictureFile(PackState& state, const char* name) {
  if (state.open) {
    file_ = InputFile::Open(state.fileName.c_str());
    const std::optional<int32_t> found = file_ ? PackLookup(state, name, file_) : std::nullopt;
    if (found) {
      base_ = WrapAdd(state.dataStart, *found);
      return;
    }
  }
  file_ = InputFile::Open(name);
  // Every read of a picture file is a few header bytes or a whole picture: straight from the
  // file, one system call each.
  if (file_) file_.Unbuffered();
}

int32_t PictureFile::Read(std::span<uint8_t> buffer, int32_t offset) {
  if (!file_) return -1;
  if (!file_.SeekTo(WrapAdd(base_, offset))) return 0;
  return file_.Read(buffer);
}

int32_t PictureFile::ReadInt32(int32_t offset, bool* ok) {
  std::array<uint8_t, 4> bytes{};
  const int32_t got = Read(bytes, offset);
  if (ok != nullptr) *ok = got == 4;
  return LoadLe32(bytes.data());
}

std::optional<std::span<const uint8_t>> PictureFile::ReadBlock(int32_t offset, int32_t size) {
  if (size <= 0 || !file_) return std::span<const uint8_t>();
  const int32_t position = WrapAdd(base_, offset);
  const int64_t length = file_.Length();
  // Positions that start before the file's start, or wrap, are read as PackRead reads them:
  // chunk by chunk, each at its own wrapped position.
  if (position < 0 || length < 0 || int64_t{position} + size > INT32_MAX) {
    const bool read =
        ReadGrowing(offset, size, grown_,
                    [this](std::span<uint8_t> part, int32_t at) { return Read(part, at); });
    if (!read) return std::nullopt;
    return std::span<const uint8_t>(grown_);
  }
  const int64_t there = std::max<int64_t>(0, length - position);
  const auto wanted = static_cast<size_t>(std::min<int64_t>(size, there));
  try {
    block_ = std::make_unique_for_overwrite<uint8_t[]>(wanted);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  const auto got = static_cast<size_t>(std::max(Read(std::span(block_.get(), wanted), offset), 0));
  return std::span<const uint8_t>(block_.get(), got);
}

std::optional<PictureHead> ReadPictureHead(PictureFile& file, int32_t offset) {
  // The magic and the three fields after it, read together; bytes past the file's end read as 0.
  std::array<uint8_t, kPictureHeightAt + 4> head{};
  const int32_t headBytes = file.Read(head, offset);
  if (headBytes < 4 || !InPictureMagicRange(LoadLe32(head.data()))) return std::nullopt;
  return PictureHead{LoadLe32(head.data() + kPictureFileSizeAt),
                     LoadLe32(head.data() + kPictureWidthAt),
                     LoadLe32(head.data() + kPictureHeightAt)};
}

ArchiveLookup FindArchivePicture(PictureFile& file, int32_t index, int32_t& offset,
                                 int32_t* count) {
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
int32_t DrawPictureAt(PictureFile& file, const Screen& screen, int32_t offset) {
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

int32_t LoadPicture(PackState& state, const Screen& screen, const char* name, char* pack) {
  PackOpen(state, pack);
  PictureFile file(state, name);
  return DrawPictureAt(file, screen, 0);
}

int32_t LoadArchivePicture(PackState& state, const Screen& screen, const char* name, int32_t index,
                           char* pack) {
  PackOpen(state, pack);
  PictureFile file(state, name);
  int32_t offset = 0;
  const ArchiveLookup found = FindArchivePicture(file, index, offset);
  if (found != ArchiveLookup::kFound) return NotFoundResult(found);
  return DrawPictureAt(file, screen, offset);
}

int32_t ArchivePictureKind(PackState& state, const char* name, int32_t index, char* pack) {
  PackOpen(state, pack);
  PictureFile file(state, name);
  int32_t offset = 0;
  const ArchiveLookup found = FindArchivePicture(file, index, offset);
  if (found != ArchiveLookup::kFound) return NotFoundResult(found);
  std::array<uint8_t, 4> magic{};
  file.Read(magic, offset);
  return Report(magic[2]);
}

}  // namespace tavikit
