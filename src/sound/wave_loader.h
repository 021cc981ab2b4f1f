// Filling sound slots: a wave image read whole through the pack reader, or one wave of a sound
// bank, unscrambled, walked for its format and samples, and copied into a new buffer; and a
// second slot sharing the sound of a first.
#pragma once

#include <cstdint>
#include <span>

#include "pack/pack_reader.h"
#include "sound/sound_state.h"
#include "sound/wave_image.h"

namespace tavikit {

// Loads the wave image `name` of `size` bytes into `slot`, after PackOpen(pack). 0 or -1.
int32_t LoadWave(SoundState& sound, PackState& pack, const char* name, int32_t size, int32_t slot,
                 char* packText);
// Loads wave `index` of the sound bank `name` into `slot`, after PackOpen(pack). 0 or -1.
int32_t LoadBankWave(SoundState& sound, PackState& pack, const char* name, int32_t index,
                     int32_t slot, char* packText);
// Empties `dest`, then gives it a duplicate of the buffer of `source` when that slot is loaded.
// -1 without a device, else 0.
int32_t DuplicateSlot(SoundState& sound, int32_t source, int32_t dest);

// Creates the slot's buffer in the wave's format and copies the samples into it, locking once
// more after Restore when the buffer memory was lost. -1 when the buffer cannot be created; a
// failed lock leaves the new buffer in the slot without samples and gives 0.
int32_t FillSlot(SoundDevice& device, SoundSlot& slot, const WaveChunks& wave);

}  // namespace tavikit
