// Whole-file reads and writes for the tool's commands, with one-line errors.
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tavitool {

inline bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot open";
    return false;
  }
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) {
    error = path + ": read error";
    return false;
  }
  return true;
}

inline bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes,
                      std::string& error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    error = path + ": cannot write";
    return false;
  }
  return true;
}

// Prints "tavikit COMMAND: message" and returns the exit status for bad input.
inline int Fail(const char* command, const std::string& message) {
  std::fprintf(stderr, "tavikit %s: %s\n", command, message.c_str());
  return 1;
}

// "subject: message".
inline std::string About(const std::string& subject, const std::string& message) {
  std::string text = subject;
  text += ": ";
  text += message;
  return text;
}

// Parses a whole decimal integer; false for anything else.
inline bool ParseInt(const std::string& text, long long& value) {
  if (text.empty()) return false;
  size_t used = 0;
  try {
    value = std::stoll(text, &used, 10);
  } catch (...) {
    return false;
  }
  return used == text.size();
}

}  // namespace tavitool
