// The 32-bit arithmetic helpers now live in common/int32.h; this name stays for code written
// against it.
#pragma once

#include "common/int32.h"
