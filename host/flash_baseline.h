#pragma once
// What the flash image file holds, as far as this run knows: the flash as it
// was loaded at power-on, then as it was written by each successful save.
// The image file is written only when the user saves, so quitting with a flash
// that differs from it would lose every file downloaded and everything the
// device wrote since; the window asks first whenever FlashDiffers says so.
//
// Initialising the flash or loading a ".fls" changes the flash but not the
// file, so neither moves the baseline: quitting afterwards asks as well.
#include <cstdint>
#include <span>
#include <vector>

namespace rq4800 {

struct FlashBaseline {
  std::vector<uint8_t> bytes;  // empty until first taken
};

void TakeFlashBaseline(FlashBaseline& baseline, std::span<const uint8_t> flash);

// True when the flash differs from the baseline, and when no baseline was
// ever taken: then nothing is known to be safe on disk.
bool FlashDiffers(const FlashBaseline& baseline, std::span<const uint8_t> flash);

}  // namespace rq4800
