// XOR of a script's buffer into another of its buffers, with a running sum of the result.
#pragma once

#include <cstdint>

namespace tavikit {

struct ScrambleState {
  uint8_t* target = nullptr;  // the caller's buffer that XorIntoTarget changes
};

// The scramble state behind the exports.
ScrambleState& ProcessScramble();

// XORs `length` bytes of `source` into the target. The sum counts the first resulting byte of
// every whole 4-byte group and every byte of the tail, kept to its low 28 bits; returns the sum
// (the export reports it negated). No target, or a length of 0 or less, changes nothing and
// returns 0.
int32_t XorIntoTarget(const ScrambleState& state, const uint8_t* source, int32_t length);

}  // namespace tavikit
