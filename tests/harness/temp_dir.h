// A directory of scratch files for one test, removed with everything in it afterwards.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace tavitest {

class TempDir {
 public:
  TempDir() {
    static std::atomic<int> serial{0};
    std::random_device seed;
    const auto tag = std::to_string(seed()) + "-" + std::to_string(serial++);
    path_ = std::filesystem::temp_directory_path() / ("tavikit-" + tag);
    std::filesystem::create_directories(path_);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  // The full path of `name` inside the directory, as text for the library.
  std::string Path(const std::string& name) const { return (path_ / name).string(); }

  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::string path = Path(name);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace tavitest
