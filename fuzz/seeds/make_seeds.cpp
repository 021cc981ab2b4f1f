// Writes seed corpora for the fuzz targets with the library's file writers:
//   DIR/pictures/      plain pictures of every kind (for any target that reads pictures)
//   DIR/fuzz_picture/  cursor bytes + picture
//   DIR/fuzz_archive/  index byte + archive, and index byte + picture
//   DIR/fuzz_pack/     offset and size bytes + a file holding a pack at an offset
//   DIR/fuzz_cells/    index, cursor and choice bytes + a picture or an archive
//   DIR/fuzz_wave/     choice byte + a plain or scrambled wave image, or + a sound bank
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tools/writer/formats.h"
#include "tools/writer/wave_writer.h"

namespace {

namespace fs = std::filesystem;
using namespace taviwriter;

void Write(const fs::path& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
  fs::create_directories(dir);
  std::ofstream out(dir / name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> Prefixed(std::vector<uint8_t> prefix, const std::vector<uint8_t>& bytes) {
  AppendBytes(prefix, bytes);
  return prefix;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tavikit_fuzz_seeds DIR\n");
    return 2;
  }
  const fs::path root = argv[1];
  std::mt19937 rng(1);
  std::vector<std::vector<uint8_t>> pictures;
  for (int i = 0; i < 8; ++i) {
    const int32_t w = 1 + static_cast<int32_t>(rng() % 20);
    const int32_t h = 1 + static_cast<int32_t>(rng() % 20);
    const auto image = RandomRuns(rng, static_cast<size_t>(w) * h, 6, 14);
    for (PictureKind kind : kAllKinds) {
      const auto picture = *EncodePicture({w, h, image}, kind, UsesSkips(kind) ? 0 : -1);
      const std::string name = std::to_string(i) + "-" + KindName(kind) + ".tk";
      Write(root / "pictures", name, picture);
      Write(root / "fuzz_picture", name, Prefixed({static_cast<uint8_t>(i * 3), 4}, picture));
      Write(root / "fuzz_archive", name, Prefixed({2}, picture));
      Write(
          root / "fuzz_cells", name,
          Prefixed({2, static_cast<uint8_t>(i * 5 - 9), 3, static_cast<uint8_t>(i * 37)}, picture));
      pictures.push_back(picture);
    }
  }
  for (int i = 0; i < 4; ++i) {
    const std::vector<std::vector<uint8_t>> some(pictures.begin() + i * 4,
                                                 pictures.begin() + i * 4 + 3);
    const auto archive = BuildArchive(some);
    Write(root / "fuzz_archive", "set" + std::to_string(i) + ".tkx",
          Prefixed({static_cast<uint8_t>(2 + i % 3)}, archive));
    Write(root / "fuzz_cells", "set" + std::to_string(i) + ".tkx",
          Prefixed({static_cast<uint8_t>(2 + i % 3), 0xFE, static_cast<uint8_t>(i * 6),
                    static_cast<uint8_t>(1 + i)},
                   archive));
    const auto pack = BuildPack({{"a", {1, 2, 3, 4, 5}},
                                 {"pic.tk", pictures[static_cast<size_t>(i)]},
                                 {"set.tkx", archive}});
    const uint8_t base = static_cast<uint8_t>(i * 16);
    std::vector<uint8_t> file(base, 0xEE);
    AppendBytes(file, pack);
    Write(root / "fuzz_pack", "pack" + std::to_string(i) + ".bin",
          Prefixed({base, static_cast<uint8_t>(i), 0x00, 0x01}, file));
  }
  std::vector<std::vector<uint8_t>> waves;
  for (int i = 0; i < 3; ++i) {
    const auto samples = RandomRuns(rng, 40 + static_cast<size_t>(i) * 70, 200, 5);
    const auto plain = WaveImage(static_cast<uint16_t>(1 + i % 2), 11025u << i,
                                 static_cast<uint16_t>(8 + 8 * (i % 2)), samples);
    for (WaveScramble mode : {WaveScramble::kNone, WaveScramble::kTAVI, WaveScramble::kTavi}) {
      waves.push_back(ScrambleWave(plain, mode));
      Write(root / "fuzz_wave", "wave" + std::to_string(waves.size()) + ".wav",
            Prefixed({0}, waves.back()));
    }
  }
  for (uint8_t index = 0; index < 3; ++index) {
    Write(root / "fuzz_wave", "set" + std::to_string(index) + ".bank",
          Prefixed({static_cast<uint8_t>(index << 1 | 1)},
                   SoundBank({waves.begin() + index * 3, waves.begin() + index * 3 + 3})));
  }
  std::printf("seeds written to %s\n", root.string().c_str());
  return 0;
}
