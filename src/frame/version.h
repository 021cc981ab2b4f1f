#pragma once

#include <cstdint>

namespace tavikit {

// The version text with its terminating zero: 12 bytes.
inline constexpr char kVersionText[] = "[tavi 2.11]";

// Copies the version text and its terminating zero to `buffer`.
void WriteVersion(uint8_t* buffer);

}  // namespace tavikit
