// The file utilities on POSIX systems.
//
// Rename never replaces: renameat2 with RENAME_NOREPLACE where the kernel and file system have
// it; otherwise a hard link to the new name (which fails when it exists) and the removal of the
// old one, and for directories, which cannot be linked, a test for the new name before rename.
//
// Attributes, both ways:
//   read-only  1   the owner has no write permission; setting it clears every write
//                  permission, clearing it gives the owner write permission back
//   hidden     2   the last name component starts with "." (read only: it follows the name)
//   directory  16  a directory
//   archive    32  a regular file
//   normal     128 none of the above
// Setting attributes changes only read-only; the other flags are ignored.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "files/file_calls.h"

namespace tavikit {
namespace {

bool RenameByLink(const char* from, const char* to) {
  struct stat info {};
  if (lstat(from, &info) != 0) return false;
  if (S_ISDIR(info.st_mode)) {
    struct stat existing {};
    if (lstat(to, &existing) == 0 || errno != ENOENT) return false;
    return rename(from, to) == 0;
  }
  if (link(from, to) != 0) return false;
  if (unlink(from) != 0) {
    unlink(to);
    return false;
  }
  return true;
}

// Whether the last component of `name` (trailing slashes aside) starts with ".", other than
// "." and "..".
bool HiddenName(const char* name) {
  size_t end = std::strlen(name);
  while (end > 1 && name[end - 1] == '/')
    --end;
  size_t begin = end;
  while (begin > 0 && name[begin - 1] != '/')
    --begin;
  const size_t length = end - begin;
  if (length == 0 || name[begin] != '.') return false;
  return !(length == 1 || (length == 2 && name[begin + 1] == '.'));
}

}  // namespace

bool RenameNoReplace(const char* from, const char* to) {
#if defined(RENAME_NOREPLACE)
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return false;
#endif
  return RenameByLink(from, to);
}

bool WriteFileAttributes(const char* name, uint32_t attributes) {
  struct stat info {};
  if (stat(name, &info) != 0) return false;
  constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
  const mode_t mode =
      (attributes & kAttrReadOnly) != 0 ? (info.st_mode & ~kAnyWrite) : (info.st_mode | S_IWUSR);
  return chmod(name, mode & 07777) == 0;
}

bool ReadFileAttributes(const char* name, uint32_t* attributes) {
  struct stat info {};
  if (stat(name, &info) != 0) return false;
  uint32_t flags = 0;
  if ((info.st_mode & S_IWUSR) == 0) flags |= kAttrReadOnly;
  if (HiddenName(name)) flags |= kAttrHidden;
  if (S_ISDIR(info.st_mode)) flags |= kAttrDirectory;
  if (S_ISREG(info.st_mode)) flags |= kAttrArchive;
  *attributes = flags != 0 ? flags : kAttrNormal;
  return true;
}

}  // namespace tavikit
