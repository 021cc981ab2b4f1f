// The sound backend of Tavikit.DLL: DirectSound itself. dsound.dll is loaded from the system
// folder only (never from the host's or the script's folder), on the first device request,
// never from DllMain, and stays loaded; DirectSoundCreate is its export number 1. Each wrapper
// owns one COM reference and releases it when destroyed.
#include <windows.h>
// windows.h first: dsound.h needs its types.
#include <dsound.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "sound/sound_device.h"

namespace tavikit {
namespace {

using DirectSoundCreateFn = HRESULT(WINAPI*)(const GUID*, IDirectSound**, IUnknown*);

SoundResult Result(HRESULT hr) { return static_cast<SoundResult>(hr); }

class DirectSoundBufferObject final : public SoundBuffer {
 public:
  explicit DirectSoundBufferObject(IDirectSoundBuffer* buffer) : buffer_(buffer) {}
  DirectSoundBufferObject(const DirectSoundBufferObject&) = delete;
  DirectSoundBufferObject& operator=(const DirectSoundBufferObject&) = delete;
  ~DirectSoundBufferObject() override { buffer_->Release(); }

  IDirectSoundBuffer* get() const { return buffer_; }

  SoundResult Lock(uint32_t offset, uint32_t bytes, void** first, uint32_t* firstBytes,
                   void** second, uint32_t* secondBytes) override {
    DWORD a = 0, b = 0;
    const HRESULT hr = buffer_->Lock(offset, bytes, first, &a, second, &b, 0);
    *firstBytes = a;
    *secondBytes = b;
    return Result(hr);
  }
  SoundResult Unlock(void* first, uint32_t firstBytes, void* second,
                     uint32_t secondBytes) override {
    return Result(buffer_->Unlock(first, firstBytes, second, secondBytes));
  }
  SoundResult Restore() override { return Result(buffer_->Restore()); }

  SoundResult SetFormat(const WaveFormat& format) override {
    WAVEFORMATEX wfx{};
    wfx.wFormatTag = format.formatTag;
    wfx.nChannels = format.channels;
    wfx.nSamplesPerSec = format.samplesPerSec;
    wfx.nAvgBytesPerSec = format.avgBytesPerSec;
    wfx.nBlockAlign = format.blockAlign;
    wfx.wBitsPerSample = format.bitsPerSample;
    wfx.cbSize = format.extraSize;
    return Result(buffer_->SetFormat(&wfx));
  }
  SoundResult Play(uint32_t flags) override { return Result(buffer_->Play(0, 0, flags)); }
  SoundResult Stop() override { return Result(buffer_->Stop()); }
  SoundResult SetCurrentPosition(uint32_t position) override {
    return Result(buffer_->SetCurrentPosition(position));
  }
  SoundResult GetCurrentPosition(uint32_t* play, uint32_t* write) override {
    DWORD p = 0, w = 0;
    const HRESULT hr = buffer_->GetCurrentPosition(&p, write != nullptr ? &w : nullptr);
    if (hr == DS_OK) {
      *play = p;
      if (write != nullptr) *write = w;
    }
    return Result(hr);
  }
  SoundResult GetStatus(uint32_t* status) override {
    return Query<DWORD>(status, [this](DWORD* v) { return buffer_->GetStatus(v); });
  }
  SoundResult SetVolume(int32_t volume) override { return Result(buffer_->SetVolume(volume)); }
  SoundResult GetVolume(int32_t* volume) override {
    return Query<LONG>(volume, [this](LONG* v) { return buffer_->GetVolume(v); });
  }
  SoundResult SetPan(int32_t pan) override { return Result(buffer_->SetPan(pan)); }
  SoundResult GetPan(int32_t* pan) override {
    return Query<LONG>(pan, [this](LONG* v) { return buffer_->GetPan(v); });
  }
  SoundResult SetFrequency(uint32_t frequency) override {
    return Result(buffer_->SetFrequency(frequency));
  }
  SoundResult GetFrequency(uint32_t* frequency) override {
    return Query<DWORD>(frequency, [this](DWORD* v) { return buffer_->GetFrequency(v); });
  }

 private:
  // One of the buffer's Get calls: its value reaches `out` only when the call succeeded.
  template <class Raw, class Out, class Call>
  static SoundResult Query(Out* out, Call call) {
    Raw value = 0;
    const HRESULT hr = call(&value);
    if (hr == DS_OK) *out = static_cast<Out>(value);
    return Result(hr);
  }

