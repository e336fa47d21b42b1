// The debugger attached to the emulator: frames stopped inside and run on
// end exactly as an uninterrupted run, steps across a frame's end do the
// frame's end work, and nothing else (states, rewind, frame advance, pause)
// moves or breaks a machine stopped mid-frame.
#include "debugger/debug_driver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <tuple>
#include <utility>
#include <vector>

#include "debugger/debug_texts.h"
#include "tests/host/host_fixture.h"

namespace rq4800::test {
namespace {

// The built-in firmware at a fixed host time, a second in.
struct Device {
  FakeClock clock;
  Emulator emulator{EmulatorOptions{{}, &clock, true}};
  Device() {
    clock.time = {2026, 12, 6, 10, 0, 0};
    DebugLogCapture quiet;
    emulator.PowerOn();
    Frames(50);
  }
  void Frames(int n) {
    DebugLogCapture quiet;
    for (int i = 0; i < n; ++i) emulator.RunFrame();
  }
};

struct Attached : ::testing::Test {
  Device device;
  Emulator& e = device.emulator;
  DebugDriver driver{e};
  int irq = 0;
  void SetUp() override {
    // The IRQ handler, which the firmware's timers enter in every frame.
    irq = DumpByte(*e.machine, 0xFFFE) | DumpByte(*e.machine, 0xFFFF) << 8;
    Attach(driver);
  }
  // Frames until the breakpoint at the IRQ handler stops one inside.
  void StopInsideAFrame() {
    driver.debugger().breakpoints = {{irq, -1}};
    for (int i = 0; i < 10 && !driver.stopped; ++i) device.Frames(1);
    ASSERT_TRUE(driver.stopped);
    ASSERT_FALSE(AtFrameStart(*e.machine));
    driver.debugger().breakpoints.clear();
  }
};

TEST_F(Attached, StopsInsideFramesAndRunsOnAsIfNeverStopped) {
  Device straight;
  straight.Frames(40);

  driver.debugger().breakpoints = {{irq, -1}};
  int stops = 0;
  uint64_t lastFrame = e.frameNumber;
  while (e.frameNumber < straight.emulator.frameNumber) {
    lastFrame = e.frameNumber;
    device.Frames(1);
    if (!driver.stopped) continue;
    ++stops;
    char expected[16];
    std::snprintf(expected, sizeof expected, "break %04X", static_cast<unsigned>(irq));
    EXPECT_EQ(StopText(driver).substr(0, 10), expected);
    EXPECT_EQ(std::pair(static_cast<int>(e.machine->cpu.PC), driver.stop.kind), std::pair(irq, StopKind::kBreak));
    EXPECT_FALSE(e.Running()) << "a stop holds the schedule";
    EXPECT_EQ(e.frameNumber, lastFrame) << "a stopped frame has not ended";
    device.Frames(3);
    EXPECT_EQ(e.frameNumber, lastFrame) << "no frame runs while held";
    if (stops == 3) driver.debugger().breakpoints.clear();
    RunOn(driver);
    EXPECT_TRUE(e.Running());
  }
  EXPECT_GE(stops, 3);
  const auto registers = [](const Emulator& x) {
    return std::tuple(x.frameNumber, x.machine->cpu.PC, x.machine->cpu.SP, x.machine->cpu.P);
  };
  EXPECT_EQ(registers(e), registers(straight.emulator));
  EXPECT_EQ(RamOf(e), RamOf(straight.emulator));
  EXPECT_EQ(e.SaveState(), straight.emulator.SaveState());
}

TEST_F(Attached, AStepAcrossAFramesEndDoesTheFramesEndWork) {
  StopNow(driver);
  e.KeyDown(HostKey::kDown, false);
  e.KeyUp(HostKey::kDown);
  ASSERT_NE(e.machine->keys.releaseWords, 0) << "a quick tap waits for a frame";
  const uint64_t frame = e.frameNumber;
  int steps = 0;
  while (e.frameNumber == frame && steps < 200000) {
    ASSERT_EQ(Step(driver, DebugStep::kInto).kind, StopKind::kStep);
    ++steps;
    ASSERT_TRUE(e.frameNumber != frame || e.machine->keys.releaseWords != 0) << "released before the frame ended";
  }
  EXPECT_EQ(std::tuple(e.frameNumber, e.machine->keys.releaseWords, driver.stopped), std::tuple(frame + 1, 0, true));
}

TEST_F(Attached, NothingElseMovesOrBreaksAStopInsideAFrame) {
  StopInsideAFrame();
  const std::vector<uint8_t> ram = RamOf(e);
  const uint32_t pc = e.machine->cpu.PC;
  const FramePosition position = e.machine->frame;

  const std::filesystem::path file = ScratchDirectory() / "mid.state";
  std::string error;
  EXPECT_FALSE(e.SaveStateFile(file.string(), &error));
  EXPECT_NE(error.find("inside a frame"), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(file));

  e.StartRewind();
  EXPECT_FALSE(e.rewinding);
  EXPECT_FALSE(e.StepFrame());
  e.TogglePause();
  e.TogglePause();
  EXPECT_FALSE(e.Running()) << "leaving the user's pause does not leave the stop";
  EXPECT_EQ(e.Advance(~uint64_t{0} / 2).runFrame, false);

  EXPECT_EQ(RamOf(e), ram);
  EXPECT_EQ(std::tuple(e.machine->cpu.PC, e.machine->frame.slice, e.machine->frame.inSlice),
            std::tuple(pc, position.slice, true));
}

TEST_F(Attached, AStateLoadedOverAStopStartsAFreshFrame) {
  const std::vector<uint8_t> state = e.SaveState();
  StopInsideAFrame();
  std::string error;
  ASSERT_TRUE(e.LoadState(state, &error)) << error;
  EXPECT_TRUE(AtFrameStart(*e.machine)) << "the loaded state is between frames";

  Device straight;  // the same power-on and second as the state
  RunOn(driver);
  device.Frames(5);
  straight.Frames(5);
  EXPECT_EQ(RamOf(e), RamOf(straight.emulator));
}

// A stop at an address lets the next run execute that instruction once; a
// state loaded meanwhile is another machine, whose first instruction there
// still meets the breakpoint.
TEST_F(Attached, AStateLoadedAtABreakpointStopsThereAtOnce) {
  const std::vector<uint8_t> state = e.SaveState();
  const int start = static_cast<int>(e.machine->cpu.PC);
  driver.debugger().breakpoints = {{start, -1}};
  for (int i = 0; i < 50 && !driver.stopped; ++i) device.Frames(1);
  ASSERT_TRUE(driver.stopped) << "the firmware comes back to " << start;
  ASSERT_EQ(static_cast<int>(e.machine->cpu.PC), start);

  std::string error;
  ASSERT_TRUE(e.LoadState(state, &error)) << error;
  const int32_t cycles = e.machine->cpu.cycles;
  RunOn(driver);
  device.Frames(1);
  ASSERT_TRUE(driver.stopped);
  EXPECT_EQ(std::tuple(static_cast<int>(e.machine->cpu.PC), e.machine->cpu.cycles, e.machine->frame.slice),
            std::tuple(start, cycles, 0))
      << "no instruction ran before the stop";
}

TEST_F(Attached, DetachingRunsTheRestOfTheStoppedFrameThenWholeFrames) {
  StopInsideAFrame();
  const uint64_t frame = e.frameNumber;
  Detach(driver);
  EXPECT_TRUE(e.frameRunner == nullptr && e.Running());
  device.Frames(1);
  EXPECT_TRUE(e.frameNumber == frame + 1 && AtFrameStart(*e.machine));
  device.Frames(1);
  EXPECT_EQ(e.frameNumber, frame + 2);
}

}  // namespace
}  // namespace rq4800::test
