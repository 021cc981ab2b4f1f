#include "tests/hsp/script_waves.h"

#include "tools/writer/wave_writer.h"

std::vector<uint8_t> BeepWave(bool scrambled) {
  std::vector<uint8_t> samples(11024);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = (i / 25) % 2 == 0 ? 160 : 96;
  const std::vector<uint8_t> wave = taviwriter::WaveImage(1, 22050, 8, samples);
  if (!scrambled) return wave;
  return taviwriter::ScrambleWave(wave, taviwriter::WaveScramble::kTAVI);
}

std::vector<uint8_t> BeepBank() { return taviwriter::SoundBank({BeepWave(false), BeepWave(true)}); }
