// Save states on synthetic machines: every field travels, and every kind of
// bad file is refused with its reason while the machine stays as it was.
#include <gmock/gmock.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "machine/machine_fields.h"
#include "machine/save_state.h"
#include "tests/machine/machine_fixture.h"

namespace rq4800::test {
namespace {

using ::testing::HasSubstr;

// A powered-on synthetic machine with a ring that has storage.
struct StateMachine {
  TestMachine machine;
  SampleRing ring;
  RomHashes rom;
  explicit StateMachine(const TestRom& image = TestRom{}) : machine(image) {
    ring.samples.assign(SampleRing::kCapacity, 0);
    machine->bus.AttachRing(&ring);
    rom = HashRomRanges(machine->bus);
  }
  Machine& operator*() { return *machine; }
  std::vector<uint8_t> Save() { return SaveState(*machine, rom); }
  bool Load(const std::vector<uint8_t>& bytes, std::string* error = nullptr) {
    return LoadState(*machine, rom, bytes, error);
  }
};

// The container as save_state.h documents it, taken apart and put back
// together (with a fresh length and CRC), so that a test can change one
// section and still get past the checksum.
struct StateFile {
  uint32_t version = 0;
  std::vector<std::pair<std::string, std::vector<uint8_t>>> sections;

  static uint32_t U32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
  static void Put(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }

