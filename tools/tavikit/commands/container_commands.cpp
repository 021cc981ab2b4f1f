// tavikit archive, pack, list and extract: picture archives and "DPMX" packs.
#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "inspect/listing.h"
#include "inspect/picture_info.h"
#include "inspect/source.h"
#include "platform/file_io.h"
#include "tools/writer/formats.h"

namespace tavitool {
namespace {

int RunArchive(const Args& a) {
  if (a.operands.empty() || !a.Has("-o")) Misuse("needs pictures and -o SET.tkx");
  std::vector<std::vector<uint8_t>> pictures;
  for (const std::string& in : a.operands) {
    std::vector<uint8_t> bytes = ReadInput(in);
    PictureInfo info;
    std::string error;
    if (!DescribePicture(bytes, 0, info, error)) Refuse(in, error);
    if (!info.problem.empty()) Refuse(in, info.problem);
    pictures.push_back(std::move(bytes));
  }
  return WriteAndReport(a.Get("-o"), taviwriter::BuildArchive(pictures),
                        Count(static_cast<int64_t>(pictures.size()), "picture", "pictures"));
}

// The files named, each folder replaced by the regular files directly inside it, sorted.
std::vector<std::string> PackInputs(const std::vector<std::string>& operands) {
  std::vector<std::string> files;
  for (const std::string& in : operands) {
    if (!IsFolder(in)) {
      files.push_back(in);
      continue;
    }
    const std::vector<std::string> inside = FilesIn(in);
    files.insert(files.end(), inside.begin(), inside.end());
  }
  return files;
}

int RunPack(const Args& a) {
  if (a.operands.empty() || !a.Has("-o")) Misuse("needs files and -o DATA.dpm");
  std::vector<taviwriter::PackEntry> entries;
  std::map<std::string, std::string> seen;  // stored name -> the file that took it
  for (const std::string& file : PackInputs(a.operands)) {
    const std::string name = taviwriter::PackName(TextOf(PathOf(file).filename()));
    if (name.size() > taviwriter::kPackNameMax) {
      Refuse(file, "name '" + name + "' is longer than 23 bytes");
    }
    if (const auto it = seen.find(name); it != seen.end()) {
      Refuse(file, "name '" + name + "' is already taken by " + it->second);
    }
    seen[name] = file;
    entries.push_back({name, ReadInput(file, true)});
  }
  const std::string host = a.Get("--append-to");
  std::vector<uint8_t> bytes = host.empty() ? std::vector<uint8_t>{} : ReadInput(host);
  const size_t offset = bytes.size();
  if (offset > INT32_MAX) Refuse(host + ": too large to hold a pack after it");
  taviwriter::AppendBytes(bytes, taviwriter::BuildPack(entries));
  WriteOutput(a.Get("-o"), bytes, host);
  std::printf("%s: %s, pack text \"%s,%zu\"\n", a.Get("-o").c_str(),
              Count(static_cast<int64_t>(entries.size()), "entry", "entries").c_str(),
              a.Get("-o").c_str(), offset);
  return kExitOk;
}

int RunList(const Args& a) {
  if (a.operands.size() != 1) Misuse("needs one FILE[,OFFSET]");
  Source src = OpenSource(a.operands[0]);
  AdoptPack(src);
  const Listing listing = ListObject(src);
  if (listing.kind == "data") {
    Refuse(src.path + ": neither a pack, an archive, a sound bank nor a picture");
  }
  PrintListing(listing, a.Has("--json"));
  return kExitOk;
}

// Writes the named entries (all without names) of a pack into a folder.
int RunExtract(const Args& a) {
  if (a.operands.empty() || !a.Has("-o")) Misuse("needs PACK[,OFFSET] and -o DIR");
  Source src = OpenSource(a.operands[0]);
  if (!AdoptPack(src)) Refuse(src.path + ": no DPMX pack found");
  const std::string dir = a.Get("-o");
  if (!IsFolder(dir)) Refuse(dir + ": no such folder");
  std::vector<std::string> names(a.operands.begin() + 1, a.operands.end());
  if (names.empty()) {
    const PackInfo pack = *ReadPack(src.file, src.packBase);
    for (const PackEntryInfo& e : pack.entries)
      names.push_back(e.name);
  }
  for (const std::string& name : names) {
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of("/\\") != std::string::npos) {
      Refuse("'" + name + "' cannot be written as a file name");
    }
    WriteAndReport(TextOf(PathOf(dir) / PathOf(taviwriter::PackName(name))), EntryBytes(src, name),
                   "entry");
  }
  return kExitOk;
}

constexpr Option kPackOptions[] = {{"-o", true}, {"--append-to", true}};

}  // namespace

const Command kArchiveCommand{"archive", "gather pictures into a picture archive",
                              "usage: tavikit archive A.tk B.tk ... -o SET.tkx\n"
                              "\n"
                              "Gathers pictures into one archive; a script draws picture N of it "
                              "with tavi_PCP2BLoad.\n",
                              kOutputOnly, RunArchive};

const Command kPackCommand{
    "pack", "gather files (pictures, waves, banks, anything) into a DPMX data pack",
    "usage: tavikit pack DIR|FILE... -o DATA.dpm [--append-to FILE]\n"
    "\n"
    "Gathers files (and the files directly inside each DIR) into a DPMX pack. Entries are named\n"
    "by their file names in lower case, at most 23 bytes; longer names and names that collide\n"
    "are refused. With --append-to, OUT is a copy of FILE (with its permission bits) with the\n"
    "pack after it; the pack text to open it (\"OUT,OFFSET\") is printed.\n",
    kPackOptions, RunPack};

const Command kListCommand{
    "list", "list a pack, an archive, a sound bank or a picture",
    "usage: tavikit list FILE[,OFFSET] [--json]\n"
    "\n"
    "Lists a pack (at OFFSET; without one, at 0 or appended to the file) with its entries'\n"
    "names, offsets, sizes and kinds, an archive with its pictures, a sound bank with its\n"
    "waves (size, format, rate, length in seconds), or a single picture.\n",
    kJsonOnly, RunList};

const Command kExtractCommand{"extract", "copy entries of a pack out into a folder",
                              "usage: tavikit extract PACK[,OFFSET] [NAME...] -o DIR\n"
                              "\n"
                              "Writes the named entries (all of them without names) of the pack "
                              "into DIR.\n",
                              kOutputOnly, RunExtract};

}  // namespace tavitool
