// The sound slot table on the fake device, and the byte logic of wave images and sound banks.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "fake_sound_device.h"
#include "harness/temp_dir.h"
#include "sound/wave_loader.h"
#include "tools/writer/wave_writer.h"

namespace tavitest {
namespace {

using Bytes = std::vector<uint8_t>;
using taviwriter::WaveScramble;

Bytes operator+(Bytes a, const Bytes& b) { return a.insert(a.end(), b.begin(), b.end()), a; }
Bytes Text(const char* s) { return Bytes(s, s + std::strlen(s)); }
Bytes Le32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }
Bytes Chunk(const char* id, const Bytes& body, uint32_t n) { return Text(id) + Le32(n) + body; }
Bytes Chunk(const char* id, const Bytes& body) {
  return Chunk(id, body, uint32_t(body.size())) + Bytes(body.size() % 2, 0x77);
}
Bytes Riff(const Bytes& chunks, uint32_t extra = 0) {
  return Text("RIFF") + Le32(uint32_t(chunks.size()) + 4 + extra) + Text("WAVE") + chunks;
}
const Bytes kSamples = {1, 2, 3, 4, 5, 6, 7, 8, 9};
const Bytes kWave = taviwriter::WaveImage(1, 11025, 8, kSamples);           // 54 bytes
const Bytes kFmt(kWave.begin() + 20, kWave.begin() + 36);                   // 16-byte PCM body
const Bytes kLong = taviwriter::WaveImage(2, 22050, 16, Bytes(300, 0x3C));  // 344 bytes

struct Sound {
  FakeSound fake;
  SoundState state;
  PackState pack;
  TempDir dir;
  std::string wave = dir.Write("a.wav", kWave);
  explicit Sound(int32_t rate = 22050) { OpenSound(state, fake, 0, rate, 2, 16); }
  int32_t Load(int32_t slot, int32_t size = int32_t(kWave.size())) {
    return LoadWave(state, pack, wave.c_str(), size, slot, nullptr);
  }
  FakeBuffer* At(int32_t slot) { return static_cast<FakeBuffer*>(state.slots[slot].buffer.get()); }
};

TEST(SoundDevice, EveryResultOfOpeningAndTheStateItLeaves) {
  const struct {
    int32_t rate;
    std::string call;
    SoundResult answer;
    int32_t result;
    bool open;
  } rows[] = {{22050, "Create", dserr::kNoDriver, -1, false},
              {22050, "Create", kNoObject, -1, false},
              {22050, "Level2", dserr::kGeneric, -2, false},
              {-1, "Level1", dserr::kInvalidParam, -2, false},
              {22050, "CreateBuffer", dserr::kOutOfMemory, -3, true},
              {22050, "CreateBuffer", kNoObject, -31, true},
              {22050, "SetFormat", dserr::kBadFormat, -41, true},
              {22050, "SetFormat", dserr::kInvalidCall, -42, true},
              {22050, "SetFormat", dserr::kInvalidParam, -43, true},
              {22050, "SetFormat", dserr::kOutOfMemory, -44, true},
              {22050, "SetFormat", dserr::kPrioLevelNeeded, -45, true},
              {22050, "SetFormat", dserr::kUnsupported, -46, true},
              {22050, "SetFormat", dserr::kGeneric, -4, true},
              {22050, "SetFormat", 1, -4, true},  // a success code other than 0 fails too
              {22050, "", 0, 0, true},
              {-1, "", 0, 0, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.call + " " + std::to_string(row.result));
    Sound s(-1);  // a device with a loaded slot 3, which every open closes first
    ASSERT_EQ(s.Load(3), 0);
    s.fake.calls.clear();
    s.fake.queued[row.call].push_back(row.answer);
    EXPECT_EQ(OpenSound(s.state, s.fake, 0, row.rate, 2, 16), row.result);
    const std::vector<std::string> closing = {"Stop 1", "Release 1", "Release 0", "Create 0"};
    EXPECT_TRUE(std::equal(closing.begin(), closing.end(), s.fake.calls.begin()));
    EXPECT_EQ(s.state.device != nullptr, row.open);
    EXPECT_EQ(s.fake.Called("Speakers 0"), row.rate >= 0 && row.result != -1 && row.result != -2);
    EXPECT_EQ(s.Load(3), row.open ? 0 : -1);
  }
}

TEST(SoundDevice, PrimaryFormatTakesTheLowSixteenBitsAndWholeBytesPerSample) {
  const struct {
    int32_t rate, channels, bits, align, perSecond;
  } rows[] = {{22050, 2, 16, 4, 88200},
              {44100, 1, 8, 1, 44100},
              {22050, 3, 12, 3, 66150},
              {11025, 0x10002, 0x70010, 4, 44100}};
  for (const auto& row : rows) {
    FakeSound fake;
    SoundState state;
    ASSERT_EQ(OpenSound(state, fake, 0, row.rate, row.channels, row.bits), 0);
    EXPECT_EQ(fake.primaryFormat.blockAlign, row.align);
    EXPECT_EQ(fake.primaryFormat.avgBytesPerSec, uint32_t(row.perSecond));
    EXPECT_EQ(fake.primaryFormat.channels, row.channels & 0xFFFF);
  }
}

TEST(SoundSlots, EveryNoDeviceAndEmptySlotResult) {
  uint32_t cursor = 77;
  const struct {
    const char* name;
    std::function<int32_t(Sound&)> call;
    int32_t noDevice, emptySlot;
  } rows[] = {
      {"free", [](Sound& s) { return FreeSlot(s.state, 9); }, -1, 0},
      {"dup", [](Sound& s) { return DuplicateSlot(s.state, 9, 10); }, -1, 0},
      {"play", [](Sound& s) { return PlaySlot(s.state, 9, 0, 1); }, -1, -2},
      {"stop", [](Sound& s) { return StopSlot(s.state, 9); }, -1, 0},
      {"stopall", [](Sound& s) { return StopAllSlots(s.state); }, -1, 0},
      {"vol", [](Sound& s) { return SetSlotVolume(s.state, 9, -100); }, -1, 0},
      {"pan", [](Sound& s) { return SetSlotPan(s.state, 9, 100); }, -1, 0},
      {"freq", [](Sound& s) { return SetSlotFrequency(s.state, 9, 8000); }, -1, 0},
      {"stat", [](Sound& s) { return int32_t(SlotStatus(s.state, 9)); }, 0, 0},
      {"getfreq", [](Sound& s) { return int32_t(SlotFrequency(s.state, 9)); }, 0, 0},
      {"getpos", [&](Sound& s) { return int32_t(SlotPosition(s.state, 9, &cursor)); }, 0, 0},
      {"exit", [](Sound& s) { return CloseSound(s.state); }, -1, 0}};
  Sound closed(-1), open(-1);
  ASSERT_EQ(CloseSound(closed.state), 0);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.call(closed), row.noDevice);
    open.fake.calls.clear();
    EXPECT_EQ(row.call(open), row.emptySlot);
    EXPECT_EQ(open.fake.calls.size(), row.name == std::string("exit") ? 1u : 0u);  // no buffer call
  }
  EXPECT_EQ(cursor, 77u);
}

