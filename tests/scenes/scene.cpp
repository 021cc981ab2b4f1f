#include "scenes/scene.h"

#include <algorithm>
#include <array>

namespace taviscene {
namespace {

std::vector<Scene>& Registry() {
  static std::vector<Scene> scenes;
  return scenes;
}

// A 32-bit value as its four bytes, lowest first: the same on every build.
std::array<uint8_t, 4> LittleEndian(int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  return {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
          static_cast<uint8_t>(u >> 24)};
}

class Fnv1a {
 public:
  void Add(const uint8_t* data, size_t size) {
    for (size_t i = 0; i < size; ++i)
      hash_ = (hash_ ^ data[i]) * 0x100000001b3ULL;
  }
  void Add(int32_t value) {
    const auto bytes = LittleEndian(value);
    Add(bytes.data(), bytes.size());
  }
  uint64_t value() const { return hash_; }

 private:
  uint64_t hash_ = 0xcbf29ce484222325ULL;
};

}  // namespace

HostScreen& Canvas::Screen(int32_t width, int32_t height, int32_t bytesPerPixel) {
  screens_.push_back(std::make_unique<HostScreen>(width, height, bytesPerPixel));
  return *screens_.back();
}

void Canvas::Result(int32_t value) {
  const auto bytes = LittleEndian(value);
  recorded_.insert(recorded_.end(), bytes.begin(), bytes.end());
}

void Canvas::Bytes(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  recorded_.insert(recorded_.end(), bytes, bytes + size);
}

uint64_t Canvas::Digest() const {
  Fnv1a hash;
  hash.Add(recorded_.data(), recorded_.size());
  for (const auto& screen : screens_) {
    hash.Add(screen->width());
    hash.Add(screen->height());
    hash.Add(screen->pixels().data(), screen->pixels().size());
    hash.Add(screen->palette().data(), screen->palette().size());
  }
  return hash.value();
}

Registration::Registration(const char* name, SceneFn draw) {
  Registry().push_back(Scene{name, draw});
}

std::vector<Scene> AllScenes() {
  std::vector<Scene> scenes = Registry();
  std::sort(scenes.begin(), scenes.end(),
            [](const Scene& a, const Scene& b) { return a.name < b.name; });
  return scenes;
}

}  // namespace taviscene
