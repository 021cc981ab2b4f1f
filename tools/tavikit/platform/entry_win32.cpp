// The entry of tavikit.exe: the words arrive as UTF-16 (wmain, -municode) and go on as UTF-8;
// output is written as bytes, without a carriage return added before each newline, so that it
// reads as the tool's output on other systems. A console shows it as UTF-8 while the tool runs.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "platform/win32_text.h"

int wmain(int argc, wchar_t** wideArgv) {
  std::vector<std::string> words;
  words.reserve(static_cast<size_t>(argc));
  for (int i = 0; i < argc; ++i)
    words.push_back(tavitool::Narrow(wideArgv[i]));
  std::vector<char*> argv;
  argv.reserve(words.size() + 1);
  for (std::string& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  const UINT page = GetConsoleOutputCP();
  SetConsoleOutputCP(CP_UTF8);
  const int status = tavitool::Main(argc, argv.data());
  std::fflush(stdout);
  std::fflush(stderr);
  SetConsoleOutputCP(page);
  return status;
}