TEST(SoundSlots, FillingCopiesBothLockRegionsAndRetriesOnceAfterALostBuffer) {
  const struct {
    std::vector<SoundResult> locks;
    uint32_t firstRegion;
    bool written;
  } rows[] = {{{}, 4, true},
              {{dserr::kBufferLost}, UINT32_MAX, true},
              {{dserr::kBufferLost, dserr::kBufferLost}, UINT32_MAX, false},
              {{dserr::kGeneric}, UINT32_MAX, false}};
  for (const auto& row : rows) {
    Sound s;
    s.fake.firstRegion = row.firstRegion;
    s.fake.queued["Lock"].assign(row.locks.begin(), row.locks.end());
    ASSERT_EQ(s.Load(3), 0);  // a failed lock still loads: the buffer stays, without samples
    EXPECT_EQ(*s.At(3)->samples, row.written ? kSamples : Bytes(kSamples.size(), 0xEE));
    EXPECT_EQ(s.fake.Called("Unlock 2"), row.written);
    EXPECT_EQ(s.fake.Called("Restore 2"), !row.locks.empty() && row.locks[0] == dserr::kBufferLost);
    EXPECT_EQ(s.state.slots[3].frequency, 11025u);
  }
}

TEST(SoundSlots, ALoadStopsAndReleasesTheOldSoundFirstAlsoWhenItFails) {
  Sound s;
  ASSERT_EQ(s.Load(3), 0);
  ASSERT_EQ(PlaySlot(s.state, 3, 0, 1), 0);
  s.fake.calls.clear();
  EXPECT_EQ(s.Load(3, int32_t(kWave.size()) + 1), -1);  // fewer bytes than asked for
  EXPECT_EQ(s.fake.calls, (std::vector<std::string>{"Stop 2", "Release 2"}));
  EXPECT_EQ(s.At(3), nullptr);
}

