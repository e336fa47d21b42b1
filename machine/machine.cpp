// Machine assembly, power-on and the user's cold reset.
//
// ROM layout filled at power-on (32 KB pages; pages 256..383 get no image):
//   resource 112 -> ROM 0x000000..0x3FFFFF
//   resource 113 -> ROM 0x400000..0x7FFFFF
//   resource 114 -> ROM 0xC00000..0xFFFFFF
// The flash comes from the image the host gives (the user's saved file), or
// from the default image (resource 115) when there is none.
#include "machine/machine.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <utility>

#include "core/debug_log.h"

namespace rq4800 {

namespace {

struct RomImage {
  int id;
  size_t offset;
};
constexpr RomImage kRomImages[] = {
    {resource::kRom0, 0x000000},
    {resource::kRom1, 0x400000},
    {resource::kRom3, 0xC00000},
};

}  // namespace

Machine::Machine(const ResourceStore& resources, IHostClock* clock)
    // The processor only keeps a reference to the bus, which is built next.
    : cpu(*static_cast<IBus6502*>(&bus)), resources(resources), clock(clock) {
  // The bus constructor has allocated the buffers and run ResetMachine.
  std::fill(std::begin(bus.keyWords), std::end(bus.keyWords), 0u);
  bus.cpu = &cpu;
  storage.image = bus.flash.get();
  frameCount = 0;
}

LocalTime SystemClock::Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  // The emulator runs on one thread, so the shared result of localtime is safe.
  if (const std::tm* t = std::localtime(&now)) local = *t;
  LocalTime time;
  time.year = local.tm_year + 1900;
  time.month = local.tm_mon + 1;
  time.day = local.tm_mday;
  time.hour = local.tm_hour;
  time.minute = local.tm_min;
  time.second = local.tm_sec;
  return time;
}

void ClearFault(Machine& machine) {
  machine.faulted = false;
  machine.faultOpcode = 0;
  machine.faultAddress = 0;
  machine.frame = FramePosition{};
}

void LoadRomImages(Machine& machine) {
  for (const RomImage& image : kRomImages) {
    const std::span<const uint8_t> bytes = machine.resources.Find(image.id);
    // An image larger than its 4 MB range would run into the next one (or
    // off the end of the buffer for the last); only its range is taken.
    const size_t size = std::min(bytes.size(), resource::kRomImageSize);
    if (size) std::memcpy(machine.bus.rom.get() + image.offset, bytes.data(), size);
  }
}

void PowerOn(Machine& machine, std::span<const uint8_t> flashImage) {
  LoadRomImages(machine);
  if (flashImage.size() == BusRQ4800::kFlashSize) {
    std::memcpy(machine.bus.flash.get(), flashImage.data(), BusRQ4800::kFlashSize);
  } else {
    CopyDefaultFlash(machine);
  }
  machine.cpu.Reset();
  ClearFault(machine);
}

void ColdReset(Machine& machine) {
  machine.bus.ResetMachine();
  machine.cpu.Reset();
  ClearFault(machine);
  DebugLog("cold reset\n");
}

}  // namespace rq4800
