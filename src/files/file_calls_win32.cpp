// The file utilities as the Win32 calls themselves: MoveFileA never replaces an existing file.
#include <windows.h>

#include "files/file_calls.h"

namespace tavikit {

bool RenameNoReplace(const char* from, const char* to) { return MoveFileA(from, to) != 0; }

bool WriteFileAttributes(const char* name, uint32_t attributes) {
  return SetFileAttributesA(name, attributes) != 0;
}

bool ReadFileAttributes(const char* name, uint32_t* attributes) {
  const DWORD value = GetFileAttributesA(name);
  if (value == INVALID_FILE_ATTRIBUTES) return false;
  *attributes = value;
  return true;
}

}  // namespace tavikit
