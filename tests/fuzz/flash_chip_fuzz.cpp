// The flash chip's command protocol, driven through the bus one processor
// write at a time and compared after every cycle with a model written from
// the protocol: the flash changes only on the last cycle of a byte-program
// (the byte ANDed in: programming only clears bits) or of a sector erase
// (4 KB to 0xFF); a cycle that fits no state changes nothing; writes outside
// flash mode, or with BANK 16 or more, never reach the chip.
//
// Input: cycles of two bytes, (selector, value). The selector picks the
// address (0x5555, 0xAAAA, or one built from the next two bytes), or
// switches BANK or flash mode.
#include <cstring>
#include <memory>

#include "core/debug_log.h"
#include "machine/bus_rq4800.h"
#include "tests/fuzz/fuzz_check.h"

using namespace rq4800;

namespace {

// The protocol's states: the shared unlock, then one armed command.
struct ChipModel {
  enum State { kIdle, kUnlock1, kUnlock2, kProgram, kErase3, kErase4, kErase5 } state = kIdle;
  std::unique_ptr<uint8_t[]> flash{new uint8_t[BusRQ4800::kFlashSize]};

  // Returns the flash range the cycle changed (length 0 for none).
  std::pair<size_t, size_t> Cycle(unsigned bank, int address, uint8_t value) {
    const size_t page = static_cast<size_t>(bank) * 0x8000;
    switch (state) {
      case kIdle:
        if (address == 0x5555 && value == 0xAA) state = kUnlock1;
        break;
      case kUnlock1:
        if (address == 0xAAAA && value == 0x55) state = kUnlock2;
        break;
      case kUnlock2:
        if (address == 0x5555 && value == 0xA0) state = kProgram;
        if (address == 0x5555 && value == 0x80) state = kErase3;
        break;
      case kProgram: {
        const size_t at = page + (address & 0x7FFF);
        flash[at] &= value;
        state = kIdle;
        return {at, 1};
      }
      case kErase3:
        if (address == 0x5555 && value == 0xAA) state = kErase4;
        break;
      case kErase4:
        if (address == 0xAAAA && value == 0x55) state = kErase5;
        break;
      case kErase5:
        if (value == 0x30) {
          const size_t at = page + (address & 0x7000);
          std::memset(flash.get() + at, 0xFF, 0x1000);
          state = kIdle;
          return {at, 0x1000};
        }
        break;
    }
    return {0, 0};
  }
};

}  // namespace

extern "C" int RQ4800_FUZZ_ENTRY(const uint8_t* data, size_t size) {
  static const DebugLogTarget quiet = SetDebugLogTarget(DiscardingTarget());
  (void)quiet;
  static BusRQ4800 bus;
  static ChipModel model;
  bus.ResetMachine();
  model.state = ChipModel::kIdle;
  // A pattern with bits both set and clear everywhere, so ANDs show.
  for (size_t i = 0; i < BusRQ4800::kFlashSize; ++i) bus.flash[i] = static_cast<uint8_t>((i * 0x9E) ^ (i >> 11));
  std::memcpy(model.flash.get(), bus.flash.get(), BusRQ4800::kFlashSize);
  bus.WritePort(0x0A, 0x80);

  fuzz::ByteReader in{data, size};
  for (int cycles = 0; !in.Empty() && cycles < 4096; ++cycles) {
    const uint8_t selector = in.Byte(), value = in.Byte();
    if (selector >= 0xF8) {
      // BANK (16 and more are no flash page) or flash mode.
      if (selector & 1) bus.WritePort(0x00, value % 20);
      else bus.WritePort(0x0A, value & 0x80);
      continue;
    }
    const int address = selector % 3 == 0 ? 0x5555 : selector % 3 == 1 ? 0xAAAA : static_cast<int>(0x4000 + in.U16() % 0x8000);
    const unsigned bank = bus.ports[0x00];
    const bool reachesChip = bus.FlashMode() && bank < 16;
    std::pair<size_t, size_t> changed{0, 0};
    if (reachesChip) changed = model.Cycle(bank, address, value);
    bus.Write(address, value);

    if (changed.second == 1) {
      FUZZ_REQUIRE(bus.flash[changed.first] == model.flash[changed.first]);
    } else if (changed.second > 1) {
      for (size_t i = 0; i < changed.second; ++i) FUZZ_REQUIRE(bus.flash[changed.first + i] == 0xFF);
    }
    // Nothing else moved: spot checks at the cycle's own byte in every page.
    for (unsigned page = 0; page < 16; ++page) {
      const size_t at = page * 0x8000 + (address & 0x7FFF);
      FUZZ_REQUIRE(bus.flash[at] == model.flash[at]);
    }
    // The chip's three states agree with the model's single one.
    const int unlock = bus.flashUnlock, program = bus.flashProgram, erase = bus.flashErase;
    switch (model.state) {
      case ChipModel::kIdle: FUZZ_REQUIRE(unlock == 0 && program == 0 && erase == 0); break;
      case ChipModel::kUnlock1: FUZZ_REQUIRE(unlock == 1 && program == 1 && erase == 1); break;
      case ChipModel::kUnlock2: FUZZ_REQUIRE(unlock == 2 && program == 2 && erase == 2); break;
      case ChipModel::kProgram: FUZZ_REQUIRE(program == 3 && unlock == 0 && erase == 0); break;
      case ChipModel::kErase3: FUZZ_REQUIRE(erase == 3 && unlock == 0 && program == 0); break;
      case ChipModel::kErase4: FUZZ_REQUIRE(erase == 4 && unlock == 0 && program == 0); break;
      case ChipModel::kErase5: FUZZ_REQUIRE(erase == 5 && unlock == 0 && program == 0); break;
    }
    // Reading through the window shows the flash the cycle addressed.
    if (reachesChip) FUZZ_REQUIRE(bus.Read(address) == bus.flash[bank * 0x8000 + (address & 0x7FFF)]);
  }
  FUZZ_REQUIRE(std::memcmp(bus.flash.get(), model.flash.get(), BusRQ4800::kFlashSize) == 0);
  return 0;
}
