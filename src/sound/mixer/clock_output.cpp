// Outputs paced by a clock (real time unless told otherwise): a thread that pulls as many frames
// as the clock has reached,
// and either drops them (null) or appends them to a 16-bit stereo WAV file (wav:PATH) whose
// header gets its lengths when the output closes.
#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cstdio>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "sound/mixer/audio_output.h"

namespace tavikit {
namespace {

static_assert(std::endian::native == std::endian::little, "samples are written as they lie");

constexpr uint32_t kBlockFrames = 1024;
constexpr uint32_t kWavHeaderBytes = 44;
constexpr uint32_t kWavDataMax = 0xFFFFFFFFu - kWavHeaderBytes;

void PutLe(uint8_t* at, uint32_t value, int width) {
  for (int k = 0; k < width; ++k)
    at[k] = static_cast<uint8_t>(value >> (8 * k));
}

bool WriteWavHeader(std::FILE* file, uint32_t dataBytes) {
  uint8_t h[kWavHeaderBytes] = {'R', 'I', 'F', 'F', 0,  0, 0, 0, 'W', 'A', 'V', 'E',
                                'f', 'm', 't', ' ', 16, 0, 0, 0, 1,   0,   2,   0};
  PutLe(h + 4, dataBytes + kWavHeaderBytes - 8, 4);
  PutLe(h + 24, kMixRate, 4);
  PutLe(h + 28, kMixRate * 4, 4);
  PutLe(h + 32, 4, 2);   // block align
  PutLe(h + 34, 16, 2);  // bits
  std::copy_n("data", 4, h + 36);
  PutLe(h + 40, dataBytes, 4);
  return std::fseek(file, 0, SEEK_SET) == 0 && std::fwrite(h, 1, sizeof h, file) == sizeof h;
}

class ClockOutput final : public AudioOutput {
 public:
  // `file` (may be null) is owned from here on; its header is already written.
  ClockOutput(Mixer& mixer, std::FILE* file, OutputClock clock)
      : mixer_(mixer), file_(file), clock_(std::move(clock)), block_(2 * kBlockFrames) {
    thread_ = std::thread([this] { Run(); });
  }
  ~ClockOutput() override {
    stop_.store(true);
    thread_.join();
    if (file_ != nullptr) {
      WriteWavHeader(file_, dataBytes_);
      std::fclose(file_);
    }
  }
  ClockOutput(const ClockOutput&) = delete;
  ClockOutput& operator=(const ClockOutput&) = delete;

 private:
  void Run() {
    const int64_t start = clock_();
    uint64_t rendered = 0;
    while (!stop_.load()) {
      const int64_t elapsed = std::max<int64_t>(clock_() - start, 0);
      const uint64_t due = static_cast<uint64_t>(elapsed) * kMixRate / 1000000;
      while (rendered < due && !stop_.load()) {
        const auto n = static_cast<uint32_t>(std::min<uint64_t>(due - rendered, kBlockFrames));
        mixer_.Render(block_.data(), n);  // takes the mixer's lock; the file is written after
        rendered += n;
        if (file_ != nullptr && dataBytes_ <= kWavDataMax - 4 * n) {
          dataBytes_ += static_cast<uint32_t>(std::fwrite(block_.data(), 4, n, file_) * 4);
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  Mixer& mixer_;
  std::FILE* file_;
  OutputClock clock_;
  std::vector<int16_t> block_;  // touched by the output thread only
  uint32_t dataBytes_ = 0;      // written by the thread, read after it is joined
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

int64_t RealMicroseconds() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::unique_ptr<AudioOutput> StartClock(Mixer& mixer, std::FILE* file, OutputClock clock) {
  try {
    return std::make_unique<ClockOutput>(mixer, file, std::move(clock));
  } catch (const std::system_error&) {
  } catch (const std::bad_alloc&) {
  }
  if (file != nullptr) std::fclose(file);
  return nullptr;
}

}  // namespace

std::unique_ptr<AudioOutput> OpenNullOutput(Mixer& mixer, std::string_view) {
  return OpenClockOutput(mixer, {}, RealMicroseconds);
}

std::unique_ptr<AudioOutput> OpenWavOutput(Mixer& mixer, std::string_view path) {
  if (path.empty()) return nullptr;
  return OpenClockOutput(mixer, path, RealMicroseconds);
}

std::unique_ptr<AudioOutput> OpenClockOutput(Mixer& mixer, std::string_view path,
                                             OutputClock clock) {
  if (path.empty()) return StartClock(mixer, nullptr, std::move(clock));
  std::FILE* file = std::fopen(std::string(path).c_str(), "wb");
  if (file == nullptr) return nullptr;
  if (!WriteWavHeader(file, 0)) {
    std::fclose(file);
    return nullptr;
  }
  return StartClock(mixer, file, std::move(clock));
}

}  // namespace tavikit
