// Save states on the built-in firmware: a machine that loads the state taken
// at frame N and runs on must give, frame for frame, what the straight run
// gave: the same RAM, flash, LCD and sound.
#include <gmock/gmock.h>
#include <zlib.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "machine/save_state.h"
#include "tests/firmware/firmware_fixture.h"

namespace rq4800::test {
namespace {

constexpr int kRelease = -1;
constexpr int kBlockSamples = 882;

// Key events by frame, applied before that frame runs: a key code, or
// kRelease. Each Tap holds a key for 3 frames and leaves 3 frames to settle.
struct Session {
  std::map<int, int> events;
  int frames = 0;
  void Tap(int frame, int keyCode, int hold = 3) {
    events[frame] = keyCode;
    events[frame + hold] = kRelease;
  }
  void Taps(int frame, std::initializer_list<int> keyCodes) {
    for (const int code : keyCodes) Tap(frame, code), frame += 6;
  }
};

// What a user would see and hear after one frame, and what the device keeps.
struct FrameRecord {
  uint32_t ramCrc = 0;
  uint32_t flashCrc = 0;
  std::vector<uint8_t> lcd;
  std::vector<int16_t> sound;  // what the wave output took from the ring
};

// One frame of a session on machine, with a ring that, like the wave
// output, gives up one block of 882 samples per frame, so that samples wait
// in the ring across frames (during speech the firmware keeps it half a
// second full).
FrameRecord Step(Machine& machine, SampleRing& ring, const Session& session, int frame) {
  if (auto event = session.events.find(frame); event != session.events.end()) {
    if (event->second == kRelease) {
      ReleaseAllKeys(machine);
    } else {
      PressKeyCode(machine, event->second);
    }
  }
  RunFrame(machine);
  FrameRecord record;
  const BusRQ4800& bus = machine.bus;
  record.ramCrc = static_cast<uint32_t>(crc32_z(0, bus.ram.get(), BusRQ4800::kRamSize));
  record.flashCrc = static_cast<uint32_t>(crc32_z(0, bus.flash.get(), BusRQ4800::kFlashSize));
  record.lcd.assign(bus.Lcd(), bus.Lcd() + 1600);
  for (int i = 0; i < kBlockSamples && !ring.Empty(); ++i) {
    record.sound.push_back(ring.samples[static_cast<size_t>(ring.read)]);
    ring.read = ring.read + 1 == SampleRing::kCapacity ? 0 : ring.read + 1;
  }
  return record;
}

// A second machine of the built-in firmware, with a ring of its own.
struct Rig {
  SampleRing ring;
  std::unique_ptr<Machine> machine;
  RomHashes rom;

  Rig(const ResourceStore& resources, IHostClock& clock) {
    ring.samples.assign(SampleRing::kCapacity, 0);
    machine = std::make_unique<Machine>(resources, &clock);
    PowerOn(*machine);
    machine->bus.AttachRing(&ring);
    rom = HashRomRanges(machine->bus);
  }
  FrameRecord Step(const Session& session, int frame) { return rq4800::test::Step(*machine, ring, session, frame); }
};

class SaveStateTest : public FirmwareTest {
 protected:
  std::vector<FrameRecord> straight;           // by frame
  std::map<int, std::vector<uint8_t>> states;  // taken before the frame of that number
  std::map<int, std::string> screens;          // the screen then
  std::map<int, int> pending;                  // samples waiting in the ring then

  // Runs the session on the fixture's machine, saving before each save point.
  void RunStraight(const Session& session, std::initializer_list<int> savePoints) {
    Boot();
    const RomHashes rom = HashRomRanges(machine->bus);
    for (int frame = 0; frame < session.frames; ++frame) {
      if (std::find(savePoints.begin(), savePoints.end(), frame) != savePoints.end()) {
        states[frame] = SaveState(*machine, rom);
        screens[frame] = Screen();
        pending[frame] = ring.Fill();
      }
      straight.push_back(Step(*machine, ring, session, frame));
    }
  }

  // Loads the state of frame `from` into rig and compares every later frame
  // with the straight run; stops at the first frame that differs.
  void ExpectSameFrom(Rig& rig, const Session& session, int from) {
    std::string error;
    ASSERT_TRUE(LoadState(*rig.machine, rig.rom, states.at(from), &error)) << error;
    for (int frame = from; frame < session.frames; ++frame) {
      const FrameRecord got = rig.Step(session, frame);
      const FrameRecord& want = straight[static_cast<size_t>(frame)];
      const std::string where = "frame " + std::to_string(frame) + " after loading the state of frame " + std::to_string(from);
      ASSERT_EQ(got.ramCrc, want.ramCrc) << "RAM differs at " << where;
      ASSERT_EQ(got.flashCrc, want.flashCrc) << "flash differs at " << where;
      ASSERT_EQ(got.lcd, want.lcd) << "LCD differs at " << where;
      ASSERT_EQ(got.sound, want.sound) << "sound differs at " << where;
    }
  }

