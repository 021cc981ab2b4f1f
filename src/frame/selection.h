// The selection state: which screens copies read and write, and the copy rectangle.
#pragma once

#include <cstdint>

#include "common/rect.h"
#include "common/screen.h"
#include "tavikit.h"

namespace tavikit {

// Records are kept as pointers and read again on every call: the host may move a cursor or
// change a screen between two calls. The exports read them and pass the screens to the core.
struct Selection {
  const tavi_word* source = nullptr;
  const tavi_word* target = nullptr;
  CopyRect copy;

  Screen Source() const { return ReadScreen(source); }
  Screen Target() const { return ReadScreen(target); }
};

// The selection behind the exports of every subsystem that copies between screens.
Selection& ProcessSelection();

}  // namespace tavikit
