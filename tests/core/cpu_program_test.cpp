// A whole 6502 program of our own run through RunSlice on a plain RAM bus.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/core/recording_bus.h"

namespace rq4800 {
namespace {

// At 0x0200: bubble-sorts the 64 bytes at 0x34E0 (crossing a page) with a swap
// subroutine using the stack, then checks the order and stores its verdict at
// 0x3600: 0x5A when it finds them in order, 0xEE when not.
const std::vector<int> kSortProgram = {
    0xA2, 0x00, 0x86, 0x20,                    // 0200 outer:   LDX #0; STX $20 (swaps made)
    0xBD, 0xE1, 0x34, 0xDD, 0xE0, 0x34,        // 0204 inner:   LDA data+1,X; CMP data,X
    0xB0, 0x03, 0x20, 0x33, 0x02,              // 020A          BCS ordered; JSR swap
    0xE8, 0xE0, 0x3F, 0xD0, 0xF0,              // 020F ordered: INX; CPX #63; BNE inner
    0xA5, 0x20, 0xD0, 0xE8,                    // 0214          LDA $20; BNE outer
    0xA2, 0x00,                                // 0218          LDX #0
    0xBD, 0xE1, 0x34, 0xDD, 0xE0, 0x34,        // 021A check:   LDA data+1,X; CMP data,X
    0x90, 0x09,                                // 0220          BCC bad
    0xE8, 0xE0, 0x3F, 0xD0, 0xF3,              // 0222          INX; CPX #63; BNE check
    0xA9, 0x5A, 0xD0, 0x02,                    // 0227          LDA #$5A; BNE verdict
    0xA9, 0xEE,                                // 022B bad:     LDA #$EE
    0x8D, 0x00, 0x36,                          // 022D verdict: STA $3600
    0x4C, 0x30, 0x02,                          // 0230 done:    JMP done
    0x48, 0xBD, 0xE0, 0x34, 0x9D, 0xE1, 0x34,  // 0233 swap:    PHA; LDA data,X; STA data+1,X
    0x68, 0x9D, 0xE0, 0x34,                    // 023A          PLA; STA data,X
    0xE6, 0x20, 0x60,                          // 023E          INC $20; RTS
};

TEST(CpuProgram, BubbleSortChecksItsOwnResult) {
  testing::CpuFixture f(0x0200, kSortProgram);
  std::vector<int> data(64);
  for (int i = 0; i < 64; ++i) data[i] = ((i * 73 + 5) * (i + 3)) & 0xFF;
  f.bus.Poke(0x34E0, data);
  int slices = 0;
  for (; f.cpu.PC != 0x0230 && slices < 2000; ++slices) f.cpu.RunSlice();
  ASSERT_LT(slices, 2000) << "program did not finish";
  std::sort(data.begin(), data.end());
  for (int i = 0; i < 64; ++i) EXPECT_EQ(f.bus.memory[0x34E0 + i], data[i]) << i;
  EXPECT_EQ(f.bus.memory[0x3600], 0x5A);
  EXPECT_EQ(f.cpu.SP, 0xFFu);
}

}  // namespace
}  // namespace rq4800
