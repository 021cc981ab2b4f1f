#include "effects/block_rows.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <type_traits>

#include "common/cpu.h"
#include "common/short_moves.h"
#include "common/x86_vectors.h"

namespace tavikit {
namespace {

// Each row of the run made once in the top row: the blocks' colours, then that row copied into
// the rows below it.
void CopyRowDown(uint8_t* top, size_t n, int32_t rows, intptr_t step) {
  uint8_t* row = top;
  for (int32_t r = 1; r < rows; ++r) {
    row += step;
    std::memcpy(row, top, n);
  }
}

// The blocks first .. end-1 of the run, all of them drawn.
void FillDrawnBlocks(uint8_t* top, intptr_t step, int32_t rows, const BlockRun& run, size_t first,
                     size_t end) {
  uint8_t* row = top + first * run.n;
  const size_t whole = std::min(end, run.count - 1);
  // Blocks of the usual sizes are each one store of their size: the size is a constant there.
  const auto fill = [&](auto size) {
    for (size_t k = first; k < whole; ++k, row += size)
      FillShort(row, run.colours[k], size);
  };
  switch (run.n) {
    case 4:
      fill(std::integral_constant<size_t, 4>{});
      break;
    case 8:
      fill(std::integral_constant<size_t, 8>{});
      break;
    case 16:
      fill(std::integral_constant<size_t, 16>{});
      break;
    default:
      fill(run.n);
  }
  if (end == run.count) FillShort(row, run.colours[run.count - 1], run.last);
  const size_t bytes = (end == run.count ? run.Bytes() : end * run.n) - first * run.n;
  CopyRowDown(top + first * run.n, bytes, rows, step);
}

void FillColouredRows(uint8_t* top, intptr_t step, int32_t rows, const BlockRun& run) {
  for (size_t k = 0; k < run.count;) {
    size_t end = k;
    while (end < run.count && !run.Skips(run.colours[end]))
      ++end;
    if (end > k) FillDrawnBlocks(top, step, rows, run, k, end);
    k = end + 1;
  }
}

// Centres taken a group of blocks at a time.
void FillBlockRowsPortable(uint8_t* top, intptr_t step, int32_t rows, const BlockRun& run) {
  if (run.centres == nullptr) {
    FillColouredRows(top, step, rows, run);
    return;
  }
  constexpr size_t kGroup = 256;
  std::array<uint8_t, kGroup> colours;
  for (size_t first = 0; first < run.count; first += kGroup) {
    BlockRun group = run;
    group.centres = nullptr;
    group.colours = colours.data();
    group.count = std::min(kGroup, run.count - first);
    if (first + group.count < run.count) group.last = run.n;
    const uint8_t* centre = run.centres + first * run.n + run.n / 2;
    for (size_t k = 0; k < group.count; ++k, centre += run.n)
      colours[k] = *centre;
    if (first + group.count == run.count)
      colours[group.count - 1] = run.centres[(run.count - 1) * run.n + run.last / 2];
    FillColouredRows(top + first * run.n, step, rows, group);
  }
}

#if TAVIKIT_X86
// 64 bytes of a run at a time, made by one byte permutation of the colours. Byte j of a piece
// that starts r bytes into block `base` lies in block base + (r + j) / n; r + j stays below 96
// for blocks of up to 32 bytes, where (v m) >> 16 with m = ceil(65536 / n) is v / n exactly
// (it exceeds v / n by less than 96 n / (n 65536), short of the next multiple of 1 / n).
// Each piece goes into every row while it is in a register; pieces start at the top row's
// 64-byte boundaries, so that its stores (and those of rows a multiple of 64 bytes apart) never
// straddle two cache lines. The key leaves its blocks out of the store mask.
constexpr size_t kWidestPermutedBlock = 32;

// For the 64 bytes of a piece that starts r bytes into a block, as byte indexes: the block of
// byte j, (r + j) / n blocks on, and its centre's place in the 128 bytes from 32 before the
// piece, j + 32 + n / 2 - (r + j) mod n. Pieces that start alike share them.
struct PieceSteps {
  __m512i blocks, centres;
};

TAVIKIT_TARGET_AVX512_VBMI inline __m512i Words(int16_t first) {
  return _mm512_add_epi16(
      _mm512_set_epi16(31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15, 14, 13,
                       12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0),
      _mm512_set1_epi16(first));
}

TAVIKIT_TARGET_AVX512_VBMI inline __m512i Bytes(__m512i low, __m512i high) {
  return _mm512_inserti64x4(_mm512_castsi256_si512(_mm512_cvtepi16_epi8(low)),
                            _mm512_cvtepi16_epi8(high), 1);
}

TAVIKIT_TARGET_AVX512_VBMI inline PieceSteps Steps(uint32_t r, uint16_t n, uint16_t m) {
  const __m512i low = Words(static_cast<int16_t>(r));
  const __m512i high = Words(static_cast<int16_t>(r + 32));
  __m512i quotientLow = low;
  __m512i quotientHigh = high;
  __m512i restLow = _mm512_setzero_si512();
  __m512i restHigh = _mm512_setzero_si512();
  if (n != 1) {
    const __m512i mul = _mm512_set1_epi16(static_cast<int16_t>(m));
    const __m512i blockSize = _mm512_set1_epi16(static_cast<int16_t>(n));
    quotientLow = _mm512_mulhi_epu16(low, mul);
    quotientHigh = _mm512_mulhi_epu16(high, mul);
    restLow = _mm512_sub_epi16(low, _mm512_mullo_epi16(quotientLow, blockSize));
    restHigh = _mm512_sub_epi16(high, _mm512_mullo_epi16(quotientHigh, blockSize));
  }
  const __m512i offset = _mm512_set1_epi16(static_cast<int16_t>(32 + n / 2));
  return {Bytes(quotientLow, quotientHigh),
          Bytes(_mm512_sub_epi16(_mm512_add_epi16(Words(0), offset), restLow),
                _mm512_sub_epi16(_mm512_add_epi16(Words(32), offset), restHigh))};
}

// The piece's bytes from the colours of blocks base on.
TAVIKIT_TARGET_AVX512_VBMI inline __m512i FromColours(const BlockRun& run, size_t base,
                                                      const PieceSteps& steps) {
  const size_t colours = std::min<size_t>(run.count - base, 64);
  const __m512i from = _mm512_maskz_loadu_epi8(FirstBytesMask(colours), run.colours + base);
  return _mm512_permutexvar_epi8(steps.blocks, from);
}

// The 64 bytes from `from` on of a row of `bytes` bytes, those outside it as 0 and not read.
TAVIKIT_TARGET_AVX512_VBMI inline __m512i RunBytes(const uint8_t* row, intptr_t from,
                                                   size_t bytes) {
  if (from >= 0 && from + 64 <= static_cast<intptr_t>(bytes)) return _mm512_loadu_si512(row + from);
  const intptr_t lo = std::max<intptr_t>(0, -from);
  const intptr_t hi = std::min<intptr_t>(64, static_cast<intptr_t>(bytes) - from);
  const __mmask64 keep =
      hi <= lo ? 0
               : FirstBytesMask(static_cast<size_t>(hi)) & ~FirstBytesMask(static_cast<size_t>(lo));
  // The address may lie before the row: the mask keeps the load from reading any byte there, and
  // the address is made as a number so that no pointer leaves the row.
  // NOLINTNEXTLINE(performance-no-int-to-ptr)
  const auto* at = reinterpret_cast<const uint8_t*>(reinterpret_cast<uintptr_t>(row) +
                                                    static_cast<uintptr_t>(from));
  return _mm512_maskz_loadu_epi8(keep, at);
}

// The piece's bytes from the centres row: byte j of the piece at x0 takes the byte
// n / 2 - (r + j) mod n from it, which lies in the 128 bytes from x0 - 32 on (blocks of up to 32
// bytes); only the run's own bytes are loaded. The last block, when narrower, takes its own centre.
TAVIKIT_TARGET_AVX512_VBMI inline __m512i FromCentres(const BlockRun& run, size_t x0, size_t bytes,
                                                      const PieceSteps& steps) {
  const auto window = static_cast<intptr_t>(x0) - 32;
  __m512i v = _mm512_permutex2var_epi8(RunBytes(run.centres, window, bytes), steps.centres,
                                       RunBytes(run.centres, window + 64, bytes));
  const size_t lastStart = (run.count - 1) * run.n;
  if (run.last < run.n && lastStart < x0 + 64) {
    const size_t from = lastStart > x0 ? lastStart - x0 : 0;
    const __mmask64 lastBytes = ~FirstBytesMask(from);
    v = _mm512_mask_set1_epi8(v, lastBytes,
                              static_cast<char>(run.centres[lastStart + run.last / 2]));
  }
  return v;
}

TAVIKIT_TARGET_AVX512_VBMI void FillBlockRowsVbmi(uint8_t* top, intptr_t step, int32_t rows,
                                                  const BlockRun& run) {
  const auto n = static_cast<uint32_t>(run.n);
  const auto m = static_cast<uint16_t>(n == 1 ? 0 : (65536u + n - 1) / n);
  const size_t bytes = run.Bytes();
  const bool keyed = run.key >= 0 && run.key <= 255;
  const __m512i keys = _mm512_set1_epi8(static_cast<char>(run.key));
  size_t piece = std::min(bytes, (0 - reinterpret_cast<uintptr_t>(top)) & 63);
  if (piece == 0) piece = std::min<size_t>(bytes, 64);
  size_t x0 = 0;
  size_t base = 0;  // the block that holds byte x0, which lies r bytes into it
  uint32_t r = 0;
  const uint32_t whole = 64 / n;  // a piece of 64 moves on by whole blocks and rest bytes
  const uint32_t rest = 64 % n;
  PieceSteps steps = Steps(r, static_cast<uint16_t>(n), m);
  uint32_t stepsAt = r;  // the offset `steps` were made for: pieces of one offset share them
  while (x0 < bytes) {
    if (r != stepsAt) {
      steps = Steps(r, static_cast<uint16_t>(n), m);
      stepsAt = r;
    }
    const __m512i v =
        run.centres != nullptr ? FromCentres(run, x0, bytes, steps) : FromColours(run, base, steps);
    uint8_t* at = top + x0;
    if (piece == 64 && !keyed) {
      for (int32_t k = 0; k < rows; ++k, at += step)
        _mm512_storeu_si512(at, v);
    } else {
      __mmask64 put = FirstBytesMask(piece);
      if (keyed) put = _mm512_mask_cmpneq_epi8_mask(put, v, keys);
      for (int32_t k = 0; k < rows; ++k, at += step)
        _mm512_mask_storeu_epi8(at, put, v);
    }
    x0 += piece;
    if (piece == 64) {
      base += whole;
      r += rest;
    } else {
      r += static_cast<uint32_t>(piece);  // the first piece, up to the first boundary
    }
    if (r >= n) {  // after a piece of 64, at most one block more
      base += r / n;
      r %= n;
    }
    piece = std::min<size_t>(bytes - x0, 64);
  }
}
#endif

using RowsFill = void (*)(uint8_t*, intptr_t, int32_t, const BlockRun&);

#if TAVIKIT_X86
// Blocks of up to kWidestPermutedBlock bytes through the byte permutations, wider ones as the
// portable loop draws them.
void FillBlockRowsPermuted(uint8_t* top, intptr_t step, int32_t rows, const BlockRun& run) {
  if (run.n <= kWidestPermutedBlock) {
    FillBlockRowsVbmi(top, step, rows, run);
  } else {
    FillBlockRowsPortable(top, step, rows, run);
  }
}
#endif

constexpr auto kRowsFills = std::to_array<VectorKernel<RowsFill>>({
#if TAVIKIT_X86
  {VectorLevel::kAvx512Vbmi, FillBlockRowsPermuted},
#endif
      {VectorLevel::kPortable, FillBlockRowsPortable},
});

}  // namespace

void FillBlockRows(uint8_t* top, intptr_t step, int32_t rows, const BlockRun& run) {
  if (run.count == 0 || rows < 1 || run.n == 0) return;
  ChosenKernel<kRowsFills>()(top, step, rows, run);
}

}  // namespace tavikit