  // A fresh machine from each save point gives what the straight run gave.
  void ExpectEachSavePointRunsTheSame(const Session& session, std::initializer_list<int> savePoints) {
    for (const int from : savePoints) {
      Rig fresh(resources, clock);
      ExpectSameFrom(fresh, session, from);
      EXPECT_FALSE(fresh.machine->faulted);
    }
  }

  bool HasSpeech(int from, int to) const {
    for (int f = from; f < to; ++f)
      for (const int16_t s : straight[static_cast<size_t>(f)].sound)
        if (s != 0 && s != 8192 && s != -8192) return true;
    return false;
  }
};

// Home, the sound test, its speech phrase, then a key held on Home for a
// third of a second. Save points: a key just pressed, Enter held as the
// phrase starts, inside the phrase (twice, with the ring half a second
// full), back home, and while the long key press lasts.
Session SpeechSession() {
  Session s;
  s.Taps(50, {key::kDown, key::kDown, key::kDown, key::kEnter});
  s.Taps(81, {key::kDown, key::kDown, key::kDown, key::kEnter});
  s.Tap(175, key::kEsc);
  s.Tap(195, key::kDown, 16);
  s.frames = 230;
  return s;
}
constexpr std::initializer_list<int> kSpeechSavePoints = {52, 101, 112, 130, 190, 203};

TEST_F(SaveStateTest, FreshOrBusyMachineFromEachSavePointRunsAsTheStraightRun) {
  const Session session = SpeechSession();
  RunStraight(session, kSpeechSavePoints);
  ASSERT_THAT(screens.at(101), ::testing::HasSubstr("Sound test"));
  ASSERT_TRUE(HasSpeech(112, 130)) << "the save points 112 and 130 lie inside the phrase";
  ASSERT_GT(pending.at(112), 10 * kBlockSamples) << "samples wait in the ring at the save point";
  ExpectEachSavePointRunsTheSame(session, kSpeechSavePoints);
  // The machine that loads has run something else before: the keyboard test
  // with keys held, its ring holding other samples, then a state from the
  // middle of the phrase, and again a state from before.
  Rig other(resources, clock);
  Session elsewhere;
  elsewhere.Taps(50, {key::kEnter, key::kA, key::kF1});
  elsewhere.events[70] = key::kShift;  // left held
  elsewhere.frames = 90;
  for (int frame = 0; frame < elsewhere.frames; ++frame) other.Step(elsewhere, frame);
  other.machine->bus.sound.WriteCommand(0x00, 0x12);  // a half-collected speech frame
  ExpectSameFrom(other, session, 112);
  ExpectSameFrom(other, session, 52);
}

// The flash test erases a sector and programs it over several frames; the
// save points fall before it, inside the erase-and-program run and after.
TEST_F(SaveStateTest, FlashWrittenAcrossTheSavePointsComesOutTheSame) {
  Session session;
  session.Taps(50, {key::kDown, key::kDown, key::kDown, key::kDown, key::kDown, key::kEnter});
  session.frames = 110;
  const std::initializer_list<int> savePoints = {80, 83, 85, 87, 100};
  RunStraight(session, savePoints);
  ASSERT_THAT(Line(4), ::testing::StartsWith("PASS")) << Screen();
  ASSERT_NE(straight[80].flashCrc, straight.back().flashCrc) << "the run changed the flash";
  ExpectEachSavePointRunsTheSame(session, savePoints);
}

// The timer test runs timer A, timer B, the tick source and the NMI at once
// and counts their interrupts on screen each second.
TEST_F(SaveStateTest, TimersCountOnAcrossTheSavePoints) {
  Session session;
  session.Taps(50, {key::kDown, key::kDown, key::kEnter});
  session.frames = 200;
  const std::initializer_list<int> savePoints = {90, 127, 163};
  RunStraight(session, savePoints);
  ASSERT_THAT(Screen(), ::testing::HasSubstr("7200")) << "the timer test is showing";
  ExpectEachSavePointRunsTheSame(session, savePoints);
}

}  // namespace
}  // namespace rq4800::test
