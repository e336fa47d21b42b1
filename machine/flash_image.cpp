// The host side of the flash: the image file "rq4800.fls" in the data
// directory (the 524,288 bytes of the chip, offset 0 first, no header), its
// load at power-on, its save, the re-initialisation from the default image
// (resource 115) and the load of an image the user gives.
//
// The file holds the user's only copy of the device's files, so it is never
// written in place: a save goes to a temporary file that is renamed over the
// image only once it is complete, and an image of the wrong size found at
// power-on is moved aside to "rq4800.fls.bak" before anything replaces it.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "core/debug_log.h"
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

bool Fail(std::string* error, const std::string& reason) {
  if (error) *error = reason;
  return false;
}

std::string ErrnoText() { return std::generic_category().message(errno); }

}  // namespace

void LoadFlashAtPowerOn(Machine& machine) {
  if (machine.dataDirectory.empty()) {
    CopyDefaultFlash(machine);
    return;
  }
  const fs::path path = fs::path(machine.dataDirectory) / kFlashImageName;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (!fs::exists(status)) {
    CopyDefaultFlash(machine);  // the first run: nothing saved yet
    return;
  }
  if (!fs::is_regular_file(status)) {
    DebugLog("%s is not a file; using the default flash image\n", path.string().c_str());
    CopyDefaultFlash(machine);
    return;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    DebugLog("cannot open %s; using the default flash image\n", path.string().c_str());
    CopyDefaultFlash(machine);
    return;
  }
  // One byte more than an image, to tell a longer file from an exact one.
  std::vector<char> buffer(kFlashSize + 1);
  file.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  const size_t got = static_cast<size_t>(file.gcount());
  if (got != kFlashSize) {
    const uintmax_t size = fs::file_size(path, ec);
    DebugLog("%s holds %ju bytes, not %zu; using the default flash image, the file is kept as it is\n",
             path.string().c_str(), ec ? static_cast<uintmax_t>(got) : size, kFlashSize);
    CopyDefaultFlash(machine);
    machine.keepOldImageOnSave = true;
    return;
  }
  std::memcpy(machine.bus.flash.get(), buffer.data(), kFlashSize);
}

bool SaveFlashImage(Machine& machine, std::string* error) {
  if (machine.dataDirectory.empty()) return Fail(error, "no data directory is set");
  const fs::path directory(machine.dataDirectory);
  std::error_code ec;
  fs::create_directories(directory, ec);
  if (ec) return Fail(error, "cannot create the data directory " + directory.string() + ": " + ec.message());

  const fs::path temp = directory / kFlashImageTempName;
  const fs::path target = directory / kFlashImageName;
  std::FILE* file = std::fopen(temp.c_str(), "wb");
  if (!file) return Fail(error, "cannot create " + temp.string() + ": " + ErrnoText());
  bool written = std::fwrite(machine.bus.flash.get(), 1, kFlashSize, file) == kFlashSize;
  written = std::fflush(file) == 0 && written;
  std::string reason = written ? "" : ErrnoText();
  if (std::fclose(file) != 0 && written) {
    written = false;
    reason = ErrnoText();
  }
  if (!written) {
    fs::remove(temp, ec);
    return Fail(error, "cannot write " + temp.string() + ": " + reason);
  }

  if (machine.keepOldImageOnSave && fs::exists(fs::symlink_status(target, ec))) {
    const fs::path backup = directory / kFlashImageBackupName;
    fs::rename(target, backup, ec);
    if (ec) {
      const std::string message = ec.message();
      fs::remove(temp, ec);
      return Fail(error, "cannot move " + target.string() + " aside to " + backup.string() + ": " + message);
    }
  }
  machine.keepOldImageOnSave = false;

  fs::rename(temp, target, ec);
  if (ec) {
    const std::string message = ec.message();
    fs::remove(temp, ec);
    return Fail(error, "cannot replace " + target.string() + ": " + message);
  }
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
