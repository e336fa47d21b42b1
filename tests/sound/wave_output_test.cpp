#include "sound/wave_output.h"

#include <gtest/gtest.h>

#include "sound/sound_generator.h"
#include "tests/sound/recording_wave_device.h"

namespace rq4800 {
namespace {

using test::RecordingWaveDevice;

int16_t Mark(int slot) { return static_cast<int16_t>(slot % 30011 + 1); }

TEST(WaveOutput, OpeningGivesTheRingStorageAndQueuesFourSilentBlocksInOrder1230) {
  RecordingWaveDevice device;
  SampleRing ring;
  ring.write = 7;
  WaveOutput out;
  ASSERT_TRUE(OpenWaveOutput(out, device, ring));
  EXPECT_TRUE(ring.HasStorage());
  EXPECT_TRUE(ring.Empty());
  ASSERT_EQ(device.queued.size(), 4u);
  const int order[4] = {1, 2, 3, 0};
  for (int n = 0; n < 4; ++n) {
    EXPECT_EQ(device.queued[n].data, out.buffers[order[n]].data());
    EXPECT_EQ(device.queued[n].samples, std::vector<int16_t>(882, 0));
  }
  EXPECT_EQ(device.unprepares, 4);
}

TEST(WaveOutput, ADeviceThatWillNotOpenLeavesTheProgramSilent) {
  RecordingWaveDevice device;
  device.openResult = false;
  SampleRing ring;
  WaveOutput out;
  EXPECT_FALSE(OpenWaveOutput(out, device, ring));
  EXPECT_FALSE(ring.HasStorage());
  SoundGenerator g;
  g.ring = &ring;
  g.PushSample(1000);
  RefillBlock(out);
  EXPECT_EQ(ServiceWaveOutput(out), 0);
  EXPECT_EQ(ring.Fill(), 0);
  EXPECT_EQ(device.prepares, 0);
}

TEST(WaveOutput, RefillTakesWhatTheRingHoldsAndPadsWithSilence) {
  const int cases[][4] = {  // read, write -> samples taken, read after
      {500, 500, 0, 500},     {176000, 500, 882, 482}, {1000, 2000, 882, 1882},
      {176399, 0, 1, 0},      {176000, 176300, 300, 176300},
      {175518, 100, 882, 0},  // exactly to the end: read wraps, nothing after
  };
  for (const auto& c : cases) {
    RecordingWaveDevice device;
    SampleRing ring;
    WaveOutput out;
    OpenWaveOutput(out, device, ring);
    for (int n = 0; n < SampleRing::kCapacity; ++n) ring.samples[n] = Mark(n);
    ring.read = c[0];
    ring.write = c[1];
    RefillBlock(out);
    EXPECT_EQ(ring.read, c[3]) << c[0] << ".." << c[1];
    const auto& block = device.queued.back().samples;
    for (int n = 0; n < 882; ++n) {
      ASSERT_EQ(block[n], n < c[2] ? Mark((c[0] + n) % SampleRing::kCapacity) : 0) << c[0] << " @" << n;
    }
  }
}

TEST(WaveOutput, FinishedBlocksComeBackInRotationAndAreNeverTouchedWhilePlaying) {
  for (int failAt : {-1, 5}) {  // 5: the second refill after opening fails
    RecordingWaveDevice device;
    device.failPrepareCall = failAt;
    SampleRing ring;
    WaveOutput out;
    OpenWaveOutput(out, device, ring);
    SoundGenerator g;
    g.ring = &ring;
    int value = 0;
    for (; value < 400; ++value) g.PushSample(value);  // a head start of 2200 slots
    for (int frame = 0; frame < 40; ++frame) {
      for (int n = 0; n < 160; ++n, ++value) g.PushSample(value);  // 880 slots
      device.Finish(1);
      EXPECT_EQ(ServiceWaveOutput(out), 1);
    }
    EXPECT_FALSE(device.touchedWhilePlaying);
    EXPECT_EQ(device.playing.size(), failAt < 0 ? 4u : 3u);  // a failed block leaves circulation
  }
}

}  // namespace
}  // namespace rq4800
