#include "host/flash_image_file.h"

#include <filesystem>
#include <span>
#include <system_error>

#include "core/debug_log.h"
#include "core/file_io.h"
#include "machine/machine.h"

namespace rq4800 {

namespace fs = std::filesystem;

namespace {

constexpr size_t kFlashSize = BusRQ4800::kFlashSize;

std::span<const uint8_t> FlashOf(const Machine& machine) { return {machine.bus.flash.get(), kFlashSize}; }

}  // namespace

void PowerOnFromImageFile(FlashImageFile& file, Machine& machine) {
  FileRead image;
  if (!file.dataDirectory.empty()) {
    image = ReadImageFile((fs::path(file.dataDirectory) / kFlashImageName).string(), kFlashSize);
  }
  PowerOn(machine, image.ok() ? std::span<const uint8_t>(image.bytes) : std::span<const uint8_t>());
  TakeFlashBaseline(file.baseline, FlashOf(machine));
  // No file yet is the first run: nothing saved, nothing to say.
  if (file.dataDirectory.empty() || image.ok() || image.status == ReadStatus::kMissing) return;
  ReportProblem("%s; the flash starts from the default image. The file is kept: the next save moves it to a "
                "backup first\n",
                image.error.c_str());
  file.keepOldImageOnSave = true;
}

bool SaveFlashImage(FlashImageFile& file, const Machine& machine, std::string* error) {
  auto fail = [error](const std::string& reason) {
    if (error) *error = reason;
    return false;
  };
  if (file.dataDirectory.empty()) return fail("no data directory is set");
  if (file.readOnly) return fail("read-only: another program uses the data directory " + file.dataDirectory);
  const fs::path directory(file.dataDirectory);
  std::error_code ec;
  fs::create_directories(directory, ec);
  if (ec) return fail("cannot create the data directory " + directory.string() + ": " + ec.message());

  const std::string target = (directory / kFlashImageName).string();
  std::string backup, reason;
  if (file.keepOldImageOnSave && !MoveAside(target, &backup, &reason)) {
    return fail(reason + "; nothing was saved");
  }
  if (!WriteFileAtomically(target, FlashOf(machine), &reason)) {
    // Put the old image back under its name, so the next start finds it as before.
    if (!backup.empty()) fs::rename(backup, target, ec);
    return fail(reason);
  }
  if (!backup.empty()) ReportProblem("the flash image that could not be used is kept as %s\n", backup.c_str());
  file.keepOldImageOnSave = false;
  TakeFlashBaseline(file.baseline, FlashOf(machine));
  return true;
}

bool FlashUnsaved(const FlashImageFile& file, const Machine& machine) {
  return FlashDiffers(file.baseline, FlashOf(machine));
}

}  // namespace rq4800
