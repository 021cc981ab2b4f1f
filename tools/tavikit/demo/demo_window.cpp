// The demo in an SDL2 window.
#include "demo/demo_window.h"

#include <array>

#if defined(TAVIKIT_HAVE_SDL)
#include <SDL.h>
#endif

namespace tavitool {

#if defined(TAVIKIT_HAVE_SDL)
namespace {

struct Video {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  ~Video() {
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
};

// The display's palette indexes as 32-bit colours, rows top-down.
void Present(const tavihost::HostScreen& screen, Video& video) {
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(video.texture, nullptr, &pixels, &pitch) != 0) return;
  std::array<uint32_t, 256> colours{};
  const auto palette = tavidemo::DemoPalette();
  for (size_t i = 0; i < colours.size(); ++i) {
    colours[i] = 0xFF000000u | uint32_t{palette[i * 4 + 2]} << 16 |
                 uint32_t{palette[i * 4 + 1]} << 8 | palette[i * 4];
  }
  for (int32_t y = 0; y < screen.height(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(pixels) + y * pitch);
    for (int32_t x = 0; x < screen.width(); ++x)
      row[x] = colours[screen.at(x, y)];
  }
  SDL_UnlockTexture(video.texture);
  SDL_RenderClear(video.renderer);
  SDL_RenderCopy(video.renderer, video.texture, nullptr, nullptr);
  SDL_RenderPresent(video.renderer);
}

}  // namespace

int RunDemoWindow(tavidemo::Scene& scene, int32_t frames, std::string& error) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    error = std::string("cannot open a window: ") + SDL_GetError();
    return 1;
  }
  Video video;
  video.window = SDL_CreateWindow("Tavikit demo", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                  tavidemo::kWidth, tavidemo::kHeight, SDL_WINDOW_RESIZABLE);
  if (video.window) video.renderer = SDL_CreateRenderer(video.window, -1, 0);
  if (video.renderer) {
    SDL_RenderSetLogicalSize(video.renderer, tavidemo::kWidth, tavidemo::kHeight);
    video.texture =
        SDL_CreateTexture(video.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                          tavidemo::kWidth, tavidemo::kHeight);
  }
  if (!video.texture) {
    error = std::string("cannot open a window: ") + SDL_GetError();
    return 1;
  }
  const int32_t loop = frames > 0 ? frames : 8 * tavidemo::kFramesPerSecond;
  const Uint64 start = SDL_GetTicks64();
  for (int32_t frame = 0; frames <= 0 || frame < frames; ++frame) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
      if (event.type == SDL_QUIT) return 0;
      if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) return 0;
    }
    const Uint8* keys = SDL_GetKeyboardState(nullptr);
    tavidemo::Steer steer;
    steer.dx = keys[SDL_SCANCODE_RIGHT] - keys[SDL_SCANCODE_LEFT];
    steer.dy = keys[SDL_SCANCODE_DOWN] - keys[SDL_SCANCODE_UP];
    scene.Draw(frame % loop, loop, steer);
    Present(scene.display(), video);
    const Uint64 due = start + static_cast<Uint64>(frame + 1) * 1000 / tavidemo::kFramesPerSecond;
    const Uint64 now = SDL_GetTicks64();
    if (due > now) SDL_Delay(static_cast<Uint32>(due - now));
  }
  return 0;
}

#else

int RunDemoWindow(tavidemo::Scene&, int32_t, std::string& error) {
  error = "this build of tavikit has no window support (SDL2 was not found when it was built)";
  return 1;
}

#endif

}  // namespace tavitool
