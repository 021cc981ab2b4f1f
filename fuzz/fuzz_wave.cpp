// Wave images and sound banks: the scramble undone, the RIFF walk and the bank lookup on
// arbitrary bytes, each found chunk checked to lie inside the bytes given.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "common/wave_format.h"
#include "sound/wave_image.h"

namespace {

// The loader's path from a wave image of `size` bytes to its chunks.
void WalkImage(std::span<const uint8_t> bytes) {
  std::vector<uint8_t> image(bytes.begin(), bytes.end());
  image.resize(bytes.size() + tavikit::kWaveReserveBytes);
  const size_t start = tavikit::UnscrambleWave(image, bytes.size());
  if (start > bytes.size()) std::abort();
  const std::span<const uint8_t> riff(image.data() + start, bytes.size() - start);
  tavikit::WaveChunks chunks;
  if (tavikit::FindWaveChunks(riff, chunks) == 0) return;
  const auto inside = [&](std::span<const uint8_t> part) {
    return part.data() >= riff.data() && part.data() + part.size() <= riff.data() + riff.size();
  };
  if (chunks.format.size() < 14 || chunks.samples.empty() || !inside(chunks.format) ||
      !inside(chunks.samples)) {
    std::abort();
  }
}

}  // namespace

// First byte: bit 0 chooses a bank (else a wave image); as a signed byte it is also the bank
// index, shifted right by one. The rest is the image or the bank.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::span<const uint8_t> file(data + 1, size - 1);
  if ((data[0] & 1) == 0) {
    WalkImage(file);
    return 0;
  }
  const tavikit::BankRead read = [&](int32_t offset, std::span<uint8_t> out) {
    const size_t at = offset < 0 ? 0 : static_cast<size_t>(offset);
    if (at >= file.size()) return 0;
    const size_t n = std::min(out.size(), file.size() - at);
    std::memcpy(out.data(), file.data() + at, n);
    return static_cast<int32_t>(n);
  };
  const auto entry = tavikit::FindBankEntry(read, static_cast<int8_t>(data[0]) >> 1);
  if (!entry) return 0;
  if (entry->size <= 0) std::abort();
  // A position before the start reads from the start, as the pack reader does.
  const size_t at = entry->offset < 0 ? 0 : static_cast<size_t>(entry->offset);
  // Only images that lie whole in the bank: the loader refuses a short read.
  if (at > file.size() || file.size() - at < static_cast<size_t>(entry->size)) return 0;
  WalkImage(file.subspan(at, static_cast<size_t>(entry->size)));
  return 0;
}
