// The flash chip's command protocol, driven by processor writes in flash mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "core/debug_log.h"
#include "machine/bus_rq4800.h"

namespace rq4800 {
namespace {

using Cycles = std::initializer_list<std::pair<int, int>>;

// A bus in flash mode on page bank, with every flash byte 0x5A.
struct FlashBus {
  BusRQ4800 bus;
  explicit FlashBus(int bank) {
    std::fill(bus.flash.get(), bus.flash.get() + BusRQ4800::kFlashSize, 0x5A);
    bus.Write(0x00, bank);
    bus.Write(0x0A, 0x80);
  }
  void Run(Cycles cycles) {
    for (auto [address, value] : cycles) bus.Write(address, value);
  }
  void Program(int address, int value) { Run({{0x5555, 0xAA}, {0xAAAA, 0x55}, {0x5555, 0xA0}, {address, value}}); }
};

TEST(FlashChip, ProgramAndEraseLandInThePageThatBankSelects) {
  for (int bank : {0, 2, 15}) {
    FlashBus chip(bank);
    const uint8_t* page = &chip.bus.flash[bank * 0x8000];
    DebugLogCapture log;
    chip.Run({{0x5555, 0xAA}, {0xAAAA, 0x55}, {0x5555, 0x80}, {0x5555, 0xAA}, {0xAAAA, 0x55}, {0x9ABC, 0x30}});
    EXPECT_EQ(std::count(page + 0x1000, page + 0x2000, 0xFF), 0x1000) << bank;
    EXPECT_EQ(page[0x0FFF], 0x5A);
    EXPECT_EQ(page[0x2000], 0x5A);
    chip.Program(0x4001, 0x0F);  // programming only clears bits
    EXPECT_EQ(page[0x4001], 0x0A) << bank;
    chip.Program(0x4001, 0xFF);
    EXPECT_EQ(chip.bus.Read(0x4001), 0x0A) << bank;
    EXPECT_EQ(log.text, "") << "accepted cycles are not logged";
  }
}

TEST(FlashChip, CyclesThatFitNoStateAreLoggedAndTheSequenceResumes) {
  FlashBus chip(2);
  DebugLogCapture log;
  chip.Run({{0x5555, 0xF0}});  // a command this chip does not have
  EXPECT_EQ(log.text, "write 5555 f0 0 2\n");
  chip.Run({{0x5555, 0xAA}, {0x6000, 0x12}, {0xAAAA, 0x55}, {0x5555, 0x80}, {0x5555, 0xAA}, {0xAAAA, 0x55}});
  EXPECT_EQ(chip.bus.flashErase, 5);
  chip.Run({{0x8000, 0x31}});
  EXPECT_EQ(chip.bus.flashErase, 5);
  EXPECT_EQ(chip.bus.flash[0x10000], 0x5A);
  chip.Run({{0x8000, 0x30}});
  EXPECT_EQ(chip.bus.flash[0x10000], 0xFF);
  EXPECT_EQ(log.text, "write 5555 f0 0 2\nwrite 6000 12 0 2\nwrite 8000 31 0 2\n");

  // One unlock allows one byte.
  log.text.clear();
  chip.Program(0x4010, 0x00);
  chip.Run({{0x5555, 0xA0}, {0x4011, 0x00}});
  EXPECT_EQ(log.text, "write 5555 a0 0 2\nwrite 4011 0 0 2\n");
  EXPECT_EQ(chip.bus.flash[0x14010], 0x00);
  EXPECT_EQ(chip.bus.flash[0x14011], 0x5A);

  chip.Run({{0x5555, 0xAA}, {0xAAAA, 0x55}, {0x5555, 0xA0}});
  chip.bus.ResetMachine();  // a reset drops a half sequence
  EXPECT_EQ(chip.bus.flashProgram, 0);
}

}  // namespace
}  // namespace rq4800