TEST(SoundSlots, DuplicatesShareSamplesButPlayAndStopOnTheirOwn) {
  Sound s;
  ASSERT_EQ(s.Load(2), 0);
  EXPECT_EQ(DuplicateSlot(s.state, 2, 5), 0);
  ASSERT_NE(s.At(5), nullptr);
  EXPECT_EQ(s.At(5)->samples, s.At(2)->samples);
  SetSlotVolume(s.state, 5, -600);
  PlaySlot(s.state, 5, 4, 0);
  EXPECT_EQ(s.At(2)->volume, 0);
  EXPECT_EQ(SlotStatus(s.state, 2), 0u);
  EXPECT_EQ(SlotStatus(s.state, 5), 1u);
  PlaySlot(s.state, 2, 8, 7);
  EXPECT_EQ(SlotStatus(s.state, 2), 5u);  // any non-zero loop argument loops
  uint32_t write = 0;
  EXPECT_EQ(SlotPosition(s.state, 5, &write), 4u);
  EXPECT_EQ(write, 8u);
  s.fake.calls.clear();
  EXPECT_EQ(StopAllSlots(s.state), 0);
  EXPECT_EQ(s.fake.calls, (std::vector<std::string>{"Stop 2", "Stop 3"}));  // slot order
  FreeSlot(s.state, 2);
  EXPECT_EQ(PlaySlot(s.state, 5, 0, 0), 0);
  EXPECT_EQ(*s.At(5)->samples, kSamples);
  EXPECT_EQ(DuplicateSlot(s.state, 5, 5),
            0);  // the destination is emptied before the source is read
  EXPECT_EQ(s.At(5), nullptr);
  s.fake.queued["Duplicate"] = {dserr::kOutOfMemory};
  ASSERT_EQ(s.Load(1), 0);
  EXPECT_EQ(DuplicateSlot(s.state, 1, 6), 0);
  EXPECT_EQ(s.At(6), nullptr);
}

TEST(SoundSlots, NumbersOutsideTheTableReachNothing) {
  Sound s;
  for (int32_t slot : {-1, 256, INT32_MIN}) {
    EXPECT_EQ(s.Load(slot), -1);
    EXPECT_EQ(LoadBankWave(s.state, s.pack, s.wave.c_str(), 0, slot, nullptr), -1);
    EXPECT_EQ(PlaySlot(s.state, slot, 0, 0), -2);
    EXPECT_EQ(FreeSlot(s.state, slot), 0);
    EXPECT_EQ(SetSlotPan(s.state, slot, 1), 0);
    EXPECT_EQ(SlotFrequency(s.state, slot), 0u);
    EXPECT_EQ(DuplicateSlot(s.state, slot, 0), 0);
    EXPECT_EQ(DuplicateSlot(s.state, 0, slot), 0);
  }
  EXPECT_EQ(s.fake.buffers, 1);  // the primary buffer only
}

