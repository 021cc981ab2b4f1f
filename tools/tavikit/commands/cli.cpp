#include "commands/cli.h"

#include <cstring>

namespace tavitool {

void Refuse(const std::string& message) { throw ToolError(kExitFailure, message); }
void Refuse(const std::string& subject, const std::string& why) {
  std::string message = subject;
  message += ": ";
  message += why;
  Refuse(message);
}
void Misuse(const std::string& message) { throw ToolError(kExitUsage, message); }

std::string Args::Get(const std::string& name, const std::string& otherwise) const {
  const auto it = values.find(name);
  return it == values.end() ? otherwise : it->second;
}

int64_t Args::Number(const std::string& name, int64_t low, int64_t high, int64_t otherwise) const {
  if (!Has(name)) return otherwise;
  int64_t value = 0;
  if (!ParseNumber(Get(name), value) || value < low || value > high) {
    Misuse(name + " wants a number from " + std::to_string(low) + " to " + std::to_string(high) +
           ", not '" + Get(name) + "'");
  }
  return value;
}

Args ParseArgs(std::span<char* const> words, std::span<const Option> options) {
  Args args;
  bool onlyOperands = false;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string word = words[i];
    if (onlyOperands || word.size() < 2 || word[0] != '-') {
      args.operands.push_back(word);
      continue;
    }
    if (word == "--") {
      onlyOperands = true;
      continue;
    }
    if (word == "-h" || word == "--help") {
      args.help = true;
      continue;
    }
    const size_t equals = word.find('=');
    const std::string name = word.substr(0, equals);
    const Option* known = nullptr;
    for (const Option& o : options) {
      if (name == o.name) known = &o;
    }
    if (known == nullptr) Misuse("unknown option '" + name + "'");
    if (!known->takesValue) {
      if (equals != std::string::npos) Misuse(name + " takes no value");
      args.values[name] = "";
    } else {
      const bool given = equals != std::string::npos;
      if (!given && i + 1 >= words.size()) Misuse(name + " needs a value");
      const std::string value = given ? word.substr(equals + 1) : std::string(words[++i]);
      if (value.empty()) Misuse(name + " needs a value");
      args.values[name] = value;
    }
  }
  return args;
}

bool ParseNumber(const std::string& text, int64_t& value) {
  if (text.empty() || text.size() > 18) return false;
  value = 0;
  for (size_t i = text[0] == '-' ? 1 : 0; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  if (text[0] == '-') {
    if (text.size() == 1) return false;
    value = -value;
  }
  return true;
}

std::string Count(int64_t n, const char* singular, const char* plural) {
  return std::to_string(n) + " " + (n == 1 ? singular : plural);
}

bool WantsHelp(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) return true;
  }
  return false;
}

}  // namespace tavitool
