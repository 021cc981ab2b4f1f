// The demo's scene: a host's frame loop over the library's exports, as a script would write it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "demo/demo_art.h"
#include "demo/demo_assets.h"
#include "host/host_screen.h"

namespace tavidemo {

// Directions a player holds (keyboard in the window); the joystick adds its own.
struct Steer {
  int32_t dx = 0, dy = 0;
};

class Scene {
 public:
  // `hostFile` holds the data pack at `packOffset`.
  Scene(const std::string& hostFile, int32_t packOffset, const Assets& assets);
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  // Opens the sound device and fills the slots; false (and a silent scene) when no device opens.
  bool StartSound();
  // Draws frame `frame` of `frames` into the display screen.
  void Draw(int32_t frame, int32_t frames, Steer steer);
  // Stops and frees every sound and closes the device.
  void StopSound();

  const tavihost::HostScreen& display() const { return display_; }
  int32_t hits() const { return hits_; }

 private:
  void LoadBackground(tavihost::HostScreen& stage, const char* name);
  void Scroll(tavihost::HostScreen& from, tavihost::HostScreen& to, int32_t offset);
  void Transition(const Moment& m, int32_t offset);
  void MoveCharacter(Steer steer);
  bool Hits(int32_t x, int32_t y);
  void DrawSprites(int32_t frame);
  void DrawEffects(int32_t frame);
  void DrawInset();
  void PlaySounds(int step);
  void Hit();
  tavi_word Pack();

  std::string packText_;
  std::vector<char> packScratch_;  // the text the library may write into
  tavihost::HostScreen display_{kWidth, kHeight};
  tavihost::HostScreen day_{kWidth, kHeight}, night_{kWidth, kHeight};
  tavihost::HostScreen scratch_{kWidth, kHeight};
  tavihost::HostScreen sheet_{kSheetW, kSheetH};
  tavihost::HostScreen half_{320, 240}, doubled_{kWidth, kHeight};
  std::vector<uint8_t> map_;  // 40 x 30 cells of 16 x 16 pixels
  Point character_ = kCharacterStart;
  Point velocity_ = {5, 4};
  int32_t hits_ = 0;
  int32_t flash_ = 0;  // frames left of the hit flash
  int lastStep_ = -1;  // the timeline step of the last frame drawn
  bool sound_ = false;
  std::vector<int32_t> waveSizes_;
};

}  // namespace tavidemo
