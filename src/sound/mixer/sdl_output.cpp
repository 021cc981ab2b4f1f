// SDL2's audio device as the mixer's output: SDL's audio thread calls back for frames. The
// audio subsystem is initialised for this output alone and quit when it closes.
#include "sound/mixer/audio_output.h"

#ifdef TAVIKIT_HAVE_SDL
#include <SDL.h>
#endif

namespace tavikit {

#ifdef TAVIKIT_HAVE_SDL
namespace {

class SdlOutput final : public AudioOutput {
 public:
  explicit SdlOutput(SDL_AudioDeviceID device) : device_(device) {}
  ~SdlOutput() override {
    SDL_CloseAudioDevice(device_);  // returns once the callback has stopped
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  SdlOutput(const SdlOutput&) = delete;
  SdlOutput& operator=(const SdlOutput&) = delete;

  static void Pull(void* mixer, Uint8* stream, int bytes) {
    static_cast<Mixer*>(mixer)->Render(reinterpret_cast<int16_t*>(stream),
                                       static_cast<uint32_t>(bytes) / 4);
  }

 private:
  SDL_AudioDeviceID device_;
};

}  // namespace

std::unique_ptr<AudioOutput> OpenSdlOutput(Mixer& mixer, std::string_view) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(kMixRate);
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 1024;
  want.callback = SdlOutput::Pull;
  want.userdata = &mixer;
  SDL_AudioSpec have{};
  // No changes allowed: SDL converts to whatever the device plays.
  const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  std::unique_ptr<AudioOutput> output;
  try {
    output = std::make_unique<SdlOutput>(device);
  } catch (const std::bad_alloc&) {
    SDL_CloseAudioDevice(device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  SDL_PauseAudioDevice(device, 0);
  return output;
}

#else

std::unique_ptr<AudioOutput> OpenSdlOutput(Mixer&, std::string_view) { return nullptr; }

#endif

}  // namespace tavikit
