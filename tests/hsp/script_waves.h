// The waves of the script data, in a file of their own: the wave writer and the picture writer
// each define helpers of the same names.
#pragma once

#include <cstdint>
#include <vector>

// 22050 Hz, 8-bit mono, 11024 samples of a square wave; plain or scrambled with "TAVI".
std::vector<uint8_t> BeepWave(bool scrambled);
// A sound bank of the plain and the scrambled beep.
std::vector<uint8_t> BeepBank();
