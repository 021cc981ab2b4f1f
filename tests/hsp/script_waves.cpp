#include "tests/hsp/script_waves.h"

// GCC 12 at -O3 reports a false overflow in the wave writer's vector inserts.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wstringop-overflow"
#endif
#include "tools/writer/wave_writer.h"

std::vector<uint8_t> BeepWave(bool scrambled) {
  std::vector<uint8_t> samples(11024);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = (i / 25) % 2 == 0 ? 160 : 96;
  std::vector<uint8_t> wave = taviwriter::WaveImage(1, 22050, 8, samples);
  if (!scrambled) return wave;
  return taviwriter::ScrambleWave(wave, taviwriter::WaveScramble::kTAVI);
}

std::vector<uint8_t> BeepBank() { return taviwriter::SoundBank({BeepWave(false), BeepWave(true)}); }
