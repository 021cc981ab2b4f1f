// Keyed row copies: every source byte except the key colour replaces the destination byte. The
// inner loops compare and merge a word (or an SSE2 or AVX2 vector) at a time, with no branch per
// pixel; AVX-512 stores only the bytes that are not the key, under a mask.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tavikit {

// Portable: 4 bytes at a time with a byte-wise equality mask, then the last bytes one by one.
void CopyRowKeyedScalar(uint8_t* dst, const uint8_t* src, size_t n, uint8_t key);

// The widest form the processor runs (chosen once per process), same result as the scalar one.
// It reads `kKeyedRowGroup` source bytes at a time before writing them, so when the two runs
// overlap with dst less than that far ahead of src the result differs from a byte-by-byte copy.
void CopyRowKeyed(uint8_t* dst, const uint8_t* src, size_t n, uint8_t key);

inline constexpr size_t kKeyedRowGroup = 64;

// CopyRowKeyed over `rows` rows of `n` bytes each, the rows `dstStride` and `srcStride` bytes
// apart, in row order; the form is chosen once for the whole block. The block's source and
// destination must not overlap.
void CopyBlockKeyed(uint8_t* dst, intptr_t dstStride, const uint8_t* src, intptr_t srcStride,
                    size_t n, size_t rows, uint8_t key);

}  // namespace tavikit
