// The "DPMX" pack format, as this reader depends on it:
//  - a 16-byte header at the pack's base offset: "DPMX", dataOffset, entryCount, reserved;
//  - entryCount directory records of 32 bytes right after it: a NUL-terminated lower-case name
//    in 24 bytes, then the entry's offset from the data area and its size (not used to bound
//    reads);
//  - integers are 32-bit little-endian, assembled byte by byte; positions wrap as 32-bit values
//    and a position before the start of a file reads from the start.
#include "pack/pack_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

#include "common/byte_reader.h"
#include "common/file.h"
#include "common/formats.h"
#include "common/int32.h"

namespace tavikit {
namespace {

constexpr size_t kMaxFileName = 1023;

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Decimal text to a signed 32-bit value: leading white space, an optional sign, digits up to the
// first other byte; no digits give 0. Values beyond the 32-bit range saturate.
int32_t ParseDecimal(const char* text) {
  while (IsSpace(*text))
    ++text;
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  int64_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text)
    value = std::min<int64_t>(value * 10 + (*text - '0'), int64_t{INT32_MAX} + 1);
  if (negative) return static_cast<int32_t>(-value);
  return static_cast<int32_t>(std::min<int64_t>(value, INT32_MAX));
}

}  // namespace

Result PackOpen(PackState& pack, char* packText) {
  if (pack.open && pack.entryCount != 0) return Result::kOk;
  pack.dataStart = 0;
  pack.open = false;
  if (packText == nullptr) return Result::kFailed;

  char* comma = std::strchr(packText, ',');
  pack.baseOffset = 0;
  if (comma != nullptr) {
    *comma = '\0';
    pack.baseOffset = ParseDecimal(comma + 1);
  }
  if (pack.baseOffset < 0) {
    pack.baseOffset = 0;
    return Result::kFailed;
  }
  // The name the pack is read from on every later lookup; a longer one than its 1023-byte field
  // could hold is refused rather than cut to a different name.
  if (std::strlen(packText) > kMaxFileName) return Result::kFailed;
  pack.fileName = packText;

  InputFile file = InputFile::Open(pack.fileName.c_str());
  if (!file) return Result::kFailed;
  file.SeekTo(pack.baseOffset);
  std::array<uint8_t, formats::kPackHeaderSize> bytes{};
  if (file.Read(bytes) < static_cast<int32_t>(bytes.size())) return Result::kFailed;
  ByteReader header(bytes);
  const std::span<const uint8_t> magic = *header.Bytes(4);
  const int32_t dataOffset = *header.I32le();
  pack.dataStart = WrapAdd(dataOffset, pack.baseOffset);
  pack.entryCount = *header.I32le();
  if (std::memcmp(magic.data(), formats::kPackMagic, 4) != 0) return Result::kFailed;
  pack.open = true;
  return Result::kOk;
}

std::optional<int32_t> PackLookup(const PackState& pack, const char* name, InputFile& file) {
  // Only ASCII capitals change; bytes from 0x80 up are left as they are.
  std::string wanted(name);
  for (char& c : wanted) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
  }
  file.SeekTo(WrapAdd(pack.baseOffset, static_cast<int32_t>(formats::kPackHeaderSize)));
  std::array<uint8_t, formats::kPackRecordSize> record{};
  for (int32_t i = 0; i < pack.entryCount; ++i) {
    if (file.Read(record) < static_cast<int32_t>(record.size())) break;
    // The name ends at its first NUL; one that fills its field runs on into the record's numbers,
    // and can then equal only a wanted name that long.
    const size_t length = strnlen(reinterpret_cast<const char*>(record.data()), record.size());
    if (length == wanted.size() && std::memcmp(record.data(), wanted.data(), length) == 0) {
      ByteReader fields(record);
      fields.Bytes(formats::kPackNameField);
      return *fields.I32le();
    }
  }
  return std::nullopt;
}

PackEntry::PackEntry(const PackState& state, const char* name) {
  if (state.open) {
    file_ = InputFile::Open(state.fileName.c_str());
    const std::optional<int32_t> found = file_ ? PackLookup(state, name, file_) : std::nullopt;
    if (found) {
      base_ = WrapAdd(state.dataStart, *found);
      return;
    }
  }
  file_ = InputFile::Open(name);
  // Every read of a loader is a few header bytes or a whole object: straight from the file, one
  // system call each.
  if (file_) file_.Unbuffered();
}

int32_t PackEntry::Read(std::span<uint8_t> buffer, int32_t offset) {
  if (!file_) return -1;
  if (!file_.SeekTo(WrapAdd(base_, offset))) return 0;
  return file_.Read(buffer);
}

int32_t PackEntry::ReadInt32(int32_t offset, bool* ok) {
  std::array<uint8_t, 4> bytes{};
  const int32_t got = Read(bytes, offset);
  if (ok != nullptr) *ok = got == 4;
  return LoadLe32(bytes.data());
}

std::optional<std::span<const uint8_t>> PackEntry::ReadBlock(int32_t offset, int32_t size) {
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

int32_t PackRead(PackState& pack, const char* name, std::span<uint8_t> buffer, int32_t offset) {
  return PackEntry(pack, name).Read(buffer, offset);
}

bool PackReadBlock(PackState& pack, const char* name, int32_t offset, int32_t size,
                   std::vector<uint8_t>& block) {
  return ReadGrowing(offset, size, block, [&](std::span<uint8_t> part, int32_t position) {
    return PackRead(pack, name, part, position);
  });
}

}  // namespace tavikit
