// Exports of the sprite cells: the cell table, drawing, capture and loading.
#include "cells/cell_draw.h"
#include "cells/cell_load.h"
#include "cells/cell_table.h"
#include "cells/run_length.h"
#include "common/export_guard.h"
#include "common/process_state.h"
#include "common/screen.h"
#include "common/words.h"
#include "pack/pack_reader.h"
#include "tavikit.h"

namespace tavikit {

CellState& ProcessCells() {
  static ProcessStorage<CellState> storage;
  return ProcessInstance(storage);
}

namespace {

// A capture of w x h pixels at the screen's cursor into cell n, plain or full colour.
using Capture = void (*)(CellState&, const Screen&, int32_t, int32_t, int32_t);
int32_t CaptureExport(Capture capture, tavi_word screen, tavi_word n, tavi_word w, tavi_word h) {
  return GuardExport(kReturnsZero, [&] {
    capture(ProcessCells(), ScreenArg(screen), ArgInt(n), ArgInt(w), ArgInt(h));
  });
}

}  // namespace
}  // namespace tavikit

using namespace tavikit;

int32_t TAVIKIT_CALL chibi_Init(tavi_word, tavi_word, tavi_word, tavi_word) {
  return GuardExport(kReturnsZero, [] { InitCells(ProcessCells()); });
}

int32_t TAVIKIT_CALL chibi_Compress(tavi_word n, tavi_word, tavi_word, tavi_word) {
  return GuardExport(kReturnsZero, [&] {
    Cell* cell = ProcessCells().Find(ArgInt(n));
    return cell != nullptr ? Report(CompressCell(*cell)) : 0;
  });
}

int32_t TAVIKIT_CALL chibi_Free(tavi_word first, tavi_word last, tavi_word, tavi_word) {
  return GuardExport(kReturnsZero, [&] { FreeCells(ProcessCells(), ArgInt(first), ArgInt(last)); });
}

int32_t TAVIKIT_CALL chibi_GetInfo(tavi_word n, tavi_word item, tavi_word, tavi_word) {
  return GuardExport(kReturnsZero, [&] {
    const std::optional<int32_t> value = CellInfo(ProcessCells(), ArgInt(n), ArgInt(item));
    return value ? Report(*value) : ToInt(Result::kFailed);
  });
}

int32_t TAVIKIT_CALL chibi_AllFree(tavi_word, tavi_word, tavi_word, tavi_word) {
  return GuardExport(kReturnsZero, [] { FreeCells(ProcessCells(), 0, CellState::kCells - 1); });
}

int32_t TAVIKIT_CALL chibi_Put(tavi_word screen, tavi_word n, tavi_word transparency, tavi_word) {
  return GuardExport(kReturnsZero, [&] {
    PutCell(ProcessCells(), ScreenArg(screen), ArgInt(n), ArgInt(transparency));
  });
}

int32_t TAVIKIT_CALL chibi_PutM(tavi_word screen, tavi_word n, tavi_word key, tavi_word) {
  return GuardExport(kReturnsZero, [&] {
    PutCellMasked(ProcessCells(), ScreenArg(screen), ArgInt(n), ArgInt(key));
  });
}

int32_t TAVIKIT_CALL chibi_SetCLIP(tavi_word x, tavi_word y, tavi_word w, tavi_word h) {
  SetCellClip(ProcessCells(), ArgInt(x), ArgInt(y), ArgInt(w), ArgInt(h));
  return 0;
}

int32_t TAVIKIT_CALL chibi_Get(tavi_word screen, tavi_word n, tavi_word w, tavi_word h) {
  return CaptureExport(CaptureCell, screen, n, w, h);
}

int32_t TAVIKIT_CALL chibi_GetF(tavi_word screen, tavi_word n, tavi_word w, tavi_word h) {
  return CaptureExport(CaptureColourCell, screen, n, w, h);
}

int32_t TAVIKIT_CALL chibi_LoadTK(tavi_word n, tavi_word name, tavi_word background,
                                  tavi_word packText) {
  return GuardExport(NoMemoryOr(Result::kOk), [&] {
    return LoadCellPicture(ProcessCells(), ProcessPack(), ArgInt(n), ArgPtr<const char>(name),
                           ArgInt(background), ArgPtr<char>(packText));
  });
}

int32_t TAVIKIT_CALL chibi_LoadTKX(tavi_word n, tavi_word name, tavi_word index,
                                   tavi_word background) {
  return GuardExport(NoMemoryOr(Result::kOk), [&] {
    return LoadCellArchivePicture(ProcessCells(), ProcessPack(), ArgInt(n),
                                  ArgPtr<const char>(name), ArgInt(index), ArgInt(background));
  });
}
