// Sound slots through the exports on the mixer's silent clock, in the builds outside Windows.
#include <cstdlib>

#include "harness/fixture.h"
#include "harness/temp_dir.h"
#include "tools/writer/wave_writer.h"

#ifndef _WIN32
namespace tavitest {

TEST(MixerExports, LoadLoopDuplicateStopAllAndExitOnTheSilentClock) {
  setenv("TAVIKIT_AUDIO", "null", 1);  // for the rest of this process
  const Library& l = Tavikit();
  const auto query = [](tavi_export_fn f) { return std::pair(f(3, 0, 0, 0), f(5, 0, 0, 0)); };
  const auto wave = taviwriter::WaveImage(2, 22050, 16, std::vector<uint8_t>(4000, 7));
  TempDir dir;
  const std::string path = dir.Write("a.wav", wave);
  ASSERT_EQ(l.tavi_dsinit(HostScreen(4, 4).record(), 44100, 2, 16), 0);
  ASSERT_EQ(l.tavi_dsload(Word(path.c_str()), tavi_word(wave.size()), 3, 0), 0);
  EXPECT_EQ(l.tavi_dsplay(3, 0, 1, 0) | l.tavi_dsdup(3, 5, 0, 0), 0);
  EXPECT_EQ(query(l.tavi_dsstat), std::pair(-5, 0));  // the duplicate starts stopped
  EXPECT_EQ(l.tavi_dssetfreq(5, 11025, 0, 0) | l.tavi_dsplay(5, 0, 1, 0), 0);
  EXPECT_EQ(query(l.tavi_dsgetfreq), std::pair(-22050, -11025));
  EXPECT_EQ(query(l.tavi_dsstat), std::pair(-5, -5));  // looping: playing whatever the clock
  EXPECT_EQ(l.tavi_dsstopall(0, 0, 0, 0), 0);
  EXPECT_EQ(query(l.tavi_dsstat), std::pair(0, 0));
  EXPECT_EQ(l.tavi_dsexit(0, 0, 0, 0), 0);
  EXPECT_EQ(l.tavi_dsexit(0, 0, 0, 0), -1);
  // Primary formats at the edges of what the mixer plays; -41 is a refused format.
  const int32_t formats[][4] = {{100, 1, 8, 0},       {99, 1, 8, -41},     {200000, 2, 16, 0},
                                {200001, 2, 16, -41}, {22050, 3, 16, -41}, {22050, 0, 16, -41},
                                {22050, 2, 12, -41},  {22050, 1, 0, -41},  {-1, 9, 9, 0}};
  for (const auto& [rate, channels, bits, want] : formats)
    EXPECT_EQ(l.tavi_dsinit(HostScreen(4, 4).record(), rate, channels, bits), want) << rate;
  EXPECT_EQ(l.tavi_dsexit(0, 0, 0, 0), 0);
}

}  // namespace tavitest
#endif
