// Exports of the pack subsystem: the pack, picture loading, the row XOR and the buffer scramble.
#include "common/export_guard.h"
#include "common/process_state.h"
#include "common/screen.h"
#include "common/words.h"
#include "pack/buffer_scramble.h"
#include "pack/pack_reader.h"
#include "pack/picture_loader.h"
#include "pack/row_xor.h"
#include "tavikit.h"

namespace tavikit {

PackState& ProcessPack() {
  static ProcessStorage<PackState> storage;
  return ProcessInstance(storage);
}

ScrambleState& ProcessScramble() {
  static ProcessStorage<ScrambleState> storage;
  return ProcessInstance(storage);
}

}  // namespace tavikit

using namespace tavikit;

int32_t TAVIKIT_CALL tavi_dpminit(tavi_word, tavi_word, tavi_word, tavi_word packText) {
  return GuardExport(kReturnsZero, [&] { PackOpen(ProcessPack(), ArgPtr<char>(packText)); });
}

int32_t TAVIKIT_CALL tavi_PCP2Load(tavi_word screen, tavi_word name, tavi_word,
                                   tavi_word packText) {
  return GuardExport(NoMemoryOr(Result::kOk), [&] {
    return LoadPicture(ProcessPack(), ScreenArg(screen), ArgPtr<const char>(name),
                       ArgPtr<char>(packText));
  });
}

int32_t TAVIKIT_CALL tavi_PCP2BLoad(tavi_word screen, tavi_word name, tavi_word index,
                                    tavi_word packText) {
  return GuardExport(NoMemoryOr(Result::kOk), [&] {
    return LoadArchivePicture(ProcessPack(), ScreenArg(screen), ArgPtr<const char>(name),
                              ArgInt(index), ArgPtr<char>(packText));
  });
}

int32_t TAVIKIT_CALL tavi_GetTKXFormat(tavi_word, tavi_word name, tavi_word index,
                                       tavi_word packText) {
  return GuardExport(kReturnsZero, [&] {
    return ArchivePictureKind(ProcessPack(), ArgPtr<const char>(name), ArgInt(index),
                              ArgPtr<char>(packText));
  });
}

int32_t TAVIKIT_CALL tavi_PCPDecode(tavi_word screen, tavi_word w, tavi_word h, tavi_word) {
  return GuardExport(kReturnsZero, [&] { UndoRowXor(ScreenArg(screen), ArgInt(w), ArgInt(h)); });
}

// One entry point for four names that do nothing.
int32_t TAVIKIT_CALL tavi_PCPDiffPos(tavi_word, tavi_word, tavi_word, tavi_word) { return 0; }
#if !defined(_WIN32)
// Tavikit.DLL maps the other three names onto this entry point in its module-definition file;
// the shared library gives them the same address with symbol aliases.
int32_t tavi_PCPEncode(tavi_word, tavi_word, tavi_word, tavi_word)
    __attribute__((alias("tavi_PCPDiffPos")));
int32_t tavi_PCPSaveA(tavi_word, tavi_word, tavi_word, tavi_word)
    __attribute__((alias("tavi_PCPDiffPos")));
int32_t tavi_PCPSaveD(tavi_word, tavi_word, tavi_word, tavi_word)
    __attribute__((alias("tavi_PCPDiffPos")));
#endif

int32_t TAVIKIT_CALL tavi_DMSupportSet(tavi_word target, tavi_word, tavi_word, tavi_word) {
  ProcessScramble().target = ArgPtr<uint8_t>(target);
  return 0;
}

int32_t TAVIKIT_CALL tavi_DMSupportXOR(tavi_word source, tavi_word length, tavi_word, tavi_word) {
  return GuardExport(kReturnsZero, [&] {
    return Report(XorIntoTarget(ProcessScramble(), ArgPtr<const uint8_t>(source), ArgInt(length)));
  });
}
