// Rewind on the built-in firmware: each step back restores exactly the
// machine that was snapshotted, running on from there repeats the run, and
// unchanged pages are shared rather than copied.
#include <gmock/gmock.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "host/rewind_history.h"
#include "machine/save_state.h"
#include "tests/firmware/firmware_fixture.h"

namespace rq4800::test {
namespace {

constexpr size_t kRamPages = BusRQ4800::kRamSize / RewindPage::kSize;
constexpr size_t kFlashPages = BusRQ4800::kFlashSize / RewindPage::kSize;
constexpr size_t kRingPages = (SampleRing::kCapacity * 2 + RewindPage::kSize - 1) / RewindPage::kSize;

class RewindTest : public FirmwareTest {
 protected:
  RomHashes rom;
  std::map<int, int> keys;  // frame -> key code pressed before it, or -1: release

  void SetUp() override {
    Boot();
    rom = HashRomRanges(machine->bus);
    // Into the sound test and its speech phrase, keys held now and then.
    for (const int start : {50, 81}) {
      int frame = start;
      for (const int code : {key::kDown, key::kDown, key::kDown, key::kEnter}) {
        keys[frame] = code;
        keys[frame + 3] = -1;
        frame += 6;
      }
    }
  }

  // One frame with its key event; the ring gives up one block of 882
  // samples, as the wave output takes it. Returns the samples taken.
  std::vector<int16_t> Frame(int frame) {
    if (auto k = keys.find(frame); k != keys.end())
      k->second < 0 ? ReleaseAllKeys(*machine) : PressKeyCode(*machine, k->second);
    RunFrame(*machine);
    std::vector<int16_t> taken;
    for (int i = 0; i < 882 && !ring.Empty(); ++i) {
      taken.push_back(ring.samples[static_cast<size_t>(ring.read)]);
      ring.read = ring.read + 1 == SampleRing::kCapacity ? 0 : ring.read + 1;
    }
    return taken;
  }
  std::vector<uint8_t> State() { return SaveState(*machine, rom); }
};

TEST_F(RewindTest, EachStepBackRestoresTheSnapshotAndTheRunRepeatsFromIt) {
  RewindHistory history;
  std::map<int, std::vector<uint8_t>> states;
  std::vector<std::vector<int16_t>> sound;
  std::vector<std::vector<uint8_t>> lcd;
  for (int frame = 0; frame < 140; ++frame) {
    if (frame % 5 == 0) {
      history.Push(*machine, frame);
      states[frame] = State();
    }
    sound.push_back(Frame(frame));
    lcd.emplace_back(Lcd(), Lcd() + 1600);
  }
  ASSERT_GT(ring.Fill(), 0) << "the phrase keeps samples waiting in the ring";

  // Back through the phrase and the key presses, one snapshot at a time.
  uint64_t now = 140;
  for (int expected = 135; expected >= 100; expected -= 5) {
    const auto back = history.StepBack(*machine, now);
    ASSERT_TRUE(back.has_value());
    ASSERT_EQ(*back, static_cast<uint64_t>(expected));
    ASSERT_EQ(State(), states[expected]) << "frame " << expected;
    now = *back;
  }
  // From frame 100 (the phrase about to start) the run comes out again.
  for (int frame = 100; frame < 140; ++frame) {
    ASSERT_EQ(Frame(frame), sound[frame]) << "sound of frame " << frame;
    ASSERT_EQ(std::vector<uint8_t>(Lcd(), Lcd() + 1600), lcd[frame]) << "LCD of frame " << frame;
  }
}

TEST_F(RewindTest, UnchangedPagesAreSharedAndFewChangeBetweenSnapshots) {
  RewindHistory history;
  for (int frame : {0, 1}) {  // nothing runs between: every page shared
    history.Push(*machine, frame);
    EXPECT_EQ(history.livePages, kRamPages + kFlashPages + kRingPages);
  }
  EXPECT_EQ(history.Newest().flash[5].get(), history.entries[history.oldest].flash[5].get());

  for (int frame = 1; frame < 120; ++frame) {
    Frame(frame);
    if (frame % 5 == 0) {
      const size_t before = history.livePages;
      history.Push(*machine, frame);
      // The firmware keeps its variables, stack and LCD in a few pages and
      // does not write the flash; the phrase fills at most 13 pages of the
      // ring in 5 frames. A copy would be 231 pages.
      EXPECT_LE(history.livePages - before, 16u) << "frame " << frame;
    }
  }
  EXPECT_LT(history.BytesHeld(), 8u << 20);
}

TEST_F(RewindTest, FullHistoryAndBudgetDropTheOldest) {
  RewindHistory small(4);
  for (int frame = 0; frame < 30; ++frame) {
    Frame(frame);
    if (frame % 5 == 0) small.Push(*machine, frame);
  }
  EXPECT_EQ(std::tuple(small.Size(), small.OldestFrame(), small.NewestFrame()), std::tuple(4u, 10u, 25u));

  // A budget just above one full snapshot keeps only the snapshots whose
  // changed pages still fit.
  RewindHistory tight(100, (kRamPages + kFlashPages + kRingPages + 12) * sizeof(RewindPage));
  for (int frame = 30; frame < 130; ++frame) {
    Frame(frame);
    if (frame % 5 == 0) tight.Push(*machine, frame);
    ASSERT_LE(tight.livePages * sizeof(RewindPage), tight.budget);
  }
  EXPECT_TRUE(tight.Size() >= 1u && tight.Size() < 20u) << tight.Size();
  EXPECT_EQ(tight.NewestFrame(), 125u);
}

TEST_F(RewindTest, StepBackWithNothingOlderChangesNothing) {
  RewindHistory history;
  const std::vector<uint8_t> now = State();
  EXPECT_FALSE(history.StepBack(*machine, 10).has_value());
  history.Push(*machine, 10);
  Frame(10);
  const std::vector<uint8_t> later = State();
  EXPECT_FALSE(history.StepBack(*machine, 10).has_value()) << "a snapshot of the present is not a step back";
  EXPECT_EQ(State(), later);
  EXPECT_EQ(history.Size(), 1u);
  EXPECT_EQ(history.StepBack(*machine, 11), 10u);
  EXPECT_EQ(State(), now);
}

// Stepping back abandons the future: the snapshots after the restored one
// go, the restored one stays for the next step, and pushing on rebuilds
// the history from there.
TEST_F(RewindTest, SteppingBackAbandonsTheFutureAndPushingRebuildsIt) {
  RewindHistory history;
  for (int frame = 0; frame <= 20; ++frame) {
    if (frame % 5 == 0) history.Push(*machine, frame);
    Frame(frame);
  }
  EXPECT_EQ(history.StepBack(*machine, 21), 20u);
  EXPECT_EQ(history.StepBack(*machine, 20), 15u);
  EXPECT_EQ(std::tuple(history.Size(), history.NewestFrame()), std::tuple(4u, 15u));
  for (int frame = 15; frame < 20; ++frame) Frame(frame);
  history.Push(*machine, 20);
  EXPECT_EQ(history.Size(), 5u);
  history.Clear();
  EXPECT_EQ(history.Size() + history.livePages, 0u);
}

// Without sound storage the snapshots carry no ring pages, and a restore
// into a machine whose ring now has storage leaves that ring empty.
TEST_F(RewindTest, RingWithoutStorageIsNotPaged) {
  SampleRing silent;
  machine->bus.AttachRing(&silent);
  RewindHistory history;
  history.Push(*machine, 0);
  EXPECT_EQ(history.livePages, kRamPages + kFlashPages);
  machine->bus.AttachRing(&ring);
  ring.Push(1);
  ASSERT_EQ(history.StepBack(*machine, 1), 0u);
  EXPECT_TRUE(ring.Empty());
}

}  // namespace
}  // namespace rq4800::test
