#include "frame/version.h"

#include <cstring>

namespace tavikit {

static_assert(sizeof(kVersionText) == 12);

void WriteVersion(uint8_t* buffer) { std::memcpy(buffer, kVersionText, sizeof(kVersionText)); }

}  // namespace tavikit
