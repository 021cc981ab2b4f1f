// The file layer on POSIX systems: names passed on as bytes, writes made durable with fsync.
#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "commands/cli.h"

namespace tavitool {
namespace {

struct FileClose {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

std::string Why(const std::string& path, const std::string& what) {
  return path + ": " + what + " (" + std::strerror(errno) + ")";
}

mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Writes everything, flushes it to the disk and closes `f`; false with errno set on failure.
bool WriteAndClose(std::FILE* f, std::span<const uint8_t> bytes, bool sync) {
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fflush(f) == 0 && ok;
  if (ok && sync && fsync(fileno(f)) != 0) ok = false;
  const int saved = errno;
  const bool closed = std::fclose(f) == 0;
  if (!ok) errno = saved;
  return ok && closed;
}

}  // namespace

std::vector<uint8_t> ReadInput(const std::string& path, bool allowEmpty) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) Refuse(Why(path, "cannot open"));
  if (S_ISDIR(st.st_mode)) Refuse(path + ": is a directory, not a file");
  std::unique_ptr<std::FILE, FileClose> file(std::fopen(path.c_str(), "rb"));
  if (!file) Refuse(Why(path, "cannot open"));
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
    bytes.insert(bytes.end(), chunk, chunk + got);
  if (std::ferror(file.get())) Refuse(Why(path, "read error"));
  if (bytes.empty() && !allowEmpty) Refuse(path + ": is empty");
  return bytes;
}

void WriteOutput(const std::string& path, std::span<const uint8_t> bytes,
                 const std::string& modeFrom) {
  struct stat st {};
  const bool exists = stat(path.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) Refuse(path + ": is a directory, not a file");
  if (exists && !S_ISREG(st.st_mode)) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr || !WriteAndClose(f, bytes, false)) Refuse(Why(path, "cannot write"));
    return;
  }
  mode_t mode = exists ? st.st_mode & 07777 : NewFileMode();
  if (struct stat from{}; !modeFrom.empty() && stat(modeFrom.c_str(), &from) == 0) {
    mode = from.st_mode & 07777;
  }
  TempFile temp = TempBeside(path, "XXXXXX");
  const int fd = mkstemp(temp.path.data());
  if (fd < 0) Refuse(Why(path, "cannot create a file in " + temp.folder));
  std::FILE* f = fdopen(fd, "wb");
  if (f == nullptr) close(fd);
  if (f == nullptr || !WriteAndClose(f, bytes, true) || chmod(temp.path.c_str(), mode) != 0 ||
      std::rename(temp.path.c_str(), path.c_str()) != 0) {
    const std::string why = Why(path, "cannot write");
    unlink(temp.path.c_str());
    Refuse(why);
  }
}

std::string NameForLibrary(const std::string& path) { return path; }

}  // namespace tavitool
