// Keyed row copies: every source byte except the key colour replaces the destination byte. The
// inner loops compare and merge a word (or an SSE2 vector) at a time, with no branch per pixel.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tavikit {

// Portable: 4 bytes at a time with a byte-wise equality mask, then the last bytes one by one.
void CopyRowKeyedScalar(uint8_t* dst, const uint8_t* src, size_t n, uint8_t key);

// The fastest form the build has (SSE2 where the compiler targets it), same result as the
// scalar one.
void CopyRowKeyed(uint8_t* dst, const uint8_t* src, size_t n, uint8_t key);

}  // namespace tavikit
