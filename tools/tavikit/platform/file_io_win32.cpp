// The file layer of tavikit.exe: UTF-8 names as UTF-16 to the wide-character calls; a write goes
// to a new file beside the target, then FlushFileBuffers, a checked close and MoveFileExW over
// the target.
#include <windows.h>

#include <algorithm>
#include <array>
#include <utility>

#include "commands/cli.h"
#include "platform/file_io.h"
#include "platform/win32_text.h"

namespace tavitool {
namespace {

// The C library's words for the failures a file call meets, so that messages read as they do
// on other systems.
std::string ErrorText(DWORD error) {
  static constexpr std::array<std::pair<DWORD, const char*>, 12> kTexts = {{
      {ERROR_FILE_NOT_FOUND, "No such file or directory"},
      {ERROR_PATH_NOT_FOUND, "No such file or directory"},
      {ERROR_BAD_NETPATH, "No such file or directory"},
      {ERROR_INVALID_NAME, "No such file or directory"},
      {ERROR_ACCESS_DENIED, "Permission denied"},
      {ERROR_SHARING_VIOLATION, "Permission denied"},
      {ERROR_WRITE_PROTECT, "Permission denied"},
      {ERROR_DISK_FULL, "No space left on device"},
      {ERROR_HANDLE_DISK_FULL, "No space left on device"},
      {ERROR_DIRECTORY, "Not a directory"},
      {ERROR_NOT_ENOUGH_MEMORY, "Cannot allocate memory"},
      {ERROR_OUTOFMEMORY, "Cannot allocate memory"},
  }};
  for (const auto& [code, text] : kTexts) {
    if (code == error) return text;
  }
  return "Windows error " + std::to_string(error);
}

std::string Why(const std::string& path, const std::string& what) {
  return path + ": " + what + " (" + ErrorText(GetLastError()) + ")";
}

class Handle {
 public:
  explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Close(); }
  explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  // Closes the handle; false when the close failed.
  bool Close() {
    const HANDLE h = std::exchange(h_, INVALID_HANDLE_VALUE);
    return h == INVALID_HANDLE_VALUE || CloseHandle(h) != 0;
  }

 private:
  HANDLE h_;
};

DWORD Attributes(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()); }

bool IsDirectory(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool WriteAll(HANDLE file, std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    const DWORD part = static_cast<DWORD>(std::min<size_t>(bytes.size(), size_t{1} << 30));
    DWORD wrote = 0;
    if (!::WriteFile(file, bytes.data(), part, &wrote, nullptr) || wrote == 0) return false;
    bytes = bytes.subspan(wrote);
  }
  return true;
}

// A new file beside `path` that no other writer holds; `temp` names it.
HANDLE CreateTemporary(const std::string& path, TempFile& temp) {
  static unsigned serial = GetCurrentProcessId() * 2654435761U ^ GetTickCount();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string suffix;
    for (unsigned v = ++serial * 2654435761U, i = 0; i < 6; ++i, v /= 36)
      suffix += "0123456789abcdefghijklmnopqrstuvwxyz"[v % 36];
    temp = TempBeside(path, suffix);
    HANDLE file = CreateFileW(Wide(temp.path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

std::vector<uint8_t> ReadInput(const std::string& path, bool allowEmpty) {
  const DWORD attributes = Attributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) Refuse(Why(path, "cannot open"));
  if (IsDirectory(attributes)) Refuse(path + ": is a directory, not a file");
  Handle file(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) Refuse(Why(path, "cannot open"));
  std::vector<uint8_t> bytes;
  std::vector<uint8_t> chunk(65536);
  DWORD got = 0;
  do {
    if (!::ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr))
      Refuse(Why(path, "read error"));
    bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + got);
  } while (got > 0);
  if (bytes.empty() && !allowEmpty) Refuse(path + ": is empty");
  return bytes;
}

// Windows files carry no permission bits to pass on: `modeFrom` is not needed here.
void WriteOutput(const std::string& path, std::span<const uint8_t> bytes, const std::string&) {
  if (IsDirectory(Attributes(path))) Refuse(path + ": is a directory, not a file");
  TempFile temp;
  Handle file(CreateTemporary(path, temp));
  if (!file) {
    const DWORD folder = Attributes(temp.folder);
    if (folder != INVALID_FILE_ATTRIBUTES && !IsDirectory(folder)) SetLastError(ERROR_DIRECTORY);
    Refuse(Why(path, "cannot create a file in " + temp.folder));
  }
  const std::wstring wideTemp = Wide(temp.path);
  bool ok = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get()) != 0;
  DWORD error = ok ? 0 : GetLastError();
  if (!file.Close() && ok) ok = false, error = GetLastError();
  if (ok && !MoveFileExW(wideTemp.c_str(), Wide(path).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ok = false, error = GetLastError();
  }
  if (!ok) {
    DeleteFileW(wideTemp.c_str());
    SetLastError(error);
    Refuse(Why(path, "cannot write"));
  }
}

std::string NameForLibrary(const std::string& path) {
  const std::wstring wide = Wide(path);
  BOOL lossy = FALSE;
  std::string ansi = Narrow(wide, CP_ACP, &lossy);
  if (!lossy) return ansi;
  std::wstring shortName(MAX_PATH, L'\0');
  const DWORD n = GetShortPathNameW(wide.c_str(), shortName.data(), MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return path;
  shortName.resize(n);
  ansi = Narrow(shortName, CP_ACP, &lossy);
  return lossy ? path : ansi;
}

}  // namespace tavitool
