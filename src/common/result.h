// The library's results, named once. An export returns 0 for success, a small negative code for
// a failure, or a value it reports, negated (v as -v), so that 0 stands both for the value 0 and
// for nothing to report. Core functions return a Result or the value itself; the negation happens
// at the export (Report).
#pragma once

#include <cstdint>

#include "common/int32.h"

namespace tavikit {

enum class Result : int32_t {
  kOk = 0,
  kFailed = -1,           // bad index, no sound device, failed wave load or file operation
  kEmptySlot = -2,        // playing an empty sound slot
  kNoCooperation = -2,    // the sound device refused the cooperative level
  kNoPrimaryBuffer = -3,  // the primary sound buffer could not be created
  kPrimaryMissing = -31,  // the primary buffer was reported created but is none
  kFormatOther = -4,      // the primary format was refused: any other reason
  kFormatBad = -41,       // ... DSERR_BADFORMAT
  kFormatInvalidCall = -42,
  kFormatInvalidParam = -43,
  kFormatOutOfMemory = -44,
  kFormatPrioLevel = -45,
  kFormatUnsupported = -46,
  kNoMemory = -100,  // an allocation failed
};

constexpr int32_t ToInt(Result r) { return static_cast<int32_t>(r); }

// A reported value as an export returns it.
constexpr int32_t Report(int32_t value) { return WrapNeg(value); }

}  // namespace tavikit
