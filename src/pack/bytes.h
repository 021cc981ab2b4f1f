// The little-endian loads now live in common/byte_reader.h; this name stays for code written
// against it.
#pragma once

#include "common/byte_reader.h"
