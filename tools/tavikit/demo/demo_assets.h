// The demo's assets, made in code with the tool's writers: a palette, pictures of every kind, a
// picture archive, scrambled waves, a sound bank, and a data pack placed inside a larger file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tavidemo {

// Blue, green, red, unused for each of the 256 entries.
std::array<uint8_t, 1024> DemoPalette();

struct AssetFile {
  std::string name;  // as stored in the pack
  std::vector<uint8_t> bytes;
};

struct Assets {
  std::vector<AssetFile> files;  // everything the pack holds, also written on its own
  std::vector<uint8_t> host;     // the larger file: a stub, then the pack
  int32_t packOffset = 0;        // where the pack starts inside `host`

  const AssetFile* Find(const std::string& name) const;
};

// Names the scene loads.
inline constexpr const char* kDayPicture = "day.tk";      // run records, rows
inline constexpr const char* kNightPicture = "night.tk";  // run records, columns
inline constexpr const char* kSpriteArchive = "sprites.tkx";
inline constexpr const char* kLoopWave = "loop.wav";  // "TAVI" scrambled
inline constexpr const char* kBlipWave = "blip.wav";  // "tavi" scrambled
inline constexpr const char* kSoundBank = "sfx.bank";
inline constexpr const char* kHostFile = "game.exe";

// Positions inside the sprite sheet that the archive's pictures draw.
inline constexpr int32_t kSheetW = 256;
inline constexpr int32_t kSheetH = 192;
struct SheetRect {
  int32_t x, y, w, h;
};
inline constexpr SheetRect kSheetCharacter = {0, 0, 32, 32};  // four frames side by side
inline constexpr SheetRect kSheetCrate = {128, 0, 32, 32};
inline constexpr SheetRect kSheetPanel = {0, 64, 200, 40};
inline constexpr SheetRect kSheetStar = {0, 120, 64, 64};
inline constexpr SheetRect kSheetLogo = {96, 128, 96, 48};  // picture 1 of the archive

Assets MakeAssets();

// Writes the assets into `dir` (created if needed): each file, the palette as palette.png and
// the host file holding the pack. Returns false with a reason in `error`.
bool WriteAssets(const Assets& assets, const std::string& dir, std::string& error);

}  // namespace tavidemo
