// What an export runs its body through, so that no exception crosses an export: the body's
// result (a Result, an int32_t, or nothing for 0) is passed on; a screen without a record
// (NoScreen) gives 0, an allocation failure the export's no-memory result and anything else its
// failure result.
#pragma once

#include <cstdint>
#include <new>
#include <type_traits>

#include "common/result.h"
#include "common/screen.h"

namespace tavikit {

struct ExportFailure {
  int32_t failed = 0;    // what the export returns when its body throws
  int32_t noMemory = 0;  // what it returns when an allocation fails
};

// An export that reports nothing but success: a failure still returns 0.
inline constexpr ExportFailure kReturnsZero{0, 0};
// An export that reports running out of memory as -100 and any other failure as `failed`.
constexpr ExportFailure NoMemoryOr(Result failed) {
  return ExportFailure{ToInt(failed), ToInt(Result::kNoMemory)};
}

template <class Body>
int32_t GuardExport(ExportFailure failure, Body&& body) noexcept {
  try {
    using Returned = decltype(body());
    if constexpr (std::is_void_v<Returned>) {
      body();
      return 0;
    } else if constexpr (std::is_same_v<Returned, Result>) {
      return ToInt(body());
    } else {
      return static_cast<int32_t>(body());
    }
  } catch (const NoScreen&) {
    return 0;
  } catch (const std::bad_alloc&) {
    return failure.noMemory;
  } catch (...) {
    return failure.failed;
  }
}

}  // namespace tavikit
