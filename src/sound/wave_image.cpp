// Wave images and sound banks, as the loader depends on them:
//  - "TAVI" images: bytes 4 to 67 are XORed with bytes 68 to 131, which the XOR leaves alone, so
//    the same step scrambles and unscrambles; a short image XORs with the zeroed reserve.
//  - "tavi" images: the last byte is XORed with the seed, then from the second last down to
//    byte 4 each byte with the (already restored) byte after it. It needs the exact image size.
//  - RIFF: "RIFF", length L, "WAVE", then chunks up to offset 8 + L: id, length n, body, one
//    filler byte after an odd body. The first "fmt " counts (shorter than 14 ends the walk), the
//    first "data" of length other than 0 counts; the walk ends as soon as both are known.
//  - Banks: "TKWV", a signed count, a table of entry offsets; an entry is a signed size, then
//    the image. Integers are 32-bit little-endian.
#include "sound/wave_image.h"

#include <array>
#include <cstring>

#include "common/byte_reader.h"
#include "common/wave_format.h"

namespace tavikit {
namespace {

bool HasMagic(std::span<const uint8_t> bytes, size_t at, const char* magic) {
  return at <= bytes.size() && bytes.size() - at >= 4 &&
         std::memcmp(bytes.data() + at, magic, 4) == 0;
}

uint32_t Le32At(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint32_t>(LoadLe32(bytes.data() + at));
}

}  // namespace

size_t UnscrambleWave(std::span<uint8_t> image, size_t size) {
  if (HasMagic(image, 0, kWaveMagicTAVI)) {
    for (size_t k = 0; k < 64 && 68 + k < image.size(); ++k)
      image[4 + k] ^= image[68 + k];
    return 4;
  }
  if (HasMagic(image, 0, kWaveMagicTavi)) {
    if (size < 4 || size > image.size()) return 4;  // the magic lies in the reserve: nothing read
    image[size - 1] ^= kWaveScrambleSeed;
    if (size >= 6) {
      for (size_t k = size - 2; k >= 4; --k)
        image[k] ^= image[k + 1];
    }
    return 4;
  }
  return 0;
}

int32_t FindWaveChunks(std::span<const uint8_t> riff, WaveChunks& chunks) {
  chunks = WaveChunks{};
  if (!HasMagic(riff, 0, "RIFF") || !HasMagic(riff, 8, "WAVE")) return 0;
  const uint64_t end = 8 + uint64_t{Le32At(riff, 4)};
  const uint64_t read = riff.size();
  uint64_t at = 12;
  if (at >= end) return 0;
  while (true) {
    if (at > read || read - at < 8) return 0;  // a filler byte may end past the read
    const auto id = static_cast<size_t>(at);
    const uint32_t n = Le32At(riff, id + 4);
    const uint64_t body = at + 8;
    if (read - body < n) return 0;
    const std::span<const uint8_t> bytes = riff.subspan(static_cast<size_t>(body), n);
    if (HasMagic(riff, id, "fmt ") && chunks.format.empty()) {
      if (n < 14) return 0;
      chunks.format = bytes;
    }
    if (HasMagic(riff, id, "data") && chunks.samples.empty()) chunks.samples = bytes;
    if (!chunks.format.empty() && !chunks.samples.empty()) return body < end ? 1 : 0;
    at = body + n + (n & 1u);
    if (at >= end) return 0;
  }
}

std::optional<BankEntry> FindBankEntry(const BankRead& read, int32_t index) {
  std::array<uint8_t, 4> word{};
  const auto readWord = [&](int64_t offset) -> std::optional<int32_t> {
    if (offset > INT32_MAX || read(static_cast<int32_t>(offset), word) != 4) return std::nullopt;
    return LoadLe32(word.data());
  };
  const std::optional<int32_t> magic = readWord(0);
  if (!magic || std::memcmp(word.data(), kSoundBankMagic, 4) != 0) return std::nullopt;
  const std::optional<int32_t> count = readWord(4);
  if (!count || index < 0 || index >= *count) return std::nullopt;
  const std::optional<int32_t> entry = readWord(8 + int64_t{4} * index);
  if (!entry) return std::nullopt;
  const std::optional<int32_t> size = readWord(*entry);
  if (!size || *size <= 0 || int64_t{*entry} + 4 > INT32_MAX) return std::nullopt;
  return BankEntry{*entry + 4, *size};
}

}  // namespace tavikit
