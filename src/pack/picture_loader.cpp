// Picture loaders. Each opens the picture's file once, reads the whole picture into one block of
// the size its fileSize asks for, cut to the bytes the file holds after the picture's start, and
// frees it before returning: a fileSize beyond the end of the data, or negative, costs nothing.
// Positions are those PackRead uses: the pack entry's start plus the offset, wrapping as 32-bit
// values, a position of 0 or less reading from the start of the file.
#include "pack/picture_loader.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <new>
#include <optional>
#include <span>

#include "common/byte_reader.h"
#include "common/file.h"
#include "common/formats.h"
#include "common/int32.h"
#include "common/result.h"
#include "pack/picture_decoder.h"

namespace tavikit {
namespace {

constexpr int32_t kArchiveMagic = 0x69764154;  // formats::kArchiveMagic, "TAvi", read as one word
using formats::kArchiveCountAt;
using formats::kArchiveOffsetsAt;

// The pack entry or disk file that PackRead serves for a name, opened once for all the reads of
// one load (a pack entry through the file its lookup read).
class PictureFile {
 public:
  PictureFile(PackState& state, const char* name) {
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

  // Up to buffer.size() bytes from `offset` on; -1 when the file could not be opened.
  int32_t Read(std::span<uint8_t> buffer, int32_t offset) {
    if (!file_) return -1;
    if (!file_.SeekTo(WrapAdd(base_, offset))) return 0;
    return file_.Read(buffer);
  }

  // The signed 32-bit little-endian value at `offset`, 0 for bytes that could not be read.
  int32_t ReadInt32(int32_t offset, bool* ok = nullptr) {
    std::array<uint8_t, 4> bytes{};
    const int32_t got = Read(bytes, offset);
    if (ok != nullptr) *ok = got == 4;
    return LoadLe32(bytes.data());
  }

  // `size` bytes from `offset` into a block of exactly the bytes that arrive. Returns false only
  // when memory ran out.
  bool ReadBlock(int32_t offset, int32_t size, std::unique_ptr<uint8_t[]>& block, size_t& got) {
    got = 0;
    if (size <= 0 || !file_) return true;
    const int32_t position = WrapAdd(base_, offset);
    const int64_t length = file_.Length();
    // From the file's start (position 0) the chunks would land where one read puts them.
    if (position < 0 || length < 0 || int64_t{position} + size > INT32_MAX) {
      return ReadBlockInChunks(offset, size, block, got);
    }
    const int64_t there = std::max<int64_t>(0, length - position);
    const auto wanted = static_cast<size_t>(std::min<int64_t>(size, there));
    try {
      block = std::make_unique_for_overwrite<uint8_t[]>(wanted);
    } catch (const std::bad_alloc&) {
      return false;
    }
    got = static_cast<size_t>(std::max(Read(std::span(block.get(), wanted), offset), 0));
    return true;
  }

 private:
  // Positions that start before the file's start, or wrap, are read as PackRead reads
  // them: chunk by chunk, each chunk at its own wrapped position.
  bool ReadBlockInChunks(int32_t offset, int32_t size, std::unique_ptr<uint8_t[]>& block,
                         size_t& got) {
    constexpr size_t kFirstChunk = size_t{1} << 16;
    const auto wanted = static_cast<size_t>(size);
    try {
      size_t capacity = std::min(wanted, kFirstChunk);
      while (true) {
        auto grown = std::make_unique_for_overwrite<uint8_t[]>(capacity);
        if (got > 0) std::copy_n(block.get(), got, grown.get());
        block = std::move(grown);
        const std::span<uint8_t> part(block.get() + got, capacity - got);
        const int32_t n = Read(part, WrapAdd(offset, static_cast<int32_t>(got)));
        got += static_cast<size_t>(std::max(n, 0));
        if (n < static_cast<int32_t>(part.size()) || got == wanted) break;
        capacity = std::min(wanted, capacity * 2);
      }
      return true;
    } catch (const std::bad_alloc&) {
      block.reset();
      got = 0;
      return false;
    }
  }

  InputFile file_;
  int32_t base_ = 0;
};

// Draws the picture that starts `offset` bytes into the file.
int32_t DrawPictureAt(PictureFile& file, const Screen& screen, int32_t offset) {
  // The magic and fileSize, read together.
  std::array<uint8_t, kPictureFileSizeAt + 4> head{};
  const int32_t headBytes = file.Read(head, offset);
  const int32_t magic = LoadLe32(head.data());
  if (headBytes < 4 || !InPictureMagicRange(magic)) return 0;
  const int32_t fileSize = LoadLe32(head.data() + kPictureFileSizeAt);
  std::unique_ptr<uint8_t[]> block;
  size_t got = 0;
  if (!file.ReadBlock(offset, fileSize, block, got)) return ToInt(Result::kNoMemory);
  if (got > 0) DecodePicture(screen, std::span<const uint8_t>(block.get(), got));
  return 0;
}

// The position of picture `index` of the archive in `file`, as FindArchivePicture.
ArchiveLookup FindPicture(PictureFile& file, int32_t index, int32_t& offset) {
  bool ok = false;
  if (file.ReadInt32(0, &ok) != kArchiveMagic || !ok) return ArchiveLookup::kNotAnArchive;
  const int32_t count = file.ReadInt32(kArchiveCountAt);
  // A negative index would read its offset from inside the archive's own header.
  if (index < 0 || index > count) return ArchiveLookup::kBadIndex;
  offset = file.ReadInt32(WrapAdd(kArchiveOffsetsAt, WrapMul(4, index)));
  return ArchiveLookup::kFound;
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

ArchiveLookup FindArchivePicture(PackState& state, const char* name, int32_t index,
                                 int32_t& offset) {
  PictureFile file(state, name);
  return FindPicture(file, index, offset);
}

int32_t LoadArchivePicture(PackState& state, const Screen& screen, const char* name, int32_t index,
                           char* pack) {
  PackOpen(state, pack);
  PictureFile file(state, name);
  int32_t offset = 0;
  const ArchiveLookup found = FindPicture(file, index, offset);
  if (found != ArchiveLookup::kFound) return NotFoundResult(found);
  return DrawPictureAt(file, screen, offset);
}

int32_t ArchivePictureKind(PackState& state, const char* name, int32_t index, char* pack) {
  PackOpen(state, pack);
  PictureFile file(state, name);
  int32_t offset = 0;
  const ArchiveLookup found = FindPicture(file, index, offset);
  if (found != ArchiveLookup::kFound) return NotFoundResult(found);
  std::array<uint8_t, 4> magic{};
  file.Read(magic, offset);
  return Report(magic[2]);
}

}  // namespace tavikit
