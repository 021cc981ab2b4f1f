// What both file layers share: reports, the bool-returning forms, and paths as UTF-8 text.
#include "platform/file_io.h"

#include <algorithm>
#include <cstdio>

#include "commands/cli.h"

namespace tavitool {

namespace fs = std::filesystem;

int WriteAndReport(const std::string& path, std::span<const uint8_t> bytes,
                   const std::string& what) {
  WriteOutput(path, bytes);
  std::printf("%s: %s, %s\n", path.c_str(), what.c_str(),
              Count(static_cast<int64_t>(bytes.size()), "byte", "bytes").c_str());
  return kExitOk;
}

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
  return Try([&] { bytes = ReadInput(path, true); }, error);
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
  return Try([&] { WriteOutput(path, bytes); }, error);
}

fs::path PathOf(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

std::string TextOf(const fs::path& path) {
  const std::u8string text = path.generic_u8string();
  return {text.begin(), text.end()};
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(PathOf(path), ec);
}

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(PathOf(path), ec);
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(PathOf(folder), ec)) {
    if (entry.is_regular_file(ec)) files.push_back(TextOf(entry.path()));
  }
  std::sort(files.begin(), files.end());
  return files;
}

TempFile TempBeside(const std::string& path, const std::string& suffix) {
  const fs::path target = PathOf(path);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::string name = ".";  // built by appending: GCC 12 misreads "." + text as an overlap
  name += TextOf(target.filename());
  name += ".tavikit-";
  name += suffix;
  return {TextOf(folder), TextOf(folder / PathOf(name))};
}

}  // namespace tavitool
