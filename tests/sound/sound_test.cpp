// The sound slot table on the fake device, and the byte logic of wave images and sound banks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>

#include "fake_sound_device.h"
#include "harness/temp_dir.h"
#include "sound/wave_loader.h"
#include "tools/writer/wave_writer.h"

namespace tavitest {
namespace {

using Bytes = std::vector<uint8_t>;
using taviwriter::ScrambleWave;
using taviwriter::WaveScramble;

Bytes operator+(Bytes a, const Bytes& b) { return a.insert(a.end(), b.begin(), b.end()), a; }
Bytes Text(const char* s) { return Bytes(s, s + std::strlen(s)); }
Bytes Le32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }
Bytes Chunk(const char* id, const Bytes& body, uint32_t n) { return Text(id) + Le32(n) + body; }
Bytes Chunk(const char* id, const Bytes& body) {
  return Chunk(id, body, uint32_t(body.size())) + Bytes(body.size() % 2, 0x77);
}
Bytes Put(Bytes b, long at, const Bytes& v) { return std::ranges::copy(v, b.begin() + at), b; }
Bytes Riff(const Bytes& chunks, uint32_t more = 0) {
  return Text("RIFF") + Le32(uint32_t(chunks.size()) + 4 + more) + Text("WAVE") + chunks;
}
const Bytes kSamples = {1, 2, 3, 4, 5, 6, 7, 8, 9};
const Bytes kWave = taviwriter::WaveImage(1, 11025, 8, kSamples);           // 54 bytes
const Bytes kFmt(kWave.begin() + 20, kWave.begin() + 36);                   // 16-byte PCM body
const Bytes kLong = taviwriter::WaveImage(2, 22050, 16, Bytes(300, 0x3C));  // 344 bytes

// A device opened on the fake (buffer 1 is the primary one at priority level).
struct Sound {
  FakeSound fake;
  SoundState state;
  PackState pack;
  TempDir dir;
  std::string wave = dir.Write("a.wav", kWave);
  std::string bank = dir.Write("b.bank", taviwriter::SoundBank({kWave, kLong}));
  uint32_t w = 77;  // a write cursor variable
  explicit Sound(int32_t rate = 22050) { OpenSound(state, fake, 0, rate, 2, 16); }
  int32_t Load(int32_t n, int32_t z = 54) { return LoadWave(state, pack, wave.c_str(), z, n, {}); }
  int32_t Bank(int32_t n, int32_t i) { return LoadBankWave(state, pack, bank.c_str(), i, n, {}); }
  FakeBuffer* At(int32_t n) { return static_cast<FakeBuffer*>(state.slots[n].buffer.get()); }
};

TEST(SoundDevice, EveryResultOfOpeningClosesTheOldDeviceFirst) {
  std::vector<std::tuple<int32_t, std::string, SoundResult, int32_t>> rows = {
      {8000, "Create", dserr::kNoDriver, -1},
      {8000, "Level", dserr::kGeneric, -2},
      {-1, "Level", dserr::kInvalidParam, -2},
      {8000, "CreateBuffer", dserr::kGeneric, -3},
      {8000, "CreateBuffer", kNoObject, -31},
      {8000, "", 0, 0},
      {-1, "", 0, 0}};
  const SoundResult refused[] = {
      dserr::kBadFormat,       dserr::kInvalidCall, dserr::kInvalidParam, dserr::kOutOfMemory,
      dserr::kPrioLevelNeeded, dserr::kUnsupported, dserr::kGeneric,      1};  // 1: S_FALSE
  for (int32_t i = 0; i < 8; ++i)
    rows.emplace_back(8000, "Fmt", refused[i], i < 6 ? -41 - i : -4);
  for (const auto& [rate, call, answer, result] : rows) {
    SCOPED_TRACE(call + " " + std::to_string(result));
    Sound s(-1);
    ASSERT_EQ(s.Load(3), 0);
    s.fake.log.clear();
    s.fake.queued[call].push_back(answer);
    EXPECT_EQ(OpenSound(s.state, s.fake, 0, rate, 0x10003, 0x7000C), result);  // 3 x 12 bits
    EXPECT_EQ(s.fake.log.rfind("Stop 1;Release 1;Release 0;Create 0;", 0), 0u);
    const bool open = result != -1 && result != -2;  // and stays open after -3 .. -46
    EXPECT_EQ(s.state.device != nullptr, open);
    EXPECT_EQ(s.fake.Called("Speakers 0") * 2 + s.fake.Called("Level 1"), rate < 0 ? 1 : open * 2);
    EXPECT_EQ(s.Load(3), open ? 0 : -1);
    const WaveFormat& f = s.fake.primaryFormat;  // asked for by success and "Fmt" rows only
    EXPECT_EQ(f.blockAlign * 100000 + f.avgBytesPerSec,
              rate > 0 && (result == 0 || call == "Fmt") ? 324000u : 0);
  }
}

// Opening with each word at its edges. The window goes to the device as it is. A negative rate
// (INT32_MIN too) asks for the normal level and nothing more; 0 and up ask for priority and a
// PCM primary format of the rate and the low 16 bits of channels and bits, whose block (bits / 8
// x channels) is kept in 16 bits and whose bytes a second (block x rate) in 32.
TEST(SoundDevice, OpeningWithEachWordAtItsEdges) {
  struct Row {
    intptr_t window;
    int32_t rate, channels, bits;
    uint16_t wantChannels, wantBlock, wantBits;  // all 0: no format asked for
    uint32_t wantBytesPerSecond;
  };
  const Row rows[] = {
      {INTPTR_MAX, INT32_MIN, 2, 16, 0, 0, 0, 0},
      {INTPTR_MIN, -1, INT32_MAX, -1, 0, 0, 0, 0},
      {-1, 0, 1, 8, 1, 1, 8, 0},
      {0, 1, 2, 16, 2, 4, 16, 4},
      {7, INT32_MAX, 2, 16, 2, 4, 16, 0xFFFFFFFCu},          // 4 x (2^31 - 1), in 32 bits
      {7, 44100, 0x10001, 0x10008, 1, 1, 8, 44100},          // the low 16 bits only
      {7, 8000, 0xFFFF, 16, 0xFFFF, 0xFFFE, 16, 524272000},  // 2 x 65535, in 16 bits
      {7, 8000, -1, -1, 0xFFFF, 57345, 0xFFFF, 458760000},   // 8191 x 65535, in 16 bits
      {7, 22050, 0, 16, 0, 0, 16, 0},
      {7, 22050, 0x10000, 16, 0, 0, 16, 0},
      {7, 22050, 3, 7, 3, 0, 7, 0},
      {7, 22050, 3, 12, 3, 3, 12, 66150}};
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.rate) + " " + std::to_string(r.channels) + " " +
                 std::to_string(r.bits));
    FakeSound fake;
    SoundState state;
    ASSERT_EQ(OpenSound(state, fake, r.window, r.rate, r.channels, r.bits), 0);
    EXPECT_EQ(fake.window, r.window);
    EXPECT_TRUE(fake.Called(r.rate < 0 ? "Level 1" : "Level 2"));
    EXPECT_EQ(fake.Called("Fmt 1"), r.rate >= 0);
    const WaveFormat& f = fake.primaryFormat;
    EXPECT_EQ(f.formatTag, r.rate >= 0 ? 1 : 0);
    EXPECT_EQ(f.samplesPerSec, r.rate >= 0 ? static_cast<uint32_t>(r.rate) : 0u);
    EXPECT_EQ(f.channels, r.wantChannels);
    EXPECT_EQ(f.blockAlign, r.wantBlock);
    EXPECT_EQ(f.bitsPerSample, r.wantBits);
    EXPECT_EQ(f.avgBytesPerSec, r.wantBytesPerSecond);
    EXPECT_EQ(f.extraSize, 0);
    EXPECT_EQ(CloseSound(state), 0);
  }
}

