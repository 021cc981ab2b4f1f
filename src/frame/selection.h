// The selection state: which screens copies read and write, and the copy rectangle.
#pragma once

#include <cstdint>

#include "common/rect.h"
#include "common/screen.h"
#include "tavikit.h"

namespace tavikit {

// Records are kept as pointers and read again on every use: the host may move a cursor or
// change a screen between two calls.
struct Selection {
  const tavi_word* source = nullptr;
  const tavi_word* target = nullptr;
  CopyRect copy;

  Screen Source() const { return ReadScreen(source); }
  Screen Target() const { return ReadScreen(target); }
};

// The selection behind the exports; every subsystem that copies between screens reads it.
Selection& ProcessSelection();

}  // namespace tavikit
