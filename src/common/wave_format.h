// Constants of the wave images and sound banks that the library loads and the tool writes.
// Header-only and free of the library's other code, so that the tool includes it as it stands.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tavikit {

// First four bytes of a wave image scrambled by XORing its 64 bytes after the magic with the
// 64 bytes that follow them.
inline constexpr char kWaveMagicTAVI[] = "TAVI";
// First four bytes of a wave image scrambled by a backward XOR chain ending in the seed below.
inline constexpr char kWaveMagicTavi[] = "tavi";
// First four bytes of a sound bank: magic, count, count entry offsets, entries of size + image.
inline constexpr char kSoundBankMagic[] = "TKWV";

// The byte that the last byte of a "tavi" image is XORed with.
inline constexpr uint8_t kWaveScrambleSeed = 0xA5;

// Zeroed bytes allocated after every wave image read: the "TAVI" XOR reads up to byte 131
// whatever the image's length, and the RIFF walk may look a few bytes past the read.
inline constexpr size_t kWaveReserveBytes = 256;

}  // namespace tavikit
