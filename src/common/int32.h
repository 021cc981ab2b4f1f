// Signed 32-bit arithmetic as the library's operations define it: two's-complement wrap-around,
// division truncated toward zero, arithmetic shifts. The helpers keep the defined results for the
// corner cases (INT32_MIN / -1, overflow) that plain C++ leaves undefined, so that every build
// (32-bit or 64-bit, sanitizers on or off) gives the same bytes.
#pragma once

#include <cstdint>

namespace tavikit {

constexpr int32_t WrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

constexpr int32_t WrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

constexpr int32_t WrapMul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

constexpr int32_t WrapNeg(int32_t a) { return static_cast<int32_t>(0u - static_cast<uint32_t>(a)); }

// |a| with INT32_MIN staying INT32_MIN, as a 32-bit negation gives it.
constexpr int32_t WrapAbs(int32_t a) { return a < 0 ? WrapNeg(a) : a; }

// a / b truncated toward zero; b must not be 0. INT32_MIN / -1 wraps to INT32_MIN.
constexpr int32_t TruncDiv(int32_t a, int32_t b) { return b == -1 ? WrapNeg(a) : a / b; }

// The remainder that goes with TruncDiv: it takes the sign of a. b must not be 0.
constexpr int32_t TruncMod(int32_t a, int32_t b) { return b == -1 ? 0 : a % b; }

// Arithmetic shift right (rounds toward minus infinity).
constexpr int32_t Sar(int32_t a, int n) { return a >> n; }

}  // namespace tavikit
