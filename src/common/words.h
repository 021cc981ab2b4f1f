// Unpacking export arguments. Every export receives four words; an integer argument is the low
// 32 bits of its word read as signed, a byte-sized parameter its low 8 bits, a pointer the whole
// word.
#pragma once

#include <cstdint>

#include "tavikit.h"

namespace tavikit {

inline int32_t ArgInt(tavi_word w) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uintptr_t>(w)));
}

inline uint8_t ArgByte(tavi_word w) { return static_cast<uint8_t>(static_cast<uintptr_t>(w)); }

template <class T>
T* ArgPtr(tavi_word w) {
  return reinterpret_cast<T*>(w);  // NOLINT(performance-no-int-to-ptr): the host passes addresses
}

}  // namespace tavikit