TEST(WaveImage, ChunkWalk) {
  const Bytes fmt = Chunk("fmt ", kFmt), data = Chunk("data", kSamples);
  const Bytes tavi = Text("tavi");
  const struct {
    const char* name;
    Bytes image;
    int32_t found;
  } rows[] = {
      {"odd chunk and its filler", Riff(Chunk("LIST", {9, 9, 9}) + fmt + data), 1},
      {"fmt of 12 ends the walk", Riff(Chunk("fmt ", Bytes(12, 1)) + fmt + data), 0},
      {"fmt of 14 is enough", Riff(Chunk("fmt ", Bytes(kFmt.begin(), kFmt.end() - 2)) + data), 1},
      {"empty data, then data", Riff(Chunk("data", {}) + fmt + data), 1},
      {"data before fmt", Riff(data + fmt), 1},
      {"no fmt", Riff(data + Chunk("LIST", {1})), 0},
      {"data past the bytes read", Riff(fmt + Chunk("data", kSamples, 10)), 0},
      {"fmt past the bytes read", Riff(Chunk("fmt ", kFmt, 1000) + data), 0},
      {"length that wraps", Riff(fmt + Chunk("LIST", {}, 0xFFFFFFF8u) + data), 0},
      {"RIFF ends after fmt", Riff(fmt, -uint32_t(data.size())) + data, 0},
      {"data body at the RIFF end", Riff(fmt + data, 8 - uint32_t(data.size())), 0},
      {"not WAVE", Text("RIFF") + Le32(40) + Text("WAVF") + fmt + data, 0},
      {"TAVI", taviwriter::ScrambleWave(kLong, WaveScramble::kTAVI), 1},
      {"short TAVI", taviwriter::ScrambleWave(kWave, WaveScramble::kTAVI), 1},
      {"tavi", taviwriter::ScrambleWave(kLong, WaveScramble::kTavi), 1},
      {"tavi", taviwriter::ScrambleWave(kWave, WaveScramble::kTavi), 1},
      {"5-byte tavi", tavi + Bytes{0x5A}, 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Bytes image = row.image + Bytes(kWaveReserveBytes, 0);
    const size_t size = row.image.size(), start = UnscrambleWave(image, size);
    WaveChunks chunks;
    EXPECT_EQ(FindWaveChunks(std::span(image).subspan(start, size - start), chunks), row.found);
    if (row.found == 0) continue;
    const Bytes plain(image.begin() + long(start), image.begin() + long(size));
    const Bytes& wave = size > 100 ? kLong : kWave;
    EXPECT_EQ(plain == wave, start == 4);
    EXPECT_EQ(Bytes(chunks.samples.begin(), chunks.samples.end()),
              size > 100 ? Bytes(300, 0x3C) : kSamples);
  }
  // Hand-made scrambles: "tavi" XORs the last byte with the seed, then each byte with the next.
  Bytes five = tavi + Bytes{0x5A}, six = tavi + Bytes{0x01, 0xA4};
  UnscrambleWave(five, 5);
  UnscrambleWave(six, 6);
  EXPECT_EQ(five, tavi + Bytes({0xFF}));
  EXPECT_EQ(six, tavi + Bytes({0x00, 0x01}));
  const Bytes scrambled = taviwriter::ScrambleWave(kLong, WaveScramble::kTAVI);
  EXPECT_EQ(scrambled[4 + 7], kLong[7] ^ kLong[64 + 7]);
  EXPECT_EQ(scrambled[4 + 70], kLong[70]);
}

TEST(SoundBank, EntriesAndRefusals) {
  const Bytes bank = taviwriter::SoundBank({kWave, kLong});  // entries at 16 and 20 + 54
  auto with = [&](size_t at, const Bytes& bytes) {
    Bytes b = bank;
    std::copy(bytes.begin(), bytes.end(), b.begin() + long(at));
    return b;
  };
  const struct {
    Bytes bank;
    int32_t index, offset, size;
  } rows[] = {{bank, 0, 20, 54},
              {bank, 1, 78, 344},
              {bank, 2, 0, 0},
              {bank, -1, 0, 0},
              {with(3, {'X'}), 0, 0, 0},
              {Bytes(bank.begin(), bank.begin() + 6), 0, 0, 0},
              {with(16, Le32(0)), 0, 0, 0},
              {with(8, Le32(9999)), 0, 0, 0},
              {with(16, Le32(0xFFFFFFFF)), 0, 0, 0},
              {with(4, Le32(0x40000000)), 0x3FFFFFFF, 0, 0}};
  for (const auto& row : rows) {
    const BankRead read = [&](int32_t offset, std::span<uint8_t> out) {
      if (offset < 0 || size_t(offset) > row.bank.size()) return 0;
      const size_t n = std::min(out.size(), row.bank.size() - size_t(offset));
      std::memcpy(out.data(), row.bank.data() + offset, n);
      return int32_t(n);
    };
    const BankEntry entry = FindBankEntry(read, row.index).value_or(BankEntry{});
    EXPECT_EQ(entry.offset, row.offset);
    EXPECT_EQ(entry.size, row.size);
  }
  Sound s;
  const std::string path = s.dir.Write("b.bank", bank);
  ASSERT_EQ(LoadBankWave(s.state, s.pack, path.c_str(), 1, 7, nullptr), 0);
  EXPECT_EQ(*s.At(7)->samples, Bytes(300, 0x3C));
}

}  // namespace
}  // namespace tavitest
