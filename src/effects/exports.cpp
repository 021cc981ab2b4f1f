// Exports of the effects: mosaics, zoom and polygon copies, rotation, mesh and other copies.
#include "blend/colour_cube.h"
#include "common/export_guard.h"
#include "common/process_state.h"
#include "common/screen.h"
#include "common/words.h"
#include "effects/doubler.h"
#include "effects/effects_state.h"
#include "effects/keyed_copy.h"
#include "effects/mesh.h"
#include "effects/mosaic.h"
#include "effects/rotation.h"
#include "effects/zoom.h"
#include "frame/selection.h"
#include "tavikit.h"

namespace tavikit {

EffectsState& ProcessEffects() {
  static ProcessStorage<EffectsState> storage;
  return ProcessInstance(storage);
}

MosaicRandom& ThreadMosaicRandom() {
  thread_local MosaicRandom random;
  return random;
}

}  // namespace tavikit

using namespace tavikit;

int32_t TAVIKIT_CALL tavi_gmozic(tavi_word screen, tavi_word across, tavi_word down,
                                 tavi_word size) {
  return GuardExport(kReturnsZero, [&] {
    RandomMosaic(ScreenArg(screen), ArgInt(across), ArgInt(down), ArgInt(size),
                 ThreadMosaicRandom());
  });
}

int32_t TAVIKIT_CALL tavi_gmozice(tavi_word screen, tavi_word across, tavi_word down,
                                  tavi_word size) {
  return GuardExport(kReturnsZero, [&] {
    CornerMosaic(ScreenArg(screen), ArgInt(across), ArgInt(down), ArgInt(size),
                 ProcessColourCube());
  });
}

int32_t TAVIKIT_CALL tavi_gmozicn(tavi_word screen, tavi_word across, tavi_word down,
                                  tavi_word size) {
  return GuardExport(kReturnsZero, [&] {
    MeanMosaic(ScreenArg(screen), ArgInt(across), ArgInt(down), ArgInt(size), ProcessColourCube());
  });
}

int32_t TAVIKIT_CALL tavi_mozcopy(tavi_word w, tavi_word h, tavi_word size, tavi_word key) {
  return GuardExport(kReturnsZero, [&] {
    MosaicCopy(ProcessSelection(), ArgInt(w), ArgInt(h), ArgInt(size), ArgInt(key));
  });
}

int32_t TAVIKIT_CALL tavi_zoomcopy(tavi_word w, tavi_word h, tavi_word fill, tavi_word key) {
  return GuardExport(kReturnsZero, [&] {
    ZoomCopy(ProcessSelection(), ArgInt(w), ArgInt(h), ArgInt(fill), ArgInt(key));
  });
}

int32_t TAVIKIT_CALL tavi_polycopy(tavi_word w, tavi_word h, tavi_word topWidth, tavi_word fill) {
  return GuardExport(kReturnsZero, [&] {
    PolyCopy(ProcessSelection(), ArgInt(w), ArgInt(h), ArgInt(topWidth), ArgInt(fill));
  });
}

int32_t TAVIKIT_CALL tavi_rotset(tavi_word centreX, tavi_word centreY, tavi_word angle, tavi_word) {
  RotationParams& rot = ProcessEffects().rotation;
  rot.centreX = ArgInt(centreX);
  rot.centreY = ArgInt(centreY);
  rot.angle = ArgByte(angle);
  return 0;
}

int32_t TAVIKIT_CALL tavi_rotpos(tavi_word x, tavi_word y, tavi_word w, tavi_word h) {
  ProcessEffects().rotation.frame = CopyRect{ArgInt(x), ArgInt(y), ArgInt(w), ArgInt(h)};
  return 0;
}

int32_t TAVIKIT_CALL tavi_rotclip(tavi_word x, tavi_word y, tavi_word w, tavi_word h) {
  ProcessEffects().rotation.clip = CopyRect{ArgInt(x), ArgInt(y), ArgInt(w), ArgInt(h)};
  return 0;
}

int32_t TAVIKIT_CALL tavi_rotcopy(tavi_word w, tavi_word h, tavi_word fill, tavi_word key) {
  return GuardExport(kReturnsZero, [&] {
    RotateCopy(ProcessSelection(), ProcessEffects().rotation, ArgInt(w), ArgInt(h), ArgInt(fill),
               ArgInt(key));
  });
}

int32_t TAVIKIT_CALL tavi_meshcpy(tavi_word sx, tavi_word sy, tavi_word w, tavi_word h) {
  return GuardExport(kReturnsZero, [&] {
    const Selection& sel = ProcessSelection();
    MeshCopy(sel.Source(), sel.Target(), ArgInt(sx), ArgInt(sy), ArgInt(w), ArgInt(h), kNoKey);
  });
}

int32_t TAVIKIT_CALL tavi_meshcopy(tavi_word w, tavi_word h, tavi_word key, tavi_word) {
  return GuardExport(kReturnsZero, [&] {
    const Selection& sel = ProcessSelection();
    MeshCopyAtCursor(sel.Source(), sel.Target(), ArgInt(w), ArgInt(h), ArgByte(key));
  });
}

int32_t TAVIKIT_CALL tavi_meshboxs(tavi_word w, tavi_word h, tavi_word colour, tavi_word) {
  return GuardExport(kReturnsZero, [&] {
    MeshFill(ProcessSelection().Target(), ArgInt(w), ArgInt(h), ArgByte(colour), false);
  });
}

int32_t TAVIKIT_CALL tavi_MeshBOX(tavi_word screen, tavi_word w, tavi_word h, tavi_word colour) {
  return GuardExport(kReturnsZero, [&] {
    MeshFill(ScreenArg(screen), ArgInt(w), ArgInt(h), ArgByte(colour), true);
  });
}

int32_t TAVIKIT_CALL tavi_gcopy2(tavi_word key, tavi_word, tavi_word, tavi_word) {
  return GuardExport(kReturnsZero, [&] {
    const Selection& sel = ProcessSelection();
    KeyedCopy(sel.Source(), sel.Target(), sel.copy, ArgInt(key), false);
  });
}

int32_t TAVIKIT_CALL tavi_gcopy2e(tavi_word key, tavi_word, tavi_word, tavi_word) {
  return GuardExport(kReturnsZero, [&] {
    const Selection& sel = ProcessSelection();
    KeyedCopy(sel.Source(), sel.Target(), sel.copy, ArgInt(key), true);
  });
}

int32_t TAVIKIT_CALL tavi_HGCP320(tavi_word mode, tavi_word, tavi_word, tavi_word) {
  return GuardExport(kReturnsZero, [&] {
    const Selection& sel = ProcessSelection();
    DoublePixels(sel.Source(), sel.Target(), ArgInt(mode));
  });
}
