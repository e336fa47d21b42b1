// The emulator object both front ends drive: state files and slots, rewind,
// frame stepping, and key input that continues exactly across a saved state.
#include "host/emulator.h"

#include <gtest/gtest.h>

#include "tests/host/host_fixture.h"

namespace rq4800::test {
namespace {

namespace fs = std::filesystem;

// The state carries a quick tap's pending release: the key pressed and
// released between two frames is seen by the next frame in both runs, and
// everything after (RAM, flash, LCD, sound) is the same frame for frame.
TEST(Emulator, AStateFileContinuesExactlyWithAKeyReleaseStillPending) {
  const fs::path dir = test::ScratchDirectory();
  const std::string file = (dir / "tap.state").string();
  Running straight;
  straight.Frames(120);
  straight.emulator.KeyDown(HostKey::kDown, false);
  straight.emulator.KeyUp(HostKey::kDown);
  ASSERT_NE(straight.emulator.machine->keys.releaseWords, 0) << "the tap waits for a frame";
  std::string error;
  ASSERT_TRUE(straight.emulator.SaveStateFile(file, &error)) << error;

  Running resumed;
  resumed.Frames(7);  // somewhere else entirely
  ASSERT_TRUE(resumed.emulator.LoadStateFile(file, &error)) << error;
  const size_t straightFrom = straight.device.played.size(), resumedFrom = resumed.device.played.size();
  for (int frame = 0; frame < 100; ++frame) {
    straight.Frames(1);
    resumed.Frames(1);
    ASSERT_EQ(RamOf(straight.emulator), RamOf(resumed.emulator)) << "frame " << frame;
  }
  EXPECT_EQ(FlashOf(straight.emulator), FlashOf(resumed.emulator));
  // The sound continues where it was, after what each output had queued.
  EXPECT_EQ(std::vector<int16_t>(straight.device.played.begin() + straightFrom, straight.device.played.end()),
            std::vector<int16_t>(resumed.device.played.begin() + resumedFrom, resumed.device.played.end()));
}

TEST(Emulator, BadStateFilesAreRefusedWithTheMachineUnchanged) {
  const fs::path dir = test::ScratchDirectory();
  Running running;
  running.Frames(30);
  const std::vector<uint8_t> good = running.emulator.SaveState();
  const auto write = [&](const char* name, const std::vector<uint8_t>& bytes) {
    return WriteBytes(dir / name, bytes), (dir / name).string();
  };
  std::vector<uint8_t> flipped = good;
  flipped[flipped.size() / 2] ^= 0x40;
  fs::create_directories(dir / "folder.state");
  const struct {
    std::string path;
    const char* says;
  } rows[] = {
      {(dir / "missing.state").string(), "missing.state"},
      {(dir / "folder.state").string(), "folder"},
      {write("empty.state", {}), "not a save state"},
      {write("half.state", std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2)), ""},
      {write("flipped.state", flipped), ""},
  };
  const std::vector<uint8_t> ram = RamOf(running.emulator), flash = FlashOf(running.emulator);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    std::string error;
    EXPECT_FALSE(running.emulator.LoadStateFile(row.path, &error));
    EXPECT_TRUE(!error.empty() && error.find(row.says) != std::string::npos) << error;
    EXPECT_EQ(RamOf(running.emulator), ram);
    EXPECT_EQ(FlashOf(running.emulator), flash);
  }
}

// Slots live beside the flash image and show the LCD they were saved with.
TEST(Emulator, SlotsKeepTheirTimeAndLcd) {
  const fs::path dir = test::ScratchDirectory();
  Running running(dir.string() + "/");
  EXPECT_FALSE(running.emulator.StateSlot(3).used);
  EXPECT_EQ(running.emulator.StateSlotPath(0) + running.emulator.StateSlotPath(10), "") << "slots 1 to 9 only";
  running.Frames(60);
  std::string error;
  ASSERT_TRUE(running.emulator.SaveStateFile(running.emulator.StateSlotPath(3), &error)) << error;
  const Emulator::SlotInfo slot = running.emulator.StateSlot(3);
  EXPECT_TRUE(slot.used);
  EXPECT_EQ(slot.time.size(), 19u) << slot.time;
  EXPECT_EQ(slot.lcd, std::vector<uint8_t>(running.emulator.machine->bus.Lcd(),
                                           running.emulator.machine->bus.Lcd() + 1600));
  EXPECT_TRUE(fs::exists(dir / "rq4800-3.state"));
  EXPECT_EQ(Emulator(EmulatorOptions{}).StateSlotPath(1), "") << "no data directory, no slots";
}

