#include "inspect/picture_info.h"

#include <cstring>

#include "commands/cli.h"
#include "src/common/byte_reader.h"
#include "src/common/formats.h"
#include "src/common/wave_format.h"
#include "tools/writer/wave_writer.h"

namespace tavitool {
namespace {

namespace fmt = tavikit::formats;

// Pictures larger than this many pixels are described but not drawn by the tool.
constexpr int64_t kMaxDrawPixels = int64_t{1} << 28;

uint32_t Le24(Bytes b, size_t at) { return Has(b, at, 3) ? tavikit::LoadLe24(b.data() + at) : 0; }

// Walks the stream as the decoder reads it and names the first fault, "" for none.
std::string StreamProblem(Bytes picture, bool skips, PictureInfo& info) {
  const auto n = static_cast<uint64_t>(info.width) * static_cast<uint64_t>(info.height);
  uint64_t i = 0;
  size_t p = fmt::kPictureHeaderSize;
  uint32_t e = Le24(picture, 16);
  const size_t record = skips ? 6 : 7;
  while (i < n) {
    if (p == e) {
      if (!Has(picture, p, record))
        return "an escape record is cut short at byte " + std::to_string(p);
      const uint32_t count = Le24(picture, p + (skips ? 0 : 1));
      e = Le24(picture, p + record - 3);
      p += record;
      ++info.records;
      if (count > n - i)
        return "a record at byte " + std::to_string(p - record) + " runs past the last pixel";
      i += count;
    } else if (p < picture.size()) {
      ++p;
      ++i;
    } else {
      return "the stream ends after " + std::to_string(i) + " of " + std::to_string(n) + " pixels";
    }
  }
  return "";
}

}  // namespace

uint32_t Le32(Bytes b, size_t at) {
  return Has(b, at, 4) ? static_cast<uint32_t>(tavikit::LoadLe32(b.data() + at)) : 0;
}

bool Has(Bytes b, size_t at, size_t n) { return at <= b.size() && b.size() - at >= n; }

bool HasMagic(Bytes b, size_t at, const char* magic) {
  return Has(b, at, 4) && std::memcmp(b.data() + at, magic, 4) == 0;
}

std::string SizeProblem(int64_t width, int64_t height) {
  const std::string size = std::to_string(width) + " x " + std::to_string(height);
  if (width <= 0 || height <= 0) return size + " holds no pixels";
  if (width * height > kMaxDrawPixels) {
    return size + " is larger than the 2^28 pixels a picture may hold";
  }
  return "";
}

bool DescribePicture(Bytes file, size_t at, PictureInfo& info, std::string& error) {
  const auto magic = static_cast<int32_t>(Le32(file, at));
  if (!Has(file, at, fmt::kPictureHeaderSize) || magic < fmt::kPictureMagicLow ||
      magic > fmt::kPictureMagicHigh) {
    error = "not a picture (no TK magic and 19-byte header)";
    return false;
  }
  info = PictureInfo{};
  for (size_t i = 0; i < 4; ++i) {
    const uint8_t c = file[at + i];
    info.magic += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
  }
  info.fileSize = static_cast<int32_t>(Le32(file, at + 4));
  info.width = static_cast<int32_t>(Le32(file, at + 8));
  info.height = static_cast<int32_t>(Le32(file, at + 12));
  info.offset = at;
  const bool known =
      info.magic == "TK00" || info.magic == "TK10" || info.magic == "TK01" || info.magic == "TK11";
  info.problem =
      known ? SizeProblem(info.width, info.height) : "kind " + info.magic + " is not drawn";
  info.drawable = info.problem.empty();
  if (info.drawable && (info.fileSize < 19 || !Has(file, at, static_cast<size_t>(info.fileSize)))) {
    info.problem = "its header says " + Count(info.fileSize, "byte", "bytes") +
                   ", the file holds " + std::to_string(file.size() - at);
  }
  if (info.problem.empty()) {
    info.problem = StreamProblem(file.subspan(at, static_cast<size_t>(info.fileSize)),
                                 info.magic[2] == '1', info);
  }
  return true;
}

std::optional<std::vector<uint32_t>> ReadArchive(Bytes file) {
  if (!Has(file, 0, fmt::kArchiveHeaderSize) || !HasMagic(file, 0, fmt::kArchiveMagic)) {
    return std::nullopt;
  }
  const auto count = static_cast<int32_t>(Le32(file, 4));
  std::vector<uint32_t> offsets;
  for (int64_t i = 0; i < count && Has(file, 8 + 4 * static_cast<size_t>(i), 4); ++i)
    offsets.push_back(Le32(file, 8 + 4 * static_cast<size_t>(i)));
  return offsets;
}

std::optional<PackInfo> ReadPack(Bytes file, size_t base) {
  if (!Has(file, base, fmt::kPackHeaderSize) || !HasMagic(file, base, fmt::kPackMagic)) {
    return std::nullopt;
  }
  PackInfo pack;
  pack.base = base;
  pack.count = static_cast<int32_t>(Le32(file, base + 8));
  const int64_t data = static_cast<int64_t>(base) + static_cast<int32_t>(Le32(file, base + 4));
  for (int64_t i = 0; i < pack.count; ++i) {
    const size_t rec = base + fmt::kPackHeaderSize + fmt::kPackRecordSize * static_cast<size_t>(i);
    if (!Has(file, rec, fmt::kPackRecordSize)) {
      pack.problem = "the directory is cut short after " + Count(i, "entry", "entries");
      break;
    }
    const char* name = reinterpret_cast<const char*>(file.data() + rec);
    PackEntryInfo entry{std::string(name, strnlen(name, fmt::kPackNameField)),
                        data + static_cast<int32_t>(Le32(file, rec + 24)), Le32(file, rec + 28)};
    if (pack.problem.empty() &&
        (entry.start < 0 || !Has(file, static_cast<size_t>(entry.start), entry.size))) {
      pack.problem = "entry '" + entry.name + "' reaches past the end of the file";
    }
    pack.entries.push_back(entry);
  }
  return pack;
}

std::optional<size_t> FindPack(Bytes file) {
  if (HasMagic(file, 0, fmt::kPackMagic)) return 0;
  for (size_t at = file.size() >= 4 ? file.size() - 4 : 0; at-- > 0;) {
    if (!HasMagic(file, at, fmt::kPackMagic)) continue;
    const uint64_t count = Le32(file, at + 8);
    if (Le32(file, at + 4) == fmt::kPackHeaderSize + fmt::kPackRecordSize * count &&
        Has(file, at, Le32(file, at + 4))) {
      return at;
    }
  }
  return std::nullopt;
}

bool DescribeWave(Bytes image, WaveInfo& info, std::string& error) {
  info.form = HasMagic(image, 0, tavikit::kWaveMagicTAVI)   ? "TAVI"
              : HasMagic(image, 0, tavikit::kWaveMagicTavi) ? "tavi"
                                                            : "plain";
  const auto plain = taviwriter::UnscrambleWave(image);
  error = "not a wave (no RIFF/WAVE header)";
  if (!plain) return false;
  const Bytes riff(*plain);
  const uint64_t end = std::min<uint64_t>(8 + uint64_t{Le32(riff, 4)}, riff.size());
  bool haveFormat = false;
  for (uint64_t at = 12; at + 8 <= end;) {
    const uint32_t n = Le32(riff, at + 4);
    if (at + 8 + n > riff.size()) break;
    if (HasMagic(riff, at, "fmt ") && !haveFormat) {
      error = "its \"fmt \" chunk is shorter than 14 bytes";
      if (n < 14) return false;
      haveFormat = true;
      info.formatTag = static_cast<uint16_t>(Le32(riff, at + 8));
      info.channels = static_cast<uint16_t>(Le32(riff, at + 8) >> 16);
      info.rate = Le32(riff, at + 12);
      info.bytesPerSecond = Le32(riff, at + 16);
      info.bits = n >= 16 ? static_cast<uint16_t>(Le32(riff, at + 20) >> 16) : 0;
    } else if (HasMagic(riff, at, "data") && info.dataBytes == 0) {
      info.dataBytes = n;
    }
    if (haveFormat && info.dataBytes != 0) return true;
    at += 8 + uint64_t{n} + (n & 1u);
  }
  error = "no \"fmt \" and non-empty \"data\" chunk inside the image";
  return false;
}

std::optional<std::vector<BankEntryInfo>> ReadBank(Bytes file) {
  if (!Has(file, 0, 8) || !HasMagic(file, 0, tavikit::kSoundBankMagic)) return std::nullopt;
  std::vector<BankEntryInfo> entries;
  const auto count = static_cast<int32_t>(Le32(file, 4));
  for (int64_t i = 0; i < count && Has(file, 8 + 4 * static_cast<size_t>(i), 4); ++i) {
    const uint32_t offset = Le32(file, 8 + 4 * static_cast<size_t>(i));
    entries.push_back({offset, static_cast<int32_t>(Le32(file, offset))});
  }
  return entries;
}

std::string Summarize(Bytes file, size_t at, size_t size) {
  PictureInfo info;
  WaveInfo wave;
  std::string ignored;
  if (DescribePicture(file, at, info, ignored)) {
    return info.magic + " " + std::to_string(info.width) + " x " + std::to_string(info.height);
  }
  if (HasMagic(file, at, fmt::kArchiveMagic)) {
    return "archive of " + Count(static_cast<int32_t>(Le32(file, at + 4)), "picture", "pictures");
  }
  if (HasMagic(file, at, tavikit::kSoundBankMagic)) {
    return "sound bank of " + Count(static_cast<int32_t>(Le32(file, at + 4)), "wave", "waves");
  }
  if (HasMagic(file, at, "\x89PNG")) return "PNG";
  if (Has(file, at, size) && DescribeWave(file.subspan(at, size), wave, ignored)) {
    return wave.form + " wave, " + std::to_string(wave.bits) + "-bit " +
           (wave.channels == 1 ? "mono" : std::to_string(wave.channels) + " channels") + ", " +
           std::to_string(wave.rate) + " Hz";
  }
  return "data";
}

}  // namespace tavitool