TEST(SoundSlots, EveryNoDeviceEmptySlotAndOutsideTheTableResult) {
  const std::tuple<const char*, int32_t (*)(Sound&, int32_t), int32_t, int32_t> rows[] = {
      {"free", [](Sound& s, int32_t n) { return FreeSlot(s.state, n); }, -1, 0},
      {"dup from", [](Sound& s, int32_t n) { return DuplicateSlot(s.state, n, 8); }, -1, 0},
      {"dup to", [](Sound& s, int32_t n) { return DuplicateSlot(s.state, 1, n); }, -1, 0},
      {"play", [](Sound& s, int32_t n) { return PlaySlot(s.state, n, 0, 1); }, -1, -2},
      {"stop", [](Sound& s, int32_t n) { return StopSlot(s.state, n); }, -1, 0},
      {"stopall", [](Sound& s, int32_t) { return StopAllSlots(s.state); }, -1, 0},
      {"vol", [](Sound& s, int32_t n) { return SetSlotVolume(s.state, n, -100); }, -1, 0},
      {"pan", [](Sound& s, int32_t n) { return SetSlotPan(s.state, n, 100); }, -1, 0},
      {"freq", [](Sound& s, int32_t n) { return SetSlotFrequency(s.state, n, 800); }, -1, 0},
      {"stat", [](Sound& s, int32_t n) { return int32_t(SlotStatus(s.state, n)); }, 0, 0},
      {"getfreq", [](Sound& s, int32_t n) { return int32_t(SlotFrequency(s.state, n)); }, 0, 0},
      {"pos", [](Sound& s, int32_t n) { return int32_t(SlotPosition(s.state, n, &s.w)); }, 0, 0},
      {"load", [](Sound& s, int32_t n) { return s.Load(n) * 10 + s.Bank(n, 0); }, -11, -11}};
  Sound closed(-1), open(-1);
  ASSERT_EQ(CloseSound(closed.state) * 10 + CloseSound(closed.state), -1);
  for (const auto& [name, call, noDevice, emptySlot] : rows) {
    for (int32_t slot : {9, -1, 256, INT32_MIN}) {
      SCOPED_TRACE(std::string(name) + " " + std::to_string(slot));
      EXPECT_EQ(call(closed, slot), noDevice);
      if (slot == 9 && noDevice == -11) continue;  // loading slot 9 works
      open.fake.log.clear();
      EXPECT_EQ(call(open, slot), emptySlot);
      EXPECT_EQ(open.fake.log, "");  // no buffer created or touched
    }
  }
  EXPECT_EQ(closed.w + open.w, 154u);
}

