// Exports of the blend subsystem: colour cube, blend tables, blended and dissolve copies.
#include "blend/blend_table.h"
#include "blend/blended_copy.h"
#include "blend/colour_cube.h"
#include "blend/dissolve.h"
#include "common/export_guard.h"
#include "common/process_state.h"
#include "common/screen.h"
#include "common/words.h"
#include "frame/selection.h"
#include "tavikit.h"

namespace tavikit {

BlendState& ProcessBlend() {
  static ProcessStorage<BlendState> storage;
  return ProcessInstance(storage);
}

ColourCube& ProcessColourCube() { return ProcessBlend().cube; }

namespace {

int32_t FactorTable(BlendMode mode, tavi_word screen, tavi_word r, tavi_word g, tavi_word b) {
  return GuardExport(kReturnsZero, [&] {
    BlendState& blend = ProcessBlend();
    BuildFactorTable(blend.table, blend.cube, mode, ScreenArg(screen).palette,
                     ProcessSelection().Source().palette, ArgByte(r), ArgByte(g), ArgByte(b));
  });
}

// The blended copies: `screen` is the destination, the selected source and copy rectangle are
// mixed into it.
template <class Copy>
int32_t BlendedCopy(tavi_word screen, Copy copy) {
  return GuardExport(kReturnsZero, [&] {
    const Selection& sel = ProcessSelection();
    copy(ScreenArg(screen), sel.Source(), sel.copy);
  });
}

// The alpha copies: through the alpha table, or (`direct`) per pixel through the cube.
int32_t AlphaBlendedCopy(tavi_word screen, tavi_word alpha, int32_t key, bool direct) {
  return BlendedCopy(screen, [&](const Screen& dst, const Screen& src, const CopyRect& rect) {
    if (direct) {
      AlphaCopyDirect(ProcessColourCube(), dst, src, rect, ArgByte(alpha), key);
    } else {
      AlphaCopy(ProcessBlend(), dst, src, rect, ArgByte(alpha), key);
    }
  });
}

}  // namespace
}  // namespace tavikit

using namespace tavikit;

int32_t TAVIKIT_CALL tavi_AlphaInit(tavi_word screen, tavi_word count, tavi_word,
                                    tavi_word request) {
  return GuardExport(kReturnsZero, [&] {
    return Report(
        AlphaInit(ProcessColourCube(), ScreenArg(screen), ArgInt(count), ArgInt(request)));
  });
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
  return BlendedCopy(screen, [](const Screen& dst, const Screen& src, const CopyRect& rect) {
    CopyThroughTable(ProcessBlend().table, dst, src, rect, kNoKey);
  });
}

int32_t TAVIKIT_CALL tavi_gcopyf(tavi_word screen, tavi_word alpha, tavi_word, tavi_word) {
  return AlphaBlendedCopy(screen, alpha, kNoKey, false);
}

int32_t TAVIKIT_CALL tavi_gcopyfc(tavi_word screen, tavi_word alpha, tavi_word key, tavi_word) {
  return AlphaBlendedCopy(screen, alpha, ArgInt(key), false);
}

int32_t TAVIKIT_CALL tavi_gcopyfr(tavi_word screen, tavi_word alpha, tavi_word, tavi_word) {
  return AlphaBlendedCopy(screen, alpha, kNoKey, true);
}

int32_t TAVIKIT_CALL tavi_gcopyfrc(tavi_word screen, tavi_word alpha, tavi_word key, tavi_word) {
  return AlphaBlendedCopy(screen, alpha, ArgInt(key), true);
}

int32_t TAVIKIT_CALL tavi_GFade(tavi_word level, tavi_word key, tavi_word, tavi_word) {
  return GuardExport(kReturnsZero, [&] {
    const Selection& sel = ProcessSelection();
    FadeCopy(sel.Source(), sel.Target(), sel.copy, ArgByte(level), ArgInt(key));
  });
}

int32_t TAVIKIT_CALL tavi_GFade2(tavi_word pattern, tavi_word, tavi_word, tavi_word) {
  return GuardExport(kReturnsZero, [&] {
    const Selection& sel = ProcessSelection();
    PatternCopy(sel.Source(), sel.Target(), sel.copy, ArgPtr<const uint8_t>(pattern));
  });
}
