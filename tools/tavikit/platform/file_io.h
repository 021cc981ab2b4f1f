// Whole-file reads that say why an input is refused, and atomic writes: the bytes go to a
// temporary file in the target's folder, which replaces the target only after it was flushed to
// the disk and closed without error. A failed write leaves the old file as it was, and no
// temporary file behind. Names are UTF-8 text everywhere in the tool; the POSIX layer
// (file_io_posix.cpp) passes them on as bytes, the Win32 layer (file_io_win32.cpp) as UTF-16 to
// the wide-character calls.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace tavitool {

// The bytes of the file at `path`. Refuses (exit 1) a missing or unreadable file, a directory
// and, unless `allowEmpty`, an empty file, with a message naming the file.
std::vector<uint8_t> ReadInput(const std::string& path, bool allowEmpty = false);

// Writes `bytes` to `path` atomically. The new file gets the permission bits of `modeFrom` when
// given, else those of the file it replaces, else the usual ones for a new file. A target that
// exists and is not a regular file (a device such as /dev/stdout) is written in place. Refuses
// with a message on any failure.
void WriteOutput(const std::string& path, std::span<const uint8_t> bytes,
                 const std::string& modeFrom = "");

// WriteOutput, then prints "path: what, N bytes"; returns the exit status of success.
int WriteAndReport(const std::string& path, std::span<const uint8_t> bytes,
                   const std::string& what);

// The same as bool-returning calls with the reason in `error`.
bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

// A path named by UTF-8 text, and the text of a path: UTF-8, with "/" between its parts.
std::filesystem::path PathOf(const std::string& text);
std::string TextOf(const std::filesystem::path& path);

// True when `path` names an existing file or folder; a folder.
bool Exists(const std::string& path);
bool IsFolder(const std::string& path);

// The regular files directly inside `folder`, sorted by name.
std::vector<std::string> FilesIn(const std::string& folder);

// For the file layers: the folder a write to `path` makes its temporary file in ("." for a bare
// name) and that file's path, "FOLDER/.NAME.tavikit-" followed by `suffix`.
struct TempFile {
  std::string folder;
  std::string path;
};
TempFile TempBeside(const std::string& path, const std::string& suffix);

// The name of an existing file as the library's exports take it: the bytes themselves outside
// Windows; on Windows, text in the ANSI code page the library opens names with, or the file's
// short name when the code page cannot spell the name.
std::string NameForLibrary(const std::string& path);

}  // namespace tavitool