  explicit StateFile(const std::vector<uint8_t>& bytes) {
    version = U32(&bytes[8]);
    size_t at = 20;
    for (uint32_t n = U32(&bytes[16]); n > 0; --n) {
      const uint32_t size = U32(&bytes[at + 4]);
      sections.emplace_back(std::string(bytes.begin() + at, bytes.begin() + at + 4),
                            std::vector<uint8_t>(bytes.begin() + at + 8, bytes.begin() + at + 8 + size));
      at += 8 + size;
    }
  }
  std::vector<uint8_t>& operator[](const std::string& tag) {
    for (auto& [name, payload] : sections)
      if (name == tag) return payload;
    throw std::out_of_range(tag);
  }
  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> out = {'R', 'Q', '4', '8', '0', '0', 'S', 'T'};
    Put(out, version);
    Put(out, 0);
    Put(out, static_cast<uint32_t>(sections.size()));
    for (const auto& [name, payload] : sections) {
      out.insert(out.end(), name.begin(), name.end());
      Put(out, static_cast<uint32_t>(payload.size()));
      out.insert(out.end(), payload.begin(), payload.end());
    }
    const uint32_t length = static_cast<uint32_t>(out.size() + 4);
    for (int i = 0; i < 4; ++i) out[12 + i] = static_cast<uint8_t>(length >> (8 * i));
    Put(out, static_cast<uint32_t>(crc32_z(0, out.data(), out.size())));
    return out;
  }
};

TEST(SaveStateFormat, IsTheDocumentedContainer) {
  StateMachine m;
  const std::vector<uint8_t> bytes = m.Save();
  StateFile file(bytes);
  EXPECT_EQ(file.version, kSaveStateVersion);
  std::vector<std::string> tags;
  for (const auto& section : file.sections) tags.push_back(section.first);
  EXPECT_THAT(tags, ::testing::UnorderedElementsAre("ROMS", "CPU ", "BUS ", "KEYS", "SND ", "RING", "FRAM", "RAM ", "FLSH"));
  EXPECT_EQ(file.Bytes(), bytes);
  EXPECT_EQ(file["CPU "].size(), 6 * 4 + 3 + 4u);
  EXPECT_EQ(file["KEYS"].size(), 8 * 4u + 2);  // the key words, then the two masks of pending releases
  // The pattern flash has no erased sector: all 128 are stored.
  EXPECT_EQ(std::count(file["FLSH"].begin(), file["FLSH"].begin() + 16, 0), 16);
}

struct FieldCase {
  const char* name;
  std::function<void(Machine&, SampleRing&)> change;
};

// Each case changes one part of the device on one machine; the state must
// record it and bring it into another machine, which then saves the same.
TEST(SaveState, EveryFieldTravelsToAnotherMachine) {
  const FieldCase cases[] = {
      {"A", [](Machine& m, SampleRing&) { m.cpu.A = 0x5A; }},
      {"X Y SP", [](Machine& m, SampleRing&) { m.cpu.X = 1, m.cpu.Y = 2, m.cpu.SP = 0x80; }},
      {"P", [](Machine& m, SampleRing&) { m.cpu.P = 0xC3; }},
      {"PC", [](Machine& m, SampleRing&) { m.cpu.PC = 0x1234; }},
      {"interrupt lines", [](Machine& m, SampleRing&) { m.cpu.irqPending = m.cpu.nmiRequest = m.cpu.nmiArmed = 1; }},
      {"cycle carry", [](Machine& m, SampleRing&) { m.cpu.cycles = 77; }},
      {"port latch", [](Machine& m, SampleRing&) { m.bus.Write(0x14, 0x30); }},
      {"interrupt status", [](Machine& m, SampleRing&) { m.bus.ports[0x01] = 0x38; }},
      {"intControl, row select", [](Machine& m, SampleRing&) { m.bus.Write(0x01, 0x18), m.bus.Write(0x08, 0xFB); }},
      {"ROM bank with page high bit", [](Machine& m, SampleRing&) { m.bus.Write(0x0D, 1), m.bus.Write(0x00, 3); }},
      {"flash mode, window 6 on RAM", [](Machine& m, SampleRing&) { m.bus.Write(0x00, 2), m.bus.Write(0x0A, 0x81); }},
      {"zero-page slice", [](Machine& m, SampleRing&) { m.bus.Write(0x0F, 5); }},
      {"timer 0", [](Machine& m, SampleRing&) { m.bus.Write(0x10, 0x34), m.bus.Write(0x11, 0x12), m.bus.timer0Counter = 0x1300; }},
      {"timer A", [](Machine& m, SampleRing&) { m.bus.Read(0x05), m.bus.timerACounter = 100.75, m.bus.timerACarry = 8.0; }},
      {"timer B", [](Machine& m, SampleRing&) { m.bus.Read(0x07), m.bus.timerBCounter = 12.5; }},
      {"beeper", [](Machine& m, SampleRing&) { m.bus.Write(0x07, 0x80), m.bus.Write(0x18, 0x80); }},
      {"sound latch, handshake", [](Machine& m, SampleRing&) { m.bus.soundLatch = true, m.bus.soundHandshake = 0x5A; }},
      {"flash command state", [](Machine& m, SampleRing&) {
         m.bus.Write(0x0A, 0x80), m.bus.Write(0x5555, 0xAA), m.bus.Write(0xAAAA, 0x55), m.bus.Write(0x5555, 0x80);
       }},
      {"key words", [](Machine& m, SampleRing&) { m.bus.keyWords[6] = 0x04, m.bus.keyWords[3] = 0x01; }},
      {"pending key releases", [](Machine& m, SampleRing&) { m.keys.unseenWords = 0x48, m.keys.releaseWords = 0x09; }},
      {"RAM byte", [](Machine& m, SampleRing&) { m.bus.ram[0xFFFF] = 7; }},
      {"flash byte", [](Machine& m, SampleRing&) { m.bus.flash[0x7FFFF] ^= 0x10; }},
      {"erased flash sector", [](Machine& m, SampleRing&) { std::memset(&m.bus.flash[0x3000], 0xFF, 0x1000); }},
      {"sound command position", [](Machine& m, SampleRing&) { m.bus.sound.WriteCommand(0x10, 0x23); }},
      {"sound history", [](Machine& m, SampleRing&) { m.bus.sound.history[147] = -5, m.bus.sound.historyWrite = 3; }},
      {"sound PCM mode, alternation", [](Machine& m, SampleRing&) { m.bus.sound.WriteCommand(0xA0, 4), m.bus.sound.alternation = 3; }},
      {"ring samples", [](Machine&, SampleRing& r) { r.Push(11), r.Push(-12), r.read = 1; }},
      {"ring wrapped", [](Machine&, SampleRing& r) {
         r.read = r.write = SampleRing::kCapacity - 2;
         for (int16_t s = 1; s <= 5; ++s) r.Push(s);
       }},
      {"frame count", [](Machine& m, SampleRing&) { m.frameCount = 24; }},
      {"warm reset request", [](Machine& m, SampleRing&) { m.warmResetRequest = true; }},
      {"fault", [](Machine& m, SampleRing&) { m.faulted = true, m.faultOpcode = 0xFF, m.faultAddress = 0x2000; }},
  };
  // Two machines serve every case: a goes back to its power-on state between
  // cases, b takes each state over whatever the case before left in it.
  StateMachine a;
  StateMachine b;
  const std::vector<uint8_t> initial = a.Save();
  for (const FieldCase& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(a.Load(initial));
    ASSERT_EQ(a.Save(), initial);
    c.change(*a, a.ring);
    const std::vector<uint8_t> after = a.Save();
    EXPECT_NE(after, initial) << "the state does not record it";
    std::string error;
    ASSERT_TRUE(b.Load(after, &error)) << error;
    EXPECT_EQ(b.Save(), after);
    EXPECT_EQ(b.ring.Fill(), a.ring.Fill());
    for (int i = 0, slot = a.ring.read; i < a.ring.Fill(); ++i, slot = (slot + 1) % SampleRing::kCapacity)
      EXPECT_EQ(b.ring.samples[slot], a.ring.samples[slot]);
  }
}

struct BadFile {
  const char* name;
  std::function<std::vector<uint8_t>(std::vector<uint8_t>)> make;
  const char* reason;
};

// The good file with its container edited, and put back together.
std::function<std::vector<uint8_t>(std::vector<uint8_t>)> Edit(void (*edit)(StateFile&)) {
  return [edit](std::vector<uint8_t> bytes) {
    StateFile file(bytes);
    edit(file);
    return file.Bytes();
  };
}

TEST(SaveState, RefusesBadFilesWithTheirReasonAndLeavesTheMachineAsItWas) {
  const BadFile cases[] = {
      {"empty", [](auto) { return std::vector<uint8_t>{}; }, "not a save state"},
      {"foreign", [](auto b) { b[0] = 'X'; return b; }, "not a save state"},
      {"header only", [](auto b) { b.resize(16); return b; }, "truncated"},
      {"one byte short", [](auto b) { b.pop_back(); return b; }, "truncated ("},
      {"half", [](auto b) { b.resize(b.size() / 2); return b; }, "truncated ("},
      {"stray byte", [](auto b) { b.push_back(0); return b; }, "1 stray bytes"},
      {"flipped bit", [](auto b) { b[b.size() / 2] ^= 0x08; return b; }, "checksum"},
      {"damaged CRC", [](auto b) { b.back() ^= 1; return b; }, "checksum"},
      {"future version", Edit([](StateFile& f) { f.version = 7; }), "newer version"},
      {"version 0", Edit([](StateFile& f) { f.version = 0; }), "unknown format version"},
      {"unknown section", Edit([](StateFile& f) { f.sections[2].first = "XTRA"; }), "unknown section \"XTRA\""},
      {"missing section", Edit([](StateFile& f) { f.sections.erase(f.sections.begin() + 3); }), "lacks section"},
      {"repeated section", Edit([](StateFile& f) { f.sections.push_back(f.sections[1]); }), "repeated"},
      {"long CPU section", Edit([](StateFile& f) { f["CPU "].push_back(0); }), "\"CPU \" is malformed"},
      {"short sound section", Edit([](StateFile& f) { f["SND "].pop_back(); }), "\"SND \" is malformed"},
      {"ring count off", Edit([](StateFile& f) { f["RING"][9] = 2; }), "\"RING\" is malformed"},
      {"RAM stream cut", Edit([](StateFile& f) { f["RAM "].resize(f["RAM "].size() - 3); }), "\"RAM \" does not unpack"},
      {"flash map wrong", Edit([](StateFile& f) { f["FLSH"][0] = 0x01; }), "\"FLSH\" does not unpack"},
      {"A out of range", Edit([](StateFile& f) { f["CPU "][1] = 1; }), "A has an impossible value (256)"},
      {"window off its block", Edit([](StateFile& f) { f["BUS "][64 * 4 + 8 + 2 * 5 + 1] = 0x10; }), "a window"},
      {"decoder index", Edit([](StateFile& f) { f["SND "][15 * 4] = 16; }), "sound wordIndex"},
      {"other firmware", Edit([](StateFile& f) { f["ROMS"][4] ^= 1; }), "ROM 0x400000..0x7FFFFF"},
  };
  StateMachine source;
  source.ring.Push(3);
  const std::vector<uint8_t> good = source.Save();
  StateMachine target;
  target.machine->bus.Write(0x0F, 4);
  target.machine->bus.ram[0x100] = 9;
  target.ring.Push(1), target.ring.Push(2);
  const std::vector<uint8_t> before = target.Save();
  for (const BadFile& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    EXPECT_FALSE(target.Load(c.make(good), &error));
    EXPECT_THAT(error, HasSubstr(c.reason));
    EXPECT_EQ(target.Save(), before) << "the machine changed";
  }
}

// Any cut of a state is refused, as is any flipped byte.
TEST(SaveState, RefusesEveryTruncationAndCorruption) {
  StateMachine source;
  const std::vector<uint8_t> good = source.Save();
  StateMachine target;
  const std::vector<uint8_t> before = target.Save();
  for (size_t size = 0; size < good.size(); ++size) {
    ASSERT_FALSE(target.Load(std::vector<uint8_t>(good.begin(), good.begin() + size))) << size;
  }
  for (size_t at = 0; at < good.size(); at += 7) {
    std::vector<uint8_t> bad = good;
    bad[at] ^= 0x40;
    ASSERT_FALSE(target.Load(bad)) << at;
  }
  EXPECT_EQ(target.Save(), before);
}

// Firmware that differs in one byte is refused, naming the ROM range.
TEST(SaveState, RefusesAStateOfOtherFirmwareNamingTheRange) {
  StateMachine original;
  TestRom patched;
  patched.Put(0x9000, {0x00});
  StateMachine other(patched);
  std::string error;
  EXPECT_FALSE(other.Load(original.Save(), &error));
  EXPECT_THAT(error, HasSubstr("other firmware: ROM 0x000000..0x3FFFFF"));
  EXPECT_THAT(error, ::testing::Not(HasSubstr("0x400000")));
}

// A machine whose ring has no storage (no sound device) saves an empty
// ring; loading into a ring without storage keeps that ring empty.
TEST(SaveState, RingWithoutStorageIsEmptyBothWays) {
  TestMachine silent{TestRom{}};
  const RomHashes rom = HashRomRanges(silent->bus);
  StateMachine sound;
  sound.ring.Push(5);
  sound.ring.Push(6);
  ASSERT_TRUE(sound.Load(SaveState(*silent, rom)));
  EXPECT_TRUE(sound.ring.Empty());
  StateMachine source;
  source.ring.Push(7);
  SampleRing empty;
  silent->bus.AttachRing(&empty);
  ASSERT_TRUE(LoadState(*silent, rom, source.Save(), nullptr));
  EXPECT_EQ(empty.write, 0);
  EXPECT_EQ(empty.read, 0);
}

struct FieldsCase {
  const char* name;
  std::function<void(MachineFields&)> change;
};

// Values no machine can reach are refused by name.
TEST(CheckFields, RefusesWhatNoMachineCanReach) {
  constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
  const FieldsCase cases[] = {
      {"P", [](MachineFields& f) { f.P = 0x24; }},
      {"PC", [](MachineFields& f) { f.PC = 0x10000; }},
      {"nmiArmed", [](MachineFields& f) { f.nmiArmed = 2; }},
      {"cycles", [](MachineFields& f) { f.cycles = -1; }},
      {"a port latch", [](MachineFields& f) { f.ports[0x0A] = 0x180; }},
      {"a window", [](MachineFields& f) { f.window[4] = {BlockPlace::kFlash, 0x7F000}; }},
      {"a window", [](MachineFields& f) { f.window[3] = {3, 0}; }},
      {"window 7", [](MachineFields& f) { f.window[7] = {BlockPlace::kRom, 0x8000}; }},
      {"window 6", [](MachineFields& f) { f.window[6] = {BlockPlace::kRam, 0x0000}; }},
      {"a page-table entry", [](MachineFields& f) { f.pageTable[9] = {BlockPlace::kRom, 0xFFF000}; }},
      {"zeroPageOffset", [](MachineFields& f) { f.zeroPageOffset = 0x1000; }},
      {"timer0Counter", [](MachineFields& f) { f.timer0Counter = 0x10000; }},
      {"timerACounter", [](MachineFields& f) { f.timerACounter = kNan; }},
      {"timerBCounter", [](MachineFields& f) { f.timerBCounter = 256.0; }},
      {"soundHandshake", [](MachineFields& f) { f.soundHandshake = 1; }},
      {"beeperLevel", [](MachineFields& f) { f.beeperLevel = 2; }},
      {"flashErase", [](MachineFields& f) { f.flashErase = 6; }},
      {"sound historyWrite", [](MachineFields& f) { f.sound.historyWrite = 148; }},
      {"sound historyNewest", [](MachineFields& f) { f.sound.historyNewest = -1; }},
      {"sound gainIndex", [](MachineFields& f) { f.sound.gainIndex = 16; }},
      {"sound pitchFraction", [](MachineFields& f) { f.sound.pitchFraction = 3; }},
      {"a sound frame word", [](MachineFields& f) { f.sound.frameWords[14] = 0x10000; }},
      {"ring write index", [](MachineFields& f) { f.ringWrite = SampleRing::kCapacity; }},
      {"ring without storage", [](MachineFields& f) { f.ringStorage = 0, f.ringRead = 4; }},
      {"frameCount", [](MachineFields& f) { f.frameCount = 25; }},
      {"faultOpcode", [](MachineFields& f) { f.faultOpcode = 0x100; }},
  };
  StateMachine m;
  m.machine->bus.Write(0x0A, 0x85);
  m.ring.Push(1);
  MachineFields good;
  CaptureFields(*m, good);
  std::string error;
  ASSERT_TRUE(CheckFields(good, &error)) << error;
  for (const FieldsCase& c : cases) {
    MachineFields f = good;
    c.change(f);
    EXPECT_FALSE(CheckFields(f, &error)) << c.name;
    EXPECT_THAT(error, ::testing::StartsWith(std::string(c.name) + " has an impossible value")) << c.name;
  }
}

}  // namespace
}  // namespace rq4800::test
