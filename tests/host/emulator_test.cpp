// The emulator object both front ends drive: state files and slots, rewind,
// frame stepping, and key input that continues exactly across a saved state.
#include "host/emulator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "core/debug_log.h"
#include "sound/wave_device.h"
#include "tests/machine/machine_fixture.h"

namespace rq4800 {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> RamOf(const Emulator& e) {
  return {e.machine->bus.ram.get(), e.machine->bus.ram.get() + BusRQ4800::kRamSize};
}
std::vector<uint8_t> FlashOf(const Emulator& e) {
  return {e.machine->bus.flash.get(), e.machine->bus.flash.get() + BusRQ4800::kFlashSize};
}

// Keeps every block the output queues, as a sound card would play them.
struct RecordingDevice final : IWaveDevice {
  std::vector<int16_t> played;
  bool Open() override { return true; }
  bool Prepare(WaveBlock& block) override { return block.prepared = true; }
  void Unprepare(WaveBlock& block) override { block.prepared = false; }
  void Queue(WaveBlock& block) override {
    played.insert(played.end(), block.data, block.data + block.bytes / 2);
  }
  int TakeFinishedBlocks() override { return 0; }
};

// An emulator on the built-in firmware at a fixed host time, with sound.
struct Running {
  test::FakeClock clock;
  RecordingDevice device;
  Emulator emulator;
  explicit Running(std::string dataDirectory = {})
      : emulator(EmulatorOptions{std::move(dataDirectory), &clock, true}) {
    clock.time = {2026, 12, 6, 10, 0, 0};
    DebugLogCapture quiet;
    emulator.PowerOn();
    emulator.OpenSound(device);
  }
  void Frames(int n) {
    DebugLogCapture quiet;
    for (int i = 0; i < n; ++i) {
      emulator.RunFrame();
      emulator.PlayFrameOfSound();
    }
  }
};

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
    const fs::path path = dir / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path.string();
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
    EXPECT_NE(error.find(row.says), std::string::npos) << error;
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(RamOf(running.emulator), ram);
    EXPECT_EQ(FlashOf(running.emulator), flash);
  }
}

// Slots live beside the flash image and show the LCD they were saved with.
TEST(Emulator, SlotsKeepTheirTimeAndLcd) {
  const fs::path dir = test::ScratchDirectory();
  Running running(dir.string() + "/");
  EXPECT_FALSE(running.emulator.StateSlot(3).used);
  EXPECT_EQ(running.emulator.StateSlotPath(0), "");
  EXPECT_EQ(running.emulator.StateSlotPath(10), "");
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
  ASSERT_TRUE(running.emulator.RewindStep());
  EXPECT_EQ(running.emulator.frameNumber, 95u);
  EXPECT_EQ(RamOf(running.emulator), ramAt[95]);
  ASSERT_TRUE(running.emulator.RewindStep());
  EXPECT_EQ(running.emulator.frameNumber, 90u);
  EXPECT_EQ(RamOf(running.emulator), ramAt[90]);
  running.Frames(3);
  EXPECT_EQ(running.emulator.frameNumber, 93u);
  EXPECT_EQ(RamOf(running.emulator), ramAt[93]);

  for (int step = 0; step < 18; ++step) ASSERT_TRUE(running.emulator.RewindStep());
  EXPECT_EQ(running.emulator.frameNumber, 5u);
  EXPECT_FALSE(running.emulator.RewindStep()) << "nothing before the first snapshot";
  EXPECT_EQ(running.emulator.frameNumber, 5u);
}

TEST(Emulator, StepFrameRunsOneFrameAndAFaultStopsFrames) {
  Running running;
  running.emulator.Pause();
  EXPECT_TRUE(running.emulator.paused);
  running.emulator.StepFrame();
  running.emulator.StepFrame();
  EXPECT_EQ(running.emulator.frameNumber, 2u);
  running.emulator.Resume();
  EXPECT_FALSE(running.emulator.paused);

  running.emulator.machine->faulted = true;
  running.Frames(5);
  EXPECT_EQ(running.emulator.frameNumber, 2u);
}

}  // namespace
}  // namespace rq4800
