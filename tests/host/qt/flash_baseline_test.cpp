#include "host/flash_baseline.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

namespace rq4800 {
namespace {

constexpr size_t kFlashSize = 524288;

// Whatever changed, wherever: one bit anywhere in the chip is a user's file.
TEST(FlashBaseline, AnyChangedByteAfterTheBaselineCounts) {
  std::vector<uint8_t> flash(kFlashSize, 0xFF);
  flash[100] = 0x12;
  FlashBaseline baseline;
  EXPECT_TRUE(FlashDiffers(baseline, flash));  // nothing known on disk yet
  TakeFlashBaseline(baseline, flash);
  EXPECT_FALSE(FlashDiffers(baseline, flash));
  for (size_t offset : {size_t{0}, size_t{100}, kFlashSize / 2, kFlashSize - 1}) {
    SCOPED_TRACE(offset);
    std::vector<uint8_t> changed = flash;
    changed[offset] ^= 0x01;
    EXPECT_TRUE(FlashDiffers(baseline, changed));
  }
}

// A save moves the baseline; changing the flash back to what was saved
// leaves nothing to ask about.
TEST(FlashBaseline, FollowsTheLastSaveAndForgivesAChangeUndone) {
  std::vector<uint8_t> flash(kFlashSize, 0xFF);
  FlashBaseline baseline;
  TakeFlashBaseline(baseline, flash);
  flash[7] = 0x00;
  EXPECT_TRUE(FlashDiffers(baseline, flash));
  TakeFlashBaseline(baseline, flash);  // saved
  EXPECT_FALSE(FlashDiffers(baseline, flash));
  flash[7] = 0x55;
  EXPECT_TRUE(FlashDiffers(baseline, flash));
  flash[7] = 0x00;
  EXPECT_FALSE(FlashDiffers(baseline, flash));
  // A flash of another size is never the saved one.
  EXPECT_TRUE(FlashDiffers(baseline, std::span<const uint8_t>(flash).first(kFlashSize - 1)));
}

}  // namespace
}  // namespace rq4800
