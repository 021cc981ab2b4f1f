// Exports of the blend subsystem: colour cube, blend tables, blended and dissolve copies.
#include "blend/blend_table.h"
#include "blend/blended_copy.h"
#include "blend/colour_cube.h"
#include "blend/dissolve.h"
#include "frame/screen.h"
#include "frame/selection.h"
#include "frame/words.h"
#include "tavikit.h"

namespace tavikit {

BlendState& ProcessBlend() {
  static BlendState state;
  return state;
}

ColourCube& ProcessColourCube() { return ProcessBlend().cube; }

namespace {

int32_t FactorTable(BlendMode mode, tavi_word screen, tavi_word r, tavi_word g, tavi_word b) {
  BlendState& blend = ProcessBlend();
  BuildFactorTable(blend.table, blend.cube, mode, ScreenArg(screen).palette,
                   ProcessSelection().Source().palette, ArgByte(r), ArgByte(g), ArgByte(b));
  return 0;
}

}  // namespace
}  // namespace tavikit

using namespace tavikit;

int32_t TAVIKIT_CALL tavi_AlphaInit(tavi_word screen, tavi_word count, tavi_word,
                                    tavi_word request) {
  return AlphaInit(ProcessColourCube(), ScreenArg(screen), ArgInt(count), ArgInt(request));
}

int32_t TAVIKIT_CALL tavi_addset(tavi_word screen, tavi_word r, tavi_word g, tavi_word b) {
  return FactorTable(BlendMode::kAdd, screen, r, g, b);
}

int32_t TAVIKIT_CALL tavi_decset(tavi_word screen, tavi_word r, tavi_word g, tavi_word b) {
  return FactorTable(BlendMode::kSubtract, screen, r, g, b);
}

int32_t TAVIKIT_CALL tavi_edecset(tavi_word screen, tavi_word r, tavi_word g, tavi_word b) {
  return FactorTable(BlendMode::kSubtractInverse, screen, r, g, b);
}

int32_t TAVIKIT_CALL tavi_gcopya(tavi_word screen, tavi_word, tavi_word, tavi_word) {
  CopyThroughTable(ProcessBlend().table, ScreenArg(screen), ProcessSelection(), kNoKey);
  return 0;
}

int32_t TAVIKIT_CALL tavi_gcopyf(tavi_word screen, tavi_word alpha, tavi_word, tavi_word) {
  AlphaCopy(ProcessBlend(), ScreenArg(screen), ProcessSelection(), ArgByte(alpha), kNoKey);
  return 0;
}

int32_t TAVIKIT_CALL tavi_gcopyfc(tavi_word screen, tavi_word alpha, tavi_word key, tavi_word) {
  AlphaCopy(ProcessBlend(), ScreenArg(screen), ProcessSelection(), ArgByte(alpha), ArgInt(key));
  return 0;
}

int32_t TAVIKIT_CALL tavi_gcopyfr(tavi_word screen, tavi_word alpha, tavi_word, tavi_word) {
  AlphaCopyDirect(ProcessColourCube(), ScreenArg(screen), ProcessSelection(), ArgByte(alpha),
                  kNoKey);
  return 0;
}

int32_t TAVIKIT_CALL tavi_gcopyfrc(tavi_word screen, tavi_word alpha, tavi_word key, tavi_word) {
  AlphaCopyDirect(ProcessColourCube(), ScreenArg(screen), ProcessSelection(), ArgByte(alpha),
                  ArgInt(key));
  return 0;
}

int32_t TAVIKIT_CALL tavi_GFade(tavi_word level, tavi_word key, tavi_word, tavi_word) {
  FadeCopy(ProcessSelection(), ArgByte(level), ArgInt(key));
  return 0;
}

int32_t TAVIKIT_CALL tavi_GFade2(tavi_word pattern, tavi_word, tavi_word, tavi_word) {
  PatternCopy(ProcessSelection(), ArgPtr<const uint8_t>(pattern));
  return 0;
}
