// The file operations of the file utilities, one platform call each. Names are the bytes the
// script passes, handed to the platform unchanged. Backends: Win32 (Tavikit.DLL) and POSIX.
#pragma once

#include <cstdint>

namespace tavikit {

// Attribute flags, with the Windows values.
inline constexpr uint32_t kAttrReadOnly = 0x01;
inline constexpr uint32_t kAttrHidden = 0x02;
inline constexpr uint32_t kAttrSystem = 0x04;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;
inline constexpr uint32_t kAttrNormal = 0x80;

// Renames or moves `from` to `to`; fails when `to` exists, never replacing it.
bool RenameNoReplace(const char* from, const char* to);

// Sets the attribute flags of `name`; false when the file cannot be changed or does not exist.
bool WriteFileAttributes(const char* name, uint32_t attributes);

// Reads the attribute flags of `name` into *attributes; false (nothing written) on failure.
bool ReadFileAttributes(const char* name, uint32_t* attributes);

}  // namespace tavikit
