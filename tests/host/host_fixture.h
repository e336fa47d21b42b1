#pragma once
// Files as bytes, a sound card that keeps what it is given, and an emulator on
// the built-in firmware at a fixed host time, as the front-end tests use them.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/debug_log.h"
#include "host/emulator.h"
#include "sound/wave_device.h"
#include "tests/machine/machine_fixture.h"

namespace rq4800::test {

inline void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}
inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline std::vector<uint8_t> RamOf(const Emulator& e) {
  return {e.machine->bus.ram.get(), e.machine->bus.ram.get() + BusRQ4800::kRamSize};
}
inline std::vector<uint8_t> FlashOf(const Emulator& e) {
  return {e.machine->bus.flash.get(), e.machine->bus.flash.get() + BusRQ4800::kFlashSize};
}

// Keeps every block the output queues, as a sound card would play them.
struct RecordingDevice final : IWaveDevice {
  bool opens = true;
  std::vector<int16_t> played;
  bool Open() override { return opens; }
  bool Prepare(WaveBlock& block) override { return block.prepared = true; }
  void Unprepare(WaveBlock& block) override { block.prepared = false; }
  void Queue(WaveBlock& block) override { played.insert(played.end(), block.data, block.data + block.bytes / 2); }
  int TakeFinishedBlocks() override { return 0; }
};

// An emulator on the built-in firmware at a fixed host time, with sound.
struct Running {
  FakeClock clock;
  RecordingDevice device;
  Emulator emulator;
  explicit Running(std::string dataDirectory = {}, bool rewind = true)
      : emulator(EmulatorOptions{std::move(dataDirectory), &clock, rewind}) {
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

}  // namespace rq4800::test
