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
#include <new>

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

Result PackOpen(PackState& pack, char* spec) {
  if (pack.open && pack.entryCount != 0) return Result::kOk;
  pack.dataStart = 0;
  pack.open = false;
  if (spec == nullptr) return Result::kFailed;

  char* comma = std::strchr(spec, ',');
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
  if (std::strlen(spec) > kMaxFileName) return Result::kFailed;
  pack.fileName = spec;

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

int32_t PackRead(PackState& pack, const char* name, std::span<uint8_t> buffer, int32_t offset) {
  if (pack.open) {
    InputFile file = InputFile::Open(pack.fileName.c_str());
    const std::optional<int32_t> found = file ? PackLookup(pack, name, file) : std::nullopt;
    if (found) {
      file.SeekTo(WrapAdd(WrapAdd(pack.dataStart, *found), offset));
      return file.Read(buffer);
    }
  }
  InputFile file = InputFile::Open(name);
  if (!file) return ToInt(Result::kFailed);
  file.SeekTo(offset);
  return file.Read(buffer);
}

bool PackReadBlock(PackState& pack, const char* name, int32_t offset, int32_t size,
                   std::vector<uint8_t>& block) {
  return ReadGrowing(offset, size, block, [&](std::span<uint8_t> part, int32_t position) {
    return PackRead(pack, name, part, position);
  });
}

int32_t PackReadInt32(PackState& pack, const char* name, int32_t offset, bool* ok) {
  std::array<uint8_t, 4> bytes{};
  const int32_t got = PackRead(pack, name, bytes, offset);
  if (ok != nullptr) *ok = got == 4;
  return LoadLe32(bytes.data());
}

}  // namespace tavikit
