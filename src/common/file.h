// A file opened for reading bytes as they are (no newline translation), closed when the wrapper
// goes: no file stays open beyond the operation that opened it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>

namespace tavikit {

class InputFile {
 public:
  // Opens `name`; test the result with operator bool.
  static InputFile Open(const char* name) { return InputFile(std::fopen(name, "rb")); }

  explicit operator bool() const { return file_ != nullptr; }

  // Moves to byte `position` from the start. A position of 0 or less stays at the start (the C
  // library refuses negative positions), so that such a read begins at byte 0 in every build.
  void SeekFromStart(int32_t position) {
    if (position > 0) std::fseek(file_.get(), static_cast<long>(position), SEEK_SET);
  }

  // Reads up to buffer.size() bytes; returns how many arrived.
  int32_t Read(std::span<uint8_t> buffer) {
    return static_cast<int32_t>(std::fread(buffer.data(), 1, buffer.size(), file_.get()));
  }

 private:
  struct Close {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };

  explicit InputFile(std::FILE* file) : file_(file) {}

  std::unique_ptr<std::FILE, Close> file_;
};

}  // namespace tavikit
