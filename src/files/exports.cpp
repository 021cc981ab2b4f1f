// Exports of the file utilities: rename, set and read attributes. No state.
#include "common/result.h"
#include "common/words.h"
#include "files/file_calls.h"
#include "tavikit.h"

using namespace tavikit;

namespace {

int32_t Outcome(bool done) { return done ? 0 : ToInt(Result::kFailed); }

}  // namespace

int32_t TAVIKIT_CALL tavi_frename(tavi_word oldName, tavi_word newName, tavi_word, tavi_word) {
  return Outcome(RenameNoReplace(ArgPtr<const char>(oldName), ArgPtr<const char>(newName)));
}

int32_t TAVIKIT_CALL tavi_fattrib(tavi_word, tavi_word fileName, tavi_word attributes, tavi_word) {
  return Outcome(
      WriteFileAttributes(ArgPtr<const char>(fileName), static_cast<uint32_t>(ArgInt(attributes))));
}

int32_t TAVIKIT_CALL tavi_fgetattr(tavi_word attributesOut, tavi_word fileName, tavi_word,
                                   tavi_word) {
  return Outcome(ReadFileAttributes(ArgPtr<const char>(fileName), ArgPtr<uint32_t>(attributesOut)));
}
