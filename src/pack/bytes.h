// Little-endian fields of the pack and picture formats, assembled byte by byte so that the
// formats do not depend on the machine's byte order.
#pragma once

#include <cstdint>

namespace tavikit {

inline uint32_t LoadLe24(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16;
}

inline int32_t LoadLe32(const uint8_t* p) {
  return static_cast<int32_t>(LoadLe24(p) | static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace tavikit
