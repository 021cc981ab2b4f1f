// Writes the data files the example and test scripts read, with the project's own writers:
//   title.tk   64 x 48, run records: pixel (x, y) is 16 x (1 + x / 16 + 4 x (y / 16))
//   chara.tk   16 x 16, skip records: an 8 x 8 square of 240 at (4, 4), index 0 skipped
//   set.tkx    archive of title.tk and chara.tk
//   beep.wav   22050 Hz, 8-bit mono, 11024 samples of a square wave (11068 bytes)
//   beep.tav   beep.wav scrambled with the "TAVI" magic (11072 bytes)
//   beeps.bnk  sound bank of beep.wav and beep.tav
//   game.dat   "DPMX" pack of title.tk, chara.tk, set.tkx and beep.tav
// Usage: tavikit_script_data OUTDIR
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tools/writer/formats.h"
#include "tools/writer/wave_writer.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Picture(int32_t width, int32_t height, taviwriter::PictureKind kind, int skip,
              uint8_t (*pixel)(int32_t, int32_t)) {
  Bytes pixels;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x)
      pixels.push_back(pixel(x, y));
  }
  return *taviwriter::EncodePicture({width, height, pixels}, kind, skip);
}

uint8_t TitlePixel(int32_t x, int32_t y) {
  return static_cast<uint8_t>(16 * (1 + x / 16 + 4 * (y / 16)));
}
uint8_t CharaPixel(int32_t x, int32_t y) { return x >= 4 && x < 12 && y >= 4 && y < 12 ? 240 : 0; }

// 22050 Hz, 8-bit mono, 11024 samples of a square wave.
Bytes Beep() {
  Bytes samples(11024);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = (i / 25) % 2 == 0 ? 160 : 96;
  return taviwriter::WaveImage(1, 22050, 8, samples);
}

bool Write(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: tavikit_script_data OUTDIR\n", stderr);
    return 2;
  }
  using taviwriter::PictureKind;
  const Bytes title = Picture(64, 48, PictureKind::kTK00, -1, TitlePixel);
  const Bytes chara = Picture(16, 16, PictureKind::kTK10, 0, CharaPixel);
  const Bytes archive = taviwriter::BuildArchive({title, chara});
  const Bytes wave = Beep();
  const Bytes scrambled = taviwriter::ScrambleWave(wave, taviwriter::WaveScramble::kTAVI);
  const Bytes pack = taviwriter::BuildPack(
      {{"title.tk", title}, {"chara.tk", chara}, {"set.tkx", archive}, {"beep.tav", scrambled}});
  const std::string dir = argv[1];
  const bool ok = Write(dir + "/title.tk", title) && Write(dir + "/chara.tk", chara) &&
                  Write(dir + "/set.tkx", archive) && Write(dir + "/beep.wav", wave) &&
                  Write(dir + "/beep.tav", scrambled) &&
                  Write(dir + "/beeps.bnk", taviwriter::SoundBank({wave, scrambled})) &&
                  Write(dir + "/game.dat", pack);
  if (!ok) std::fprintf(stderr, "tavikit_script_data: cannot write into %s\n", dir.c_str());
  return ok ? 0 : 1;
}
