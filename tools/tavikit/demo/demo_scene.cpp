// One frame of the demo, in the order a script draws it: backgrounds from the pack, a scroll, a
// scene transition, cells, a blended panel, rotated and zoomed copies, a doubled inset, the
// background-map test and the sounds it sets off.
#include "demo/demo_scene.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "tavikit.h"

namespace tavidemo {
namespace {

using tavihost::HostScreen;
using tavihost::Word;

constexpr int32_t kMapW = kWidth / kMapCell;
constexpr int32_t kMapH = kHeight / kMapCell;
constexpr int32_t kCharacterCell = 10;
constexpr int32_t kCrateCell = 11;
constexpr int32_t kMusicSlot = 0, kHitSlot = 1, kBlipSlot = 2, kEchoSlot = 3;

tavi_word Text(const char* s) { return Word(s); }

void SelectCopy(const HostScreen& from, const HostScreen& to) {
  tavi_fset(from.record(), 0, 0, 0);
  tavi_tset(to.record(), 0, 0, 0);
}

}  // namespace

Scene::Scene(const std::string& hostFile, int32_t packOffset, const Assets& assets)
    : packText_(hostFile + "," + std::to_string(packOffset)), map_(kMapW * kMapH, 0) {
  const auto palette = DemoPalette();
  for (HostScreen* s : {&display_, &day_, &night_, &scratch_, &sheet_, &half_, &doubled_})
    std::copy(palette.begin(), palette.end(), s->palette().begin());
  for (const char* name : {kLoopWave, kBlipWave}) {
    const AssetFile* f = assets.Find(name);
    waveSizes_.push_back(f ? static_cast<int32_t>(f->bytes.size()) : 0);
  }

  // The colour cube of the display's palette, for the blended panel.
  tavi_AlphaInit(display_.record(), 256, 0, 0);
  // The sprite sheet and the logo from the archive, over index 0 (left where skips are).
  sheet_.SetCursor(0, 0);
  tavi_PCP2BLoad(sheet_.record(), Text(kSpriteArchive), 0, Pack());
  sheet_.SetCursor(kSheetLogo.x, kSheetLogo.y);
  tavi_PCP2BLoad(sheet_.record(), Text(kSpriteArchive), 1, Pack());
  // The crate as a compressed cell: drawn opaque, and faster.
  sheet_.SetCursor(kSheetCrate.x, kSheetCrate.y);
  chibi_Get(sheet_.record(), kCrateCell, kCellSize, kCellSize);
  chibi_Compress(kCrateCell, 0, 0, 0);

  // The background map: solid ground rows (2) and the crates (1).
  tavi_InitBGMAP(Word(map_.data()), kMapW, kMapH, 0);
  for (int32_t cy = kGroundTop / kMapCell; cy < kMapH; ++cy) {
    for (int32_t cx = 0; cx < kMapW; ++cx)
      tavi_SetBGMAP(cx, cy, 2, 0);
  }
  for (const Point& c : kCrates) {
    for (int32_t k = 0; k < 4; ++k)
      tavi_SetBGMAP(c.x / kMapCell + k % 2, c.y / kMapCell + k / 2, 1, 0);
  }
}

// The pack text, fresh for every call: opening a pack writes a NUL over its ",".
tavi_word Scene::Pack() {
  packScratch_.assign(packText_.begin(), packText_.end());
  packScratch_.push_back('\0');
  return Word(packScratch_.data());
}

bool Scene::StartSound() {
  if (tavi_dsinit(display_.record(), 22050, 2, 16) != 0) return false;
  sound_ = tavi_dsload(Text(kLoopWave), waveSizes_[0], kMusicSlot, Pack()) == 0 &&
           tavi_dsload(Text(kBlipWave), waveSizes_[1], kBlipSlot, Pack()) == 0 &&
           tavi_dsloadB(Text(kSoundBank), 0, kHitSlot, Pack()) == 0;
  if (!sound_) tavi_dsexit(0, 0, 0, 0);
  return sound_;
}

void Scene::StopSound() {
  if (!sound_) return;
  tavi_dsstopall(0, 0, 0, 0);
  for (int32_t slot : {kMusicSlot, kHitSlot, kBlipSlot, kEchoSlot})
    tavi_dsfree(slot, 0, 0, 0);
  tavi_dsexit(0, 0, 0, 0);
  sound_ = false;
}

void Scene::LoadBackground(HostScreen& stage, const char* name) {
  stage.SetCursor(0, 0);
  tavi_PCP2Load(stage.record(), Text(name), 0, Pack());
}

// The 640 x 480 stage rolled `offset` pixels to the left, wrapping around.
void Scene::Scroll(HostScreen& from, HostScreen& to, int32_t offset) {
  SelectCopy(from, to);
  to.SetCursor(0, 0);
  tavi_fillcopy(kWidth - offset, 0, 0, 0);
}

void Scene::Transition(const Moment& m, int32_t offset) {
  if (m.mosaic > 0) {
    display_.SetCursor(0, 0);
    tavi_gmozic(display_.record(), kWidth / m.mosaic, kHeight / m.mosaic, m.mosaic);
  }
  if (m.fade > 0) {
    // The day scrolled alike into a scratch screen, dissolved over the night.
    Scroll(day_, scratch_, offset);
    SelectCopy(scratch_, display_);
    tavi_copyset(0, 0, kWidth, kHeight);
    display_.SetCursor(0, 0);
    tavi_GFade(m.fade, -1, 0, 0);
  }
}

bool Scene::Hits(int32_t x, int32_t y) {
  const std::array<int32_t, 8> corners = {
      x, y, x + kCellSize - 1, y, x, y + kCellSize - 1, x + kCellSize - 1, y + kCellSize - 1};
  return tavi_ChkBGMAP(Word(corners.data()), 4, 1, 0) != 0;
}

// The character moves by its velocity (or as steered), turning back at the screen's edges and
// wherever a corner would enter a solid map cell.
void Scene::MoveCharacter(Steer steer) {
  int32_t pad = 0;
  tavi_JoyGet(Word(&pad), 0x0F, 0, 0);
  if (pad & 1) steer.dx = -1;
  if (pad & 4) steer.dx = 1;
  if (pad & 2) steer.dy = -1;
  if (pad & 8) steer.dy = 1;
  if (steer.dx != 0 || steer.dy != 0) velocity_ = {4 * steer.dx, 4 * steer.dy};

  Point next = {character_.x + velocity_.x, character_.y};
  if (next.x < 0 || next.x > kWidth - kCellSize || Hits(next.x, next.y)) {
    if (next.x >= 0 && next.x <= kWidth - kCellSize) Hit();
    velocity_.x = -velocity_.x;
    next.x = character_.x;
  }
  next.y += velocity_.y;
  if (next.y < 0 || Hits(next.x, next.y)) {
    if (next.y >= 0) Hit();
    velocity_.y = -velocity_.y;
    next.y = character_.y;
  }
  character_ = next;
}

void Scene::Hit() {
  ++hits_;
  flash_ = 6;
  if (!sound_) return;
  tavi_dssetpan(kHitSlot, (character_.x - kWidth / 2) * 25, 0, 0);
  tavi_dsplay(kHitSlot, 0, 0, 0);
}

void Scene::DrawSprites(int32_t frame) {
  for (const Point& c : kCrates) {
    display_.SetCursor(c.x, c.y);
    chibi_Put(display_.record(), kCrateCell, 0, 0);
  }
  // The character's walking frame captured from the sheet, drawn with index 0 left out.
  sheet_.SetCursor(kSheetCharacter.x + kCellSize * ((frame / 4) % 4), kSheetCharacter.y);
  chibi_Get(sheet_.record(), kCharacterCell, kCellSize, kCellSize);
  display_.SetCursor(character_.x, character_.y);
  chibi_Put(display_.record(), kCharacterCell, 1, 0);
  // A hit shows for a moment as a checkerboard over the character.
  if (flash_ > 0 && --flash_ % 2 == 0) {
    tavi_MeshBOX(display_.record(), kCellSize, kCellSize, kWhite);
  }
}

void Scene::DrawEffects(int32_t frame) {
  // A translucent panel from the sheet, blended through the colour cube.
  tavi_fset(sheet_.record(), 0, 0, 0);
  tavi_copyset(kSheetPanel.x, kSheetPanel.y, kSheetPanel.w, kSheetPanel.h);
  display_.SetCursor(kPanel.x, kPanel.y);
  tavi_gcopyf(display_.record(), 112, 0, 0);

  // The star turning about its centre, index 0 left out.
  SelectCopy(sheet_, display_);
  tavi_rotpos(kSheetStar.x, kSheetStar.y, kSheetStar.w, kSheetStar.h);
  tavi_rotclip(kSheetStar.x, kSheetStar.y, kSheetStar.w, kSheetStar.h);
  tavi_rotset(-1, -1, 128 + frame * 3, 0);
  display_.SetCursor(kStar.x, kStar.y);
  tavi_rotcopy(kStarSize, kStarSize, -1, 0);

  // The logo breathing in and out around its centre.
  const int32_t grow = (frame % 40 < 20 ? frame % 40 : 40 - frame % 40) * 2;
  const int32_t w = kSheetLogo.w + grow * 2, h = kSheetLogo.h + grow;
  tavi_copyset(kSheetLogo.x, kSheetLogo.y, kSheetLogo.w, kSheetLogo.h);
  display_.SetCursor(kLogoCentreAt.x - w / 2, kLogoCentreAt.y - h / 2);
  tavi_zoomcopy(w, h, -1, 0);
}

// A magnifier: the 320 x 240 around the character, doubled with scan lines, its middle shown.
void Scene::DrawInset() {
  const int32_t x0 = std::clamp(character_.x + kCellSize / 2 - 160, 0, kWidth - 320) & ~3;
  const int32_t y0 = std::clamp(character_.y + kCellSize / 2 - 120, 0, kHeight - 240);
  SelectCopy(display_, half_);
  half_.SetCursor(0, 0);
  tavi_gcopy(x0, y0, 320, 240);
  SelectCopy(half_, doubled_);
  tavi_HGCP320(1, 0, 0, 0);
  const int32_t cx =
      std::clamp(2 * (character_.x + kCellSize / 2 - x0) - kInsetW / 2, 0, kWidth - kInsetW) & ~3;
  const int32_t cy =
      std::clamp(2 * (character_.y + kCellSize / 2 - y0) - kInsetH / 2, 0, kHeight - kInsetH) & ~1;
  SelectCopy(doubled_, display_);
  display_.SetCursor(kInset.x, kInset.y);
  tavi_gcopy(cx, cy, kInsetW, kInsetH);
}

// Sound cues at steps of the timeline: the loop starts, blips at three pitches (one through a
// duplicate slot), the loop stops and is freed.
void Scene::PlaySounds(int step) {
  // A cue fires on the first frame at or past its step.
  const auto reached = [this, step](int cue) { return lastStep_ < cue && step >= cue; };
  if (!sound_) return;
  if (reached(kFirstSoundStep)) {
    tavi_dssetvol(kMusicSlot, -1200, 0, 0);
    tavi_dsplay(kMusicSlot, 0, 1, 0);
  }
  if (reached(30) || reached(70)) {
    tavi_dssetfreq(kBlipSlot, reached(30) ? 11025 : 16000, 0, 0);
    tavi_dsplay(kBlipSlot, 0, 0, 0);
  }
  if (reached(70)) {
    tavi_dsdup(kBlipSlot, kEchoSlot, 0, 0);
    tavi_dssetfreq(kEchoSlot, 8000, 0, 0);
    tavi_dsplay(kEchoSlot, 0, 0, 0);
  }
  if (reached(100)) {
    tavi_dsstop(kMusicSlot, 0, 0, 0);
    tavi_dsfree(kMusicSlot, 0, 0, 0);
  }
}

void Scene::Draw(int32_t frame, int32_t frames, Steer steer) {
  const Moment m = At(frame, frames);
  const int32_t offset = (frame * 4) % kWidth;
  // Each frame loads the background it shows from the pack, as a script does.
  LoadBackground(m.night ? night_ : day_, m.night ? kNightPicture : kDayPicture);
  if (m.fade > 0) LoadBackground(day_, kDayPicture);
  Scroll(m.night ? night_ : day_, display_, offset);
  Transition(m, offset);

  DrawSprites(frame);
  DrawEffects(frame);
  DrawInset();
  // The character's next position, tested against the background map.
  MoveCharacter(steer);
  PlaySounds(m.step);
  lastStep_ = m.step;
}

}  // namespace tavidemo
