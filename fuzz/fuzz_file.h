// A scratch file for fuzz targets whose readers take file names: each input is written to one
// file per process, which the target then names.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace tavifuzz {

// In memory (/dev/shm) where the system has it: a disk file per input would cost more than the
// reading it tests.
// The file is removed when the process ends.
inline const std::string& ScratchPath() {
  struct Scratch {
    std::string path = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                       "/tavikit-fuzz-" + std::to_string(getpid()) + ".bin";
    ~Scratch() { std::remove(path.c_str()); }
  };
  static const Scratch scratch;
  return scratch.path;
}

inline void WriteScratch(const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(ScratchPath().c_str(), "wb");
  if (f == nullptr) return;
  if (size > 0) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

}  // namespace tavifuzz
