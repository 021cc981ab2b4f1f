// Exports of the blend subsystem: colour cube, blend tables, blended and dissolve copies.
#include "blend/blend_table.h"
#include "blend/colour_cube.h"
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
  BuildFactorTable(blend.table, blend.cube, mode,
                   ReadScreen(ArgPtr<const tavi_word>(screen)).palette,
                   ProcessSelection().Source().palette, ArgByte(r), ArgByte(g), ArgByte(b));
  return 0;
}

}  // namespace
}  // namespace tavikit

using namespace tavikit;

int32_t TAVIKIT_CALL tavi_AlphaInit(tavi_word screen, tavi_word count, tavi_word,
                                    tavi_word request) {
  return AlphaInit(ProcessColourCube(), ReadScreen(ArgPtr<const tavi_word>(screen)), ArgInt(count),
                   ArgInt(request));
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
