// The argument helpers now live in common/words.h; this name stays for code written against it.
#pragma once

#include "common/words.h"
