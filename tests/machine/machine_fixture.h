#pragma once
// Machines for tests: synthetic ROM and flash images, a fixed host clock and
// a scratch data directory inside the build tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "machine/machine.h"

namespace rq4800::test {

// Writes each {address, value} pair in turn, as the processor would.
inline void Poke(IBus6502& bus, std::initializer_list<std::pair<int, int>> writes) {
  for (auto [address, value] : writes) bus.Write(address, value);
}

struct FakeClock final : IHostClock {
  LocalTime time;
  int calls = 0;
  LocalTime Now() override { return ++calls, time; }
};

// ROM image 112, whose 0x6000..0x7FFF the processor sees at 0xE000. Unwritten
// bytes are 0xFF, an unsupported opcode: a program running astray faults.
struct TestRom {
  std::vector<uint8_t> image = std::vector<uint8_t>(resource::kRomImageSize, 0xFF);
  void Put(int cpuAddress, std::initializer_list<int> bytes) {
    size_t offset = static_cast<size_t>(cpuAddress - 0x8000);
    for (int b : bytes) image[offset++] = static_cast<uint8_t>(b);
  }
  void Vectors(int nmi, int reset, int irq) {
    Put(0xFFFA, {nmi & 0xFF, nmi >> 8, reset & 0xFF, reset >> 8, irq & 0xFF, irq >> 8});
  }
};

inline std::vector<uint8_t> PatternFlash(int salt) {
  std::vector<uint8_t> image(resource::kFlashImageSize);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7 + (i >> 12) + salt);
  return image;
}

inline std::filesystem::path ScratchDirectory() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  auto dir = std::filesystem::path(RQ4800_BINARY_DIR) / "test-scratch" / info->name();
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

// A powered-on machine running rom, with PatternFlash(1) as its default image.
struct TestMachine {
  ResourceStore resources;
  FakeClock clock;
  std::unique_ptr<Machine> machine;
  explicit TestMachine(const TestRom& rom) {
    resources.useBuiltin = false;
    resources.Replace(resource::kRom0, rom.image);
    resources.Replace(resource::kDefaultFlash, PatternFlash(1));
    machine = std::make_unique<Machine>(resources, &clock);
    PowerOn(*machine);
  }
  Machine& operator*() { return *machine; }
  Machine* operator->() { return machine.get(); }
};

}  // namespace rq4800::test
