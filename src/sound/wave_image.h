// The byte logic of wave loading: undoing the two wave scrambles, walking the RIFF chunks, and
// finding a wave's entry in a "TKWV" sound bank. No device and no file is involved here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace tavikit {

// Undoes the scramble that the image's magic names, in place, and returns where the RIFF data
// starts (4 after a magic, else 0). `image` is the whole buffer: `size` bytes read, then zeroed
// reserve bytes, which the "TAVI" XOR reads when the image is short. Nothing outside `image` is
// read or written.
size_t UnscrambleWave(std::span<uint8_t> image, size_t size);

// What FindWaveChunks found: the "fmt " body and the "data" body (whose size is the sample
// length).
struct WaveChunks {
  std::span<const uint8_t> format;
  std::span<const uint8_t> samples;
};

// Walks the chunks of a RIFF/WAVE image made of the bytes in `riff` (those actually read). Returns
// 1 and fills `chunks` when a "fmt " of at least 14 bytes and a non-empty "data" start before
// the end of the RIFF chunk, else 0. A chunk that reaches past the bytes of `riff` fails the walk.
int32_t FindWaveChunks(std::span<const uint8_t> riff, WaveChunks& chunks);

// Reads up to buffer.size() bytes at `offset` of a bank; returns the count read, or -1.
using BankRead = std::function<int32_t(int32_t offset, std::span<uint8_t> buffer)>;

// Where wave `index` of a "TKWV" bank lies: its image starts at `offset` and is `size` bytes long.
struct BankEntry {
  int32_t offset = 0;
  int32_t size = 0;
};

// The entry of wave `index`, or nothing: not a bank, `index` negative or not below the count,
// a header word that cannot be read whole, a size of 0 or less, or positions beyond 32 bits.
std::optional<BankEntry> FindBankEntry(const BankRead& read, int32_t index);

}  // namespace tavikit
