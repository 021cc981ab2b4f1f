// Families of cases that every copy shares: empty and negative sizes, arguments of which only the
// low 8 bits count, and keys at both ends of the byte range on every keyed copy.
#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "harness/fixture.h"

namespace tavitest {
namespace {

class Families : public ExportTest {
 protected:
  // Random source (with plenty of 0 and 255) and target with a palette, a cube built from it,
  // the source selected with its rectangle (1, 2, 33, 9) and the target's cursor at (3, 2).
  void Prepare(uint32_t seed) {
    source.FillRandom(seed);
    for (size_t i = 0; i < source.pixels().size(); i += 3)
      source.pixels()[i] = i % 2 == 0 ? 0 : 255;
    target.FillRandom(seed + 1);
    target.RandomPalette(7);
    source.palette() = target.palette();
    lib().tavi_AlphaInit(target.record(), 256, 0, 0);
    Select(source, target, 1, 2, 33, 9);
    target.SetCursor(3, 2);
    source.SetCursor(1, 2);
    lib().tavi_rotpos(1, 2, 33, 9);
    lib().tavi_rotclip(0, 0, 48, 16);
    lib().tavi_rotset(17, 6, 0, 0);
  }

  HostScreen source{40, 12};
  HostScreen target{48, 16};
};

using Call = std::function<void(const Library&, HostScreen& target, int w, int h)>;
struct Named {
  const char* name;
  Call call;
};

// Sets the copy rectangle to w x h before the call.
Call WithRect(const std::function<void(const Library&, HostScreen&)>& call) {
  return [call](const Library& lib, HostScreen& t, int w, int h) {
    lib.tavi_copyset(1, 2, w, h);
    call(lib, t);
  };
}

TEST_F(Families, ZeroAndNegativeSizesDrawNothingInEveryCopy) {
  static const std::array<uint8_t, 16> kAll{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  const std::vector<Named> copies = {
      {"gcopy", [](auto& l, auto&, int w, int h) { l.tavi_gcopy(1, 2, w, h); }},
      {"tilecopy", [](auto& l, auto&, int w, int h) { l.tavi_tilecopy(w, h, 0, 0); }},
      {"tilecopy tile",  // a tile of negative sides repeats with their length
       [](auto& l, auto&, int w, int h) {
         l.tavi_copyset(1, 2, std::max(w, 0), std::max(h, 0));
         l.tavi_tilecopy(8, 8, 0, 0);
       }},
      {"gcopy2", WithRect([](auto& l, auto&) { l.tavi_gcopy2(-1, 0, 0, 0); })},
      {"gcopy2e", WithRect([](auto& l, auto&) { l.tavi_gcopy2e(-1, 0, 0, 0); })},
      {"gcopya", WithRect([](auto& l, auto& t) { l.tavi_gcopya(t.record(), 0, 0, 0); })},
      {"gcopyf", WithRect([](auto& l, auto& t) { l.tavi_gcopyf(t.record(), 99, 0, 0); })},
      {"gcopyfc", WithRect([](auto& l, auto& t) { l.tavi_gcopyfc(t.record(), 99, -1, 0); })},
      {"gcopyfr", WithRect([](auto& l, auto& t) { l.tavi_gcopyfr(t.record(), 99, 0, 0); })},
      {"gcopyfrc", WithRect([](auto& l, auto& t) { l.tavi_gcopyfrc(t.record(), 99, -1, 0); })},
      {"GFade", WithRect([](auto& l, auto&) { l.tavi_GFade(200, -1, 0, 0); })},
      {"GFade2", WithRect([](auto& l, auto&) { l.tavi_GFade2(Word(kAll.data()), 0, 0, 0); })},
      {"mozcopy", [](auto& l, auto&, int w, int h) { l.tavi_mozcopy(w, h, 2, -1); }},
      {"zoomcopy", [](auto& l, auto&, int w, int h) { l.tavi_zoomcopy(w, h, 1, -1); }},
      {"polycopy", [](auto& l, auto&, int, int h) { l.tavi_polycopy(8, std::min(h, 0), 8, 1); }},
      {"rotcopy", [](auto& l, auto&, int w, int h) { l.tavi_rotcopy(w, h, 99, -1); }},
      {"meshcpy", [](auto& l, auto&, int w, int h) { l.tavi_meshcpy(1, 2, w, h); }},
      {"meshcopy", [](auto& l, auto&, int w, int h) { l.tavi_meshcopy(w, h, 300, 0); }},
      {"meshboxs", [](auto& l, auto&, int w, int h) { l.tavi_meshboxs(w, h, 5, 0); }},
      {"MeshBOX", [](auto& l, auto& t, int w, int h) { l.tavi_MeshBOX(t.record(), w, h, 5); }},
      {"gmozic", [](auto& l, auto& t, int w, int h) { l.tavi_gmozic(t.record(), w, h, 2); }},
      {"gmozice", [](auto& l, auto& t, int w, int h) { l.tavi_gmozice(t.record(), w, h, 2); }},
      {"gmozicn", [](auto& l, auto& t, int w, int h) { l.tavi_gmozicn(t.record(), w, h, 2); }},
      {"PCPDecode", [](auto& l, auto& t, int w, int h) { l.tavi_PCPDecode(t.record(), w, h, 0); }},
  };
  for (const Named& copy : copies) {
    for (const auto& [w, h] : {std::pair{0, 4}, {4, 0}, {-4, 4}, {4, -4}, {1, -1}}) {
      Prepare(1);
      const tavihost::PixelBuffer before = target.pixels();
      copy.call(lib(), target, w, h);
      ASSERT_EQ(target.pixels(), before) << copy.name << " " << w << "x" << h;
    }
  }
}

TEST_F(Families, OnlyTheLowEightBitsOfByteArgumentsCount) {
  using ByteCall = std::function<void(const Library&, HostScreen&, tavi_word)>;
  const auto table = [](const ByteCall& build) {
    return [build](const Library& l, HostScreen& t, tavi_word v) {
      l.tavi_decset(t.record(), 1, 2, 3);  // another table first, so the next one is built
      build(l, t, v);
      l.tavi_gcopya(t.record(), 0, 0, 0);
    };
  };
  const std::vector<std::pair<const char*, ByteCall>> calls = {
      {"gcopyf alpha", [](auto& l, auto& t, tavi_word v) { l.tavi_gcopyf(t.record(), v, 0, 0); }},
      {"gcopyfr alpha", [](auto& l, auto& t, tavi_word v) { l.tavi_gcopyfr(t.record(), v, 0, 0); }},
      {"GFade level", [](auto& l, auto&, tavi_word v) { l.tavi_GFade(v, -1, 0, 0); }},
      {"addset red",
       table([](auto& l, auto& t, tavi_word v) { l.tavi_addset(t.record(), v, 0, 9); })},
      {"addset green",
       table([](auto& l, auto& t, tavi_word v) { l.tavi_addset(t.record(), 9, v, 0); })},
      {"decset blue",
       table([](auto& l, auto& t, tavi_word v) { l.tavi_decset(t.record(), 9, 0, v); })},
      {"edecset",
       table([](auto& l, auto& t, tavi_word v) { l.tavi_edecset(t.record(), v, v, v); })},
      {"rotset angle",
       [](auto& l, auto&, tavi_word v) {
         l.tavi_rotset(17, 6, v, 0);
         l.tavi_rotcopy(33, 9, 99, -1);
       }},
      {"meshcopy key", [](auto& l, auto&, tavi_word v) { l.tavi_meshcopy(20, 7, v, 0); }},
      {"meshboxs colour", [](auto& l, auto&, tavi_word v) { l.tavi_meshboxs(20, 7, v, 0); }},
      {"MeshBOX colour",
       [](auto& l, auto& t, tavi_word v) { l.tavi_MeshBOX(t.record(), 20, 7, v); }},
  };
  for (const auto& [name, call] : calls) {
    for (const tavi_word v : {0, 1, 64, 128, 255}) {
      Prepare(2);
      call(lib(), target, v);
      const tavihost::PixelBuffer expected = target.pixels();
      for (const tavi_word high : {256, -256, 0x12345600, -0x7FFFFF00}) {
        Prepare(2);
        call(lib(), target, v + high);
        ASSERT_EQ(target.pixels(), expected) << name << " " << v << " + " << high;
      }
    }
  }
}

// A keyed copy leaves exactly the pixels it would have drawn from a key pixel as they were, and
// draws the others as the same copy without a key does: where the unkeyed copy wrote the key's
// value, or, for blended copies, where the source pixel is the key. Rows of 33 pixels take the
// eight-pixel path and a tail; keys 0 and 255 sit at both ends of the byte range.
TEST_F(Families, KeysLeaveOutExactlyTheKeyedPixels) {
  struct Keyed {
    const char* name;
    bool lowByte;  // the key's low 8 bits count (a negative key keys nothing)
    bool blended;
    std::function<void(const Library&, HostScreen&, tavi_word key)> call;
  };
  const std::vector<Keyed> copies = {
      {"gcopy2", false, false, [](auto& l, auto&, tavi_word k) { l.tavi_gcopy2(k, 0, 0, 0); }},
      {"gcopy2e", false, false, [](auto& l, auto&, tavi_word k) { l.tavi_gcopy2e(k, 0, 0, 0); }},
      {"gcopyfc", false, true,
       [](auto& l, auto& t, tavi_word k) { l.tavi_gcopyfc(t.record(), 90, k, 0); }},
      {"gcopyfrc", false, true,
       [](auto& l, auto& t, tavi_word k) { l.tavi_gcopyfrc(t.record(), 90, k, 0); }},
      {"GFade", false, false, [](auto& l, auto&, tavi_word k) { l.tavi_GFade(255, k, 0, 0); }},
      {"zoomcopy", false, false, [](auto& l, auto&, tavi_word k) { l.tavi_zoomcopy(33, 9, 1, k); }},
      {"rotcopy", false, false, [](auto& l, auto&, tavi_word k) { l.tavi_rotcopy(33, 9, -1, k); }},
      {"mozcopy", true, false, [](auto& l, auto&, tavi_word k) { l.tavi_mozcopy(33, 9, 1, k); }},
  };
  for (const Keyed& copy : copies) {
    Prepare(3);
    copy.call(lib(), target, -1);
    HostScreen unkeyed(48, 16);
    Twin(unkeyed, target);
    for (const tavi_word key : {0, 255, 7, 256, 263, -1, -256}) {
      Prepare(3);
      HostScreen before(48, 16);
      Twin(before, target);
      copy.call(lib(), target, key);
      const bool keys = copy.lowByte ? key >= 0 : key >= 0 && key <= 255;
      for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 48; ++x) {
          const bool inRect = x >= 3 && x < 36 && y >= 2 && y < 11;
          const uint8_t keyed =
              copy.blended ? (inRect ? source.at(x - 2, y) : 0) : unkeyed.at(x, y);
          const bool left = keys && (inRect || !copy.blended) && keyed == (key & 255);
          ASSERT_EQ(target.at(x, y), left ? before.at(x, y) : unkeyed.at(x, y))
              << copy.name << " key " << key << " at " << x << "," << y;
        }
      }
    }
  }
}

}  // namespace
}  // namespace tavitest
