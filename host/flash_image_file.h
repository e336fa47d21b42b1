#pragma once
// The user's flash image file, "rq4800.fls" in the data directory: the
// 524,288 bytes of the chip, offset 0 first, no header. It is read once at
// power-on and written only when the user saves.
//
// The file holds the user's only copy of the device's files, so it is never
// written in place (core/file_io.h: a synced temporary renamed over it), and
// an image that is there but cannot be used at power-on (of the wrong size,
// unreadable, a folder of that name) is moved aside to a numbered backup,
// "rq4800.fls.bak", "rq4800.fls.bak1", ..., before anything replaces it.
#include <string>

#include "host/flash_baseline.h"

namespace rq4800 {

struct Machine;

inline constexpr const char* kFlashImageName = "rq4800.fls";

struct FlashImageFile {
  std::string dataDirectory;  // with its trailing separator; empty: no image file
  // The image found at power-on could not be used and was not loaded; the
  // next save moves it aside rather than replace what it held.
  bool keepOldImageOnSave = false;
  // The flash as the file holds it, as far as this run knows.
  FlashBaseline baseline;
  // Another program writes this data directory: nothing is saved into it
  // (the image file, the state slots), so the two never overwrite each other.
  bool readOnly = false;
};

// Powers the machine on with the flash from the image file when it is
// usable, from the default image otherwise (a problem is reported unless the
// file simply does not exist yet).
void PowerOnFromImageFile(FlashImageFile& file, Machine& machine);

// Writes the flash to the image file; false with the reason in *error (when
// given) on any failure, the old file then whole.
bool SaveFlashImage(FlashImageFile& file, const Machine& machine, std::string* error = nullptr);

// Whether quitting now would lose something: the flash differs from what the
// image file holds.
bool FlashUnsaved(const FlashImageFile& file, const Machine& machine);

}  // namespace rq4800
