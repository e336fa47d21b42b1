// The disassembler's lines and listing, on a plain recording RAM bus.
#include "debugger/disassembler.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/core/recording_bus.h"

namespace rq4800 {
namespace {

using testing::RecordingBus;

struct Line {
  std::string text;
  int length;
};

Line One(RecordingBus& bus, int address) {
  char out[kDisassemblyLineSize];
  std::fill(std::begin(out), std::end(out), 'x');
  int length = DisassembleOne(bus, address, out);
  return {out, length};
}

TEST(Disassembler, LinesForEachOperandForm) {
  struct Case {
    int address;
    std::vector<int> bytes;
    const char* text;
    int length;
  };
  const Case cases[] = {
      {0xC000, {0x4C, 0x4E, 0xC0}, "C000: JMP $C04E", 3},
      {0x2000, {0xEA}, "2000: NOP ", 1},
      {0x2000, {0x0A}, "2000: ASL ", 1},
      {0x0200, {0xA9, 0x0F}, "0200: LDA #$0F", 2},
      {0x0200, {0xA5, 0x80}, "0200: LDA $80", 2},
      {0x0200, {0xB5, 0x80}, "0200: LDA $80,X", 2},
      {0x0200, {0xB6, 0x80}, "0200: LDX $80,Y", 2},
      {0x0200, {0xA1, 0x80}, "0200: LDA ($80,X)", 2},
      {0x0200, {0xB1, 0x80}, "0200: LDA ($80),Y", 2},
      {0x0200, {0xBD, 0x34, 0x12}, "0200: LDA $1234,X", 3},
      {0x0200, {0xB9, 0x34, 0x12}, "0200: LDA $1234,Y", 3},
      {0x0200, {0x6C, 0xFC, 0xFF}, "0200: JMP ($FFFC)", 3},
      {0x0200, {0x20, 0x00, 0x90}, "0200: JSR $9000", 3},
      {0x3000, {0x00, 0x12, 0x34}, "3000: BRK $3412", 3},
      {0x1000, {0xD0, 0xFE}, "1000: BNE $1000", 2},
      {0x1000, {0xD0, 0x02}, "1000: BNE $1004", 2},
      {0x1000, {0x10, 0x80}, "1000: BPL $0F82", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    auto bus = std::make_unique<RecordingBus>();
    bus->Poke(c.address, std::vector<uint8_t>(c.bytes.begin(), c.bytes.end()));
    Line line = One(*bus, c.address);
    EXPECT_EQ(line.text, c.text);
    EXPECT_EQ(line.length, c.length);
  }
}

TEST(Disassembler, WordOperandsReadTheHighByteFirst) {
  auto bus = std::make_unique<RecordingBus>();
  bus->Poke(0xC000, {0x4C, 0x4E, 0xC0});
  One(*bus, 0xC000);
  ASSERT_EQ(bus->trace.size(), 3u);
  EXPECT_EQ(bus->trace[0].address, 0xC000);
  EXPECT_EQ(bus->trace[1].address, 0xC002);
  EXPECT_EQ(bus->trace[2].address, 0xC001);
}

TEST(Disassembler, UndocumentedOpcodesGiveAnEmptyLine) {
  auto bus = std::make_unique<RecordingBus>();
  for (int opcode : {0x02, 0x1A, 0x80, 0x89, 0xCB, 0xDA, 0xFF}) {
    bus->Poke(0x4000, {opcode, 0x00, 0x00});
    Line line = One(*bus, 0x4000);
    EXPECT_EQ(line.text, "") << opcode;
    EXPECT_EQ(line.length, 0) << opcode;
  }
}

TEST(Disassembler, BranchTargetsAreNotWrapped) {
  auto bus = std::make_unique<RecordingBus>();
  bus->Poke(0x0000, {0xD0, 0x80});
  bus->Poke(0xFFFE, {0xF0, 0x7F});
  EXPECT_EQ(One(*bus, 0x0000).text, "0000: BNE $FFFFFF82");
  EXPECT_EQ(One(*bus, 0xFFFE).text, "FFFE: BEQ $1007F");
}

TEST(Disassembler, ListingFollowsInstructionLengthsAndStopsAtAnUnknownOpcode) {
  auto bus = std::make_unique<RecordingBus>();
  bus->Poke(0x3000, {0x00, 0x12, 0x34, 0xA9, 0x01, 0xEA, 0x07, 0xEA});
  char out[kListingSize];
  size_t length = DisassembleListing(*bus, 0x3000, out);
  EXPECT_EQ(std::string(out), "3000: BRK $3412\r\n3003: LDA #$01\r\n3005: NOP \r\n");
  EXPECT_EQ(length, std::string(out).size());

  bus->Poke(0x5000, {0xFF});
  EXPECT_EQ(DisassembleListing(*bus, 0x5000, out), 0u);
  EXPECT_EQ(out[0], '\0');
}

TEST(Disassembler, ListingEndsOnceItHolds8000Bytes) {
  auto bus = std::make_unique<RecordingBus>();
  bus->recording = false;
  for (int a = 0; a < 0x10000; ++a) bus->memory[a] = 0xEA;
  char out[kListingSize];
  size_t length = DisassembleListing(*bus, 0x0000, out);
  // "0000: NOP \r\n" is 12 bytes: 666 lines hold 7,992, the 667th passes 8,000.
  EXPECT_EQ(length, 667u * 12);
  std::string text(out);
  EXPECT_EQ(text.size(), length);
  EXPECT_EQ(text.substr(text.size() - 12), "029A: NOP \r\n");
}

TEST(Disassembler, ListingRunsPastTheTopWithFiveDigitAddresses) {
  auto bus = std::make_unique<RecordingBus>();
  for (int a = 0xFFF0; a < 0x10000; ++a) bus->memory[a] = 0xEA;
  bus->Poke(0xFFFF, {0xAD});           // LDA abs whose operand lies past the top
  bus->Poke(0x0000, {0x34, 0x12, 0xFF});
  char out[kListingSize];
  DisassembleListing(*bus, 0xFFFE, out);
  EXPECT_EQ(std::string(out), "FFFE: NOP \r\nFFFF: LDA $1234\r\n");
  // The bus is asked for the addresses past 0xFFFF as they are.
  std::vector<int> addresses;
  for (const auto& a : bus->trace) addresses.push_back(a.address);
  EXPECT_EQ(addresses, (std::vector<int>{0xFFFE, 0xFFFF, 0x10001, 0x10000, 0x10002}));
}

}  // namespace
}  // namespace rq4800
