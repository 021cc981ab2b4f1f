// What every command of the tool shares: exit statuses, the one option parser, the errors that
// end a command with a message, and small text helpers.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavitool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the work failed: bad input, a failed write
inline constexpr int kExitUsage = 2;    // the command line was wrong

// Ends a command: main prints "tavikit COMMAND: message" and exits with `status`.
class ToolError : public std::runtime_error {
 public:
  ToolError(int status, const std::string& message)
      : std::runtime_error(message), status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

// The work cannot be done (exit 1).
[[noreturn]] void Refuse(const std::string& message);
// The same with the message "subject: why".
[[noreturn]] void Refuse(const std::string& subject, const std::string& why);
// The command line is wrong (exit 2; main adds the command's usage).
[[noreturn]] void Misuse(const std::string& message);

// An option a command accepts: "--name" (or "-o"), with or without a value.
struct Option {
  const char* name;
  bool takesValue;
};

// The option lists that several commands share.
inline constexpr Option kOutputOnly[] = {{"-o", true}};
inline constexpr Option kJsonOnly[] = {{"--json", false}};

// A command line after parsing: options by name (the last one given wins), flags, and the
// other words in order. "--opt value", "--opt=value" and "-o value" are read alike; after "--"
// every word is an operand.
class Args {
 public:
  std::vector<std::string> operands;
  std::map<std::string, std::string> values;
  bool help = false;

  bool Has(const std::string& name) const { return values.count(name) != 0; }
  std::string Get(const std::string& name, const std::string& otherwise = "") const;
  // The option as a whole number from `low` to `high`; `otherwise` when absent. Misuse when it
  // is not one.
  int64_t Number(const std::string& name, int64_t low, int64_t high, int64_t otherwise) const;
};

// Parses `words` (the words after the command's name). Misuse on an unknown option or a
// missing value.
Args ParseArgs(std::span<char* const> words, std::span<const Option> options);

// Parses a whole decimal number; false for anything else.
bool ParseNumber(const std::string& text, int64_t& value);

// "1 picture", "2 pictures".
std::string Count(int64_t n, const char* singular, const char* plural);

// Runs `work`; false with the message in `error` when it ends with a ToolError.
template <typename Work>
bool Try(Work&& work, std::string& error) {
  try {
    work();
    return true;
  } catch (const ToolError& e) {
    error = e.what();
    return false;
  }
}

// True when argv holds -h or --help.
bool WantsHelp(int argc, char** argv);

}  // namespace tavitool
