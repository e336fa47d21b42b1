// The flash as the device's user changes it whole: the re-initialisation
// from the default image (resource 115) and the load of an image the user
// gives. The user's image file on the host is the front end's matter
// (host/flash_image_file.h).
#include <algorithm>
#include <cstring>

#include "core/debug_log.h"
#include "machine/machine.h"

namespace rq4800 {

namespace {

constexpr size_t kFlashSize = BusRQ4800::kFlashSize;

// What InitialiseFlash and LoadFlashImageFile end with: the device starts
// over on the new flash contents.
void ColdResetAfterFlashChange(Machine& machine) {
  machine.bus.ResetMachine();
  machine.cpu.Reset();
  ClearFault(machine);
  DebugLog("cold reset\n");
}

}  // namespace

// A missing default image leaves the flash as it is; one of the wrong size
// fills only what it has.
void CopyDefaultFlash(Machine& machine) {
  const std::span<const uint8_t> bytes = machine.resources.Find(resource::kDefaultFlash);
  const size_t size = std::min(bytes.size(), kFlashSize);
  if (size) std::memcpy(machine.bus.flash.get(), bytes.data(), size);
}

void InitialiseFlash(Machine& machine) {
  CopyDefaultFlash(machine);
  ColdResetAfterFlashChange(machine);
}

bool LoadFlashImageFile(Machine& machine, const uint8_t* data, size_t size) {
  if (!data || size != kFlashSize) return false;
  std::memcpy(machine.bus.flash.get(), data, kFlashSize);
  ColdResetAfterFlashChange(machine);
  return true;
}

}  // namespace rq4800
