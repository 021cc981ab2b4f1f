// tavikit_scenes [PREFIX]: draws every scene (or those whose name starts with PREFIX) through the
// exports of the library and prints "name digest" for each, digests as 16 hex digits.
#include <cstdio>
#include <string>

#include "scenes/scene.h"

namespace {

std::string Hex(uint64_t value) {
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i, value >>= 4)
    text[i] = "0123456789abcdef"[value & 15];
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const tavihost::Library& lib = tavihost::Tavikit();
  if (!lib.error.empty()) {
    std::fprintf(stderr, "tavikit_scenes: %s\n", lib.error.c_str());
    return 2;
  }
  const std::string prefix = argc > 1 ? argv[1] : "";
  const std::vector<taviscene::Scene> scenes = taviscene::AllScenes();
  for (size_t i = 1; i < scenes.size(); ++i) {
    if (scenes[i].name == scenes[i - 1].name) {
      std::fprintf(stderr, "tavikit_scenes: two scenes are named %s\n", scenes[i].name.c_str());
      return 2;
    }
  }
  for (const taviscene::Scene& scene : scenes) {
    if (scene.name.compare(0, prefix.size(), prefix) != 0) continue;
    taviscene::Canvas canvas(lib);
    scene.draw(canvas);
    std::printf("%s %s\n", scene.name.c_str(), Hex(canvas.Digest()).c_str());
  }
  return 0;
}
