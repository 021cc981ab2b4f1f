#include "gallery/script_runner.h"

#include <algorithm>
#include <iterator>

#include "commands/cli.h"
#include "tavikit.h"
#include "tavikit_exports.h"
#include "tavikit_screen_exports.h"

namespace tavitool {
namespace {

// Exports whose first word is the current screen: the script leaves it out. Written by the build
// from the description of the exports, as tavikit.as is.
#define TAVIKIT_GALLERY_SCREEN_EXPORT(name) #name,
constexpr std::string_view kTakeScreen[] = {TAVIKIT_SCREEN_EXPORTS(TAVIKIT_GALLERY_SCREEN_EXPORT)};
#undef TAVIKIT_GALLERY_SCREEN_EXPORT

constexpr bool TakesScreen(std::string_view name) {
  return std::find(std::begin(kTakeScreen), std::end(kTakeScreen), name) != std::end(kTakeScreen);
}

struct NamedExport {
  std::string_view name;
  tavi_export_fn call;
  bool takesScreen;
};
#define TAVIKIT_GALLERY_EXPORT(name) {#name, &(name), TakesScreen(#name)},
#define TAVIKIT_GALLERY_ALIAS(name, entry) {#name, &(entry), TakesScreen(#name)},
constexpr NamedExport kExports[] = {TAVIKIT_EXPORTS(TAVIKIT_GALLERY_EXPORT, TAVIKIT_GALLERY_ALIAS)};
#undef TAVIKIT_GALLERY_EXPORT
#undef TAVIKIT_GALLERY_ALIAS

// Splits `text` at `separator` where it is not inside double quotes; trims each piece.
std::vector<std::string> SplitOutsideQuotes(std::string_view text, char separator) {
  std::vector<std::string> pieces(1);
  bool quoted = false;
  for (const char c : text) {
    if (c == '"') quoted = !quoted;
    if (c == separator && !quoted) {
      pieces.emplace_back();
    } else {
      pieces.back() += c;
    }
  }
  for (std::string& p : pieces) {
    p.erase(0, p.find_first_not_of(' '));
    p.erase(p.find_last_not_of(' ') + 1);
  }
  return pieces;
}

int32_t Number(const std::vector<std::string>& args, size_t i) {
  int64_t value = 0;
  if (i >= args.size() || !ParseNumber(args[i], value) || value < INT32_MIN || value > INT32_MAX)
    Refuse("a script line wants a number as argument " + std::to_string(i + 1));
  return static_cast<int32_t>(value);
}

}  // namespace

std::string ScriptRunner::Run(std::string_view line) {
  std::string note;
  for (const std::string& statement : SplitOutsideQuotes(line, ':')) {
    const size_t space = statement.find(' ');
    const std::string command = statement.substr(0, space);
    std::vector<std::string> args;
    if (space != std::string::npos) args = SplitOutsideQuotes(statement.substr(space), ',');
    const int32_t stat = Statement(command, args);
    note = stat != 0 ? "  ; stat = " + std::to_string(stat) : "";
  }
  return note;
}

int32_t ScriptRunner::Statement(const std::string& command, const std::vector<std::string>& args) {
  if (command == "gsel") {
    current_ = static_cast<size_t>(Number(args, 0));
    if (current_ >= screens_.size()) Refuse("gsel " + args[0] + ": no such screen");
  } else if (command == "pos") {
    screens_[current_]->SetCursor(Number(args, 0), Number(args, 1));
  } else if (command == "sdim") {
    Variable& v = Define(args, 2);
    v.own.assign(static_cast<size_t>(Number(args, 1)), 0);
    v.bytes = v.own.data();
    v.size = v.own.size();
  } else if (command == "mref") {
    if (Number(args, 1) != 66) Refuse("mref: only 66, the current screen's pixels");
    Variable& v = Define(args, 2);
    v.bytes = screens_[current_]->pixels().data();
    v.size = screens_[current_]->pixels().size();
  } else if (command == "poke") {
    Variable& v = Find(args.empty() ? "" : args[0]);
    const auto at = static_cast<size_t>(Number(args, 1));
    if (at >= v.size) Refuse("poke " + v.name + ": outside the variable");
    v.bytes[at] = static_cast<uint8_t>(Number(args, 2));
  } else {
    return -Export(command, args);  // stat: minus the export's result
  }
  return 0;
}

int32_t ScriptRunner::Export(const std::string& name, const std::vector<std::string>& args) {
  const auto* e = std::find_if(std::begin(kExports), std::end(kExports),
                               [&](const NamedExport& x) { return x.name == name; });
  if (e == std::end(kExports)) Refuse(name + ": not an export");
  std::vector<tavi_word> words;
  if (e->takesScreen) words.push_back(screens_[current_]->record());
  std::vector<std::string> texts;  // fresh and writable for every call, as a script's are
  texts.reserve(args.size());
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() >= 2 && a.front() == '"' && a.back() == '"') {
      texts.push_back(a.substr(1, a.size() - 2));
      words.push_back(tavihost::Word(texts.back().data()));
    } else if (!a.empty() && (a[0] == '-' || (a[0] >= '0' && a[0] <= '9'))) {
      words.push_back(Number(args, i));
    } else {
      words.push_back(tavihost::Word(Find(a).bytes));
    }
  }
  if (words.size() > 4) Refuse(name + ": more than four words");
  words.resize(4, 0);
  return e->call(words[0], words[1], words[2], words[3]);
}

ScriptRunner::Variable& ScriptRunner::Define(const std::vector<std::string>& args, size_t count) {
  if (args.size() != count) Refuse("sdim or mref: wrong number of arguments");
  variables_.push_back({args[0], {}, nullptr, 0});
  return variables_.back();
}

ScriptRunner::Variable& ScriptRunner::Find(const std::string& name) {
  for (Variable& v : variables_) {
    if (v.name == name) return v;
  }
  Refuse(name + ": no such variable");
}

}  // namespace tavitool
