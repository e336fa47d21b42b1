#include <gmock/gmock.h>

#include <vector>

#include "tests/firmware/firmware_fixture.h"

namespace rq4800::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr size_t kSector = 0x7F000;

class FlashScreenTest : public FirmwareTest {
 protected:
  // What the test programs: offset low XOR offset high XOR 0x5A.
  static uint8_t Pattern(size_t i) { return static_cast<uint8_t>((i & 0xFF) ^ (i >> 8) ^ 0x5A); }
};

TEST_F(FlashScreenTest, ErasesAndProgramsTheReservedSectorAndSaysPass) {
  Boot();
  const uint8_t* flash = machine->bus.flash.get();
  // Whatever the sector held before is replaced; a few bytes that the
  // pattern's bits could not reach without an erase prove the erase.
  for (size_t i = 0; i < 0x1000; ++i) machine->bus.flash[kSector + i] = 0x00;
  std::vector<uint8_t> before(flash, flash + resource::kFlashImageSize);
  OpenMenuItem(5);
  Run(20);
  EXPECT_THAT(Line(0), HasSubstr("Flash test")) << Screen();
  EXPECT_THAT(Line(4), StartsWith("PASS")) << Screen();
  for (size_t i = 0; i < 0x1000; ++i) {
    ASSERT_EQ(flash[kSector + i], Pattern(i)) << "offset " << i;
  }
  // Nothing outside the sector changed.
  for (size_t i = 0; i < resource::kFlashImageSize; ++i) {
    const bool inSector = i >= kSector && i < kSector + 0x1000;
    if (!inSector && flash[i] != before[i]) FAIL() << "flash offset " << i << " changed";
  }
  // The command sequences ended cleanly and the map is back to normal.
  EXPECT_EQ(machine->bus.flashUnlock, 0);
  EXPECT_EQ(machine->bus.flashProgram, 0);
  EXPECT_EQ(machine->bus.flashErase, 0);
  EXPECT_FALSE(machine->bus.FlashMode());
  EXPECT_EQ(machine->bus.ports[0x00], 0u);
}

TEST_F(FlashScreenTest, EnterRunsItAgainAndEscReturnsHome) {
  Boot();
  OpenMenuItem(5);
  Run(20);
  machine->bus.flash[kSector + 0x123] = 0x00;  // spoil one byte: the rerun must erase it back
  Press(key::kEnter, 20);
  EXPECT_THAT(Line(4), StartsWith("PASS")) << Screen();
  EXPECT_EQ(machine->bus.flash[kSector + 0x123], Pattern(0x123));
  Press(key::kEsc);
  EXPECT_THAT(Line(0), HasSubstr("RQ4800 Diagnostics")) << Screen();
}

}  // namespace
}  // namespace rq4800::test
