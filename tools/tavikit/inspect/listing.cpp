#include "inspect/listing.h"

#include <cstdio>

#include "commands/cli.h"
#include "src/common/wave_format.h"

namespace tavitool {
namespace {

void ListPack(const Source& src, Listing& l) {
  const PackInfo pack = *ReadPack(src.file, src.packBase);
  l.kind = "pack";
  l.summary =
      "DPMX pack at " + std::to_string(pack.base) + ", " + Count(pack.count, "entry", "entries");
  l.columns = {"name", "offset", "size", "kind"};
  l.problem = pack.problem;
  l.records = static_cast<int64_t>(pack.entries.size());
  for (const PackEntryInfo& e : pack.entries) {
    const std::string kind = e.start >= 0
                                 ? Summarize(src.file, static_cast<size_t>(e.start), e.size)
                                 : std::string("data");
    l.rows.push_back({e.name, std::to_string(e.start), std::to_string(e.size), kind});
  }
}

void ListArchive(Bytes file, const std::vector<uint32_t>& offsets, Listing& l) {
  l.kind = "archive";
  l.summary = "archive of " + Count(static_cast<int64_t>(offsets.size()), "picture", "pictures");
  l.columns = {"index", "offset", "size", "kind"};
  l.records = static_cast<int64_t>(offsets.size());
  int64_t stored = 0, pixels = 0;
  for (size_t i = 0; i < offsets.size(); ++i) {
    PictureInfo info;
    std::string why;
    const bool ok = DescribePicture(file, offsets[i], info, why);
    if (l.problem.empty() && (!ok || !info.problem.empty())) {
      l.problem = "picture " + std::to_string(i) + ": " + (ok ? info.problem : why);
    }
    stored += ok ? info.fileSize : 0;
    pixels += ok ? int64_t{info.width} * info.height : 0;
    l.rows.push_back({std::to_string(i), std::to_string(offsets[i]), std::to_string(info.fileSize),
                      ok ? Summarize(file, offsets[i], 0) : why});
  }
  l.ratio = pixels > 0 ? static_cast<double>(stored) / static_cast<double>(pixels) : 0;
}

void ListBank(Bytes file, const std::vector<BankEntryInfo>& entries, Listing& l) {
  l.kind = "sound bank";
  l.summary = "sound bank of " + Count(static_cast<int64_t>(entries.size()), "wave", "waves");
  l.columns = {"index", "offset", "size", "format", "rate", "seconds"};
  l.records = static_cast<int64_t>(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const BankEntryInfo& e = entries[i];
    WaveInfo w;
    std::string why = "entry reaches past the end of the bank";
    const bool ok =
        e.size > 0 && Has(file, size_t{e.offset} + 4, static_cast<size_t>(e.size)) &&
        DescribeWave(file.subspan(size_t{e.offset} + 4, static_cast<size_t>(e.size)), w, why);
    if (!ok && l.problem.empty()) l.problem = "wave " + std::to_string(i) + ": " + why;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f",
                  w.bytesPerSecond > 0 ? static_cast<double>(w.dataBytes) / w.bytesPerSecond : 0.0);
    l.rows.push_back({std::to_string(i), std::to_string(e.offset), std::to_string(e.size),
                      ok ? Summarize(file, size_t{e.offset} + 4, static_cast<size_t>(e.size)) : why,
                      std::to_string(w.rate), seconds});
  }
}

void ListPicture(Bytes file, Listing& l) {
  PictureInfo info;
  std::string why;
  if (!DescribePicture(file, 0, info, why)) return;
  l.kind = "picture";
  l.summary = "picture " + info.magic;
  l.columns = {"index", "offset", "size", "kind"};
  l.problem = info.problem;
  l.records = info.records;
  l.rows.push_back({"0", "0", std::to_string(info.fileSize), Summarize(file, 0, 0)});
  const int64_t pixels = int64_t{info.width} * info.height;
  l.ratio = pixels > 0 ? static_cast<double>(info.fileSize) / static_cast<double>(pixels) : 0;
}

bool IsNumber(const std::string& s) {
  int64_t ignored = 0;
  return ParseNumber(s, ignored) || (s.find_first_not_of("0123456789.") == std::string::npos &&
                                     s.find('.') != std::string::npos);
}

}  // namespace

Listing ListObject(const Source& src) {
  Listing l;
  l.file = src.path;
  l.kind = "data";
  const Bytes file(src.file);
  WaveInfo wave;
  std::string why;
  if (src.InPack()) {
    ListPack(src, l);
  } else if (const auto offsets = ReadArchive(file)) {
    ListArchive(file, *offsets, l);
  } else if (const auto bank = ReadBank(file)) {
    ListBank(file, *bank, l);
  } else if (HasMagic(file, 0, "RIFF") || HasMagic(file, 0, tavikit::kWaveMagicTAVI) ||
             HasMagic(file, 0, tavikit::kWaveMagicTavi)) {
    const bool ok = DescribeWave(file, wave, why);
    l.kind = "wave";
    l.summary = ok ? Summarize(file, 0, file.size()) : wave.form + " wave";
    l.problem = ok ? "" : why;
  } else {
    ListPicture(file, l);
  }
  return l;
}

std::string JsonText(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

void PrintListing(const Listing& l, bool json) {
  if (!json) {
    std::printf("%s: %s\n", l.file.c_str(), l.summary.c_str());
    for (const auto& row : l.rows) {
      for (size_t c = 0; c < row.size(); ++c)
        std::printf(c == 0 ? "  %-24s" : c + 1 == row.size() ? "  %s" : " %10s", row[c].c_str());
      std::printf("\n");
    }
    if (!l.problem.empty()) std::printf("  problem: %s\n", l.problem.c_str());
    return;
  }
  std::printf("{\"file\": %s, \"kind\": %s, \"problem\": %s, \"entries\": [",
              JsonText(l.file).c_str(), JsonText(l.kind).c_str(),
              l.problem.empty() ? "null" : JsonText(l.problem).c_str());
  for (size_t r = 0; r < l.rows.size(); ++r) {
    std::printf("%s{", r == 0 ? "" : ", ");
    for (size_t c = 0; c < l.columns.size() && c < l.rows[r].size(); ++c) {
      const std::string& v = l.rows[r][c];
      std::printf("%s%s: %s", c == 0 ? "" : ", ", JsonText(l.columns[c]).c_str(),
                  IsNumber(v) ? v.c_str() : JsonText(v).c_str());
    }
    std::printf("}");
  }
  std::printf("]}\n");
}

}  // namespace tavitool
