// Tavikit.DLL on real DirectSound inside a Windows process: where a sound device opens, a wave
// loads, plays, loops, reports its status, cursors and rate, is duplicated, stopped and freed;
// where none opens, every other sound export gives its no-device result. Rates and positions
// are not measured: Wine's null output does not keep real time.
#include <windows.h>

#include <cstdio>
#include <thread>

#include "harness/fixture.h"
#include "harness/temp_dir.h"
#include "tools/writer/wave_writer.h"

namespace tavitest {
namespace {

class SoundProcessTest : public ExportTest {};

// Calls `query` until it returns `want`, however long the device's clock takes to get there
// (the suite's time limit ends a device that never does): no answer depends on the scheduling.
template <class Query>
void Eventually(int32_t want, Query query) {
  while (query() != want)
    std::this_thread::yield();
}

TEST_F(SoundProcessTest, DirectSoundPathOrNoDeviceResults) {
  HostScreen screen(4, 4);
  screen.set(TAVI_REC_HWND, reinterpret_cast<tavi_word>(GetDesktopWindow()));
  TempDir dir;  // 0.2 s of 8-bit mono at 22050 Hz
  const std::string wave =
      dir.Write("a.wav", taviwriter::WaveImage(1, 22050, 8, std::vector<uint8_t>(4410, 0x90)));
  const auto name = reinterpret_cast<tavi_word>(wave.c_str());
  const Library& k = lib();
  uint32_t write = 0xC0FFEE;
  const int32_t init = k.tavi_dsinit(screen.record(), 22050, 2, 16);
  std::printf("sound device: %s\n", init == -1 ? "none, no-device results checked" : "DirectSound");
  if (init == -1) {
    const int32_t results[] = {k.tavi_dsfree(3, 0, 0, 0),     k.tavi_dsload(name, 4454, 3, 0),
                               k.tavi_dsloadB(name, 0, 3, 0), k.tavi_dsdup(3, 5, 0, 0),
                               k.tavi_dsplay(3, 0, 1, 0),     k.tavi_dsstop(3, 0, 0, 0),
                               k.tavi_dsstopall(0, 0, 0, 0),  k.tavi_dssetvol(3, -100, 0, 0),
                               k.tavi_dssetpan(3, 100, 0, 0), k.tavi_dssetfreq(3, 8000, 0, 0),
                               k.tavi_dsexit(0, 0, 0, 0)};
    for (int32_t result : results)
      EXPECT_EQ(result, -1);
    EXPECT_EQ(k.tavi_dsstat(3, 0, 0, 0) + k.tavi_dsgetfreq(3, 0, 0, 0), 0);
    EXPECT_EQ(k.tavi_dsgetpos(Word(&write), 3, 0, 0), 0);
    EXPECT_EQ(write, 0xC0FFEEu);
    return;  // no sound device in this process: the no-device results are what it must show
  }
  ASSERT_EQ(init, 0);
  ASSERT_EQ(k.tavi_dsload(name, 4454, 3, 0), 0);
  EXPECT_EQ(k.tavi_dsgetfreq(3, 0, 0, 0), -22050);
  EXPECT_EQ(k.tavi_dsplay(3, 0, 1, 0), 0);
  EXPECT_EQ(k.tavi_dsstat(3, 0, 0, 0), -5);                                   // playing, looping
  Eventually(1, [&] { return k.tavi_dsgetpos(Word(&write), 3, 0, 0) < 0; });  // it moves
  EXPECT_LT(write, 4410u);
  EXPECT_EQ(k.tavi_dssetfreq(3, 11025, 0, 0), 0);
  EXPECT_EQ(k.tavi_dsgetfreq(3, 0, 0, 0), -11025);
  EXPECT_EQ(k.tavi_dsdup(3, 5, 0, 0), 0);
  EXPECT_EQ(k.tavi_dsstat(5, 0, 0, 0), 0);  // a duplicate of its own, not playing
  EXPECT_EQ(k.tavi_dsfree(3, 0, 0, 0), 0);
  EXPECT_EQ(k.tavi_dsplay(3, 0, 0, 0), -2);
  EXPECT_EQ(k.tavi_dsplay(5, 0, 0, 0), 0);  // plays once, then stops by itself
  Eventually(0, [&] { return k.tavi_dsstat(5, 0, 0, 0); });
  EXPECT_EQ(k.tavi_dsplay(5, 0, 1, 0) + k.tavi_dsstopall(0, 0, 0, 0), 0);
  EXPECT_EQ(k.tavi_dsstat(5, 0, 0, 0), 0);
  EXPECT_EQ(k.tavi_dsexit(0, 0, 0, 0), 0);
  EXPECT_EQ(k.tavi_dsexit(0, 0, 0, 0), -1);
}

}  // namespace
}  // namespace tavitest
