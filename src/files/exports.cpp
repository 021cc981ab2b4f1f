// Exports of the file utilities: rename, set and read attributes. No state.
#include "common/words.h"
#include "files/file_calls.h"
#include "tavikit.h"

using namespace tavikit;

int32_t TAVIKIT_CALL tavi_frename(tavi_word oldName, tavi_word newName, tavi_word, tavi_word) {
  return RenameNoReplace(ArgPtr<const char>(oldName), ArgPtr<const char>(newName)) ? 0 : -1;
}

int32_t TAVIKIT_CALL tavi_fattrib(tavi_word, tavi_word fileName, tavi_word attributes, tavi_word) {
  return WriteFileAttributes(ArgPtr<const char>(fileName),
                             static_cast<uint32_t>(ArgInt(attributes)))
             ? 0
             : -1;
}

int32_t TAVIKIT_CALL tavi_fgetattr(tavi_word attributesOut, tavi_word fileName, tavi_word,
                                   tavi_word) {
  return ReadFileAttributes(ArgPtr<const char>(fileName), ArgPtr<uint32_t>(attributesOut)) ? 0 : -1;
}
