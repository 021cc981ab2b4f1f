#include "source.h"

#include <sys/stat.h>

#include "cli.h"
#include "file_io.h"
#include "tools/writer/formats.h"

namespace tavitool {
namespace {

bool IsFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

bool AllDigits(const std::string& s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos && s.size() < 10;
}

Source Parse(const std::string& text) {
  Source s;
  s.path = text;
  while (!IsFile(s.path)) {
    const size_t cut = s.path.find_last_of("#,");
    if (cut == std::string::npos) break;
    const std::string tail = s.path.substr(cut + 1);
    if (s.path[cut] == ',' && AllDigits(tail)) {
      s.packOffset = std::stoll(tail);
    } else if (s.path[cut] == '#' && AllDigits(tail) && s.index < 0 && s.entry.empty()) {
      s.index = std::stoll(tail);
    } else if (s.path[cut] == '#' && s.entry.empty() && !tail.empty()) {
      s.entry = tail;
    } else {
      break;
    }
    s.path.resize(cut);
    if (s.packOffset >= 0) break;
  }
  return s;
}

}  // namespace

Source OpenSource(const std::string& text) {
  Source s = Parse(text);
  s.file = ReadInput(s.path);
  if (!s.InPack()) return s;
  const auto base = s.packOffset >= 0 ? std::optional<size_t>(s.packOffset) : FindPack(s.file);
  if (!base || !ReadPack(s.file, *base)) {
    Refuse(s.path + ": no DPMX pack " +
           (s.packOffset >= 0 ? "at " + std::to_string(s.packOffset) : std::string("found")));
  }
  s.packBase = *base;
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
