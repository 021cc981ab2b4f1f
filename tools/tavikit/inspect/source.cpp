#include "inspect/source.h"

#include <algorithm>

#include "commands/cli.h"
#include "platform/file_io.h"
#include "tools/writer/formats.h"

namespace tavitool {
namespace {

bool AllDigits(const std::string& s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos && s.size() < 10;
}

bool HoldsEntry(const Source& s, const std::string& name) {
  const PackInfo pack = *ReadPack(s.file, s.packBase);
  const std::string wanted = taviwriter::PackName(name);
  return std::any_of(pack.entries.begin(), pack.entries.end(),
                     [&](const PackEntryInfo& e) { return e.name == wanted; });
}

// "#NAME" or "#NAME#N" after a pack: the longest name the pack holds.
void TakeEntry(Source& s, const std::string& rest) {
  const size_t hash = rest.rfind('#');
  if (!HoldsEntry(s, rest) && hash != std::string::npos && AllDigits(rest.substr(hash + 1)) &&
      HoldsEntry(s, rest.substr(0, hash))) {
    s.index = std::stoll(rest.substr(hash + 1));  // first: `rest` may be s.entry itself
    s.entry = rest.substr(0, hash);
  } else {
    s.entry = rest;
  }
}

}  // namespace

Source OpenSource(const std::string& text) {
  Source s;
  size_t cut = text.size();  // the file: the longest part before a "," or "#" that exists
  while (cut > 0 && !Exists(text.substr(0, cut))) {
    const size_t next = text.find_last_of("#,", cut - 1);
    cut = next == std::string::npos ? text.size() : next;
    if (next == std::string::npos) break;
  }
  s.path = text.substr(0, cut);
  s.file = ReadInput(s.path);
  std::string rest = text.substr(cut);
  if (!rest.empty() && rest[0] == ',') {
    const size_t hash = rest.find('#');
    if (!AllDigits(rest.substr(1, hash - 1)))
      Refuse(text + ": the offset after ',' must be 0 or more");
    s.packOffset = std::stoll(rest.substr(1, hash - 1));
    rest = hash == std::string::npos ? "" : rest.substr(hash);
  }
  if (!s.InPack() && rest.size() > 1 && AllDigits(rest.substr(1))) {
    s.index = std::stoll(rest.substr(1));
    return s;
  }
  if (!rest.empty()) s.entry = rest.substr(1);
  if (!s.InPack()) return s;
  const auto base = s.packOffset >= 0 ? std::optional<size_t>(s.packOffset) : FindPack(s.file);
  if (!base || !ReadPack(s.file, *base)) {
    Refuse(s.path + ": no DPMX pack " +
           (s.packOffset >= 0 ? "at " + std::to_string(s.packOffset) : std::string("found")));
  }
  s.packBase = *base;
  if (!s.entry.empty()) TakeEntry(s, s.entry);
  return s;
}

bool AdoptPack(Source& s) {
  if (s.InPack()) return true;
  const auto base = FindPack(s.file);
  if (!base) return false;
  s.packOffset = static_cast<int64_t>(*base);
  s.packBase = *base;
  return true;
}

std::string Source::PackText() const {
  return NameForLibrary(path) + "," + std::to_string(packBase);
}

Bytes ObjectBytes(const Source& s) {
  return s.entry.empty() ? Bytes(s.file) : EntryBytes(s, s.entry);
}

Bytes EntryBytes(const Source& s, const std::string& name) {
  const std::string wanted = taviwriter::PackName(name);
  const PackInfo pack = *ReadPack(s.file, s.packBase);
  for (const PackEntryInfo& e : pack.entries) {
    if (e.name != wanted) continue;
    if (e.start < 0 || !Has(s.file, static_cast<size_t>(e.start), e.size)) {
      Refuse(s.path + ": entry '" + e.name + "' reaches past the end of the file");
    }
    return Bytes(s.file).subspan(static_cast<size_t>(e.start), e.size);
  }
  Refuse(s.path + ": the pack holds no entry '" + wanted + "'");
}

}  // namespace tavitool
