#include "host/flash_baseline.h"

#include <algorithm>

namespace rq4800 {

void TakeFlashBaseline(FlashBaseline& baseline, std::span<const uint8_t> flash) {
  baseline.bytes.assign(flash.begin(), flash.end());
}

bool FlashDiffers(const FlashBaseline& baseline, std::span<const uint8_t> flash) {
  if (baseline.bytes.empty()) return true;
  return !std::ranges::equal(baseline.bytes, flash);
}

}  // namespace rq4800
