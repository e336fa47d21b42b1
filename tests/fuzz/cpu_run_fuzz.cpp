// Arbitrary 6502 code: bytes placed in RAM and in the ROM under window 7
// (with the vectors), the machine reset and run for a few frames. The
// machine must come through whatever the code does to its ports, banks and
// flash: the registers stay in their widths, an unsupported instruction is a
// fault naming an undocumented opcode, and no write ever reaches the ROM.
//
// Input: frame count, the three vectors, then code, half to RAM 0x0200 and
// half to ROM 0x6000 (processor 0xE000).
#include <algorithm>
#include <cstring>

#include "core/debug_log.h"
#include "core/opcode_table.h"
#include "machine/machine.h"
#include "tests/fuzz/fuzz_check.h"

using namespace rq4800;

namespace {

struct FixedClock final : IHostClock {
  LocalTime Now() override { return {2026, 12, 6, 12, 0, 0}; }
};

constexpr size_t kRomCode = 0x6000;
constexpr size_t kRomCodeEnd = 0x8000;

// The ROM is as the run started: zero but for the code and vectors placed.
bool RomPageIntact(const uint8_t* rom, size_t page, const uint8_t* placed) {
  const uint8_t* p = rom + page * 0x8000;
  for (size_t i = 0; i < 0x8000; ++i) {
    const size_t at = page * 0x8000 + i;
    const uint8_t expected = at >= kRomCode && at < kRomCodeEnd ? placed[at - kRomCode] : 0;
    if (p[i] != expected) return false;
  }
  return true;
}

}  // namespace

extern "C" int RQ4800_FUZZ_ENTRY(const uint8_t* data, size_t size) {
  static const DebugLogTarget quiet = SetDebugLogTarget(DiscardingTarget());
  (void)quiet;
  static ResourceStore resources = [] {
    ResourceStore r;
    r.useBuiltin = false;
    return r;
  }();
  static FixedClock clock;
  static Machine machine(resources, &clock);
  static SampleRing ring = [] {
    SampleRing r;
    r.samples.assign(SampleRing::kCapacity, 0);
    return r;
  }();
  static uint8_t placed[kRomCodeEnd - kRomCode];

  fuzz::ByteReader in{data, size};
  const int frames = 1 + in.Byte() % 3;
  std::string vectors = in.Take(6);
  vectors.resize(6, '\0');
  const std::string code = in.Rest();
  const size_t half = std::min<size_t>(code.size() / 2, 0x1000);

  BusRQ4800& bus = machine.bus;
  std::memset(placed, 0, sizeof placed);
  std::memcpy(placed, code.data() + half, std::min<size_t>(code.size() - half, sizeof placed - 6));
  std::memcpy(placed + sizeof placed - 6, vectors.data(), 6);
  std::memcpy(bus.rom.get() + kRomCode, placed, sizeof placed);
  std::memset(bus.flash.get(), 0xFF, BusRQ4800::kFlashSize);
  bus.ResetMachine();
  std::fill(std::begin(bus.keyWords), std::end(bus.keyWords), 0u);
  std::memcpy(bus.ram.get() + 0x0200, code.data(), half);
  ring.read = ring.write = 0;
  bus.AttachRing(&ring);
  machine.frameCount = 0;
  machine.warmResetRequest = false;
  machine.cpu.Reset();
  ClearFault(machine);

  std::vector<size_t> pagesShown = {0, 1, 2, 3};
  for (int f = 0; f < frames && !machine.faulted; ++f) {
    RunFrame(machine);
    const Cpu6502& cpu = machine.cpu;
    FUZZ_REQUIRE(cpu.A <= 0xFF && cpu.X <= 0xFF && cpu.Y <= 0xFF && cpu.SP <= 0xFF && cpu.PC <= 0xFFFF);
    FUZZ_REQUIRE(cpu.P <= 0xFF && (cpu.P & 0x30) == 0);
    if (machine.faulted) {
      FUZZ_REQUIRE(machine.faultOpcode >= 0 && machine.faultOpcode <= 0xFF);
      FUZZ_REQUIRE(op::kOpcodeTable[machine.faultOpcode].mnemonic == op::___);
      FUZZ_REQUIRE(machine.faultAddress >= 0 && machine.faultAddress <= 0xFFFF);
    }
    FUZZ_REQUIRE(ring.write >= 0 && ring.write < SampleRing::kCapacity && ring.read == 0);
    FUZZ_REQUIRE(bus.zeroPageOffset >= -0x40 && bus.zeroPageOffset <= 0x280);
    // Every window shows a part of one of the three buffers.
    for (uint8_t* w : bus.window) {
      const bool inRam = w >= bus.ram.get() && w + 0x2000 <= bus.ram.get() + BusRQ4800::kRamSize;
      const bool inRom = w >= bus.rom.get() && w + 0x2000 <= bus.rom.get() + BusRQ4800::kRomSize;
      const bool inFlash = w >= bus.flash.get() && w + 0x2000 <= bus.flash.get() + BusRQ4800::kFlashSize;
      FUZZ_REQUIRE(inRam || inRom || inFlash);
      if (inRom) pagesShown.push_back(static_cast<size_t>(w - bus.rom.get()) / 0x8000);
    }
    ring.write = 0;
  }
  std::sort(pagesShown.begin(), pagesShown.end());
  pagesShown.erase(std::unique(pagesShown.begin(), pagesShown.end()), pagesShown.end());
  for (size_t page : pagesShown) FUZZ_REQUIRE(RomPageIntact(bus.rom.get(), page, placed));
  std::memset(bus.rom.get() + kRomCode, 0, sizeof placed);
  return 0;
}
