// Pack scenes that need no file: the row XOR of a rectangle and the buffer scramble.
#include <vector>

#include "scenes/scene.h"

namespace taviscene {
namespace {

void RowXor(Canvas& canvas) {
  HostScreen& screen = canvas.Screen(40, 30);
  screen.FillRandom(31);
  screen.SetCursor(3, 2);
  canvas.Result(canvas.lib().tavi_PCPDecode(screen.record(), 33, 25, 0));
}
const Registration kRowXor("pack.pcpdecode", RowXor);

void Scramble(Canvas& canvas) {
  std::vector<uint8_t> target(103), source(103);
  for (size_t i = 0; i < target.size(); ++i) {
    target[i] = static_cast<uint8_t>(i * 7 + 1);
    source[i] = static_cast<uint8_t>(i * 13 + 5);
  }
  canvas.lib().tavi_DMSupportSet(Word(target.data()), 0, 0, 0);
  canvas.Result(canvas.lib().tavi_DMSupportXOR(Word(source.data()), 103, 0, 0));
  canvas.Bytes(target.data(), target.size());
}
const Registration kScramble("pack.scramble", Scramble);

}  // namespace
}  // namespace taviscene
