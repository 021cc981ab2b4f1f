// Whole-file reads that say why an input is refused, and atomic writes: the bytes go to a
// temporary file in the target's folder, which replaces the target only after it was flushed to
// the disk and closed without error. A failed write leaves the old file as it was.
#pragma once

#include <cstdint>
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

}  // namespace tavitool