  IDirectSoundBuffer* buffer_;
};

// Hands a new COM object to a wrapper of kind Wrapper, or releases it when no wrapper can be
// made.
template <class Wrapper, class Raw, class Interface>
SoundResult Wrap(Raw* raw, std::unique_ptr<Interface>* out) {
  auto* wrapper = new (std::nothrow) Wrapper(raw);
  if (wrapper == nullptr) {
    raw->Release();
    return dserr::kOutOfMemory;
  }
  out->reset(wrapper);
  return dserr::kOk;
}

class DirectSoundDeviceObject final : public SoundDevice {
 public:
  explicit DirectSoundDeviceObject(IDirectSound* device) : device_(device) {}
  DirectSoundDeviceObject(const DirectSoundDeviceObject&) = delete;
  DirectSoundDeviceObject& operator=(const DirectSoundDeviceObject&) = delete;
  ~DirectSoundDeviceObject() override { device_->Release(); }

  SoundResult SetCooperativeLevel(intptr_t window, uint32_t level) override {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the host passes the window as a word
    return Result(device_->SetCooperativeLevel(reinterpret_cast<HWND>(window), level));
  }
  SoundResult SetSpeakerConfig(uint32_t config) override {
    return Result(device_->SetSpeakerConfig(config));
  }

  SoundResult CreateSoundBuffer(const BufferDescription& description,
                                std::unique_ptr<SoundBuffer>* buffer) override {
    buffer->reset();
    // The wave's "fmt " body, padded with zeros to a whole WAVEFORMATEX, with its extra size cut
    // to the bytes the chunk holds, so that DirectSound reads nothing beyond this copy.
    std::vector<uint8_t> format;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof(DSBUFFERDESC1);  // 20 bytes: no 3D algorithm field
    desc.dwFlags = description.flags;
    desc.dwBufferBytes = description.bufferBytes;
    if (!description.format.empty()) {
      format.assign(description.format.begin(), description.format.end());
      format.resize(std::max(format.size(), sizeof(WAVEFORMATEX)));
      WAVEFORMATEX head;
      std::memcpy(&head, format.data(), sizeof head);
      head.cbSize = static_cast<WORD>(std::min<size_t>(
          head.cbSize, std::max(description.format.size(), sizeof head) - sizeof head));
      std::memcpy(format.data(), &head, sizeof head);
      desc.lpwfxFormat = reinterpret_cast<WAVEFORMATEX*>(format.data());
    }
    IDirectSoundBuffer* raw = nullptr;
    const HRESULT hr = device_->CreateSoundBuffer(&desc, &raw, nullptr);
    if (hr != DS_OK || raw == nullptr) {
      if (raw != nullptr) raw->Release();
      return hr != DS_OK ? Result(hr) : dserr::kGeneric;
    }
    return Wrap<DirectSoundBufferObject>(raw, buffer);
  }

  SoundResult DuplicateSoundBuffer(SoundBuffer& original,
                                   std::unique_ptr<SoundBuffer>* duplicate) override {
    duplicate->reset();
    IDirectSoundBuffer* raw = nullptr;
    const HRESULT hr =
        device_->DuplicateSoundBuffer(static_cast<DirectSoundBufferObject&>(original).get(), &raw);
    if (hr != DS_OK || raw == nullptr) {
      if (raw != nullptr) raw->Release();
      return hr != DS_OK ? Result(hr) : dserr::kGeneric;
    }
    return Wrap<DirectSoundBufferObject>(raw, duplicate);
  }

 private:
  IDirectSound* device_;
};

// dsound.dll from the system folder: by the loader's system-folder search, or, where that flag
// is unknown, by its full path.
HMODULE LoadDirectSound() {
  HMODULE module = LoadLibraryExA("dsound.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module != nullptr) return module;
  char folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::string path = std::string(folder, length) + "\\dsound.dll";
  return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

class DirectSoundSystem final : public SoundSystem {
 public:
  SoundResult CreateDevice(std::unique_ptr<SoundDevice>* device) override {
    device->reset();
    if (create_ == nullptr) {
      if (module_ == nullptr) module_ = LoadDirectSound();
      if (module_ == nullptr) return dserr::kNoDriver;
      // DirectSoundCreate is export number 1 of dsound.dll.
      create_ = reinterpret_cast<DirectSoundCreateFn>(
          reinterpret_cast<void*>(GetProcAddress(module_, MAKEINTRESOURCEA(1))));
      if (create_ == nullptr) return dserr::kNoDriver;
    }
    IDirectSound* raw = nullptr;
    const HRESULT hr = create_(nullptr, &raw, nullptr);
    if (hr != DS_OK || raw == nullptr) {
      if (raw != nullptr) raw->Release();
      return hr != DS_OK ? Result(hr) : dserr::kNoDriver;
    }
    return Wrap<DirectSoundDeviceObject>(raw, device);
  }

 private:
  HMODULE module_ = nullptr;  // loaded once, never freed
  DirectSoundCreateFn create_ = nullptr;
};

}  // namespace

SoundSystem& PlatformSoundSystem() {
  static auto* system = new DirectSoundSystem();  // never destroyed
  return *system;
}

}  // namespace tavikit
