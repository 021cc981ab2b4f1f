// Writers of the sound files the library reads: plain RIFF/WAVE images, the two scrambled forms
// ("TAVI", "tavi") and "TKWV" sound banks. Header-only, for the tool, the tests, the fuzzers'
// seed corpora and the demo alike.
//
// "TAVI": magic, then the RIFF bytes with bytes 0 to 63 XORed with bytes 64 to 127 (bytes past
// the end count as 0). "tavi": magic, then each RIFF byte XORed with the byte after it, the
// last one with the seed; undone from the back.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

#include "formats.h"
#include "src/common/wave_format.h"

namespace taviwriter {

enum class WaveScramble { kNone, kTAVI, kTavi };

namespace wave_detail {
inline void AppendLe16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline bool StartsWith(std::span<const uint8_t> bytes, const char* magic) {
  return bytes.size() >= 4 && std::memcmp(bytes.data(), magic, 4) == 0;
}
// Byte k of `bytes`, 0 past its end.
inline uint8_t ByteOrZero(std::span<const uint8_t> bytes, size_t k) {
  return k < bytes.size() ? bytes[k] : 0;
}
}  // namespace wave_detail

// GCC 12 at -O3 misjudges the growth of these vectors once the writers are inlined into a
// caller (a false -Wstringop-overflow); the sizes all come from the vectors themselves.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wstringop-overflow"
#endif

// A plain RIFF/WAVE image: a 16-byte PCM "fmt " chunk, then "data" (with a filler byte when the
// sample count is odd).
inline std::vector<uint8_t> WaveImage(uint16_t channels, uint32_t rate, uint16_t bits,
                                      std::span<const uint8_t> samples) {
  const auto blockAlign = static_cast<uint16_t>(channels * (bits / 8));
  const auto dataBytes = static_cast<uint32_t>(samples.size());
  const uint32_t filler = dataBytes & 1u;
  std::vector<uint8_t> out;
  out.reserve(44 + samples.size() + filler);
  AppendMagic(out, "RIFF");
  AppendLe32(out, 4 + 8 + 16 + 8 + dataBytes + filler);
  AppendMagic(out, "WAVE");
  AppendMagic(out, "fmt ");
  AppendLe32(out, 16);
  wave_detail::AppendLe16(out, 1);  // PCM
  wave_detail::AppendLe16(out, channels);
  AppendLe32(out, rate);
  AppendLe32(out, rate * blockAlign);
  wave_detail::AppendLe16(out, blockAlign);
  wave_detail::AppendLe16(out, bits);
  AppendMagic(out, "data");
  AppendLe32(out, dataBytes);
  out.insert(out.end(), samples.begin(), samples.end());
  if (filler != 0) out.push_back(0);
  return out;
}

// The image of `plainRiff` in the given form: the magic, then the scrambled bytes. kNone
// returns the input unchanged.
inline std::vector<uint8_t> ScrambleWave(std::span<const uint8_t> plainRiff, WaveScramble mode) {
  if (mode == WaveScramble::kNone) return {plainRiff.begin(), plainRiff.end()};
  std::vector<uint8_t> out;
  out.reserve(4 + plainRiff.size());
  AppendMagic(out, mode == WaveScramble::kTAVI ? tavikit::kWaveMagicTAVI : tavikit::kWaveMagicTavi);
  out.insert(out.end(), plainRiff.begin(), plainRiff.end());
  std::span<uint8_t> body(out.data() + 4, plainRiff.size());
  if (mode == WaveScramble::kTAVI) {
    for (size_t k = 0; k < 64 && k < body.size(); ++k)
      body[k] ^= wave_detail::ByteOrZero(plainRiff, 64 + k);
  } else if (!body.empty()) {
    for (size_t k = 0; k + 1 < body.size(); ++k)
      body[k] = plainRiff[k] ^ plainRiff[k + 1];
    body.back() = plainRiff.back() ^ tavikit::kWaveScrambleSeed;
  }
  return out;
}

// The plain RIFF bytes of an image of any of the three forms, or nothing when they do not
// start with a RIFF/WAVE header.
inline std::optional<std::vector<uint8_t>> UnscrambleWave(std::span<const uint8_t> image) {
  std::vector<uint8_t> plain;
  if (wave_detail::StartsWith(image, tavikit::kWaveMagicTAVI)) {
    const std::span<const uint8_t> body = image.subspan(4);
    plain.assign(body.begin(), body.end());
    for (size_t k = 0; k < 64 && k < plain.size(); ++k)
      plain[k] ^= wave_detail::ByteOrZero(body, 64 + k);
  } else if (wave_detail::StartsWith(image, tavikit::kWaveMagicTavi)) {
    const std::span<const uint8_t> body = image.subspan(4);
    plain.assign(body.begin(), body.end());
    if (!plain.empty()) {
      plain.back() ^= tavikit::kWaveScrambleSeed;
      for (size_t k = plain.size() - 1; k-- > 0;)
        plain[k] ^= plain[k + 1];
    }
  } else {
    plain.assign(image.begin(), image.end());
  }
  if (plain.size() < 12 || !wave_detail::StartsWith(plain, "RIFF") ||
      std::memcmp(plain.data() + 8, "WAVE", 4) != 0) {
    return std::nullopt;
  }
  return plain;
}

// A "TKWV" sound bank: the magic, the count, the table of entry offsets, then each entry (the
// image's size, then the image) in order.
inline std::vector<uint8_t> SoundBank(const std::vector<std::vector<uint8_t>>& images) {
  std::vector<uint8_t> out;
  AppendMagic(out, tavikit::kSoundBankMagic);
  AppendLe32(out, static_cast<uint32_t>(images.size()));
  auto at = static_cast<uint32_t>(8 + 4 * images.size());
  for (const auto& image : images) {
    AppendLe32(out, at);
    at += static_cast<uint32_t>(4 + image.size());
  }
  for (const auto& image : images) {
    AppendLe32(out, static_cast<uint32_t>(image.size()));
    out.insert(out.end(), image.begin(), image.end());
  }
  return out;
}

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

}  // namespace taviwriter
