// Copies and fills of a few bytes to a few hundred: the short stretches of pictures and mosaic
// blocks. Short ones go in a few fixed-size moves (the last one ending at the stretch's end,
// overlapping the one before) instead of a library call whose set-up costs more than the move;
// long ones go through the library.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tavikit {

// Covers the n <= 128 bytes of a stretch with moves of 16, 8, 4 or 1 bytes: move(offset, size)
// for each.
template <class Move>
inline void InPieces(size_t n, Move move) {
  if (n >= 16) {
    for (size_t i = 0; i + 16 < n; i += 16)
      move(i, 16);
    move(n - 16, 16);
  } else if (n >= 8) {
    move(0, 8);
    move(n - 8, 8);
  } else if (n >= 4) {
    move(0, 4);
    move(n - 4, 4);
  } else {
    for (size_t i = 0; i < n; ++i)
      move(i, 1);
  }
}

inline constexpr size_t kShortMoveLimit = 128;

// Copies n bytes between buffers that do not overlap.
inline void CopyShort(uint8_t* dst, const uint8_t* src, size_t n) {
  if (n > kShortMoveLimit) {
    std::memcpy(dst, src, n);
  } else {
    InPieces(n, [&](size_t k, size_t size) { std::memcpy(dst + k, src + k, size); });
  }
}

// Sets n bytes to `value`.
inline void FillShort(uint8_t* dst, uint8_t value, size_t n) {
  if (n > kShortMoveLimit) {
    std::memset(dst, value, n);
  } else {
#if UINTPTR_MAX > 0xFFFFFFFFu
    const uint64_t word = value * uint64_t{0x0101010101010101};
    const std::array<uint64_t, 2> pattern{word, word};
#else
    // 32-bit builds make it of 32-bit words, which the compiler spreads over one vector and
    // stores at once: a 64-bit word made there in two halves and read back as one 8-byte vector
    // waits for both stores at every fill.
    const uint32_t word = value * 0x01010101u;
    const std::array<uint32_t, 4> pattern{word, word, word, word};
#endif
    InPieces(n, [&](size_t k, size_t size) { std::memcpy(dst + k, pattern.data(), size); });
  }
}

}  // namespace tavikit