TEST(SoundSlots, FillingCopiesBothLockRegionsAndLocksOnceMoreAfterALostBuffer) {
  const std::pair<std::deque<SoundResult>, bool> rows[] = {
      {{}, true},
      {{dserr::kBufferLost}, true},
      {{dserr::kBufferLost, dserr::kBufferLost}, false},
      {{dserr::kGeneric}, false}};
  for (const auto& [locks, written] : rows) {
    Sound s;
    s.fake.queued["Lock"] = locks;
    ASSERT_EQ(s.Load(3), 0);  // a failed lock still loads: the buffer stays, without samples
    EXPECT_EQ(*s.At(3)->samples, written ? kSamples : Bytes(kSamples.size(), 0xEE));
    EXPECT_EQ(s.fake.Called("Unlock 2"), written);
    EXPECT_EQ(s.fake.Called("Restore 2"), !locks.empty() && locks[0] != dserr::kGeneric);
  }
}

TEST(SoundSlots, Bookkeeping) {
  Sound s;
  ASSERT_EQ(s.Load(2) + DuplicateSlot(s.state, 2, 5), 0);
  ASSERT_TRUE(s.At(5) != nullptr && s.At(5)->samples == s.At(2)->samples);  // shared samples
  EXPECT_EQ(
      SetSlotVolume(s.state, 5, -600) + PlaySlot(s.state, 5, 4, 0) + PlaySlot(s.state, 2, 8, -1),
      0);
  EXPECT_EQ(s.At(2)->volume, 0);
  EXPECT_EQ(SlotStatus(s.state, 5) * 10 + SlotStatus(s.state, 2), 15u);  // once; looping
  EXPECT_EQ(SlotPosition(s.state, 5, &s.w) * 10 + s.w, 48u);             // play 4, write 8
  s.fake.log.clear();
  EXPECT_EQ(StopAllSlots(s.state) + PlaySlot(s.state, 2, 0, 1), 0);
  EXPECT_EQ(s.Load(2, 55), -1);  // a short read fails, after stopping the old sound
  EXPECT_EQ(s.fake.log, "Stop 2;Stop 3;SetPos 2;Play 2;Stop 2;Release 2;");
  EXPECT_TRUE(PlaySlot(s.state, 5, 0, 0) == 0 && *s.At(5)->samples == kSamples);
  EXPECT_EQ(DuplicateSlot(s.state, 5, 5), 0);  // the destination is emptied first
  s.fake.queued["Duplicate"] = {dserr::kOutOfMemory};
  ASSERT_EQ(s.Load(1) + DuplicateSlot(s.state, 1, 6), 0);
  EXPECT_EQ(s.At(5) == nullptr && s.At(6) == nullptr, true);
}

