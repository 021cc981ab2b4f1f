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
  InputFile() = default;  // no file

  // Opens `name`; test the result with operator bool.
  static InputFile Open(const char* name) { return InputFile(std::fopen(name, "rb")); }

  explicit operator bool() const { return file_ != nullptr; }

  // Reads go straight to the file, without a buffer in between: for files read in a few large
  // pieces. Only before the first read.
  void Unbuffered() { std::setvbuf(file_.get(), nullptr, _IONBF, 0); }

  // Moves to byte `position` from the start. A position of 0 or less moves to the start (the C
  // library refuses negative positions), so that such a read begins at byte 0 in every build.
  bool SeekTo(int32_t position) {
    return std::fseek(file_.get(), position > 0 ? static_cast<long>(position) : 0L, SEEK_SET) == 0;
  }

  // Reads up to buffer.size() bytes; returns how many arrived.
  int32_t Read(std::span<uint8_t> buffer) {
    return static_cast<int32_t>(std::fread(buffer.data(), 1, buffer.size(), file_.get()));
  }

  // Bytes in the file, or -1 when the library cannot tell. Leaves the position at the end.
  int64_t Length() {
    if (std::fseek(file_.get(), 0L, SEEK_END) != 0) return -1;
    return std::ftell(file_.get());
  }

 private:
  struct Close {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };

  explicit InputFile(std::FILE* file) : file_(file) {}

  std::unique_ptr<std::FILE, Close> file_;
};

}  // namespace tavikit
