// Text between the tool's UTF-8 and the UTF-16 of the wide-character Windows calls.
#pragma once

#include <windows.h>

#include <string>

namespace tavitool {

inline std::wstring Wide(const std::string& text) {
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), n);
  return wide;
}

// `wide` in the code page `page`; with `lossy`, whether a character had no spelling there.
inline std::string Narrow(const std::wstring& wide, UINT page = CP_UTF8, BOOL* lossy = nullptr) {
  const int size = static_cast<int>(wide.size());
  const DWORD flags = lossy != nullptr ? WC_NO_BEST_FIT_CHARS : 0;
  const int n = WideCharToMultiByte(page, flags, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(page, flags, wide.data(), size, text.data(), n, nullptr, lossy);
  return text;
}

}  // namespace tavitool
