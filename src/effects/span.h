// Span and VisibleSpan now live in common/rect.h; this name stays for code written against it.
#pragma once

#include "common/rect.h"