// Rewind goes back a tenth of a second a step, to exactly what the machine
// was then, and running on from there is a run like any other.
TEST(Emulator, RewindStepsBackToTheSnapshotsOfEarlierFrames) {
  Running running;
  std::vector<std::vector<uint8_t>> ramAt(101);
  for (int frame = 1; frame <= 100; ++frame) {
    running.Frames(1);
    ramAt[static_cast<size_t>(frame)] = RamOf(running.emulator);
  }
  ASSERT_EQ(running.emulator.frameNumber, 100u);
  for (const uint64_t frame : {95u, 90u}) {
    ASSERT_TRUE(running.emulator.RewindStep());
    EXPECT_EQ(running.emulator.frameNumber, frame);
    EXPECT_EQ(RamOf(running.emulator), ramAt[frame]);
  }
  running.Frames(3);
  EXPECT_EQ(running.emulator.frameNumber, 93u);
  EXPECT_EQ(RamOf(running.emulator), ramAt[93]);

  for (int step = 0; step < 18; ++step) ASSERT_TRUE(running.emulator.RewindStep());
  EXPECT_EQ(running.emulator.frameNumber, 5u);
  EXPECT_FALSE(running.emulator.RewindStep()) << "nothing before the first snapshot";
  EXPECT_EQ(running.emulator.frameNumber, 5u);
}

// Frame advance: the first press while running only pauses, each press
// while paused runs exactly one frame; a fault stops frames altogether.
TEST(Emulator, StepFramePausesFirstThenRunsOneFrameAPress) {
  Running running;
  running.Frames(3);
  EXPECT_FALSE(running.emulator.StepFrame());
  EXPECT_TRUE(running.emulator.paused);
  EXPECT_EQ(running.emulator.frameNumber, 3u);
  EXPECT_TRUE(running.emulator.StepFrame() && running.emulator.StepFrame());
  EXPECT_EQ(running.emulator.frameNumber, 5u);
  running.emulator.TogglePause();
  EXPECT_FALSE(running.emulator.paused);

  running.emulator.machine->faulted = true;
  running.Frames(5);
  EXPECT_EQ(running.emulator.frameNumber, 5u);
}

// The main loop's passes: a frame per period while running, none while
// paused, a silent step back per period while rewinding (paused or not),
// and on from where it stands once the rewind key is up.
TEST(Emulator, AdvanceRunsPausesAndRewindsByTheSchedule) {
  Running running;
  Emulator& e = running.emulator;
  e.pacing.ticksPerFrame = 100;
  uint64_t now = 1000;
  DebugLogCapture quiet;
  for (int period = 0; period < 20; ++period, now += 100) {
    // Samples the wave output has not taken yet, so every snapshot holds some.
    for (int n = 0; n < 50; ++n) e.ring.Push(1000);
    const PacingStep step = e.Advance(now);
    EXPECT_TRUE(step.runFrame && step.paint);
    EXPECT_FALSE(e.Advance(now + 50).runFrame) << "half a period later nothing is due";
  }
  ASSERT_EQ(e.frameNumber, 20u);

  e.Pause();
  EXPECT_FALSE(e.Running());
  for (int period = 0; period < 5; ++period, now += 100) EXPECT_FALSE(e.Advance(now).runFrame);
  EXPECT_EQ(e.frameNumber, 20u);

  e.StartRewind();
  EXPECT_TRUE(e.Running());
  // The last: nothing older, the picture stands.
  for (const uint64_t frame : {uint64_t{15}, uint64_t{10}, uint64_t{5}, uint64_t{5}}) {
    const PacingStep step = e.Advance(now);
    now += 100;
    EXPECT_TRUE(step.runFrame && step.paint);
    EXPECT_EQ(e.frameNumber, frame);
    EXPECT_TRUE(e.ring.Empty()) << "rewinding plays nothing of what the ring held then";
  }
  e.StopRewind();
  EXPECT_FALSE(e.Advance(now).runFrame) << "still paused";
  e.Resume();
  EXPECT_TRUE(e.Advance(now).runFrame);
  EXPECT_EQ(e.frameNumber, 6u);

  // Fast play runs frames back to back, but rewinds only a step a period.
  e.pacing.fastPlay = true;
  EXPECT_TRUE(e.Advance(now).runFrame && e.Advance(now).runFrame);
  EXPECT_EQ(e.frameNumber, 8u);
  e.StartRewind();
  EXPECT_TRUE(e.Advance(now).runFrame);
  EXPECT_EQ(e.frameNumber, 5u);
  EXPECT_FALSE(e.Advance(now + 50).runFrame);
  EXPECT_TRUE(e.Advance(now + 100).runFrame);
}

}  // namespace
}  // namespace rq4800::test
