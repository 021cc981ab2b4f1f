// Writers of the files the library reads: compressed pictures, picture archives and "DPMX"
// packs. Header-only and plain C++, so that the tool, the tests (in every build, Windows
// included), the fuzzers' seed corpora and the benchmarks build their files the same way.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "src/common/formats.h"

namespace taviwriter {

// The four picture kinds the library draws: the third magic character selects the escape
// records (0 runs, 1 skips), the fourth the scan order (0 rows, 1 columns).
enum class PictureKind { kTK00, kTK10, kTK01, kTK11 };

inline constexpr std::array<PictureKind, 4> kAllKinds = {PictureKind::kTK00, PictureKind::kTK10,
                                                         PictureKind::kTK01, PictureKind::kTK11};

inline const char* KindName(PictureKind kind) {
  switch (kind) {
    case PictureKind::kTK00:
      return "TK00";
    case PictureKind::kTK10:
      return "TK10";
    case PictureKind::kTK01:
      return "TK01";
    case PictureKind::kTK11:
      return "TK11";
  }
  return "TK00";
}

inline std::optional<PictureKind> KindFromName(const std::string& name) {
  for (PictureKind kind : kAllKinds) {
    if (name == KindName(kind)) return kind;
  }
  return std::nullopt;
}

inline bool UsesSkips(PictureKind kind) {
  return kind == PictureKind::kTK10 || kind == PictureKind::kTK11;
}
inline bool UsesColumns(PictureKind kind) {
  return kind == PictureKind::kTK01 || kind == PictureKind::kTK11;
}

inline constexpr size_t kPictureHeader = tavikit::formats::kPictureHeaderSize;
inline constexpr uint32_t kMaxEscapePosition = (1u << 24) - 1;
inline constexpr uint32_t kMaxCount = (1u << 24) - 1;
// A run record (7 bytes) pays for itself from this many equal pixels on.
inline constexpr size_t kShortestRun = 8;

inline void PutLe24(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
  out[at + 2] = static_cast<uint8_t>(v >> 16);
}
inline void PutLe32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  PutLe24(out, at, v);
  out[at + 3] = static_cast<uint8_t>(v >> 24);
}
inline void AppendBytes(std::vector<uint8_t>& out, std::span<const uint8_t> bytes) {
  const size_t at = out.size();
  out.resize(at + bytes.size());
  if (!bytes.empty()) std::memcpy(out.data() + at, bytes.data(), bytes.size());
}
inline void AppendMagic(std::vector<uint8_t>& out, const char (&magic)[5]) {
  AppendBytes(out, std::span(reinterpret_cast<const uint8_t*>(magic), 4));
}
inline void AppendLe32(std::vector<uint8_t>& out, uint32_t v) {
  out.resize(out.size() + 4);
  PutLe32(out, out.size() - 4, v);
}

// An 8-bit image, rows top-down, one palette index per pixel.
struct Pixels {
  int32_t width = 0;
  int32_t height = 0;
  std::span<const uint8_t> data;  // width * height bytes

  // Pixel number i in the scan order of `kind`.
  uint8_t InScan(PictureKind kind, size_t i) const {
    if (!UsesColumns(kind)) return data[i];
    const size_t h = static_cast<size_t>(height);
    return data[(i % h) * static_cast<size_t>(width) + i / h];
  }
};

// Builds a picture stream item by item, linking each escape record to the next.
class PictureBuilder {
 public:
  PictureBuilder(PictureKind kind, int32_t width, int32_t height) : kind_(kind) {
    out_.assign(kPictureHeader, 0);
    const char* magic = KindName(kind);
    std::memcpy(out_.data(), magic, 4);
    PutLe32(out_, 8, static_cast<uint32_t>(width));
    PutLe32(out_, 12, static_cast<uint32_t>(height));
  }

  // True when an escape record may still start at the end of the stream.
  bool CanEscape() const { return out_.size() <= kMaxEscapePosition; }

  void Literal(uint8_t value) { out_.push_back(value); }
  void Run(uint8_t value, uint32_t count) {
    Link();
    out_.push_back(value);
    Append24(count);
    Append24(0);
  }
  void Skip(uint32_t count) {
    Link();
    Append24(count);
    Append24(0);
  }

  // The finished picture; the last escape record names position 0, which the stream never
  // reaches again.
  std::vector<uint8_t> Finish() {
    PutLe32(out_, 4, static_cast<uint32_t>(out_.size()));
    return std::move(out_);
  }

  PictureKind kind() const { return kind_; }

 private:
  void Append24(uint32_t v) {
    out_.resize(out_.size() + 3);
    PutLe24(out_, out_.size() - 3, v);
  }
  // Points the previous escape record (or the header) at a record starting here.
  void Link() {
    PutLe24(out_, lastNext_, static_cast<uint32_t>(out_.size()));
    lastNext_ = out_.size() + (UsesSkips(kind_) ? 3 : 4);
  }

  PictureKind kind_;
  std::vector<uint8_t> out_;
  size_t lastNext_ = 16;  // where the next escape position is written: the header's firstEscape
};

