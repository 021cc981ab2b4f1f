// Script lines run as a script runtime runs them, statement by statement, against a set of
// screens: gsel, pos, sdim, poke, mref (66: the current screen's pixels) and the library's
// exports. An export whose first word is a screen gets the current screen (the one chosen with
// gsel), as the HSP declarations give it; the other arguments are numbers, "strings" (fresh and
// writable for every call) or variables (their bytes' address). Anything else refuses the line.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/host_screen.h"

namespace tavitool {

class ScriptRunner {
 public:
  // `screens` are numbered by their place; they outlive the runner.
  explicit ScriptRunner(std::vector<std::unique_ptr<tavihost::HostScreen>>& screens)
      : screens_(screens) {}

  // Runs one line; returns what a script would find in stat after it ("  ; stat = N"), or ""
  // when that is 0.
  std::string Run(std::string_view line);

 private:
  struct Variable {
    std::string name;
    std::vector<uint8_t> own;  // sdim
    uint8_t* bytes = nullptr;
    size_t size = 0;
  };

  int32_t Statement(const std::string& command, const std::vector<std::string>& args);
  int32_t Export(const std::string& name, const std::vector<std::string>& args);
  Variable& Define(const std::vector<std::string>& args, size_t count);
  Variable& Find(const std::string& name);

  std::vector<std::unique_ptr<tavihost::HostScreen>>& screens_;
  std::vector<Variable> variables_;
  size_t current_ = 0;
};

}  // namespace tavitool
