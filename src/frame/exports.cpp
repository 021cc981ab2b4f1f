// Exports of the frame: version, selection and plain copies.
#include "common/export_guard.h"
#include "common/process_state.h"
#include "common/words.h"
#include "frame/block_copy.h"
#include "frame/selection.h"
#include "frame/version.h"
#include "tavikit.h"

namespace tavikit {

Selection& ProcessSelection() {
  static ProcessStorage<Selection> storage;
  return ProcessInstance(storage);
}

}  // namespace tavikit

using namespace tavikit;

int32_t TAVIKIT_CALL tavi_GetTaviVER(tavi_word, tavi_word, tavi_word, tavi_word buffer) {
  return GuardExport(kReturnsZero, [&] { WriteVersion(ArgPtr<uint8_t>(buffer)); });
}

int32_t TAVIKIT_CALL tavi_fset(tavi_word screen, tavi_word, tavi_word, tavi_word) {
  ProcessSelection().source = ArgPtr<const tavi_word>(screen);
  return 0;
}

int32_t TAVIKIT_CALL tavi_tset(tavi_word screen, tavi_word, tavi_word, tavi_word) {
  ProcessSelection().target = ArgPtr<const tavi_word>(screen);
  return 0;
}

int32_t TAVIKIT_CALL tavi_copyset(tavi_word x, tavi_word y, tavi_word w, tavi_word h) {
  ProcessSelection().copy = CopyRect{ArgInt(x), ArgInt(y), ArgInt(w), ArgInt(h)};
  return 0;
}

int32_t TAVIKIT_CALL tavi_gcopy(tavi_word x, tavi_word y, tavi_word w, tavi_word h) {
  return GuardExport(kReturnsZero, [&] {
    const Selection& sel = ProcessSelection();
    CopyToCursor(sel.Target(), sel.Source(), ArgInt(x), ArgInt(y), ArgInt(w), ArgInt(h));
  });
}

int32_t TAVIKIT_CALL tavi_fillcopy(tavi_word x, tavi_word y, tavi_word sx, tavi_word sy) {
  return GuardExport(kReturnsZero, [&] {
    const Selection& sel = ProcessSelection();
    FillWindow(sel.Target(), sel.Source(), ArgInt(x), ArgInt(y), ArgInt(sx), ArgInt(sy));
  });
}

int32_t TAVIKIT_CALL tavi_tilecopy(tavi_word w, tavi_word h, tavi_word ox, tavi_word oy) {
  return GuardExport(kReturnsZero, [&] {
    const Selection& sel = ProcessSelection();
    TileCopy(sel.Target(), sel.Source(), sel.copy, ArgInt(w), ArgInt(h), ArgInt(ox), ArgInt(oy));
  });
}
