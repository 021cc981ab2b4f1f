// Where the mixer's frames go. An output starts pulling from the mixer when it is opened, on a
// thread of its own, and its destructor stops and joins that thread before it returns.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "sound/mixer/mixer.h"

namespace tavikit {

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
};

// Opens an output pulling from `mixer`, or returns null when it cannot be opened. `argument`
// is the text after "name:" in the choice (the file of "wav:PATH").
using AudioOutputOpener = std::unique_ptr<AudioOutput> (*)(Mixer& mixer, std::string_view argument);

std::unique_ptr<AudioOutput> OpenSdlOutput(Mixer& mixer, std::string_view argument);
std::unique_ptr<AudioOutput> OpenNullOutput(Mixer& mixer, std::string_view argument);
std::unique_ptr<AudioOutput> OpenWavOutput(Mixer& mixer, std::string_view argument);

// The time the clock outputs follow, in microseconds from any fixed origin. The output thread
// asks it once when it starts and then once before each round of pulling.
using OutputClock = std::function<int64_t()>;
// The silent clock (an empty `path`) or the WAV writer of `path`, paced by `clock`; null when
// the file or the thread cannot be made.
std::unique_ptr<AudioOutput> OpenClockOutput(Mixer& mixer, std::string_view path,
                                             OutputClock clock);

// Opens the output that `choice` names ("sdl", "null", "wav:PATH"); an empty choice tries SDL,
// then the silent clock. Null for an unknown name or an output that does not open.
std::unique_ptr<AudioOutput> OpenAudioOutput(Mixer& mixer, std::string_view choice);

}  // namespace tavikit
