// Exports of the background map: registering the script's cells, single cells, point tests.
#include "bgmap/bg_map.h"
#include "common/process_state.h"
#include "common/words.h"
#include "tavikit.h"

namespace tavikit {

BgMap& ProcessBgMap() {
  static ProcessStorage<BgMap> storage;
  return ProcessInstance(storage);
}

}  // namespace tavikit

using namespace tavikit;

int32_t TAVIKIT_CALL tavi_InitBGMAP(tavi_word cells, tavi_word columns, tavi_word rows, tavi_word) {
  ProcessBgMap() = BgMap{ArgPtr<uint8_t>(cells), ArgInt(columns), ArgInt(rows)};
  return 0;
}

int32_t TAVIKIT_CALL tavi_ChkBGMAP(tavi_word points, tavi_word count, tavi_word threshold,
                                   tavi_word) {
  return AnyPointReaches(ProcessBgMap(), ArgPtr<const int32_t>(points), ArgInt(count),
                         ArgByte(threshold))
             ? -1
             : 0;
}

int32_t TAVIKIT_CALL tavi_SetBGMAP(tavi_word cx, tavi_word cy, tavi_word value, tavi_word) {
  SetBgCell(ProcessBgMap(), ArgInt(cx), ArgInt(cy), ArgByte(value));
  return 0;
}

int32_t TAVIKIT_CALL tavi_GetBGMAP(tavi_word cx, tavi_word cy, tavi_word, tavi_word) {
  return -static_cast<int32_t>(BgCellValue(ProcessBgMap(), ArgInt(cx), ArgInt(cy)));
}
