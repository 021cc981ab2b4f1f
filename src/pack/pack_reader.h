// The pack reader: every data file the library loads is read through PackRead, from the open
// "DPMX" pack when its directory holds the name, else from the disk file of that name.
//
// A pack is named by the text "file,offset" (the pack may lie inside a larger file). Once a pack
// whose directory has entries is open it stays open for the life of the process: later opens
// return 0 without looking at their text. No file is held open between calls, and the directory
// is read again from the file on every packed read.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/file.h"
#include "common/int32.h"
#include "common/result.h"

namespace tavikit {

struct PackState {
  std::string fileName;    // file part of the last open text that got past the offset test
  int32_t baseOffset = 0;  // where the pack starts inside its file
  int32_t dataStart = 0;   // absolute position of the data area: baseOffset + dataOffset
  int32_t entryCount = 0;  // directory records, from the last header read
  bool open = false;       // a header with the magic "DPMX" has been read
};

// The pack behind the exports.
PackState& ProcessPack();

// Opens the pack named by `packText` ("file,offset" or "file"). The "," in the caller's text is
// overwritten with a NUL byte. Returns kOk when a pack is open afterwards (newly or already),
// kFailed when none could be opened. A null text opens nothing.
Result PackOpen(PackState& pack, char* packText);

// Looks `name` up in the open pack's directory after lower-casing "A" to "Z"; returns the offset
// of the entry's data from the data area, or nothing. The first matching record wins. The
// directory is read through `packFile`, the pack's file opened by the caller, which can go on
// to read the entry through it.
std::optional<int32_t> PackLookup(const PackState& pack, const char* name, InputFile& packFile);

// Reads up to buffer.size() bytes of `name`, starting `offset` bytes into the pack entry or the
// disk file. Returns the number of bytes read, or -1 when no file could be opened. A packed read
// is not bounded by the entry's size; it runs on into whatever follows in the file.
int32_t PackRead(PackState& pack, const char* name, std::span<uint8_t> buffer, int32_t offset);

// Reads `size` bytes from `offset` into `block` (replacing its contents) through
// read(part, position), chunk by chunk, each chunk at its own wrapped 32-bit position and the
// block growing as data arrives: a size larger than the data never allocates more than about
// twice the bytes that exist. The block ends up holding the bytes that arrived; a read that
// brings fewer than asked ends it. Returns false only when memory ran out.
template <class Read>
bool ReadGrowing(int32_t offset, int32_t size, std::vector<uint8_t>& block, Read read) {
  constexpr size_t kFirstChunk = size_t{1} << 16;
  block.clear();
  if (size <= 0) return true;
  const auto wanted = static_cast<size_t>(size);
  try {
    size_t have = 0;
    size_t capacity = std::min(wanted, kFirstChunk);
    while (true) {
      block.resize(capacity);
      const std::span<uint8_t> part(block.data() + have, capacity - have);
      const int32_t got = read(part, WrapAdd(offset, static_cast<int32_t>(have)));
      have += static_cast<size_t>(std::max(got, 0));
      if (got < static_cast<int32_t>(part.size()) || have == wanted) break;
      capacity = std::min(wanted, capacity * 2);
    }
    block.resize(have);
    return true;
  } catch (const std::bad_alloc&) {
    block = std::vector<uint8_t>();
    return false;
  }
}

// ReadGrowing over the bytes PackRead serves for `name`.
bool PackReadBlock(PackState& pack, const char* name, int32_t offset, int32_t size,
                   std::vector<uint8_t>& block);

// The pack entry or disk file that PackRead serves for a name, opened once for all the reads of
// one load (a pack entry through the file its lookup read).
class PackEntry {
 public:
  PackEntry(const PackState& pack, const char* name);

  // Up to buffer.size() bytes from `offset` on; -1 when the file could not be opened.
  int32_t Read(std::span<uint8_t> buffer, int32_t offset);

  // The signed 32-bit little-endian value at `offset`, 0 for bytes that could not be read. `ok`,
  // when given, tells whether all four arrived.
  int32_t ReadInt32(int32_t offset, bool* ok = nullptr);

  // `size` bytes from `offset` on, in a block of exactly the bytes that arrive (kept by this
  // object until the next block); nothing when memory ran out.
  std::optional<std::span<const uint8_t>> ReadBlock(int32_t offset, int32_t size);

 private:
  InputFile file_;
  int32_t base_ = 0;
  std::unique_ptr<uint8_t[]> block_;  // a block read in one piece
  std::vector<uint8_t> grown_;        // or chunk by chunk
};

}  // namespace tavikit
