// Named scenes drawn through the exports. The scene program prints one digest line per scene, so
// that two builds of the library (libtavikit.so, and Tavikit.DLL inside a Windows process) can be
// compared line by line: the same lines mean the same bytes.
//
// Adding a scene is a function and one registration line, in the file of its subsystem:
//
//   void GcopyAtTheCursor(Canvas& canvas) { ... }
//   const Registration kGcopyAtTheCursor("frame.gcopy.at-the-cursor", GcopyAtTheCursor);
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/host_screen.h"
#include "host/library.h"

namespace taviscene {

using tavihost::HostScreen;
using tavihost::Library;
using tavihost::Word;

// What a scene draws with. Everything a scene makes or records goes into its digest: the results
// of the calls it records, the bytes it records, and at the end the pixels and palette of every
// screen it made, in the order it made them.
class Canvas {
 public:
  explicit Canvas(const Library& lib) : lib_(lib) {}

  const Library& lib() const { return lib_; }

  // A new screen, zero-filled, owned by the canvas.
  HostScreen& Screen(int32_t width, int32_t height, int32_t bytesPerPixel = 1);

  // An export's result.
  void Result(int32_t value);
  // Bytes the scene reads back from somewhere other than a screen.
  void Bytes(const void* data, size_t size);

  // 64-bit FNV-1a over everything recorded, then over every screen.
  uint64_t Digest() const;

 private:
  const Library& lib_;
  std::vector<std::unique_ptr<HostScreen>> screens_;
  std::vector<uint8_t> recorded_;
};

using SceneFn = void (*)(Canvas&);

struct Scene {
  std::string name;
  SceneFn draw;
};

// Adds a scene to the program, under a name "subsystem.operation.what-it-shows".
struct Registration {
  Registration(const char* name, SceneFn draw);
};

// Every registered scene, sorted by name.
std::vector<Scene> AllScenes();

}  // namespace taviscene
