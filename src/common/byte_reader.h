// Little-endian fields of the library's file formats, assembled byte by byte so that no format
// depends on the machine's byte order, and a bounded reader over a block of bytes: a span and a
// position, whose named reads fail (return nothing and stay put) instead of reading past the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tavikit {

// Unchecked loads for loops that have already checked their bounds.
inline uint32_t LoadLe24(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16;
}

inline int32_t LoadLe32(const uint8_t* p) {
  return static_cast<int32_t>(LoadLe24(p) | static_cast<uint32_t>(p[3]) << 24);
}

class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  size_t Position() const { return position_; }
  size_t Remaining() const { return bytes_.size() - position_; }
  bool Has(size_t n) const { return Remaining() >= n; }

  std::optional<uint8_t> U8() {
    if (!Has(1)) return std::nullopt;
    return bytes_[position_++];
  }
  std::optional<uint32_t> U24le() {
    if (!Has(3)) return std::nullopt;
    const uint32_t v = LoadLe24(bytes_.data() + position_);
    position_ += 3;
    return v;
  }
  std::optional<int32_t> I32le() {
    if (!Has(4)) return std::nullopt;
    const int32_t v = LoadLe32(bytes_.data() + position_);
    position_ += 4;
    return v;
  }
  // The next n bytes as they stand.
  std::optional<std::span<const uint8_t>> Bytes(size_t n) {
    if (!Has(n)) return std::nullopt;
    const std::span<const uint8_t> part = bytes_.subspan(position_, n);
    position_ += n;
    return part;
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
};

}  // namespace tavikit
