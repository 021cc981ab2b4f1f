// tavikit archive, tavikit pack and tavikit list: picture archives and "DPMX" packs.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "commands.h"
#include "file_io.h"
#include "picture_info.h"
#include "tools/writer/formats.h"

namespace tavitool {
namespace {

namespace fs = std::filesystem;

constexpr const char* kArchiveHelp =
    "usage: tavikit archive A.tk B.tk ... -o SET.tkx\n"
    "\n"
    "Gathers pictures into one archive; a script draws picture N of it with tavi_PCP2BLoad.\n";

constexpr const char* kPackHelp =
    "usage: tavikit pack DIR|FILE... -o DATA.dpm [--append-to FILE]\n"
    "\n"
    "Gathers files (and the files directly inside each DIR) into a DPMX pack. Entries are named\n"
    "by their file names in lower case, at most 23 bytes; longer names and names that collide\n"
    "are refused. With --append-to, OUT is a copy of FILE with the pack after it; the pack text\n"
    "to open it (\"OUT,OFFSET\") is printed.\n";

constexpr const char* kListHelp =
    "usage: tavikit list FILE[,OFFSET]\n"
    "\n"
    "Lists a pack (at OFFSET, default 0) with its entries' names, offsets, sizes and kinds, an\n"
    "archive with its pictures, or a single picture.\n";

// Parses "-o OUT" and the other arguments; false on a missing value.
bool SplitArgs(int argc, char** argv, std::vector<std::string>& inputs, std::string& out,
               std::string& appendTo, bool allowAppend, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-o" || (allowAppend && arg == "--append-to")) {
      if (i + 1 >= argc) {
        error = arg + " needs a value";
        return false;
      }
      (arg == "-o" ? out : appendTo) = argv[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      error = "unexpected option '" + arg + "' (see --help)";
      return false;
    } else {
      inputs.push_back(arg);
    }
  }
  return true;
}

}  // namespace

int RunArchive(int argc, char** argv) {
  if (WantsHelp(argc, argv)) {
    std::printf("%s", kArchiveHelp);
    return 0;
  }
  std::vector<std::string> inputs;
  std::string out, unused, error;
  if (!SplitArgs(argc, argv, inputs, out, unused, false, error)) return Fail("archive", error);
  if (inputs.empty() || out.empty()) {
    return Fail("archive", "needs pictures and -o SET.tkx (see --help)");
  }
  std::vector<std::vector<uint8_t>> pictures;
  for (const std::string& in : inputs) {
    std::vector<uint8_t> bytes;
    PictureInfo info;
    if (!ReadFile(in, bytes, error)) return Fail("archive", error);
    if (!DescribePicture(bytes, 0, info, error)) return Fail("archive", About(in, error));
    pictures.push_back(std::move(bytes));
  }
  const auto archive = taviwriter::BuildArchive(pictures);
  if (!WriteFile(out, archive, error)) return Fail("archive", error);
  std::printf("%s: %zu pictures, %zu bytes\n", out.c_str(), pictures.size(), archive.size());
  return 0;
}

int RunPack(int argc, char** argv) {
  if (WantsHelp(argc, argv)) {
    std::printf("%s", kPackHelp);
    return 0;
  }
  std::vector<std::string> inputs;
  std::string out, appendTo, error;
  if (!SplitArgs(argc, argv, inputs, out, appendTo, true, error)) return Fail("pack", error);
  if (inputs.empty() || out.empty()) return Fail("pack", "needs files and -o DATA.dpm");

  std::vector<fs::path> files;
  for (const std::string& in : inputs) {
    std::error_code ec;
    if (fs::is_directory(in, ec)) {
      std::vector<fs::path> inside;
      for (const auto& entry : fs::directory_iterator(in, ec)) {
        if (entry.is_regular_file()) inside.push_back(entry.path());
      }
      std::sort(inside.begin(), inside.end());
      files.insert(files.end(), inside.begin(), inside.end());
    } else {
      files.emplace_back(in);
    }
  }
  std::vector<taviwriter::PackEntry> entries;
  std::map<std::string, std::string> seen;  // stored name -> the file that took it
  for (const fs::path& file : files) {
    const std::string name = taviwriter::PackName(file.filename().string());
    if (name.size() > taviwriter::kPackNameMax) {
      return Fail("pack", file.string() + ": name '" + name + "' is longer than 23 bytes");
    }
    if (const auto it = seen.find(name); it != seen.end()) {
      return Fail("pack",
                  file.string() + ": name '" + name + "' is already taken by " + it->second);
    }
    seen[name] = file.string();
    taviwriter::PackEntry entry{name, {}};
    if (!ReadFile(file.string(), entry.data, error)) return Fail("pack", error);
    entries.push_back(std::move(entry));
  }
  std::vector<uint8_t> bytes;
  if (!appendTo.empty() && !ReadFile(appendTo, bytes, error)) return Fail("pack", error);
  const size_t offset = bytes.size();
  if (offset > INT32_MAX) return Fail("pack", appendTo + ": too large to hold a pack after it");
  taviwriter::AppendBytes(bytes, taviwriter::BuildPack(entries));
  if (!WriteFile(out, bytes, error)) return Fail("pack", error);
  std::printf("%s: %zu entries, pack text \"%s,%zu\"\n", out.c_str(), entries.size(), out.c_str(),
              offset);
  return 0;
}

