// The sound system of every build but Tavikit.DLL: a mixer device whose output is chosen by
// TAVIKIT_AUDIO when the device is created.
#include <array>
#include <cstdlib>
#include <new>

#include "sound/mixer/audio_output.h"
#include "sound/mixer/mixer.h"

namespace tavikit {
namespace {

struct OutputEntry {
  std::string_view name;
  AudioOutputOpener open;
};

constexpr std::array<OutputEntry, 3> kOutputs = {{
    {"sdl", OpenSdlOutput},
    {"null", OpenNullOutput},
    {"wav", OpenWavOutput},
}};

class MixerSoundSystem final : public SoundSystem {
 public:
  SoundResult CreateDevice(std::unique_ptr<SoundDevice>* device) override {
    if (device == nullptr) return dserr::kInvalidParam;
    try {
      const char* choice = std::getenv("TAVIKIT_AUDIO");
      auto mixer = std::make_shared<Mixer>();
      auto output = OpenAudioOutput(*mixer, choice != nullptr ? choice : "");
      if (output == nullptr) return dserr::kNoDriver;
      *device = std::make_unique<MixerDevice>(std::move(mixer), std::move(output));
    } catch (const std::bad_alloc&) {
      return dserr::kOutOfMemory;
    }
    return dserr::kOk;
  }
};

}  // namespace

std::unique_ptr<AudioOutput> OpenAudioOutput(Mixer& mixer, std::string_view choice) {
  if (choice.empty()) {
    if (auto output = OpenSdlOutput(mixer, {})) return output;
    return OpenNullOutput(mixer, {});
  }
  const size_t colon = choice.find(':');
  const std::string_view name = choice.substr(0, colon);
  const std::string_view argument = colon == std::string_view::npos ? "" : choice.substr(colon + 1);
  for (const OutputEntry& entry : kOutputs) {
    if (entry.name == name) return entry.open(mixer, argument);
  }
  return nullptr;
}

SoundSystem& PlatformSoundSystem() {
  static auto* const system = new MixerSoundSystem;  // never destroyed
  return *system;
}

}  // namespace tavikit
