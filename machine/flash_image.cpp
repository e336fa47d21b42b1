// The host side of the flash: the image file "rq4800.fls" in the data
// directory (the 524,288 bytes of the chip, offset 0 first, no header), its
// load at power-on, its save, the re-initialisation from the default image
// (resource 115) and the load of an image the user gives.
//
// The file holds the user's only copy of the device's files, so it is never
// written in place (core/file_io.h: a synced temporary renamed over it), and
// an image that is there but cannot be used at power-on (of the wrong size,
// unreadable, a folder of that name) is moved aside to a numbered backup,
// "rq4800.fls.bak", "rq4800.fls.bak1", ..., before anything replaces it.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/debug_log.h"
#include "core/file_io.h"
#include "machine/machine.h"

namespace rq4800 {

namespace fs = std::filesystem;

namespace {

constexpr size_t kFlashSize = BusRQ4800::kFlashSize;

// A missing default image leaves the flash as it is; one of the wrong size
// fills only what it has.
void CopyDefaultFlash(Machine& machine) {
  const std::span<const uint8_t> bytes = machine.resources.Find(resource::kDefaultFlash);
  const size_t size = std::min(bytes.size(), kFlashSize);
  if (size) std::memcpy(machine.bus.flash.get(), bytes.data(), size);
}

// What InitialiseFlash and LoadFlashImageFile end with: the device starts
// over on the new flash contents.
void ColdResetAfterFlashChange(Machine& machine) {
  machine.bus.ResetMachine();
  machine.cpu.Reset();
  ClearFault(machine);
  DebugLog("cold reset\n");
}

}  // namespace

void LoadFlashAtPowerOn(Machine& machine) {
  if (machine.dataDirectory.empty()) {
    CopyDefaultFlash(machine);
    return;
  }
  const std::string path = (fs::path(machine.dataDirectory) / kFlashImageName).string();
  const FileRead image = ReadImageFile(path, kFlashSize);
  if (image.ok()) {
    std::memcpy(machine.bus.flash.get(), image.bytes.data(), kFlashSize);
    return;
  }
  CopyDefaultFlash(machine);
  if (image.status == ReadStatus::kMissing) return;  // the first run: nothing saved yet
  ReportProblem("%s; the flash starts from the default image. The file is kept: the next save moves it to a "
                "backup first\n",
                image.error.c_str());
  machine.keepOldImageOnSave = true;
}

bool SaveFlashImage(Machine& machine, std::string* error) {
  auto fail = [error](const std::string& reason) {
    if (error) *error = reason;
    return false;
  };
  if (machine.dataDirectory.empty()) return fail("no data directory is set");
  const fs::path directory(machine.dataDirectory);
  std::error_code ec;
  fs::create_directories(directory, ec);
  if (ec) return fail("cannot create the data directory " + directory.string() + ": " + ec.message());

  const std::string target = (directory / kFlashImageName).string();
  std::string backup, reason;
  if (machine.keepOldImageOnSave && !MoveAside(target, &backup, &reason)) {
    return fail(reason + "; nothing was saved");
  }
  const std::span<const uint8_t> flash(machine.bus.flash.get(), kFlashSize);
  if (!WriteFileAtomically(target, flash, &reason)) {
    // Put the old image back under its name, so the next start finds it as before.
    if (!backup.empty()) fs::rename(backup, target, ec);
    return fail(reason);
  }
  if (!backup.empty()) ReportProblem("the flash image that could not be used is kept as %s\n", backup.c_str());
  machine.keepOldImageOnSave = false;
  return true;
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