int RunList(int argc, char** argv) {
  if (WantsHelp(argc, argv) || argc != 2) {
    std::printf("%s", kListHelp);
    return argc == 2 ? 0 : 2;
  }
  std::string path = argv[1];
  long long base = 0;
  if (const size_t comma = path.rfind(','); comma != std::string::npos) {
    if (!ParseInt(path.substr(comma + 1), base) || base < 0) {
      return Fail("list", "'" + path + "': the offset after ',' must be 0 or more");
    }
    path.resize(comma);
  }
  std::vector<uint8_t> file;
  std::string error;
  if (!ReadFile(path, file, error)) return Fail("list", error);
  const std::span<const uint8_t> all(file);
  const auto at = static_cast<size_t>(base);
  auto le32 = [&](size_t p) {
    return static_cast<int32_t>(file[p] | file[p + 1] << 8 | file[p + 2] << 16 |
                                static_cast<uint32_t>(file[p + 3]) << 24);
  };

  if (at + 16 <= file.size() && std::equal(file.begin() + at, file.begin() + at + 4, "DPMX")) {
    const int32_t dataOffset = le32(at + 4);
    const int32_t count = le32(at + 8);
    std::printf("%s: DPMX pack at %zu, %d entries, data area at %lld\n", path.c_str(), at, count,
                base + dataOffset);
    std::printf("  %-24s %10s %10s  %s\n", "name", "offset", "size", "kind");
    for (int64_t i = 0; i < count; ++i) {
      const size_t rec = at + 16 + 32 * static_cast<size_t>(i);
      if (rec + 32 > file.size()) {
        std::printf("  (directory cut short after %lld entries)\n", static_cast<long long>(i));
        break;
      }
      const std::string name(reinterpret_cast<const char*>(&file[rec]),
                             strnlen(reinterpret_cast<const char*>(&file[rec]), 24));
      const int64_t start = base + dataOffset + le32(rec + 24);
      const std::string kind =
          start >= 0 ? Summarize(all, static_cast<size_t>(start)) : std::string("data");
      std::printf("  %-24s %10lld %10d  %s\n", name.c_str(), static_cast<long long>(start),
                  le32(rec + 28), kind.c_str());
    }
    return 0;
  }
  std::vector<uint32_t> offsets;
  int32_t count = 0;
  if (ReadArchive(all, offsets, count, error)) {
    std::printf("%s: archive of %d pictures\n", path.c_str(), count);
    std::printf("  %5s %10s %10s  %s\n", "index", "offset", "size", "kind");
    for (size_t i = 0; i < offsets.size(); ++i) {
      PictureInfo info;
      std::string why;
      const bool ok = DescribePicture(all, offsets[i], info, why);
      std::printf("  %5zu %10u %10d  %s\n", i, offsets[i], ok ? info.fileSize : 0,
                  ok ? Summarize(all, offsets[i]).c_str() : why.c_str());
    }
    return 0;
  }
  PictureInfo info;
  if (DescribePicture(all, at, info, error)) {
    std::printf("%s: picture %s\n  %5s %10s %10s  %s\n  %5d %10zu %10d  %s\n", path.c_str(),
                info.magic.c_str(), "index", "offset", "size", "kind", 0, at, info.fileSize,
                Summarize(all, at).c_str());
    return 0;
  }
  return Fail("list", path + ": neither a pack, an archive nor a picture");
}

}  // namespace tavitool
