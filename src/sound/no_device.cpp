// The sound backend of builds that have no sound output: no device can be created, so
// tavi_dsinit reports -1 and every other sound export gives its no-device result.
#include "sound/sound_device.h"

namespace tavikit {
namespace {

class NoSoundSystem final : public SoundSystem {
 public:
  SoundResult CreateDevice(std::unique_ptr<SoundDevice>* device) override {
    device->reset();
    return dserr::kNoDriver;
  }
};

}  // namespace

SoundSystem& PlatformSoundSystem() {
  static NoSoundSystem system;
  return system;
}

}  // namespace tavikit