// Encodes `image` as a picture of `kind`. Run kinds use run records for runs of kShortestRun
// equal pixels or more, literals elsewhere. Skip kinds turn every pixel of index `skip` (0 to
// 255; -1 for none) into skip records and write the others as literals. Returns nothing when the
// picture cannot be written: skipped pixels beyond the 16 MiB reach of escape positions.
inline std::optional<std::vector<uint8_t>> EncodePicture(const Pixels& image, PictureKind kind,
                                                         int skip = -1) {
  PictureBuilder b(kind, image.width, image.height);
  const size_t n = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
  size_t i = 0;
  while (i < n) {
    const uint8_t v = image.InScan(kind, i);
    size_t same = 1;
    while (i + same < n && same < kMaxCount && image.InScan(kind, i + same) == v)
      ++same;
    if (UsesSkips(kind) && v == skip) {
      if (!b.CanEscape()) return std::nullopt;
      b.Skip(static_cast<uint32_t>(same));
    } else if (!UsesSkips(kind) && same >= kShortestRun && b.CanEscape()) {
      b.Run(v, static_cast<uint32_t>(same));
    } else {
      for (size_t k = 0; k < same; ++k)
        b.Literal(v);
    }
    i += same;
  }
  return b.Finish();
}

// The kinds `auto` chooses from: with a skip index only the skip kinds keep those pixels
// transparent; without one every kind draws the same picture.
inline std::vector<PictureKind> AutoCandidates(int skip) {
  if (skip >= 0) return {PictureKind::kTK10, PictureKind::kTK11};
  return {kAllKinds.begin(), kAllKinds.end()};
}

// The smallest encoding among the candidates (the first one on a tie).
inline std::optional<std::vector<uint8_t>> EncodeSmallest(const Pixels& image, int skip = -1) {
  std::optional<std::vector<uint8_t>> best;
  for (PictureKind kind : AutoCandidates(skip)) {
    auto bytes = EncodePicture(image, kind, skip);
    if (bytes && (!best || bytes->size() < best->size())) best = std::move(bytes);
  }
  return best;
}

// A picture archive: "TAvi", the count, the position of each picture, then the pictures.
inline std::vector<uint8_t> BuildArchive(const std::vector<std::vector<uint8_t>>& pictures) {
  std::vector<uint8_t> out;
  AppendMagic(out, tavikit::formats::kArchiveMagic);
  AppendLe32(out, static_cast<uint32_t>(pictures.size()));
  size_t at = 8 + 4 * pictures.size();
  for (const auto& p : pictures) {
    AppendLe32(out, static_cast<uint32_t>(at));
    at += p.size();
  }
  for (const auto& p : pictures)
    AppendBytes(out, p);
  return out;
}

struct PackEntry {
  std::string name;  // as stored: lower-case, at most 23 bytes
  std::vector<uint8_t> data;
};

inline constexpr size_t kPackHeader = tavikit::formats::kPackHeaderSize;
inline constexpr size_t kPackRecord = tavikit::formats::kPackRecordSize;
inline constexpr size_t kPackNameMax = tavikit::formats::kPackNameMax;

// The stored form of a name: "A" to "Z" lowered, every other byte as it is.
inline std::string PackName(std::string name) {
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
  }
  return name;
}

// A "DPMX" pack: header, directory, then the entries' bytes in order. Names are stored as given
// (the caller lowers and checks them).
inline std::vector<uint8_t> BuildPack(const std::vector<PackEntry>& entries) {
  std::vector<uint8_t> out;
  AppendMagic(out, tavikit::formats::kPackMagic);
  const size_t dataOffset = kPackHeader + kPackRecord * entries.size();
  AppendLe32(out, static_cast<uint32_t>(dataOffset));
  AppendLe32(out, static_cast<uint32_t>(entries.size()));
  AppendLe32(out, 0);
  size_t at = 0;
  for (const PackEntry& e : entries) {
    std::array<uint8_t, tavikit::formats::kPackNameField> name{};
    std::memcpy(name.data(), e.name.data(), std::min(e.name.size(), name.size()));
    AppendBytes(out, name);
    AppendLe32(out, static_cast<uint32_t>(at));
    AppendLe32(out, static_cast<uint32_t>(e.data.size()));
    at += e.data.size();
  }
  for (const PackEntry& e : entries)
    AppendBytes(out, e.data);
  return out;
}

// Fixture pixels for tests, seeds and benchmarks: `count` palette indices below `colours` in runs
// of 1 to `longestRun` equal pixels, so that encoders meet both literals and escape records.
inline std::vector<uint8_t> RandomRuns(std::mt19937& rng, size_t count, int colours,
                                       int longestRun) {
  std::vector<uint8_t> pixels(count);
  for (size_t i = 0; i < count;) {
    const auto v = static_cast<uint8_t>(rng() % static_cast<uint32_t>(colours));
    for (size_t n = 1 + rng() % static_cast<uint32_t>(longestRun); n > 0 && i < count; --n)
      pixels[i++] = v;
  }
  return pixels;
}

}  // namespace taviwriter