TEST(WaveImage, ChunkWalkAndScrambles) {
  const Bytes fmt = Chunk("fmt ", kFmt), data = Chunk("data", kSamples), tavi = Text("tavi");
  const std::tuple<const char*, Bytes, int32_t> rows[] = {
      {"odd chunk and its filler", Riff(Chunk("LIST", {9, 9, 9}) + fmt + data), 1},
      {"fmt of 12 ends the walk", Riff(Chunk("fmt ", Bytes(12, 1)) + fmt + data), 0},
      {"fmt of 14 is enough", Riff(Chunk("fmt ", Bytes(kFmt.begin(), kFmt.end() - 2)) + data), 1},
      {"empty data, then data", Riff(Chunk("data", {}) + fmt + data), 1},
      {"data before fmt", Riff(data + fmt), 1},
      {"data past the bytes read", Riff(fmt + Chunk("data", kSamples, 10)), 0},
      {"length that wraps", Riff(fmt + Chunk("LIST", {}, 0xFFFFFFF8u) + data), 0},
      {"data body at the RIFF end", Riff(fmt + data, 8 - uint32_t(data.size())), 0},
      {"TAVI", ScrambleWave(kLong, WaveScramble::kTAVI), 1},
      {"TAVI shorter than 132", ScrambleWave(kWave, WaveScramble::kTAVI), 1},
      {"tavi", ScrambleWave(kLong, WaveScramble::kTavi), 1}};
  for (const auto& [name, bytes, found] : rows) {
    SCOPED_TRACE(name);
    Bytes image = bytes + Bytes(kWaveReserveBytes, 0);
    const size_t size = bytes.size(), start = UnscrambleWave(image, size);
    WaveChunks chunks;
    EXPECT_EQ(FindWaveChunks(std::span(image).subspan(start, size - start), chunks), found);
    if (found == 0) continue;
    EXPECT_EQ(Bytes(chunks.samples.begin(), chunks.samples.end()),
              size > 100 ? Bytes(300, 0x3C) : kSamples);
  }
  // By hand: "tavi" XORs with 0xA5, then with the restored next byte; "TAVI" with 64 on.
  Bytes five = tavi + Bytes{0x5A}, six = tavi + Bytes{0x01, 0xA4},
        big = ScrambleWave(kLong, WaveScramble::kTAVI);
  EXPECT_EQ(UnscrambleWave(five, 5) + UnscrambleWave(six, 6), 8u);  // both start at byte 4
  EXPECT_EQ(five + six, tavi + Bytes({0xFF}) + tavi + Bytes({0x00, 0x01}));
  EXPECT_EQ(Bytes({big[4 + 7], big[4 + 70]}),
            Bytes({uint8_t(kLong[7] ^ kLong[64 + 7]), kLong[70]}));
}

TEST(SoundBank, EntriesAndRefusals) {
  const Bytes bank = taviwriter::SoundBank({kWave, kLong});
  const std::tuple<Bytes, int32_t, Bytes> rows[] = {
      {bank, 0, kSamples},
      {bank, 1, Bytes(300, 0x3C)},
      {bank, 2, {}},                      // index equal to the count
      {Put(bank, 4, Le32(1)), 1, {}},     // the same where a second entry follows
      {Put(bank, 4, Le32(16)), -1, {}},   // before the table: the count is entry 0's offset
      {Put(bank, 3, {'X'}), 0, {}},       // magic
      {Put(bank, 16, Le32(0)), 0, {}},    // size 0
      {Put(bank, 8, Le32(9999)), 0, {}},  // entry past the end
      {Put(bank, 4, Le32(0x40000000)), 0x3FFFFFFF, {}}};  // table position past 32 bits
  Sound s;
  for (const auto& [file, index, samples] : rows) {
    s.bank = s.dir.Write("b.bank", file);
    EXPECT_EQ(s.Bank(7, index), samples.empty() ? -1 : 0);
    EXPECT_EQ(s.At(7) != nullptr ? *s.At(7)->samples : Bytes(), samples);
  }
}

}  // namespace
}  // namespace tavitest
