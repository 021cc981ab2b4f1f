// The screen view now lives in common/screen.h; this name stays for code written against it.
#pragma once

#include "common/screen.h"
